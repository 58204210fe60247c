#include "paper/PapersV2.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include "platform/Error.h"

namespace kestrel {

namespace {

const QString UpdateInfoStream = QStringLiteral("UpdateInfo\\UpdateInfo");
const QString CompanyListStream = QStringLiteral("CompanyList\\CompanyList");
const QString GroupListStream = QStringLiteral("GroupList\\GroupList");
const QString GlobalInfoStorage = QStringLiteral("GlobalInfo");

}  // namespace

// --- TPaperUpdate ---

const TClassInfo& TPaperUpdate::StaticClass()
{
    static const TClassInfo info("TPaperUpdate", &TComponent::StaticClass(), FactoryOf<TPaperUpdate>(), [] {
        return TPropsOf<TPaperUpdate>()
            .Int("PPRNo", &TPaperUpdate::PPRNo, &TPaperUpdate::SetPPRNo, NoDefault)
            .Float("LastUpdate", &TPaperUpdate::LastUpdate, &TPaperUpdate::SetLastUpdate)
            .Done();
    });
    return info;
}

double ToDaysSince1899(const QDateTime& time)
{
    static const QDate epoch(1899, 12, 30);
    const QDateTime local = time.toLocalTime();
    return epoch.daysTo(local.date()) + local.time().msecsSinceStartOfDay() / 86400000.0;
}

// --- TExtraPaperInfo ---

const TClassInfo& TExtraPaperInfo::StaticClass()
{
    static const TClassInfo info("TExtraPaperInfo", &TComponent::StaticClass(), {}, [] {
        return TPropsOf<TExtraPaperInfo>()
            .String("PaperName", &TExtraPaperInfo::PaperName, &TExtraPaperInfo::SetPaperName)
            .Done();
    });
    return info;
}

bool TExtraPaperInfo::Equals(const TExtraPaperInfo* other, const IComponentCodec& codec) const
{
    if (!other) return false;
    // Writing needs mutable access for nested objects; neither record is changed.
    return codec.Write(const_cast<TExtraPaperInfo&>(*this)) == codec.Write(const_cast<TExtraPaperInfo&>(*other));
}

// --- TExInfoBase ---

void TExInfoBase::Attach(const TBaseStorage& storage)
{
    storage_ = storage;
    streams_ = Storage().StreamNames(storage.path);
    loaded_ = 0;
    cache_.clear();
}

const ICatalogueStorage& TExInfoBase::Storage() const
{
    if (!storage_.root) throw EKestrel(QStringLiteral("用紙情報「%1」がカタログに登録されていません").arg(Name()));
    return *storage_.root;
}

std::unique_ptr<TExtraPaperInfo> TExInfoBase::ReadRecord(const QString& stream) const
{
    return ReadComponentAs<TExtraPaperInfo>(*storage_.codec, Storage().ReadStream(JoinElementPath(storage_.path, stream)),
                                            QStringLiteral("用紙情報「%1\\%2」").arg(storage_.path, stream));
}

std::unique_ptr<TExtraPaperInfo> TExInfoBase::Copy(const TExtraPaperInfo& record) const
{
    // A round trip through the stream copies exactly what the record stores.
    return ReadComponentAs<TExtraPaperInfo>(*storage_.codec, storage_.codec->Write(const_cast<TExtraPaperInfo&>(record)),
                                            QStringLiteral("用紙情報"));
}

void TExInfoBase::AddToCache(const QString& stream, std::unique_ptr<TExtraPaperInfo> record)
{
    const QString paperName = record->PaperName();
    if (cache_.count(paperName)) throw EKestrel(QStringLiteral("用紙情報更新エラー(%1)").arg(paperName));
    cache_.emplace(paperName, TCached{stream, std::move(record)});
}

QString TExInfoBase::FindStream(const QString& paperName)
{
    while (!cache_.count(paperName) && loaded_ < streams_.size()) {
        const QString stream = streams_[loaded_];
        AddToCache(stream, ReadRecord(stream));
        ++loaded_;
    }
    const auto it = cache_.find(paperName);
    return it == cache_.end() ? QString() : it->second.stream;
}

QString TExInfoBase::NewStreamName() const { return NumberedStreamName(NextStreamNumber(streams_)); }

void TExInfoBase::DeleteByPaperName(const QString& name)
{
    const QString stream = FindStream(name);
    if (stream.isEmpty()) return;
    storage_.root->DeleteElement(JoinElementPath(storage_.path, stream));
    const int index = streams_.indexOf(stream);
    streams_.removeAt(index);
    if (index < loaded_) --loaded_;
    cache_.erase(name);
}

void TExInfoBase::Store(const TExtraPaperInfo& record)
{
    DeleteByPaperName(record.PaperName());
    if (record.IsEmpty()) return;
    const QString stream = NewStreamName();
    std::unique_ptr<TExtraPaperInfo> copy = Copy(record);
    storage_.root->WriteStream(JoinElementPath(storage_.path, stream), storage_.codec->Write(*copy));
    streams_.insert(loaded_, stream);
    ++loaded_;
    AddToCache(stream, std::move(copy));
}

std::unique_ptr<TExtraPaperInfo> TExInfoBase::Get(const QString& paperName)
{
    if (FindStream(paperName).isEmpty()) return nullptr;
    return Copy(*cache_.at(paperName).record);
}

std::unique_ptr<TExtraPaperInfo> TExInfoBase::GetByIndex(int index) { return ReadRecord(streams_.at(index)); }

// --- text lists ---

QByteArray EncodeTextLines(const QStringList& lines)
{
    QStringEncoder encoder("CP932");
    QByteArray data;
    for (const QString& line : lines) {
        data += QByteArray(encoder.encode(line));
        if (encoder.hasError())
            throw EKestrel(QStringLiteral("「%1」には保存できない文字が含まれています").arg(line));
        data += "\r\n";
    }
    return data;
}

QStringList DecodeTextLines(const QByteArray& data)
{
    QStringDecoder decoder("CP932");
    QString text = decoder.decode(data);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

void TCatalogueTextList::SetLines(const QStringList& lines)
{
    lines_ = lines;
    Write();
}

void TCatalogueTextList::Add(const QString& line)
{
    lines_ << line;
    Write();
}

void TCatalogueTextList::Remove(const QString& line)
{
    if (lines_.removeAll(line) > 0) Write();
}

void TCatalogueTextList::Write() const
{
    if (!storage_) throw EKestrel(QStringLiteral("用紙カタログが開かれていません"));
    storage_->WriteStream(path_, EncodeTextLines(lines_));
}

// --- TPapersV2 ---

void TPapersV2::LoadExtensions(ICatalogueStorage& storage)
{
    auto pending = std::make_unique<TPending>();
    if (storage.StreamExists(UpdateInfoStream)) {
        pending->update.Assign(*ReadComponentAs<TPaperUpdate>(Codec(), storage.ReadStream(UpdateInfoStream),
                                                              QStringLiteral("更新情報")));
    } else {
        WriteUpdateInfo(storage, pending->update);
    }
    const auto loadList = [&storage](const QString& path, QStringList& lines) {
        if (storage.StreamExists(path))
            lines = DecodeTextLines(storage.ReadStream(path));
        else
            storage.WriteStream(path, {});
    };
    loadList(GroupListStream, pending->groups);
    loadList(CompanyListStream, pending->companies);
    pending_ = std::move(pending);
}

void TPapersV2::CommitExtensions()
{
    bases_.clear();
    update_.Assign(pending_->update);
    groups_.lines_ = pending_->groups;
    companies_.lines_ = pending_->companies;
    groups_.Bind(&RootStorage(), GroupListStream);
    companies_.Bind(&RootStorage(), CompanyListStream);
    pending_.reset();
}

void TPapersV2::ReleaseExtensions()
{
    bases_.clear();
    groups_ = {};
    companies_ = {};
    update_.Assign(TPaperUpdate());
}

void TPapersV2::WriteUpdateInfo(ICatalogueStorage& storage, const TPaperUpdate& record) const
{
    TPaperUpdate copy;
    copy.Assign(record);
    const QByteArray data = Codec().Write(copy);
    storage.DeleteElement(UpdateInfoStream);
    storage.WriteStream(UpdateInfoStream, data);
}

void TPapersV2::Swap(TPapers& other)
{
    auto& v2 = dynamic_cast<TPapersV2&>(other);
    TPapers::Swap(other);
    std::swap(bases_, v2.bases_);
    TPaperUpdate update;
    update.Assign(update_);
    update_.Assign(v2.update_);
    v2.update_.Assign(update);
    // The lists stay bound to the storage they were loaded from, which moved with the papers.
    std::swap(companies_, v2.companies_);
    std::swap(groups_, v2.groups_);
    std::swap(pending_, v2.pending_);
}

void TPapersV2::AddBase(std::unique_ptr<TExtraInfoBase> base)
{
    ICatalogueStorage& storage = RootStorage();
    storage.CreateStorage(base->Name());
    base->Attach({&storage, base->Name(), &Codec()});
    std::erase_if(bases_, [&](const auto& b) { return b->Name() == base->Name(); });
    bases_.push_back(std::move(base));
}

TExtraInfoBase* TPapersV2::FindBase(const QString& name) const
{
    for (const auto& base : bases_)
        if (base->Name() == name) return base.get();
    return nullptr;
}

std::unique_ptr<TExtraPaperInfo> TPapersV2::GetExtra(const QString& baseName, const QString& paperName) const
{
    TExtraInfoBase* base = FindBase(baseName);
    return base && !paperName.isEmpty() ? base->Get(paperName) : nullptr;
}

void TPapersV2::StoreExtra(const QString& baseName, const TExtraPaperInfo& record)
{
    TExtraInfoBase* base = FindBase(baseName);
    if (base && !record.PaperName().isEmpty()) base->Store(record);
}

void TPapersV2::DeleteExtra(const QString& baseName, const QString& paperName)
{
    TExtraInfoBase* base = FindBase(baseName);
    if (base && !paperName.isEmpty()) base->DeleteByPaperName(paperName);
}

void TPapersV2::Delete(int index)
{
    const QString name = Paper(index).PaperName();
    for (const auto& base : bases_) base->DeleteByPaperName(name);
    TPapers::Delete(index);
}

void TPapersV2::SetUpdateInfo(const TPaperUpdate& record)
{
    WriteUpdateInfo(RootStorage(), record);
    update_.Assign(record);
}

void TPapersV2::ReadGlobalInfo(const QString& name, QStringList& strings) const
{
    const QString path = JoinElementPath(GlobalInfoStorage, name);
    if (RootStorage().StreamExists(path)) strings = DecodeTextLines(RootStorage().ReadStream(path));
}

void TPapersV2::WriteGlobalInfo(const QString& name, const QStringList& strings)
{
    RootStorage().WriteStream(JoinElementPath(GlobalInfoStorage, name), EncodeTextLines(strings));
}

void TPapersV2::Merge(const TPapersV2& source, bool copyUserPapers, bool copySystemPapers, const TProgress& progress)
{
    const int total = source.Count();
    for (int i = 0; i < total; ++i) {
        if (progress) progress(i + 1, total);
        const bool systemPaper = source.Paper(i).ReadOnly();
        if (systemPaper ? copySystemPapers : copyUserPapers) MergePaper(source, i);
    }
    if (copySystemPapers) {
        TPaperUpdate update;
        update.Assign(update_);
        update.SetLastUpdate(ToDaysSince1899(QDateTime::currentDateTime()));
        update.SetPPRNo(source.UpdateInfo().PPRNo());
        SetUpdateInfo(update);
        companies_.SetLines(source.companies_.Lines());
        groups_.SetLines(source.groups_.Lines());
        if (source.RootStorage().StorageExists(GlobalInfoStorage))
            CopyStorage(source.RootStorage(), RootStorage(), GlobalInfoStorage);
    }
    SetModified(true);
}

void TPapersV2::MergePaper(const TPapersV2& source, int index)
{
    std::unique_ptr<TPaperInfo> copy = source.Paper(index).Clone();
    const QString oldName = copy->PaperName();
    const int existing = IndexOfName(oldName);
    if (existing >= 0 && Paper(existing).ReadOnly() && !copy->ReadOnly()) {
        QString name = oldName;
        while (IndexOfName(name) >= 0) name += u'$';
        copy->SetPaperName(name);
    }
    Store(*copy);
    for (const auto& sourceBase : source.bases_) {
        TExtraInfoBase* base = FindBase(sourceBase->Name());
        if (!base) continue;
        if (std::unique_ptr<TExtraPaperInfo> record = sourceBase->Get(oldName)) {
            record->SetPaperName(copy->PaperName());
            base->Store(*record);
        }
    }
}

}  // namespace kestrel

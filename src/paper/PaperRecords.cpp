#include "paper/PaperRecords.h"

#include <algorithm>

#include "document/storage/DocPath.h"
#include "document/storage/DocStorage.h"
#include "document/storage/DocStream.h"
#include "document/storage/FramedObjects.h"
#include "document/stream/ObjectStream.h"
#include "platform/BoundedReader.h"
#include "platform/Error.h"

namespace kestrel {

namespace {

const QString ImageInfoStream = QStringLiteral("ImageInfo");
const QString SheetExtraInfo = QStringLiteral("PaperExtraInfo");
const QString SheetImageInfo = QStringLiteral("PaperImageInfo");
const QString SheetImages = QStringLiteral("PaperImages");

bool IsImageInfoStream(const QString& name) { return name.compare(ImageInfoStream, Qt::CaseInsensitive) == 0; }

QByteArray ListBytes(const TDOList& list)
{
    QByteArray bytes;
    list.SaveToStream(bytes);
    return bytes;
}

TDOList CopyOfList(const TDOList& list)
{
    TDOList copy;
    copy.LoadFromBytes(ListBytes(list));
    return copy;
}

// A document storage seen through the catalogue's storage interface, so that the lists of a
// design record are written the same way in catalogues and documents.
class TDocCatalogueStorage : public ICatalogueStorage {
public:
    explicit TDocCatalogueStorage(TDocStorage& storage) : storage_(storage) {}

    bool StreamExists(const QString& path) const override { return storage_.StreamExists(path); }
    bool StorageExists(const QString& path) const override { return storage_.StorageExists(path); }
    QByteArray ReadStream(const QString& path) const override
    {
        return TDocStream::Open(storage_, ModeRead, path)->ReadAll();
    }
    void WriteStream(const QString& path, const QByteArray& data) override
    {
        TDocStream::Open(storage_, ModeCreate, path)->WriteAll(data);
    }
    void CreateStorage(const QString& path) override { TDocStorage::Open(storage_, true, path); }
    void DeleteElement(const QString& path) override { storage_.DeleteElement(path); }
    void RenameElement(const QString& path, const QString& newName) override
    {
        storage_.MoveElement(path, JoinElementPath(ParentElementPath(path), newName));
    }
    QStringList StreamNames(const QString& storagePath) const override
    {
        QStringList names;
        TDocStorage::Open(storage_, false, storagePath)->ListStreams(names);
        return names;
    }
    QStringList StorageNames(const QString& storagePath) const override
    {
        QStringList names;
        TDocStorage::Open(storage_, false, storagePath)->ListStorages(names);
        return names;
    }

private:
    TDocStorage& storage_;
};

}  // namespace

// --- TExPaperInfo ---

const TClassInfo& TExPaperInfo::StaticClass()
{
    static const TClassInfo info("TExPaperInfo", &TExtraPaperInfo::StaticClass(), FactoryOf<TExPaperInfo>(), [] {
        return TPropsOf<TExPaperInfo>()
            .String("Purpose", &TExPaperInfo::Purpose, &TExPaperInfo::SetPurpose)
            .String("Company", &TExPaperInfo::Company, &TExPaperInfo::SetCompany)
            .Int("RoundSize", &TExPaperInfo::RoundSize, &TExPaperInfo::SetRoundSize, NoDefault)
            .Done();
    });
    return info;
}

bool TExPaperInfo::IsEmpty() const { return purpose_.isEmpty() && company_.isEmpty() && roundSize_ == 0; }

void TExPaperInfo::Clear()
{
    purpose_.clear();
    company_.clear();
    roundSize_ = 0;
}

// --- TImagePaperInfo ---

const TClassInfo& TImagePaperInfo::StaticClass()
{
    // SeparatelyDesign is always written: a new record holds True, so a False left out would
    // read back as True.
    static const TClassInfo info("TImagePaperInfo", &TExtraPaperInfo::StaticClass(), FactoryOf<TImagePaperInfo>(), [] {
        return TPropsOf<TImagePaperInfo>()
            .Bool("SeparatelyDesign", &TImagePaperInfo::SeparatelyDesign, &TImagePaperInfo::SetSeparatelyDesign,
                  NoDefault)
            .Int("LabelCount", &TImagePaperInfo::LabelCount, &TImagePaperInfo::SetLabelCount)
            .Done();
    });
    return info;
}

void TImagePaperInfo::AddList(const TDOList& list) { lists_.push_back(CopyOfList(list)); }

bool TImagePaperInfo::IsEmpty() const
{
    return std::all_of(lists_.begin(), lists_.end(), [](const TDOList& list) { return list.IsEmpty(); });
}

bool TImagePaperInfo::Equals(const TExtraPaperInfo* other, const IComponentCodec& codec) const
{
    auto* images = dynamic_cast<const TImagePaperInfo*>(other);
    if (!images || !TExtraPaperInfo::Equals(other, codec) || lists_.size() != images->lists_.size()) return false;
    for (size_t i = 0; i < lists_.size(); ++i)
        if (ListBytes(lists_[i]) != ListBytes(images->lists_[i])) return false;
    return true;
}

void TImagePaperInfo::Assign(const TPersistent& source)
{
    TExtraPaperInfo::Assign(source);
    auto* other = dynamic_cast<const TImagePaperInfo*>(&source);
    if (!other || other == this) return;
    // The object lists are records of their own, outside the property table.
    lists_.clear();
    for (const TDOList& list : other->lists_) AddList(list);
}

void TImagePaperInfo::WriteLists(ICatalogueStorage& storage, const QString& path) const
{
    for (const QString& name : storage.StorageNames(path)) storage.DeleteElement(JoinElementPath(path, name));
    for (const QString& name : storage.StreamNames(path))
        if (!IsImageInfoStream(name)) storage.DeleteElement(JoinElementPath(path, name));
    for (size_t i = 0; i < lists_.size(); ++i)
        storage.WriteStream(JoinElementPath(path, NumberedStreamName(static_cast<uint32_t>(i + 1))),
                            ListBytes(lists_[i]));
}

void TImagePaperInfo::ReadLists(const ICatalogueStorage& storage, const QString& path)
{
    QStringList names = storage.StreamNames(path);
    names.removeIf(IsImageInfoStream);
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    std::vector<TDOList> lists;
    for (const QString& name : names) {
        TDOList list;
        list.LoadFromBytes(storage.ReadStream(JoinElementPath(path, name)));
        lists.push_back(std::move(list));
    }
    lists_ = std::move(lists);
}

// --- TImageInfoBase ---

void TImageInfoBase::Attach(const TBaseStorage& storage)
{
    storage_ = storage;
    substorages_ = Storage().StorageNames(storage.path);
}

ICatalogueStorage& TImageInfoBase::Storage() const
{
    if (!storage_.root) throw EKestrel(QStringLiteral("用紙情報「%1」がカタログに登録されていません").arg(Name()));
    return *storage_.root;
}

QString TImageInfoBase::PathOf(const QString& substorage) const { return JoinElementPath(storage_.path, substorage); }

std::unique_ptr<TImagePaperInfo> TImageInfoBase::ReadInfo(const QString& substorage) const
{
    const QString stream = JoinElementPath(PathOf(substorage), ImageInfoStream);
    if (!Storage().StreamExists(stream)) return nullptr;
    return ReadComponentAs<TImagePaperInfo>(*storage_.codec, Storage().ReadStream(stream),
                                            QStringLiteral("用紙情報「%1」").arg(stream));
}

std::unique_ptr<TImagePaperInfo> TImageInfoBase::ReadWithLists(const QString& substorage) const
{
    std::unique_ptr<TImagePaperInfo> record = ReadInfo(substorage);
    if (!record) throw EReadError(QStringLiteral("用紙情報「%1」がありません").arg(PathOf(substorage)));
    record->ReadLists(Storage(), PathOf(substorage));
    return record;
}

int TImageInfoBase::IndexOfPaper(const QString& paperName) const
{
    for (int i = 0; i < substorages_.size(); ++i) {
        const std::unique_ptr<TImagePaperInfo> record = ReadInfo(substorages_[i]);
        if (record && record->PaperName() == paperName) return i;
    }
    return -1;
}

void TImageInfoBase::DeleteByPaperName(const QString& name)
{
    const int index = IndexOfPaper(name);
    if (index < 0) return;
    Storage().DeleteElement(PathOf(substorages_[index]));
    substorages_.removeAt(index);
}

void TImageInfoBase::Store(const TExtraPaperInfo& record)
{
    auto* images = dynamic_cast<const TImagePaperInfo*>(&record);
    if (!images) throw EKestrel(QStringLiteral("用紙情報「%1」にはデザイン以外を保存できません").arg(Name()));
    DeleteByPaperName(images->PaperName());
    if (images->IsEmpty()) return;
    // The highest number, not the last one listed, so that a new name never meets an old one.
    const QString substorage = NumberedStreamName(NextStreamNumber(substorages_));
    ICatalogueStorage& storage = Storage();
    storage.CreateStorage(PathOf(substorage));
    // Writing needs mutable access for nested objects; the record is not changed.
    storage.WriteStream(JoinElementPath(PathOf(substorage), ImageInfoStream),
                        storage_.codec->Write(const_cast<TImagePaperInfo&>(*images)));
    images->WriteLists(storage, PathOf(substorage));
    substorages_.append(substorage);
}

std::unique_ptr<TExtraPaperInfo> TImageInfoBase::Get(const QString& paperName)
{
    const int index = IndexOfPaper(paperName);
    return index < 0 ? nullptr : ReadWithLists(substorages_[index]);
}

std::unique_ptr<TExtraPaperInfo> TImageInfoBase::GetByIndex(int index)
{
    if (index < 0 || index >= substorages_.size())
        throw EKestrel(QStringLiteral("用紙情報「%1」に%2番目のデザインはありません").arg(Name()).arg(index));
    return ReadWithLists(substorages_[index]);
}

// --- registration and document records ---

void RegisterPaperRecordBases(TPapersV2& catalogue)
{
    catalogue.AddBase(std::make_unique<TExInfoBase>(ExtraInfosBaseName));
    catalogue.AddBase(std::make_unique<TImageInfoBase>(PaperImagesBaseName));
}

void WriteSheetPaperRecords(TDocStorage& sheet, const TExPaperInfo& extra, const TImagePaperInfo& images)
{
    if (extra.IsEmpty())
        sheet.DeleteElement(SheetExtraInfo);
    else
        WriteFramedObject(sheet, SheetExtraInfo, extra);
    if (images.IsEmpty()) {
        sheet.DeleteElement(SheetImageInfo);
        sheet.DeleteElement(SheetImages);
        return;
    }
    WriteFramedObject(sheet, SheetImageInfo, images);
    TDocCatalogueStorage storage(sheet);
    storage.CreateStorage(SheetImages);
    images.WriteLists(storage, SheetImages);
}

void ReadSheetPaperRecords(TDocStorage& sheet, TExPaperInfo& extra, TImagePaperInfo& images)
{
    TExPaperInfo readExtra;
    if (sheet.StreamExists(SheetExtraInfo)) ReadFramedObjectInto(sheet, SheetExtraInfo, readExtra);
    TImagePaperInfo readImages;
    if (sheet.StreamExists(SheetImageInfo)) {
        ReadFramedObjectInto(sheet, SheetImageInfo, readImages);
        if (sheet.StorageExists(SheetImages)) readImages.ReadLists(TDocCatalogueStorage(sheet), SheetImages);
    }
    extra.Assign(readExtra);
    images.Assign(readImages);
}

}  // namespace kestrel

#include "paper/Papers.h"

#include <algorithm>
#include <deque>

#include "platform/Error.h"

namespace kestrel {

namespace {

const QString PapersStorage = QStringLiteral("Papers");
const QString PurposeListStream = QStringLiteral("PurposeList\\PurposeList");

QString PaperPath(const QString& streamName) { return JoinElementPath(PapersStorage, streamName); }

bool StreamNameLess(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; }

}  // namespace

QString NumberedStreamName(uint32_t number)
{
    return u'$' + QStringLiteral("%1").arg(number, 8, 16, QLatin1Char('0')).toUpper();
}

uint32_t StreamNumber(const QString& name)
{
    if (name.size() != 9 || !name.startsWith(u'$')) return 0;
    bool ok = false;
    const uint32_t number = name.mid(1).toUInt(&ok, 16);
    return ok ? number : 0;
}

uint32_t NextStreamNumber(const QStringList& names)
{
    uint32_t highest = 0;
    for (const QString& name : names) highest = std::max(highest, StreamNumber(name));
    if (highest == UINT32_MAX) throw EKestrel(QStringLiteral("ストリーム番号が上限に達しました"));
    return highest + 1;
}

struct TPapers::TState {
    std::unique_ptr<TMemoryCatalogueStorage> storage;
    std::vector<TEntry> papers;
    TPurposeList purposes;
};

TPapers::TPapers(TCatalogueIO io) : io_(io) {}

TPapers::~TPapers() = default;

void TPapers::Open(const QString& fileName, bool readOnly, bool /*workOnCopy*/)
{
    auto storage = std::make_unique<TMemoryCatalogueStorage>();
    if (io_.files->Exists(fileName)) {
        io_.files->Load(fileName, *storage);
        // Another kind of compound file (a document, a product database) is not read as papers.
        if (!storage->StorageExists(PapersStorage))
            throw EKestrel(QStringLiteral("「%1」は用紙カタログのファイルではありません").arg(fileName));
    }
    OpenStorage(fileName, readOnly, std::move(storage));
}

void TPapers::Create(const QString& fileName)
{
    OpenStorage(fileName, false, std::make_unique<TMemoryCatalogueStorage>());
}

void TPapers::OpenStorage(const QString& fileName, bool readOnly, std::unique_ptr<TMemoryCatalogueStorage> storage)
{
    TState state;
    state.storage = std::move(storage);
    if (state.storage->StreamExists(PurposeListStream)) {
        auto streamer = ReadComponentAs<TPLStreamer>(Codec(), state.storage->ReadStream(PurposeListStream),
                                                     QStringLiteral("用途リスト"));
        state.purposes = streamer->ListRef();
        ValidatePurposes(state.purposes);
    } else {
        state.purposes = TPurposeList::Default();
    }
    state.storage->CreateStorage(PapersStorage);
    LoadPapers(state, Codec());
    LoadExtensions(*state.storage);

    storage_ = std::move(state.storage);
    papers_ = std::move(state.papers);
    indexStale_ = true;
    nextStreamNumber_ = NextStreamNumber(StreamNames());
    purposes_ = state.purposes;
    fileName_ = fileName;
    readOnly_ = readOnly;
    modified_ = false;
    CommitExtensions();
}

void TPapers::LoadPapers(TState& state, const IComponentCodec& codec)
{
    QStringList names = state.storage->StreamNames(PapersStorage);
    std::sort(names.begin(), names.end(), StreamNameLess);
    for (const QString& name : names) {
        auto paper = ReadComponentAs<TPaperInfo>(codec, state.storage->ReadStream(PaperPath(name)),
                                                 QStringLiteral("用紙データ「%1」").arg(name));
        paper->CheckLayout();
        MergePurposes(state.purposes, paper->Purposes());
        state.papers.push_back({name, std::move(paper)});
    }
}

void TPapers::Close()
{
    if (!storage_) return;
    if (!readOnly_ && modified_) io_.files->Save(*storage_, fileName_);
    papers_.clear();
    storage_.reset();
    ReleaseExtensions();
}

void TPapers::Swap(TPapers& other)
{
    std::swap(io_, other.io_);
    std::swap(fileName_, other.fileName_);
    std::swap(readOnly_, other.readOnly_);
    std::swap(modified_, other.modified_);
    std::swap(storage_, other.storage_);
    std::swap(papers_, other.papers_);
    std::swap(purposes_, other.purposes_);
}

TPaperInfo& TPapers::Paper(int index) const { return *papers_.at(index).paper; }

const QString& TPapers::StreamName(int index) const { return papers_.at(index).streamName; }

void TPapers::IndexNames() const
{
    indexByName_.clear();
    for (int i = Count() - 1; i >= 0; --i) indexByName_.insert(papers_[size_t(i)].paper->PaperName(), i);
    indexStale_ = false;
}

int TPapers::IndexOfName(const QString& paperName) const
{
    if (indexStale_) IndexNames();
    return indexByName_.value(paperName, -1);
}

QStringList TPapers::StreamNames() const
{
    QStringList names;
    for (const TEntry& e : papers_) names << e.streamName;
    return names;
}

ICatalogueStorage& TPapers::RootStorage() const
{
    if (!storage_) throw EKestrel(QStringLiteral("用紙カタログが開かれていません"));
    return *storage_;
}

void TPapers::Store(const TPaperInfo& paper)
{
    ICatalogueStorage& storage = RootStorage();
    if (MergePurposes(purposes_, paper.Purposes())) WritePurposes();

    // The stream holds the portrait form with the purposes; the caller's paper is left as is.
    std::unique_ptr<TPaperInfo> streamed = paper.Clone();
    streamed->SetLandscape(false);
    streamed->SetStorePurposes(true);
    const QByteArray data = Codec().Write(*streamed);

    const int index = IndexOfName(paper.PaperName());
    if (index < 0 && nextStreamNumber_ == 0) throw EKestrel(QStringLiteral("ストリーム番号が上限に達しました"));
    const QString streamName = index >= 0 ? papers_[index].streamName : NumberedStreamName(nextStreamNumber_++);
    storage.WriteStream(PaperPath(streamName), data);
    if (index >= 0) {
        papers_[index].paper = paper.Clone();
    } else {
        papers_.push_back({streamName, paper.Clone()});
        indexByName_.insert(paper.PaperName(), Count() - 1);
    }
    modified_ = true;
}

void TPapers::Delete(int index)
{
    const TEntry& entry = papers_.at(index);
    RootStorage().DeleteElement(PaperPath(entry.streamName));
    papers_.erase(papers_.begin() + index);
    indexStale_ = true;
    modified_ = true;
}

void TPapers::Reorder(const QStringList& paperNames)
{
    if (paperNames.size() != Count())
        throw EKestrel(QStringLiteral("並べ替える用紙の数(%1)がカタログの用紙の数(%2)と違います")
                           .arg(paperNames.size())
                           .arg(Count()));
    // Which paper each name stands for; a name may not take a paper twice.
    QHash<QString, std::deque<int>> untaken;
    for (int i = 0; i < Count(); ++i) untaken[papers_[size_t(i)].paper->PaperName()].push_back(i);
    std::vector<int> order;
    for (const QString& name : paperNames) {
        auto papers = untaken.find(name);
        if (papers == untaken.end() || papers->empty())
            throw EKestrel(QStringLiteral("用紙「%1」はカタログにありません").arg(name));
        order.push_back(papers->front());
        papers->pop_front();
    }
    const auto sortByStreamName = [this] {
        std::sort(papers_.begin(), papers_.end(),
                  [](const TEntry& a, const TEntry& b) { return StreamNameLess(a.streamName, b.streamName); });
    };
    modified_ = true;
    indexStale_ = true;
    try {
        for (int index : order) {
            const QString newName = NumberedStreamName(nextStreamNumber_++);
            RootStorage().RenameElement(PaperPath(papers_[index].streamName), newName);
            papers_[index].streamName = newName;
        }
    } catch (...) {
        sortByStreamName();  // keep the list in step with the streams renamed so far
        throw;
    }
    sortByStreamName();
}

void TPapers::GetGroupNames(QStringList& strings) const
{
    for (const TEntry& e : papers_)
        if (!strings.contains(e.paper->GroupName(), Qt::CaseInsensitive)) strings << e.paper->GroupName();
}

void TPapers::SetPurposes(const TPurposeList& list)
{
    RootStorage();
    purposes_ = list;
    WritePurposes();
}

void TPapers::WritePurposes()
{
    TPLStreamer streamer;
    *streamer.List() = purposes_;
    RootStorage().WriteStream(PurposeListStream, Codec().Write(streamer));
}

}  // namespace kestrel

#include "music/Albums.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cctype>

#include "app/ExceptionReport.h"
#include "document/storage/DocStorage.h"
#include "document/storage/DocStream.h"
#include "document/stream/ClassRegistry.h"
#include "document/stream/ObjectStream.h"
#include "platform/BoundedReader.h"

namespace kestrel {

namespace {

const QString kAlbumsStorage = QStringLiteral("Albums");
constexpr uint32_t kLastNumber = 0x7FFFFFFF;

// Only albums are created from a database stream, whatever class name a damaged one names.
const TClassRegistry& AlbumClasses()
{
    static const TClassRegistry registry = [] {
        TClassRegistry classes;
        RegisterMusicClasses(classes);
        return classes;
    }();
    return registry;
}

}  // namespace

// --- Tracks and albums ---

const TClassInfo& TTrackInfo::StaticClass()
{
    static const TClassInfo info("TTrackInfo", &TCollectionItem::StaticClass(), FactoryOf<TTrackInfo>(), [] {
        return TPropsOf<TTrackInfo>()
            .String("Title", &TTrackInfo::Title, &TTrackInfo::SetTitle)
            .String("Artist", &TTrackInfo::Artist, &TTrackInfo::SetArtist)
            .String("Time", &TTrackInfo::Time, &TTrackInfo::SetTime)
            .String("Album", &TTrackInfo::Album, &TTrackInfo::SetAlbum)
            .Done();
    });
    return info;
}

bool TTrackInfo::SameAs(const TTrackInfo& other) const
{
    return title_ == other.title_ && artist_ == other.artist_ && time_ == other.time_ && album_ == other.album_;
}

const TClassInfo& TTracks::StaticClass()
{
    static const TClassInfo info("TTracks", &TCollection::StaticClass(), FactoryOf<TTracks>(), {});
    return info;
}

TTracks::TTracks() : TCollection([] { return std::make_unique<TTrackInfo>(); }) {}

TTrackInfo& TTracks::Insert(int index, const TTrackInfo* source)
{
    auto& track = static_cast<TTrackInfo&>(TCollection::Insert(index));
    if (source) track.Assign(*source);
    return track;
}

const TClassInfo& TAlbumInfo::StaticClass()
{
    static const TClassInfo info("TAlbumInfo", &TComponent::StaticClass(), FactoryOf<TAlbumInfo>(), [] {
        return TPropsOf<TAlbumInfo>()
            .String("Title", &TAlbumInfo::Title, &TAlbumInfo::SetTitle)
            .String("Artist", &TAlbumInfo::Artist, &TAlbumInfo::SetArtist)
            .NeverStored("TrackCount")
            .Collection("Tracks", &TAlbumInfo::TracksHolder)
            .Done();
    });
    return info;
}

void TAlbumInfo::Clear()
{
    title_.clear();
    artist_.clear();
    tracks_.Clear();
}

bool TAlbumInfo::SameAs(const TAlbumInfo& other) const
{
    if (title_ != other.title_ || artist_ != other.artist_ || TrackCount() != other.TrackCount()) return false;
    for (int i = 0; i < TrackCount(); ++i)
        if (!Track(i).SameAs(other.Track(i))) return false;
    return true;
}

void RegisterMusicClasses(TClassRegistry& registry)
{
    registry.Register(TAlbumInfo::StaticClass());
    registry.Register(TTracks::StaticClass());
    registry.Register(TTrackInfo::StaticClass());
}

QByteArray AlbumStreamBytes(const TAlbumInfo& album)
{
    QByteArray bytes;
    WriteObject(bytes, album);
    return bytes;
}

std::unique_ptr<TAlbumInfo> AlbumFromStreamBytes(QByteArrayView bytes)
{
    TBoundedReader in(bytes);
    TReadOptions options;
    options.registry = &AlbumClasses();
    std::unique_ptr<TComponent> object = ReadObject(in, options);
    if (auto* album = dynamic_cast<TAlbumInfo*>(object.get())) {
        object.release();
        return std::unique_ptr<TAlbumInfo>(album);
    }
    throw EReadError(QStringLiteral("アルバム情報ではなく %1 が入っています").arg(QString::fromLatin1(object->ClassName())));
}

// --- The database ---

TAlbums::TAlbums() = default;

// The folder goes before the file it lies in; the file writes what is pending as it goes.
TAlbums::~TAlbums() = default;

void TAlbums::Open(const QString& file, bool createNew)
{
    Close();
    auto storage = std::make_unique<TFileStorage>();
    if (createNew || !QFileInfo::exists(file)) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        storage->OpenFile(file, ModeCreate);
    } else {
        storage->OpenFile(file, ModeReadWrite | ShareExclusive);
    }
    folder_ = TDocStorage::Open(*storage, true, kAlbumsStorage);
    file_ = std::move(storage);
    fileName_ = file;
    try {
        LoadEntries();
        file_->Commit();
    } catch (...) {
        folder_.reset();
        file_.reset();
        entries_.clear();
        throw;
    }
}

void TAlbums::LoadEntries()
{
    QStringList names;
    folder_->ListStreams(names);
    std::vector<std::pair<uint32_t, QString>> numbered;
    for (const QString& name : names)
        if (const uint32_t number = StreamNumber(name)) numbered.emplace_back(number, name);
    if (numbered.size() > size_t(MaxAlbums))
        throw EAlbumsError(QStringLiteral("アルバム情報ファイル「%1」のアルバムが多すぎます(%2 件)")
                               .arg(QDir::toNativeSeparators(fileName_))
                               .arg(numbered.size()));
    std::sort(numbered.begin(), numbered.end());
    entries_.clear();
    unreadable_.clear();
    skipped_.clear();
    for (const auto& [number, name] : numbered) {
        try {
            const QByteArray bytes = TDocStream::Open(*folder_, ModeRead | ShareExclusive, name)->ReadAll();
            entries_.push_back({number, AlbumFromStreamBytes(bytes)});
        } catch (const EKestrel& e) {
            unreadable_.insert(number);
            skipped_ << QStringLiteral("%1: %2").arg(name, e.Message());
        }
    }
}

void TAlbums::Close()
{
    entries_.clear();
    folder_.reset();
    const std::unique_ptr<TFileStorage> file = std::move(file_);
    if (file) file->Close();
}

void TAlbums::CheckOpen() const
{
    if (!file_) throw EAlbumsError(QStringLiteral("アルバム情報ファイルが開かれていません"));
}

void TAlbums::CheckIndex(int index) const
{
    CheckOpen();
    if (index < 0 || index >= Count())
        throw EAlbumsError(QStringLiteral("アルバムの番号 %1 は範囲外です").arg(index));
}

void TAlbums::CheckRoom() const
{
    if (Count() >= MaxAlbums) throw EAlbumsError(QStringLiteral("アルバムは %1 件までしか登録できません").arg(MaxAlbums));
}

const TAlbumInfo& TAlbums::Album(int index) const
{
    CheckIndex(index);
    return *entries_[size_t(index)].album;
}

QString TAlbums::Name(int index) const
{
    CheckIndex(index);
    return StreamName(entries_[size_t(index)].number);
}

void TAlbums::Delete(int index)
{
    CheckIndex(index);
    folder_->DeleteElement(Name(index));
    entries_.erase(entries_.begin() + index);
    Changed();
}

void TAlbums::Store(const TAlbumInfo& album, int index)
{
    CheckOpen();
    if (index >= 0 && index < Count()) {
        WriteStream(entries_[size_t(index)].number, album);
        entries_[size_t(index)].album = std::make_unique<TAlbumInfo>(album);
    } else {
        CheckRoom();
        const uint32_t number = FreeNumberAbove(entries_.empty() ? 0 : entries_.back().number);
        WriteStream(number, album);
        entries_.push_back({number, std::make_unique<TAlbumInfo>(album)});
    }
    Changed();
}

// Numbers held by unreadable streams are stepped over, so that their bytes stay as they were.
void TAlbums::InsertAt(const TAlbumInfo& album, int index)
{
    CheckOpen();
    if (index < 0 || index >= Count()) return Store(album, -1);
    CheckRoom();
    const uint32_t freed = entries_[size_t(index)].number;
    uint32_t number = FreeNumberAbove(entries_.back().number);
    for (int i = Count() - 1; i >= index; --i) {
        Rename(entries_[size_t(i)].number, number);
        entries_[size_t(i)].number = number;
        if (i > index) number = FreeNumberAtMost(number - 1);
    }
    WriteStream(freed, album);
    entries_.insert(entries_.begin() + index, TEntry{freed, std::make_unique<TAlbumInfo>(album)});
    Changed();
}

uint32_t TAlbums::FreeNumberAbove(uint32_t after) const
{
    uint32_t number = after + 1;
    while (unreadable_.contains(number)) ++number;
    if (number > kLastNumber || number == 0) throw EAlbumsError(QStringLiteral("アルバムの番号が上限に達しました"));
    return number;
}

uint32_t TAlbums::FreeNumberAtMost(uint32_t atMost) const
{
    uint32_t number = atMost;
    while (unreadable_.contains(number)) --number;
    return number;
}

void TAlbums::WriteStream(uint32_t number, const TAlbumInfo& album)
{
    const QByteArray bytes = AlbumStreamBytes(album);
    const QString name = StreamName(number);
    const QString temporary = QLatin1Char('~') + name;
    folder_->DeleteElement(temporary);
    TDocStream::Open(*folder_, ModeCreate, temporary)->WriteAll(bytes);
    folder_->DeleteElement(name);
    folder_->MoveElement(temporary, name);
}

void TAlbums::Rename(uint32_t from, uint32_t to)
{
    if (from != to) folder_->MoveElement(StreamName(from), StreamName(to));
}

void TAlbums::Changed()
{
    if (updating_ == 0) file_->Commit();
}

void TAlbums::EndUpdate()
{
    if (updating_ > 0 && --updating_ == 0 && file_) file_->Commit();
}

QString TAlbums::StreamName(uint32_t number)
{
    return QString::asprintf("$%08x", number);
}

uint32_t TAlbums::StreamNumber(const QString& name)
{
    if (name.size() != 9 || name[0] != u'$') return 0;
    bool ok = false;
    const uint32_t number = name.mid(1).toUInt(&ok, 16);
    const bool digitsOnly = std::all_of(name.begin() + 1, name.end(), [](QChar c) { return c.unicode() < 128 && std::isxdigit(c.unicode()); });
    return ok && digitsOnly && number <= kLastNumber ? number : 0;
}

TAlbumsUpdate::~TAlbumsUpdate() noexcept(false)
{
    if (std::uncaught_exceptions() == errors_) {
        albums_.EndUpdate();
        return;
    }
    try {
        albums_.EndUpdate();
    } catch (const std::exception& e) {
        ReportUnexpectedException(e);
    }
}

}  // namespace kestrel

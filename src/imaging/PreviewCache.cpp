#include "imaging/PreviewCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QFileInfo>
#include <QPainter>
#include <climits>
#include <set>

#include "app/DataMain.h"
#include "document/storage/DocStorage.h"
#include "document/storage/DocStream.h"
#include "platform/BoundedReader.h"
#include "platform/PictureCodecs.h"
#include "platform/RegularFile.h"
#include "platform/cfb/CfbTree.h"

namespace kestrel {

namespace {

constexpr qint64 MiB = 1024 * 1024;
// 100-ns units between 1601-01-01 and 1970-01-01.
constexpr int64_t UnixEpochFileTime = 116444736000000000LL;
constexpr int64_t FileTimeUnitsPerMs = 10000;

int MulDiv(int64_t value, int64_t numerator, int64_t denominator)
{
    return int((value * numerator + denominator / 2) / denominator);
}

// The smallest decoded size the DCT can give that still covers the preview.
int JpegScaleFor(QSize picture, QSize preview)
{
    for (int denom : {8, 4, 2}) {
        const QSize scaled((picture.width() + denom - 1) / denom, (picture.height() + denom - 1) / denom);
        if (scaled.width() >= preview.width() && scaled.height() >= preview.height()) return denom;
    }
    return 1;
}

QImage DecodeForPreview(const QString& path, QSize& target)
{
    TGraphicClass graphicClass;
    if (!GraphicClassForExtension(QFileInfo(path).suffix(), graphicClass) || graphicClass != TGraphicClass::gcJpeg)
        return LoadGraphicFile(path).Image();
    try {
        const QByteArray bytes = ReadRegularFile(path, MaxPictureFileBytes);
        const QSize size = JpegImageSize(bytes);
        target = PreviewSize(size.width(), size.height());
        return DecodeJpeg(bytes, JpegScaleFor(size, target));
    } catch (const EKestrel& e) {
        if (e.Message() == PictureLoadFailedMessage()) throw;
        throw EReadError(PictureLoadFailedMessage() + QLatin1Char('\n') + e.Message());
    }
}

// Deletes elements depth first until excess bytes are gone; true when everything in it went.
bool Prune(TCfbStorage& storage, int64_t& excess)
{
    std::vector<std::shared_ptr<TCfbElement>> children;
    for (const auto& [name, element] : storage.Children()) children.push_back(element);
    bool emptied = true;
    for (const auto& child : children) {
        if (excess <= 0) return false;
        if (!child->IsStorage()) continue;
        if (Prune(static_cast<TCfbStorage&>(*child), excess))
            storage.Remove(child->Name());
        else
            emptied = false;
    }
    for (const auto& child : children) {
        if (child->IsStorage()) continue;
        if (excess <= 0) return false;
        excess -= static_cast<TCfbStream&>(*child).Size();
        storage.Remove(child->Name());
    }
    return emptied;
}

}  // namespace

QSize PreviewSize(int width, int height)
{
    if (width <= 0 || height <= 0) return {};
    int w = MulDiv(width, PreviewSide, height), h = PreviewSide;
    if (w > PreviewSide) h = MulDiv(height, PreviewSide, width), w = PreviewSide;
    return {std::max(w, 1), std::max(h, 1)};
}

QImage MakePreview(const QString& path)
{
    QSize target;
    const QImage picture = DecodeForPreview(path, target);
    if (picture.isNull()) throw EReadError(PictureLoadFailedMessage());
    if (target.isEmpty()) target = PreviewSize(picture.width(), picture.height());
    QImage preview(target, QImage::Format_RGB32);
    preview.fill(Qt::white);
    QPainter painter(&preview);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), target), picture);
    return preview;
}

// ---------------------------------------------------------------- TImageCacheItem

bool TImageCacheItem::SetSource(const QString& path)
{
    picture = {};
    const QFileInfo info(path);
    if (!info.isFile()) return false;
    fileSize = uint32_t(info.size());
    fileTime = info.lastModified().toMSecsSinceEpoch() * FileTimeUnitsPerMs + UnixEpochFileTime;
    return true;
}

bool TImageCacheItem::IsValidFor(const QString& path) const
{
    TImageCacheItem now;
    return !picture.IsEmpty() && now.SetSource(path) && now.fileSize == fileSize && now.fileTime == fileTime;
}

QByteArray TImageCacheItem::Record() const
{
    QByteArray out;
    const int32_t marker = picture.IsEmpty() ? 1 : 0;
    out.append(reinterpret_cast<const char*>(&marker), 4);  // little-endian host
    out.append(reinterpret_cast<const char*>(&fileSize), 4);
    out.append(reinterpret_cast<const char*>(&fileTime), 8);
    WriteGraphicData(out, picture);
    return out;
}

TImageCacheItem TImageCacheItem::FromRecord(QByteArrayView bytes)
{
    TBoundedReader in(bytes, PictureLoadFailedMessage());
    const int32_t marker = in.ReadI32();
    if (marker > 0) return {};
    if (marker < 0) in.Fail();
    TImageCacheItem item;
    item.fileSize = in.ReadU32();
    item.fileTime = in.ReadI64();
    item.picture = ReadGraphicData(in);
    return item;
}

// ---------------------------------------------------------------- TImageCacheStorage

TImageCacheStorage::TImageCacheStorage() : limitMegabytes_(INT_MAX) {}
TImageCacheStorage::~TImageCacheStorage() = default;

void TImageCacheStorage::Open(const QString& fileName, bool readOnly)
{
    Close();
    auto file = std::make_unique<TFileStorage>();
    if (readOnly)
        file->OpenFile(fileName, ModeRead | ShareDenyWrite);
    else
        file->OpenFile(fileName, QFileInfo::exists(fileName) ? ModeReadWrite | ShareExclusive : ModeCreate);
    fileName_ = fileName;
    readOnly_ = readOnly;
    file_ = std::move(file);
}

void TImageCacheStorage::Close()
{
    if (!file_) return;
    std::unique_ptr<TFileStorage> file = std::move(file_);
    file->Close();
}

namespace {

// A path element as a compound-file element name. Names that fit stay as they are, so caches
// written before keep working; longer ones, and ones holding characters element names cannot,
// become "?" and 30 hexadecimal digits of their SHA-1, which no file name of the kind the cache
// otherwise holds looks like (and a collision of 120 bits will not happen).
QString ElementName(QString part)
{
    part.replace(':', QStringLiteral("?Drive"));
    static const QRegularExpression forbidden(QStringLiteral("[/\\\\:!]"));
    if (part.size() <= MaxElementNameLength && !part.contains(forbidden)) return part;
    const QByteArray digest = QCryptographicHash::hash(part.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QLatin1Char('?') + QString::fromLatin1(digest.left(MaxElementNameLength - 1));
}

}  // namespace

QString TImageCacheStorage::StreamPath(const QString& path)
{
    QStringList parts = QDir::fromNativeSeparators(path).split('/', Qt::SkipEmptyParts);
    for (QString& part : parts) part = ElementName(part);
    return parts.join('\\');
}

bool TImageCacheStorage::Read(const QString& path, TImageCacheItem& item)
{
    if (!file_) return false;
    const QString name = StreamPath(path);
    if (!file_->StreamExists(name)) return false;
    try {
        item = TImageCacheItem::FromRecord(TDocStream::Open(*file_, ModeRead | ShareExclusive, name)->ReadAll());
        return true;
    } catch (const EKestrel&) {
        if (!readOnly_) file_->DeleteElement(name);
        throw;
    }
}

void TImageCacheStorage::Write(const QString& path, const TImageCacheItem& item)
{
    if (!file_ || readOnly_ || FileSize() / MiB >= limitMegabytes_) return;
    TDocStream::Open(*file_, ModeCreate, StreamPath(path))->WriteAll(item.Record());
}

QStringList TImageCacheStorage::TopRecords() const
{
    QStringList names;
    if (file_) file_->ListStreams(names);
    return names;
}

void TImageCacheStorage::Remove(const QString& path)
{
    if (file_ && !readOnly_) file_->DeleteElement(StreamPath(path));
}

void TImageCacheStorage::Commit()
{
    if (file_) file_->Commit();
}

void TImageCacheStorage::SetLimit(int megabytes)
{
    limitMegabytes_ = std::max(megabytes, 0);
    if (!file_ || readOnly_) return;
    int64_t excess = FileSize() - int64_t(limitMegabytes_) * MiB;
    if (excess <= 0) return;
    Prune(file_->Storage(), excess);
    // The file is always written whole through a temporary file renamed over it, so this
    // commit is also the compaction.
    file_->Commit();
}

qint64 TImageCacheStorage::FileSize() const
{
    return fileName_.isEmpty() ? 0 : QFileInfo(fileName_).size();
}

void TImageCacheStorage::Clear()
{
    if (fileName_.isEmpty() || readOnly_) return;
    Close();
    QFile::remove(fileName_);
    Open(fileName_, false);
}

int CacheLimitFromSettings(bool enabled, int limitMegabytes)
{
    return !enabled ? 0 : limitMegabytes <= 0 ? INT_MAX : limitMegabytes;
}

TImageCacheStorage& ImageCache()
{
    static TImageCacheStorage cache;
    return cache;
}

void InstallImageCacheHooks(TStartupHooks& hooks)
{
    hooks.openImageCache = [](const QString& file, bool enabled, int limit) {
        ImageCache().Open(file, false);
        ImageCache().SetLimit(CacheLimitFromSettings(enabled, limit));
    };
    hooks.freeImageCache = [] { ImageCache().Close(); };
}

// ---------------------------------------------------------------- previews for browsers

namespace {

TGraphic FolderPreview(const QString& path)
{
    const QFileInfo info(path);
    const QString folderCache = info.dir().filePath(FolderPreviewFile);
    if (!QFileInfo::exists(folderCache)) return {};
    try {
        TImageCacheStorage cache;
        cache.Open(folderCache, true);
        TImageCacheItem item;
        return cache.Read(info.fileName(), item) ? item.picture : TGraphic();
    } catch (const EKestrel&) {
        return {};  // a folder's cache that cannot be read is as good as none
    }
}

}  // namespace

TGraphic FindPreview(const QString& path, TImageCacheStorage* userCache)
{
    if (TGraphic found = FolderPreview(path); !found.IsEmpty()) return found;
    TImageCacheItem item;
    try {
        if (userCache && userCache->Read(path, item) && item.IsValidFor(path)) return item.picture;
    } catch (const EKestrel&) {
        // the damaged record is gone; the preview is made again
    }
    return {};
}

TImageCacheItem MakePreviewItem(const QString& path)
{
    TImageCacheItem item;
    item.SetSource(path);
    item.picture = TGraphic(TGraphicClass::gcJpeg, EncodeJpeg(MakePreview(path)));
    return item;
}

void StorePreview(const QString& path, const TImageCacheItem& item, TImageCacheStorage* userCache)
{
    if (!userCache) return;
    try {
        userCache->Write(path, item);
    } catch (const EKestrel&) {
    }
}

TGraphic LoadPreview(const QString& path, TImageCacheStorage* userCache)
{
    if (TGraphic found = FindPreview(path, userCache); !found.IsEmpty()) return found;
    const TImageCacheItem item = MakePreviewItem(path);
    StorePreview(path, item, userCache);
    return item.picture;
}

// ---------------------------------------------------------------- folder previews

TThumbnailCounts FillFolderPreviews(const QString& folder, const std::function<void(int, int)>& progress)
{
    const QDir dir(folder);
    QStringList pictures;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        TGraphicClass graphicClass;
        if (name != FolderPreviewFile && GraphicClassForExtension(QFileInfo(name).suffix(), graphicClass)) pictures << name;
    }
    TImageCacheStorage cache;
    cache.Open(dir.filePath(FolderPreviewFile), false);
    TThumbnailCounts counts;
    for (int i = 0; i < pictures.size(); ++i) {
        const QString path = dir.filePath(pictures[i]);
        TImageCacheItem item;
        bool cached = false;
        try {
            cached = cache.Read(pictures[i], item) && item.IsValidFor(path);
        } catch (const EKestrel&) {
            // a damaged record was deleted; the preview is made again below
        }
        if (cached) {
            ++counts.fromCache;
        } else {
            try {
                cache.Write(pictures[i], MakePreviewItem(path));
                ++counts.decoded;
            } catch (const EKestrel&) {
                ++counts.failed;
            }
        }
        if (progress) progress(i + 1, int(pictures.size()));
    }
    for (const QString& record : cache.TopRecords())
        if (!pictures.contains(record)) cache.Remove(record);
    cache.Close();
    return counts;
}

}  // namespace kestrel

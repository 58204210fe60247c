#pragma once

// Previews of picture files kept on disk so that a folder of large photographs shows quickly
// the second time: the user's "ImageCache.ic" (records named by the full path) and a folder's
// own "Preview.ic" (records named by the file name alone), both compound files.

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>

#include "platform/Graphic.h"

namespace kestrel {

class TFileStorage;
struct TStartupHooks;

inline constexpr int PreviewSide = 200;
inline const QString FolderPreviewFile = QStringLiteral("Preview.ic");

// The size a w × h picture is shown at to fit PreviewSide × PreviewSide; small pictures are
// enlarged too. Never 0 on a side; empty pictures give an empty size.
QSize PreviewSize(int width, int height);
// Reads the picture file and makes its preview on white. JPEG files decode at a reduced size
// through the DCT where that still covers the preview. Fails like LoadGraphicFile.
QImage MakePreview(const QString& path);

// One record: the source file's size (low 32 bits), its last-write time (100-ns units since
// 1601) and the preview picture.
struct TImageCacheItem {
    uint32_t fileSize = 0;
    int64_t fileTime = 0;
    TGraphic picture;

    // Records the file's size and time and empties the picture; false when the file is missing.
    bool SetSource(const QString& path);
    // Holds a picture, and the file exists with exactly the recorded size and time.
    bool IsValidFor(const QString& path) const;

    QByteArray Record() const;
    // Fails with EReadError on a damaged record; a positive marker reads as an empty item.
    static TImageCacheItem FromRecord(QByteArrayView bytes);
};

class TImageCacheStorage {
public:
    TImageCacheStorage();
    ~TImageCacheStorage();

    // Read-only opens share the file with other readers; otherwise it is created when missing.
    void Open(const QString& fileName, bool readOnly);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

    // Stream names: the path with every ":" as "?Drive", each "/" descending into a storage;
    // an element too long for a compound file, or holding "\\" or "!", as "?" and a digest.
    static QString StreamPath(const QString& path);
    // False when there is no record; a damaged record is deleted and the error passed on.
    bool Read(const QString& path, TImageCacheItem& item);
    // Only while the file is below its limit; writes go to disk when the cache is committed.
    void Write(const QString& path, const TImageCacheItem& item);
    void Commit();
    // The records at the top level (those of a folder's own cache).
    QStringList TopRecords() const;
    void Remove(const QString& path);

    // In MiB; a file above it is pruned and rewritten compactly.
    void SetLimit(int megabytes);
    int Limit() const { return limitMegabytes_; }
    qint64 FileSize() const;
    // Deletes every record: the file is closed, removed and made afresh, keeping the limit.
    void Clear();

private:
    QString fileName_;
    bool readOnly_ = true;
    int limitMegabytes_;
    std::unique_ptr<TFileStorage> file_;
};

// The user's cache of the running program ("$(ImageCacheFile)").
TImageCacheStorage& ImageCache();
// Start-up opens the user's cache with its limit in MiB (0: unlimited; a disabled cache stores
// nothing and is pruned to nothing); shutdown closes it.
void InstallImageCacheHooks(TStartupHooks& hooks);
// The limit in MiB that the settings "CacheEnabl" and "CacheLimit" (0: unlimited) give.
int CacheLimitFromSettings(bool enabled, int limitMegabytes);

// The preview a picture browser shows for a file: the record in the file's own folder's
// "Preview.ic" when there is one (even when older than the file), else the user's cache record
// while it is valid for the file, else a new preview, stored in the user's cache (write errors
// are ignored). Fails like MakePreview when the file cannot be read.
TGraphic LoadPreview(const QString& path, TImageCacheStorage* userCache);
// The first two steps of LoadPreview: an empty graphic when the file's preview must be made.
TGraphic FindPreview(const QString& path, TImageCacheStorage* userCache);
// A new preview of the file as a cache record (JPEG), with the file's size and time taken
// before it was read. Fails like MakePreview.
TImageCacheItem MakePreviewItem(const QString& path);
// Stores the record in the user's cache; write errors are ignored.
void StorePreview(const QString& path, const TImageCacheItem& item, TImageCacheStorage* userCache);

struct TThumbnailCounts {
    int fromCache = 0;
    int decoded = 0;
    int failed = 0;
};

// Fills or refreshes FOLDER/Preview.ic with the previews of the folder's picture files (in name
// order); progress(done, total) after each file. Records of files that are gone are dropped.
TThumbnailCounts FillFolderPreviews(const QString& folder, const std::function<void(int, int)>& progress = {});

}  // namespace kestrel

#pragma once

// The previews of a picture browser's file pack, made without keeping the browser waiting:
// previews found in a folder's "Preview.ic" or in the user's cache are handed out at once; the
// others show a blank placeholder while a worker thread decodes their files, most wanted first,
// and replace it when they are done. Finished previews are written to the user's cache, so a
// second opening decodes nothing. Decoding runs on up to one worker thread per core (at most 4).

#include <QList>
#include <QObject>
#include <QSet>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "document/Notify.h"
#include "imaging/PreviewCache.h"

namespace kestrel {

class TFileImagePack;
class TPictureEx;

// What a browser shows for a picture whose preview is still being made (light grey).
const TGraphic& PreviewPlaceholder();

class TPreviewLoader {
public:
    // Installs itself as the pack's OnFileLoad; both must outlive the loader. Without a user
    // cache previews are made every time.
    TPreviewLoader(TFileImagePack& pack, TImageCacheStorage* userCache);
    // Stops the workers (after the files they are decoding) and commits the user's cache.
    ~TPreviewLoader();
    TPreviewLoader(const TPreviewLoader&) = delete;
    TPreviewLoader& operator=(const TPreviewLoader&) = delete;

    // Called on the loader's thread when picture i of the pack has its preview.
    std::function<void(int i)> OnReady;

    // The pictures the browser shows now, most wanted first: their previews are made first, and
    // waiting ones no longer wanted are dropped.
    void Want(const QList<int>& indexes);
    // No decoding waiting or under way.
    bool Idle() const;
    const TThumbnailCounts& Counts() const { return counts_; }

private:
    struct TJob {
        int index;
        QString path;
        int generation;
    };
    void Load(const QString& path, TPictureEx& picture);
    void Enqueue(int index, const QString& path);
    void Work();
    void Finish(const TJob& job, const TImageCacheItem& item, bool failed);
    void ForgetQueue();

    TFileImagePack& pack_;
    TImageCacheStorage* userCache_;
    TListener packListener_;
    QObject context_;  // receives the worker's results on the loader's thread
    TThumbnailCounts counts_;
    int generation_ = 0;  // bumped when the pack's files change, so stale results are ignored
    QSet<int> inFlight_;  // pictures queued or being decoded in this generation
    int pending_ = 0;     // jobs queued or being decoded, of any generation

    mutable std::mutex lock_;
    std::condition_variable wake_;
    std::deque<TJob> queue_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace kestrel

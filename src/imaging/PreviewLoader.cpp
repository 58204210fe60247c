#include "imaging/PreviewLoader.h"

#include <QMetaObject>
#include <QThread>
#include <algorithm>

#include "imaging/ImagePack.h"
#include "platform/Error.h"

namespace kestrel {

namespace {

constexpr int MaxWorkers = 4;

}  // namespace

const TGraphic& PreviewPlaceholder()
{
    static const TGraphic placeholder = [] {
        QImage image(4, 3, QImage::Format_RGB32);
        image.fill(QColor(0xE8, 0xE8, 0xE8));
        return TGraphic::FromImage(image);
    }();
    return placeholder;
}

TPreviewLoader::TPreviewLoader(TFileImagePack& pack, TImageCacheStorage* userCache)
    : pack_(pack),
      userCache_(userCache),
      packListener_([this](TPersistent*, const QUuid& kind) {
          if (kind == NotifyImagePackChanging) ForgetQueue();
      })
{
    const int count = std::clamp(QThread::idealThreadCount(), 1, MaxWorkers);
    for (int i = 0; i < count; ++i) workers_.emplace_back([this] { Work(); });
    packListener_.ListenTo(pack_.Notify());
    pack_.OnFileLoad = [this](const QString& path, TPictureEx& picture) { Load(path, picture); };
}

TPreviewLoader::~TPreviewLoader()
{
    {
        std::lock_guard guard(lock_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
    pack_.OnFileLoad = nullptr;
    if (!userCache_) return;
    try {
        userCache_->Commit();
    } catch (const EKestrel&) {
        // the previews are made again next time
    }
}

void TPreviewLoader::Load(const QString& path, TPictureEx& picture)
{
    if (const TGraphic found = FindPreview(path, userCache_); !found.IsEmpty()) {
        ++counts_.fromCache;
        return picture.SetGraphic(found);
    }
    picture.SetGraphic(PreviewPlaceholder());
    Enqueue(int(pack_.FileList().indexOf(path)), path);
}

void TPreviewLoader::Enqueue(int index, const QString& path)
{
    if (index < 0 || inFlight_.contains(index)) return;
    inFlight_.insert(index);
    ++pending_;
    {
        std::lock_guard guard(lock_);
        queue_.push_back({index, path, generation_});
    }
    wake_.notify_one();
}

void TPreviewLoader::Want(const QList<int>& indexes)
{
    TPictureEx picture;
    for (int i : indexes) pack_.GetImage(picture, i);  // cached previews now, the others queued
    std::lock_guard guard(lock_);
    // Wanted jobs first, in the order asked for; the rest keep theirs behind them.
    std::stable_sort(queue_.begin(), queue_.end(), [&indexes](const TJob& a, const TJob& b) {
        const qsizetype ia = indexes.indexOf(a.index), ib = indexes.indexOf(b.index);
        return (ia < 0 ? indexes.size() : ia) < (ib < 0 ? indexes.size() : ib);
    });
}

bool TPreviewLoader::Idle() const { return pending_ == 0; }

void TPreviewLoader::ForgetQueue()
{
    ++generation_;
    inFlight_.clear();
    std::lock_guard guard(lock_);
    pending_ -= int(queue_.size());
    queue_.clear();
}

void TPreviewLoader::Work()
{
    for (;;) {
        TJob job;
        {
            std::unique_lock guard(lock_);
            wake_.wait(guard, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            job = queue_.front();
            queue_.pop_front();
        }
        auto item = std::make_shared<TImageCacheItem>();
        bool failed = false;
        try {
            *item = MakePreviewItem(job.path);
        } catch (const EKestrel&) {
            failed = true;
        }
        QMetaObject::invokeMethod(&context_, [this, job, item, failed] { Finish(job, *item, failed); }, Qt::QueuedConnection);
    }
}

void TPreviewLoader::Finish(const TJob& job, const TImageCacheItem& item, bool failed)
{
    --pending_;
    if (job.generation != generation_) return;
    inFlight_.remove(job.index);
    if (pack_.IsInvalidIndex(job.index)) return;
    if (failed) {
        ++counts_.failed;
        pack_.CachedPicture(job.index).SetGraphic(ErrorPicture());
    } else {
        ++counts_.decoded;
        StorePreview(job.path, item, userCache_);
        pack_.CachedPicture(job.index).SetGraphic(item.picture);
    }
    if (OnReady) OnReady(job.index);
}

}  // namespace kestrel

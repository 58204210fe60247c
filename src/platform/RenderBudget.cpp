#include "platform/RenderBudget.h"

#include <unordered_map>

#include "platform/RegularFile.h"

namespace kestrel {

// The memory behind one budget or several sharing it.
class TPictureMemory {
public:
    explicit TPictureMemory(qint64 limit) : limit_(limit) {}
    ~TPictureMemory()
    {
        for (TBudgetCharge* charge : charges_) charge->memory_ = nullptr;
    }
    TPictureMemory(const TPictureMemory&) = delete;
    TPictureMemory& operator=(const TPictureMemory&) = delete;

    qint64 Limit() const { return limit_; }
    qint64 Held() const { return held_; }

    bool MakeRoom(qint64 bytes)
    {
        if (bytes > limit_) return false;
        while (held_ + bytes > limit_ && !charges_.empty()) {
            TBudgetCharge& oldest = *charges_.front();
            const std::function<void()> drop = std::move(oldest.drop_);
            Forget(oldest);
            if (drop) drop();
        }
        return true;
    }

    void Hold(TBudgetCharge& charge, qint64 bytes, std::function<void()> drop)
    {
        charge.Release();
        charge.memory_ = this;
        charge.bytes_ = bytes;
        charge.drop_ = std::move(drop);
        charge.at_ = charges_.insert(charges_.end(), &charge);
        held_ += bytes;
    }

    void Touch(TBudgetCharge& charge)
    {
        if (charge.memory_ == this) charges_.splice(charges_.end(), charges_, charge.at_);
    }

    void Forget(TBudgetCharge& charge)
    {
        charges_.erase(charge.at_);
        held_ -= charge.bytes_;
        charge.memory_ = nullptr;
        charge.bytes_ = 0;
        charge.drop_ = {};
    }

    const QImage* SharedPicture(const QByteArray& key)
    {
        const auto found = shared_.find(key);
        if (found == shared_.end()) return nullptr;
        Touch(found->second->charge);
        return &found->second->picture;
    }

    const QImage& SharePicture(const QByteArray& key, QImage picture)
    {
        auto& entry = shared_[key];
        if (!entry) entry = std::make_unique<TShared>();
        entry->picture = std::move(picture);
        Hold(entry->charge, entry->picture.sizeInBytes(), [this, key] { shared_.erase(key); });
        return entry->picture;
    }

    int SharedPictureCount() const { return int(shared_.size()); }

private:
    struct TShared {
        QImage picture;
        TBudgetCharge charge;
    };

    qint64 limit_;
    qint64 held_ = 0;
    std::list<TBudgetCharge*> charges_;  // least recently used first
    std::unordered_map<QByteArray, std::unique_ptr<TShared>> shared_;
};

void TBudgetCharge::Release()
{
    if (memory_) memory_->Forget(*this);
}

TRenderBudget::TRenderBudget(qint64 pictureBytes) : memory_(std::make_shared<TPictureMemory>(pictureBytes)) {}

TRenderBudget::~TRenderBudget() = default;

void TRenderBudget::ShareMemoryOf(TRenderBudget& other)
{
    Q_ASSERT(memory_->Held() == 0);
    memory_ = other.memory_;
}

qint64 TRenderBudget::Limit() const { return memory_->Limit(); }

qint64 TRenderBudget::Held() const { return memory_->Held(); }

bool TRenderBudget::MakeRoom(qint64 bytes, const QString& what)
{
    if (memory_->MakeRoom(bytes)) return true;
    if (!what.isEmpty())
        Note(QStringLiteral("%1は描くのに %2 要り、上限の %3 を超えるため描けません")
                 .arg(what, SizeLimitText(bytes), SizeLimitText(memory_->Limit())));
    return false;
}

void TRenderBudget::Hold(TBudgetCharge& charge, qint64 bytes, std::function<void()> drop)
{
    memory_->Hold(charge, bytes, std::move(drop));
}

void TRenderBudget::Touch(TBudgetCharge& charge) { memory_->Touch(charge); }

const QImage* TRenderBudget::SharedPicture(const QByteArray& key) { return memory_->SharedPicture(key); }

const QImage& TRenderBudget::SharePicture(const QByteArray& key, QImage picture)
{
    return memory_->SharePicture(key, std::move(picture));
}

int TRenderBudget::SharedPictureCount() const { return memory_->SharedPictureCount(); }

void TRenderBudget::Note(const QString& problem)
{
    if (!problems_.contains(problem)) problems_ << problem;
}

QString PictureDescription(const QString& kind, int width, int height, const QString& source)
{
    const QString picture = QStringLiteral("%1（%2×%3）").arg(kind).arg(width).arg(height);
    return source.isEmpty() ? picture : QStringLiteral("%1「%2」").arg(picture, source);
}

}  // namespace kestrel

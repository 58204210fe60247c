#include "platform/RenderBudget.h"

#include "platform/RegularFile.h"


namespace kestrel {

void TBudgetCharge::Release()
{
    if (budget_) budget_->Forget(*this);
}

TRenderBudget::~TRenderBudget()
{
    for (TBudgetCharge* charge : charges_) charge->budget_ = nullptr;
}

void TRenderBudget::Forget(TBudgetCharge& charge)
{
    charges_.erase(charge.at_);
    held_ -= charge.bytes_;
    charge.budget_ = nullptr;
    charge.bytes_ = 0;
    charge.drop_ = {};
}

bool TRenderBudget::MakeRoom(qint64 bytes, const QString& what)
{
    if (bytes > limit_) {
        if (!what.isEmpty())
            Note(QStringLiteral("%1は描くのに %2 要り、上限の %3 を超えるため描けません")
                     .arg(what, SizeLimitText(bytes), SizeLimitText(limit_)));
        return false;
    }
    while (held_ + bytes > limit_ && !charges_.empty()) {
        TBudgetCharge& oldest = *charges_.front();
        const std::function<void()> drop = std::move(oldest.drop_);
        Forget(oldest);
        if (drop) drop();
    }
    return true;
}

void TRenderBudget::Hold(TBudgetCharge& charge, qint64 bytes, std::function<void()> drop)
{
    charge.Release();
    charge.budget_ = this;
    charge.bytes_ = bytes;
    charge.drop_ = std::move(drop);
    charge.at_ = charges_.insert(charges_.end(), &charge);
    held_ += bytes;
}

void TRenderBudget::Touch(TBudgetCharge& charge)
{
    if (charge.budget_ == this) charges_.splice(charges_.end(), charges_, charge.at_);
}

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

#include "render/GradationColors.h"

#include <algorithm>

#include "document/stream/ValueCodec.h"
#include "platform/BoundedReader.h"
#include "platform/Error.h"

namespace kestrel {

namespace {

const std::vector<TColor> DefaultStops{clWhite, clBlack};

[[noreturn]] void ThrowStopIndex(int i)
{
    throw EKestrel(QStringLiteral("グラデーションの色番号 %1 は範囲外です").arg(i));
}

}  // namespace

const TClassInfo& TGradationColors::StaticClass()
{
    static const TClassInfo info("TGradationColors", &TPersistent::StaticClass(), FactoryOf<TGradationColors>(), [] {
        return TPropsOf<TGradationColors>()
            .Int("RepeatCount", &TGradationColors::RepeatCount, &TGradationColors::SetRepeatCount, 1)
            .Done();
    });
    return info;
}

TGradationColors::TGradationColors() : stops_(DefaultStops), notify_(this) {}

TColor TGradationColors::Stop(int i) const
{
    if (i < 0 || i >= Count()) ThrowStopIndex(i);
    return stops_[static_cast<size_t>(i)];
}

void TGradationColors::SetStop(int i, TColor color)
{
    if (i < 0 || i >= Count()) ThrowStopIndex(i);
    if (stops_[static_cast<size_t>(i)] == color) return;
    stops_[static_cast<size_t>(i)] = color;
    notify_.Changed();
}

void TGradationColors::SetCount(int n)
{
    if (n < 0) ThrowStopIndex(n);
    if (n == Count()) return;
    stops_.resize(static_cast<size_t>(n), clBlack);
    notify_.Changed();
}

void TGradationColors::SetStops(std::vector<TColor> stops)
{
    if (stops == stops_) return;
    stops_ = std::move(stops);
    notify_.Changed();
}

void TGradationColors::SetRepeatCount(int n)
{
    if (n == repeatCount_) return;
    repeatCount_ = n;
    notify_.Changed();
}

TGradationColorList TGradationColors::GetColorArray() const
{
    return {stops_, std::clamp(repeatCount_, 1, MaxEffectiveRepeat)};
}

void TGradationColors::Reverse()
{
    TUpdateScope batch(notify_);
    std::vector<TColor> reversed(stops_.rbegin(), stops_.rend());
    SetStops(std::move(reversed));
}

void TGradationColors::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TGradationColors*>(&source);
    if (!other) return TPersistent::Assign(source);
    TUpdateScope batch(notify_);
    SetStops(other->stops_);
    SetRepeatCount(other->repeatCount_);
}

bool TGradationColors::IsDefaultList() const
{
    return stops_ == DefaultStops;
}

void TGradationColors::DefineProperties(TFiler& filer)
{
    filer.DefineBinaryProperty(
        "Colors", [this](TBoundedReader& in) { ReadColors(in); },
        [this](QByteArray& out) { WriteColors(out); }, !IsDefaultList());
}

void TGradationColors::ReadColors(TBoundedReader& in)
{
    const int32_t count = in.ReadI32();
    // The record holds exactly its stops; anything else is damage, not a shorter list.
    if (count < 0 || int64_t(count) * 4 != in.Remaining())
        throw EReadError(QStringLiteral("グラデーションの色データが壊れています"));
    std::vector<TColor> stops(static_cast<size_t>(count));
    for (TColor& c : stops) c = in.ReadI32();
    SetStops(std::move(stops));
}

void TGradationColors::WriteColors(QByteArray& out) const
{
    TWriter writer(out);
    writer.WriteInt32(Count());
    for (TColor c : stops_) writer.WriteInt32(c);
}

}  // namespace kestrel

#include "render/GridGuide.h"

#include <algorithm>
#include <cstdlib>

#include "document/stream/ValueCodec.h"
#include "platform/BoundedReader.h"
#include "platform/Canvas.h"
#include "platform/Error.h"

namespace kestrel {
namespace {

// 64-bit so that coordinates near the ends of the int range neither overflow nor loop forever.
int64_t Distance(int64_t a, int64_t b)
{
    return std::abs(a - b);
}

int SnapAxis(int v, int size)
{
    const int64_t s = size;
    return static_cast<int>(s * ((v + s / 2) / s) - v);
}

// The first of start, start + step, ... that is not below from.
int64_t FirstStepFrom(int64_t start, int64_t from, int64_t step)
{
    if (from <= start) return start;
    return start + (from - start + step - 1) / step * step;
}

}  // namespace

// ---------------------------------------------------------------- grid

const TClassInfo& TGrid::StaticClass()
{
    static const TClassInfo info("TGrid", &TPersistent::StaticClass(), FactoryOf<TGrid>(), [] {
        return TPropsOf<TGrid>()
            .Bool("LineShape", &TGrid::LineShape, &TGrid::SetLineShape, NoDefault)
            .Bool("Visible", &TGrid::Visible, &TGrid::SetVisible, NoDefault)
            .Int("Size", &TGrid::Size, &TGrid::SetSize, NoDefault)
            .Bool("Enabled", &TGrid::Enabled, &TGrid::SetEnabled, NoDefault)
            .Done();
    });
    return info;
}

QPoint TGrid::SnapOffset(QPoint p) const
{
    if (!enabled_) return {NoSnap, NoSnap};
    return {SnapAxis(p.x(), size_), SnapAxis(p.y(), size_)};
}

void TGrid::Draw(TCanvas& canvas, const TRect& rect) const
{
    if (!visible_) return;
    if (lineShape_)
        DrawLines(canvas, rect);
    else
        DrawDots(canvas, rect);
}

void TGrid::DrawLines(TCanvas& canvas, const TRect& rect) const
{
    for (int64_t x = rect.left; x < rect.right; x += size_) {
        canvas.MoveTo({int(x), rect.top});
        canvas.LineTo({int(x), rect.bottom});
    }
    for (int64_t y = rect.top; y < rect.bottom; y += size_) {
        canvas.MoveTo({rect.left, int(y)});
        canvas.LineTo({rect.right, int(y)});
    }
}

void TGrid::DrawDots(TCanvas& canvas, const TRect& rect) const
{
    // Only the dots that can show are visited: a small interval over a large face is many points.
    const TRect visible = canvas.ClipBox().Inflated(1);
    const int64_t right = std::min(rect.right, visible.right);
    const int64_t bottom = std::min(rect.bottom, visible.bottom);
    const int64_t firstY = FirstStepFrom(rect.top, visible.top, size_);
    for (int64_t x = FirstStepFrom(rect.left, visible.left, size_); x < right; x += size_)
        for (int64_t y = firstY; y < bottom; y += size_) canvas.SetPixel({int(x), int(y)}, canvas.Pen().color);
}

// ---------------------------------------------------------------- guide

const TClassInfo& TGuide::StaticClass()
{
    static const TClassInfo info("TGuide", &TPersistent::StaticClass(), FactoryOf<TGuide>(), [] {
        return TPropsOf<TGuide>()
            .Bool("Visible", &TGuide::Visible, &TGuide::SetVisible, NoDefault)
            .Bool("Enabled", &TGuide::Enabled, &TGuide::SetEnabled, NoDefault)
            .NeverStored("Count")
            .Done();
    });
    return info;
}

size_t TGuide::CheckedIndex(int i)
{
    if (i < 0 || i >= SlotCount) throw EKestrel(QStringLiteral("ガイドの番号 %1 は範囲外です").arg(i));
    return size_t(i);
}

QPoint TGuide::Slot(int i) const
{
    return slots_[CheckedIndex(i)];
}

void TGuide::SetSlot(int i, QPoint pos)
{
    Update(slots_[CheckedIndex(i)], pos);
}

TGuide::TMatch TGuide::Match(const QPoint& slot, QPoint p, int tolerance)
{
    if (slot.x() != 0)
        return Distance(slot.x(), p.x()) <= tolerance && Distance(slot.y(), 0) <= tolerance ? TMatch::Vertical
                                                                                          : TMatch::None;
    if (slot.y() != 0 && Distance(slot.y(), p.y()) <= tolerance) return TMatch::Horizontal;
    return TMatch::None;
}

QPoint TGuide::SnapOffset(QPoint p, int tolerance) const
{
    if (!enabled_) return {NoSnap, NoSnap};
    int64_t dx = NoSnap, dy = NoSnap;
    for (const QPoint& slot : slots_) {
        switch (Match(slot, p, tolerance)) {
        case TMatch::Vertical:
            if (const int64_t d = int64_t(slot.x()) - p.x(); std::abs(d) < std::abs(dx)) dx = d;
            break;
        case TMatch::Horizontal:
            if (const int64_t d = int64_t(slot.y()) - p.y(); std::abs(d) < std::abs(dy)) dy = d;
            break;
        case TMatch::None: break;
        }
    }
    return {int(dx), int(dy)};
}

int TGuide::GuideAt(QPoint p, int tolerance) const
{
    if (!enabled_) return -1;
    for (int i = 0; i < SlotCount; ++i)
        if (Match(slots_[size_t(i)], p, tolerance) != TMatch::None) return i;
    return -1;
}

int TGuide::FirstFreeSlot() const
{
    const auto free = std::find(slots_.begin(), slots_.end(), QPoint());
    return free == slots_.end() ? -1 : int(free - slots_.begin());
}

bool TGuide::IsEmpty() const
{
    return std::all_of(slots_.begin(), slots_.end(), [](const QPoint& s) { return s.isNull(); });
}

bool TGuide::LiesIn(const QPoint& slot, const TRect& rect)
{
    if (slot.x() != 0) return slot.y() == 0 && rect.left <= slot.x() && slot.x() <= rect.right;
    return rect.top <= slot.y() && slot.y() <= rect.bottom;
}

void TGuide::ClipTo(const TRect& rect)
{
    for (QPoint& slot : slots_)
        if (!LiesIn(slot, rect)) Update(slot, QPoint());
    if (IsEmpty()) SetEnabled(false);
}

void TGuide::Draw(TCanvas& canvas, const TRect& rect) const
{
    if (!visible_) return;
    for (const QPoint& slot : slots_) {
        if (slot.x() != 0) {
            canvas.MoveTo({slot.x(), rect.top});
            canvas.LineTo({slot.x(), rect.bottom});
        } else if (slot.y() != 0) {
            canvas.MoveTo({rect.left, slot.y()});
            canvas.LineTo({rect.right, slot.y()});
        }
    }
}

void TGuide::Assign(const TPersistent& source)
{
    TPersistent::Assign(source);
    // The positions are the class's own record, outside the property table.
    if (const auto* other = dynamic_cast<const TGuide*>(&source)) Update(slots_, other->slots_);
}

void TGuide::DefineProperties(TFiler& filer)
{
    filer.DefineBinaryProperty(
        "Pos", [this](TBoundedReader& in) { ReadPos(in); }, [this](QByteArray& out) { WritePos(out); }, true);
}

void TGuide::ReadPos(TBoundedReader& in)
{
    const int32_t count = in.ReadI32();
    if (count < 0) throw EReadError(QStringLiteral("ガイドの位置データが壊れています"));
    const int read = std::min<int>(count, SlotCount);
    // All pairs present or none taken: a damaged record leaves the guide as it was.
    in.Need(int64_t(read) * 8);
    for (int i = 0; i < read; ++i) {
        const int x = in.ReadI32();
        slots_[size_t(i)] = QPoint(x, in.ReadI32());
    }
}

void TGuide::WritePos(QByteArray& out) const
{
    TWriter writer(out);
    writer.WriteInt32(SlotCount);
    for (const QPoint& slot : slots_) {
        writer.WriteInt32(slot.x());
        writer.WriteInt32(slot.y());
    }
}

// ---------------------------------------------------------------- layout screens

void DrawLayoutOverlay(TCanvas& canvas, const TGrid& grid, const TGuide& guide, const TRect& area)
{
    constexpr TColor GridLineColor = 0xC0C0C0;
    constexpr TColor GuideColor = clBlue;
    TCanvasStateSaver saved(canvas);
    canvas.SetBrush({clWhite, TBrushStyle::bsClear});
    if (grid.LineShape())
        canvas.SetPen({GridLineColor, 0, TPenStyle::psDot, TPenMode::pmCopy});
    else
        canvas.SetPen({GuideColor, 0, TPenStyle::psSolid, TPenMode::pmCopy});
    grid.Draw(canvas, area);
    canvas.SetPen({GuideColor, 0, TPenStyle::psDot, TPenMode::pmCopy});
    guide.Draw(canvas, area);
}

}  // namespace kestrel

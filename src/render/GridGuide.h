#pragma once

// The grid and the guide lines of a sheet. Coordinates are logical units of a face's draw site
// with (0, 0) at the face's top-left corner. An offset of INT_MAX on an axis means "no snap".

#include <QPoint>
#include <array>
#include <functional>

#include "document/stream/Persistent.h"
#include "platform/Geometry.h"

namespace kestrel {

class TCanvas;

inline constexpr int NoSnap = 2147483647;

// Tells its owner (the document) about every change of its values.
class TChangeReporter {
public:
    void SetOnChange(std::function<void()> handler) { onChange_ = std::move(handler); }

protected:
    // Stores the value and reports when it differs.
    template <class T>
    void Update(T& field, const T& value)
    {
        if (field == value) return;
        field = value;
        ReportChange();
    }
    void ReportChange() const
    {
        if (onChange_) onChange_();
    }

private:
    std::function<void()> onChange_;
};

class TGrid : public TPersistent, public TChangeReporter {
    KESTREL_PERSISTENT()
public:
    static constexpr int DefaultSize = 50;

    bool LineShape() const { return lineShape_; }
    void SetLineShape(bool value) { Update(lineShape_, value); }
    bool Visible() const { return visible_; }
    void SetVisible(bool value) { Update(visible_, value); }
    int Size() const { return size_; }
    // A size below 1 (only a damaged or foreign document holds one) becomes the default, so that
    // snapping never divides by zero and drawing always advances.
    void SetSize(int value) { Update(size_, value > 0 ? value : DefaultSize); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { Update(enabled_, value); }

    // Moves p onto the nearest grid point; truncating division, so negative coordinates round
    // toward zero.
    QPoint SnapOffset(QPoint p) const;
    // Dots in the pen's colour, or lines with the pen, over rect; nothing when not visible.
    void Draw(TCanvas& canvas, const TRect& rect) const;

private:
    void DrawLines(TCanvas& canvas, const TRect& rect) const;
    void DrawDots(TCanvas& canvas, const TRect& rect) const;

    bool lineShape_ = false;
    bool visible_ = false;
    int size_ = DefaultSize;
    bool enabled_ = false;
};

// Ten slots of (X, Y): X != 0 is a vertical guide at x = X, else Y != 0 a horizontal one at
// y = Y, else the slot is empty.
class TGuide : public TPersistent, public TChangeReporter {
    KESTREL_PERSISTENT()
public:
    static constexpr int SlotCount = 10;

    bool Visible() const { return visible_; }
    void SetVisible(bool value) { Update(visible_, value); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { Update(enabled_, value); }
    int Count() const { return SlotCount; }

    // i must be 0..Count()-1.
    QPoint Slot(int i) const;
    void SetSlot(int i, QPoint pos);

    QPoint SnapOffset(QPoint p, int tolerance) const;
    // The first slot whose guide is within tolerance of p, or -1 (always -1 when not enabled).
    int GuideAt(QPoint p, int tolerance) const;
    int FirstFreeSlot() const;
    bool IsEmpty() const;
    // Empties the slots outside rect (edges included); an emptied guide is no longer enabled.
    void ClipTo(const TRect& rect);
    void Draw(TCanvas& canvas, const TRect& rect) const;

    void Assign(const TPersistent& source) override;
    void DefineProperties(TFiler& filer) override;

private:
    enum class TMatch { None, Vertical, Horizontal };
    static TMatch Match(const QPoint& slot, QPoint p, int tolerance);
    static size_t CheckedIndex(int i);
    static bool LiesIn(const QPoint& slot, const TRect& rect);
    void ReadPos(TBoundedReader& in);
    void WritePos(QByteArray& out) const;

    std::array<QPoint, SlotCount> slots_{};
    bool visible_ = false;
    bool enabled_ = false;
};

// What the layout screens draw over a face after its objects: the grid (dotted silver lines or
// blue dots), then the guides as dotted blue lines.
void DrawLayoutOverlay(TCanvas& canvas, const TGrid& grid, const TGuide& guide, const TRect& area);

}  // namespace kestrel

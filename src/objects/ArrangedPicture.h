#pragma once

// A picture repeated in a pattern inside its rectangle. One copy is BaseWidth × BaseHeight
// logical units (a fifth of the rectangle's smaller side when not set). The styles:
// - asNone: the picture once, like a plain picture object.
// - asCirCircum: copies centred on a circle inside the rectangle (radius: half the smaller side
//   less half a copy's height), as many as fit side by side without overlapping, evenly spaced
//   from the top clockwise (Reverse: counter-clockwise); with Rotate each copy is turned so its
//   top faces outwards.
// - asCirContinue: the same circle covered without gaps: each copy is widened to an equal share
//   of the circumference and always turned to follow the circle.
// - asCirDoughnut: rings of continuous copies from the rim inwards, one copy's height apart,
//   until the next ring would not fit.
// - asCirCircle: the picture once, cut to the circle inscribed in the rectangle.
// - asRectTile: copies side by side in rows from the top-left; TileRepeat fills the whole
//   rectangle (the last row and column cut off), otherwise only whole copies are drawn, centred.
// - asRectRandom: one copy per copy-sized area of the rectangle, at positions (and with Rotate,
//   angles) from a generator seeded by the object's own sizes, so a document always gives the
//   same picture.
// - asFixed: five copies: the four corners and the centre.
// With Transform every other copy is mirrored left to right. Everything is cut to the rectangle.

#include "objects/PictureObject.h"

namespace kestrel {

enum TArrangeStyle { asNone, asCirCircum, asCirContinue, asCirDoughnut, asCirCircle, asRectTile, asRectRandom, asFixed };
const TEnumInfo& ArrangeStyleInfo();

// One copy: its centre, size and turn (degrees, clockwise), and whether it is mirrored.
struct TArrangedCopy {
    QPointF centre;
    QSizeF size;
    double angle = 0;
    bool mirrored = false;
};

class TLOArrangedImage : public TLOImage {
    KESTREL_PERSISTENT()
public:
    int BaseWidth() const { return baseWidth_; }
    void SetBaseWidth(int value) { Change(baseWidth_, value); }
    int BaseHeight() const { return baseHeight_; }
    void SetBaseHeight(int value) { Change(baseHeight_, value); }
    TArrangeStyle ArrangeStyle() const { return style_; }
    void SetArrangeStyle(TArrangeStyle style) { Change(style_, style); }
    bool Transform() const { return transform_; }
    void SetTransform(bool value) { Change(transform_, value); }
    bool Rotate() const { return rotate_; }
    void SetRotate(bool value) { Change(rotate_, value); }
    bool Reverse() const { return reverse_; }
    void SetReverse(bool value) { Change(reverse_, value); }
    bool TileRepeat() const { return tileRepeat_; }
    void SetTileRepeat(bool value) { Change(tileRepeat_, value); }

    // The copies the style lays out in the current rectangle.
    std::vector<TArrangedCopy> Copies() const;
    void Paint(TCanvas& canvas) override;

private:
    template <typename T>
    void Change(T& field, T value)
    {
        if (field == value) return;
        field = value;
        Changed();
    }
    QSizeF CopySize() const;
    std::vector<TArrangedCopy> Ring(double radius, bool continuous) const;
    std::vector<TArrangedCopy> Tiles() const;
    std::vector<TArrangedCopy> Scattered() const;

    int baseWidth_ = 0;
    int baseHeight_ = 0;
    TArrangeStyle style_ = asNone;
    bool transform_ = false;
    bool rotate_ = false;
    bool reverse_ = false;
    bool tileRepeat_ = false;
};

}  // namespace kestrel

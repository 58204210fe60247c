#include "objects/ArrangedPicture.h"

#include <QPainter>
#include <cmath>
#include <numbers>
#include <random>

#include "platform/Canvas.h"
#include "platform/Rounding.h"

namespace kestrel {

namespace {

constexpr int DefaultCopyShare = 5;  // a copy is this share of the smaller side when unset
constexpr int MaxCopies = 2000;       // beyond this the copies are too small to see

TRect CopyBounds(const TArrangedCopy& copy)
{
    const QRectF box(copy.centre.x() - copy.size.width() / 2, copy.centre.y() - copy.size.height() / 2, copy.size.width(),
                     copy.size.height());
    const TRect rect{int(RoundHalfAway(box.left())), int(RoundHalfAway(box.top())), int(RoundHalfAway(box.right())),
                     int(RoundHalfAway(box.bottom()))};
    const QRectF turned = RotatedCorners(rect, int(RoundHalfAway(copy.angle))).boundingRect();
    return {int(RoundHalfAway(turned.left())), int(RoundHalfAway(turned.top())), int(RoundHalfAway(turned.right())),
            int(RoundHalfAway(turned.bottom()))};
}

// The picture at the copy's aspect, mirrored and turned as the copy asks.
QImage CopyPicture(const QImage& picture, const TArrangedCopy& copy)
{
    const double scale = std::max(picture.width() / copy.size.width(), picture.height() / copy.size.height());
    QImage shaped = picture.scaled(std::max(1, int(copy.size.width() * scale)), std::max(1, int(copy.size.height() * scale)),
                                   Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (copy.mirrored) shaped = shaped.mirrored(true, false);
    return copy.angle == 0 ? shaped : RotatePicture(shaped, int(RoundHalfAway(copy.angle)));
}

}  // namespace

const TEnumInfo& ArrangeStyleInfo()
{
    static const TEnumInfo info{"TArrangeStyle", {"asNone", "asCirCircum", "asCirContinue", "asCirDoughnut", "asCirCircle",
                                                  "asRectTile", "asRectRandom", "asFixed"}};
    return info;
}

const TClassInfo& TLOArrangedImage::StaticClass()
{
    static const TClassInfo info("TLOArrangedImage", &TLOImage::StaticClass(), FactoryOf<TLOArrangedImage>(), [] {
        using C = TLOArrangedImage;
        return TPropsOf<C>()
            .Int("BaseWidth", &C::BaseWidth, &C::SetBaseWidth, NoDefault)
            .Int("BaseHeight", &C::BaseHeight, &C::SetBaseHeight, NoDefault)
            .Enum("ArrangeStyle", ArrangeStyleInfo(), &C::ArrangeStyle, &C::SetArrangeStyle, NoDefault)
            .Bool("Transform", &C::Transform, &C::SetTransform, NoDefault)
            .Bool("Rotate", &C::Rotate, &C::SetRotate, NoDefault)
            .Bool("Reverse", &C::Reverse, &C::SetReverse, NoDefault)
            .Bool("TileRepeat", &C::TileRepeat, &C::SetTileRepeat, NoDefault)
            .Done();
    });
    return info;
}

QSizeF TLOArrangedImage::CopySize() const
{
    const double fallback = std::max(1, std::min(Width(), Height()) / DefaultCopyShare);
    return {baseWidth_ > 0 ? baseWidth_ : fallback, baseHeight_ > 0 ? baseHeight_ : fallback};
}

std::vector<TArrangedCopy> TLOArrangedImage::Ring(double radius, bool continuous) const
{
    const QSizeF size = CopySize();
    if (radius <= 0) return {};
    const double circumference = 2 * std::numbers::pi * radius;
    const int count = int(std::clamp(continuous ? std::ceil(circumference / size.width()) : std::floor(circumference / size.width()),
                                     1.0, double(MaxCopies)));
    const QPointF centre((Rect().left + Rect().right) / 2.0, (Rect().top + Rect().bottom) / 2.0);
    std::vector<TArrangedCopy> copies;
    for (int i = 0; i < count; ++i) {
        const double degrees = (reverse_ ? -1 : 1) * 360.0 * i / count;  // 0 at the top, clockwise
        const double radians = degrees * std::numbers::pi / 180;
        TArrangedCopy copy;
        copy.centre = centre + QPointF(radius * std::sin(radians), -radius * std::cos(radians));
        copy.size = continuous ? QSizeF(circumference / count, size.height()) : size;
        copy.angle = continuous || rotate_ ? degrees : 0;
        copies.push_back(copy);
    }
    return copies;
}

std::vector<TArrangedCopy> TLOArrangedImage::Tiles() const
{
    const QSizeF size = CopySize();
    const int columns = int(tileRepeat_ ? std::ceil(Width() / size.width()) : std::floor(Width() / size.width()));
    const int rows = int(tileRepeat_ ? std::ceil(Height() / size.height()) : std::floor(Height() / size.height()));
    if (int64_t(columns) * rows > MaxCopies) return {};
    // Whole copies are centred; a repeated pattern starts at the corner.
    const double left = Rect().left + (tileRepeat_ ? 0 : (Width() - columns * size.width()) / 2);
    const double top = Rect().top + (tileRepeat_ ? 0 : (Height() - rows * size.height()) / 2);
    std::vector<TArrangedCopy> copies;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            copies.push_back({{left + (c + 0.5) * size.width(), top + (r + 0.5) * size.height()}, size, 0, false});
    return copies;
}

std::vector<TArrangedCopy> TLOArrangedImage::Scattered() const
{
    const QSizeF size = CopySize();
    const int count = int(std::clamp(double(Width()) * Height() / (size.width() * size.height()), 1.0, double(MaxCopies)));
    // Seeded by what the document stores, so every opening gives the same layout.
    std::mt19937 random(uint32_t(Width()) * 73856093u ^ uint32_t(Height()) * 19349663u ^ uint32_t(baseWidth_) * 83492791u ^
                        uint32_t(baseHeight_));
    std::vector<TArrangedCopy> copies;
    for (int i = 0; i < count; ++i) {
        const double x = Rect().left + size.width() / 2 + (random() % 10000) / 10000.0 * std::max(0.0, Width() - size.width());
        const double y = Rect().top + size.height() / 2 + (random() % 10000) / 10000.0 * std::max(0.0, Height() - size.height());
        const double angle = rotate_ ? double(random() % 360) : 0;
        copies.push_back({{x, y}, size, angle, false});
    }
    return copies;
}

std::vector<TArrangedCopy> TLOArrangedImage::Copies() const
{
    const QSizeF size = CopySize();
    const double radius = std::min(Width(), Height()) / 2.0;
    const QPointF centre((Rect().left + Rect().right) / 2.0, (Rect().top + Rect().bottom) / 2.0);
    std::vector<TArrangedCopy> copies;
    switch (style_) {
    case asNone:
    case asCirCircle: return {{centre, QSizeF(Width(), Height()), 0, false}};
    case asCirCircum: copies = Ring(radius - size.height() / 2, false); break;
    case asCirContinue: copies = Ring(radius - size.height() / 2, true); break;
    case asCirDoughnut:
        for (double r = radius - size.height() / 2; r >= size.height() / 2 && int(copies.size()) < MaxCopies; r -= size.height()) {
            const auto ring = Ring(r, true);
            copies.insert(copies.end(), ring.begin(), ring.end());
        }
        break;
    case asRectTile: copies = Tiles(); break;
    case asRectRandom: copies = Scattered(); break;
    case asFixed:
        for (const QPointF& at : {QPointF(Rect().left + size.width() / 2, Rect().top + size.height() / 2),
                                  QPointF(Rect().right - size.width() / 2, Rect().top + size.height() / 2),
                                  QPointF(Rect().left + size.width() / 2, Rect().bottom - size.height() / 2),
                                  QPointF(Rect().right - size.width() / 2, Rect().bottom - size.height() / 2), centre})
            copies.push_back({at, size, 0, false});
        break;
    }
    if (transform_)
        for (size_t i = 1; i < copies.size(); i += 2) copies[i].mirrored = true;
    return copies;
}

void TLOArrangedImage::Paint(TCanvas& canvas)
{
    if (style_ == asNone) return TLOImage::Paint(canvas);
    const QImage& picture = ImageData().ProcessedImage();
    if (picture.isNull()) return;
    TClipGuard clip(canvas);
    canvas.IntersectClipRect(Rect());
    if (style_ == asCirCircle) {
        canvas.BeginPath();
        canvas.Ellipse(Rect());
        canvas.EndPath();
        canvas.SelectClipPath(TRegionOp::rgnAnd);
    }
    for (const TArrangedCopy& copy : Copies()) canvas.StretchDraw(CopyBounds(copy), CopyPicture(picture, copy));
}

}  // namespace kestrel

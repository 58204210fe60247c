#include "paper/FaceInfo.h"

#include <algorithm>

#include "platform/Canvas.h"
#include "platform/Rounding.h"

namespace kestrel {
namespace {

constexpr int CentreMarkHalf = 50;

bool IsEmpty(const TSheetRect& r)
{
    return r.Width() <= 0 || r.Height() <= 0;
}

// An empty rectangle stays empty: mapping normalises, which would turn an overshrunk hole inside out.
TSheetRect ToDevice(const TCanvas& surface, const TSheetRect& logical)
{
    if (IsEmpty(logical)) return {};
    return ToSheetRect(surface.LogToDev(ToRect(logical)));
}

int DeviceLength(const TCanvas& surface, int logical)
{
    return surface.LogToDev(QPoint(logical, 0)).x() - surface.LogToDev(QPoint(0, 0)).x();
}

int ScaleRounded(int64_t value, int64_t numerator, int64_t denominator)
{
    return int(RoundHalfAway(double(value) * double(numerator) / double(denominator)));
}

}  // namespace

TRect ToRect(const TSheetRect& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

TSheetRect ToSheetRect(const TRect& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

TFaceInfo TFaceInfo::AtOrigin() const
{
    const TSheetRect outer = OuterRect();
    TFaceInfo moved = *this;
    moved.rect = {rect.left - outer.left, rect.top - outer.top, rect.right - outer.left, rect.bottom - outer.top};
    return moved;
}

QPoint TFaceInfo::NewObjectCentre() const
{
    const TSheetRect face = AtOrigin().rect;
    const int x = (face.left + face.right) / 2;
    if (!HasHole()) return {x, (face.top + face.bottom) / 2};
    return {x, (face.top + AtOrigin().HoleRect().top) / 2};
}

void TFaceInfo::DrawFace(TCanvas& canvas, bool atOrigin, bool withCross) const
{
    const TFaceInfo face = Placed(atOrigin);
    // One path, filled even-odd: the brush (a selection highlight, say) never covers the hole.
    QPainterPath outline = OutlinePath(face);
    outline.addPath(PrintedHolePath(face));
    outline.setFillRule(Qt::OddEvenFill);
    canvas.DrawPath(outline);
    if (!withCross) return;
    const TSheetRect hole = face.HoleRect();
    const QPoint centre((hole.left + hole.right) / 2, (hole.top + hole.bottom) / 2);
    canvas.MoveTo(centre - QPoint(0, CentreMarkHalf));
    canvas.LineTo(centre + QPoint(0, CentreMarkHalf));
    canvas.MoveTo(centre - QPoint(CentreMarkHalf, 0));
    canvas.LineTo(centre + QPoint(CentreMarkHalf, 0));
}

void TFaceInfo::DrawCutLine(TCanvas& canvas, bool atOrigin) const
{
    if (margin == 0) return;
    // Without its margin the face's outline is the cut and its printed hole is the real hole.
    TFaceInfo cut = Placed(atOrigin);
    cut.margin = 0;
    canvas.DrawPath(OutlinePath(cut));
    canvas.DrawPath(PrintedHolePath(cut));
}

void TFaceInfo::DrawHole(TCanvas& canvas, bool atOrigin) const
{
    canvas.DrawPath(PrintedHolePath(Placed(atOrigin)));
}

TRegion TFaceInfo::Region(const TCanvas* surface, bool withHole) const
{
    if (!surface) return TRegion(FaceRegion(*this, withHole));
    QRegion region = ShapeRegion(shape, ToDevice(*surface, OuterRect()), DeviceLength(*surface, roundSize));
    if (withHole && HasHole())
        region = region.subtracted(HoleRegion(centerShape, ToDevice(*surface, PrintedHoleRect())));
    return TRegion(region);
}

void TFaceInfo::SetFromFaceType(int type)
{
    const std::optional<TFaceTypePreset> preset = FaceTypePreset(type);
    if (!preset) return;
    shape = preset->shape;
    purpose = preset->purpose;
}

void PaintOutsideFace(TCanvas& canvas, const TFaceInfo& face)
{
    if (IsEmpty(face.OuterRect())) return;
    const TRegion inside = face.AtOrigin().Region(&canvas, true);
    const TRegion surface = TRegion::Rect({0, 0, canvas.Device().width(), canvas.Device().height()});
    canvas.FillRegion(surface.Combined(inside, TRegionOp::rgnDiff));
}

int FacePictureZoom(const TFaceInfo& face, QSize target, int k, int screenDpi, QSize* fitted)
{
    constexpr int FullSize = 100;
    const TSheetRect outer = face.OuterRect();
    const int64_t w = outer.Width(), h = outer.Height();
    QSize size;
    int zoom = FullSize;
    if (k == -1) {
        size = QSize(ScaleRounded(w, screenDpi, LogicalUnitsPerInch), ScaleRounded(h, screenDpi, LogicalUnitsPerInch));
    } else if (w > 0 && h > 0 && !target.isEmpty() && screenDpi > 0) {
        // Whichever side of the target binds keeps its full length.
        if (w * target.height() >= h * target.width())
            size = QSize(target.width(), ScaleRounded(h, target.width(), w));
        else
            size = QSize(ScaleRounded(w, target.height(), h), target.height());
        const int64_t z = int64_t(size.width()) * k * LogicalUnitsPerInch / (w * screenDpi);
        zoom = int(std::clamp<int64_t>(z, 1, FullSize));
    }
    if (fitted) *fitted = size;
    return zoom;
}

}  // namespace kestrel

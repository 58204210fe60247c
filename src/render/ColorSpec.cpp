#include "render/ColorSpec.h"

#include <QPainter>
#include <array>

namespace kestrel {

namespace {

// Angles of the old directions rgdLeftToRight .. rgdLeftBottomToRightTop.
constexpr std::array<int, 8> DirAngles{270, 90, 0, 180, 315, 45, 135, 225};
// Sample swatch checkerboard.
constexpr int CheckerSize = 8;
constexpr TColor CheckerColor = 0x808080;
// A tiled picture in the swatch is shown at this share of the swatch.
constexpr double SamplePictureShare = 2.0 / 5.0;
// Above this many tiles a tiled picture is painted as one pattern fill.
constexpr int64_t MaxTileDraws = 4096;

bool Never(const TColorSpec&) { return false; }

}  // namespace

const TEnumInfo& ColorSpecKindInfo()
{
    static const TEnumInfo info{"TColorSpecKind", {"cskSolid", "cskBitmap", "cskGradation"}};
    return info;
}

const TEnumInfo& GradationKindInfo()
{
    static const TEnumInfo info{"rgGradationKind",
                                {"rgkSimple", "rgkBoxToRim", "rgkBoxToCenter", "rgkCircleToRim", "rgkCircleToCenter",
                                 "rgkConeClockwise", "rgkConeCounterClockwise"}};
    return info;
}

const TEnumInfo& GradationDirInfo()
{
    static const TEnumInfo info{"rgGradationDir",
                                {"rgdLeftToRight", "rgdRightToLeft", "rgdTopToBottom", "rgdBottomToTop",
                                 "rgdLeftTopToRightBottom", "rgdRightTopToLeftBottom", "rgdRightBottomToLeftTop",
                                 "rgdLeftBottomToRightTop", "rgdCenterToRim", "rgdRimToCenter"}};
    return info;
}

const TEnumInfo& BrushStyleInfo()
{
    static const TEnumInfo info{"TBrushStyle",
                                {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal",
                                 "bsCross", "bsDiagCross"}};
    return info;
}

const TClassInfo& TColorSpec::StaticClass()
{
    static const TClassInfo info("TColorSpec", &TPersistent::StaticClass(), FactoryOf<TColorSpec>(), [] {
        using C = TColorSpec;
        return TPropsOf<C>()
            .Color("Color", &C::Color, &C::SetColor, clBlack)
            .Enum("Style", BrushStyleInfo(), &C::Style, &C::SetStyle, int(TBrushStyle::bsSolid))
            .Nested("Bitmap", &C::LegacyBitmap)
            .StoredIf(Never)
            .Bool("Tile", &C::Tile, &C::SetTile, false)
            .Enum("Kind", ColorSpecKindInfo(), &C::Kind, &C::SetKind, cskSolid)
            .Bool("TileShift", &C::TileShift, &C::SetTileShift, false)
            .Nested("ImageData", &C::ImageDataObject)
            .Int("GradAngle", &C::GradAngle, &C::SetGradAngle, DefaultGradAngle)
            .Enum("GradKind", GradationKindInfo(), &C::GradKind, &C::SetGradKind, rgkSimple)
            .Nested("GradColors", &C::GradColorsObject)
            .Enum("GradDir", GradationDirInfo(), &C::GradDir, &C::SetGradDir, NoDefault)
            .StoredIf(Never)
            .Int("GradColNum", &C::GradColNum, &C::SetGradColNum, NoDefault)
            .StoredIf(Never)
            .Color("GradColor0", &C::GradColor<0>, &C::SetGradColor<0>, NoDefault)
            .StoredIf(Never)
            .Color("GradColor1", &C::GradColor<1>, &C::SetGradColor<1>, NoDefault)
            .StoredIf(Never)
            .Color("GradColor2", &C::GradColor<2>, &C::SetGradColor<2>, NoDefault)
            .StoredIf(Never)
            .Color("GradColor3", &C::GradColor<3>, &C::SetGradColor<3>, NoDefault)
            .StoredIf(Never)
            .Color("GradColor4", &C::GradColor<4>, &C::SetGradColor<4>, NoDefault)
            .StoredIf(Never)
            .Color("GradColor5", &C::GradColor<5>, &C::SetGradColor<5>, NoDefault)
            .StoredIf(Never)
            .Color("GradColor6", &C::GradColor<6>, &C::SetGradColor<6>, NoDefault)
            .StoredIf(Never)
            .Color("GradColor7", &C::GradColor<7>, &C::SetGradColor<7>, NoDefault)
            .StoredIf(Never)
            .Done();
    });
    return info;
}

TColorSpec::TColorSpec()
    : notify_(this, [this] { if (onChange_) onChange_(); }),
      legacyBitmap_([this](const TGraphic& graphic) { ReadLegacyBitmap(graphic); }),
      forward_([this](TPersistent*, const QUuid& kind) {
          if (kind == NotifyModified) notify_.Changed();
      })
{
    forward_.ListenTo(imageData_.Notify());
    forward_.ListenTo(gradColors_.Notify());
}

TColorSpec::~TColorSpec() = default;

template <typename T>
void TColorSpec::Change(T& field, T value)
{
    if (field == value) return;
    field = value;
    notify_.Changed();
}

TColorSpecKind TColorSpec::Kind() const
{
    return kind_ == cskBitmap && imageData_.IsEmpty() ? cskSolid : kind_;
}

void TColorSpec::SetKind(TColorSpecKind kind) { Change(kind_, kind); }
void TColorSpec::SetColor(TColor color) { Change(color_, color); }
void TColorSpec::SetStyle(TBrushStyle style) { Change(style_, style); }
void TColorSpec::SetTile(bool tile) { Change(tile_, tile); }
void TColorSpec::SetTileShift(bool shift) { Change(tileShift_, shift); }
void TColorSpec::SetGradAngle(int angle) { Change(gradAngle_, angle); }
void TColorSpec::SetGradKind(rgGradationKind kind) { Change(gradKind_, kind); }

rgGradationDir TColorSpec::GradDir() const
{
    switch (gradKind_) {
    case rgkSimple:
        for (size_t d = 0; d < DirAngles.size(); ++d)
            if (DirAngles[d] == gradAngle_) return rgGradationDir(d);
        return rgdLeftToRight;
    case rgkBoxToRim: return rgdCenterToRim;
    case rgkBoxToCenter: return rgdRimToCenter;
    default: return rgdLeftToRight;
    }
}

void TColorSpec::SetGradDir(rgGradationDir dir)
{
    TUpdateScope batch(notify_);
    SetGradKind(dir == rgdCenterToRim ? rgkBoxToRim : dir == rgdRimToCenter ? rgkBoxToCenter : rgkSimple);
    SetGradAngle(size_t(dir) < DirAngles.size() ? DirAngles[size_t(dir)] : 0);
}

void TColorSpec::SetGradColNum(int n)
{
    gradColors_.SetCount(std::clamp(n, 0, LegacyColorCount));
}

void TColorSpec::ReadLegacyBitmap(const TGraphic& graphic)
{
    if (!graphic.IsEmpty()) imageData_.Picture().SetGraphic(graphic);  // an empty old bitmap keeps the picture there is
}

void TColorSpec::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TColorSpec*>(&source);
    if (!other) return TPersistent::Assign(source);
    TUpdateScope batch(notify_);
    SetKind(other->kind_);
    SetColor(other->color_);
    SetStyle(other->style_);
    imageData_.Assign(other->imageData_);
    SetTile(other->tile_);
    SetTileShift(other->tileShift_);
    if (Kind() != cskGradation) return;
    SetGradAngle(other->gradAngle_);
    SetGradKind(other->gradKind_);
    gradColors_.Assign(other->gradColors_);
}

bool TColorSpec::IsPureColor(const TCanvas&) const
{
    // Every surface of this platform shows 24-bit colour exactly.
    return Kind() == cskSolid && style_ == TBrushStyle::bsSolid;
}

void TColorSpec::Fill(TCanvas& canvas, const TRect& rect, bool inverted) const
{
    switch (Kind()) {
    case cskGradation:
        return RenderGradation(canvas, rect, gradColors_.GetColorArray(), inverted, gradAngle_, gradKind_);
    case cskBitmap: {
        TCanvasStateSaver saver(canvas);
        canvas.SetCopyMode(inverted ? TCopyMode::cmSrcInvert : TCopyMode::cmSrcCopy);
        if (tile_) return FillTiles(canvas, rect, Picture());
        return canvas.StretchDraw(rect, imageData_.PaintedImage(canvas, rect));
    }
    case cskSolid: return FillSolid(canvas, rect, inverted);
    }
}

void TColorSpec::FillSolid(TCanvas& canvas, const TRect& rect, bool inverted) const
{
    TCanvasStateSaver saver(canvas);
    canvas.SetBrush({FromQColor(ToQColor(color_)), style_});
    if (inverted)
        canvas.PatternInvertRect(rect);
    else
        canvas.FillRect(rect);
}

void TColorSpec::FillTiles(TCanvas& canvas, const TRect& rect, const QImage& picture) const
{
    const int w = picture.width(), h = picture.height();
    const TRect area = rect.Normalized();
    // Small pictures over large areas would take millions of draws: one pattern fill instead,
    // which covers the rectangle only.
    if ((int64_t(area.Width()) / w + 2) * (int64_t(area.Height()) / h + 1) > MaxTileDraws)
        return canvas.TileRect(area, TilePattern(picture));
    int row = 0;
    for (int y = area.top; y < area.bottom; y += h, ++row) {
        const int shift = tileShift_ && row % 2 ? (w + 1) / 2 : 0;
        for (int x = area.left - shift; x < area.right; x += w) canvas.StretchDraw({x, y, x + w, y + h}, picture);
    }
}

QImage TColorSpec::TilePattern(const QImage& picture) const
{
    if (!tileShift_) return picture;
    const int w = picture.width(), h = picture.height(), shift = (w + 1) / 2;
    QImage pattern(w, 2 * h, QImage::Format_RGB32);
    QPainter painter(&pattern);
    painter.drawImage(0, 0, picture);
    painter.drawImage(-shift, h, picture);
    painter.drawImage(w - shift, h, picture);
    return pattern;
}

void TColorSpec::DrawSample(TCanvas& canvas, const TRect& rect) const
{
    const TRect area = rect.Normalized();
    {
        TCanvasStateSaver saver(canvas);
        canvas.SetBrush({clWhite, TBrushStyle::bsSolid});
        canvas.FillRect(area);
        canvas.SetBrush({CheckerColor, TBrushStyle::bsSolid});
        for (int y = area.top, row = 0; y < area.bottom; y += CheckerSize, ++row)
            for (int x = area.left + (row % 2) * CheckerSize; x < area.right; x += 2 * CheckerSize)
                canvas.FillRect(TRect{x, y, x + CheckerSize, y + CheckerSize}.Intersected(area));
    }
    if (Kind() != cskBitmap || !tile_) return FillRect(canvas, area);
    // A tiled picture at a size where several tiles show.
    const QImage& picture = Picture();
    const double scale = picture.width() >= picture.height() ? area.Width() * SamplePictureShare / picture.width()
                                                             : area.Height() * SamplePictureShare / picture.height();
    TColorSpec sample;
    sample.Assign(*this);
    sample.SetPicture(picture.scaled(std::max(1, int(picture.width() * scale)),
                                     std::max(1, int(picture.height() * scale)), Qt::IgnoreAspectRatio,
                                     Qt::SmoothTransformation));
    TClipGuard clip(canvas);
    canvas.IntersectClipRect(area);
    sample.FillRect(canvas, area);
}

}  // namespace kestrel

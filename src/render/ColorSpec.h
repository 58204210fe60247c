#pragma once

// The paint of every filled or stroked thing on a label: a solid colour with a brush style, a
// picture (stretched or tiled), or a gradation.

#include <QImage>
#include <functional>

#include "document/Notify.h"
#include "document/stream/Persistent.h"
#include "platform/Canvas.h"
#include "render/FillPicture.h"
#include "render/ImageData.h"
#include "render/Gradation.h"
#include "render/GradationColors.h"

namespace kestrel {

enum TColorSpecKind { cskSolid, cskBitmap, cskGradation };

// Directions of gradations in old streams.
enum rgGradationDir {
    rgdLeftToRight,
    rgdRightToLeft,
    rgdTopToBottom,
    rgdBottomToTop,
    rgdLeftTopToRightBottom,
    rgdRightTopToLeftBottom,
    rgdRightBottomToLeftTop,
    rgdLeftBottomToRightTop,
    rgdCenterToRim,
    rgdRimToCenter
};

class TColorSpec : public TPersistent {
    KESTREL_PERSISTENT()
public:
    static constexpr int DefaultGradAngle = 270;
    static constexpr int LegacyColorCount = 8;

    TColorSpec();
    ~TColorSpec() override;

    TChangeNotify& Notify() { return notify_; }
    // Called after every change (once per update batch).
    void SetOnChange(std::function<void()> handler) { onChange_ = std::move(handler); }

    // The stored kind, except that a picture fill without a picture counts as solid.
    TColorSpecKind Kind() const;
    TColorSpecKind StoredKind() const { return kind_; }
    void SetKind(TColorSpecKind kind);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);
    bool Tile() const { return tile_; }
    void SetTile(bool tile);
    bool TileShift() const { return tileShift_; }
    void SetTileShift(bool shift);
    // The processed picture of a picture fill.
    const QImage& Picture() const { return imageData_.ProcessedImage(); }
    // A picture made in memory; see TImageData for pictures from files and their processing.
    void SetPicture(const QImage& picture) { imageData_.Picture().SetImage(picture); }
    TImageData& ImageData() { return imageData_; }
    const TImageData& ImageData() const { return imageData_; }
    int GradAngle() const { return gradAngle_; }
    void SetGradAngle(int angle);
    rgGradationKind GradKind() const { return gradKind_; }
    void SetGradKind(rgGradationKind kind);
    TGradationColors& GradColors() { return gradColors_; }
    const TGradationColors& GradColors() const { return gradColors_; }

    // Old streams: a direction becomes kind and angle; read back for dialogs.
    rgGradationDir GradDir() const;
    void SetGradDir(rgGradationDir dir);
    int GradColNum() const { return gradColors_.Count(); }
    // More stops than the old properties can fill are not taken from an old stream.
    void SetGradColNum(int n);
    template <int I>
    TColor GradColor() const { return I < gradColors_.Count() ? gradColors_.Stop(I) : clBlack; }
    // Ignored beyond the current count (old streams with fewer stops).
    template <int I>
    void SetGradColor(TColor c) { if (I < gradColors_.Count()) gradColors_.SetStop(I, c); }

    void Assign(const TPersistent& source) override;

    void FillRect(TCanvas& canvas, const TRect& rect) const { Fill(canvas, rect, false); }
    // The same with the pixels combined by exclusive or, for rubber-band feedback.
    void FillRectInverted(TCanvas& canvas, const TRect& rect) const { Fill(canvas, rect, true); }
    // A solid colour the device shows as it is, for cheaper painting paths.
    bool IsPureColor(const TCanvas& canvas) const;
    // The swatch of colour pickers: a checkerboard under the fill.
    void DrawSample(TCanvas& canvas, const TRect& rect) const;

private:
    template <typename T>
    void Change(T& field, T value);
    void Fill(TCanvas& canvas, const TRect& rect, bool inverted) const;
    void FillSolid(TCanvas& canvas, const TRect& rect, bool inverted) const;
    void FillTiles(TCanvas& canvas, const TRect& rect, const QImage& picture) const;
    // One period of the tiling: the picture, or two rows of it with the second one shifted.
    QImage TilePattern(const QImage& picture) const;
    TImageData* ImageDataObject() { return &imageData_; }
    TGradationColors* GradColorsObject() { return &gradColors_; }
    TLegacyBitmap* LegacyBitmap() { return &legacyBitmap_; }
    void ReadLegacyBitmap(const TGraphic& graphic);

    TColorSpecKind kind_ = cskSolid;
    TColor color_ = clBlack;
    TBrushStyle style_ = TBrushStyle::bsSolid;
    bool tile_ = false;
    bool tileShift_ = false;
    int gradAngle_ = DefaultGradAngle;
    rgGradationKind gradKind_ = rgkSimple;
    TChangeNotify notify_;
    TImageData imageData_;
    TGradationColors gradColors_;
    TLegacyBitmap legacyBitmap_;
    TListener forward_;
    std::function<void()> onChange_;
};

const TEnumInfo& ColorSpecKindInfo();
const TEnumInfo& GradationKindInfo();
const TEnumInfo& GradationDirInfo();
const TEnumInfo& BrushStyleInfo();

}  // namespace kestrel

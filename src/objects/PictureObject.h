#pragma once

#include <functional>

// A picture on a label: a rotatable rectangle showing processed picture data, with an optional
// frame picture laid over it or used as its opacity map.

#include <QImage>
#include <QPolygonF>

#include "document/LabelObject.h"
#include "render/ImageData.h"
#include "render/PictureEx.h"

namespace kestrel {

enum TImageSource { isFile, isOnePoint, isTwain, isPlugin };
const TEnumInfo& ImageSourceInfo();

// Colours of frame pictures: 0xF0F0F0 lets the picture show through; 0x607090 cuts it away.
inline constexpr TColor FrameSeeThroughColor = 0xF0F0F0;
inline constexpr TColor FrameCutColor = 0x607090;

// Turns a picture about its centre onto white, and its opacity the same way (uncovered pixels
// transparent). Usable on its own by other objects that rotate pictures.
QImage RotatePicture(const QImage& picture, int angle);
// The four corners of rect turned by angle degrees (clockwise on screen) about its centre.
QPolygonF RotatedCorners(const TRect& rect, int angle);
// The bounding box of those corners, rounded half away from zero.
TRect RotatedBounds(const TRect& rect, int angle);
// A picture's natural size on a label: its pixels at 180 dots per inch, at least 30 units a side.
QSize NaturalPictureSize(QSize pixels);

class TLOImage : public TBlendableObject<TLORectBase>, public IDORotate {
    KESTREL_PERSISTENT()
public:
    static constexpr int NaturalDpi = 180;
    static constexpr int MinNaturalSize = 30;

    TLOImage();
    ~TLOImage() override;

    TImageData& ImageData() { return imageData_; }
    const TImageData& ImageData() const { return imageData_; }
    TPictureEx& FramePicture() { return framePicture_; }
    const TPictureEx& FramePicture() const { return framePicture_; }
    bool AlphaFrame() const { return alphaFrame_; }
    void SetAlphaFrame(bool value);
    int Angle() const override { return angle_; }
    void SetAngle(int degrees) override;
    TImageSource ImageSource() const { return imageSource_; }
    void SetImageSource(TImageSource source);
    bool KeepsAspect() const override { return true; }

    // Natural size of the processed picture at 180 dots per inch (at least 30 units a side); on
    // a site the picture's aspect is fitted into a square of the rectangle's larger side.
    void ResetSize();

    TRect GetBounds() const override;
    int HitTest(QPoint logical) const override;
    void Paint(TCanvas& canvas) override;
    bool NeedsBlend() const override;
    void PaintMask(TCanvas& mask) override;
    void SetBounds(const TRect& rect) override;
    // The size of the bounds: a turned picture scales its rectangle by the bounds' change.
    void SetSize(int width, int height) override;
    // The turned rectangle as a closed path.
    void DrawOutline(TCanvas& canvas) override;
    void Loaded() override;

    // The picture with its frame, turned by Angle; transparent where nothing covers.
    const QImage& ComposedImage() const;
    // The same at the resolution the canvas shows it, within its budget; null when it cannot be
    // drawn (the budget notes why).
    const QImage& ComposedImage(TCanvas& canvas) const;

protected:
    void AssignFrom(const TDrawObject& source) override;

private:
    // The cropped metafile as vectors, stretched onto the rectangle.
    void PaintMetafile(TCanvas& canvas) const;
    TImageData* ImageDataObject() { return &imageData_; }
    TPictureEx* FrameObject() { return &framePicture_; }
    TPictureEx* LegacyPictureObject() { return &legacyPicture_; }
    void DropComposed() const;
    const QImage& ComposedFrom(const QImage& picture, TRenderBudget* budget) const;
    QImage Compose(const QImage& picture) const;
    QImage AlphaFrameCoverage(TCanvas& canvas) const;
    // The picture's pixels stretched onto target; the error picture when there are none.
    void StretchPicture(TCanvas& canvas, const TRect& target, const QImage& picture) const;

    TImageData imageData_;
    TPictureEx framePicture_;
    TPictureEx legacyPicture_;
    bool alphaFrame_ = false;
    int angle_ = 0;
    TImageSource imageSource_ = isFile;
    bool legacyPictureRead_ = false;
    mutable QImage composed_;
    mutable qint64 composedFrom_ = 0;  // the cache key of the processed picture it was made of
    mutable TBudgetCharge composedCharge_;
    TListener partsListener_;
};

// The clipboard's picture as a bitmap, at its natural size (the creation of "TLOImagePaste" and
// "TLOBitmapPaste"); fails with "クリップボードにイメージがありません" when there is none.
void PasteClipboardPicture(TLOImage& image);
// Where scanned pictures come from: installed by the program over its image server; a null
// picture means the user cancelled.
void SetScannerSource(std::function<QImage()> source);
// Takes the picture from the scanner source (the creation of "TLOTwain"): the object's source
// becomes isTwain, and it stays empty when the user cancelled. Fails when there is no source.
void AcquireScannedPicture(TLOImage& image);
// Puts the processed picture on the clipboard.
void CopyPictureToClipboard(const TLOImage& image);

}  // namespace kestrel

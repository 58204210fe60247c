#pragma once

// The background of a face ("背景柄"): a fill over the whole face shape with its bleed, an
// optional frame band along the face's edge and an optional blend picture that mixes a second
// colour into the fill. It stands behind everything else and is never picked by clicking.

#include <memory>

#include "document/Capabilities.h"
#include "document/LabelObject.h"
#include "paper/FaceInfo.h"
#include "render/ColorSpec.h"
#include "render/PictureEx.h"

namespace kestrel {

enum TRotateStyle { rsNone, rs90, rs180, rs270 };
enum TPosArrange { paTile, paTileShift, paRandom };
const TEnumInfo& RotateStyleInfo();
const TEnumInfo& PosArrangeInfo();

// Quarter turns and mirrors applied to a fill's picture. The picture the fill holds (and streams)
// is the transformed one; the untransformed source is kept here.
class TBackImagePicture : public TPersistent {
    KESTREL_PERSISTENT()
public:
    // Follows the picture of the image data; detached without one.
    explicit TBackImagePicture(TImageData* attached = nullptr);
    ~TBackImagePicture() override;

    TRotateStyle RotateImage() const { return rotate_; }
    void SetRotateImage(TRotateStyle value);
    bool ReverseVert() const { return reverseVert_; }
    void SetReverseVert(bool value);
    bool ReverseHorz() const { return reverseHorz_; }
    void SetReverseHorz(bool value);
    bool MultiImage() const { return multiImage_; }
    void SetMultiImage(bool value) { multiImage_ = value; }
    TPosArrange PosArrange() const { return posArrange_; }
    void SetPosArrange(TPosArrange value) { posArrange_ = value; }
    const QImage& Source() const { return source_; }

    void Assign(const TPersistent& source) override;

private:
    // Streams hold the transformed picture: settings read from them describe the picture already
    // there, whose source is found by undoing them.
    void SetRotateStored(TRotateStyle value);
    void SetReverseVertStored(bool value);
    void SetReverseHorzStored(bool value);
    void SourceFromAttached();
    void PictureReplaced();
    void Apply();

    TImageData* attached_;
    QImage source_;
    bool applying_ = false;
    TRotateStyle rotate_ = rsNone;
    bool reverseVert_ = false;
    bool reverseHorz_ = false;
    bool multiImage_ = false;
    TPosArrange posArrange_ = paTile;
    std::unique_ptr<TListener> listener_;
};

// The picture turned and mirrored: mirrored left to right, then top to bottom, then turned.
QImage TransformedPicture(const QImage& picture, TRotateStyle rotate, bool reverseVert, bool reverseHorz);

class TLOBackImage : public TLORectBase, public IDOFaceBackground {
    KESTREL_PERSISTENT()
public:
    static constexpr int BackgroundLayerGroup = -100;

    TLOBackImage();
    ~TLOBackImage() override;

    TColorSpec& FillColor() { return *fillColor_; }
    const TColorSpec& FillColor() const { return *fillColor_; }
    TColorSpec& FrameColor() { return *frameColor_; }
    const TColorSpec& FrameColor() const { return *frameColor_; }
    TColorSpec& BlendColor() { return *blendColor_; }
    const TColorSpec& BlendColor() const { return *blendColor_; }
    TPictureEx& BlendPicture() { return *blendPicture_; }
    const TPictureEx& BlendPicture() const { return *blendPicture_; }
    // The blend picture's strength is the object's BlendRatio: a background never blends as a
    // whole.
    int FrameWidth() const { return frameWidth_; }
    void SetFrameWidth(int value);

    // No frame, a solid white fill and no blend picture.
    bool IsPlain() const;
    void Clear();

    void SetFaceInfo(const TFaceInfo& face) override;
    const TFaceInfo& FaceInfo() const override { return face_; }
    bool IsBlank() const override { return IsPlain(); }

    int HitTest(QPoint) const override { return 0; }
    void SetSize(int width, int height) override;
    void DrawOutline(TCanvas& canvas) override;
    void Paint(TCanvas& canvas) override;

protected:
    void AssignFrom(const TDrawObject& source) override;

private:
    TPersistent* FillColorObject() { return fillColor_.get(); }
    TPersistent* FrameColorObject() { return frameColor_.get(); }
    TPersistent* BlendColorObject() { return blendColor_.get(); }
    TPersistent* BlendPictureObject() { return blendPicture_.get(); }
    TPersistent* LegacyImageObject() { return legacyImage_.get(); }
    void LegacyImageRead();
    void Repaint();
    // Where the fill is stretched: the rectangle, or for an untiled picture the smallest
    // rectangle of the picture's aspect that covers it, centred on it.
    TRect FillArea() const;
    void PaintBlended(TCanvas& canvas, const TRect& area);

    std::unique_ptr<TColorSpec> fillColor_;
    std::unique_ptr<TColorSpec> frameColor_;
    std::unique_ptr<TColorSpec> blendColor_;
    std::unique_ptr<TPictureEx> blendPicture_;
    std::unique_ptr<TPictureEx> legacyImage_;
    std::unique_ptr<TListener> legacyListener_;
    std::unique_ptr<TListener> blendListener_;
    int frameWidth_ = 0;
    TFaceInfo face_;
};

class TLOBackImage2004 : public TLOBackImage {
    KESTREL_PERSISTENT()
public:
    TLOBackImage2004();

    TBackImagePicture& FillBackImage() { return fillBackImage_; }
    TBackImagePicture& FrameBackImage() { return frameBackImage_; }

private:
    TPersistent* FillBackImageObject() { return &fillBackImage_; }
    TPersistent* FrameBackImageObject() { return &frameBackImage_; }

    TBackImagePicture fillBackImage_;
    TBackImagePicture frameBackImage_;
};

// A TLOBackImage2004 becomes a TLOBackImage assigned from it; anything else is returned as it is.
std::unique_ptr<TDrawObject> ToPlainBackground(std::unique_ptr<TDrawObject> object);

}  // namespace kestrel

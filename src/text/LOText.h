#pragma once

// The label object that carries text: free text and the text filled in from album data and
// document information. Its rectangle is the text box; the layout engine places the characters,
// the distortion bends them, and fill styles paint the characters, the outline ring and
// the shadow.

#include <QPainterPath>
#include <QStringList>
#include <memory>
#include <optional>

#include "document/CapabilityOffer.h"
#include "document/LabelObject.h"
#include "platform/PathData.h"
#include "render/ColorSpec.h"
#include "text/CoonsDistortion.h"
#include "text/SimpleText.h"

namespace kestrel {

enum TFieldType { ftProduct, ftCreatorJapanese, ftCreatorEnglish };
const TEnumInfo& FieldTypeInfo();

class TLOText : public TBlendableObject<TLORectBase>,
                public IDORotate,
                public IDOFont,
                public IDOTextColor,
                public IDOAlign,
                public IDOVertical,
                public IDOAutoSize,
                public IDOShrinkToFit,
                public IDOFeedAngle,
                public IDOCurve,
                public IConditionalCapabilities {
    KESTREL_PERSISTENT()
public:
    static constexpr int FormatVersion = 1;
    static constexpr int CustomShadow = 9;
    static constexpr int MinAutoSize = 20;

    TLOText();
    ~TLOText() override;

    int Version() const { return FormatVersion; }
    const QStringList& Text() const { return layout_.Text(); }
    void SetText(const QStringList& lines) { layout_.SetText(lines); }
    const TPointBasedFont& Font() const { return layout_.Font(); }
    int Align() const override { return layout_.Align(); }
    void SetAlign(int value) override { layout_.SetAlign(value); }
    bool Vertical() const override { return layout_.Vertical(); }
    // Swaps width and height about the centre first, so the box keeps its place.
    void SetVertical(bool value) override;
    int CharSpacing() const { return layout_.CharSpacing(); }
    void SetCharSpacing(int value) { layout_.SetCharSpacing(value); }
    int LineSpacing() const { return layout_.LineSpacing(); }
    void SetLineSpacing(int value) { layout_.SetLineSpacing(value); }
    int Angle() const override { return layout_.Angle(); }
    // Normalised into 0..359.
    void SetAngle(int degrees) override;
    const TCoonsDistortion& CoonsDistortion() const { return *distortion_; }
    void SetCoonsDistortion(const TCoonsDistortion& distortion);
    int DistortionRatio() const { return distortionRatio_; }
    void SetDistortionRatio(int percent);
    const TColorSpec& TextColor() const { return *textColor_; }
    bool Outline() const { return outline_; }
    void SetOutline(bool value);
    const TColorSpec& OutlineColor() const { return *outlineColor_; }
    int OutLineWidth() const { return outlineWidth_; }
    void SetOutLineWidth(int value);
    // The preset whose offsets are the current ones, else CustomShadow; 0..8 set both offsets.
    int Shadow() const;
    void SetShadow(int preset);
    int ShadowOffsetX() const { return shadowX_; }
    void SetShadowOffsetX(int percent);
    int ShadowOffsetY() const { return shadowY_; }
    void SetShadowOffsetY(int percent);
    const TColorSpec& ShadowColor() const { return *shadowColor_; }
    bool AutoSize() const override { return autoSize_; }
    void SetAutoSize(bool value) override;
    // A text sized by its content takes the largest whole point size at or below its own at
    // which it fits the area.
    void ShrinkToFit(QSize area) override;
    int Bulge() const { return layout_.Bulge(); }
    void SetBulge(int value) { layout_.SetBulge(value); }
    int FieldNo() const { return fieldNo_; }
    void SetFieldNo(int value) { fieldNo_ = value; }
    TFieldType FieldType() const { return fieldType_; }
    void SetFieldType(TFieldType value) { fieldType_ = value; }
    bool HanToZen() const { return layout_.HanToZen(); }
    void SetHanToZen(bool value) { layout_.SetHanToZen(value); }
    bool NumToKnj() const { return layout_.NumToKnj(); }
    void SetNumToKnj(bool value) { layout_.SetNumToKnj(value); }
    bool MinusExc() const { return layout_.MinusExc(); }
    void SetMinusExc(bool value) { layout_.SetMinusExc(value); }
    int FeedAngle() const override { return layout_.FeedAngle(); }
    void SetFeedAngle(int degrees) override { layout_.SetFeedAngle(degrees); }

    // Capabilities.
    const TPointBasedFont& DOFont() const override { return layout_.Font(); }
    void SetDOFont(const TPointBasedFont& font) override { layout_.Font().Assign(font); }
    const TColorSpec& TextColorSpec() const override { return *textColor_; }
    void SetTextColorSpec(const TColorSpec& spec) override { textColor_->Assign(spec); }
    // The baseline of arc text: the chord through the box (middle of the left edge to the middle
    // of the right edge, top to bottom in vertical writing), turned by Angle, unless end points
    // were set. Setting an end point fits the box and Angle to the new baseline, so what is saved
    // draws the same arc, and turns AutoSize off.
    QPoint StartPoint() const override;
    void SetStartPoint(QPoint p) override;
    QPoint EndPoint() const override;
    void SetEndPoint(QPoint p) override;
    QPoint ViaPoint() const override;
    void SetBulgeFromPoint(QPoint p) override;
    // The curve is not offered while a distortion bends the text.
    bool Offers(const std::type_info& capability) const override;

    TPointBasedFont& EditFont() { return layout_.Font(); }
    TColorSpec& EditTextColor() { return *textColor_; }
    TColorSpec& EditOutlineColor() { return *outlineColor_; }
    TColorSpec& EditShadowColor() { return *shadowColor_; }

    const TSimpleText& Layout() const { return layout_; }
    // Distorted: no bulge and a distortion with points.
    bool IsDistorted() const;
    // The shadow's offset from the text before turning, in logical units.
    virtual QPoint ShadowOffset() const;
    // Shadow displacement in logical units, turned with the text.
    QPoint ShadowDisplacement() const;
    // Refreshes the text from an information set: item FieldNo - 1; nothing when the object is
    // free text or the set has no such item.
    void ApplyInformation(TFieldType set, const QStringList& items);

    // The glyph outlines as drawn: laid out, distorted and turned.
    const TPathPoints& DisplayOutline();

    TRect GetBounds() const override;
    int HitTest(QPoint logical) const override;
    void SetSize(int width, int height) override;
    void SetBounds(const TRect& rect) override;
    void DrawOutline(TCanvas& canvas) override;
    void Paint(TCanvas& canvas) override;
    // A text longer than a label can show is drawn cut short.
    QString Problem() override;
    bool NeedsBlend() const override;
    // Coverage of the shadow, the characters and the outline ring.
    void PaintMask(TCanvas& mask) override;
    // The colours without the ground their soft edges were painted on.
    QImage RenderToBitmap(const TCanvas& reference, const TRect& device) override;
    // A stream without a Version holds the oldest format; a new object is current.
    void ReadingStream() override { storedVersion_ = 0; }
    void Loaded() override;

protected:
    void AssignFrom(const TDrawObject& source) override;
    // The text (and its ring) in its colours, without the shadow.
    void PaintBody(TCanvas& canvas);
    // Coverage of the text and its ring, without the shadow.
    void PaintBodyMask(TCanvas& mask);
    // Coverage of the shadow text at the displacement.
    void PaintShadowMask(TCanvas& mask, QPoint displacement);

private:
    void SetStoredVersion(int version) { storedVersion_ = version; }
    void SetVerticalStored(bool value) { layout_.SetVertical(value); }
    void SetAngleStored(int degrees) { SetAngle(degrees); }
    int DiagonalAlign() const { return 0; }
    void SetDiagonalAlign(int value);
    TPersistent* FontObject() { return &layout_.Font(); }
    TPersistent* DistortionObject() { return distortion_.get(); }
    TPersistent* TextColorObject() { return textColor_.get(); }
    TPersistent* OutlineColorObject() { return outlineColor_.get(); }
    TPersistent* ShadowColorObject() { return shadowColor_.get(); }

    void LayoutChanged();
    void StyleChanged();
    void ApplyAutoSize();
    std::pair<QPoint, QPoint> Baseline() const;
    // Arc text: the band a pen as thick as the block of lines draws along its middle arc.
    std::optional<QPainterPath> ArcBandArea() const;
    TRect ArcTextBounds() const;
    void FitToBaseline(QPoint start, QPoint end);
    void ConvertLegacyAlign();
    void ConvertOldArcText();
    // Each glyph's outline (the decorations last), bent by the distortion.
    std::vector<TPathPoints> DistortedGlyphs() const;
    // Each glyph's outline as drawn: laid out, distorted and turned.
    std::vector<TPathPoints> DisplayGlyphs() const;
    // Points mapped from the source rectangle onto the box by the distortion at its ratio, turned.
    TPathPoints Bent(TPathPoints points, const TRect& source) const;
    TPathPoints BentFrame() const;
    // The characters with the ring round them.
    TPathPoints RingOutline() const;
    void DrawText(TCanvas& canvas, const TColorSpec& fill, const TColorSpec* ring, QPoint offset);
    void Repaint();

    TSimpleText layout_;
    std::unique_ptr<TCoonsDistortion> distortion_;
    std::unique_ptr<TColorSpec> textColor_;
    std::unique_ptr<TColorSpec> outlineColor_;
    std::unique_ptr<TColorSpec> shadowColor_;
    int storedVersion_ = FormatVersion;  // as read; 0 when a binary stream had none
    int distortionRatio_ = 100;
    bool outline_ = false;
    int outlineWidth_ = 0;
    int shadowX_ = 0;
    int shadowY_ = 0;
    bool autoSize_ = false;
    int fieldNo_ = 0;
    TFieldType fieldType_ = ftProduct;
    bool assigning_ = false;
    std::optional<TPathPoints> displayOutline_;
    // Baseline end points as the user placed them, valid while the box they were fitted to stays.
    struct TPlacedBaseline {
        QPoint start;
        QPoint end;
        TRect box;
        int angle = 0;
        bool vertical = false;
    };
    std::optional<TPlacedBaseline> baseline_;
};

// The clipboard's plain text as the text, one line per line, in a box that fits it (the creation
// of "TLOTextPaste"); text that code page 932 cannot hold is refused with a message.
void PasteClipboardText(TLOText& text);

}  // namespace kestrel

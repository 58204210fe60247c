#pragma once

// Optional capabilities of draw objects, queried with dynamic_cast: an object offers one by
// deriving from its interface. Parameter types that belong to later layers are only declared.

#include <QPoint>
#include <QSize>
#include <QString>

#include "platform/Geometry.h"

namespace kestrel {

class TCanvas;
class TColorSpec;
class TPointBasedFont;
class TFaceInfo;

class IDOEncloseBounds {
public:
    virtual ~IDOEncloseBounds() = default;
    virtual void MoveBy(int dx, int dy) = 0;
    virtual void SetSize(int width, int height) = 0;
    virtual TRect GetBounds() const = 0;
};

class IBoundsSource {
public:
    virtual ~IBoundsSource() = default;
    virtual TRect SourceRect() const = 0;
};

class IRectShape {
public:
    virtual ~IRectShape() = default;
    virtual int Left() const = 0;
    virtual void SetLeft(int value) = 0;
    virtual int Top() const = 0;
    virtual void SetTop(int value) = 0;
    virtual int Width() const = 0;
    virtual void SetWidth(int value) = 0;
    virtual int Height() const = 0;
    virtual void SetHeight(int value) = 0;
    virtual bool KeepsAspect() const = 0;
};

class IOutlineShape {
public:
    virtual ~IOutlineShape() = default;
    virtual void PaintTo(TCanvas& canvas) = 0;
    virtual void DrawOutline(TCanvas& canvas) = 0;
};

class IBlendable {
public:
    virtual ~IBlendable() = default;
    virtual void SetBlendShade(bool value) = 0;
    virtual bool BlendShade() const = 0;
    virtual void SetBlendRatio(int value) = 0;
    virtual int BlendRatio() const = 0;
};

class IDORotate {
public:
    virtual ~IDORotate() = default;
    virtual int Angle() const = 0;
    virtual void SetAngle(int degrees) = 0;
};

class IDOLine {
public:
    virtual ~IDOLine() = default;
    virtual QPoint StartPoint() const = 0;
    virtual void SetStartPoint(QPoint p) = 0;
    virtual QPoint EndPoint() const = 0;
    virtual void SetEndPoint(QPoint p) = 0;
};

// IDOLine is a virtual base: a curve object offers the line capability once, through either path.
class IDOCurve : public virtual IDOLine {
public:
    virtual QPoint ViaPoint() const = 0;
    virtual void SetBulgeFromPoint(QPoint p) = 0;
};

class IDOTextColor {
public:
    virtual ~IDOTextColor() = default;
    virtual const TColorSpec& TextColorSpec() const = 0;
    virtual void SetTextColorSpec(const TColorSpec& spec) = 0;
};

class IFillColor {
public:
    virtual ~IFillColor() = default;
    virtual const TColorSpec& FillColorSpec() const = 0;
    virtual void SetFillColorSpec(const TColorSpec& spec) = 0;
    virtual bool NoFill() const = 0;
    virtual void SetNoFill(bool value) = 0;
};

class IDOFont {
public:
    virtual ~IDOFont() = default;
    virtual const TPointBasedFont& DOFont() const = 0;
    virtual void SetDOFont(const TPointBasedFont& font) = 0;
};

class IDOAlign {
public:
    virtual ~IDOAlign() = default;
    virtual int Align() const = 0;
    virtual void SetAlign(int value) = 0;
};

class IDOAutoSize {
public:
    virtual ~IDOAutoSize() = default;
    virtual bool AutoSize() const = 0;
    virtual void SetAutoSize(bool value) = 0;
};

// An object that can make its content smaller (not just its box) to fit an area, as a text
// takes a smaller size.
class IDOShrinkToFit {
public:
    virtual ~IDOShrinkToFit() = default;
    virtual void ShrinkToFit(QSize area) = 0;
};

class IDOVertical {
public:
    virtual ~IDOVertical() = default;
    virtual bool Vertical() const = 0;
    virtual void SetVertical(bool value) = 0;
};

class IDOFeedAngle {
public:
    virtual ~IDOFeedAngle() = default;
    virtual int FeedAngle() const = 0;
    virtual void SetFeedAngle(int degrees) = 0;
};

class IDOWizardInput {
public:
    virtual ~IDOWizardInput() = default;
    virtual bool InputEnabled() const = 0;
    virtual void SetInputEnabled(bool value) = 0;
    virtual QString InputCaption() const = 0;
    virtual void SetInputCaption(const QString& caption) = 0;
};

// The dates a date object may show, in days since 30 December 1899 as files store them (kept
// so, a document saves its dates back unchanged).
struct TDocumentDates {
    double opened = 0;
    double lastPrint = 0;
    double lastSave = 0;
};

// An object that shows one of the document's dates (a date field): a face loaded from the
// document gives it the dates.
class IDODocumentDates {
public:
    virtual ~IDODocumentDates() = default;
    virtual void ShowDocumentDates(const TDocumentDates& dates) = 0;
};

class IDOFaceBackground {
public:
    virtual ~IDOFaceBackground() = default;
    // Fits the background to the face it belongs to: it covers the face's outer rectangle (in the
    // coordinates the object stands in) and clips to the face.
    virtual void SetFaceInfo(const TFaceInfo& face) = 0;
    virtual const TFaceInfo& FaceInfo() const = 0;
    // Shows nothing (no frame, a white fill, no picture): a face does not store it.
    virtual bool IsBlank() const = 0;
};

}  // namespace kestrel

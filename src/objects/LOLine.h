#pragma once

// Straight lines and circular arcs between two end points.

#include <QPainterPath>
#include <optional>

#include "document/LabelObject.h"
#include "objects/ShapePaint.h"
#include "render/ColorSpec.h"

namespace kestrel {

class TLOLine : public TCachedAppearance<TBlendableObject<TLabelObject>>,
                public IDORotate,
                public virtual IDOLine,
                public IBoundsSource,
                public IDOTextColor,
                public IOutlineShape,
                public IDOEncloseBounds {
    KESTREL_PERSISTENT()
public:
    static constexpr int DefaultLineWidth = 10;

    TLOLine();

    int StartX() const { return start_.x(); }
    void SetStartX(int x) { SetStartPoint({x, start_.y()}); }
    int StartY() const { return start_.y(); }
    void SetStartY(int y) { SetStartPoint({start_.x(), y}); }
    int EndX() const { return end_.x(); }
    void SetEndX(int x) { SetEndPoint({x, end_.y()}); }
    int EndY() const { return end_.y(); }
    void SetEndY(int y) { SetEndPoint({end_.x(), y}); }
    QPoint StartPoint() const override { return start_; }
    void SetStartPoint(QPoint p) override;
    QPoint EndPoint() const override { return end_; }
    void SetEndPoint(QPoint p) override;
    int LineWidth() const { return lineWidth_; }
    virtual void SetLineWidth(int width);
    TColorSpec& LineColor() { return lineColor_; }
    const TColorSpec& LineColor() const { return lineColor_; }

    // The direction from start to end in degrees, -180..180, clockwise on screen.
    int Angle() const override;
    // Turns both end points about the rotation centre. Turning again starts from where the last
    // other change left the line, so turns in steps add up without rounding drift.
    void SetAngle(int degrees) override;

    const TColorSpec& TextColorSpec() const override { return lineColor_; }
    void SetTextColorSpec(const TColorSpec& spec) override { lineColor_.Assign(spec); }

    // The end points' rectangle, normalised.
    TRect SourceRect() const override;
    void MoveBy(int dx, int dy) override;
    // On each axis the smaller end stays and the other lies size - LineWidth beyond it.
    void SetSize(int width, int height) override;
    TRect GetBounds() const override;
    int HitTest(QPoint logical) const override;
    void Paint(TCanvas& canvas) override;
    void PaintMask(TCanvas& mask) override;
    void DrawOutline(TCanvas& canvas) override;
    void PaintTo(TCanvas& canvas) override { TLabelObject::PaintTo(canvas); }

protected:
    // The centre line the pen follows.
    virtual QPainterPath CentrePath() const;
    virtual TShapePen PenKind() const;
    virtual QPoint RotationCentre() const;
    // Both ends at once: one change, one repaint.
    void SetEnds(QPoint start, QPoint end);
    // After any change of the geometry (end points, width, bulge): the next turn starts here.
    void GeometryChanged();

private:
    // The area the pen covers, at least minWidth wide.
    QPainterPath Covered(double minWidth, double extra = 0) const;
    TColorSpec* LineColorObject() { return &lineColor_; }

    // The widened centre line of the last width asked for, until the geometry changes.
    struct TCoveredArea {
        double width;
        QPainterPath area;
    };

    struct TTurnStart {
        QPoint start;
        QPoint end;
        int angle;
        QPoint centre;
    };

    QPoint start_;
    QPoint end_;
    int lineWidth_ = DefaultLineWidth;
    TColorSpec lineColor_;
    std::optional<TTurnStart> turnStart_;
    mutable std::optional<TCoveredArea> covered_;
    mutable std::optional<TRect> bounds_;
};

// An arc from the start to the end point whose middle lies Bulge away from the chord.
class TLOCurve : public TLOLine, public IDOCurve {
    KESTREL_PERSISTENT()
public:
    static constexpr int DefaultBulge = 30;

    TLOCurve();

    int Bulge() const { return bulge_; }
    void SetBulge(int bulge);
    // The middle of the arc.
    QPoint ViaPoint() const override;
    void SetBulgeFromPoint(QPoint p) override;
    // Scales the end points' spread by the ratio of the new size to the bounds.
    void SetSize(int width, int height) override;

protected:
    QPainterPath CentrePath() const override;
    TShapePen PenKind() const override;
    QPoint RotationCentre() const override;

private:
    int bulge_ = DefaultBulge;
};

}  // namespace kestrel

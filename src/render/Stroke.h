#pragma once

// A vector path in logical units: the outline of shapes, glyphs and faces. Points carry the
// point types of the canvas's paths (move, line, Bezier in threes, close bit).

#include <QPoint>
#include <cstdint>
#include <vector>

#include "platform/Geometry.h"
#include "platform/PathData.h"

namespace kestrel {

class TCanvas;
class TBitmap;

class TStroke {
public:
    // Segments longer than this are split by Subdivide.
    static constexpr int MaxSegment = 8;
    // Parameter steps of a replayed Bezier curve.
    static constexpr int BezierSteps = 63;

    int Count() const { return static_cast<int>(types_.size()); }
    // New points are (0, 0) move points.
    void SetCount(int n);
    void Clear() { SetCount(0); }
    // Fail with a range error outside the path.
    QPoint Point(int i) const;
    // Moves a point; its type stays.
    void SetPoint(int i, QPoint p);
    uint8_t Type(int i) const;
    void AddPoint(int x, int y, uint8_t type);
    void AddPoint(QPoint p, uint8_t type) { AddPoint(p.x(), p.y(), type); }
    TPathPoints Points() const;

    // Appends the canvas's recorded path.
    void AppendPath(const TCanvas& canvas);
    // Smallest rectangle holding every point; empty without points.
    TRect GetBounds() const;

    void SetRect(const TRect& rect);
    void SetEllipse(const TRect& rect);
    // Corner circles of diameter d.
    void SetRoundRect(const TRect& rect, int d);
    // No straight segment longer than MaxSegment afterwards; every existing point stays.
    void Subdivide();

    // Replays the path onto the canvas (normally inside a path bracket).
    void Draw(TCanvas& canvas) const;
    void DrawPath(TCanvas& canvas) const;

    void Assign(const TStroke& source) { *this = source; }
    friend bool operator==(const TStroke&, const TStroke&) = default;

private:
    void CheckIndex(int i) const;
    void SetPoints(const TPathPoints& points);

    std::vector<QPoint> points_;
    std::vector<uint8_t> types_;
};

}  // namespace kestrel

#pragma once

// Bends text into a shape: the rectangle of the laid-out text (the source) is mapped onto a
// region bounded by four curves through the bilinearly blended Coons patch, placed in the target
// rectangle. Control points lie in the unit square and are kept as the 80-bit extended values
// they are stored as, so a preset read and written back is byte for byte the same.

#include <QByteArray>
#include <QUuid>
#include <array>
#include <vector>

#include "document/Transformer.h"
#include "document/stream/Extended.h"
#include "document/stream/Persistent.h"
#include "platform/Geometry.h"

namespace kestrel {

class TStroke;
class TBoundedReader;

// A control point in the unit square (y down), in extended precision.
struct TCoonsPoint {
    long double x = 0;
    long double y = 0;
    friend bool operator==(const TCoonsPoint&, const TCoonsPoint&) = default;
};

enum TCoonsSide { cdsTop, cdsRight, cdsBottom, cdsLeft };

class TCoonsDistortion : public TPersistent, public TTransformer {
    KESTREL_PERSISTENT()
public:
    // Empty, with a fresh identifier.
    TCoonsDistortion();

    const QUuid& Guid() const { return guid_; }
    void SetGuid(const QUuid& guid) { guid_ = guid; }
    int PointCount(int side) const;
    // Ignored when negative or unchanged; new points start at their straight positions and every
    // smooth flag of the side is cleared.
    void SetPointCount(int side, int n);
    // Outside the side the index continues on the neighbouring sides.
    TCoonsPoint GetPoint(int side, int i) const;
    // Ignored outside the side; an end point also moves the shared corner of the neighbour.
    void SetPoint(int side, int i, TCoonsPoint p);
    bool Smooth(int side, int i) const;
    void SetSmooth(int side, int i, bool smooth);
    // No distortion: every side empty. A side with fewer than two points (none stored by this
    // program) maps as a straight side between its corners.
    bool IsEmpty() const;

    // Pulls every control point toward its straight position: 100 keeps the shape, 0 gives the
    // square, above 100 exaggerates.
    void SetRatio(int percent);
    void SetSourceRect(const TRect& rect) { source_ = rect; }
    void SetTargetRect(const TRect& rect) { target_ = rect; }
    const TRect& SourceRect() const { return source_; }
    const TRect& TargetRect() const { return target_; }

    QPoint TransformPoint(QPoint p) const override;
    // Every point of the path, Bezier controls included.
    void TransformStroke(TStroke& stroke) const;

    void Assign(const TPersistent& source) override;
    void DefineProperties(TFiler& filer) override;
    // The "Data" layout; a damaged layout raises a read error and leaves the distortion as it was.
    void ReadData(TBoundedReader& in);
    QByteArray WriteData() const;

    // Two points per side at the corners of the unit square.
    static TCoonsDistortion Identity();
    friend bool operator==(const TCoonsDistortion& a, const TCoonsDistortion& b);

private:
    struct TSide {
        std::vector<std::array<TExtended, 2>> stored;  // x and y as read or written
        std::vector<uint8_t> smooth;
    };
    // Side and index of an index that may run past either end of a side (clamped to the
    // neighbour's points); side -1 when nothing is there.
    std::pair<int, int> Locate(int side, int i) const;
    static std::pair<int, int> LocateAmong(const std::array<int, 4>& counts, int side, int i);
    // A corner of the side as the neighbour sharing it holds it, else the unit square's.
    TCoonsPoint Corner(int side, bool atEnd) const;
    void StorePoint(int side, int i, TCoonsPoint p);
    // The evaluated curve of a side at parameter t.
    TCoonsPoint Evaluate(int side, long double t) const;
    TCoonsPoint EvalPoint(int side, int i) const;
    void Rebuild() const;

    QUuid guid_;
    std::array<TSide, 4> sides_;
    TRect source_;
    TRect target_;
    // The sides as evaluated: every one with a segment at least.
    struct TEvalSide {
        std::vector<TCoonsPoint> points;
        std::vector<uint8_t> smooth;
    };
    mutable bool dirty_ = true;
    mutable std::array<TEvalSide, 4> eval_;
};

// Where point i of an n-point side lies on the straight side.
TCoonsPoint StraightPosition(int side, int i, int n);

}  // namespace kestrel

#include "text/CoonsDistortion.h"

#include <QUuid>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/BoundedReader.h"
#include "platform/GuidBytes.h"
#include "render/Stroke.h"

namespace kestrel {

namespace {

constexpr int SideCount = 4;
constexpr int PointBytes = 20;

long double FromExtended(const TExtended& bytes)
{
    if constexpr (std::numeric_limits<long double>::digits == 64) {
        long double v = 0;
        std::memcpy(&v, bytes.data(), bytes.size());
        return v;
    } else {
        return ExtendedToDouble(bytes);
    }
}

TExtended ToExtended(long double v)
{
    if constexpr (std::numeric_limits<long double>::digits == 64) {
        TExtended bytes{};
        std::memcpy(bytes.data(), &v, bytes.size());
        return bytes;
    } else {
        return DoubleToExtended(double(v));
    }
}

TCoonsPoint Mix(TCoonsPoint a, TCoonsPoint b, long double t)
{
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

bool ValidSide(int side)
{
    return side >= 0 && side < SideCount;
}

}  // namespace

TCoonsPoint StraightPosition(int side, int i, int n)
{
    const long double f = n > 1 ? (long double)i / (n - 1) : 0;
    switch (side) {
    case cdsTop: return {f, 0};
    case cdsRight: return {1, f};
    case cdsBottom: return {f, 1};
    default: return {0, f};
    }
}

const TClassInfo& TCoonsDistortion::StaticClass()
{
    static const TClassInfo info("TCoonsDistortion", &TPersistent::StaticClass(), FactoryOf<TCoonsDistortion>(),
                                 [] { return std::vector<TPropInfo>(); });
    return info;
}

TCoonsDistortion::TCoonsDistortion() : guid_(QUuid::createUuid()) {}

TCoonsDistortion TCoonsDistortion::Identity()
{
    TCoonsDistortion d;
    for (int side = 0; side < SideCount; ++side) d.SetPointCount(side, 2);
    return d;
}

int TCoonsDistortion::PointCount(int side) const
{
    return ValidSide(side) ? int(sides_[side].stored.size()) : 0;
}

void TCoonsDistortion::SetPointCount(int side, int n)
{
    if (!ValidSide(side) || n < 0 || n == PointCount(side)) return;
    TSide& s = sides_[side];
    const int old = PointCount(side);
    s.stored.resize(n);
    for (int i = old; i < n; ++i) {
        const TCoonsPoint p = StraightPosition(side, i, n);
        s.stored[i] = {ToExtended(p.x), ToExtended(p.y)};
    }
    s.smooth.assign(n, 0);
    dirty_ = true;
}

std::pair<int, int> TCoonsDistortion::Locate(int side, int i) const
{
    std::array<int, SideCount> counts{};
    for (int k = 0; k < SideCount; ++k) counts[k] = PointCount(k);
    return LocateAmong(counts, side, i);
}

std::pair<int, int> TCoonsDistortion::LocateAmong(const std::array<int, 4>& counts, int side, int i)
{
    const int n = counts[side];
    if (i >= 0 && i < n) return {side, i};
    // Which neighbour continues the side past its start (before) or its end (after), and
    // whether the neighbour runs away from the shared corner (forward) or toward it.
    struct TNeighbour {
        int side;
        bool forward;
    };
    static constexpr TNeighbour Before[SideCount] = {{cdsLeft, true}, {cdsTop, false}, {cdsLeft, false}, {cdsTop, true}};
    static constexpr TNeighbour After[SideCount] = {{cdsRight, true}, {cdsBottom, false}, {cdsRight, false}, {cdsBottom, true}};
    const TNeighbour nb = i < 0 ? Before[side] : After[side];
    const int k = i < 0 ? -i : i - n + 1;
    const int m = counts[nb.side];
    if (m == 0) return {n > 0 ? side : -1, i < 0 ? 0 : n - 1};
    const int index = std::clamp(nb.forward ? k : m - 1 - k, 0, m - 1);
    return {nb.side, index};
}

TCoonsPoint TCoonsDistortion::GetPoint(int side, int i) const
{
    if (!ValidSide(side)) return {};
    const auto [s, j] = Locate(side, i);
    if (s < 0) return {};
    const auto& xy = sides_[s].stored[j];
    return {FromExtended(xy[0]), FromExtended(xy[1])};
}

void TCoonsDistortion::StorePoint(int side, int i, TCoonsPoint p)
{
    if (i < 0 || i >= PointCount(side)) return;
    sides_[side].stored[i] = {ToExtended(p.x), ToExtended(p.y)};
    dirty_ = true;
}

void TCoonsDistortion::SetPoint(int side, int i, TCoonsPoint p)
{
    const int n = PointCount(side);
    if (!ValidSide(side) || i < 0 || i >= n) return;
    StorePoint(side, i, p);
    // The shared corners: top end = right start, right end = bottom end, bottom start = left
    // end, left start = top start.
    const bool first = i == 0;
    const bool last = i == n - 1;
    switch (side) {
    case cdsTop:
        if (last) StorePoint(cdsRight, 0, p);
        if (first) StorePoint(cdsLeft, 0, p);
        break;
    case cdsRight:
        if (first) StorePoint(cdsTop, PointCount(cdsTop) - 1, p);
        if (last) StorePoint(cdsBottom, PointCount(cdsBottom) - 1, p);
        break;
    case cdsBottom:
        if (last) StorePoint(cdsRight, PointCount(cdsRight) - 1, p);
        if (first) StorePoint(cdsLeft, PointCount(cdsLeft) - 1, p);
        break;
    case cdsLeft:
        if (first) StorePoint(cdsTop, 0, p);
        if (last) StorePoint(cdsBottom, 0, p);
        break;
    }
}

bool TCoonsDistortion::Smooth(int side, int i) const
{
    return ValidSide(side) && i >= 0 && i < PointCount(side) && sides_[side].smooth[i] != 0;
}

void TCoonsDistortion::SetSmooth(int side, int i, bool smooth)
{
    if (!ValidSide(side) || i < 0 || i >= PointCount(side)) return;
    sides_[side].smooth[i] = smooth ? 1 : 0;
    dirty_ = true;
}

bool TCoonsDistortion::IsEmpty() const
{
    for (int side = 0; side < SideCount; ++side)
        if (PointCount(side) != 0) return false;
    return true;
}

void TCoonsDistortion::SetRatio(int percent)
{
    const long double f = percent / 100.0L;
    for (int side = 0; side < SideCount; ++side) {
        const int n = PointCount(side);
        const bool wholeSide = side == cdsTop || side == cdsBottom;
        for (int i = wholeSide ? 0 : 1; i < (wholeSide ? n : n - 1); ++i) {
            const TCoonsPoint straight = StraightPosition(side, i, n);
            const TCoonsPoint stored = GetPoint(side, i);
            SetPoint(side, i, Mix(straight, stored, f));
        }
    }
}

TCoonsPoint TCoonsDistortion::Corner(int side, bool atEnd) const
{
    // The neighbour that shares the corner, and whether the corner is its last point.
    struct TShared {
        int side;
        bool last;
    };
    static constexpr TShared Starts[SideCount] = {{cdsLeft, false}, {cdsTop, true}, {cdsLeft, true}, {cdsTop, false}};
    static constexpr TShared Ends[SideCount] = {{cdsRight, false}, {cdsBottom, true}, {cdsRight, true}, {cdsBottom, false}};
    const TShared shared = atEnd ? Ends[side] : Starts[side];
    const int m = PointCount(shared.side);
    if (m >= 2) return GetPoint(shared.side, shared.last ? m - 1 : 0);
    return StraightPosition(side, atEnd ? 1 : 0, 2);
}

void TCoonsDistortion::Rebuild() const
{
    if (!dirty_) return;
    for (int side = 0; side < SideCount; ++side) {
        TEvalSide& eval = eval_[side];
        const int n = PointCount(side);
        if (n < 2) {
            // A side without a segment runs straight between its corners.
            eval.points = {Corner(side, false), Corner(side, true)};
            eval.smooth.assign(2, 0);
        } else {
            eval.points.resize(n);
            for (int i = 0; i < n; ++i) eval.points[i] = GetPoint(side, i);
            eval.smooth = sides_[side].smooth;
        }
    }
    dirty_ = false;
}

TCoonsPoint TCoonsDistortion::EvalPoint(int side, int i) const
{
    std::array<int, SideCount> counts{};
    for (int k = 0; k < SideCount; ++k) counts[k] = int(eval_[k].points.size());
    const auto [s, j] = LocateAmong(counts, side, i);
    return s < 0 ? TCoonsPoint{} : eval_[s].points[j];
}

TCoonsPoint TCoonsDistortion::Evaluate(int side, long double t) const
{
    const TEvalSide& eval = eval_[side];
    const int n = int(eval.points.size());
    const long double pos = t * (n - 1);
    const int j = std::clamp(int(std::floor(pos)), 0, n - 2);
    const long double local = pos - j;
    const int k = local < 0.5L ? j : j + 1;
    if (eval.smooth[k]) {
        const TCoonsPoint pk = eval.points[k];
        const TCoonsPoint m1 = Mix(EvalPoint(side, k - 1), pk, 0.5L);
        const TCoonsPoint m2 = Mix(pk, EvalPoint(side, k + 1), 0.5L);
        const long double s = pos - k + 0.5L;
        const long double a = (1 - s) * (1 - s), b = 2 * s * (1 - s), c = s * s;
        return {a * m1.x + b * pk.x + c * m2.x, a * m1.y + b * pk.y + c * m2.y};
    }
    return Mix(eval.points[j], eval.points[j + 1], local);
}

QPoint TCoonsDistortion::TransformPoint(QPoint p) const
{
    if (IsEmpty() || source_.Width() == 0 || source_.Height() == 0 || target_.Width() == 0 || target_.Height() == 0)
        return p;
    Rebuild();
    const long double u = (long double)(p.x() - source_.left) / source_.Width();
    const long double v = (long double)(p.y() - source_.top) / source_.Height();
    const TCoonsPoint c0 = Evaluate(cdsTop, u), c1 = Evaluate(cdsRight, v);
    const TCoonsPoint c2 = Evaluate(cdsBottom, u), c3 = Evaluate(cdsLeft, v);
    const TCoonsPoint q00 = eval_[cdsTop].points.front(), q10 = eval_[cdsRight].points.front();
    const TCoonsPoint q11 = eval_[cdsBottom].points.back(), q01 = eval_[cdsLeft].points.back();
    auto blend = [&](long double TCoonsPoint::*axis) {
        return (1 - v) * c0.*axis + v * c2.*axis + (1 - u) * c3.*axis + u * c1.*axis -
               ((1 - u) * (1 - v) * q00.*axis + u * (1 - v) * q10.*axis + u * v * q11.*axis +
                (1 - u) * v * q01.*axis);
    };
    const long double sx = blend(&TCoonsPoint::x);
    const long double sy = blend(&TCoonsPoint::y);
    return {target_.left + int(std::trunc(sx * target_.Width() + 0.01L)),
            target_.top + int(std::trunc(sy * target_.Height() + 0.01L))};
}

void TCoonsDistortion::TransformStroke(TStroke& stroke) const
{
    for (int i = 0; i < stroke.Count(); ++i) {
        const QPoint p = TransformPoint(stroke.Point(i));
        // Rewriting a point keeps its type.
        stroke.SetPoint(i, p);
    }
}

void TCoonsDistortion::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TCoonsDistortion*>(&source);
    if (!other) return TPersistent::Assign(source);
    guid_ = other->guid_;
    sides_ = other->sides_;
    source_ = other->source_;
    target_ = other->target_;
    dirty_ = true;
}

void TCoonsDistortion::DefineProperties(TFiler& filer)
{
    filer.DefineBinaryProperty(
        "Data", [this](TBoundedReader& in) { ReadData(in); },
        [this](QByteArray& out) { out += WriteData(); }, true);
}

void TCoonsDistortion::ReadData(TBoundedReader& in)
{
    const QUuid guid = ReadGuid(in);
    std::array<int64_t, SideCount> counts{};
    int64_t total = 0;
    for (auto& n : counts) {
        n = in.ReadI32();
        if (n < 0) in.Fail();
        total += n;
    }
    // Points and flags must all be there before anything is allocated.
    in.Need(total * (PointBytes + 1));
    std::array<TSide, 4> sides;
    for (int side = 0; side < SideCount; ++side) {
        sides[side].stored.resize(counts[side]);
        for (auto& xy : sides[side].stored)
            for (TExtended& value : xy) std::memcpy(value.data(), in.ReadBytes(value.size()).data(), value.size());
    }
    for (int side = 0; side < SideCount; ++side) {
        const QByteArrayView flags = in.ReadBytes(counts[side]);
        sides[side].smooth.assign(flags.begin(), flags.end());
    }
    guid_ = guid;
    sides_ = std::move(sides);
    dirty_ = true;
}

QByteArray TCoonsDistortion::WriteData() const
{
    QByteArray out;
    out += GuidBytes(guid_);
    for (const TSide& s : sides_) {
        const int32_t n = int32_t(s.stored.size());
        out.append(reinterpret_cast<const char*>(&n), sizeof n);
    }
    for (const TSide& s : sides_)
        for (const auto& xy : s.stored)
            for (const TExtended& value : xy) out.append(reinterpret_cast<const char*>(value.data()), value.size());
    for (const TSide& s : sides_) out.append(reinterpret_cast<const char*>(s.smooth.data()), s.smooth.size());
    return out;
}

bool operator==(const TCoonsDistortion& a, const TCoonsDistortion& b)
{
    if (a.guid_ != b.guid_) return false;
    for (int side = 0; side < SideCount; ++side)
        if (a.sides_[side].stored != b.sides_[side].stored || a.sides_[side].smooth != b.sides_[side].smooth)
            return false;
    return true;
}

}  // namespace kestrel

#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "document/stream/Persistent.h"

namespace kestrel {

// Stored as its ordinal.
enum TFaceShape : int { fsRect, fsDoughnut, fsEllipse, fsRoundRect, fsRectCD, fsBarrelCD };
inline constexpr int FaceShapeCount = 6;

enum TCenterShape : int { csEllipse, csBarrel };

// Set of TFaceShape: bit n stands for ordinal n.
class TFaceShapes {
public:
    constexpr TFaceShapes() = default;
    constexpr TFaceShapes(std::initializer_list<TFaceShape> shapes)
    {
        for (TFaceShape s : shapes) bits_ |= Bit(s);
    }
    static constexpr TFaceShapes FromMask(uint32_t mask)
    {
        TFaceShapes s;
        s.bits_ = mask & ((1u << FaceShapeCount) - 1);
        return s;
    }
    constexpr uint32_t Mask() const { return bits_; }
    constexpr bool Contains(TFaceShape s) const { return bits_ & Bit(s); }
    constexpr bool operator==(const TFaceShapes&) const = default;

private:
    static constexpr uint32_t Bit(TFaceShape s) { return 1u << static_cast<int>(s); }
    uint32_t bits_ = 0;
};

const TEnumInfo& FaceShapeInfo();
const TEnumInfo& CenterShapeInfo();

// The names shown to the user, in ordinal order.
QStringList FaceShapeDisplayNames();

// Shape and purpose that a face type number (older catalogues, the paper editor's presets)
// stands for; nothing for an unknown number.
struct TFaceTypePreset {
    TFaceShape shape;
    QString purpose;
};
std::optional<TFaceTypePreset> FaceTypePreset(int type);

inline bool IsValidFaceShape(int64_t v) { return v >= fsRect && v <= fsBarrelCD; }
inline bool IsValidCenterShape(int64_t v) { return v == csEllipse || v == csBarrel; }
inline bool HasHole(TFaceShape s) { return s == fsDoughnut || s == fsRectCD || s == fsBarrelCD; }
inline bool IsRounded(TFaceShape s) { return s == fsRoundRect || s == fsRectCD; }

}  // namespace kestrel

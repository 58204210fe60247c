#pragma once

#include <QImage>
#include <array>
#include <cstdint>
#include <optional>

#include "imaging/Progress.h"
#include "platform/Geometry.h"

namespace kestrel {

// Destination pixels that the rectangle source (of a bitmap of the given size) supplies when it
// is laid unscaled on destination within destinationBounds; nothing when the rectangles differ in
// size or nothing is left after clipping to both bitmaps.
std::optional<TRect> PlaceRect(const TRect& source, QSize sourceSize, const TRect& destination,
                               const TRect& destinationBounds);

// Copies a source bitmap into a destination bitmap pixel for pixel, without scaling. Both have the
// same 24- or 32-bit format; the fourth byte of 32-bit pixels is never touched.
class TGRBlender {
public:
    virtual ~TGRBlender() = default;

    void SetDestination(QImage* bitmap, const TRect& rect);
    void SetSource(const QImage* bitmap, const TRect& rect);
    // One phase of rows / 64 + 1 steps per blend.
    void SetProgress(TPhasedProgressBase* progress) { progress_ = progress; }

    virtual bool CanBlend() const;
    virtual void Blend() = 0;

protected:
    QImage* destination_ = nullptr;
    TRect destinationRect_;
    const QImage* source_ = nullptr;
    TRect sourceRect_;
    TPhasedProgressBase* progress_ = nullptr;
};

// Mixes through an 8-bit opacity map (0 keeps the destination, 255 takes the source).
class TGRAlphaMapBlender : public TGRBlender {
public:
    void SetAlphaMap(const QImage* bitmap, const TRect& rect);

    bool CanBlend() const override;
    void Blend() override;

protected:
    // The opacity used for each map value.
    virtual std::array<uint8_t, 256> OpacityLevels() const = 0;

private:
    std::optional<TRect> BlendArea() const;

    const QImage* alphaMap_ = nullptr;
    TRect alphaRect_;
};

class TGRBlendAlphaMap : public TGRAlphaMapBlender {
protected:
    std::array<uint8_t, 256> OpacityLevels() const override;
};

// The map's opacity weakened to Ratio percent (clamped to 0..100).
class TGRBlendAlphaMapRatio : public TGRAlphaMapBlender {
public:
    int Ratio() const { return ratio_; }
    void SetRatio(int percent) { ratio_ = percent; }

protected:
    std::array<uint8_t, 256> OpacityLevels() const override;

private:
    int ratio_ = 100;
};

}  // namespace kestrel

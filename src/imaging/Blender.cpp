#include "imaging/Blender.h"

#include <algorithm>

#include "imaging/MixTable.h"
#include "imaging/PixelFormat.h"

namespace kestrel {

namespace {

TRect BoundsOf(const QImage& image)
{
    return {0, 0, image.width(), image.height()};
}

}  // namespace

std::optional<TRect> PlaceRect(const TRect& source, QSize sourceSize, const TRect& destination,
                               const TRect& destinationBounds)
{
    if (source.Width() != destination.Width() || source.Height() != destination.Height()) return std::nullopt;
    const TRect clippedSource = source.Intersected({0, 0, sourceSize.width(), sourceSize.height()});
    if (clippedSource.IsEmpty()) return std::nullopt;
    const TRect moved{destination.left + clippedSource.left - source.left,
                      destination.top + clippedSource.top - source.top,
                      destination.right + clippedSource.right - source.right,
                      destination.bottom + clippedSource.bottom - source.bottom};
    const TRect clipped = moved.Intersected(destinationBounds);
    if (clipped.IsEmpty()) return std::nullopt;
    return clipped;
}

void TGRBlender::SetDestination(QImage* bitmap, const TRect& rect)
{
    destination_ = bitmap;
    destinationRect_ = rect;
}

void TGRBlender::SetSource(const QImage* bitmap, const TRect& rect)
{
    source_ = bitmap;
    sourceRect_ = rect;
}

bool TGRBlender::CanBlend() const
{
    return destination_ && source_ && destination_->format() == source_->format() &&
           ColourBytesPerPixel(destination_->format()) != 0;
}

void TGRAlphaMapBlender::SetAlphaMap(const QImage* bitmap, const TRect& rect)
{
    alphaMap_ = bitmap;
    alphaRect_ = rect;
}

bool TGRAlphaMapBlender::CanBlend() const
{
    return TGRBlender::CanBlend() && alphaMap_ && IsEightBitMap(*alphaMap_);
}

std::optional<TRect> TGRAlphaMapBlender::BlendArea() const
{
    if (!CanBlend() || alphaRect_.IsEmpty() || alphaRect_.Intersected(BoundsOf(*alphaMap_)) != alphaRect_)
        return std::nullopt;
    const TRect destinationBounds = BoundsOf(*destination_);
    const auto alphaArea = PlaceRect(alphaRect_, alphaMap_->size(), destinationRect_, destinationBounds);
    const auto sourceArea = PlaceRect(sourceRect_, source_->size(), destinationRect_, destinationBounds);
    if (!alphaArea || !sourceArea) return std::nullopt;
    // One area for both inputs: the source may be clipped differently from the alpha map, and
    // each is then read at its own offset from the destination, never past its edge.
    const TRect area = alphaArea->Intersected(*sourceArea);
    if (area.IsEmpty()) return std::nullopt;
    return area;
}

void TGRAlphaMapBlender::Blend()
{
    const auto area = BlendArea();
    if (!area) return;
    const std::array<uint8_t, 256> levels = OpacityLevels();
    const TMixTable& mix = MixTable();
    const int bytes = ColourBytesPerPixel(destination_->format());
    const QPoint toSource = sourceRect_.TopLeft() - destinationRect_.TopLeft();
    const QPoint toAlpha = alphaRect_.TopLeft() - destinationRect_.TopLeft();
    const int rows = area->Height();
    if (progress_) progress_->BeginPhase(rows / 64 + 1);
    for (int r = 0; r < rows; ++r) {
        if (progress_ && r % 64 == 0) progress_->Step();
        const int y = area->top + r;
        uint8_t* target = destination_->scanLine(y) + area->left * bytes;
        const uint8_t* source =
            source_->constScanLine(y + toSource.y()) + (area->left + toSource.x()) * bytes;
        const uint8_t* alpha = alphaMap_->constScanLine(y + toAlpha.y()) + area->left + toAlpha.x();
        for (int x = 0; x < area->Width(); ++x, target += bytes, source += bytes) {
            const uint8_t opacity = levels[alpha[x]];
            if (opacity == 0) continue;
            const TMixRow& row = mix[opacity];
            for (int c = 0; c < 3; ++c) target[c] = MixChannel(row, target[c], source[c]);
        }
    }
    if (progress_) progress_->EndPhase();
}

std::array<uint8_t, 256> TGRBlendAlphaMap::OpacityLevels() const
{
    std::array<uint8_t, 256> levels;
    for (int a = 0; a < 256; ++a) levels[a] = static_cast<uint8_t>(a);
    return levels;
}

std::array<uint8_t, 256> TGRBlendAlphaMapRatio::OpacityLevels() const
{
    const int ratio = std::clamp(ratio_, 0, 100);
    std::array<uint8_t, 256> levels;
    // a * ratio / 100 rounded half away from zero (both factors are non-negative)
    for (int a = 0; a < 256; ++a) levels[a] = static_cast<uint8_t>(std::min(255, (a * ratio + 50) / 100));
    return levels;
}

}  // namespace kestrel

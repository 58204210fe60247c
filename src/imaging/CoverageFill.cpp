#include "imaging/CoverageFill.h"

#include <QPainter>
#include <algorithm>
#include <vector>

#include "document/CanvasMixing.h"
#include "imaging/AALine.h"
#include "imaging/BlendedPainting.h"
#include "platform/Canvas.h"
#include "render/ColorSpec.h"

namespace kestrel {

namespace {

// Pixels by which the traced soft edge of a coverage mask can reach past the painted edge.
constexpr int EdgeReach = 2;

// The soft edge: the outline traced into a scratch map of the mask's size.
QImage EdgeCoverage(const TCanvas& mask, const TPathPoints& outline)
{
    QImage edges(mask.Device().width(), mask.Device().height(), QImage::Format_Grayscale8);
    edges.fill(0);
    TAALineAlphaMap line;
    if (!line.Attach(edges)) return edges;
    std::vector<QPoint> points;
    std::vector<uint8_t> types;
    points.reserve(outline.size());
    types.reserve(outline.size());
    for (const TPathPoint& p : outline) {
        points.push_back(p.point);
        types.push_back(p.type);
    }
    TraceAntialiased(line, points, types, [&mask](QPoint logical) { return mask.LogToDev(logical); });
    return edges;
}

}  // namespace

void PaintOutlineCoverage(TCanvas& mask, const TPathPoints& outline)
{
    if (outline.empty()) return;
    {
        TCanvasStateSaver saver(mask);
        mask.SetPen({clWhite, 1, TPenStyle::psClear});
        mask.SetBrush({clWhite, TBrushStyle::bsSolid});
        mask.DrawPath(ToPainterPath(outline, Qt::WindingFill));
    }
    // Coverage combines by maximum, so the edge never weakens the filled inside.
    QPainter& painter = mask.Painter();
    painter.save();
    painter.resetTransform();
    painter.setCompositionMode(QPainter::CompositionMode_Lighten);
    painter.drawImage(0, 0, EdgeCoverage(mask, outline));
    painter.restore();
}

bool FillThroughCoverage(TCanvas& canvas, const TPathPoints& outline, const TColorSpec& spec, const TRect& over)
{
    if (!canvas.IsBitmapBacked()) return false;
    const QPaintDevice& device = canvas.Device();
    const TRect work = over.Intersected(canvas.ClipBox().Inflated(5));
    const TRect area = canvas.LogToDev(work).Intersected({0, 0, device.width(), device.height()});
    if (area.IsEmpty() || outline.empty()) return true;  // nothing of it can show

    QImage colour(area.Width(), area.Height(), QImage::Format_RGB888);
    colour.fill(Qt::white);
    {
        TCanvas colourCanvas(colour);
        AlignWith(colourCanvas, canvas, area.TopLeft());
        spec.FillRect(colourCanvas, over);
    }
    QImage mask(area.Width(), area.Height(), QImage::Format_Grayscale8);
    mask.fill(0);
    {
        TCanvas maskCanvas(mask);
        AlignWith(maskCanvas, canvas, area.TopLeft());
        PaintOutlineCoverage(maskCanvas, outline);
    }
    return MixIntoCanvas(canvas, area, colour, mask, 100, &BlendThroughMask);
}

QImage ColoursFromGrounds(const QImage& onWhite, const QImage& onBlack)
{
    const QImage white = onWhite.convertToFormat(QImage::Format_RGB888);
    const QImage black = onBlack.convertToFormat(QImage::Format_RGB888);
    QImage colours = white;
    if (black.size() != white.size()) return colours;
    const int w = white.width(), h = white.height();
    std::vector<uint8_t> covered(size_t(w) * h, 0);
    for (int y = 0; y < h; ++y) {
        const uint8_t* onW = white.constScanLine(y);
        const uint8_t* onB = black.constScanLine(y);
        uint8_t* out = colours.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const int i = 3 * x;
            const int ground = (onW[i] - onB[i]) + (onW[i + 1] - onB[i + 1]) + (onW[i + 2] - onB[i + 2]);
            const int coverage = 255 - std::clamp(ground / 3, 0, 255);
            if (coverage == 0) continue;
            covered[size_t(y) * w + x] = 1;
            for (int c = 0; c < 3; ++c)
                out[i + c] = uint8_t(std::min(255, (onB[i + c] * 255 + coverage / 2) / coverage));
        }
    }
    // A coverage mask's soft edge reaches a little beyond the painted edge: the pixels there
    // take the colour of a painted neighbour.
    for (int pass = 1; pass <= EdgeReach; ++pass) {
        std::vector<uint8_t> next = covered;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (covered[size_t(y) * w + x]) continue;
                for (const QPoint d : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)}) {
                    const int nx = x + d.x(), ny = y + d.y();
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h || !covered[size_t(ny) * w + nx]) continue;
                    std::copy_n(colours.constScanLine(ny) + 3 * nx, 3, colours.scanLine(y) + 3 * x);
                    next[size_t(y) * w + x] = 1;
                    break;
                }
            }
        covered = std::move(next);
    }
    return colours;
}

}  // namespace kestrel

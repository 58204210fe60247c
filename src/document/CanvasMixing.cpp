#include "document/CanvasMixing.h"

#include "platform/Canvas.h"

namespace kestrel {

void AlignWith(TCanvas& canvas, const TCanvas& reference, QPoint origin)
{
    canvas.SetMapping(reference.Mapping());
    canvas.SetDeviceOffset(reference.DeviceOffset() - origin);
    canvas.SetFontResolution(reference.FontResolution());
    canvas.SetPrintOutput(reference.IsPrintOutput());
    canvas.SetRenderBudget(reference.RenderBudget());
}

void DrawDeviceImage(TCanvas& canvas, QPoint at, const QImage& image, QPainter::CompositionMode mode)
{
    QPainter& painter = canvas.Painter();
    painter.save();
    painter.resetTransform();
    painter.setCompositionMode(mode);
    painter.drawImage(at, image);
    painter.restore();
}

bool MixIntoCanvas(TCanvas& canvas, const TRect& deviceArea, const QImage& source, const QImage& mask, int ratio,
                   const TMaskBlender& blender)
{
    const auto& target = static_cast<const QImage&>(canvas.Device());
    const QImage::Format format = target.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    QImage mixed = target.copy(deviceArea.ToQRect()).convertToFormat(format);
    if (!blender(mixed, source.convertToFormat(format), mask, ratio)) return false;
    DrawDeviceImage(canvas, deviceArea.TopLeft(), mixed, QPainter::CompositionMode_Source);
    return true;
}

}  // namespace kestrel

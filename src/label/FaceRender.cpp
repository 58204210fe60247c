#include "label/FaceRender.h"

#include <QPainter>
#include <cmath>

#include "document/DOList.h"
#include "document/DrawObject.h"
#include "label/LabelData.h"
#include "paper/FaceInfo.h"
#include "paper/PaperInfo.h"
#include "platform/Canvas.h"
#include "render/DrawSite.h"

namespace kestrel {

namespace {

constexpr double MetresPerInch = 0.0254;

QImage WhiteImage(QSize size, int dpi)
{
    QImage image(size, QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(dpi / MetresPerInch));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    return image;
}

int ToDevice(int logical, int dpi)
{
    return static_cast<int>(std::lround(double(logical) * dpi / LogicalUnitsPerInch));
}

}  // namespace

QImage RenderFace(std::vector<std::unique_ptr<TDrawObject>> objects, const TFaceGeometry& face, int dpi)
{
    const TSheetRect outer = face.OuterRect();
    if (outer.Width() <= 0 || outer.Height() <= 0 || dpi <= 0) return {};
    TDrawSite site;
    site.Scaler().SetUnitDPI(LogicalUnitsPerInch);
    site.SetDeviceDpi(dpi);
    site.SetBorder(false);
    site.SetLogSize(outer.Width(), outer.Height());
    for (auto& object : objects) site.AddObject(std::move(object));

    QImage image = WhiteImage(QSize(ToDevice(outer.Width(), dpi), ToDevice(outer.Height(), dpi)), dpi);
    TCanvas canvas(image);
    site.DrawTo(canvas, QPoint(0, 0), 100);
    site.ApplyMapping(canvas);
    canvas.SetBrush({clWhite, TBrushStyle::bsSolid});
    PaintOutsideFace(canvas, TFaceInfo(face));
    return image;
}

QImage RenderSheet(TLabelData& document, int dpi)
{
    const TPaperInfo* paper = document.EffectivePaper();
    if (!paper || dpi <= 0) return {};
    QImage sheet = WhiteImage(QSize(ToDevice(paper->Width(), dpi), ToDevice(paper->Height(), dpi)), dpi);
    QPainter painter(&sheet);
    for (int n = 0; n < document.FaceCount(); ++n) {
        if (!document.HasFaceObjects(n)) continue;
        TDOList objects;
        document.LoadFaceObjects(n, objects);
        const TFaceGeometry face = document.Face(n);
        const QImage picture = RenderFace(objects.ReleaseAll(), face, dpi);
        const TSheetRect outer = face.OuterRect();
        if (!picture.isNull()) painter.drawImage(QPoint(ToDevice(outer.left, dpi), ToDevice(outer.top, dpi)), picture);
    }
    return sheet;
}

void DrawFaceOutlineOver(QImage& picture, const TFaceGeometry& face)
{
    const TSheetRect outer = face.OuterRect();
    if (picture.isNull() || outer.Width() <= 0 || outer.Height() <= 0) return;
    const double scale = std::min(double(picture.width()) / outer.Width(), double(picture.height()) / outer.Height());
    QPainterPath outline = OutlinePath(face);
    outline.addPath(PrintedHolePath(face));
    QPainter painter(&picture);
    painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 0));
    painter.setBrush(Qt::NoBrush);
    painter.scale(scale, scale);
    painter.translate(-outer.left, -outer.top);
    painter.drawPath(outline);
}

}  // namespace kestrel

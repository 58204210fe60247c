#include "label/FaceRender.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

#include "document/DOList.h"
#include "document/DrawObject.h"
#include "label/LabelData.h"
#include "paper/FaceInfo.h"
#include "paper/PaperInfo.h"
#include "platform/Canvas.h"
#include "platform/Error.h"
#include "render/DrawSite.h"

namespace kestrel {

namespace {

QImage WhiteImage(QSize size, int dpi)
{
    QImage image(size, QImage::Format_RGB32);
    SetPictureDpi(image, dpi);
    image.fill(Qt::white);
    return image;
}

int ToDevice(int logical, int dpi)
{
    return static_cast<int>(std::lround(double(logical) * dpi / LogicalUnitsPerInch));
}

// A face's objects on an off-screen site, and where its outer rectangle lands on the picture.
struct TPlacedFace {
    int number = 0;
    TFaceGeometry geometry;
    QRect device;
    std::unique_ptr<TDrawSite> site;
};

TPlacedFace PlaceFace(std::vector<std::unique_ptr<TDrawObject>> objects, const TFaceGeometry& face, int dpi, QPoint at)
{
    const TSheetRect outer = face.OuterRect();
    TPlacedFace placed;
    placed.geometry = face;
    placed.device = QRect(at, QSize(ToDevice(outer.Width(), dpi), ToDevice(outer.Height(), dpi)));
    placed.site = std::make_unique<TDrawSite>();
    TDrawSite& site = *placed.site;
    site.Scaler().SetUnitDPI(LogicalUnitsPerInch);
    site.SetDeviceDpi(dpi);
    site.SetBorder(false);
    site.SetLogSize(outer.Width(), outer.Height());
    for (auto& object : objects) site.AddObject(std::move(object));
    return placed;
}

// The faces drawn onto one band whose top is row top of the picture.
void DrawBand(std::vector<TPlacedFace>& faces, QImage& band, int top)
{
    const QRect area(0, top, band.width(), band.height());
    for (TPlacedFace& face : faces) {
        if (!face.device.intersects(area)) continue;
        TCanvas canvas(band);
        canvas.SetDeviceOffset(face.device.topLeft() - QPoint(0, top));
        canvas.IntersectClipRect({0, 0, face.device.width(), face.device.height()});
        face.site->DrawTo(canvas, QPoint(0, 0), 100);
        face.site->ApplyMapping(canvas);
        canvas.SetBrush({clWhite, TBrushStyle::bsSolid});
        PaintOutsideFace(canvas, TFaceInfo(face.geometry));
    }
}

void RenderBands(std::vector<TPlacedFace>& faces, QSize size, int dpi, qint64 bandPixels, const TBandSink& sink,
                 QStringList* problems, bool nameFaces)
{
    const int rows = int(std::clamp<qint64>(bandPixels / std::max(1, size.width()), 1, size.height()));
    for (int top = 0; top < size.height(); top += rows) {
        QImage band = WhiteImage(QSize(size.width(), std::min(rows, size.height() - top)), dpi);
        if (band.isNull()) throw EKestrel(QStringLiteral("描く画像（%1×%2 ピクセル）のメモリが足りません").arg(size.width()).arg(size.height()));
        DrawBand(faces, band, top);
        sink(band);
    }
    if (!problems) return;
    for (const TPlacedFace& face : faces)
        for (const QString& problem : face.site->RenderBudget().Problems())
            *problems << (nameFaces ? QStringLiteral("面%1: %2").arg(face.number + 1).arg(problem) : problem);
}

std::vector<TPlacedFace> SheetFaces(TLabelData& document, int dpi)
{
    std::vector<TPlacedFace> faces;
    for (int n = 0; n < document.FaceCount(); ++n) {
        if (!document.HasFaceObjects(n)) continue;
        TDOList objects;
        document.LoadFaceObjects(n, objects);
        const TFaceGeometry face = document.Face(n);
        const TSheetRect outer = face.OuterRect();
        if (outer.Width() <= 0 || outer.Height() <= 0) continue;
        faces.push_back(PlaceFace(objects.ReleaseAll(), face, dpi, QPoint(ToDevice(outer.left, dpi), ToDevice(outer.top, dpi))));
        faces.back().number = n;
        // One budget for the sheet: labels of one photo decode it once.
        if (faces.size() > 1) faces.back().site->RenderBudget().ShareMemoryOf(faces.front().site->RenderBudget());
    }
    return faces;
}

// The whole picture as one band.
constexpr qint64 OneBand = std::numeric_limits<qint64>::max();

}  // namespace

QImage RenderFace(std::vector<std::unique_ptr<TDrawObject>> objects, const TFaceGeometry& face, int dpi,
                  QStringList* problems)
{
    const QSize size = FacePictureSize(face, dpi);
    if (size.isEmpty()) return {};
    std::vector<TPlacedFace> faces;
    faces.push_back(PlaceFace(std::move(objects), face, dpi, QPoint(0, 0)));
    QImage picture;
    RenderBands(faces, size, dpi, OneBand, [&picture](const QImage& band) { picture = band; }, problems, false);
    return picture;
}

QSize FacePictureSize(const TFaceGeometry& face, int dpi)
{
    const TSheetRect outer = face.OuterRect();
    if (outer.Width() <= 0 || outer.Height() <= 0 || dpi <= 0) return {};
    return {ToDevice(outer.Width(), dpi), ToDevice(outer.Height(), dpi)};
}

void RenderFaceInBands(TLabelData& document, int n, int dpi, const TBandSink& sink, QStringList* problems)
{
    const TFaceGeometry face = document.Face(n);
    const QSize size = FacePictureSize(face, dpi);
    if (size.isEmpty()) return;
    TDOList objects;
    document.LoadFaceObjects(n, objects);
    std::vector<TPlacedFace> faces;
    faces.push_back(PlaceFace(objects.ReleaseAll(), face, dpi, QPoint(0, 0)));
    faces.back().number = n;
    RenderBands(faces, size, dpi, MaxRenderBandPixels, sink, problems, true);
}

QSize SheetPictureSize(TLabelData& document, int dpi)
{
    const TPaperInfo* paper = document.EffectivePaper();
    if (!paper || dpi <= 0) return {};
    return {ToDevice(paper->Width(), dpi), ToDevice(paper->Height(), dpi)};
}

void RenderSheetInBands(TLabelData& document, int dpi, const TBandSink& sink, QStringList* problems)
{
    const QSize size = SheetPictureSize(document, dpi);
    if (size.isEmpty()) return;
    std::vector<TPlacedFace> faces = SheetFaces(document, dpi);
    RenderBands(faces, size, dpi, MaxRenderBandPixels, sink, problems, true);
}

QImage RenderSheet(TLabelData& document, int dpi, QStringList* problems)
{
    const QSize size = SheetPictureSize(document, dpi);
    if (size.isEmpty()) return {};
    std::vector<TPlacedFace> faces = SheetFaces(document, dpi);
    QImage sheet;
    RenderBands(faces, size, dpi, OneBand, [&sheet](const QImage& band) { sheet = band; }, problems, true);
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

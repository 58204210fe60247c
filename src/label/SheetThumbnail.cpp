#include "label/SheetThumbnail.h"

#include <QPainter>
#include <algorithm>

#include "label/FacePreview.h"
#include "paper/PaperInfo.h"
#include "platform/Canvas.h"
#include "platform/Error.h"
#include "platform/Rounding.h"
#include "render/DrawSite.h"
#include "render/LOFace.h"

namespace kestrel {

namespace {

// Drawn a little larger than asked and smoothed down, so that hairlines stay visible.
constexpr int Oversampling = 2;
constexpr QRgb PaperEdgeColor = 0xFFA0A0A0;

void ShowPreviews(TDrawSite& site, const TStoredSheet& sheet)
{
    const int faces = std::min(FaceCount(site), int(sheet.previews.size()));
    for (int n = 0; n < faces; ++n)
        static_cast<TLOFaceWithPreview*>(FaceAt(site, n))->SetPreview(sheet.previews[n]);
}

// White paper on a file manager's white background needs an edge to be seen.
QImage WithPaperEdge(QImage picture)
{
    QPainter painter(&picture);
    painter.setPen(QColor(PaperEdgeColor));
    painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    return picture;
}

}  // namespace

QImage DrawSheetThumbnail(const QString& path, int size)
{
    std::optional<TStoredSheet> sheet = ReadSheetFromFile(path, 0);
    if (!sheet || !sheet->paper || size <= 0) return {};
    TPaperInfo& paper = *sheet->paper;
    paper.CheckLayout();
    if (paper.Width() <= 0 || paper.Height() <= 0) return {};
    const int side = std::max(paper.Width(), paper.Height());
    // At the lowest resolution a paper larger than this would still need more pixels than asked.
    if (side > Oversampling * size * LogicalUnitsPerInch)
        throw EKestrel(QStringLiteral("用紙が大きすぎます(%1 × %2 mm)").arg(paper.Width() / 10.0).arg(paper.Height() / 10.0));

    const int dpi = MulDiv(Oversampling * size, LogicalUnitsPerInch, side);
    TDrawSite site;
    site.Scaler().SetUnitDPI(LogicalUnitsPerInch);
    site.SetDeviceDpi(dpi);
    site.SetBorder(false);
    site.SetLogSize(paper.Width(), paper.Height());
    CreateFaces(site, paper, false, [] { return std::make_unique<TLOFaceWithPreview>(); });
    ShowPreviews(site, *sheet);

    QImage drawn(MulDiv(paper.Width(), dpi, LogicalUnitsPerInch), MulDiv(paper.Height(), dpi, LogicalUnitsPerInch),
                 QImage::Format_RGB32);
    // The canvas takes its resolution from the picture.
    const int dotsPerMetre = MulDiv(dpi, 10000, LogicalUnitsPerInch);
    drawn.setDotsPerMeterX(dotsPerMetre);
    drawn.setDotsPerMeterY(dotsPerMetre);
    drawn.fill(Qt::white);
    TCanvas canvas(drawn);
    site.DrawTo(canvas, QPoint(0, 0), 100);
    return WithPaperEdge(drawn.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

}  // namespace kestrel

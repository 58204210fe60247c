#include "label/LabelExport.h"

#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>

#include "document/DOList.h"
#include "label/FaceRender.h"
#include "label/LabelData.h"
#include "platform/Error.h"
#include "platform/PictureCodecs.h"
#include "platform/ReplacingFile.h"

namespace kestrel {

namespace {

constexpr double MillimetresPerInch = 25.4;

// JPEG has no transparency: what is clear shows the paper's white, as in a BMP.
QImage OnWhite(const QImage& picture)
{
    if (!picture.hasAlphaChannel()) return picture;
    QImage flat(picture.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, picture);
    return flat;
}

void WritePdf(const QImage& picture, int dpi, const QString& file)
{
    TReplacingFile target(file);
    if (!target.Open()) throw EKestrel(QStringLiteral("「%1」に書き込めませんでした: %2").arg(file, target.ErrorString()));
    {
        QPdfWriter pdf(&target.Device());
        pdf.setResolution(dpi);
        pdf.setPageMargins(QMarginsF());
        const QSizeF millimetres = QSizeF(picture.size()) * MillimetresPerInch / dpi;
        pdf.setPageSize(QPageSize(millimetres, QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
        QPainter painter(&pdf);
        // Text on a label would blur in JPEG.
        painter.setRenderHint(QPainter::LosslessImageRendering);
        painter.drawImage(QRectF(0, 0, pdf.width(), pdf.height()), picture);
    }
    if (!target.Commit()) throw EKestrel(QStringLiteral("「%1」に書き込めませんでした: %2").arg(file, target.ErrorString()));
}

}  // namespace

std::optional<TOutputFormat> OutputFormatOfFile(const QString& file)
{
    const QString extension = QFileInfo(file).suffix().toLower();
    if (extension == u"png") return TOutputFormat::Png;
    if (extension == u"jpg" || extension == u"jpeg") return TOutputFormat::Jpeg;
    if (extension == u"bmp") return TOutputFormat::Bmp;
    if (extension == u"pdf") return TOutputFormat::Pdf;
    return std::nullopt;
}

QByteArray EncodeOutputPicture(const QImage& picture, TOutputFormat format)
{
    switch (format) {
    case TOutputFormat::Png: return EncodePng(picture);
    case TOutputFormat::Jpeg: return EncodeJpeg(OnWhite(picture), OutputJpegQuality);
    case TOutputFormat::Bmp: return EncodeBmp24(picture);
    case TOutputFormat::Pdf: break;
    }
    throw EKestrel(QStringLiteral("PDF は画像として書き出せません"));
}

QImage RenderDocumentFace(TLabelData& document, int face, int dpi, QStringList* problems)
{
    TDOList objects;
    document.LoadFaceObjects(face, objects);
    QStringList faceProblems;
    QImage picture = RenderFace(objects.ReleaseAll(), document.Face(face), dpi, &faceProblems);
    if (problems)
        for (const QString& problem : faceProblems) *problems << QStringLiteral("面%1: %2").arg(face + 1).arg(problem);
    return picture;
}

void ExportLabel(TLabelData& document, int face, int dpi, const QString& file, QStringList* problems)
{
    const std::optional<TOutputFormat> format = OutputFormatOfFile(file);
    if (!format) throw EKestrel(QStringLiteral("「%1」の形式は書き出せません。拡張子 .png .jpg .bmp .pdf のどれかにしてください").arg(file));
    if (face >= document.FaceCount()) throw EKestrel(QStringLiteral("面%1 はありません").arg(face + 1));
    const QImage picture = face >= 0 ? RenderDocumentFace(document, face, dpi, problems) : RenderSheet(document, dpi, problems);
    if (picture.isNull()) throw EKestrel(QStringLiteral("書き出すラベルがありません"));
    if (*format == TOutputFormat::Pdf)
        WritePdf(picture, dpi, file);
    else
        WriteFileReplacing(file, EncodeOutputPicture(picture, *format));
}

}  // namespace kestrel

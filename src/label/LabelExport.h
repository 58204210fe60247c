#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>

namespace kestrel {

class TLabelData;

// The files a label is exported to, told by the file's extension.
enum class TOutputFormat { Png, Jpeg, Bmp, Pdf };
// High enough that text on a label stays crisp.
inline constexpr int OutputJpegQuality = 90;
// Nothing when the extension names none of them.
std::optional<TOutputFormat> OutputFormatOfFile(const QString& file);
// The picture encoded as a PNG, JPEG or BMP file; JPEG and BMP show clear parts on white.
QByteArray EncodeOutputPicture(const QImage& picture, TOutputFormat format);

// Face n of the current sheet as RenderFace draws it; each problem names the face.
QImage RenderDocumentFace(TLabelData& document, int face, int dpi, QStringList* problems = nullptr);

// Face n of the current sheet, or the whole sheet when n is negative, drawn at dpi and written
// to file in the format its extension names, through a temporary file beside it. A PDF gets one
// page of the label's own size holding the picture. Raises EKestrel with a Japanese message.
void ExportLabel(TLabelData& document, int face, int dpi, const QString& file, QStringList* problems = nullptr);

}  // namespace kestrel

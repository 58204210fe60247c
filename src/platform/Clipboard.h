#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

namespace kestrel {

// Named private formats on the system clipboard, carried as bytes under a MIME type of our own;
// what the bytes mean is the caller's business (and they are untrusted when read back).
QString ClipboardMimeType(const QString& format);
void SetClipboardData(const QString& format, const QByteArray& bytes);
bool ClipboardHasFormat(const QString& format);
// Nothing when the clipboard holds no data of that format.
std::optional<QByteArray> ClipboardData(const QString& format);

// Plain text; empty when the clipboard holds none.
QString ClipboardText();

// What another program's data on the clipboard pastes as: the first of its formats, in the
// order the clipboard lists them, that is plain text or a picture we can decode.
enum class TForeignClipboard { fcNone, fcText, fcPicture };
TForeignClipboard ForeignClipboardKind();

// Pictures: a null image when the clipboard holds none.
QImage ClipboardImage();
void SetClipboardImage(const QImage& image);

}  // namespace kestrel

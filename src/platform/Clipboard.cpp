#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>

#include "platform/Error.h"

namespace kestrel {

namespace {
QClipboard& SystemClipboard()
{
    QClipboard* clipboard =
        qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
    if (!clipboard) throw EKestrel(QStringLiteral("クリップボードを使用できません"));
    return *clipboard;
}
}  // namespace

QString ClipboardMimeType(const QString& format)
{
    return QStringLiteral("application/x-kestrel-") +
           QString::fromLatin1(format.toUtf8().toPercentEncoding());
}

void SetClipboardData(const QString& format, const QByteArray& bytes)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(ClipboardMimeType(format), bytes);
    SystemClipboard().setMimeData(data.release());
}

bool ClipboardHasFormat(const QString& format)
{
    const QMimeData* data = SystemClipboard().mimeData();
    return data && data->hasFormat(ClipboardMimeType(format));
}

std::optional<QByteArray> ClipboardData(const QString& format)
{
    if (!ClipboardHasFormat(format)) return std::nullopt;
    return SystemClipboard().mimeData()->data(ClipboardMimeType(format));
}

QString ClipboardText()
{
    return SystemClipboard().text();
}

TForeignClipboard ForeignClipboardKind()
{
    const QMimeData* data = SystemClipboard().mimeData();
    if (!data) return TForeignClipboard::fcNone;
    const QList<QByteArray> pictures = QImageReader::supportedMimeTypes();
    for (const QString& format : data->formats()) {
        if (format.startsWith(QLatin1String("text/plain")) && !data->text().isEmpty())
            return TForeignClipboard::fcText;
        if (format == QLatin1String("application/x-qt-image") || pictures.contains(format.toLatin1()))
            return TForeignClipboard::fcPicture;
    }
    return TForeignClipboard::fcNone;
}

QImage ClipboardImage()
{
    return SystemClipboard().image();
}

void SetClipboardImage(const QImage& image)
{
    SystemClipboard().setImage(image);
}

}  // namespace kestrel

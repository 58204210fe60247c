#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>

#include "platform/Error.h"
#include "platform/SystemErrorText.h"

namespace kestrel {

QByteArray ReadRegularFile(const QString& path, qint64 maxBytes)
{
    const QFileInfo info(path);
    if (!info.exists()) throw EKestrel(QStringLiteral("ファイル「%1」が見つかりません").arg(path));
    if (!info.isFile()) throw EKestrel(QStringLiteral("「%1」は通常のファイルではありません").arg(path));
    if (info.size() > maxBytes)
        throw EKestrel(QStringLiteral("「%1」は大きすぎます(上限 %2 バイト)").arg(path).arg(maxBytes));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EKestrel(QStringLiteral("「%1」を開けません: %2").arg(path, FileErrorText(file)));
    QByteArray bytes = file.read(maxBytes + 1);
    if (bytes.size() > maxBytes)
        throw EKestrel(QStringLiteral("「%1」は大きすぎます(上限 %2 バイト)").arg(path).arg(maxBytes));
    if (file.error() != QFileDevice::NoError)
        throw EKestrel(QStringLiteral("「%1」を読み込めません: %2").arg(path, FileErrorText(file)));
    return bytes;
}

}  // namespace kestrel

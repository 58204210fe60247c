#include "cli/CommandSupport.h"

#include <QSaveFile>

#include "platform/Error.h"

namespace kestrel {

std::optional<int> NumberArgument(const QString& text, int min, int max)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < min || value > max) return std::nullopt;
    return value;
}

void SavePicture(const QImage& picture, const QString& file)
{
    QSaveFile target(file);
    if (picture.isNull() || !target.open(QIODevice::WriteOnly) || !picture.save(&target, "PNG") || !target.commit())
        throw EKestrel(QStringLiteral("「%1」に書き込めませんでした").arg(file));
}

}  // namespace kestrel

#include "platform/Error.h"

#include <QStringList>

namespace kestrel {

void EReadError::SetProperty(const QString& className, const QString& property)
{
    if (!className_.isEmpty()) return;
    className_ = className;
    property_ = property;
    ComposeMessage();
}

void EReadError::SetStream(const QString& path)
{
    if (!stream_.isEmpty()) return;
    stream_ = path;
    ComposeMessage();
}

void EReadError::ComposeMessage()
{
    QStringList places;
    if (!stream_.isEmpty()) places << QStringLiteral("ストリーム「%1」").arg(stream_);
    if (!className_.isEmpty()) places << QStringLiteral("クラス %1").arg(className_);
    if (!property_.isEmpty()) places << QStringLiteral("プロパティ %1").arg(property_);
    SetMessage(places.isEmpty() ? reason_ : QStringLiteral("%1（%2）").arg(reason_, places.join(QStringLiteral("、"))));
}

}  // namespace kestrel

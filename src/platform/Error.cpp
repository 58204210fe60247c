#include "platform/Error.h"

#include <QStringList>
#include <algorithm>

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

QString ShownName(QByteArrayView raw)
{
    constexpr qsizetype MaxShown = 64;
    QString shown;
    for (const char c : raw.first(std::min(raw.size(), MaxShown))) {
        const auto byte = static_cast<uint8_t>(c);
        if (byte >= 0x20 && byte < 0x7F)
            shown += QLatin1Char(c);
        else
            shown += QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
    }
    if (raw.size() > MaxShown) shown += QStringLiteral("…");
    return shown;
}

}  // namespace kestrel

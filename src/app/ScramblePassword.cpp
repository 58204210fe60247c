#include "app/ScramblePassword.h"

#include "platform/Cp932.h"

namespace kestrel {

namespace {
constexpr char Key[] = "KestrelPlumage";
static_assert(sizeof(Key) - 1 == 14);
}  // namespace

QByteArray ScramblePassword(const QByteArray& text)
{
    QByteArray result(text.size(), '\0');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char key = Key[i % (sizeof(Key) - 1)];
        const char scrambled = static_cast<char>(text[i] ^ key);
        result[i] = scrambled == 0 ? key : scrambled;
    }
    return result;
}

QString ScrambledForStore(const QString& password)
{
    return QString::fromLatin1(ScramblePassword(ToCp932(password)));
}

QString UnscrambledFromStore(const QString& stored)
{
    return FromCp932(ScramblePassword(stored.toLatin1()));
}

}  // namespace kestrel

#include "codes/QRCompose.h"

namespace kestrel {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

TQRTextConversion& HalfWidthKana()
{
    static TQRTextConversion conversion;
    return conversion;
}

QString ToHalfWidthKanaText(const QString& text)
{
    return HalfWidthKana() ? HalfWidthKana()(text) : text;
}

QStringList Words(const QString& text)
{
    QStringList words;
    QString word;
    bool quoted = false;
    bool inWord = false;
    for (const QChar c : text.trimmed()) {
        if (c == u'"') {
            quoted = !quoted;
            inWord = true;
        } else if (c == u' ' && !quoted) {
            if (inWord) words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words << word;
    return words;
}

// "TAG:" + family + "," + given + ";" when the name splits, else "TAG:" + escaped text + ";".
QString NameItem(const QString& tag, const QString& text, bool split)
{
    if (text.isEmpty()) return {};
    if (split) {
        if (const auto parts = SplitFamilyGiven(text)) return tag + parts->first + u',' + parts->second + u';';
    }
    return tag + EscapeMeCardText(text) + u';';
}

QString Item(const QString& tag, const QString& text)
{
    return text.isEmpty() ? QString() : tag + EscapeMeCardText(text) + u';';
}

QString Reading(const TQRPhoneFields& f)
{
    return f.halfWidthReading ? ToHalfWidthKanaText(f.furigana) : f.furigana;
}

QString FreeText(const TQRPhoneFields& f)
{
    QString text;
    for (const QString& line : f.text) text += line + kCrLf;
    return text;
}

QString DoCoMoText(TStdQRKind kind, const TQRPhoneFields& f)
{
    switch (kind) {
    case sqkTel: {
        const QString body = NameItem(QStringLiteral("N:"), f.name, f.splitName) +
                             NameItem(QStringLiteral("SOUND:"), Reading(f), f.splitName) + Item(QStringLiteral("TEL:"), f.tel1) +
                             Item(QStringLiteral("TEL:"), f.tel2) + Item(QStringLiteral("EMAIL:"), f.email1) +
                             Item(QStringLiteral("EMAIL:"), f.email2);
        return body.isEmpty() ? QString() : QStringLiteral("MECARD:") + body + u';';
    }
    case sqkURL: {
        const QString body = Item(QStringLiteral("TITLE:"), f.urlTitle) + Item(QStringLiteral("URL:"), f.url);
        return body.isEmpty() ? QString() : QStringLiteral("MEBKM:") + body + u';';
    }
    default: return FreeText(f);
    }
}

QString VodafoneText(TStdQRKind kind, const TQRPhoneFields& f)
{
    switch (kind) {
    case sqkTel: {
        QString lines;
        const std::pair<const char*, QString> items[] = {{"NAME1:", f.name},   {"NAME2:", Reading(f)},
                                                         {"TEL1:", f.tel1},    {"TEL2:", f.tel2},
                                                         {"MAIL1:", f.email1}, {"MAIL2:", f.email2}};
        for (const auto& [tag, value] : items)
            if (!value.isEmpty()) lines += QLatin1String(tag) + value + kCrLf;
        return lines.isEmpty() ? QString() : QStringLiteral("MEMORY:") + kCrLf + lines;
    }
    case sqkURL: {
        if (f.url.isEmpty()) return {};
        const QString url = ToHalfWidthKanaText(f.url);
        const bool hasScheme = url.startsWith(QStringLiteral("HTTP://"), Qt::CaseInsensitive) ||
                               url.startsWith(QStringLiteral("HTTPS://"), Qt::CaseInsensitive);
        return hasScheme ? url : QStringLiteral("http://") + url;
    }
    default: return FreeText(f);
    }
}

}  // namespace

void SetQRHalfWidthKana(TQRTextConversion conversion)
{
    HalfWidthKana() = std::move(conversion);
}

QString EscapeMeCardText(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == u',' || c == u':' || c == u';' || c == u'\\') escaped += u'\\';
        escaped += c;
    }
    return escaped;
}

std::optional<std::pair<QString, QString>> SplitFamilyGiven(const QString& name)
{
    const QStringList words = Words(name);
    if (words.size() < 2) return std::nullopt;
    return std::make_pair(EscapeMeCardText(words.front()), EscapeMeCardText(words.mid(1).join(u' ')));
}

QString ComposeQRText(TStdQRType type, TStdQRKind kind, const TQRPhoneFields& fields)
{
    switch (type) {
    case sqtDoCoMo: return DoCoMoText(kind, fields);
    case sqtVodafone: return VodafoneText(kind, fields);
    case sqtAU: break;
    }
    return {};
}

}  // namespace kestrel

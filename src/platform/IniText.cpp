#include "platform/IniText.h"

#include <QRegularExpression>

#include "platform/Cp932.h"
#include "platform/RegularFile.h"

namespace kestrel {

QString TIniSection::Value(const QString& key, const QString& fallback) const
{
    for (const auto& [k, v] : values)
        if (k.compare(key, Qt::CaseInsensitive) == 0) return v;
    return fallback;
}

int TIniSection::IntValue(const QString& key, int fallback) const
{
    const QString text = Value(key);
    bool ok = false;
    // Hexadecimal values are colours and masks: all 32 bits, read as unsigned.
    const int value = text.startsWith('$') ? int(text.mid(1).toUInt(&ok, 16))
                      : text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? int(text.mid(2).toUInt(&ok, 16))
                                                                                   : text.toInt(&ok);
    return ok ? value : fallback;
}

std::vector<TIniSection> ParseIniText(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    std::vector<TIniSection> sections;
    for (QString line : text.split(lineBreak)) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(';')) continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            sections.push_back({line.mid(1, line.size() - 2).trimmed(), {}});
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0 || sections.empty()) continue;
        sections.back().values.emplace_back(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return sections;
}

std::vector<TIniSection> ReadIniFile(const QString& path, qint64 maxBytes)
{
    try {
        return ParseIniText(FromCp932(ReadRegularFile(path, maxBytes)));
    } catch (const EFileRefused&) {
        return {};
    }
}

}  // namespace kestrel

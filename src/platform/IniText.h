#pragma once

// INI text files as the shipped data lists use them (code page 932): "[section]" headings
// followed by "key=value" lines; blank lines and ";" comments are skipped.

#include <QString>
#include <utility>
#include <vector>

#include "platform/Color.h"

namespace kestrel {

struct TIniSection {
    QString name;
    std::vector<std::pair<QString, QString>> values;  // in file order, keys and values trimmed

    // The first value of the key (compared case-insensitively), or fallback.
    QString Value(const QString& key, const QString& fallback = {}) const;
    // Decimal, or hexadecimal after "$" or "0x"; fallback when missing or no number.
    int IntValue(const QString& key, int fallback) const;
};

// Lines before the first heading belong to no section and are skipped.
std::vector<TIniSection> ParseIniText(const QString& text);
// Reads a regular file of at most maxBytes; anything else gives no sections.
std::vector<TIniSection> ReadIniFile(const QString& path, qint64 maxBytes = 1024 * 1024);

// A colour as the data lists write it: a 0x00BBGGRR number as IntValue reads it.
inline TColor ColorValue(const TIniSection& section, const QString& key, TColor fallback)
{
    return section.IntValue(key, fallback);
}

}  // namespace kestrel

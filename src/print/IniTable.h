#pragma once

// The catalogue's INI blocks looked up by section and key, both without regard to letter case;
// where a section repeats, the first one counts.

#include <QString>
#include <QStringList>
#include <vector>

#include "platform/IniText.h"

namespace kestrel {

class TIniTable {
public:
    TIniTable() = default;
    explicit TIniTable(const QStringList& lines);

    // Empty when the section or key is missing.
    QString Value(const QString& section, const QString& key) const;
    // -1 when missing or not a number.
    int IntValue(const QString& section, const QString& key) const;
    int SectionCount() const { return int(sections_.size()); }

private:
    const TIniSection* Section(const QString& name) const;

    std::vector<TIniSection> sections_;
};

}  // namespace kestrel

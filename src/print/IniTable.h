#pragma once

// A small INI text: "[name]" lines open sections, "key=value" lines are their entries; blank
// lines and lines beginning with ";" are skipped. Section and key names match without regard to
// letter case; a key that repeats in its section keeps its first value.

#include <QString>
#include <QStringList>
#include <map>

namespace kestrel {

class TIniTable {
public:
    TIniTable() = default;
    explicit TIniTable(const QStringList& lines);

    // Empty when the section or key is missing.
    QString Value(const QString& section, const QString& key) const;
    // -1 when missing or not a decimal number.
    int IntValue(const QString& section, const QString& key) const;
    int SectionCount() const { return int(sections_.size()); }

private:
    std::map<QString, std::map<QString, QString>> sections_;
};

}  // namespace kestrel

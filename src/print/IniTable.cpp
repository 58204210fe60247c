#include "print/IniTable.h"

namespace kestrel {

TIniTable::TIniTable(const QStringList& lines) : sections_(ParseIniText(lines.join(u'\n'))) {}

const TIniSection* TIniTable::Section(const QString& name) const
{
    for (const TIniSection& section : sections_)
        if (section.name.compare(name, Qt::CaseInsensitive) == 0) return &section;
    return nullptr;
}

QString TIniTable::Value(const QString& section, const QString& key) const
{
    const TIniSection* found = Section(section);
    return found ? found->Value(key) : QString();
}

int TIniTable::IntValue(const QString& section, const QString& key) const
{
    const TIniSection* found = Section(section);
    return found ? found->IntValue(key, -1) : -1;
}

}  // namespace kestrel

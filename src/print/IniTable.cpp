#include "print/IniTable.h"

namespace kestrel {

TIniTable::TIniTable(const QStringList& lines)
{
    std::map<QString, QString>* section = nullptr;
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';')) continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = &sections_[line.mid(1, line.size() - 2).trimmed().toLower()];
            continue;
        }
        const int equals = int(line.indexOf(u'='));
        if (!section || equals <= 0) continue;
        section->emplace(line.left(equals).trimmed().toLower(), line.mid(equals + 1).trimmed());
    }
}

QString TIniTable::Value(const QString& section, const QString& key) const
{
    const auto found = sections_.find(section.toLower());
    if (found == sections_.end()) return {};
    const auto value = found->second.find(key.toLower());
    return value == found->second.end() ? QString() : value->second;
}

int TIniTable::IntValue(const QString& section, const QString& key) const
{
    bool ok = false;
    const int value = Value(section, key).toInt(&ok, 10);
    return ok ? value : -1;
}

}  // namespace kestrel

#pragma once

// Element paths inside compound files: names separated by "\".

#include <QString>
#include <QStringList>

namespace kestrel {

inline constexpr QChar ElementPathSeparator = u'\\';

// Resolves name against base: a leading "\" starts from the root, "." is ignored, ".." removes
// the last name (above the root it fails with EStorageError), every other name is appended.
// The result has no leading or trailing separator.
QString ResolveElementPath(const QString& base, const QString& name);
// The names of a resolved path ("" has none).
QStringList SplitElementPath(const QString& path);
QString JoinElementPath(const QString& parent, const QString& name);
// The path without its last name, and the last name.
QString ParentElementPath(const QString& path);
QString LastElementName(const QString& path);

}  // namespace kestrel

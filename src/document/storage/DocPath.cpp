#include "document/storage/DocPath.h"

#include "platform/cfb/StorageError.h"

namespace kestrel {

QString ResolveElementPath(const QString& base, const QString& name)
{
    QStringList names = name.startsWith(ElementPathSeparator) ? QStringList() : SplitElementPath(base);
    for (const QString& part : name.split(ElementPathSeparator, Qt::SkipEmptyParts)) {
        if (part == u".")
            continue;
        if (part == u"..") {
            if (names.isEmpty())
                throw EStorageError(TStorageErrorCode::InvalidName, QStringLiteral("パスの「..」がルートより上を指しています"));
            names.removeLast();
            continue;
        }
        names.append(part);
    }
    return names.join(ElementPathSeparator);
}

QStringList SplitElementPath(const QString& path)
{
    return path.split(ElementPathSeparator, Qt::SkipEmptyParts);
}

QString JoinElementPath(const QString& parent, const QString& name)
{
    return parent.isEmpty() ? name : parent + ElementPathSeparator + name;
}

QString ParentElementPath(const QString& path)
{
    const qsizetype at = path.lastIndexOf(ElementPathSeparator);
    return at < 0 ? QString() : path.left(at);
}

QString LastElementName(const QString& path)
{
    return path.mid(path.lastIndexOf(ElementPathSeparator) + 1);
}

}  // namespace kestrel

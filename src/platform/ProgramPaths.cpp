#include "platform/ProgramPaths.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

namespace kestrel {

namespace {
QString WithTrailingSlash(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}
}  // namespace

QString ExeDir()
{
    return WithTrailingSlash(QCoreApplication::applicationDirPath());
}

QString ExeNameNoExt()
{
    const QFileInfo program(QCoreApplication::applicationFilePath());
    const QString name = program.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return ExeDir() + (dot > 0 ? name.left(dot) : name);
}

QString AppDataDir()
{
    return WithTrailingSlash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

QString ShortVer()
{
    return QStringLiteral("%1.%2").arg(KESTREL_VERSION_MAJOR).arg(KESTREL_VERSION_MINOR);
}

QString LongVer()
{
    return ShortVer() + QStringLiteral(".%1.%2").arg(KESTREL_VERSION_PATCH).arg(KESTREL_VERSION_TWEAK);
}

QString JoinPath(const QString& folder, const QString& relative)
{
    QString tail = relative;
    tail.replace(u'\\', u'/');
    while (tail.startsWith(u'/')) tail.remove(0, 1);
    if (folder.isEmpty()) return tail;
    return WithTrailingSlash(folder) + tail;
}

}  // namespace kestrel

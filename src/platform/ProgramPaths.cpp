#include "platform/ProgramPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kestrel {

namespace {
// The shipped data files are named after the desktop program ("kestrel.ppr").
constexpr auto DataBaseName = "kestrel";

QString WithTrailingSlash(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString CleanFolder(const QString& folder)
{
    return WithTrailingSlash(QDir::cleanPath(folder));
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

QStringList DataFolders(const QString& exeDir)
{
    QStringList folders;
    for (const QString& folder : QStringList{exeDir, exeDir + KESTREL_DATA_FROM_BIN, KESTREL_INSTALLED_DATA_DIR}) {
        const QString clean = CleanFolder(folder);
        if (!folders.contains(clean)) folders << clean;
    }
    return folders;
}

QString FindDataFolder(const QString& relative, const QString& exeDir)
{
    for (const QString& folder : DataFolders(exeDir))
        if (QFileInfo::exists(JoinPath(folder, relative))) return folder;
    return {};
}

QString DataNameNoExt()
{
    // Without a catalogue anywhere, the name beside the program is the one start-up reports missing.
    const QString folder = FindDataFolder(DataBaseName + QStringLiteral(".ppr"));
    return (folder.isEmpty() ? ExeDir() : folder) + DataBaseName;
}

QString HelpDir(const QString& exeDir)
{
    const QString folder = FindDataFolder(QStringLiteral("help/index.html"), exeDir);
    return (folder.isEmpty() ? CleanFolder(exeDir) : folder) + QStringLiteral("help/");
}

QString PlugInDir()
{
    const QString besideProgram = ExeDir() + "Plugins";
    for (const QString& folder :
         QStringList{besideProgram, ExeDir() + KESTREL_PLUGINS_FROM_BIN, KESTREL_INSTALLED_PLUGIN_DIR}) {
        if (QFileInfo(folder).isDir()) return QDir::cleanPath(folder);
    }
    return besideProgram;
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

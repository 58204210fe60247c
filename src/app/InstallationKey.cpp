#include "app/InstallationKey.h"

#include <QFileInfo>
#include <QSettings>

#include "platform/ProgramPaths.h"
#include "platform/SettingsStore.h"

namespace kestrel {

namespace {

const QString KeyName = QStringLiteral("KestrelMusic.Application");
const QString UserKeyPath = QStringLiteral("Software\\Classes\\") + KeyName;
const QString ConfigName = QStringLiteral("kestrel/installation.ini");

QStringList SystemConfigFolders()
{
    QStringList folders = qEnvironmentVariable("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg")).split(u':', Qt::SkipEmptyParts);
    folders << QStringLiteral(KESTREL_INSTALL_SYSCONFDIR "/xdg");
    folders.removeDuplicates();
    return folders;
}

QString InstallationWideValue(const QString& name)
{
    const QString file = SystemConfigFile();
    if (!QFileInfo(file).isFile()) return {};
    QSettings settings(file, QSettings::IniFormat);
    return settings.value(KeyName + u'/' + name).toString();
}

}  // namespace

QString SystemConfigFile()
{
    const QStringList folders = SystemConfigFolders();
    for (const QString& folder : folders)
        if (const QString file = JoinPath(folder, ConfigName); QFileInfo(file).isFile()) return file;
    return JoinPath(folders.value(0), ConfigName);
}

QString ReadInstallationValue(const QString& name)
{
    const QString own = TSettingsKey(UserKeyPath).ReadString(name, {});
    return own.isEmpty() ? InstallationWideValue(name) : own;
}

void WriteInstallationValue(const QString& name, const QString& value)
{
    TSettingsKey(UserKeyPath).WriteString(name, value);
}

}  // namespace kestrel

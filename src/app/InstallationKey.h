#pragma once

#include <QString>

namespace kestrel {

// The program's installation key "KestrelMusic.Application". An installation-wide settings file
// stands in for the key an installer writes, and each user's own settings key
// "Software\Classes\KestrelMusic.Application" may override its values.

// The installation-wide configuration file, "kestrel/installation.ini": in the first folder of
// $XDG_CONFIG_DIRS (default /etc/xdg), then of the installation's own etc/xdg, that holds one;
// where the first folder would hold it when none does.
QString SystemConfigFile();

// A value of the key: the user's own when set, else the installation's; empty when neither is.
// Reading never creates anything.
QString ReadInstallationValue(const QString& name);
// Writes the user's own value, creating the key when needed.
void WriteInstallationValue(const QString& name, const QString& value);

}  // namespace kestrel

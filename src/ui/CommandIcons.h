#pragma once

#include <QIcon>
#include <QString>

class QWidget;

namespace kestrel {

// The program's own icon of a command, drawn as SVG into the data folder's "icons" under the
// freedesktop name where one exists ("document-open"), "kestrel-..." otherwise. Null when the
// icon is not installed.
QIcon CommandIcon(const QString& name);

// The icon name of a command caption ("開く(&O)..." → "document-open"); empty for commands
// without one. The caption's access key and ellipsis do not count.
QString CommandIconName(const QString& caption);

// Gives every action of the window whose caption has an icon that icon, in menus and tool bars
// alike; actions added later take theirs when this is called again.
void GiveCommandIcons(QWidget& window);

}  // namespace kestrel

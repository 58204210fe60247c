#pragma once

#include <QStringList>
#include <QTextStream>

namespace kestrel {

// kestrel-cli printers [--catalogue FILE]: every printer with its driver, whether it prints
// discs and, when it does, its disc tray.
int RunPrintersCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);

}  // namespace kestrel

#pragma once

#include <QStringList>
#include <QTextStream>

namespace kestrel {

// `kestrel-cli tree FILE`: prints the storages and streams (with their sizes in bytes) of any
// compound file, one element a line, indented by depth; storages end with "\".
// arguments are those after the command name. Returns the exit code.
int RunTreeCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);

}  // namespace kestrel

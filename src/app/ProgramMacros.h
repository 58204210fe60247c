#pragma once

#include <QStringList>

namespace kestrel {

// The program's macro table, "name=value" lines in their fixed order. File paths use "/";
// settings key paths keep their backslashes.
QStringList ProgramMacroTable();

}  // namespace kestrel

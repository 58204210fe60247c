#pragma once

#include <QString>

namespace kestrel {

// Where the program and the user's files are, and the program's version. Folder names end
// with "/"; real file paths always use "/".
QString ExeDir();        // folder of the program file
QString ExeNameNoExt();  // full path of the program file without its extension
QString AppDataDir();    // the user's data folder ($XDG_DATA_HOME or ~/.local/share)
QString ShortVer();      // "major.minor"
QString LongVer();       // "major.minor.patch.tweak"

// Joins a folder and a path relative to it. Relative paths may come with backslashes from
// stored data ("Data\Font"); they become "/".
QString JoinPath(const QString& folder, const QString& relative);

}  // namespace kestrel

#pragma once

#include <QString>
#include <QStringList>

namespace kestrel {

// Where the program and the user's files are, and the program's version. Folder names end
// with "/"; real file paths always use "/".
QString ExeDir();        // folder of the program file
QString ExeNameNoExt();  // full path of the program file without its extension
QString AppDataDir();    // the user's data folder ($XDG_DATA_HOME or ~/.local/share)
QString ShortVer();      // "major.minor"
QString LongVer();       // "major.minor.patch.tweak"

// The folders that may hold the shipped data, in the order they are searched: the program's own
// folder, the data folder at its place relative to the program (a build tree and any installed
// prefix lay it out alike), and the folder the program was built to be installed with.
QStringList DataFolders(const QString& exeDir = ExeDir());
// The first data folder that holds the relative path; empty when none does.
QString FindDataFolder(const QString& relative, const QString& exeDir = ExeDir());
// The shipped catalogue, product database and distortion presets are named after the desktop
// program and found together: the folder holding the catalogue, followed by "kestrel".
QString DataNameNoExt();
// The folder of the help pages ("help/" with "index.html" in it) in the first data folder that
// has them; "help/" beside the program when none does, so a missing help names a real place.
QString HelpDir(const QString& exeDir = ExeDir());
// The folder of the plug-ins: "Plugins" beside the program when there is one, else the installed
// plug-in folder (at its place relative to the program, then where it was built to be installed).
QString PlugInDir();

// Joins a folder and a path relative to it. Relative paths may come with backslashes from
// stored data ("Data\Font"); they become "/".
QString JoinPath(const QString& folder, const QString& relative);

}  // namespace kestrel

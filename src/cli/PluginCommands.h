#pragma once

#include <QStringList>
#include <QTextStream>

namespace kestrel {

// kestrel-cli plugins [--folder DIR]: every server of the plug-in folder that can be created
// (name, category, library), then the libraries and servers refused, with the reason.
int RunPluginsCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);

}  // namespace kestrel

namespace kestrel {

// kestrel-cli disc-info [--plugin NAME] (--device DEV | --image FILE.cue|FILE.toc) [--folder DIR]:
// the album an importer finds for the disc or image, as JSON; what the importer reports about it
// goes to standard error.
int RunDiscInfoCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);

// kestrel-cli scan [--device NAME] [--folder DIR] --out FILE.png: one picture through the image
// server, from the named scanner (or the one last used, or the first).
int RunScanCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);

}  // namespace kestrel

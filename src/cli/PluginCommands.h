#pragma once

#include <QStringList>
#include <QTextStream>

namespace kestrel {

// kestrel-cli plugins [--folder DIR]: every server of the plug-in folder that can be created
// (name, category, library), then the libraries and servers refused, with the reason.
int RunPluginsCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);

}  // namespace kestrel

#pragma once

#include <QStringList>
#include <QTextStream>

namespace kestrel {

// kestrel-cli build-distortions SOURCE.json OUT.cdd: compiles the distortion presets.
int RunBuildDistortionsCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);
// kestrel-cli fonts: the usable fonts with their flags and the substitutions in force.
int RunFontsCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);

}  // namespace kestrel

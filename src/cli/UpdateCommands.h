#pragma once

#include <QStringList>
#include <QTextStream>

namespace kestrel {

// kestrel-cli update-papers [--url URL] [--check] [--file FILE] [--catalogue FILE]: reads the
// version-up file of the update address (the installation's, or URL) and, unless --check,
// downloads and installs the catalogue it names; --file installs a ".ppr" or ".ppz" from disk
// instead. The catalogue updated is the shipped one, or FILE of --catalogue.
int RunUpdatePapersCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);

}  // namespace kestrel

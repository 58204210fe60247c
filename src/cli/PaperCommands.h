#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTextStream>

namespace kestrel {

class TPaperCatalogue;

// Opens the catalogue in the file, or the shipped one beside the program when none is given;
// a named file that is missing is not found, a missing shipped one gives the start-up message.
void OpenCatalogueForCommand(TPaperCatalogue& papers, const QString& fileName);

// The whole content of a data source file; fails with a Japanese message naming it.
// Source files of the build commands and scenes: JSON text, pictures given as base64 included.
inline constexpr qint64 MaxSourceFileBytes = 64LL * 1024 * 1024;
QByteArray ReadSourceFile(const QString& path);

// kestrel-cli build-products SOURCE.json OUT.cdb: compiles a product source into a product database.
int RunBuildProductsCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);

// kestrel-cli build-papers SOURCE.json OUT.ppr: compiles a catalogue source into a catalogue file.
int RunBuildPapersCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);

// kestrel-cli papers [--catalogue FILE] [--faces | --import FILE.ppr | --export FILE.ppr]: lists
// a catalogue's papers (the shipped one beside the program by default), with --faces every face's
// geometry; --import merges the user papers of a file into the user's papers, --export writes the
// user's papers to a file.
int RunPapersCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);

}  // namespace kestrel

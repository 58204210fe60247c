#pragma once

// Catalogue files and version-up files for the paper update tests.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "paper/PaperInfo.h"

namespace kestrel::test {

// An A4 sheet of two disc labels: a system paper, or a user paper when user is set.
TMatrixPaperInfo DiscPaper(const QString& name, bool user = false);

// Writes a catalogue file with a paper of each name (system papers unless user is set), the
// pattern number and date, and, unless directPrinter is false, a "DirectPrinter" block.
void WriteCatalogueFile(const QString& file, const QStringList& paperNames, int pprNo, double lastUpdate = 38443.4375,
                        bool directPrinter = true, bool user = false);

// The three lines of a version-up file, each ended by CR LF.
QByteArray VersionUpText(const QByteArray& numberAndDate, const QByteArray& catalogue);

// The names of the program's temporary update files ("PPR…", "PPZ…") in the temporary folder.
QStringList UpdateTempFiles();

}  // namespace kestrel::test

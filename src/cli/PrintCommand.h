#pragma once

#include <QStringList>
#include <QTextStream>

namespace kestrel {

// kestrel-cli print DOC.mld [--sheet N] [--faces 1,3] [--copies N] [--offset X,Y] [--frames]
// [--cut-lines] [--blur-edge] (--pdf OUT.pdf | --printer NAME): the print command without a
// window. Offsets are millimetres; sheets and faces count from 1.
int RunPrintCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);

class TLabelData;
// Prints every face of the document's current sheet once into a PDF file, as the print command
// does; answers the exit code.
int PrintSheetToPdf(TLabelData& document, const QString& pdf, bool anyway, QTextStream& out, QTextStream& errors);

}  // namespace kestrel

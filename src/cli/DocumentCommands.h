#pragma once

#include <QStringList>
#include <QTextStream>
#include <optional>

namespace kestrel {

class EKestrel;

constexpr int kMaxSheets = 1000;

// The option's value as a number within min..max; nothing when it is not one.
std::optional<int> NumberArgument(const QString& text, int min, int max);
// Anything unreadable in a document is reported as the window reports a file it cannot open,
// followed by the cause.
int ReportUnreadable(const EKestrel& e, QTextStream& errors);

// kestrel-cli new --paper NAME [--sheets N] [--catalogue FILE] OUT.mld: a new document.
int RunNewCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);
// kestrel-cli info DOC.mld: sheets, papers, faces and the objects of every face.
int RunInfoCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);
// kestrel-cli render DOC.mld [--sheet N] [--face F] [--dpi D] --out OUT.png: a sheet or one face
// as a picture; sheets and faces are numbered from 1.
int RunRenderCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);

}  // namespace kestrel

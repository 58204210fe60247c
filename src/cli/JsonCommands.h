#pragma once

#include <QStringList>
#include <QTextStream>

namespace kestrel {

// kestrel-cli dump DOC.mld [--sheet N] [--face F]: the document as JSON on standard output.
int RunDumpCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);
// kestrel-cli compose SCENE.json OUT.mld [--catalogue FILE]: a document built from JSON.
int RunComposeCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);
// kestrel-cli fill TEMPLATE.mld DATA.csv OUT_PATTERN: one document per CSV row.
int RunFillCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);

}  // namespace kestrel

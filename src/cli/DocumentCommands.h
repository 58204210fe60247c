#pragma once

#include <QStringList>
#include <QTextStream>

namespace kestrel {

// kestrel-cli new --paper NAME [--sheets N] [--catalogue FILE] OUT.mld: a new document.
int RunNewCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);
// kestrel-cli info DOC.mld: sheets, papers, faces and the objects of every face.
int RunInfoCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);
// kestrel-cli render DOC.mld [--sheet N] [--face F] [--dpi D] --out OUT.png: a sheet or one face
// as a picture; sheets and faces are numbered from 1.
int RunRenderCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);
// kestrel-cli thumbnail DOC.mld OUT.png [SIZE]: the first sheet drawn from the stored face
// previews, for file managers.
int RunThumbnailCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);

}  // namespace kestrel

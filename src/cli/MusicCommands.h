#pragma once

#include <QStringList>
#include <QTextStream>

namespace kestrel {

// kestrel-cli tags FILE|FOLDER|PLAYLIST... [--no-name-parsing]: the album they make, as JSON.
int RunTagsCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);
// kestrel-cli albums [--db FILE] list | export OUT.csv | import IN.csv [--columns N,T,Ti,A,Al].
int RunAlbumsCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);
// kestrel-cli music DOC.mld (--folder DIR | --playlist FILE | --album N [--db FILE]) [--sheet N]
// [--face F] [--lines [--text N]] --out OUT.mld: the faces' input items filled from the album.
int RunMusicCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);

}  // namespace kestrel

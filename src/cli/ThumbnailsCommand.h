#pragma once

#include <QStringList>
#include <QTextStream>

namespace kestrel {

// `kestrel-cli thumbnails FOLDER`: fills or refreshes FOLDER/Preview.ic, showing progress on one
// line, and reports how many previews came from the cache and how many pictures were decoded.
int RunThumbnailsCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);

}  // namespace kestrel

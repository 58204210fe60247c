#pragma once

#include <QStringList>

namespace kestrel {

// The shipped decorated-line patterns: the picture files of the data folder "ILLUST\DecoLine",
// sorted by name. Empty when the folder cannot be found.
QStringList DecoLinePatternFiles();

}  // namespace kestrel

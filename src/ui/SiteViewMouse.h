#pragma once

#include <QCursor>

#include "document/Pivot.h"

namespace kestrel {

// The toolkit cursor for a site cursor number, the program's own ones included.
QCursor SiteCursor(TCursor cursor);

}  // namespace kestrel

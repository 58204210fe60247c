#pragma once

// Qt reports its own troubles (a polygon too complex to fill, a missing runtime folder, a font
// it could not match) as English lines on standard error. They never reach the user's terminal:
// what matters to the user reaches them as our own Japanese messages. With KESTREL_QT_MESSAGES
// set they are shown again, for developers.

namespace kestrel {

// Installs the one message handler of the programs; call before the application object exists.
void InstallQtMessageFilter();

}  // namespace kestrel

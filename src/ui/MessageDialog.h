#pragma once

#include "app/MessageBox.h"

namespace kestrel {

// The frame's message box as a Qt dialog of type "information" over the active window, which
// is brought to the front first. Returns the modal result of the pressed button.
int ShowMessageDialog(const QString& text, const TMsgButtons& kinds, int cancelIndex, int defaultIndex);

}  // namespace kestrel

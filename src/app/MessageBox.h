#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace kestrel {

// Buttons of a message box, numbered as callers pass them.
enum TMsgButtonKind {
    mbkCustom = 0,
    mbkOK = 1,
    mbkCancel = 2,
    mbkHelp = 3,
    mbkYes = 4,
    mbkNo = 5,
    mbkClose = 6,
    mbkAbort = 7,
    mbkRetry = 8,
    mbkIgnore = 9,
    mbkAll = 10,
};

// What a message box returns: the modal result of the pressed button.
enum TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
};

using TMsgButtons = std::vector<TMsgButtonKind>;

// Shows a finished (expanded and formatted) text with the buttons; returns a TModalResult.
// cancelIndex is the button that Escape presses, defaultIndex the one that Enter presses.
using TMessageBoxHandler =
    std::function<int(const QString& text, const TMsgButtons& kinds, int cancelIndex, int defaultIndex)>;

// Close answers like Cancel; Help and custom buttons close nothing and give mrNone.
TModalResult ModalResultOf(TMsgButtonKind kind);

}  // namespace kestrel

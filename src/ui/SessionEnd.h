#pragma once

// Logging out of the desktop session: unsaved work is offered for saving as when the main window
// closes, and the user's cancel (or a save that failed) cancels the logout. The working files go
// as on every end of the program: the session then quits it, sends a termination signal or takes
// its display away, and each of these closes them.

#include <functional>

class QGuiApplication;

namespace kestrel {

class TfrmMain;

// True when the session may end; without leave to ask the user it always may.
bool AgreeToEndSession(TfrmMain& window, bool mayAsk);

// Answers the session manager's request to commit data for the window window() returns (none
// while it is null).
void InstallSessionEndHook(QGuiApplication& app, std::function<TfrmMain*()> window);

}  // namespace kestrel

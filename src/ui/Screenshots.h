#pragma once

#include <QString>

namespace kestrel {

class TfrmMain;
class TPapersV2;

// Pictures of the program for its documentation, written as PNG files into folder: the paper
// chooser ("paper-chooser.png"), the sheet overview with the status bar ("sheet-overview.png")
// and the first face at 400 % ("face-400.png"). False when one could not be written.
bool TakeScreenshots(TfrmMain& window, TPapersV2& catalogue, const QString& folder);

}  // namespace kestrel

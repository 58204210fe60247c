#pragma once

namespace kestrel {

// Makes the printer configurations' ShowProperties open our dialog of the printer's settings
// (paper, orientation, resolution). Installing again changes nothing.
void InstallPrinterPropertiesDialog();

}  // namespace kestrel

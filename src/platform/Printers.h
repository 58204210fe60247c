#pragma once

namespace kestrel {

// True when the program can print somewhere: a default printer, or printing to a PDF file,
// which every build offers, so a machine without a print system still counts.
bool DefaultPrinterAvailable();

}  // namespace kestrel

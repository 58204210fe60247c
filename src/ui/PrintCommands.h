#pragma once

#include <QString>

class QWidget;

namespace kestrel {

class TLabelData;
struct TPrintDialogContext;
struct TPrintOptions;

// The window's print command: the print dialog (with the options the window remembers), then
// the job with its progress window. Says so when the job was aborted; errors reach the caller.
// The PDF file written, or empty (a printer's queue, cancelled or aborted).
QString PrintSheetFromWindow(TLabelData& document, TPrintOptions& options, const TPrintDialogContext& context,
                          QWidget* parent);

}  // namespace kestrel

#pragma once

class QWidget;

namespace kestrel {

class TLabelData;
struct TPrintDialogContext;

// The window's print command: the print dialog, then the job with its progress window. Says
// so when the job was aborted; errors reach the caller.
void PrintSheetFromWindow(TLabelData& document, const TPrintDialogContext& context, QWidget* parent);

}  // namespace kestrel

// The clipboard transfer: draw objects pasted from the private clipboard format.
#include "fuzz/FuzzTarget.h"
#include "document/DOList.h"
#include "document/DrawObject.h"
#include "platform/Clipboard.h"

KESTREL_FUZZ_TARGET(Clipboard)
{
    const QString format = QStringLiteral("Kestrel");
    kestrel::SetClipboardData(format, data.toByteArray());
    kestrel::TDOList pasted;
    if (!pasted.ClipboardPaste(format)) qFatal("the clipboard lost what was put on it");
}

// The clipboard transfer: draw objects pasted from the private clipboard format onto a face, as
// the paste command does (read, then moved together into the face).
#include "fuzz/FuzzTarget.h"
#include "document/ActionList.h"
#include "edit/DrawSiteActions.h"
#include "platform/Clipboard.h"
#include "platform/Error.h"
#include "render/DrawSite.h"

KESTREL_FUZZ_TARGET(Clipboard)
{
    const QString format = QStringLiteral("Kestrel");
    kestrel::SetClipboardData(format, data.toByteArray());
    kestrel::TDrawSite site;
    site.SetLogSize(1170, 1170);
    kestrel::TDSAPaste paste;
    paste.SetClipboardFormat(format);
    try {
        paste.ExecuteTarget(site);
    } catch (const kestrel::EKestrel&) {
        // refused with our own message
    }
    kestrel::ActionList().Clear();
}

// The clipboard transfer: draw objects pasted from the private clipboard format onto a face, as
// the paste command does (read, then moved together into the face, recorded for undo).
#include "fuzz/FuzzTarget.h"
#include "document/DrawObject.h"
#include "document/EditSession.h"
#include "edit/DrawSiteActions.h"
#include "platform/Clipboard.h"
#include "platform/Error.h"
#include "render/DrawSite.h"

KESTREL_FUZZ_TARGET(Clipboard)
{
    kestrel::SetClipboardData(kestrel::TStandardEditDSA::ClipboardFormat(), data.toByteArray());
    kestrel::TEditSession session;
    kestrel::TDrawSite site;
    site.SetSession(&session);
    site.SetLogSize(1170, 1170);
    kestrel::TDSAPaste paste;
    try {
        paste.Execute(site);
    } catch (const kestrel::EKestrel&) {
        // refused with our own message
    }
}

#include "app/MessageBox.h"

namespace kestrel {

TModalResult ModalResultOf(TMsgButtonKind kind)
{
    switch (kind) {
        case mbkOK:
            return mrOk;
        case mbkCancel:
        case mbkClose:
            return mrCancel;
        case mbkYes:
            return mrYes;
        case mbkNo:
            return mrNo;
        case mbkAbort:
            return mrAbort;
        case mbkRetry:
            return mrRetry;
        case mbkIgnore:
            return mrIgnore;
        case mbkAll:
            return mrAll;
        case mbkCustom:
        case mbkHelp:
            break;
    }
    return mrNone;
}

}  // namespace kestrel

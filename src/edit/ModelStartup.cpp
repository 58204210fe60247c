#include "edit/ModelStartup.h"

#include "document/DODesigner.h"
#include "document/stream/ClassRegistry.h"
#include "edit/StartupClasses.h"
#include "codes/QRCompose.h"
#include "imaging/BlendedPainting.h"
#include "text/CharConvert.h"
#include "text/LOText.h"

namespace kestrel {

void InitializeModel()
{
    static bool done = false;
    if (done) return;
    done = true;
    RegisterStartupClasses(TClassRegistry::Global());
    InstallObjectDesigners();
    RegisterTextKinds();
    SetQRHalfWidthKana(&ToHalfWidthKana);
    InstallBlendedPainting();
}

}  // namespace kestrel

#include "edit/ModelStartup.h"

#include "document/DODesigner.h"
#include "document/stream/ClassRegistry.h"
#include "edit/StartupClasses.h"
#include "imaging/BlendedPainting.h"
#include "render/FillPicture.h"

namespace kestrel {

void InitializeModel()
{
    static bool done = false;
    if (done) return;
    done = true;
    RegisterStartupClasses(TClassRegistry::Global());
    InstallObjectDesigners();
    InstallBlendedPainting();
    RegisterFillPictureFileRecord();
}

}  // namespace kestrel

#include "edit/ModelStartup.h"

#include "codes/QRCompose.h"
#include "document/DODesigner.h"
#include "document/stream/ClassRegistry.h"
#include "edit/EditDesigner.h"
#include "imaging/BlendedPainting.h"
#include "imaging/ImageFilters.h"
#include "label/StartupClasses.h"
#include "music/Albums.h"
#include "objects/ShapeKinds.h"
#include "render/PictureEx.h"
#include "text/CharConvert.h"
#include "text/LOText.h"

namespace kestrel {

void InitializeModel()
{
    static bool done = false;
    if (done) return;
    done = true;
    RegisterStartupClasses(TClassRegistry::Global());
    RegisterMusicClasses(TClassRegistry::Global());
    InstallObjectDesigners();
    InstallEditing();
    InstallShapeKinds();
    RegisterTextKinds();
    SetQRHalfWidthKana(&ToHalfWidthKana);
    InstallBlendedPainting();
    RegisterPictureFileRecord();
    InstallImageFilters();
}

}  // namespace kestrel

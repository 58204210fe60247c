#include "edit/ModelStartup.h"

#include "codes/CodeKinds.h"
#include "codes/QRCompose.h"
#include "document/DOGroup.h"
#include "document/ObjectKinds.h"
#include "document/stream/ClassRegistry.h"
#include "imaging/BlendedPainting.h"
#include "imaging/ImageFilters.h"
#include "label/StartupClasses.h"
#include "music/Albums.h"
#include "objects/ShapeKinds.h"
#include "render/PictureEx.h"
#include "text/CharConvert.h"
#include "text/TextKinds.h"

namespace kestrel {

void RegisterObjectKinds(TObjectKinds& kinds, TClassRegistry& classes)
{
    RegisterGroupKind(kinds, classes);
    RegisterShapeKinds(kinds, classes);
    RegisterPictureKinds(kinds, classes);
    RegisterTextKinds(kinds, classes);
    RegisterCodeKinds(kinds, classes);
}

void RegisterStartupClasses(TClassRegistry& classes)
{
    TObjectKinds kinds;
    RegisterObjectKinds(kinds, classes);
    RegisterDocumentClasses(classes);
}

void InitializeModel()
{
    static bool done = false;
    if (done) return;
    done = true;
    RegisterObjectKinds(TObjectKinds::Global(), TClassRegistry::Global());
    RegisterDocumentClasses(TClassRegistry::Global());
    RegisterMusicClasses(TClassRegistry::Global());
    SetQRHalfWidthKana(&ToHalfWidthKana);
    InstallBlendedPainting();
    RegisterPictureFileRecord();
    InstallImageFilters();
}

}  // namespace kestrel

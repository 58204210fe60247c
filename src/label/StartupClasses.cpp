#include "label/StartupClasses.h"

#include "document/stream/ClassRegistry.h"
#include "document/stream/Persistent.h"
#include "label/LabelData.h"
#include "paper/PaperInfo.h"
#include "paper/PaperRecords.h"
#include "paper/PapersV2.h"

namespace kestrel {

void RegisterDocumentClasses(TClassRegistry& registry)
{
    // TPLStreamer, the purpose list's carrier in catalogue files, joins the paper classes.
    for (const TClassInfo* info :
         {&TLDObjects::StaticClass(), &TExPaperInfo::StaticClass(), &TImagePaperInfo::StaticClass(),
          &TFreePaperInfo::StaticClass(), &TMatrixPaperInfo::StaticClass(), &TPaperUpdate::StaticClass(),
          &TPLStreamer::StaticClass()})
        registry.Register(*info);
}

}  // namespace kestrel

#include "label/StartupClasses.h"

#include <vector>

#include "codes/LOJANCode.h"
#include "codes/LOQRStd.h"
#include "document/DODesigner.h"
#include "document/DOGroup.h"
#include "document/stream/ClassRegistry.h"
#include "document/stream/Persistent.h"
#include "label/LabelData.h"
#include "objects/ArrangedPicture.h"
#include "objects/LOAlphaMask.h"
#include "objects/LODecoLine.h"
#include "objects/LOLine.h"
#include "objects/LORect.h"
#include "objects/PictureObject.h"
#include "paper/PaperInfo.h"
#include "paper/PaperRecords.h"
#include "paper/PapersV2.h"
#include "text/LOText.h"

namespace kestrel {

void RegisterStartupClasses(TClassRegistry& registry)
{
    // Order matters: the first class registered under a name keeps it, and ancestors are
    // registered with their descendants. Each folder adds its classes here as they are built,
    // in this order: TLOLine, TLOAlphaMask, TLODecoLine, TLOJANCode, TLOCurve, TLOCircle,
    // TLOWizardImage, TLODate, TLOBackImage2004, TLODecoString, TLOShadeText, TDOGroup, TLOOLE,
    // TLOArrangedImage, TLOQRCode, TLOQRStd; then TLDObjects, TExPaperInfo, TImagePaperInfo,
    // TFreePaperInfo, TMatrixPaperInfo, TPaperUpdate, TAlbumInfo. TPLStreamer, the purpose list's
    // carrier in catalogue files, joins the paper classes.
    const std::vector<const TClassInfo*> classes = {
        &TLOLine::StaticClass(),
        &TLOAlphaMask::StaticClass(),
        &TLODecoLine::StaticClass(),
        &TLOJANCode::StaticClass(),
        &TLOCurve::StaticClass(),
        &TLOCircle::StaticClass(),
        // In TLOWizardImage's place until it arrives; it stands in for that class at creation.
        &TLOImage::StaticClass(),
        &TLOText::StaticClass(),  // where its descendant TLODate will stand
        &TDOGroup::StaticClass(),
        &TLOArrangedImage::StaticClass(),
        &TLOQRCode::StaticClass(),
        &TLOQRStd::StaticClass(),
        &TLDObjects::StaticClass(),
        &TExPaperInfo::StaticClass(),
        &TImagePaperInfo::StaticClass(),
        &TFreePaperInfo::StaticClass(),
        &TMatrixPaperInfo::StaticClass(),
        &TPaperUpdate::StaticClass(),
        &TPLStreamer::StaticClass(),
    };
    for (const TClassInfo* info : classes) registry.Register(*info);
    TLOCreator::RegisterClassFactory("TLOWizardImage", [] { return std::make_unique<TLOImage>(); });
    const auto pastePicture = [](TDrawObject& object, TObjectSite&) {
        if (auto* image = dynamic_cast<TLOImage*>(&object)) PasteClipboardPicture(*image);
    };
    for (const char* kind : {"TLOImagePaste", "TLOBitmapPaste"}) TLOCreator::SetKindSetup(kind, {pastePicture, false, false});
    const auto pasteText = [](TDrawObject& object, TObjectSite&) {
        if (auto* text = dynamic_cast<TLOText*>(&object)) PasteClipboardText(*text);
    };
    TLOCreator::SetKindSetup("TLOTextPaste", {pasteText, false, false});
}

}  // namespace kestrel

#include "ui/BackgroundDialog.h"
#include "ui/DecoratedTextDialogs.h"
#include "ui/JANCodeDialog.h"
#include "ui/ObjectCommands.h"
#include "ui/PicturePropertiesDialog.h"
#include "ui/QRCodeDialog.h"
#include "ui/ShapePropertiesDialog.h"
#include "ui/TextPropertiesDialog.h"

// The properties dialog of each object class: an object kind adds its line here, everything else
// about it is described where it is built.

namespace kestrel {

const std::vector<TPropertiesEditorEntry>& PropertiesEditors()
{
    // Curves and ellipses find the editor of their base class.
    static const std::vector<TPropertiesEditorEntry> editors = {
        {"TLOLine", EditShapeProperties},
        {"TLORect", EditShapeProperties},
        {"TLOAlphaMask", EditShapeProperties},
        {"TLOText", &TTextPropertiesDialog::Edit},
        {"TLOBackImage", EditBackground},
        {"TLODate", EditDate},
        {"TLODecoString", EditDecoString},
        {"TLOJANCode", EditJANCode},
        {"TLOQRStd", EditQRStd},
        {"TLOQRCode", EditQRCode},
        {"TLOImage", &TPicturePropertiesDialog::Edit},
    };
    return editors;
}

}  // namespace kestrel

#include "text/TextKinds.h"

#include "document/Capabilities.h"
#include "document/ObjectKinds.h"
#include "document/ObjectSite.h"
#include "text/LOText.h"

namespace kestrel {

namespace {
// A new text starts as a line-sized box at the face's top left and fits itself to its text.
void PrepareText(TDrawObject& object, TObjectSite& site)
{
    if (auto* text = dynamic_cast<TLOText*>(&object)) {
        const TRect area = site.LogicalArea();
        text->SetBounds(
            {area.left + 100, area.top + 100, area.left + 700, area.top + 100 + text->Layout().LineHeight()});
    }
    if (auto* autoSize = dynamic_cast<IDOAutoSize*>(&object)) autoSize->SetAutoSize(true);
}

void PasteText(TDrawObject& object, TObjectSite&)
{
    if (auto* text = dynamic_cast<TLOText*>(&object)) PasteClipboardText(*text);
}
}  // namespace

void RegisterTextKinds(TObjectKinds& kinds, TClassRegistry& classes)
{
    // Placed at once until texts can be drawn out with the mouse; the user types the text first.
    kinds.Register(TObjectKind::OfClass(TLOText::StaticClass())
                       .PreparedBy(PrepareText)
                       .EditedFirst()
                       .InMenu(QStringLiteral("テキスト(&T)"), QStringLiteral("テキストを追加します"), 200),
                   classes);
    kinds.Register(TObjectKind::Command("TLOTextPaste", [] { return std::make_unique<TLOText>(); })
                       .PreparedBy(PasteText)
                       .PlacedAtOnce(),
                   classes);
}

}  // namespace kestrel

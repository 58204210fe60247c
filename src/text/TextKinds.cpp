#include "text/TextKinds.h"

#include "document/Capabilities.h"
#include "document/ObjectKinds.h"
#include "document/ObjectSite.h"
#include "paper/PapersV2.h"
#include "text/LODate.h"
#include "text/LOText.h"
#include "text/ShadeText.h"

namespace kestrel {

namespace {
// ggge"年"m"月"d"日"
constexpr int EraDateFormat = 2;

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

// Today, in the era format, never updated.
void PrepareDate(TDrawObject& object, TObjectSite& site)
{
    PrepareText(object, site);
    if (auto* date = dynamic_cast<TLODate*>(&object)) {
        date->SetFormat(DateFormatChoices().at(EraDateFormat));
        date->SetDate(ToDaysSince1899(QDateTime::currentDateTime()));
    }
}

void PasteText(TDrawObject& object, TObjectSite&)
{
    if (auto* text = dynamic_cast<TLOText*>(&object)) PasteClipboardText(*text);
}
}  // namespace

void RegisterTextKinds(TObjectKinds& kinds, TClassRegistry& classes)
{
    // Older names of the text read into the class every text is now; registered first so that
    // the class's ancestors do not take them.
    for (const char* older : {"TLOWizardText", "TLOShadeText"})
        kinds.Register(TObjectKind::OtherName(older, TLOTextObject::StaticClass()), classes);
    // Placed at once until texts can be drawn out with the mouse; the user types the text first.
    kinds.Register(TObjectKind::OfClass(TLOTextObject::StaticClass())
                       .PreparedBy(PrepareText)
                       .EditedFirst()
                       .InMenu(QStringLiteral("文字(&T)..."), QStringLiteral("テキストを追加します"), 200),
                   classes);
    kinds.Register(TObjectKind::Command("TLOTextPaste", [] { return std::make_unique<TLOTextObject>(); })
                       .PreparedBy(PasteText)
                       .PlacedAtOnce(),
                   classes);
    kinds.Register(TObjectKind::OfClass(TLODate::StaticClass())
                       .PreparedBy(PrepareDate)
                       .EditedFirst()
                       .InMenu(QStringLiteral("日付・時間(&D)..."), QStringLiteral("日付を追加します"), 205),
                   classes);
}

}  // namespace kestrel

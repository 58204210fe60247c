#include "document/MacroProperties.h"

#include "app/AppFrame.h"
#include "document/stream/Persistent.h"

namespace kestrel {

namespace {

const QString kMacroOpener = QStringLiteral("$(");

// The expansion, or nothing when the text holds no macro or does not expand.
std::optional<QString> Expanded(const QString& text)
{
    if (!text.contains(kMacroOpener)) return std::nullopt;
    try {
        return ExpandMacro(text);
    } catch (const EMacroString&) {
        return std::nullopt;
    }
}

}  // namespace

void ExpandComponentMacros(TComponent& component)
{
    RewriteStoredTexts(component, Expanded);
    component.GetChildren([](TComponent& child) { ExpandComponentMacros(child); });
}

}  // namespace kestrel

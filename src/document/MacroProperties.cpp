#include "document/MacroProperties.h"

#include <QRegularExpression>

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

// A string list is expanded as one text, its lines joined by CR LF.
void ExpandStrings(const TPropInfo& prop, TPersistent& object)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    if (const auto text = Expanded(prop.getStrings(object).join(QStringLiteral("\r\n"))))
        prop.setStrings(object, text->split(lineBreak));
}

void ExpandProperties(TComponent& component)
{
    for (const TPropInfo& prop : component.ClassInfo().Properties()) {
        if (!prop.IsStoredFor(component)) continue;
        if (prop.kind == TPropKind::String) {
            if (const auto value = Expanded(prop.getString(component))) prop.setString(component, *value);
        } else if (prop.kind == TPropKind::Strings) {
            ExpandStrings(prop, component);
        }
    }
}

}  // namespace

void ExpandComponentMacros(TComponent& component)
{
    ExpandProperties(component);
    component.GetChildren([](TComponent& child) { ExpandComponentMacros(child); });
}

}  // namespace kestrel

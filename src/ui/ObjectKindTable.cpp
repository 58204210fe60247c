#include "ui/ObjectCommands.h"
#include "ui/TextPropertiesDialog.h"

// The object kinds the user can insert and edit. Each kind adds its insert command and its
// properties dialog here; the menu and the designer registry follow these tables.

namespace kestrel {

const std::vector<TInsertCommand>& InsertCommands()
{
    static const std::vector<TInsertCommand> commands = {
        {QStringLiteral("テキスト(&T)"), "TLOText", QKeySequence(), QStringLiteral("テキストを追加します")},
    };
    return commands;
}

const std::vector<TPropertiesEditorEntry>& PropertiesEditors()
{
    static const std::vector<TPropertiesEditorEntry> editors = {
        {"TLOText", &TTextPropertiesDialog::Edit},
    };
    return editors;
}

}  // namespace kestrel

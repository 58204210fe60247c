#include "ui/ObjectCommands.h"
#include "ui/PicturePropertiesDialog.h"

// The object kinds the user can insert and edit. Each kind adds its insert command and its
// properties dialog here; the menu and the designer registry follow these tables.

namespace kestrel {

const std::vector<TInsertCommand>& InsertCommands()
{
    static const std::vector<TInsertCommand> commands = {
        {QStringLiteral("イメージ(&I)..."), "TLOImage", {}, QStringLiteral("ファイルからイメージを挿入します")},
        {QStringLiteral("クリップボードのイメージ(&P)"), "TLOImagePaste", {},
         QStringLiteral("クリップボードのイメージを挿入します")},
    };
    return commands;
}

const std::vector<TPropertiesEditorEntry>& PropertiesEditors()
{
    static const std::vector<TPropertiesEditorEntry> editors = {
        {"TLOImage", &TPicturePropertiesDialog::Edit},
    };
    return editors;
}

}  // namespace kestrel

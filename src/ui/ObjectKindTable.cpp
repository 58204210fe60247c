#include "ui/ObjectCommands.h"

#include "ui/JANCodeDialog.h"
#include "ui/QRCodeDialog.h"
#include "ui/TextPropertiesDialog.h"

// The object kinds the user can insert and edit. Each kind adds its insert command and its
// properties dialog here; the menu and the designer registry follow these tables.

namespace kestrel {

const std::vector<TInsertCommand>& InsertCommands()
{
    static const std::vector<TInsertCommand> commands = {
        {QStringLiteral("テキスト(&T)"), "TLOText", QKeySequence(), QStringLiteral("テキストを追加します")},
        {QStringLiteral("JANコード"), "TLOJANCode", {}, QStringLiteral("JANコード(バーコード)を追加します")},
        {QStringLiteral("QRコード(電話帳・URL・テキスト)"), "TLOQRStd", {},
         QStringLiteral("電話帳・URL・テキストの QR コードを追加します")},
        {QStringLiteral("QRコード(データ)"), "TLOQRCode", {}, QStringLiteral("任意のデータの QR コードを追加します")},
    };
    return commands;
}

const std::vector<TPropertiesEditorEntry>& PropertiesEditors()
{
    static const std::vector<TPropertiesEditorEntry> editors = {
        {"TLOText", &TTextPropertiesDialog::Edit},
        {"TLOJANCode", EditJANCode},
        {"TLOQRStd", EditQRStd},
        {"TLOQRCode", EditQRCode},
    };
    return editors;
}

}  // namespace kestrel

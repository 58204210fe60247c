#include "ui/ObjectCommands.h"
#include "ui/PicturePropertiesDialog.h"

#include "ui/JANCodeDialog.h"
#include "ui/QRCodeDialog.h"
#include "ui/ShapePropertiesDialog.h"
#include "ui/TextPropertiesDialog.h"

// The object kinds the user can insert and edit. Each kind adds its insert command and its
// properties dialog here; the menu and the designer registry follow these tables.

namespace kestrel {

const std::vector<TInsertCommand>& InsertCommands()
{
    static const std::vector<TInsertCommand> commands = {
        {QStringLiteral("直線"), "TLOLine", {}, QStringLiteral("直線を追加します")},
        {QStringLiteral("曲線"), "TLOCurve", {}, QStringLiteral("円弧の曲線を追加します")},
        {QStringLiteral("四角形"), "TLORect", {}, QStringLiteral("四角形を追加します")},
        {QStringLiteral("円・楕円"), "TLOCircle", {}, QStringLiteral("円・楕円を追加します")},
        {QStringLiteral("飾り罫線..."), "TLODecoLine", {}, QStringLiteral("模様を並べた罫線を追加します")},
        {QStringLiteral("シェード図形..."), "TLOAlphaMask", {}, QStringLiteral("ぼかした図形を通して色を重ねます")},
        {QStringLiteral("テキスト(&T)"), "TLOText", QKeySequence(), QStringLiteral("テキストを追加します")},
        {QStringLiteral("JANコード"), "TLOJANCode", {}, QStringLiteral("JANコード(バーコード)を追加します")},
        {QStringLiteral("QRコード(電話帳・URL・テキスト)"), "TLOQRStd", {},
         QStringLiteral("電話帳・URL・テキストの QR コードを追加します")},
        {QStringLiteral("QRコード(データ)"), "TLOQRCode", {}, QStringLiteral("任意のデータの QR コードを追加します")},
        {QStringLiteral("イメージ(&I)..."), "TLOImage", {}, QStringLiteral("ファイルからイメージを挿入します")},
        {QStringLiteral("クリップボードのイメージ(&P)"), "TLOImagePaste", {},
         QStringLiteral("クリップボードのイメージを挿入します")},
    };
    return commands;
}

const std::vector<TPropertiesEditorEntry>& PropertiesEditors()
{
    // Curves and ellipses find the editor of their base class.
    static const std::vector<TPropertiesEditorEntry> editors = {
        {"TLOLine", EditShapeProperties},
        {"TLORect", EditShapeProperties},
        {"TLOAlphaMask", EditShapeProperties},
        {"TLOText", &TTextPropertiesDialog::Edit},
        {"TLOJANCode", EditJANCode},
        {"TLOQRStd", EditQRStd},
        {"TLOQRCode", EditQRCode},
        {"TLOImage", &TPicturePropertiesDialog::Edit},
    };
    return editors;
}

}  // namespace kestrel

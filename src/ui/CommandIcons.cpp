#include "ui/CommandIcons.h"

#include <QAction>
#include <QHash>
#include <QRegularExpression>
#include <QWidget>

#include "app/AppFrame.h"

namespace kestrel {

namespace {

// Captions without access key or ellipsis, and their icons.
const QHash<QString, QString>& IconsOfCaptions()
{
    static const QHash<QString, QString> icons = {
        {QStringLiteral("新規作成"), QStringLiteral("document-new")},
        {QStringLiteral("開く"), QStringLiteral("document-open")},
        {QStringLiteral("保存"), QStringLiteral("document-save")},
        {QStringLiteral("名前を付けて保存"), QStringLiteral("document-save-as")},
        {QStringLiteral("他形式保存"), QStringLiteral("document-export")},
        {QStringLiteral("印刷"), QStringLiteral("document-print")},
        {QStringLiteral("ラベルテンプレートの呼び出し"), QStringLiteral("kestrel-template")},
        {QStringLiteral("用紙/メディア選択"), QStringLiteral("kestrel-paper")},
        {QStringLiteral("スタートメニュー"), QStringLiteral("go-home")},
        {QStringLiteral("ラベルシート表示"), QStringLiteral("view-sheet")},
        {QStringLiteral("ラベル表示"), QStringLiteral("view-label")},
        {QStringLiteral("バージョン情報"), QStringLiteral("help-about")},
        {QStringLiteral("取り消し"), QStringLiteral("edit-undo")},
        {QStringLiteral("やり直し"), QStringLiteral("edit-redo")},
        {QStringLiteral("切り取り"), QStringLiteral("edit-cut")},
        {QStringLiteral("コピー"), QStringLiteral("edit-copy")},
        {QStringLiteral("貼り付け"), QStringLiteral("edit-paste")},
        {QStringLiteral("クリア"), QStringLiteral("edit-delete")},
        {QStringLiteral("拡大"), QStringLiteral("zoom-in")},
        {QStringLiteral("縮小"), QStringLiteral("zoom-out")},
        {QStringLiteral("グループ化"), QStringLiteral("object-group")},
        {QStringLiteral("グループ化解除"), QStringLiteral("object-ungroup")},
        {QStringLiteral("位置合わせ"), QStringLiteral("kestrel-align")},
        {QStringLiteral("位置揃え"), QStringLiteral("kestrel-distribute")},
        {QStringLiteral("文字"), QStringLiteral("insert-text")},
        {QStringLiteral("イメージファイル"), QStringLiteral("insert-image")},
        {QStringLiteral("複数画像"), QStringLiteral("kestrel-pictures")},
        {QStringLiteral("日付・時間"), QStringLiteral("kestrel-date")},
        {QStringLiteral("直線"), QStringLiteral("kestrel-line")},
        {QStringLiteral("四角"), QStringLiteral("kestrel-rectangle")},
        {QStringLiteral("円"), QStringLiteral("kestrel-ellipse")},
        {QStringLiteral("JANコード"), QStringLiteral("kestrel-barcode")},
        {QStringLiteral("QRコード"), QStringLiteral("kestrel-qrcode")},
        {QStringLiteral("QRコード(データ)"), QStringLiteral("kestrel-qrcode")},
        {QStringLiteral("背景柄"), QStringLiteral("kestrel-background")},
        {QStringLiteral("ワンポイントイラスト"), QStringLiteral("kestrel-illustration")},
        {QStringLiteral("アルバム情報"), QStringLiteral("kestrel-music")},
        {QStringLiteral("太字"), QStringLiteral("format-text-bold")},
        {QStringLiteral("斜体"), QStringLiteral("format-text-italic")},
        {QStringLiteral("下線"), QStringLiteral("format-text-underline")},
        {QStringLiteral("左(上)揃え"), QStringLiteral("format-justify-left")},
        {QStringLiteral("中央揃え"), QStringLiteral("format-justify-center")},
        {QStringLiteral("右(下)揃え"), QStringLiteral("format-justify-right")},
        {QStringLiteral("均等割り付け"), QStringLiteral("format-justify-fill")},
    };
    return icons;
}

// "開く(&O)..." → "開く"; a parenthesis that is no access key stays ("QRコード(データ)").
QString PlainCaption(const QString& caption)
{
    static const QRegularExpression decoration(QStringLiteral("\\(&.\\)|&|\\.\\.\\.$|…$"));
    return QString(caption).remove(decoration).trimmed();
}

}  // namespace

QIcon CommandIcon(const QString& name)
{
    const QString file = TAppFrame::FindDataFile(QStringLiteral("icons/") + name + QStringLiteral(".svg"));
    return file.isEmpty() ? QIcon() : QIcon(file);
}

QString CommandIconName(const QString& caption)
{
    const QString plain = PlainCaption(caption);
    if (plain.endsWith(QStringLiteral("の使い方"))) return QStringLiteral("help-contents");
    if (plain.endsWith(QStringLiteral("の終了"))) return QStringLiteral("application-exit");
    return IconsOfCaptions().value(plain);
}

void GiveCommandIcons(QWidget& window)
{
    for (QAction* action : window.findChildren<QAction*>()) {
        if (!action->icon().isNull() || action->isSeparator()) continue;
        if (const QString name = CommandIconName(action->text()); !name.isEmpty()) action->setIcon(CommandIcon(name));
    }
}

}  // namespace kestrel

#include "ui/TextPropertiesDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>

#include "text/LOText.h"
#include "ui/ObjectCommands.h"

namespace kestrel {
namespace {

template <typename W>
W* Find(QDialog& dialog, const std::function<bool(W*)>& match)
{
    for (W* w : dialog.findChildren<W*>())
        if (match(w)) return w;
    return nullptr;
}

QCheckBox* CheckBox(QDialog& dialog, const QString& caption)
{
    return Find<QCheckBox>(dialog, [&](QCheckBox* c) { return c->text() == caption; });
}

TEST(TextPropertiesDialog, IsTheRegisteredEditorAndAppliesWhatTheUserSet)
{
    TLOText text;
    text.SetBounds({0, 0, 300, 100});
    ASSERT_NE(FindPropertiesEditor(text), nullptr);
    const bool listed = std::any_of(InsertCommands().begin(), InsertCommands().end(),
                                    [](const TInsertCommand& c) { return c.kind == "TLOText"; });
    EXPECT_TRUE(listed);

    TTextPropertiesDialog dialog(text);
    dialog.findChild<QPlainTextEdit*>()->setPlainText(QStringLiteral("一行目\nSecond"));
    CheckBox(dialog, QStringLiteral("縦書き(&V)"))->setChecked(true);
    CheckBox(dialog, QStringLiteral("縁取り(&O)"))->setChecked(true);
    CheckBox(dialog, QStringLiteral("半角を全角に変換(&Z)"))->setChecked(true);
    Find<QComboBox>(dialog, [](QComboBox* c) { return c->count() == 9 && c->itemText(0) == u"なし"; })->setCurrentIndex(8);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(text.Text(), QStringList({QStringLiteral("一行目"), QStringLiteral("Second")}));
    EXPECT_TRUE(text.Vertical());
    EXPECT_EQ(text.Rect(), (TRect{100, -100, 200, 200}));  // turned about its centre
    EXPECT_TRUE(text.Outline());
    EXPECT_TRUE(text.HanToZen());
    EXPECT_EQ(text.Shadow(), 8);
}

TEST(TextPropertiesDialog, TextTheCodePageCannotHoldIsRefusedWithAMessage)
{
    TLOText text;
    text.SetText({QStringLiteral("元のまま")});
    TTextPropertiesDialog dialog(text);
    dialog.findChild<QPlainTextEdit*>()->setPlainText(QStringLiteral("音符 \U0001F3B5"));
    QString message;
    std::function<void()> closeWarning = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return QTimer::singleShot(0, closeWarning);
        message = box->text();
        box->accept();
    };
    QTimer::singleShot(0, closeWarning);
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(message.contains(QStringLiteral("保存できない文字"))) << message.toStdString();
    EXPECT_EQ(text.Text(), QStringList{QStringLiteral("元のまま")});
}

}  // namespace
}  // namespace kestrel

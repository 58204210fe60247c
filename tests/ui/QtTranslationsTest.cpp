#include "ui/QtTranslations.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace kestrel {
namespace {

// The standard dialogs and buttons speak Japanese like the rest of the program.
TEST(QtTranslations, QtsOwnDialogsSpeakJapanese)
{
    ASSERT_TRUE(InstallQtTranslations(*qApp)) << "qt6-translations-l10n is installed by scripts/install-deps.sh";
    const auto isJapanese = [](const QString& text) {
        return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x3000; });
    };
    EXPECT_TRUE(isJapanese(QCoreApplication::translate("QFileDialog", "Look in:")));
    EXPECT_TRUE(isJapanese(QCoreApplication::translate("QFileDialog", "File &name:")));
    EXPECT_TRUE(isJapanese(QCoreApplication::translate("QPrintDialog", "Print")));
    EXPECT_TRUE(isJapanese(QCoreApplication::translate("QColorDialog", "Select Color")));
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), "キャンセル");

    // What a user sees in an open dialog built by Qt, not only what the translator answers.
    QFileDialog dialog(nullptr, {}, QDir::tempPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.show();
    const auto* lookIn = dialog.findChild<QLabel*>("lookInLabel");
    const auto* fileName = dialog.findChild<QLabel*>("fileNameLabel");
    const auto* box = dialog.findChild<QDialogButtonBox*>("buttonBox");
    ASSERT_TRUE(lookIn && fileName && box);
    EXPECT_TRUE(isJapanese(lookIn->text())) << lookIn->text().toStdString();
    EXPECT_TRUE(isJapanese(fileName->text())) << fileName->text().toStdString();
    for (QAbstractButton* button : box->buttons()) EXPECT_TRUE(isJapanese(button->text())) << button->text().toStdString();
}

}  // namespace
}  // namespace kestrel

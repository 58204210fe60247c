#include "ui/QtTranslations.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
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
}

}  // namespace
}  // namespace kestrel

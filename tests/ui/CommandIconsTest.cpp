#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>

#include "app/AppFrame.h"
#include "ui/CommandIcons.h"

namespace kestrel {
namespace {

class CommandIconsTest : public ::testing::Test {
protected:
    void SetUp() override { frame.Macro().SetValue("ExeDir", QStringLiteral(KESTREL_BINARY_DIR "/src/")); }

    // How many pixels of the icon drawn at the size are not clear.
    static int Ink(const QIcon& icon, int side)
    {
        const QImage image = icon.pixmap(side, side).toImage();
        int ink = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) ink += qAlpha(image.pixel(x, y)) > 0;
        return ink;
    }

    TAppFrame frame;
};

TEST_F(CommandIconsTest, EveryShippedIconIsWellFormedSvgAndDrawsAtEverySize)
{
    const QString file = TAppFrame::FindDataFile("icons/document-open.svg");
    ASSERT_FALSE(file.isEmpty()) << "the icons are drawn into the data folder";
    const QDir folder = QFileInfo(file).dir();
    const QStringList icons = folder.entryList({"*.svg"});
    EXPECT_GE(icons.size(), 40);
    for (const QString& name : icons) {
        QProcess lint;
        lint.start("xmllint", {"--noout", folder.filePath(name)});
        ASSERT_TRUE(lint.waitForFinished());
        EXPECT_EQ(lint.exitCode(), 0) << name.toStdString() << lint.readAllStandardError().toStdString();
        const QIcon icon = CommandIcon(QFileInfo(name).completeBaseName());
        for (int side : {16, 24, 48}) EXPECT_GT(Ink(icon, side), side) << name.toStdString() << " at " << side;
    }
    EXPECT_TRUE(CommandIcon("no-such-icon").isNull());
}

TEST_F(CommandIconsTest, CaptionsFindTheirIconsWhateverTheirAccessKeyAndEllipsis)
{
    EXPECT_EQ(CommandIconName("開く(&O)..."), "document-open");
    EXPECT_EQ(CommandIconName("保存(&S)"), "document-save");
    EXPECT_EQ(CommandIconName("QRコード(データ)"), "kestrel-qrcode");
    EXPECT_EQ(CommandIconName("Kestrelの使い方(&C)"), "help-contents");
    EXPECT_EQ(CommandIconName("Kestrelの終了(&X)"), "application-exit");
    EXPECT_EQ(CommandIconName("印刷禁止にする(&N)"), "");
    EXPECT_EQ(CommandIconName("ファイル(&F)"), "");
    // The insert menu's and the format tool bar's captions.
    for (const char* caption : {"文字(&T)...", "イメージファイル(&F)...", "四角(&R)", "円(&E)", "QRコード(&Q)...",
                                "JANコード(&J)...", "左(上)揃え", "右(下)揃え", "均等割り付け", "位置合わせ(&A)...",
                                "位置揃え(&O)...", "太字"})
        EXPECT_FALSE(CommandIconName(QString::fromUtf8(caption)).isEmpty()) << caption;

    QMainWindow window;
    QMenu* menu = window.menuBar()->addMenu("ファイル(&F)");
    QAction* open = menu->addAction("開く(&O)...");
    QAction* other = menu->addAction("シートの複製(&D)");
    GiveCommandIcons(window);
    EXPECT_FALSE(open->icon().isNull());
    EXPECT_TRUE(other->icon().isNull());
}

}  // namespace
}  // namespace kestrel

// Runs under xvfb-run with the xcb platform (the clipboard_x11 test); skipped elsewhere.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QTest>

#include "document/ActionList.h"
#include "document/DOList.h"
#include "document/stream/ClassRegistry.h"
#include "edit/LayoutActions.h"
#include "edit/LayoutSession.h"
#include "objects/PictureObject.h"
#include "platform/Clipboard.h"
#include "render/DrawSiteFixtures.h"
#include "support/TestEnvironment.h"
#include "text/LOText.h"

namespace kestrel {
namespace {

constexpr int kTimeoutMs = 10000;

class X11ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X display";
        TClassRegistry::Global().Register(test::TFilledRect::StaticClass());
        session.Attach(site);
        test::SetUpDocumentSite(site, 1000, 1000);
    }
    void TearDown() override
    {
        if (xclip.state() != QProcess::NotRunning) {
            xclip.kill();
            xclip.waitForFinished();
        }
    }

    // Another program owns the clipboard with the data until the test ends: under the type, or as
    // text in the forms xclip offers by default.
    void OfferFromXclip(const QString& type, const QByteArray& data)
    {
        QStringList arguments{"-quiet", "-selection", "clipboard", "-i"};
        if (type != "text/plain") arguments << "-t" << type;
        xclip.start("xclip", arguments);
        ASSERT_TRUE(xclip.waitForStarted());
        xclip.write(data);
        xclip.closeWriteChannel();
        QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::clipboard()->mimeData()->hasFormat(type), kTimeoutMs);
    }

    TLayoutSession session;
    TLayoutActions actions{session.History()};
    TDrawSite site;
    QProcess xclip;
};

// xclip reads while this process serves the selection, so the event loop must keep running.
TEST_F(X11ClipboardTest, ObjectsCopiedHereAreReadableByAnotherProgram)
{
    test::AddRect(site, {10, 10, 200, 100}).SetSelected(true);
    test::AddRect(site, {50, 50, 300, 300}).SetSelected(true);
    actions.copy.Execute(site);
    QProcess reader;
    reader.start("xclip", {"-selection", "clipboard", "-t", ClipboardMimeType(TStandardEditDSA::ClipboardFormat()), "-o"});
    QTRY_VERIFY_WITH_TIMEOUT(reader.state() == QProcess::NotRunning, kTimeoutMs);
    ASSERT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    TDOList read;
    read.LoadFromBytes(reader.readAllStandardOutput());
    ASSERT_EQ(read.Count(), 2);
    EXPECT_EQ(read.Item(0).GetBounds(), (TRect{50, 50, 300, 300}));
    EXPECT_EQ(read.Item(1).GetBounds(), (TRect{10, 10, 200, 100}));
}

TEST_F(X11ClipboardTest, AnotherProgramsTextPastesAsAText)
{
    OfferFromXclip("text/plain", QString("外から来た文字").toUtf8());
    actions.paste.Execute(site);
    ASSERT_EQ(site.ChildCount(), 1);
    auto* text = dynamic_cast<TLOText*>(&site.Child(0));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Text(), QStringList{"外から来た文字"});
    EXPECT_EQ(session.History().UndoCaption(), "貼り付け");
}

TEST_F(X11ClipboardTest, AnotherProgramsPngPastesAsAPicture)
{
    QImage picture(24, 16, QImage::Format_RGB32);
    picture.fill(Qt::green);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&png, "PNG"));
    OfferFromXclip("image/png", png.data());
    actions.paste.Execute(site);
    ASSERT_EQ(site.ChildCount(), 1);
    auto* image = dynamic_cast<TLOImage*>(&site.Child(0));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->ImageData().Picture().Width(), 24);
    EXPECT_EQ(image->ImageData().Picture().Height(), 16);
}

}  // namespace
}  // namespace kestrel

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>

#include "render/DrawSiteFixtures.h"
#include "ui/SiteView.h"

namespace kestrel {
namespace {

void SendMouse(QWidget& target, QEvent::Type type, QPoint at,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), target.mapToGlobal(QPointF(at)), Qt::LeftButton, held, modifiers);
    QApplication::sendEvent(&target, &event);
}

class SiteViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::SetUpDocumentSite(site, 1200, 1200);
        rect = &test::AddRect(site, {254, 254, 762, 762});
    }

    TDrawSite site;
    test::TFilledRect* rect = nullptr;
};

TEST_F(SiteViewTest, SurfaceTakesTheSiteSizeAndPaintsThroughIt)
{
    TSiteView view(site);
    EXPECT_EQ(view.Surface().size(), QSize(454, 454));
    site.Scaler().SetScale(50);
    EXPECT_EQ(view.Surface().size(), QSize(227, 227));

    const QImage image = view.Surface().grab().toImage();
    const QPoint inside = site.LogToDev(QPoint(500, 500));
    const QPoint outside = site.LogToDev(QPoint(1000, 1000));
    EXPECT_EQ(test::PixelAt(image, inside.x(), inside.y()), clBlue);
    EXPECT_EQ(test::PixelAt(image, outside.x(), outside.y()), clWhite);
}

TEST_F(SiteViewTest, ForwardsClicksAndModifiersToTheSite)
{
    TSiteView view(site);
    const QPoint at = site.LogToDev(QPoint(500, 500));
    SendMouse(view.Surface(), QEvent::MouseButtonPress, at);
    SendMouse(view.Surface(), QEvent::MouseButtonRelease, at);
    EXPECT_TRUE(rect->Selected());

    SendMouse(view.Surface(), QEvent::MouseButtonPress, at, Qt::ShiftModifier);
    SendMouse(view.Surface(), QEvent::MouseButtonRelease, at, Qt::ShiftModifier);
    EXPECT_FALSE(rect->Selected());  // Shift-click on the selected object
}

TEST_F(SiteViewTest, DragOutsideTheVisiblePartScrollsTheBox)
{
    test::TRecordingSession editing;
    editing.Attach(site);
    site.Scaler().SetScale(400);
    TSiteView view(site);
    view.resize(1000, 1000);  // the press point is in view, the move goes right of it
    view.show();
    const QPoint at = site.LogToDev(QPoint(500, 500));
    SendMouse(view.Surface(), QEvent::MouseButtonPress, at);
    ASSERT_TRUE(site.IsDragging());
    SendMouse(view.Surface(), QEvent::MouseMove, at + QPoint(400, 0));
    EXPECT_GT(view.horizontalScrollBar()->value(), 0);
    EXPECT_EQ(view.verticalScrollBar()->value(), 0);
    EXPECT_TRUE(editing.ghosts.moved);
    SendMouse(view.Surface(), QEvent::MouseButtonRelease, at + QPoint(400, 0));
    EXPECT_FALSE(site.IsDragging());
}

}  // namespace
}  // namespace kestrel

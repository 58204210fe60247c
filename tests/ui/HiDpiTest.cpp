// The canvases at the screen's pixel ratio: CTest runs these once more with QT_SCALE_FACTOR=2,
// where a shape's edges must stay as sharp as at ratio 1 and clicks must still land on it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <optional>

#include "document/DOList.h"
#include "edit/LayoutSession.h"
#include "label/LabelData.h"
#include "label/LabelDocumentFixtures.h"
#include "objects/LORect.h"
#include "render/DrawSite.h"
#include "ui/FaceView.h"
#include "ui/ObjectPreview.h"
#include "ui/SiteView.h"

namespace kestrel {
namespace {

constexpr TRect kShape{100, 100, 400, 400};
const QColor kFrame(Qt::black);
const QColor kFill(Qt::blue);

std::unique_ptr<TLORect> FramedSquare()
{
    auto rect = std::make_unique<TLORect>();
    rect->SetBounds(kShape);
    rect->SetFrameWidth(3);
    rect->FrameColor().SetColor(clBlack);
    rect->SetFillInside(true);
    rect->FillColor().SetColor(clBlue);
    return rect;
}

bool Near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) < 8 && std::abs(a.green() - b.green()) < 8 &&
           std::abs(a.blue() - b.blue()) < 8;
}

// The most pixels in a row, between x0 and x1 of the picture's row y, that are none of the
// colours: an edge blurred by stretching a picture of the ratio 1 spans two at ratio 2.
int WidestBlur(const QImage& image, int y, int x0, int x1, const std::vector<QColor>& colours)
{
    int widest = 0, run = 0;
    for (int x = x0; x < x1; ++x) {
        const QColor pixel = image.pixelColor(x, y);
        const bool known = std::any_of(colours.begin(), colours.end(), [&](QColor c) { return Near(pixel, c); });
        run = known ? 0 : run + 1;
        widest = std::max(widest, run);
    }
    return widest;
}

// The ratio of the test screen, checked against the one the run asks for.
qreal ScreenRatio(const QPixmap& grabbed)
{
    const QString asked = qEnvironmentVariable("QT_SCALE_FACTOR");
    if (!asked.isEmpty()) {
        EXPECT_EQ(grabbed.devicePixelRatio(), asked.toDouble());
    }
    return grabbed.devicePixelRatio();
}

class HiDpiFaceView : public ::testing::Test {
protected:
    void SetUp() override
    {
        document.SetPaper(*test::SquarePaper(1));
        const std::unique_ptr<TLORect> square = FramedSquare();
        TDOList list;
        list.Add(*square);
        document.SaveFaceObjects(0, list);
        view.resize(700, 700);
        view.Load(document, 0);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    QWidget& Surface() const { return view.View()->Surface(); }
    TDrawSite& Site() const { return *view.Site(); }
    // Blur across the square's left edge (outside, frame, fill) on the row through y.
    int LeftEdgeBlur(int logicalY) const
    {
        const QPixmap grabbed = Surface().grab();
        const qreal ratio = ScreenRatio(grabbed);
        const QImage image = grabbed.toImage();
        const int y = int(Site().LogToDev({0, logicalY}).y() * ratio);
        const int x0 = int(Site().LogToDev({kShape.left - 40, 0}).x() * ratio);
        const int x1 = int(Site().LogToDev({kShape.left + 40, 0}).x() * ratio);
        return WidestBlur(image, y, x0, x1, {Qt::white, kFrame, kFill});
    }

    TLabelData document;
    TLayoutSession session;
    TFaceView view{session};
};

TEST_F(HiDpiFaceView, ShapeEdgesStaySharpAndClicksLandOnTheShape)
{
    EXPECT_LE(LeftEdgeBlur(250), 1);

    const QPoint centre = Site().LogToDev({250, 250});
    QTest::mouseClick(&Surface(), Qt::LeftButton, {}, centre);
    ASSERT_TRUE(Site().Child(0).Selected());
    QTest::mouseClick(&Surface(), Qt::LeftButton, {}, Site().LogToDev({kShape.right + 60, 250}));
    EXPECT_FALSE(Site().Child(0).Selected()) << "beside the shape is beside it";
}

TEST_F(HiDpiFaceView, TheSceneUnderADragIsAsSharp)
{
    const QPoint centre = Site().LogToDev({250, 250});
    QTest::mousePress(&Surface(), Qt::LeftButton, {}, centre);
    QTest::mouseMove(&Surface(), centre + QPoint(30, 30));
    ASSERT_TRUE(Site().IsDragging());
    EXPECT_LE(LeftEdgeBlur(kShape.top + 30), 1);
    QTest::mouseRelease(&Surface(), Qt::LeftButton, {}, centre + QPoint(30, 30));
}

// An object that asks for the editor's frame shows it whatever the ratio.
TEST_F(HiDpiFaceView, AnObjectsEditorFrameShows)
{
    auto outline = std::make_unique<TLORect>();
    outline->SetBounds({450, 100, 600, 250});
    outline->SetFrameWidth(0);
    outline->SetFillInside(false);
    outline->SetBorder(true);
    TDrawObject& framed = Site().AddObject(std::move(outline));
    Surface().repaint();
    const QPixmap grabbed = Surface().grab();
    const qreal ratio = ScreenRatio(grabbed);
    const QImage image = grabbed.toImage();
    const TRect& bounds = framed.ElementBounds();
    const int middle = int((bounds.top + bounds.bottom) / 2 * ratio);
    EXPECT_TRUE(Near(image.pixelColor(int(bounds.left * ratio), middle), kFill));
    EXPECT_TRUE(Near(image.pixelColor(int((bounds.left + bounds.right) / 2 * ratio), middle), Qt::white));
}

TEST(HiDpiPreview, ObjectPreviewEdgesStaySharp)
{
    const std::unique_ptr<TLORect> square = FramedSquare();
    TObjectPreview preview;
    preview.resize(200, 200);
    preview.SetObject(square.get());
    const QPixmap grabbed = preview.grab();
    const qreal ratio = ScreenRatio(grabbed);
    const QImage image = grabbed.toImage();
    const int middle = int(100 * ratio);
    EXPECT_LE(WidestBlur(image, middle, 0, middle, {Qt::white, kFrame, kFill}), 1);
    EXPECT_TRUE(Near(image.pixelColor(middle, middle), kFill));
}

}  // namespace
}  // namespace kestrel

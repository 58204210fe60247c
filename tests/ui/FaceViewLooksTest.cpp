// What the face editor draws over a face: the disc's outline and hole above a covering photo
// (and never in a render), and handles that scale with the screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>

#include "app/AppFrame.h"
#include "document/DOList.h"
#include "document/Pivot.h"
#include "label/DocumentFlows.h"
#include "label/FaceRender.h"
#include "label/LabelData.h"
#include "label/LabelDocumentFixtures.h"
#include "objects/PictureObject.h"
#include "render/DrawSite.h"
#include "support/MessageRecorder.h"
#include "support/TestEnvironment.h"
#include "ui/FaceView.h"
#include "ui/MainWindow.h"
#include "ui/PicturePropertiesDialog.h"
#include "ui/SiteView.h"

namespace kestrel {
namespace {

const QColor kPhoto(0xF0, 0xC0, 0x40);
// Outer rectangle 1190 with the disc's centre in its middle.
constexpr QPoint kCentre(595, 595);

bool IsDark(QColor c)
{
    return c.red() < 0x60 && c.green() < 0x60 && c.blue() < 0x60;
}

bool IsPhoto(QColor c)
{
    return std::abs(c.red() - kPhoto.red()) < 8 && std::abs(c.green() - kPhoto.green()) < 8 &&
           std::abs(c.blue() - kPhoto.blue()) < 8;
}

class FaceViewLooksTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RecordMessages(frame, messages);
        auto paper = test::TwoDiscPaper();
        paper->SetCutCenterWidth(410);
        paper->SetCutCenterHeight(410);
        TLabelData document;
        document.SetPaper(*paper);
        auto photo = CoveringPhoto(document.Face(0).OuterRect());
        TDOList list;
        list.Add(*photo);
        document.SaveFaceObjects(0, list);
        path = test::TestFolder() + "/disc.mld";
        document.SaveToFile(path);
        window = std::make_unique<TfrmMain>(frame, nullptr, nullptr);
        window->resize(900, 800);
        ASSERT_TRUE(window->OpenDocument(path));
        ASSERT_TRUE(window->EditFace(0));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // A one-colour picture stretched over the whole outer rectangle of the face.
    static std::unique_ptr<TLOImage> CoveringPhoto(const TSheetRect& outer)
    {
        QImage picture(32, 32, QImage::Format_RGB32);
        picture.fill(kPhoto);
        const QString file = test::TestFolder() + "/photo.png";
        EXPECT_TRUE(picture.save(file));
        auto image = std::make_unique<TLOImage>();
        EXPECT_TRUE(LoadPictureFile(image->ImageData().Picture(), file));
        image->SetBounds({0, 0, outer.Width(), outer.Height()});
        return image;
    }

    TDrawSite& Site() const { return *window->FaceView().Site(); }
    QWidget& Surface() const { return window->FaceView().View()->Surface(); }
    QImage Grab() const { return Surface().grab().toImage(); }
    QColor At(const QImage& image, QPoint logical) const { return image.pixelColor(Site().LogToDev(logical)); }

    // Whether a dark pixel lies on the column through the centre, over the top rows.
    static bool DarkNearTheTop(const QImage& image, int x, int rows)
    {
        for (int y = 0; y < rows; ++y)
            if (IsDark(image.pixelColor(x, y))) return true;
        return false;
    }

    TAppFrame frame;
    QStringList messages;
    QString path;
    std::unique_ptr<TfrmMain> window;
};

TEST_F(FaceViewLooksTest, TheOutlineAndTheHoleShowOverACoveringPhotoInTheEditorOnly)
{
    const QImage shown = Grab();
    EXPECT_TRUE(IsPhoto(At(shown, {kCentre.x(), 200}))) << "the printed ring shows the photo";
    EXPECT_FALSE(IsPhoto(At(shown, kCentre))) << "the hole is drawn over it";
    EXPECT_FALSE(IsPhoto(At(shown, {15, 15}))) << "and so is the corner outside the disc";
    const int centreColumn = Site().LogToDev(kCentre).x();
    EXPECT_TRUE(DarkNearTheTop(shown, centreColumn, Site().LogToDev({0, 30}).y())) << "the disc's edge";

    // The same face rendered for printing or export: the photo, clipped to the face, no lines.
    TDOList stored;
    window->Flows().Document().LoadFaceObjects(0, stored);
    std::vector<std::unique_ptr<TDrawObject>> objects;
    for (std::unique_ptr<TDrawObject>& object : stored.ReleaseAll()) objects.push_back(std::move(object));
    const QImage rendered = RenderFace(std::move(objects), window->Flows().Document().Face(0), 96);
    ASSERT_FALSE(rendered.isNull());
    const auto render = [&](QPoint logical) { return rendered.pixelColor(logical * 96 / 254); };
    EXPECT_TRUE(IsPhoto(render({kCentre.x(), 200})));
    EXPECT_EQ(render(kCentre), QColor(Qt::white)) << "nothing prints in the hole";
    EXPECT_FALSE(DarkNearTheTop(rendered, kCentre.x() * 96 / 254, 30 * 96 / 254)) << "no outline in a render";
}

// The square of a handle, in physical pixels, on a surface of the given pixel ratio.
QRect HandleOnSurface(QWidget& surface, QPoint centre, qreal ratio)
{
    QImage image(surface.size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    surface.render(&image);
    const int reach = int(PivotSize * ratio) + 4;
    const QPoint physical = centre * ratio;
    QRect found;
    for (int y = physical.y() - reach; y <= physical.y() + reach; ++y)
        for (int x = physical.x() - reach; x <= physical.x() + reach; ++x)
            if (image.valid(x, y) && image.pixelColor(x, y) == QColor(ToQColor(PivotEdgeColor)))
                found |= QRect(x, y, 1, 1);
    return found;
}

TEST_F(FaceViewLooksTest, HandlesGrowWithTheScreensPixelRatio)
{
    auto& photo = dynamic_cast<TLOImage&>(Site().Child(0));
    photo.SetBounds({100, 500, 300, 700});
    photo.SetSelected(true);
    Site().UpdatePivots();
    const QPoint corner = Site().LogToDev({100, 500});
    const QRect single = HandleOnSurface(Surface(), corner, 1);
    const QRect doubled = HandleOnSurface(Surface(), corner, 2);
    EXPECT_EQ(single.size(), QSize(PivotSize, PivotSize));
    EXPECT_EQ(doubled.size(), QSize(2 * PivotSize, 2 * PivotSize));
    EXPECT_TRUE(doubled.contains(corner * 2)) << "centred on the corner";
}

}  // namespace
}  // namespace kestrel

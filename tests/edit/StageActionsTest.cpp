#include <gtest/gtest.h>

#include <QRegion>

#include "document/ActionList.h"
#include "edit/LayoutSession.h"
#include "edit/StageActions.h"
#include "music/Albums.h"
#include "music/LabelMusic.h"
#include "objects/PictureObject.h"
#include "paper/FaceInfo.h"
#include "platform/Error.h"
#include "render/DrawSiteFixtures.h"
#include "text/ShadeText.h"

namespace kestrel {
namespace {

// A face of the given shape, 1170 square with a margin of 10 (and a hole of 410 where it has one).
TFaceGeometry Face(TFaceShape shape)
{
    TFaceGeometry face;
    face.rect = {100, 200, 1270, 1370};
    face.margin = 10;
    face.shape = shape;
    return face;
}

QImage Filled(int width, int height, Qt::GlobalColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

class StageActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.Attach(site);
        test::SetUpDocumentSite(site, 1190, 1190);
    }

    TLOTextObject& AddInput(const QString& caption, const QStringList& text)
    {
        auto object = std::make_unique<TLOTextObject>();
        object->SetWizInputEnable(true);
        object->SetWizInputCaption(caption);
        object->SetText(text);
        object->SetBounds({100, 100 + 60 * site.ChildCount(), 900, 150 + 60 * site.ChildCount()});
        return static_cast<TLOTextObject&>(site.AddObject(std::move(object)));
    }

    TLOImage& AddPicture(const QImage& pixels, const TRect& rect)
    {
        auto image = std::make_unique<TLOImage>();
        image->ImageData().Picture().SetImage(pixels);
        image->SetBounds(rect);
        return static_cast<TLOImage&>(site.AddObject(std::move(image)));
    }

    int UndoSteps() { return session.History().Current() + 1; }

    TLayoutSession session;
    TDrawSite site;
};

TEST_F(StageActionsTest, AnAlbumFillsEveryItemInOneUndoStep)
{
    TLOTextObject& title = AddInput("タイトル", {""});
    TLOTextObject& first = AddInput("曲名1", {""});
    TLOTextObject& second = AddInput("曲名2", {""});
    TAlbumInfo album;
    album.SetTitle("夜の盤");
    for (const char* name : {"一曲目", "二曲目"}) album.Tracks().Add().SetTitle(QString::fromUtf8(name));

    EXPECT_EQ(FillInputItemsInOneStep(site, 0, album), 3);
    EXPECT_EQ(title.Text(), QStringList{"夜の盤"});
    EXPECT_EQ(second.Text(), QStringList{"二曲目"});
    EXPECT_EQ(UndoSteps(), 1);
    session.History().Undo();
    for (TLOTextObject* text : {&title, &first, &second}) EXPECT_EQ(text->Text(), QStringList{""});
}

TEST_F(StageActionsTest, BulkLinesChangeOnlyTheItemsTheyChangeAndRefuseWhatCannotBeStored)
{
    AddInput("タイトル", {"盤"});
    AddInput("曲名", {"一", "二"});
    AddInput("アーティスト名", {"歌手"});
    const std::vector<TInputItem> items = SiteInputItems(site, 0);
    ASSERT_EQ(BulkEditLines(items), (QStringList{"盤", "一／二", "歌手"}));

    std::vector<TInputItem> changed = BulkEditChanges(items, {"盤", "一／二／三"});
    ASSERT_EQ(changed.size(), 2u) << "the title is unchanged; the missing line empties the artist";
    EXPECT_EQ(changed[0].name, "曲名");
    EXPECT_EQ(changed[0].text, (QStringList{"一", "二", "三"}));
    EXPECT_EQ(changed[1].text, QStringList{""});

    WriteInputItemsInOneStep(site, changed, "一括編集");
    EXPECT_EQ(UndoSteps(), 1);
    EXPECT_EQ(session.History().UndoCaption(), "一括編集");
    EXPECT_EQ(SiteInputItems(site, 0)[1].text, (QStringList{"一", "二", "三"}));
    session.History().Undo();
    EXPECT_EQ(BulkEditLines(SiteInputItems(site, 0)), (QStringList{"盤", "一／二", "歌手"}));

    EXPECT_THROW(BulkEditChanges(items, {"a", "b", "c", "d"}), EKestrel) << "more lines than items";
    try {
        BulkEditChanges(items, {"盤", "\U0001F600"});
        ADD_FAILURE() << "a character code page 932 lacks";
    } catch (const EKestrel& e) {
        EXPECT_TRUE(e.Message().contains("「曲名」")) << e.Message().toStdString();
    }
}

TEST_F(StageActionsTest, ANewPictureKeepsThePlaceAndIsCroppedToItsShapeInOneStep)
{
    TLOImage& image = AddPicture(Filled(100, 100, Qt::red), {200, 200, 600, 400});
    image.ImageData().LightFilter().SetBrightness(20);
    TPictureEx wide;
    wide.SetImage(Filled(400, 100, Qt::blue));
    wide.SetImageID("/pictures/wide.png");

    ReplacePicture(image, wide);
    EXPECT_EQ(image.Rect(), (TRect{200, 200, 600, 400}));
    EXPECT_EQ(image.ImageData().Picture().ImageID(), "/pictures/wide.png");
    EXPECT_EQ(image.ImageData().EffectiveClip(), (TRect{100, 0, 300, 100})) << "the rectangle's 2:1 from the middle";
    EXPECT_EQ(image.ImageData().LightFilter().Brightness(), 20) << "the design's effects stay";
    EXPECT_EQ(UndoSteps(), 1);
    session.History().Undo();
    EXPECT_EQ(image.ImageData().Picture().Width(), 100);
}

TEST_F(StageActionsTest, PicturesAreFoundSelectedFirstAndMirroredWithTheirCrop)
{
    EXPECT_EQ(PictureToRetouch(site), nullptr);
    QImage halves = Filled(40, 20, Qt::red);
    for (int y = 0; y < 20; ++y)
        for (int x = 20; x < 40; ++x) halves.setPixel(x, y, qRgb(0, 0, 255));
    TLOImage& first = AddPicture(halves, {0, 0, 400, 200});
    TLOImage& second = AddPicture(halves, {0, 300, 400, 500});
    EXPECT_EQ(FirstPicture(site), &first);
    EXPECT_EQ(PictureToRetouch(site), &first);
    second.SetSelected(true);
    EXPECT_EQ(PictureToRetouch(site), &second);

    first.ImageData().ClipFilter().SetClipRect({0, 0, 10, 20});
    MirrorPicture(first);
    EXPECT_EQ(first.ImageData().Picture().Image().pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(first.ImageData().Picture().Image().pixel(39, 0), qRgb(255, 0, 0));
    EXPECT_EQ(first.ImageData().EffectiveClip(), (TRect{30, 0, 40, 20})) << "the same part of the picture stays cropped";
}

TEST(PictureGridTest, CellsStayInsideTheShapeClearOfTheHoleAndApart)
{
    for (TFaceShape shape : {fsDoughnut, fsRect, fsEllipse, fsBarrelCD}) {
        const TFaceInfo face = TFaceInfo(Face(shape)).AtOrigin();
        const QRegion printable = FaceRegion(face, true);
        for (int count : {1, 2, 4, 7, 12, 40}) {
            const std::vector<TRect> cells = PictureGridCells(Face(shape), count);
            ASSERT_EQ(int(cells.size()), count) << "shape " << shape << " count " << count;
            QRegion covered;
            for (const TRect& cell : cells) {
                EXPECT_TRUE((QRegion(cell.ToQRect()) - printable).isEmpty()) << "shape " << shape << " count " << count;
                EXPECT_FALSE(covered.intersects(cell.ToQRect()));
                covered += cell.ToQRect();
                EXPECT_NEAR(cell.Width(), cells[0].Width(), 1);
            }
        }
    }
    // On a disc one picture goes above the hole, two above and below it.
    const std::vector<TRect> one = PictureGridCells(Face(fsDoughnut), 1);
    EXPECT_EQ(one[0].left + one[0].right, 1190) << "in the middle";
    EXPECT_LE(one[0].bottom, 595 - 195) << "above the hole";
    const std::vector<TRect> two = PictureGridCells(Face(fsDoughnut), 2);
    EXPECT_NEAR(two[0].left + two[0].right + two[1].left + two[1].right, 2 * 1190, 4) << "balanced about the middle";
    EXPECT_NEAR(two[0].top + two[0].bottom + two[1].top + two[1].bottom, 2 * 1190, 4);
    // A plain square takes four pictures as two by two, the whole face.
    const std::vector<TRect> square = PictureGridCells(Face(fsRect), 4);
    EXPECT_EQ(square[0], (TRect{10, 10, 595, 595}));
    EXPECT_EQ(square[3], (TRect{595, 595, 1180, 1180}));
}

TEST_F(StageActionsTest, PicturesInAGridArePlacedKeepingTheirShapeInOneStep)
{
    std::vector<std::unique_ptr<TLOImage>> pictures;
    for (QSize size : {QSize(200, 100), QSize(100, 200), QSize(50, 50)}) {
        pictures.push_back(std::make_unique<TLOImage>());
        pictures.back()->ImageData().Picture().SetImage(Filled(size.width(), size.height(), Qt::green));
    }
    const TFaceGeometry face = Face(fsDoughnut);
    const std::vector<TRect> cells = PictureGridCells(face, 3);
    PlacePicturesInGrid(site, face, std::move(pictures));

    ASSERT_EQ(site.ChildCount(), 3);
    for (int i = 0; i < 3; ++i) {
        const auto& image = static_cast<const TLOImage&>(site.Child(i));
        const TRect placed = image.Rect();
        EXPECT_TRUE(image.Selected());
        EXPECT_EQ(placed.Intersected(cells[size_t(i)]), placed) << "in its own cell";
        const double aspect = double(image.ImageData().Picture().Width()) / image.ImageData().Picture().Height();
        EXPECT_NEAR(double(placed.Width()) / placed.Height(), aspect, 0.02);
    }
    EXPECT_EQ(UndoSteps(), 1);
    session.History().Undo();
    EXPECT_EQ(site.ChildCount(), 0);
}

}  // namespace
}  // namespace kestrel

#include "objects/OnePoint.h"

#include <QFile>
#include <gtest/gtest.h>

#include "document/ObjectKinds.h"
#include "objects/PictureObject.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

// Left half in the genre's drawing colour (0x933A1F as 0x00BBGGRR is #1F3A93), right half grey.
QString WriteTwoColourIllustration()
{
    const QString file = test::TestFolder() + QStringLiteral("/two.svg");
    QFile out(file);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("<svg xmlns='http://www.w3.org/2000/svg' width='200' height='100' viewBox='0 0 200 100'>"
              "<rect x='0' y='0' width='100' height='100' fill='#1F3A93'/>"
              "<rect x='100' y='0' width='100' height='100' fill='#808080'/></svg>");
    return file;
}

TEST(OnePoint, TheColourChangeRecoloursTheDrawingColourAndNothingElse)
{
    const QString file = WriteTwoColourIllustration();
    constexpr TColor genreColour = 0x933A1F;
    const QImage plain = IllustrationPicture(file, genreColour, genreColour, 200);
    ASSERT_EQ(plain.size(), QSize(200, 100));
    EXPECT_EQ(plain.pixel(50, 50) & 0xFFFFFF, 0x1F3A93u);

    const QImage red = IllustrationPicture(file, genreColour, clRed, 200);
    EXPECT_EQ(red.pixel(50, 50) & 0xFFFFFF, 0xFF0000u) << "the drawing colour takes the picked one";
    EXPECT_EQ(red.pixel(0, 0) & 0xFFFFFF, 0xFF0000u) << "edges too: drawn without smoothing";
    EXPECT_EQ(red.pixel(150, 50) & 0xFFFFFF, 0x808080u) << "other colours stay";

    const QImage kept = IllustrationPicture(file, clNone, clRed, 200);
    EXPECT_EQ(kept.pixel(50, 50) & 0xFFFFFF, 0x1F3A93u) << "a genre without a drawing colour keeps its colours";
}

TEST(OnePoint, AnInsertedIllustrationIsAOnePointPictureAtItsNaturalSize)
{
    const QString file = WriteTwoColourIllustration();
    TLOImage image;
    SetIllustration(image, file, 0x933A1F, clBlue);
    EXPECT_EQ(image.ImageSource(), isOnePoint);
    EXPECT_EQ(image.ImageData().Picture().ImageID(), file);
    EXPECT_EQ(image.ImageData().Picture().Width(), IllustrationPictureSize);
    EXPECT_EQ(image.ImageData().Picture().Image().pixel(10, 10) & 0xFFFFFF, 0x0000FFu);
    // 600 × 300 pixels at 180 dpi.
    EXPECT_EQ(image.Rect().Width(), 847);
    EXPECT_EQ(image.Rect().Height(), 423);

    const TObjectKind* kind = TObjectKinds::Global().Find("TLOOnePoint");
    ASSERT_TRUE(kind);
    EXPECT_EQ(kind->caption, QStringLiteral("ワンポイントイラスト(&O)..."));
    EXPECT_TRUE(kind->editorFirst);
}

}  // namespace
}  // namespace kestrel

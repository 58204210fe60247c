// Shapes in documents: every setting survives saving and reopening, the streams come out the
// same, and an independent reader understands them.

#include <gtest/gtest.h>

#include <QFile>

#include "document/DOList.h"
#include "document/storage/DocStorage.h"
#include "document/storage/DocStream.h"
#include "document/stream/ObjectStream.h"
#include "label/LabelDocumentFixtures.h"
#include "objects/LOAlphaMask.h"
#include "objects/LODecoLine.h"
#include "objects/LOLine.h"
#include "objects/LORect.h"
#include "platform/BoundedReader.h"
#include "support/FpcStreamCheck.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

void UseGradation(TColorSpec& spec, std::initializer_list<TColor> stops, rgGradationKind kind, int angle)
{
    spec.SetKind(cskGradation);
    spec.GradColors().SetCount(int(stops.size()));
    int i = 0;
    for (TColor c : stops) spec.GradColors().SetStop(i++, c);
    spec.SetGradKind(kind);
    spec.SetGradAngle(angle);
}

// Every shape kind, between them using every setting the shapes have; all lie on a 600 x 600
// face (a document moves objects whose centre is off the face).
std::vector<std::unique_ptr<TDrawObject>> EveryShape()
{
    std::vector<std::unique_ptr<TDrawObject>> shapes;
    auto line = std::make_unique<TLOLine>();
    line->SetStartPoint({100, 120});
    line->SetEndPoint({400, 80});
    line->SetLineWidth(25);
    line->LineColor().SetColor(0x00336699);
    line->SetBlendRatio(60);
    line->SetDontPrint(true);
    line->SetAppendix({QStringLiteral("メモ")});
    shapes.push_back(std::move(line));

    auto graded = std::make_unique<TLOLine>();
    graded->SetStartPoint({100, 0});
    graded->SetEndPoint({50, 300});
    UseGradation(graded->LineColor(), {0x0000FF, 0x00FF00, 0xFF0000}, rgkConeClockwise, 45);
    graded->LineColor().GradColors().SetRepeatCount(2);
    shapes.push_back(std::move(graded));

    auto curve = std::make_unique<TLOCurve>();
    curve->SetStartPoint({0, 500});
    curve->SetEndPoint({300, 520});
    curve->SetBulge(-80);
    QImage tile(4, 4, QImage::Format_RGB32);
    tile.fill(Qt::darkGreen);
    curve->LineColor().SetKind(cskBitmap);
    curve->LineColor().SetPicture(tile);
    curve->LineColor().SetTile(true);
    curve->LineColor().SetTileShift(true);
    shapes.push_back(std::move(curve));

    auto rounded = std::make_unique<TLORect>();
    rounded->SetBounds({50, 50, 350, 170});
    rounded->SetRoundRect(true);
    rounded->SetFillInside(true);
    rounded->SetFrameWidth(30);
    rounded->SetAngle(30);
    UseGradation(rounded->FrameColor(), {0x0000FF, 0xFF0000}, rgkBoxToCenter, 270);
    rounded->FillColor().SetColor(0x00CCEEFF);
    rounded->FillColor().SetStyle(TBrushStyle::bsCross);
    rounded->SetBlendShade(true);
    shapes.push_back(std::move(rounded));

    auto bare = std::make_unique<TLORect>();
    bare->SetBounds({100, 100, 110, 110});
    bare->SetFrameWidth(0);
    shapes.push_back(std::move(bare));

    auto circle = std::make_unique<TLOCircle>();
    circle->SetBounds({200, 200, 500, 400});
    circle->SetAngle(-45);
    circle->SetFillInside(true);
    UseGradation(circle->FillColor(), {0xFFFFFF, 0x000000}, rgkCircleToRim, 270);
    circle->SetMovable(false);
    circle->SetLayerGroup(2);
    shapes.push_back(std::move(circle));

    auto deco = std::make_unique<TLODecoLine>();
    deco->SetStartPoint({60, 580});
    deco->SetEndPoint({540, 560});
    deco->SetLineWidth(36);
    QImage pattern(12, 6, QImage::Format_RGB32);
    pattern.fill(Qt::magenta);
    deco->SetImage(pattern);
    shapes.push_back(std::move(deco));

    auto shade = std::make_unique<TLOAlphaMask>();
    shade->SetBounds({300, 300, 520, 450});
    QImage grey(16, 8, QImage::Format_Grayscale8);
    grey.fill(200);
    shade->Picture().SetImage(grey);
    shade->SetShadeSize(4);
    shade->SetAngle(15);
    UseGradation(shade->FillColor(), {0x00FFFF, 0x800000}, rgkCircleToCenter, 270);
    shade->SetBlendRatio(75);
    shapes.push_back(std::move(shade));
    return shapes;
}

QByteArray FaceStream(const QString& file)
{
    TFileStorage storage(file, ModeRead);
    return TDocStream::Open(storage, ModeRead, QStringLiteral("Sheets\\NameList0\\NameList0"))->ReadAll();
}

QByteArray StreamOf(const std::vector<std::unique_ptr<TDrawObject>>& objects)
{
    QByteArray bytes;
    for (const auto& object : objects) WriteObject(bytes, *object);
    return bytes;
}

TEST(ShapeStreams, ADocumentSavesReopensAndSavesTheSameStreams)
{
    const QString first = test::TestFolder() + "/first.mld", second = test::TestFolder() + "/second.mld";
    std::vector<std::unique_ptr<TDrawObject>> shapes = EveryShape();
    const QByteArray original = StreamOf(shapes);
    {
        TLabelData document;
        document.SetPaper(*test::SquarePaper(1));
        TDOList list;
        for (auto& shape : shapes) list.Add(*shape);
        document.SaveFaceObjects(0, list);
        document.SaveToFile(first);
    }
    {
        TLabelData document;
        document.LoadFromFile(first);
        TDOList list;
        document.LoadFaceObjects(0, list);
        std::vector<std::unique_ptr<TDrawObject>> read = list.ReleaseAll();
        ASSERT_EQ(read.size(), shapes.size());
        // Stored back to front; the list comes back in stored order.
        std::reverse(read.begin(), read.end());
        EXPECT_EQ(StreamOf(read), original);
        for (auto& object : read) list.Add(*object);
        document.SaveFaceObjects(0, list);
        document.SaveToFile(second);
    }
    EXPECT_EQ(FaceStream(second), FaceStream(first));
}

TEST(ShapeStreams, ReadBackShapesKeepEverySetting)
{
    const std::vector<std::unique_ptr<TDrawObject>> shapes = EveryShape();
    for (const auto& shape : shapes) {
        QByteArray bytes;
        WriteObject(bytes, *shape);
        TBoundedReader in(bytes);
        const std::unique_ptr<TComponent> read = ReadObject(in);
        ASSERT_EQ(read->ClassName(), shape->ClassName());
        auto& object = dynamic_cast<TDrawObject&>(*read);
        EXPECT_EQ(object.GetBounds(), shape->GetBounds()) << shape->ClassName().constData();
    }
    auto& rounded = dynamic_cast<TLORect&>(*shapes[3]);
    QByteArray bytes;
    WriteObject(bytes, rounded);
    TBoundedReader in(bytes);
    const std::unique_ptr<TComponent> read = ReadObject(in);
    auto& back = dynamic_cast<TLORect&>(*read);
    EXPECT_TRUE(back.RoundRect());
    EXPECT_TRUE(back.FillInside());
    EXPECT_EQ(back.Angle(), 30);
    EXPECT_EQ(back.FrameColor().Kind(), cskGradation);
    EXPECT_EQ(back.FrameColor().GradKind(), rgkBoxToCenter);
    EXPECT_EQ(back.FillColor().Style(), TBrushStyle::bsCross);
}

TEST(ShapeStreams, FreePascalReadsTheShapes)
{
    const QString helper = test::BuildFpcStreamCheck();
    ASSERT_FALSE(helper.isEmpty());
    const std::vector<std::unique_ptr<TDrawObject>> shapes = EveryShape();
    const QList<QByteArray> expected = {
        "StartX = 100", "LineWidth = 25",   "LineColor.GradColors.RepeatCount = 2",
        "Bulge = -80",  "RoundRect = True", "FrameColor.Kind = cskGradation",
        "Angle = -45",  "Image.Data = {",   "ShadeSize = 4", "Picture.Data = {",
        "FillColor.GradKind = rgkCircleToCenter"};
    QByteArray text;
    for (size_t i = 0; i < shapes.size(); ++i) {
        const QString file = test::TestFolder() + QStringLiteral("/shape%1.bin").arg(i);
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        QByteArray bytes;
        WriteObject(bytes, *shapes[i]);
        out.write(bytes);
        out.close();
        const QByteArray shown = test::RunFpcStreamCheck(helper, QStringLiteral("totext"), file);
        EXPECT_TRUE(shown.contains(shapes[i]->ClassName())) << shown.constData();
        if (i == 0) {
            EXPECT_FALSE(shown.contains("Angle")) << "a line's angle follows from its ends, never stored";
        }
        text += shown;
    }
    for (const QByteArray& line : expected) EXPECT_TRUE(text.contains(line)) << line.constData();
}

}  // namespace
}  // namespace kestrel

#include "render/ColorSpec.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include "document/stream/ObjectStream.h"
#include "document/stream/ValueCodec.h"
#include "platform/BoundedReader.h"
#include "platform/Error.h"
#include "render/ColorSpecHistory.h"

namespace kestrel {
namespace {

constexpr TColor Red = RGBColor(255, 0, 0), Blue = RGBColor(0, 0, 255);

QByteArray StreamOf(const TColorSpec& spec)
{
    TColorSpecWrapper wrapper;
    wrapper.ColorSpec().Assign(spec);
    QByteArray out;
    WriteObject(out, wrapper);
    return out;
}

std::unique_ptr<TColorSpecWrapper> Read(const QByteArray& bytes)
{
    auto wrapper = std::make_unique<TColorSpecWrapper>();
    TBoundedReader in(bytes);
    ReadObjectInto(in, *wrapper);
    return wrapper;
}

// A hand-made stream with the given property records of "ColorSpec".
class TOldStream {
public:
    TOldStream() : writer_(bytes_)
    {
        bytes_ = "TPF0";
        writer_.WriteShortString("TColorSpecWrapper");
        writer_.WriteShortString("");
    }
    TWriter& Prop(const char* name)
    {
        writer_.WriteShortString(QByteArray(QByteArray("ColorSpec.") + name));
        return writer_;
    }
    QByteArray Done()
    {
        writer_.WriteListEnd();
        writer_.WriteListEnd();
        return bytes_;
    }

private:
    QByteArray bytes_;
    TWriter writer_;
};

QByteArray ColorsRecord(int32_t count, const std::vector<int32_t>& colors)
{
    QByteArray data;
    TWriter w(data);
    w.WriteInt32(count);
    for (int32_t c : colors) w.WriteInt32(c);
    return data;
}

QImage Picture(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

TEST(ColorSpecStream, DefaultsWriteNoProperty)
{
    TColorSpec spec;
    QByteArray expected = "TPF0";
    TWriter w(expected);
    w.WriteShortString("TColorSpecWrapper");
    w.WriteShortString("");
    w.WriteListEnd();
    w.WriteListEnd();
    EXPECT_EQ(StreamOf(spec), expected);
}

TEST(ColorSpecStream, EverythingRoundTripsAndLegacyPropertiesAreNeverWritten)
{
    TColorSpec spec;
    spec.SetKind(cskGradation);
    spec.SetColor(Red);
    spec.SetStyle(TBrushStyle::bsCross);
    spec.SetTile(true);
    spec.SetTileShift(true);
    spec.SetGradAngle(45);
    spec.SetGradKind(rgkConeClockwise);
    spec.GradColors().SetStops({Red, Blue, clWhite});
    spec.GradColors().SetRepeatCount(3);
    spec.SetPicture(Picture(3, 2, Qt::green));
    const QByteArray bytes = StreamOf(spec);
    EXPECT_FALSE(bytes.contains("GradDir"));
    EXPECT_FALSE(bytes.contains("GradColNum"));
    EXPECT_FALSE(bytes.contains("ColorSpec.Bitmap"));
    EXPECT_TRUE(bytes.contains("ColorSpec.GradColors.Colors"));
    EXPECT_TRUE(bytes.contains("ColorSpec.ImageData.Picture.Data"));

    const auto wrapper = Read(bytes);
    const TColorSpec& back = wrapper->ColorSpec();
    EXPECT_EQ(back.Kind(), cskGradation);
    EXPECT_EQ(back.Color(), Red);
    EXPECT_EQ(back.Style(), TBrushStyle::bsCross);
    EXPECT_TRUE(back.Tile());
    EXPECT_TRUE(back.TileShift());
    EXPECT_EQ(back.GradAngle(), 45);
    EXPECT_EQ(back.GradKind(), rgkConeClockwise);
    EXPECT_EQ(back.GradColors().Stops(), (std::vector<TColor>{Red, Blue, clWhite}));
    EXPECT_EQ(back.GradColors().RepeatCount(), 3);
    EXPECT_EQ(back.Picture().convertToFormat(QImage::Format_RGB32), spec.Picture());
    EXPECT_EQ(StreamOf(back), bytes);
}

TEST(ColorSpecStream, OldDirectionsAndStopPropertiesConvert)
{
    TOldStream old;
    old.Prop("GradDir").WriteIdent("rgdRightTopToLeftBottom");
    old.Prop("GradColNum").WriteInteger(3);
    old.Prop("GradColor0").WriteInteger(Red);
    old.Prop("GradColor1").WriteIdent("clBlue");
    old.Prop("GradColor2").WriteInteger(0x00FF00);
    old.Prop("GradColor5").WriteInteger(0x123456);
    const auto wrapper = Read(old.Done());
    TColorSpec& spec = wrapper->ColorSpec();
    EXPECT_EQ(spec.GradKind(), rgkSimple);
    EXPECT_EQ(spec.GradAngle(), 45);
    EXPECT_EQ(spec.GradDir(), rgdRightTopToLeftBottom);
    EXPECT_EQ(spec.GradColors().Stops(), (std::vector<TColor>{Red, Blue, 0x00FF00}));

    spec.SetGradDir(rgdRimToCenter);
    EXPECT_EQ(spec.GradKind(), rgkBoxToCenter);
    EXPECT_EQ(spec.GradAngle(), 0);
    EXPECT_EQ(spec.GradDir(), rgdRimToCenter);
    spec.SetGradKind(rgkSimple);
    spec.SetGradAngle(100);
    EXPECT_EQ(spec.GradDir(), rgdLeftToRight);
}

TEST(ColorSpecStream, OldBitmapBecomesThePictureUnlessEmpty)
{
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    Picture(4, 4, Qt::red).save(&buffer, "BMP");
    QByteArray data;
    TWriter(data).WriteInt32(int32_t(bmp.size()));
    data += bmp;

    TOldStream old;
    old.Prop("Kind").WriteIdent("cskBitmap");
    old.Prop("Bitmap.Data").WriteBinary(data);
    const auto read = Read(old.Done());
    const TColorSpec& spec = read->ColorSpec();
    EXPECT_EQ(spec.Kind(), cskBitmap);
    EXPECT_EQ(spec.Picture().size(), QSize(4, 4));

    TOldStream emptyBitmap;
    emptyBitmap.Prop("Bitmap.Data").WriteBinary(QByteArray(4, '\0'));
    TColorSpecWrapper wrapper;
    wrapper.ColorSpec().SetPicture(Picture(2, 2, Qt::blue));
    TBoundedReader in(emptyBitmap.Done());
    ReadObjectInto(in, wrapper);
    EXPECT_EQ(wrapper.ColorSpec().Picture().size(), QSize(2, 2));
}

TEST(ColorSpecStream, HostileStopCountsAreRefused)
{
    for (const QByteArray& record : {ColorsRecord(-1, {}), ColorsRecord(3, {Red, Blue}),
                                     ColorsRecord(0x40000000, {Red}), ColorsRecord(1, {Red, Blue}), QByteArray(2, 1)}) {
        TOldStream old;
        old.Prop("GradColors.Colors").WriteBinary(record);
        EXPECT_THROW(Read(old.Done()), EReadError);
    }
    TOldStream old;
    old.Prop("GradColNum").WriteInteger(2000000000);
    old.Prop("GradColor7").WriteInteger(Red);
    const auto wrapper = Read(old.Done());
    const TColorSpec& spec = wrapper->ColorSpec();
    EXPECT_EQ(spec.GradColors().Count(), TColorSpec::LegacyColorCount);
    EXPECT_EQ(spec.GradColors().Stop(7), Red);
}

TEST(GradationColors, RepeatsStopsAndCountsRepeatsBelowOneAsOne)
{
    TGradationColors colors;
    EXPECT_EQ(colors.Stops(), (std::vector<TColor>{clWhite, clBlack}));
    colors.SetStops({Red, Blue});
    colors.SetRepeatCount(2);
    const TGradationColorList repeated = colors.GetColorArray();
    ASSERT_EQ(repeated.Count(), 4);
    EXPECT_EQ((std::vector<TColor>{repeated.At(0), repeated.At(1), repeated.At(2), repeated.At(3)}),
              (std::vector<TColor>{Red, Blue, Red, Blue}));
    colors.SetRepeatCount(0);
    EXPECT_EQ(colors.GetColorArray().Count(), 2);
    colors.SetRepeatCount(-5);
    EXPECT_EQ(colors.GetColorArray().Count(), 2);
    colors.SetRepeatCount(2000000000);
    EXPECT_EQ(colors.GetColorArray().Count(), 2 * TGradationColors::MaxEffectiveRepeat);
    EXPECT_THROW(colors.Stop(2), EKestrel);
    EXPECT_THROW(colors.SetStop(-1, Red), EKestrel);
    colors.SetCount(3);
    EXPECT_EQ(colors.Stop(2), clBlack);
    colors.Reverse();
    EXPECT_EQ(colors.Stops(), (std::vector<TColor>{clBlack, Blue, Red}));
}

TEST(ColorSpec, ChangesNotifyOncePerBatchAndStopChangesAreForwarded)
{
    TColorSpec spec;
    int changes = 0;
    spec.SetOnChange([&] { ++changes; });
    spec.SetColor(clBlack);
    EXPECT_EQ(changes, 0);
    spec.SetColor(Red);
    EXPECT_EQ(changes, 1);
    spec.GradColors().SetStop(0, Blue);
    EXPECT_EQ(changes, 2);
    spec.SetPicture(Picture(2, 2, Qt::red));
    EXPECT_EQ(changes, 3);

    TColorSpec source;
    source.SetKind(cskGradation);
    source.SetColor(Blue);
    source.SetGradAngle(90);
    source.GradColors().SetStops({Red, Red, Blue});
    spec.Assign(source);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(spec.GradColors().Count(), 3);
    EXPECT_TRUE(spec.Picture().isNull());

    TColorSpec solid;
    solid.GradColors().SetStops({Blue});
    spec.Assign(solid);  // gradation settings only come with a gradation
    EXPECT_EQ(spec.GradColors().Count(), 3);
    EXPECT_EQ(spec.Kind(), cskSolid);
}

TEST(ColorSpec, PictureKindWithoutPictureCountsAsSolid)
{
    TColorSpec spec;
    spec.SetKind(cskBitmap);
    EXPECT_EQ(spec.Kind(), cskSolid);
    EXPECT_EQ(spec.StoredKind(), cskBitmap);
    spec.SetPicture(Picture(2, 2, Qt::red));
    EXPECT_EQ(spec.Kind(), cskBitmap);
}

struct TFillSurface {
    QImage image{200, 200, QImage::Format_RGB32};
    std::unique_ptr<TCanvas> canvas;
    TFillSurface()
    {
        image.fill(Qt::white);
        canvas = std::make_unique<TCanvas>(image);
    }
};

TEST(ColorSpecFill, SolidFillsRestoreTheCanvasAndInvertedUndoesItself)
{
    TFillSurface s;
    TColorSpec spec;
    spec.SetColor(Red);
    s.canvas->SetBrush({Blue, TBrushStyle::bsClear});
    spec.FillRect(*s.canvas, {10, 10, 50, 50});
    EXPECT_EQ(s.canvas->Pixel({30, 30}), Red);
    EXPECT_EQ(s.canvas->Brush().color, Blue);
    spec.FillRectInverted(*s.canvas, {10, 10, 50, 50});
    EXPECT_EQ(s.canvas->Pixel({30, 30}), clBlack);
    EXPECT_TRUE(spec.IsPureColor(*s.canvas));
    spec.SetStyle(TBrushStyle::bsCross);
    EXPECT_FALSE(spec.IsPureColor(*s.canvas));
}

TEST(ColorSpecFill, PicturesStretchOrTileWithShiftedRows)
{
    TFillSurface s;
    QImage picture(101, 10, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    for (int y = 0; y < 10; ++y) picture.setPixelColor(0, y, Qt::red);  // marks each tile's left edge
    TColorSpec spec;
    spec.SetKind(cskBitmap);
    spec.SetPicture(picture);
    spec.SetTile(true);
    spec.SetTileShift(true);
    {
        TClipGuard clip(*s.canvas);
        s.canvas->IntersectClipRect({0, 0, 200, 20});
        spec.FillRect(*s.canvas, {20, 0, 200, 20});
    }
    EXPECT_EQ(s.canvas->Pixel({20, 5}), Red);    // row 0 starts at the left edge
    EXPECT_EQ(s.canvas->Pixel({121, 5}), Red);   // next tile
    EXPECT_EQ(s.canvas->Pixel({70, 15}), Red);   // row 1 starts 51 units further left: 20 - 51 + 101
    EXPECT_EQ(s.canvas->Pixel({10, 15}), Blue);  // a shifted tile reaches left of the rectangle
    EXPECT_EQ(s.canvas->Pixel({10, 5}), clWhite);

    spec.SetTile(false);
    spec.FillRect(*s.canvas, {0, 100, 200, 150});
    EXPECT_EQ(s.canvas->Pixel({100, 125}), Blue);
    EXPECT_EQ(s.canvas->Pixel({100, 160}), clWhite);
}

TEST(ColorSpecFill, TinyTilesOverLargeAreasMatchTheTileByTileResult)
{
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    picture.setPixelColor(0, 0, Qt::red);
    picture.setPixelColor(0, 1, Qt::red);
    TColorSpec spec;
    spec.SetKind(cskBitmap);
    spec.SetPicture(picture);
    spec.SetTile(true);
    spec.SetTileShift(true);
    TFillSurface few, many;
    spec.FillRect(*few.canvas, {0, 0, 30, 20});     // 10 x 10 tiles, drawn one by one
    spec.FillRect(*many.canvas, {0, 0, 200, 200});  // far more: one pattern fill
    EXPECT_EQ(many.canvas->Pixel({3, 0}), Red);
    EXPECT_EQ(many.canvas->Pixel({4, 2}), Red);  // the second row starts 2 units further left
    EXPECT_EQ(many.canvas->Pixel({3, 2}), Blue);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) ASSERT_EQ(many.canvas->Pixel({x, y}), few.canvas->Pixel({x, y})) << x << "," << y;
}

TEST(ColorSpecFill, SampleShowsTheCheckerboardUnderAClearBrush)
{
    TFillSurface s;
    TColorSpec spec;
    spec.SetStyle(TBrushStyle::bsClear);
    spec.DrawSample(*s.canvas, {0, 0, 32, 32});
    EXPECT_EQ(s.canvas->Pixel({3, 3}), 0x808080);
    EXPECT_EQ(s.canvas->Pixel({11, 3}), clWhite);
    EXPECT_EQ(s.canvas->Pixel({3, 11}), clWhite);
    EXPECT_EQ(s.canvas->Pixel({11, 11}), 0x808080);
    spec.SetStyle(TBrushStyle::bsSolid);
    spec.SetColor(Red);
    spec.DrawSample(*s.canvas, {0, 0, 32, 32});
    EXPECT_EQ(s.canvas->Pixel({11, 3}), Red);
}

}  // namespace
}  // namespace kestrel

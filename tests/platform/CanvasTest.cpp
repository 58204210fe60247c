#include "platform/Canvas.h"

#include <QPdfWriter>
#include <gtest/gtest.h>

#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

QImage WhiteImage(int w = 40, int h = 40)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

TColor At(const QImage& image, int x, int y)
{
    return FromQColor(image.pixelColor(x, y));
}

TEST(Canvas, AnisotropicMappingWithDeviceOffsetRoundTrips)
{
    QImage image = WhiteImage();
    TCanvas canvas(image);
    canvas.SetMapping({QPoint(100, 50), QSize(10, 20), QPoint(3, 4), QSize(1, 1)});
    canvas.SetDeviceOffset({5, 6});
    // (x - 100) / 10 + 3 + 5, (y - 50) / 20 + 4 + 6
    EXPECT_EQ(canvas.LogToDev(QPoint(200, 250)), QPoint(18, 20));
    EXPECT_EQ(canvas.DevToLog(QPoint(18, 20)), QPoint(200, 250));
    EXPECT_EQ(canvas.LogToDev(QPoint(105, 50)), QPoint(9, 10));  // 0.5 rounds away from zero
    EXPECT_EQ(canvas.LogToDev(TRect{300, 450, 200, 250}), (TRect{18, 20, 28, 30}));

    canvas.SetWindowExt(QSize(0, 5));  // refused: would divide by zero
    EXPECT_EQ(canvas.Mapping().windowExt, QSize(10, 20));
}

TEST(Canvas, ShapesCoverLeftToRightMinusOneAndInsideFramePensStayInside)
{
    QImage image = WhiteImage();
    {
        TCanvas canvas(image);
        canvas.SetPen({clRed, 1, TPenStyle::psSolid, TPenMode::pmCopy});
        canvas.SetBrush({clBlue, TBrushStyle::bsSolid});
        canvas.Rectangle({2, 2, 12, 12});
        canvas.SetPen({clBlack, 4, TPenStyle::psInsideFrame, TPenMode::pmCopy});
        canvas.SetBrush({clWhite, TBrushStyle::bsClear});
        canvas.Rectangle({20, 20, 30, 30});
    }
    EXPECT_EQ(At(image, 2, 2), clRed);
    EXPECT_EQ(At(image, 11, 11), clRed);
    EXPECT_EQ(At(image, 12, 12), clWhite);
    EXPECT_EQ(At(image, 1, 1), clWhite);
    EXPECT_EQ(At(image, 6, 6), clBlue);

    EXPECT_EQ(At(image, 20, 25), clBlack);
    EXPECT_EQ(At(image, 23, 25), clBlack);
    EXPECT_EQ(At(image, 19, 25), clWhite);  // nothing outside the rectangle
    EXPECT_EQ(At(image, 30, 25), clWhite);
    EXPECT_EQ(At(image, 25, 25), clWhite);  // clear brush
}

TEST(Canvas, XorModeUndoesItselfAndRasterModesEndWithRestore)
{
    QImage image = WhiteImage();
    {
        TCanvas canvas(image);
        canvas.SetBrush({RGBColor(0x20, 0x40, 0x60), TBrushStyle::bsSolid});
        canvas.FillRect({0, 0, 40, 40});
        canvas.Save();
        canvas.SetPen({clWhite, 1, TPenStyle::psSolid, TPenMode::pmXor});
        canvas.SetBrush({clWhite, TBrushStyle::bsSolid});
        canvas.FillRect({0, 0, 10, 10});
        EXPECT_EQ(canvas.Pixel({5, 5}), RGBColor(0xDF, 0xBF, 0x9F));
        canvas.FillRect({0, 0, 5, 5});
        EXPECT_EQ(canvas.Pixel({2, 2}), RGBColor(0x20, 0x40, 0x60));
        canvas.Restore();
        EXPECT_EQ(canvas.Pen().mode, TPenMode::pmCopy);
        canvas.FillRect({20, 20, 30, 30});  // copy again after Restore
        EXPECT_EQ(canvas.Pixel({25, 25}), RGBColor(0x20, 0x40, 0x60));
        canvas.InvertRect({30, 30, 40, 40});
    }
    EXPECT_EQ(At(image, 35, 35), RGBColor(0xDF, 0xBF, 0x9F));
}

TEST(Canvas, ClippingIntersectsAndRestoreDropsIt)
{
    QImage image = WhiteImage();
    TCanvas canvas(image);
    canvas.SetBrush({clBlack, TBrushStyle::bsSolid});
    canvas.Save();
    canvas.IntersectClipRect({0, 0, 20, 20});
    canvas.IntersectClipRect({10, 10, 40, 40});
    EXPECT_EQ(canvas.ClipBox(), (TRect{10, 10, 20, 20}));
    EXPECT_FALSE(canvas.RectVisible({25, 25, 30, 30}));
    canvas.FillRect({0, 0, 40, 40});
    canvas.Restore();
    EXPECT_EQ(canvas.Pixel({15, 15}), clBlack);
    EXPECT_EQ(canvas.Pixel({5, 5}), clWhite);
    EXPECT_EQ(canvas.Pixel({25, 25}), clWhite);
    EXPECT_EQ(canvas.ClipBox(), (TRect{0, 0, 40, 40}));
}

TEST(Canvas, PathClippingIsInLogicalUnits)
{
    QImage image = WhiteImage();
    TCanvas canvas(image);
    canvas.SetMapping({QPoint(0, 0), QSize(10, 10), QPoint(0, 0), QSize(1, 1)});
    QPainterPath circle;
    circle.addEllipse(QRectF(0, 0, 400, 400));
    canvas.IntersectClipPath(circle);
    canvas.IntersectClipRect({0, 0, 400, 200});
    canvas.SetBrush({clBlack, TBrushStyle::bsSolid});
    canvas.FillRect({0, 0, 400, 400});
    EXPECT_EQ(At(image, 20, 5), clBlack);
    EXPECT_EQ(At(image, 1, 1), clWhite);    // outside the circle
    EXPECT_EQ(At(image, 20, 30), clWhite);  // below the rectangle
}

TEST(Canvas, ClipBoxAndDrawingFollowTheLogicalMapping)
{
    QImage image = WhiteImage();
    TCanvas canvas(image);
    canvas.SetMapping({QPoint(0, 0), QSize(10, 10), QPoint(0, 0), QSize(1, 1)});
    EXPECT_EQ(canvas.ClipBox(), (TRect{0, 0, 400, 400}));
    canvas.SetBrush({clRed, TBrushStyle::bsSolid});
    canvas.FillRect({100, 100, 200, 150});
    EXPECT_EQ(canvas.Pixel({100, 100}), clRed);
    EXPECT_EQ(At(image, 10, 10), clRed);
    EXPECT_EQ(At(image, 19, 14), clRed);
    EXPECT_EQ(At(image, 20, 14), clWhite);
}

TEST(Canvas, HatchBrushesLeaveTheBackgroundBetweenTheirLines)
{
    QImage image = WhiteImage();
    TCanvas canvas(image);
    canvas.SetBrush({clRed, TBrushStyle::bsDiagCross});
    canvas.FillRect({0, 0, 40, 40});
    int red = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) red += canvas.Pixel({x, y}) == clRed;
    EXPECT_GT(red, 100);
    EXPECT_LT(red, 1200);
}

TEST(Canvas, FontPointSizesFollowTheFontResolution)
{
    QImage image = WhiteImage(10, 10);
    TCanvas canvas(image);
    TFont font;
    font.size = 12;
    canvas.SetFont(font);
    canvas.SetFontResolution(72);
    const int small = canvas.TextExtent("あ").height();
    canvas.SetFontResolution(254);
    const int large = canvas.TextExtent("あ").height();
    EXPECT_NEAR(double(large) / small, 254.0 / 72, 0.6);
}

TEST(Canvas, SurfaceKindsAnswerPrinterAndBitmapQuestions)
{
    QImage image = WhiteImage();
    TCanvas bitmap(image);
    EXPECT_TRUE(bitmap.IsBitmapBacked());
    EXPECT_FALSE(bitmap.IsPrinter());

    QPdfWriter pdf(test::TestFolder() + "/out.pdf");
    TCanvas printer(pdf);
    EXPECT_TRUE(printer.IsPrinter());
    EXPECT_FALSE(printer.IsBitmapBacked());
    EXPECT_EQ(printer.Pixel({0, 0}), clNone);
}

TEST(Canvas, WrappingAnActivePainterHandsItBackUnchanged)
{
    QImage image = WhiteImage();
    QPainter painter(&image);
    {
        TCanvas canvas(painter);
        canvas.SetMapping({QPoint(0, 0), QSize(10, 10), QPoint(0, 0), QSize(1, 1)});
        canvas.Save();
        canvas.IntersectClipRect({0, 0, 10, 10});
    }
    EXPECT_TRUE(painter.worldTransform().isIdentity());
    EXPECT_FALSE(painter.hasClipping());
}

}  // namespace
}  // namespace kestrel

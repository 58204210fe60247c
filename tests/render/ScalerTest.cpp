#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>

#include "platform/Canvas.h"
#include "render/Scaler.h"

namespace kestrel {
namespace {

TScaler DocumentScaler(int scale = 100)
{
    TScaler scaler;
    scaler.SetUnitDPI(254);
    scaler.SetScale(scale);
    return scaler;
}

TEST(ScalerTest, MapsTenthsOfMillimetresToScreenPixelsRoundedToNearest)
{
    const TScaler scaler = DocumentScaler();
    EXPECT_EQ(scaler.LogToDev(1200, 96), 454);    // 453.5 rounds up
    EXPECT_EQ(scaler.LogToDev(-1200, 96), -454);  // and away from zero below it
    EXPECT_EQ(scaler.LogToDev(QPoint(254, 2540), 96), QPoint(96, 960));
    EXPECT_EQ(scaler.DevToLog(454, 96), 1201);  // 454 * 25400 / 9600 = 1201.04
    EXPECT_EQ(scaler.DevToLog(QPoint(96, -96), 96), QPoint(254, -254));
    // Printer resolution and a large sheet stay exact in 64 bits.
    EXPECT_EQ(DocumentScaler(800).LogToDev(2970000, 2400), 224503937);
}

TEST(ScalerTest, RectangleCoversEveryTouchedPixelAlsoForNegativeCoordinates)
{
    const TScaler scaler = DocumentScaler();
    EXPECT_EQ(scaler.LogToDevRect({0, 0, 1200, 1200}, 96), (TRect{0, 0, 454, 454}));
    // A bleed area left of and above the face: floor for left/top, ceiling for right/bottom.
    EXPECT_EQ(scaler.LogToDevRect({-30, -30, -10, 10}, 96), (TRect{-12, -12, -3, 4}));
    EXPECT_EQ(scaler.LogToDevRect({-254, 0, -127, 254}, 96), (TRect{-96, 0, -48, 96}));
}

TEST(ScalerTest, NonPositiveZoomAndUnitsAreRefusedAndStoredOnesBecomeDefaults)
{
    TScaler scaler = DocumentScaler(50);
    int changes = 0;
    scaler.SetOnChange([&] { ++changes; });
    scaler.SetScale(0);
    scaler.SetScale(-100);
    scaler.SetUnitDPI(0);
    EXPECT_EQ(scaler.Scale(), 50);
    EXPECT_EQ(scaler.UnitDPI(), 254);
    EXPECT_EQ(changes, 0);

    // Reading a damaged stored value goes through the property setter of the stream.
    const auto& props = TScaler::StaticClass().Properties();
    auto find = [&](const char* name) {
        return *std::find_if(props.begin(), props.end(), [&](const TPropInfo& p) { return p.name == name; });
    };
    find("Scale").SetOrdinal(scaler, 0);
    find("UnitDPI").SetOrdinal(scaler, -5);
    EXPECT_EQ(scaler.Scale(), TScaler::DefaultScale);
    EXPECT_EQ(scaler.UnitDPI(), ScreenDpi());
}

TEST(ScalerTest, ChangeIsRaisedOncePerChangeAndAfterAssign)
{
    TScaler target;
    int changes = 0;
    target.SetOnChange([&] { ++changes; });
    target.SetScale(200);
    target.SetScale(200);
    EXPECT_EQ(changes, 1);
    target.Assign(DocumentScaler(75));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(target.Scale(), 75);
    EXPECT_EQ(target.UnitDPI(), 254);
}

TEST(ScalerTest, FitScaleTakesTheSmallerRatioOrTheChosenAxis)
{
    const TScaler scaler = DocumentScaler(300);  // the zoom in use does not matter
    const QSize site(1200, 600);                 // 454 x 227 pixels at 100 %
    EXPECT_EQ(scaler.FitScale(site, {454, 100}, true, true, 96), 44);
    EXPECT_EQ(scaler.FitScale(site, {454, 100}, true, false, 96), 100);
    EXPECT_EQ(scaler.FitScale(site, {908, 100}, false, true, 96), 44);
    EXPECT_EQ(scaler.FitScale(site, {908, 100}, false, false, 96), 100);
    EXPECT_EQ(scaler.FitScale({0, 600}, {454, 100}, true, true, 96), 100);  // empty: nothing to fit
    EXPECT_EQ(scaler.FitScale(site, {1, 1}, true, true, 96), 1);            // never a refused zoom
}

TEST(ScalerTest, AppliedMappingDrawsLogicalUnitsAtTheZoomFromTheOldOrigin)
{
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(image);
    canvas.SetViewportOrg({20, 10});
    DocumentScaler(200).ApplyMapping(canvas, 96);
    EXPECT_EQ(canvas.Mapping().windowExt, QSize(127, 127));  // 25400 / 200 and 19200 / 200
    EXPECT_EQ(canvas.Mapping().viewportExt, QSize(96, 96));
    EXPECT_EQ(canvas.FontResolution(), 254);
    EXPECT_EQ(canvas.LogToDev(QPoint(0, 0)), QPoint(20, 10));
    EXPECT_EQ(canvas.LogToDev(QPoint(254, 127)), QPoint(20 + 192, 10 + 96));
}

}  // namespace
}  // namespace kestrel

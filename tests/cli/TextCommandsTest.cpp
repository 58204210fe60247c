#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>

#include "CliRun.h"
#include "document/DOList.h"
#include "label/LabelDocumentFixtures.h"
#include "support/TestEnvironment.h"
#include "text/LOText.h"

namespace kestrel {
namespace {

using test::RunCli;

TEST(TextCommands, FontsListsTheFacesAndTheSubstitutionsInForce)
{
    const test::TCliRun run = RunCli({"fonts"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"IPAGothic\tyes\tyes"_qs)) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(u"ＭＳ Ｐゴシック\tIPAPGothic"_qs));
    EXPECT_EQ(RunCli({"fonts", "extra"}).exitCode, 2);
}

// Renders face 1 of a document holding the one object; one pixel per logical unit.
QImage RenderFace(TDrawObject& object)
{
    const QString file = test::TestFolder() + "/text.mld", png = test::TestFolder() + "/text.png";
    {
        TLabelData document;
        document.SetPaper(*test::TwoDiscPaper());
        TDOList list;
        list.Add(object);
        document.SaveFaceObjects(0, list);
        document.SaveToFile(file);
    }
    const test::TCliRun run = RunCli({"render", file, "--face", "1", "--dpi", "254", "--out", png});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    return QImage(png);
}

TEST(TextCommands, RenderedArcTextLandsOnTheRingTheLayoutComputes)
{
    for (int angle : {0, 30, 90}) {
        TLOText text;
        text.SetText({u"ＴＩＴＬＥ 題名"_qs});
        text.SetBounds({200, 250, 1000, 400});
        text.SetBulge(200);
        text.SetAlign(1);
        text.SetAngle(angle);
        const QImage face = RenderFace(text);
        ASSERT_FALSE(face.isNull());
        const auto arc = text.Layout().ArcOf(text.Rect());
        ASSERT_TRUE(arc);
        const double half = text.Layout().LineHeight() / 2.0 + 2;
        int onRing = 0, offRing = 0;
        for (int y = 0; y < face.height(); ++y)
            for (int x = 0; x < face.width(); ++x) {
                if (qGray(face.pixel(x, y)) > 64) continue;
                const double r = std::hypot(x - arc->centre.x(), y - arc->centre.y());
                (std::abs(r - arc->radius) <= half ? onRing : offRing)++;
            }
        EXPECT_GT(onRing, 1000) << "angle " << angle;
        EXPECT_EQ(offRing, 0) << "angle " << angle;
    }
}

TEST(TextCommands, RenderedVerticalColumnRunsTopToBottom)
{
    TLOText text;
    text.SetVertical(true);
    text.SetBounds({500, 100, 700, 1000});
    text.SetText({u"縦書きの曲名リスト"_qs});
    const QImage face = RenderFace(text);
    ASSERT_FALSE(face.isNull());
    const int h = text.Layout().LineHeight();
    auto ink = [&](int top, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 700 - h; x < 700; ++x) n += qGray(face.pixel(x, y)) < 64;
        return n;
    };
    const int em = int(text.Font().EmHeight());
    EXPECT_GT(ink(100, 100 + em), 50);                  // the first character at the top
    EXPECT_GT(ink(100 + 8 * em, 100 + 9 * em), 50);     // the ninth below the eighth
    EXPECT_EQ(ink(100 + 9 * em + 5, 1000), 0);          // nothing after the last
}

TEST(TextCommands, RenderedRingShadowAndDistortionHaveTheirColoursAndPlaces)
{
    TLOText ringed;
    ringed.SetBounds({300, 300, 900, 500});
    ringed.SetText({u"■"_qs});
    ringed.EditFont().SetSize(48);
    ringed.EditTextColor().SetColor(clRed);
    ringed.SetOutline(true);
    ringed.SetOutLineWidth(8);
    ringed.EditOutlineColor().SetColor(clBlue);
    ringed.SetShadow(8);
    ringed.EditShadowColor().SetColor(RGBColor(0, 160, 0));
    const QImage face = RenderFace(ringed);
    ASSERT_FALSE(face.isNull());
    // Along the square's diagonal, out from its middle: fill, then ring, then shadow below right.
    const TRect ink = ringed.Layout().GetTextBounds(ringed.Rect());
    const QPoint middle((ink.left + ink.right) / 2, (ink.top + ink.bottom) / 2);
    QList<QRgb> seen;
    for (int d = 0; d < 150; ++d) {
        const QRgb p = face.pixel(middle + QPoint(d, d));
        if (p == qRgb(255, 0, 0) || p == qRgb(0, 0, 255) || p == qRgb(0, 160, 0))
            if (seen.isEmpty() || seen.back() != p) seen << p;
    }
    EXPECT_EQ(seen, (QList<QRgb>{qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 160, 0)}));

    TLOText bent;
    bent.SetBounds({200, 300, 1000, 600});
    bent.SetText({u"ＷＡＶＥ 波"_qs});
    TCoonsDistortion d = TCoonsDistortion::Identity();
    d.SetPointCount(cdsBottom, 3);
    d.SetPoint(cdsBottom, 1, {0.5L, 0.6L});  // the bottom pulled up in the middle
    d.SetSmooth(cdsBottom, 1, true);
    bent.SetCoonsDistortion(d);
    const QImage wave = RenderFace(bent);
    ASSERT_FALSE(wave.isNull());
    int inside = 0, outside = 0;
    for (int y = 0; y < wave.height(); ++y)
        for (int x = 0; x < wave.width(); ++x) {
            if (qGray(wave.pixel(x, y)) > 160) continue;
            // Below the bent bottom edge is outside the target shape: straight towards the
            // corners, a quadratic through the smooth middle point.
            const double u = std::clamp((x - 200) / 800.0, 0.0, 1.0), edge = std::min(u, 1 - u);
            const double s = 2 * edge - 0.5;
            const double curve = edge < 0.25 ? 1 - 0.8 * edge : (1 - s) * (1 - s) * 0.8 + 2 * s * (1 - s) * 0.6 + s * s * 0.8;
            const double bottom = 300 + 300 * curve;
            (x >= 198 && x <= 1002 && y >= 298 && y <= bottom + 3 ? inside : outside)++;
        }
    EXPECT_GT(inside, 2000);
    EXPECT_EQ(outside, 0);
}

}  // namespace
}  // namespace kestrel

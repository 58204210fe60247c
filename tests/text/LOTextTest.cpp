#include "text/LOText.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "document/DODesigner.h"
#include "document/DrawObjectFixtures.h"
#include "document/UndoFixtures.h"
#include "document/stream/JsonCodec.h"
#include "document/stream/ObjectStream.h"
#include "document/stream/ValueCodec.h"
#include "platform/BoundedReader.h"
#include "app/RuntimeFlags.h"
#include "imaging/BlendedPainting.h"
#include "platform/ArcGeometry.h"
#include "platform/Canvas.h"

namespace kestrel {
namespace {

QByteArray StreamOf(const TLOText& text)
{
    QByteArray out;
    WriteObject(out, text);
    return out;
}

std::unique_ptr<TLOText> Read(const QByteArray& bytes)
{
    auto text = std::make_unique<TLOText>();
    TBoundedReader in(bytes);
    ReadObjectInto(in, *text);
    return text;
}

// One logical unit per pixel, white ground.
QImage Render(TLOText& text, QSize size = {800, 800})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(image);
    canvas.SetFontResolution(LogicalUnitsPerInch);
    text.Paint(canvas);
    return image;
}

int CountInk(const QImage& image, const QRect& area, QRgb color)
{
    int n = 0;
    for (int y = std::max(0, area.top()); y <= std::min(image.height() - 1, area.bottom()); ++y)
        for (int x = std::max(0, area.left()); x <= std::min(image.width() - 1, area.right()); ++x)
            if (image.pixel(x, y) == color) ++n;
    return n;
}

TEST(LOTextStream, EverySettingSavesAndReopensToTheSameStream)
{
    TLOText text;
    text.SetBounds({10, 20, 610, 220});
    text.SetText({u"タイトル"_qs, u"Artist ｱｰﾃｨｽﾄ"_qs});
    text.EditFont().SetName(u"ＭＳ 明朝"_qs);
    text.EditFont().SetStyleFlag(fsBold, true);
    text.SetAlign(2);
    text.SetCharSpacing(3);
    text.SetLineSpacing(-4);
    text.SetAngle(-90);
    TCoonsDistortion d = TCoonsDistortion::Identity();
    d.SetPointCount(cdsTop, 3);
    text.SetCoonsDistortion(d);
    text.SetDistortionRatio(60);
    text.EditTextColor().SetColor(clRed);
    text.SetOutline(true);
    text.SetOutLineWidth(5);
    text.SetShadow(5);
    text.SetFieldNo(2);
    text.SetFieldType(ftCreatorEnglish);
    text.SetHanToZen(true);
    text.SetFeedAngle(45);
    EXPECT_EQ(text.Angle(), 270);
    const QByteArray first = StreamOf(text);
    const auto reopened = Read(first);
    EXPECT_EQ(StreamOf(*reopened), first);
    EXPECT_EQ(reopened->Text(), text.Text());
    EXPECT_EQ(reopened->Shadow(), 5);
    EXPECT_EQ(reopened->CoonsDistortion(), d);
    EXPECT_TRUE(first.contains("Font.Charset"));
    EXPECT_TRUE(first.contains("SHIFTJIS_CHARSET"));
    EXPECT_FALSE(first.contains("Font.Height"));
    EXPECT_FALSE(first.contains("ShadowOffsetX"));  // a preset stores the preset only
    text.SetShadowOffsetX(3);
    text.SetShadowOffsetY(3);
    EXPECT_EQ(text.Shadow(), 9);
    const QByteArray custom = StreamOf(text);
    EXPECT_TRUE(custom.contains("ShadowOffsetX"));
    EXPECT_EQ(Read(custom)->Shadow(), 9);
}

// A stream as older versions wrote it: the properties given, no Version unless asked.
QByteArray OldStream(const std::function<void(TWriter&)>& props)
{
    QByteArray bytes = "TPF0";
    TWriter w(bytes);
    w.WriteShortString("TLOText");
    w.WriteShortString("");
    props(w);
    w.WriteListEnd();
    w.WriteListEnd();
    return bytes;
}

void Prop(TWriter& w, const char* name, int value)
{
    w.WriteShortString(name);
    w.WriteInteger(value);
}

TEST(LOTextLoaded, OlderStreamsConvertAsTheyLoad)
{
    // Outline without width, DiagonalAlign 3, no Version and an arc: centred single-line arc text.
    const auto old = Read(OldStream([](TWriter& w) {
        Prop(w, "Left", 0), Prop(w, "Top", 0), Prop(w, "Width", 400), Prop(w, "Height", 200);
        w.WriteShortString("Text.Strings");
        w.WriteListBegin();
        w.WriteString(u"一行目"_qs);
        w.WriteString(u"二行目"_qs);
        w.WriteListEnd();
        w.WriteShortString("Outline");
        w.WriteBoolean(true);
        Prop(w, "CharSpacing", 7);
        Prop(w, "Bulge", 60);
        Prop(w, "DiagonalAlign", 3);
    }));
    EXPECT_EQ(old->OutLineWidth(), 1);
    EXPECT_EQ(old->FeedAngle(), -45);
    EXPECT_EQ(old->Align(), 1);
    EXPECT_EQ(old->CharSpacing(), 0);
    EXPECT_EQ(old->Text(), QStringList{u"一行目"_qs});
    EXPECT_FALSE(StreamOf(*old).contains("DiagonalAlign"));

    // Older vertical arc text: a square box about the same centre, turned back a quarter.
    const auto vertical = Read(OldStream([](TWriter& w) {
        Prop(w, "Left", 100), Prop(w, "Top", 100), Prop(w, "Width", 200), Prop(w, "Height", 400);
        w.WriteShortString("Vertical");
        w.WriteBoolean(true);
        Prop(w, "Bulge", -40);
    }));
    EXPECT_EQ(vertical->Rect(), (TRect{100, 200, 300, 400}));
    EXPECT_EQ(vertical->Angle(), 270);
    EXPECT_TRUE(vertical->Vertical());

    // Legacy half-circle alignment on a box smaller than the line: never below 1 x 1.
    const auto tiny = Read(OldStream([](TWriter& w) {
        Prop(w, "Version", 1);
        Prop(w, "Left", 100), Prop(w, "Top", 100), Prop(w, "Width", 30), Prop(w, "Height", 30);
        Prop(w, "Align", 4);
    }));
    EXPECT_GE(tiny->Rect().Width(), 1);
    EXPECT_GE(tiny->Rect().Height(), 1);
    EXPECT_EQ(tiny->Align(), 1);
    EXPECT_EQ(tiny->Bulge(), (30 - tiny->Layout().LineHeight()) / 2);
}

TEST(LOTextLoaded, ArcTextComposedWithoutVersionIsCurrentText)
{
    // A scene describes a current object: only binary streams without Version are of the old format.
    const auto composed = ObjectFromJson(ParseJson(R"({"class": "TLOText", "properties": {
        "Left": 0, "Top": 0, "Width": 400, "Height": 200, "Text": ["一行目", "二行目"],
        "Align": 2, "CharSpacing": 7, "Vertical": true, "Angle": 30, "Bulge": 60}})"),
                                             {});
    const auto* text = dynamic_cast<const TLOText*>(composed.get());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Text(), (QStringList{u"一行目"_qs, u"二行目"_qs}));
    EXPECT_EQ(text->Align(), 2);
    EXPECT_EQ(text->CharSpacing(), 7);
    EXPECT_EQ(text->Angle(), 30);
    EXPECT_EQ(text->Rect(), (TRect{0, 0, 400, 200}));
    // The same text read back from its stream is unchanged as well.
    EXPECT_EQ(Read(StreamOf(*text))->Text().size(), 2);
}

TEST(LOText, AnglesNormaliseAndVerticalTurnsTheBoxAboutItsCentre)
{
    TLOText text;
    text.SetAngle(-725);
    EXPECT_EQ(text.Angle(), 355);
    text.SetBounds({0, 0, 300, 100});
    text.SetVertical(true);
    EXPECT_EQ(text.Rect(), (TRect{100, -100, 200, 200}));
}

TEST(LOText, AutoSizeFitsTheTextAndKeepsTheAlignedEdge)
{
    test::TTestSite site;
    auto& text = static_cast<TLOText&>(site.InsertChild(std::make_unique<TLOText>()));
    text.SetBounds({100, 100, 1500, 600});
    text.SetAlign(2);
    text.SetText({u"長い長いテキスト"_qs});
    text.SetAutoSize(true);
    const TRect fitted = text.Rect();
    EXPECT_EQ(fitted.right, 1500);
    EXPECT_EQ(fitted.top, 100);
    EXPECT_EQ(fitted.Height(), text.Layout().LineHeight());
    EXPECT_LT(fitted.Width(), 1400);
    text.SetText({u"短"_qs});
    EXPECT_EQ(text.Rect().right, 1500);
    EXPECT_LT(text.Rect().Width(), fitted.Width());
    EXPECT_GE(text.Rect().Width(), TLOText::MinAutoSize);
}

// Accepts every edit after putting a line of text in.
class TTypingDesigner : public TDODesigner {
public:
    std::optional<bool> EditObject(TDrawObject& object) override
    {
        static_cast<TLOText&>(object).SetText({u"曲名"_qs});
        return true;
    }
};

TEST(LOText, ItsKindCreatesItWithItsTextAsOneUndoStep)
{
    test::TEditSite site;
    site.session.Designers().Register(std::make_unique<TTypingDesigner>());
    site.area = {0, 0, 1190, 1190};
    site.visible = site.area;
    const bool created = site.session.Designers().CreateOnSite(site, "TLOText");
    ASSERT_TRUE(created);
    ASSERT_EQ(site.ChildCount(), 1);
    auto& text = dynamic_cast<TLOText&>(site.Child(0));
    EXPECT_EQ(text.Text(), QStringList{u"曲名"_qs});
    EXPECT_TRUE(text.AutoSize());
    EXPECT_FALSE(text.Rect().IsEmpty());
    site.History().Undo();
    EXPECT_EQ(site.ChildCount(), 0);
}

TEST(LOText, InformationFieldsBeyondTheSetLeaveTheText)
{
    TLOText text;
    text.SetText({u"元"_qs});
    text.SetFieldNo(3);
    text.ApplyInformation(ftProduct, {u"a"_qs, u"b"_qs});
    EXPECT_EQ(text.Text(), QStringList{u"元"_qs});
    text.ApplyInformation(ftProduct, {u"a"_qs, u"b"_qs, u"c"_qs});
    EXPECT_EQ(text.Text(), QStringList{u"c"_qs});
}

TEST(SimpleText, JustifiedLinesSpreadToTheEndAndASingleCharacterStaysAtTheStart)
{
    TSimpleText layout;
    layout.SetAlign(3);
    layout.SetText({u"あ"_qs});
    const TRect box{0, 0, 1000, 200};
    EXPECT_EQ(layout.GetTextBounds(box).left, 0);
    const auto one = layout.Glyphs(box);
    ASSERT_EQ(one.size(), 1u);
    layout.SetText({u"あいう"_qs});
    const auto three = layout.Glyphs(box);
    ASSERT_EQ(three.size(), 3u);
    EXPECT_EQ(layout.GetTextBounds(box).right, 1000);
    // The last character's ink ends at the box's end edge.
    TPathPoints ink;
    layout.AppendOutline(ink, box, false);
    int right = INT_MIN;
    for (const TPathPoint& p : ink) right = std::max(right, p.point.x());
    EXPECT_NEAR(right, 1000, 1);
    layout.SetText({});
    EXPECT_EQ(layout.DisplayLines(), QStringList{EmptyTextPlaceholder});
}

TEST(SimpleText, TabsAdvanceToTheNextStopOfEightZeroWidths)
{
    TSimpleText layout;
    layout.SetText({u"abc\tx"_qs, u"0"_qs});
    const TRect box{0, 0, 2000, 400};
    const auto glyphs = layout.Glyphs(box);
    ASSERT_EQ(glyphs.size(), 5u);  // the tab draws nothing
    auto advance = [&](const QString& pair) {
        TSimpleText two;
        two.SetText({pair});
        const auto g = two.Glyphs(box);
        return g[1].origin.x() - g[0].origin.x();
    };
    // Three characters in, the tab spans five widths of "0".
    EXPECT_NEAR(glyphs[3].origin.x() - glyphs[2].origin.x(), advance(u"cx"_qs) + 5 * advance(u"00"_qs), 1);
}

TEST(SimpleText, FeedAngleStaircasesTheLinesAndUnderlinesSitBelowTheBaseline)
{
    TSimpleText layout;
    layout.SetText({u"あ"_qs, u"あ"_qs});
    layout.SetFeedAngle(45);
    const TRect box{0, 0, 1000, 400};
    const auto glyphs = layout.Glyphs(box);
    ASSERT_EQ(glyphs.size(), 2u);
    // 45 degrees: the first line is pushed along by the pitch times sin 45, the last stays.
    EXPECT_NEAR(glyphs[0].origin.x() - glyphs[1].origin.x(), layout.LinePitch() * std::sqrt(0.5), 1);
    layout.SetFeedAngle(0);
    layout.Font().SetStyleFlag(fsUnderline, true);
    const TPathPoints bars = layout.Decorations(box);
    ASSERT_EQ(bars.size(), 8u);  // one box per line
    const int baseline = int(std::lround(layout.Glyphs(box)[0].origin.y()));
    EXPECT_GT(bars[0].point.y(), baseline);
    EXPECT_LT(bars[0].point.y(), layout.LineHeight());
}

TEST(SimpleText, FeedAngleShiftsStartAndEndAlignedLinesOnly)
{
    TSimpleText layout;
    layout.SetText({u"あ"_qs, u"あ"_qs, u"あ"_qs});
    const TRect box{0, 0, 1000, 600};
    const double step = layout.LinePitch() * std::sqrt(0.5);
    for (const int align : {1, 3}) {
        layout.SetAlign(align);
        layout.SetFeedAngle(0);
        const auto straight = layout.Glyphs(box);
        layout.SetFeedAngle(45);
        const auto fed = layout.Glyphs(box);
        ASSERT_EQ(fed.size(), 3u);
        for (size_t i = 0; i < fed.size(); ++i) EXPECT_EQ(fed[i].origin, straight[i].origin) << align << " " << i;
    }
    // End alignment: -45 pushes the earlier lines back from the end, the last one stays at it.
    layout.SetAlign(2);
    layout.SetFeedAngle(0);
    const double end = layout.Glyphs(box)[2].origin.x();
    layout.SetFeedAngle(-45);
    const auto fed = layout.Glyphs(box);
    EXPECT_NEAR(fed[2].origin.x(), end, 0.5);
    EXPECT_NEAR(fed[0].origin.x(), end - 2 * step, 1);
}

TEST(SimpleText, ArcLinesWhoseInnerRadiusReachesZeroAreSkipped)
{
    TSimpleText layout;
    layout.SetText({u"外"_qs, u"中"_qs, u"内"_qs, u"奥"_qs, u"底"_qs});
    layout.SetBulge(50);
    const TRect box{0, 0, 200, 100};
    const auto arc = layout.ArcOf(box);
    ASSERT_TRUE(arc);
    EXPECT_NEAR(arc->radius, 200.0 * 200 / (8 * 50) + 25, 1e-9);
    const int h = layout.LineHeight();
    int drawable = 0;
    for (int i = 0; i < 5; ++i)
        if (arc->radius + h / 2.0 - i * layout.LinePitch() - h > 0) ++drawable;
    EXPECT_EQ(int(layout.Glyphs(box).size()), drawable);
    EXPECT_LT(drawable, 5);
}

TEST(LOTextPaint, ArcTextLandsOnTheRingTheLayoutComputes)
{
    TLOText text;
    text.SetText({u"ＡＢＣＤＥＦＧ"_qs});
    text.SetBounds({100, 300, 700, 400});
    text.SetBulge(150);
    text.SetAlign(1);
    const QImage image = Render(text);
    const auto arc = text.Layout().ArcOf(text.Rect());
    ASSERT_TRUE(arc);
    const int h = text.Layout().LineHeight();
    int inside = 0, outside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) > 100) continue;
            const double r = std::hypot(x - arc->centre.x(), y - arc->centre.y());
            (r >= arc->radius - h / 2.0 - 2 && r <= arc->radius + h / 2.0 + 2 ? inside : outside)++;
        }
    EXPECT_GT(inside, 500);
    EXPECT_EQ(outside, 0);
}

TEST(LOTextPaint, VerticalColumnRunsTopToBottomAtTheRightEdge)
{
    TLOText text;
    text.SetBounds({100, 100, 400, 700});
    text.SetVertical(true);  // the box turns to 600 x 300 about its centre
    text.SetBounds({100, 100, 400, 700});
    text.SetText({u"縦書き（テスト）ー"_qs});
    const QImage image = Render(text);
    const int h = text.Layout().LineHeight();
    EXPECT_GT(CountInk(image, QRect(400 - h, 100, h, 80), qRgb(0, 0, 0)), 50);   // first character at the top
    EXPECT_GT(CountInk(image, QRect(400 - h, 600, h, 100), qRgb(0, 0, 0)), 0) << "column reaches down";
    EXPECT_EQ(CountInk(image, QRect(100, 100, 300 - h - 2, 600), qRgb(0, 0, 0)), 0);  // nothing left of the column
}

TEST(LOTextPaint, OutlineRingAndShadowHaveTheirColours)
{
    TLOText text;
    text.SetBounds({100, 100, 700, 300});
    text.SetText({u"■"_qs});
    text.EditFont().SetSize(48);
    text.SetOutline(true);
    text.SetOutLineWidth(6);
    text.EditOutlineColor().SetColor(clBlue);
    text.EditTextColor().SetColor(clRed);
    text.SetShadow(8);
    text.EditShadowColor().SetColor(RGBColor(0, 128, 0));
    const QImage image = Render(text);
    const QRect all(0, 0, 800, 800);
    EXPECT_GT(CountInk(image, all, qRgb(255, 0, 0)), 1000);
    EXPECT_GT(CountInk(image, all, qRgb(0, 0, 255)), 300);
    EXPECT_GT(CountInk(image, all, qRgb(0, 128, 0)), 100);
    // The ring surrounds the fill: the red area's edge is blue, the shadow lies below right.
    const QPoint shadow = text.ShadowDisplacement();
    EXPECT_GT(shadow.x(), 0);
    EXPECT_EQ(shadow.x(), shadow.y());
}

// The rectangle covering every pixel of a colour.
QRect InkBox(const QImage& image, QRgb color)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == color) box |= QRect(x, y, 1, 1);
    return box;
}

TEST(LOTextPaint, TheShadowOfTurnedTextTurnsWithItAndStaysInTheBounds)
{
    TLOText text;
    text.SetBounds({200, 300, 600, 500});
    text.SetText({u"■■"_qs});
    text.EditFont().SetSize(48);
    text.SetAlign(1);
    text.EditTextColor().SetColor(clRed);
    text.SetShadow(5);  // to the right of the characters
    const QRgb green = qRgb(0, 128, 0);
    text.EditShadowColor().SetColor(RGBColor(0, 128, 0));
    text.SetAngle(90);  // right of the turned characters is down on the page
    const QImage image = Render(text);
    const QRect shadow = InkBox(image, green), characters = InkBox(image, qRgb(255, 0, 0));
    ASSERT_FALSE(shadow.isEmpty());
    EXPECT_GT(shadow.bottom(), characters.bottom() + 5);
    EXPECT_NEAR(shadow.right(), characters.right(), 1);
    const TRect bounds = text.GetBounds();
    EXPECT_TRUE(QRect(bounds.left, bounds.top, bounds.Width(), bounds.Height()).contains(shadow));
}

TEST(LOTextPaint, BoldAndItalicAreMadeFromTheOutlinesOfFacesWithoutThem)
{
    auto inkOf = [](bool bold, bool italic) {
        TLOText text;
        text.SetBounds({100, 100, 700, 300});
        text.SetText({u"太字 Bold"_qs});
        text.EditFont().SetStyleFlag(fsBold, bold);
        text.EditFont().SetStyleFlag(fsItalic, italic);
        const QImage image = Render(text);
        int ink = 0, right = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 128) ++ink, right = std::max(right, x);
        return std::pair(ink, right);
    };
    const auto plain = inkOf(false, false);
    EXPECT_GT(inkOf(true, false).first, plain.first * 11 / 10);
    // The slant leans the tops to the right.
    EXPECT_GT(inkOf(false, true).second, plain.second + 5);
}

// A document may hold a long bold text in a face without a bold design: its made outline must
// grow with the text, not with its square (a stored page of it once took minutes to open).
TEST(LOTextPaint, ALongMadeBoldTextIsMeasuredInLinearTime)
{
    const auto secondsFor = [](int characters) {
        TLOText text;
        text.SetBounds({0, 0, 60000, 400});
        text.SetText({QString(characters, QChar(u'あ'))});
        text.EditFont().SetStyleFlag(fsBold, true);
        text.SetBulge(300);  // arc text is measured by its outline
        const std::clock_t start = std::clock();
        const TRect bounds = text.GetBounds();
        EXPECT_FALSE(bounds.IsEmpty());
        return double(std::clock() - start) / CLOCKS_PER_SEC;
    };
    const double shortText = secondsFor(100);
    const double longText = secondsFor(800);
    EXPECT_LT(longText, 20 * shortText + 0.05) << shortText << " s for 100 characters, " << longText << " s for 800";
}

// Each character of arc text is turned its own way; its outline is made once per glyph and
// placed by its turn, so a long title along an arc costs a small, fixed amount per character
// (it was 2.8 ms of processor time per character at 28 points).
TEST(LOTextPaint, ALongArcTitleCostsLittleAndTheSameForEveryCharacter)
{
    const auto secondsFor = [](int repeats) {
        TLOText text;
        text.SetBounds({135, 290, 1035, 370});
        text.SetText({QStringLiteral("夜明けの歌").repeated(repeats)});
        text.EditFont().SetSize(28);
        text.SetBulge(262);
        QImage face(1190, 1190, QImage::Format_RGB32);
        face.fill(Qt::white);
        TCanvas canvas(face);
        canvas.SetFontResolution(LogicalUnitsPerInch);
        const std::clock_t start = std::clock();
        text.Paint(canvas);
        return double(std::clock() - start) / CLOCKS_PER_SEC;
    };
    const double shortTitle = secondsFor(80), longTitle = secondsFor(400);  // 400 and 2000 characters
    EXPECT_LT(longTitle, 2.0) << longTitle << " s for 2000 characters";
    EXPECT_LT(longTitle, 5 * 1.5 * shortTitle + 0.05) << shortTitle << " s for 400 characters, " << longTitle << " s for 2000";
}

// The outline ring is made one glyph at a time too: painting a long outlined text, straight and
// distorted, takes time that grows with its length.
TEST(LOTextPaint, ALongOutlinedTextIsPaintedInLinearTime)
{
    const auto secondsFor = [](int characters, bool distorted) {
        TLOText text;
        text.SetBounds({0, 0, 75 * characters, 400});  // a distortion stretches the glyphs to fill it
        text.SetText({QString(characters, QChar(u'あ'))});
        text.SetOutline(true);
        text.SetOutLineWidth(10);
        if (distorted) text.SetCoonsDistortion(TCoonsDistortion::Identity());
        QImage image(100, 40, QImage::Format_RGB32);
        const std::clock_t start = std::clock();
        {
            TCanvas canvas(image);
            text.Paint(canvas);
        }
        return double(std::clock() - start) / CLOCKS_PER_SEC;
    };
    for (bool distorted : {false, true}) {
        const double shortText = secondsFor(40, distorted);
        const double longText = secondsFor(320, distorted);
        EXPECT_LT(longText, 20 * shortText + 0.05)
            << (distorted ? "distorted: " : "straight: ") << shortText << " s for 40 characters, " << longText << " s for 320";
    }
}

TEST(LOTextPaint, TurnedTextIsDrawnTurnedAboutTheBoxCentre)
{
    TLOText text;
    text.SetBounds({100, 100, 700, 300});
    text.SetText({u"上の行"_qs});
    const int h = text.Layout().LineHeight();
    const QRgb black = qRgb(0, 0, 0);
    const QImage straight = Render(text);
    EXPECT_GT(CountInk(straight, QRect(100, 100, 600, h), black), 100);
    EXPECT_EQ(CountInk(straight, QRect(100, 300 - h + 5, 600, h - 5), black), 0);
    text.SetAngle(180);
    const QImage turned = Render(text);
    EXPECT_EQ(CountInk(turned, QRect(100, 100, 600, h - 5), black), 0);
    EXPECT_GT(CountInk(turned, QRect(100, 300 - h, 600, h), black), 100);
    EXPECT_EQ(text.HitTest({650, 290}), 1);
    text.SetAngle(90);  // the 600 x 200 box now stands upright about its centre
    EXPECT_EQ(text.HitTest({650, 290}), 0);
    EXPECT_EQ(text.HitTest({400, 450}), 1);
}

TEST(LOTextPaint, PictureFillsKeepAntiAliasedEdgesAndStayInTheGlyphs)
{
    TLOText text;
    text.SetBounds({100, 100, 700, 300});
    text.SetText({u"●"_qs});  // round: its edges cross pixels
    text.EditFont().SetSize(48);
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    text.EditTextColor().SetPicture(red);
    text.EditTextColor().SetKind(cskBitmap);
    ASSERT_EQ(text.TextColor().Kind(), cskBitmap);
    const QImage image = Render(text);
    int full = 0, edge = 0, stray = 0;
    const TRect ink = text.Layout().GetTextBounds(text.Rect());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (p == qRgb(255, 255, 255)) continue;
            if (!ink.Inflated(2).Contains({x, y})) ++stray;
            if (p == qRgb(255, 0, 0)) ++full;
            else if (qRed(p) == 255 && qGreen(p) == qBlue(p)) ++edge;
        }
    EXPECT_GT(full, 1000);
    EXPECT_GT(edge, 10);
    EXPECT_EQ(stray, 0);
}

TEST(LOTextPaint, DistortedTextStaysInsideItsTarget)
{
    TLOText text;
    text.SetBounds({200, 200, 600, 400});
    text.SetText({u"WAVE 波"_qs});
    TCoonsDistortion d = TCoonsDistortion::Identity();
    d.SetPointCount(cdsTop, 3);
    d.SetPoint(cdsTop, 1, {0.5L, 0.3L});
    d.SetSmooth(cdsTop, 1, true);
    text.SetCoonsDistortion(d);
    const QImage image = Render(text);
    const int all = CountInk(image, QRect(0, 0, 800, 800), qRgb(0, 0, 0));
    EXPECT_GT(all, 500);
    EXPECT_EQ(CountInk(image, QRect(0, 0, 800, 199), qRgb(0, 0, 0)), 0);
    EXPECT_EQ(CountInk(image, QRect(0, 402, 800, 398), qRgb(0, 0, 0)), 0);
}

TEST(LOTextPaint, ADistortionWithASideOfFewerThanTwoPointsStillDrawsTheText)
{
    for (const int points : {0, 1}) {
        TLOText text;
        text.SetBounds({200, 200, 600, 400});
        text.SetText({u"WAVE 波"_qs});
        TCoonsDistortion d = TCoonsDistortion::Identity();
        d.SetPointCount(cdsLeft, points);
        text.SetCoonsDistortion(d);
        const QImage image = Render(text);
        EXPECT_GT(CountInk(image, QRect(200, 200, 400, 200), qRgb(0, 0, 0)), 500) << points;
        EXPECT_EQ(CountInk(image, QRect(0, 0, 800, 195), qRgb(0, 0, 0)), 0) << points;
    }
}

TEST(LOTextCurve, IsOfferedUnlessADistortionBendsTheText)
{
    TLOText text;
    text.SetBounds({100, 100, 500, 200});
    EXPECT_NE(Offered<IDOCurve>(&text), nullptr);
    text.SetCoonsDistortion(TCoonsDistortion::Identity());
    EXPECT_EQ(Offered<IDOCurve>(&text), nullptr);
    EXPECT_EQ(Offered<IDOLine>(&text), nullptr);
    EXPECT_NE(Offered<IDORotate>(&text), nullptr);
    text.SetBulge(40);  // an arc wins over the distortion
    EXPECT_NE(Offered<IDOCurve>(&text), nullptr);
}

TEST(LOTextCurve, TheBaselineRunsThroughTheBoxAndSettingItFitsTheBox)
{
    TLOText text;
    text.SetBounds({100, 100, 500, 200});
    EXPECT_EQ(text.StartPoint(), QPoint(100, 150));
    EXPECT_EQ(text.EndPoint(), QPoint(500, 150));
    text.SetBulge(60);
    EXPECT_EQ(text.ViaPoint(), QPoint(300, 90));  // a positive bulge lies above the chord
    text.SetBulgeFromPoint({300, 230});
    EXPECT_EQ(text.Bulge(), -80);

    text.SetAutoSize(true);
    text.SetEndPoint({400, 450});
    EXPECT_FALSE(text.AutoSize());
    EXPECT_EQ(text.StartPoint(), QPoint(100, 150));
    EXPECT_EQ(text.EndPoint(), QPoint(400, 450));
    EXPECT_EQ(text.Angle(), 45);
    EXPECT_EQ(text.Rect().Width(), 424);
    EXPECT_EQ(text.Rect().Height(), 100);
    // What is saved draws along the same baseline.
    const auto reopened = Read(StreamOf(text));
    const auto [start, end] = reopened->Layout().Chord(reopened->Rect());
    EXPECT_NEAR(start.x(), 100, 1.5);
    EXPECT_NEAR(start.y(), 150, 1.5);
    EXPECT_NEAR(end.x(), 400, 1.5);
    EXPECT_NEAR(end.y(), 450, 1.5);

    TLOText vertical;
    vertical.SetVertical(true);
    vertical.SetBounds({100, 100, 200, 500});
    EXPECT_EQ(vertical.StartPoint(), QPoint(150, 100));
    vertical.SetStartPoint({150, 900});  // the column now runs upwards
    EXPECT_EQ(vertical.Angle(), 180);
    EXPECT_EQ(vertical.Rect(), (TRect{100, 500, 200, 900}));
}

TEST(LOTextArc, TheBandAlongTheArcIsHitEvenWhereNoCharacterStands)
{
    TLOText text;
    text.SetText({u"ＡＢ"_qs});
    text.SetBounds({100, 300, 700, 400});
    text.SetBulge(150);
    const auto arc = text.Layout().ArcOf(text.Rect());
    ASSERT_TRUE(arc);
    const QPointF centre = arc->centre;
    auto onCircle = [&](double radius, double degrees) {
        const double a = degrees * M_PI / 180;
        return QPoint(int(std::lround(centre.x() + radius * std::cos(a))), int(std::lround(centre.y() + radius * std::sin(a))));
    };
    const double end = std::atan2(arc->end.y() - centre.y(), arc->end.x() - centre.x()) * 180 / M_PI;
    // Left-aligned: the characters stand at the start, the band still reaches the end.
    EXPECT_EQ(text.HitTest(onCircle(arc->radius, end - 3)), 1);
    EXPECT_EQ(text.HitTest(onCircle(arc->radius, -90)), 1);
    const int h = text.Layout().LineHeight();
    EXPECT_EQ(text.HitTest(onCircle(arc->radius + h, -90)), 0);
    EXPECT_EQ(text.HitTest(onCircle(arc->radius - h, -90)), 0);
    EXPECT_EQ(text.HitTest(centre.toPoint()), 0);
    // The bounds hold the band and every character.
    const TRect bounds = text.GetBounds();
    EXPECT_TRUE(bounds.Contains(onCircle(arc->radius + h / 2.0 - 1, -90)));
    EXPECT_TRUE(bounds.Contains(onCircle(arc->radius, end)));
}

TEST(LOTextArc, UnderlineAndStrikeOutFollowTheArcOnTheirSideOfTheBaseline)
{
    for (int bulge : {150, -150}) {
        TSimpleText layout;
        layout.SetText({u"ＡＢＣ"_qs});
        layout.SetBulge(bulge);
        const TRect box{100, 300, 700, 400};
        layout.Font().SetStyleFlag(fsUnderline, true);
        const auto arc = layout.ArcOf(box);
        ASSERT_TRUE(arc);
        const TPathPoints bars = layout.Decorations(box);
        ASSERT_GT(bars.size(), 8u) << "the bar bends with the arc";
        const int h = layout.LineHeight();
        // The baseline circle: the characters' tops face outward on positive bulges.
        TSimpleText straight(layout);
        straight.SetBulge(0);
        const double ascent = straight.Glyphs(box).front().origin.y() - box.top;
        const double baseline = bulge > 0 ? arc->radius + h / 2.0 - ascent : arc->radius - h / 2.0 + ascent;
        for (const TPathPoint& p : bars) {
            const double r = std::hypot(p.point.x() - arc->centre.x(), p.point.y() - arc->centre.y());
            EXPECT_LE(std::abs(r - arc->radius), h / 2.0 + 1) << bulge;
            // Below the characters: inside the baseline circle when the tops face outward.
            if (bulge > 0) EXPECT_LT(r, baseline + 1) << bulge;
            else EXPECT_GT(r, baseline - 1) << bulge;
        }
    }
}

TEST(SimpleText, TurnedCharactersStartFromTheFlooredTurnedLineCentre)
{
    TSimpleText layout;
    layout.SetText({u"あいう"_qs, u"AB"_qs});
    const TRect box{103, 57, 611, 333};
    const std::vector<TGlyphPlacement> straight = layout.Glyphs(box);
    const double ascent = straight[0].origin.y() - box.top;
    for (int angle : {30, 90, 217}) {
        layout.SetAngle(angle);
        const std::vector<TGlyphPlacement> turned = layout.Glyphs(box);
        ASSERT_EQ(turned.size(), straight.size());
        const QTransform turn = TurnAbout(BoxCentre(box), angle);
        const QPointF down = QTransform().rotate(angle).map(QPointF(0, ascent));
        for (size_t k = 0; k < turned.size(); ++k) {
            // The character's top left, turned, then floored to whole units.
            const QPointF corner = turn.map(straight[k].origin - QPointF(0, ascent));
            const QPointF expected = QPointF(std::floor(corner.x() + 1e-6), std::floor(corner.y() + 1e-6)) + down;
            EXPECT_NEAR(turned[k].origin.x(), expected.x(), 1e-6) << angle;
            EXPECT_NEAR(turned[k].origin.y(), expected.y(), 1e-6) << angle;
            EXPECT_EQ(turned[k].angle, angle);
        }
    }
}

// Distorted red text on a blue ground.
QImage RenderDistortedOnBlue(TLOText& text)
{
    text.SetBounds({100, 100, 700, 300});
    text.SetText({u"●波"_qs});
    text.EditTextColor().SetColor(clRed);
    TCoonsDistortion d = TCoonsDistortion::Identity();
    d.SetPointCount(cdsTop, 3);
    d.SetPoint(cdsTop, 1, {0.5L, 0.3L});
    d.SetSmooth(cdsTop, 1, true);
    text.SetCoonsDistortion(d);
    QImage image(800, 400, QImage::Format_RGB32);
    image.fill(Qt::blue);
    TCanvas canvas(image);
    canvas.SetFontResolution(LogicalUnitsPerInch);
    text.Paint(canvas);
    return image;
}

TEST(LOTextPaint, DistortedTextGetsSoftEdgesFromItsCoverageWithoutALightFringe)
{
    TLOText text;
    const QImage soft = RenderDistortedOnBlue(text);
    int red = 0, mixed = 0, light = 0;
    for (int y = 0; y < soft.height(); ++y)
        for (int x = 0; x < soft.width(); ++x) {
            const QRgb p = soft.pixel(x, y);
            if (p == qRgb(255, 0, 0)) ++red;
            else if (p != qRgb(0, 0, 255)) ++mixed;
            if (qGreen(p) > 0) ++light;  // red over blue never mixes in white
        }
    EXPECT_GT(red, 1000);
    EXPECT_GT(mixed, 100);
    EXPECT_EQ(light, 0);

    const bool antiAliased = AntiAliasDistortionText();
    SetAntiAliasDistortionText(false);
    TLOText plain;
    const QImage hard = RenderDistortedOnBlue(plain);
    SetAntiAliasDistortionText(antiAliased);
    int between = 0;
    for (int y = 0; y < hard.height(); ++y)
        for (int x = 0; x < hard.width(); ++x)
            if (hard.pixel(x, y) != qRgb(255, 0, 0) && hard.pixel(x, y) != qRgb(0, 0, 255)) ++between;
    EXPECT_EQ(between, 0) << "without anti-aliasing every pixel is text or ground";
}

TEST(LOTextPaint, ABlendRatioMixesOnlyWhereShadowCharactersAndRingCover)
{
    InstallBlendedPainting();
    TLOText text;
    text.SetBounds({100, 100, 700, 300});
    text.SetText({u"■"_qs});
    text.EditFont().SetSize(48);
    text.EditTextColor().SetColor(clRed);
    text.EditShadowColor().SetColor(clRed);
    EXPECT_FALSE(text.NeedsBlend());
    text.SetCoonsDistortion(TCoonsDistortion::Identity());
    EXPECT_FALSE(text.NeedsBlend()) << "soft edges need no second pass";
    text.SetCoonsDistortion(TCoonsDistortion());
    text.SetBlendShade(true);
    EXPECT_FALSE(text.NeedsBlend());
    text.SetBlendRatio(50);
    EXPECT_TRUE(text.NeedsBlend());

    // Red at half strength over blue: no green beyond rounding, which white would bring in.
    auto halves = [&text](int shadow) {
        text.SetShadow(shadow);
        QImage image(800, 400, QImage::Format_RGB32);
        image.fill(Qt::blue);
        TCanvas canvas(image);
        canvas.SetFontResolution(LogicalUnitsPerInch);
        text.PaintTo(canvas);
        int half = 0, green = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                if (std::abs(qRed(p) - 128) <= 2 && std::abs(qBlue(p) - 127) <= 2) ++half;
                if (qGreen(p) > 8) ++green;
            }
        EXPECT_EQ(green, 0) << "only the covered pixels are mixed, with their own colours";
        EXPECT_EQ(image.pixel(110, 110), qRgb(0, 0, 255));
        return half;
    };
    const int plain = halves(0);
    EXPECT_GT(plain, 1000);
    EXPECT_GT(halves(8), plain) << "the shadow is mixed as well";
}

}  // namespace
}  // namespace kestrel

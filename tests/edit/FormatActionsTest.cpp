#include <gtest/gtest.h>

#include "document/ActionList.h"
#include "edit/FormatActions.h"
#include "edit/QuickProperties.h"
#include "platform/Error.h"
#include "edit/LayoutSession.h"
#include "objects/BackImage.h"
#include "objects/LOLine.h"
#include "objects/LORect.h"
#include "render/DrawSite.h"
#include "render/DrawSiteFixtures.h"
#include "text/ShadeText.h"

namespace kestrel {
namespace {

class FormatActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        History().SetLimit(100);
        session.Attach(site);
        test::SetUpDocumentSite(site, 1000, 1000);
    }

    TActionList& History() { return session.History(); }
    int UndoSteps() { return History().Current() + 1; }

    template <class T>
    T& Add(const TRect& bounds, bool selected = true)
    {
        auto object = std::make_unique<T>();
        object->SetBounds(bounds);
        object->SetSelected(selected);
        return static_cast<T&>(site.AddObject(std::move(object)));
    }
    // Without a frame its bounds are its rectangle.
    TLORect& AddBox(const TRect& bounds)
    {
        TLORect& box = Add<TLORect>(bounds);
        box.SetFrameWidth(0);
        return box;
    }
    TLOTextObject& AddText(const TRect& bounds, bool selected = true)
    {
        TLOTextObject& text = Add<TLOTextObject>(bounds, selected);
        text.SetText({"夜明けの歌", "二行目"});
        return text;
    }

    // The one step made, undone, leaves the state as before.
    void ExpectOneStepUndone(const QString& caption)
    {
        EXPECT_EQ(UndoSteps(), 1);
        EXPECT_EQ(History().UndoCaption(), caption);
        History().Undo();
    }

    TLayoutSession session;
    TDrawSite site;
};

TEST_F(FormatActionsTest, FontChangesReachEverySelectedObjectWithAFontAndUndoAsOneStep)
{
    TLOTextObject& first = AddText({100, 100, 400, 200});
    TLOTextObject& second = AddText({100, 300, 400, 400});
    TLOTextObject& unselected = AddText({100, 500, 400, 600}, false);
    TLORect& rect = Add<TLORect>({500, 500, 600, 600});
    const QString before = first.DOFont().Name();
    const int size = first.DOFont().Size();

    ASSERT_TRUE(SetFontName(site, "IPAMincho"));
    EXPECT_EQ(first.DOFont().Name(), "IPAMincho");
    EXPECT_EQ(second.DOFont().Name(), "IPAMincho");
    EXPECT_EQ(unselected.DOFont().Name(), before);
    EXPECT_EQ(first.DOFont().Size(), size) << "only the name changes";
    ExpectOneStepUndone("設定変更");
    EXPECT_EQ(first.DOFont().Name(), before);
    EXPECT_EQ(second.DOFont().Name(), before);

    History().Clear();
    ASSERT_TRUE(SetFontSize(site, 24));
    ASSERT_TRUE(SetFontStyle(site, fsBold, true));
    ASSERT_TRUE(SetFontStyle(site, fsUnderline, true));
    EXPECT_EQ(second.DOFont().Size(), 24);
    EXPECT_TRUE(second.DOFont().HasStyle(fsBold));
    EXPECT_TRUE(second.DOFont().HasStyle(fsUnderline));
    EXPECT_FALSE(second.DOFont().HasStyle(fsItalic));
    History().Undo();
    EXPECT_FALSE(second.DOFont().HasStyle(fsUnderline));
    EXPECT_TRUE(second.DOFont().HasStyle(fsBold)) << "each change is its own step";

    first.SetSelected(false);
    second.SetSelected(false);
    EXPECT_FALSE(SetFontSize(site, 12)) << "a rectangle has no font";
    EXPECT_TRUE(rect.Selected());
}

TEST_F(FormatActionsTest, AlignmentAndFeedAngleChangeTextsOnly)
{
    TLOTextObject& text = AddText({100, 100, 400, 200});
    Add<TLORect>({500, 500, 600, 600});
    ASSERT_TRUE(SetTextAlign(site, 2));
    EXPECT_EQ(text.Align(), 2);
    ExpectOneStepUndone("設定変更");
    EXPECT_EQ(text.Align(), 0);

    History().Clear();
    ASSERT_TRUE(SetFeedAngle(site, 45));
    EXPECT_EQ(text.FeedAngle(), 45);
    const TSelectionFormat shown = ReadSelectionFormat(site);
    EXPECT_EQ(shown.feedAngle, 45);
    EXPECT_EQ(shown.align, 0);
    EXPECT_EQ(shown.fontName, text.DOFont().Name());
    ExpectOneStepUndone("設定変更");
    EXPECT_EQ(text.FeedAngle(), 0);
}

TEST_F(FormatActionsTest, PenAndFillColoursBecomePlainColoursAndNoFillEmptiesShapes)
{
    TLORect& rect = Add<TLORect>({100, 100, 300, 300});
    TLOTextObject& text = AddText({400, 100, 700, 200});
    auto line = std::make_unique<TLOLine>();
    line->SetStartPoint({100, 500});
    line->SetEndPoint({500, 500});
    line->SetSelected(true);
    auto& added = static_cast<TLOLine&>(site.AddObject(std::move(line)));

    ASSERT_TRUE(SetPenColor(site, 0x0000FF));
    for (IDOTextColor* pen : std::initializer_list<IDOTextColor*>{&rect, &text, &added}) {
        EXPECT_EQ(pen->TextColorSpec().Kind(), cskSolid);
        EXPECT_EQ(pen->TextColorSpec().Color(), TColor(0x0000FF));
    }
    ExpectOneStepUndone("設定変更");
    EXPECT_NE(added.TextColorSpec().Color(), TColor(0x0000FF));

    History().Clear();
    rect.SetNoFill(true);
    ASSERT_TRUE(SetFillColor(site, TColor(0x00FF00)));
    EXPECT_FALSE(rect.NoFill()) << "a fill colour fills";
    EXPECT_EQ(rect.FillColorSpec().Color(), TColor(0x00FF00));
    ASSERT_TRUE(SetFillColor(site, std::nullopt));
    EXPECT_TRUE(rect.NoFill());
    History().Undo();
    History().Undo();
    EXPECT_TRUE(rect.NoFill());
    EXPECT_NE(rect.FillColorSpec().Color(), TColor(0x00FF00));
}

TEST_F(FormatActionsTest, PlacingInTheFaceMovesEachMovableObjectAndLeavesLockedOnes)
{
    TLORect& a = AddBox({100, 100, 300, 200});
    TLORect& b = AddBox({600, 700, 700, 900});
    TLORect& locked = AddBox({50, 50, 150, 150});
    locked.SetMovable(false);
    const TRect area = site.LogicalArea();

    ASSERT_TRUE(PlaceInFace(site, TPlace::Centre, TPlace::End));
    for (TLORect* rect : {&a, &b}) {
        const TRect bounds = rect->GetBounds();
        EXPECT_NEAR((bounds.left + bounds.right) / 2, (area.left + area.right) / 2, 1);
        EXPECT_EQ(bounds.bottom, area.bottom);
    }
    EXPECT_EQ(locked.GetBounds().left, 50);
    ExpectOneStepUndone("位置合わせ");
    EXPECT_EQ(a.GetBounds().left, 100);
    EXPECT_EQ(b.GetBounds().top, 700);

    History().Clear();
    ASSERT_TRUE(PlaceInFace(site, TPlace::Start, TPlace::Keep));
    EXPECT_EQ(a.GetBounds().left, area.left);
    EXPECT_EQ(a.GetBounds().top, 100) << "kept vertically";
}

TEST_F(FormatActionsTest, LiningUpUsesTheBoundsOfTheSelectionAndSpreadingEvensTheGaps)
{
    TLORect& a = AddBox({100, 100, 200, 200});
    TLORect& b = AddBox({150, 400, 350, 500});
    TLORect& c = AddBox({700, 600, 800, 650});
    ASSERT_TRUE(LineUp(site, TLineUp::Right));
    for (TLORect* rect : {&a, &b, &c}) EXPECT_EQ(rect->GetBounds().right, 800);
    EXPECT_EQ(b.GetBounds().Width(), 200);
    ExpectOneStepUndone("設定変更");
    EXPECT_EQ(a.GetBounds().right, 200);

    History().Clear();
    ASSERT_TRUE(LineUp(site, TLineUp::VCentre));
    for (TLORect* rect : {&a, &b, &c}) {
        const TRect bounds = rect->GetBounds();
        EXPECT_NEAR((bounds.top + bounds.bottom) / 2, 375, 1);
    }
    History().Undo();

    // Across: widths 100, 200, 100 in 100..800 leave 300 for two gaps of 150.
    History().Clear();
    ASSERT_TRUE(LineUp(site, TLineUp::SpreadAcross));
    EXPECT_EQ(a.GetBounds().left, 100);
    EXPECT_EQ(b.GetBounds().left, 350);
    EXPECT_EQ(c.GetBounds().left, 700);
    EXPECT_EQ(b.GetBounds().top, 400) << "only across";
}

TEST_F(FormatActionsTest, ABackgroundChangeReachesEveryBackgroundSelectedOrNot)
{
    auto background = std::make_unique<TLOBackImage2004>();
    TFaceInfo face;
    face.rect = {0, 0, 1000, 1000};
    face.shape = fsRect;
    background->SetFaceInfo(face);
    auto& shown = static_cast<TLOBackImage&>(site.AddObject(std::move(background)));
    ASSERT_TRUE(shown.IsBlank());

    TLOBackImage2004 design;
    design.SetFaceInfo(face);
    design.SetFrameWidth(30);
    ASSERT_TRUE(ChangeBackgrounds(site, design));
    EXPECT_EQ(shown.FrameWidth(), 30);
    EXPECT_EQ(shown.FaceInfo().rect.right, 1000) << "it keeps its face";
    ExpectOneStepUndone("背景変更");
    EXPECT_TRUE(shown.IsBlank());
}

TEST_F(FormatActionsTest, AFieldChangeWritesEveryTextAskingForTheItemInOneStep)
{
    TLOTextObject& title = AddText({100, 100, 400, 200}, false);
    TLOTextObject& again = AddText({100, 300, 400, 400}, false);
    TLOTextObject& other = AddText({100, 500, 400, 600}, false);
    for (TLOTextObject* text : {&title, &again}) {
        text->SetInputEnabled(true);
        text->SetInputCaption("タイトル");
    }
    other.SetInputEnabled(true);
    other.SetInputCaption("アーティスト");

    ASSERT_TRUE(ChangeField(site, "タイトル", {"新しい題"}));
    EXPECT_EQ(title.Text(), QStringList{"新しい題"});
    EXPECT_EQ(again.Text(), QStringList{"新しい題"});
    EXPECT_EQ(other.Text(), QStringList({"夜明けの歌", "二行目"}));
    EXPECT_FALSE(ChangeField(site, "タイトル", {"新しい題"})) << "nothing to change";
    EXPECT_FALSE(ChangeField(site, "ない項目", {"x"}));
    ExpectOneStepUndone("設定変更");
    EXPECT_EQ(again.Text(), QStringList({"夜明けの歌", "二行目"}));
}


// The properties panel's reading and edits of the selection (QuickProperties).
using QuickPropertiesTest = FormatActionsTest;

TEST_F(QuickPropertiesTest, OneObjectShowsItsPlaceAngleColoursAndText)
{
    TLORect& box = AddBox({100, 200, 400, 260});
    box.SetAngle(30);
    box.FrameColor().SetColor(clRed);
    box.SetFillInside(true);
    box.FillColor().SetColor(clBlue);
    TQuickProperties shown = ReadQuickProperties(site);
    EXPECT_EQ(shown.selected, 1);
    ASSERT_TRUE(shown.bounds);
    EXPECT_EQ(*shown.bounds, box.GetBounds());
    EXPECT_EQ(shown.angle, 30);
    EXPECT_EQ(shown.penColor, clRed);
    EXPECT_TRUE(shown.fillable && shown.filled);
    EXPECT_EQ(shown.fillColor, clBlue);
    EXPECT_FALSE(shown.text);
    EXPECT_FALSE(shown.locked);

    box.SetSelected(false);
    AddText({100, 300, 400, 400});
    shown = ReadQuickProperties(site);
    EXPECT_EQ(shown.text, QStringLiteral("夜明けの歌\n二行目"));
    EXPECT_TRUE(shown.format.fontName);
}

TEST_F(QuickPropertiesTest, SeveralObjectsShareNoPlaceButTheirLockAndLooks)
{
    TLORect& box = AddBox({100, 100, 200, 200});
    TLOTextObject& text = AddText({300, 300, 500, 400});
    box.SetMovable(false);
    TQuickProperties shown = ReadQuickProperties(site);
    EXPECT_EQ(shown.selected, 2);
    EXPECT_FALSE(shown.bounds || shown.angle || shown.text);
    EXPECT_TRUE(shown.format.fontName) << "the font acts on every selected text";
    EXPECT_FALSE(shown.locked) << "one of them still moves";
    text.SetMovable(false);
    EXPECT_TRUE(ReadQuickProperties(site).locked);
    EXPECT_FALSE(MoveSelectionTo(site, {0, 0})) << "place edits need one object";
    EXPECT_EQ(UndoSteps(), 0);

    site.SelectAll(false);
    EXPECT_EQ(ReadQuickProperties(site).selected, 0);
}

TEST_F(QuickPropertiesTest, PlaceSizeAndAngleEditsAreOneStepEachAndUndo)
{
    TLORect& box = AddBox({100, 200, 400, 260});
    ASSERT_TRUE(MoveSelectionTo(site, {150, 250}));
    EXPECT_EQ(box.GetBounds(), TRect(150, 250, 450, 310));
    ExpectOneStepUndone(QStringLiteral("移動"));
    EXPECT_EQ(box.GetBounds(), TRect(100, 200, 400, 260));

    ASSERT_TRUE(ResizeSelection(site, {500, 100}));
    EXPECT_EQ(box.GetBounds(), TRect(100, 200, 600, 300));
    ExpectOneStepUndone(QStringLiteral("設定変更"));
    EXPECT_EQ(box.GetBounds(), TRect(100, 200, 400, 260));

    ASSERT_TRUE(TurnSelection(site, 45));
    EXPECT_EQ(box.Angle(), 45);
    ExpectOneStepUndone(QStringLiteral("設定変更"));
    EXPECT_EQ(box.Angle(), 0);

    EXPECT_FALSE(ResizeSelection(site, {300, 60})) << "an unchanged size is no step";
    EXPECT_FALSE(ResizeSelection(site, {0, 60}));
    EXPECT_EQ(History().Current(), -1);
}

TEST_F(QuickPropertiesTest, ALockedObjectRefusesPlaceSizeAndAngleAndLockingUndoes)
{
    TLORect& box = AddBox({100, 200, 400, 260});
    ASSERT_TRUE(SetSelectionLocked(site, true));
    EXPECT_FALSE(box.Movable());
    EXPECT_EQ(History().UndoCaption(), QStringLiteral("オブジェクト固定"));
    EXPECT_FALSE(SetSelectionLocked(site, true)) << "already locked";

    EXPECT_FALSE(MoveSelectionTo(site, {0, 0}));
    EXPECT_FALSE(ResizeSelection(site, {50, 50}));
    EXPECT_FALSE(TurnSelection(site, 90));
    EXPECT_EQ(box.GetBounds(), TRect(100, 200, 400, 260));
    EXPECT_EQ(box.Angle(), 0);
    EXPECT_EQ(UndoSteps(), 1);

    History().Undo();
    EXPECT_TRUE(box.Movable());
}

TEST_F(QuickPropertiesTest, TextOutsideTheLabelsCodePageIsRefusedAndGoodTextIsOneStep)
{
    TLOTextObject& text = AddText({100, 100, 400, 200});
    try {
        SetSelectionText(site, QStringLiteral("歌\U0001F3B5"));
        ADD_FAILURE() << "an emoji has no place in code page 932";
    } catch (const EKestrel& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("「文字」にラベルで使えない文字が含まれています"));
    }
    EXPECT_EQ(text.Text(), QStringList({"夜明けの歌", "二行目"}));
    EXPECT_EQ(UndoSteps(), 0);

    ASSERT_TRUE(SetSelectionText(site, QStringLiteral("朝の歌\n三行\n目")));
    EXPECT_EQ(text.Text(), QStringList({"朝の歌", "三行", "目"}));
    ExpectOneStepUndone(QStringLiteral("設定変更"));
    EXPECT_EQ(text.Text(), QStringList({"夜明けの歌", "二行目"}));
}

}  // namespace
}  // namespace kestrel

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "document/ActionList.h"
#include "document/stream/ClassRegistry.h"
#include "edit/LayoutActions.h"
#include "edit/LayoutSession.h"
#include "objects/PictureObject.h"
#include "platform/Error.h"
#include "render/DrawSiteFixtures.h"
#include "text/ShadeText.h"

namespace kestrel {
namespace {

using test::TFilledRect;

class DrawSiteActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TClassRegistry::Global().Register(TFilledRect::StaticClass());
        History().SetLimit(100);
        session.Attach(site);
        test::SetUpDocumentSite(site, 1000, 1000);
        back = &test::AddRect(site, {100, 100, 300, 300});
        front = &test::AddRect(site, {200, 200, 400, 400});
    }

    // From the front to the back.
    std::vector<TDrawObject*> Objects() const
    {
        std::vector<TDrawObject*> objects;
        site.Objects(objects, false);
        return objects;
    }
    TActionList& History() { return session.History(); }
    int UndoSteps() { return History().Current() + 1; }
    TLOText& AddText(int angle = 0)
    {
        auto text = std::make_unique<TLOTextObject>();
        text->SetBounds({500, 500, 700, 560});
        text->SetAngle(angle);
        return static_cast<TLOText&>(site.AddObject(std::move(text)));
    }
    bool EnabledOn(TDrawSiteActionBase& action) { return action.EnabledOn(&site); }

    TLayoutSession session;
    TLayoutActions actions{session.History()};
    TDrawSite site;
    TFilledRect* back = nullptr;
    TFilledRect* front = nullptr;
};

TEST_F(DrawSiteActionsTest, CountRuleAndTargetClassDecideEnablement)
{
    EXPECT_FALSE(EnabledOn(actions.cut)) << "nothing selected";
    EXPECT_TRUE(EnabledOn(actions.selectAll)) << "select all looks at every object";
    front->SetSelected(true);
    EXPECT_TRUE(EnabledOn(actions.properties));
    back->SetSelected(true);
    EXPECT_FALSE(EnabledOn(actions.properties)) << "one object at a time";
    EXPECT_FALSE(actions.clear.EnabledOn(nullptr)) << "no site";

    TLOText& text = AddText();
    text.SetSelected(true);
    TDrawSiteAction onTexts;
    onTexts.SetTargetClassName("TLOText");
    onTexts.SetOnEachObject([](TObjectSite&, TDrawObject&) {});
    ASSERT_TRUE(onTexts.IsTargetValid(site));
    EXPECT_EQ(onTexts.Targets().Items(), std::vector<TDrawObject*>{&text}) << "others skipped";
    onTexts.SetTargetClassOnly(true);
    EXPECT_FALSE(onTexts.IsTargetValid(site)) << "a mixed selection disables it";
}

TEST_F(DrawSiteActionsTest, StackingKeepsTheOrderOfTheTargetsAndTheLayerGroups)
{
    TFilledRect& top = test::AddRect(site, {0, 0, 50, 50});
    TFilledRect& banner = test::AddRect(site, {0, 0, 60, 60});
    banner.SetLayerGroup(1);
    site.Child(site.IndexOf(banner)).BringToFront();
    back->SetSelected(true);
    front->SetSelected(true);
    actions.bringToFront.Execute(site);
    EXPECT_EQ(Objects(), (std::vector<TDrawObject*>{&banner, front, back, &top}));
    EXPECT_EQ(History().UndoCaption(), "最前面");
    EXPECT_EQ(UndoSteps(), 1);

    actions.sendToBack.Execute(site);
    EXPECT_EQ(Objects(), (std::vector<TDrawObject*>{&banner, &top, front, back}));
    History().Undo();
    EXPECT_EQ(Objects(), (std::vector<TDrawObject*>{&banner, front, back, &top}));

    back->SetSelected(false);
    actions.bringToFront.Execute(site);  // already at the top of its layer group
    EXPECT_EQ(Objects(), (std::vector<TDrawObject*>{&banner, front, back, &top}));
    EXPECT_EQ(UndoSteps(), 1) << "no empty step";
}

TEST_F(DrawSiteActionsTest, LockSkipsLockedObjectsAndIsOneStep)
{
    front->SetSelected(true);
    back->SetSelected(true);
    EXPECT_FALSE(EnabledOn(actions.unlock));
    actions.lock.Execute(site);
    EXPECT_FALSE(front->Movable() || back->Movable());
    EXPECT_EQ(History().UndoCaption(), "オブジェクト固定");
    EXPECT_FALSE(EnabledOn(actions.lock)) << "every target is locked already";
    actions.unlock.Execute(site);
    EXPECT_TRUE(front->Movable() && back->Movable());
    History().Undo();
    EXPECT_FALSE(front->Movable() || back->Movable());
    EXPECT_EQ(UndoSteps(), 1);
}

TEST_F(DrawSiteActionsTest, AFailedDeleteStepLeavesNoRecordAndTheObjectInPlace)
{
    front->SetSelected(true);
    back->SetSelected(true);
    TDrawSiteAction failing;
    failing.SetUndoType(TDSAUndoType::atDelete);
    failing.SetActionString("クリア");
    failing.SetOnEachObject([this](TObjectSite&, TDrawObject& object) {
        if (&object == front) throw EKestrel("broken");
    });
    EXPECT_THROW(failing.Execute(site), EKestrel);
    EXPECT_EQ(Objects(), std::vector<TDrawObject*>{front}) << "the back one went before the failure";
    ASSERT_EQ(UndoSteps(), 1);
    EXPECT_EQ(History().GroupLevel(), 0) << "the group is closed on the error";
    History().Undo();
    EXPECT_EQ(Objects(), (std::vector<TDrawObject*>{front, back}));
    EXPECT_FALSE(History().CanUndo()) << "no record of the front one";
}

TEST_F(DrawSiteActionsTest, CutPasteAndUndoAreOneStepEachWithTheirCaptions)
{
    front->SetSelected(true);
    back->SetSelected(true);
    actions.cut.Execute(site);
    EXPECT_TRUE(Objects().empty());
    EXPECT_TRUE(EnabledOn(actions.undo));
    EXPECT_EQ(actions.undo.NamedCaption(), "切り取りの取り消し(&U)");
    ASSERT_TRUE(EnabledOn(actions.paste));

    actions.undo.ExecuteOn(&site);
    EXPECT_EQ(Objects(), (std::vector<TDrawObject*>{front, back}));
    EXPECT_EQ(actions.redo.NamedCaption(), "切り取りのやり直し(&R)");

    actions.paste.Execute(site);
    const std::vector<TDrawObject*> after = Objects();
    ASSERT_EQ(after.size(), 4u);
    EXPECT_EQ(after[0]->GetBounds(), front->GetBounds()) << "the pasted front stays in front";
    EXPECT_EQ(after[1]->GetBounds(), back->GetBounds());
    EXPECT_TRUE(after[0]->Selected() && after[1]->Selected() && !front->Selected());
    EXPECT_EQ(History().UndoCaption(), "貼り付け");
    EXPECT_EQ(UndoSteps(), 1) << "the cut's redo was dropped";
    actions.undo.ExecuteOn(&site);
    EXPECT_EQ(Objects().size(), 2u);
    EXPECT_FALSE(EnabledOn(actions.undo));
    EXPECT_EQ(actions.redo.NamedCaption(), "貼り付けのやり直し(&R)");
}

TEST_F(DrawSiteActionsTest, UndoAndRedoStepThroughTheSessionsHistoryWithoutAFace)
{
    front->SetSelected(true);
    actions.clear.Execute(site);
    ASSERT_EQ(Objects(), std::vector<TDrawObject*>{back});
    EXPECT_FALSE(actions.clear.EnabledOn(nullptr));
    ASSERT_TRUE(actions.undo.EnabledOn(nullptr)) << "the sheet screen undoes too";
    actions.undo.ExecuteOn(nullptr);
    EXPECT_EQ(Objects(), (std::vector<TDrawObject*>{front, back}));
    ASSERT_TRUE(actions.redo.EnabledOn(nullptr));
    actions.redo.ExecuteOn(nullptr);
    EXPECT_EQ(Objects(), std::vector<TDrawObject*>{back});
}

TEST_F(DrawSiteActionsTest, PastedObjectsMoveIntoASmallerFaceAsOne)
{
    front->SetSelected(true);
    back->SetSelected(true);
    actions.copy.Execute(site);
    EXPECT_FALSE(History().CanUndo()) << "copying changes nothing";
    TDrawSite small;
    test::SetUpDocumentSite(small, 250, 250);
    actions.paste.Execute(small);
    ASSERT_EQ(small.ChildCount(), 2);
    // The union (100,100)-(400,400) is larger than the face: aligned to its left and top, the
    // objects keep their distance of 100 units.
    EXPECT_EQ(small.Child(0).GetBounds(), (TRect{0, 0, 200, 200}));
    EXPECT_EQ(small.Child(1).GetBounds(), (TRect{100, 100, 300, 300}));

    TDrawSite wide;
    test::SetUpDocumentSite(wide, 1000, 350);
    actions.paste.Execute(wide);
    ASSERT_EQ(wide.ChildCount(), 2);
    EXPECT_EQ(wide.Child(0).GetBounds(), (TRect{100, 50, 300, 250}));  // up by 50 only
    EXPECT_EQ(wide.Child(1).GetBounds(), (TRect{200, 150, 400, 350}));
}

TEST_F(DrawSiteActionsTest, ForeignTextAndPicturesPasteAsNewObjects)
{
    QGuiApplication::clipboard()->setText("一行目\r\n二行目\r\n");
    ASSERT_TRUE(EnabledOn(actions.paste));
    actions.paste.Execute(site);
    ASSERT_EQ(site.ChildCount(), 3);
    auto* text = dynamic_cast<TLOText*>(&site.Child(2));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Text(), (QStringList{"一行目", "二行目"}));
    EXPECT_TRUE(text->Selected() && !front->Selected());
    EXPECT_EQ(History().UndoCaption(), "貼り付け");
    EXPECT_EQ(UndoSteps(), 1);

    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(picture);
    actions.paste.Execute(site);
    ASSERT_EQ(site.ChildCount(), 4);
    auto* image = dynamic_cast<TLOImage*>(&site.Child(3));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(QSize(image->ImageData().Picture().Width(), image->ImageData().Picture().Height()), QSize(40, 30));
    EXPECT_EQ(UndoSteps(), 2);
    History().Undo();
    History().Undo();
    EXPECT_EQ(site.ChildCount(), 2);

    QGuiApplication::clipboard()->setText("絵文字😀");
    EXPECT_THROW(actions.paste.Execute(site), EKestrel) << "text a label cannot store";
    EXPECT_EQ(site.ChildCount(), 2);
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(EnabledOn(actions.paste));
}

TEST_F(DrawSiteActionsTest, FixedRotationsStayWithinAWholeTurn)
{
    TLOText& text = AddText(350);
    text.SetSelected(true);
    front->SetSelected(true);  // cannot turn: skipped
    actions.rotateRight.Execute(site);
    EXPECT_EQ(text.Angle(), 80);
    for (int i = 0; i < 5; ++i) actions.rotateLeft.Execute(site);
    EXPECT_EQ(text.Angle(), 80 - 450 + 720);
    actions.rotate180.Execute(site);
    actions.rotate180.Execute(site);
    EXPECT_EQ(text.Angle(), 350);
    EXPECT_EQ(History().UndoCaption(), "設定変更");
    EXPECT_EQ(UndoSteps(), 8);
    History().Undo();
    EXPECT_EQ(text.Angle(), 170);
}

TEST_F(DrawSiteActionsTest, SettingsCommandsOnlyTargetObjectsThatChange)
{
    TLOText& text = AddText();
    text.SetSelected(true);
    front->SetSelected(true);
    EXPECT_FALSE(EnabledOn(actions.doPrint)) << "everything prints already";
    actions.dontPrint.Execute(site);
    EXPECT_TRUE(text.DontPrint() && front->DontPrint());
    EXPECT_TRUE(EnabledOn(actions.doPrint));

    EXPECT_FALSE(EnabledOn(actions.horzText));
    actions.vertText.Execute(site);
    EXPECT_TRUE(text.Vertical());
    EXPECT_FALSE(EnabledOn(actions.vertText));
    EXPECT_EQ(UndoSteps(), 2);
    History().Undo();
    EXPECT_FALSE(text.Vertical());
}

TEST_F(DrawSiteActionsTest, SplittingATextGivesOneTextPerLineInOneStep)
{
    TLOText& text = AddText();
    text.SetText({"一", "二", "三"});
    text.SetSelected(true);
    front->SetSelected(true);
    const TRect first = text.GetBounds();
    actions.splitText.Execute(site);
    ASSERT_EQ(site.ChildCount(), 5);
    EXPECT_EQ(site.IndexOf(text), -1);
    const int pitch = static_cast<TLOText&>(site.Child(2)).Layout().LinePitch();
    for (int i = 0; i < 3; ++i) {
        auto& line = static_cast<TLOText&>(site.Child(2 + i));
        EXPECT_EQ(line.Text(), QStringList{QString("一二三")[i]});
        EXPECT_EQ(line.GetBounds().top, first.top + i * pitch);
        EXPECT_TRUE(line.Selected());
    }
    EXPECT_FALSE(front->Selected()) << "only the new lines are selected";
    EXPECT_EQ(History().UndoCaption(), "文字列の分割");
    History().Undo();
    EXPECT_EQ(site.ChildCount(), 3);
    EXPECT_EQ(text.Text().size(), 3);
}

TEST_F(DrawSiteActionsTest, NudgeMovesTheMovableSelectionInOneStep)
{
    front->SetSelected(true);
    back->SetSelected(true);
    back->SetMovable(false);
    NudgeSelection(site, 50, -1);
    EXPECT_EQ(front->GetBounds(), (TRect{250, 199, 450, 399}));
    EXPECT_EQ(back->GetBounds(), (TRect{100, 100, 300, 300}));
    EXPECT_EQ(History().UndoCaption(), "移動");
    History().Undo();
    EXPECT_EQ(front->GetBounds(), (TRect{200, 200, 400, 400}));
}

class FakeTextControl : public ITextControl {
public:
    bool selection = false;
    bool undoable = false;
    QStringList calls;
    bool HasSelection() const override { return selection; }
    bool CanUndo() const override { return undoable; }
    void Copy() override { calls << "copy"; }
    void Cut() override { calls << "cut"; }
    void Paste() override { calls << "paste"; }
    void Clear() override { calls << "clear"; }
    void Undo() override { calls << "undo"; }
};

TEST_F(DrawSiteActionsTest, ClipboardAndUndoServeTextFields)
{
    FakeTextControl field;
    EXPECT_TRUE(actions.copy.HandlesTextControls());
    EXPECT_FALSE(actions.lock.HandlesTextControls());
    EXPECT_FALSE(actions.cut.EnabledOnText(field));
    field.selection = true;
    EXPECT_TRUE(actions.cut.EnabledOnText(field));
    actions.cut.ExecuteText(field);
    actions.undo.ExecuteText(field);
    EXPECT_EQ(field.calls, (QStringList{"cut", "undo"}));

    front->SetSelected(true);
    actions.clear.Execute(site);  // the history has a step, but the field has the focus
    EXPECT_FALSE(actions.undo.EnabledOnText(field));
    field.undoable = true;
    EXPECT_TRUE(actions.undo.EnabledOnText(field));
    EXPECT_FALSE(actions.redo.EnabledOnText(field));
}

}  // namespace
}  // namespace kestrel

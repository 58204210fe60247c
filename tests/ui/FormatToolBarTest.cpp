#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QTimer>

#include "document/ActionList.h"
#include "edit/LayoutSession.h"
#include "objects/BackImage.h"
#include "objects/LORect.h"
#include "render/DrawSite.h"
#include "render/DrawSiteFixtures.h"
#include "text/ShadeText.h"
#include "ui/FormatToolBar.h"
#include "ui/TextPropertiesDialog.h"

namespace kestrel {
namespace {

// A face with a text asking for the title, a rectangle and a background; text and rectangle selected.
class FormatToolBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.Attach(site);
        session.History().SetLimit(100);
        test::SetUpDocumentSite(site, 1000, 1000);
        auto background = std::make_unique<TLOBackImage2004>();
        TFaceInfo face;
        face.rect = {0, 0, 1000, 1000};
        face.shape = fsRect;
        background->SetFaceInfo(face);
        site.AddObject(std::move(background));
        auto text = std::make_unique<TLOTextObject>();
        text->SetBounds({100, 100, 500, 200});
        text->SetText({"夜明けの歌"});
        text->SetInputEnabled(true);
        text->SetInputCaption("タイトル");
        text->SetSelected(true);
        this->text = &static_cast<TLOTextObject&>(site.AddObject(std::move(text)));
        auto rect = std::make_unique<TLORect>();
        rect->SetBounds({600, 600, 800, 700});
        rect->SetSelected(true);
        this->rect = &static_cast<TLORect&>(site.AddObject(std::move(rect)));
        bar.SetSite(&site, 0);
    }

    // The control's edit shows and is one undo step that takes it back.
    void ExpectOneUndoableStep(const char* control, const std::function<void()>& use,
                               const std::function<bool()>& changed)
    {
        TActionList& history = session.History();
        history.Clear();
        ASSERT_FALSE(changed()) << control;
        use();
        EXPECT_TRUE(changed()) << control;
        EXPECT_EQ(history.Current(), 0) << control << ": one step";
        history.Undo();
        EXPECT_FALSE(changed()) << control << ": undone";
    }

    // Picks the caption in the next modal input dialog.
    static void AnswerInputDialog(const QString& answer)
    {
        QTimer::singleShot(0, [answer] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->setTextValue(answer);
            dialog->accept();
        });
    }

    TLayoutSession session;
    TDrawSite site;
    TLOTextObject* text = nullptr;
    TLORect* rect = nullptr;
    TFormatToolBar bar;
};

TEST_F(FormatToolBarTest, TheFontAlignmentAndFeedControlsEditTheSelectedTexts)
{
    ExpectOneUndoableStep(
        "face", [&] { Q_EMIT bar.FontChooser().FaceBox().textActivated("IPAMincho"); },
        [&] { return text->DOFont().Name() == "IPAMincho"; });
    ExpectOneUndoableStep(
        "size", [&] { Q_EMIT bar.FontChooser().SizeBox().textActivated("36"); },
        [&] { return text->DOFont().Size() == 36; });
    for (const char* style : {"actBold", "actItalic", "actUnderline"})
        ExpectOneUndoableStep(
            style, [&] { bar.Entry(style)->trigger(); }, [&] { return text->DOFont().Style() != 0; });
    ExpectOneUndoableStep(
        "align", [&] { bar.Entry("actAlignEnd")->trigger(); }, [&] { return text->Align() == 2; });
    const int slanted = bar.FeedAngleBox().findData(45);
    ASSERT_GE(slanted, 0);
    ExpectOneUndoableStep(
        "feed", [&] { Q_EMIT bar.FeedAngleBox().activated(slanted); },
        [&] { return text->FeedAngle() == 45; });
}

TEST_F(FormatToolBarTest, TheToolsShowTheSelectionAndOnlyWhatAppliesIsEnabled)
{
    TPointBasedFont font;
    font.Assign(text->DOFont());
    font.SetStyleFlag(fsItalic, true);
    font.SetSize(20);
    text->SetDOFont(font);
    text->SetAlign(1);
    bar.Update();
    EXPECT_TRUE(bar.Entry("actItalic")->isChecked());
    EXPECT_FALSE(bar.Entry("actBold")->isChecked());
    EXPECT_TRUE(bar.Entry("actAlignCentre")->isChecked());
    EXPECT_EQ(bar.FontChooser().SizeBox().currentText(), "20");
    EXPECT_TRUE(bar.Entry("actLineUp")->isEnabled()) << "two selected";
    EXPECT_EQ(bar.FieldBox().currentText(), "タイトル");

    text->SetSelected(false);
    bar.Update();
    EXPECT_FALSE(bar.Entry("actBold")->isEnabled()) << "a rectangle has no font";
    EXPECT_FALSE(bar.FeedAngleBox().isEnabled());
    EXPECT_TRUE(bar.Entry("actFillColor")->isEnabled());
    EXPECT_FALSE(bar.Entry("actLineUp")->isEnabled()) << "one selected";

    bar.SetSite(nullptr, -1);
    for (const char* name : {"actPenColor", "actPlace", "actChangeBackground", "actChangeField"})
        EXPECT_FALSE(bar.Entry(name)->isEnabled()) << name;
}

TEST_F(FormatToolBarTest, TheColourToolsPaintTheSelectionWithTheChosenColour)
{
    bar.chooseColor = [](TColor) { return std::optional<TColor>(0x0000FF); };
    ExpectOneUndoableStep(
        "pen", [&] { bar.Entry("actPenColor")->trigger(); },
        [&] {
            return text->TextColorSpec().Color() == 0x0000FF && rect->TextColorSpec().Color() == 0x0000FF;
        });
    ExpectOneUndoableStep(
        "fill", [&] { bar.Entry("actFillColor")->trigger(); },
        [&] { return rect->FillColorSpec().Color() == 0x0000FF; });
    rect->SetNoFill(false);
    ExpectOneUndoableStep(
        "no fill", [&] { bar.Entry("actNoFill")->trigger(); }, [&] { return rect->NoFill(); });
    bar.chooseColor = [](TColor) { return std::optional<TColor>(); };
    bar.Entry("actPenColor")->trigger();
    EXPECT_FALSE(session.History().CanUndo()) << "a cancelled choice changes nothing";
}

TEST_F(FormatToolBarTest, PlacingAndLiningUpMoveTheSelectionAsTheDialogSays)
{
    AnswerInputDialog("右端");
    ExpectOneUndoableStep(
        "place", [&] { bar.Entry("actPlace")->trigger(); },
        [&] { return text->GetBounds().right == 1000 && rect->GetBounds().right == 1000; });
    AnswerInputDialog("上揃え");
    ExpectOneUndoableStep(
        "line up", [&] { bar.Entry("actLineUp")->trigger(); },
        [&] { return rect->GetBounds().top == text->GetBounds().top; });
}

TEST_F(FormatToolBarTest, TheBackgroundAndFieldChangesReachTheWholeFace)
{
    auto& background = static_cast<TLOBackImage&>(site.Child(0));
    bar.editBackground = [](TDrawObject& design) {
        static_cast<TLOBackImage&>(design).SetFrameWidth(25);
        return true;
    };
    bar.Update();
    ExpectOneUndoableStep(
        "background", [&] { bar.Entry("actChangeBackground")->trigger(); },
        [&] { return background.FrameWidth() == 25; });
    bar.editBackground = [](TDrawObject& design) {
        static_cast<TLOBackImage&>(design).SetFrameWidth(40);
        return false;
    };
    bar.Entry("actChangeBackground")->trigger();
    EXPECT_EQ(background.FrameWidth(), 0) << "cancelled on a copy";

    text->SetSelected(false);
    AnswerInputDialog("朝の歌");
    ExpectOneUndoableStep(
        "field", [&] { bar.Entry("actChangeField")->trigger(); },
        [&] { return text->Text() == QStringList{"朝の歌"}; });
}

}  // namespace
}  // namespace kestrel

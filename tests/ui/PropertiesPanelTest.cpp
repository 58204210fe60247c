// The properties panel beside the face, driven as a user drives it on the label screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "app/AppFrame.h"
#include "document/ActionList.h"
#include "document/DOList.h"
#include "edit/LayoutActions.h"
#include "edit/LayoutSession.h"
#include "label/LabelData.h"
#include "label/LabelDocumentFixtures.h"
#include "objects/LORect.h"
#include "render/DrawSite.h"
#include "support/MessageRecorder.h"
#include "support/TestEnvironment.h"
#include "text/ShadeText.h"
#include "ui/EditCommands.h"
#include "ui/FaceView.h"
#include "ui/MainWindow.h"
#include "ui/PropertiesPanel.h"
#include "ui/SiteView.h"
#include "ui/StageHost.h"
#include "ui/TextPropertiesDialog.h"

namespace kestrel {
namespace {

constexpr TRect kBox{100, 100, 400, 300};

class PropertiesPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RecordMessages(frame, messages);
        WriteDocument();
        window = std::make_unique<TfrmMain>(frame, nullptr, nullptr);
        window->resize(900, 700);
        ASSERT_TRUE(window->OpenDocument(path));
        ASSERT_TRUE(window->EditFace(0));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // A frameless box (its bounds are its rectangle) in front of a text.
    void WriteDocument()
    {
        TLabelData document;
        document.SetPaper(*test::SquarePaper(1));
        auto box = std::make_unique<TLORect>();
        box->SetFrameWidth(0);
        box->SetBounds(kBox);
        auto text = std::make_unique<TLOTextObject>();
        text->SetBounds({100, 400, 500, 500});
        text->SetText({"夜明けの歌"});
        TDOList frontToBack;
        frontToBack.Add(*box);
        frontToBack.Add(*text);
        document.SaveFaceObjects(0, frontToBack);
        path = test::TestFolder() + "/panel.mld";
        document.SaveToFile(path);
    }

    TPropertiesPanel& Panel() const { return window->FaceView().PropertiesPanel(); }
    TDrawSite& Site() const { return *window->FaceView().Site(); }
    QWidget& Surface() const { return window->FaceView().View()->Surface(); }
    TDrawObject& Box() const { return Site().Child(1); }
    TLOText& Text() const { return static_cast<TLOText&>(Site().Child(0)); }
    TActionList& History() const { return window->Session().History(); }
    void Select(TDrawObject& object) const
    {
        Site().SelectAll(false);
        object.SetSelected(true);
        QApplication::processEvents();
    }
    // Types the value into the box as a user does, ending with Enter.
    static void Type(QAbstractSpinBox& box, const QString& value)
    {
        box.setFocus();
        box.selectAll();
        QTest::keyClicks(&box, value);
        QTest::keyClick(&box, Qt::Key_Return);
    }
    void Undo() const
    {
        window->EditCommands().Actions().undo.ExecuteOn(&Site());
        QApplication::processEvents();
    }

    TAppFrame frame;
    QStringList messages;
    QString path;
    std::unique_ptr<TfrmMain> window;
};

TEST_F(PropertiesPanelTest, AnEditChangesTheSelectedObjectInOneStepThatUndoes)
{
    Select(Box());
    EXPECT_DOUBLE_EQ(Panel().LeftBox().value(), 10.0) << "0.1 mm units shown in millimetres";
    EXPECT_DOUBLE_EQ(Panel().WidthBox().value(), 30.0);
    ASSERT_TRUE(Panel().LeftBox().isEnabled());

    Type(Panel().LeftBox(), "25.5");
    EXPECT_EQ(Box().GetBounds(), kBox.Translated(155, 0));
    EXPECT_EQ(History().Current(), 0) << "one step";
    Type(Panel().WidthBox(), "40");
    EXPECT_EQ(Box().GetBounds().Width(), 400);
    EXPECT_EQ(History().Current(), 1);

    Undo();
    Undo();
    EXPECT_EQ(Box().GetBounds(), kBox);
    EXPECT_DOUBLE_EQ(Panel().LeftBox().value(), 10.0) << "the panel follows the undo";
    EXPECT_DOUBLE_EQ(Panel().WidthBox().value(), 30.0);
}

TEST_F(PropertiesPanelTest, ThePanelFollowsAMouseMove)
{
    Select(Box());
    const QPoint from = Site().LogToDev({250, 200});
    const QPoint to = Site().LogToDev({350, 250});
    QTest::mousePress(&Surface(), Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseEvent(QTest::MouseMove, &Surface(), Qt::NoButton, Qt::NoModifier, (from + to) / 2);
    QTest::mouseEvent(QTest::MouseMove, &Surface(), Qt::NoButton, Qt::NoModifier, to);
    QTest::mouseRelease(&Surface(), Qt::LeftButton, Qt::NoModifier, to);
    ASSERT_NE(Box().GetBounds(), kBox);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(Panel().LeftBox().value(), Box().GetBounds().left / 10.0);
    EXPECT_DOUBLE_EQ(Panel().TopBox().value(), Box().GetBounds().top / 10.0);
}

TEST_F(PropertiesPanelTest, ALockedObjectsPlaceFieldsRefuse)
{
    Select(Box());
    Panel().LockedBox().click();
    EXPECT_FALSE(Box().Movable());
    EXPECT_EQ(History().UndoCaption(), QStringLiteral("オブジェクト固定"));
    for (QWidget* field : std::initializer_list<QWidget*>{&Panel().LeftBox(), &Panel().TopBox(),
                                                          &Panel().WidthBox(), &Panel().HeightBox(),
                                                          &Panel().AngleBox()})
        EXPECT_FALSE(field->isEnabled());
    EXPECT_DOUBLE_EQ(Panel().LeftBox().value(), 10.0) << "shown, not editable";
    EXPECT_FALSE(Panel().Note().isEmpty()) << "the panel says why";

    // Even a value set behind the disabled field's back moves nothing.
    Panel().LeftBox().setValue(50);
    EXPECT_EQ(Box().GetBounds(), kBox);
    EXPECT_EQ(History().Current(), 0);
}

TEST_F(PropertiesPanelTest, TextTheLabelsCannotHoldIsRefusedWithAMessage)
{
    Select(Text());
    EXPECT_EQ(Panel().TextBox().toPlainText(), QStringLiteral("夜明けの歌"));
    EXPECT_TRUE(Panel().FontChooser().isEnabled());
    EXPECT_FALSE(Panel().FillButton().isEnabled()) << "a text has no fill";

    Panel().TextBox().setPlainText(QStringLiteral("歌\U0001F3B5"));
    Panel().TextButton().click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.front().contains(QStringLiteral("「文字」にラベルで使えない文字が含まれています")));
    EXPECT_EQ(Text().Text(), QStringList{"夜明けの歌"});
    EXPECT_EQ(History().Current(), -1);

    Panel().TextBox().setPlainText(QStringLiteral("朝の歌\n二行目"));
    Panel().TextButton().click();
    EXPECT_EQ(Text().Text(), QStringList({"朝の歌", "二行目"}));
    Undo();
    EXPECT_EQ(Panel().TextBox().toPlainText(), QStringLiteral("夜明けの歌"));
}

TEST_F(PropertiesPanelTest, ColoursAndFontsGoThroughTheFormatCommands)
{
    Select(Box());
    Panel().chooseColor = [](TColor) { return std::optional<TColor>(clRed); };
    Panel().FilledBox().click();
    auto& box = static_cast<TLORect&>(Box());
    EXPECT_TRUE(box.FillInside());
    Panel().FillButton().click();
    EXPECT_EQ(box.FillColor().Color(), clRed);
    EXPECT_EQ(History().Current(), 1) << "one step each";
    EXPECT_EQ(History().UndoCaption(), QStringLiteral("設定変更"));

    Select(Text());
    QComboBox& size = Panel().FontChooser().SizeBox();
    size.setCurrentText("36");
    Q_EMIT size.textActivated("36");
    EXPECT_EQ(Text().Font().Size(), 36);
}

TEST_F(PropertiesPanelTest, NothingOrSeveralSelectedSaySoAndKeepOnlyWhatActsOnAll)
{
    Site().SelectAll(false);
    QApplication::processEvents();
    EXPECT_FALSE(Panel().LeftBox().isEnabled());
    EXPECT_FALSE(Panel().LockedBox().isEnabled());
    EXPECT_EQ(Panel().Note(), QStringLiteral("オブジェクトが選ばれていません"));

    Box().SetSelected(true);
    Text().SetSelected(true);
    QApplication::processEvents();
    EXPECT_TRUE(Panel().Note().contains(QStringLiteral("2個")));
    EXPECT_FALSE(Panel().LeftBox().isEnabled());
    EXPECT_FALSE(Panel().TextBox().isEnabled());
    EXPECT_TRUE(Panel().LockedBox().isEnabled());
    EXPECT_TRUE(Panel().PenButton().isEnabled());
    Panel().LockedBox().click();
    EXPECT_FALSE(Box().Movable());
    EXPECT_FALSE(Text().Movable());
    EXPECT_EQ(History().Current(), 0) << "both in one step";
}

TEST_F(PropertiesPanelTest, TheLayoutStageShowsThePanelAndTheTextInputStageLeavesItOut)
{
    ASSERT_TRUE(window->ChangeStage(TStageHost::stTextInput));
    EXPECT_FALSE(Panel().isVisible());
    ASSERT_TRUE(window->ChangeStage(TStageHost::stLayout));
    EXPECT_TRUE(Panel().isVisible());
    ASSERT_TRUE(window->ChangeStage(TStageHost::stTextInput));
    ASSERT_TRUE(window->ShowSheet());
    ASSERT_TRUE(window->EditFace(0));
    EXPECT_TRUE(Panel().isVisible()) << "the label screen has it again";
}

}  // namespace
}  // namespace kestrel

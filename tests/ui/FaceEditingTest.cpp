// The face view driven as a user drives it: keys, menus, the context menu, rulers and the wheel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTimer>
#include <QContextMenuEvent>
#include <QLabel>
#include <QScreen>
#include <QWindow>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>

#include "app/AppFrame.h"
#include "document/ActionList.h"
#include "document/DODesigner.h"
#include "document/DOList.h"
#include "document/Pivot.h"
#include "document/DrawObjectFixtures.h"
#include "document/stream/ClassRegistry.h"
#include "edit/LayoutActions.h"
#include "edit/LayoutSession.h"
#include "edit/MoveModes.h"
#include "label/DocumentFlows.h"
#include "label/LabelData.h"
#include "paper/PaperInfo.h"
#include "platform/Canvas.h"
#include "render/GridGuide.h"
#include "text/LOText.h"
#include "support/MessageRecorder.h"
#include "support/TestEnvironment.h"
#include "ui/EditCommands.h"
#include "ui/FaceView.h"
#include "ui/GridDialog.h"
#include "ui/MainWindow.h"
#include "ui/Ruler.h"
#include "ui/SiteView.h"

namespace kestrel {
namespace {

using test::TFilledRect;

constexpr TRect kFront{300, 100, 500, 300};
constexpr TRect kBack{100, 100, 300, 300};

class FaceEditingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TClassRegistry::Global().Register(TFilledRect::StaticClass());
        test::RecordMessages(frame, messages);
        WriteDocument();
        window = std::make_unique<TfrmMain>(frame, nullptr, nullptr);
        window->resize(500, 400);
        ASSERT_TRUE(window->OpenDocument(path));
        ASSERT_TRUE(window->EditFace(0));
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        Surface().setFocus();
    }
    void TearDown() override { window.reset(); }

    // One face of 1000 x 800 holding a rectangle behind another.
    void WriteDocument()
    {
        TMatrixPaperInfo paper;
        paper.SetPortraitSize(1200, 1000);
        paper.SetLeftOffset(100);
        paper.SetTopOffset(100);
        paper.SetFaceWidth(1000);
        paper.SetFaceHeight(800);
        paper.SetFaceCountX(1);
        paper.SetFaceCountY(1);
        TLabelData document;
        document.SetPaper(paper);
        auto front = std::make_unique<TFilledRect>();
        front->SetBounds(kFront);
        auto back = std::make_unique<TFilledRect>();
        back->SetBounds(kBack);
        TDOList frontToBack;
        frontToBack.Add(*front);
        frontToBack.Add(*back);
        document.SaveFaceObjects(0, frontToBack);
        path = test::TestFolder() + "/face.mld";
        document.SaveToFile(path);
    }

    TFaceView& Face() const { return window->FaceView(); }
    TDrawSite& Site() const { return *Face().Site(); }
    QWidget& Surface() const { return Face().View()->Surface(); }
    TDrawObject& Front() const { return Site().Child(1); }
    TDrawObject& Back() const { return Site().Child(0); }
    TEditCommands& Commands() const { return window->EditCommands(); }
    QString UndoText() const { return Commands().EntryFor(Commands().Actions().undo)->text(); }
    QString RedoText() const { return Commands().EntryFor(Commands().Actions().redo)->text(); }
    TActionList& History() const { return window->Session().History(); }
    int UndoSteps() const { return History().Current() + 1; }
    QPoint DeviceOf(QPoint logical) const { return Site().LogToDev(logical); }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&Surface(), static_cast<Qt::Key>(key), modifiers);
    }

    TAppFrame frame;
    QStringList messages;
    QString path;
    std::unique_ptr<TfrmMain> window;
};

TEST_F(FaceEditingTest, ArrowsNudgeByAUnitAndWithShiftByAGridStep)
{
    Front().SetSelected(true);
    Key(Qt::Key_Right);
    EXPECT_EQ(Front().GetBounds(), kFront.Translated(1, 0));
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Front().GetBounds(), kFront.Translated(1, TGrid::DefaultSize));
    EXPECT_EQ(Back().GetBounds(), kBack) << "not selected";
    EXPECT_EQ(UndoSteps(), 2);
    EXPECT_EQ(UndoText(), "移動の取り消し(&U)");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Front().GetBounds(), kFront.Translated(1, 0));
    EXPECT_EQ(RedoText(), "移動のやり直し(&R)");
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Front().GetBounds(), kFront.Translated(1, TGrid::DefaultSize));
}

// A drag in the face view moves the object under the pointer in one step, and leaving the face
// stores where it went.
TEST_F(FaceEditingTest, DraggingAnObjectInTheFaceViewMovesItInOneStep)
{
    const QPoint from = DeviceOf({400, 200});
    const QPoint to = DeviceOf({500, 250});
    QTest::mousePress(&Surface(), Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseEvent(QTest::MouseMove, &Surface(), Qt::NoButton, Qt::NoModifier, (from + to) / 2);
    QTest::mouseEvent(QTest::MouseMove, &Surface(), Qt::NoButton, Qt::NoModifier, to);
    QTest::mouseRelease(&Surface(), Qt::LeftButton, Qt::NoModifier, to);
    const QPoint moved = Site().DevToLog(to) - Site().DevToLog(from);
    const TRect expected = kFront.Translated(moved.x(), moved.y());
    EXPECT_EQ(Front().GetBounds(), expected);
    EXPECT_EQ(Back().GetBounds(), kBack);
    EXPECT_EQ(UndoSteps(), 1);
    EXPECT_EQ(History().UndoCaption(), "移動");

    ASSERT_TRUE(window->ShowSheet());
    TDOList stored;
    window->Flows().Document().LoadFaceObjects(0, stored);
    ASSERT_EQ(stored.Count(), 2);
    EXPECT_EQ(stored.Item(1).GetBounds(), expected);
}

TEST_F(FaceEditingTest, DeleteSelectAllCopyAndPasteFromTheKeyboard)
{
    QTest::mouseClick(&Surface(), Qt::LeftButton, {}, DeviceOf({450, 200}));
    ASSERT_TRUE(Front().Selected());
    Key(Qt::Key_Delete);
    ASSERT_EQ(Site().ChildCount(), 1);
    EXPECT_EQ(UndoText(), "クリアの取り消し(&U)");
    Key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(Site().ChildCount(), 2);
    EXPECT_EQ(RedoText(), "クリアのやり直し(&R)");

    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(Front().Selected() && Back().Selected());
    Key(Qt::Key_C, Qt::ControlModifier);
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Site().ChildCount(), 4);
    EXPECT_EQ(Site().Child(3).GetBounds(), kFront);
    EXPECT_TRUE(Site().Child(3).Selected() && !Site().Child(1).Selected());
    EXPECT_EQ(UndoSteps(), 1) << "the undone delete's step was replaced";
    EXPECT_EQ(UndoText(), "貼り付けの取り消し(&U)");
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Site().ChildCount(), 2);
    EXPECT_EQ(UndoText(), "切り取りの取り消し(&U)");
}

// The screen as the window system shows it, after the pending repaints.
QImage OnScreen(QWidget& widget)
{
    QApplication::processEvents();
    return widget.screen()->grabWindow(widget.window()->winId()).toImage();
}

bool HasHandleNear(const QImage& screen, QPoint at)
{
    for (int y = at.y() - PivotSize; y <= at.y() + PivotSize; ++y)
        for (int x = at.x() - PivotSize; x <= at.x() + PivotSize; ++x)
            if (screen.valid(x, y) && screen.pixelColor(x, y) == ToQColor(PivotEdgeColor)) return true;
    return false;
}

TEST_F(FaceEditingTest, UndoingAPasteLeavesNoHandlesOnTheScreen)
{
    QTest::mouseClick(&Surface(), Qt::LeftButton, {}, DeviceOf({450, 200}));
    Key(Qt::Key_C, Qt::ControlModifier);
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Site().ChildCount(), 3);
    const QPoint corner = Surface().mapTo(window.get(), DeviceOf(kFront.TopLeft()));
    ASSERT_TRUE(HasHandleNear(OnScreen(*window), corner)) << "the pasted copy is selected";
    Key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(Site().ChildCount(), 2);
    EXPECT_FALSE(Front().Selected());
    EXPECT_FALSE(HasHandleNear(OnScreen(*window), corner));
}

// The title marks unsaved changes, also those still on the face being edited.
TEST_F(FaceEditingTest, TheTitleMarksUnsavedChangesUntilSaved)
{
    QWindow& shown = *window->windowHandle();
    EXPECT_EQ(shown.title(), "Kestrel - face.mld");
    EXPECT_FALSE(window->isWindowModified());
    Front().SetSelected(true);
    Key(Qt::Key_Right);
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(shown.title(), "Kestrel - *face.mld");
    ASSERT_TRUE(window->Flows().Save());
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(shown.title(), "Kestrel - face.mld");
}

TEST_F(FaceEditingTest, TheStatusBarShowsThePointerAndWhereADraggedObjectGoes)
{
    auto* status = window->findChild<QLabel*>("PointerStatus");
    ASSERT_NE(status, nullptr);
    const QPoint from = DeviceOf({400, 200});
    QTest::mouseMove(&Surface(), from);
    const QPoint at = Site().DevToLog(from);
    EXPECT_EQ(status->text(), QString("X: %1 mm  Y: %2 mm").arg(at.x() / 10.0, 0, 'f', 1).arg(at.y() / 10.0, 0, 'f', 1));

    const QPoint to = DeviceOf({500, 250});
    QTest::mousePress(&Surface(), Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseEvent(QTest::MouseMove, &Surface(), Qt::NoButton, Qt::NoModifier, to);
    const QPoint moved = Site().DevToLog(to) - Site().DevToLog(from);
    const TRect goes = kFront.Translated(moved.x(), moved.y());
    EXPECT_EQ(status->text(), QString("左: %1 mm  上: %2 mm  幅: 20.0 mm  高さ: 20.0 mm")
                                  .arg(goes.left / 10.0, 0, 'f', 1)
                                  .arg(goes.top / 10.0, 0, 'f', 1));
    QTest::mouseRelease(&Surface(), Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_TRUE(status->text().startsWith("X: ")) << "the pointer again once dropped";
    ASSERT_TRUE(window->ShowSheet());
    EXPECT_TRUE(status->text().isEmpty()) << "no pointer on the sheet's overview";
}

TEST_F(FaceEditingTest, TheContextMenuOffersWhatAppliesToTheObjectUnderThePointer)
{
    TDrawObject* back = &Back();
    const QPoint onBack = DeviceOf({150, 200});
    QContextMenuEvent event(QContextMenuEvent::Mouse, onBack, Surface().mapToGlobal(onBack));
    QApplication::sendEvent(&Surface(), &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(back->Selected() && !Front().Selected());
    QStringList captions;
    QAction* toFront = nullptr;
    for (QAction* action : menu->actions()) {
        captions << action->text();
        if (action->text() == "前面に移動(&W)") toFront = action;
    }
    EXPECT_TRUE(captions.contains("クリア(&D)"));
    EXPECT_TRUE(captions.contains("固定する(&O)"));
    EXPECT_FALSE(captions.contains("固定しない(&U)")) << "not locked";
    EXPECT_FALSE(captions.contains("縦書き(&V)")) << "a rectangle has no writing direction";
    ASSERT_NE(toFront, nullptr);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(toFront).center());
    EXPECT_EQ(Site().IndexOf(*back), 1) << "now in front";
    EXPECT_EQ(UndoSteps(), 1);
    EXPECT_EQ(UndoText(), "最前面の取り消し(&U)");
}

TEST_F(FaceEditingTest, AGuideIsDraggedOutOfTheRulerOntoWholeMillimetres)
{
    TRuler& top = Face().HorizontalRuler();
    const QPoint target = DeviceOf({0, 304});
    const QPoint inRuler = top.mapFromGlobal(Surface().mapToGlobal(target));
    QTest::mousePress(&top, Qt::LeftButton, {}, QPoint(inRuler.x() + 40, 5));
    QTest::mouseMove(&top, QPoint(inRuler.x() + 40, inRuler.y()));
    EXPECT_TRUE(QToolTip::text().startsWith("上から30.0mm")) << QToolTip::text().toStdString();
    QTest::mouseRelease(&top, Qt::LeftButton, {}, QPoint(inRuler.x() + 40, inRuler.y()));
    TGuide& guide = window->Flows().Document().Guide();
    EXPECT_EQ(guide.Slot(0), QPoint(0, 300));
    EXPECT_TRUE(guide.Enabled() && guide.Visible());
    EXPECT_TRUE(window->Flows().Document().IsModified());

    // Picked on the face and dragged off it, the guide goes.
    const QPoint onGuide = DeviceOf({700, 300});
    QTest::mousePress(&Surface(), Qt::LeftButton, {}, onGuide);
    QTest::mouseMove(&Surface(), QPoint(onGuide.x(), -30));
    EXPECT_EQ(QToolTip::text(), "ｶﾞｲﾄﾞ削除");
    QTest::mouseRelease(&Surface(), Qt::LeftButton, {}, QPoint(onGuide.x(), -30));
    EXPECT_TRUE(guide.IsEmpty());
    EXPECT_FALSE(guide.Enabled());
    EXPECT_FALSE(History().CanUndo()) << "guides are settings, not edits of the face";
}

TEST_F(FaceEditingTest, AnEleventhGuideIsRefused)
{
    TGuide& guide = window->Flows().Document().Guide();
    for (int i = 0; i < TGuide::SlotCount; ++i) guide.SetSlot(i, {0, 10 * (i + 1)});
    QTest::mousePress(&Face().VerticalRuler(), Qt::LeftButton, {}, QPoint(5, 50));
    QTest::mouseRelease(&Face().VerticalRuler(), Qt::LeftButton, {}, QPoint(5, 50));
    EXPECT_EQ(messages, QStringList{"ガイドは10本までです"});
    EXPECT_EQ(guide.Slot(9), QPoint(0, 100));
}

TEST_F(FaceEditingTest, ZoomKeepsThePointUnderThePointerOrTheMiddle)
{
    // Into 400 %, where the face is wider than any view the window's minimum size allows, so
    // that the scroll range never clamps what is being checked.
    Face().SetZoom(200);
    QWidget& viewport = *Face().View()->viewport();
    const auto logicalAt = [&](QPoint inViewport) { return Site().DevToLog(Surface().mapFrom(&viewport, inViewport)); };
    const QPoint pointer = Surface().mapTo(&viewport, DeviceOf({600, 450}));
    ASSERT_TRUE(viewport.rect().contains(pointer));
    const QPoint before = logicalAt(pointer);
    const QPointF at = Surface().mapFrom(&viewport, pointer);
    QWheelEvent wheel(at, Surface().mapToGlobal(at), {}, {0, 120}, Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&Surface(), &wheel);
    EXPECT_EQ(Face().Zoom(), 400);
    const QPoint after = logicalAt(pointer);
    EXPECT_NEAR(after.x(), before.x(), 3);
    EXPECT_NEAR(after.y(), before.y(), 3);

    Face().SetZoom(200);
    const QPoint middle = viewport.rect().center();
    const QPoint centred = logicalAt(middle);
    Face().ZoomIn();
    EXPECT_EQ(Face().Zoom(), 400);
    EXPECT_GT(Face().View()->horizontalScrollBar()->value(), 0);
    EXPECT_NEAR(logicalAt(middle).x(), centred.x(), 3);
    EXPECT_NEAR(logicalAt(middle).y(), centred.y(), 3);
    TRuler& ruler = Face().HorizontalRuler();
    EXPECT_NEAR(ruler.LogicalAt(ruler.mapFromGlobal(viewport.mapToGlobal(middle)).x()), centred.x(), 3)
        << "the ruler follows zoom and scrolling";
}

// A new text typed into the text dialog on the only face of a paper.
class FaceEditingPlacement : public ::testing::Test {
protected:
    void SetUp() override { test::RecordMessages(frame, messages); }

    // A paper of one face, at (100, 100) on a sheet with room around it.
    static TMatrixPaperInfo OneFacePaper(int width, int height)
    {
        TMatrixPaperInfo paper;
        paper.SetPortraitSize(width + 220, height + 220);
        paper.SetLeftOffset(100);
        paper.SetTopOffset(100);
        paper.SetFaceWidth(width);
        paper.SetFaceHeight(height);
        paper.SetFaceCountX(1);
        paper.SetFaceCountY(1);
        return paper;
    }

    TLOText* NewText(const TPaperInfo& paper, const QString& typed, bool vertical)
    {
        TLabelData document;
        document.SetPaper(paper);
        const QString path = test::TestFolder() + "/face.mld";
        document.SaveToFile(path);
        window = std::make_unique<TfrmMain>(frame, nullptr, nullptr);
        if (!window->OpenDocument(path) || !window->EditFace(0)) return nullptr;
        TDrawSite& site = *window->FaceView().Site();
        QTimer::singleShot(0, window.get(), [typed, vertical] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QPlainTextEdit*>()->setPlainText(typed);
            for (QCheckBox* box : dialog->findChildren<QCheckBox*>())
                if (box->text() == QStringLiteral("縦書き(&V)")) box->setChecked(vertical);
            dialog->accept();
        });
        if (!window->Session().Designers().CreateOnSite(site, "TLOText")) return nullptr;
        return dynamic_cast<TLOText*>(&site.Child(site.ChildCount() - 1));
    }

    TAppFrame frame;
    QStringList messages;
    std::unique_ptr<TfrmMain> window;
};

// A new text on a disc lands on the printed ring above the hole, inside the face.
TEST_F(FaceEditingPlacement, ANewTextOnADiscGoesWhereItPrints)
{
    TMatrixPaperInfo paper = OneFacePaper(1180, 1180);
    paper.SetFaceMargin(20);
    paper.SetFaceShape(fsDoughnut);
    paper.SetCutCenterWidth(410);
    paper.SetCutCenterHeight(410);
    TLOText* text = NewText(paper, QStringLiteral("タイトル"), false);
    ASSERT_NE(text, nullptr);
    const TRect bounds = text->GetBounds();
    // Outer rectangle 1220 wide with the face 20 inside it; the hole spans 405..815 both ways.
    const TRect face{20, 20, 1200, 1200}, hole{405, 405, 815, 815};
    EXPECT_TRUE(bounds.left >= face.left && bounds.top >= face.top && bounds.right <= face.right &&
                bounds.bottom <= face.bottom);
    EXPECT_LE(bounds.bottom, hole.top) << "not over the hole, where nothing prints";
    EXPECT_NEAR((bounds.left + bounds.right) / 2, 610, 1);
    EXPECT_NEAR((bounds.top + bounds.bottom) / 2, (20 + 405) / 2, 1);
}

// A vertical title on a 6.5 mm spine: the largest size that fits, and a box around the text.
TEST_F(FaceEditingPlacement, ANewVerticalTextOnASpineTakesTheLargestSizeThatFits)
{
    TLOText* text = NewText(OneFacePaper(65, 1180), QStringLiteral("アルバムタイトル"), true);
    ASSERT_NE(text, nullptr);
    ASSERT_TRUE(text->Vertical());
    const TRect bounds = text->GetBounds();
    EXPECT_TRUE(bounds.left >= 0 && bounds.right <= 65 && bounds.top >= 0 && bounds.bottom <= 1180)
        << bounds.left << ".." << bounds.right;
    const int size = text->Font().Size();
    EXPECT_LT(size, 24);
    EXPECT_GT(size, 10) << "as large as fits, not just smaller";
    // One point more no longer fits across the spine.
    TLOText larger;
    larger.Assign(*text);
    larger.EditFont().SetSize(size + 1);
    EXPECT_GT(larger.Layout().GetTextBounds(larger.Rect(), true).Width(), 65);

    // The selection box holds the printed characters, without much room around them.
    QImage ink(65, 1180, QImage::Format_RGB32);
    ink.fill(Qt::white);
    {
        TCanvas canvas(ink);
        canvas.SetFontResolution(LogicalUnitsPerInch);
        text->PaintTo(canvas);
    }
    QRect painted;
    for (int y = 0; y < ink.height(); ++y)
        for (int x = 0; x < ink.width(); ++x)
            if (qGray(ink.pixel(x, y)) < 128) painted |= QRect(x, y, 1, 1);
    ASSERT_FALSE(painted.isEmpty());
    const TRect box = text->Rect();
    EXPECT_GE(painted.left(), box.left - 1);
    EXPECT_LE(painted.right(), box.right);
    EXPECT_GE(painted.top(), box.top - 1);
    EXPECT_LE(painted.bottom(), box.bottom);
    EXPECT_GT(painted.width(), box.Width() * 2 / 3);
}

TEST(GridDialogTest, WritesAllFourValuesAndOffersTheShapeOnlyWhenShown)
{
    TGrid grid;
    TGridDialog dialog(grid);
    auto* shape = dialog.findChild<QComboBox*>();
    ASSERT_NE(shape, nullptr);
    EXPECT_FALSE(shape->isEnabled());
    dialog.findChild<QSpinBox*>("Interval")->setValue(7);
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) box->setChecked(true);
    EXPECT_TRUE(shape->isEnabled());
    shape->setCurrentIndex(1);
    dialog.SaveTo(grid);
    EXPECT_EQ(grid.Size(), 70);
    EXPECT_TRUE(grid.Enabled() && grid.Visible() && grid.LineShape());
}

}  // namespace
}  // namespace kestrel

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <memory>

#include "app/AppFrame.h"
#include "document/ActionList.h"
#include "document/DODesigner.h"
#include "edit/ModelStartup.h"
#include "objects/LODecoLine.h"
#include "objects/LOLine.h"
#include "objects/LORect.h"
#include "platform/Rounding.h"
#include "edit/GhostList.h"
#include "render/DrawSiteFixtures.h"
#include "ui/ColorSpecEditor.h"
#include "ui/ObjectCommands.h"
#include "ui/ShapePropertiesDialog.h"

namespace kestrel {
namespace {

TEST(ShapeKinds, EachShapeIsDrawnOutWithTheMouseAsOneUndoStep)
{
    InitializeModel();
    ActionList().Clear();
    TDrawSite site;
    test::SetUpDocumentSite(site, 1200, 1000);
    int made = 0;
    for (const char* kind : {"TLOLine", "TLOCurve", "TLORect", "TLOCircle"}) {
        ASSERT_TRUE(DesignerList().CreateOnSite(site, kind));
        TDrawObject& object = site.Child(site.ChildCount() - 1);
        EXPECT_FALSE(object.Visible()) << kind << " waits for the drag";
        EXPECT_EQ(site.CursorAt(site.LogToDev({50, 50})), crCross);
        GhostList().BeginDrag(site, site.LogicalArea(), {100, 100}, 0);
        GhostList().DragTo({500, 400}, 0);
        GhostList().EndDrag();
        EXPECT_TRUE(object.Visible()) << kind;
        EXPECT_EQ(ActionList().Count(), ++made);
    }
    EXPECT_EQ(site.CursorAt(site.LogToDev({50, 50})), crDefault);
    auto& line = dynamic_cast<TLOLine&>(site.Child(0));
    EXPECT_EQ(line.EndPoint() - line.StartPoint(), QPoint(400, 300));
    auto& rect = dynamic_cast<TLORect&>(site.Child(2));
    EXPECT_EQ(rect.Rect(), TRect(100, 100, 500, 400));
    EXPECT_EQ(rect.FillColor().Color(), clWhite);
    EXPECT_TRUE(site.Child(3).Selected());
    EXPECT_FALSE(rect.Selected());
    ActionList().Undo();
    EXPECT_EQ(site.ChildCount(), 3);
    ActionList().Clear();
}

TEST(ShapeKinds, CurvesAndEllipsesUseTheShapeDialog)
{
    TLOCurve curve;
    TLOCircle circle;
    EXPECT_NE(FindPropertiesEditor(curve), nullptr);
    EXPECT_NE(FindPropertiesEditor(circle), nullptr);
}

TEST(ShapePropertiesDialog, AppliesEveryRectangleSetting)
{
    TLORect rect;
    rect.SetBounds({0, 0, 300, 200});
    std::unique_ptr<TShapePropertiesDialog> dialog(TShapePropertiesDialog::Create(rect, nullptr));
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(dialog->RoundRectBox(), nullptr);
    EXPECT_EQ(dialog->BulgeBox(), nullptr);
    EXPECT_DOUBLE_EQ(dialog->WidthBox()->value(), 1.0) << "10 units are 1 mm";
    dialog->WidthBox()->setValue(2.5);
    dialog->AngleBox()->setValue(30);
    dialog->OpacityBox()->setValue(40);
    dialog->FillInsideBox()->setChecked(true);
    dialog->RoundRectBox()->setChecked(true);
    TColorSpecEditor& frame = *dialog->LineColorEditor();
    frame.KindBox().setCurrentIndex(frame.KindBox().findData(cskGradation));
    frame.FirstStopButton().SetColour(0x0000FF);
    frame.GradKindBox().setCurrentIndex(rgkCircleToCenter);
    dialog->FillColorEditor()->SolidButton().SetColour(0x00FF00);
    dialog->Apply();

    EXPECT_EQ(rect.FrameWidth(), 25);
    EXPECT_EQ(rect.Angle(), 30);
    EXPECT_EQ(rect.BlendRatio(), 40);
    EXPECT_TRUE(rect.FillInside());
    EXPECT_TRUE(rect.RoundRect());
    EXPECT_EQ(rect.FrameColor().Kind(), cskGradation);
    EXPECT_EQ(rect.FrameColor().GradColors().Stop(0), 0x0000FF);
    EXPECT_EQ(rect.FrameColor().GradKind(), rgkCircleToCenter);
    EXPECT_EQ(rect.FillColor().Kind(), cskSolid);
    EXPECT_EQ(rect.FillColor().Color(), 0x00FF00);
}

TEST(ShapePropertiesDialog, AppliesLineAndCurveSettings)
{
    TLOCurve curve;
    curve.SetEndPoint({200, 0});
    std::unique_ptr<TShapePropertiesDialog> dialog(TShapePropertiesDialog::Create(curve, nullptr));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->FillInsideBox(), nullptr);
    dialog->BulgeBox()->setValue(-4.2);
    dialog->WidthBox()->setValue(0.3);
    dialog->AngleBox()->setValue(90);
    dialog->LineColorEditor()->SolidButton().SetColour(0x123456);
    dialog->Apply();
    EXPECT_EQ(curve.Bulge(), -42);
    EXPECT_EQ(curve.LineWidth(), 3);
    EXPECT_EQ(curve.Angle(), 90);
    EXPECT_EQ(curve.LineColor().Color(), 0x123456);

    test::TFilledRect notAShape;
    EXPECT_EQ(TShapePropertiesDialog::Create(notAShape, nullptr), nullptr);
}

TEST(ShapePropertiesDialog, ChoosingAPatternForANewDecoratedLineSizesIt)
{
    TAppFrame frame;
    frame.Macro().SetLines({QStringLiteral("ExeDir=" KESTREL_BINARY_DIR "/src/")});
    TLODecoLine line;
    std::unique_ptr<TShapePropertiesDialog> dialog(TShapePropertiesDialog::Create(line, nullptr));
    ASSERT_NE(dialog->PatternList(), nullptr);
    ASSERT_GE(dialog->PatternList()->count(), 16);
    EXPECT_FALSE(dialog->LineColorEditor()->isVisibleTo(dialog.get())) << "the pattern gives the colours";
    QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    EXPECT_FALSE(ok->isEnabled()) << "a new decorated line needs its pattern";
    dialog->PatternList()->setCurrentRow(3);
    EXPECT_TRUE(ok->isEnabled());
    dialog->Apply();
    const QImage chosen(dialog->PatternList()->item(3)->data(Qt::UserRole).toString());
    EXPECT_EQ(line.Image(), chosen);
    EXPECT_EQ(line.EndPoint().x(), 6 * MulDiv(chosen.width(), 254, 180));
    EXPECT_EQ(line.Repetitions(), 6);

    // Another pattern for a line that has one keeps its size.
    line.SetLineWidth(100);
    std::unique_ptr<TShapePropertiesDialog> again(TShapePropertiesDialog::Create(line, nullptr));
    again->PatternList()->setCurrentRow(0);
    again->Apply();
    EXPECT_EQ(line.LineWidth(), 100);
    EXPECT_NE(line.Image(), chosen);
}

}  // namespace
}  // namespace kestrel

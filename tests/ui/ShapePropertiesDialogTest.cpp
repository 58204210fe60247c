#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "app/AppFrame.h"
#include "app/ProgramMacros.h"
#include "document/ObjectKinds.h"
#include "document/stream/ObjectStream.h"
#include "edit/LayoutSession.h"
#include "objects/LOAlphaMask.h"
#include "objects/LODecoLine.h"
#include "objects/LOLine.h"
#include "objects/LORect.h"
#include "platform/Rounding.h"
#include "render/DrawSiteFixtures.h"
#include "render/PictureEx.h"
#include "support/TestEnvironment.h"
#include "ui/ColorSpecEditor.h"
#include "ui/ObjectCommands.h"
#include "ui/ShapePropertiesDialog.h"

namespace kestrel {
namespace {

TEST(ShapeKinds, EachShapeIsDrawnOutWithTheMouseAsOneUndoStep)
{
    TLayoutSession session;
    TDrawSite site;
    session.Attach(site);
    test::SetUpDocumentSite(site, 1200, 1000);
    int made = 0;
    for (const char* kind : {"TLOLine", "TLOCurve", "TLORect", "TLOCircle"}) {
        ASSERT_TRUE(session.Designers().CreateOnSite(site, kind));
        TDrawObject& object = site.Child(site.ChildCount() - 1);
        EXPECT_FALSE(object.Visible()) << kind << " waits for the drag";
        EXPECT_EQ(site.CursorAt(site.LogToDev({50, 50})), crCross);
        session.Ghosts().BeginDrag(site, site.LogicalArea(), {100, 100}, 0);
        session.Ghosts().DragTo({500, 400}, 0);
        session.Ghosts().EndDrag();
        EXPECT_TRUE(object.Visible()) << kind;
        EXPECT_EQ(session.History().Count(), ++made);
    }
    EXPECT_EQ(site.CursorAt(site.LogToDev({50, 50})), crDefault);
    auto& line = dynamic_cast<TLOLine&>(site.Child(0));
    EXPECT_EQ(line.EndPoint() - line.StartPoint(), QPoint(400, 300));
    auto& rect = dynamic_cast<TLORect&>(site.Child(2));
    EXPECT_EQ(rect.Rect(), TRect(100, 100, 500, 400));
    EXPECT_EQ(rect.FillColor().Color(), clWhite);
    EXPECT_TRUE(site.Child(3).Selected());
    EXPECT_FALSE(rect.Selected());
    session.History().Undo();
    EXPECT_EQ(site.ChildCount(), 3);
}

TEST(ShapeKinds, CurvesEllipsesAndShadeShapesUseTheShapeDialog)
{
    TLOCurve curve;
    TLOCircle circle;
    TLOAlphaMask shade;
    EXPECT_NE(FindPropertiesEditor(curve), nullptr);
    EXPECT_NE(FindPropertiesEditor(circle), nullptr);
    EXPECT_NE(FindPropertiesEditor(shade), nullptr);
    const TObjectKind* kind = TObjectKinds::Global().Find("TLOAlphaMask");
    ASSERT_NE(kind, nullptr);
    EXPECT_FALSE(kind->caption.isEmpty()) << "in the insert menu";
    EXPECT_NE(TObjectKinds::Global().NewObject("TLOAlphaMask"), nullptr) << "registered for creation and streams";
}

QImage Grey(int w, int h, int level)
{
    QImage picture(w, h, QImage::Format_RGB32);
    picture.fill(qRgb(level, level, level));
    return picture;
}

TEST(ShapePropertiesDialog, AShadeShapeTakesItsPictureBlurFillAndAngle)
{
    TLOAlphaMask shade;
    std::unique_ptr<TShapePropertiesDialog> dialog(TShapePropertiesDialog::Create(shade, nullptr));
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(dialog->ShadeSizeBox(), nullptr);
    EXPECT_EQ(dialog->WidthBox(), nullptr) << "a shade shape has no line";
    QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    EXPECT_FALSE(ok->isEnabled()) << "a new shade shape needs its picture";
    dialog->ChosenPicture().SetImage(Grey(180, 90, 255));
    dialog->ShadeSizeBox()->setValue(12);
    dialog->AngleBox()->setValue(45);
    dialog->OpacityBox()->setValue(80);
    dialog->FillColorEditor()->SolidButton().SetColour(0x0000FF);
    dialog->Apply();
    EXPECT_EQ(shade.Picture().Width(), 180);
    EXPECT_EQ(QSize(shade.Width(), shade.Height()), QSize(254, 127)) << "a first picture brings its natural size";
    EXPECT_EQ(shade.ShadeSize(), 12);
    EXPECT_EQ(shade.Angle(), 45);
    EXPECT_EQ(shade.BlendRatio(), 80);
    EXPECT_EQ(shade.FillColor().Color(), 0x0000FF);

    // Another picture keeps the shape's place and takes the new proportions.
    shade.SetBounds({0, 0, 400, 400});
    std::unique_ptr<TShapePropertiesDialog> again(TShapePropertiesDialog::Create(shade, nullptr));
    EXPECT_TRUE(again->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled());
    again->ChosenPicture().SetImage(Grey(50, 100, 128));
    again->Apply();
    EXPECT_EQ(QSize(shade.Width(), shade.Height()), QSize(200, 400));
}

TEST(ShapePropertiesDialog, AShadePictureChosenFromAFileIsStoredWithoutTheFilesPath)
{
    TAppFrame frame;
    frame.Macro().SetLines(ProgramMacroTable());
    frame.Loaded();
    const QString file = test::TestFolder() + QStringLiteral("/shade.png");
    ASSERT_TRUE(Grey(40, 20, 200).save(file));
    TLOAlphaMask shade;
    std::unique_ptr<TShapePropertiesDialog> dialog(TShapePropertiesDialog::Create(shade, nullptr));
    // Timers bound to the dialog never outlive the test.
    std::function<void()> pick = [&] {
        auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!files) return QTimer::singleShot(10, dialog.get(), pick);
        files->selectFile(file);
        static_cast<QDialog*>(files)->accept();  // as the open button does
    };
    QTimer::singleShot(0, dialog.get(), pick);
    dialog->ChooseShadePicture();
    dialog->Apply();
    EXPECT_EQ(shade.Picture().Width(), 40);
    EXPECT_TRUE(shade.Picture().ImageID().isEmpty());
    QByteArray stream;
    WriteObject(stream, shade);
    EXPECT_FALSE(stream.contains("shade.png"));
    EXPECT_TRUE(stream.contains("Picture.Data"));
}

TEST(ColorSpecEditor, APictureFillTakesTheChosenPictureAndHowItIsLaid)
{
    TColorSpec spec;
    TColorSpecEditor editor(QStringLiteral("塗り"), spec);
    editor.KindBox().setCurrentIndex(editor.KindBox().findData(cskBitmap));
    editor.Picture().SetImage(Grey(8, 4, 64));
    editor.TileBox().setChecked(true);
    editor.TileShiftBox().setChecked(true);
    editor.ApplyTo(spec);
    EXPECT_EQ(spec.Kind(), cskBitmap);
    EXPECT_EQ(spec.Picture().size(), QSize(8, 4));
    EXPECT_TRUE(spec.Tile());
    EXPECT_TRUE(spec.TileShift());

    // Reopened, the picture fill is shown as it is; confirmed as a colour, it drops its picture.
    TColorSpecEditor reopened(QStringLiteral("塗り"), spec);
    EXPECT_EQ(reopened.KindBox().currentData().toInt(), cskBitmap);
    EXPECT_TRUE(reopened.TileBox().isChecked());
    reopened.KindBox().setCurrentIndex(reopened.KindBox().findData(cskSolid));
    reopened.SolidButton().SetColour(0x00FF00);
    reopened.ApplyTo(spec);
    EXPECT_EQ(spec.Kind(), cskSolid);
    EXPECT_EQ(spec.Color(), 0x00FF00);
    EXPECT_FALSE(spec.ImageData().Picture().HasGraphic());
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

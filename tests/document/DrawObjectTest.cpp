#include <QPdfWriter>
#include <gtest/gtest.h>

#include "app/ExceptionReport.h"
#include "document/CanvasMixing.h"
#include "document/EditSession.h"
#include "document/DrawObjectFixtures.h"
#include "document/Pivot.h"
#include "document/Transformer.h"
#include "platform/Error.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

using test::PixelAt;
using test::TFilledRect;
using test::TKindCounter;
using test::TTestSite;
using test::WhiteImage;

struct TExpectedProp {
    const char* name;
    TPropKind kind;
    std::optional<int64_t> def;
    bool neverStored = false;
};

void ExpectProperties(const TClassInfo& info, const std::vector<TExpectedProp>& expected)
{
    const auto& props = info.Properties();
    ASSERT_EQ(props.size(), expected.size()) << info.Name().constData();
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(props[i].name, expected[i].name);
        EXPECT_EQ(props[i].kind, expected[i].kind);
        EXPECT_EQ(props[i].neverStored, expected[i].neverStored);
        if (props[i].IsOrdinal()) {
            EXPECT_EQ(props[i].OrdinalDefault(), expected[i].def);
        }
    }
}

const std::vector<TExpectedProp> DrawObjectProps = {
    {"Tag", TPropKind::Integer, 0},
    {"Left", TPropKind::Integer, 0, true},
    {"Top", TPropKind::Integer, 0, true},
    {"Width", TPropKind::Integer, 0, true},
    {"Height", TPropKind::Integer, 0, true},
    {"Cursor", TPropKind::Cursor, 0},
    {"Hint", TPropKind::String, 0},
    {"Border", TPropKind::Bool, std::nullopt},
    {"PopupMenu", TPropKind::Component, 0},
    {"Movable", TPropKind::Bool, 1},
    {"Selectable", TPropKind::Bool, 1},
    {"LayerGroup", TPropKind::Integer, std::nullopt},
    {"OnModify", TPropKind::Method, 0},
    {"Appendix", TPropKind::Strings, 0},
};

TEST(DrawObjectProperties, StreamOrderAndDefaultsPerClass)
{
    ExpectProperties(TDrawObject::StaticClass(), DrawObjectProps);

    auto label = DrawObjectProps;
    label.push_back({"DontPrint", TPropKind::Bool, std::nullopt});
    label.push_back({"BlendRatio", TPropKind::Integer, 100});
    label.push_back({"BlendShade", TPropKind::Bool, 0});
    ExpectProperties(TLabelObject::StaticClass(), label);

    auto rect = label;
    for (int i = 1; i <= 4; ++i) rect[i].def = std::nullopt, rect[i].neverStored = false;
    ExpectProperties(TLORectBase::StaticClass(), rect);
    ExpectProperties(TFilledRect::StaticClass(), rect);
    EXPECT_TRUE(TLORectBase::StaticClass().IsAbstract());
}

TEST(DrawObjectProperties, DescriptorsReachTheObjectsValues)
{
    TFilledRect obj;
    const TClassInfo& info = obj.ClassInfo();
    info.FindProperty("Width")->SetOrdinal(obj, 250);
    info.FindProperty("Left")->SetOrdinal(obj, 30);
    EXPECT_EQ(obj.Rect(), (TRect{30, 0, 280, 0}));
    EXPECT_EQ(info.FindProperty("Movable")->Ordinal(obj), 1);
    EXPECT_EQ(info.FindProperty("BlendRatio")->Ordinal(obj), 100);
    info.FindProperty("Appendix")->SetLines(obj, {"a", "b"});
    EXPECT_EQ(obj.Appendix(), QStringList({"a", "b"}));
    info.FindProperty("OnModify")->SetText(obj, "FormModify");
    EXPECT_EQ(obj.OnModifyName(), "FormModify");
}

TEST(RectBase, NegativeWidthFlipsAndOtherSettersKeepTheSize)
{
    TFilledRect obj;
    obj.SetBounds({500, 100, 700, 300});
    obj.SetWidth(-100);
    EXPECT_EQ(obj.Left(), 400);
    EXPECT_EQ(obj.Width(), 100);
    obj.SetHeight(-50);
    EXPECT_EQ(obj.Rect(), (TRect{400, 50, 500, 100}));
    obj.SetLeft(0);
    obj.SetTop(10);
    EXPECT_EQ(obj.Rect(), (TRect{0, 10, 100, 60}));
    obj.MoveBy(5, -5);
    EXPECT_EQ(obj.Rect(), (TRect{5, 5, 105, 55}));
    obj.SetBounds({20, 30, 10, 0});
    EXPECT_EQ(obj.Rect(), (TRect{10, 0, 20, 30}));
}

TEST(RectBase, HitTestExcludesRightAndBottomAndNothingHitsDuringADrag)
{
    TTestSite site;
    TFilledRect& obj = site.Add({100, 100, 200, 200});
    EXPECT_EQ(obj.HitTest({100, 100}), 1);
    EXPECT_EQ(obj.HitTest({199, 199}), 1);
    EXPECT_EQ(obj.HitTest({200, 150}), 0);
    EXPECT_EQ(obj.HitTest({150, 200}), 0);
    // Element (10, 10)-(21, 21); element point (5, 5) is logical (150, 150).
    EXPECT_EQ(obj.ElementBounds(), (TRect{10, 10, 21, 21}));
    EXPECT_TRUE(obj.ElementHitTest({5, 5}));
    site.dragging = true;
    EXPECT_FALSE(obj.ElementHitTest({5, 5}));
}

TEST(ChangeNotification, SettersReportOnlyRealChangesToNotifierSiteAndHandler)
{
    TTestSite site;
    TFilledRect& obj = site.Add({0, 0, 100, 100});
    TKindCounter modified(obj.Notifier(), NotifyModified);
    int handlerCalls = 0;
    obj.SetOnModify([&](TDrawObject& sender) { handlerCalls += &sender == &obj; });
    site.modifiedCalls = 0;

    obj.SetBounds({0, 0, 100, 100});
    obj.SetBlendRatio(100);
    obj.SetMovable(true);
    EXPECT_EQ(modified.count, 0);

    obj.SetBounds({0, 0, 50, 100});
    EXPECT_EQ(modified.count, 1);
    EXPECT_EQ(modified.lastSender, &obj);
    EXPECT_EQ(handlerCalls, 1);
    EXPECT_EQ(site.modifiedCalls, 1);
    EXPECT_EQ(obj.ElementBounds(), (TRect{0, 0, 6, 11}));
}

TEST(ChangeNotification, AppendixChangesCallTheHandlerWithoutBroadcasting)
{
    TTestSite site;
    TFilledRect& obj = site.Add({0, 0, 100, 100});
    TKindCounter modified(obj.Notifier(), NotifyModified);
    int handlerCalls = 0;
    obj.SetOnModify([&](TDrawObject&) { ++handlerCalls; });
    site.modifiedCalls = 0;
    obj.SetAppendix({"line"});
    obj.SetAppendix({"line"});
    EXPECT_EQ(handlerCalls, 1);
    EXPECT_EQ(site.modifiedCalls, 1);
    EXPECT_EQ(modified.count, 0);
}

TEST(ChangeNotification, AssignRaisesExactlyOneModifiedAndCopiesTheChain)
{
    TFilledRect source;
    source.SetBounds({10, 20, 110, 220});
    source.SetBorder(true);
    source.SetDontPrint(true);
    source.SetBlendRatio(40);
    source.SetBlendShade(true);
    source.SetMovable(false);
    source.SetHint("hint");
    source.SetCursor(crHandPoint);
    source.SetTag(7);
    source.SetLayerGroup(3);
    source.SetAppendix({"x"});

    TFilledRect target;
    TKindCounter modified(target.Notifier(), NotifyModified);
    TKindCounter printFlag(target.Notifier(), NotifyPrintFlagChanged);
    int handlerCalls = 0;
    target.SetOnModify([&](TDrawObject&) { ++handlerCalls; });
    target.Assign(source);

    EXPECT_EQ(modified.count, 1);
    EXPECT_EQ(handlerCalls, 1);
    EXPECT_EQ(printFlag.count, 1);
    EXPECT_EQ(target.Rect(), source.Rect());
    EXPECT_TRUE(target.Border());
    EXPECT_TRUE(target.DontPrint());
    EXPECT_EQ(target.BlendRatio(), 40);
    EXPECT_TRUE(target.BlendShade());
    EXPECT_FALSE(target.Movable());
    EXPECT_EQ(target.Hint(), "hint");
    EXPECT_EQ(target.Cursor(), crHandPoint);
    EXPECT_EQ(target.Tag(), 7);
    EXPECT_EQ(target.LayerGroup(), 3);
    EXPECT_EQ(target.Appendix(), QStringList{"x"});

    target.Assign(source);  // nothing differs any more
    EXPECT_EQ(modified.count, 1);
    EXPECT_THROW(target.Assign(TCollection()), EKestrel);
}

TEST(ChangeNotification, NestedUpdatesReportOnceAtTheOutermostEnd)
{
    TChangeNotify notify(nullptr, [] {});
    int callbacks = 0;
    TChangeNotify counted(nullptr, [&] { ++callbacks; });
    TKindCounter modified(counted, NotifyModified);

    counted.BeginUpdate();
    counted.BeginUpdate();
    counted.Changed();
    counted.Changed();
    counted.EndUpdate();
    EXPECT_EQ(modified.count, 0);
    counted.EndUpdate();
    EXPECT_EQ(modified.count, 1);
    EXPECT_EQ(callbacks, 1);

    counted.BeginUpdate();
    counted.EndUpdate();
    counted.EndUpdate();  // unbalanced: ignored
    EXPECT_EQ(modified.count, 1);
    counted.Changed();
    EXPECT_EQ(modified.count, 2);
}

TEST(Selection, NonSelectableObjectsCanOnlyBeDeselected)
{
    TFilledRect obj;
    TKindCounter selection(obj.Notifier(), NotifySelectionChanged);
    obj.SetSelected(true);
    EXPECT_TRUE(obj.Selected());
    obj.SetSelectable(false);
    EXPECT_FALSE(obj.Selected());  // becoming non-selectable deselects
    EXPECT_EQ(selection.count, 2);
    obj.SetSelected(true);
    EXPECT_FALSE(obj.Selected());
    EXPECT_EQ(selection.count, 2);
    obj.SetSelected(false);
    EXPECT_EQ(selection.count, 3);
}

TEST(Selection, MovableChangeNotifiesAndDecidesHandleLooksAndCursors)
{
    TFilledRect obj;
    TKindCounter movable(obj.Notifier(), NotifyMovableChanged);
    TKindCounter modified(obj.Notifier(), NotifyModified);
    TPivot pivot(obj, 0, crSizeNWSE);
    EXPECT_EQ(pivot.Cursor(), crSizeNWSE);

    // A light square with a dark edge, whatever lies under it.
    QImage image = WhiteImage(PivotSize + 2, PivotSize + 2);
    image.fill(Qt::black);
    {
        TCanvas canvas(image);
        pivot.Paint(canvas);
    }
    EXPECT_EQ(PixelAt(image, 0, 0), PivotEdgeColor);
    EXPECT_EQ(PixelAt(image, PivotSize - 1, PivotSize - 1), PivotEdgeColor);
    EXPECT_EQ(PixelAt(image, PivotSize / 2, PivotSize / 2), clWhite);
    EXPECT_EQ(PixelAt(image, PivotSize, PivotSize), clBlack) << "nothing beyond its size";

    obj.SetMovable(false);
    EXPECT_EQ(movable.count, 1);
    EXPECT_EQ(modified.count, 1);
    EXPECT_EQ(pivot.Cursor(), crDefault);
    {
        TCanvas canvas(image);
        pivot.Paint(canvas);
    }
    EXPECT_EQ(PixelAt(image, 0, 0), PivotEdgeColor);
    const TColor locked = PixelAt(image, PivotSize / 2, PivotSize / 2);
    EXPECT_NE(locked, clWhite) << "a locked owner's handle looks different";
    EXPECT_NE(locked, PivotEdgeColor);

    obj.SetMovable(false);
    EXPECT_EQ(movable.count, 1);
}

TEST(Layers, BringToFrontStopsBelowTheLowestHigherBand)
{
    TTestSite site;
    TFilledRect& a = site.Add({}, 0);
    TFilledRect& b = site.Add({}, 0);
    TFilledRect& c = site.Add({}, 1);
    TFilledRect& d = site.Add({}, 2);
    TKindCounter modified(a.Notifier(), NotifyModified);

    a.BringToFront();
    EXPECT_EQ(site.IndexOf(a), 1);
    EXPECT_EQ(site.IndexOf(b), 0);
    EXPECT_EQ(modified.count, 1);
    a.BringToFront();  // already there
    EXPECT_EQ(modified.count, 1);

    d.SendToBack();  // the only object of its band stays above the lower bands
    EXPECT_EQ(site.IndexOf(d), 3);
    c.SendToBack();
    EXPECT_EQ(site.IndexOf(c), 2);
    b.SendToBack();
    EXPECT_EQ(site.IndexOf(b), 0);
    a.SendToBack();
    EXPECT_EQ(site.IndexOf(a), 0);
    EXPECT_EQ(site.IndexOf(b), 1);

    d.SetLayerGroup(-1);
    d.SendToBack();
    EXPECT_EQ(site.IndexOf(d), 0);
    c.SetLayerGroup(5);
    c.BringToFront();
    EXPECT_EQ(site.IndexOf(c), 3);

    // A band raised in place: sending it back stops just above the front-most lower band.
    d.SetLayerGroup(9);
    d.SendToBack();
    EXPECT_EQ(site.IndexOf(d), 3);
    EXPECT_EQ(site.IndexOf(c), 2);

    TFilledRect loose;
    loose.BringToFront();  // no site: nothing to do, no failure
    loose.SendToBack();
}

TEST(Layers, AddedObjectsGoToTheFrontOfTheirBandOnly)
{
    TTestSite site;
    auto add = [&site](int layerGroup) -> TDrawObject& {
        auto object = std::make_unique<TFilledRect>();
        object->SetLayerGroup(layerGroup);
        return site.AddObject(std::move(object));
    };
    TDrawObject& a1 = add(1);
    TDrawObject& a0 = add(0);
    TDrawObject& a2 = add(2);
    TDrawObject& b1 = add(1);
    TDrawObject& b0 = add(0);
    EXPECT_EQ((std::vector<int>{site.IndexOf(a0), site.IndexOf(b0), site.IndexOf(a1), site.IndexOf(b1), site.IndexOf(a2)}),
              (std::vector<int>{0, 1, 2, 3, 4}));
    // A band raised in place still counts: the new object stops below the first higher one.
    a0.SetLayerGroup(7);
    TDrawObject& c3 = add(3);
    EXPECT_EQ(site.IndexOf(c3), 0);
    EXPECT_EQ(site.IndexOf(a0), 1);
}

TEST(Painting, ElementPaintingMapsLogicalUnitsAndDrawsTheBorder)
{
    TTestSite site;
    TFilledRect& obj = site.Add({100, 100, 300, 300});
    obj.fill = clRed;
    obj.SetBorder(true);
    QImage image = WhiteImage(40, 40);
    {
        TCanvas canvas(image);
        site.PaintChildren(canvas);
        site.PaintChildren(canvas);
    }
    EXPECT_EQ(obj.paintCount, 2);
    EXPECT_FALSE(obj.PaintFailed());
    EXPECT_EQ(PixelAt(image, 15, 15), clRed);
    EXPECT_EQ(PixelAt(image, 29, 29), clRed);
    EXPECT_EQ(PixelAt(image, 9, 15), clWhite);
    EXPECT_EQ(PixelAt(image, 30, 25), clBlue);  // frame of the element (10..30)
    EXPECT_EQ(PixelAt(image, 35, 35), clWhite);
}

TEST(Painting, AFailedPaintIsReportedOnceThenShowsTheFailurePattern)
{
    int reports = 0;
    TExceptionHandler previous = SetExceptionHandler([&](const std::exception&) { ++reports; });
    TTestSite site;
    TFilledRect& obj = site.Add({0, 0, 300, 300});
    obj.failPaint = true;
    QImage image = WhiteImage(40, 40);
    {
        TCanvas canvas(image);
        site.PaintChildren(canvas);
        EXPECT_EQ(reports, 1);
        EXPECT_TRUE(obj.PaintFailed());
        site.PaintChildren(canvas);
        site.PaintChildren(canvas);
    }
    SetExceptionHandler(previous);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(obj.paintCount, 1);  // the drawing code is not run again
    EXPECT_EQ(PixelAt(image, 0, 25), clRed);   // frame
    EXPECT_EQ(PixelAt(image, 30, 25), clRed);  // right edge of the 31-pixel element
    EXPECT_EQ(PixelAt(image, 35, 25), clWhite);
    int red = 0;
    for (int y = 20; y < 30; ++y)
        for (int x = 5; x < 30; ++x) red += PixelAt(image, x, y) == clRed;
    EXPECT_GT(red, 20);  // the hatch
}

TEST(Painting, DontPrintObjectsAreLeftOutOfPrintOutputOnly)
{
    TFilledRect obj;
    obj.SetBounds({5, 5, 15, 15});
    obj.SetDontPrint(true);

    QImage image = WhiteImage(20, 20);
    {
        TCanvas canvas(image);
        obj.PaintTo(canvas);
    }
    EXPECT_EQ(PixelAt(image, 10, 10), clBlue);
    EXPECT_EQ(PixelAt(image, 16, 10), clWhite);

    // A bitmap a print job renders into; what is aligned with it for blending prints too.
    image.fill(Qt::white);
    {
        TCanvas canvas(image);
        canvas.SetPrintOutput(true);
        obj.PaintTo(canvas);
        QImage blendPart = WhiteImage(4, 4);
        TCanvas aligned(blendPart);
        AlignWith(aligned, canvas, {});
        EXPECT_TRUE(aligned.IsPrintOutput());
    }
    EXPECT_EQ(PixelAt(image, 10, 10), clWhite);
    {
        TCanvas screen(image);
        EXPECT_FALSE(screen.IsPrintOutput()) << "a canvas of its own is not the job's";
    }

    QPdfWriter pdf(test::TestFolder() + "/page.pdf");
    {
        TCanvas printer(pdf);
        const int before = obj.paintCount;
        obj.PaintTo(printer);
        EXPECT_EQ(obj.paintCount, before);
        obj.SetDontPrint(false);
        obj.PaintTo(printer);
        EXPECT_EQ(obj.paintCount, before + 1);
    }
}

TEST(Changes, EveryModifiedTellsWhatItTouched)
{
    TFilledRect obj;
    std::vector<TChangeKinds> told;
    TListener listener([&](TPersistent*, const QUuid& kind) {
        if (kind == NotifyModified) told.push_back(obj.Notifier().Changes());
    });
    listener.ListenTo(obj.Notifier());
    obj.SetBounds({0, 0, 10, 10});
    obj.SetDontPrint(true);
    obj.SetBlendRatio(50);
    obj.SetLayerGroup(2);
    TFilledRect other;
    other.SetBounds({5, 5, 20, 20});
    other.SetBlendRatio(70);
    obj.Assign(other);
    EXPECT_EQ(told, (std::vector<TChangeKinds>{ckGeometry, ckState, ckAppearance, ckState,
                                                ckGeometry | ckAppearance | ckState}));
}

TEST(Painting, PaintToSkipsInvisibleBoundsAndClipsToThem)
{
    TFilledRect obj;
    obj.SetBounds({50, 50, 60, 60});
    QImage image = WhiteImage(20, 20);
    TCanvas canvas(image);
    obj.PaintTo(canvas);
    EXPECT_EQ(obj.paintCount, 0);
    canvas.SetWindowOrg({45, 45});
    obj.PaintTo(canvas);
    EXPECT_EQ(obj.paintCount, 1);
    EXPECT_EQ(canvas.Pixel({55, 55}), clBlue);
    EXPECT_FALSE(canvas.Painter().hasClipping());  // state restored
}

TEST(Painting, BlendNeedsIBlendableAndRatioOrShade)
{
    TFilledRect obj;
    EXPECT_FALSE(obj.NeedsBlend());
    obj.SetBlendRatio(50);
    EXPECT_TRUE(obj.NeedsBlend());
    obj.SetBlendRatio(100);
    obj.SetBlendShade(true);
    EXPECT_TRUE(obj.NeedsBlend());

    test::TPlainRect plain;
    plain.SetBlendRatio(50);
    EXPECT_FALSE(plain.NeedsBlend());
}

TEST(Painting, MaskAndOwnBitmapFollowTheTargetMapping)
{
    TFilledRect obj;
    obj.SetBounds({100, 200, 300, 250});
    obj.fill = clRed;
    QImage target = WhiteImage(40, 40);
    TCanvas canvas(target);
    canvas.SetMapping({QPoint(0, 0), QSize(10, 10), QPoint(0, 0), QSize(1, 1)});
    const QImage own = obj.RenderToBitmap(canvas, canvas.LogToDev(obj.GetBounds()));
    EXPECT_EQ(own.size(), QSize(20, 5));
    EXPECT_EQ(own.format(), QImage::Format_RGB888);
    EXPECT_EQ(PixelAt(own, 0, 0), clRed);
    EXPECT_EQ(PixelAt(own, 19, 4), clRed);
    // Only the area asked for: the object's bottom-right corner.
    const QImage corner = obj.RenderToBitmap(canvas, {28, 23, 30, 25});
    EXPECT_EQ(corner.size(), QSize(2, 2));
    EXPECT_EQ(PixelAt(corner, 1, 1), clRed);

    QImage mask(10, 10, QImage::Format_Grayscale8);
    mask.fill(0);
    TCanvas maskCanvas(mask);
    obj.PaintMask(maskCanvas);
    EXPECT_EQ(maskCanvas.Pixel({9, 9}), clWhite);
    EXPECT_EQ(maskCanvas.Brush().color, clBlack);
}

class TRecordingDesigner : public TDODesigner {
public:
    bool CreatePivots(TDrawObject&) override { return ++pivots, true; }
    bool StartGhost(TDrawObject&, int h) override { return handle = h, true; }
    std::optional<bool> EditObject(TDrawObject&) override { return ++edits, accept; }
    int pivots = 0;
    int handle = 0;
    int edits = 0;
    bool accept = true;
};

TEST(Designers, LabelObjectsAskTheDesignersOfTheirSitesSession)
{
    TTestSite site;
    TFilledRect& obj = site.Add({0, 0, 10, 10});
    obj.CreatePivots();  // no session: nothing happens
    obj.DblClick();
    EXPECT_TRUE(site.clearedGhosts.empty());

    TEditSession session;
    auto& designer = static_cast<TRecordingDesigner&>(
        session.Designers().Register(std::make_unique<TRecordingDesigner>()));
    site.SetSession(&session);
    obj.CreatePivots();
    obj.StartGhost(8);
    designer.accept = false;
    obj.DblClick();
    EXPECT_TRUE(site.clearedGhosts.empty());
    designer.accept = true;
    obj.DblClick();
    site.SetSession(nullptr);

    EXPECT_EQ(designer.pivots, 1);
    EXPECT_EQ(designer.handle, 8);
    EXPECT_EQ(designer.edits, 2);
    ASSERT_EQ(site.clearedGhosts.size(), 1u);
    EXPECT_EQ(site.clearedGhosts[0], &obj);
}

TEST(Capabilities, RectangleObjectsOfferTheirsAndNoOthers)
{
    TFilledRect obj;
    TDrawObject* d = &obj;
    EXPECT_NE(dynamic_cast<IDOEncloseBounds*>(d), nullptr);
    EXPECT_NE(dynamic_cast<IBoundsSource*>(d), nullptr);
    EXPECT_NE(dynamic_cast<IRectShape*>(d), nullptr);
    EXPECT_NE(dynamic_cast<IOutlineShape*>(d), nullptr);
    EXPECT_NE(dynamic_cast<IBlendable*>(d), nullptr);
    EXPECT_EQ(dynamic_cast<IDORotate*>(d), nullptr);
    EXPECT_EQ(dynamic_cast<IDOLine*>(d), nullptr);
    EXPECT_EQ(dynamic_cast<IFillColor*>(d), nullptr);
    EXPECT_EQ(dynamic_cast<IDOFaceBackground*>(d), nullptr);

    auto* shape = dynamic_cast<IRectShape*>(d);
    shape->SetWidth(-30);
    EXPECT_EQ(dynamic_cast<IDOEncloseBounds*>(d)->GetBounds(), (TRect{-30, 0, 0, 0}));
    EXPECT_FALSE(shape->KeepsAspect());
    dynamic_cast<IBlendable*>(d)->SetBlendRatio(20);
    EXPECT_EQ(obj.BlendRatio(), 20);
}

TEST(Site, ExtractedObjectsLoseTheirSiteAndStopMarkingIt)
{
    TTestSite site;
    TFilledRect& obj = site.Add({0, 0, 10, 10});
    std::unique_ptr<TDrawObject> taken = site.ExtractChild(obj);
    ASSERT_EQ(taken.get(), &obj);
    EXPECT_EQ(obj.Site(), nullptr);
    EXPECT_EQ(site.ChildCount(), 0);
    site.modifiedCalls = 0;
    obj.SetBorder(true);
    EXPECT_EQ(site.modifiedCalls, 0);
}

TEST(Rotator, TurnsClockwiseOnScreenWithExactQuarterTurns)
{
    TRotator r(90, {100, 100});
    EXPECT_EQ(r.TransformPoint({200, 100}), QPoint(100, 200));
    r.SetAngle(-90);
    EXPECT_EQ(r.TransformPoint({200, 100}), QPoint(100, 0));
    r.SetAngle(450);
    EXPECT_EQ(r.TransformPoint({200, 150}), QPoint(50, 200));
    r.SetAngle(30);
    r.SetCentre({0, 0});
    EXPECT_EQ(r.TransformPoint({1000, 0}), QPoint(866, 500));
    EXPECT_EQ(r.TransformPoint({-1000, 0}), QPoint(-866, -500));
    r.SetAngle(45);
    EXPECT_EQ(r.TransformPoint({3, 0}), QPoint(2, 2));     // 2.12 each
    EXPECT_EQ(r.TransformPoint({-3, 0}), QPoint(-2, -2));
    EXPECT_DOUBLE_EQ(r.Sin(), std::sqrt(0.5));
}

}  // namespace
}  // namespace kestrel

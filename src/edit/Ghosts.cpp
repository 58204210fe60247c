#include "edit/Ghosts.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "document/Capabilities.h"
#include "document/DOActions.h"
#include "document/DOList.h"
#include "document/EditSession.h"
#include "document/LabelObject.h"
#include "platform/Canvas.h"
#include "platform/Rounding.h"
#include "render/DrawSite.h"
#include "text/LOText.h"

namespace kestrel {

namespace {

// An arc text bent less than this (either way) is stored straight.
constexpr int StraightTextBulge = 50;
int AngleOf(const TDrawObject& object)
{
    const auto* turned = dynamic_cast<const IDORotate*>(&object);
    return turned ? turned->Angle() : 0;
}

TRect EnclosingBounds(const TDrawObject& object)
{
    const auto* enclose = dynamic_cast<const IDOEncloseBounds*>(&object);
    return enclose ? enclose->GetBounds() : object.GetBounds();
}

QPoint ClampedInto(QPoint p, const TRect& limit)
{
    if (limit.IsEmpty()) return p;
    return {std::clamp(p.x(), limit.left, limit.right), std::clamp(p.y(), limit.top, limit.bottom)};
}

// What stays put while a handle drags: the handle opposite it.
QPointF AnchorOf(const TRect& r, int handle)
{
    return HandlePoint(r, 7 - handle);
}

// Where an own-frame point of a rectangle turned about its centre lands.
QPointF OnScreen(QPointF p, const TRect& r, int angle)
{
    return TurnedAbout(p, CentreOf(r), angle);
}
}  // namespace

// ---------------------------------------------------------------- universal

TUniversalGhost::TUniversalGhost(TDrawObject& object, int handle, QString caption)
    : object_(object), copy_(CloneObject(object)), handle_(handle), caption_(std::move(caption))
{
}

TUniversalGhost::~TUniversalGhost() = default;

void TUniversalGhost::Draw(TCanvas& canvas)
{
    if (auto* outline = dynamic_cast<IOutlineShape*>(copy_.get())) outline->DrawOutline(canvas);
}

void TUniversalGhost::Apply(TShiftState)
{
    if (caption_.isEmpty()) return object_.Assign(*copy_);
    auto record = std::make_unique<TDOChangeAction>(object_, caption_);
    object_.Assign(*copy_);
    TDOChangeAction::Commit(std::move(record));
}

TRect TUniversalGhost::DrawnArea() const
{
    return copy_->GetBounds();
}

std::optional<TDraggedShape> TUniversalGhost::DraggedShape() const
{
    // A turned box reads as its own width and height, not those of the area it covers.
    const auto* box = dynamic_cast<const TLORectBase*>(copy_.get());
    TDraggedShape shape{box ? box->Rect() : copy_->GetBounds(), std::nullopt};
    const auto* turned = dynamic_cast<const IDORotate*>(copy_.get());
    const auto* real = dynamic_cast<const IDORotate*>(&object_);
    if (turned && real && (handle_ == RotateHandle || turned->Angle() != real->Angle())) shape.angle = turned->Angle();
    return shape;
}

QPoint TUniversalGhost::Snapped(QPoint p) const
{
    const QPoint points[] = {p};
    return p + SnapAdjustment(points);
}

// ---------------------------------------------------------------- move

TMoveGhost::TMoveGhost(TDrawObject& object, const TMoveSettings& settings)
    : TUniversalGhost(object, -1, QStringLiteral("移動")), settings_(settings)
{
}

TMoveSettings TMoveGhost::Modes(TShiftState shift) const
{
    return EffectiveModes(settings_, shift);
}

QPoint TMoveGhost::DiscCentre() const
{
    return Site() ? QPoint(Site()->LogWidth() / 2, Site()->LogHeight() / 2) : QPoint();
}

void TMoveGhost::Move(TShiftState shift, QPoint offset)
{
    TMoveInput in;
    in.startBounds = EnclosingBounds(Object());
    in.offsetBounds = in.startBounds.Translated(offset.x(), offset.y());
    if (!offset.isNull()) {
        const TRect& b = in.offsetBounds;
        const QPoint corners[] = {{b.left, b.top}, {b.right, b.top}, {b.left, b.bottom}, {b.right, b.bottom}};
        const QPoint snap = SnapAdjustment(corners);
        in.offsetBounds = b.Translated(snap.x(), snap.y());
    }
    in.start = StartPoint();
    in.offset = offset;
    in.centre = DiscCentre();
    in.limit = Limit();
    in.modes = Modes(shift);
    PlaceCopy(MoveBounds(in));
}

// The copy starts from the object's angle, takes the bounds, then turns about its own centre.
void TMoveGhost::PlaceCopy(const TMoveResult& result)
{
    auto* copyBounds = dynamic_cast<IDOEncloseBounds*>(&Copy());
    if (!copyBounds) return;
    auto* copyTurn = dynamic_cast<IDORotate*>(&Copy());
    const bool turns = copyTurn && dynamic_cast<IDORotate*>(&Object());
    if (turns) copyTurn->SetAngle(AngleOf(Object()));
    const TRect now = copyBounds->GetBounds();
    copyBounds->MoveBy(result.bounds.left - now.left, result.bounds.top - now.top);
    if (turns && result.turn) copyTurn->SetAngle(NormalizedTurn(AngleOf(Object()) + *result.turn));
}

// A pure turn (about the disc centre, or by 180 degrees) leaves the bounds in place and still counts.
bool TMoveGhost::CopyDiffers() const
{
    const TRect from = EnclosingBounds(Object());
    const TRect to = EnclosingBounds(Copy());
    return from.left != to.left || from.top != to.top || AngleOf(Object()) != AngleOf(Copy());
}

void TMoveGhost::Apply(TShiftState shift)
{
    if (!CopyDiffers()) return;
    if ((shift & ssCtrl) && DropsCopies() && Object().Site()) return DropCopy();
    TUniversalGhost::Apply(shift);
}

void TMoveGhost::DropCopy()
{
    TObjectSite& site = *Object().Site();
    Object().SetSelected(false);
    TDrawObject& dropped = site.AddObject(CloneObject(Copy()));
    dropped.SetSelected(true);
    Record(site, std::make_unique<TDOAddAction>(dropped, QStringLiteral("ドラッグコピー")));
}

void TMoveGhost::Draw(TCanvas& canvas)
{
    if (Modes(CurrentShift()).circumference) DrawDiscGuide(canvas);
    TUniversalGhost::Draw(canvas);
}

void TMoveGhost::DrawDiscGuide(TCanvas& canvas) const
{
    const QPoint centre = DiscCentre();
    const QPointF ray = CentreOf(EnclosingBounds(Object())) - QPointF(centre);
    const int radius = static_cast<int>(RoundHalfAway(std::hypot(ray.x(), ray.y())));
    const TPen pen = canvas.Pen();
    TPen dashed = pen;
    dashed.style = TPenStyle::psDash;
    canvas.SetPen(dashed);
    canvas.Ellipse({centre.x() - radius, centre.y() - radius, centre.x() + radius, centre.y() + radius});
    if (radius > 0 && Site()) {
        const double reach = Site()->LogWidth() / std::hypot(ray.x(), ray.y());
        canvas.MoveTo(centre);
        canvas.LineTo(centre + RoundedPoint(ray * reach));
    }
    canvas.SetPen(pen);
}

TRect TMoveGhost::DrawnArea() const
{
    // The guide circle and ray may cross the whole site.
    if (Modes(CurrentShift()).circumference && Site()) return Site()->LogicalArea();
    return TUniversalGhost::DrawnArea();
}

// ---------------------------------------------------------------- resize and rotate

TRectGhost::TRectGhost(TLORectBase& object, int handle)
    : TUniversalGhost(object, handle, QStringLiteral("サイズ変更")), rect_(object)
{
}

void TRectGhost::Move(TShiftState shift, QPoint offset)
{
    const int angle = AngleOf(rect_);
    const TRect old = rect_.Rect();
    QPoint own = offset;
    if (angle == 0) {
        // Unturned, the dragged handle itself snaps.
        const QPoint handle = RoundedPoint(HandlePoint(old, Handle()));
        own = Snapped(handle + offset) - handle;
    } else {
        own = RoundedPoint(TurnedAbout(offset, {}, -angle));
    }
    const bool proportional = rect_.KeepsAspect() != static_cast<bool>(shift & ssShift);
    TRect resized = ResizeRect({old, Handle(), own, proportional, MinimumSide});
    if (angle != 0) {
        // Turned about a new centre, the opposite side would wander: bring it back.
        const QPoint drift = RoundedPoint(OnScreen(AnchorOf(old, Handle()), old, angle) -
                                     OnScreen(AnchorOf(resized, Handle()), resized, angle));
        resized = resized.Translated(drift.x(), drift.y());
    }
    if (auto* copy = dynamic_cast<TLORectBase*>(&Copy())) copy->SetBounds(resized);
}

TRotateGhost::TRotateGhost(TDrawObject& object) : TUniversalGhost(object, RotateHandle, QStringLiteral("回転")) {}

void TRotateGhost::Move(TShiftState, QPoint offset)
{
    auto* copyTurn = dynamic_cast<IDORotate*>(&Copy());
    if (!copyTurn) return;
    const QPointF centre = CentreOf(Object().GetBounds());
    const double swept = NormalizedAngle(DirectionOf(QPointF(StartPoint() + offset) - centre) -
                                         DirectionOf(QPointF(StartPoint()) - centre));
    copyTurn->SetAngle(NormalizedTurn(AngleOf(Object()) + static_cast<int>(RoundHalfAway(swept))));
}

// ---------------------------------------------------------------- lines and arcs

TLineGhost::TLineGhost(TDrawObject& object, int handle) : TUniversalGhost(object, handle, QStringLiteral("変形")) {}

void TLineGhost::Move(TShiftState, QPoint offset)
{
    const auto* line = dynamic_cast<const IDOLine*>(&Object());
    auto* copy = dynamic_cast<IDOLine*>(&Copy());
    if (!line || !copy) return;
    const QPoint end = Handle() == 0 ? line->StartPoint() : line->EndPoint();
    const QPoint moved = ClampedInto(Snapped(end + offset), Limit());
    if (Handle() == 0)
        copy->SetStartPoint(moved);
    else
        copy->SetEndPoint(moved);
}

TCurveGhost::TCurveGhost(TDrawObject& object) : TUniversalGhost(object, 2, QStringLiteral("変形")) {}

void TCurveGhost::Move(TShiftState shift, QPoint offset)
{
    const auto* curve = dynamic_cast<const IDOCurve*>(&Object());
    auto* copy = dynamic_cast<IDOCurve*>(&Copy());
    if (!curve || !copy) return;
    copy->SetBulgeFromPoint(curve->ViaPoint() + offset);
    // Arc text snaps straight near its chord, unless Alt holds snapping off as everywhere.
    auto* text = dynamic_cast<TLOText*>(&Copy());
    if (text && !(shift & ssAlt) && std::abs(text->Bulge()) < StraightTextBulge) text->SetBulge(0);
}

// ---------------------------------------------------------------- creation

TCreateGhost::TCreateGhost(TDrawObject& object) : TUniversalGhost(object, -2, QStringLiteral("追加")) {}

TCreateGhost::~TCreateGhost()
{
    TObjectSite* site = Object().Site();
    if (!site) return;
    site->SetSiteCursor(crDefault);
    if (!applied_) site->ExtractChild(Object());
}

void TCreateGhost::Start(QPoint point)
{
    TUniversalGhost::Start(point);
    Shape(point, point);
}

void TCreateGhost::Move(TShiftState, QPoint offset)
{
    Shape(StartPoint(), ClampedInto(Snapped(StartPoint() + offset), Limit()));
}

void TCreateGhost::Apply(TShiftState)
{
    TObjectSite* site = Object().Site();
    if (!site || !HasExtent()) return;
    Object().Assign(Copy());
    Object().SetVisible(true);
    site->UpdateElementBounds(Object());
    site->SelectAll(false);
    Object().SetSelected(true);
    Record(*site, std::make_unique<TDOAddAction>(Object(), Caption()));
    applied_ = true;
}

TRectCreateGhost::TRectCreateGhost(TLORectBase& object)
    : TCreateGhost(object), copyRect_(dynamic_cast<TLORectBase&>(Copy()))
{
}

void TRectCreateGhost::Shape(QPoint from, QPoint to)
{
    copyRect_.SetBounds(TRect{from.x(), from.y(), to.x(), to.y()}.Normalized());
}

bool TRectCreateGhost::HasExtent() const
{
    return !copyRect_.Rect().IsEmpty();
}

TLineCreateGhost::TLineCreateGhost(TDrawObject& object)
    : TCreateGhost(object), copyLine_(dynamic_cast<IDOLine&>(Copy()))
{
}

void TLineCreateGhost::Shape(QPoint from, QPoint to)
{
    copyLine_.SetStartPoint(from);
    copyLine_.SetEndPoint(to);
}

bool TLineCreateGhost::HasExtent() const
{
    return copyLine_.StartPoint() != copyLine_.EndPoint();
}

TCurveCreateGhost::TCurveCreateGhost(TDrawObject& object) : TLineCreateGhost(object) {}

void TCurveCreateGhost::Shape(QPoint from, QPoint to)
{
    TLineCreateGhost::Shape(from, to);
    const QPoint chord = to - from;
    if (auto* curve = dynamic_cast<IDOCurve*>(&CopyLine()))
        curve->SetBulgeFromPoint((from + to) / 2 + QPoint(-chord.y() / 4, chord.x() / 4));
}

}  // namespace kestrel

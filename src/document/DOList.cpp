#include "document/DOList.h"

#include <algorithm>
#include <unordered_map>

#include "document/Capabilities.h"
#include "document/DrawObject.h"
#include "document/ObjectKinds.h"
#include "document/stream/ObjectStream.h"
#include "platform/BoundedReader.h"
#include "platform/Clipboard.h"
#include "platform/Error.h"
#include "platform/Rounding.h"

namespace kestrel {

namespace {
constexpr int CentreMargin = 10;
constexpr int MinPictureSize = 30;
constexpr double PictureDpi = 180;

int ScaleInt(double value)
{
    return static_cast<int>(RoundHalfAway(value));
}

// One axis of the proportional mapping; no source extent means no scaling.
int MapAxis(int value, int fromStart, int fromExtent, int toStart, int toExtent)
{
    if (fromExtent == 0) return value + toStart - fromStart;
    return toStart + ScaleInt(double(value - fromStart) * toExtent / fromExtent);
}

std::unique_ptr<TDrawObject> AsDrawObject(std::unique_ptr<TComponent> component)
{
    auto* object = dynamic_cast<TDrawObject*>(component.get());
    if (!object) return nullptr;
    component.release();
    return std::unique_ptr<TDrawObject>(object);
}
}  // namespace

std::unique_ptr<TDrawObject> CloneObject(const TDrawObject& object)
{
    std::unique_ptr<TDrawObject> clone = AsDrawObject(
        std::unique_ptr<TComponent>(dynamic_cast<TComponent*>(object.ClassInfo().Create().release())));
    if (!clone) throw EKestrel(QStringLiteral("オブジェクトを複製できません"));
    clone->Assign(object);
    clone->SetName(object.Name());
    return clone;
}

TDOList::~TDOList() = default;

void TDOList::Add(std::unique_ptr<TDrawObject> object)
{
    if (!object) return;
    items_.push_back(object.get());
    owned_.push_back(std::move(object));
}

void TDOList::Clear()
{
    items_.clear();
    owned_.clear();
}

std::unique_ptr<TDrawObject> TDOList::Release(TDrawObject& object)
{
    auto it = std::find_if(owned_.begin(), owned_.end(), [&](const auto& o) { return o.get() == &object; });
    if (it == owned_.end()) return nullptr;
    std::unique_ptr<TDrawObject> released = std::move(*it);
    owned_.erase(it);
    return released;
}

std::vector<std::unique_ptr<TDrawObject>> TDOList::ReleaseAll()
{
    std::unordered_map<TDrawObject*, std::unique_ptr<TDrawObject>*> ownedBy;
    ownedBy.reserve(owned_.size());
    for (auto& object : owned_) ownedBy.emplace(object.get(), &object);
    std::vector<std::unique_ptr<TDrawObject>> released;
    released.reserve(owned_.size());
    for (TDrawObject* item : items_) {
        auto it = ownedBy.find(item);
        if (it != ownedBy.end() && *it->second) released.push_back(std::move(*it->second));
    }
    Clear();
    return released;
}

void TDOList::Reverse()
{
    std::reverse(items_.begin(), items_.end());
}

void TDOList::SaveToStream(QByteArray& out) const
{
    std::vector<const TComponent*> components(items_.begin(), items_.end());
    WriteObjectList(out, components);
}

void TDOList::LoadFromStream(TBoundedReader& in)
{
    Clear();
    TReadOptions options;
    options.create = [](const QByteArray& className) -> std::unique_ptr<TComponent> {
        return TObjectKinds::Global().NewObject(className);
    };
    for (auto& component : ReadObjectList(in, TDrawObject::StaticClass(), options))
        Add(AsDrawObject(std::move(component)));
}

void TDOList::LoadFromBytes(QByteArrayView bytes)
{
    TBoundedReader in(bytes);
    LoadFromStream(in);
}

void TDOList::ClipboardCopy(const QString& format) const
{
    TDOList clones;
    for (const TDrawObject* item : items_) clones.Add(CloneObject(*item));
    QByteArray bytes;
    clones.SaveToStream(bytes);
    SetClipboardData(format, bytes);
}

bool TDOList::ClipboardPaste(const QString& format)
{
    const std::optional<QByteArray> bytes = ClipboardData(format);
    if (!bytes) return false;
    LoadFromBytes(*bytes);
    return true;
}

void ScaleObjects(const TDOList& list, const TRect& from, const TRect& to)
{
    if (from == to) return;
    for (TDrawObject* object : list.Items()) {
        auto* enclose = dynamic_cast<IDOEncloseBounds*>(object);
        if (!enclose) continue;
        const TRect b = enclose->GetBounds();
        const int left = MapAxis(b.left, from.left, from.Width(), to.left, to.Width());
        const int top = MapAxis(b.top, from.top, from.Height(), to.top, to.Height());
        const int right = MapAxis(b.right, from.left, from.Width(), to.left, to.Width());
        const int bottom = MapAxis(b.bottom, from.top, from.Height(), to.top, to.Height());
        enclose->MoveBy(left - b.left, top - b.top);
        enclose->SetSize(right - left, bottom - top);
    }
}

namespace {
constexpr int MaxCentrePasses = 3;

// How far the centre must move on one axis to lie at least the margin inside [start, end).
int CentreCorrection(int centre, int start, int end)
{
    const int fromStart = centre - start;
    const int fromEnd = end - centre;
    if (std::min(fromStart, fromEnd) >= CentreMargin) return 0;
    return fromStart <= fromEnd ? start + CentreMargin - centre : end - CentreMargin - centre;
}

// Rounded down, so that moving a span by a whole distance moves its centre by exactly as much
// (truncation rounds negative and positive centres differently, and a second reading of the
// same face would then move it again); in 64 bits, as hostile bounds may be near the int limits.
int Centre(int start, int end)
{
    return int((int64_t(start) + end) >> 1);
}

}  // namespace

void KeepCentresInside(const TDOList& list, const TRect& rect)
{
    for (TDrawObject* object : list.Items()) {
        auto* enclose = dynamic_cast<IDOEncloseBounds*>(object);
        if (!enclose) continue;
        // Turned and widened bounds are rounded, so a move may land a unit short; moving again
        // until nothing is left keeps the next reading of the same face from moving it again.
        for (int pass = 0; pass < MaxCentrePasses; ++pass) {
            const TRect b = enclose->GetBounds();
            const int dx = CentreCorrection(Centre(b.left, b.right), rect.left, rect.right);
            const int dy = CentreCorrection(Centre(b.top, b.bottom), rect.top, rect.bottom);
            if (dx == 0 && dy == 0) break;
            enclose->MoveBy(dx, dy);
        }
    }
}

QSize DefaultPictureSize(QSize pixels)
{
    auto units = [](int px) { return std::max(MinPictureSize, ScaleInt(px * double(LogicalUnitsPerInch) / PictureDpi)); };
    return {units(pixels.width()), units(pixels.height())};
}

namespace {
QSize FittedSize(const TDrawObject& object, QSize size, QSize area)
{
    const auto* shape = dynamic_cast<const IRectShape*>(&object);
    const bool tooLarge = size.width() > area.width() || size.height() > area.height();
    if (!tooLarge) return size;
    if (shape && shape->KeepsAspect() && size.width() > 0 && size.height() > 0) {
        const double scale =
            std::min(double(area.width()) / size.width(), double(area.height()) / size.height());
        return {ScaleInt(size.width() * scale), ScaleInt(size.height() * scale)};
    }
    return size.boundedTo(area);
}

// The shift along one axis that centres [low, high) on centre and keeps it in [areaLow, areaHigh).
int PlacingShift(int low, int high, int centre, int areaLow, int areaHigh)
{
    int shift = centre - (low + high) / 2;
    if (areaHigh <= areaLow) return shift;
    if (high + shift > areaHigh) shift = areaHigh - high;
    if (low + shift < areaLow) shift = areaLow - low;
    return shift;
}
}  // namespace

void PlaceNewObject(TDrawObject& object, const TObjectSite& site)
{
    auto* enclose = dynamic_cast<IDOEncloseBounds*>(&object);
    if (!enclose) return;
    const TObjectSite::TPlacement placement = site.NewObjectPlacement();
    const TRect& area = placement.area;
    if (auto* shrink = dynamic_cast<IDOShrinkToFit*>(&object); shrink && !area.IsEmpty())
        shrink->ShrinkToFit({area.Width(), area.Height()});
    const TRect bounds = enclose->GetBounds();
    const QSize size(bounds.Width(), bounds.Height());
    const QSize fitted = area.IsEmpty() ? size : FittedSize(object, size, {area.Width(), area.Height()});
    if (fitted != size) enclose->SetSize(fitted.width(), fitted.height());
    const TRect placed = enclose->GetBounds();
    const int dx = PlacingShift(placed.left, placed.right, placement.centre.x(), area.left, area.right);
    const int dy = PlacingShift(placed.top, placed.bottom, placement.centre.y(), area.top, area.bottom);
    if (dx != 0 || dy != 0) enclose->MoveBy(dx, dy);
}

}  // namespace kestrel

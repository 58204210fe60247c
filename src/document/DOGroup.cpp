#include "document/DOGroup.h"

#include "document/DOActions.h"
#include "document/DOList.h"
#include "document/EditSession.h"
#include "document/ObjectKinds.h"
#include "platform/Canvas.h"
#include "platform/Error.h"

namespace kestrel {

const TClassInfo& TDOGroup::StaticClass()
{
    static const TClassInfo info("TDOGroup", &TLabelObject::StaticClass(), FactoryOf<TDOGroup>(), {});
    return info;
}

void RegisterGroupKind(TObjectKinds& kinds, TClassRegistry& classes)
{
    kinds.Register(TObjectKind::OfClass(TDOGroup::StaticClass()), classes);
}

namespace {
TRect Union(const TRect& a, const TRect& b)
{
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}
}  // namespace

void TDOGroup::SetMembers(const TDOList& list)
{
    for (TDrawObject* object : list.Items()) members_.push_back(CloneObject(*object));
    GeometryChanged();
}

void TDOGroup::Ungroup()
{
    TObjectSite* site = Site();
    if (!site) return;
    for (const auto& member : members_) {
        std::unique_ptr<TDrawObject> copy = CloneObject(*member);
        copy->SetSelected(true);
        TDrawObject& added = site->AddObject(std::move(copy));
        Record(*site, std::make_unique<TDOAddAction>(added));
    }
    site->UpdatePivots();
}

TRect TDOGroup::GetBounds() const
{
    if (members_.empty()) return {};
    // Each member is asked once: nested groups would otherwise double the work per level.
    TRect bounds = members_.front()->GetBounds();
    for (auto it = std::next(members_.begin()); it != members_.end(); ++it) bounds = Union(bounds, (*it)->GetBounds());
    return bounds;
}

int TDOGroup::HitTest(QPoint logical) const
{
    for (const auto& member : members_)
        if (member->HitTest(logical) == 1) return 1;
    return 0;
}

void TDOGroup::Paint(TCanvas& canvas)
{
    for (const auto& member : members_) member->PaintTo(canvas);
}

void TDOGroup::DrawOutline(TCanvas& canvas)
{
    for (const auto& member : members_)
        if (auto* outline = dynamic_cast<IOutlineShape*>(member.get())) outline->DrawOutline(canvas);
}

void TDOGroup::MoveBy(int dx, int dy)
{
    for (const auto& member : members_)
        if (auto* enclose = dynamic_cast<IDOEncloseBounds*>(member.get())) enclose->MoveBy(dx, dy);
    GeometryChanged();
}

void TDOGroup::SetSize(int width, int height)
{
    const TRect from = GetBounds();
    TDOList list;
    for (const auto& member : members_) list.Add(*member);
    ScaleObjects(list, from, {from.left, from.top, from.left + width, from.top + height});
    GeometryChanged();
}

void TDOGroup::GeometryChanged()
{
    Changed();
    if (TObjectSite* site = Site()) site->UpdateElementBounds(*this);
}

void TDOGroup::GetChildren(const std::function<void(TComponent&)>& proc) const
{
    for (const auto& member : members_) proc(*member);
}

void TDOGroup::AdoptChild(std::unique_ptr<TComponent> child)
{
    auto* object = dynamic_cast<TDrawObject*>(child.get());
    if (!object) throw EReadError(QStringLiteral("不正なストリーム フォーマット"));
    child.release();
    members_.emplace_back(object);
}

void TDOGroup::AssignFrom(const TDrawObject& source)
{
    TLabelObject::AssignFrom(source);
    const auto* other = dynamic_cast<const TDOGroup*>(&source);
    if (!other) return;
    std::vector<std::unique_ptr<TDrawObject>> copies;
    for (const auto& member : other->members_) copies.push_back(CloneObject(*member));
    members_ = std::move(copies);
    Changed();
}

}  // namespace kestrel

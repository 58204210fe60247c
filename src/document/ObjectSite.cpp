#include "document/ObjectSite.h"

#include <algorithm>

#include "document/DrawObject.h"
#include "platform/Canvas.h"
#include "platform/Error.h"

namespace kestrel {

TObjectSite::~TObjectSite()
{
    // Front to back, each object told it has no site before it goes.
    while (!children_.empty()) {
        std::unique_ptr<TDrawObject> last = std::move(children_.back());
        children_.pop_back();
        last->site_ = nullptr;
    }
}

TObjectSite::TPlacement TObjectSite::NewObjectPlacement() const
{
    const TRect visible = VisibleLogicalArea();
    return {{(visible.left + visible.right) / 2, (visible.top + visible.bottom) / 2}, LogicalArea()};
}

int TObjectSite::IndexOf(const TDrawObject& object) const
{
    auto it = std::find_if(children_.begin(), children_.end(), [&](const auto& c) { return c.get() == &object; });
    return it == children_.end() ? -1 : static_cast<int>(it - children_.begin());
}

TDrawObject& TObjectSite::InsertChild(std::unique_ptr<TDrawObject> object, int index)
{
    if (!object) throw EKestrel(QStringLiteral("追加するオブジェクトがありません"));
    if (index < 0 || index > ChildCount()) index = ChildCount();
    TDrawObject& added = *object;
    NoteLayerGroup(added.LayerGroup());
    children_.insert(children_.begin() + index, std::move(object));
    added.site_ = this;
    ChildInserted(added);
    return added;
}

std::unique_ptr<TDrawObject> TObjectSite::ExtractChild(TDrawObject& object)
{
    const int index = IndexOf(object);
    if (index < 0) return nullptr;
    ChildRemoving(object);
    std::unique_ptr<TDrawObject> taken = std::move(children_[index]);
    children_.erase(children_.begin() + index);
    taken->site_ = nullptr;
    return taken;
}

void TObjectSite::MoveChild(int from, int to)
{
    if (from < 0 || from >= ChildCount() || to < 0 || to >= ChildCount() || from == to) return;
    std::unique_ptr<TDrawObject> moving = std::move(children_[from]);
    children_.erase(children_.begin() + from);
    children_.insert(children_.begin() + to, std::move(moving));
}

void TObjectSite::UpdateElementBounds(TDrawObject& object)
{
    TRect bounds = LogToDevRect(object.GetBounds());
    ++bounds.right;
    ++bounds.bottom;
    object.SetElementBounds(bounds);
    InvalidateElement(object);
}

TDrawObject& TObjectSite::AddObject(std::unique_ptr<TDrawObject> object)
{
    // Nothing can stand above an object of the highest layer group: it stays where it was
    // appended, and loading many objects stays linear.
    const bool inFront = object && object->LayerGroup() >= highestLayerGroup_;
    TDrawObject& added = InsertChild(std::move(object));
    UpdateElementBounds(added);
    if (!inFront) added.BringToFront();
    SetModified(true);
    return added;
}

void TObjectSite::SelectAll(bool selected)
{
    for (int i = ChildCount() - 1; i >= 0; --i) {
        TDrawObject& object = Child(i);
        if (selected || object.Selected()) object.SetSelected(selected);
    }
}

void TObjectSite::PaintChildren(TCanvas& canvas)
{
    for (const auto& child : children_) {
        if (!child->Visible()) continue;
        const TRect& element = child->ElementBounds();
        TCanvasStateSaver saver(canvas);
        canvas.SetDeviceOffset(canvas.DeviceOffset() + element.TopLeft());
        canvas.IntersectClipRect({0, 0, element.Width(), element.Height()});
        child->PaintElement(canvas);
    }
}

}  // namespace kestrel

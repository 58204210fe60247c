#pragma once

#include <memory>
#include <vector>

#include "document/LabelObject.h"

namespace kestrel {

class TDOList;

// Objects held and moved as one. The group owns its members; they have no element on a site and
// are painted by the group. Members are streamed as the group's children, in member order.
class TDOGroup : public TLabelObject, public IDOEncloseBounds, public IRectShape, public IOutlineShape {
    KESTREL_PERSISTENT()
public:
    int MemberCount() const { return static_cast<int>(members_.size()); }
    TDrawObject& Member(int index) const { return *members_.at(index); }
    // Appends copies of the listed objects, in list order.
    void SetMembers(const TDOList& list);
    // Puts a copy of every member on the group's site, selected, each with an add record in the
    // history; the caller removes the group itself with a delete record.
    void Ungroup();

    // The union of the members' bounds.
    TRect GetBounds() const override;
    int HitTest(QPoint logical) const override;
    void Paint(TCanvas& canvas) override;

    void MoveBy(int dx, int dy) override;
    // Scales the members from the current bounds to the new size at the same top-left.
    void SetSize(int width, int height) override;

    int Left() const override { return GetBounds().left; }
    void SetLeft(int value) override { MoveBy(value - Left(), 0); }
    int Top() const override { return GetBounds().top; }
    void SetTop(int value) override { MoveBy(0, value - Top()); }
    int Width() const override { return GetBounds().Width(); }
    void SetWidth(int value) override { SetSize(value, Height()); }
    int Height() const override { return GetBounds().Height(); }
    void SetHeight(int value) override { SetSize(Width(), value); }
    bool KeepsAspect() const override { return false; }

    void PaintTo(TCanvas& canvas) override { TLabelObject::PaintTo(canvas); }
    void DrawOutline(TCanvas& canvas) override;

    void GetChildren(const std::function<void(TComponent&)>& proc) const override;
    // Refuses anything that is not a draw object.
    void AdoptChild(std::unique_ptr<TComponent> child) override;

protected:
    // Label object properties, then copies of the source's members replace the members.
    void AssignFrom(const TDrawObject& source) override;

private:
    // After a change of geometry: one modified, repaint, new element bounds.
    void GeometryChanged();

    std::vector<std::unique_ptr<TDrawObject>> members_;
};

class TClassRegistry;
class TObjectKinds;

// Groups are made by grouping, never inserted; streams name them.
void RegisterGroupKind(TObjectKinds& kinds, TClassRegistry& classes);

}  // namespace kestrel

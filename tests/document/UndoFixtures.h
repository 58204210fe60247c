#pragma once

// A site with a logical area that records the editing services it is asked for, and helpers to
// fill it through AddObject and to take its object stream.

#include <QByteArray>
#include <memory>
#include <vector>

#include "DrawObjectFixtures.h"
#include "document/ActionList.h"
#include "document/DOGroup.h"
#include "document/DOList.h"
#include "document/stream/ClassRegistry.h"
#include "document/stream/ObjectStream.h"

namespace kestrel::test {

class TEditSite : public TTestSite {
public:
    TRect area{0, 0, 1000, 1000};
    TRect visible{0, 0, 1000, 1000};
    int pivotUpdates = 0;
    int dragCancels = 0;
    std::vector<TCursor> cursors;

    TRect LogicalArea() const override { return area; }
    TRect VisibleLogicalArea() const override { return visible; }
    void UpdatePivots() override { ++pivotUpdates; }
    void CancelDrag() override { ++dragCancels; }
    void SetSiteCursor(TCursor cursor) override { cursors.push_back(cursor); }

    TFilledRect& Put(TRect rect, int layerGroup = 0)
    {
        auto object = std::make_unique<TFilledRect>();
        object->SetBounds(rect);
        object->SetLayerGroup(layerGroup);
        return static_cast<TFilledRect&>(AddObject(std::move(object)));
    }

    // Every child, back to front, as one counted object list.
    QByteArray Stream() const
    {
        std::vector<const TComponent*> objects;
        for (int i = 0; i < ChildCount(); ++i) objects.push_back(&Child(i));
        QByteArray out;
        WriteObjectList(out, objects);
        return out;
    }
};

// The classes the designer registry creates in these tests, and a fresh history.
inline void PrepareUndoTest()
{
    TClassRegistry::Global().Register(TFilledRect::StaticClass());
    TClassRegistry::Global().Register(TDOGroup::StaticClass());
    ActionList().Clear();
    ActionList().SetLimit(TActionList::DefaultLimit);
    ActionList().SetEnabled(true);
    ActionList().SetRepeatAllowed(true);
}

}  // namespace kestrel::test

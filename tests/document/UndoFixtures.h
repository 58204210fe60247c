#pragma once

// A site with a logical area, edited in a session of its own, that records the editing services
// it is asked for, and helpers to fill it through AddObject and to take its object stream.

#include <QByteArray>
#include <memory>
#include <vector>

#include "DrawObjectFixtures.h"
#include "document/ActionList.h"
#include "document/DOGroup.h"
#include "document/DOList.h"
#include "document/EditSession.h"
#include "document/ObjectKinds.h"
#include "document/stream/ClassRegistry.h"
#include "document/stream/ObjectStream.h"

namespace kestrel::test {

class TEditSite : public TTestSite {
public:
    TEditSession session;
    TRect area{0, 0, 1000, 1000};
    TRect visible{0, 0, 1000, 1000};
    int pivotUpdates = 0;
    int dragCancels = 0;
    std::vector<TCursor> cursors;

    explicit TEditSite(const TObjectKinds& kinds = TObjectKinds::Global()) : session(kinds) { SetSession(&session); }
    TActionList& History() { return session.History(); }

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

// The classes streams name in these tests.
inline void RegisterUndoTestClasses()
{
    TClassRegistry::Global().Register(TFilledRect::StaticClass());
}

}  // namespace kestrel::test

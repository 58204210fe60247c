#pragma once

#include <vector>

#include "document/Notify.h"
#include "document/stream/Persistent.h"
#include "platform/Color.h"
#include "render/Gradation.h"

namespace kestrel {

// The colour stops of a gradation and how often they repeat. A new list runs from white to
// black. Every change raises the change notification.
class TGradationColors : public TPersistent {
    KESTREL_PERSISTENT()
public:
    // More repetitions than ramp entries cannot show; the stored value is kept as it is.
    static constexpr int MaxEffectiveRepeat = 1024;

    TGradationColors();

    TChangeNotify& Notify() { return notify_; }

    int Count() const { return static_cast<int>(stops_.size()); }
    // Fails with a range error outside the list.
    TColor Stop(int i) const;
    void SetStop(int i, TColor color);
    // New stops are black; fails for a negative count.
    void SetCount(int n);
    const std::vector<TColor>& Stops() const { return stops_; }
    void SetStops(std::vector<TColor> stops);

    int RepeatCount() const { return repeatCount_; }
    void SetRepeatCount(int n);
    // The stops repeated RepeatCount times (below 1 counts as 1): entry j is stop j mod Count.
    TGradationColorList GetColorArray() const;
    void Reverse();

    void Assign(const TPersistent& source) override;
    void DefineProperties(TFiler& filer) override;

private:
    bool IsDefaultList() const;
    void ReadColors(TBoundedReader& in);
    void WriteColors(QByteArray& out) const;

    std::vector<TColor> stops_;
    int repeatCount_ = 1;
    TChangeNotify notify_;
};

}  // namespace kestrel

#pragma once

#include <functional>
#include <vector>

#include "imaging/Progress.h"

namespace kestrel {

// Progress of nested phases as one position from 0 to 1: a phase opened inside another one
// shares out the parent's current step among its own steps.
class TSTDPhasedProgress : public TPhasedProgressBase {
public:
    using Listener = std::function<void(int percent)>;

    // The listener hears every change of the whole percentage.
    explicit TSTDPhasedProgress(Listener listener = {}) : listener_(std::move(listener)) {}

    void BeginPhase(int steps) override;
    void Step() override;
    void EndPhase() override;
    double Position() const { return position_; }
    int Percent() const;

private:
    struct TPhase {
        double start;
        double span;
        int steps;
        int done;
    };
    double StepPosition(const TPhase& phase) const;
    void MoveTo(double position);

    Listener listener_;
    std::vector<TPhase> phases_;
    double position_ = 0;
};

}  // namespace kestrel

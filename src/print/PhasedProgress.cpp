#include "print/PhasedProgress.h"

#include <algorithm>
#include <cmath>

namespace kestrel {

double TSTDPhasedProgress::StepPosition(const TPhase& phase) const
{
    if (phase.steps <= 0) return phase.start + phase.span;
    return phase.start + phase.span * std::min(phase.done, phase.steps) / phase.steps;
}

void TSTDPhasedProgress::BeginPhase(int steps)
{
    TPhase phase{0, 1, std::max(steps, 0), 0};
    if (!phases_.empty()) {
        const TPhase& parent = phases_.back();
        phase.start = StepPosition(parent);
        phase.span = parent.steps > 0 && parent.done < parent.steps ? parent.span / parent.steps : 0;
    }
    phases_.push_back(phase);
}

void TSTDPhasedProgress::Step()
{
    if (phases_.empty()) return;
    ++phases_.back().done;
    MoveTo(StepPosition(phases_.back()));
}

void TSTDPhasedProgress::EndPhase()
{
    if (phases_.empty()) return;
    const TPhase ended = phases_.back();
    phases_.pop_back();
    MoveTo(ended.start + ended.span * (phases_.empty() ? 1 : 0));
}

int TSTDPhasedProgress::Percent() const
{
    return int(std::floor(position_ * 100 + 1e-9));
}

void TSTDPhasedProgress::MoveTo(double position)
{
    const int before = Percent();
    position_ = std::max(position_, position);
    if (listener_ && Percent() != before) listener_(Percent());
}

}  // namespace kestrel

#pragma once

namespace kestrel {

// Receives the progress of a long pixel operation as phases of counted steps.
class TPhasedProgressBase {
public:
    virtual ~TPhasedProgressBase() = default;
    virtual void BeginPhase(int steps) = 0;
    virtual void Step() = 0;
    virtual void EndPhase() = 0;
};

}  // namespace kestrel

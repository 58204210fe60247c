#pragma once

namespace kestrel {

class TDrawObject;

// What label objects ask of the designer registry: handles, interactive drags and property
// editors. The registry installs itself here at start-up; with nothing installed the requests do
// nothing.
class IObjectDesigners {
public:
    virtual ~IObjectDesigners() = default;
    virtual bool CreatePivots(TDrawObject& object) = 0;
    virtual bool StartGhost(TDrawObject& object, int handle) = 0;
    // True when the object was edited and the user did not cancel.
    virtual bool EditObject(TDrawObject& object) = 0;
};

IObjectDesigners* ObjectDesigners();
// Installs the registry (nullptr removes it) and returns the previous one.
IObjectDesigners* SetObjectDesigners(IObjectDesigners* designers);

}  // namespace kestrel

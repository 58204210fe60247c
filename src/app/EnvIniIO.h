#pragma once

#include <QString>

#include "app/FormPlacement.h"

namespace kestrel {

// A window's rectangle kept as "FormLeft", "FormTop", "FormRight" and "FormBottom" in a sub-key
// of the program's settings key.
class TEnvIniIO {
public:
    explicit TEnvIniIO(const QString& subKey);

    const QString& KeyPath() const { return keyPath_; }
    void SaveBounds(const IFormPlacement& window);
    // A rectangle never saved, not a rectangle, or off the screen's right or bottom edge
    // centres the window on its owner instead, keeping its size.
    void RestoreBounds(IFormPlacement& window);

private:
    QString keyPath_;
};

}  // namespace kestrel

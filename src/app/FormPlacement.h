#pragma once

#include <QRect>
#include <QSize>
#include <QString>

namespace kestrel {

// A window as the frame saves and restores its placement, without the window itself.
class IFormPlacement {
public:
    virtual ~IFormPlacement() = default;
    // Prefix of the setting names ("frmMain" gives "frmMainLeft" ...).
    virtual QString FormName() const = 0;
    // The normal (not maximised or minimised) rectangle.
    virtual QRect NormalBounds() const = 0;
    virtual void SetNormalBounds(const QRect& bounds) = 0;
    virtual QSize ScreenSize() const = 0;
    // The rectangle of the window that owns this one, or the screen's when none does.
    virtual QRect OwnerBounds() const = 0;
};

}  // namespace kestrel

#include "app/EnvIniIO.h"

#include "app/AppFrame.h"
#include "platform/SettingsStore.h"

namespace kestrel {

namespace {
// A window must show at least this much of itself on the screen.
constexpr int VisibleEdge = 16;
}  // namespace

TEnvIniIO::TEnvIniIO(const QString& subKey)
    : keyPath_(ExpandMacro(QStringLiteral("$(SysRegistryKey)\\")) + subKey)
{
}

void TEnvIniIO::SaveBounds(const IFormPlacement& window)
{
    const QRect bounds = window.NormalBounds();
    TSettingsKey key(keyPath_);
    key.WriteInteger(QStringLiteral("FormLeft"), bounds.left());
    key.WriteInteger(QStringLiteral("FormTop"), bounds.top());
    key.WriteInteger(QStringLiteral("FormRight"), bounds.left() + bounds.width());
    key.WriteInteger(QStringLiteral("FormBottom"), bounds.top() + bounds.height());
}

void TEnvIniIO::RestoreBounds(IFormPlacement& window)
{
    const TSettingsKey key(keyPath_);
    const int left = key.ReadInteger(QStringLiteral("FormLeft"), -1);
    const int top = key.ReadInteger(QStringLiteral("FormTop"), -1);
    const int right = key.ReadInteger(QStringLiteral("FormRight"), -1);
    const int bottom = key.ReadInteger(QStringLiteral("FormBottom"), -1);
    const QSize screen = window.ScreenSize();
    const bool usable = left >= 0 && top >= 0 && right > left && bottom > top &&
                        left + VisibleEdge < screen.width() && top + VisibleEdge <= screen.height();
    if (usable) {
        window.SetNormalBounds(QRect(left, top, right - left, bottom - top));
        return;
    }
    QRect centred(QPoint(0, 0), window.NormalBounds().size());
    centred.moveCenter(window.OwnerBounds().center());
    window.SetNormalBounds(centred);
}

}  // namespace kestrel

#pragma once

#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;

namespace kestrel {

class TGrid;

// The move-mode controls of the layout screen over the process-wide move settings: the mode
// choice, the step angle and the three flags, each enabled only in the mode it belongs to.
class TMoveModeBar : public QWidget {
public:
    // grid: the current sheet's grid, or null; changed: the grid changed and must be redrawn.
    TMoveModeBar(std::function<TGrid*()> grid, std::function<void()> changed, QWidget* parent = nullptr);

    // Shows the settings and the grid as they are now.
    void Refresh();

private:
    void ModeChosen(int index);
    void FlagsChanged();

    std::function<TGrid*()> grid_;
    std::function<void()> changed_;
    QComboBox* mode_;
    QComboBox* step_;
    QCheckBox* axisLock_;
    QCheckBox* turnWhileMoving_;
    QCheckBox* turnObject_;
};

}  // namespace kestrel

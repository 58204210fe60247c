#pragma once

#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;

namespace kestrel {

class TGrid;
struct TMoveSettings;

// The move-mode controls of the layout screen over its session's move settings: the mode
// choice, the step angle and the three flags, each enabled only in the mode it belongs to.
class TMoveModeBar : public QWidget {
public:
    // grid: the current sheet's grid, or null.
    TMoveModeBar(TMoveSettings& settings, std::function<TGrid*()> grid, QWidget* parent = nullptr);

    // Shows the settings and the grid as they are now.
    void Refresh();

private:
    void ModeChosen(int index);
    void FlagsChanged();

    TMoveSettings& settings_;
    std::function<TGrid*()> grid_;
    QComboBox* mode_;
    QComboBox* step_;
    QCheckBox* axisLock_;
    QCheckBox* turnWhileMoving_;
    QCheckBox* turnObject_;
};

}  // namespace kestrel

#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace kestrel {

class TGrid;

// "グリッド設定": the interval in millimetres, snapping, showing, and dots or lines.
class TGridDialog : public QDialog {
public:
    TGridDialog(const TGrid& grid, QWidget* parent = nullptr);
    // Writes all four values into the grid.
    void SaveTo(TGrid& grid) const;
    // Shows the dialog; true when the grid was changed by OK.
    static bool Edit(TGrid& grid, QWidget* parent);

private:
    QSpinBox* interval_;
    QCheckBox* snap_;
    QCheckBox* visible_;
    QComboBox* shape_;
};

}  // namespace kestrel

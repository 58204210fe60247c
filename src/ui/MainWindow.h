#pragma once

#include <QMainWindow>

namespace kestrel {

// The main window: titled after the program, remembers its placement.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace kestrel

#include "ui/MainWindow.h"

#include <QCloseEvent>

#include "app/AppFrame.h"
#include "ui/WidgetPlacement.h"

namespace kestrel {

namespace {
constexpr int kDefaultWidth = 1024;
constexpr int kDefaultHeight = 740;
}  // namespace

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("frmMain");
    setWindowTitle(ExpandMacro("$(AppName)"));
    TWidgetPlacement placement(*this);
    TAppFrame::RestoreFormPlacement(placement, kDefaultWidth, kDefaultHeight);
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    TWidgetPlacement placement(*this);
    try {
        TAppFrame::SaveFormPlacement(placement);
    } catch (const std::exception& e) {
        ReportUnexpectedException(
            e);  // a settings store that cannot be written must not keep the window open
    }
    event->accept();
}

}  // namespace kestrel

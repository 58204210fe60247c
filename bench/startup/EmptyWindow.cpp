// The baseline of the start-up measurement: an empty main window, probed as the program is.
#include <QMainWindow>

#include "ui/FirstPaintProbe.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    new kestrel::TFirstPaintProbe([&window](const QWidget& painted) { return &painted == &window; });
    window.resize(1024, 720);
    window.show();
    return app.exec();
}

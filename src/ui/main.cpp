#include <QApplication>
#include <QMainWindow>

#include "imaging/BlendedPainting.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    kestrel::InstallBlendedPainting();
    QMainWindow window;
    window.setWindowTitle("Kestrel");
    window.show();
    return app.exec();
}

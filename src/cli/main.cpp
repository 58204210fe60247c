#include <QGuiApplication>
#include <QTextStream>

#include "app/AppFrame.h"
#include "app/ProgramMacros.h"
#include "cli/Commands.h"
#include "edit/ModelStartup.h"
#include "platform/ProgramPaths.h"
#include "platform/QtMessages.h"
#include "platform/WorkingFiles.h"

int main(int argc, char** argv)
{
    using namespace kestrel;
    InstallQtMessageFilter();
    // Headless: pictures and fonts work without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt takes options of its own out of the arguments ("--plugin" among them); the commands'
    // options are ours, so Qt sees only the program's name.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    InstallTerminationHandlers();
    RemoveStaleWorkingFiles();
    InitializeModel();

    // The same macro table as the desktop program; messages go to standard error.
    TAppFrame frame;
    frame.Macro().SetLines(ProgramMacroTable());
    frame.Loaded();

    QTextStream out(stdout);
    QTextStream err(stderr);
    try {
        return cli::RunCommandLine(arguments, out, err);
    } catch (const std::exception& e) {
        ReportUnexpectedException(e);
        return 1;
    }
}

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/PluginServers.h"
#include "objects/PictureObject.h"
#include "app/DataMain.h"
#include "imaging/PreviewCache.h"
#include "edit/ModelStartup.h"
#include "paper/CatalogueStartup.h"
#include "paper/ProductDB.h"
#include "platform/InstanceChannel.h"
#include "platform/QtMessages.h"
#include "platform/WorkingFiles.h"
#include "ui/FirstPaintProbe.h"
#include "ui/MainWindow.h"
#include "ui/MenuStage.h"
#include "ui/MessageDialog.h"
#include "ui/Screenshots.h"
#include "ui/SessionEnd.h"
#include "ui/QtTranslations.h"

namespace {

// Qt aborts when it finds no display; say how to start the program instead.
bool HasDisplay(int argc, char** argv)
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (!qEnvironmentVariableIsEmpty(name)) return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0) return true;
    return false;
}

void PrintDisplayHint(int argc, char** argv)
{
    std::fprintf(
        stderr,
        "Kestrel needs a display: none is set (DISPLAY). Run it under a virtual one with: xvfb-run -a");
    for (int i = 0; i < argc; ++i) std::fprintf(stderr, " %s", argv[i]);
    std::fprintf(stderr, "\n");
}

// The command line as another start hands it over: files by their absolute paths, since the
// running program has its own working folder.
QStringList HandedArguments(const QStringList& arguments)
{
    QStringList handed;
    for (const QString& argument : arguments.mid(1)) {
        const QFileInfo file(argument);
        handed << (file.exists() ? file.absoluteFilePath() : argument);
    }
    return handed;
}

void BringToFront(QWidget& window)
{
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

// A document handed over by another start opens once no dialog is open in this one.
void OpenHandedDocument(kestrel::TfrmMain& window, const QString& file)
{
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(200, &window, [&window, file] { OpenHandedDocument(window, file); });
        return;
    }
    window.OpenDocument(file);  // a file gone meanwhile is reported as on the command line
}

// page: "stages.html#menu", a page beside the help file and its anchor; empty for the contents.
bool OpenHelpFile(const QString& helpFile, const QString& page)
{
    const QString file = page.isEmpty() ? helpFile : QFileInfo(helpFile).dir().filePath(page.section(u'#', 0, 0));
    if (!QFileInfo::exists(file)) return false;
    QUrl url = QUrl::fromLocalFile(file);
    if (page.contains(u'#')) url.setFragment(page.section(u'#', 1));
    return QDesktopServices::openUrl(url);
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace kestrel;
    if (!HasDisplay(argc, argv)) {
        PrintDisplayHint(argc, argv);
        return 1;
    }
    InstallQtMessageFilter();
    QApplication app(argc, argv);
    // The desktop entry the window belongs to, for its icon and name in the desktop's task list.
    QGuiApplication::setDesktopFileName(QStringLiteral("kestrel"));
    InstallTerminationHandlers([] { QCoreApplication::quit(); });
    RemoveStaleWorkingFiles();
    InitializeModel();
    TPaperCatalogue papers;
    std::unique_ptr<TProductDB> productDB;
    TdataMain dataMain(QApplication::arguments());
    TAppFrame& frame = dataMain.AppFrame();
    // No display name: the platform would append it to titles that already carry $(AppName).
    InstallQtTranslations(app);
    // For scripted runs and tests: messages go to standard error and answer with their default
    // button instead of waiting in a dialog.
    if (!qEnvironmentVariableIsSet("KESTREL_MESSAGES_TO_STDERR")) frame.OnMessageBox = ShowMessageDialog;
    const QString instanceName = frame.Expand("$(SysMutexID)");
    frame.OnAlreadyRunning = [&instanceName] {
        return SendToRunningInstance(instanceName, HandedArguments(QApplication::arguments()));
    };
    frame.SetColorDepthQuery([] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->depth() : 32;
    });

    std::unique_ptr<TfrmMain> mainWindow;
    TStartupHooks& hooks = dataMain.Hooks();
    InstallCatalogueHooks(hooks, papers);
    InstallImageCacheHooks(hooks);
    InstallProductDBHooks(hooks, productDB, frame);
    hooks.loadPlugIns = [&dataMain](const QString& folder) {
        dataMain.ImageServers().LoadFolder(folder, dataMain.PluginClient());
    };
    hooks.freePlugIns = [&dataMain] {
        SetScannerSource(nullptr);
        dataMain.ImageServers().Clear();
    };
    // Scanned pictures come from the first image server found.
    SetScannerSource([&dataMain] {
        TPluginList& servers = dataMain.ImageServers();
        if (servers.Count() == 0) throw EKestrel(QStringLiteral("スキャナーから取り込むプラグインがありません"));
        TBCAppFrameClient& client = dataMain.PluginClient();
        return AcquirePluginImage(servers.CreateServer(0, client), client.activeWindow ? client.activeWindow() : 0);
    });
    dataMain.PluginClient().activeWindow = [] {
        QWidget* window = QApplication::activeWindow();
        return window ? quint64(window->winId()) : quint64(0);
    };
    hooks.createMainWindow = [&] {
        mainWindow = std::make_unique<TfrmMain>(frame, papers.Catalogue(), productDB.get());
        mainWindow->show();
    };
    InstallSessionEndHook(app, [&mainWindow] { return mainWindow.get(); });
    hooks.openDocument = [&mainWindow](const QString& file) { return mainWindow->OpenDocument(file); };
    hooks.newDocument = [&mainWindow] { mainWindow->NewDocument(); };
    hooks.showHelp = [](const QString& helpFile, const QString&, const QString& page) {
        return OpenHelpFile(helpFile, page);
    };

    try {
        if (!dataMain.Create()) return frame.HandedOver() ? 0 : 1;
    } catch (const std::exception& e) {
        ReportUnexpectedException(e);
        return 1;
    }
    TInstanceServer laterStarts(instanceName);
    laterStarts.onArguments = [&mainWindow](const QStringList& arguments) {
        BringToFront(*mainWindow);
        if (!arguments.isEmpty()) OpenHandedDocument(*mainWindow, arguments.first());
    };
    QTimer::singleShot(0, [&dataMain] { dataMain.FirstIdle(); });
    // For bench/startup: the time from process start to the painted menu stage.
    if (qEnvironmentVariableIsSet("KESTREL_FIRST_PAINT_PROBE"))
        new TFirstPaintProbe([](const QWidget& painted) { return dynamic_cast<const TMenuStage*>(&painted) != nullptr; });
    // For the documentation (scripts/screenshots.sh): pictures of the screens, then the end.
    if (const QString folder = qEnvironmentVariable("KESTREL_SCREENSHOT_DIR"); !folder.isEmpty() && papers.Catalogue())
        QTimer::singleShot(0, [&mainWindow, &papers, folder] {
            QCoreApplication::exit(TakeScreenshots(*mainWindow, *papers.Catalogue(), folder) ? 0 : 1);
        });
    return app.exec();
}

#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "app/AppFrame.h"
#include "app/PluginClient.h"
#include "app/PluginHost.h"
#include "platform/Error.h"

namespace kestrel {

// A data file the program needs could not be opened at start-up.
class EStartupFile : public EKestrel {
public:
    using EKestrel::EKestrel;
    const char* ClassName() const override { return "EStartupFile"; }
};

// The places where the program's services join the start-up and shutdown. Each is filled by the
// service it names (or by the user interface); an empty one means that service is not part of
// this program, and its step is skipped.
struct TStartupHooks {
    // Loads the import plug-ins from "$(PlugInDir)"; freePlugIns releases them.
    std::function<void(const QString& folder)> loadPlugIns;
    std::function<void()> freePlugIns;
    // The product's purpose filter on the paper catalogue.
    std::function<void()> installPurposeFilter;
    std::function<void()> removePurposeFilter;
    std::function<void()> registerPictureFormats;
    std::function<void()> showSplash;
    // The thumbnail cache in its file; limit 0 means unlimited.
    std::function<void(const QString& file, bool enabled, int limit)> openImageCache;
    std::function<void()> freeImageCache;
    // The system paper catalogue, the user's papers merged into it, and writing them back at
    // shutdown when they changed.
    std::function<void(const QString& systemFile)> openPaperCatalogue;
    std::function<void(const QString& userFile)> mergeUserPapers;
    std::function<void(const QString& userFile)> saveUserPapers;
    std::function<void()> freePaperCatalogue;
    // The product database; freeProductDatabase saves it when it changed and releases it.
    std::function<void()> loadProductDatabase;
    std::function<void()> freeProductDatabase;
    // The main window and the colour-grid window.
    std::function<void()> createMainWindow;
    // First idle moment: open the document named on the command line (false if that failed),
    // or start a new one; show the image explorer.
    std::function<bool(const QString& file)> openDocument;
    std::function<void()> newDocument;
    std::function<void()> showImageExplorer;
    // Shows the help file for a command ("context" or a topic).
    std::function<bool(const QString& helpFile, const QString& command, const QString& data)> showHelp;
};

// The start-up data module: owns the application frame with the program's macro table and runs
// the start-up sequence, the first-idle step and the shutdown.
class TdataMain {
public:
    // arguments: the command line, program first.
    explicit TdataMain(QStringList arguments);
    ~TdataMain();
    TdataMain(const TdataMain&) = delete;
    TdataMain& operator=(const TdataMain&) = delete;

    TAppFrame& AppFrame() { return frame_; }
    TStartupHooks& Hooks() { return hooks_; }
    // The client every plug-in server gets, and the image servers found at start-up.
    TBCAppFrameClient& PluginClient() { return pluginClient_; }
    TPluginList& ImageServers() { return imageServers_; }

    // Plug-ins, purpose filter, picture formats, start conditions, splash, process flags, data
    // files, main window. False when the program must end (the reason has been shown).
    bool Create();
    bool Started() const { return started_; }
    // Runs once, at the first idle moment after a successful Create.
    void FirstIdle();

private:
    void LoadDataFiles();
    void OpenImageCache();
    void OpenPaperCatalogue();
    void Shutdown();

    TAppFrame frame_;
    TStartupHooks hooks_;
    TBCAppFrameClient pluginClient_;
    TPluginList imageServers_{ToUuid(KESTREL_CATID_IMAGE_SERVERS)};
    // Made at start-up beside the image servers; no category fills it yet.
    TPluginList reservedPlugins_{ToUuid(KESTREL_CATID_RESERVED)};
    QStringList arguments_;
    bool started_ = false;
    bool firstIdleDone_ = false;
    bool plugInsLoaded_ = false;
    bool purposeFilterInstalled_ = false;
    bool imageCacheOpen_ = false;
    bool paperCatalogueOpen_ = false;
    bool productDatabaseLoaded_ = false;
};

}  // namespace kestrel

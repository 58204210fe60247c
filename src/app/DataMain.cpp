#include "app/DataMain.h"

#include <QDir>
#include <QFileInfo>

#include "app/ProgramMacros.h"
#include "app/RuntimeFlags.h"
#include "platform/cfb/StorageError.h"

namespace kestrel {

namespace {

constexpr auto kCannotOpen = "アプリケーションに必要なファイル「%s」が開けませんでした";

// Runs a loader; any failure other than a start-up error of its own becomes the "cannot open"
// error naming the file.
void LoadNamedFile(const QString& file, const std::function<void()>& load)
{
    try {
        load();
    } catch (const EStartupFile&) {
        throw;
    } catch (const std::exception&) {
        throw EStartupFile(FormatText(kCannotOpen, {QFileInfo(file).fileName()}));
    }
}

// Report a failure during shutdown instead of letting it escape a destructor.
void Guarded(const std::function<void()>& step)
{
    try {
        step();
    } catch (const std::exception& e) {
        ReportUnexpectedException(e);
    }
}

}  // namespace

TdataMain::TdataMain(QStringList arguments) : arguments_(std::move(arguments))
{
    frame_.Macro().SetLines(ProgramMacroTable());
    frame_.SetExecuteCondition(ecNeedHighColor | ecNeedPrinter | ecExclusive);
    frame_.Loaded();
    frame_.OnHelp = [this](const QString& command, const QString& data) {
        return hooks_.showHelp && hooks_.showHelp(frame_.HelpFile(), command, data);
    };
}

TdataMain::~TdataMain()
{
    Shutdown();
}

bool TdataMain::Create()
{
    if (hooks_.loadPlugIns) {
        hooks_.loadPlugIns(frame_.Expand("$(PlugInDir)"));
        plugInsLoaded_ = true;
    }
    if (hooks_.installPurposeFilter) {
        hooks_.installPurposeFilter();
        purposeFilterInstalled_ = true;
    }
    if (hooks_.registerPictureFormats) hooks_.registerPictureFormats();
    if (!frame_.CheckExecuteConditions()) return false;
    if (hooks_.showSplash) hooks_.showSplash();
    SetAntiAliasDistortionText(TAppFrame::ReadBool("AntiAliasDistortionText", true));
    try {
        LoadDataFiles();
    } catch (const EStartupFile& e) {
        TAppFrame::ShowOkMessage("%s", {e.Message()});
        return false;
    }
    if (hooks_.createMainWindow) hooks_.createMainWindow();
    started_ = true;
    return true;
}

void TdataMain::LoadDataFiles()
{
    OpenImageCache();
    OpenPaperCatalogue();
    if (hooks_.loadProductDatabase) {
        LoadNamedFile(frame_.Expand("$(ProductDB)"), hooks_.loadProductDatabase);
        productDatabaseLoaded_ = true;
    }
}

void TdataMain::OpenImageCache()
{
    if (!hooks_.openImageCache) return;
    const QString file = frame_.Expand("$(ImageCacheFile)");
    QDir().mkpath(QFileInfo(file).path());
    const bool enabled = TAppFrame::ReadBool("CacheEnabl", true);
    const int limit = enabled ? TAppFrame::ReadInteger("CacheLimit", 0) : 0;
    LoadNamedFile(file, [&] { hooks_.openImageCache(file, enabled, limit); });
    imageCacheOpen_ = true;
}

void TdataMain::OpenPaperCatalogue()
{
    if (!hooks_.openPaperCatalogue) return;
    const QString systemFile = frame_.Expand("$(SystemPaperInfo)");
    // Reading is all the catalogue needs here, so it may be installed read-only; writability
    // matters only where an update installs a new one.
    const QFileInfo info(systemFile);
    if (!info.exists()) throw EStartupFile(FormatText(kCannotOpen, {info.fileName()}));
    LoadNamedFile(systemFile, [&] { hooks_.openPaperCatalogue(systemFile); });
    paperCatalogueOpen_ = true;
    const QString userFile = frame_.Expand("$(UserPaperInfo)");
    if (hooks_.mergeUserPapers && QFileInfo::exists(userFile))
        LoadNamedFile(userFile, [&] { hooks_.mergeUserPapers(userFile); });
}

void TdataMain::FirstIdle()
{
    if (!started_ || firstIdleDone_) return;
    firstIdleDone_ = true;
    const QString named = arguments_.value(1);
    // A named file that is missing is said to be so; one that is there but cannot be read is
    // reported with its cause by opening it.
    if (!named.isEmpty() && !QFileInfo::exists(named))
        TAppFrame::ShowOkMessage(QStringLiteral("%s"), {StorageErrorMessage(TStorageErrorCode::FileNotFound, named)});
    const bool opened =
        !named.isEmpty() && QFileInfo::exists(named) && hooks_.openDocument && hooks_.openDocument(named);
    if (!opened && hooks_.newDocument) hooks_.newDocument();
    if (hooks_.showImageExplorer && TAppFrame::ReadBool("ImageExplorerEnable", false))
        hooks_.showImageExplorer();
}

void TdataMain::Shutdown()
{
    if (paperCatalogueOpen_ && hooks_.saveUserPapers)
        Guarded([this] { hooks_.saveUserPapers(frame_.Expand("$(UserPaperInfo)")); });
    if (productDatabaseLoaded_ && hooks_.freeProductDatabase) Guarded(hooks_.freeProductDatabase);
    if (purposeFilterInstalled_ && hooks_.removePurposeFilter) Guarded(hooks_.removePurposeFilter);
    if (plugInsLoaded_ && hooks_.freePlugIns) Guarded(hooks_.freePlugIns);
    if (imageCacheOpen_ && hooks_.freeImageCache) Guarded(hooks_.freeImageCache);
    if (paperCatalogueOpen_ && hooks_.freePaperCatalogue) Guarded(hooks_.freePaperCatalogue);
}

}  // namespace kestrel

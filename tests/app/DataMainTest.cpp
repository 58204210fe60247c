#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/DataMain.h"
#include "app/RuntimeFlags.h"
#include "platform/ProgramPaths.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

// Records every start-up and shutdown step in the order the data module runs them.
class DataMainTest : public ::testing::Test {
protected:
    std::unique_ptr<TdataMain> Make(QStringList arguments = {"kestrel"})
    {
        auto dataMain = std::make_unique<TdataMain>(arguments);
        // The test's own data files, never the ones the build made.
        dataMain->AppFrame().Macro().SetValue("DataNameNoExt", DataNameNoExt());
        dataMain->AppFrame().OnMessageBox = [this](const QString& text, const TMsgButtons&, int, int) {
            messages_ << text;
            return int(mrOk);
        };
        TStartupHooks& hooks = dataMain->Hooks();
        hooks.loadPlugIns = [this](const QString& folder) { steps_ << "plugins " + folder; };
        hooks.freePlugIns = Step("free plugins");
        hooks.installPurposeFilter = Step("install filter");
        hooks.removePurposeFilter = Step("remove filter");
        hooks.registerPictureFormats = Step("picture formats");
        hooks.showSplash = Step("splash");
        hooks.openImageCache = [this](const QString& file, bool enabled, int limit) {
            steps_ << QString("cache %1 %2 %3").arg(QFileInfo(file).fileName()).arg(enabled).arg(limit);
            EXPECT_TRUE(QFileInfo(file).dir().exists());
        };
        hooks.freeImageCache = Step("free cache");
        hooks.createMainWindow = Step("main window");
        hooks.newDocument = Step("new document");
        hooks.openDocument = [this](const QString& file) {
            steps_ << "open " + QFileInfo(file).fileName();
            return openSucceeds_;
        };
        return dataMain;
    }

    std::function<void()> Step(const QString& name)
    {
        return [this, name] { steps_ << name; };
    }

    static QString DataNameNoExt() { return test::TestFolder() + "/kestrel"; }

    // The system paper catalogue the data module requires, as an existing writable file.
    QString MakeSystemCatalogue()
    {
        const QString file = DataNameNoExt() + ".ppr";
        QFile(file).open(QIODevice::WriteOnly);
        createdFiles_ << file;
        return file;
    }

    ~DataMainTest() override
    {
        for (const QString& file : createdFiles_) {
            QFile(file).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
            QFile::remove(file);
        }
    }

    QStringList steps_;
    QStringList messages_;
    QStringList createdFiles_;
    bool openSucceeds_ = true;
};

TEST_F(DataMainTest, StartsInOrderAndShutsDownWhatItOpened)
{
    {
        auto dataMain = Make();
        EXPECT_EQ(dataMain->AppFrame().Title(), "Kestrel");
        ASSERT_TRUE(dataMain->Create());
        EXPECT_TRUE(dataMain->Started());
        EXPECT_EQ(steps_, QStringList({"plugins " + PlugInDir(), "install filter", "picture formats",
                                       "splash", "cache ImageCache.ic 1 0", "main window"}));
        steps_.clear();
    }
    EXPECT_EQ(steps_, QStringList({"remove filter", "free plugins", "free cache"}));
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(DataMainTest, SettingsChooseTheCacheAndTheDistortedTextFlag)
{
    auto dataMain = Make();
    TAppFrame::WriteInteger("CacheLimit", 500);
    TAppFrame::WriteBool("AntiAliasDistortionText", false);
    ASSERT_TRUE(dataMain->Create());
    EXPECT_TRUE(steps_.contains("cache ImageCache.ic 1 500"));
    EXPECT_FALSE(AntiAliasDistortionText());

    auto disabled = Make();
    disabled->AppFrame().SetExecuteCondition(ecNeedHighColor | ecNeedPrinter);  // the first still runs
    TAppFrame::WriteBool("CacheEnabl", false);
    TAppFrame::WriteBool("AntiAliasDistortionText", true);
    steps_.clear();
    ASSERT_TRUE(disabled->Create());
    EXPECT_TRUE(steps_.contains("cache ImageCache.ic 0 0"));
    EXPECT_TRUE(AntiAliasDistortionText());
}

TEST_F(DataMainTest, AFailedStartConditionEndsBeforeTheMainWindow)
{
    auto first = Make();
    ASSERT_TRUE(first->Create());
    steps_.clear();
    auto second = Make();
    EXPECT_FALSE(second->Create());
    EXPECT_FALSE(second->Started());
    EXPECT_EQ(messages_, QStringList({"Kestrelは、すでに実行中です"}));
    EXPECT_EQ(steps_, QStringList({"plugins " + PlugInDir(), "install filter", "picture formats"}));
}

TEST_F(DataMainTest, AMissingSystemCatalogueStopsStartUpWithItsName)
{
    auto dataMain = Make();
    dataMain->Hooks().openPaperCatalogue = [this](const QString&) { steps_ << "catalogue"; };
    EXPECT_FALSE(dataMain->Create());
    EXPECT_EQ(messages_, QStringList({"アプリケーションに必要なファイル「kestrel.ppr」が開けませんでした"}));
    EXPECT_FALSE(steps_.contains("catalogue"));
    EXPECT_FALSE(steps_.contains("main window"));
}

TEST_F(DataMainTest, AReadOnlySystemCatalogueIsOpened)
{
    const QString file = MakeSystemCatalogue();
    QFile(file).setPermissions(QFile::ReadOwner);
    auto dataMain = Make();
    dataMain->Hooks().openPaperCatalogue = [this](const QString&) { steps_ << "catalogue"; };
    EXPECT_TRUE(dataMain->Create());
    EXPECT_TRUE(messages_.isEmpty());
    EXPECT_TRUE(steps_.contains("catalogue"));
}

TEST_F(DataMainTest, DataFilesOpenInOrderAndUserPapersAreSavedFirstAtShutdown)
{
    MakeSystemCatalogue();
    const QString userFile = AppDataDir() + "Kestrel/" + ShortVer() + "/UserPaper.ppr";
    QDir().mkpath(QFileInfo(userFile).path());
    QFile(userFile).open(QIODevice::WriteOnly);
    {
        auto dataMain = Make();
        TStartupHooks& hooks = dataMain->Hooks();
        hooks.openPaperCatalogue = [this](const QString& file) {
            steps_ << "catalogue " + QFileInfo(file).fileName();
        };
        hooks.mergeUserPapers = [this](const QString& file) {
            steps_ << "merge " + QFileInfo(file).fileName();
        };
        hooks.loadProductDatabase = Step("products");
        hooks.saveUserPapers = [this](const QString& file) { steps_ << "save " + file; };
        hooks.freeProductDatabase = Step("free products");
        hooks.freePaperCatalogue = Step("free catalogue");
        ASSERT_TRUE(dataMain->Create());
        EXPECT_EQ(steps_.mid(4), QStringList({"cache ImageCache.ic 1 0", "catalogue kestrel.ppr",
                                              "merge UserPaper.ppr", "products", "main window"}));
        steps_.clear();
    }
    EXPECT_EQ(steps_, QStringList({"save " + userFile, "free products", "remove filter", "free plugins",
                                   "free cache", "free catalogue"}));
}

TEST_F(DataMainTest, AFailingLoaderIsReportedWithTheFileName)
{
    MakeSystemCatalogue();
    auto dataMain = Make();
    dataMain->Hooks().openPaperCatalogue = [](const QString&) { throw EReadError("bad header"); };
    EXPECT_FALSE(dataMain->Create());
    EXPECT_EQ(messages_, QStringList({"アプリケーションに必要なファイル「kestrel.ppr」が開けませんでした"}));
}

TEST_F(DataMainTest, AFailureWhileShuttingDownIsReportedAndTheRestStillRuns)
{
    {
        auto dataMain = Make();
        dataMain->Hooks().removePurposeFilter = [] { throw EKestrel("filter stuck"); };
        ASSERT_TRUE(dataMain->Create());
        steps_.clear();
    }
    EXPECT_EQ(messages_, QStringList({"予期しないエラーが発生しました\r\nfilter stuck"}));
    EXPECT_EQ(steps_, QStringList({"free plugins", "free cache"}));
}

TEST_F(DataMainTest, FirstIdleOpensTheNamedDocumentOnce)
{
    const QString document = test::TestFolder() + "/label.mld";
    QFile(document).open(QIODevice::WriteOnly);
    auto dataMain = Make({"kestrel", document});
    dataMain->FirstIdle();
    EXPECT_TRUE(steps_.isEmpty());  // not before start-up finished
    ASSERT_TRUE(dataMain->Create());
    steps_.clear();
    dataMain->FirstIdle();
    dataMain->FirstIdle();
    EXPECT_EQ(steps_, QStringList({"open label.mld"}));
}

TEST_F(DataMainTest, FirstIdleStartsANewDocumentWhenOpeningFailsOrNothingIsNamed)
{
    const QString document = test::TestFolder() + "/label.mld";
    QFile(document).open(QIODevice::WriteOnly);
    openSucceeds_ = false;
    auto failing = Make({"kestrel", document});
    ASSERT_TRUE(failing->Create());
    steps_.clear();
    failing->FirstIdle();
    EXPECT_EQ(steps_, QStringList({"open label.mld", "new document"}));
    failing.reset();

    auto missing = Make({"kestrel", test::TestFolder() + "/absent.mld"});
    missing->AppFrame().SetExecuteCondition(ecNeedHighColor | ecNeedPrinter);  // the lock outlives the first
    missing->Hooks().showImageExplorer = Step("image explorer");
    TAppFrame::WriteBool("ImageExplorerEnable", true);
    ASSERT_TRUE(missing->Create());
    steps_.clear();
    messages_.clear();
    missing->FirstIdle();
    EXPECT_EQ(steps_, QStringList({"new document", "image explorer"}));
    // The user learns why the named document is not there instead of silently getting a blank one.
    EXPECT_EQ(messages_, QStringList({"ファイル「" + test::TestFolder() + "/absent.mld」が見つかりません"}));
}

TEST_F(DataMainTest, HelpGoesToTheHelpFileThroughTheHook)
{
    auto dataMain = Make();
    EXPECT_FALSE(dataMain->AppFrame().Help("context", "12"));
    QString asked;
    dataMain->Hooks().showHelp = [&](const QString& file, const QString& command, const QString& data) {
        asked = QFileInfo(file).fileName() + " " + command + " " + data;
        return true;
    };
    EXPECT_TRUE(dataMain->AppFrame().Help("context", "12"));
    EXPECT_EQ(asked, "index.html context 12");
}

}  // namespace
}  // namespace kestrel

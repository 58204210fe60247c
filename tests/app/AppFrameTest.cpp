#include <gtest/gtest.h>

#include <new>

#include <QDir>
#include <QFile>

#include "app/AppFrame.h"
#include "app/FormPlacement.h"
#include "app/ProgramMacros.h"
#include "platform/ProgramPaths.h"
#include "platform/SettingsStore.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

struct TShownMessage {
    QString text;
    TMsgButtons kinds;
    int cancelIndex;
    int defaultIndex;
};

// A frame with the program's table whose message boxes are recorded and answered.
class AppFrameTest : public ::testing::Test {
protected:
    AppFrameTest()
    {
        frame_.Macro().SetLines(ProgramMacroTable());
        frame_.Loaded();
        frame_.OnMessageBox = [this](const QString& text, const TMsgButtons& kinds, int cancel, int def) {
            shown_.push_back({text, kinds, cancel, def});
            return answer_;
        };
    }

    TAppFrame frame_;
    std::vector<TShownMessage> shown_;
    int answer_ = mrOk;
};

TEST_F(AppFrameTest, BuiltInMacrosDescribeTheProgram)
{
    EXPECT_EQ(frame_.Title(), "Kestrel");
    EXPECT_EQ(frame_.Expand("$(ExeDir)"), ExeDir());
    EXPECT_EQ(frame_.Expand("$(SysMutexID)"), "Kestrel." + ShortVer() + ".Basalt.Japan");
    EXPECT_EQ(frame_.Expand("$(SysRegistryKey)"),
              "Software\\Corvidworks\\KestrelMusic\\" + ShortVer() + "\\Settings");
    EXPECT_EQ(frame_.Expand("$(UserPaperInfo)"), AppDataDir() + "Kestrel/" + ShortVer() + "/UserPaper.ppr");
    EXPECT_EQ(frame_.Expand("a$(CRLF)b$(Quote)"), "a\r\nb\"");
    EXPECT_EQ(frame_.HelpFile(), HelpDir() + "index.html");
    EXPECT_EQ(ExpandMacro("$(AppName)"), "Kestrel");
}

TEST(AppFrameAlone, ANewFrameIsCalledProjectAndTheGlobalPointerFollowsItsLife)
{
    EXPECT_EQ(TAppFrame::Instance(), nullptr);
    EXPECT_EQ(ExpandMacro("$(AppName)"), "$(AppName)");
    {
        TAppFrame frame;
        EXPECT_EQ(TAppFrame::Instance(), &frame);
        EXPECT_EQ(ExpandMacro("$(AppName)"), "Project");
        {
            TAppFrame inner;
            inner.Macro().SetValue("AppName", "Inner");
            EXPECT_EQ(ExpandMacro("$(AppName)"), "Inner");
        }
        EXPECT_EQ(TAppFrame::Instance(), &frame) << "the frame before is global again";
    }
    EXPECT_EQ(TAppFrame::Instance(), nullptr);
}

TEST(AppFrameAlone, SettingsGiveDefaultsWithoutAFrameOrKey)
{
    EXPECT_EQ(TAppFrame::ReadInteger("CacheLimit", 9), 9);
    TAppFrame::WriteString("Lost", "nowhere to go");
    TAppFrame frame;  // no SysRegistryKey in its table
    EXPECT_EQ(TAppFrame::ReadString("Lost", "default"), "default");
    TAppFrame::WriteBool("Flag", true);
    EXPECT_FALSE(QFile::exists(TSettingsKey::StoreFile()));
}

TEST_F(AppFrameTest, SettingsLiveUnderTheRegistryKeyAndReadingCreatesNothing)
{
    EXPECT_TRUE(TAppFrame::ReadBool("CacheEnabl", true));
    EXPECT_EQ(TAppFrame::ReadString("CDPath", "none"), "none");
    EXPECT_FALSE(QFile::exists(TSettingsKey::StoreFile()));

    TAppFrame::WriteBool("CacheEnabl", false);
    TAppFrame::WriteInteger("CacheLimit", 300);
    TAppFrame::WriteString("CDPath", "/media/cd");
    EXPECT_FALSE(TAppFrame::ReadBool("CacheEnabl", true));
    EXPECT_EQ(TAppFrame::ReadInteger("CacheLimit", 0), 300);
    EXPECT_EQ(TSettingsKey(frame_.Expand("$(SysRegistryKey)")).ReadString("CDPath", {}), "/media/cd");
}

TEST_F(AppFrameTest, ShowMessageExpandsTheTemplateOnceAndNeverTheUserText)
{
    const QString fileName = "/home/u/$(AppName) $(Broken %s %d.mld";
    const int result =
        TAppFrame::ShowMessage("「%s」を開けません ($(AppName), %d)", {mbkYes, mbkNo}, 1, 0, {fileName, 42});
    EXPECT_EQ(result, mrOk);
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].text, "「" + fileName + "」を開けません (Kestrel, 42)");
    EXPECT_EQ(shown_[0].kinds, TMsgButtons({mbkYes, mbkNo}));
    EXPECT_EQ(shown_[0].cancelIndex, 1);
    EXPECT_EQ(shown_[0].defaultIndex, 0);
}

TEST_F(AppFrameTest, ConvenienceBoxesUseOkAndOkCancel)
{
    TAppFrame::ShowOkMessage("$(SysMsgAlreadyRun)");
    answer_ = mrCancel;
    EXPECT_FALSE(TAppFrame::ConfirmOkCancel("続けますか？"));
    answer_ = mrOk;
    EXPECT_TRUE(TAppFrame::ConfirmOkCancel("続けますか？"));
    ASSERT_EQ(shown_.size(), 3u);
    EXPECT_EQ(shown_[0].text, "Kestrelは、すでに実行中です");
    EXPECT_EQ(shown_[0].kinds, TMsgButtons({mbkOK}));
    EXPECT_EQ(shown_[1].kinds, TMsgButtons({mbkOK, mbkCancel}));
    EXPECT_EQ(shown_[1].cancelIndex, 1);
    EXPECT_EQ(shown_[1].defaultIndex, 0);
}

TEST_F(AppFrameTest, WithoutAHandlerTheDefaultButtonAnswers)
{
    frame_.OnMessageBox = nullptr;
    EXPECT_EQ(TAppFrame::ShowMessage("?", {mbkYes, mbkNo}, 0, 1), mrNo);
    EXPECT_EQ(TAppFrame::ShowMessage("?", {mbkAbort, mbkRetry, mbkIgnore}, 0, 2), mrIgnore);
    EXPECT_EQ(TAppFrame::ShowMessage("?", {mbkClose}, 0, 0), mrCancel);
}

TEST_F(AppFrameTest, UnexpectedErrorsAreReportedWithTheirMessageUnexpanded)
{
    ReportUnexpectedException(EReadError("壊れた $(データ"));
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].text, "予期しないエラーが発生しました\r\n壊れた $(データ");
    EXPECT_EQ(shown_[0].kinds, TMsgButtons({mbkOK}));

    class ETwain : public EKestrel {
    public:
        using EKestrel::EKestrel;
        const char* ClassName() const override { return "ETwain"; }
    };
    ReportUnexpectedException(ETwain("no scanner"));
    ASSERT_EQ(shown_.size(), 2u);
    EXPECT_TRUE(shown_[1].text.startsWith("TWAINでエラーが発生しました。\r\n"))
        << shown_[1].text.toStdString();
    EXPECT_TRUE(shown_[1].text.endsWith("思われます\r\n「no scanner」"));

    ReportUnexpectedException(std::runtime_error("plain"));
    EXPECT_EQ(shown_.back().text, "予期しないエラーが発生しました\r\n内部エラー(plain)");
    ReportUnexpectedException(std::bad_alloc());
    EXPECT_EQ(shown_.back().text, "予期しないエラーが発生しました\r\nメモリが足りません") << "no English from the library";
}

TEST_F(AppFrameTest, OnExceptionReplacesTheReportAndABrokenTableStillReports)
{
    QString seen;
    frame_.OnException = [&](const std::exception& e) { seen = QString::fromUtf8(e.what()); };
    ReportUnexpectedException(EKestrel("first"));
    EXPECT_EQ(seen, "first");
    EXPECT_TRUE(shown_.empty());

    frame_.OnException = nullptr;
    frame_.Macro().SetValue("SysMsgUnexpected", "$(Nowhere)");
    ReportUnexpectedException(EKestrel("second"));
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].text, "second");
}

TEST(AppFrameAlone, TheExceptionHandlerIsRemovedWithTheFrame)
{
    QString reported;
    const TExceptionHandler previous =
        SetExceptionHandler([&](const std::exception& e) { reported = QString::fromUtf8(e.what()); });
    {
        TAppFrame frame;
        frame.Loaded();
        frame.OnException = [](const std::exception&) {};
        ReportUnexpectedException(EKestrel("inside"));
        EXPECT_TRUE(reported.isEmpty());
    }
    ReportUnexpectedException(EKestrel("after"));
    EXPECT_EQ(reported, "after");
    SetExceptionHandler(previous);
}

TEST_F(AppFrameTest, FindDataFileLooksBesideTheProgramThenInstalledThenOnTheCd)
{
    const QString exeDir = test::TestFolder() + "/bin/";
    const QString installed = test::TestFolder() + "/share/kestrel/";
    const QString cd = test::TestFolder() + "/cd/";
    for (const QString& file : QStringList{exeDir + "Data/Template/Template.dat", cd + "Data/Back/b2.jpg",
                                           cd + "Data/Back/b1.jpg", cd + "Data/Template/Template.dat",
                                           installed + "Data/Template/Template.dat", installed + "Data/Font/f1.dat",
                                           cd + "Data/Font/f1.dat"}) {
        QDir().mkpath(QFileInfo(file).path());
        QFile(file).open(QIODevice::WriteOnly);
    }
    frame_.Macro().SetValue("ExeDir", exeDir);

    EXPECT_EQ(TAppFrame::FindDataFile("Data\\Template\\Template.dat"), exeDir + "Data/Template/Template.dat");
    EXPECT_EQ(TAppFrame::FindDataFile("Data\\Font\\f?.dat"), installed + "Data/Font/f1.dat");
    EXPECT_EQ(TAppFrame::FindDataFile("Data\\Back\\b1.jpg"), "");  // no CD path yet
    TAppFrame::WriteString("CDPath", cd);
    EXPECT_EQ(TAppFrame::FindDataFile("Data\\Back\\b1.jpg"), cd + "Data/Back/b1.jpg");
    EXPECT_EQ(TAppFrame::FindDataFile("Data\\Back\\b?.jpg"), cd + "Data/Back/b1.jpg");
    EXPECT_EQ(TAppFrame::FindDataFile("Data\\Back\\*.jpg"), cd + "Data/Back/b1.jpg");
    EXPECT_EQ(TAppFrame::FindDataFile("Data\\Back\\*.png"), "");
    EXPECT_EQ(TAppFrame::FindDataFile("Data\\Missing.dat"), "");
}

class TFakeForm : public IFormPlacement {
public:
    QString FormName() const override { return "frmMain"; }
    QRect NormalBounds() const override { return bounds; }
    void SetNormalBounds(const QRect& r) override { bounds = r; }
    QSize ScreenSize() const override { return screen; }
    QRect OwnerBounds() const override { return owner; }
    QRect bounds;
    QSize screen{1280, 1025};
    QRect owner{100, 50, 800, 600};
};

TEST_F(AppFrameTest, FormPlacementDefaultsCentreAndClipThenSavedValuesWin)
{
    TFakeForm form;
    TAppFrame::RestoreFormPlacement(form, 801, 600);
    EXPECT_EQ(form.bounds, QRect(239, 212, 801, 600));  // (1280 - 801) / 2 rounds toward zero
    TAppFrame::RestoreFormPlacement(form, 2000, 1400);
    EXPECT_EQ(form.bounds, QRect(0, 0, 1280, 1025));

    form.bounds = QRect(-10, 20, 700, 500);
    TAppFrame::SaveFormPlacement(form);
    EXPECT_EQ(TAppFrame::ReadInteger("frmMainLeft", 0), -10);
    EXPECT_EQ(TAppFrame::ReadInteger("frmMainHeight", 0), 500);
    form.bounds = QRect();
    TAppFrame::RestoreFormPlacement(form, 801, 600);
    EXPECT_EQ(form.bounds, QRect(-10, 20, 700, 500));
}

TEST_F(AppFrameTest, ExecuteConditionsStopAtTheFirstFailureInOrder)
{
    frame_.SetExecuteCondition(ecNeedHighColor | ecNeedPrinter | ecExclusive);
    frame_.SetColorDepthQuery([] { return 8; });
    answer_ = mrNo;
    EXPECT_FALSE(frame_.CheckExecuteConditions());
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_TRUE(shown_[0].text.startsWith("「Kestrel」は、32,000色以上の\r\n"));
    EXPECT_EQ(shown_[0].kinds, TMsgButtons({mbkYes, mbkNo}));
    EXPECT_EQ(shown_[0].cancelIndex, 0);

    answer_ = mrYes;
    frame_.SetPrinterQuery([]() -> bool { throw std::runtime_error("no print system"); });
    EXPECT_FALSE(frame_.CheckExecuteConditions());
    ASSERT_EQ(shown_.size(), 3u);
    EXPECT_TRUE(shown_[2].text.startsWith("通常使うプリンタがセットされていません"));
}

TEST_F(AppFrameTest, ASecondExclusiveStartIsRefusedThroughTheMessageHook)
{
    frame_.SetExecuteCondition(ecNeedHighColor | ecNeedPrinter | ecExclusive);
    ASSERT_TRUE(frame_.CheckExecuteConditions());
    EXPECT_TRUE(shown_.empty());
    EXPECT_FALSE(frame_.CheckExecuteConditions());
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].text, "Kestrelは、すでに実行中です");
    EXPECT_EQ(shown_[0].kinds, TMsgButtons({mbkOK}));
    EXPECT_FALSE(frame_.HandedOver());

    // A running program that takes the command line over ends this start without a message.
    int handOvers = 0;
    frame_.OnAlreadyRunning = [&] { return ++handOvers == 1; };
    EXPECT_FALSE(frame_.CheckExecuteConditions());
    EXPECT_TRUE(frame_.HandedOver());
    EXPECT_EQ(shown_.size(), 1u);
    EXPECT_FALSE(frame_.CheckExecuteConditions());  // this time it does not answer
    EXPECT_FALSE(frame_.HandedOver());
    EXPECT_EQ(shown_.size(), 2u);
}

TEST(MessageFormat, FillsPlaceholdersLeftToRightAndInsertsArgumentsVerbatim)
{
    EXPECT_EQ(FormatText("%sの%d文字目", {"a%s", 5}), "a%sの5文字目");
    EXPECT_EQ(FormatText("100%% %x %s", {}), "100% %x %s");
    EXPECT_EQ(FormatText("%s-%s", {"only"}), "only-%s");
}

}  // namespace
}  // namespace kestrel

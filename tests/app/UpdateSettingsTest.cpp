// The settings of the paper update: the scrambled password, the proxy and the installation key.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>

#include "app/AppFrame.h"
#include "app/InstallationKey.h"
#include "app/InternetEnvironment.h"
#include "app/ProgramMacros.h"
#include "app/ScramblePassword.h"
#include "platform/SettingsStore.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

TEST(ScramblePassword, IsItsOwnInverseAndNeverMakesAZeroByte)
{
    const QByteArray text("secret password \x01\xff\x83\x86", 20);
    const QByteArray scrambled = ScramblePassword(text);
    EXPECT_NE(scrambled, text);
    EXPECT_EQ(scrambled.size(), text.size());
    EXPECT_FALSE(scrambled.contains('\0'));
    EXPECT_EQ(ScramblePassword(scrambled), text);
    // A byte equal to the key's byte at its place would give 0: it stays as it is.
    const QByteArray keyByteAtZero = ScramblePassword(QByteArray(1, '\0')).left(1);
    EXPECT_EQ(ScramblePassword(keyByteAtZero), keyByteAtZero);
    // The key repeats after 14 letters.
    const QByteArray a15(15, 'a');
    EXPECT_EQ(ScramblePassword(a15).at(14), ScramblePassword(a15).at(0));
    EXPECT_EQ(UnscrambledFromStore(ScrambledForStore(QStringLiteral("パス:ワード"))), "パス:ワード");
}

class ProxySettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame.Macro().SetLines(ProgramMacroTable());
        frame.Loaded();
        qunsetenv("http_proxy");
        qunsetenv("HTTP_PROXY");
    }
    void TearDown() override
    {
        qunsetenv("http_proxy");
        qunsetenv("HTTP_PROXY");
    }
    static bool Stored(const QString& name) { return TSettingsKey(ExpandMacro("$(SysRegistryKey)")).ValueExists(name); }

    TAppFrame frame;
};

TEST_F(ProxySettingsTest, ProxyTextsOfTheEnvironmentGiveHostAndPort)
{
    const auto parsed = [](const char* text) -> QString {
        const TSystemProxy proxy = ParseProxyText(QString::fromLatin1(text));
        return proxy.address + u'|' + proxy.port;
    };
    EXPECT_EQ(parsed("http://user:pw@proxy.example:3128/"), "proxy.example|3128");
    EXPECT_EQ(parsed("proxy.example:8080"), "proxy.example|8080");
    EXPECT_EQ(parsed("http=proxy.example:8080 https=other:443"), "proxy.example|8080");
    EXPECT_EQ(parsed("proxy.example"), "proxy.example|80");
    EXPECT_EQ(parsed("proxy.example:abc"), "proxy.example|80");
    qputenv("HTTP_PROXY", "http://upper.example:81");
    EXPECT_EQ(SystemProxy()->address, "upper.example");
    qputenv("http_proxy", "http://lower.example:82");
    EXPECT_EQ(SystemProxy()->port, "82");
    qputenv("http_proxy", "");
    qputenv("HTTP_PROXY", "");
    EXPECT_FALSE(SystemProxy());
}

TEST_F(ProxySettingsTest, TheDefaultsAreNoProxyPort80AndNoAccount)
{
    const TProxySettings settings = TProxySettings::Load();
    EXPECT_TRUE(settings.noProxy);
    EXPECT_TRUE(settings.address.isEmpty());
    EXPECT_EQ(settings.PortNumber(), 80);
    EXPECT_FALSE(settings.useAccount);
    EXPECT_FALSE(TSettingsKey::KeyExists(ExpandMacro("$(SysRegistryKey)")));
}

// Kept without a proxy and unchanged, the system's values are offered again next time instead
// of being stored; chosen or edited, they are stored.
TEST_F(ProxySettingsTest, PreFilledSystemValuesAreStoredOnlyWhenTheUserTakesThem)
{
    qputenv("http_proxy", "http://proxy.example:3128/");
    TInternetEnvironment environment;
    environment.Load();
    EXPECT_TRUE(environment.PreFilled());
    EXPECT_EQ(environment.Settings().address, "proxy.example");
    EXPECT_FALSE(environment.ProxyControlsEnabled());
    environment.Settings().account = "me";
    environment.Settings().password = "秘密";
    environment.Save();
    EXPECT_FALSE(Stored("ProxyAddress"));
    EXPECT_FALSE(Stored("ProxyPort"));
    EXPECT_TRUE(TAppFrame::ReadBool("ProxyUse", false));
    EXPECT_EQ(TAppFrame::ReadString("ProxyAccount", {}), "me");
    EXPECT_NE(TAppFrame::ReadString("ProxyPassword", {}), "秘密");  // scrambled
    EXPECT_EQ(TProxySettings::Load().password, "秘密");

    environment.Settings().noProxy = false;
    environment.Settings().useAccount = true;
    EXPECT_TRUE(environment.AccountControlsEnabled());
    environment.Save();
    EXPECT_EQ(TAppFrame::ReadString("ProxyAddress", {}), "proxy.example");
    EXPECT_EQ(TAppFrame::ReadString("ProxyPort", {}), "3128");

    // Stored values are never replaced by the system's.
    qputenv("http_proxy", "http://elsewhere.example:1/");
    TInternetEnvironment again;
    again.Load();
    EXPECT_FALSE(again.PreFilled());
    EXPECT_EQ(again.Settings().address, "proxy.example");
    EXPECT_FALSE(again.Settings().noProxy);
}

TEST_F(ProxySettingsTest, AnEditedPreFilledAddressIsStoredEvenWithoutProxy)
{
    qputenv("http_proxy", "proxy.example:3128");
    TInternetEnvironment environment;
    environment.Load();
    environment.Settings().port = "8080";
    environment.Save();
    EXPECT_EQ(TAppFrame::ReadString("ProxyAddress", {}), "proxy.example");
    EXPECT_EQ(TAppFrame::ReadString("ProxyPort", {}), "8080");
}

class InstallationKeyTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("XDG_CONFIG_DIRS", QFile::encodeName(system + ":" + test::TestFolder() + "/other")); }
    void TearDown() override { qunsetenv("XDG_CONFIG_DIRS"); }

    const QString system = test::TestFolder() + "/etc-xdg";
};

TEST_F(InstallationKeyTest, TheUsersOwnValueOverridesTheInstallationWideFile)
{
    EXPECT_EQ(SystemConfigFile(), system + "/kestrel/installation.ini");
    EXPECT_TRUE(ReadInstallationValue("PPRUpdaterURL").isEmpty());
    // The file of a later folder is found when the first has none.
    QDir().mkpath(test::TestFolder() + "/other/kestrel");
    {
        QSettings file(test::TestFolder() + "/other/kestrel/installation.ini", QSettings::IniFormat);
        file.setValue("KestrelMusic.Application/PPRUpdaterURL", "http://site.example/x.vup");
    }
    EXPECT_EQ(SystemConfigFile(), test::TestFolder() + "/other/kestrel/installation.ini");
    EXPECT_EQ(ReadInstallationValue("PPRUpdaterURL"), "http://site.example/x.vup");
    EXPECT_FALSE(QFile::exists(TSettingsKey::StoreFile()));  // reading created nothing

    WriteInstallationValue("PPRUpdaterURL", "http://mine.example/y.vup");
    EXPECT_EQ(ReadInstallationValue("PPRUpdaterURL"), "http://mine.example/y.vup");
    WriteInstallationValue("PPRUpdaterURL", "");
    EXPECT_EQ(ReadInstallationValue("PPRUpdaterURL"), "http://site.example/x.vup");
}

}  // namespace
}  // namespace kestrel

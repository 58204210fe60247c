#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "platform/SettingsStore.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

const QString kKey = "Software\\Corvidworks\\KestrelMusic\\1.0\\Settings";

TEST(SettingsStore, LivesInTheXdgConfigFolder)
{
    EXPECT_EQ(TSettingsKey::StoreFile(), test::TestFolder() + "/config/kestrel/settings.ini");
}

TEST(SettingsStore, ReadingCreatesNeitherTheFileNorTheKey)
{
    TSettingsKey key(kKey);
    EXPECT_EQ(key.ReadString("Name", "fallback"), "fallback");
    EXPECT_EQ(key.ReadInteger("Count", 7), 7);
    EXPECT_TRUE(key.ReadBool("Flag", true));
    EXPECT_FALSE(key.ValueExists("Name"));
    EXPECT_FALSE(key.Exists());
    EXPECT_FALSE(QFile::exists(TSettingsKey::StoreFile()));
    EXPECT_FALSE(QDir(test::TestFolder() + "/config/kestrel").exists());
}

TEST(SettingsStore, WrittenValuesReadBackByName)
{
    TSettingsKey key(kKey);
    key.WriteString("CDPath", "/media/cdrom/");
    key.WriteInteger("CacheLimit", -12);
    key.WriteBool("CacheEnabl", false);
    key.WriteString("Title", "ラベル \"1\" = 2");
    EXPECT_TRUE(QFile::exists(TSettingsKey::StoreFile()));
    EXPECT_TRUE(TSettingsKey::KeyExists(kKey));

    const TSettingsKey again(kKey);
    EXPECT_EQ(again.ReadString("CDPath", {}), "/media/cdrom/");
    EXPECT_EQ(again.ReadInteger("CacheLimit", 0), -12);
    EXPECT_FALSE(again.ReadBool("CacheEnabl", true));
    EXPECT_EQ(again.ReadString("Title", {}), "ラベル \"1\" = 2");
    EXPECT_EQ(again.ReadInteger("Title", 5), 5);  // not a number
    QStringList names = again.ValueNames();
    names.sort();
    EXPECT_EQ(names, QStringList({"CDPath", "CacheEnabl", "CacheLimit", "Title"}));
}

TEST(SettingsStore, SubKeysAreSeparateAndDeleteWithTheirValues)
{
    TSettingsKey history(kKey + "\\OpenFileHistory");
    history.WriteString("Item0", "/home/a.mld");
    TSettingsKey(kKey).WriteInteger("Top", 1);

    EXPECT_EQ(TSettingsKey(kKey).SubKeyNames(), QStringList({"OpenFileHistory"}));
    EXPECT_FALSE(TSettingsKey(kKey).ValueExists("Item0"));

    TSettingsKey::DeleteKey(kKey + "\\OpenFileHistory");
    EXPECT_FALSE(history.Exists());
    EXPECT_EQ(history.ReadString("Item0", "none"), "none");
    EXPECT_EQ(TSettingsKey(kKey).ReadInteger("Top", 0), 1);

    TSettingsKey(kKey).DeleteValue("Top");
    EXPECT_FALSE(TSettingsKey(kKey).ValueExists("Top"));
}

TEST(SettingsStore, AStoreThatCannotBeWrittenRaises)
{
    // A folder where the file should be: the write cannot succeed, whoever runs the test.
    ASSERT_TRUE(QDir().mkpath(TSettingsKey::StoreFile()));
    TSettingsKey key(kKey);
    EXPECT_THROW(key.WriteString("Name", "value"), ESettingsError);
}

}  // namespace
}  // namespace kestrel

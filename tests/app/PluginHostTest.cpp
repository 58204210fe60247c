#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "app/AppFrame.h"
#include "app/PluginClient.h"
#include "app/PluginHost.h"
#include "app/PluginServers.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

const QString AppName = QStringLiteral("ケストレル試験");

// Plug-in folders made of the test libraries (tests/plugins/TestPlugin.cpp) and whatever else a
// folder may hold.
class PluginHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame_.Macro().SetValue("AppName", AppName);
        frame_.Macro().SetValue("SysRegistryKey", QStringLiteral("Software\\Test\\$(AppName)"));
        folder_ = test::TestFolder() + "/Plugins";
        QDir().mkpath(folder_);
    }

    QString Add(const QString& name)
    {
        const QString target = folder_ + '/' + name + ".so";
        EXPECT_TRUE(QFile::copy(QStringLiteral(KESTREL_TEST_PLUGIN_DIR "/") + name + ".so", target)) << name.toStdString();
        return target;
    }

    void AddFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(folder_ + '/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static bool IsLoaded(const QString& library)
    {
        void* handle = dlopen(QFile::encodeName(library).constData(), RTLD_NOW | RTLD_NOLOAD);
        if (handle) dlclose(handle);
        return handle != nullptr;
    }

    static QStringList Names(const TPluginList& list)
    {
        QStringList names;
        for (int i = 0; i < list.Count(); ++i) names << list.Name(i);
        return names;
    }

    static QString ReasonFor(const TPluginList& list, const QString& fileName)
    {
        for (const TRefusedPlugin& plugin : list.Refused())
            if (plugin.Library.endsWith('/' + fileName)) return plugin.Reason;
        return {};
    }

    static int IndexOf(const TPluginList& list, const QString& name)
    {
        return int(Names(list).indexOf(name));
    }

    TAppFrame frame_;
    TBCAppFrameClient client_;
    QString folder_;
};

TEST_F(PluginHostTest, BadLibrariesAreRefusedByNameWhileTheOthersLoad)
{
    for (const char* name : {"exporter", "failing", "good", "longname", "malformed", "throwing"}) Add(name);
    AddFile("broken.so", "not a library");
    AddFile("notes.txt", "not a plug-in either");
    AddFile("good.so.1", QByteArray());
    QDir().mkpath(folder_ + "/folder.so");

    TPluginList importers(ToUuid(KESTREL_CATID_MUSIC_IMPORTERS));
    importers.LoadFolder(folder_, client_);

    // Name order; the exporter has no importer, the throwing one fails only when created.
    EXPECT_EQ(Names(importers), QStringList({"テスト取得", "不正な説明", "壊れた取得"}));
    EXPECT_EQ(importers.Server(0).Library, QString(folder_ + "/good.so"));
    EXPECT_EQ(importers.Server(0).Category, ToUuid(KESTREL_CATID_MUSIC_IMPORTERS));
    ASSERT_EQ(importers.Refused().size(), 3u);
    EXPECT_TRUE(ReasonFor(importers, "broken.so").contains("プラグイン「broken.so」: ライブラリとして読み込めません"));
    EXPECT_TRUE(ReasonFor(importers, "failing.so").contains("プラグイン「failing.so」: 初期化に失敗しました (状態 0x80004005)"));
    EXPECT_TRUE(ReasonFor(importers, "longname.so").contains("サーバー名が長すぎます (上限 256 文字)"));
    // Nothing but "*.so" regular files is tried.
    EXPECT_TRUE(ReasonFor(importers, "notes.txt").isEmpty());
    EXPECT_TRUE(ReasonFor(importers, "good.so.1").isEmpty());
    EXPECT_TRUE(ReasonFor(importers, "folder.so").isEmpty());
}

TEST_F(PluginHostTest, CreatedServersAreInitialisedWithTheClientAndCheckedByName)
{
    for (const char* name : {"good", "malformed", "throwing"}) Add(name);
    TPluginList importers(ToUuid(KESTREL_CATID_MUSIC_IMPORTERS));
    importers.LoadFolder(folder_, client_);
    ASSERT_EQ(importers.Count(), 3);

    // The good importer names its second data server after what the client told it.
    const TPluginRef<IBCServerV1> good = importers.CreateServer(IndexOf(importers, "テスト取得"), client_);
    const TPluginDescription description = DescribeServer(good, importers.Category());
    EXPECT_EQ(description.Name, "テスト取得");
    EXPECT_EQ(description.DataServers, QStringList({"サーバーA", AppName}));

    try {
        importers.CreateServer(IndexOf(importers, "壊れた取得"), client_);
        FAIL() << "the throwing initialisation was not reported";
    } catch (const EPlugin& e) {
        EXPECT_EQ(e.Message(), "プラグイン「壊れた取得 (throwing.so)」: 初期化で例外が発生しました: no disc service configured");
    }

    const TPluginRef<IBCServerV1> malformed = importers.CreateServer(IndexOf(importers, "不正な説明"), client_);
    try {
        DescribeServer(malformed, importers.Category());
        FAIL() << "the malformed description was taken";
    } catch (const EPlugin& e) {
        EXPECT_TRUE(e.Message().startsWith("プラグイン「不正な説明 (malformed.so)」: 説明の XML が正しくありません"))
            << e.Message().toStdString();
    }
}

TEST_F(PluginHostTest, LibrariesWithoutListedServersAreUnloaded)
{
    const QString exporter = Add("exporter");
    const QString failing = Add("failing");
    const QString good = Add("good");
    {
        TPluginList images(ToUuid(KESTREL_CATID_IMAGE_SERVERS));
        images.LoadFolder(folder_, client_);
        EXPECT_EQ(Names(images), QStringList({"テスト画像"}));
        EXPECT_FALSE(IsLoaded(exporter));
        EXPECT_FALSE(IsLoaded(failing));
        EXPECT_TRUE(IsLoaded(good));
        {
            // A created server keeps its library after the list lets go.
            const TPluginRef<IBCServerV1> server = images.CreateServer(0, client_);
            images.Clear();
            EXPECT_EQ(images.Count(), 0);
            EXPECT_TRUE(IsLoaded(good));
        }
        EXPECT_FALSE(IsLoaded(good));
    }
}

TEST_F(PluginHostTest, ImageServersDeliverCheckedPictures)
{
    Add("good");
    Add("malformed");
    TPluginList images(ToUuid(KESTREL_CATID_IMAGE_SERVERS));
    images.LoadFolder(folder_, client_);
    ASSERT_EQ(Names(images), QStringList({"テスト画像", "巨大な画像"}));

    const QImage picture = AcquirePluginImage(images.CreateServer(0, client_), 0);
    ASSERT_EQ(picture.size(), QSize(3, 2));
    EXPECT_EQ(picture.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(picture.pixel(2, 0), 0xFF0000FFu);
    EXPECT_EQ(picture.pixel(0, 1), 0xFFFFFFFFu);
    EXPECT_EQ(qAlpha(picture.pixel(1, 1)), 0x80);

    try {
        AcquirePluginImage(images.CreateServer(1, client_), 0);
        FAIL() << "an oversized picture was taken";
    } catch (const EPlugin& e) {
        EXPECT_TRUE(e.Message().startsWith("プラグイン「巨大な画像 (malformed.so)」: 画像の大きさ 100000×100000 は扱えません"))
            << e.Message().toStdString();
    }
    // An importer is no image server.
    Add("throwing");
    TPluginList importers(ToUuid(KESTREL_CATID_MUSIC_IMPORTERS));
    importers.LoadFolder(folder_, client_);
    EXPECT_THROW(AcquirePluginImage(importers.CreateServer(IndexOf(importers, "テスト取得"), client_), 0), EPlugin);
}

TEST_F(PluginHostTest, LibrariesThatCannotBeUsedFailWithTheirStatus)
{
    AddFile("broken.so", "not a library");
    try {
        CreateFromLibrary(folder_ + "/broken.so", QUuid::createUuid(), client_);
        FAIL() << "a file that is no library was loaded";
    } catch (const EPlugin& e) {
        EXPECT_EQ(e.Status(), K_CO_E_ERRORINDLL);
    }
    EXPECT_THROW(CreateFromLibrary(folder_ + "/missing.so", QUuid::createUuid(), client_), EPlugin);
    // A class the library does not have gives the library's own status.
    const QString good = Add("good");
    try {
        CreateFromLibrary(good, QUuid::createUuid(), client_);
        FAIL() << "an unknown class was created";
    } catch (const EPlugin& e) {
        EXPECT_EQ(e.Status(), K_CLASS_E_CLASSNOTAVAILABLE);
        EXPECT_TRUE(e.Message().contains("good.so")) << e.Message().toStdString();
    }
}

// A plug-in writing through a KTextOut.
std::function<KResult(const KTextOut*)> Writes(const std::vector<std::u16string>& pieces, KResult status = K_S_OK)
{
    return [pieces, status](const KTextOut* out) {
        for (const std::u16string& piece : pieces) {
            const KResult written =
                out->Write(out->context, reinterpret_cast<const uint16_t*>(piece.data()), uint32_t(piece.size()));
            if (K_FAILED(written)) return written;
        }
        return status;
    };
}

QString RefusalOf(const std::function<void()>& read)
{
    try {
        read();
    } catch (const EPlugin& e) {
        return e.Message();
    }
    return {};
}

TEST_F(PluginHostTest, TextFromPluginsIsBoundedAndValidated)
{
    EXPECT_EQ(ReadPluginText("p", "説明", 10, Writes({u"abcde", u"fghij"})), "abcdefghij");
    EXPECT_EQ(RefusalOf([] { ReadPluginText("p", "説明", 10, Writes({u"abcde", u"fghijk"})); }),
              "プラグイン「p」: 説明が長すぎます (上限 10 文字)");
    // A plug-in ignoring the refused write is still refused.
    EXPECT_FALSE(RefusalOf([] {
                     ReadPluginText("p", "説明", 4, [](const KTextOut* out) {
                         const uint16_t text[] = {'a', 'b', 'c', 'd', 'e'};
                         out->Write(out->context, text, 5);
                         return K_S_OK;
                     });
                 }).isEmpty());
    EXPECT_EQ(RefusalOf([] { ReadPluginText("p", "説明", 10, Writes({u"a"}, K_E_FAIL)); }),
              "プラグイン「p」: 説明に失敗しました (状態 0x80004005)");
    const std::u16string loneSurrogate(1, char16_t(0xD800));
    EXPECT_TRUE(RefusalOf([&] { ReadPluginText("p", "説明", 10, Writes({loneSurrogate})); }).contains("UTF-16"));

    EXPECT_EQ(ReadPluginName("p", "名前", Writes({u"曲名 サーバー"})), "曲名 サーバー");
    EXPECT_TRUE(RefusalOf([] { ReadPluginName("p", "名前", Writes({u"  "})); }).contains("名前が空です"));
    EXPECT_TRUE(RefusalOf([] { ReadPluginName("p", "名前", Writes({u"a\nb"})); }).contains("使えない文字"));
    EXPECT_TRUE(RefusalOf([] { ReadPluginName("p", "名前", Writes({std::u16string(257, u'x')})); }).contains("長すぎます"));
}

TEST_F(PluginHostTest, DescriptionsAreReadOnlyWhenWellFormedAndBounded)
{
    const TPluginDescription plain = ReadPluginDescription("p", "<plugin name=\"取得\"/>");
    EXPECT_EQ(plain.Name, "取得");
    EXPECT_TRUE(plain.DataServers.isEmpty());

    EXPECT_TRUE(RefusalOf([] { ReadPluginDescription("p", ""); }).contains("説明の XML が正しくありません"));
    EXPECT_TRUE(RefusalOf([] { ReadPluginDescription("p", "<plugin/>"); }).contains("説明の name 属性が空です"));
    EXPECT_TRUE(RefusalOf([] {
                    ReadPluginDescription("p", "<plugin name=\"x\"><dataServer name=\"\"/></plugin>");
                }).contains("dataServer の name 属性が空です"));
    // Entity declarations could make a small reply expand without bound.
    EXPECT_TRUE(RefusalOf([] {
                    ReadPluginDescription("p", "<!DOCTYPE p [<!ENTITY a \"aaaa\">]><plugin name=\"&a;\"/>");
                }).contains("文書型定義"));
    QString many = "<plugin name=\"x\">";
    for (int i = 0; i <= kMaxDataServers; ++i) many += QStringLiteral("<dataServer name=\"s%1\"/>").arg(i);
    many += "</plugin>";
    EXPECT_TRUE(RefusalOf([&] { ReadPluginDescription("p", many); }).contains("dataServer が 64 個を超えています"));
}

QString ClientText(const std::function<KResult(const KTextOut*)>& call, KResult* status = nullptr)
{
    std::u16string text;
    const KTextOut out{&text, [](void* context, const uint16_t* data, uint32_t length) {
                           static_cast<std::u16string*>(context)->append(reinterpret_cast<const char16_t*>(data), length);
                           return K_S_OK;
                       }};
    const KResult result = call(&out);
    if (status) *status = result;
    return QString::fromStdU16String(text);
}

TEST_F(PluginHostTest, TheClientAnswersFromTheApplicationFrame)
{
    IBCClientV1* client = client_.Interface();
    EXPECT_EQ(ClientText([&](const KTextOut* out) { return client->lpVtbl->GetAppName(client, out); }), AppName);
    EXPECT_EQ(ClientText([&](const KTextOut* out) { return client->lpVtbl->GetRegistryKey(client, out); }),
              QString("Software\\Test\\" + AppName));
    const std::u16string macro = u"[$(AppName)]";
    const KText text{reinterpret_cast<const uint16_t*>(macro.data()), uint32_t(macro.size())};
    EXPECT_EQ(ClientText([&](const KTextOut* out) { return client->lpVtbl->ExpandMacro(client, &text, out); }),
              QString("[" + AppName + "]"));
    const KText huge{reinterpret_cast<const uint16_t*>(macro.data()), 1u << 30};
    KResult status = K_S_OK;
    ClientText([&](const KTextOut* out) { return client->lpVtbl->ExpandMacro(client, &huge, out); }, &status);
    EXPECT_EQ(status, K_E_INVALIDARG);

    uint64_t window = 7;
    EXPECT_EQ(client->lpVtbl->GetMainWindow(client, &window), K_S_OK);
    EXPECT_EQ(window, 0u);
    client_.activeWindow = [] { return quint64(0x4200007); };
    EXPECT_EQ(client->lpVtbl->GetMainWindow(client, &window), K_S_OK);
    EXPECT_EQ(window, 0x4200007u);

    void* other = nullptr;
    EXPECT_EQ(client->lpVtbl->QueryInterface(client, &KESTREL_IID_IBCSERVERV1, &other), K_E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(client->lpVtbl->QueryInterface(client, &KESTREL_IID_IBCCLIENTV1, &other), K_S_OK);
    EXPECT_EQ(other, client);
    // Releasing more often than referenced never takes the host's own reference.
    for (int i = 0; i < 5; ++i) client->lpVtbl->Release(client);
    EXPECT_EQ(client->lpVtbl->AddRef(client), 2u);
}

}  // namespace
}  // namespace kestrel

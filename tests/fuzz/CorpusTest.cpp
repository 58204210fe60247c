// The fuzz corpora: our own writers make valid seeds that every target accepts, and every stored
// input (seeds, known stalls, former crashes) is read or refused quickly and in bounded memory.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <time.h>

#include <QDir>
#include <QFile>
#include <functional>
#include <map>

#include "app/XMLIniFile.h"
#include "document/DOGroup.h"
#include "document/DOList.h"
#include "document/storage/DocNameList.h"
#include "document/storage/DocStorage.h"
#include "document/stream/ObjectStream.h"
#include "fuzz/FuzzTarget.h"
#include "imaging/PreviewCache.h"
#include "label/LabelData.h"
#include "label/LabelDocumentFixtures.h"
#include "music/AlbumCSV.h"
#include "music/Albums.h"
#include "platform/CSVData.h"
#include "paper/CatalogueStartup.h"
#include "paper/PaperRecords.h"
#include "paper/PapersV2.h"
#include "paper/ProductDB.h"
#include "platform/Cp932.h"
#include "platform/Graphic.h"
#include "platform/InstanceChannel.h"
#include "platform/PictureCodecs.h"
#include "platform/ZlibContainer.h"
#include "support/CfbTestSupport.h"
#include "support/SyntheticAudio.h"
#include "support/TestEnvironment.h"
#include "text/CoonsDistortion.h"
#include "text/DateFormat.h"
#include "label/Templates.h"

namespace kestrel {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool Sanitized = true;
#else
constexpr bool Sanitized = false;
#endif
constexpr qint64 InputTimeLimitMs = Sanitized ? 5000 : 1000;
constexpr long PeakMemoryLimitKb = 500 * 1024;

// CPU time rather than wall time, so a loaded machine cannot fail an input that is fast.
qint64 ThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

QString CorpusFolder()
{
    return QStringLiteral(KESTREL_TEST_SOURCE_DIR "/fuzz/corpus");
}

using TSeeds = std::map<QString, QByteArray>;  // file name -> bytes

// Groups nested two deep beside a plain one, with some of their properties set.
TDOList SampleObjects(std::vector<std::unique_ptr<TDrawObject>>& owner)
{
    auto inner = std::make_unique<TDOGroup>();
    inner->SetLayerGroup(2);
    TDOList innerList;
    innerList.Add(*inner);
    auto outer = std::make_unique<TDOGroup>();
    outer->SetMembers(innerList);
    outer->SetDontPrint(true);
    auto plain = std::make_unique<TDOGroup>();
    plain->SetBlendRatio(40);
    TDOList list;
    list.Add(*outer);
    list.Add(*plain);
    owner.push_back(std::move(inner));
    owner.push_back(std::move(outer));
    owner.push_back(std::move(plain));
    return list;
}

QByteArray ObjectListBytes()
{
    std::vector<std::unique_ptr<TDrawObject>> owner;
    QByteArray bytes;
    SampleObjects(owner).SaveToStream(bytes);
    return bytes;
}

QByteArray FramedBytes(const TComponent& object)
{
    QByteArray bytes;
    WriteObjectRes(bytes, "Info", object);
    return bytes;
}

QString SeedFile(const QString& name)
{
    return test::TestFolder() + QLatin1Char('/') + name;
}

QByteArray DocumentBytes(int sheets)
{
    const QString file = SeedFile(QStringLiteral("seed.mld"));
    TLabelData document;
    document.SetPaper(*test::TwoDiscPaper());
    document.SetDataName(QStringLiteral("見本"));
    for (int sheet = 0; sheet < sheets; ++sheet) {
        if (sheet > 0) document.NewSheet();
        std::vector<std::unique_ptr<TDrawObject>> owner;
        document.SaveFaceObjects(sheet % document.FaceCount(), SampleObjects(owner));
    }
    document.SaveToFile(file);
    return test::ReadFileBytes(file);
}

QByteArray CatalogueBytes()
{
    const QString file = SeedFile(QStringLiteral("seed.ppr"));
    TPaperCatalogue tools;
    TPapersV2 catalogue(tools.IO());
    catalogue.Create(file);
    RegisterPaperRecordBases(catalogue);
    catalogue.Store(*test::TwoDiscPaper());
    catalogue.Store(*test::SquarePaper(3));
    TExPaperInfo extra;
    extra.SetPaperName(test::TwoDiscPaper()->PaperName());
    extra.SetPurpose(QStringLiteral("CD"));
    extra.SetRoundSize(410);
    catalogue.StoreExtra(ExtraInfosBaseName, extra);
    catalogue.Close();
    return test::ReadFileBytes(file);
}

QByteArray ProductDatabaseBytes()
{
    const QString file = SeedFile(QStringLiteral("seed.cdb"));
    TProductDB database(QString(), file);
    database.Create();
    TProductInfo product;
    product.Items().Item(0).SetInfo({QStringLiteral("アルバム"), QStringLiteral("二行目")});
    database.Store(product);
    database.Save();
    return test::ReadFileBytes(file);
}

QByteArray PresetFileBytes()
{
    const QString file = SeedFile(QStringLiteral("seed.cdd"));
    {
        TFileStorage storage(file, ModeCreate);
        TDocStreamList presets;
        presets.Open(storage, QStringLiteral("CoonsDistortionData\\NameList"));
        // Real distortions, so that the target reaches the preset reader past the stream list.
        for (int i = 0; i < 3; ++i)
            presets.OpenStream(presets.AddNew(), ModeCreate)->WriteAll(TCoonsDistortion::Identity().WriteData());
        storage.Close();
    }
    return test::ReadFileBytes(file);
}

// A small picture with every channel varying, so that decoders take their general paths.
QImage SamplePicture(bool alpha)
{
    QImage picture(13, 7, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, qRgba(x * 19, y * 36, (x + y) * 12, alpha ? x * 20 : 255));
    return picture;
}

// One transparent pixel: the smallest GIF, written byte by byte (the program writes no GIFs).
QByteArray OnePixelGif()
{
    return QByteArray::fromHex("474946383961010001008000" "00ffffff000000" "21f90401000000" "00"
                               "2c000000000100010000" "02024401" "00" "3b");
}

// The metafiles the player's own tests draw, written record by record.
TSeeds MetafileSeeds()
{
    const QString folder = SeedFile(QStringLiteral("metafiles"));
    QDir().mkpath(folder);
    const QByteArray listing =
        test::RunProgram("/usr/bin/python3", {QStringLiteral(KESTREL_TEST_SOURCE_DIR "/platform/make_metafiles.py"), folder});
    TSeeds seeds;
    for (const QByteArray& line : listing.split('\n'))
        if (!line.trimmed().isEmpty()) {
            const QString name = QString::fromLatin1(line.split(' ').first());
            seeds[name] = test::ReadFileBytes(folder + '/' + name);
        }
    return seeds;
}

QByteArray GraphicDataBytes(const TGraphic& graphic)
{
    QByteArray bytes;
    WriteGraphicData(bytes, graphic);
    return bytes;
}

// A folder cache with two previews, written by the cache itself.
QByteArray PreviewCacheBytes(const TImageCacheItem& item)
{
    const QString file = SeedFile(QStringLiteral("Preview.ic"));
    QFile::remove(file);
    TImageCacheStorage cache;
    cache.Open(file, false);
    cache.Write(QStringLiteral("tom.jpg"), item);
    cache.Write(QStringLiteral("a picture with a name far longer than an element name.jpg"), item);
    cache.Commit();
    cache.Close();
    return test::ReadFileBytes(file);
}

TSeeds PictureSeeds()
{
    const QByteArray bitmap = EncodeBmp24(SamplePicture(false));
    const QByteArray jpeg = EncodeJpeg(SamplePicture(false));
    return {{"bitmap.bin", GraphicDataBytes(TGraphic(TGraphicClass::gcBitmap, bitmap))},
            {"jpeg.bin", GraphicDataBytes(TGraphic(TGraphicClass::gcJpeg, jpeg))},
            {"png.bin", GraphicDataBytes(TGraphic(TGraphicClass::gcPng, EncodePng(SamplePicture(true))))},
            {"gif.bin", GraphicDataBytes(TGraphic(TGraphicClass::gcGif, OnePixelGif()))},
            {"compressed-bitmap.bin", GraphicDataBytes(TGraphic(TGraphicClass::gcBitmap, PackContainer(bitmap)))}};
}

void AddPictureSeeds(std::map<QString, TSeeds>& seeds)
{
    const QByteArray bitmap = EncodeBmp24(SamplePicture(false));
    seeds["Bitmap"] = {{"picture.bmp", bitmap}, {"picture.cbm", PackContainer(bitmap)}};
    seeds["Jpeg"] = {{"colour.jpg", EncodeJpeg(SamplePicture(false))},
                     {"grey.jpg", EncodeJpeg(SamplePicture(false).convertToFormat(QImage::Format_Grayscale8))}};
    seeds["Png"] = {{"alpha.png", EncodePng(SamplePicture(true))}, {"opaque.png", EncodePng(SamplePicture(false))}};
    seeds["Gif"] = {{"one-pixel.gif", OnePixelGif()}};
    seeds["Metafile"] = MetafileSeeds();
    seeds["PictureData"] = PictureSeeds();
    TImageCacheItem item;
    item.fileSize = 4321;
    item.fileTime = 133000000000000000;
    item.picture = TGraphic(TGraphicClass::gcJpeg, EncodeJpeg(SamplePicture(false)));
    seeds["ImageCache"] = {{"Preview.ic", PreviewCacheBytes(item)}, {"record.bin", item.Record()}};
    seeds["ImageList"] = {{"list.lst", ToCp932(QStringLiteral("[猫]\r\n; 一覧\r\nFOLDER = Cats\r\ntom.bmp\r\n\r\nFOLDERS.bmp\r\n"))}};
    seeds["Illustration"] = {{"heart.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" width="200" height="200" viewBox="0 0 200 200">)"
                                           R"(<path fill="#d81b60" fill-rule="evenodd" d="M100 170C30 110 60 40 100 70C140 40 170 110 100 170Z)"
                                           R"(M100 150C60 110 75 65 100 90C125 65 140 110 100 150Z"/></svg>)"}};
}

// Formats and index files as the designs' data and the date property screen write them.
void AddDesignSeeds(std::map<QString, TSeeds>& seeds)
{
    seeds["DateFormat"] = {{"era.txt", ToCp932(DateFormatChoices()[6])}, {"months.txt", ToCp932(DateFormatChoices()[39])},
                           {"clock.txt", ToCp932(QStringLiteral("c tt ampm A/P zzz 'quoted' \"also\" mmmm dddddd"))}};
    seeds["VersionUpFile"] = {
        {"quoted.vup", "CORVIDNET VERSION UP FILE\r\n12,\"2005/04/01 10:30:00\"\r\nKestrelMusic.ppz\r\n"},
        {"plain.vup", "corvidnet version up file\n7, 2005-4-1 10:30:00\nKestrelMusic.PPR"},
        {"wide.vup", ToCp932(QStringLiteral("CORVIDNET VERSION UP FILE\r\n\"0012\",\"2005／04／01　10：30：00\"\r\n用紙.ppz\r\n"))}};
    seeds["DataIndex"] = {{"BackGrnd.dat", ToCp932(QStringLiteral("; genres\r\n[CD,*]\r\nCaption=グラデーション\r\nGenre=Data\\BackGrnd\\Gradation\r\n"
                                                                  "[Dot]\r\nCaption=ドット\r\nSubGenre1=水玉,Data\\BackGrnd\\Dot,1\r\n"))},
                          {"Illust.dat", ToCp932(QStringLiteral("[Music]\r\nCaption=音楽\r\nGenre=Data\\Illust\\Music\r\nColor=0x933A1F\r\n"))}};
    TTemplateList favourites;
    favourites.SetBaseFolder(QStringLiteral("/opt/kestrel/Data/Template"));
    favourites.Add({QStringLiteral("/opt/kestrel/Data/Template/Pop/PopDisc.mld"), 0, 0, false});
    favourites.Add({QStringLiteral("/home/user/ラベル, 2024.mld"), 0, 1, true});
    const QString favouritesFile = test::TestFolder() + QStringLiteral("/Favorite.dat");
    favourites.SaveToFile(favouritesFile);
    seeds["TemplateIndex"] = {{"favourites.dat", test::ReadFileBytes(favouritesFile)},
                              {"ids.ids", ToCp932(QStringLiteral("[Data\\Template\\Pop]\r\nPOPDISC,0,0=P001\r\n"
                                                                 "ShortStyleDefine1=T%s,3,1,3,A%s,3,10\r\n"))}};
}

TAlbumInfo SampleAlbum(const QString& title)
{
    TAlbumInfo album;
    album.SetTitle(title);
    album.SetArtist(QStringLiteral("歌手"));
    for (const char* name : {"一曲目", "Two, \"quoted\"", "three\r\nlines"}) {
        TTrackInfo& track = album.Tracks().Add();
        track.SetTitle(QString::fromUtf8(name));
        track.SetTime(QStringLiteral("3:05"));
    }
    return album;
}

// An album database and its CSV export, both written by the program.
void AddAlbumSeeds(std::map<QString, TSeeds>& seeds)
{
    const QString file = SeedFile(QStringLiteral("Albums.dat"));
    TAlbums albums;
    albums.Open(file, true);
    albums.Store(SampleAlbum(QStringLiteral("盤")), -1);
    albums.Store(TAlbumInfo(), -1);
    TAlbumExportOptions options;
    options.file = SeedFile(QStringLiteral("albums.csv"));
    options.allAlbums = true;
    ExportAlbumsCsv(albums, 0, options);
    albums.Close();
    seeds["Albums"] = {{"Albums.dat", test::ReadFileBytes(file)}};
    seeds["AlbumCsv"] = {{"albums.csv", test::ReadFileBytes(options.file)}};
}

QByteArray FixtureHead(const QString& name, qint64 size)
{
    return test::ReadFileBytes(QStringLiteral(KESTREL_TEST_SOURCE_DIR "/music/fixtures/") + name).left(size);
}

// Tags and playlists the program does not write: made here and by the music fixtures' tools.
void AddTagSeeds(std::map<QString, TSeeds>& seeds)
{
    seeds["Tags"] = {{"synthetic.mp3", test::SyntheticMp3({QStringLiteral("題名"), "Artist", "Album", 1, QByteArray(300, 'c')})},
                     {"v22.mp3", FixtureHead("v22.mp3", 4096)},
                     {"v24.mp3", FixtureHead("vbr_v24_utf8.mp3", 8192)},
                     {"mpeg2.mp3", FixtureHead("mpeg2_v23_utf16.mp3", 8192)},
                     {"macbinary.mp3", FixtureHead("macbinary.mp3", 8192)},
                     {"rmp3.rmp", FixtureHead("rmp3.rmp", 4096)},
                     {"wave.wav", FixtureHead("pcm_info.wav", 2048) + FixtureHead("pcm_info.wav", 1 << 20).right(200)},
                     {"v1.mp2", FixtureHead("layer2_v1.mp2", 1 << 20).right(2048)}};
    seeds["Playlist"] = {{"cp932.m3u", FixtureHead("cp932.m3u", 4096)},
                         {"utf8.m3u8", FixtureHead("utf8.m3u8", 4096)},
                         {"list.asx", FixtureHead("list.asx", 4096)}};
}

// The shipped printer data and a store of characters only code page 932 holds, as the store
// writes them; and the shipped printer settings table as the catalogue keeps it.
void AddPrinterSeeds(std::map<QString, TSeeds>& seeds)
{
    QFile data(QStringLiteral(KESTREL_TEST_SOURCE_DIR "/../data/papers/DirectPrinter.xml"));
    data.open(QIODevice::ReadOnly);
    TXMLIniFile printers;
    printers.LoadFromText(QString::fromUtf8(data.readAll()));
    TXMLIniFile store;
    store.GetSection(QStringLiteral("Plugin\\Env")).WriteString(QStringLiteral("Name"), QStringLiteral("①㈱\\髙"));
    seeds["XMLStore"] = {{"printers.xml", printers.SaveToBytes()}, {"store.xml", store.SaveToBytes()}};
    QFile table(QStringLiteral(KESTREL_TEST_SOURCE_DIR "/../data/papers/PrinterSetting.ini"));
    table.open(QIODevice::ReadOnly);
    seeds["PrinterSetting"] = {{"PrinterSetting.ini", EncodeTextLines(QString::fromUtf8(table.readAll()).split(u'\n'))}};
}

TSeeds CsvSeeds()
{
    TCSVData table;
    table.SetHasHeader(true);
    table.SetHeader(TCSVStringList({"title", "artist"}));
    table.AddRow(TCSVStringList({ToCp932(QStringLiteral("夜明けの歌")), "A, B"}));
    table.AddRow(TCSVStringList({"two\r\nlines", "say \"hi\""}));
    return {{"cp932.csv", table.SaveToBytes()},
            {"utf8.csv", QStringLiteral("\uFEFFtitle,note\r\n曲,\"x\"\r\n").toUtf8()},
            {"nul.csv", QByteArray("a\nb\0\n", 5)}};
}

// What a plug-in writes: UTF-16 units in the machine's order.
QByteArray PluginTextBytes(const QString& text)
{
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * qsizetype(sizeof(char16_t)));
}

TSeeds PluginDescriptionSeeds()
{
    return {{"two-servers.xml", PluginTextBytes(QStringLiteral("<plugin name=\"曲名データ\"><dataServer name=\"サーバーA\"/>"
                                                               "<dataServer name=\"Kestrel\"/></plugin>"))},
            {"plain.xml", PluginTextBytes(QStringLiteral("<plugin name=\"取得\"/>"))}};
}

TSeeds ImportResultSeeds()
{
    return {{"two-albums.xml",
             PluginTextBytes(QStringLiteral("<root><album source=\"CDDB\" title=\"夜\" artist=\"歌手\" genre=\"Pop\">"
                                            "<track title=\"一\" time=\"3:05\" artist=\"歌手\"/></album>"
                                            "<album title=\"朝\"/><warning text=\"?\"/></root>"))}};
}

// The valid inputs of every target, made by the writers the program saves with.
std::map<QString, TSeeds> WriterSeeds()
{
    std::map<QString, TSeeds> seeds;
    AddPictureSeeds(seeds);
    AddAlbumSeeds(seeds);
    AddTagSeeds(seeds);
    AddPrinterSeeds(seeds);
    AddDesignSeeds(seeds);
    const QByteArray document = DocumentBytes(2);
    seeds["LabelDocument"] = {{"one-sheet.mld", DocumentBytes(1)}, {"two-sheets.mld", document}};
    seeds["SheetThumbnail"] = {{"one-sheet.mld", DocumentBytes(1)}, {"two-sheets.mld", document}};
    seeds["CompoundFile"] = {{"document.mld", document}, {"catalogue.ppr", CatalogueBytes()},
                             {"products.cdb", ProductDatabaseBytes()}};
    seeds["PaperCatalogue"] = {{"user.ppr", CatalogueBytes()}};
    seeds["ProductDatabase"] = {{"products.cdb", ProductDatabaseBytes()}};
    seeds["DistortionPresets"] = {{"presets.cdd", PresetFileBytes()}};
    seeds["PropertyStream"] = {{"groups.bin", ObjectListBytes()}};
    seeds["Csv"] = CsvSeeds();
    seeds["PluginDescription"] = PluginDescriptionSeeds();
    seeds["ImportResult"] = ImportResultSeeds();
    seeds["Clipboard"] = {{"groups.bin", ObjectListBytes()}};
    seeds["InstanceMessage"] = {{"document.bin", EncodeInstanceMessage({QStringLiteral("/home/ユーザー/ラベル 1.mld")})},
                                {"nothing.bin", EncodeInstanceMessage({})}};
    seeds["ZlibContainer"] = {{"objects.zlib", PackContainer(ObjectListBytes())},
                              {"pattern.zlib", PackContainer(test::PatternBytes(3000, 7), 1)}};
    std::vector<std::unique_ptr<TDrawObject>> owner;
    TLDObjects face;
    face.SetObjects(SampleObjects(owner).Items());
    TExPaperInfo extra;
    extra.SetPaperName(QStringLiteral("用紙"));
    extra.SetCompany(QStringLiteral("会社"));
    seeds["FramedObject"] = {{"face.bin", FramedBytes(face)},
                             {"paper.bin", FramedBytes(*test::TwoDiscPaper())},
                             {"extra.bin", FramedBytes(extra)},
                             {"product.bin", FramedBytes(TProductInfo())}};
    return seeds;
}

fuzz::TFuzzBody BodyOf(const QString& target)
{
    for (const fuzz::TFuzzTarget& t : fuzz::FuzzTargets())
        if (target == QLatin1String(t.name)) return t.body;
    return nullptr;
}

long PeakMemoryKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(FuzzCorpus, EveryTargetAcceptsTheSeedsOurWritersMake)
{
    fuzz::PrepareFuzzEnvironment();
    // KESTREL_WRITE_SEEDS=1 stores them in the corpus (after a format change).
    const bool store = qEnvironmentVariableIsSet("KESTREL_WRITE_SEEDS");
    const std::map<QString, TSeeds> seeds = WriterSeeds();
    EXPECT_EQ(seeds.size(), fuzz::FuzzTargets().size());
    for (const auto& [target, files] : seeds) {
        const fuzz::TFuzzBody body = BodyOf(target);
        ASSERT_NE(body, nullptr) << target.toStdString();
        for (const auto& [name, bytes] : files) {
            try {
                body(bytes);
            } catch (const EKestrel& e) {
                ADD_FAILURE() << target.toStdString() << '/' << name.toStdString() << ": "
                              << e.Message().toStdString();
            }
            if (store) {
                QDir().mkpath(CorpusFolder() + '/' + target);
                test::WriteFileBytes(CorpusFolder() + '/' + target + "/seed-" + name, bytes);
            }
        }
    }
}

// Replays every stored input through its target: each is read or refused (with our own error)
// within the time limit, and the whole replay stays within the memory bound.
TEST(FuzzCorpus, EveryStoredInputIsReadOrRefusedQuicklyInBoundedMemory)
{
    fuzz::PrepareFuzzEnvironment();
    for (const fuzz::TFuzzTarget& target : fuzz::FuzzTargets()) {
        const QDir folder(CorpusFolder() + '/' + QLatin1String(target.name));
        const QStringList files = folder.entryList(QDir::Files, QDir::Name);
        EXPECT_FALSE(files.isEmpty()) << "no corpus for " << target.name;
        for (const QString& name : files) {
            QFile file(folder.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
            const QByteArray bytes = file.readAll();
            const qint64 start = ThreadCpuMs();
            EXPECT_NO_THROW(fuzz::RunFuzzBody(target.body, bytes)) << target.name << '/' << name.toStdString();
            EXPECT_LT(ThreadCpuMs() - start, InputTimeLimitMs) << target.name << '/' << name.toStdString();
            if (!Sanitized) {
                EXPECT_LT(PeakMemoryKb(), PeakMemoryLimitKb) << "after " << target.name << '/' << name.toStdString();
            }
        }
    }
}

}  // namespace
}  // namespace kestrel

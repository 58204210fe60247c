#include <gtest/gtest.h>

#include "CatalogueTestSupport.h"
#include "paper/CatalogueStartup.h"
#include "platform/Error.h"

namespace kestrel {
namespace {

using test::MakerRecord;
using test::SimplePaper;
using test::TTestMakerInfo;

class PapersV2 : public ::testing::Test, protected test::TCatalogueFixture {
protected:
    // A catalogue file written through the model: papers with their makers, a version and lists.
    void WriteCatalogue(const QString& fileName, const std::vector<std::pair<TMatrixPaperInfo, QString>>& papers,
                        int pprNo = 0, const QStringList& groups = {})
    {
        TPapersV2 catalogue(io);
        catalogue.Create(fileName);
        RegisterBases(catalogue);
        for (const auto& [paper, maker] : papers) {
            catalogue.Store(paper);
            catalogue.StoreExtra("ExtraInfos", MakerRecord(paper.PaperName(), maker));
        }
        TPaperUpdate update;
        update.SetPPRNo(pprNo);
        catalogue.SetUpdateInfo(update);
        catalogue.GroupList().SetLines(groups);
        catalogue.Close();
    }

    std::unique_ptr<TPapersV2> OpenCatalogue(const QString& fileName, bool readOnly = true)
    {
        auto catalogue = std::make_unique<TPapersV2>(io);
        catalogue->Open(fileName, readOnly, true);
        RegisterBases(*catalogue);
        return catalogue;
    }

    static QString MakerOf(const TPapersV2& catalogue, const QString& paperName)
    {
        auto record = catalogue.GetExtra("ExtraInfos", paperName);
        return record ? static_cast<TTestMakerInfo&>(*record).Maker() : QString();
    }
};

TEST_F(PapersV2, NewCatalogueGetsItsUpdateRecordAndEmptyListsAtOnce)
{
    TPapersV2 catalogue(io);
    catalogue.Open("new.ppr", false, true);
    const ICatalogueStorage& storage = catalogue.RootStorage();
    ASSERT_TRUE(storage.StreamExists("UpdateInfo\\UpdateInfo"));
    EXPECT_EQ(catalogue.UpdateInfo().PPRNo(), 0);
    EXPECT_EQ(catalogue.UpdateInfo().LastUpdate(), 0);
    EXPECT_TRUE(storage.StreamExists("CompanyList\\CompanyList"));
    EXPECT_TRUE(storage.ReadStream("GroupList\\GroupList").isEmpty());
}

TEST_F(PapersV2, TextListsRewriteTheirStreamInCodePage932)
{
    TPapersV2 catalogue(io);
    catalogue.Open("new.ppr", false, true);
    catalogue.CompanyList().Add("メーカーＡ");
    catalogue.CompanyList().Add("B");
    const QByteArray data = catalogue.RootStorage().ReadStream("CompanyList\\CompanyList");
    EXPECT_EQ(data, QByteArray("\x83\x81\x81\x5B\x83\x4A\x81\x5B\x82\x60\r\nB\r\n"));
    EXPECT_EQ(DecodeTextLines(data), (QStringList{"メーカーＡ", "B"}));
    EXPECT_THROW(catalogue.CompanyList().Add("😀"), EKestrel);
}

TEST_F(PapersV2, UserPaperNamedLikeASystemPaperIsRenamedWithItsRecords)
{
    WriteCatalogue("system.ppr", {{SimplePaper("A", true), "sys"}, {SimplePaper("A$", true), "sys2"}});
    WriteCatalogue("user.ppr", {{SimplePaper("A"), "mine"}, {SimplePaper("U"), "u"}});
    auto system = OpenCatalogue("system.ppr");
    auto user = OpenCatalogue("user.ppr");
    std::vector<std::pair<int, int>> progress;
    system->Merge(*user, true, false, [&](int done, int total) { progress.emplace_back(done, total); });
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}}));
    ASSERT_EQ(system->Count(), 4);
    EXPECT_EQ(system->Paper(2).PaperName(), "A$$");
    EXPECT_EQ(MakerOf(*system, "A$$"), "mine");
    EXPECT_EQ(MakerOf(*system, "A"), "sys");
    EXPECT_EQ(MakerOf(*system, "U"), "u");
    EXPECT_TRUE(system->Modified());
}

TEST_F(PapersV2, MergingUserPapersLeavesTheCatalogueVersionAndListsAlone)
{
    WriteCatalogue("system.ppr", {{SimplePaper("S", true), "s"}}, 7, {"G1"});
    WriteCatalogue("user.ppr", {{SimplePaper("U"), "u"}, {SimplePaper("S2", true), "s"}}, 9, {"G2"});
    files.File("user.ppr").WriteStream("GlobalInfo\\GenreInfo", EncodeTextLines({"genre"}));
    auto system = OpenCatalogue("system.ppr");
    auto user = OpenCatalogue("user.ppr");
    system->Merge(*user, true, false);
    EXPECT_EQ(system->IndexOfName("S2"), -1);  // read-only papers need copySystemPapers
    EXPECT_EQ(system->UpdateInfo().PPRNo(), 7);
    EXPECT_EQ(system->GroupList().Lines(), QStringList{"G1"});
    QStringList genres{"unchanged"};
    system->ReadGlobalInfo("GenreInfo", genres);
    EXPECT_EQ(genres, QStringList{"unchanged"});
}

TEST_F(PapersV2, MergingSystemPapersTakesVersionListsAndGlobalInfo)
{
    WriteCatalogue("system.ppr", {{SimplePaper("S", true), "s"}}, 7, {"G1"});
    WriteCatalogue("download.ppr", {{SimplePaper("N", true), "n"}, {SimplePaper("U"), "u"}}, 9, {"G2", "G3"});
    files.File("download.ppr").WriteStream("GlobalInfo\\GenreInfo", EncodeTextLines({"pop", "rock"}));
    auto system = OpenCatalogue("system.ppr", false);
    system->RootStorage().WriteStream("GlobalInfo\\SearchExtKeyInfo", EncodeTextLines({"kept"}));
    auto download = OpenCatalogue("download.ppr");
    const double before = ToDaysSince1899(QDateTime::currentDateTime());
    system->Merge(*download, false, true);
    EXPECT_EQ(system->IndexOfName("U"), -1);
    EXPECT_EQ(MakerOf(*system, "N"), "n");
    EXPECT_EQ(system->UpdateInfo().PPRNo(), 9);
    EXPECT_GE(system->UpdateInfo().LastUpdate(), before - 1e-6);
    EXPECT_EQ(system->GroupList().Lines(), (QStringList{"G2", "G3"}));
    QStringList genres;
    system->ReadGlobalInfo("GenreInfo", genres);
    EXPECT_EQ(genres, (QStringList{"pop", "rock"}));
    system->ReadGlobalInfo("SearchExtKeyInfo", genres);
    EXPECT_EQ(genres, QStringList{"kept"});
    // The new version reached the working copy's stream as well.
    const QByteArray stream = system->RootStorage().ReadStream("UpdateInfo\\UpdateInfo");
    EXPECT_EQ(ReadComponentAs<TPaperUpdate>(codec, stream, "update")->PPRNo(), 9);
}

TEST_F(PapersV2, DeletingAPaperRemovesItsRecordsFromEveryBase)
{
    auto catalogue = std::make_unique<TPapersV2>(io);
    catalogue->Open("cat.ppr", false, true);
    RegisterBases(*catalogue);
    catalogue->Store(SimplePaper("A"));
    catalogue->Store(SimplePaper("B"));
    catalogue->StoreExtra("ExtraInfos", MakerRecord("A", "m"));
    catalogue->StoreExtra("PaperImages", MakerRecord("A", "picture"));
    catalogue->StoreExtra("PaperImages", MakerRecord("B", "picture"));
    catalogue->Delete(0);
    EXPECT_FALSE(catalogue->GetExtra("ExtraInfos", "A"));
    EXPECT_FALSE(catalogue->GetExtra("PaperImages", "A"));
    EXPECT_TRUE(catalogue->GetExtra("PaperImages", "B"));
    EXPECT_EQ(catalogue->RootStorage().StreamNames("PaperImages").size(), 1);
}

TEST_F(PapersV2, StoringAnEmptyRecordOnlyDeletesTheOldOne)
{
    TPapersV2 catalogue(io);
    catalogue.Open("cat.ppr", false, true);
    RegisterBases(catalogue);
    catalogue.StoreExtra("ExtraInfos", MakerRecord("A", "m"));
    catalogue.StoreExtra("ExtraInfos", MakerRecord("B", "n"));
    catalogue.StoreExtra("ExtraInfos", MakerRecord("A", ""));
    EXPECT_FALSE(catalogue.GetExtra("ExtraInfos", "A"));
    EXPECT_EQ(catalogue.RootStorage().StreamNames("ExtraInfos"), QStringList{"$00000002"});
    // Records without a paper name, unknown bases and empty names are ignored.
    catalogue.StoreExtra("ExtraInfos", MakerRecord("", "x"));
    catalogue.StoreExtra("Nowhere", MakerRecord("A", "x"));
    EXPECT_EQ(catalogue.FindBase("ExtraInfos")->Count(), 1);
    EXPECT_FALSE(catalogue.GetExtra("ExtraInfos", ""));
    EXPECT_FALSE(catalogue.GetExtra("Nowhere", "B"));
}

TEST_F(PapersV2, BaseNumbersNewStreamsAfterTheHighestAndReadsLazily)
{
    TMemoryCatalogueStorage& file = files.File("cat.ppr");
    file.CreateStorage("Papers");  // what makes a compound file a catalogue
    TTestMakerInfo a = MakerRecord("A", "a"), b = MakerRecord("B", "b");
    file.WriteStream("ExtraInfos\\$00000007", codec.Write(a));
    file.WriteStream("ExtraInfos\\$00000002", codec.Write(b));
    TPapersV2 catalogue(io);
    catalogue.Open("cat.ppr", false, true);
    auto base = std::make_unique<TExInfoBase>("ExtraInfos");
    TExInfoBase* raw = base.get();
    catalogue.AddBase(std::move(base));
    EXPECT_EQ(raw->NewStreamName(), "$00000008");
    EXPECT_EQ(raw->FindStream("B"), "$00000002");
    EXPECT_EQ(static_cast<TTestMakerInfo&>(*raw->GetByIndex(0)).Maker(), "a");
    // A copy: changing it leaves the stored record alone.
    auto copy = catalogue.GetExtra("ExtraInfos", "A");
    static_cast<TTestMakerInfo&>(*copy).SetMaker("changed");
    EXPECT_EQ(MakerOf(catalogue, "A"), "a");
    EXPECT_TRUE(copy->Equals(copy.get(), codec));
    EXPECT_FALSE(copy->Equals(catalogue.GetExtra("ExtraInfos", "A").get(), codec));
    EXPECT_FALSE(copy->Equals(nullptr, codec));
}

TEST_F(PapersV2, TwoRecordsForOnePaperFailWhenTheSecondIsLoaded)
{
    TMemoryCatalogueStorage& file = files.File("cat.ppr");
    file.CreateStorage("Papers");  // what makes a compound file a catalogue
    TTestMakerInfo a = MakerRecord("Twice", "a");
    file.WriteStream("ExtraInfos\\$00000001", codec.Write(a));
    file.WriteStream("ExtraInfos\\$00000002", codec.Write(a));
    auto catalogue = OpenCatalogue("cat.ppr");
    try {
        catalogue->GetExtra("ExtraInfos", "Other");
        FAIL();
    } catch (const EKestrel& e) {
        EXPECT_EQ(e.Message(), "用紙情報更新エラー(Twice)");
    }
}

TEST_F(PapersV2, StartUpMergesUserPapersAndExitWritesThemBack)
{
    WriteCatalogue("system.ppr", {{SimplePaper("S", true), "s"}});
    WriteCatalogue("user.ppr", {{SimplePaper("U"), "u"}});
    const int systemSaves = files.Saves("system.ppr");
    auto catalogue = OpenCatalogueFile(io, "system.ppr", RegisterBases);
    MergeUserPapers(*catalogue, io, "user.ppr", RegisterBases);
    EXPECT_EQ(catalogue->Count(), 2);
    EXPECT_FALSE(catalogue->Modified());
    EXPECT_EQ(MakerOf(*catalogue, "U"), "u");

    const int userSaves = files.Saves("user.ppr");
    WriteBackUserPapers(*catalogue, io, "user.ppr", RegisterBases);
    EXPECT_EQ(files.Saves("user.ppr"), userSaves);  // nothing changed

    TMatrixPaperInfo added = SimplePaper("U2");
    catalogue->Store(added);
    catalogue->StoreExtra("ExtraInfos", MakerRecord("U2", "u2"));
    WriteBackUserPapers(*catalogue, io, "user.ppr", RegisterBases);
    catalogue->Close();
    EXPECT_EQ(files.Saves("system.ppr"), systemSaves);  // read-only
    auto user = OpenCatalogue("user.ppr");
    ASSERT_EQ(user->Count(), 2);
    EXPECT_EQ(user->Paper(0).PaperName(), "U");
    EXPECT_EQ(MakerOf(*user, "U2"), "u2");
}

}  // namespace
}  // namespace kestrel

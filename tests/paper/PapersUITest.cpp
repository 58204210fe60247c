#include <gtest/gtest.h>

#include "CatalogueTestSupport.h"
#include "paper/CatalogueStartup.h"
#include "paper/PaperRecords.h"
#include "paper/PapersUI.h"
#include "support/TestEnvironment.h"
#include "text/CharConvert.h"

namespace kestrel {
namespace {

using test::SimplePaper;

class PapersUITest : public ::testing::Test {
protected:
    PapersUITest() : catalogue(service.IO())
    {
        catalogue.Create(test::TestFolder() + "/papers.ppr");
        RegisterPaperRecordBases(catalogue);
    }

    void AddPaper(const QString& name, bool system, const QString& group, const QString& maker = {})
    {
        catalogue.Store(SimplePaper(name, system, group));
        if (maker.isEmpty()) return;
        TExPaperInfo record;
        record.SetPaperName(name);
        record.SetCompany(maker);
        catalogue.StoreExtra(ExtraInfosBaseName, record);
    }

    void SetGlobalInfo(const QString& name, const QStringList& lines)
    {
        catalogue.RootStorage().WriteStream("GlobalInfo\\" + name, EncodeTextLines(lines));
    }

    // A model with the chooser's genres.
    std::unique_ptr<TPapersUI> Model(const QStringList& recent = {})
    {
        auto model = std::make_unique<TPapersUI>(catalogue);
        const TStandardGenres genres = StandardGenres(catalogue);
        model->SetSpecialGenres(genres.userGenre, genres.defaultGenre, genres.recentGenre);
        model->SetRecentPapers(recent);
        model->SetGenres(genres.genres, genres.groupToGenre);
        return model;
    }

    QStringList Names(const std::vector<int>& rows)
    {
        QStringList names;
        for (const int row : rows) names << catalogue.Paper(row).PaperName();
        return names;
    }

    TPaperCatalogue service;
    TPapersV2 catalogue;
};

TEST_F(PapersUITest, PapersFallIntoTheGenresOfTheirGroupsAndRecentOnesIntoTheirsInCatalogueOrder)
{
    SetGlobalInfo("GenreInfo", {"G1=ラベル", "G2=ケース", "G4=ラベル"});
    AddPaper("S1", true, "G1");
    AddPaper("S2", true, "G2");
    AddPaper("S3", true, "G3");  // no genre for its group
    AddPaper("U", false, "G1");
    AddPaper("S4", true, "G4");
    const auto model = Model({"S4", "gone", "S1"});

    EXPECT_EQ(model->Genres(), (QStringList{"最近使った用紙", "ラベル", "ケース", "ユーザー用紙", "その他"}));
    EXPECT_EQ(Names(model->Rows(1)), (QStringList{"S1", "S4"}));
    EXPECT_EQ(Names(model->Rows(2)), QStringList{"S2"});
    EXPECT_EQ(Names(model->Rows(3)), QStringList{"U"});
    EXPECT_EQ(Names(model->Rows(4)), QStringList{"S3"});
    EXPECT_EQ(Names(model->Rows(0)), (QStringList{"S1", "S4"}));  // S4 was used last
    EXPECT_EQ(model->Rows(99).size(), 5u);
    EXPECT_TRUE(model->Row(4).recent);
    EXPECT_FALSE(model->Row(1).recent);
    EXPECT_TRUE(model->Row(3).userPaper);
    EXPECT_EQ(model->Row(0).maker, "未設定");
    EXPECT_EQ(model->Row(0).purpose, "未設定");
}

TEST_F(PapersUITest, WithoutAGenreListEachGroupOfSystemPapersIsAGenre)
{
    AddPaper("S1", true, "ダイレクトプリント\\12cm");
    AddPaper("S2", true, "ラベル");
    AddPaper("U", false, "ユーザーのグループ");
    const auto model = Model();
    EXPECT_EQ(model->Genres(),
              (QStringList{"最近使った用紙", "ダイレクトプリント\\12cm", "ラベル", "ユーザー用紙", "その他"}));
    EXPECT_EQ(Names(model->Rows(3)), QStringList{"U"});
}

TEST_F(PapersUITest, DistinctMakersAndGroupsFollowTheCatalogueListsThenTheRows)
{
    catalogue.CompanyList().SetLines({"A", "C"});
    catalogue.GroupList().SetLines({"G2"});
    AddPaper("P1", true, "G1", "B");
    AddPaper("P2", true, "G1", "A");
    AddPaper("P3", true, "G2");
    const auto model = Model();
    EXPECT_EQ(model->DistinctMakers(), (QStringList{"A", "C", "B", "未設定"}));
    EXPECT_EQ(model->GenreMakers(1), (QStringList{"A", "B"}));  // G1's genre
    EXPECT_EQ(model->DistinctMakers("すべて", "B"), (QStringList{"すべて", "A", "C", "未設定", "B"}));
    EXPECT_EQ(model->DistinctMakers({}, "Z"), (QStringList{"A", "C", "B", "未設定", "Z"}));
    EXPECT_EQ(model->DistinctGroups("すべて"), (QStringList{"すべて", "G2", "G1"}));
    EXPECT_EQ(model->GenreGroups(99), (QStringList{"G2", "G1"}));
}

TEST_F(PapersUITest, SearchIgnoresCaseWidthAndKanaAndFollowsSearchWords)
{
    AddPaper("A4 CDラベル 2面", true, "G");
    AddPaper("はがき (100×148mm)", true, "G");
    AddPaper("ＤＶＤトールケース", true, "G");
    SetGlobalInfo("SearchExtKeyInfo", {"ぽすとかーど", "はがき", "unused"});
    const auto model = Model();
    model->SetSearchFold(FoldForSearch);

    EXPECT_EQ(Names(model->Search("cdらべる")), QStringList{"A4 CDラベル 2面"});
    EXPECT_EQ(Names(model->Search("ｃｄﾗﾍﾞﾙ")), QStringList{"A4 CDラベル 2面"});
    EXPECT_EQ(Names(model->Search("dvd")), QStringList{"ＤＶＤトールケース"});
    EXPECT_EQ(Names(model->Search("ハガキ")), QStringList{"はがき (100×148mm)"});
    EXPECT_EQ(Names(model->Search("ポストカード")), QStringList{"はがき (100×148mm)"});
    EXPECT_TRUE(model->Search("unused").empty());  // only even lines are search words
    EXPECT_EQ(model->Search("").size(), 3u);
}

TEST_F(PapersUITest, DirectPrintPapersAreTheSystemPapersOfADirectPrintGenre)
{
    const TMatrixPaperInfo tray = SimplePaper("Tray", true, "EpsonTrays");
    const TMatrixPaperInfo label = SimplePaper("Label", true, "Labels");
    EXPECT_FALSE(IsDirectPrintPaper(catalogue, tray)) << "no genre list: no disc papers";
    SetGlobalInfo("GenreInfo", {"EpsonTrays=ダイレクトプリント\\エプソン", "Labels=ラベル\\ダイレクトプリント"});
    EXPECT_TRUE(IsDirectPrintPaper(catalogue, tray));
    EXPECT_FALSE(IsDirectPrintPaper(catalogue, label)) << "the genre must begin with it";
    EXPECT_FALSE(IsDirectPrintPaper(catalogue, SimplePaper("Mine", false, "EpsonTrays"))) << "user papers never are";
    EXPECT_FALSE(IsDirectPrintPaper(catalogue, SimplePaper("Other", true, "Elsewhere")));
}

TEST_F(PapersUITest, ADocumentPaperTheCatalogueKnowsTakesItsGroup)
{
    SetGlobalInfo("GenreInfo", {"Direct=ダイレクトプリント\\キヤノン"});
    AddPaper("Label", true, "NewGroup");
    AddPaper("Tray", true, "Trays");
    const auto model = Model();
    std::unique_ptr<TPaperInfo> paper;

    TMatrixPaperInfo document = SimplePaper("Label", true, "OldGroup");
    document.SetLandscape(true);
    EXPECT_EQ(model->MatchDocumentPaper(document, nullptr, nullptr, paper), 0);
    EXPECT_EQ(paper->GroupName(), "NewGroup");
    EXPECT_TRUE(paper->Landscape());  // the document's own paper, not the catalogue's

    // A disc-printer paper keeps its group.
    const TMatrixPaperInfo tray = SimplePaper("Tray", true, "Direct");
    ASSERT_TRUE(IsDirectPrintPaper(catalogue, tray));
    EXPECT_EQ(model->MatchDocumentPaper(tray, nullptr, nullptr, paper), 1);
    EXPECT_EQ(paper->GroupName(), "Direct");
}

TEST_F(PapersUITest, AnOldSystemPaperIsFoundThroughTheRenamingLists)
{
    SetGlobalInfo("V1ToV2PaperInfo", {"Old=Mid"});
    SetGlobalInfo("V2ToV3PaperInfo", {"Mid=New"});
    SetGlobalInfo("V2ToV3GroupInfo", {"OldGroup=Group"});
    AddPaper("New", true, "Group");
    AddPaper("CD 2面", true, "Group");
    const auto model = Model();
    std::unique_ptr<TPaperInfo> paper;

    EXPECT_EQ(model->MatchDocumentPaper(SimplePaper("Old", true, "OldGroup"), nullptr, nullptr, paper), 0);
    EXPECT_EQ(paper->PaperName(), "New");
    // No renaming entry: the name loses its first word.
    EXPECT_EQ(model->MatchDocumentPaper(SimplePaper("A4 CD 2面", true, "X"), nullptr, nullptr, paper), 1);
    EXPECT_EQ(model->MatchDocumentPaper(SimplePaper("Gone", true, "OldGroup"), nullptr, nullptr, paper), -1);
    EXPECT_EQ(paper->PaperName(), "Gone");
    EXPECT_EQ(paper->GroupName(), "Group");
    EXPECT_EQ(catalogue.Count(), 2);  // system papers are never added
}

TEST_F(PapersUITest, AnUnknownUserPaperJoinsTheCatalogueWithItsMaker)
{
    SetGlobalInfo("V2ToV3GroupInfo", {"OldGroup=Group"});
    AddPaper("S", true, "Group");
    const auto model = Model();
    TExPaperInfo extra;
    extra.SetPaperName("Mine");
    extra.SetCompany("自作");
    std::unique_ptr<TPaperInfo> paper;

    const int index = model->MatchDocumentPaper(SimplePaper("Mine", false, "OldGroup"), &extra, nullptr, paper);
    ASSERT_EQ(index, 1);
    EXPECT_EQ(catalogue.Paper(index).GroupName(), "Group");
    EXPECT_FALSE(catalogue.Paper(index).ReadOnly());
    EXPECT_EQ(model->RowCount(), 2);  // rebuilt
    EXPECT_EQ(model->Row(index).maker, "自作");
    EXPECT_EQ(model->Rows(model->UserGenre()), std::vector<int>{1});

    // Records of another paper are not taken.
    extra.SetPaperName("Other");
    EXPECT_EQ(model->MatchDocumentPaper(SimplePaper("Yours", false, "G"), &extra, nullptr, paper), 2);
    EXPECT_EQ(model->Row(2).maker, "未設定");
}

}  // namespace
}  // namespace kestrel

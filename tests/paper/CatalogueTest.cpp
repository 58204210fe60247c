#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include "CatalogueTestSupport.h"
#include "paper/Papers.h"
#include "platform/Error.h"

namespace kestrel {
namespace {

using test::SimplePaper;

class Catalogue : public ::testing::Test, protected test::TCatalogueFixture {
protected:
    // The stored record's properties.
    QJsonObject StoredJson(const QString& path)
    {
        return QJsonDocument::fromJson(files.File("cat.ppr").ReadStream(path)).object().value("properties").toObject();
    }
};

TEST_F(Catalogue, EmptyFileOpensWithDefaultPurposesAndNumbersFromOne)
{
    TPapers papers(io);
    papers.Open("cat.ppr", false, true);
    EXPECT_EQ(papers.Count(), 0);
    ASSERT_EQ(papers.Purposes().Count(), 5);
    EXPECT_EQ(papers.Purposes().Item(0).ID(), "CD");
    EXPECT_EQ(papers.Purposes().Item(4).ID(), "");
    papers.Store(SimplePaper("A"));
    EXPECT_EQ(papers.StreamName(0), "$00000001");
    EXPECT_TRUE(papers.RootStorage().StreamExists("Papers\\$00000001"));
}

TEST_F(Catalogue, StoringAnExistingNameKeepsItsStreamAndPlace)
{
    TPapers papers(io);
    papers.Open("cat.ppr", false, true);
    papers.Store(SimplePaper("A"));
    papers.Store(SimplePaper("B"));
    TMatrixPaperInfo changed = SimplePaper("A", false, "other");
    papers.Store(changed);
    ASSERT_EQ(papers.Count(), 2);
    EXPECT_EQ(papers.StreamName(0), "$00000001");
    EXPECT_EQ(papers.Paper(0).GroupName(), "other");
    // The catalogue keeps its own copy.
    changed.SetGroupName("changed later");
    EXPECT_EQ(papers.Paper(0).GroupName(), "other");
}

TEST_F(Catalogue, NewStreamNumberFollowsTheHighestNumber)
{
    TMemoryCatalogueStorage& file = files.File("cat.ppr");
    TMatrixPaperInfo paper = SimplePaper("F");
    file.WriteStream("Papers\\$0000000F", codec.Write(paper));
    paper.SetPaperName("C");
    file.WriteStream("Papers\\$00000003", codec.Write(paper));
    TPapers papers(io);
    papers.Open("cat.ppr", false, true);
    ASSERT_EQ(papers.Count(), 2);
    EXPECT_EQ(papers.Paper(0).PaperName(), "C");  // sorted by stream name
    papers.Store(SimplePaper("G"));
    EXPECT_EQ(papers.StreamName(2), "$00000010");
    EXPECT_EQ(NextStreamNumber({"$00000002", "Foreign", "$0000000a"}), 11u);
    EXPECT_EQ(NextStreamNumber({}), 1u);
}

TEST_F(Catalogue, LandscapePaperIsStoredAsPortraitWithItsPurposes)
{
    TPapers papers(io);
    papers.Open("cat.ppr", false, true);
    TMatrixPaperInfo paper = SimplePaper("L");
    paper.SetLandscape(true);
    paper.PurposeList()->Add({"Sticker", "シール", {fsRect}});
    papers.Store(paper);
    EXPECT_TRUE(paper.Landscape());  // the caller's paper is unchanged
    EXPECT_FALSE(paper.StorePurposes());
    EXPECT_TRUE(papers.Paper(0).Landscape());

    papers.SetModified(true);
    papers.Close();
    const QJsonObject json = StoredJson("Papers\\$00000001");
    EXPECT_FALSE(json.value("Landscape").toBool(true));
    EXPECT_EQ(json.value("Width").toInt(), 2100);
    EXPECT_TRUE(json.contains("PurposeList"));
    // The catalogue learned the new purpose and rewrote its list.
    papers.Open("cat.ppr", true, true);
    EXPECT_FALSE(papers.Paper(0).Landscape());
    EXPECT_EQ(papers.Paper(0).Width(), 2100);
    EXPECT_GE(papers.Purposes().LastIndexOf("sticker"), 0);
}

TEST_F(Catalogue, StoredPurposeListLosesObsoleteIdsAndFacesAnswerTheNewOnes)
{
    TPurposeValidator validator;
    SetPurposeValidator(&validator);
    const std::unique_ptr<void, void (*)(void*)> uninstall(&validator, [](void*) { SetPurposeValidator(nullptr); });
    TPLStreamer streamer;
    streamer.List()->Add({"CD", "CD", {fsDoughnut}});
    streamer.List()->Add({"FD", "FD", {fsRect}});
    streamer.List()->Add({"CDCase", "CDCase", {fsRect}});
    files.File("cat.ppr").WriteStream("PurposeList\\PurposeList", codec.Write(streamer));
    TMatrixPaperInfo paper = SimplePaper("old");
    paper.SetFacePurpose("FD");
    files.File("cat.ppr").WriteStream("Papers\\$00000001", codec.Write(paper));

    TPapers papers(io);
    papers.Open("cat.ppr", true, true);
    ASSERT_EQ(papers.Purposes().Count(), 1);
    EXPECT_EQ(papers.Paper(0).GetFacePurpose(0), "MOSquare");
    SetPurposeValidator(nullptr);
    EXPECT_EQ(papers.Paper(0).GetFacePurpose(0), "FD");
}

TEST_F(Catalogue, ReorderRenamesStreamsInTheGivenOrder)
{
    TPapers papers(io);
    papers.Open("cat.ppr", false, true);
    for (const char* name : {"A", "B", "C"}) papers.Store(SimplePaper(name));
    papers.SetModified(false);
    papers.Reorder({"C", "A", "B"});
    ASSERT_EQ(papers.Count(), 3);
    EXPECT_EQ(papers.Paper(0).PaperName(), "C");
    EXPECT_EQ(papers.Paper(2).PaperName(), "B");
    EXPECT_EQ(papers.StreamName(0), "$00000004");
    EXPECT_EQ(papers.RootStorage().StreamNames("Papers").size(), 3);
    EXPECT_TRUE(papers.Modified());
}

TEST_F(Catalogue, ReorderRefusesAnythingButAPermutationBeforeChangingAnything)
{
    TPapers papers(io);
    papers.Open("cat.ppr", false, true);
    for (const char* name : {"A", "B", "C"}) papers.Store(SimplePaper(name));
    papers.SetModified(false);
    const QStringList before = papers.RootStorage().StreamNames("Papers");
    const std::pair<QStringList, QString> cases[] = {
        {{"C", "A", "X"}, "用紙「X」はカタログにありません"},
        {{"C", "A", "A"}, "用紙「A」はカタログにありません"},
        {{"C", "A"}, "並べ替える用紙の数(2)がカタログの用紙の数(3)と違います"},
        {{"C", "A", "B", "B"}, "並べ替える用紙の数(4)がカタログの用紙の数(3)と違います"},
    };
    for (const auto& [bad, message] : cases) {
        try {
            papers.Reorder(bad);
            ADD_FAILURE() << bad.join(",").toStdString();
        } catch (const EKestrel& e) {
            EXPECT_EQ(e.Message(), message);
        }
        EXPECT_EQ(papers.RootStorage().StreamNames("Papers"), before);
        EXPECT_EQ(papers.Paper(0).PaperName(), "A");
        EXPECT_FALSE(papers.Modified());
    }
}

TEST_F(Catalogue, DeleteRemovesTheStream)
{
    TPapers papers(io);
    papers.Open("cat.ppr", false, true);
    papers.Store(SimplePaper("A"));
    papers.Store(SimplePaper("B"));
    papers.Delete(0);
    EXPECT_EQ(papers.Count(), 1);
    EXPECT_EQ(papers.IndexOfName("B"), 0);
    EXPECT_EQ(papers.IndexOfName("A"), -1);
    EXPECT_EQ(papers.RootStorage().StreamNames("Papers"), QStringList{"$00000002"});
}

TEST_F(Catalogue, CloseWritesOnlyAWritableModifiedCatalogue)
{
    {
        TPapers papers(io);
        papers.Open("cat.ppr", true, true);
        papers.Store(SimplePaper("A"));
        papers.Close();
    }
    EXPECT_EQ(files.Saves("cat.ppr"), 0);
    TPapers papers(io);
    papers.Open("cat.ppr", false, true);
    papers.Close();
    EXPECT_EQ(files.Saves("cat.ppr"), 0);
    papers.Open("cat.ppr", false, true);
    papers.Store(SimplePaper("A"));
    papers.Close();
    EXPECT_EQ(files.Saves("cat.ppr"), 1);
    EXPECT_FALSE(papers.IsOpen());
}

TEST_F(Catalogue, AFailedOpenKeepsThePreviousCatalogue)
{
    TPapers papers(io);
    papers.Open("good.ppr", false, true);
    papers.Store(SimplePaper("A"));
    TMatrixPaperInfo bad = SimplePaper("bad");
    bad.SetFaceCountX(5000);  // out of range
    files.File("bad.ppr").WriteStream("Papers\\$00000001", codec.Write(bad));
    EXPECT_THROW(papers.Open("bad.ppr", false, true), EReadError);
    files.File("garbage.ppr").WriteStream("Papers\\$00000001", "{not json");
    EXPECT_THROW(papers.Open("garbage.ppr", false, true), EReadError);
    EXPECT_EQ(papers.FileName(), "good.ppr");
    EXPECT_EQ(papers.IndexOfName("A"), 0);
}

TEST_F(Catalogue, GroupNamesAreCollectedOnceIgnoringCase)
{
    TPapers papers(io);
    papers.Open("cat.ppr", false, true);
    papers.Store(SimplePaper("A", false, "Disc"));
    papers.Store(SimplePaper("B", false, "Case"));
    papers.Store(SimplePaper("C", false, "DISC"));
    QStringList groups{"case"};
    papers.GetGroupNames(groups);
    EXPECT_EQ(groups, (QStringList{"case", "Disc"}));
}

TEST_F(Catalogue, PurposeMergeAddsUnknownIdsOnly)
{
    TPurposeList list = TPurposeList::Default();
    TPurposeList incoming;
    incoming.Add({"cd", "other", {fsRect}});
    EXPECT_FALSE(MergePurposes(list, incoming));
    incoming.Add({"Sticker", "シール", {fsRect}});
    EXPECT_TRUE(MergePurposes(list, incoming));
    EXPECT_EQ(list.Count(), 6);
    EXPECT_EQ(list.Item(0).DisplayName(), "CD");
    EXPECT_EQ(list.Item(5).ShapeMask(), TFaceShapes{fsRect});
}

}  // namespace
}  // namespace kestrel

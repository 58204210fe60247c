#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <set>

#include "CatalogueTestSupport.h"
#include "paper/CatalogueSource.h"
#include "platform/Error.h"

namespace kestrel {
namespace {

// A minimal source with one paper whose JSON text is given.
QByteArray SourceWith(const QByteArray& paper)
{
    return R"({"version": 3, "makers": ["M"], "groups": ["G"],
               "purposes": [{"ID": "CD", "DisplayName": "CD", "ShapeMask": ["fsDoughnut"]},
                            {"ID": "", "DisplayName": "", "ShapeMask": []}],
               "papers": [)" + paper + "]}";
}

const QByteArray GoodPaper = R"({"class": "TMatrixPaperInfo", "properties": {"Width": 1200, "Height": 1200, "PaperName": "P",
    "GroupName": "G", "TopOffset": 10, "LeftOffset": 10, "BottomMargin": 0, "RightMargin": 0, "FaceWidth": 1180,
    "FaceHeight": 1180, "FaceCountX": 1, "FaceCountY": 1, "FaceShape": "fsDoughnut", "FacePurpose": "CD",
    "FaceMargin": 0, "CutCenter": 220}})";

QString LoadError(const QByteArray& json)
{
    try {
        LoadCatalogueSource(json);
    } catch (const EReadError& e) {
        return e.Message();
    }
    return {};
}

TEST(CatalogueSource, EveryShippedPaperHasItsFacesOnThePaperWithoutOverlap)
{
    ASSERT_FALSE(test::ShippedSource().isEmpty());
    const TCatalogueSource source = test::LoadShippedSource();
    ASSERT_GE(source.papers.size(), 40u);
    for (const auto& paper : source.papers) {
        SCOPED_TRACE(paper->PaperName().toStdString());
        EXPECT_TRUE(paper->ReadOnly());
        EXPECT_GE(paper->GetFaceCount(), 1);
        EXPECT_EQ(paper->FirstFaceOutsidePaper(), -1);
        EXPECT_EQ(paper->FirstOverlappingFace(), -1);
    }
}

TEST(CatalogueSource, ShippedPapersCoverTheMediaTheProgramOffers)
{
    const TCatalogueSource source = test::LoadShippedSource();
    std::set<TFaceShape> shapes;
    std::set<int> discHoles;
    bool eightCentimetreTray = false, backInlay = false;
    for (const auto& paper : source.papers) {
        EXPECT_FALSE(paper->PaperName().contains(u'横'));  // landscape is the document's choice
        for (int i = 0; i < paper->GetFaceCount(); ++i) {
            shapes.insert(paper->GetFaceShape(i));
            if (paper->GetFaceShape(i) == fsDoughnut) discHoles.insert(paper->GetCutCenterSize(i).width());
            const TSheetRect r = paper->GetFaceRect(i);
            backInlay |= r.Width() == 1380 && r.Height() == 1180;
        }
        eightCentimetreTray |= paper->PortraitWidth() == 800 && paper->GetFaceShape(0) == fsDoughnut;
    }
    for (TFaceShape s : {fsRect, fsDoughnut, fsEllipse, fsRoundRect, fsRectCD, fsBarrelCD}) EXPECT_TRUE(shapes.count(s)) << s;
    for (int hole : {170, 220, 410}) EXPECT_TRUE(discHoles.count(hole)) << hole;
    EXPECT_TRUE(eightCentimetreTray);
    EXPECT_TRUE(backInlay);
}

TEST(CatalogueSource, BuiltCatalogueReopensWithThePapersInSourceOrder)
{
    test::TCatalogueFixture fixture;
    const TCatalogueSource source = test::LoadShippedSource();
    TPapersV2 catalogue(fixture.io);
    catalogue.Create("Kestrel.ppr");
    BuildCatalogue(source, catalogue);
    catalogue.Close();

    TPapersV2 reopened(fixture.io);
    reopened.Open("Kestrel.ppr", true, true);
    ASSERT_EQ(reopened.Count(), int(source.papers.size()));
    for (int i = 0; i < reopened.Count(); ++i) {
        const TPaperInfo& read = reopened.Paper(i);
        const TPaperInfo& original = *source.papers[i];
        EXPECT_EQ(read.PaperName(), original.PaperName());
        EXPECT_TRUE(read.ReadOnly());
        EXPECT_FALSE(read.Landscape());  // stored in portrait form
        ASSERT_EQ(read.GetFaceCount(), original.GetFaceCount());
        for (int f = 0; f < read.GetFaceCount(); ++f) {
            EXPECT_EQ(read.GetFaceRect(f), original.GetFaceRect(f));
            EXPECT_EQ(read.GetCutCenterSize(f), original.GetCutCenterSize(f));
            EXPECT_EQ(read.GetCenterShape(f), original.GetCenterShape(f));
        }
    }
    EXPECT_EQ(reopened.UpdateInfo().PPRNo(), source.pprNo);
    EXPECT_EQ(reopened.GroupList().Lines(), source.groups);
    EXPECT_GE(reopened.Purposes().LastIndexOf("DVDCover"), 0);
}

TEST(CatalogueSource, MinimalSourceLoadsWithItsLists)
{
    const TCatalogueSource source = LoadCatalogueSource(SourceWith(GoodPaper));
    EXPECT_EQ(source.pprNo, 3);
    EXPECT_EQ(source.companies, QStringList{"M"});
    ASSERT_EQ(source.papers.size(), 1u);
    EXPECT_EQ(source.papers[0]->GetCutCenterSize(0), QSize(220, 220));
}

TEST(CatalogueSource, FaultsAreReportedInJapaneseWithThePaper)
{
    EXPECT_TRUE(LoadError("{\"version\": 1,").contains("JSON の構文エラー"));
    EXPECT_TRUE(LoadError("[1]").contains("オブジェクト"));
    EXPECT_TRUE(LoadError(R"({"version": 1, "makers": [], "groups": [], "purposes": []})").contains("papers"));

    const auto withChange = [](const char* from, const char* to) {
        QByteArray paper = GoodPaper;
        paper.replace(from, to);
        return LoadError(SourceWith(paper));
    };
    const QString unknown = withChange("\"FaceMargin\"", "\"FaceMargn\"");
    EXPECT_TRUE(unknown.contains("1 番目の用紙「P」")) << unknown.toStdString();
    EXPECT_TRUE(unknown.contains("FaceMargn"));
    EXPECT_TRUE(withChange("\"FaceCountX\": 1", "\"FaceCountX\": 500").contains("FaceCountX"));
    EXPECT_TRUE(withChange("\"FaceCountX\": 1", "\"FaceCountX\": 0").contains("ラベルがありません"));
    EXPECT_TRUE(withChange("\"FaceWidth\": 1180", "\"FaceWidth\": 11.5").contains("整数"));
    EXPECT_TRUE(withChange("\"TopOffset\": 10", "\"TopOffset\": 30").contains("はみ出しています"));
    EXPECT_TRUE(withChange("\"fsDoughnut\"", "\"fsDonut\"").contains("fsDonut"));
    EXPECT_TRUE(withChange("\"fsDoughnut\", \"FacePurpose\"", "\"fsRect\", \"FacePurpose\"").contains("用途「CD」"));
    EXPECT_TRUE(withChange("\"FacePurpose\": \"CD\"", "\"FacePurpose\": \"DVD\"").contains("DVD"));
    EXPECT_TRUE(withChange("\"GroupName\": \"G\"", "\"GroupName\": \"H\"").contains("グループ「H」"));
    EXPECT_TRUE(withChange("{\"Width\"", "{\"Landscape\": true, \"Width\"").contains("横向き"));
    EXPECT_TRUE(LoadError(SourceWith(R"({"class": "TPaperUpdate", "properties": {"PPRNo": 1}})")).contains("用紙ではありません"));
    EXPECT_TRUE(LoadError(SourceWith(GoodPaper + "," + GoodPaper)).contains("重複"));

    const QByteArray overlapping = R"({"class": "TFreePaperInfo", "properties": {"Width": 1000, "Height": 1000, "PaperName": "F",
        "GroupName": "G", "Faces": [{"Left": 0, "Top": 0, "Width": 500, "Height": 500, "FaceShape": "fsRect"},
                                    {"Left": 400, "Top": 400, "Width": 500, "Height": 500, "FaceShape": "fsRect"}]}})";
    EXPECT_TRUE(LoadError(SourceWith(overlapping)).contains("ラベル2 が他のラベルと重なっています"));
}

// The minimal source with global text blocks (a JSON object's members).
QByteArray SourceWithBlocks(const QByteArray& blocks)
{
    QByteArray json = SourceWith(GoodPaper);
    return json.replace("\"papers\":", QByteArray("\"globalInfo\": {" + blocks + "}, \"papers\":"));
}

TEST(CatalogueSource, GlobalBlocksAreLinesOrFilesBesideTheSourceAndReachTheCatalogue)
{
    const auto files = [](const QString& name) -> QByteArray {
        return name == "printers.xml" ? "<root>\r\n<DirectPrinterInfo/>\r\n</root>\r\n" : QByteArray();
    };
    const TCatalogueSource source = LoadCatalogueSource(
        SourceWithBlocks(R"("GenreInfo": ["G=ダイレクトプリント\\その他"], "DirectPrinter": "printers.xml")"), files);
    EXPECT_EQ(source.globalInfo.at("GenreInfo"), QStringList{"G=ダイレクトプリント\\その他"});
    EXPECT_EQ(source.globalInfo.at("DirectPrinter"), (QStringList{"<root>", "<DirectPrinterInfo/>", "</root>"}));

    test::TCatalogueFixture fixture;
    TPapersV2 catalogue(fixture.io);
    catalogue.Create("Kestrel.ppr");
    BuildCatalogue(source, catalogue);
    QStringList lines;
    catalogue.ReadGlobalInfo("DirectPrinter", lines);
    EXPECT_EQ(lines, source.globalInfo.at("DirectPrinter"));
}

TEST(CatalogueSource, BlocksThatCannotBeUsedAreRefused)
{
    const auto blocksError = [](const QByteArray& blocks) {
        try {
            LoadCatalogueSource(SourceWithBlocks(blocks), [](const QString&) { return QByteArray("<root"); });
        } catch (const EReadError& e) {
            return e.Message();
        }
        return QString();
    };
    EXPECT_TRUE(blocksError(R"("Unheard": [])").contains("「Unheard」は使えません"));
    EXPECT_TRUE(blocksError(R"("GenreInfo": ["H=ラベル"])").contains("「H=ラベル」"));
    EXPECT_TRUE(blocksError(R"("GenreInfo": ["G"])").contains("グループ名=ジャンル"));
    EXPECT_TRUE(blocksError(R"("DirectPrinter": "printers.xml")").contains("DirectPrinter"));
    EXPECT_TRUE(blocksError(R"("DirectPrinter": ["<root/>"])").contains("DirectPrinterInfo"));
    EXPECT_TRUE(blocksError(R"("PrinterSetting": 3)").contains("ファイル名"));
    // A file name needs someone to read it.
    EXPECT_THROW(LoadCatalogueSource(SourceWithBlocks(R"("PrinterSetting": "x.ini")")), EReadError);
}

TEST(CatalogueSource, TheShippedDiscGroupsAreDirectPrintGenresWithPrinterDataForBothMakers)
{
    const TCatalogueSource source = test::LoadShippedSource();
    const QStringList& genres = source.globalInfo.at("GenreInfo");
    ASSERT_EQ(genres.size(), source.groups.size());  // every group has its genre
    int discPapers = 0;
    for (const auto& paper : source.papers) {
        const QString genre = genres.filter(QRegularExpression("^" + QRegularExpression::escape(paper->GroupName()) + "="))
                                  .value(0)
                                  .section(u'=', 1);
        const bool direct = genre.startsWith("ダイレクトプリント");
        EXPECT_EQ(direct, paper->PaperName().contains("ディスク (印刷面")) << paper->PaperName().toStdString();
        discPapers += direct;
    }
    EXPECT_EQ(discPapers, 8);

    const QString printers = source.globalInfo.at("DirectPrinter").join('\n');
    EXPECT_GE(printers.count("PrinterName=\"Epson "), 12);
    EXPECT_GE(printers.count("PrinterName=\"Canon "), 6);
    for (const QString& group : source.groups) {
        if (!group.startsWith("ダイレクトプリント")) continue;
        EXPECT_TRUE(printers.contains("PrinterName=\"" + group + "\"")) << group.toStdString();
    }
}

}  // namespace
}  // namespace kestrel

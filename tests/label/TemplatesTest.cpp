#include "label/Templates.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "LabelDocumentFixtures.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

TFaceGeometry Wanted(const QString& purpose, int width, int height)
{
    TFaceGeometry face;
    face.purpose = purpose;
    face.rect = {0, 0, width, height};
    return face;
}

// A document on the two-disc paper whose second face (or none) is designed.
QString WriteDocument(const QString& name, bool designed)
{
    TClassRegistry::Global().Register(test::TFilledRect::StaticClass());
    TLabelData document;
    document.SetPaper(*test::TwoDiscPaper());
    document.SetSeparatelyDesign(true);
    if (designed) {
        test::TFilledRect rect;
        rect.SetBounds({100, 100, 300, 300});
        TDOList list;
        list.Add(rect);
        document.SaveFaceObjects(1, list);
    }
    const QString file = test::TestFolder() + u'/' + name;
    document.SaveToFile(file);
    return file;
}

TEST(Templates, AspectClassesDecideWhichFacesFit)
{
    EXPECT_EQ(AspectClassOf(1200, 1190), acSquare) << "ratio about 1.008";
    EXPECT_EQ(AspectClassOf(1200, 1000), acLandscape) << "ratio 1.2";
    EXPECT_EQ(AspectClassOf(1000, 1200), acPortrait);
    EXPECT_EQ(AspectClassOf(1100, 1000), acLandscape) << "1.1 itself is no longer square";
    EXPECT_EQ(AspectClassOf(1200, 0), acNone);

    TFaceGeometry square = Wanted("CD", 1200, 1190);
    TFaceGeometry wide = Wanted("CD", 1200, 1000);
    const TFaceGeometry disc = Wanted("CD", 1170, 1170);
    EXPECT_TRUE(TemplateFaceFits(&square, disc));
    EXPECT_FALSE(TemplateFaceFits(&wide, disc));
    EXPECT_TRUE(TemplateFaceFits(&wide, Wanted("CD", 850, 600)));
    EXPECT_TRUE(TemplateFaceFits(nullptr, disc));
    EXPECT_FALSE(TemplateFaceFits(&square, Wanted("CDCover", 1200, 1200))) << "another purpose";
    TFaceGeometry any = Wanted("*", 0, 0);
    EXPECT_TRUE(TemplateFaceFits(&any, Wanted("CDCover", 1200, 1200)));
    EXPECT_FALSE(TemplateFaceFits(&square, Wanted("CD", 1200, 0))) << "a template face without height fits nothing";
}

TEST(Templates, ScanningFindsDesignedFacesAndFallsBackToTheWholeFile)
{
    const QString designed = WriteDocument("designed.mld", true);
    const QString empty = WriteDocument("empty.mlt", false);
    QFile other(test::TestFolder() + QStringLiteral("/notes.txt"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("not a template");
    other.close();
    QFile broken(test::TestFolder() + QStringLiteral("/broken.cjd"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a compound file");
    broken.close();

    TTemplateList list;
    const TFaceGeometry disc = Wanted("CD", 1170, 1170);
    list.ScanFolder(test::TestFolder(), &disc);
    ASSERT_EQ(list.Count(), 1) << "the empty document offers no face for a disc, the others are no templates";
    EXPECT_EQ(list.Item(0).fileName, designed);
    EXPECT_EQ(list.Item(0).faceIndex, 1);
    EXPECT_FALSE(list.Item(0).wholeFile);

    const TFaceGeometry any = Wanted("*", 0, 0);
    list.ScanFolder(test::TestFolder(), &any);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(1).fileName, empty);
    EXPECT_TRUE(list.Item(1).wholeFile) << "nothing designed, anything wanted: the whole file";

    list.SetFilesOnly(true);
    list.ScanFolder(test::TestFolder() + QStringLiteral("/*.mlt"), &disc);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_TRUE(list.Item(0).wholeFile);
}

TEST(Templates, FavouritesAreKeptOnceStoredRelativeToTheCollectionAndRefreshed)
{
    const QString designed = WriteDocument("designed.mld", true);
    TTemplateList favourites;
    favourites.SetBaseFolder(test::TestFolder());
    const TTemplateInfo entry{designed, 0, 1, false};
    EXPECT_TRUE(favourites.Add(entry));
    TTemplateInfo sameInOtherCase = entry;
    sameInOtherCase.fileName = designed.toUpper();
    EXPECT_FALSE(favourites.Add(sameInOtherCase)) << "このテンプレートは登録済みです";
    EXPECT_TRUE(favourites.Add({QStringLiteral("/nowhere/gone.mld"), 0, 0, true}));
    const QString file = test::TestFolder() + QStringLiteral("/prefs/Favorite.dat");
    favourites.SaveToFile(file);
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray rows = saved.readAll();
    EXPECT_EQ(rows, QByteArray("designed.mld,0,1,0,-1\r\n/nowhere/gone.mld,0,0,-1,0\r\n"));

    TTemplateList loaded;
    loaded.SetBaseFolder(test::TestFolder());
    loaded.LoadFromFile(file);
    ASSERT_EQ(loaded.Count(), 2);
    EXPECT_TRUE(loaded.Item(0).SameAs(entry));
    const TFaceGeometry disc = Wanted("CD", 1170, 1170);
    loaded.Refresh(&disc);
    ASSERT_EQ(loaded.Count(), 1) << "a favourite whose file is gone drops out";
    EXPECT_TRUE(loaded.Item(0).SameAs(entry));

    QFile damaged(file);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("designed.mld,x,y\r\n");
    damaged.close();
    loaded.LoadFromFile(file);
    ASSERT_EQ(loaded.Count(), 1);
    EXPECT_EQ(loaded.Item(0).sheetIndex, -1);
    EXPECT_TRUE(loaded.Item(0).wholeFile);
    loaded.Refresh(&disc);
    EXPECT_EQ(loaded.Count(), 0) << "a damaged row is dropped by the next refresh";
}

TEST(Templates, RangeEntriesDefineNamesAndIdsWithOnePlainSubstitution)
{
    EXPECT_EQ(ExpandIdRange(QStringLiteral("T%s,3,1,3,A%s,3,10")),
              (std::vector<std::pair<QString, QString>>{{"T001", "A010"}, {"T002", "A011"}, {"T003", "A012"}}));
    EXPECT_EQ(ExpandIdRange(QStringLiteral("x%s,2,5,5,k%s,4,7,0,1")),
              (std::vector<std::pair<QString, QString>>{{"X05,0,1", "K0007"}}))
        << "the extras follow the name";
    for (const char* refused : {"T%d,3,1,3,A%s,3,10", "T%s%s,3,1,3,A%s,3,10", "T%n,3,1,3,A%s,3,10", "T%s,3,1,3,A%x,3,10",
                                "T,3,1,3,A%s,3,10", "T%s,3,3,1,A%s,3,10", "T%s,3,1,100000,A%s,3,10", "T%s,3,1"})
        EXPECT_TRUE(ExpandIdRange(QString::fromLatin1(refused)).empty()) << refused;

    const TIdIndex index = TIdIndex::FromText(QStringLiteral(
        "[Data\\Template\\Pop]\nPOPDISC,0,0=P001\nShortStyleDefine1=T%s,3,1,3,A%s,3,10\n[Data\\BackGrnd\\Sky]\nBLUE=B001\n"));
    EXPECT_EQ(index.IdOf(QStringLiteral("/opt/kestrel/Data/Template/Pop/PopDisc.mld"), QStringLiteral("popdisc,0,0")), "P001");
    EXPECT_EQ(index.IdOf(TTemplateInfo{QStringLiteral("/x/data/template/pop/T002.mld"), 0, 0, false}), QString())
        << "a range name has no sheet and face";
    EXPECT_EQ(index.IdOf(QStringLiteral("/x/Data/Template/Pop/T002.mld"), QStringLiteral("t002")), "A011");
    EXPECT_EQ(index.IdOf(QStringLiteral("/x/Data/BackGrnd/Sky/blue.jpg"), QStringLiteral("BLUE")), "B001");
    EXPECT_EQ(index.IdOf(QStringLiteral("/x/Data/BackGrnd/Rain/blue.jpg"), QStringLiteral("BLUE")), QString());
    const auto ref = index.TemplateOf(QStringLiteral("p001"));
    ASSERT_TRUE(ref);
    EXPECT_EQ(ref->file, QStringLiteral("Data/Template/Pop/POPDISC"));
    EXPECT_FALSE(index.TemplateOf(QStringLiteral("A010"))) << "not a template name";
    EXPECT_FALSE(index.EntryOf(QStringLiteral("ZZZZ")));
}

TEST(Templates, CallingATemplateUpMapsItsObjectsOntoTheFace)
{
    const QString designed = WriteDocument("designed.mld", true);
    TTemplateFace face = LoadTemplateFace({designed, 0, 1, false});
    EXPECT_EQ(face.bounds, (TRect{0, 0, 1190, 1190}));
    ASSERT_EQ(face.objects.size(), 1u);

    TLabelData document;
    document.SetPaper(*test::SquarePaper(1));
    ApplyTemplate(document, 0, std::move(face));
    TDOList list;
    document.LoadFaceObjects(0, list);
    ASSERT_EQ(list.Count(), 1);
    // 600 / 1190 of (100, 100, 300, 300).
    const TRect r = list.Item(0).GetBounds();
    EXPECT_NEAR(r.left, 50, 1);
    EXPECT_NEAR(r.right, 151, 1);
}

}  // namespace
}  // namespace kestrel

#include <gtest/gtest.h>

#include "LabelDocumentFixtures.h"
#include "document/Capabilities.h"
#include "document/storage/DocNameList.h"
#include "document/storage/DocStream.h"
#include "label/FacePreview.h"
#include "label/FaceRender.h"
#include "paper/FaceInfo.h"
#include "paper/PaperRecords.h"
#include "paper/ProductDB.h"
#include "platform/Error.h"
#include "platform/ZlibContainer.h"
#include "render/GridGuide.h"
#include "support/CfbTestSupport.h"
#include "support/FpcStreamCheck.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

using test::PutRects;

class LabelDataTest : public ::testing::Test {
protected:
    void SetUp() override { test::RegisterTestObjects(); }

    QString File(const QString& name) const { return test::TestFolder() + u'/' + name; }

    static std::vector<TRect> BoundsOf(TLabelData& document, int face)
    {
        TDOList list;
        document.LoadFaceObjects(face, list);
        std::vector<TRect> bounds;
        for (TDrawObject* object : list.Items()) bounds.push_back(dynamic_cast<TLORectBase&>(*object).Rect());
        return bounds;
    }

    // The raw bytes of face n's stream on the current sheet.
    static QByteArray FaceStream(TLabelData& document, int n)
    {
        auto sheet = TDocStorage::Open(document.Storage(), false, document.CurrentSheetPath());
        TDocStreamList faces;
        faces.Open(*sheet, QStringLiteral("NameList"));
        return faces.Exists(n) ? faces.OpenStream(n, ModeRead)->ReadAll() : QByteArray();
    }

    // Three sheets on different papers with objects on several faces and paper records.
    void BuildThreeSheets(TLabelData& document)
    {
        document.SetPaper(*test::TwoDiscPaper());
        PutRects(document, 0, {{100, 100, 400, 300}, {500, 500, 700, 900}});
        PutRects(document, 1, {{200, 200, 300, 300}});
        TExPaperInfo extra;
        extra.SetPaperName(document.SheetPaper()->PaperName());
        extra.SetCompany(QStringLiteral("メーカー"));
        document.SetExtraInfo(&extra);
        document.Grid().SetVisible(true);
        document.Guide().SetSlot(0, QPoint(300, 0));

        document.NewSheet();
        document.SetPaper(*test::SquarePaper(2));
        document.SetExtraInfo(nullptr);
        PutRects(document, 3, {{0, 0, 600, 600}});

        document.NewSheet();
        document.SetPaper(*test::SquarePaper(1));
        document.SetSheetName(QStringLiteral("裏面 100%"));
        document.SetDataName(QStringLiteral("アルバム"));
        document.SelectSheet(1);
    }
};

TEST_F(LabelDataTest, ANewDocumentHasOneNamedSheetAndIsNotModified)
{
    TLabelData document;
    EXPECT_EQ(document.SheetCount(), 1);
    EXPECT_EQ(document.SheetName(), QStringLiteral("新規シート1"));
    EXPECT_EQ(document.Grid().Size(), 50);
    EXPECT_FALSE(document.IsModified());
    document.NewSheet();
    EXPECT_EQ(document.SheetNames(), QStringList({"新規シート1", "新規シート2"}));
    EXPECT_TRUE(document.IsModified());
}

TEST_F(LabelDataTest, SaveReopenSaveGivesIdenticalStreamsThatOtherReadersAccept)
{
    const QString first = File("first.mld"), second = File("second.mld");
    // Documents take their creator records from the database, not from the file.
    TProductDB products(QString(), File("products.cdb"));
    products.Create();
    {
        TLabelData document(&products);
        BuildThreeSheets(document);
        document.SaveToFile(first);
        EXPECT_FALSE(document.IsModified());
    }
    TLabelData reopened(&products);
    reopened.LoadFromFile(first);
    EXPECT_EQ(reopened.CurrentSheet(), 1);
    EXPECT_EQ(reopened.SheetCount(), 3);
    EXPECT_EQ(reopened.DataName(), QStringLiteral("アルバム"));
    EXPECT_EQ(reopened.SheetNames(), QStringList({"新規シート1", "新規シート2", "裏面 100%"}));
    EXPECT_EQ(BoundsOf(reopened, 3), (std::vector<TRect>{{0, 0, 600, 600}}));
    reopened.SelectSheet(0);
    EXPECT_EQ(reopened.ExtraInfo().Company(), QStringLiteral("メーカー"));
    EXPECT_TRUE(reopened.Grid().Visible());
    EXPECT_EQ(reopened.Guide().Slot(0), QPoint(300, 0));
    // Stored back to front, loaded back to front.
    EXPECT_EQ(BoundsOf(reopened, 0), (std::vector<TRect>{{500, 500, 700, 900}, {100, 100, 400, 300}}));
    EXPECT_FALSE(reopened.FacePreview(0).isNull());
    reopened.SelectSheet(1);
    reopened.SaveToFile(second);

    const test::TOleListing a = test::ListWithOlefile(first), b = test::ListWithOlefile(second);
    EXPECT_EQ(a.streams.keys(), b.streams.keys());
    for (const QString& path : a.streams.keys())
        EXPECT_EQ(a.streams[path], b.streams.value(path)) << path.toStdString();
    EXPECT_TRUE(a.streams.contains("DataInfo"));
    EXPECT_TRUE(a.streams.contains("Sheets/NameList0/PaperExtraInfo"));
    EXPECT_TRUE(a.streams.contains("Sheets/NameList0/Preview0"));
    EXPECT_FALSE(a.streams.contains("Sheets/NameList1/PaperExtraInfo"));

    // Free Pascal reads every resource-framed stream after its header.
    const QString helper = test::BuildFpcStreamCheck();
    ASSERT_FALSE(helper.isEmpty());
    auto root = TDocStorage::Open(reopened.Storage(), false, QString());
    for (const QString& path : {QStringLiteral("DataInfo"), QStringLiteral("Sheets\\NameList0\\Info"),
                                QStringLiteral("Sheets\\NameList0\\PaperInfo")}) {
        const QByteArray framed = TDocStream::Open(*root, ModeRead, path)->ReadAll();
        const int header = framed.indexOf('\0', 3) + 1 + 2 + 4;
        const QString plain = File("plain.bin");
        test::WriteFileBytes(plain, framed.mid(header));
        EXPECT_FALSE(test::RunFpcStreamCheck(helper, "totext", plain).isEmpty()) << path.toStdString();
    }
}

TEST_F(LabelDataTest, FaceStreamsAreCompressedOnceAndPlainStreamsStillRead)
{
    TLabelData document;
    document.SetPaper(*test::TwoDiscPaper());
    PutRects(document, 0, {{100, 100, 400, 400}});
    const QByteArray plain = FaceStream(document, 0);
    ASSERT_FALSE(HasContainerSignature(plain));
    document.SaveToFile(File("a.mld"));
    const QByteArray packed = FaceStream(document, 0);
    EXPECT_TRUE(HasContainerSignature(packed));
    EXPECT_EQ(UnpackContainer(packed), plain);
    document.SaveToFile(File("b.mld"));
    EXPECT_EQ(FaceStream(document, 0), packed);
    EXPECT_EQ(BoundsOf(document, 0).size(), 1u);
}

TEST_F(LabelDataTest, SharedDesignReadsAndWritesFaceZero)
{
    TLabelData document;
    document.SetPaper(*test::SquarePaper(2));
    document.SetSeparatelyDesign(false);
    PutRects(document, 3, {{100, 100, 200, 200}});
    EXPECT_TRUE(document.HasFaceObjects(0));
    EXPECT_EQ(BoundsOf(document, 2).size(), 1u);
    document.SetSeparatelyDesign(true);
    EXPECT_FALSE(document.HasFaceObjects(3));
}

TEST_F(LabelDataTest, LoadedObjectsKeepTheirCentresInsideTheFace)
{
    TLabelData document;
    document.SetPaper(*test::SquarePaper(1));
    // Centres at x = 3 and x = 595 on a face 600 wide.
    PutRects(document, 0, {{-47, 200, 53, 300}, {545, 200, 645, 300}});
    const std::vector<TRect> bounds = BoundsOf(document, 0);
    ASSERT_EQ(bounds.size(), 2u);
    EXPECT_EQ((bounds[0].left + bounds[0].right) / 2, 590);
    EXPECT_EQ((bounds[1].left + bounds[1].right) / 2, 10);
}

// A background that shows nothing while its tag is 99, and a date field that shows the print
// date in its hint.
class TTestBackground : public test::TFilledRect, public IDOFaceBackground {
    KESTREL_PERSISTENT()
public:
    bool IsBlank() const override { return Tag() == 99; }
    void SetFaceInfo(const TFaceInfo& face) override
    {
        face_ = face;
        SetBounds(ToRect(face.OuterRect()));
    }
    const TFaceInfo& FaceInfo() const override { return face_; }

private:
    TFaceInfo face_;
};

const TClassInfo& TTestBackground::StaticClass()
{
    static const TClassInfo info("TTestBackground", &TFilledRect::StaticClass(), FactoryOf<TTestBackground>(), {});
    return info;
}

class TTestDate : public test::TFilledRect, public IDODocumentDates {
    KESTREL_PERSISTENT()
public:
    void ShowDocumentDates(const TDocumentDates& dates) override { SetHint(QString::number(dates.lastPrint)); }
};

const TClassInfo& TTestDate::StaticClass()
{
    static const TClassInfo info("TTestDate", &TFilledRect::StaticClass(), FactoryOf<TTestDate>(), {});
    return info;
}

TEST_F(LabelDataTest, BlankBackgroundsAreNotStoredAndBackgroundsCoverTheFaceTheyAreLoadedOn)
{
    TClassRegistry::Global().Register(TTestBackground::StaticClass());
    TLabelData document;
    document.SetPaper(*test::SquarePaper(2));
    TTestBackground background;
    background.SetTag(99);
    background.SetBounds({10, 10, 20, 20});
    TDOList list;
    list.Add(background);
    document.SaveFaceObjects(2, list);
    EXPECT_FALSE(document.HasFaceObjects(2)) << "a face of nothing but a blank background is empty";

    background.SetTag(0);
    document.SaveFaceObjects(2, list);
    EXPECT_EQ(BoundsOf(document, 2), (std::vector<TRect>{{0, 0, 600, 600}}));
}

TEST_F(LabelDataTest, DateFieldsShowTheDocumentsDatesWhenLoaded)
{
    TClassRegistry::Global().Register(TTestDate::StaticClass());
    TLabelData document;
    document.SetPaper(*test::SquarePaper(1));
    document.SetLastPrint(QDateTime(QDate(2024, 5, 1), QTime(12, 0)));
    TTestDate date;
    date.SetBounds({100, 100, 200, 200});
    TDOList list;
    list.Add(date);
    document.SaveFaceObjects(0, list);
    TDOList loaded;
    document.LoadFaceObjects(0, loaded);
    ASSERT_EQ(loaded.Count(), 1);
    EXPECT_EQ(loaded.Item(0).Hint(), QString::number(document.Dates().lastPrint));
}

TEST_F(LabelDataTest, AFewerFacedPaperDropsTheSurplusFacesFromTheEnd)
{
    TLabelData document;
    document.SetPaper(*test::SquarePaper(2));
    PutRects(document, 0, {{0, 0, 100, 100}});
    PutRects(document, 3, {{0, 0, 100, 100}});
    document.SetSheetPaper(*test::TwoDiscPaper());
    EXPECT_EQ(document.FaceCount(), 2);
    EXPECT_TRUE(document.HasFaceObjects(0));
    document.SetPaper(*test::SquarePaper(2));
    EXPECT_FALSE(document.HasFaceObjects(3));
}

TEST_F(LabelDataTest, DuplicatedSheetsAreNamedAfterTheirOriginalEvenWithPercentSigns)
{
    TLabelData document;
    document.SetPaper(*test::TwoDiscPaper());
    document.SetSheetName(QStringLiteral("表 %d%s%%"));
    PutRects(document, 1, {{100, 100, 200, 200}});
    document.DuplicateSheet();
    EXPECT_EQ(document.SheetName(), QStringLiteral("表 %d%s%%のコピー1"));
    EXPECT_TRUE(document.HasFaceObjects(1));
    document.SelectSheet(0);
    document.DuplicateSheet();
    EXPECT_EQ(document.SheetName(), QStringLiteral("表 %d%s%%のコピー2"));
    document.DuplicateSheet();
    EXPECT_EQ(document.SheetName(), QStringLiteral("表 %d%s%%のコピー2のコピー1"));
    EXPECT_EQ(document.SheetCount(), 4);
}

TEST_F(LabelDataTest, DeletingAndMovingSheets)
{
    TLabelData document;
    document.NewSheet();
    document.NewSheet();
    document.SelectSheet(2);
    document.DeleteSheet(2);
    EXPECT_EQ(document.CurrentSheet(), 1);
    EXPECT_EQ(document.SheetName(), QStringLiteral("新規シート2"));
    document.MoveSheet(0);
    EXPECT_EQ(document.SheetNames(), QStringList({"新規シート2", "新規シート1"}));
    document.DeleteSheet(1);
    EXPECT_EQ(document.SheetName(), QStringLiteral("新規シート2"));
    try {
        document.DeleteSheet(0);
        FAIL() << "the last sheet was deleted";
    } catch (const EKestrel& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("最後のシートは削除できません"));
    }
    EXPECT_EQ(document.SheetCount(), 1);
}

class DamagedDocumentTest : public LabelDataTest {
protected:
    QString SavedDocument()
    {
        TLabelData document;
        BuildThreeSheets(document);
        const QString file = File("good.mld");
        document.SaveToFile(file);
        return file;
    }

    // Replaces one stream of a saved document.
    QString WithStream(const QString& path, const QByteArray& bytes)
    {
        TFileStorage file(SavedDocument(), ModeReadWrite);
        TDocStream::Open(file, ModeCreate, path)->WriteAll(bytes);
        file.Close();
        return file.FileName();
    }
};

TEST_F(DamagedDocumentTest, BrokenFilesFailToOpenWithAMessage)
{
    const QByteArray good = test::ReadFileBytes(SavedDocument());
    const QString truncated = File("truncated.mld");
    test::WriteFileBytes(truncated, good.left(good.size() / 3));
    const QString garbage = File("garbage.mld");
    test::WriteFileBytes(garbage, test::PatternBytes(5000, 7));
    for (const QString& file : {truncated, garbage, WithStream("DataInfo", test::PatternBytes(64, 3))}) {
        TLabelData document;
        EXPECT_THROW(document.LoadFromFile(file), EKestrel) << file.toStdString();
    }
}

TEST_F(DamagedDocumentTest, AnOutOfRangeCurrentSheetIsClamped)
{
    TLabelData document;
    document.NewSheet();
    document.SaveToFile(File("two.mld"));
    TFileStorage file(File("two.mld"), ModeReadWrite);
    const QByteArray info = TDocStream::Open(file, ModeRead, "DataInfo")->ReadAll();
    file.Close();
    // CurrentSheetNo is written as a small integer right after its name.
    QByteArray patched = info;
    const qsizetype at = patched.indexOf("CurrentSheetNo") + 14;
    ASSERT_EQ(patched[at], 2);  // one-byte integer tag
    patched[at + 1] = 99;
    TFileStorage edited(File("two.mld"), ModeReadWrite);
    TDocStream::Open(edited, ModeCreate, "DataInfo")->WriteAll(patched);
    edited.Close();
    TLabelData reopened;
    reopened.LoadFromFile(File("two.mld"));
    EXPECT_EQ(reopened.CurrentSheet(), 1);
}

TEST_F(DamagedDocumentTest, BrokenFaceStreamsFailWhenTheFaceIsRead)
{
    QByteArray bomb = PackContainer(QByteArray(64 * 1024 * 1024, 'A'));
    bomb[13] = 16;  // declares 16 bytes
    bomb[14] = bomb[15] = bomb[16] = 0;
    for (const QByteArray& bytes : {test::PatternBytes(300, 5), bomb, QByteArray("ZLIBCompress\x1a\x05\0\0\0xx", 19)}) {
        TLabelData document;
        document.LoadFromFile(WithStream("Sheets\\NameList1\\NameList3", bytes));
        document.SelectSheet(1);
        TDOList list;
        EXPECT_THROW(document.LoadFaceObjects(3, list), EKestrel);
    }
}

// The streams of the sheets' storages in a document file, by path, with size and digest.
QMap<QString, QPair<qint64, QString>> SheetStreams(const QString& file)
{
    QMap<QString, QPair<qint64, QString>> sheets;
    const test::TOleListing listing = test::ListWithOlefile(file);
    for (auto it = listing.streams.cbegin(); it != listing.streams.cend(); ++it)
        if (it.key().startsWith("Sheets/NameList") && it.key().count('/') == 2) sheets.insert(it.key(), it.value());
    return sheets;
}

TEST_F(DamagedDocumentTest, ADamagedSheetFailsToOpenAndNeverOverwritesAnother)
{
    QString file = File("two.mld");
    {
        TLabelData document;
        document.SetPaper(*test::TwoDiscPaper());
        PutRects(document, 1, {{200, 200, 400, 400}});
        document.NewSheet();
        document.SetPaper(*test::SquarePaper(2));
        PutRects(document, 3, {{0, 0, 300, 300}});
        document.SelectSheet(0);
        document.SaveToFile(file);
    }
    {
        TFileStorage damaging(file, ModeReadWrite);
        TDocStream::Open(damaging, ModeCreate, "Sheets\\NameList1\\Info")->WriteAll(test::PatternBytes(80, 9));
        damaging.Close();
    }
    const auto before = SheetStreams(file);
    ASSERT_TRUE(before.contains("Sheets/NameList0/Preview1") && before.contains("Sheets/NameList1/NameList3"));

    TLabelData document;
    document.LoadFromFile(file);
    ASSERT_EQ(document.CurrentSheet(), 0);
    EXPECT_EQ(document.SheetNames(), QStringList({"新規シート1", ""})) << "the damaged sheet has no name to show";
    try {
        document.SelectSheet(1);
        FAIL() << "a damaged sheet was selected";
    } catch (const EKestrel& e) {
        EXPECT_FALSE(e.Message().isEmpty());
    }
    EXPECT_EQ(document.CurrentSheet(), 0);
    EXPECT_EQ(document.SheetName(), QStringLiteral("新規シート1"));
    EXPECT_EQ(document.FaceCount(), 2);
    EXPECT_EQ(BoundsOf(document, 1), (std::vector<TRect>{{200, 200, 400, 400}}));

    const QString saved = File("saved.mld");
    document.SaveToFile(saved);
    EXPECT_EQ(document.CurrentSheet(), 0);
    EXPECT_EQ(SheetStreams(saved), before);
}

TEST_F(DamagedDocumentTest, ADamagedFaceKeepsTheSaveFromFailingAndStaysAsItWas)
{
    const QString file = WithStream("Sheets\\NameList1\\NameList3", test::PatternBytes(300, 5));
    TLabelData document;
    document.LoadFromFile(file);
    document.SelectSheet(1);
    document.SelectSheet(0);
    const QString saved = File("saved.mld");
    document.SaveToFile(saved);
    EXPECT_EQ(document.CurrentSheet(), 0);
    TFileStorage reread(saved, ModeRead);
    const QByteArray kept = TDocStream::Open(reread, ModeRead, "Sheets\\NameList1\\NameList3")->ReadAll();
    EXPECT_EQ(UnpackIfContainer(kept), test::PatternBytes(300, 5)) << "compressed like every face, never lost";
}

TEST_F(LabelDataTest, AFailedRewriteLeavesTheSheetThatWasCurrent)
{
    TLabelData document;
    BuildThreeSheets(document);
    const auto listener = document.Signals().currentSheetChanged.Connect([] { ADD_FAILURE() << "visits are quiet"; });
    int visited = 0;
    EXPECT_THROW(document.RewriteFaces([&](TDOList&) -> bool {
                     if (++visited == 2) throw EKestrel("失敗");
                     return false;
                 }),
                 EKestrel);
    EXPECT_EQ(document.CurrentSheet(), 1);
    EXPECT_EQ(document.FaceCount(), 4);
}

TEST_F(LabelDataTest, TheDocumentTellsWhatChanged)
{
    TLabelData document;
    QStringList told;
    std::vector<TSignalConnection> connections;
    TLabelDataSignals& signals = document.Signals();
    connections.push_back(signals.currentSheetChanged.Connect([&] { told << "current"; }));
    connections.push_back(signals.sheetsChanged.Connect([&] { told << "sheets"; }));
    connections.push_back(signals.paperChanged.Connect([&] { told << "paper"; }));
    connections.push_back(signals.layoutAidsChanged.Connect([&] { told << "aids"; }));
    connections.push_back(signals.facesChanged.Connect([&](int face) { told << QStringLiteral("face %1").arg(face); }));
    connections.push_back(signals.modifiedChanged.Connect([&](bool on) { told << (on ? "modified" : "saved"); }));

    document.SetPaper(*test::SquarePaper(2));
    EXPECT_EQ(told, QStringList({"modified", "paper", "face -1"}));
    told.clear();
    document.Grid().SetSize(30);
    document.Grid().SetSize(30);
    document.Guide().SetSlot(0, {100, 0});
    PutRects(document, 2, {{0, 0, 10, 10}});
    EXPECT_EQ(told, QStringList({"aids", "aids", "face 2"}));
    told.clear();
    document.NewSheet();
    document.SetSheetName("裏");
    EXPECT_EQ(told, QStringList({"sheets", "current", "sheets"}));
    told.clear();
    document.SelectSheet(0);
    EXPECT_EQ(told, QStringList({"current", "paper", "aids"}));
    told.clear();
    document.SaveToFile(File("told.mld"));
    EXPECT_EQ(told, QStringList({"saved"})) << "a save visits its sheets quietly";
}

TEST_F(LabelDataTest, PreviewsAreReadStraightFromTheFile)
{
    TLabelData document;
    document.SetPaper(*test::TwoDiscPaper());
    PutRects(document, 1, {{0, 0, 1190, 1190}});
    document.SaveToFile(File("p.mld"));
    QImage plain, outlined;
    EXPECT_FALSE(ReadPreviewFromFile(File("p.mld"), 0, 0, plain, false));
    ASSERT_TRUE(ReadPreviewFromFile(File("p.mld"), 0, 1, plain, false));
    ASSERT_TRUE(ReadPreviewFromFile(File("p.mld"), 0, 1, outlined, true));
    EXPECT_EQ(plain.size(), QSize(200, 200));
    // Blue inside the ring, white in the hole; the outline adds grey.
    const QRgb ring = plain.pixel(100, 30), hole = plain.pixel(100, 100);
    EXPECT_GT(qBlue(ring), 200);
    EXPECT_LT(qRed(ring), 60);
    EXPECT_EQ(hole, qRgb(255, 255, 255));
    EXPECT_NE(plain, outlined);
}

}  // namespace
}  // namespace kestrel

#include <QFile>
#include <cstring>
#include <gtest/gtest.h>

#include "document/storage/DocNameList.h"
#include "platform/cfb/CompoundFile.h"
#include "support/TestEnvironment.h"

namespace kestrel {

namespace {
QString FilePath(const QString& name)
{
    return test::TestFolder() + u'/' + name;
}

QByteArray ListBytes(int32_t counter, const QByteArray& lines)
{
    QByteArray bytes(4, Qt::Uninitialized);
    std::memcpy(bytes.data(), &counter, 4);
    return bytes + lines;
}

QByteArray StreamBytes(TDocStorage& root, const QString& path)
{
    return TDocStream::Open(root, ModeRead, path)->ReadAll();
}
}  // namespace

TEST(DocNameList, AllocatesNamesThatAreNeverReusedAndPersistsThem)
{
    const QString path = FilePath("names.mld");
    {
        TFileStorage root(path, ModeCreate);
        TDocStorageList sheets;
        sheets.Open(root, "Sheets\\NameList");
        EXPECT_EQ(sheets.Count(), 0);
        EXPECT_EQ(sheets.Counter(), 0);
        EXPECT_EQ(sheets.AddNew(), 0);
        EXPECT_EQ(sheets.AddNew(), 1);
        EXPECT_EQ(sheets.Names(), QStringList({"NameList0", "NameList1"}));
        EXPECT_EQ(sheets.Path(0), "Sheets\\NameList0");
        sheets.OpenStorage(0, true);
        sheets.OpenStorage(1, true);
        sheets.Delete(0);
        EXPECT_FALSE(root.StorageExists("Sheets\\NameList0")) << "Delete removes the element too";
        EXPECT_EQ(sheets.AddNew(), 1);
        EXPECT_EQ(sheets.Names(), QStringList({"NameList1", "NameList2"}));
        EXPECT_EQ(StreamBytes(root, "Sheets\\NameList"), ListBytes(3, "NameList1\r\nNameList2\r\n"));
        sheets.Move(1, 0);
        EXPECT_EQ(StreamBytes(root, "Sheets\\NameList"), ListBytes(3, "NameList2\r\nNameList1\r\n"));
    }
    TFileStorage root(path, ModeRead);
    TDocStorageList sheets;
    sheets.Open(root, "Sheets\\NameList");
    EXPECT_EQ(sheets.Names(), QStringList({"NameList2", "NameList1"}));
    EXPECT_EQ(sheets.Counter(), 3);
}

TEST(DocNameList, ExistsTestsTheListsOwnKindOfElement)
{
    TFileStorage root(FilePath("kinds.mld"), ModeCreate);
    TDocStorageList storages;
    storages.Open(root, "Sheets\\NameList");
    storages.AddNew();
    storages.AddNew();
    storages.OpenStorage(0, true);
    TDocStream::Open(root, ModeCreate, "Sheets\\NameList1");
    EXPECT_TRUE(storages.Exists(0));
    EXPECT_FALSE(storages.Exists(1)) << "a stream of that name is not a storage of the list";
    EXPECT_FALSE(storages.Exists(2));
    EXPECT_FALSE(storages.Exists(-1));

    TDocStreamList streams;
    streams.Open(root, "Previews\\Preview");
    streams.AddNew();
    EXPECT_FALSE(streams.Exists(0));
    streams.OpenStream(0, ModeCreate)->WriteAll("png");
    EXPECT_TRUE(streams.Exists(0));
    streams.DeleteElement(0);
    EXPECT_FALSE(streams.Exists(0));
    EXPECT_EQ(streams.Count(), 1) << "DeleteElement keeps the entry";
}

TEST(DocNameList, CounterStaysAboveEveryNumberItHolds)
{
    TFileStorage root(FilePath("counter.mld"), ModeCreate);
    TDocStream::Open(root, ModeCreate, "L\\Item")->WriteAll(ListBytes(1, "Item0\r\nItem7\nitem3\r\nOther12"));
    TDocStreamList list;
    list.Open(root, "L\\Item");
    EXPECT_EQ(list.Names(), QStringList({"Item0", "Item7", "item3", "Other12"}));
    EXPECT_EQ(list.Counter(), 8);
    EXPECT_EQ(list.Name(list.AddNew()), "Item8");
    list.Add("Item20");
    EXPECT_EQ(list.Name(list.AddNew()), "Item21");
    EXPECT_EQ(list.IndexOf("ITEM7"), 1);
}

TEST(DocNameList, EmptyAndMissingStreams)
{
    const QString path = FilePath("empty.mld");
    {
        TFileStorage root(path, ModeCreate);
        TDocStream::Open(root, ModeCreate, "Empty");
    }
    TFileStorage root(path, ModeRead);
    TDocStreamList empty;
    empty.Open(root, "Empty");
    EXPECT_EQ(empty.Count(), 0);
    EXPECT_EQ(empty.Counter(), 0);

    TDocStreamList missing;
    try {
        missing.Open(root, "Missing\\NameList");
        FAIL() << "a missing list opened in a read-only root";
    } catch (const EStorageError& e) {
        EXPECT_EQ(e.Code(), TStorageErrorCode::PathNotFound);
    }
    EXPECT_FALSE(root.StorageExists("Missing"));
}

TEST(DocNameList, ShortStreamIsAReadError)
{
    TFileStorage root(FilePath("short.mld"), ModeCreate);
    TDocStream::Open(root, ModeCreate, "L")->WriteAll("ab");
    TDocStreamList list;
    EXPECT_THROW(list.Open(root, "L"), EReadError);
}

}  // namespace kestrel

namespace kestrel {

TEST(DocNameList, TruncateSavesOnceAndKeepsTheElementsOfNamesStillListed)
{
    TFileStorage root(FilePath("truncate.mld"), ModeCreate);
    for (const char* name : {"A", "B", "C"}) TDocStream::Open(root, ModeCreate, name)->WriteAll("x");
    TDocStream::Open(root, ModeCreate, "NameList")->WriteAll(ListBytes(5, "A\r\nB\r\nC\r\na\r\n"));
    TDocStreamList faces;
    faces.Open(root, "NameList");
    faces.Truncate(2);
    EXPECT_EQ(faces.Names(), QStringList({"A", "B"}));
    EXPECT_TRUE(root.StreamExists("A")) << "a surplus entry named like a kept one leaves its element";
    EXPECT_FALSE(root.StreamExists("C"));
    EXPECT_EQ(StreamBytes(root, "NameList"), ListBytes(5, "A\r\nB\r\n"));
    faces.Truncate(5);
    EXPECT_EQ(faces.Count(), 2);
}

TEST(DocNameList, AListLongerThanAnyRealOneIsRefusedAsDamaged)
{
    TFileStorage root(FilePath("long.mld"), ModeCreate);
    TDocStream::Open(root, ModeCreate, "NameList")
        ->WriteAll(ListBytes(0, QByteArray("F\r\n").repeated(TDocNameList::MaxNames + 1)));
    TDocStreamList faces;
    try {
        faces.Open(root, "NameList");
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("名前の一覧「NameList」が壊れています"));
    }
    TDocStream::Open(root, ModeCreate, "NameList")
        ->WriteAll(ListBytes(0, QByteArray("F\r\n").repeated(TDocNameList::MaxNames)));
    faces.Open(root, "NameList");
    EXPECT_EQ(faces.Count(), TDocNameList::MaxNames);
}

}  // namespace kestrel

// The product database on real files: what it reads, where it writes, and what it refuses.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "app/DataMain.h"
#include "document/storage/DocStream.h"
#include "document/stream/ObjectStream.h"
#include "paper/ProductDB.h"
#include "paper/ProductSource.h"
#include "platform/BoundedReader.h"
#include "support/CfbTestSupport.h"
#include "support/DataMainTestSupport.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

QStringList Captions(const TProductInfo& record)
{
    QStringList captions;
    for (int i = 0; i < record.Items().Count(); ++i) captions << record.Items().Item(i).FieldName();
    return captions;
}

TProductInfo Product(const QString& title)
{
    TProductInfo record;
    record.Items().Item(0).SetInfo({title, title + " 2"});
    return record;
}

class ProductDBFiles : public ::testing::Test {
protected:
    // A database file holding only the given records, written with the storage layer directly.
    void WriteRecords(const QString& file, const std::vector<QByteArray>& streams)
    {
        TTemporaryStorage storage;
        TDocStreamList names;
        names.Open(storage, QStringLiteral("Infos\\NameList"));
        for (const QByteArray& bytes : streams) names.OpenStream(names.AddNew(), ModeCreate)->WriteAll(bytes);
        storage.SaveTo(file);
    }

    static QByteArray RecordBytes(const TProductInfo& record)
    {
        QByteArray bytes;
        WriteObjectRes(bytes, "ProductInfo", record);
        return bytes;
    }

    QString folder_ = test::TestFolder();
    QString shipped_ = folder_ + "/kestrel.cdb";
    QString user_ = folder_ + "/prefs/kestrel.cdb";
};

TEST(ProductInfo, DefaultCaptionsFixTheFirstSevenAndKeepTheUsersLaterOnes)
{
    TProductInfo record;
    EXPECT_EQ(Captions(record), QStringList({"メインタイトル", "サブタイトル", "担当者", "コピーライト", "バージョン",
                                              "日付", "自由項目1", "自由項目2", "自由項目3", "自由項目4"}));
    record.Items().Item(2).SetFieldName("編集者");
    record.Items().Item(8).SetFieldName("レーベル");
    TProductInfo copy = record;
    EXPECT_TRUE(copy.IsSame(record));
    EXPECT_FALSE(TProductInfo().IsSame(record));

    // Read back from a stream with only eight items, as an older document may hold.
    TProductInfo shortRecord;
    shortRecord.Assign(record);
    TProductItemCollection eight;
    for (int i = 0; i < 8; ++i) eight.Add().Assign(record.Items().Item(i));
    shortRecord.Items().Assign(eight);
    QByteArray bytes;
    WriteObjectRes(bytes, "ProductInfo", shortRecord);
    TProductInfo read;
    TBoundedReader in(bytes);
    ReadObjectResInto(in, read);
    EXPECT_EQ(read.Items().Count(), 8);
    EXPECT_TRUE(read.IsSame(record));
    read.ApplyDefaultCaptions();
    EXPECT_EQ(read.Items().Count(), 10);
    EXPECT_EQ(read.Items().Item(2).FieldName(), "担当者");
    EXPECT_EQ(read.Items().Item(7).FieldName(), "自由項目2");

    // The identifier goes out in the Windows layout: the first three fields little-endian.
    const QUuid guid = record.Guid();
    QByteArray layout;
    for (int shift = 0; shift < 32; shift += 8) layout += char(guid.data1 >> shift);
    for (const uint16_t field : {guid.data2, guid.data3}) layout.append(char(field)).append(char(field >> 8));
    layout += QByteArray(reinterpret_cast<const char*>(guid.data4), 8);
    EXPECT_TRUE(bytes.contains(layout));
}

TEST_F(ProductDBFiles, WithoutFilesItStartsFiveRecordsAndWritesNothing)
{
    TProductDB db(shipped_, user_);
    db.Load();
    ASSERT_EQ(db.Count(), 5);
    EXPECT_EQ(db.ProductCount(), 0);
    TProductInfo record;
    db.ReadCreatorE(record);
    EXPECT_EQ(Captions(record).size(), 11);
    EXPECT_EQ(Captions(record).at(7), "ホームページ");
    db.Read(4, record);
    EXPECT_EQ(Captions(record), Captions(TProductInfo()));
    EXPECT_FALSE(db.Modified());
    EXPECT_FALSE(QFileInfo::exists(shipped_));
    EXPECT_FALSE(QFileInfo::exists(user_));
}

TEST_F(ProductDBFiles, RecordsRoundTripThroughTheUsersFileAndTheShippedFileIsNeverWritten)
{
    {
        TProductDB build(QString(), shipped_);
        build.Create();
        build.Store(Product("出荷"));
        build.Save();
    }
    const QByteArray shippedBytes = test::ReadFileBytes(shipped_);
    const TProductInfo added = Product("追加");
    {
        TProductDB db(shipped_, user_);
        db.Load();
        EXPECT_EQ(db.ProductCount(), 1);
        db.Store(added);
        db.Store(added);  // a second store overwrites the same stream
        EXPECT_EQ(db.ProductCount(), 2);
        EXPECT_EQ(db.ProductIndexOf(added), 1);
        TProductInfo creator;
        db.ReadCreatorJ(creator);
        EXPECT_EQ(db.ProductIndexOf(creator), -1);
        EXPECT_EQ(db.IndexOf(creator), 0);
        EXPECT_TRUE(db.Modified());
        db.Save();
        EXPECT_FALSE(db.Modified());
    }
    EXPECT_EQ(test::ReadFileBytes(shipped_), shippedBytes);

    const test::TOleListing listing = test::ListWithOlefile(user_);
    EXPECT_TRUE(listing.streams.contains("Infos/NameList"));
    EXPECT_EQ(listing.streams.size(), 1 + 7);

    TProductDB again(shipped_, user_);
    again.Load();
    ASSERT_EQ(again.ProductIndexOf(added), 1);
    TProductInfo read;
    again.ReadProduct(1, read);
    EXPECT_TRUE(read.IsSame(added));
    EXPECT_EQ(read.Items().Item(0).Info(), QStringList({"追加", "追加 2"}));
    EXPECT_EQ(Captions(read), Captions(added));
}

TEST_F(ProductDBFiles, AShortFileIsPaddedWithCreatorAndReservedRecords)
{
    TProductInfo creatorJ;
    creatorJ.ApplyCreatorCaptions();
    creatorJ.Items().Item(0).SetInfo({"会社"});
    WriteRecords(shipped_, {RecordBytes(creatorJ)});

    TProductDB db(shipped_, user_);
    db.Load();
    ASSERT_EQ(db.Count(), 5);
    EXPECT_FALSE(db.Modified());
    TProductInfo record;
    db.ReadCreatorJ(record);
    EXPECT_TRUE(record.IsSame(creatorJ));
    EXPECT_EQ(record.Items().Item(0).Info(), QStringList({"会社"}));
    db.ReadCreatorE(record);
    EXPECT_EQ(Captions(record).at(0), "会社名");
    db.Read(2, record);
    EXPECT_EQ(Captions(record).at(0), "メインタイトル");
    EXPECT_EQ(db.ProductCount(), 0);
}

TEST_F(ProductDBFiles, CreatorAndReservedRecordsCannotBeDeleted)
{
    TProductDB db(shipped_, user_);
    db.Load();
    const TProductInfo product = Product("消す");
    db.Store(product);
    for (int position = 0; position < TProductDB::ReservedCount; ++position) {
        TProductInfo record;
        db.Read(position, record);
        EXPECT_THROW(db.Delete(record), EProductDB) << position;
    }
    EXPECT_EQ(db.Count(), 6);
    db.Delete(product);
    EXPECT_EQ(db.Count(), 5);
    EXPECT_EQ(db.IndexOf(product), -1);
    db.Delete(product);  // no longer there: nothing to do
    EXPECT_EQ(db.Count(), 5);
}

TEST_F(ProductDBFiles, DamagedFilesAreRefusedWithAJapaneseMessage)
{
    const auto expectDamaged = [this] {
        TProductDB db(shipped_, user_);
        try {
            db.Load();
            ADD_FAILURE() << "a damaged file was accepted";
        } catch (const EProductDB& e) {
            EXPECT_TRUE(e.Message().contains("壊れている")) << e.Message().toStdString();
            EXPECT_TRUE(e.Message().contains("kestrel.cdb"));
        }
        EXPECT_THROW(db.Count(), EProductDB);
    };
    test::WriteFileBytes(shipped_, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(700, '\x33'));
    expectDamaged();
    QByteArray truncated = RecordBytes(TProductInfo());
    truncated.chop(30);
    WriteRecords(shipped_, {RecordBytes(TProductInfo()), truncated});
    expectDamaged();
    WriteRecords(shipped_, {QByteArray(100, '\xFF')});
    expectDamaged();
}

TEST_F(ProductDBFiles, TheSourceBuildsCreatorsAndProductsAndRejectsBadInput)
{
    TProductDB db(QString(), shipped_);
    db.Create();
    EXPECT_EQ(BuildProductDB(R"({"creatorJ": ["会社", "部署"], "products": [["題名", "副題\n二行目"]]})", db), 1);
    TProductInfo record;
    db.ReadCreatorJ(record);
    EXPECT_EQ(record.Items().Item(1).Info(), QStringList({"部署"}));
    db.ReadProduct(0, record);
    EXPECT_EQ(record.Items().Item(1).Info(), QStringList({"副題", "二行目"}));

    for (const char* bad : {"[", "[]", R"({"products": {}})", R"({"creatorE": [1]})",
                            R"({"products": [["1","2","3","4","5","6","7","8","9","10","11"]]})"}) {
        TProductDB fresh(QString(), shipped_);
        fresh.Create();
        EXPECT_THROW(BuildProductDB(bad, fresh), EProductDB) << bad;
    }
}

class ProductDBStartup : public ProductDBFiles {
protected:
    std::unique_ptr<TdataMain> Make()
    {
        auto dataMain = test::MakeTestDataMain(folder_, messages_);
        TAppFrame& frame = dataMain->AppFrame();
        InstallProductDBHooks(dataMain->Hooks(), productDB_, frame);
        user_ = UserProductDBFile(frame);
        return dataMain;
    }

    std::unique_ptr<TProductDB> productDB_;
    QStringList messages_;
};

TEST_F(ProductDBStartup, LoadsTheShippedFileAndSavesChangesToThePreferenceFolder)
{
    auto dataMain = Make();
    EXPECT_EQ(QFileInfo(user_).fileName(), "kestrel.cdb");
    EXPECT_NE(QFileInfo(user_).absolutePath(), QFileInfo(shipped_).absolutePath());
    {
        TProductDB build(QString(), shipped_);
        build.Create();
        build.Store(Product("出荷"));
        build.Save();
    }
    const QByteArray shippedBytes = test::ReadFileBytes(shipped_);

    ASSERT_TRUE(dataMain->Create()) << messages_.join('\n').toStdString();
    ASSERT_NE(productDB_, nullptr);
    EXPECT_EQ(productDB_->ProductCount(), 1);
    productDB_->Store(Product("利用者"));
    dataMain.reset();

    EXPECT_EQ(productDB_, nullptr);
    EXPECT_EQ(test::ReadFileBytes(shipped_), shippedBytes);
    TProductDB saved(shipped_, user_);
    saved.Load();
    EXPECT_EQ(saved.ProductCount(), 2);
}

TEST_F(ProductDBStartup, AnUnchangedDatabaseWritesNothingAndADamagedOneStopsStartUp)
{
    {
        auto dataMain = Make();
        ASSERT_TRUE(dataMain->Create());
        EXPECT_EQ(productDB_->Count(), 5);
    }
    EXPECT_FALSE(QFileInfo::exists(user_));
    EXPECT_FALSE(QFileInfo::exists(shipped_));

    auto dataMain = Make();
    test::WriteFileBytes(shipped_, QByteArray(600, '\x11'));
    EXPECT_FALSE(dataMain->Create());
    EXPECT_EQ(messages_, QStringList({"アプリケーションに必要なファイル「kestrel.cdb」が開けませんでした"}));
}

}  // namespace
}  // namespace kestrel

// Maker records and label designs in catalogues and in document sheets.

#include <gtest/gtest.h>

#include "CatalogueTestSupport.h"
#include "document/DrawObjectFixtures.h"
#include "document/storage/DocStorage.h"
#include "document/stream/ClassRegistry.h"
#include "document/storage/DocStream.h"
#include "paper/CatalogueStartup.h"
#include "paper/CompoundCatalogue.h"
#include "paper/PaperRecords.h"
#include "platform/Error.h"
#include "support/CfbTestSupport.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

using test::SimplePaper;
using test::TFilledRect;

std::unique_ptr<TDrawObject> Rect(TRect bounds, const QString& hint)
{
    auto object = std::make_unique<TFilledRect>();
    object->SetBounds(bounds);
    object->SetHint(hint);
    return object;
}

TDOList ListOf(std::vector<std::unique_ptr<TDrawObject>> objects)
{
    TDOList list;
    for (auto& object : objects) list.Add(std::move(object));
    return list;
}

TImagePaperInfo Designs(const QString& paperName)
{
    TImagePaperInfo info;
    info.SetPaperName(paperName);
    info.SetSeparatelyDesign(false);
    info.SetLabelCount(2);
    std::vector<std::unique_ptr<TDrawObject>> first;
    first.push_back(Rect({10, 20, 110, 220}, "表"));
    first.push_back(Rect({0, 0, 5, 5}, "角"));
    info.AddList(ListOf(std::move(first)));
    std::vector<std::unique_ptr<TDrawObject>> second;
    second.push_back(Rect({300, 300, 400, 350}, "裏"));
    info.AddList(ListOf(std::move(second)));
    return info;
}

TExPaperInfo Maker(const QString& paperName, const QString& company, int roundSize = 0)
{
    TExPaperInfo info;
    info.SetPaperName(paperName);
    info.SetCompany(company);
    info.SetRoundSize(roundSize);
    return info;
}

class PaperRecords : public ::testing::Test {
protected:
    void SetUp() override { TClassRegistry::Global().Register(TFilledRect::StaticClass()); }

    std::unique_ptr<TPapersV2> Open(const QString& file, bool readOnly = false)
    {
        auto catalogue = std::make_unique<TPapersV2>(io);
        catalogue->Open(file, readOnly, true);
        RegisterPaperRecordBases(*catalogue);
        return catalogue;
    }

    void ExpectSameDesigns(const TExtraPaperInfo* read, const TImagePaperInfo& expected)
    {
        ASSERT_NE(read, nullptr);
        EXPECT_TRUE(read->Equals(&expected, codec));
        auto& images = dynamic_cast<const TImagePaperInfo&>(*read);
        ASSERT_EQ(images.Lists().size(), 2u);
        EXPECT_EQ(images.Lists()[0].Item(0).GetBounds(), (TRect{10, 20, 110, 220}));
        EXPECT_EQ(images.Lists()[1].Item(0).Hint(), "裏");
    }

    test::TFakeCatalogueFiles files;
    TStreamComponentCodec codec;
    TCatalogueIO io{&files, &codec};
};

TEST_F(PaperRecords, RecordsKeepTheirValuesAndCopiesAreDeep)
{
    const TExPaperInfo roundOnly = Maker("P", "", 5);
    EXPECT_FALSE(roundOnly.IsEmpty());
    EXPECT_TRUE(Maker("P", "").IsEmpty());
    TExPaperInfo nameOnly = Maker("P", "");
    EXPECT_TRUE(codec.Write(nameOnly).contains("RoundSize"));

    const TImagePaperInfo designs = Designs("P");
    TImagePaperInfo copy;
    copy.Assign(designs);
    EXPECT_TRUE(copy.Equals(&designs, codec));
    EXPECT_NE(&copy.Lists()[0].Item(0), &designs.Lists()[0].Item(0));
    copy.Lists()[1].Item(0).SetHint("変更");
    EXPECT_FALSE(copy.Equals(&designs, codec));

    TImagePaperInfo emptyLists;
    emptyLists.AddList(TDOList());
    emptyLists.AddList(TDOList());
    EXPECT_TRUE(emptyLists.IsEmpty());
    // False must survive the stream although a new record holds True.
    auto read = ReadComponentAs<TImagePaperInfo>(codec, codec.Write(copy), "test");
    EXPECT_FALSE(read->SeparatelyDesign());
    EXPECT_EQ(read->LabelCount(), 2);
}

TEST_F(PaperRecords, CatalogueBasesStoreReplaceAndDropRecords)
{
    auto catalogue = Open("papers.ppr");
    catalogue->Store(SimplePaper("A"));
    catalogue->Store(SimplePaper("B"));
    catalogue->StoreExtra(ExtraInfosBaseName, Maker("A", "", 5));
    catalogue->StoreExtra(PaperImagesBaseName, Designs("A"));
    catalogue->StoreExtra(PaperImagesBaseName, Designs("B"));
    const ICatalogueStorage& storage = catalogue->RootStorage();
    EXPECT_EQ(storage.StorageNames(PaperImagesBaseName), (QStringList{"$00000001", "$00000002"}));
    QStringList streams = storage.StreamNames("PaperImages\\$00000002");
    streams.sort();
    EXPECT_EQ(streams, (QStringList{"$00000001", "$00000002", "ImageInfo"}));

    TImagePaperInfo emptied = Designs("A");
    emptied.ClearLists();
    emptied.AddList(TDOList());
    catalogue->StoreExtra(PaperImagesBaseName, emptied);
    EXPECT_EQ(storage.StorageNames(PaperImagesBaseName), (QStringList{"$00000002"}));
    EXPECT_EQ(catalogue->GetExtra(PaperImagesBaseName, "A"), nullptr);

    catalogue->StoreExtra(PaperImagesBaseName, Designs("A"));
    EXPECT_EQ(storage.StorageNames(PaperImagesBaseName), (QStringList{"$00000002", "$00000003"}));
    catalogue->Close();

    auto reopened = Open("papers.ppr", true);
    auto maker = reopened->GetExtra(ExtraInfosBaseName, "A");
    ASSERT_NE(maker, nullptr);
    EXPECT_EQ(static_cast<TExPaperInfo&>(*maker).RoundSize(), 5);
    ExpectSameDesigns(reopened->GetExtra(PaperImagesBaseName, "A").get(), Designs("A"));
    TExtraInfoBase* images = reopened->FindBase(PaperImagesBaseName);
    ASSERT_EQ(images->Count(), 2);
    EXPECT_EQ(images->GetByIndex(0)->PaperName(), "B");
    EXPECT_THROW(images->GetByIndex(2), EKestrel);
    reopened->Delete(reopened->IndexOfName("B"));
    EXPECT_EQ(images->Count(), 1);
    EXPECT_EQ(reopened->GetExtra(PaperImagesBaseName, "B"), nullptr);
}

TEST_F(PaperRecords, ApplicationCatalogueCarriesUserRecordsThroughItsFiles)
{
    const QString folder = test::TestFolder();
    TPaperCatalogue service;
    auto write = [&](const QString& file, const TMatrixPaperInfo& paper, bool withRecords) {
        TPapersV2 catalogue(service.IO());
        catalogue.Create(file);
        RegisterPaperRecordBases(catalogue);
        catalogue.Store(paper);
        if (withRecords) {
            catalogue.StoreExtra(ExtraInfosBaseName, Maker(paper.PaperName(), "メーカー"));
            catalogue.StoreExtra(PaperImagesBaseName, Designs(paper.PaperName()));
        }
        catalogue.Close();
    };
    write(folder + "/system.ppr", SimplePaper("S", true), false);
    write(folder + "/user.ppr", SimplePaper("U"), true);

    service.OpenSystem(folder + "/system.ppr");
    service.MergeUser(folder + "/user.ppr");
    ExpectSameDesigns(service.Catalogue()->GetExtra(PaperImagesBaseName, "U").get(), Designs("U"));
    service.Catalogue()->Delete(service.Catalogue()->IndexOfName("S"));
    service.SaveUser(folder + "/saved.ppr");

    TPaperCatalogue saved;
    saved.OpenSystem(folder + "/saved.ppr");
    auto maker = saved.Catalogue()->GetExtra(ExtraInfosBaseName, "U");
    ASSERT_NE(maker, nullptr);
    EXPECT_EQ(static_cast<TExPaperInfo&>(*maker).Company(), "メーカー");
    ExpectSameDesigns(saved.Catalogue()->GetExtra(PaperImagesBaseName, "U").get(), Designs("U"));
}

class SheetRecords : public PaperRecords {
protected:
    void SetUp() override
    {
        PaperRecords::SetUp();
        file.OpenFile(path, ModeCreate);
        sheet = TDocStorage::Open(file, true, "Sheets\\NameList1");
    }

    QString path = test::TestFolder() + "/doc.mld";
    TFileStorage file;
    std::unique_ptr<TDocStorage> sheet;
};

TEST_F(SheetRecords, RecordsRoundTripThroughTheDocumentFile)
{
    WriteSheetPaperRecords(*sheet, Maker("P", "メーカー"), Designs("P"));
    const QByteArray frame = TDocStream::Open(*sheet, ModeRead, "PaperExtraInfo")->ReadAll();
    EXPECT_TRUE(frame.contains("PAPEREXTRAINFO"));
    file.Close();

    const test::TOleListing listing = test::ListWithOlefile(path);
    for (const char* stream : {"PaperExtraInfo", "PaperImageInfo", "PaperImages/$00000001", "PaperImages/$00000002"})
        EXPECT_TRUE(listing.streams.contains(QStringLiteral("Sheets/NameList1/") + stream)) << stream;
    EXPECT_TRUE(listing.storages.contains("Sheets/NameList1/PaperImages"));

    TFileStorage reopened(path, ModeRead);
    auto readSheet = TDocStorage::Open(reopened, false, "Sheets\\NameList1");
    TExPaperInfo extra = Maker("old", "old", 1);
    TImagePaperInfo images;
    ReadSheetPaperRecords(*readSheet, extra, images);
    EXPECT_EQ(extra.Company(), "メーカー");
    EXPECT_EQ(extra.RoundSize(), 0);
    ExpectSameDesigns(&images, Designs("P"));
}

TEST_F(SheetRecords, EmptyRecordsLeaveNoElementsAndReadAsNew)
{
    WriteSheetPaperRecords(*sheet, Maker("P", "メーカー"), Designs("P"));
    TImagePaperInfo noObjects = Designs("P");
    noObjects.ClearLists();
    noObjects.AddList(TDOList());
    WriteSheetPaperRecords(*sheet, Maker("P", ""), noObjects);
    QStringList names;
    sheet->ListStreams(names);
    sheet->ListStorages(names);
    EXPECT_TRUE(names.isEmpty()) << names.join(',').toStdString();

    TExPaperInfo extra = Maker("old", "old", 1);
    TImagePaperInfo images = Designs("old");
    ReadSheetPaperRecords(*sheet, extra, images);
    EXPECT_TRUE(extra.IsEmpty());
    EXPECT_TRUE(extra.PaperName().isEmpty());
    EXPECT_TRUE(images.Lists().empty());
    EXPECT_TRUE(images.SeparatelyDesign());
}

TEST_F(SheetRecords, DamagedListFailsAndKeepsTheRecords)
{
    WriteSheetPaperRecords(*sheet, Maker("P", "メーカー"), Designs("P"));
    TDocStream::Open(*sheet, ModeCreate, "PaperImages\\$00000002")->WriteAll(QByteArray("\x05\0\0\0TPF0", 8));
    TExPaperInfo extra = Maker("old", "old");
    TImagePaperInfo images;
    EXPECT_THROW(ReadSheetPaperRecords(*sheet, extra, images), EReadError);
    EXPECT_EQ(extra.Company(), "old");
    EXPECT_TRUE(images.Lists().empty());
}

}  // namespace
}  // namespace kestrel

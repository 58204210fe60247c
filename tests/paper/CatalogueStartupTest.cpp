// The application's catalogue through its start-up and shutdown, on real files.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "CatalogueTestSupport.h"
#include "app/DataMain.h"
#include "paper/CatalogueStartup.h"
#include "support/CfbTestSupport.h"
#include "support/DataMainTestSupport.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

using test::SimplePaper;

class CatalogueStartup : public ::testing::Test {
protected:
    std::unique_ptr<TdataMain> Make()
    {
        auto dataMain = test::MakeTestDataMain(folder_, messages_);
        TAppFrame& frame = dataMain->AppFrame();
        InstallCatalogueHooks(dataMain->Hooks(), papers_);
        systemFile_ = frame.Expand("$(SystemPaperInfo)");
        userFile_ = frame.Expand("$(UserPaperInfo)");
        return dataMain;
    }

    void WriteCatalogue(const QString& file, const std::vector<TMatrixPaperInfo>& papers)
    {
        TPapersV2 catalogue(papers_.IO());
        catalogue.Create(file);
        for (const TMatrixPaperInfo& paper : papers) catalogue.Store(paper);
        catalogue.Close();
    }

    QStringList PaperNames(const QString& file)
    {
        TPaperCatalogue service;
        service.OpenSystem(file);
        QStringList names;
        for (int i = 0; i < service.Catalogue()->Count(); ++i)
            names << service.Catalogue()->Paper(i).PaperName();
        return names;
    }

    QString folder_ = test::TestFolder();
    TPaperCatalogue papers_;
    QStringList messages_;
    QString systemFile_, userFile_;
};

TEST_F(CatalogueStartup, UserPapersAreMergedAtStartAndWrittenBackAtExit)
{
    auto dataMain = Make();
    WriteCatalogue(systemFile_, {SimplePaper("S", true)});
    QDir().mkpath(QFileInfo(userFile_).path());
    WriteCatalogue(userFile_, {SimplePaper("U"), SimplePaper("S")});
    const QByteArray systemBytes = test::ReadFileBytes(systemFile_);

    ASSERT_TRUE(dataMain->Create()) << messages_.join('\n').toStdString();
    EXPECT_NE(PurposeValidator(), nullptr);
    TPapersV2& catalogue = *papers_.Catalogue();
    QStringList merged;
    for (int i = 0; i < catalogue.Count(); ++i) merged << catalogue.Paper(i).PaperName();
    EXPECT_EQ(merged, QStringList({"S", "U", "S$"}));
    EXPECT_FALSE(catalogue.Modified());

    catalogue.Store(SimplePaper("U2"));
    dataMain.reset();
    EXPECT_EQ(PurposeValidator(), nullptr);
    EXPECT_EQ(papers_.Catalogue(), nullptr);
    EXPECT_EQ(PaperNames(userFile_), QStringList({"U", "S$", "U2"}));
    EXPECT_EQ(test::ReadFileBytes(systemFile_), systemBytes);
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(CatalogueStartup, AnUnchangedCatalogueWritesNoUserFile)
{
    auto dataMain = Make();
    WriteCatalogue(systemFile_, {SimplePaper("S", true)});
    ASSERT_TRUE(dataMain->Create());
    dataMain.reset();
    EXPECT_FALSE(QFileInfo::exists(userFile_));
}

TEST_F(CatalogueStartup, DamagedCatalogueFilesStopStartUpWithTheirNameAndStayAsTheyWere)
{
    const QByteArray damaged = QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(700, '\x33');
    {
        auto dataMain = Make();
        test::WriteFileBytes(systemFile_, damaged);
        EXPECT_FALSE(dataMain->Create());
        EXPECT_EQ(messages_,
                  QStringList({"アプリケーションに必要なファイル「kestrel.ppr」が開けませんでした"}));
    }
    messages_.clear();
    {
        auto dataMain = Make();
        WriteCatalogue(systemFile_, {SimplePaper("S", true)});
        QDir().mkpath(QFileInfo(userFile_).path());
        test::WriteFileBytes(userFile_, damaged);
        EXPECT_FALSE(dataMain->Create());
        EXPECT_EQ(messages_,
                  QStringList({"アプリケーションに必要なファイル「UserPaper.ppr」が開けませんでした"}));
    }
    EXPECT_EQ(test::ReadFileBytes(userFile_), damaged);
}

TEST_F(CatalogueStartup, AGoodStreamOfTheWrongClassIsRefusedLikeDamage)
{
    auto dataMain = Make();
    TMemoryCatalogueStorage tree;
    TPaperUpdate update;
    tree.WriteStream("Papers\\$00000001", TStreamComponentCodec().Write(update));
    TCompoundCatalogueFiles().Save(tree, systemFile_);
    EXPECT_FALSE(dataMain->Create());
    EXPECT_EQ(messages_, QStringList({"アプリケーションに必要なファイル「kestrel.ppr」が開けませんでした"}));
}

}  // namespace
}  // namespace kestrel

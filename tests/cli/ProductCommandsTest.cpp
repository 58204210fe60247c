#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "CliRun.h"
#include "paper/ProductDB.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

using test::RunCli;

const QString ProductSource = QStringLiteral(KESTREL_TEST_SOURCE_DIR "/../data/products/products.json");

TEST(ProductCommands, BuildProductsCompilesTheShippedSourceIntoALoadableDatabase)
{
    const QString out = test::TestFolder() + "/kestrel.cdb";
    const test::TCliRun run = RunCli({"build-products", ProductSource, out});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    TProductDB db(out, test::TestFolder() + "/user/kestrel.cdb");
    db.Load();
    EXPECT_EQ(db.ProductCount(), 1);
    TProductInfo record;
    db.ReadCreatorJ(record);
    EXPECT_EQ(record.Items().Count(), 11);
    EXPECT_FALSE(record.Items().Item(0).Info().join("").isEmpty());
    db.ReadProduct(0, record);
    EXPECT_EQ(record.Items().Item(0).FieldName(), "メインタイトル");
    EXPECT_FALSE(record.Items().Item(0).Info().join("").isEmpty());
}

TEST(ProductCommands, BuildProductsRefusesABadSourceWithoutWritingAFile)
{
    const QString source = test::TestFolder() + "/bad.json";
    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"products": [[1, 2]]})");
    file.close();
    const QString out = test::TestFolder() + "/out.cdb";
    const test::TCliRun run = RunCli({"build-products", source, out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith("エラー: ")) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_EQ(RunCli({"build-products", source}).exitCode, 2);
}

}  // namespace
}  // namespace kestrel

#include <gtest/gtest.h>

#include "cli/TreeCommand.h"
#include "platform/cfb/CompoundFile.h"
#include "support/TestEnvironment.h"

namespace kestrel {

namespace {
struct TRun {
    int code;
    QString out;
    QString errors;
};

TRun Tree(const QStringList& arguments)
{
    QString out, errors;
    QTextStream outStream(&out), errorStream(&errors);
    const int code = RunTreeCommand(arguments, outStream, errorStream);
    outStream.flush();
    errorStream.flush();
    return {code, out, errors};
}
}  // namespace

TEST(TreeCommand, PrintsStoragesAndStreamSizes)
{
    auto root = TCfbStorage::NewRoot();
    root->CreateStream("DataInfo")->SetData(QByteArray(120, 'x'));
    auto sheets = root->CreateStorage("Sheets");
    sheets->CreateStream("NameList")->SetData(QByteArray(5000, 'y'));
    sheets->CreateStorage(QStringLiteral("シート"))->CreateStream("Info");
    const QString path = test::TestFolder() + "/doc.mld";
    WriteCompoundFileTo(*root, path);

    const TRun run = Tree({path});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, QStringLiteral("Sheets\\\n  シート\\\n    Info  0\n  NameList  5000\nDataInfo  120\n"));
    EXPECT_TRUE(run.errors.isEmpty());
}

TEST(TreeCommand, ReportsErrorsInJapanese)
{
    const TRun missing = Tree({test::TestFolder() + "/missing.mld"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.errors.startsWith(QStringLiteral("エラー: ファイル「"))) << missing.errors.toStdString();
    EXPECT_TRUE(missing.out.isEmpty());

    const TRun usage = Tree({});
    EXPECT_EQ(usage.code, 2);
    EXPECT_TRUE(usage.errors.contains(QStringLiteral("使い方")));
}

}  // namespace kestrel

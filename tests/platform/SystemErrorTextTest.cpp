#include "platform/SystemErrorText.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <cerrno>

#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

TEST(SystemErrorText, FileFailuresAreWordedInJapanese)
{
    QFile missing(test::TestFolder() + "/none/file.txt");
    EXPECT_FALSE(missing.open(QIODevice::ReadOnly));
    EXPECT_EQ(FileErrorText(missing), "ファイルまたはフォルダがありません");

    // Qt's own wording, not an errno: the kind of failure is said instead.
    QFile unnamed;
    EXPECT_FALSE(unnamed.open(QIODevice::ReadOnly));
    EXPECT_EQ(FileErrorText(unnamed), "開けませんでした");

    EXPECT_EQ(SystemErrorText(ENOSPC), "ディスクの空き容量が足りません");
    EXPECT_EQ(SystemErrorText(EROFS), "読み取り専用のファイルシステムです");
    EXPECT_EQ(SystemErrorText(-7), "システムエラー -7");
}

TEST(SystemErrorText, JsonSyntaxErrorsSayWhereAndWhat)
{
    const auto errorOf = [](const QByteArray& text) {
        QJsonParseError error;
        QJsonDocument::fromJson(text, &error);
        return JsonSyntaxErrorText(error);
    };
    EXPECT_EQ(errorOf(R"({"a": 1)"), "JSON の構文エラー(7 バイト目: 数値の途中でデータが終わっています)");
    EXPECT_EQ(errorOf(R"({"a": 1} x)"), "JSON の構文エラー(9 バイト目: データの後に余分な文字があります)");
    EXPECT_EQ(errorOf(R"({"a" 1})"), "JSON の構文エラー(6 バイト目: 名前の後に「:」がありません)");
}

}  // namespace
}  // namespace kestrel

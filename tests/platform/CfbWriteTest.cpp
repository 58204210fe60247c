// Files we write, checked with an independent reader (olefile) and read back by our reader.

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

#include "support/CfbTestSupport.h"
#include "platform/cfb/CompoundFile.h"
#include "support/TestEnvironment.h"

namespace kestrel {

using test::ListWithOlefile;
using test::PatternBytes;
using test::Sha1Hex;

namespace {
// Expected listing of a tree, in olefile's terms.
void Collect(const TCfbStorage& storage, const QString& prefix, test::TOleListing& out)
{
    for (const auto& [key, child] : storage.Children()) {
        const QString path = prefix + child->Name();
        if (child->IsStorage()) {
            out.storages.insert(path, QString());
            Collect(static_cast<const TCfbStorage&>(*child), path + u'/', out);
        } else {
            const QByteArray& data = static_cast<const TCfbStream&>(*child).Data();
            out.streams.insert(path, {data.size(), Sha1Hex(data)});
        }
    }
}

void ExpectSameTrees(const TCfbStorage& a, const TCfbStorage& b)
{
    ASSERT_EQ(a.Children().size(), b.Children().size()) << a.PathName().toStdString();
    for (const auto& [key, child] : a.Children()) {
        auto other = b.Find(child->Name());
        ASSERT_TRUE(other) << child->PathName().toStdString();
        EXPECT_EQ(other->Name(), child->Name());
        ASSERT_EQ(other->IsStorage(), child->IsStorage());
        EXPECT_EQ(other->Clsid(), child->Clsid());
        EXPECT_EQ(other->StateBits(), child->StateBits());
        if (child->IsStorage()) {
            EXPECT_EQ(other->CreationTime(), child->CreationTime());
            EXPECT_EQ(other->ModificationTime(), child->ModificationTime());
            ExpectSameTrees(static_cast<const TCfbStorage&>(*child), static_cast<const TCfbStorage&>(*other));
        } else {
            EXPECT_EQ(static_cast<const TCfbStream&>(*other).Data(), static_cast<const TCfbStream&>(*child).Data());
        }
    }
}

void ExpectOlefileSees(const TCfbStorage& root, const QString& path)
{
    test::TOleListing expected;
    Collect(root, QString(), expected);
    const test::TOleListing listing = ListWithOlefile(path);
    EXPECT_EQ(listing.streams, expected.streams);
    EXPECT_EQ(QStringList(listing.storages.keys()), QStringList(expected.storages.keys()));
}

QString TempPath(const QString& name)
{
    return test::TestFolder() + u'/' + name;
}
}  // namespace

TEST(CfbWrite, MiniStreamBoundariesJapaneseNamesAndDeepTreesReadByOlefile)
{
    auto root = TCfbStorage::NewRoot();
    uint32_t seed = 1;
    for (qint64 size : {0, 1, 63, 64, 65, 4095, 4096, 4097, 100000})
        root->CreateStream(QStringLiteral("size%1").arg(size))->SetData(PatternBytes(size, seed++));
    auto japanese = root->CreateStorage(QStringLiteral("日本語のストレージ"));
    japanese->CreateStream(QStringLiteral("ラベル面①"))->SetData(PatternBytes(300, seed++));
    TClsid clsid{};
    for (int i = 0; i < 16; ++i)
        clsid[i] = static_cast<uint8_t>(i * 17 + 3);
    japanese->SetClsid(clsid);
    japanese->SetStateBits(0x12345678);
    // Sibling trees of many sizes, so every shape of the balanced tree occurs.
    for (int n = 1; n <= 40; ++n) {
        auto folder = root->CreateStorage(QStringLiteral("Siblings%1").arg(n));
        for (int i = 0; i < n; ++i)
            folder->CreateStream(QStringLiteral("s%1").arg(i * 7919 % 1000))->SetData(PatternBytes(i, i));
    }
    TCfbStorage* deep = root.get();
    for (int level = 0; level < 60; ++level)
        deep = deep->CreateStorage(QStringLiteral("Level%1").arg(level)).get();
    deep->CreateStream(QStringLiteral("Bottom"))->SetData("at the bottom");

    const QString path = TempPath("boundaries.cfb");
    WriteCompoundFileTo(*root, path);
    ExpectOlefileSees(*root, path);
    const test::TOleListing listing = ListWithOlefile(path);
    EXPECT_EQ(listing.storages.value(QStringLiteral("日本語のストレージ")), QStringLiteral("36251403-5847-7A69-8B9C-ADBECFE0F102"));

    auto reread = ReadCompoundFileFrom(path);
    ExpectSameTrees(*root, *reread);
    EXPECT_EQ(WriteCompoundFile(*reread), WriteCompoundFile(*root)) << "writing is deterministic";
}

TEST(CfbWrite, FileNeedingDifatSectorsReadByOlefile)
{
    // More than 109 FAT sectors: 109 * 128 sectors of 512 bytes is about 7 MB.
    auto root = TCfbStorage::NewRoot();
    root->CreateStream(QStringLiteral("Large"))->SetData(PatternBytes(7600000, 7));
    root->CreateStream(QStringLiteral("Small"))->SetData(PatternBytes(10, 8));
    const QString path = TempPath("difat.cfb");
    WriteCompoundFileTo(*root, path);

    const test::TOleListing listing = ListWithOlefile(path);
    EXPECT_GT(listing.fatSectors, 109);
    EXPECT_GE(listing.difatSectors, 1);
    ExpectOlefileSees(*root, path);
    ExpectSameTrees(*root, *ReadCompoundFileFrom(path));
}

TEST(CfbWrite, BufferAndFileGiveTheSameBytes)
{
    auto root = TCfbStorage::NewRoot();
    root->CreateStorage("A")->CreateStream("B")->SetData(PatternBytes(5000, 3));
    const QString path = TempPath("same.cfb");
    WriteCompoundFileTo(*root, path);
    const QByteArray bytes = WriteCompoundFile(*root);
    EXPECT_EQ(test::ReadFileBytes(path), bytes);
    EXPECT_EQ(bytes.size() % 512, 0);
    ExpectSameTrees(*root, *ReadCompoundFile(bytes, "memory"));
}

TEST(CfbWrite, ReplacesTheTargetByRenameAndLeavesNoTemporaryFile)
{
    const QString path = TempPath("target.cfb");
    const QString link = TempPath("old-link.cfb");
    auto first = TCfbStorage::NewRoot();
    first->CreateStream("Old")->SetData("old");
    WriteCompoundFileTo(*first, path);
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()), 0);

    auto second = TCfbStorage::NewRoot();
    second->CreateStream("New")->SetData("new");
    WriteCompoundFileTo(*second, path);

    // A hard link to the old file still sees the old content: the target was replaced, not rewritten.
    EXPECT_TRUE(ReadCompoundFileFrom(link)->FindStream("Old"));
    EXPECT_TRUE(ReadCompoundFileFrom(path)->FindStream("New"));
    EXPECT_EQ(QDir(test::TestFolder()).entryList(QDir::Files).size(), 2);
}

TEST(CfbWrite, WritingIntoAMissingFolderFailsWithAStorageError)
{
    const QString folder = TempPath("missing-folder");
    auto root = TCfbStorage::NewRoot();
    try {
        WriteCompoundFileTo(*root, folder + "/x.cfb");
        FAIL() << "writing into a missing folder succeeded";
    } catch (const EStorageError& e) {
        EXPECT_EQ(e.Code(), TStorageErrorCode::WriteFault);
        EXPECT_TRUE(e.Message().contains(QStringLiteral("書き込めません")));
    }
    EXPECT_FALSE(QFile::exists(folder));
}

}  // namespace kestrel

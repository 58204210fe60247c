// The in-memory tree: names, element operations and handles that outlive their elements.

#include <gtest/gtest.h>

#include "support/CfbTestSupport.h"

#include "platform/cfb/CompoundFile.h"

namespace kestrel {

TEST(CfbTree, NamesAreCheckedAndCompareCaseInsensitively)
{
    auto root = TCfbStorage::NewRoot();
    root->CreateStream("Stream");
    EXPECT_TRUE(root->FindStream("STREAM"));
    EXPECT_TRUE(root->Find(QStringLiteral("ｓｔｒｅａｍ")) == nullptr) << "full-width letters are other letters";
    root->CreateStream(QStringLiteral("ａｂｃ"));
    EXPECT_TRUE(root->Find(QStringLiteral("ＡＢＣ"))) << "upper-casing covers non-ASCII letters";
    EXPECT_EQ(test::StorageErrorCodeOf([&] { root->CreateStream("stream"); }), TStorageErrorCode::FileAlreadyExists);
    EXPECT_EQ(test::StorageErrorCodeOf([&] { root->CreateStorage(QString(32, u'x')); }), TStorageErrorCode::InvalidName);
    EXPECT_NO_THROW(root->CreateStorage(QString(31, u'x')));
    for (const char* bad : {"a\\b", "a/b", "a:b", "a!b", ""})
        EXPECT_EQ(test::StorageErrorCodeOf([&] { root->CreateStream(bad); }), TStorageErrorCode::InvalidName) << bad;

    // Order: shorter names first, then by upper-case form.
    root->CreateStream("b");
    root->CreateStream("A");
    QStringList order;
    for (const auto& entry : root->Children())
        order << entry.second->Name();
    EXPECT_EQ(order, QStringList({"A", "b", QStringLiteral("ａｂｃ"), "Stream", QString(31, u'x')}));
}

TEST(CfbTree, CreateReplaceRemoveRenameMoveAndCopy)
{
    auto root = TCfbStorage::NewRoot();
    auto a = root->CreateStorage("A");
    a->CreateStream("One")->SetData("1");
    a->CreateStorage("Inner")->CreateStream("Two")->SetData("2");

    auto replaced = a->CreateStream("One", true);
    EXPECT_EQ(replaced->Size(), 0);

    a->Rename("One", "Uno");
    EXPECT_FALSE(a->Find("One"));
    EXPECT_TRUE(a->FindStream("uno"));
    a->Rename("Uno", "UNO");
    EXPECT_EQ(a->Find("uno")->Name(), "UNO") << "renaming may change only the case";

    auto b = root->CreateStorage("B");
    a->MoveElement("Inner", *b, "Moved");
    EXPECT_FALSE(a->Find("Inner"));
    EXPECT_EQ(b->FindStorage("Moved")->FindStream("Two")->Data(), "2");
    EXPECT_EQ(test::StorageErrorCodeOf([&] { root->MoveElement("B", *b->FindStorage("Moved"), "Loop"); }), TStorageErrorCode::InvalidParameter);
    EXPECT_EQ(test::StorageErrorCodeOf([&] { a->MoveElement("Missing", *b, "X"); }), TStorageErrorCode::PathNotFound);
    b->CreateStream("Taken");
    EXPECT_EQ(test::StorageErrorCodeOf([&] { a->MoveElement("UNO", *b, "taken"); }), TStorageErrorCode::FileAlreadyExists);

    // Copy merges storages and replaces streams; the source stays as it was.
    auto c = root->CreateStorage("C");
    c->CreateStream("Taken")->SetData("old");
    c->CreateStorage("Moved")->CreateStream("Kept")->SetData("kept");
    b->FindStream("Taken")->SetData("new");
    b->CopyContentsTo(*c);
    EXPECT_EQ(c->FindStream("Taken")->Data(), "new");
    EXPECT_EQ(c->FindStorage("Moved")->FindStream("Kept")->Data(), "kept");
    EXPECT_EQ(c->FindStorage("Moved")->FindStream("Two")->Data(), "2");
    c->FindStorage("Moved")->FindStream("Two")->SetData("changed");
    EXPECT_EQ(b->FindStorage("Moved")->FindStream("Two")->Data(), "2");
    EXPECT_EQ(test::StorageErrorCodeOf([&] { root->CopyContentsTo(*c); }), TStorageErrorCode::InvalidParameter);

    EXPECT_TRUE(root->Remove("b"));
    EXPECT_FALSE(root->Remove("B"));
}

TEST(CfbTree, HandlesOfRemovedOrReleasedElementsFailInsteadOfCrashing)
{
    auto root = TCfbStorage::NewRoot();
    auto storage = root->CreateStorage("S");
    auto stream = storage->CreateStream("Data");
    stream->SetData("abc");
    root->Remove("S");
    EXPECT_EQ(test::StorageErrorCodeOf([&] { stream->WriteAt(0, "x", 1); }), TStorageErrorCode::Reverted);
    EXPECT_EQ(test::StorageErrorCodeOf([&] { storage->CreateStream("New"); }), TStorageErrorCode::Reverted);
    EXPECT_EQ(stream->Data(), "abc") << "a failed change changes nothing";

    auto other = TCfbStorage::NewRoot();
    auto kept = other->CreateStorage("X")->CreateStream("Y");
    other.reset();
    EXPECT_FALSE(kept->IsAttached());
    EXPECT_EQ(test::StorageErrorCodeOf([&] { kept->Resize(10); }), TStorageErrorCode::Reverted);
}

TEST(CfbTree, StreamsReadAndWriteAtPositionsAndEveryChangeRaisesTheRevision)
{
    auto root = TCfbStorage::NewRoot();
    auto stream = root->CreateStorage("S")->CreateStream("D");
    uint64_t revision = root->Revision();
    stream->WriteAt(4, "xy", 2);
    EXPECT_EQ(stream->Data(), QByteArray("\0\0\0\0xy", 6)) << "a gap before the write is zero";
    EXPECT_GT(root->Revision(), revision);
    char buffer[8] = {};
    EXPECT_EQ(stream->ReadAt(5, buffer, 8), 1);
    EXPECT_EQ(buffer[0], 'y');
    EXPECT_EQ(stream->ReadAt(6, buffer, 8), 0);
    stream->Resize(2);
    EXPECT_EQ(stream->Size(), 2);
    EXPECT_EQ(test::StorageErrorCodeOf([&] { stream->Resize(-1); }), TStorageErrorCode::InvalidParameter);
    EXPECT_EQ(test::StorageErrorCodeOf([&] { stream->WriteAt(0x7FFFFFFF, "x", 1); }), TStorageErrorCode::DocFileTooLarge);

    revision = root->Revision();
    root->FindStorage("S")->SetStateBits(3);
    EXPECT_GT(root->Revision(), revision);
    EXPECT_NE(root->FindStorage("S")->ModificationTime(), 0u);
}

TEST(CfbTree, StorageNestingIsCapped)
{
    auto root = TCfbStorage::NewRoot();
    TCfbStorage* s = root.get();
    for (int i = 0; i < MaxStorageDepth; ++i)
        s = s->CreateStorage("L").get();
    EXPECT_EQ(test::StorageErrorCodeOf([&] { s->CreateStorage("L"); }), TStorageErrorCode::DocFileTooLarge);
    // Within the cap the tree survives a write and read.
    auto reread = ReadCompoundFile(WriteCompoundFile(*root), "deep");
    int depth = 0;
    for (auto t = reread; (t = t->FindStorage("L")); ++depth) {
    }
    EXPECT_EQ(depth, MaxStorageDepth);
}

TEST(CfbTree, FileTimesConvert)
{
    const QDateTime when(QDate(2024, 2, 29), QTime(12, 34, 56, 789), Qt::UTC);
    EXPECT_EQ(DateTimeToFileTime(when), 133536836967890000ull);
    EXPECT_EQ(FileTimeToDateTime(133536836967890000ull), when);
    EXPECT_FALSE(FileTimeToDateTime(0).isValid());
}

}  // namespace kestrel

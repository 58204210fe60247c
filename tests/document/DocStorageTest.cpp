#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "support/CfbTestSupport.h"

#include "app/ExceptionReport.h"
#include "document/storage/DocPath.h"
#include "document/storage/DocStorage.h"
#include "document/storage/DocStream.h"
#include "platform/cfb/CompoundFile.h"
#include "support/TestEnvironment.h"

namespace kestrel {

namespace {
QString FilePath(const QString& name)
{
    return test::TestFolder() + u'/' + name;
}


void WriteStream(TDocStorage& storage, const QString& path, const QByteArray& data)
{
    TDocStream::Open(storage, ModeCreate, path)->WriteAll(data);
}

QByteArray ReadStream(TDocStorage& storage, const QString& path)
{
    return TDocStream::Open(storage, ModeRead | ShareExclusive, path)->ReadAll();
}
}  // namespace

TEST(DocPath, ResolvesAgainstABasePath)
{
    EXPECT_EQ(ResolveElementPath("Sheets\\NameList0", "..\\Info"), "Sheets\\Info");
    EXPECT_EQ(ResolveElementPath("Sheets", "NameList0\\.\\Info\\"), "Sheets\\NameList0\\Info");
    EXPECT_EQ(ResolveElementPath("Sheets\\NameList0", "\\DataInfo"), "DataInfo");
    EXPECT_EQ(ResolveElementPath("", ""), "");
    try {
        ResolveElementPath("", "..\\Info");
        FAIL();
    } catch (const EStorageError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("パスの「..」がルートより上を指しています"));
    }
    EXPECT_EQ(ParentElementPath("Sheets\\NameList"), "Sheets");
    EXPECT_EQ(LastElementName("Sheets\\NameList"), "NameList");
    EXPECT_EQ(LastElementName("DataInfo"), "DataInfo");
}

TEST(DocStorage, ElementsThroughPathsAndBackFromTheFile)
{
    const QString path = FilePath("doc.mld");
    {
        TFileStorage root(path, ModeCreate);
        WriteStream(root, "DataInfo", "info");
        auto sheet = TDocStorage::Open(root, true, "Sheets\\Sheet0");
        EXPECT_EQ(sheet->Path(), "Sheets\\Sheet0");
        WriteStream(*sheet, "Info", "sheet info");
        WriteStream(*sheet, "..\\NameList", "list");
        TDocStorage::Open(*sheet, true, "Faces");
        EXPECT_FALSE(QFile::exists(path)) << "nothing is written before the commit";
        root.Commit();
        EXPECT_TRUE(QFile::exists(path));
    }
    TFileStorage root(path, ModeRead | ShareExclusive);
    EXPECT_TRUE(root.StreamExists("dataINFO"));
    EXPECT_FALSE(root.StorageExists("DataInfo"));
    EXPECT_TRUE(root.StorageExists("Sheets\\Sheet0\\Faces"));
    EXPECT_FALSE(root.StreamExists("Sheets\\Missing\\Info"));
    EXPECT_EQ(ReadStream(root, "Sheets\\Sheet0\\Info"), "sheet info");
    auto sheets = TDocStorage::Open(root, false, "Sheets");
    QStringList storages, streams;
    sheets->ListStorages(storages);
    sheets->ListStreams(streams);
    EXPECT_EQ(storages, QStringList{"Sheet0"});
    EXPECT_EQ(streams, QStringList{"NameList"});
    EXPECT_EQ(test::StorageErrorCodeOf([&] { TDocStorage::Open(root, false, "Nowhere"); }), TStorageErrorCode::PathNotFound);
}

TEST(DocStorage, ReadOnlyRootsRefuseEveryChange)
{
    const QString path = FilePath("ro.mld");
    {
        TFileStorage root(path, ModeCreate);
        WriteStream(root, "S", "data");
    }
    TFileStorage root(path, ModeRead | ShareDenyWrite);
    EXPECT_EQ(test::StorageErrorCodeOf([&] { TDocStream::Open(root, ModeCreate, "New"); }), TStorageErrorCode::AccessDenied);
    EXPECT_EQ(test::StorageErrorCodeOf([&] { TDocStream::Open(root, ModeReadWrite, "S"); }), TStorageErrorCode::AccessDenied);
    EXPECT_EQ(test::StorageErrorCodeOf([&] { TDocStorage::Open(root, true, "New"); }), TStorageErrorCode::AccessDenied);
    EXPECT_EQ(test::StorageErrorCodeOf([&] { root.DeleteElement("S"); }), TStorageErrorCode::AccessDenied);
    EXPECT_FALSE(root.DeleteElement("Missing"));
    auto stream = TDocStream::Open(root, ModeRead, "S");
    EXPECT_EQ(test::StorageErrorCodeOf([&] { stream->Write("x", 1); }), TStorageErrorCode::AccessDenied);
    EXPECT_FALSE(root.StreamExists("New"));
}

TEST(DocStorage, OpeningAMissingFileFails)
{
    TFileStorage root;
    EXPECT_EQ(test::StorageErrorCodeOf([&] { root.OpenFile(FilePath("missing.mld"), ModeRead); }), TStorageErrorCode::FileNotFound);
    EXPECT_FALSE(QFile::exists(FilePath("missing.mld")));
    QFile text(FilePath("text.mld"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a compound file");
    text.close();
    EXPECT_EQ(test::StorageErrorCodeOf([&] { root.OpenFile(FilePath("text.mld"), ModeRead); }), TStorageErrorCode::InvalidHeader);
}

TEST(DocStorage, DeleteMoveAndCopy)
{
    TFileStorage root(FilePath("ops.mld"), ModeCreate);
    WriteStream(root, "A\\One", "1");
    WriteStream(root, "A\\Inner\\Two", "2");
    EXPECT_TRUE(root.DeleteElement("A\\One"));
    EXPECT_FALSE(root.DeleteElement("A\\One"));
    EXPECT_FALSE(root.DeleteElement("Nowhere\\One"));

    TDocStorage::Open(root, true, "B");
    root.MoveElement("A\\Inner", "B\\Moved");
    EXPECT_EQ(ReadStream(root, "B\\Moved\\Two"), "2");
    EXPECT_FALSE(root.StorageExists("A\\Inner"));
    EXPECT_EQ(test::StorageErrorCodeOf([&] { root.MoveElement("B\\Moved", "Nowhere\\X"); }), TStorageErrorCode::PathNotFound);

    auto b = TDocStorage::Open(root, false, "B");
    auto c = TDocStorage::Open(root, true, "C");
    b->CopyTo(*c);
    EXPECT_EQ(ReadStream(root, "C\\Moved\\Two"), "2");
    EXPECT_TRUE(root.DeleteElement("B"));
    QStringList names;
    EXPECT_EQ(test::StorageErrorCodeOf([&] { b->ListStreams(names); }), TStorageErrorCode::Reverted)
        << "a deleted storage that is still open fails instead of crashing";
}

TEST(DocStream, ReadWriteSeekAndSize)
{
    TFileStorage root(FilePath("stream.mld"), ModeCreate);
    auto stream = TDocStream::Open(root, ModeCreate, "Deep\\Er\\Data");
    EXPECT_TRUE(root.StorageExists("Deep\\Er")) << "create mode creates the parents";
    stream->Write("hello", 5);
    EXPECT_EQ(stream->Position(), 5);
    EXPECT_EQ(stream->Seek(-2, TSeekOrigin::End), 3);
    char buffer[8] = {};
    EXPECT_EQ(stream->Read(buffer, 8), 2);
    EXPECT_EQ(QByteArray(buffer, 2), "lo");
    EXPECT_EQ(stream->Seek(10, TSeekOrigin::Begin), 10);
    stream->Write("!", 1);
    EXPECT_EQ(stream->Size(), 11);
    EXPECT_EQ(stream->ReadAll(), QByteArray("hello\0\0\0\0\0!", 11));
    EXPECT_EQ(test::StorageErrorCodeOf([&] { stream->Seek(-1, TSeekOrigin::Begin); }), TStorageErrorCode::SeekError);
    EXPECT_EQ(test::StorageErrorCodeOf([&] { stream->Seek(0x7FFFFFFF, TSeekOrigin::Current); }), TStorageErrorCode::SeekError);
    stream->SetSize(2);
    EXPECT_EQ(stream->ReadAll(), "he");

    auto replaced = TDocStream::Open(root, ModeCreate, "Deep\\Er\\Data");
    EXPECT_EQ(replaced->Size(), 0) << "create mode replaces the stream";
    EXPECT_EQ(test::StorageErrorCodeOf([&] { stream->Size(); }), TStorageErrorCode::Reverted);
    EXPECT_EQ(test::StorageErrorCodeOf([&] { TDocStream::Open(root, ModeRead, "Deep\\Missing"); }), TStorageErrorCode::PathNotFound);
    EXPECT_EQ(test::StorageErrorCodeOf([&] { TDocStream::Open(root, ModeCreate, "Deep"); }), TStorageErrorCode::FileAlreadyExists);
    auto writeOnly = TDocStream::Open(root, ModeWrite, "Deep\\Er\\Data");
    EXPECT_EQ(test::StorageErrorCodeOf([&] { writeOnly->ReadAll(); }), TStorageErrorCode::AccessDenied);
}

TEST(DocStorage, ChangeDetectionSeesChangesAnywhereInTheFile)
{
    TFileStorage root(FilePath("changes.mld"), ModeCreate);
    WriteStream(root, "A\\B\\C", "x");
    root.Commit();
    root.RememberState();
    EXPECT_FALSE(root.IsModified());
    ReadStream(root, "A\\B\\C");
    EXPECT_FALSE(root.IsModified()) << "reading changes nothing";
    TDocStream::Open(root, ModeReadWrite, "A\\B\\C")->Write("y", 1);
    EXPECT_TRUE(root.IsModified());
    root.RememberState();
    root.DeleteElement("A\\B");
    EXPECT_TRUE(root.IsModified());
    root.ForgetState();
    EXPECT_TRUE(root.IsModified());

    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
    const QDateTime written = root.LastWriteTime();
    EXPECT_GE(written, before);
    EXPECT_FALSE(ReadCompoundFileFrom(FilePath("changes.mld"))->FindStorage("A")->FindStorage("B"))
        << "LastWriteTime commits";
}

TEST(DocStorage, ReleasingAFileRootCommitsAndReportsFailures)
{
    const QString path = FilePath("release.mld");
    {
        TFileStorage root(path, ModeCreate);
        WriteStream(root, "Kept", "kept");
    }
    EXPECT_EQ(ReadStream(*std::make_unique<TFileStorage>(path, ModeRead), "Kept"), "kept");

    QStringList reported;
    auto previous = SetExceptionHandler([&](const std::exception& e) { reported << QString::fromUtf8(e.what()); });
    {
        TFileStorage root(FilePath("no-such-folder/x.mld"), ModeCreate);
    }
    SetExceptionHandler(previous);
    ASSERT_EQ(reported.size(), 1);
    EXPECT_TRUE(reported[0].contains(QStringLiteral("書き込めません")));
}

TEST(DocStorage, StoragesAndStreamsOutlivingTheirRootFailCleanly)
{
    std::unique_ptr<TDocStorage> storage;
    std::unique_ptr<TDocStream> stream;
    {
        TFileStorage root(FilePath("outlive.mld"), ModeCreate);
        storage = TDocStorage::Open(root, true, "S");
        stream = TDocStream::Open(root, ModeCreate, "S\\D");
    }
    EXPECT_EQ(test::StorageErrorCodeOf([&] { storage->StreamExists("D"); }), TStorageErrorCode::Reverted);
    EXPECT_EQ(test::StorageErrorCodeOf([&] { stream->Write("x", 1); }), TStorageErrorCode::Reverted);
}

TEST(TemporaryStorage, LivesInAnMtfFileThatDisappearsOnRelease)
{
    QString name;
    {
        TTemporaryStorage temp;
        name = temp.FileName();
        EXPECT_TRUE(QFileInfo(name).fileName().startsWith("mtf"));
        EXPECT_EQ(QFileInfo(name).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
        EXPECT_TRUE(QFile::exists(name));
        WriteStream(temp, "S", "working");
        temp.Commit();
        EXPECT_EQ(ReadCompoundFileFrom(name)->FindStream("S")->Data(), "working");
    }
    EXPECT_FALSE(QFile::exists(name));
}

TEST(TemporaryStorage, LoadFromAndSaveToReplaceWholeContents)
{
    const QString path = FilePath("saved.mld");
    {
        TFileStorage old(path, ModeCreate);
        WriteStream(old, "OldOnly", "old");
        WriteStream(old, "Shared", "old");
    }
    TTemporaryStorage temp;
    WriteStream(temp, "Shared", "new");
    WriteStream(temp, "Sheets\\NewOnly", "new");
    temp.SaveTo(path);
    EXPECT_FALSE(temp.IsModified());
    auto saved = ReadCompoundFileFrom(path);
    EXPECT_FALSE(saved->Find("OldOnly")) << "saving replaces the file's whole content";
    EXPECT_EQ(saved->FindStream("Shared")->Data(), "new");

    auto before = TDocStorage::Open(temp, false, "Sheets");
    TTemporaryStorage other;
    other.LoadFrom(path);
    EXPECT_FALSE(other.IsModified());
    EXPECT_EQ(ReadStream(other, "Sheets\\NewOnly"), "new");
    temp.LoadFrom(path);
    EXPECT_EQ(test::StorageErrorCodeOf([&] { before->StreamExists("NewOnly"); }), TStorageErrorCode::Reverted)
        << "storages of the replaced content stop working";
    EXPECT_EQ(test::StorageErrorCodeOf([&] { temp.LoadFrom(FilePath("missing.mld")); }), TStorageErrorCode::FileNotFound);
}

}  // namespace kestrel

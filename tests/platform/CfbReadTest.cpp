// Files from independent writers, and damaged files.

#include <QDir>
#include <QFile>
#include <cstring>
#include <gtest/gtest.h>

#include "support/CfbTestSupport.h"
#include "platform/cfb/CompoundFile.h"
#include "support/TestEnvironment.h"

namespace kestrel {

using test::PatternBytes;

namespace {
void PutU16(QByteArray& b, qsizetype at, uint16_t v) { std::memcpy(b.data() + at, &v, 2); }
void PutU32(QByteArray& b, qsizetype at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }
uint32_t GetU32(const QByteArray& b, qsizetype at)
{
    uint32_t v;
    std::memcpy(&v, b.constData() + at, 4);
    return v;
}

constexpr uint32_t End = 0xFFFFFFFE;
constexpr uint32_t Free = 0xFFFFFFFF;

QByteArray StreamData(const TCfbStorage& root, const QStringList& path)
{
    const TCfbStorage* storage = &root;
    for (qsizetype i = 0; i + 1 < path.size(); ++i) {
        auto next = storage->FindStorage(path[i]);
        EXPECT_TRUE(next) << path[i].toStdString();
        if (!next)
            return {};
        storage = next.get();
    }
    auto stream = storage->FindStream(path.last());
    EXPECT_TRUE(stream) << path.last().toStdString();
    return stream ? stream->Data() : QByteArray();
}

// A version-4 file (4096-byte sectors) built by hand from the published layout:
// sector 0 FAT, 1 directory, 2 mini FAT, 3 mini stream, 4-6 the large stream.
QByteArray HandBuiltVersion4(const QByteArray& small, const QByteArray& large)
{
    const int ss = 4096;
    QByteArray file(ss * 8, '\0');
    const uchar signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(file.data(), signature, 8);
    PutU16(file, 0x18, 0x3E);
    PutU16(file, 0x1A, 4);
    PutU16(file, 0x1C, 0xFFFE);
    PutU16(file, 0x1E, 12);
    PutU16(file, 0x20, 6);
    PutU32(file, 0x28, 1);  // directory sectors
    PutU32(file, 0x2C, 1);  // FAT sectors
    PutU32(file, 0x30, 1);  // first directory sector
    PutU32(file, 0x38, 4096);
    PutU32(file, 0x3C, 2);
    PutU32(file, 0x40, 1);
    PutU32(file, 0x44, End);
    for (int i = 0; i < 109; ++i)
        PutU32(file, 0x4C + 4 * i, i == 0 ? 0 : Free);
    auto sector = [&](int s) { return qsizetype(s + 1) * ss; };
    const uint32_t fat[] = {0xFFFFFFFD, End, End, End, 5, 6, End};
    for (int i = 0; i < ss / 4; ++i)
        PutU32(file, sector(0) + 4 * i, i < 7 ? fat[i] : Free);
    for (int i = 0; i < ss / 4; ++i)
        PutU32(file, sector(2) + 4 * i, i == 0 ? 1 : i == 1 ? End : Free);
    std::memcpy(file.data() + sector(3), small.constData(), small.size());
    std::memcpy(file.data() + sector(4), large.constData(), large.size());
    auto entry = [&](int index, const QString& name, uint8_t type, uint32_t left, uint32_t right, uint32_t child,
                     uint32_t start, uint64_t size) {
        const qsizetype at = sector(1) + index * 128;
        std::memcpy(file.data() + at, name.utf16(), name.size() * 2);
        PutU16(file, at + 0x40, (name.size() + 1) * 2);
        file[at + 0x42] = static_cast<char>(type);
        file[at + 0x43] = 1;
        PutU32(file, at + 0x44, left);
        PutU32(file, at + 0x48, right);
        PutU32(file, at + 0x4C, child);
        PutU32(file, at + 0x74, start);
        std::memcpy(file.data() + at + 0x78, &size, 8);
    };
    for (int i = 0; i < 32; ++i)
        entry(i, QString(), 0, Free, Free, Free, 0, 0);
    entry(0, "Root Entry", 5, Free, Free, 1, 3, 128);
    entry(1, "Small", 2, Free, 2, Free, 0, small.size());
    entry(2, "Folder", 1, Free, Free, 3, 0, 0);
    entry(3, "Large", 2, Free, Free, Free, 4, large.size());
    return file;
}

void ExpectStorageError(const QByteArray& bytes, TStorageErrorCode code, const char* what)
{
    try {
        ReadCompoundFile(bytes, "damaged.mld");
        ADD_FAILURE() << what << ": damaged file was read";
    } catch (const EStorageError& e) {
        EXPECT_EQ(e.Code(), code) << what << ": " << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains("damaged.mld")) << what;
    }
}

// A small file of our own with a storage S holding "Big" (10 sectors) and "Small" (mini stream).
struct TDamageBase {
    QByteArray bytes;
    uint32_t firstDir = 0;
    qsizetype EntryAt(const QString& name) const
    {
        for (qsizetype at = (firstDir + 1) * 512; at + 128 <= bytes.size(); at += 128)
            if (QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + at), name.size()) == name
                && bytes[at + 0x42] != 0)
                return at;
        ADD_FAILURE() << "no entry " << name.toStdString();
        return 0;
    }
    uint32_t IndexOf(const QString& name) const { return (EntryAt(name) - (firstDir + 1) * 512) / 128; }
};

TDamageBase MakeDamageBase()
{
    auto root = TCfbStorage::NewRoot();
    auto s = root->CreateStorage("S");
    s->CreateStream("Big")->SetData(PatternBytes(5000, 1));
    s->CreateStream("Small")->SetData(PatternBytes(100, 2));
    TDamageBase base{WriteCompoundFile(*root)};
    base.firstDir = GetU32(base.bytes, 0x30);
    return base;
}
}  // namespace

TEST(CfbRead, FilesWrittenByGsf)
{
    const QString in = test::TestFolder() + "/gsf-in";
    QDir().mkpath(in + "/フォルダ/深い");
    const QByteArray tiny = PatternBytes(100, 1), medium = PatternBytes(5000, 2), large = PatternBytes(70000, 3),
                     deep = PatternBytes(4096, 4);
    test::WriteFileBytes(in + "/tiny", tiny);
    test::WriteFileBytes(in + "/フォルダ/中くらい", medium);
    test::WriteFileBytes(in + "/フォルダ/large", large);
    test::WriteFileBytes(in + "/フォルダ/深い/deep", deep);
    const QString out = test::TestFolder() + "/gsf.ole";
    test::RunProgram("gsf", {"createole", out, in + "/tiny", in + "/フォルダ"});

    auto root = ReadCompoundFileFrom(out);
    EXPECT_EQ(StreamData(*root, {"tiny"}), tiny);
    EXPECT_EQ(StreamData(*root, {"フォルダ", "中くらい"}), medium);
    EXPECT_EQ(StreamData(*root, {"フォルダ", "large"}), large);
    EXPECT_EQ(StreamData(*root, {"フォルダ", "深い", "deep"}), deep);
    EXPECT_TRUE(root->FindStream("TINY")) << "names compare case-insensitively";
}

TEST(CfbRead, LargeFileWrittenByGsfUsesDifatSectors)
{
    const QString in = test::TestFolder() + "/big";
    const QByteArray data = PatternBytes(7400000, 9);
    test::WriteFileBytes(in, data);
    const QString out = test::TestFolder() + "/big.ole";
    test::RunProgram("gsf", {"createole", out, in});
    const QByteArray bytes = test::ReadFileBytes(out);
    ASSERT_GT(GetU32(bytes, 0x2C), 109u) << "gsf did not need DIFAT sectors";
    ASSERT_NE(GetU32(bytes, 0x44), End);
    EXPECT_EQ(StreamData(*ReadCompoundFile(bytes, "big.ole"), {"big"}), data);
}

TEST(CfbRead, Version4FileWith4096ByteSectors)
{
    const QByteArray small = PatternBytes(100, 5), large = PatternBytes(10000, 6);
    auto root = ReadCompoundFile(HandBuiltVersion4(small, large), "v4");
    EXPECT_EQ(StreamData(*root, {"Small"}), small);
    EXPECT_EQ(StreamData(*root, {"Folder", "Large"}), large);
    // Written back as version 3 with the same content.
    auto again = ReadCompoundFile(WriteCompoundFile(*root), "v3");
    EXPECT_EQ(StreamData(*again, {"Folder", "Large"}), large);
}

TEST(CfbRead, DamagedFilesFailWithAStorageError)
{
    const TDamageBase base = MakeDamageBase();
    ASSERT_EQ(StreamData(*ReadCompoundFile(base.bytes, "ok"), {"S", "Big"}), PatternBytes(5000, 1));
    const qsizetype big = base.EntryAt("Big");
    const uint32_t bigStart = GetU32(base.bytes, big + 0x74);
    const qsizetype fat = (GetU32(base.bytes, 0x4C) + 1) * 512;

    QByteArray loop = base.bytes;
    PutU32(loop, fat + 4 * (bigStart + 1), bigStart);
    ExpectStorageError(loop, TStorageErrorCode::DocFileCorrupt, "loop in a stream chain");

    QByteArray dirLoop = base.bytes;
    PutU32(dirLoop, fat + 4 * base.firstDir, base.firstDir);
    ExpectStorageError(dirLoop, TStorageErrorCode::DocFileCorrupt, "loop in the directory chain");

    QByteArray outOfRange = base.bytes;
    PutU32(outOfRange, big + 0x74, 0x00FFFFFF);
    ExpectStorageError(outOfRange, TStorageErrorCode::DocFileCorrupt, "start sector out of range");

    QByteArray freeInChain = base.bytes;
    PutU32(freeInChain, fat + 4 * bigStart, Free);
    ExpectStorageError(freeInChain, TStorageErrorCode::DocFileCorrupt, "free sector inside a chain");

    QByteArray oversized = base.bytes;
    PutU32(oversized, big + 0x78, 0x7FFFFFF0);
    ExpectStorageError(oversized, TStorageErrorCode::DocFileCorrupt, "stream larger than the file");

    QByteArray oversizedMini = base.bytes;
    PutU32(oversizedMini, base.EntryAt("Small") + 0x78, 4000);
    ExpectStorageError(oversizedMini, TStorageErrorCode::DocFileCorrupt, "mini stream larger than the mini stream");

    QByteArray cycle = base.bytes;
    PutU32(cycle, big + 0x44, base.IndexOf("S"));
    PutU32(cycle, big + 0x48, base.IndexOf("S"));
    ExpectStorageError(cycle, TStorageErrorCode::DocFileCorrupt, "directory cycle");

    QByteArray selfChild = base.bytes;
    PutU32(selfChild, base.EntryAt("S") + 0x4C, base.IndexOf("S"));
    ExpectStorageError(selfChild, TStorageErrorCode::DocFileCorrupt, "storage containing itself");

    QByteArray badLink = base.bytes;
    PutU32(badLink, big + 0x44, 5000);
    ExpectStorageError(badLink, TStorageErrorCode::DocFileCorrupt, "sibling link out of range");

    QByteArray difatLoop = base.bytes;
    PutU32(difatLoop, 0x2C, 110);
    ExpectStorageError(difatLoop, TStorageErrorCode::DocFileCorrupt, "more FAT sectors than the file holds");

    ExpectStorageError(base.bytes.first(base.bytes.size() - 600), TStorageErrorCode::DocFileCorrupt, "truncated file");
    ExpectStorageError(base.bytes.first(100), TStorageErrorCode::InvalidHeader, "truncated header");
    ExpectStorageError(QByteArray(2048, 'x'), TStorageErrorCode::InvalidHeader, "not a compound file");
}

TEST(CfbRead, LoopInTheDifatChainIsDetected)
{
    auto root = TCfbStorage::NewRoot();
    root->CreateStream("Large")->SetData(PatternBytes(7600000, 7));
    QByteArray bytes = WriteCompoundFile(*root);
    const uint32_t fatSectors = GetU32(bytes, 0x2C);
    const uint32_t firstDifat = GetU32(bytes, 0x44);
    ASSERT_GT(fatSectors, 109u);
    ASSERT_EQ(GetU32(bytes, 0x48), 1u);
    // Claim a second DIFAT sector and make the first link to itself.
    PutU32(bytes, 0x2C, fatSectors + 127);
    PutU32(bytes, (firstDifat + 1) * 512 + 127 * 4, firstDifat);
    ExpectStorageError(bytes, TStorageErrorCode::DocFileCorrupt, "loop in the DIFAT chain");
}

TEST(CfbRead, RandomDamageNeverCrashes)
{
    uint32_t x = 12345;
    auto next = [&] { return x ^= x << 13, x ^= x >> 17, x ^= x << 5; };
    int failures = 0;
    const QByteArray version3 = MakeDamageBase().bytes;
    const QByteArray version4 = HandBuiltVersion4(PatternBytes(100, 1), PatternBytes(10000, 2));
    for (int round = 0; round < 4000; ++round) {
        QByteArray bytes = round % 2 ? version4 : version3;
        // In the version-4 file only the header, FAT, directory and mini sectors are damaged.
        const qsizetype span = round % 2 ? 4096 * 5 : bytes.size();
        const int changes = 1 + next() % 4;
        for (int i = 0; i < changes; ++i)
            bytes[8 + next() % (span - 8)] = static_cast<char>(next());
        try {
            ReadCompoundFile(bytes, "fuzz");
        } catch (const EStorageError&) {
            ++failures;
        }
    }
    EXPECT_GT(failures, 100) << "the damage hardly ever reached the structures";
}

TEST(CfbRead, MissingFileFailsWithFileNotFound)
{
    try {
        ReadCompoundFileFrom(test::TestFolder() + "/nothing.mld");
        FAIL();
    } catch (const EStorageError& e) {
        EXPECT_EQ(e.Code(), TStorageErrorCode::FileNotFound);
        EXPECT_TRUE(e.Message().contains(QStringLiteral("見つかりません")));
    }
}

}  // namespace kestrel

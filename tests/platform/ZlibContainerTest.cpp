#include <gtest/gtest.h>

#include <QtEndian>

#include "platform/ZlibContainer.h"
#include "support/CfbTestSupport.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

using test::PatternBytes;

// A container around a zlib stream of raw, declaring any size.
QByteArray Container(int32_t declared, const QByteArray& raw)
{
    QByteArray packed = PackContainer(raw);
    packed.replace(13, 4, QByteArray(reinterpret_cast<const char*>(&declared), 4));
    return packed;
}

void ExpectDamaged(const QByteArray& bytes, qint64 maxSize = MaxContainerSize)
{
    try {
        UnpackContainer(bytes, maxSize);
        ADD_FAILURE() << "accepted " << bytes.size() << " bytes";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("圧縮データが壊れています"));
    }
}

TEST(ZlibContainer, RoundTripsAndKeepsTheLayout)
{
    const QByteArray text = QByteArray("label ").repeated(5000);
    for (const QByteArray& data : {QByteArray(), text, PatternBytes(300000, 7)}) {
        const QByteArray packed = PackContainer(data);
        EXPECT_TRUE(packed.startsWith(QByteArray("ZLIBCompress\x1A")));
        EXPECT_TRUE(HasContainerSignature(packed));
        EXPECT_EQ(qFromLittleEndian<int32_t>(packed.constData() + 13), data.size());
        EXPECT_EQ(UnpackContainer(packed), data);
        EXPECT_EQ(UnpackIfContainer(packed), data);
    }
    EXPECT_LT(PackContainer(text).size(), text.size() / 10);
    EXPECT_FALSE(HasContainerSignature("ZLIBCompress"));
    EXPECT_EQ(UnpackIfContainer(text), text);
}

TEST(ZlibContainer, AgreesWithPythonZlib)
{
    const QString folder = test::TestFolder();
    const QByteArray ours = PackContainer(QByteArray(QByteArray("disc ").repeated(20000) + PatternBytes(5000, 3)));
    test::WriteFileBytes(folder + "/ours.bin", ours);
    const char* script = R"(
import sys, zlib, struct
d = open(sys.argv[1] + '/ours.bin', 'rb').read()
assert d[:13] == b'ZLIBCompress\x1a'
raw = zlib.decompress(d[17:])
assert struct.unpack('<i', d[13:17])[0] == len(raw)
open(sys.argv[1] + '/ours.raw', 'wb').write(raw)
theirs = bytes((i * 7 + i // 300) % 251 for i in range(150000))
open(sys.argv[1] + '/theirs.raw', 'wb').write(theirs)
open(sys.argv[1] + '/theirs.bin', 'wb').write(b'ZLIBCompress\x1a' + struct.pack('<i', len(theirs)) + zlib.compress(theirs, 9))
)";
    test::RunProgram("/usr/bin/python3", {"-c", script, folder});
    EXPECT_EQ(test::ReadFileBytes(folder + "/ours.raw"), UnpackContainer(ours));
    EXPECT_EQ(UnpackContainer(test::ReadFileBytes(folder + "/theirs.bin")), test::ReadFileBytes(folder + "/theirs.raw"));
}

TEST(ZlibContainer, AContainerOverItsLimitIsRefusedForItsSizeNotAsDamage)
{
    const QByteArray data = QByteArray("track ").repeated(1000);
    try {
        UnpackContainer(PackContainer(data), 4096);
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("圧縮データを展開した大きさ（6000 バイト）が上限の 4 KB を超えています"));
    }
}

TEST(ZlibContainer, APrefixInflatesOnlyWhatAHeaderNeeds)
{
    const QByteArray data = test::PatternBytes(300000, 5);
    const QByteArray packed = PackContainer(data);
    EXPECT_EQ(UnpackPrefixIfContainer(packed, 100), data.left(100));
    EXPECT_EQ(UnpackPrefixIfContainer(PackContainer("short"), 100), "short");
    EXPECT_EQ(UnpackPrefixIfContainer("plain bytes", 5), "plain bytes");
    EXPECT_EQ(ContainerDataSize(packed), 300000);
    EXPECT_EQ(ContainerDataSize("plain"), -1);
}

TEST(ZlibContainer, RefusesDamagedContainers)
{
    const QByteArray data = QByteArray("track ").repeated(1000);
    const QByteArray good = PackContainer(data);
    ExpectDamaged(Container(100, QByteArray(8 * 1024 * 1024, '\0')));  // inflates far past its size
    ExpectDamaged(Container(data.size() - 1, data));
    ExpectDamaged(Container(data.size() + 1, data));
    ExpectDamaged(Container(-1, data));
    ExpectDamaged(good.left(good.size() - 1));
    ExpectDamaged(good.left(15));
    ExpectDamaged(good + "x");
    QByteArray corrupted = good;
    const qsizetype middle = 17 + (good.size() - 17) / 2;
    corrupted[middle] = static_cast<char>(corrupted[middle] ^ 0x55);
    ExpectDamaged(corrupted);
    ExpectDamaged(data);
}

}  // namespace
}  // namespace kestrel

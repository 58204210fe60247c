// Tags and playing times from bytes made here: the worked values, the wrappers and the tag forms
// that the independent tools do not write.

#include <gtest/gtest.h>

#include <QtEndian>
#include <limits>

#include "music/Genres.h"
#include "music/Mp3FileInfo.h"
#include "platform/Cp932.h"
#include "support/SyntheticAudio.h"

namespace kestrel {
namespace {

using test::Id3v1Tag;
using test::Id3v2Tag;
using test::MpegFrames;
using test::Utf16TextFrame;

struct TRead {
    bool found;
    TMP3FileInfo info;
};

TRead ReadBytes(const QByteArray& bytes, const QString& name = QStringLiteral("/music/Best.mp3 Hits.mp3"))
{
    TRead read{false, {}};
    read.info.SetFileName(name);
    TMemorySource source(bytes);
    read.found = read.info.Read(source);
    return read;
}

QByteArray BigEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

// The first frame of MpegFrames with a VBR header in it at offset (from the frame start).
QByteArray WithVbrHeader(QByteArray frames, int offset, const QByteArray& header)
{
    frames.replace(offset, header.size(), header);
    return frames;
}

QByteArray XingHeader(quint32 flags, quint32 frames)
{
    return "Xing" + BigEndian32(flags) + BigEndian32(frames) + BigEndian32(0) + QByteArray(8, '\0');
}

TEST(Mp3FileInfo, TheWorkedValuesOfBitRateAndXingFrames)
{
    // 4 000 000 audio bytes at 128 kbit/s: 250 s.
    const TRead cbr = ReadBytes(MpegFrames(4000000).left(4000000));
    ASSERT_TRUE(cbr.found);
    EXPECT_EQ(cbr.info.Seconds(), 250);
    // No tags: the file name without its last extension.
    EXPECT_EQ(cbr.info.Title(), QStringLiteral("Best.mp3 Hits"));

    // MPEG-1 stereo: the Xing header follows 32 bytes of side information.
    const TRead xing = ReadBytes(WithVbrHeader(MpegFrames(100000), 4 + 32, XingHeader(1, 10000)));
    EXPECT_EQ(xing.info.Seconds(), 261);  // 10 000 x 1152 div 44 100
    const TRead uncounted = ReadBytes(WithVbrHeader(MpegFrames(100000), 4 + 32, XingHeader(0, 10000)));
    EXPECT_TRUE(uncounted.found);
    EXPECT_EQ(uncounted.info.Seconds(), 0);

    // VBRI sits 32 bytes after the header and its frame count ends at its 18th byte.
    const QByteArray vbri = "VBRI" + QByteArray(10, '\0') + BigEndian32(441);
    EXPECT_EQ(ReadBytes(WithVbrHeader(MpegFrames(100000), 36, vbri)).info.Seconds(), 11);  // 441 x 1152 div 44 100
}

TEST(Mp3FileInfo, SamplesPerFrameFollowVersionAndLayer)
{
    // MPEG-2 Layer III, 22.05 kHz, mono (side information 9 bytes): 576 samples a frame.
    QByteArray mpeg2(20000, '\0');
    mpeg2.replace(0, 4, QByteArray("\xFF\xF3\x40\xC4", 4));
    mpeg2.replace(4 + 9, 16, XingHeader(1, 3828));
    EXPECT_EQ(ReadBytes(mpeg2).info.Seconds(), 99);  // 3828 x 576 div 22 050 (x 1152 would say 199)

    // MPEG-1 Layer I at 44.1 kHz stereo: 384 samples a frame.
    QByteArray layer1(20000, '\0');
    layer1.replace(0, 4, QByteArray("\xFF\xFF\x90\x00", 4));
    layer1.replace(4 + 32, 16, XingHeader(1, 1149));
    EXPECT_EQ(ReadBytes(layer1).info.Seconds(), 10);  // 1149 x 384 div 44 100

    // Reserved version, reserved layer and free format are no frames.
    for (const char* header : {"\xFF\xEB\x90\x00", "\xFF\xF9\x90\x00", "\xFF\xFB\x00\x00", "\xFF\xFB\xF0\x00"}) {
        QByteArray bytes(2000, '\0');
        bytes.replace(0, 4, QByteArray(header, 4));
        EXPECT_FALSE(ReadBytes(bytes).found) << QByteArray(header, 4).toHex().toStdString();
    }
}

TEST(Mp3FileInfo, GenreNamesKeepThePublishedSpellings)
{
    EXPECT_EQ(GenreName(17), "Rock");
    EXPECT_EQ(GenreName(67), "Psychadelic");
    EXPECT_EQ(GenreName(78), "Rock & Roll");
    EXPECT_EQ(GenreName(79), "Hard Rock");
    EXPECT_EQ(GenreName(80), "Folk(WINAMP)");
    EXPECT_EQ(GenreName(125), "Dance Hall(WINAMP)");
    EXPECT_EQ(GenreName(200), "Unknown(200)");
    EXPECT_EQ(GenreName(-1), "Unknown(-1)");
    EXPECT_EQ(ExpandGenreReferences("(17)"), "Rock");
    EXPECT_EQ(ExpandGenreReferences("(8)(80) mix"), "JazzFolk(WINAMP) mix");
    EXPECT_EQ(ExpandGenreReferences("((Rock)"), "(Rock)");
    EXPECT_EQ(ExpandGenreReferences("(x)"), "Blues");
    EXPECT_EQ(ExpandGenreReferences("open (17"), "open (17");
}

TEST(Mp3FileInfo, Id3v1FieldsRunToTheirFirstZeroAndLoseTrailingBlanks)
{
    const QByteArray title30 = "Thirty bytes of title, no end.";
    ASSERT_EQ(title30.size(), 30);
    const QByteArray sjis = ToCp932(QStringLiteral("青い"));
    const TRead read = ReadBytes(MpegFrames(20000) + Id3v1Tag(title30, "Artist  \t ", sjis + QByteArray("\0junk", 5), 17));
    ASSERT_TRUE(read.found);
    EXPECT_EQ(read.info.Title(), QString::fromLatin1(title30));
    EXPECT_EQ(read.info.Artist(), "Artist");
    EXPECT_EQ(read.info.Album(), QStringLiteral("青い"));
    EXPECT_EQ(read.info.Year(), "2024");
    EXPECT_EQ(read.info.Genre(), "Rock");
    // The tag is no audio: 47 955 bytes of frames last 2.997 s; with the tag they would last 3.005 s.
    EXPECT_EQ(ReadBytes(MpegFrames(47955) + Id3v1Tag("t", "", "", 0)).info.Seconds(), 2);
}

TEST(Mp3FileInfo, Id3v2TextsAreDecodedByTheirEncodingAndHeldToCodePage932)
{
    const QByteArray utf8 = QByteArray("\x03") + QStringLiteral("日本語 🎵").toUtf8() + '\0';
    const QByteArray utf16be = QByteArray("\x02") + QByteArray("\x6B\x4C\x62\x4B", 4);  // 歌手
    const QByteArray cp932 = QByteArray("\x00", 1) + ToCp932(QStringLiteral("東京")) + "  ";
    const QByteArray tag = Id3v2Tag(4, {{"TIT2", utf8}, {"TPE1", utf16be}, {"TALB", cp932},
                                        {"TCON", QByteArray("\x00(17)", 5)}, {"TYER", Utf16TextFrame("1999")}});
    const TRead read = ReadBytes(tag + MpegFrames(16000));
    ASSERT_TRUE(read.found);
    EXPECT_EQ(read.info.Title(), QStringLiteral("日本語 ?"));
    EXPECT_EQ(read.info.Artist(), QStringLiteral("歌手"));
    EXPECT_EQ(read.info.Album(), QStringLiteral("東京"));
    EXPECT_EQ(read.info.Genre(), "Rock");
    EXPECT_EQ(read.info.Year(), "1999");
    EXPECT_EQ(read.info.Seconds(), 1);

    // Version 2.2: three-letter frames with three-byte sizes.
    const TRead old = ReadBytes(Id3v2Tag(2, {{"TT2", QByteArray("\0Old", 4)}, {"TP1", QByteArray("\0Band", 5)}}) + MpegFrames(16000));
    EXPECT_EQ(old.info.Title(), "Old");
    EXPECT_EQ(old.info.Artist(), "Band");
}

// A tag whose picture is full of frame headers: the texts after it are read, the time comes
// from the audio after the whole tag, and ID3v2 overrides ID3v1.
TEST(Mp3FileInfo, ACoverPictureIsSteppedOverByTheTagSize)
{
    QByteArray cover;
    for (int i = 0; i < 3000; ++i) cover += QByteArray("\xFF\xE2\x10\x00", 4);  // MPEG-2.5 headers at 8 kbit/s
    const QByteArray tag = Id3v2Tag(3, {{"APIC", QByteArray("\0image/jpeg\0\x03\0", 14) + cover},
                                        {"TIT2", Utf16TextFrame("After the picture")},
                                        {"PRIV", QByteArray(300, 'p')},
                                        {"TPE1", Utf16TextFrame(QString(200, u'x'))},  // over 255 bytes: not read
                                        {"TALB", QByteArray()},                     // empty: stepped over
                                        {"TCOM", QByteArray("\0Note", 5)}});
    const TRead read = ReadBytes(tag + MpegFrames(16000 * 5) + Id3v1Tag("v1 title", "v1 artist", "", 0));
    ASSERT_TRUE(read.found);
    EXPECT_EQ(read.info.Title(), "After the picture");
    EXPECT_EQ(read.info.Artist(), "v1 artist");
    EXPECT_EQ(read.info.Comment(), "Note");
    EXPECT_EQ(read.info.Seconds(), 5);

    // Padding ends the walk; a tag size past the file leaves no audio.
    const TRead padded = ReadBytes(Id3v2Tag(3, {{"TIT2", QByteArray("\0A", 2)}, {QByteArray(4, '\0'), QByteArray(20, '\0')},
                                               {"TPE1", QByteArray("\0B", 2)}}) + MpegFrames(16000));
    EXPECT_EQ(padded.info.Title(), "A");
    EXPECT_EQ(padded.info.Artist(), "");
    QByteArray overlong = Id3v2Tag(3, {{"TIT2", QByteArray("\0A", 2)}}) + MpegFrames(1000);
    overlong[8] = 0x7F;
    EXPECT_FALSE(ReadBytes(overlong).found);
}

TEST(Mp3FileInfo, UnsynchronisedAndFlaggedFramesGiveTheirText)
{
    // Version 2.3, unsynchronised as a whole: the byte-order mark FF FE went out as FF 00 FE.
    QByteArray tag = Id3v2Tag(3, {{"TIT2", Utf16TextFrame("Sync")}});
    tag[5] = char(0x80);
    QByteArray body = tag.mid(10);
    body.replace(QByteArray("\xFF\xFE", 2), QByteArray("\xFF\x00\xFE", 3));
    tag = tag.left(6) + QByteArray("\0\0\0", 3) + char(body.size()) + body;
    EXPECT_EQ(ReadBytes(tag + MpegFrames(16000)).info.Title(), "Sync");

    // Version 2.4 with a data-length indicator; a compressed frame says nothing.
    QByteArray v24 = Id3v2Tag(4, {{"TIT2", QByteArray("\0\0\0\x05\0Four", 9)}, {"TPE1", QByteArray("\0zzz", 4)}});
    v24[10 + 9] = 0x01;
    v24[10 + 10 + 9 + 9] = 0x08;
    const TRead read = ReadBytes(v24 + MpegFrames(16000));
    EXPECT_EQ(read.info.Title(), "Four");
    EXPECT_EQ(read.info.Artist(), "");
}

QByteArray RiffChunk(const QByteArray& id, const QByteArray& data)
{
    QByteArray size(4, '\0');
    qToLittleEndian(quint32(data.size()), size.data());
    return id + size + data + (data.size() % 2 ? QByteArray(1, '\0') : QByteArray());
}

QByteArray Riff(const QByteArray& form, const QByteArray& chunks)
{
    QByteArray size(4, '\0');
    qToLittleEndian(quint32(chunks.size() + 4), size.data());
    return "RIFF" + size + form + chunks;
}

QByteArray PcmFormat(quint32 byteRate)
{
    QByteArray fmt(16, '\0');
    qToLittleEndian(quint16(1), fmt.data());
    qToLittleEndian(quint16(1), fmt.data() + 2);
    qToLittleEndian(quint32(byteRate / 2), fmt.data() + 4);
    qToLittleEndian(byteRate, fmt.data() + 8);
    qToLittleEndian(quint16(2), fmt.data() + 12);
    qToLittleEndian(quint16(16), fmt.data() + 14);
    return fmt;
}

TEST(Mp3FileInfo, WavesTakeTheirTimeFromFormatAndDataAndTheirTextsFromInfo)
{
    const QByteArray info = "INFO" + RiffChunk("INAM", "Wave Song") + RiffChunk("IART", QByteArray("Player\0", 7)) +
                            RiffChunk("IPRD", ToCp932(QStringLiteral("盤"))) + RiffChunk("XTRA", "ignored");
    QByteArray data(44100 * 2 * 3 + 100, '\0');
    data.replace(500, 4, QByteArray(test::MpegHeader, 4));  // PCM that happens to look like a frame
    const TRead wave = ReadBytes(Riff("WAVE", RiffChunk("fmt ", PcmFormat(88200)) + RiffChunk("data", data) + RiffChunk("LIST", info)));
    ASSERT_TRUE(wave.found);
    EXPECT_EQ(wave.info.Seconds(), 3);
    EXPECT_EQ(wave.info.Title(), "Wave Song");
    EXPECT_EQ(wave.info.Artist(), "Player");
    EXPECT_EQ(wave.info.Album(), QStringLiteral("盤"));

    // A sub-chunk claiming more than its list holds reads only up to the list's end.
    QByteArray greedy = "INFO" + RiffChunk("INAM", "Short");
    greedy.replace(8, 4, QByteArray("\xFF\xFF\xFF\x0F", 4));
    const TRead bounded = ReadBytes(Riff("WAVE", RiffChunk("LIST", greedy) + RiffChunk("fmt ", PcmFormat(8000)) +
                                                  RiffChunk("data", QByteArray(16000, '\0'))));
    EXPECT_EQ(bounded.info.Title(), "Short");
    EXPECT_EQ(bounded.info.Seconds(), 2);

    // RMP3: the data chunk holds MPEG audio, its ID3v2 tag counted from the data's start.
    const QByteArray mp3 = Id3v2Tag(3, {{"TIT2", QByteArray("\0Inner", 6)}}) + MpegFrames(16000 * 4);
    const TRead rmp3 = ReadBytes(Riff("RMP3", RiffChunk("LIST", info) + RiffChunk("data", mp3)));
    ASSERT_TRUE(rmp3.found);
    EXPECT_EQ(rmp3.info.Title(), "Inner");
    EXPECT_EQ(rmp3.info.Artist(), "Player");
    EXPECT_EQ(rmp3.info.Seconds(), 4);
}

QByteArray MacBinary(const QByteArray& data, qint32 dataFork)
{
    QByteArray header(128, '\0');
    header[1] = 8;
    header.replace(2, 8, "song.mp3");
    qToBigEndian(dataFork, header.data() + 83);
    qToBigEndian(qint32(64), header.data() + 87);
    return header + data + QByteArray((128 - data.size() % 128) % 128, '\0') + QByteArray(64, 'R');
}

TEST(Mp3FileInfo, AMacBinaryWrapperIsLookedThrough)
{
    const QByteArray mp3 = Id3v2Tag(3, {{"TIT2", QByteArray("\0Wrapped", 8)}}) + MpegFrames(16000 * 2) +
                           Id3v1Tag("", "Wrapped Artist", "", 17);
    const TRead read = ReadBytes(MacBinary(mp3, qint32(mp3.size())));
    ASSERT_TRUE(read.found);
    EXPECT_EQ(read.info.Title(), "Wrapped");
    EXPECT_EQ(read.info.Artist(), "Wrapped Artist");
    EXPECT_EQ(read.info.Seconds(), 2);

    // A negative fork length is no MacBinary header: the tags inside are not where tags belong.
    const TRead unwrapped = ReadBytes(MacBinary(mp3, std::numeric_limits<qint32>::min() + 256));
    EXPECT_EQ(unwrapped.info.Title(), "Best.mp3 Hits");
    EXPECT_EQ(unwrapped.info.Artist(), "");
}

TEST(Mp3FileInfo, DamagedAndMissingFilesAreNotRead)
{
    EXPECT_FALSE(ReadBytes({}).found);
    EXPECT_FALSE(ReadBytes("ID3").found);
    EXPECT_FALSE(ReadBytes(QByteArray(5000, '\0')).found);
    EXPECT_FALSE(ReadBytes(Riff("WAVE", RiffChunk("data", QByteArray(100, '\0')))).found);
    TMP3FileInfo missing;
    missing.SetFileName(QStringLiteral("/nonexistent/song.mp3"));
    EXPECT_FALSE(missing.Read());
    TMP3FileInfo folder;
    folder.SetFileName(QStringLiteral("/tmp"));
    EXPECT_FALSE(folder.Read());
}

}  // namespace
}  // namespace kestrel

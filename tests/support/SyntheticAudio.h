#pragma once

// MP3 files made here, byte by byte: an ID3v2 tag (a cover picture first when there is one, then
// the texts in UTF-16) before MPEG-1 Layer III frames of silence at 128 kbit/s and 44.1 kHz.
// Shared by the tests and the benchmarks; it needs nothing but Qt.

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

namespace kestrel::test {

struct TSyntheticTrack {
    QString title;
    QString artist;
    QString album;
    // The frames play at least this long and less than a second longer.
    int seconds = 1;
    QByteArray cover;
};

QByteArray SyntheticMp3(const TSyntheticTrack& track);

// An ID3v2 tag of the given major version (2, 3 or 4) from frames of id and body bytes.
QByteArray Id3v2Tag(int version, const std::vector<std::pair<QByteArray, QByteArray>>& frames);
// A text frame body: encoding 1 (UTF-16 with a byte-order mark).
QByteArray Utf16TextFrame(const QString& text);
// A 128-byte ID3v1 tag.
QByteArray Id3v1Tag(const QByteArray& title, const QByteArray& artist, const QByteArray& album, int genre);
// Frames of silence (MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, 417 bytes each) covering at least
// byteCount bytes.
QByteArray MpegFrames(qint64 byteCount);
// The first frame header of MpegFrames.
inline constexpr char MpegHeader[] = "\xFF\xFB\x90\x64";

}  // namespace kestrel::test

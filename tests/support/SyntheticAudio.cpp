#include "support/SyntheticAudio.h"

#include <QtEndian>

namespace kestrel::test {

namespace {

constexpr int kFrameBytes = 417;        // 144 * 128000 / 44100, without padding
constexpr int kBytesPerSecond = 16000;  // 128 kbit/s

QByteArray Syncsafe(quint32 n)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[3 - i] = char((n >> (7 * i)) & 0x7F);
    return bytes;
}

QByteArray BigEndian(quint32 n, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i) out += char((n >> (8 * i)) & 0xFF);
    return out;
}

}  // namespace

QByteArray Id3v2Tag(int version, const std::vector<std::pair<QByteArray, QByteArray>>& frames)
{
    QByteArray body;
    for (const auto& [id, data] : frames) {
        body += id;
        if (version == 2)
            body += BigEndian(quint32(data.size()), 3);
        else
            body += (version == 4 ? Syncsafe(quint32(data.size())) : BigEndian(quint32(data.size()), 4)) + QByteArray(2, '\0');
        body += data;
    }
    return QByteArray("ID3") + char(version) + '\0' + '\0' + Syncsafe(quint32(body.size())) + body;
}

QByteArray Utf16TextFrame(const QString& text)
{
    QByteArray body("\x01\xFF\xFE", 3);
    body += QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return body;
}

QByteArray Id3v1Tag(const QByteArray& title, const QByteArray& artist, const QByteArray& album, int genre)
{
    const auto field = [](const QByteArray& text, int size) { return text.left(size).leftJustified(size, '\0'); };
    return "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + "2024" + field({}, 30) + char(genre);
}

QByteArray MpegFrames(qint64 byteCount)
{
    QByteArray frame(kFrameBytes, '\0');
    frame.replace(0, 4, QByteArray(MpegHeader, 4));
    QByteArray frames;
    frames.reserve(byteCount + kFrameBytes);
    while (frames.size() < byteCount) frames += frame;
    return frames;
}

QByteArray SyntheticMp3(const TSyntheticTrack& track)
{
    std::vector<std::pair<QByteArray, QByteArray>> frames;
    if (!track.cover.isEmpty()) frames.emplace_back("APIC", QByteArray("\0image/jpeg\0\x03\0", 14) + track.cover);
    frames.emplace_back("TIT2", Utf16TextFrame(track.title));
    frames.emplace_back("TPE1", Utf16TextFrame(track.artist));
    frames.emplace_back("TALB", Utf16TextFrame(track.album));
    return Id3v2Tag(3, frames) + MpegFrames(qint64(track.seconds) * kBytesPerSecond + 1);
}

}  // namespace kestrel::test

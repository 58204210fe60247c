#include "music/Mp3FileInfo.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <limits>
#include <optional>

#include "music/Genres.h"
#include "platform/BoundedReader.h"
#include "platform/Cp932.h"
#include "platform/Error.h"
#include "platform/SystemErrorText.h"

namespace kestrel {

namespace {

constexpr int64_t kMacBinaryHeader = 128;
constexpr int64_t kId3v1Size = 128;
constexpr int64_t kId3v2Header = 10;
// Longer text frames are not titles; they are stepped over like pictures.
constexpr int64_t kMaxTextFrame = 255;
constexpr int64_t kFrameSearch = 1024;
constexpr int kMaxChunks = 4096;
constexpr int kMaxInfoItems = 256;
constexpr int64_t kMaxInfoText = 4096;
constexpr int64_t kReadWindow = 8192;

uint32_t BigEndian(QByteArrayView bytes)
{
    uint32_t value = 0;
    for (char c : bytes) value = value << 8 | uint8_t(c);
    return value;
}

// Seven bits from each of four bytes.
uint32_t Syncsafe(QByteArrayView bytes)
{
    uint32_t value = 0;
    for (char c : bytes) value = value << 7 | (uint8_t(c) & 0x7F);
    return value;
}

bool IsFrameSync(QByteArrayView bytes, qsizetype at)
{
    return at + 1 < bytes.size() && uint8_t(bytes[at]) == 0xFF && uint8_t(bytes[at + 1]) >= 0xE0;
}

QString TrimmedRight(QString text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].unicode() <= u' ') --end;
    text.truncate(end);
    return text;
}

// What the program can show and store of a text: characters code page 932 lacks become "?".
QString Displayable(const QString& text)
{
    return FromCp932(ToCp932(text));
}

// Code page 932 text up to its first zero byte.
QString ByteFieldText(QByteArrayView bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return TrimmedRight(FromCp932(zero < 0 ? bytes : bytes.first(zero)));
}

QString Utf16Text(QByteArrayView bytes, bool bigEndian)
{
    qsizetype end = 0;
    while (end + 1 < bytes.size() && (bytes[end] || bytes[end + 1])) end += 2;
    bytes = bytes.first(end);
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        bigEndian = bytes.startsWith("\xFE\xFF");
        bytes = bytes.sliced(2);
    }
    QStringDecoder decoder(bigEndian ? QStringDecoder::Utf16BE : QStringDecoder::Utf16LE);
    return decoder.decode(bytes);
}

// An ID3v2 text frame's first string in its declared encoding: 0 is taken as code page 932
// (what Japanese taggers wrote there), 1 UTF-16 with a byte-order mark, 2 UTF-16 big-endian,
// 3 UTF-8.
QString Id3Text(QByteArrayView frame)
{
    if (frame.isEmpty()) return {};
    const QByteArrayView text = frame.sliced(1);
    QString decoded;
    switch (uint8_t(frame[0])) {
        case 1: decoded = Utf16Text(text, false); break;
        case 2: decoded = Utf16Text(text, true); break;
        case 3: {
            const qsizetype zero = text.indexOf('\0');
            decoded = QString::fromUtf8(zero < 0 ? text : text.first(zero));
            break;
        }
        default: return Displayable(ByteFieldText(text));
    }
    return Displayable(TrimmedRight(decoded));
}

QByteArray RemoveUnsynchronisation(QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (uint8_t(bytes[i]) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == '\0') ++i;
    }
    return out;
}

bool IsFrameIdChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// MPEG audio header tables (ISO/IEC 11172-3, 13818-3); MPEG-2.5 shares MPEG-2's bit rates.
constexpr std::array<std::array<int, 15>, 3> kMpeg1Rates = {{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // Layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // Layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // Layer III
}};
constexpr std::array<std::array<int, 15>, 3> kMpeg2Rates = {{
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
}};
constexpr std::array<int, 3> kMpeg1SampleRates = {44100, 48000, 32000};
constexpr std::array<int, 3> kMpeg2SampleRates = {22050, 24000, 16000};
constexpr std::array<int, 3> kMpeg25SampleRates = {11025, 12000, 8000};

struct TMpegHeader {
    bool mpeg1 = false;
    int layer = 0;  // 1..3
    int kbps = 0;
    int sampleRate = 0;  // 0: reserved
    bool mono = false;

    int SamplesPerFrame() const { return layer == 1 ? 384 : (layer == 3 && !mpeg1) ? 576 : 1152; }
    int SideInfoSize() const { return mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17); }
};

std::optional<TMpegHeader> ParseMpegHeader(QByteArrayView bytes)
{
    if (bytes.size() < 4 || !IsFrameSync(bytes, 0)) return std::nullopt;
    const uint8_t b1 = uint8_t(bytes[1]);
    const uint8_t b2 = uint8_t(bytes[2]);
    const int versionBits = (b1 >> 3) & 3;
    const int layerBits = (b1 >> 1) & 3;
    if (versionBits == 1 || layerBits == 0) return std::nullopt;
    TMpegHeader header;
    header.mpeg1 = versionBits == 3;
    header.layer = 4 - layerBits;
    const int rateIndex = b2 >> 4;
    if (rateIndex == 0 || rateIndex == 15) return std::nullopt;
    header.kbps = (header.mpeg1 ? kMpeg1Rates : kMpeg2Rates)[size_t(header.layer - 1)][size_t(rateIndex)];
    const int sampleIndex = (b2 >> 2) & 3;
    const auto& rates = versionBits == 3 ? kMpeg1SampleRates : versionBits == 2 ? kMpeg2SampleRates : kMpeg25SampleRates;
    header.sampleRate = sampleIndex < 3 ? rates[size_t(sampleIndex)] : 0;
    header.mono = (uint8_t(bytes[3]) >> 6) == 3;
    return header;
}

int ClampedSeconds(int64_t seconds)
{
    return int(std::clamp<int64_t>(seconds, 0, std::numeric_limits<int>::max()));
}

int FramesSeconds(uint32_t frames, const TMpegHeader& header)
{
    return header.sampleRate ? ClampedSeconds(int64_t(frames) * header.SamplesPerFrame() / header.sampleRate) : 0;
}

}  // namespace

// --- Sources ---

QByteArray TMemorySource::Read(int64_t offset, int64_t count)
{
    if (offset < 0 || count <= 0 || offset >= bytes_.size()) return {};
    return bytes_.mid(offset, std::min<int64_t>(count, bytes_.size() - offset));
}

TFileSource::TFileSource(const QString& path) : file_(path)
{
    if (!QFileInfo(path).isFile()) throw EKestrel(QStringLiteral("「%1」は通常のファイルではありません").arg(path));
    if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw EKestrel(QStringLiteral("「%1」を読み込めません: %2").arg(path, FileErrorText(file_)));
    size_ = file_.size();
}

QByteArray TFileSource::Read(int64_t offset, int64_t count)
{
    if (offset < 0 || count <= 0 || offset >= size_) return {};
    count = std::min(count, size_ - offset);
    if (offset < windowStart_ || offset + count > windowStart_ + window_.size()) {
        if (!file_.seek(offset)) return {};
        window_ = file_.read(std::max(count, kReadWindow));
        windowStart_ = offset;
    }
    return window_.mid(offset - windowStart_, count);
}

// --- The reader ---

// One reading of one file: the audio range narrows as the wrappers and tags around it are found.
class TTagReader {
public:
    TTagReader(TMP3FileInfo& info, TByteSource& source) : info_(info), source_(source), size_(source.Size()), end_(size_) {}

    bool Run()
    {
        ReadMacBinary();
        ReadId3v1();
        ReadRiff();
        ReadId3v2();
        if (PcmDuration()) return true;
        return ReadMpegDuration();
    }

private:
    struct TWaveFormat {
        int formatTag = 0;
        uint32_t byteRate = 0;
    };

    void ReadMacBinary()
    {
        if (size_ <= kMacBinaryHeader) return;
        const QByteArray header = source_.Read(0, kMacBinaryHeader);
        if (header.size() < kMacBinaryHeader || header[0] || header[74] || header[82]) return;
        const int nameLength = uint8_t(header[1]);
        const auto dataFork = int32_t(BigEndian(QByteArrayView(header).sliced(83, 4)));
        const auto resourceFork = int32_t(BigEndian(QByteArrayView(header).sliced(87, 4)));
        if (nameLength < 1 || nameLength > 31 || dataFork < 0 || resourceFork < 0) return;
        start_ = kMacBinaryHeader;
        end_ = std::min(size_, kMacBinaryHeader + dataFork);
    }

    void ReadId3v1()
    {
        if (end_ - start_ <= kId3v1Size) return;
        const QByteArray tag = source_.Read(end_ - kId3v1Size, kId3v1Size);
        if (tag.size() < kId3v1Size || !tag.startsWith("TAG")) return;
        TBoundedReader in(tag);
        in.Skip(3);
        info_.title_ = ByteFieldText(in.ReadBytes(30));
        info_.artist_ = ByteFieldText(in.ReadBytes(30));
        info_.album_ = ByteFieldText(in.ReadBytes(30));
        info_.year_ = ByteFieldText(in.ReadBytes(4));
        info_.comment_ = ByteFieldText(in.ReadBytes(30));
        info_.genre_ = GenreName(in.ReadU8());
        end_ -= kId3v1Size;
    }

    void ReadRiff()
    {
        const QByteArray header = source_.Read(start_, 12);
        if (header.size() < 12 || !header.startsWith("RIFF")) return;
        const QByteArrayView form = QByteArrayView(header).sliced(8);
        isWave_ = form == "WAVE";
        if (!isWave_ && form != "RMP3") return;
        bool infoRead = false;
        std::optional<std::pair<int64_t, int64_t>> data;
        int64_t pos = start_ + 12;
        for (int chunks = 0; pos + 12 <= end_ && chunks < kMaxChunks; ++chunks) {
            const QByteArray chunk = source_.Read(pos, 12);
            if (chunk.size() < 12) break;
            TBoundedReader in(chunk);
            const QByteArrayView id = in.ReadBytes(4);
            const int32_t size = in.ReadI32();
            if (size < 0) break;
            const int64_t body = pos + 8;
            const int64_t chunkEnd = std::min(body + size, end_);
            if (id == "LIST" && in.ReadBytes(4) == "INFO" && !infoRead) {
                ReadInfoList(body + 4, chunkEnd);
                infoRead = true;
            } else if (id == "data" && !data) {
                data.emplace(body, chunkEnd);
            } else if (id == "fmt ") {
                ReadWaveFormat(body, chunkEnd);
            }
            pos = body + size + (size & 1);
        }
        if (data) std::tie(start_, end_) = *data;
        dataFound_ = data.has_value();
    }

    void ReadWaveFormat(int64_t body, int64_t chunkEnd)
    {
        const QByteArray bytes = source_.Read(body, std::min<int64_t>(16, chunkEnd - body));
        if (bytes.size() < 16) return;
        TBoundedReader in(bytes);
        TWaveFormat format;
        format.formatTag = in.ReadU16();
        in.Skip(6);  // channels, sample rate
        format.byteRate = in.ReadU32();
        format_ = format;
    }

    // Sub-chunks never reach past the list, and only so many are read.
    void ReadInfoList(int64_t pos, int64_t listEnd)
    {
        for (int items = 0; pos + 8 <= listEnd && items < kMaxInfoItems; ++items) {
            const QByteArray header = source_.Read(pos, 8);
            if (header.size() < 8) return;
            TBoundedReader in(header);
            const QByteArray id = in.ReadBytes(4).toByteArray();
            const int64_t size = std::min<int64_t>(in.ReadU32(), listEnd - pos - 8);
            if (id.startsWith('I')) {
                if (QString* field = info_.FieldOf(id))
                    SetField(*field, id, ByteFieldText(source_.Read(pos + 8, std::min(size, kMaxInfoText))));
            }
            pos += 8 + size + (size & 1);
        }
    }

    void ReadId3v2()
    {
        const QByteArray header = source_.Read(start_, kId3v2Header);
        if (header.size() < kId3v2Header || !header.startsWith("ID3")) return;
        const int version = uint8_t(header[3]);
        const uint8_t flags = uint8_t(header[5]);
        const bool footer = version == 4 && (flags & 0x10);
        const int64_t tagEnd = start_ + kId3v2Header + Syncsafe(QByteArrayView(header).sliced(6, 4)) + (footer ? 10 : 0);
        if (version >= 2 && version <= 4) {
            const int64_t framesEnd = std::min(tagEnd, end_);
            if (version < 4 && (flags & 0x80))
                ReadUnsynchronisedFrames(version, flags, framesEnd);
            else
                ReadFrames(source_, version, FirstFrame(source_, version, flags, start_ + kId3v2Header), framesEnd);
        }
        start_ = tagEnd;
    }

    // Before version 4 an unsynchronised tag is unsynchronised as a whole, frame headers too.
    void ReadUnsynchronisedFrames(int version, uint8_t flags, int64_t framesEnd)
    {
        TMemorySource tag(RemoveUnsynchronisation(source_.Read(start_ + kId3v2Header, framesEnd - start_ - kId3v2Header)));
        ReadFrames(tag, version, FirstFrame(tag, version, flags, 0), tag.Size());
    }

    // The extended header, when the flags announce one, is stepped over.
    static int64_t FirstFrame(TByteSource& source, int version, uint8_t flags, int64_t pos)
    {
        if (version < 3 || !(flags & 0x40)) return pos;
        const QByteArray size = source.Read(pos, 4);
        if (size.size() < 4) return pos;
        return version == 3 ? pos + 4 + BigEndian(size) : pos + Syncsafe(size);
    }

    // Text frames fill their fields; every other frame is stepped over by its size, so a
    // cover picture before the texts hides nothing. Padding or a damaged header ends the walk.
    void ReadFrames(TByteSource& source, int version, int64_t pos, int64_t framesEnd)
    {
        const int headerSize = version == 2 ? 6 : 10;
        const int idLength = version == 2 ? 3 : 4;
        while (pos + headerSize <= framesEnd) {
            const QByteArray header = source.Read(pos, headerSize);
            if (header.size() < headerSize) return;
            const QByteArray id = header.left(idLength);
            if (!std::all_of(id.begin(), id.end(), IsFrameIdChar)) return;
            const QByteArrayView sizeBytes = QByteArrayView(header).sliced(idLength, version == 2 ? 3 : 4);
            const int64_t size = version == 4 ? Syncsafe(sizeBytes) : BigEndian(sizeBytes);
            if (version == 3 && size > std::numeric_limits<int32_t>::max()) return;
            const int64_t body = pos + headerSize;
            if (body + size > framesEnd) return;
            if (id.startsWith('T') && size > 0 && size <= kMaxTextFrame) {
                const uint8_t formatFlags = version == 2 ? 0 : uint8_t(header[9]);
                if (const auto text = FrameText(source.Read(body, size), version, formatFlags))
                    if (QString* field = info_.FieldOf(id)) SetField(*field, id, *text);
            }
            pos = body + size;
        }
    }

    // Compressed and encrypted frames hold no readable text; group bytes, data lengths and a
    // frame's own unsynchronisation are undone.
    static std::optional<QString> FrameText(QByteArray data, int version, uint8_t formatFlags)
    {
        if (version == 3) {
            if (formatFlags & 0xC0) return std::nullopt;
            if (formatFlags & 0x20) data.remove(0, 1);
        } else if (version == 4) {
            if (formatFlags & 0x0C) return std::nullopt;
            if (formatFlags & 0x40) data.remove(0, 1);
            if (formatFlags & 0x01) data.remove(0, 4);
            if (formatFlags & 0x02) data = RemoveUnsynchronisation(data);
        }
        return Id3Text(data);
    }

    void SetField(QString& field, const QByteArray& id, const QString& text)
    {
        field = id == "TCON" || id == "TCO" ? ExpandGenreReferences(text) : text;
    }

    // A WAVE that does not carry MPEG audio takes its time from the byte rate.
    bool PcmDuration()
    {
        if (!isWave_ || !format_ || !dataFound_ || format_->formatTag == 0x50 || format_->formatTag == 0x55) return false;
        info_.seconds_ = format_->byteRate ? ClampedSeconds((end_ - start_) / format_->byteRate) : 0;
        return true;
    }

    // The first frame header at the audio start, or within the bytes after it; the bit rate
    // estimates the time unless a Xing or VBRI header counts the frames.
    bool ReadMpegDuration()
    {
        if (start_ >= size_ || start_ >= end_) return false;
        const QByteArray window = source_.Read(start_, kFrameSearch);
        qsizetype at = 0;
        while (at + 1 < window.size() && !IsFrameSync(window, at)) ++at;
        const int64_t frame = start_ + (at + 1 < window.size() ? at : 0);
        const auto header = ParseMpegHeader(source_.Read(frame, 4));
        if (!header) return false;
        info_.seconds_ = ClampedSeconds((end_ - start_) * 8 / (int64_t(header->kbps) * 1000));
        const int64_t vbrHeader = frame + 4 + header->SideInfoSize();
        const QByteArray xing = source_.Read(vbrHeader, 18);
        if (xing.size() >= 18 && xing.startsWith("Xing")) {
            const bool counted = BigEndian(QByteArrayView(xing).sliced(4, 4)) & 1;
            info_.seconds_ = counted ? FramesSeconds(BigEndian(QByteArrayView(xing).sliced(8, 4)), *header) : 0;
            return true;
        }
        // A VBRI header always follows 32 bytes after the frame header, whatever the side information.
        const QByteArray vbri = source_.Read(frame + 4 + 32, 18);
        if (vbri.size() >= 18 && vbri.startsWith("VBRI"))
            info_.seconds_ = FramesSeconds(BigEndian(QByteArrayView(vbri).sliced(14, 4)), *header);
        return true;
    }

    TMP3FileInfo& info_;
    TByteSource& source_;
    int64_t size_;
    int64_t start_ = 0;
    int64_t end_;
    bool isWave_ = false;
    bool dataFound_ = false;
    std::optional<TWaveFormat> format_;
};

// --- The tag record ---

void TMP3FileInfo::Clear()
{
    seconds_ = 0;
    for (QString* field : {&title_, &artist_, &album_, &comment_, &year_, &genre_, &rightsNote_, &encodedBy_,
                           &originalAlbum_, &encoderSettings_})
        field->clear();
}

QString* TMP3FileInfo::FieldOf(const QByteArray& id)
{
    struct TFieldIds {
        const char* v23;
        const char* v22;
        const char* riff;
        QString TMP3FileInfo::*field;
    };
    static constexpr TFieldIds kIds[] = {
        {"TIT2", "TT2", "INAM", &TMP3FileInfo::title_},       {"TPE1", "TP1", "IART", &TMP3FileInfo::artist_},
        {"TALB", "TAL", "IPRD", &TMP3FileInfo::album_},       {"TCOM", "TCM", "ICMT", &TMP3FileInfo::comment_},
        {"TYER", "TYE", "ICRD", &TMP3FileInfo::year_},        {"TCON", "TCO", "IGNR", &TMP3FileInfo::genre_},
        {"TCOP", "TCR", "ICOP", &TMP3FileInfo::rightsNote_},  {"TENC", "TEN", "IENG", &TMP3FileInfo::encodedBy_},
        {"TOAL", "TOT", "ISRC", &TMP3FileInfo::originalAlbum_}, {"TSSE", "TSS", "ISFT", &TMP3FileInfo::encoderSettings_},
    };
    for (const TFieldIds& ids : kIds)
        if (id == ids.v23 || id == ids.v22 || id == ids.riff) return &(this->*ids.field);
    return nullptr;
}

bool TMP3FileInfo::Read()
{
    Clear();
    try {
        TFileSource source(fileName_);
        return Read(source);
    } catch (const EKestrel&) {
        return false;
    }
}

bool TMP3FileInfo::Read(TByteSource& source)
{
    Clear();
    bool found = false;
    try {
        found = TTagReader(*this, source).Run();
    } catch (const EKestrel&) {
        return false;
    }
    if (found && title_.isEmpty()) title_ = BaseNameWithoutExtension(fileName_);
    return found;
}

QString BaseNameWithoutExtension(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}

}  // namespace kestrel

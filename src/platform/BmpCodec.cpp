#include <QIODevice>
#include <QtEndian>
#include <climits>
#include <array>
#include <bit>
#include <vector>

#include "platform/BoundedReader.h"
#include "platform/PictureCodecs.h"

namespace kestrel {

namespace {

constexpr uint32_t BiRgb = 0, BiRle8 = 1, BiRle4 = 2, BiBitfields = 3;
constexpr int FileHeaderSize = 14;
constexpr uint32_t CoreHeaderSize = 12;
constexpr uint32_t InfoHeaderSize = 40;
constexpr uint32_t MaxHeaderSize = 1024;

struct TBmpHeader {
    int width = 0;
    int height = 0;  // always positive; topDown tells the row order
    bool topDown = false;
    int bits = 0;
    uint32_t compression = BiRgb;
    std::array<uint32_t, 3> masks{};  // red, green, blue
    std::vector<QRgb> palette;
    uint32_t pixelOffset = 0;
};

[[noreturn]] void Fail() { throw EReadError(PictureLoadFailedMessage()); }

// One channel described by a bit mask, scaled to 0..255.
struct TChannel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;

    explicit TChannel(uint32_t m) : mask(m)
    {
        if (!m) return;
        shift = std::countr_zero(m);
        max = m >> shift;
        // Masks must be one run of bits.
        if ((max & (max + 1)) != 0) Fail();
    }
    int Value(uint32_t pixel) const
    {
        return max ? int((uint64_t((pixel & mask) >> shift) * 255 + max / 2) / max) : 0;
    }
};

std::vector<QRgb> ReadPalette(TBoundedReader& in, int bits, uint32_t used, int entrySize)
{
    if (bits > 8) return {};
    const uint32_t full = 1u << bits;
    const uint32_t count = used == 0 || used > full ? full : used;
    in.Need(int64_t(count) * entrySize);
    std::vector<QRgb> palette(full, qRgb(0, 0, 0));
    for (uint32_t i = 0; i < count; ++i) {
        const QByteArrayView e = in.ReadBytes(entrySize);
        palette[i] = qRgb(uint8_t(e[2]), uint8_t(e[1]), uint8_t(e[0]));
    }
    return palette;
}

TBmpHeader ReadHeader(TBoundedReader& in)
{
    if (in.ReadU8() != 'B' || in.ReadU8() != 'M') Fail();
    in.Skip(8);  // file size and reserved words: often wrong, never needed
    TBmpHeader h;
    h.pixelOffset = in.ReadU32();
    const uint32_t headerSize = in.ReadU32();
    if (headerSize == CoreHeaderSize) {
        h.width = in.ReadU16();
        h.height = in.ReadU16();
        if (in.ReadU16() != 1) Fail();
        h.bits = in.ReadU16();
        h.palette = ReadPalette(in, h.bits, 0, 3);
    } else {
        if (headerSize < InfoHeaderSize || headerSize > MaxHeaderSize) Fail();
        const qsizetype headerStart = in.Position() - 4;
        h.width = in.ReadI32();
        const int32_t height = in.ReadI32();
        if (in.ReadU16() != 1) Fail();
        h.bits = in.ReadU16();
        h.compression = in.ReadU32();
        in.Skip(12);  // image size, resolution
        const uint32_t used = in.ReadU32();
        in.Skip(4);
        if (height == INT32_MIN) Fail();
        h.topDown = height < 0;
        h.height = std::abs(height);
        // The masks follow a plain info header and are part of the longer ones.
        const bool masksOutside = h.compression == BiBitfields && headerSize == InfoHeaderSize;
        if (h.compression == BiBitfields)
            for (uint32_t& m : h.masks) m = in.ReadU32();
        if (!masksOutside) in.Seek(headerStart + headerSize);
        h.palette = ReadPalette(in, h.bits, used, 4);
    }
    if (h.width <= 0 || h.height <= 0) Fail();
    CheckPictureSize(h.width, h.height);
    const bool rle = h.compression == BiRle8 || h.compression == BiRle4;
    if (rle && (h.topDown || h.bits != (h.compression == BiRle8 ? 8 : 4))) Fail();
    if (h.compression == BiBitfields && h.bits != 16 && h.bits != 32) Fail();
    if (h.compression > BiBitfields) Fail();
    if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32) Fail();
    if (h.bits == 16 && h.compression == BiRgb) h.masks = {0x7C00, 0x03E0, 0x001F};
    if (h.bits == 32 && h.compression == BiRgb) h.masks = {0xFF0000, 0x00FF00, 0x0000FF};
    return h;
}

int RowIndex(const TBmpHeader& h, int storedRow) { return h.topDown ? storedRow : h.height - 1 - storedRow; }

void ReadUncompressed(const TBmpHeader& h, QByteArrayView pixels, QImage& image)
{
    const int64_t stride = (int64_t(h.width) * h.bits + 31) / 32 * 4;
    TBoundedReader in(pixels, PictureLoadFailedMessage());
    in.Need(stride * h.height);
    const TChannel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]);
    for (int r = 0; r < h.height; ++r) {
        const auto* src = reinterpret_cast<const uint8_t*>(in.ReadBytes(stride).data());
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(RowIndex(h, r)));
        for (int x = 0; x < h.width; ++x) {
            switch (h.bits) {
            case 1: dst[x] = h.palette[(src[x / 8] >> (7 - x % 8)) & 1]; break;
            case 4: dst[x] = h.palette[(src[x / 2] >> (x % 2 ? 0 : 4)) & 15]; break;
            case 8: dst[x] = h.palette[src[x]]; break;
            case 24: dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]); break;
            default: {
                const uint32_t v = h.bits == 16 ? qFromLittleEndian<uint16_t>(src + 2 * x)
                                                : qFromLittleEndian<uint32_t>(src + 4 * x);
                dst[x] = qRgb(red.Value(v), green.Value(v), blue.Value(v));
            }
            }
        }
    }
}

// Run-length pictures: pixels the codes skip stay the first palette colour.
void ReadRunLength(const TBmpHeader& h, QByteArrayView pixels, QImage& image)
{
    image.fill(h.palette[0]);
    TBoundedReader in(pixels, PictureLoadFailedMessage());
    const bool four = h.compression == BiRle4;
    int x = 0, row = 0;
    auto put = [&](int index) {
        if (x < h.width && row < h.height)
            reinterpret_cast<QRgb*>(image.scanLine(RowIndex(h, row)))[x] = h.palette[index];
        ++x;
    };
    while (row < h.height) {
        const uint8_t count = in.ReadU8(), code = in.ReadU8();
        if (count > 0) {
            for (int i = 0; i < count; ++i) put(four ? (i % 2 ? code & 15 : code >> 4) : code);
        } else if (code == 0) {
            x = 0, ++row;
        } else if (code == 1) {
            return;
        } else if (code == 2) {
            x += in.ReadU8();
            row += in.ReadU8();
        } else {
            const int bytes = four ? (code + 1) / 2 : code;
            const QByteArrayView run = in.ReadBytes(bytes);
            for (int i = 0; i < code; ++i) {
                const uint8_t b = uint8_t(run[four ? i / 2 : i]);
                put(four ? (i % 2 ? b & 15 : b >> 4) : b);
            }
            if (bytes % 2) in.Skip(1);
        }
    }
}

}  // namespace

QString PictureLoadFailedMessage() { return QStringLiteral("イメージの読み込みに失敗しました"); }
QString UnsupportedJpegMessage() { return QStringLiteral("未対応のJPEG形式です"); }

void CheckPictureSize(qint64 width, qint64 height)
{
    if (width <= 0 || height <= 0) throw EReadError(PictureLoadFailedMessage());
    if (width > MaxPictureSide || height > MaxPictureSide || width * height > MaxPicturePixels)
        throw EReadError(QStringLiteral("画像が大きすぎます（%1×%2 ピクセル。一辺 %3 ピクセル、全体で %4 万ピクセルまで）")
                             .arg(width)
                             .arg(height)
                             .arg(MaxPictureSide)
                             .arg(MaxPicturePixels / 10000));
}

namespace {

// packed: the pixels follow the header and palette directly, whatever the file header says.
QImage DecodeBmpFile(QByteArrayView bytes, bool packed)
{
    TBoundedReader in(bytes, PictureLoadFailedMessage());
    const TBmpHeader h = ReadHeader(in);
    const qsizetype pixelOffset = packed ? in.Position() : qsizetype(h.pixelOffset);
    if (pixelOffset < FileHeaderSize || pixelOffset > bytes.size()) Fail();
    QImage image(h.width, h.height, QImage::Format_RGB32);
    if (image.isNull()) Fail();
    const QByteArrayView pixels = bytes.sliced(pixelOffset);
    if (h.compression == BiRle8 || h.compression == BiRle4)
        ReadRunLength(h, pixels, image);
    else
        ReadUncompressed(h, pixels, image);
    return image;
}

// A file header in front of a device-independent bitmap, for the one BMP reader.
QByteArray WithFileHeader(QByteArrayView dib, qsizetype pixelOffset)
{
    QByteArray file("BM");
    const auto append32 = [&file](uint32_t v) {
        const uint32_t le = qToLittleEndian(v);
        file.append(reinterpret_cast<const char*>(&le), 4);
    };
    append32(uint32_t(FileHeaderSize + dib.size()));
    append32(0);
    append32(uint32_t(pixelOffset));
    file.append(dib.data(), dib.size());
    return file;
}

}  // namespace

QImage DecodeBmp(QByteArrayView bytes) { return DecodeBmpFile(bytes, false); }

QSize BmpImageSize(QByteArrayView bytes)
{
    TBoundedReader in(bytes, PictureLoadFailedMessage());
    const TBmpHeader h = ReadHeader(in);
    return {h.width, h.height};
}

QImage DecodeDib(QByteArrayView info, QByteArrayView bits)
{
    QByteArray dib = info.toByteArray();
    dib.append(bits.data(), bits.size());
    return DecodeBmpFile(WithFileHeader(dib, FileHeaderSize + info.size()), false);
}

QImage DecodePackedDib(QByteArrayView dib)
{
    return DecodeBmpFile(WithFileHeader(dib, 0), true);
}

namespace {

// Top-down rows, so that they can follow each other as they are drawn.
class TBmpBandWriter final : public TPictureBandWriter {
public:
    TBmpBandWriter(QIODevice& out, QSize size) : out_(out), width_(size.width()), stride_((size.width() * 3 + 3) / 4 * 4)
    {
        const int64_t pixelBytes = int64_t(stride_) * size.height();
        if (FileHeaderSize + InfoHeaderSize + pixelBytes > INT32_MAX)
            throw EKestrel(QStringLiteral("BMP ファイルにできる大きさ（2 GB）を超えています"));
        QByteArray header(FileHeaderSize + InfoHeaderSize, '\0');
        auto* p = reinterpret_cast<uchar*>(header.data());
        p[0] = 'B', p[1] = 'M';
        qToLittleEndian<uint32_t>(uint32_t(header.size() + pixelBytes), p + 2);
        qToLittleEndian<uint32_t>(FileHeaderSize + InfoHeaderSize, p + 10);
        uchar* info = p + FileHeaderSize;
        qToLittleEndian<uint32_t>(InfoHeaderSize, info);
        qToLittleEndian<int32_t>(size.width(), info + 4);
        qToLittleEndian<int32_t>(-size.height(), info + 8);
        qToLittleEndian<uint16_t>(1, info + 12);
        qToLittleEndian<uint16_t>(24, info + 14);
        qToLittleEndian<uint32_t>(uint32_t(pixelBytes), info + 20);
        Write(header);
    }
    void WriteBand(const QImage& band) override
    {
        QByteArray row(stride_, '\0');
        for (int y = 0; y < band.height(); ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(band.constScanLine(y));
            for (int x = 0; x < width_; ++x)
                row[3 * x] = char(qBlue(src[x])), row[3 * x + 1] = char(qGreen(src[x])), row[3 * x + 2] = char(qRed(src[x]));
            Write(row);
        }
    }
    void Finish() override {}

private:
    void Write(const QByteArray& bytes)
    {
        if (out_.write(bytes) != bytes.size()) throw EKestrel(QStringLiteral("BMP ファイルを書けませんでした"));
    }
    QIODevice& out_;
    int width_;
    int stride_;
};

}  // namespace

std::unique_ptr<TPictureBandWriter> NewBmpBandWriter(QIODevice& out, QSize size)
{
    return std::make_unique<TBmpBandWriter>(out, size);
}

QByteArray EncodeBmp24(const QImage& picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width(), h = image.height();
    const int stride = (w * 3 + 3) / 4 * 4;
    const uint32_t pixelBytes = uint32_t(stride) * h;
    QByteArray out(FileHeaderSize + InfoHeaderSize + pixelBytes, '\0');
    auto* p = reinterpret_cast<uchar*>(out.data());
    p[0] = 'B', p[1] = 'M';
    qToLittleEndian<uint32_t>(out.size(), p + 2);
    qToLittleEndian<uint32_t>(FileHeaderSize + InfoHeaderSize, p + 10);
    uchar* info = p + FileHeaderSize;
    qToLittleEndian<uint32_t>(InfoHeaderSize, info);
    qToLittleEndian<int32_t>(w, info + 4);
    qToLittleEndian<int32_t>(h, info + 8);
    qToLittleEndian<uint16_t>(1, info + 12);
    qToLittleEndian<uint16_t>(24, info + 14);
    qToLittleEndian<uint32_t>(pixelBytes, info + 20);
    for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(h - 1 - y));
        uchar* dst = info + InfoHeaderSize + int64_t(y) * stride;
        for (int x = 0; x < w; ++x) {
            const int a = qAlpha(src[x]);
            auto onWhite = [a](int c) { return uchar((c * a + 255 * (255 - a) + 127) / 255); };
            dst[3 * x] = onWhite(qBlue(src[x])), dst[3 * x + 1] = onWhite(qGreen(src[x])),
            dst[3 * x + 2] = onWhite(qRed(src[x]));
        }
    }
    return out;
}

}  // namespace kestrel

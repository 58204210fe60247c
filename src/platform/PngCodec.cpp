#include <QIODevice>
#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <vector>

#include <png.h>

#include "platform/Error.h"
#include "platform/PictureCodecs.h"

namespace kestrel {

namespace {

// Larger ancillary chunks (text, profiles) are refused rather than buffered.
constexpr png_alloc_size_t MaxChunkBytes = 8 * 1024 * 1024;

struct TMemorySource {
    const png_byte* data;
    size_t size;
    size_t pos = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, size_t length)
{
    auto* source = static_cast<TMemorySource*>(png_get_io_ptr(png));
    if (length > source->size - source->pos) png_error(png, "truncated");
    std::memcpy(out, source->data + source->pos, length);
    source->pos += length;
}

void Silent(png_structp, png_const_charp) {}
[[noreturn]] void JumpOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// libpng reports errors by longjmp; only the small members below call setjmp and they hold
// nothing with a destructor.
class TPngReader {
public:
    explicit TPngReader(QByteArrayView bytes)
        : source_{reinterpret_cast<const png_byte*>(bytes.data()), size_t(bytes.size())}
    {
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, Silent);
        if (png_) info_ = png_create_info_struct(png_);
        if (!info_) return;
        png_set_read_fn(png_, &source_, ReadFromMemory);
        png_set_user_limits(png_, MaxPictureSide, MaxPictureSide);
        png_set_chunk_malloc_max(png_, MaxChunkBytes);
    }
    ~TPngReader() { png_destroy_read_struct(&png_, &info_, nullptr); }
    TPngReader(const TPngReader&) = delete;
    TPngReader& operator=(const TPngReader&) = delete;

    // Reads the header and asks for 8-bit BGRA rows (the byte order of Format_ARGB32).
    bool ReadHeader(png_uint_32& width, png_uint_32& height, bool& hasAlpha)
    {
        if (!info_ || setjmp(png_jmpbuf(png_))) return false;
        png_read_info(png_, info_);
        width = png_get_image_width(png_, info_);
        height = png_get_image_height(png_, info_);
        const int colorType = png_get_color_type(png_, info_);
        hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png_, info_, PNG_INFO_tRNS);
        png_set_expand(png_);
        png_set_strip_16(png_);
        png_set_gray_to_rgb(png_);
        png_set_bgr(png_);
        png_set_filler(png_, 0xFF, PNG_FILLER_AFTER);
        png_set_interlace_handling(png_);
        png_read_update_info(png_, info_);
        return png_get_rowbytes(png_, info_) == size_t(width) * 4;
    }
    bool ReadRows(const std::vector<png_bytep>& rows)
    {
        if (setjmp(png_jmpbuf(png_))) return false;
        png_read_image(png_, const_cast<png_bytepp>(rows.data()));
        return true;
    }
    bool ReadRow(png_bytep row)
    {
        if (setjmp(png_jmpbuf(png_))) return false;
        png_read_row(png_, row, nullptr);
        return true;
    }
    bool Interlaced() const { return png_get_interlace_type(png_, info_) != PNG_INTERLACE_NONE; }

private:
    TMemorySource source_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

}  // namespace

QSize PngImageSize(QByteArrayView bytes)
{
    TPngReader reader(bytes);
    png_uint_32 width = 0, height = 0;
    bool hasAlpha = false;
    if (!reader.ReadHeader(width, height, hasAlpha)) throw EReadError(PictureLoadFailedMessage());
    CheckPictureSize(width, height);
    return QSize(int(width), int(height));
}

namespace {

QImage NewPicture(int width, int height, bool hasAlpha)
{
    QImage image(width, height, hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) throw EReadError(PictureLoadFailedMessage());
    return image;
}

QImage ReadWhole(TPngReader& reader, png_uint_32 width, png_uint_32 height, bool hasAlpha)
{
    QImage image = NewPicture(int(width), int(height), hasAlpha);
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = image.scanLine(int(y));
    if (!reader.ReadRows(rows)) throw EReadError(PictureLoadFailedMessage());
    return image;
}

// Sums of one band of shrink rows per output pixel; colours weighted by their alpha, so that
// invisible pixels lend no colour to the average.
class TBlockAverager {
public:
    TBlockAverager(int width, int shrink) : width_(width), shrink_(shrink), sums_(size_t((width + shrink - 1) / shrink) * 4) {}

    void Add(const png_byte* bgra)
    {
        for (int x = 0; x < width_; ++x, bgra += 4) {
            quint32* sum = &sums_[size_t(x / shrink_) * 4];
            const quint32 alpha = bgra[3];
            sum[0] += bgra[0] * alpha, sum[1] += bgra[1] * alpha, sum[2] += bgra[2] * alpha, sum[3] += alpha;
        }
        ++rows_;
    }
    void EmitInto(uchar* line)
    {
        for (size_t cell = 0; cell < sums_.size() / 4; ++cell) {
            const quint32* sum = &sums_[cell * 4];
            const quint32 columns = quint32(std::min(shrink_, width_ - int(cell) * shrink_));
            for (int c = 0; c < 3; ++c) line[cell * 4 + c] = uchar(sum[3] ? (sum[c] + sum[3] / 2) / sum[3] : 0);
            line[cell * 4 + 3] = uchar((sum[3] + columns * rows_ / 2) / (columns * rows_));
        }
        std::fill(sums_.begin(), sums_.end(), 0);
        rows_ = 0;
    }

private:
    int width_, shrink_;
    std::vector<quint32> sums_;
    quint32 rows_ = 0;
};

QImage ReadReduced(TPngReader& reader, png_uint_32 width, png_uint_32 height, bool hasAlpha, int shrink)
{
    QImage image = NewPicture(int((width + shrink - 1) / shrink), int((height + shrink - 1) / shrink), hasAlpha);
    std::vector<png_byte> row(size_t(width) * 4);
    TBlockAverager averager(int(width), shrink);
    for (png_uint_32 y = 0; y < height; ++y) {
        if (!reader.ReadRow(row.data())) throw EReadError(PictureLoadFailedMessage());
        averager.Add(row.data());
        if ((y + 1) % shrink == 0 || y + 1 == height) averager.EmitInto(image.scanLine(int(y / shrink)));
    }
    return image;
}

}  // namespace

QImage DecodePng(QByteArrayView bytes, int shrink)
{
    TPngReader reader(bytes);
    png_uint_32 width = 0, height = 0;
    bool hasAlpha = false;
    if (!reader.ReadHeader(width, height, hasAlpha)) throw EReadError(PictureLoadFailedMessage());
    CheckPictureSize(width, height);
    if (shrink <= 1) return ReadWhole(reader, width, height, hasAlpha);
    if (!reader.Interlaced()) return ReadReduced(reader, width, height, hasAlpha, shrink);
    const QImage whole = ReadWhole(reader, width, height, hasAlpha);
    return whole.scaled(int((width + shrink - 1) / shrink), int((height + shrink - 1) / shrink), Qt::IgnoreAspectRatio,
                        Qt::SmoothTransformation);
}

namespace {

void WriteToDevice(png_structp png, png_bytep data, size_t length)
{
    auto* out = static_cast<QIODevice*>(png_get_io_ptr(png));
    if (out->write(reinterpret_cast<const char*>(data), qint64(length)) != qint64(length)) png_error(png, "write");
}
void FlushNothing(png_structp) {}

// Like the reader: only the small members call setjmp, and they hold nothing with a destructor.
class TPngBandWriter final : public TPictureBandWriter {
public:
    TPngBandWriter(QIODevice& out, QSize size, int dpi)
    {
        png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, Silent);
        if (png_) info_ = png_create_info_struct(png_);
        if (!info_ || !Start(out, size, dpi)) Fail();
    }
    ~TPngBandWriter() override { png_destroy_write_struct(&png_, &info_); }
    TPngBandWriter(const TPngBandWriter&) = delete;
    TPngBandWriter& operator=(const TPngBandWriter&) = delete;

    void WriteBand(const QImage& band) override
    {
        if (!WriteRows(band)) Fail();
    }
    void Finish() override
    {
        if (!End()) Fail();
    }

private:
    [[noreturn]] static void Fail() { throw EKestrel(QStringLiteral("PNGイメージを作成できませんでした")); }
    bool Start(QIODevice& out, QSize size, int dpi)
    {
        if (setjmp(png_jmpbuf(png_))) return false;
        png_set_write_fn(png_, &out, WriteToDevice, FlushNothing);
        png_set_IHDR(png_, info_, png_uint_32(size.width()), png_uint_32(size.height()), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        const auto dotsPerMetre = png_uint_32(std::lround(dpi / 0.0254));
        png_set_pHYs(png_, info_, dotsPerMetre, dotsPerMetre, PNG_RESOLUTION_METER);
        // Band-written pictures are the largest (whole sheets at printing resolutions): trying
        // every row filter and compressing hard took four to nine times as long, for photographs
        // a sixth smaller. The "up" filter alone suits both blank paper and photographs.
        png_set_filter(png_, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
        png_set_compression_level(png_, 1);
        png_write_info(png_, info_);
        png_set_bgr(png_);
        png_set_filler(png_, 0, PNG_FILLER_AFTER);  // the X of BGRX rows
        return true;
    }
    bool WriteRows(const QImage& band)
    {
        if (setjmp(png_jmpbuf(png_))) return false;
        for (int y = 0; y < band.height(); ++y) png_write_row(png_, const_cast<png_bytep>(band.constScanLine(y)));
        return true;
    }
    bool End()
    {
        if (setjmp(png_jmpbuf(png_))) return false;
        png_write_end(png_, nullptr);
        return true;
    }

    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

}  // namespace

std::unique_ptr<TPictureBandWriter> NewPngBandWriter(QIODevice& out, QSize size, int dpi)
{
    return std::make_unique<TPngBandWriter>(out, size, dpi);
}

QByteArray EncodePng(const QImage& picture, TPngCompression compression)
{
    const QImage image = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    png_image out{};
    out.version = PNG_IMAGE_VERSION;
    out.width = png_uint_32(image.width());
    out.height = png_uint_32(image.height());
    out.format = PNG_FORMAT_BGRA;
    if (compression == TPngCompression::Fast) out.flags = PNG_IMAGE_FLAG_FAST;
    // One pass into a buffer of the largest size the picture can take, rather than a first pass
    // that only measures: compressing is most of the work.
    png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(out);
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    const auto stride = png_int_32(image.bytesPerLine());
    if (!png_image_write_to_memory(&out, bytes.data(), &size, 0, image.constBits(), stride, nullptr))
        throw EKestrel(QStringLiteral("PNGイメージを作成できませんでした"));
    bytes.truncate(qsizetype(size));
    return bytes;
}

}  // namespace kestrel

#include <QIODevice>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "platform/Error.h"
#include "platform/PictureCodecs.h"

namespace kestrel {

namespace {

// libjpeg reports errors by longjmp. Only the small functions below call setjmp, and they hold
// nothing with a destructor, so a jump never skips C++ clean-up.
struct TJpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void JumpOnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<TJpegError*>(info->err)->jump, 1);
}

void Silent(j_common_ptr) {}

// Owns a decompressor; the error manager is part of it.
class TJpegReader {
public:
    explicit TJpegReader(QByteArrayView bytes) : bytes_(bytes)
    {
        info_.err = jpeg_std_error(&error_.manager);
        error_.manager.error_exit = JumpOnError;
        error_.manager.output_message = Silent;
        jpeg_create_decompress(&info_);
    }
    ~TJpegReader() { jpeg_destroy_decompress(&info_); }
    TJpegReader(const TJpegReader&) = delete;
    TJpegReader& operator=(const TJpegReader&) = delete;

    jpeg_decompress_struct& Info() { return info_; }

    bool ReadHeader()
    {
        if (setjmp(error_.jump)) return false;
        // Given here, where an error can jump: libjpeg refuses empty input at once.
        jpeg_mem_src(&info_, reinterpret_cast<const unsigned char*>(bytes_.data()), static_cast<unsigned long>(bytes_.size()));
        jpeg_read_header(&info_, TRUE);
        return true;
    }
    bool Start()
    {
        if (setjmp(error_.jump)) return false;
        jpeg_start_decompress(&info_);
        return true;
    }
    // Reads every row into the picture's memory; a damaged stream stops with false.
    bool ReadRows(unsigned char* bits, qsizetype bytesPerLine)
    {
        if (setjmp(error_.jump)) return false;
        while (info_.output_scanline < info_.output_height) {
            JSAMPROW row = bits + info_.output_scanline * bytesPerLine;
            jpeg_read_scanlines(&info_, &row, 1);
        }
        jpeg_finish_decompress(&info_);
        return true;
    }

private:
    QByteArrayView bytes_;
    jpeg_decompress_struct info_{};
    TJpegError error_{};
};

bool IsBaselineLayout(const jpeg_decompress_struct& info)
{
    return !info.progressive_mode && !info.arith_code && info.data_precision == 8 && info.image_width > 0 &&
           info.image_height > 0 && (info.num_components == 1 || info.num_components == 3);
}

class TJpegWriter {
public:
    TJpegWriter()
    {
        info_.err = jpeg_std_error(&error_.manager);
        error_.manager.error_exit = JumpOnError;
        error_.manager.output_message = Silent;
        jpeg_create_compress(&info_);
    }
    ~TJpegWriter()
    {
        jpeg_destroy_compress(&info_);
        std::free(buffer_);
    }
    TJpegWriter(const TJpegWriter&) = delete;
    TJpegWriter& operator=(const TJpegWriter&) = delete;

    bool Write(const QImage& image, int quality)
    {
        return Start(image.size(), quality) && WriteRows(image) && Finish();
    }
    bool Start(QSize size, int quality)
    {
        if (setjmp(error_.jump)) return false;
        jpeg_mem_dest(&info_, &buffer_, &size_);
        info_.image_width = size.width();
        info_.image_height = size.height();
        info_.input_components = 4;
        info_.in_color_space = JCS_EXT_BGRX;
        jpeg_set_defaults(&info_);
        jpeg_set_quality(&info_, quality, TRUE);
        jpeg_start_compress(&info_, TRUE);
        return true;
    }
    // Rows of the picture's width, Format_RGB32.
    bool WriteRows(const QImage& rows)
    {
        if (setjmp(error_.jump)) return false;
        for (int y = 0; y < rows.height() && info_.next_scanline < info_.image_height; ++y) {
            JSAMPROW row = const_cast<unsigned char*>(rows.constScanLine(y));
            jpeg_write_scanlines(&info_, &row, 1);
        }
        return true;
    }
    bool Finish()
    {
        if (setjmp(error_.jump)) return false;
        jpeg_finish_compress(&info_);
        return true;
    }
    QByteArray Bytes() const { return QByteArray(reinterpret_cast<const char*>(buffer_), qsizetype(size_)); }

private:
    jpeg_compress_struct info_{};
    TJpegError error_{};
    unsigned char* buffer_ = nullptr;
    unsigned long size_ = 0;
};

// Reads and checks the header.
jpeg_decompress_struct& CheckedHeader(TJpegReader& reader)
{
    if (!reader.ReadHeader()) throw EReadError(PictureLoadFailedMessage());
    jpeg_decompress_struct& info = reader.Info();
    if (!IsBaselineLayout(info)) throw EReadError(UnsupportedJpegMessage());
    CheckPictureSize(info.image_width, info.image_height);
    return info;
}

}  // namespace

QSize JpegImageSize(QByteArrayView bytes)
{
    TJpegReader reader(bytes);
    const jpeg_decompress_struct& info = CheckedHeader(reader);
    return QSize(int(info.image_width), int(info.image_height));
}

QImage DecodeJpeg(QByteArrayView bytes, int scaleDenom)
{
    TJpegReader reader(bytes);
    jpeg_decompress_struct& info = CheckedHeader(reader);
    info.out_color_space = JCS_EXT_BGRX;  // the byte order of Format_RGB32 on little-endian hosts
    info.scale_num = 1;
    info.scale_denom = scaleDenom == 2 || scaleDenom == 4 || scaleDenom == 8 ? scaleDenom : 1;
    if (!reader.Start()) throw EReadError(PictureLoadFailedMessage());
    QImage image(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
    if (image.isNull() || !reader.ReadRows(image.bits(), image.bytesPerLine()))
        throw EReadError(PictureLoadFailedMessage());
    return image;
}

namespace {

class TJpegBandWriter final : public TPictureBandWriter {
public:
    TJpegBandWriter(QIODevice& out, QSize size, int quality) : out_(out)
    {
        if (!writer_.Start(size, quality)) Fail();
    }
    void WriteBand(const QImage& band) override
    {
        if (!writer_.WriteRows(band)) Fail();
    }
    void Finish() override
    {
        if (!writer_.Finish()) Fail();
        const QByteArray bytes = writer_.Bytes();
        if (out_.write(bytes) != bytes.size()) Fail();
    }

private:
    [[noreturn]] static void Fail() { throw EKestrel(QStringLiteral("JPEGイメージを作成できませんでした")); }
    QIODevice& out_;
    TJpegWriter writer_;
};

}  // namespace

std::unique_ptr<TPictureBandWriter> NewJpegBandWriter(QIODevice& out, QSize size, int quality)
{
    return std::make_unique<TJpegBandWriter>(out, size, quality);
}

QByteArray EncodeJpeg(const QImage& picture, int quality)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    TJpegWriter writer;
    if (image.isNull() || !writer.Write(image, quality))
        throw EKestrel(QStringLiteral("JPEGイメージを作成できませんでした"));
    return writer.Bytes();
}

}  // namespace kestrel

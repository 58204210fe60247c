#include <cstring>
#include <vector>

#include <gif_lib.h>

#include "platform/Error.h"
#include "platform/PictureCodecs.h"

namespace kestrel {

namespace {

constexpr int GraphicControlExtension = 0xF9;
constexpr int TransparentFlag = 0x01;

struct TMemorySource {
    const GifByteType* data;
    size_t size;
    size_t pos = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int length)
{
    auto* source = static_cast<TMemorySource*>(gif->UserData);
    const size_t n = std::min<size_t>(size_t(std::max(length, 0)), source->size - source->pos);
    std::memcpy(out, source->data + source->pos, n);
    source->pos += n;
    return int(n);
}

[[noreturn]] void Fail() { throw EReadError(PictureLoadFailedMessage()); }

class TGifFile {
public:
    explicit TGifFile(QByteArrayView bytes) : source_{reinterpret_cast<const GifByteType*>(bytes.data()), size_t(bytes.size())}
    {
        int error = 0;
        gif_ = DGifOpen(&source_, ReadFromMemory, &error);
        if (!gif_) Fail();
    }
    ~TGifFile() { DGifCloseFile(gif_, nullptr); }
    TGifFile(const TGifFile&) = delete;
    TGifFile& operator=(const TGifFile&) = delete;
    GifFileType* operator->() const { return gif_; }
    GifFileType* Get() const { return gif_; }

private:
    TMemorySource source_;
    GifFileType* gif_ = nullptr;
};

// The transparent index of a graphic control block, or -1.
int ReadExtensions(GifFileType* gif, int transparent)
{
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) Fail();
    if (code == GraphicControlExtension && block && block[0] >= 4)
        transparent = (block[1] & TransparentFlag) ? block[4] : -1;
    while (block) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) Fail();
    }
    return transparent;
}

std::vector<QRgb> Palette(const ColorMapObject* map, int transparent)
{
    std::vector<QRgb> palette(256, qRgb(0, 0, 0));
    if (!map) return palette;
    for (int i = 0; i < std::min(map->ColorCount, 256); ++i)
        palette[i] = qRgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue);
    if (transparent >= 0) palette[transparent] &= 0x00FFFFFF;
    return palette;
}

// Stored row r of an interlaced frame: rows 0, 8, 16, ..., then 4, 12, ..., then 2, 6, ...,
// then the odd rows.
int InterlacedRow(int r, int height)
{
    static constexpr int Start[] = {0, 4, 2, 1}, Step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        const int rows = height > Start[pass] ? (height - Start[pass] + Step[pass] - 1) / Step[pass] : 0;
        if (r < rows) return Start[pass] + r * Step[pass];
        r -= rows;
    }
    return height - 1;
}

void ReadFrame(GifFileType* gif, int transparent, QImage& image)
{
    if (DGifGetImageDesc(gif) == GIF_ERROR) Fail();
    const GifImageDesc& desc = gif->Image;
    if (desc.Width <= 0 || desc.Height <= 0 || desc.Width > MaxPictureSide || desc.Height > MaxPictureSide) Fail();
    const std::vector<QRgb> palette = Palette(desc.ColorMap ? desc.ColorMap : gif->SColorMap, transparent);
    std::vector<GifPixelType> line(size_t(desc.Width));
    for (int r = 0; r < desc.Height; ++r) {
        if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR) Fail();
        const int y = desc.Top + (desc.Interlace ? InterlacedRow(r, desc.Height) : r);
        if (y < 0 || y >= image.height()) continue;
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < desc.Width; ++x)
            if (desc.Left + x < image.width()) dst[desc.Left + x] = palette[line[size_t(x)]];
    }
}

}  // namespace

QSize GifImageSize(QByteArrayView bytes)
{
    TGifFile gif(bytes);
    CheckPictureSize(gif->SWidth, gif->SHeight);
    return QSize(gif->SWidth, gif->SHeight);
}

QImage DecodeGif(QByteArrayView bytes)
{
    TGifFile gif(bytes);
    CheckPictureSize(gif->SWidth, gif->SHeight);
    int transparent = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.Get(), &type) == GIF_ERROR) Fail();
        if (type == EXTENSION_RECORD_TYPE) {
            transparent = ReadExtensions(gif.Get(), transparent);
        } else if (type == IMAGE_DESC_RECORD_TYPE) {
            QImage image(gif->SWidth, gif->SHeight, transparent >= 0 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
            if (image.isNull()) Fail();
            const std::vector<QRgb> screen = Palette(gif->SColorMap, transparent);
            image.fill(transparent >= 0 ? screen[size_t(transparent)] : screen[size_t(gif->SBackGroundColor & 0xFF)]);
            ReadFrame(gif.Get(), transparent, image);
            return image;
        } else {
            Fail();  // the trailer before any frame, or an unknown record
        }
    }
}

}  // namespace kestrel

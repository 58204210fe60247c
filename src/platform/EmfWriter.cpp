#include "platform/EmfWriter.h"

#include <QImage>
#include <QtEndian>

namespace kestrel {

namespace {

constexpr uint32_t EmrHeader = 1, EmrEof = 14, EmrSetBkMode = 18, EmrSetTextAlign = 22, EmrSetTextColor = 24;
constexpr uint32_t EmrSelectObject = 37, EmrCreateBrushIndirect = 39, EmrDeleteObject = 40, EmrRectangle = 43;
constexpr uint32_t EmrExtCreateFontIndirectW = 82, EmrExtTextOutW = 84;
constexpr uint32_t EmfSignature = 0x464D4520, EmfVersion = 0x10000;
constexpr uint32_t NullPen = 0x80000008, Transparent = 1, TaCenterTop = 6, ShiftJisCharset = 128;
constexpr int DevicePixels = 960, DeviceMillimetres = 254;  // 96 dots per inch
constexpr int HeaderSize = 88, FaceNameChars = 32;

void Put32(QByteArray& out, uint32_t value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void PutInt(QByteArray& out, int value) { Put32(out, uint32_t(value)); }

void PutRect(QByteArray& out, const QRect& r)
{
    PutInt(out, r.left()), PutInt(out, r.top()), PutInt(out, r.right() + 1), PutInt(out, r.bottom() + 1);
}

QByteArray Utf16(const QString& text)
{
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// LOGFONTW of the font, its height the character height in pixels.
QByteArray LogFont(const TFont& font)
{
    QByteArray out;
    PutInt(out, -font.size);
    PutInt(out, 0), PutInt(out, 0), PutInt(out, 0);  // width, escapement, orientation
    PutInt(out, font.bold ? 700 : 400);
    out.append(char(font.italic)).append(char(font.underline)).append(char(font.strikeOut));
    out.append(char(ShiftJisCharset)).append(QByteArray(4, '\0'));  // precisions, quality, pitch
    out.append(Utf16(font.name.left(FaceNameChars - 1)).leftJustified(FaceNameChars * 2, '\0'));
    return out;
}

}  // namespace

QSize MetafileTextExtent(const QString& text, const TFont& font)
{
    QImage scratch(1, 1, QImage::Format_RGB32);
    TCanvas canvas(scratch);
    canvas.SetFontResolution(72);  // sizes in pixels, as the player sets them
    canvas.SetFont(font);
    return canvas.TextExtent(text);
}

TEmfWriter::TEmfWriter(QSize size) : size_(size.expandedTo({1, 1})) {}

void TEmfWriter::Record(uint32_t type, const QByteArray& parameters)
{
    Put32(records_, type);
    Put32(records_, uint32_t(8 + parameters.size()));
    records_ += parameters;
    ++recordCount_;
}

uint32_t TEmfWriter::CreateObject(uint32_t type, const QByteArray& parameters)
{
    const uint32_t handle = handleCount_++;
    QByteArray record;
    Put32(record, handle);
    Record(type, record + parameters);
    return handle;
}

void TEmfWriter::FillRect(const QRect& rect, TColor colour)
{
    QByteArray brush;
    Put32(brush, 0), Put32(brush, colour), Put32(brush, 0);  // solid, colour, no hatch
    const uint32_t handle = CreateObject(EmrCreateBrushIndirect, brush);
    QByteArray select;
    Put32(select, handle);
    Record(EmrSelectObject, select);
    QByteArray pen;
    Put32(pen, NullPen);
    Record(EmrSelectObject, pen);
    QByteArray box;
    PutRect(box, rect.adjusted(0, 0, 1, 1));  // a rectangle without a pen leaves its right and bottom edge
    Record(EmrRectangle, box);
    Record(EmrDeleteObject, select);
}

void TEmfWriter::CentredText(QPoint topCentre, const QString& text, const TFont& font)
{
    const uint32_t handle = CreateObject(EmrExtCreateFontIndirectW, LogFont(font));
    QByteArray value;
    Put32(value, handle);
    Record(EmrSelectObject, value);
    QByteArray mode;
    Put32(mode, Transparent);
    Record(EmrSetBkMode, mode);
    QByteArray align;
    Put32(align, TaCenterTop);
    Record(EmrSetTextAlign, align);
    QByteArray colour;
    Put32(colour, font.color);
    Record(EmrSetTextColor, colour);

    const QByteArray chars = Utf16(text).leftJustified((text.size() * 2 + 3) / 4 * 4, '\0');
    constexpr int StringOffset = 76;  // from the record's start: header, bounds, mode, scales, text
    QByteArray record;
    PutInt(record, 0), PutInt(record, 0), PutInt(record, -1), PutInt(record, -1);  // bounds not given
    Put32(record, 1);  // compatible graphics mode
    Put32(record, 0), Put32(record, 0);  // scales, unused in that mode
    PutInt(record, topCentre.x()), PutInt(record, topCentre.y());
    Put32(record, uint32_t(text.size()));
    Put32(record, StringOffset);
    Put32(record, 0);  // options
    PutInt(record, 0), PutInt(record, 0), PutInt(record, -1), PutInt(record, -1);
    Put32(record, uint32_t(StringOffset + chars.size()));
    record += chars;
    for (const QChar c : text) PutInt(record, MetafileTextExtent(c, font).width());
    Record(EmrExtTextOutW, record);
    Record(EmrDeleteObject, value);
}

QByteArray TEmfWriter::Bytes() const
{
    QByteArray end;
    Put32(end, 0), Put32(end, 16), Put32(end, 20);  // no palette; the record's size last
    QByteArray header;
    Put32(header, EmrHeader);
    Put32(header, HeaderSize);
    PutRect(header, QRect(QPoint(0, 0), size_).adjusted(0, 0, -1, -1));  // bounds, inclusive
    const auto hundredths = [](int pixels) { return pixels * DeviceMillimetres * 100 / DevicePixels; };
    PutInt(header, 0), PutInt(header, 0), PutInt(header, hundredths(size_.width())), PutInt(header, hundredths(size_.height()));
    Put32(header, EmfSignature);
    Put32(header, EmfVersion);
    Put32(header, uint32_t(HeaderSize + records_.size() + 8 + end.size()));
    Put32(header, recordCount_ + 2);
    header.append(char(handleCount_ & 0xFF)).append(char(handleCount_ >> 8)).append(QByteArray(2, '\0'));
    Put32(header, 0), Put32(header, 0), Put32(header, 0);  // description, palette
    PutInt(header, DevicePixels), PutInt(header, DevicePixels);
    PutInt(header, DeviceMillimetres), PutInt(header, DeviceMillimetres);
    QByteArray eof;
    Put32(eof, EmrEof);
    Put32(eof, uint32_t(8 + end.size()));
    return header + records_ + eof + end;
}

}  // namespace kestrel

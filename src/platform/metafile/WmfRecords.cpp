#include "platform/metafile/WmfRecords.h"

#include "platform/Cp932.h"
#include "platform/PictureCodecs.h"
#include "platform/metafile/MetafilePlayback.h"

namespace kestrel::metafile {

namespace {

constexpr uint32_t PlaceableKey = 0x9AC6CDD7;

// The record functions played; the others are skipped.
enum TWmfRecord : uint16_t {
    wmrEof = 0x0000,
    wmrSaveDC = 0x001E,
    wmrCreatePalette = 0x00F7,
    wmrSetBkMode = 0x0102,
    wmrSetMapMode = 0x0103,
    wmrSetRop2 = 0x0104,
    wmrSetPolyFillMode = 0x0106,
    wmrSetStretchBltMode = 0x0107,
    wmrRestoreDC = 0x0127,
    wmrInvertRegion = 0x012A,
    wmrPaintRegion = 0x012B,
    wmrSelectClipRegion = 0x012C,
    wmrSelectObject = 0x012D,
    wmrSetTextAlign = 0x012E,
    wmrDibCreatePatternBrush = 0x0142,
    wmrDeleteObject = 0x01F0,
    wmrCreatePatternBrush = 0x01F9,
    wmrSetBkColor = 0x0201,
    wmrSetTextColor = 0x0209,
    wmrSetWindowOrg = 0x020B,
    wmrSetWindowExt = 0x020C,
    wmrLineTo = 0x0213,
    wmrMoveTo = 0x0214,
    wmrFillRegion = 0x0228,
    wmrCreatePenIndirect = 0x02FA,
    wmrCreateFontIndirect = 0x02FB,
    wmrCreateBrushIndirect = 0x02FC,
    wmrPolygon = 0x0324,
    wmrPolyline = 0x0325,
    wmrExcludeClipRect = 0x0415,
    wmrIntersectClipRect = 0x0416,
    wmrEllipse = 0x0418,
    wmrRectangle = 0x041B,
    wmrFrameRegion = 0x0429,
    wmrTextOut = 0x0521,
    wmrPolyPolygon = 0x0538,
    wmrRoundRect = 0x061C,
    wmrPatBlt = 0x061D,
    wmrCreateRegion = 0x06FF,
    wmrArc = 0x0817,
    wmrPie = 0x081A,
    wmrChord = 0x0830,
    wmrDibBitBlt = 0x0940,
    wmrExtTextOut = 0x0A32,
    wmrDibStretchBlt = 0x0B41,
    wmrStretchDib = 0x0F43,
};

QPoint WmfPoint(TBoundedReader& in)
{
    const int x = in.ReadI16();
    return {x, in.ReadI16()};
}

// Points stored y first.
QPoint WmfPointYX(TBoundedReader& in)
{
    const QPoint p = WmfPoint(in);
    return {p.y(), p.x()};
}

// Rectangles are stored bottom, right, top, left.
QRect WmfBox(TBoundedReader& in)
{
    const int bottom = in.ReadI16(), right = in.ReadI16(), top = in.ReadI16(), left = in.ReadI16();
    return Box(left, top, right, bottom);
}

QPolygon WmfPoints(TBoundedReader& in, int count)
{
    if (count < 0) Fail();
    in.Need(int64_t(count) * 4);
    QPolygon points;
    for (int i = 0; i < count; ++i) points << WmfPoint(in);
    return points;
}

QString WmfText(const TPlayback& playback, TBoundedReader& in, int length)
{
    if (length < 0) Fail();
    const QByteArrayView bytes = in.ReadBytes(length);
    return playback.ShiftJisText() ? FromCp932(bytes) : QString::fromLatin1(bytes);
}

// A region object: its scans of rectangles, in logical units.
std::vector<QRect> WmfRegion(TBoundedReader& in)
{
    in.Skip(10);  // next in chain, object type, object count, region size
    const int scanCount = in.ReadI16();
    in.Skip(2 + 8);  // largest scan, bounds
    std::vector<QRect> region;
    for (int i = 0; i < scanCount; ++i) {
        const int count = in.ReadU16();
        const int top = in.ReadI16(), bottom = in.ReadI16();
        in.Need(int64_t(count) * 2 + 2);
        for (int k = 0; k + 1 < count; k += 2) {
            const int left = in.ReadI16(), right = in.ReadI16();
            if (right > left && bottom > top) region.emplace_back(QPoint(left, top), QPoint(right - 1, bottom - 1));
        }
        if (count % 2) in.Skip(2);
        in.Skip(2);  // count again
    }
    return region;
}

// Blits carry their picture as a packed DIB; without one they paint with the brush.
void PlayBlit(TPlayback& playback, uint16_t function, TBoundedReader& in)
{
    const qsizetype paramBytes = in.Remaining();
    const bool withPicture = paramBytes > (function == wmrDibBitBlt ? 20 : 22) || function == wmrStretchDib;
    const uint32_t rop = in.ReadU32();
    if (function == wmrStretchDib) in.Skip(2);  // colour usage
    QSize sourceSize;
    if (function != wmrDibBitBlt) {
        const int h = in.ReadI16();
        sourceSize = QSize(in.ReadI16(), h);
    }
    const int ySrc = in.ReadI16(), xSrc = in.ReadI16();
    if (!withPicture) in.Skip(2);
    const int h = in.ReadI16(), w = in.ReadI16(), y = in.ReadI16(), x = in.ReadI16();
    if (function == wmrDibBitBlt) sourceSize = QSize(w, h);
    const QRect dest(x, y, w, h);
    if (!withPicture) {
        playback.PatternOperation(dest, rop);
        return;
    }
    const QImage picture = DecodePackedDib(in.ReadBytes(in.Remaining()));
    // A stretched DIB counts its source rows from the bottom, as the bitmap stores them.
    const int top = function == wmrStretchDib ? picture.height() - ySrc - sourceSize.height() : ySrc;
    playback.Blit(dest, picture, QRect(QPoint(xSrc, top), sourceSize), rop);
}

void PlayArc(TPlayback& playback, uint16_t function, TBoundedReader& in)
{
    const QPoint end = WmfPointYX(in), start = WmfPointYX(in);
    const QRect box = WmfBox(in);
    const auto kind = function == wmrArc   ? TPlayback::TArcKind::akArc
                      : function == wmrChord ? TPlayback::TArcKind::akChord
                                             : TPlayback::TArcKind::akPie;
    playback.Arc(kind, box, start, end);
}

void PlayPolyPolygon(TPlayback& playback, TBoundedReader& in)
{
    const int count = in.ReadU16();
    in.Need(int64_t(count) * 2);
    std::vector<int> sizes;
    for (int i = 0; i < count; ++i) sizes.push_back(in.ReadU16());
    std::vector<QPolygon> polygons;
    for (int size : sizes) polygons.push_back(WmfPoints(in, size));
    playback.PolyPolygon(polygons);
}

void PlayTextOut(TPlayback& playback, TBoundedReader& in)
{
    const int length = in.ReadI16();
    const QString text = WmfText(playback, in, length);
    if (length % 2) in.Skip(1);
    const int y = in.ReadI16();
    playback.TextOut(QPoint(in.ReadI16(), y), text, 0, nullptr);
}

void PlayExtTextOut(TPlayback& playback, TBoundedReader& in)
{
    const int y = in.ReadI16(), x = in.ReadI16(), length = in.ReadI16();
    const uint16_t options = in.ReadU16();
    QRect box;
    if (options & (EtoOpaque | EtoClipped)) {
        const int left = in.ReadI16(), top = in.ReadI16(), right = in.ReadI16(), bottom = in.ReadI16();
        box = Box(left, top, right, bottom);
    }
    playback.TextOut(QPoint(x, y), WmfText(playback, in, length), options, box.isNull() ? nullptr : &box);
}

void PlayObjectRecord(TPlayback& playback, uint16_t function, TBoundedReader& in)
{
    switch (function) {
    case wmrCreatePenIndirect: {
        const uint16_t style = in.ReadU16();
        const int width = in.ReadI16();
        in.ReadI16();
        playback.Create(MakePen(style, width, in.ReadU32()));
        break;
    }
    case wmrCreateBrushIndirect: {
        const uint16_t style = in.ReadU16();
        const uint32_t colour = in.ReadU32();
        playback.Create(MakeBrush(style, colour, in.ReadU16()));
        break;
    }
    case wmrDibCreatePatternBrush:
        in.Skip(4);  // style, colour usage
        playback.Create(MakePatternBrush(DecodePackedDib(in.ReadBytes(in.Remaining()))));
        break;
    case wmrCreateFontIndirect: playback.Create(MakeFont(in, false)); break;
    case wmrCreateRegion: playback.Create({TObjectKind::okRegion, {}, {}, {}, playback.LogicalRegion(WmfRegion(in))}); break;
    case wmrCreatePalette:
    case wmrCreatePatternBrush: playback.Create({}); break;  // they hold their slot
    case wmrSelectObject: playback.Select(in.ReadU16()); break;
    case wmrDeleteObject: playback.Delete(in.ReadU16()); break;
    default: break;
    }
}

void PlayRegionRecord(TPlayback& playback, uint16_t function, TBoundedReader& in)
{
    const TGdiObject* region = playback.Object(in.ReadU16());
    switch (function) {
    case wmrSelectClipRegion:
        playback.SelectClip(region && region->kind == TObjectKind::okRegion ? &region->region : nullptr, TRegionOp::rgnCopy);
        break;
    case wmrFillRegion:
    case wmrFrameRegion: {
        const TGdiObject* brush = playback.Object(in.ReadU16());
        if (function == wmrFillRegion) {
            if (region && brush) playback.FillRegion(region->region, brush->brush);
            break;
        }
        const int h = in.ReadI16(), w = in.ReadI16();
        if (region && brush) playback.FrameRegion(region->region, brush->brush, w, h);
        break;
    }
    case wmrInvertRegion:
        if (region) playback.InvertRegion(region->region);
        break;
    case wmrPaintRegion:
        if (region) playback.PaintRegion(region->region);
        break;
    default: break;
    }
}

void PlayRecord(TPlayback& playback, uint16_t function, TBoundedReader& in)
{
    switch (function) {
    case wmrSetWindowOrg: playback.SetWindowOrg(WmfPointYX(in)); break;
    case wmrSetWindowExt: { const QPoint p = WmfPointYX(in); playback.SetWindowExt(QSizeF(p.x(), p.y())); break; }
    case wmrSetMapMode: playback.SetMapMode(in.ReadU16()); break;
    case wmrSetBkMode: playback.SetBkMode(in.ReadU16()); break;
    case wmrSetRop2: playback.SetRop2(in.ReadU16()); break;
    case wmrSetPolyFillMode: playback.SetPolyFillMode(in.ReadU16()); break;
    case wmrSetStretchBltMode: playback.SetStretchMode(in.ReadU16()); break;
    case wmrSetTextAlign: playback.SetTextAlign(in.ReadU16()); break;
    case wmrSetBkColor: playback.SetBkColor(in.ReadU32()); break;
    case wmrSetTextColor: playback.SetTextColor(in.ReadU32()); break;
    case wmrCreatePenIndirect:
    case wmrCreateBrushIndirect:
    case wmrDibCreatePatternBrush:
    case wmrCreateFontIndirect:
    case wmrCreateRegion:
    case wmrCreatePalette:
    case wmrCreatePatternBrush:
    case wmrSelectObject:
    case wmrDeleteObject: PlayObjectRecord(playback, function, in); break;
    case wmrSelectClipRegion:
    case wmrFillRegion:
    case wmrFrameRegion:
    case wmrInvertRegion:
    case wmrPaintRegion: PlayRegionRecord(playback, function, in); break;
    case wmrIntersectClipRect: playback.IntersectClipRect(WmfBox(in)); break;
    case wmrExcludeClipRect: playback.ExcludeClipRect(WmfBox(in)); break;
    case wmrRectangle: playback.Rectangle(WmfBox(in)); break;
    case wmrEllipse: playback.Ellipse(WmfBox(in)); break;
    case wmrRoundRect: {
        const int h = in.ReadI16(), w = in.ReadI16();
        playback.RoundRect(WmfBox(in), w, h);
        break;
    }
    case wmrArc:
    case wmrChord:
    case wmrPie: PlayArc(playback, function, in); break;
    case wmrPolygon: playback.Polygon(WmfPoints(in, in.ReadI16())); break;
    case wmrPolyline: playback.Polyline(WmfPoints(in, in.ReadI16())); break;
    case wmrPolyPolygon: PlayPolyPolygon(playback, in); break;
    case wmrMoveTo: playback.MoveTo(WmfPointYX(in)); break;
    case wmrLineTo: playback.LineTo(WmfPointYX(in)); break;
    case wmrTextOut: PlayTextOut(playback, in); break;
    case wmrExtTextOut: PlayExtTextOut(playback, in); break;
    case wmrPatBlt: {
        const uint32_t rop = in.ReadU32();
        const int h = in.ReadI16(), w = in.ReadI16(), y = in.ReadI16(), x = in.ReadI16();
        playback.PatternOperation(QRect(x, y, w, h), rop);
        break;
    }
    case wmrDibBitBlt:
    case wmrDibStretchBlt:
    case wmrStretchDib: PlayBlit(playback, function, in); break;
    case wmrSaveDC: playback.Save(); break;
    case wmrRestoreDC: playback.Restore(in.ReadI16()); break;
    default: break;  // records clip art does not need
    }
}

// Calls visit(function, parameters) for each record until the end record.
template <typename F>
void ForEachRecord(TBoundedReader& in, F visit)
{
    while (in.Remaining() >= 6) {
        const uint32_t words = in.ReadU32();
        const uint16_t function = in.ReadU16();
        if (function == wmrEof || words < 3) break;
        TBoundedReader params(in.ReadBytes(int64_t(words) * 2 - 6), PictureLoadFailedMessage());
        visit(function, params);
    }
}

}  // namespace

TWmfHeader ReadWmfHeader(TBoundedReader& in)
{
    TWmfHeader header;
    if (in.ReadU32() == PlaceableKey) {
        in.ReadU16();
        const int left = in.ReadI16(), top = in.ReadI16(), right = in.ReadI16(), bottom = in.ReadI16();
        const int inch = in.ReadU16();
        in.Skip(6);
        if (inch <= 0) Fail();
        header.frame = QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
    } else {
        in.Seek(0);
    }
    const uint16_t type = in.ReadU16(), headerWords = in.ReadU16();
    if ((type != 1 && type != 2) || headerWords != 9) Fail();
    in.Skip(14);
    header.recordsStart = in.Position();
    if (!header.frame.isEmpty()) return header;
    QPointF origin;
    PlayRecords([&] {
        ForEachRecord(in, [&](uint16_t function, TBoundedReader& params) {
            if (!header.frame.isEmpty()) return;
            if (function == wmrSetWindowOrg) origin = WmfPointYX(params);
            if (function == wmrSetWindowExt) {
                const QPoint p = WmfPointYX(params);
                header.frame = QRectF(origin, QSizeF(p.x(), p.y())).normalized();
            }
        });
    });
    if (header.frame.isEmpty()) Fail();
    return header;
}

void PlayWmf(QByteArrayView bytes, TCanvas& canvas, const TRect& target)
{
    TBoundedReader in(bytes, PictureLoadFailedMessage());
    const TWmfHeader header = ReadWmfHeader(in);
    in.Seek(header.recordsStart);
    // The records' device space is the frame moved to the origin: logical minus the window origin.
    TPlayback playback(canvas, FrameOnto(QRectF(QPointF(), header.frame.size()), target), true);
    playback.SetFrameSize(header.frame.size());
    playback.SetWindowOrg(header.frame.topLeft());
    PlayRecords([&] {
        ForEachRecord(in, [&](uint16_t function, TBoundedReader& params) {
            playback.SpendRecord();
            PlayRecord(playback, function, params);
        });
    });
}

}  // namespace kestrel::metafile

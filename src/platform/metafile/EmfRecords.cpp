#include "platform/metafile/EmfRecords.h"

#include <cmath>

#include "platform/Cp932.h"
#include "platform/PictureCodecs.h"
#include "platform/metafile/MetafilePlayback.h"

namespace kestrel::metafile {

namespace {

constexpr uint32_t EmfSignature = 0x464D4520;

// The record types played; the others are skipped.
enum TEmfRecord : uint32_t {
    emrHeader = 1,
    emrPolyBezier = 2,
    emrPolygon = 3,
    emrPolyline = 4,
    emrPolyBezierTo = 5,
    emrPolylineTo = 6,
    emrPolyPolyline = 7,
    emrPolyPolygon = 8,
    emrSetWindowExtEx = 9,
    emrSetWindowOrgEx = 10,
    emrSetViewportExtEx = 11,
    emrSetViewportOrgEx = 12,
    emrEof = 14,
    emrSetMapMode = 17,
    emrSetBkMode = 18,
    emrSetPolyFillMode = 19,
    emrSetRop2 = 20,
    emrSetStretchBltMode = 21,
    emrSetTextAlign = 22,
    emrSetTextColor = 24,
    emrSetBkColor = 25,
    emrMoveToEx = 27,
    emrExcludeClipRect = 29,
    emrIntersectClipRect = 30,
    emrSaveDC = 33,
    emrRestoreDC = 34,
    emrSetWorldTransform = 35,
    emrModifyWorldTransform = 36,
    emrSelectObject = 37,
    emrCreatePen = 38,
    emrCreateBrushIndirect = 39,
    emrDeleteObject = 40,
    emrEllipse = 42,
    emrRectangle = 43,
    emrRoundRect = 44,
    emrArc = 45,
    emrChord = 46,
    emrPie = 47,
    emrCreatePalette = 49,
    emrLineTo = 54,
    emrBeginPath = 59,
    emrEndPath = 60,
    emrCloseFigure = 61,
    emrFillPath = 62,
    emrStrokeAndFillPath = 63,
    emrStrokePath = 64,
    emrFlattenPath = 65,
    emrWidenPath = 66,
    emrSelectClipPath = 67,
    emrAbortPath = 68,
    emrFillRgn = 71,
    emrFrameRgn = 72,
    emrInvertRgn = 73,
    emrPaintRgn = 74,
    emrExtSelectClipRgn = 75,
    emrBitBlt = 76,
    emrStretchBlt = 77,
    emrStretchDIBits = 81,
    emrExtCreateFontIndirectW = 82,
    emrExtTextOutA = 83,
    emrExtTextOutW = 84,
    emrPolyBezier16 = 85,
    emrPolygon16 = 86,
    emrPolyline16 = 87,
    emrPolyBezierTo16 = 88,
    emrPolylineTo16 = 89,
    emrPolyPolyline16 = 90,
    emrPolyPolygon16 = 91,
    emrCreateMonoBrush = 93,
    emrCreateDibPatternBrushPt = 94,
    emrExtCreatePen = 95,
};

QPoint ShortPoint(TBoundedReader& in)
{
    const int x = in.ReadI16();
    return {x, in.ReadI16()};
}

QPolygon PointList(TBoundedReader& in, uint32_t count, bool shortPoints)
{
    in.Need(int64_t(count) * (shortPoints ? 4 : 8));
    QPolygon points;
    for (uint32_t i = 0; i < count; ++i) points << (shortPoints ? ShortPoint(in) : ReadPointL(in));
    return points;
}

QPolygon Points(TBoundedReader& in, bool shortPoints)
{
    in.Skip(16);  // bounds
    return PointList(in, in.ReadU32(), shortPoints);
}

std::vector<QPolygon> PolyPoints(TBoundedReader& in, bool shortPoints)
{
    in.Skip(16);  // bounds
    const uint32_t count = in.ReadU32();
    in.ReadU32();  // total points
    in.Need(int64_t(count) * 4);
    std::vector<uint32_t> sizes;
    for (uint32_t i = 0; i < count; ++i) sizes.push_back(in.ReadU32());
    std::vector<QPolygon> polygons;
    for (uint32_t size : sizes) polygons.push_back(PointList(in, size, shortPoints));
    return polygons;
}

QTransform ReadXform(TBoundedReader& in)
{
    double m[6];
    for (double& v : m) {
        v = in.ReadF32();
        if (!std::isfinite(v)) Fail();
    }
    return QTransform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

// Region data: a 32-byte header with the count of rectangles, then the rectangles.
std::vector<QRect> RegionData(TBoundedReader& in, uint32_t size)
{
    TBoundedReader data(in.ReadBytes(size), PictureLoadFailedMessage());
    data.Skip(8);  // header size, type
    const uint32_t count = data.ReadU32();
    data.Skip(20);  // byte size, bounds
    return ReadRegionRects(data, count);
}

TRegionOp RegionOp(uint32_t mode)
{
    static constexpr TRegionOp Ops[] = {TRegionOp::rgnAnd, TRegionOp::rgnOr, TRegionOp::rgnXor, TRegionOp::rgnDiff,
                                        TRegionOp::rgnCopy};
    return mode >= 1 && mode <= 5 ? Ops[mode - 1] : TRegionOp::rgnCopy;
}

// The DIB a record carries at offsets from the record's start (the parameters begin 8 bytes in).
QImage RecordDib(QByteArrayView record, uint32_t infoOffset, uint32_t infoSize, uint32_t bitsOffset, uint32_t bitsSize)
{
    if (infoSize == 0) return {};
    const auto slice = [&](uint32_t offset, uint32_t size) {
        if (offset < 8 || int64_t(offset) - 8 + size > record.size()) Fail();
        return record.sliced(offset - 8, size);
    };
    return DecodeDib(slice(infoOffset, infoSize), slice(bitsOffset, bitsSize));
}

// The object slot a creating record names first.
int ObjectSlot(TBoundedReader& in)
{
    const uint32_t slot = in.ReadU32();
    if (slot > uint32_t(MaxObjects)) Fail();
    return int(slot);
}

void PlayBlit(TPlayback& playback, uint32_t type, QByteArrayView record)
{
    TBoundedReader in(record, PictureLoadFailedMessage());
    in.Skip(16);  // bounds
    QRect dest, source;
    uint32_t rop = 0, offBmi = 0, cbBmi = 0, offBits = 0, cbBits = 0;
    bool fromBottom = false;
    if (type == emrStretchDIBits) {
        const QPoint d = ReadPointL(in), s = ReadPointL(in);
        const int sw = ReadCoord(in), sh = ReadCoord(in);
        offBmi = in.ReadU32(), cbBmi = in.ReadU32(), offBits = in.ReadU32(), cbBits = in.ReadU32();
        in.ReadU32();  // colour usage
        rop = in.ReadU32();
        const int dw = ReadCoord(in), dh = ReadCoord(in);
        dest = QRect(d, QSize(dw, dh)), source = QRect(s, QSize(sw, sh));
        fromBottom = true;
    } else {
        const QPoint d = ReadPointL(in);
        const int dw = ReadCoord(in), dh = ReadCoord(in);
        rop = in.ReadU32();
        const QPoint s = ReadPointL(in);
        in.Skip(24 + 4 + 4);  // source transform, background colour, colour usage
        offBmi = in.ReadU32(), cbBmi = in.ReadU32(), offBits = in.ReadU32(), cbBits = in.ReadU32();
        QSize sourceSize(dw, dh);
        if (type == emrStretchBlt) {
            const int sw = ReadCoord(in);
            sourceSize = QSize(sw, ReadCoord(in));
        }
        dest = QRect(d, QSize(dw, dh)), source = QRect(s, sourceSize);
    }
    const QImage picture = RecordDib(record, offBmi, cbBmi, offBits, cbBits);
    if (fromBottom && !picture.isNull()) source.moveTop(picture.height() - source.top() - source.height());
    if (picture.isNull()) {
        playback.PatternOperation(dest, rop);
        return;
    }
    playback.Blit(dest, picture, source, rop);
}

void PlayText(TPlayback& playback, uint32_t type, QByteArrayView record)
{
    TBoundedReader in(record, PictureLoadFailedMessage());
    in.Skip(16 + 12);  // bounds, graphics mode, scales
    const QPoint reference = ReadPointL(in);
    const uint32_t chars = in.ReadU32(), offset = in.ReadU32(), options = in.ReadU32();
    const QRect box = ReadRectL(in);
    const bool wide = type == emrExtTextOutW;
    const int64_t bytes = int64_t(chars) * (wide ? 2 : 1);
    if (offset < 8 || int64_t(offset) - 8 + bytes > record.size()) Fail();
    const QByteArrayView raw = record.sliced(offset - 8, bytes);
    const QString text = wide                     ? QString::fromUtf16(reinterpret_cast<const char16_t*>(raw.data()), chars)
                         : playback.ShiftJisText() ? FromCp932(raw)
                                                   : QString::fromLatin1(raw);
    playback.TextOut(reference, text, options, box.isEmpty() ? nullptr : &box);
}

void PlayObjectRecord(TPlayback& playback, uint32_t type, QByteArrayView record, TBoundedReader& in)
{
    switch (type) {
    case emrSelectObject: playback.Select(in.ReadU32()); break;
    case emrDeleteObject: playback.Delete(in.ReadU32()); break;
    case emrCreatePen: {
        const int slot = ObjectSlot(in);
        const uint32_t style = in.ReadU32();
        const int width = in.ReadI32();
        in.ReadI32();
        playback.Create(MakePen(style, width, in.ReadU32()), slot);
        break;
    }
    case emrExtCreatePen: {
        const int slot = ObjectSlot(in);
        in.Skip(16);  // pattern bitmap offsets
        const uint32_t style = in.ReadU32(), width = in.ReadU32();
        in.ReadU32();  // brush style
        constexpr uint32_t PsGeometric = 0x10000;
        playback.Create(MakePen(style, (style & PsGeometric) ? int64_t(width) : 0, in.ReadU32()), slot);
        break;
    }
    case emrCreateBrushIndirect: {
        const int slot = ObjectSlot(in);
        const uint32_t style = in.ReadU32(), colour = in.ReadU32();
        playback.Create(MakeBrush(style, colour, in.ReadU32()), slot);
        break;
    }
    case emrCreateDibPatternBrushPt: {
        const int slot = ObjectSlot(in);
        in.ReadU32();  // colour usage
        const uint32_t offBmi = in.ReadU32(), cbBmi = in.ReadU32(), offBits = in.ReadU32(), cbBits = in.ReadU32();
        playback.Create(MakePatternBrush(RecordDib(record, offBmi, cbBmi, offBits, cbBits)), slot);
        break;
    }
    case emrExtCreateFontIndirectW: {
        const int slot = ObjectSlot(in);
        playback.Create(MakeFont(in, true), slot);
        break;
    }
    case emrCreatePalette:
    case emrCreateMonoBrush: playback.Create({}, ObjectSlot(in)); break;  // they hold their slot
    default: break;
    }
}

void PlayRegionRecord(TPlayback& playback, uint32_t type, TBoundedReader& in)
{
    switch (type) {
    case emrFillRgn:
    case emrFrameRgn: {
        in.Skip(16);  // bounds
        const uint32_t size = in.ReadU32();
        const TGdiObject* brush = playback.Object(in.ReadU32());
        int w = 1, h = 1;
        if (type == emrFrameRgn) w = ReadCoord(in), h = ReadCoord(in);
        const TRegion region = playback.DeviceRegion(RegionData(in, size));
        if (!brush) break;
        type == emrFillRgn ? playback.FillRegion(region, brush->brush) : playback.FrameRegion(region, brush->brush, w, h);
        break;
    }
    case emrInvertRgn:
    case emrPaintRgn: {
        in.Skip(16);
        const TRegion region = playback.DeviceRegion(RegionData(in, in.ReadU32()));
        type == emrInvertRgn ? playback.InvertRegion(region) : playback.PaintRegion(region);
        break;
    }
    case emrExtSelectClipRgn: {
        const uint32_t size = in.ReadU32();
        const TRegionOp op = RegionOp(in.ReadU32());
        if (size == 0) {
            playback.SelectClip(nullptr, op);
            break;
        }
        const TRegion region = playback.DeviceRegion(RegionData(in, size));
        playback.SelectClip(&region, op);
        break;
    }
    default: break;
    }
}

void PlayPathRecord(TPlayback& playback, uint32_t type, TBoundedReader& in)
{
    switch (type) {
    case emrBeginPath: playback.BeginPath(); break;
    case emrEndPath: playback.EndPath(); break;
    case emrCloseFigure: playback.CloseFigure(); break;
    case emrFillPath: playback.FillPath(); break;
    case emrStrokeAndFillPath: playback.StrokeAndFillPath(); break;
    case emrStrokePath: playback.StrokePath(); break;
    case emrFlattenPath: playback.FlattenPath(); break;
    case emrWidenPath: playback.WidenPath(); break;
    case emrSelectClipPath: playback.SelectClipPath(RegionOp(in.ReadU32())); break;
    case emrAbortPath: playback.AbortPath(); break;
    default: break;
    }
}

void PlayShapeRecord(TPlayback& playback, uint32_t type, TBoundedReader& in)
{
    switch (type) {
    case emrPolyBezier:
    case emrPolyBezier16: playback.PolyBezier(Points(in, type == emrPolyBezier16)); break;
    case emrPolygon:
    case emrPolygon16: playback.Polygon(Points(in, type == emrPolygon16)); break;
    case emrPolyline:
    case emrPolyline16: playback.Polyline(Points(in, type == emrPolyline16)); break;
    case emrPolyBezierTo:
    case emrPolyBezierTo16: playback.PolyBezierTo(Points(in, type == emrPolyBezierTo16)); break;
    case emrPolylineTo:
    case emrPolylineTo16: playback.PolylineTo(Points(in, type == emrPolylineTo16)); break;
    case emrPolyPolyline:
    case emrPolyPolyline16: playback.PolyPolyline(PolyPoints(in, type == emrPolyPolyline16)); break;
    case emrPolyPolygon:
    case emrPolyPolygon16: playback.PolyPolygon(PolyPoints(in, type == emrPolyPolygon16)); break;
    case emrMoveToEx: playback.MoveTo(ReadPointL(in)); break;
    case emrLineTo: playback.LineTo(ReadPointL(in)); break;
    case emrEllipse: playback.Ellipse(ReadRectL(in)); break;
    case emrRectangle: playback.Rectangle(ReadRectL(in)); break;
    case emrRoundRect: {
        const QRect box = ReadRectL(in);
        const int w = ReadCoord(in);
        playback.RoundRect(box, w, ReadCoord(in));
        break;
    }
    case emrArc:
    case emrChord:
    case emrPie: {
        const QRect box = ReadRectL(in);
        const QPoint start = ReadPointL(in), end = ReadPointL(in);
        const auto kind = type == emrArc     ? TPlayback::TArcKind::akArc
                          : type == emrChord ? TPlayback::TArcKind::akChord
                                             : TPlayback::TArcKind::akPie;
        playback.Arc(kind, box, start, end);
        break;
    }
    default: break;
    }
}

void PlayStateRecord(TPlayback& playback, uint32_t type, TBoundedReader& in)
{
    switch (type) {
    case emrSetWindowExtEx: { const QPoint p = ReadPointL(in); playback.SetWindowExt(QSizeF(p.x(), p.y())); break; }
    case emrSetWindowOrgEx: playback.SetWindowOrg(ReadPointL(in)); break;
    case emrSetViewportExtEx: { const QPoint p = ReadPointL(in); playback.SetViewportExt(QSizeF(p.x(), p.y())); break; }
    case emrSetViewportOrgEx: playback.SetViewportOrg(ReadPointL(in)); break;
    case emrSetMapMode: playback.SetMapMode(in.ReadU32()); break;
    case emrSetBkMode: playback.SetBkMode(in.ReadU32()); break;
    case emrSetPolyFillMode: playback.SetPolyFillMode(in.ReadU32()); break;
    case emrSetRop2: playback.SetRop2(in.ReadU32()); break;
    case emrSetStretchBltMode: playback.SetStretchMode(in.ReadU32()); break;
    case emrSetTextAlign: playback.SetTextAlign(in.ReadU32()); break;
    case emrSetTextColor: playback.SetTextColor(in.ReadU32()); break;
    case emrSetBkColor: playback.SetBkColor(in.ReadU32()); break;
    case emrExcludeClipRect: playback.ExcludeClipRect(ReadRectL(in)); break;
    case emrIntersectClipRect: playback.IntersectClipRect(ReadRectL(in)); break;
    case emrSaveDC: playback.Save(); break;
    case emrRestoreDC: playback.Restore(in.ReadI32()); break;
    case emrSetWorldTransform: playback.SetWorld(ReadXform(in)); break;
    case emrModifyWorldTransform: {
        const QTransform x = ReadXform(in);
        playback.ModifyWorld(x, in.ReadU32());
        break;
    }
    default: break;
    }
}

void PlayRecord(TPlayback& playback, uint32_t type, QByteArrayView record)
{
    TBoundedReader in(record, PictureLoadFailedMessage());
    switch (type) {
    case emrSelectObject:
    case emrDeleteObject:
    case emrCreatePen:
    case emrExtCreatePen:
    case emrCreateBrushIndirect:
    case emrCreateDibPatternBrushPt:
    case emrExtCreateFontIndirectW:
    case emrCreatePalette:
    case emrCreateMonoBrush: PlayObjectRecord(playback, type, record, in); break;
    case emrFillRgn:
    case emrFrameRgn:
    case emrInvertRgn:
    case emrPaintRgn:
    case emrExtSelectClipRgn: PlayRegionRecord(playback, type, in); break;
    case emrBeginPath:
    case emrEndPath:
    case emrCloseFigure:
    case emrFillPath:
    case emrStrokeAndFillPath:
    case emrStrokePath:
    case emrFlattenPath:
    case emrWidenPath:
    case emrSelectClipPath:
    case emrAbortPath: PlayPathRecord(playback, type, in); break;
    case emrBitBlt:
    case emrStretchBlt:
    case emrStretchDIBits: PlayBlit(playback, type, record); break;
    case emrExtTextOutA:
    case emrExtTextOutW: PlayText(playback, type, record); break;
    default:
        PlayShapeRecord(playback, type, in);
        PlayStateRecord(playback, type, in);
        break;
    }
}

}  // namespace

bool IsEmfSignature(QByteArrayView bytes)
{
    TBoundedReader in(bytes);
    return bytes.size() >= 44 && in.ReadU32() == emrHeader && (in.Seek(40), in.ReadU32() == EmfSignature);
}

TEmfHeader ReadEmfHeader(TBoundedReader& in)
{
    if (in.ReadU32() != emrHeader) Fail();
    const uint32_t headerSize = in.ReadU32();
    const QRect bounds = ReadRectL(in);
    in.Skip(16);  // frame
    if (in.ReadU32() != EmfSignature || headerSize < 88 || headerSize % 4) Fail();
    in.Skip(28);  // version, size, records, handles, reserved, description, palette entries
    const QPoint device = ReadPointL(in), millimetres = ReadPointL(in);
    TEmfHeader header;
    // The bounds are inclusive.
    header.frame = QRectF(QPointF(bounds.left(), bounds.top()), QPointF(bounds.right() + 1.0, bounds.bottom() + 1.0));
    if (header.frame.width() <= 0 || header.frame.height() <= 0) Fail();
    header.pixelsPerMm = QSizeF(96 / 25.4, 96 / 25.4);
    if (device.x() > 0 && device.y() > 0 && millimetres.x() > 0 && millimetres.y() > 0)
        header.pixelsPerMm = QSizeF(double(device.x()) / millimetres.x(), double(device.y()) / millimetres.y());
    in.Seek(headerSize);
    header.recordsStart = headerSize;
    return header;
}

void PlayEmf(QByteArrayView bytes, TCanvas& canvas, const TRect& target)
{
    TBoundedReader in(bytes, PictureLoadFailedMessage());
    const TEmfHeader header = ReadEmfHeader(in);
    TPlayback playback(canvas, FrameOnto(header.frame, target), false);
    playback.SetDeviceResolution(header.pixelsPerMm);
    PlayRecords([&] {
        while (in.Remaining() >= 8) {
            const uint32_t type = in.ReadU32(), size = in.ReadU32();
            if (type == emrEof || size < 8 || size % 4) break;
            playback.SpendRecord();
            PlayRecord(playback, type, in.ReadBytes(int64_t(size) - 8));
        }
    });
}

}  // namespace kestrel::metafile

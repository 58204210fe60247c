#include "platform/MetafilePlayer.h"

#include <QPainter>
#include <QPainterPath>
#include <map>
#include <vector>

#include "platform/BoundedReader.h"
#include "platform/Canvas.h"
#include "platform/PictureCodecs.h"

namespace kestrel {

namespace {

constexpr uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr uint32_t EmfSignature = 0x464D4520;
constexpr uint32_t StockObject = 0x80000000;
constexpr int MaxObjects = 65535;
constexpr int MaxSavedStates = 1024;

[[noreturn]] void Fail() { throw EReadError(PictureLoadFailedMessage()); }

QColor ColourRef(uint32_t c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

// Pens and brushes as the drawing model knows them; styles beyond solid and none draw solid.
struct TGdiObject {
    bool isPen = false;
    QPen pen;
    QBrush brush;
};

QPen MakePen(uint32_t style, int width, uint32_t colour)
{
    constexpr uint32_t PsNull = 5;
    if ((style & 0x0F) == PsNull) return QPen(Qt::NoPen);
    QPen pen(ColourRef(colour));
    pen.setWidthF(std::max(width, 1));
    pen.setCosmetic(width <= 1);
    return pen;
}

QBrush MakeBrush(uint32_t style, uint32_t colour)
{
    constexpr uint32_t BsNull = 1;
    return style == BsNull ? QBrush(Qt::NoBrush) : QBrush(ColourRef(colour));
}

// The drawing state the records change: objects, selection, mapping, current position.
class TPlayer {
public:
    explicit TPlayer(QPainter& painter) : painter_(painter)
    {
        painter_.setPen(QPen(Qt::black));
        painter_.setBrush(Qt::white);
    }

    void SetBaseTransform(const QTransform& base)
    {
        base_ = base;
        Apply();
    }
    void SetWindowOrg(QPointF o) { windowOrg_ = o, Apply(); }
    void SetWindowExt(QSizeF e) { windowExt_ = e, Apply(); }
    void SetViewportOrg(QPointF o) { viewportOrg_ = o, Apply(); }
    void SetViewportExt(QSizeF e) { viewportExt_ = e, Apply(); }
    void SetScaled(bool scaled) { scaled_ = scaled, Apply(); }

    int Create(TGdiObject object, int slot = -1)
    {
        if (slot < 0) {
            for (slot = 0; objects_.count(slot); ++slot) {}
        }
        if (slot > MaxObjects) Fail();
        objects_[slot] = std::move(object);
        return slot;
    }
    void Select(uint32_t index)
    {
        if (index & StockObject) return SelectStock(index & ~StockObject);
        const auto it = objects_.find(int(index));
        if (it == objects_.end()) return;
        if (it->second.isPen)
            painter_.setPen(it->second.pen);
        else
            painter_.setBrush(it->second.brush);
    }
    void Delete(uint32_t index) { objects_.erase(int(index)); }
    void Save()
    {
        if (saved_.size() >= MaxSavedStates) Fail();
        painter_.save();
        saved_.push_back({windowOrg_, windowExt_, viewportOrg_, viewportExt_, position_});
    }
    void Restore()
    {
        if (saved_.empty()) return;
        painter_.restore();
        const TState s = saved_.back();
        saved_.pop_back();
        windowOrg_ = s.windowOrg, windowExt_ = s.windowExt, viewportOrg_ = s.viewportOrg, viewportExt_ = s.viewportExt;
        position_ = s.position;
        Apply();
    }
    void MoveTo(QPointF p) { position_ = p; }
    void LineTo(QPointF p)
    {
        painter_.drawLine(position_, p);
        position_ = p;
    }
    QPainter& Painter() { return painter_; }

private:
    struct TState {
        QPointF windowOrg;
        QSizeF windowExt;
        QPointF viewportOrg;
        QSizeF viewportExt;
        QPointF position;
    };
    void SelectStock(uint32_t n)
    {
        switch (n) {
        case 0: painter_.setBrush(Qt::white); break;
        case 1: painter_.setBrush(QColor(192, 192, 192)); break;
        case 2: painter_.setBrush(QColor(128, 128, 128)); break;
        case 3: painter_.setBrush(QColor(64, 64, 64)); break;
        case 4: painter_.setBrush(Qt::black); break;
        case 5: painter_.setBrush(Qt::NoBrush); break;
        case 6: painter_.setPen(QPen(Qt::white)); break;
        case 7: painter_.setPen(QPen(Qt::black)); break;
        case 8: painter_.setPen(Qt::NoPen); break;
        default: break;
        }
    }
    // device = viewportOrg + (logical - windowOrg) * viewportExt / windowExt, under the base.
    void Apply()
    {
        QTransform t;
        if (scaled_ && windowExt_.width() != 0 && windowExt_.height() != 0) {
            t.translate(viewportOrg_.x(), viewportOrg_.y());
            t.scale(viewportExt_.width() / windowExt_.width(), viewportExt_.height() / windowExt_.height());
            t.translate(-windowOrg_.x(), -windowOrg_.y());
        } else {
            t.translate(viewportOrg_.x() - windowOrg_.x(), viewportOrg_.y() - windowOrg_.y());
        }
        painter_.setTransform(t * base_);
    }

    QPainter& painter_;
    QTransform base_;
    QPointF windowOrg_, viewportOrg_;
    QSizeF windowExt_{1, 1}, viewportExt_{1, 1};
    bool scaled_ = false;
    QPointF position_;
    std::map<int, TGdiObject> objects_;
    std::vector<TState> saved_;
};

QRectF Box(double left, double top, double right, double bottom) { return QRectF(QPointF(left, top), QPointF(right, bottom)).normalized(); }

// ---------------------------------------------------------------- Windows metafiles

QPolygonF WmfPoints(TBoundedReader& in)
{
    const int count = in.ReadI16();
    if (count < 0) Fail();
    in.Need(int64_t(count) * 4);
    QPolygonF points;
    for (int i = 0; i < count; ++i) {
        const int x = in.ReadI16();
        points << QPointF(x, in.ReadI16());
    }
    return points;
}

void PlayWmfRecord(TPlayer& player, uint16_t function, TBoundedReader& in)
{
    QPainter& p = player.Painter();
    switch (function) {
    case 0x020B: { const int y = in.ReadI16(); player.SetWindowOrg(QPointF(in.ReadI16(), y)); break; }
    case 0x020C: { const int y = in.ReadI16(); player.SetWindowExt(QSizeF(in.ReadI16(), y)); break; }
    case 0x02FA: {
        const uint16_t style = in.ReadU16();
        const int width = in.ReadI16();
        in.ReadI16();
        player.Create({true, MakePen(style, width, in.ReadU32()), {}});
        break;
    }
    case 0x02FC: {
        const uint16_t style = in.ReadU16();
        player.Create({false, {}, MakeBrush(style, in.ReadU32())});
        break;
    }
    case 0x012D: player.Select(in.ReadU16()); break;
    case 0x01F0: player.Delete(in.ReadU16()); break;
    case 0x041B:
    case 0x0418: {
        const int bottom = in.ReadI16(), right = in.ReadI16(), top = in.ReadI16(), left = in.ReadI16();
        function == 0x041B ? p.drawRect(Box(left, top, right, bottom)) : p.drawEllipse(Box(left, top, right, bottom));
        break;
    }
    case 0x0324: p.drawPolygon(WmfPoints(in)); break;
    case 0x0325: p.drawPolyline(WmfPoints(in)); break;
    case 0x0214: { const int y = in.ReadI16(); player.MoveTo(QPointF(in.ReadI16(), y)); break; }
    case 0x0213: { const int y = in.ReadI16(); player.LineTo(QPointF(in.ReadI16(), y)); break; }
    case 0x001E: player.Save(); break;
    case 0x0127: player.Restore(); break;
    default: break;  // records clip art rarely needs
    }
}

QImage PlayWmf(QByteArrayView bytes)
{
    TBoundedReader in(bytes, PictureLoadFailedMessage());
    QRectF frame;
    if (in.ReadU32() == PlaceableKey) {
        in.ReadU16();
        const int left = in.ReadI16(), top = in.ReadI16(), right = in.ReadI16(), bottom = in.ReadI16();
        const int inch = in.ReadU16();
        in.Skip(6);
        if (inch <= 0) Fail();
        frame = Box(left, top, right, bottom);
    } else {
        in.Seek(0);
    }
    const uint16_t type = in.ReadU16(), headerWords = in.ReadU16();
    if ((type != 1 && type != 2) || headerWords != 9) Fail();
    in.Skip(14);
    // The picture's frame: the placeable header's box, else the first window set.
    const qsizetype recordsStart = in.Position();
    if (frame.isEmpty()) {
        QPointF org;
        while (in.Remaining() >= 6 && frame.isEmpty()) {
            const uint32_t words = in.ReadU32();
            const uint16_t function = in.ReadU16();
            if (words < 3 || int64_t(words) * 2 - 6 > in.Remaining()) break;
            TBoundedReader params(in.ReadBytes(int64_t(words) * 2 - 6), PictureLoadFailedMessage());
            if (function == 0x020B && params.Remaining() >= 4) { const int y = params.ReadI16(); org = QPointF(params.ReadI16(), y); }
            if (function == 0x020C && params.Remaining() >= 4) { const int y = params.ReadI16(); frame = QRectF(org, QSizeF(params.ReadI16(), y)).normalized(); }
        }
        in.Seek(recordsStart);
        if (frame.isEmpty()) Fail();
    }
    const double scale = std::min(1.0, double(MaxMetafileSide) / std::max(frame.width(), frame.height()));
    QImage image(std::max(1, int(frame.width() * scale)), std::max(1, int(frame.height() * scale)), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    TCanvas canvas(image);
    QPainter& painter = canvas.Painter();
    painter.setRenderHint(QPainter::Antialiasing);
    TPlayer player(painter);
    // Window coordinates map onto the frame.
    player.SetBaseTransform(QTransform::fromScale(scale, scale));
    player.SetWindowOrg(frame.topLeft());
    try {
        while (in.Remaining() >= 6) {
            const uint32_t words = in.ReadU32();
            const uint16_t function = in.ReadU16();
            if (function == 0 || words < 3) break;
            TBoundedReader params(in.ReadBytes(int64_t(words) * 2 - 6), PictureLoadFailedMessage());
            PlayWmfRecord(player, function, params);
        }
    } catch (const EReadError&) {
        // a damaged record ends the picture
    }
    return image;
}

// ---------------------------------------------------------------- enhanced metafiles

template <typename Coord>
QPolygonF EmfPoints(TBoundedReader& in)
{
    in.Skip(16);  // bounds
    const uint32_t count = in.ReadU32();
    in.Need(int64_t(count) * 2 * int64_t(sizeof(Coord)));
    QPolygonF points;
    for (uint32_t i = 0; i < count; ++i) {
        const Coord x = sizeof(Coord) == 2 ? Coord(in.ReadI16()) : Coord(in.ReadI32());
        const Coord y = sizeof(Coord) == 2 ? Coord(in.ReadI16()) : Coord(in.ReadI32());
        points << QPointF(x, y);
    }
    return points;
}

void DrawBeziers(QPainter& p, const QPolygonF& points)
{
    if (points.isEmpty()) return;
    QPainterPath path(points[0]);
    for (qsizetype i = 1; i + 2 < points.size(); i += 3) path.cubicTo(points[i], points[i + 1], points[i + 2]);
    p.strokePath(path, p.pen());
}

QRectF ReadRectL(TBoundedReader& in)
{
    const int left = in.ReadI32(), top = in.ReadI32(), right = in.ReadI32(), bottom = in.ReadI32();
    return Box(left, top, right, bottom);
}

void PlayEmfRecord(TPlayer& player, uint32_t type, TBoundedReader& in)
{
    QPainter& p = player.Painter();
    switch (type) {
    case 2: DrawBeziers(p, EmfPoints<int32_t>(in)); break;
    case 3: p.drawPolygon(EmfPoints<int32_t>(in)); break;
    case 4: p.drawPolyline(EmfPoints<int32_t>(in)); break;
    case 85: DrawBeziers(p, EmfPoints<int16_t>(in)); break;
    case 86: p.drawPolygon(EmfPoints<int16_t>(in)); break;
    case 87: p.drawPolyline(EmfPoints<int16_t>(in)); break;
    case 9: { const int x = in.ReadI32(); player.SetWindowExt(QSizeF(x, in.ReadI32())); break; }
    case 10: { const int x = in.ReadI32(); player.SetWindowOrg(QPointF(x, in.ReadI32())); break; }
    case 11: { const int x = in.ReadI32(); player.SetViewportExt(QSizeF(x, in.ReadI32())); break; }
    case 12: { const int x = in.ReadI32(); player.SetViewportOrg(QPointF(x, in.ReadI32())); break; }
    case 17: player.SetScaled(in.ReadU32() >= 7); break;  // isotropic and anisotropic map by extents
    case 27: { const int x = in.ReadI32(); player.MoveTo(QPointF(x, in.ReadI32())); break; }
    case 54: { const int x = in.ReadI32(); player.LineTo(QPointF(x, in.ReadI32())); break; }
    case 33: player.Save(); break;
    case 34: player.Restore(); break;
    case 37: player.Select(in.ReadU32()); break;
    case 40: player.Delete(in.ReadU32()); break;
    case 38: {
        const uint32_t slot = in.ReadU32(), style = in.ReadU32();
        const int width = in.ReadI32();
        in.ReadI32();
        if (slot > uint32_t(MaxObjects)) Fail();
        player.Create({true, MakePen(style, width, in.ReadU32()), {}}, int(slot));
        break;
    }
    case 39: {
        const uint32_t slot = in.ReadU32(), style = in.ReadU32();
        if (slot > uint32_t(MaxObjects)) Fail();
        player.Create({false, {}, MakeBrush(style, in.ReadU32())}, int(slot));
        break;
    }
    case 42: p.drawEllipse(ReadRectL(in)); break;
    case 43: p.drawRect(ReadRectL(in)); break;
    default: break;
    }
}

QImage PlayEmf(QByteArrayView bytes)
{
    TBoundedReader in(bytes, PictureLoadFailedMessage());
    if (in.ReadU32() != 1) Fail();
    const uint32_t headerSize = in.ReadU32();
    const QRectF bounds = ReadRectL(in);
    in.Skip(16);  // frame
    if (in.ReadU32() != EmfSignature || headerSize < 88 || headerSize % 4) Fail();
    in.Seek(headerSize);
    const QRectF frame = bounds.adjusted(0, 0, 1, 1);
    const double scale = std::min(1.0, double(MaxMetafileSide) / std::max(frame.width(), frame.height()));
    QImage image(std::max(1, int(frame.width() * scale)), std::max(1, int(frame.height() * scale)), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    TCanvas canvas(image);
    QPainter& painter = canvas.Painter();
    painter.setRenderHint(QPainter::Antialiasing);
    TPlayer player(painter);
    player.SetBaseTransform(QTransform::fromTranslate(-frame.left(), -frame.top()) * QTransform::fromScale(scale, scale));
    try {
        while (in.Remaining() >= 8) {
            const uint32_t type = in.ReadU32(), size = in.ReadU32();
            if (type == 14 || size < 8 || size % 4) break;
            TBoundedReader params(in.ReadBytes(int64_t(size) - 8), PictureLoadFailedMessage());
            PlayEmfRecord(player, type, params);
        }
    } catch (const EReadError&) {
        // a damaged record ends the picture
    }
    return image;
}

}  // namespace

bool IsEnhancedMetafile(QByteArrayView bytes)
{
    TBoundedReader in(bytes);
    return bytes.size() >= 44 && in.ReadU32() == 1 && (in.Seek(40), in.ReadU32() == EmfSignature);
}

QImage PlayMetafile(QByteArrayView bytes)
{
    return IsEnhancedMetafile(bytes) ? PlayEmf(bytes) : PlayWmf(bytes);
}

}  // namespace kestrel

#include "objects/LODecoLine.h"

#include <QPainter>
#include <QPolygonF>
#include <QTransform>
#include <cmath>

#include "platform/Canvas.h"
#include "platform/Rounding.h"

namespace kestrel {

namespace {
// The band's corners lie this much beyond the line's width, half on each side.
constexpr int CornerAllowance = 4;
}  // namespace

const TClassInfo& TLODecoLine::StaticClass()
{
    static const TClassInfo info("TLODecoLine", &TLOLine::StaticClass(), FactoryOf<TLODecoLine>(), [] {
        return TPropsOf<TLODecoLine>().Nested("Image", &TLODecoLine::ImageHolder).Done();
    });
    return info;
}

TLODecoLine::TLODecoLine()
    : imageListener_([this](TPersistent*, const QUuid& kind) {
          if (kind != NotifyModified) return;
          Changed();
          Repaint(*this);
      })
{
    imageListener_.ListenTo(image_.Notify());
}

void TLODecoLine::SetLineWidth(int width)
{
    TLOLine::SetLineWidth(std::max(width, 1));
}

void TLODecoLine::ApplyPatternDefaults()
{
    const QImage& pattern = Image();
    const int length = MulDiv(pattern.width(), LogicalUnitsPerInch, PatternDpi);
    SetEnds({0, 0}, {DefaultRepetitions * length, 0});
    SetLineWidth(MulDiv(pattern.height(), LogicalUnitsPerInch, PatternDpi));
}

int TLODecoLine::BandLength() const
{
    const QPoint d = EndPoint() - StartPoint();
    return int(RoundHalfAway(std::hypot(double(d.x()), double(d.y()))));
}

int TLODecoLine::Repetitions() const
{
    const QImage& pattern = Image();
    const int length = BandLength();
    if (pattern.isNull() || length == 0) return 0;
    // The nearest whole count keeps the pattern's aspect best (a count cut down could leave a
    // default line of six repetitions with five stretched ones).
    const double exact = double(length) * pattern.height() / (double(pattern.width()) * LineWidth());
    return int(std::clamp<int64_t>(RoundHalfAway(exact), 1, length));
}

std::array<QPointF, 4> TLODecoLine::BandCorners() const
{
    const QPointF s = StartPoint(), e = EndPoint(), d = e - s;
    const double length = std::hypot(d.x(), d.y());
    const QPointF n = length > 0 ? QPointF(d.y(), -d.x()) * ((LineWidth() + CornerAllowance) / 2.0 / length)
                                 : QPointF();
    return {s + n, e + n, e - n, s - n};
}

QImage TLODecoLine::StraightBand(double scale) const
{
    const int length = std::max(1, int(std::lround(BandLength() * scale))), n = Repetitions();
    QImage band(length, std::max(1, int(std::lround(LineWidth() * scale))), QImage::Format_RGB32);
    if (band.isNull()) return band;
    band.fill(Qt::white);  // the pattern is drawn opaque
    QPainter painter(&band);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int i = 1; i <= n; ++i) {
        const int from = MulDiv(length, i - 1, n), to = MulDiv(length, i, n);
        painter.drawImage(QRect(from, 0, to - from, band.height()), Image());
    }
    return band;
}

const TLODecoLine::TBand* TLODecoLine::Band() const
{
    const TBandSource source{StartPoint(), EndPoint(), LineWidth(), Image().cacheKey()};
    if (band_ && band_->source == source) return &*band_;
    band_.reset();
    if (Repetitions() == 0) return nullptr;

    const std::array<QPointF, 4> corners = BandCorners();
    const QRectF area = QPolygonF(QList<QPointF>(corners.begin(), corners.end())).boundingRect();
    const QPoint origin(int(std::floor(area.left())), int(std::floor(area.top())));
    const QSize size(int(std::ceil(area.right())) - origin.x(), int(std::ceil(area.bottom())) - origin.y());
    // A line far wider or longer than a label is drawn from a coarser picture rather than one of
    // gigabytes.
    const double pixels = std::max(1.0, double(size.width()) * size.height());
    const double scale = std::min(1.0, std::sqrt(double(MaxBandPixels) / pixels));
    const QImage straight = StraightBand(scale);
    QImage picture(QSize(std::max(1, int(std::ceil(size.width() * scale))), std::max(1, int(std::ceil(size.height() * scale)))),
                   QImage::Format_ARGB32_Premultiplied);
    if (straight.isNull() || picture.isNull()) return nullptr;  // too large to hold
    QPolygonF to;
    for (const QPointF& corner : corners) to << (corner - QPointF(origin)) * scale;
    QTransform warp;
    if (!QTransform::quadToQuad(QPolygonF(QRectF(straight.rect())).mid(0, 4), to, warp)) return nullptr;

    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setTransform(warp);
    painter.drawImage(0, 0, straight);
    painter.end();
    band_ = TBand{source, std::move(picture), TRect::FromQRect(QRect(origin, size))};
    return &*band_;
}

void TLODecoLine::Paint(TCanvas& canvas)
{
    const TBand* band = Band();
    if (!band) return;
    canvas.StretchDraw(band->logical, band->picture);
}

void TLODecoLine::DrawOutline(TCanvas& canvas)
{
    QPolygon outline;
    for (const QPointF& corner : BandCorners()) outline << corner.toPoint();
    outline << outline.first();
    canvas.Polyline(outline);
}

}  // namespace kestrel

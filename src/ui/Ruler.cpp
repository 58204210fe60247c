#include "ui/Ruler.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "render/DrawSite.h"
#include "ui/SiteView.h"

namespace kestrel {

namespace {
constexpr int kUnitsPerMillimetre = 10;
// Ticks closer than this many pixels are left out.
constexpr int kMinTickSpacing = 4;
constexpr int kMinLabelSpacing = 40;

// The smallest of 1, 5, 10, 50, 100 ... millimetres that is at least `minimum` pixels wide.
int StepMillimetres(double pixelsPerMillimetre, int minimum)
{
    for (int step = 1;; step *= 10) {
        if (step * pixelsPerMillimetre >= minimum) return step;
        if (step * 5 * pixelsPerMillimetre >= minimum) return step * 5;
        if (step >= 100000) return step;
    }
}
}  // namespace

TRuler::TRuler(Qt::Orientation orientation, QWidget* parent) : QWidget(parent), orientation_(orientation)
{
    setObjectName(orientation == Qt::Horizontal ? "HorizontalRuler" : "VerticalRuler");
    if (orientation == Qt::Horizontal)
        setFixedHeight(Thickness);
    else
        setFixedWidth(Thickness);
    setCursor(orientation == Qt::Horizontal ? Qt::SplitVCursor : Qt::SplitHCursor);
}

void TRuler::SetView(TSiteView* view)
{
    view_ = view;
    update();
}

QPoint TRuler::SurfacePoint(int pixel) const
{
    const QPoint here = orientation_ == Qt::Horizontal ? QPoint(pixel, 0) : QPoint(0, pixel);
    return view_->Surface().mapFromGlobal(mapToGlobal(here));
}

int TRuler::LogicalAt(int pixel) const
{
    if (!view_) return 0;
    return Along(view_->Site().DevToLog(SurfacePoint(pixel)));
}

int TRuler::PixelAt(int logical) const
{
    if (!view_) return 0;
    const QPoint device = view_->Site().LogToDev(QPoint(logical, logical));
    const QPoint mine = mapFromGlobal(view_->Surface().mapToGlobal(device));
    return Along(mine);
}

void TRuler::DrawTick(QPainter& painter, int pixel, int length) const
{
    if (orientation_ == Qt::Horizontal)
        painter.drawLine(pixel, Thickness - length, pixel, Thickness - 1);
    else
        painter.drawLine(Thickness - length, pixel, Thickness - 1, pixel);
}

void TRuler::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setPen(palette().windowText().color());
    if (orientation_ == Qt::Horizontal)
        painter.drawLine(0, Thickness - 1, width(), Thickness - 1);
    else
        painter.drawLine(Thickness - 1, 0, Thickness - 1, height());
    if (!view_) return;

    const int length = orientation_ == Qt::Horizontal ? width() : height();
    const double perMillimetre = (PixelAt(1000) - PixelAt(0)) / 100.0;
    if (perMillimetre <= 0) return;
    const int tick = StepMillimetres(perMillimetre, kMinTickSpacing);
    const int label = std::max(StepMillimetres(perMillimetre, kMinLabelSpacing), tick);
    const int first = static_cast<int>(std::floor(LogicalAt(0) / double(kUnitsPerMillimetre * tick))) * tick;
    const int last = LogicalAt(length) / kUnitsPerMillimetre + tick;
    QFont small = font();
    small.setPixelSize(9);
    painter.setFont(small);
    for (int mm = first; mm <= last; mm += tick) {
        const int pixel = PixelAt(mm * kUnitsPerMillimetre);
        const bool labelled = mm % label == 0;
        DrawTick(painter, pixel, labelled ? Thickness / 2 : (mm % (tick * 5) == 0 ? Thickness / 3 : Thickness / 5));
        if (!labelled) continue;
        if (orientation_ == Qt::Horizontal) {
            painter.drawText(pixel + 2, 10, QString::number(mm));
        } else {
            painter.save();
            painter.translate(10, pixel + 2);
            painter.rotate(90);
            painter.drawText(0, 0, QString::number(mm));
            painter.restore();
        }
    }
}

void TRuler::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !view_) return;
    pressed_ = true;
    if (onPress) onPress(event->globalPosition().toPoint());
}

void TRuler::mouseMoveEvent(QMouseEvent* event)
{
    if (pressed_ && onDrag) onDrag(event->globalPosition().toPoint(), event->modifiers());
}

void TRuler::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = false;
    if (onRelease) onRelease();
}

}  // namespace kestrel

#include "ui/ObjectPreview.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "document/DrawObject.h"
#include "platform/Canvas.h"

namespace kestrel {

namespace {
constexpr int kPadding = 8;
}

TObjectPreview::TObjectPreview(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(180, 180);
}

void TObjectPreview::SetObject(TDrawObject* object)
{
    object_ = object;
    update();
}

void TObjectPreview::SetObjectVisible(bool visible)
{
    visible_ = visible;
    update();
}

// Drawn at the screen's pixel ratio, so that the object's own pictures come out as fine as the screen.
void TObjectPreview::paintEvent(QPaintEvent*)
{
    const qreal ratio = devicePixelRatio();
    QImage picture((QSizeF(size()) * ratio).toSize(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    SetPictureDpi(picture, int(std::lround(logicalDpiY() * ratio)));
    if (object_ && visible_) {
        TCanvas canvas(picture);
        const QRect area = rect().adjusted(kPadding, kPadding, -kPadding, -kPadding);
        PaintFitted(*object_, canvas, QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio).toRect());
    }
    picture.setDevicePixelRatio(ratio);
    QPainter(this).drawImage(0, 0, picture);
}

void PaintFitted(TDrawObject& object, TCanvas& canvas, const QRect& area)
{
    const TRect bounds = object.GetBounds();
    if (bounds.IsEmpty()) return;
    const double scale = std::min(double(area.width()) / bounds.Width(), double(area.height()) / bounds.Height());
    const QSize shown(int(bounds.Width() * scale), int(bounds.Height() * scale));
    canvas.SetMapping({bounds.TopLeft(), QSize(bounds.Width(), bounds.Height()),
                       area.topLeft() + QPoint((area.width() - shown.width()) / 2, (area.height() - shown.height()) / 2),
                       shown});
    object.PaintTo(canvas);
}

}  // namespace kestrel

#include "ui/ObjectPreview.h"

#include <QPainter>
#include <algorithm>

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

void TObjectPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!object_ || !visible_) return;
    TCanvas canvas(painter);
    PaintFitted(*object_, canvas, rect().adjusted(kPadding, kPadding, -kPadding, -kPadding));
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

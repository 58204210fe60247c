#include "ui/ObjectPreview.h"

#include <QPainter>

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
    const TRect bounds = object_->GetBounds();
    if (bounds.IsEmpty()) return;
    // One scale for both axes, so the object keeps its shape.
    const QSize room(width() - 2 * kPadding, height() - 2 * kPadding);
    const double scale = std::min(double(room.width()) / bounds.Width(), double(room.height()) / bounds.Height());
    const QSize shown(int(bounds.Width() * scale), int(bounds.Height() * scale));
    TCanvas canvas(painter);
    canvas.SetMapping({bounds.TopLeft(), QSize(bounds.Width(), bounds.Height()),
                       QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown});
    object_->PaintTo(canvas);
}

}  // namespace kestrel

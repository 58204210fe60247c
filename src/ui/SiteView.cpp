#include "ui/SiteView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include "platform/Canvas.h"
#include "ui/SiteViewMouse.h"

namespace kestrel {

namespace {
TShiftState ShiftOf(Qt::KeyboardModifiers modifiers)
{
    TShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= ssShift;
    if (modifiers & Qt::AltModifier) shift |= ssAlt;
    if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
    return shift;
}

TMouseButton ButtonOf(Qt::MouseButton button)
{
    switch (button) {
        case Qt::RightButton:
            return TMouseButton::mbRight;
        case Qt::MiddleButton:
            return TMouseButton::mbMiddle;
        default:
            return TMouseButton::mbLeft;
    }
}

TSiteMouseEvent SiteEvent(const QMouseEvent& event, bool doubleClick = false)
{
    return {event.position().toPoint(), ButtonOf(event.button()), ShiftOf(event.modifiers()), doubleClick};
}

// Moves a scroll bar one step towards a coordinate outside [low, high).
void StepTowards(QScrollBar& bar, int coordinate, int low, int high)
{
    if (coordinate < low) bar.setValue(bar.value() - bar.singleStep());
    if (coordinate >= high) bar.setValue(bar.value() + bar.singleStep());
}
}  // namespace

class TSiteSurface : public QWidget {
public:
    TSiteSurface(TDrawSite& site, QWidget* parent) : QWidget(parent), site_(site)
    {
        setFocusPolicy(Qt::StrongFocus);
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        TCanvas canvas(painter);
        site_.Paint(canvas, TRect::FromQRect(event->rect()));
    }
    void mousePressEvent(QMouseEvent* event) override { site_.MouseDown(SiteEvent(*event)); }
    void mouseDoubleClickEvent(QMouseEvent* event) override { site_.MouseDown(SiteEvent(*event, true)); }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        site_.MouseUp(SiteEvent(*event));
        if (onPointer) onPointer(event->position().toPoint());
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        const TSiteMouseEvent siteEvent = SiteEvent(*event);
        site_.MouseMove(siteEvent);
        setCursor(SiteCursor(site_.IsDragging() ? site_.MoveCursor() : site_.CursorAt(siteEvent.position)));
        if (onPointer) onPointer(siteEvent.position);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        site_.KeyDown({event->key(), ShiftOf(event->modifiers())});
    }
    void keyReleaseEvent(QKeyEvent* event) override
    {
        site_.KeyUp({event->key(), ShiftOf(event->modifiers())});
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        site_.CancelMode();
        QWidget::focusOutEvent(event);
    }
    // Arrow keys and Tab stay with the site instead of moving the focus.
    bool focusNextPrevChild(bool) override { return false; }

public:
    std::function<void(QPoint device)> onPointer;

private:
    TDrawSite& site_;
};

TSiteView::TSiteView(TDrawSite& site, QWidget* parent)
    : QScrollArea(parent), site_(site), surface_(new TSiteSurface(site, this))
{
    setWidget(surface_);
    setWidgetResizable(false);
    site_.SetHost(this);
    ElementSizeChanged(site_.ElementSize());
}

TSiteView::~TSiteView()
{
    site_.SetHost(nullptr);
}

QWidget& TSiteView::Surface() const
{
    return *surface_;
}

void TSiteView::SetOnPointer(std::function<void(QPoint device)> handler)
{
    surface_->onPointer = std::move(handler);
}

void TSiteView::InvalidateArea(const TRect& device)
{
    surface_->update(device.ToQRect());
}

void TSiteView::RepaintNow()
{
    surface_->repaint();
}

void TSiteView::ElementSizeChanged(QSize device)
{
    surface_->resize(device.expandedTo(QSize(1, 1)));
}

void TSiteView::TakeFocus()
{
    surface_->setFocus(Qt::MouseFocusReason);
}

QRect TSiteView::VisiblePart() const
{
    return QRect(surface_->mapFrom(viewport(), QPoint(0, 0)), viewport()->size());
}

bool TSiteView::IsInView(QPoint device) const
{
    return VisiblePart().contains(device);
}

void TSiteView::ScrollTowards(QPoint device)
{
    const QRect visible = VisiblePart();
    StepTowards(*horizontalScrollBar(), device.x(), visible.left(), visible.left() + visible.width());
    StepTowards(*verticalScrollBar(), device.y(), visible.top(), visible.top() + visible.height());
}

}  // namespace kestrel

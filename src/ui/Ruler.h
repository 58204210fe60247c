#pragma once

#include <QWidget>
#include <functional>

namespace kestrel {

class TSiteView;

// A ruler in millimetres beside a site view, following its zoom and scrolling: the top ruler
// measures x, the left one y, both from the face's top-left corner. A press on it hands the
// pointer to the owner (which drags a guide out of it).
class TRuler : public QWidget {
public:
    static constexpr int Thickness = 20;

    TRuler(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Null: an empty ruler.
    void SetView(TSiteView* view);
    Qt::Orientation Orientation() const { return orientation_; }
    // Logical coordinate (0.1 mm) under a position along the ruler, and back.
    int LogicalAt(int pixel) const;
    int PixelAt(int logical) const;

    // Pointer events while the left button is held, with global positions.
    std::function<void(QPoint global)> onPress;
    std::function<void(QPoint global, Qt::KeyboardModifiers modifiers)> onDrag;
    std::function<void()> onRelease;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Surface position of a ruler position along the ruler.
    QPoint SurfacePoint(int pixel) const;
    int Along(QPoint p) const { return orientation_ == Qt::Horizontal ? p.x() : p.y(); }
    void DrawTick(QPainter& painter, int pixel, int length) const;

    Qt::Orientation orientation_;
    TSiteView* view_ = nullptr;
    bool pressed_ = false;
};

}  // namespace kestrel

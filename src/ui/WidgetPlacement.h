#pragma once

#include "app/FormPlacement.h"

class QWidget;

namespace kestrel {

// A widget's placement as the frame saves and restores it, named by the widget's object name.
class TWidgetPlacement : public IFormPlacement {
public:
    explicit TWidgetPlacement(QWidget& widget) : widget_(widget) {}
    QString FormName() const override;
    QRect NormalBounds() const override;
    void SetNormalBounds(const QRect& bounds) override;
    QSize ScreenSize() const override;
    QRect OwnerBounds() const override;

private:
    QWidget& widget_;
};

}  // namespace kestrel

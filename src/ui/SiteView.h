#pragma once

#include <QScrollArea>
#include <functional>

#include "render/DrawSite.h"

namespace kestrel {

class TSiteSurface;

// A scroll box showing one draw site: the inner widget is the site's element, sized to it. It
// paints through the site and hands mouse and keys to it as the site's own events; it decides
// nothing itself.
class TSiteView : public QScrollArea, private IDrawSiteHost {
public:
    explicit TSiteView(TDrawSite& site, QWidget* parent = nullptr);
    ~TSiteView() override;

    TDrawSite& Site() const { return site_; }
    // The widget the site paints on (its origin is the site's device origin).
    QWidget& Surface() const;
    // After the site has seen the pointer move or a button go up.
    void SetOnPointer(std::function<void(QPoint device)> handler);

private:
    void InvalidateArea(const TRect& device) override;
    void RepaintNow() override;
    void ElementSizeChanged(QSize device) override;
    void TakeFocus() override;
    bool IsInView(QPoint device) const override;
    void ScrollTowards(QPoint device) override;
    QRect VisiblePart() const;

    TDrawSite& site_;
    TSiteSurface* surface_;
};

}  // namespace kestrel

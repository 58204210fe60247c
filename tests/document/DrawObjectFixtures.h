#pragma once

// A rectangle object that fills itself, and a site at 10 logical units per device pixel.

#include <QImage>
#include <functional>
#include <memory>
#include <stdexcept>

#include "document/LabelObject.h"
#include "document/ObjectSite.h"
#include "platform/Canvas.h"

namespace kestrel::test {

class TFilledRect : public TBlendableObject<TLORectBase> {
    KESTREL_PERSISTENT()
public:
    TColor fill = clBlue;
    bool failPaint = false;
    int paintCount = 0;

    void SetSize(int width, int height) override { SetBounds({Left(), Top(), Left() + width, Top() + height}); }
    void DrawOutline(TCanvas& canvas) override
    {
        canvas.SetBrush({clBlack, TBrushStyle::bsClear});
        canvas.Rectangle(Rect());
    }
    void Paint(TCanvas& canvas) override
    {
        ++paintCount;
        if (failPaint) throw std::runtime_error("broken paint");
        canvas.SetBrush({fill, TBrushStyle::bsSolid});
        canvas.FillRect(Rect());
    }
};

inline const TClassInfo& TFilledRect::StaticClass()
{
    static const TClassInfo info("TFilledRect", &TLORectBase::StaticClass(), FactoryOf<TFilledRect>(), {});
    return info;
}

// A rectangle object that does not offer IBlendable.
class TPlainRect : public TLORectBase {
public:
    void SetSize(int width, int height) override { SetBounds({Left(), Top(), Left() + width, Top() + height}); }
    void DrawOutline(TCanvas&) override {}
};

class TTestSite : public TObjectSite {
public:
    static constexpr int UnitsPerPixel = 10;

    bool dragging = false;
    int modifiedCalls = 0;
    std::vector<TDrawObject*> clearedGhosts;

    QPoint LogToDev(QPoint p) const override { return p / UnitsPerPixel; }
    QPoint DevToLog(QPoint p) const override { return p * UnitsPerPixel; }
    TRect LogToDevRect(const TRect& r) const override
    {
        auto up = [](int v) { return (v + UnitsPerPixel - 1) / UnitsPerPixel; };
        return {r.left / UnitsPerPixel, r.top / UnitsPerPixel, up(r.right), up(r.bottom)};
    }
    void ApplyMapping(TCanvas& canvas) const override
    {
        TMapping m = canvas.Mapping();
        m.viewportOrg = canvas.LogToDev(QPoint(0, 0)) - canvas.DeviceOffset();
        m.windowOrg = {};
        m.windowExt = {UnitsPerPixel, UnitsPerPixel};
        m.viewportExt = {1, 1};
        canvas.SetMapping(m);
    }
    bool IsDragging() const override { return dragging; }
    void SetModified(bool) override { ++modifiedCalls; }
    void ClearGhost(TDrawObject& object) override { clearedGhosts.push_back(&object); }

    TFilledRect& Add(TRect rect, int layerGroup = 0)
    {
        auto object = std::make_unique<TFilledRect>();
        object->SetBounds(rect);
        object->SetLayerGroup(layerGroup);
        auto& added = static_cast<TFilledRect&>(InsertChild(std::move(object)));
        UpdateElementBounds(added);
        return added;
    }
};

// Counts the notifications of one kind that a broadcaster sends.
class TKindCounter {
public:
    TKindCounter(TBroadcaster& from, QUuid kind)
        : kind_(kind), listener_([this](TPersistent* sender, const QUuid& k) {
              if (k == kind_) ++count, lastSender = sender;
          })
    {
        listener_.ListenTo(from);
    }
    int count = 0;
    TPersistent* lastSender = nullptr;

private:
    QUuid kind_;
    TListener listener_;
};

inline QImage WhiteImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

inline TColor PixelAt(const QImage& image, int x, int y)
{
    return FromQColor(image.pixelColor(x, y));
}

}  // namespace kestrel::test

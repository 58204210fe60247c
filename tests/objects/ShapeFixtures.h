#pragma once

// Shapes painted on an off-screen draw site, as the face renderer paints them.

#include <QImage>
#include <memory>

#include "document/DrawObject.h"
#include "platform/Canvas.h"
#include "render/DrawSite.h"

namespace kestrel::test {

class TShapeSite {
public:
    // A white logical area of width x height units shown at dpi.
    TShapeSite(int width, int height, int dpi)
    {
        site_.Scaler().SetUnitDPI(LogicalUnitsPerInch);
        site_.SetDeviceDpi(dpi);
        site_.SetBorder(false);
        site_.SetLogSize(width, height);
    }

    template <class T>
    T& Add(std::unique_ptr<T> object)
    {
        return static_cast<T&>(site_.AddObject(std::move(object)));
    }
    TDrawSite& Site() { return site_; }

    QImage Render()
    {
        QImage image(site_.ElementSize(), QImage::Format_RGB32);
        // The site paints at the resolution the picture says it has.
        const int dotsPerMetre = qRound(site_.DeviceDpi() / 0.0254);
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
        image.fill(Qt::white);
        TCanvas canvas(image);
        site_.DrawTo(canvas, QPoint(0, 0), 100);
        return image;
    }
    // The colour painted under a logical point.
    static QRgb At(const QImage& image, const TDrawSite& site, QPoint logical)
    {
        return image.pixel(site.LogToDev(logical)) & 0xFFFFFF;
    }

private:
    TDrawSite site_;
};

}  // namespace kestrel::test

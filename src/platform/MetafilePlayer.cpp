#include "platform/MetafilePlayer.h"

#include "platform/BoundedReader.h"
#include "platform/Canvas.h"
#include "platform/Graphic.h"
#include "platform/PictureCodecs.h"
#include "platform/metafile/EmfRecords.h"
#include "platform/metafile/WmfRecords.h"

namespace kestrel {

namespace {

QSize NaturalSize(const QRectF& frame)
{
    const double scale = std::min(1.0, double(MaxMetafileSide) / std::max(frame.width(), frame.height()));
    return QSize(std::max(1, int(frame.width() * scale)), std::max(1, int(frame.height() * scale)));
}

}  // namespace

bool IsEnhancedMetafile(QByteArrayView bytes) { return metafile::IsEmfSignature(bytes); }

QSize MetafileSize(QByteArrayView bytes)
{
    TBoundedReader in(bytes, PictureLoadFailedMessage());
    return NaturalSize(IsEnhancedMetafile(bytes) ? metafile::ReadEmfHeader(in).frame : metafile::ReadWmfHeader(in).frame);
}

void PlayMetafile(QByteArrayView bytes, TCanvas& canvas, const TRect& target)
{
    if (target.Normalized().IsEmpty()) return;
    TCanvasStateSaver saver(canvas);
    canvas.IntersectClipRect(target.Normalized());
    if (IsEnhancedMetafile(bytes))
        metafile::PlayEmf(bytes, canvas, target);
    else
        metafile::PlayWmf(bytes, canvas, target);
}

QImage PlayMetafile(QByteArrayView bytes)
{
    const QSize size = MetafileSize(bytes);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    TCanvas canvas(image);
    PlayMetafile(bytes, canvas, {0, 0, size.width(), size.height()});
    return image;
}

void DrawGraphic(TCanvas& canvas, const TRect& rect, const TGraphic& graphic)
{
    if (graphic.IsMetafile())
        PlayMetafile(graphic.Bytes(), canvas, rect);
    else if (!graphic.Image().isNull())
        canvas.StretchDraw(rect, graphic.Image());
}

}  // namespace kestrel

// Laying out and painting a 20-line track list on a disc face at 254 dpi (one pixel per 0.1 mm),
// straight and on an arc, against QPainter::drawText of the same lines on the same image.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "platform/Canvas.h"
#include "platform/FontServices.h"
#include "text/LOText.h"

namespace kestrel {
namespace {

const QSize FaceSize(1190, 1190);
constexpr int FontPoints = 10;

QStringList TrackList()
{
    QStringList lines;
    for (int i = 1; i <= 20; ++i) lines << QStringLiteral("%1. 曲のタイトル Track Title %1").arg(i, 2, 10, QChar(u'0'));
    return lines;
}

// A fresh object each round: layout and measuring are part of what is timed.
void PaintText(QImage& image, int bulge)
{
    TLOText text;
    text.EditFont().SetSize(FontPoints);
    text.SetText(TrackList());
    text.SetBounds({250, 150, 950, 1050});
    text.SetBulge(bulge);
    TCanvas canvas(image);
    canvas.SetFontResolution(LogicalUnitsPerInch);
    text.Paint(canvas);
}

// Argument: the bulge (0 straight, else on an arc).
void BM_TextObject(benchmark::State& state)
{
    QImage image(FaceSize, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        PaintText(image, int(state.range(0)));
    }
}
BENCHMARK(BM_TextObject)->Arg(0)->Arg(120)->Unit(benchmark::kMillisecond);

void BM_QPainterDrawText(benchmark::State& state)
{
    QImage image(FaceSize, QImage::Format_RGB32);
    const QStringList lines = TrackList();
    QFont font(ResolveFamily(QStringLiteral("ＭＳ Ｐゴシック")));
    font.setPixelSize(int(FontPoints * 254 / 72.0 + 0.5));
    font.setHintingPreference(QFont::PreferNoHinting);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const int pitch = QFontMetrics(font).height();
        for (int i = 0; i < lines.size(); ++i) painter.drawText(QPoint(250, 150 + pitch * (i + 1)), lines[i]);
    }
}
BENCHMARK(BM_QPainterDrawText)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestrel

// Decorated-letter fonts: the 64 letters of image fonts, drawn from the installed outline fonts
// with our own effects on the key colour 0xF0F0F0, one numbered folder per font holding the
// compressed bitmaps "00.cbm" ... "63.cbm".

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <vector>

#include "Designs.h"
#include "platform/PictureCodecs.h"
#include "platform/ZlibContainer.h"

namespace kestrel::designs {

namespace {

const QString Letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!?");
constexpr int LetterHeight = 120;
constexpr int Margin = 10;
constexpr QRgb KeyColour = 0xFFF0F0F0;

using TEffect = std::function<void(QPainter&, const QPainterPath& glyph, QSize size)>;

struct TLetterStyle {
    QString family;
    QFont::Weight weight;
    TEffect effect;
};

QPen RoundPen(const QColor& colour, double width) { return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

// From the top of the letters to their baseline, the same for every letter of a font.
QLinearGradient DownTheLetter(const QGradientStops& stops)
{
    QLinearGradient gradient(0, Margin, 0, LetterHeight - Margin);
    gradient.setStops(stops);
    return gradient;
}

// A box blur over premultiplied pixels, passes times across and down.
void Blur(QImage& image, int radius, int passes)
{
    const int w = image.width(), h = image.height(), n = 2 * radius + 1;  // outside counts as clear
    const auto blurLine = [&](QRgb* first, int count, int stride) {
        std::vector<QRgb> line(count);
        for (int i = 0; i < count; ++i) line[i] = first[i * stride];
        for (int i = 0; i < count; ++i) {
            int a = 0, r = 0, g = 0, b = 0;
            for (int k = std::max(0, i - radius); k <= std::min(count - 1, i + radius); ++k)
                a += qAlpha(line[k]), r += qRed(line[k]), g += qGreen(line[k]), b += qBlue(line[k]);
            first[i * stride] = qRgba(r / n, g / n, b / n, a / n);
        }
    };
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < h; ++y) blurLine(reinterpret_cast<QRgb*>(image.scanLine(y)), w, 1);
        for (int x = 0; x < w; ++x) blurLine(reinterpret_cast<QRgb*>(image.bits()) + x, h, int(image.bytesPerLine() / 4));
    }
}

// Something drawn on its own layer, blurred, then laid onto the painter.
void DrawBlurred(QPainter& painter, QSize size, int radius, int passes, const std::function<void(QPainter&)>& draw)
{
    QImage layer(size, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    }
    Blur(layer, radius, passes);
    painter.drawImage(0, 0, layer);
}

void GradientFill(QPainter& p, const QPainterPath& glyph, QSize)
{
    p.strokePath(glyph, RoundPen(QColor(0x5A0A0A), 7));
    p.fillPath(glyph, DownTheLetter({{0, QColor(0xFFE94D)}, {0.55, QColor(0xFF8A1E)}, {1, QColor(0xD7261E)}}));
}

void DoubleOutline(QPainter& p, const QPainterPath& glyph, QSize)
{
    p.strokePath(glyph, RoundPen(QColor(0x0D2A6B), 15));
    p.strokePath(glyph, RoundPen(QColor(0x49A6FF), 8));
    p.fillPath(glyph, QColor(0xFFFFFF));
}

void SoftShadow(QPainter& p, const QPainterPath& glyph, QSize size)
{
    DrawBlurred(p, size, 2, 3, [&](QPainter& layer) { layer.fillPath(glyph.translated(5, 5), QColor(0, 0, 0, 150)); });
    p.fillPath(glyph, QColor(0x2E9E44));
    p.strokePath(glyph, RoundPen(QColor(0x145A24), 1.5));
}

void Metallic(QPainter& p, const QPainterPath& glyph, QSize)
{
    p.strokePath(glyph, RoundPen(QColor(0x4E3800), 4));
    p.fillPath(glyph, DownTheLetter({{0, QColor(0xFFF6C8)}, {0.32, QColor(0xE2B53A)}, {0.5, QColor(0x7C560E)},
                                     {0.62, QColor(0xF3D27A)}, {1, QColor(0xA5761A)}}));
    // A light edge along the top of every stroke, as on polished metal.
    p.save();
    p.setClipPath(glyph);
    p.strokePath(glyph.translated(0, 2), RoundPen(QColor(255, 255, 255, 90), 1.5));
    p.restore();
}

void Neon(QPainter& p, const QPainterPath& glyph, QSize size)
{
    const QColor tube(0xFF2FD0);
    DrawBlurred(p, size, 3, 3, [&](QPainter& layer) { layer.strokePath(glyph, RoundPen(tube, 9)); });
    p.strokePath(glyph, RoundPen(tube, 4.5));
    p.strokePath(glyph, RoundPen(QColor(0xFFE6FA), 1.8));
}

void Pop(QPainter& p, const QPainterPath& glyph, QSize)
{
    const QColor ink(0x3A1450);
    p.strokePath(glyph.translated(4, 4), RoundPen(ink, 12));
    p.fillPath(glyph.translated(4, 4), ink);
    p.strokePath(glyph, RoundPen(ink, 12));
    p.strokePath(glyph, RoundPen(QColor(0xFFFFFF), 6));
    p.fillPath(glyph, QColor(0xFF5FA2));
}

const std::vector<TLetterStyle>& Styles()
{
    static const std::vector<TLetterStyle> styles = {
        {"DejaVu Sans", QFont::Bold, GradientFill},
        {"DejaVu Serif", QFont::Bold, DoubleOutline},
        {"IPAPGothic", QFont::Normal, SoftShadow},
        {"DejaVu Serif", QFont::Bold, Metallic},
        {"DejaVu Sans", QFont::Normal, Neon},
        {"DejaVu Sans", QFont::Bold, Pop},
    };
    return styles;
}

// The font at the pixel size whose ascent and descent fill the letter's height inside the margins.
QFont FittedFont(const TLetterStyle& style)
{
    QFont font(style.family);
    font.setWeight(style.weight);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPixelSize(100);
    const QFontMetricsF metrics(font);
    if (QFontInfo(font).family() != style.family) throw EDesignFailed{QStringLiteral("font not installed: ") + style.family};
    font.setPixelSize(int(100 * (LetterHeight - 2 * Margin) / (metrics.ascent() + metrics.descent())));
    return font;
}

QImage DrawLetter(const TLetterStyle& style, const QFont& font, QChar letter)
{
    const QFontMetricsF metrics(font);
    QPainterPath glyph;
    glyph.addText(0, Margin + metrics.ascent(), font, QString(letter));
    // Every letter keeps the same side bearing, whatever its outline's own.
    const double bearing = LetterHeight * 0.03;
    const QRectF bounds = glyph.boundingRect();
    glyph.translate(Margin + bearing - bounds.left(), 0);
    const QSize size(int(std::ceil(bounds.width() + 2 * (Margin + bearing))), LetterHeight);

    QImage layer(size, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter painter(&layer);
        painter.setRenderHint(QPainter::Antialiasing);
        style.effect(painter, glyph, size);
    }
    QImage letterImage(size, QImage::Format_RGB32);
    letterImage.fill(KeyColour);
    {
        QPainter painter(&letterImage);
        painter.drawImage(0, 0, layer);
    }
    // Only untouched pixels may keep the key colour: a drawn pixel that came out as it would
    // show as a hole.
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(letterImage.scanLine(y));
        const auto* drawn = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        for (int x = 0; x < size.width(); ++x)
            if (row[x] == KeyColour && qAlpha(drawn[x]) > 0) row[x] = 0xFFEFEFEF;
    }
    return letterImage;
}

}  // namespace

void MakeDecoratedLetters(const QDir& program)
{
    for (size_t number = 1; number <= Styles().size(); ++number) {
        const TLetterStyle& style = Styles()[number - 1];
        const QFont font = FittedFont(style);
        const QString folder = program.filePath(QStringLiteral("Data/Font/%1").arg(number));
        for (qsizetype i = 0; i < Letters.size(); ++i)
            WriteDataFile(QStringLiteral("%1/%2.cbm").arg(folder).arg(i, 2, 10, QLatin1Char('0')),
                          PackContainer(EncodeBmp24(DrawLetter(style, font, Letters[i]))));
    }
}

}  // namespace kestrel::designs

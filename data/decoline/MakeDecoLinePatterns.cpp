// Draws the shipped decorated-line patterns: one small PNG per pattern, meant to be repeated
// along a line at 180 dots per inch. Usage: make_decoline_patterns OUTPUT_FOLDER

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <cstdio>
#include <functional>
#include <vector>

#include "shapes/Shapes.h"

namespace {

using kestrel::shapes::Heart;
using kestrel::shapes::Star;

constexpr int Width = 40;
constexpr int Height = 20;

struct TPattern {
    const char* name;
    QColor colour;
    std::function<void(QPainter&, const QColor&)> draw;
};

void Note(QPainter& p, QPointF head, double stem)
{
    p.save();
    p.translate(head);
    p.rotate(-20);
    p.drawEllipse(QPointF(0, 0), 3.2, 2.3);
    p.restore();
    p.drawRect(QRectF(head.x() + 2.4, head.y() - stem, 1.2, stem));
}

QPainterPath Wave(double amplitude, double phase)
{
    QPainterPath path;
    for (int x = 0; x <= Width; ++x) {
        const QPointF p(x, Height / 2.0 + amplitude * std::sin(2 * M_PI * x / Width + phase));
        x ? path.lineTo(p) : path.moveTo(p);
    }
    return path;
}

void Fill(QPainter& p, const QColor& c, const QPainterPath& path)
{
    p.fillPath(path, c);
}

void Stroke(QPainter& p, const QColor& c, const QPainterPath& path, double width)
{
    p.strokePath(path, QPen(c, width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
}

const std::vector<TPattern>& Patterns()
{
    static const std::vector<TPattern> patterns = {
        {"01_dots", QColor(40, 40, 40),
         [](QPainter& p, const QColor& c) {
             p.setBrush(c);
             for (double x : {10.0, 30.0}) p.drawEllipse(QPointF(x, 10), 4, 4);
         }},
        {"02_dashes", QColor(30, 60, 140),
         [](QPainter& p, const QColor& c) { p.fillRect(QRectF(4, 7, 32, 6), c); }},
        {"03_dot_dash", QColor(120, 40, 40),
         [](QPainter& p, const QColor& c) {
             p.fillRect(QRectF(2, 8, 22, 4), c);
             p.setBrush(c);
             p.drawEllipse(QPointF(32, 10), 3, 3);
         }},
        {"04_stars", QColor(230, 170, 20),
         [](QPainter& p, const QColor& c) {
             for (double x : {10.0, 30.0}) Fill(p, c, Star({x, 10.5}, 9, 3.8, 5));
         }},
        {"05_hearts", QColor(220, 50, 90),
         [](QPainter& p, const QColor& c) {
             for (double x : {10.0, 30.0}) Fill(p, c, Heart({x, 10}, 15));
         }},
        {"06_notes", QColor(20, 20, 20),
         [](QPainter& p, const QColor& c) {
             p.setBrush(c);
             Note(p, {8, 15}, 12);
             Note(p, {26, 13}, 10);
             p.drawRect(QRectF(29.4, 3, 1.2, 10));
         }},
        {"07_beamed_notes", QColor(40, 40, 110),
         [](QPainter& p, const QColor& c) {
             p.setBrush(c);
             Note(p, {8, 16}, 12);
             Note(p, {26, 15}, 11);
             QPainterPath beam;
             beam.moveTo(10.4, 4);
             beam.lineTo(29.6, 4);
             beam.lineTo(29.6, 6.5);
             beam.lineTo(10.4, 6.5);
             Fill(p, c, beam);
         }},
        {"08_waves", QColor(30, 120, 200),
         [](QPainter& p, const QColor& c) { Stroke(p, c, Wave(6, 0), 2.5); }},
        {"09_double_waves", QColor(20, 150, 150),
         [](QPainter& p, const QColor& c) {
             Stroke(p, c, Wave(4, 0).translated(0, -3), 1.6);
             Stroke(p, c, Wave(4, 0).translated(0, 3), 1.6);
         }},
        {"10_zigzag", QColor(200, 90, 20),
         [](QPainter& p, const QColor& c) {
             QPainterPath path({0, 16});
             path.lineTo(10, 4);
             path.lineTo(20, 16);
             path.lineTo(30, 4);
             path.lineTo(40, 16);
             Stroke(p, c, path, 2.5);
         }},
        {"11_rope", QColor(150, 110, 60),
         [](QPainter& p, const QColor& c) {
             for (double x : {-10.0, 0.0, 10.0, 20.0, 30.0, 40.0}) {
                 QPainterPath strand({x, 16});
                 strand.cubicTo(x + 3, 16, x + 7, 4, x + 10, 4);
                 Stroke(p, c, strand, 4);
                 Stroke(p, c.lighter(150), strand, 1.5);
             }
         }},
        {"12_flowers", QColor(230, 110, 170),
         [](QPainter& p, const QColor& c) {
             for (double x : {10.0, 30.0}) {
                 p.setBrush(c);
                 for (int i = 0; i < 5; ++i) {
                     const double a = i * 2 * M_PI / 5 - M_PI / 2;
                     p.drawEllipse(QPointF(x + 4.5 * std::cos(a), 10 + 4.5 * std::sin(a)), 3.4, 3.4);
                 }
                 p.setBrush(QColor(250, 210, 60));
                 p.drawEllipse(QPointF(x, 10), 2.6, 2.6);
             }
         }},
        {"13_checker", QColor(60, 60, 60),
         [](QPainter& p, const QColor& c) {
             for (int y = 0; y < 2; ++y)
                 for (int x = 0; x < 4; ++x)
                     if ((x + y) % 2 == 0) p.fillRect(QRectF(x * 10, y * 10, 10, 10), c);
         }},
        {"14_diamonds", QColor(90, 60, 170),
         [](QPainter& p, const QColor& c) {
             for (double x : {10.0, 30.0}) {
                 QPainterPath d({x, 2});
                 d.lineTo(x + 8, 10);
                 d.lineTo(x, 18);
                 d.lineTo(x - 8, 10);
                 d.closeSubpath();
                 Fill(p, c, d);
             }
         }},
        {"15_rings", QColor(30, 130, 70),
         [](QPainter& p, const QColor& c) {
             p.setPen(QPen(c, 2));
             for (double x : {10.0, 30.0}) p.drawEllipse(QPointF(x, 10), 7, 7);
         }},
        {"16_arrows", QColor(200, 40, 40),
         [](QPainter& p, const QColor& c) {
             QPainterPath arrow({4, 7});
             arrow.lineTo(22, 7);
             arrow.lineTo(22, 2);
             arrow.lineTo(36, 10);
             arrow.lineTo(22, 18);
             arrow.lineTo(22, 13);
             arrow.lineTo(4, 13);
             arrow.closeSubpath();
             Fill(p, c, arrow);
         }},
        {"17_scallops", QColor(40, 110, 180),
         [](QPainter& p, const QColor& c) {
             QPainterPath path({0, 6});
             path.arcTo(QRectF(0, -4, 20, 20), 180, 180);
             path.arcTo(QRectF(20, -4, 20, 20), 180, 180);
             Stroke(p, c, path, 2.2);
         }},
        {"18_leaves", QColor(60, 140, 40),
         [](QPainter& p, const QColor& c) {
             p.fillRect(QRectF(0, 9.3, 40, 1.4), c);
             for (double x : {8.0, 28.0}) {
                 for (int side : {-1, 1}) {
                     QPainterPath leaf({x, 10});
                     leaf.quadTo(x + 4, 10 + side * 9, x + 10, 10 + side * 7);
                     leaf.quadTo(x + 6, 10 + side * 2, x, 10);
                     Fill(p, c, leaf);
                 }
             }
         }},
    };
    return patterns;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_decoline_patterns OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    for (const TPattern& pattern : Patterns()) {
        QImage image(Width, Height, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            pattern.draw(painter, pattern.colour);
        }
        const QString file = QDir(folder).filePath(QString::fromLatin1(pattern.name) + ".png");
        if (!image.save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}

// One-point illustrations: vector drawings (SVG, 200 × 200) in one colour per genre, so that the
// browser can change that colour; "Illust.dat" lists the genres with their colours.

#include <QPainterPath>
#include <QPainterPathStroker>
#include <QTransform>
#include <QtMath>
#include <vector>

#include "Designs.h"
#include "shapes/Shapes.h"

namespace kestrel::designs {

namespace {

using shapes::Heart;
using shapes::Star;

// Each shape is filled by its own rule: outlines added one to another cut holes where they nest
// (odd-even, as boolean operations leave them); strokes are filled by winding.
using TDrawing = std::vector<QPainterPath>;

struct TIllustration {
    QString name;
    TDrawing drawing;
};

struct TGenre {
    QString section;
    QString caption;
    QString folder;
    QColor colour;
    std::vector<TIllustration> items;
};

const QPointF Centre(100, 100);

QPainterPath Circle(QPointF c, double r)
{
    QPainterPath p;
    p.addEllipse(c, r, r);
    return p;
}

QPainterPath Rotated(const QPainterPath& path, double degrees, QPointF about = Centre)
{
    return QTransform().translate(about.x(), about.y()).rotate(degrees).translate(-about.x(), -about.y()).map(path);
}

QPainterPath Ellipse(QPointF c, double rx, double ry, double degrees = 0)
{
    QPainterPath p;
    p.addEllipse(c, rx, ry);
    return Rotated(p, degrees, c);
}

QPainterPath Box(double x, double y, double w, double h, double radius = 0)
{
    QPainterPath p;
    p.addRoundedRect(QRectF(x, y, w, h), radius, radius);
    return p;
}

QPainterPath Polygon(std::initializer_list<QPointF> points)
{
    QPainterPath p;
    p.addPolygon(QPolygonF(QList<QPointF>(points)));
    p.closeSubpath();
    return p;
}

QPainterPath Line(QPointF from, QPointF to)
{
    QPainterPath p(from);
    p.lineTo(to);
    return p;
}

// The area a pen of that width covers along the path.
QPainterPath Stroke(const QPainterPath& path, double width)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(path);
}

QPainterPath Joined(std::initializer_list<QPainterPath> paths)
{
    QPainterPath all;
    for (const QPainterPath& p : paths) all = all.united(p);
    return all;
}

QPainterPath Around(const QPainterPath& one, int count, QPointF about = Centre)
{
    QPainterPath all;
    for (int i = 0; i < count; ++i) all = all.united(Rotated(one, 360.0 * i / count, about));
    return all;
}

QPainterPath Holed(std::initializer_list<QPainterPath> nested)
{
    QPainterPath all;
    for (const QPainterPath& p : nested) all.addPath(p);
    all.setFillRule(Qt::OddEvenFill);
    return all;
}

// ---------------------------------------------------------------- music

QPainterPath NoteHead(QPointF c) { return Ellipse(c, 26, 18, -20); }

std::vector<TIllustration> Music()
{
    QPainterPath flag(QPointF(105, 44));
    flag.cubicTo(115, 78, 158, 80, 146, 124);
    QPainterPath band;
    band.arcMoveTo(QRectF(35, 35, 130, 130), 190);
    band.arcTo(QRectF(35, 35, 130, 130), 190, -200);
    QPainterPath stand;
    stand.arcMoveTo(QRectF(60, 35, 80, 80), 180);
    stand.arcTo(QRectF(60, 35, 80, 80), 180, 180);
    QPainterPath guitar = Joined({Circle({100, 140}, 45), Circle({100, 86}, 33), Box(93, 10, 14, 70), Box(86, 4, 28, 22, 5)});
    QPainterPath piano = Box(20, 50, 160, 100, 8);
    for (int k = 0; k < 7; ++k) piano.addPath(Box(26 + k * 21.5, 56, 18.5, 88, 2));
    QPainterPath microphone = Box(75, 18, 50, 82, 25);
    for (int k = 0; k < 3; ++k) microphone.addPath(Box(84, 40 + k * 14, 32, 5, 2.5));
    QPainterPath gleam;
    gleam.arcMoveTo(QRectF(45, 45, 110, 110), 25);
    gleam.arcTo(QRectF(45, 45, 110, 110), 25, 50);
    QPainterPath speaker = Box(45, 12, 110, 176, 14);
    for (const auto& [c, r] : std::vector<std::pair<QPointF, double>>{{{100, 128}, 40}, {{100, 128}, 29}, {{100, 128}, 11}, {{100, 52}, 17}, {{100, 52}, 7}})
        speaker.addPath(Circle(c, r));
    return {
        {"eighth_note", {{NoteHead({80, 150})}, {Box(101, 42, 8, 106)}, {Stroke(flag, 10)}}},
        {"beamed_notes", {{NoteHead({55, 155})}, {NoteHead({145, 135})}, {Box(76, 50, 8, 104)}, {Box(166, 30, 8, 104)},
                          {Polygon({{76, 50}, {174, 30}, {174, 56}, {76, 76}})}}},
        {"quarter_note", {{NoteHead({90, 150})}, {Box(111, 28, 8, 120)}}},
        {"half_note", {Holed({NoteHead({90, 150}), Ellipse({90, 150}, 16, 8, -35)}), {Box(111, 28, 8, 120)}}},
        {"guitar", {{guitar.subtracted(Circle({100, 112}, 13)).subtracted(Box(82, 150, 36, 5))}}},
        {"piano", {{Holed({piano})}, {Box(39, 56, 11, 55)}, {Box(60, 56, 11, 55)}, {Box(103, 56, 11, 55)}, {Box(125, 56, 11, 55)}, {Box(146, 56, 11, 55)}}},
        {"microphone", {{Holed({microphone})}, {Stroke(stand, 8)}, {Box(96, 115, 8, 48)}, {Box(65, 160, 70, 12, 6)}}},
        {"headphones", {{Stroke(band, 14)}, {Box(25, 95, 35, 66, 12)}, {Box(140, 95, 35, 66, 12)}}},
        {"disc", {{Circle(Centre, 88).subtracted(Circle(Centre, 18)).subtracted(Stroke(gleam, 6))}}},
        {"speaker", {{Holed({speaker})}}},
    };
}

// ---------------------------------------------------------------- seasons

std::vector<TIllustration> Seasons()
{
    QPainterPath petal(Centre);
    petal.cubicTo(60, 80, 64, 30, 91, 20);
    petal.lineTo(100, 33);
    petal.lineTo(109, 20);
    petal.cubicTo(136, 30, 140, 80, 100, 100);
    QPainterPath arm = Joined({Stroke(Line(Centre, {100, 14}), 9), Stroke(Line({100, 48}, {80, 30}), 7), Stroke(Line({100, 48}, {120, 30}), 7),
                               Stroke(Line({100, 70}, {86, 58}), 6), Stroke(Line({100, 70}, {114, 58}), 6)});
    QPainterPath canopy(QPointF(20, 104));
    canopy.arcTo(QRectF(20, 24, 160, 160), 180, -180);
    for (int k = 3; k >= 0; --k) canopy.arcTo(QRectF(20 + k * 40, 94, 40, 20), 0, 180);
    QPainterPath hook;
    hook.arcMoveTo(QRectF(78, 158, 26, 28), 0);
    hook.arcTo(QRectF(78, 158, 26, 28), 0, -180);
    QPainterPath tulip(QPointF(60, 58));
    tulip.lineTo(80, 84);
    tulip.lineTo(100, 52);
    tulip.lineTo(120, 84);
    tulip.lineTo(140, 58);
    tulip.cubicTo(146, 120, 122, 132, 100, 132);
    tulip.cubicTo(78, 132, 54, 120, 60, 58);
    QPainterPath leaf(QPointF(100, 186));
    leaf.cubicTo(104, 160, 120, 140, 146, 128);
    leaf.cubicTo(140, 160, 122, 178, 100, 186);
    QPainterPath ray = Joined({Stroke(Line({100, 30}, {100, 78}), 5), Circle({100, 26}, 7)});
    QPainterPath fan(QPointF(100, 150));
    fan.lineTo(30, 74);
    fan.arcTo(QRectF(30, 10, 140, 128), 160, -140);
    fan.lineTo(100, 150);
    return {
        {"sakura", {{Around(petal, 5).subtracted(Circle(Centre, 9))}}},
        {"momiji", {{Star({100, 92}, 86, 36, 7)}, {Stroke(Line({100, 120}, {104, 188}), 7)}}},
        {"snowflake", {{Around(arm, 6)}}},
        {"sun", {{Circle(Centre, 42)}, {Around(Polygon({{92, 46}, {108, 46}, {100, 12}}), 12)}}},
        {"umbrella", {{canopy}, {Box(96, 100, 8, 72)}, {Stroke(hook, 8)}}},
        {"tulip", {{tulip}, {Stroke(Line({100, 128}, {100, 190}), 7)}, {leaf}}},
        {"christmas_tree", {{Joined({Polygon({{100, 30}, {60, 80}, {140, 80}}), Polygon({{100, 56}, {45, 118}, {155, 118}}),
                                     Polygon({{100, 88}, {30, 162}, {170, 162}})})},
                            {Box(88, 160, 24, 30)}, {Star({100, 24}, 17, 7, 5)}}},
        {"fireworks", {{Around(ray, 16)}, {Circle(Centre, 9)}}},
        {"ginkgo", {{fan.subtracted(Polygon({{100, 60}, {90, 8}, {110, 8}}))}, {Stroke(Line({100, 148}, {106, 192}), 6)}}},
    };
}

// ---------------------------------------------------------------- stars and hearts

std::vector<TIllustration> StarsAndHearts()
{
    QPainterPath ringOfHearts;
    for (int k = 0; k < 8; ++k) ringOfHearts.addPath(Rotated(Heart({100, 26}, 40), 45.0 * k));
    QPainterPath ringOfStars;
    for (int k = 0; k < 12; ++k) ringOfStars.addPath(Rotated(Star({100, 24}, 16, 7, 5), 30.0 * k));
    return {
        {"star", {{Star({100, 106}, 92, 38, 5)}}},
        {"star_outline", {Holed({Star({100, 106}, 92, 38, 5), Star({100, 106}, 66, 27, 5)})}},
        {"sparkle", {{Star({92, 108}, 84, 18, 4)}, {Star({160, 42}, 28, 7, 4)}}},
        {"shooting_star", {{Star({132, 70}, 52, 22, 5)}, {Stroke(Line({96, 94}, {22, 166}), 8)}, {Stroke(Line({110, 110}, {54, 184}), 8)},
                           {Stroke(Line({86, 76}, {16, 128}), 8)}}},
        {"heart", {{Heart({100, 108}, 170)}}},
        {"heart_outline", {Holed({Heart({100, 108}, 170), Heart({100, 104}, 122)})}},
        {"two_hearts", {{Heart({78, 112}, 112)}, {Heart({134, 88}, 88)}}},
        {"ring_of_hearts", {{ringOfHearts}, {Heart({100, 104}, 70)}}},
        {"moon_and_star", {{Circle({92, 100}, 76).subtracted(Circle({128, 80}, 64))}, {Star({152, 134}, 24, 10, 5)}}},
        {"ring_of_stars", {{ringOfStars}, {Star({100, 104}, 42, 18, 5)}}},
    };
}

// ---------------------------------------------------------------- frames

// A rectangle whose corners are cut in quarter circles.
QPainterPath Cartouche(QRectF r, double scoop)
{
    QPainterPath shape = Box(r.x(), r.y(), r.width(), r.height());
    for (const QPointF& corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) shape = shape.subtracted(Circle(corner, scoop));
    return shape;
}

std::vector<TIllustration> Frames()
{
    QPainterPath scallops = Circle(Centre, 80);
    for (int k = 0; k < 24; ++k) scallops = scallops.united(Circle(Centre + QPointF(80 * std::cos(k * M_PI / 12), 80 * std::sin(k * M_PI / 12)), 11));
    QPainterPath flourish(QPointF(14, 60));
    flourish.lineTo(14, 14);
    flourish.lineTo(60, 14);
    flourish.moveTo(30, 56);
    flourish.cubicTo(30, 36, 36, 30, 56, 30);
    flourish.addEllipse(QPointF(34, 34), 5, 5);
    QPainterPath corners;
    corners.setFillRule(Qt::WindingFill);
    for (int k = 0; k < 4; ++k) corners.addPath(Rotated(Stroke(flourish, 5), 90.0 * k));
    QPainterPath dots;
    dots.setFillRule(Qt::WindingFill);  // the corner dots are met twice
    for (int k = 0; k <= 8; ++k)
        for (const QPointF& p : {QPointF(20 + k * 20, 20), QPointF(20 + k * 20, 180), QPointF(20, 20 + k * 20), QPointF(180, 20 + k * 20)}) dots.addPath(Circle(p, 6));
    return {
        {"frame_double", {Holed({Box(10, 10, 180, 180), Box(20, 20, 160, 160), Box(27, 27, 146, 146), Box(33, 33, 134, 134)})}},
        {"frame_round", {Holed({Box(10, 10, 180, 180, 30), Box(22, 22, 156, 156, 20)})}},
        {"frame_circle", {Holed({Circle(Centre, 90), Circle(Centre, 78)})}},
        {"frame_double_ring", {Holed({Circle(Centre, 92), Circle(Centre, 86), Circle(Centre, 78), Circle(Centre, 70)})}},
        {"frame_scalloped", {{scallops.subtracted(Circle(Centre, 66))}}},
        {"frame_corners", {{corners}, {Stroke(Box(24, 24, 152, 152), 2)}}},
        {"ribbon", {{Box(34, 76, 132, 44)}, {Polygon({{40, 92}, {10, 92}, {24, 112}, {10, 132}, {52, 132}, {52, 116}})},
                    {Polygon({{160, 92}, {190, 92}, {176, 112}, {190, 132}, {148, 132}, {148, 116}})}}},
        {"cartouche", {{Cartouche({14, 40, 172, 120}, 22).subtracted(Cartouche({24, 50, 152, 100}, 16))}}},
        {"frame_dots", {{dots}}},
    };
}

// ---------------------------------------------------------------- nature

std::vector<TIllustration> Nature()
{
    QPainterPath leaf(QPointF(30, 170));
    leaf.cubicTo(30, 60, 120, 20, 176, 24);
    leaf.cubicTo(170, 90, 110, 176, 30, 170);
    QPainterPath petal = Ellipse({100, 52}, 12, 36);
    QPainterPath zigzag(QPointF(60, 96));
    for (int k = 1; k <= 4; ++k) zigzag.lineTo(60 + k * 12.5, k % 2 ? 108 : 96);
    QPainterPath wave(QPointF(10, 172));
    wave.cubicTo(40, 90, 120, 40, 170, 70);
    wave.cubicTo(192, 86, 176, 122, 150, 112);
    wave.cubicTo(170, 100, 160, 80, 140, 84);
    wave.cubicTo(100, 92, 80, 150, 112, 172);
    wave.closeSubpath();
    QPainterPath gull(QPointF(20, 92));
    gull.quadTo(60, 60, 100, 100);
    gull.quadTo(140, 60, 180, 92);
    QPainterPath drop(QPointF(100, 14));
    drop.cubicTo(120, 60, 160, 96, 160, 130);
    drop.cubicTo(160, 166, 133, 190, 100, 190);
    drop.cubicTo(67, 190, 40, 166, 40, 130);
    drop.cubicTo(40, 96, 80, 60, 100, 14);
    QPainterPath antennae(QPointF(96, 62));
    antennae.quadTo(86, 36, 70, 30);
    antennae.moveTo(104, 62);
    antennae.quadTo(114, 36, 130, 30);
    QPainterPath stem(Centre);
    stem.quadTo(112, 150, 134, 184);
    return {
        {"tree", {{Joined({Circle({100, 70}, 50), Circle({64, 96}, 38), Circle({136, 96}, 38), Circle({100, 106}, 40)})},
                  {Polygon({{92, 120}, {108, 120}, {113, 190}, {87, 190}})}}},
        {"leaf", {{leaf.subtracted(Stroke(Line({40, 160}, {160, 40}), 4))}}},
        {"daisy", {{Around(petal, 12).subtracted(Circle(Centre, 24))}, {Circle(Centre, 16)}}},
        {"mountains", {{Joined({Polygon({{16, 172}, {86, 50}, {156, 172}}), Polygon({{92, 172}, {142, 90}, {192, 172}})}).subtracted(Stroke(zigzag, 5))}}},
        {"wave", {{wave}}},
        {"cloud", {{Joined({Circle({70, 110}, 35), Circle({106, 88}, 45), Circle({145, 108}, 32), Box(40, 100, 130, 50, 25)})}}},
        {"gulls", {{Stroke(gull, 10)}, {Stroke(QTransform().translate(110, 100).scale(0.4, 0.4).map(gull), 6)}}},
        {"butterfly", {{Ellipse({64, 78}, 34, 46, -30)}, {Ellipse({136, 78}, 34, 46, 30)}, {Ellipse({72, 138}, 24, 30, 30)},
                       {Ellipse({128, 138}, 24, 30, -30)}, {Box(94, 60, 12, 104, 6)}, {Stroke(antennae, 4)}}},
        {"drop", {Holed({drop, Ellipse({74, 136}, 8, 20, 20)})}},
        {"clover", {{Around(Heart({100, 58}, 74), 4)}, {Stroke(stem, 7)}}},
    };
}

// ---------------------------------------------------------------- SVG

QString Number(double v) { return QString::number(std::round(v * 100) / 100, 'g', 8); }

QString PathData(const QPainterPath& path)
{
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            d += QStringLiteral("M%1 %2").arg(Number(e.x), Number(e.y));
        } else if (e.isLineTo()) {
            d += QStringLiteral("L%1 %2").arg(Number(e.x), Number(e.y));
        } else if (e.isCurveTo()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
            d += QStringLiteral("C%1 %2 %3 %4 %5 %6").arg(Number(e.x), Number(e.y), Number(c2.x), Number(c2.y), Number(end.x), Number(end.y));
            i += 2;
        }
    }
    return d;
}

QByteArray Svg(const TDrawing& drawing, const QColor& colour)
{
    QString svg = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"200\" height=\"200\" viewBox=\"0 0 200 200\">\n");
    for (const QPainterPath& shape : drawing)
        svg += QStringLiteral("<path fill=\"%1\" fill-rule=\"%2\" d=\"%3\"/>\n")
                   .arg(colour.name(), shape.fillRule() == Qt::OddEvenFill ? "evenodd" : "nonzero", PathData(shape));
    return (svg + QStringLiteral("</svg>\n")).toUtf8();
}

std::vector<TGenre> Genres()
{
    return {
        {"Music", "音楽", "Data\\Illust\\Music", QColor(0x1F3A93), Music()},
        {"Seasons", "季節", "Data\\Illust\\Seasons", QColor(0xC0392B), Seasons()},
        {"StarsAndHearts", "星とハート", "Data\\Illust\\StarsAndHearts", QColor(0xD81B60), StarsAndHearts()},
        {"Frames", "枠", "Data\\Illust\\Frames", QColor(0x8D6E27), Frames()},
        {"Nature", "自然", "Data\\Illust\\Nature", QColor(0x2E7D32), Nature()},
    };
}

}  // namespace

void MakeIllustrations(const QDir& program)
{
    QStringList index = {QStringLiteral("; Illustration genres in browser order: caption, folder and the colour the pictures are drawn in.")};
    for (const TGenre& genre : Genres()) {
        index << QLatin1Char('[') + genre.section + QLatin1Char(']') << QStringLiteral("Caption=") + genre.caption
              << QStringLiteral("Genre=") + genre.folder << QStringLiteral("Color=") + ColorText(genre.colour);
        const QString folder = program.filePath(QString(genre.folder).replace('\\', '/'));
        for (const TIllustration& item : genre.items) WriteDataFile(folder + QLatin1Char('/') + item.name + ".svg", Svg(item.drawing, genre.colour));
    }
    WriteIniFile(program.filePath(QStringLiteral("Data/Illust/Illust.dat")), index);
}

}  // namespace kestrel::designs

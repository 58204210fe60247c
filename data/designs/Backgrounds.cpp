// The background library: genres of pictures, their sub-genres, "BackGrnd.dat" and the ID index
// "BackGrnd.ids". Pictures that cover a face are 1200 pixels square (one pixel per 0.1 mm);
// tiled ones are small repeating patterns.

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <vector>

#include "Designs.h"
#include "platform/PictureCodecs.h"
#include "shapes/Shapes.h"

namespace kestrel::designs {

namespace {

constexpr int CoverSide = 1200;
constexpr int PaperSide = 1000;

struct TPicture {
    QString name;
    QImage image;
};

struct TFolder {
    QString caption;  // the sub-genre's name; empty for a genre without sub-genres
    QString folder;   // relative to the program's data, with backslashes
    bool tile;
    QChar idPrefix;
    std::vector<TPicture> pictures;
};

struct TGenre {
    QString section;  // the purposes it is the default for
    QString caption;
    std::vector<TFolder> folders;
};

QColor Mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

double Wrap(double v, double period) { return v - std::floor(v / period) * period; }

// ---------------------------------------------------------------- gradations

QImage Gradation(const QGradient& gradient)
{
    QImage image(CoverSide, CoverSide, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(image.rect(), gradient);
    return image;
}

QImage Linear(QPointF from, QPointF to, const QGradientStops& stops)
{
    QLinearGradient gradient(from * CoverSide, to * CoverSide);
    gradient.setStops(stops);
    return Gradation(gradient);
}

QImage Radial(QPointF centre, double radius, const QGradientStops& stops)
{
    QRadialGradient gradient(centre * CoverSide, radius * CoverSide);
    gradient.setStops(stops);
    return Gradation(gradient);
}

std::vector<TPicture> Gradations()
{
    const QPointF top(0.5, 0), bottom(0.5, 1), topLeft(0, 0), bottomRight(1, 1), centre(0.5, 0.5);
    return {
        {"sky", Linear(top, bottom, {{0, QColor(0x3A8EE6)}, {1, QColor(0xE8F4FF)}})},
        {"sunset", Linear(top, bottom, {{0, QColor(0x4B2C83)}, {0.55, QColor(0xE0577A)}, {1, QColor(0xFFB347)}})},
        {"sea", Linear(top, bottom, {{0, QColor(0x7FE0F0)}, {1, QColor(0x0B2E6B)}})},
        {"rose", Linear(topLeft, bottomRight, {{0, QColor(0xFFE4EC)}, {1, QColor(0xE8578A)}})},
        {"lemon", Linear(topLeft, bottomRight, {{0, QColor(0xFFF6A0)}, {1, QColor(0x9BD04A)}})},
        {"mint", Linear(bottom, top, {{0, QColor(0x0E7C74)}, {1, QColor(0xC8F5E6)}})},
        {"night", Linear(top, bottom, {{0, QColor(0x050A30)}, {0.6, QColor(0x2B1B5A)}, {1, QColor(0x7A3E8F)}})},
        {"aurora", Linear(QPointF(0, 0.2), QPointF(1, 0.8), {{0, QColor(0x123B5C)}, {0.35, QColor(0x2FC6A0)}, {0.7, QColor(0x7B5BD6)}, {1, QColor(0x1A1446)}})},
        {"sunburst", Radial(centre, 0.72, {{0, QColor(0xFFFDE8)}, {0.5, QColor(0xFFD23F)}, {1, QColor(0xE07A00)}})},
        {"spotlight", Radial(QPointF(0.5, 0.4), 0.8, {{0, QColor(0xFFFFFF)}, {1, QColor(0x1F3F8F)}})},
    };
}

// ---------------------------------------------------------------- stripes and checks

using TBands = std::vector<std::pair<double, QColor>>;

// The colour of a band set (widths in pixels) repeating along one coordinate.
QColor BandAt(const TBands& bands, double v)
{
    double total = 0;
    for (const auto& band : bands) total += band.first;
    double t = Wrap(v, total);
    for (const auto& [width, colour] : bands) {
        if (t < width) return colour;
        t -= width;
    }
    return bands.back().second;
}

double Width(const TBands& bands)
{
    double total = 0;
    for (const auto& band : bands) total += band.first;
    return total;
}

// A square tile of the bands repeated the given number of times.
QImage Stripes(const TBands& bands, int repeats, bool horizontal)
{
    const int side = int(Width(bands)) * repeats;
    return ShadePixels({side, side}, 4, [&](double x, double y) { return BandAt(bands, horizontal ? y : x); });
}

QImage DiagonalStripes(int side, int count, const QColor& a, const QColor& b)
{
    // x + y repeats every side pixels in both directions, so the tile joins its neighbours.
    return ShadePixels({side, side}, 4, [&](double x, double y) { return Wrap((x + y) * count / side, 1.0) < 0.5 ? a : b; });
}

std::vector<TPicture> StripePictures()
{
    return {
        {"candy", Stripes({{20, QColor(0xE53950)}, {20, QColor(0xFFFFFF)}}, 4, false)},
        {"pastel", Stripes({{30, QColor(0xFFD6E0)}, {30, QColor(0xD6ECFF)}, {30, QColor(0xFFF5C8)}}, 2, true)},
        {"diagonal", DiagonalStripes(160, 4, QColor(0x1F4E8C), QColor(0xF4E9D0))},
        {"pinstripe", Stripes({{2, QColor(0xC8C8C8)}, {28, QColor(0x22262E)}}, 4, false)},
        {"regimental", DiagonalStripes(180, 3, QColor(0x7A1020), QColor(0x0E2A50))},
    };
}

// Woven bands: a thread colour across and one down, blended as a plain weave shows them.
QImage Weave(const TBands& sett)
{
    const int side = int(Width(sett));
    return ShadePixels({side, side}, 3, [&](double x, double y) { return Mix(BandAt(sett, x), BandAt(sett, y), 0.5); });
}

QImage Gingham(int side, const QColor& colour)
{
    // Both threads coloured: full colour; one: half; none: white.
    return ShadePixels({side, side}, 4, [&](double x, double y) {
        const int n = int(Wrap(x, side) < side / 2.0) + int(Wrap(y, side) < side / 2.0);
        return Mix(QColor(0xFFFFFF), colour, n / 2.0);
    });
}

std::vector<TPicture> CheckPictures()
{
    const QColor navy(0x15305A), green(0x1E5B3A), red(0xB0202E), yellow(0xE8C547), black(0x151515);
    return {
        {"gingham_red", Gingham(48, QColor(0xD0313D))},
        {"gingham_blue", Gingham(48, QColor(0x3B6FC4))},
        {"tartan", Weave({{60, navy}, {12, black}, {50, green}, {8, yellow}, {50, green}, {12, black}, {40, navy}, {8, red}})},
        {"buffalo", Weave({{80, QColor(0xB3121E)}, {80, QColor(0x101010)}})},
        {"tattersall", Weave({{4, red}, {26, QColor(0xF3EBD3)}, {4, navy}, {26, QColor(0xF3EBD3)}})},
    };
}

// ---------------------------------------------------------------- dots

// Distance to the nearest of the dots repeated every period, one coordinate at a time.
double Repeated(double v, double at, double period) { return Wrap(v - at + period / 2, period) - period / 2; }

QImage PolkaDots(int side, double radius, const QColor& ground, const QColor& dot)
{
    // Two dots per tile, the second diagonally between, so the rows alternate.
    const double q = side / 4.0;
    return ShadePixels({side, side}, 4, [&](double x, double y) {
        const double d1 = std::hypot(Repeated(x, q, side), Repeated(y, q, side));
        const double d2 = std::hypot(Repeated(x, 3 * q, side), Repeated(y, 3 * q, side));
        return std::min(d1, d2) < radius ? dot : ground;
    });
}

// Small shapes scattered at random, drawn wrapped round the tile's edges so the tile repeats.
QImage Confetti(int side, int count, const QColor& ground, const std::vector<QColor>& colours, bool stars, uint64_t seed)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(ground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    TRandom random(seed);
    for (int i = 0; i < count; ++i) {
        const QPointF at(random.Between(0, side), random.Between(0, side));
        const double size = random.Between(4, 10);
        const QColor colour = colours[size_t(random.Next() * colours.size())];
        const QPainterPath shape = stars ? shapes::Star(QPointF(0, 0), size, size * 0.45, 5)
                                         : [&] {
                                               QPainterPath dot;
                                               dot.addEllipse(QPointF(0, 0), size * 0.6, size * 0.6);
                                               return dot;
                                           }();
        for (int dx : {-side, 0, side})
            for (int dy : {-side, 0, side}) painter.fillPath(shape.translated(at + QPointF(dx, dy)), colour);
    }
    return image;
}

std::vector<TPicture> PolkaDotPictures()
{
    return {
        {"polka_red", PolkaDots(80, 10, QColor(0xD92B3A), QColor(0xFFFFFF))},
        {"polka_navy", PolkaDots(64, 6, QColor(0x17264D), QColor(0xF2F2F2))},
        {"polka_pink", PolkaDots(120, 22, QColor(0xFFE3EC), QColor(0xF57CA4))},
        {"polka_yellow", PolkaDots(96, 14, QColor(0xFFF3B0), QColor(0x8A5A2B))},
    };
}

std::vector<TPicture> ConfettiPictures()
{
    return {
        {"confetti", Confetti(240, 90, QColor(0xFFFFFF), {QColor(0xF44336), QColor(0x2196F3), QColor(0xFFC107), QColor(0x4CAF50), QColor(0x9C27B0)}, false, 1)},
        {"stardust", Confetti(240, 70, QColor(0x0B1233), {QColor(0xFFF8C0), QColor(0xFFFFFF), QColor(0xB8D8FF)}, true, 2)},
        {"sprinkles", Confetti(200, 110, QColor(0xFFF0F5), {QColor(0xFF8FB1), QColor(0x8FD3FF), QColor(0xFFE08F)}, false, 3)},
    };
}

// ---------------------------------------------------------------- paper

// Soft blotches: random values on a coarse grid, smoothly enlarged.
QImage Blotches(int side, int cells, TRandom& random)
{
    QImage coarse(cells, cells, QImage::Format_Grayscale8);
    for (int y = 0; y < cells; ++y)
        for (int x = 0; x < cells; ++x) coarse.scanLine(y)[x] = uchar(random.Between(0, 256));
    return coarse.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage Paper(const QColor& base, double blotch, double grain, int fibres, const QColor& fibre, uint64_t seed)
{
    TRandom random(seed);
    const QImage large = Blotches(PaperSide, 12, random);
    const QImage fine = Blotches(PaperSide, 160, random);
    QImage image(PaperSide, PaperSide, QImage::Format_RGB32);
    for (int y = 0; y < PaperSide; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < PaperSide; ++x) {
            const double shade = (large.constScanLine(y)[x] - 128) / 128.0 * blotch + (fine.constScanLine(y)[x] - 128) / 128.0 * grain;
            const QColor c = shade >= 0 ? Mix(base, QColor(0xFFFFFF), shade) : Mix(base, QColor(Qt::black), -shade);
            row[x] = c.rgb();
        }
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < fibres; ++i) {
        QPainterPath path(QPointF(random.Between(0, PaperSide), random.Between(0, PaperSide)));
        const double angle = random.Between(0, 2 * M_PI), length = random.Between(20, 90);
        const QPointF direction(std::cos(angle) * length, std::sin(angle) * length);
        path.quadTo(path.currentPosition() + direction / 2 + QPointF(random.Between(-15, 15), random.Between(-15, 15)),
                    path.currentPosition() + direction);
        painter.strokePath(path, QPen(fibre, random.Between(0.6, 1.6)));
    }
    return image;
}

QImage Canvas(const QColor& base)
{
    // Threads across and down, each a soft ridge.
    return ShadePixels({PaperSide, PaperSide}, 1, [&](double x, double y) {
        const double ridge = 0.5 * (std::sin(x * M_PI / 3) + std::sin(y * M_PI / 3));
        return ridge >= 0 ? Mix(base, QColor(0xFFFFFF), ridge * 0.12) : Mix(base, QColor(Qt::black), -ridge * 0.12);
    });
}

std::vector<TPicture> PaperPictures()
{
    return {
        {"kraft", Paper(QColor(0xB88A5A), 0.10, 0.08, 120, QColor(0x8C6239), 11)},
        {"washi", Paper(QColor(0xF6F0E1), 0.05, 0.04, 400, QColor(0xFFFFFF), 12)},
        {"recycled", Paper(QColor(0xDCD7CC), 0.06, 0.10, 60, QColor(0x6E6A60), 13)},
        {"parchment", Paper(QColor(0xE9D8A6), 0.18, 0.05, 30, QColor(0xB89B5E), 14)},
        {"sumi", Paper(QColor(0x2B2B2E), 0.20, 0.06, 80, QColor(0x55555A), 15)},
        {"canvas", Canvas(QColor(0xE8E1D0))},
    };
}

// ---------------------------------------------------------------- traditional Japanese patterns

// Overlapping fans of rings, each row half a fan across from the one above (青海波).
QImage Seigaiha(double radius, const QColor& ground, const QColor& line)
{
    const int w = int(2 * radius), h = int(radius);
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(ground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int row = -3; row <= 4; ++row) {
        const double y = row * radius / 2, shift = (row % 2 != 0) ? radius : 0;
        for (int col = -2; col <= 2; ++col) {
            const QPointF centre(col * 2 * radius + shift, y);
            for (int ring = 0; ring < 5; ++ring) {
                const double r = radius * (1 - ring * 0.2);
                painter.setBrush(line);
                painter.drawEllipse(centre, r, r);
                painter.setBrush(ground);
                painter.drawEllipse(centre, r - radius * 0.07, r - radius * 0.07);
            }
        }
    }
    return image;
}

// Equilateral triangles, each cut into three from its centre (麻の葉).
QImage Asanoha(int side, const QColor& ground, const QColor& line)
{
    const int w = side, h = int(std::lround(side * std::sqrt(3.0)));
    const double sy = h / (side * std::sqrt(3.0));  // the lattice stretched a hair to whole pixels
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(ground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(line, 1.6, Qt::SolidLine, Qt::RoundCap));
    const double rowHeight = side * std::sqrt(3.0) / 2;
    const auto at = [&](double x, double y) { return QPointF(x, y * sy); };
    for (int row = -2; row <= 3; ++row) {
        const double y0 = row * rowHeight, y1 = y0 + rowHeight, shift = (row % 2 != 0) ? side / 2.0 : 0;
        for (int col = -2; col <= 2; ++col) {
            const double x = col * side + shift;
            // Upward triangle (x, y1) (x + side, y1) (x + side / 2, y0), then the downward one beside it.
            const QPointF up[3] = {at(x, y1), at(x + side, y1), at(x + side / 2.0, y0)};
            const QPointF down[3] = {at(x + side / 2.0, y0), at(x + side * 1.5, y0), at(x + side, y1)};
            for (const QPointF* triangle : {up, down}) {
                const QPointF centre = (triangle[0] + triangle[1] + triangle[2]) / 3;
                for (int i = 0; i < 3; ++i) {
                    painter.drawLine(triangle[i], triangle[(i + 1) % 3]);
                    painter.drawLine(triangle[i], centre);
                }
            }
        }
    }
    return image;
}

// Squares of two colours in turn (市松).
QImage Ichimatsu(int square, const QColor& a, const QColor& b)
{
    return ShadePixels({2 * square, 2 * square}, 1, [&](double x, double y) { return (int(x / square) + int(y / square)) % 2 ? b : a; });
}

// Circles of a square lattice and of its centres, each overlapping its neighbours (七宝).
QImage Shippo(int side, const QColor& ground, const QColor& line, const QColor& petal)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(ground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double r = side / 2.0;
    std::vector<QPointF> centres;
    for (int i = -1; i <= 2; ++i)
        for (int j = -1; j <= 2; ++j) {
            centres.emplace_back(i * side, j * side);
            centres.emplace_back((i + 0.5) * side, (j + 0.5) * side);
        }
    // The lens where two circles overlap is tinted; then every circle is outlined.
    painter.setPen(Qt::NoPen);
    for (size_t a = 0; a < centres.size(); ++a)
        for (size_t b = a + 1; b < centres.size(); ++b) {
            if (QLineF(centres[a], centres[b]).length() >= 2 * r - 0.5) continue;
            QPainterPath first, second;
            first.addEllipse(centres[a], r, r);
            second.addEllipse(centres[b], r, r);
            painter.fillPath(first.intersected(second), petal);
        }
    painter.setPen(QPen(line, 2.2));
    painter.setBrush(Qt::NoBrush);
    for (const QPointF& c : centres) painter.drawEllipse(c, r, r);
    return image;
}

// Arrow feathers: columns of chevrons, each column half a feather below its neighbour (矢絣).
QImage Yagasuri(int column, int feather, const QColor& a, const QColor& b)
{
    const double dip = feather * 0.28;
    return ShadePixels({2 * column, feather}, 4, [&](double x, double y) {
        const int c = int(x / column);
        const double u = x - c * column;
        const double v = Wrap(y + (c % 2) * feather / 2.0, feather);
        const double edge = dip * (1 - std::fabs(u - column / 2.0) / (column / 2.0));  // the V of the feather
        return Wrap(v - edge, feather) < feather / 2.0 ? a : b;
    });
}

std::vector<TFolder> WagaraFolders()
{
    const QString base = QStringLiteral("Data\\BackGrnd\\Wagara\\");
    return {
        {"青海波", base + "Seigaiha", true, 'S', {{"seigaiha_ai", Seigaiha(100, QColor(0x1B3A6B), QColor(0xF2EEE3))}, {"seigaiha_beni", Seigaiha(80, QColor(0xF7E7CE), QColor(0xC0392B))}}},
        {"麻の葉", base + "Asanoha", true, 'A', {{"asanoha_momo", Asanoha(80, QColor(0xFBE3E8), QColor(0xD9657F))}, {"asanoha_kin", Asanoha(96, QColor(0x7A1E1E), QColor(0xE8C15A))}}},
        {"市松", base + "Ichimatsu", true, 'I', {{"ichimatsu_midori", Ichimatsu(60, QColor(0x1A1A1A), QColor(0x2E8B57))}, {"ichimatsu_ai", Ichimatsu(48, QColor(0x223A70), QColor(0xF4F1EA))}}},
        {"七宝", base + "Shippo", true, 'T', {{"shippo_fuji", Shippo(100, QColor(0xEDE3F5), QColor(0x6A3D9A), QColor(0xD5C2EA))}, {"shippo_kin", Shippo(120, QColor(0xFFFFFF), QColor(0xB8860B), QColor(0xF7E9B8))}}},
        {"矢絣", base + "Yagasuri", true, 'Y', {{"yagasuri_murasaki", Yagasuri(60, 90, QColor(0x5B2C83), QColor(0xF5F0F8))}, {"yagasuri_aka", Yagasuri(50, 80, QColor(0xB22234), QColor(0xFCE4E4))}}},
    };
}

std::vector<TGenre> Genres()
{
    return {
        {"CD,*", "グラデーション", {{"", "Data\\BackGrnd\\Gradation", false, 'G', Gradations()}}},
        {"Stripe", "ストライプ・チェック",
         {{"ストライプ", "Data\\BackGrnd\\Stripe", true, 'L', StripePictures()}, {"チェック", "Data\\BackGrnd\\Check", true, 'C', CheckPictures()}}},
        {"Dot", "ドット", {{"水玉", "Data\\BackGrnd\\Dot", true, 'D', PolkaDotPictures()}, {"紙吹雪", "Data\\BackGrnd\\Confetti", true, 'F', ConfettiPictures()}}},
        {"CDCover,CDCaseTray", "紙・テクスチャ", {{"", "Data\\BackGrnd\\Paper", false, 'P', PaperPictures()}}},
        {"Wagara", "和柄", WagaraFolders()},
    };
}

QString RealPath(const QDir& program, const QString& folder) { return program.filePath(QString(folder).replace('\\', '/')); }

}  // namespace

void MakeBackgrounds(const QDir& program)
{
    QStringList genres = {QStringLiteral("; Background genres: the section names the face purposes a genre is the default for.")};
    QStringList ids = {QStringLiteral("; Short IDs of the background pictures, by folder.")};
    for (const TGenre& genre : Genres()) {
        genres << QLatin1Char('[') + genre.section + QLatin1Char(']') << QStringLiteral("Caption=") + genre.caption;
        int subGenre = 0;
        for (const TFolder& folder : genre.folders) {
            if (folder.caption.isEmpty())
                genres << QStringLiteral("Genre=") + folder.folder;
            else
                genres << QStringLiteral("SubGenre%1=%2,%3,%4").arg(++subGenre).arg(folder.caption, folder.folder).arg(folder.tile ? 1 : 0);
            ids << QLatin1Char('[') + folder.folder + QLatin1Char(']');
            int number = 0;
            for (const TPicture& picture : folder.pictures) {
                // Tiled patterns stay exact as PNG; large pictures are photographs to the printer.
                const QString file = RealPath(program, folder.folder) + QLatin1Char('/') + picture.name + (folder.tile ? ".png" : ".jpg");
                WriteDataFile(file, folder.tile ? EncodePng(picture.image) : EncodeJpeg(picture.image, 90));
                ids << QStringLiteral("%1=%2%3").arg(picture.name.toUpper()).arg(folder.idPrefix).arg(++number, 3, 10, QLatin1Char('0'));
            }
        }
    }
    WriteIniFile(program.filePath(QStringLiteral("Data/BackGrnd/BackGrnd.dat")), genres);
    WriteIniFile(program.filePath(QStringLiteral("Data/BackGrnd/BackGrnd.ids")), ids);
}

}  // namespace kestrel::designs

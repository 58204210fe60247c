#include "platform/FontServices.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <algorithm>

namespace kestrel {
namespace {

std::shared_ptr<const TFontFace> Gothic()
{
    auto face = TFontFace::Open(QStringLiteral("IPAGothic"), false, false);
    EXPECT_TRUE(face) << "IPAGothic is not installed";
    return face;
}

QByteArray RunPython(const QString& script, const QStringList& args)
{
    QProcess python;
    python.start("/usr/bin/python3", QStringList{"-c", script} + args);
    EXPECT_TRUE(python.waitForFinished(60000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().constData();
    return python.readAllStandardOutput();
}

TEST(FontServices, WindowsFacesResolveToInstalledFacesAndUnknownNamesToNothing)
{
    EXPECT_EQ(ResolveFamily(u"ＭＳ Ｐゴシック"_qs), u"IPAPGothic"_qs);
    EXPECT_EQ(ResolveFamily(u"ＭＳ 明朝"_qs), u"IPAMincho"_qs);
    EXPECT_EQ(ResolveFamily(u"IPAゴシック"_qs), u"IPAGothic"_qs);  // a localised family name
    EXPECT_EQ(ResolveFamily(u"Times New Roman"_qs), u"DejaVu Serif"_qs);
    EXPECT_TRUE(ResolveFamily(u"存在しない書体"_qs).isEmpty());
    const auto& fonts = InstalledFonts();
    const auto gothic = std::find_if(fonts.begin(), fonts.end(), [](const auto& f) { return f.family == u"IPAGothic"; });
    ASSERT_NE(gothic, fonts.end());
    EXPECT_TRUE(gothic->outline);
    EXPECT_TRUE(gothic->japanese);
}

// fontTools reads the same file: metrics, per-glyph advance and ink extent, and the outline as
// the points our path holds (quadratics as cubic triples, a closing line where the contour does
// not end at its start), in logical units at 24 points.
constexpr double Em = 24 * 254 / 72.0;

const char* FontToolsScript = R"(
import sys
from fontTools.ttLib import TTFont
from fontTools.pens.basePen import BasePen
font = TTFont(sys.argv[1])
upem = font['head'].unitsPerEm
os2, post = font['OS/2'], font['post']
print('metrics', upem, os2.usWinAscent, os2.usWinDescent, post.underlinePosition, post.underlineThickness,
      os2.yStrikeoutPosition, os2.yStrikeoutSize)
s = float(sys.argv[2]) / upem
class Pen(BasePen):
    def __init__(self, gs):
        super().__init__(gs); self.pts = []; self.start = None; self.cur = None
    def add(self, p): self.pts.append((p[0] * s, -p[1] * s)); self.cur = p
    def _moveTo(self, p): self.start = p; self.add(p)
    def _lineTo(self, p): self.add(p)
    def _qCurveToOne(self, q, p):
        c = self.cur
        self.add((c[0] + (q[0] - c[0]) * 2 / 3, c[1] + (q[1] - c[1]) * 2 / 3))
        self.add((p[0] + (q[0] - p[0]) * 2 / 3, p[1] + (q[1] - p[1]) * 2 / 3)); self.add(p)
    def _curveToOne(self, a, b, p): self.add(a); self.add(b); self.add(p)
    def _closePath(self):
        if self.cur != self.start: self.add(self.start)
cmap = font.getBestCmap(); gs = font.getGlyphSet(); glyf = font['glyf']
for ch in sys.argv[3]:
    name = cmap[ord(ch)]
    adv, lsb = font['hmtx'][name]
    g = glyf[name]
    ink = (g.xMin, g.xMax) if g.numberOfContours else (0, 0)
    pen = Pen(gs); gs[name].draw(pen)
    print('glyph', ord(ch), adv, ink[0], ink[1], ' '.join('%.3f,%.3f' % p for p in pen.pts))
)";

TEST(FontServicesReference, MetricsWidthsAndOutlinesMatchFontTools)
{
    const auto face = Gothic();
    ASSERT_TRUE(face);
    const QString chars = u"Aあ漢gー（"_qs;
    const QByteArray output = RunPython(FontToolsScript, {face->FilePath(), QString::number(Em), chars});
    int glyphs = 0;
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f[0] == "metrics") {
            const TFaceMetrics& m = face->Metrics();
            EXPECT_EQ(m.unitsPerEm, f[1].toInt());
            EXPECT_EQ(m.ascent, f[2].toInt());
            EXPECT_EQ(m.descent, f[3].toInt());
            EXPECT_EQ(m.underlinePosition, f[4].toInt());
            EXPECT_EQ(m.underlineThickness, f[5].toInt());
            EXPECT_EQ(m.strikeoutPosition, f[6].toInt());
            EXPECT_EQ(m.strikeoutThickness, f[7].toInt());
        }
        if (f[0] != "glyph") continue;
        ++glyphs;
        const uint32_t glyph = face->Glyph(char32_t(f[1].toUInt()));
        const TGlyphBox box = face->Box(glyph);
        EXPECT_EQ(box.advance, f[2].toInt());
        EXPECT_EQ(box.xMin, f[3].toInt());
        EXPECT_EQ(box.xMax, f[4].toInt());
        const double scale = Em / face->Metrics().unitsPerEm;
        TPathPoints path;
        face->AppendOutline(glyph, QTransform::fromScale(scale, -scale), path);
        // Contours may start at another point of their ring: compare the points as sets.
        std::vector<QPointF> theirs;
        for (qsizetype i = 5; i < f.size(); ++i) {
            const QList<QByteArray> xy = f[i].split(',');
            theirs.push_back({xy[0].toDouble(), xy[1].toDouble()});
        }
        std::vector<QPoint> ours;
        for (const TPathPoint& p : path) ours.push_back(p.point);
        auto less = [](auto a, auto b) { return std::pair(a.x(), a.y()) < std::pair(b.x(), b.y()); };
        std::sort(ours.begin(), ours.end(), less);
        ours.erase(std::unique(ours.begin(), ours.end()), ours.end());
        ASSERT_FALSE(ours.empty());
        for (QPointF p : theirs) {
            const bool near = std::any_of(ours.begin(), ours.end(), [&](QPoint q) {
                return std::abs(q.x() - p.x()) <= 1 && std::abs(q.y() - p.y()) <= 1;
            });
            EXPECT_TRUE(near) << "U+" << std::hex << f[1].toUInt() << " point " << p.x() << "," << p.y();
        }
        EXPECT_LE(ours.size(), theirs.size());
    }
    EXPECT_EQ(glyphs, chars.size());
}

TEST(FontServicesReference, VerticalFormsAreTheGlyphsHbShapePicks)
{
    const auto face = Gothic();
    ASSERT_TRUE(face);
    int changed = 0;
    for (QChar ch : u"ー（「…ぁゃッ"_qs) {
        QProcess shape;
        shape.start("hb-shape", {"--features=vert", "--no-glyph-names", "--no-positions", "--no-clusters",
                                 face->FilePath(), QString(ch)});
        ASSERT_TRUE(shape.waitForFinished(30000));
        const QByteArray out = shape.readAllStandardOutput().trimmed();  // "[1234]"
        ASSERT_TRUE(out.startsWith('[')) << out.constData();
        const uint32_t expected = out.mid(1, out.size() - 2).toUInt();
        EXPECT_EQ(face->VerticalGlyph(ch.unicode()), expected) << QString(ch).toStdString();
        if (expected != face->Glyph(ch.unicode())) ++changed;
    }
    EXPECT_GE(changed, 5);  // the font does have vertical forms for these
}

}  // namespace
}  // namespace kestrel

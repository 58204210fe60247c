#include "platform/FontServices.h"

#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <hb.h>

#include <QHash>
#include <algorithm>
#include <map>
#include <mutex>
#include <tuple>

#include "platform/Rounding.h"

namespace kestrel {

namespace {

QString FcString(FcPattern* pattern, const char* object, int n = 0)
{
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, n, &value) != FcResultMatch || !value) return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(value));
}

bool FcFlag(FcPattern* pattern, const char* object)
{
    ::FcBool value = FcFalse;
    return FcPatternGetBool(pattern, object, 0, &value) == FcResultMatch && value;
}

bool CoversJapanese(FcPattern* pattern)
{
    FcLangSet* langs = nullptr;
    if (FcPatternGetLangSet(pattern, FC_LANG, 0, &langs) != FcResultMatch) return false;
    return FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual;
}

struct TFontCatalogue {
    std::vector<TInstalledFont> fonts;
    // Every family name fontconfig knows (localised ones too) -> the listed family.
    QHash<QString, QString> aliases;
};

TFontCatalogue ReadCatalogue()
{
    TFontCatalogue catalogue;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_OUTLINE, FC_LANG, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    std::map<QString, TInstalledFont> byName;
    for (int i = 0; set && i < set->nfont; ++i) {
        FcPattern* font = set->fonts[i];
        const QString family = FcString(font, FC_FAMILY);
        if (family.isEmpty()) continue;
        TInstalledFont& entry = byName[family];
        entry.family = family;
        entry.outline = entry.outline || FcFlag(font, FC_OUTLINE);
        entry.japanese = entry.japanese || CoversJapanese(font);
        for (int n = 0;; ++n) {
            const QString alias = FcString(font, FC_FAMILY, n);
            if (alias.isEmpty()) break;
            catalogue.aliases.insert(alias, family);
        }
    }
    if (set) FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    for (auto& [name, font] : byName) catalogue.fonts.push_back(font);
    return catalogue;
}

const TFontCatalogue& Catalogue()
{
    static const TFontCatalogue catalogue = ReadCatalogue();
    return catalogue;
}

QString InstalledOutlineFamily(const QString& name)
{
    const QString family = Catalogue().aliases.value(name);
    return !family.isEmpty() && IsInstalledOutlineFont(family) ? family : QString();
}

}  // namespace

const std::vector<TInstalledFont>& InstalledFonts()
{
    return Catalogue().fonts;
}

bool IsInstalledOutlineFont(const QString& family)
{
    const auto& fonts = InstalledFonts();
    return std::any_of(fonts.begin(), fonts.end(),
                       [&](const TInstalledFont& f) { return f.outline && f.family == family; });
}

const std::vector<TFaceSubstitute>& FaceSubstitutes()
{
    static const std::vector<TFaceSubstitute> table = {
        {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic")},
        {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")},
        {QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho")},
        {QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho")},
        {QStringLiteral("ＭＳ ＵＩ ゴシック"), QStringLiteral("IPAPGothic")},
        {QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic")},
        {QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic")},
        {QStringLiteral("MS Mincho"), QStringLiteral("IPAMincho")},
        {QStringLiteral("MS PMincho"), QStringLiteral("IPAPMincho")},
        {QStringLiteral("MS UI Gothic"), QStringLiteral("IPAPGothic")},
        {QStringLiteral("メイリオ"), QStringLiteral("IPAPGothic")},
        {QStringLiteral("Meiryo"), QStringLiteral("IPAPGothic")},
        {QStringLiteral("標準ゴシック"), QStringLiteral("IPAGothic")},
        {QStringLiteral("標準明朝"), QStringLiteral("IPAMincho")},
        {QStringLiteral("System"), QStringLiteral("IPAPGothic")},
        {QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")},
        {QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")},
        {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")},
        {QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")},
        {QStringLiteral("Century"), QStringLiteral("DejaVu Serif")},
        {QStringLiteral("Times New Roman"), QStringLiteral("DejaVu Serif")},
        {QStringLiteral("Courier New"), QStringLiteral("DejaVu Sans Mono")},
    };
    return table;
}

QString ResolveFamily(const QString& storedName)
{
    if (QString family = InstalledOutlineFamily(storedName); !family.isEmpty()) return family;
    for (const TFaceSubstitute& s : FaceSubstitutes())
        if (s.storedName == storedName) return InstalledOutlineFamily(s.installedFamily);
    return {};
}

QString UsableFamily(const QString& storedName)
{
    // Tried in this order when a stored face is not usable.
    static const QString fallbackFaces[] = {
        QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("ＭＳ ゴシック"),
        QStringLiteral("ＭＳ 明朝"),       QStringLiteral("標準ゴシック"), QStringLiteral("標準明朝"),
        QStringLiteral("System"),
    };
    if (QString family = ResolveFamily(storedName); !family.isEmpty()) return family;
    for (const QString& fallback : fallbackFaces)
        if (QString family = ResolveFamily(fallback); !family.isEmpty()) return family;
    for (const TInstalledFont& font : InstalledFonts())
        if (font.outline) return font.family;
    return {};
}

struct TFontFace::THb {
    hb_blob_t* blob = nullptr;
    hb_face_t* face = nullptr;
    hb_font_t* font = nullptr;
    // Shaping is not reentrant on one buffer; vertical forms are cached per character.
    mutable std::mutex lock;
    mutable QHash<char32_t, uint32_t> vertical;

    ~THb()
    {
        if (font) hb_font_destroy(font);
        if (face) hb_face_destroy(face);
        if (blob) hb_blob_destroy(blob);
    }
};

namespace {

int OtMetric(hb_font_t* font, hb_ot_metrics_tag_t tag, bool* found = nullptr)
{
    hb_position_t value = 0;
    const bool ok = hb_ot_metrics_get_position(font, tag, &value);
    if (found) *found = ok;
    return ok ? value : 0;
}

TFaceMetrics ReadMetrics(hb_face_t* face, hb_font_t* font)
{
    TFaceMetrics m;
    m.unitsPerEm = std::max(1u, hb_face_get_upem(face));
    m.ascent = OtMetric(font, HB_OT_METRICS_TAG_HORIZONTAL_CLIPPING_ASCENT);
    m.descent = std::abs(OtMetric(font, HB_OT_METRICS_TAG_HORIZONTAL_CLIPPING_DESCENT));
    const int hheaAscent = OtMetric(font, HB_OT_METRICS_TAG_HORIZONTAL_ASCENDER);
    const int hheaDescent = OtMetric(font, HB_OT_METRICS_TAG_HORIZONTAL_DESCENDER);
    const int lineGap = OtMetric(font, HB_OT_METRICS_TAG_HORIZONTAL_LINE_GAP);
    if (m.ascent == 0 && m.descent == 0) {  // no OS/2 table: the hhea numbers
        m.ascent = hheaAscent;
        m.descent = std::abs(hheaDescent);
    }
    // The gap that remains once the cell (ascent + descent) has used up what it takes beyond the
    // typographic line.
    m.externalLeading = std::max(0, lineGap - ((m.ascent + m.descent) - (hheaAscent - hheaDescent)));
    bool underline = false;
    bool strikeout = false;
    m.underlinePosition = OtMetric(font, HB_OT_METRICS_TAG_UNDERLINE_OFFSET, &underline);
    m.underlineThickness = OtMetric(font, HB_OT_METRICS_TAG_UNDERLINE_SIZE);
    m.strikeoutPosition = OtMetric(font, HB_OT_METRICS_TAG_STRIKEOUT_OFFSET, &strikeout);
    m.strikeoutThickness = OtMetric(font, HB_OT_METRICS_TAG_STRIKEOUT_SIZE);
    m.hasOutlineMetrics = underline && strikeout;
    return m;
}

// Collects HarfBuzz's drawing calls as path points.
struct TOutlineSink {
    const QTransform* map;
    TPathPoints* path;
    QPointF current;

    void Add(QPointF p, uint8_t type)
    {
        const QPointF q = map->map(p);
        path->push_back({QPoint(int(RoundHalfAway(q.x())), int(RoundHalfAway(q.y()))), type});
        current = p;
    }
    void Cubic(QPointF c1, QPointF c2, QPointF to)
    {
        Add(c1, ptBezierTo);
        Add(c2, ptBezierTo);
        Add(to, ptBezierTo);
    }
};

TOutlineSink& Sink(void* data)
{
    return *static_cast<TOutlineSink*>(data);
}

hb_draw_funcs_t* OutlineFuncs()
{
    static hb_draw_funcs_t* funcs = [] {
        hb_draw_funcs_t* f = hb_draw_funcs_create();
        hb_draw_funcs_set_move_to_func(
            f, [](hb_draw_funcs_t*, void* d, hb_draw_state_t*, float x, float y, void*) {
                Sink(d).Add({x, y}, ptMoveTo);
            },
            nullptr, nullptr);
        hb_draw_funcs_set_line_to_func(
            f, [](hb_draw_funcs_t*, void* d, hb_draw_state_t*, float x, float y, void*) { Sink(d).Add({x, y}, ptLineTo); },
            nullptr, nullptr);
        hb_draw_funcs_set_quadratic_to_func(
            f,
            [](hb_draw_funcs_t*, void* d, hb_draw_state_t*, float cx, float cy, float x, float y, void*) {
                // The cubic that is the same curve: controls two thirds of the way to the quadratic one.
                const QPointF from = Sink(d).current;
                const QPointF control(cx, cy);
                const QPointF to(x, y);
                Sink(d).Cubic(from + (control - from) * 2.0 / 3.0, to + (control - to) * 2.0 / 3.0, to);
            },
            nullptr, nullptr);
        hb_draw_funcs_set_cubic_to_func(
            f,
            [](hb_draw_funcs_t*, void* d, hb_draw_state_t*, float c1x, float c1y, float c2x, float c2y, float x,
               float y, void*) { Sink(d).Cubic({c1x, c1y}, {c2x, c2y}, {x, y}); },
            nullptr, nullptr);
        hb_draw_funcs_set_close_path_func(
            f, [](hb_draw_funcs_t*, void* d, hb_draw_state_t*, void*) { CloseLastFigure(*Sink(d).path); }, nullptr,
            nullptr);
        hb_draw_funcs_make_immutable(f);
        return f;
    }();
    return funcs;
}

struct TFaceKey {
    QString path;
    int index;
    bool operator<(const TFaceKey& o) const { return std::tie(path, index) < std::tie(o.path, o.index); }
};

}  // namespace

TFontFace::TFontFace(QString path, int index) : path_(std::move(path)), index_(index), hb_(std::make_unique<THb>())
{
    hb_->blob = hb_blob_create_from_file(path_.toLocal8Bit().constData());
    hb_->face = hb_face_create(hb_->blob, index_);
    hb_->font = hb_font_create(hb_->face);
    metrics_ = ReadMetrics(hb_->face, hb_->font);
    // The file's own design, not what fontconfig would make of it.
    hasBold_ = hb_style_get_value(hb_->font, HB_STYLE_TAG_WEIGHT) >= 600;
    hasItalic_ = hb_style_get_value(hb_->font, HB_STYLE_TAG_ITALIC) != 0 ||
                 hb_style_get_value(hb_->font, HB_STYLE_TAG_SLANT_ANGLE) != 0;
}

TFontFace::~TFontFace() = default;

std::shared_ptr<const TFontFace> TFontFace::Open(const QString& family, bool bold, bool italic)
{
    // Asking fontconfig costs more than laying out a line, and every text object asks as it
    // loads; the answer for a family and style stays the same while the program runs.
    static std::mutex lock;
    static std::map<std::tuple<QString, bool, bool>, std::shared_ptr<const TFontFace>> matched;
    const std::lock_guard guard(lock);
    const auto key = std::make_tuple(family, bold, italic);
    if (const auto it = matched.find(key); it != matched.end()) return it->second;
    return matched[key] = Match(family, bold, italic);
}

// Called under Open's lock.
std::shared_ptr<const TFontFace> TFontFace::Match(const QString& family, bool bold, bool italic)
{
    if (!IsInstalledOutlineFont(family)) return nullptr;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.toUtf8().constData()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return nullptr;
    const QString path = FcString(match, FC_FILE);
    int index = 0;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    const bool sameFamily = Catalogue().aliases.value(FcString(match, FC_FAMILY)) == family;
    FcPatternDestroy(match);
    if (path.isEmpty() || !sameFamily) return nullptr;

    static std::map<TFaceKey, std::shared_ptr<const TFontFace>> faces;
    auto& face = faces[{path, index}];
    if (!face) face.reset(new TFontFace(path, index));
    return face;
}

uint32_t TFontFace::Glyph(char32_t ch) const
{
    hb_codepoint_t glyph = 0;
    return hb_font_get_nominal_glyph(hb_->font, ch, &glyph) ? glyph : 0;
}

uint32_t TFontFace::VerticalGlyph(char32_t ch) const
{
    const std::lock_guard guard(hb_->lock);
    if (auto it = hb_->vertical.constFind(ch); it != hb_->vertical.cend()) return *it;
    hb_buffer_t* buffer = hb_buffer_create();
    hb_buffer_add_utf32(buffer, reinterpret_cast<const uint32_t*>(&ch), 1, 0, 1);
    hb_buffer_set_direction(buffer, HB_DIRECTION_TTB);
    hb_buffer_set_script(buffer, hb_unicode_script(hb_unicode_funcs_get_default(), ch));
    hb_buffer_set_language(buffer, hb_language_from_string("ja", -1));
    const hb_feature_t features[] = {
        {HB_TAG('v', 'e', 'r', 't'), 1, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
        {HB_TAG('v', 'r', 't', '2'), 1, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
    };
    hb_shape(hb_->font, buffer, features, 2);
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    const uint32_t glyph = count == 1 ? info[0].codepoint : Glyph(ch);
    hb_buffer_destroy(buffer);
    hb_->vertical.insert(ch, glyph);
    return glyph;
}

TGlyphBox TFontFace::Box(uint32_t glyph) const
{
    TGlyphBox box;
    box.advance = hb_font_get_glyph_h_advance(hb_->font, glyph);
    hb_glyph_extents_t extents{};
    if (hb_font_get_glyph_extents(hb_->font, glyph, &extents) && extents.width != 0) {
        box.xMin = extents.x_bearing;
        box.xMax = extents.x_bearing + extents.width;
    }
    return box;
}

void TFontFace::AppendOutline(uint32_t glyph, const QTransform& toLogical, TPathPoints& path) const
{
    TOutlineSink sink{&toLogical, &path, {}};
    hb_font_get_glyph_shape(hb_->font, glyph, OutlineFuncs(), &sink);
}

QRawFont TFontFace::RawFont(double pixelSize) const
{
    std::call_once(rawOnce_, [this] { raw_ = QRawFont(path_, metrics_.unitsPerEm, QFont::PreferNoHinting); });
    QRawFont font = raw_;
    font.setPixelSize(pixelSize);
    return font;
}

}  // namespace kestrel

#pragma once

// The font services text and codes draw and measure with: the installed font list (fontconfig),
// the one table that maps the Windows face names of stored documents onto installed faces, and
// per face the metrics, glyph outlines and vertical glyph forms read from the font file itself
// (HarfBuzz), unhinted, in font units.

#include <QRawFont>
#include <QString>
#include <QTransform>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/PathData.h"

namespace kestrel {

struct TInstalledFont {
    QString family;
    bool outline = false;
    bool japanese = false;  // covers the Japanese orthography
};

// Every installed family once, sorted by name; read on first use.
const std::vector<TInstalledFont>& InstalledFonts();
bool IsInstalledOutlineFont(const QString& family);

struct TFaceSubstitute {
    QString storedName;
    QString installedFamily;
};
// Stored face names (Windows faces) and the installed family that draws each.
const std::vector<TFaceSubstitute>& FaceSubstitutes();
// The installed outline family that draws a stored name: the name itself when installed, else
// its substitute when that is installed; empty when neither. The stored name is never changed.
QString ResolveFamily(const QString& storedName);
// The family that draws a stored face name: the name or its substitute when installed, else the
// first usable of the fallback faces (Japanese ones first); empty when no outline font is
// installed. Qt is only ever given such families: a family it does not know makes it search
// fontconfig for fallbacks each time, and what it keeps of those is never freed.
QString UsableFamily(const QString& storedName);

// Face-wide metrics in font units (y up: ascent positive, descent positive below the baseline).
struct TFaceMetrics {
    int unitsPerEm = 1000;
    int ascent = 0;           // OS/2 usWinAscent
    int descent = 0;          // OS/2 usWinDescent
    int externalLeading = 0;  // the line gap beyond ascent + descent
    bool hasOutlineMetrics = false;
    int underlinePosition = 0;  // post table: above the baseline (negative below)
    int underlineThickness = 0;
    int strikeoutPosition = 0;  // OS/2 table: above the baseline
    int strikeoutThickness = 0;
};

// Horizontal extent of one glyph in font units; xMin == xMax for a glyph without ink.
struct TGlyphBox {
    int advance = 0;
    int xMin = 0;
    int xMax = 0;
};

// One font file (and face index) opened for measuring and outlines.
class TFontFace {
public:
    // The face fontconfig picks for an installed family and style; null when the family has no
    // outline face. Faces are shared and live for the process.
    static std::shared_ptr<const TFontFace> Open(const QString& family, bool bold, bool italic);
    ~TFontFace();
    TFontFace(const TFontFace&) = delete;
    TFontFace& operator=(const TFontFace&) = delete;

    const QString& FilePath() const { return path_; }
    int FaceIndex() const { return index_; }
    // True when the file has the asked style itself (otherwise it is slanted or emboldened).
    bool HasBold() const { return hasBold_; }
    bool HasItalic() const { return hasItalic_; }
    const TFaceMetrics& Metrics() const { return metrics_; }

    // 0 when the font has no glyph for the character.
    uint32_t Glyph(char32_t ch) const;
    // The form the font gives for vertical writing ('vert'/'vrt2'); the plain glyph when none.
    uint32_t VerticalGlyph(char32_t ch) const;
    TGlyphBox Box(uint32_t glyph) const;
    // Appends the glyph's outline: font units (y up) mapped by toLogical, rounded half away from
    // zero; quadratic segments become cubic Bezier triples; every contour closed.
    void AppendOutline(uint32_t glyph, const QTransform& toLogical, TPathPoints& path) const;
    // For drawing glyphs directly; pixel size is the em in the painter's units.
    QRawFont RawFont(double pixelSize) const;

private:
    struct THb;
    TFontFace(QString path, int index);
    static std::shared_ptr<const TFontFace> Match(const QString& family, bool bold, bool italic);

    QString path_;
    int index_;
    bool hasBold_ = false;
    bool hasItalic_ = false;
    std::unique_ptr<THb> hb_;
    TFaceMetrics metrics_;
    // Made on first use: raw fonts need the GUI application.
    mutable std::once_flag rawOnce_;
    mutable QRawFont raw_;
};

}  // namespace kestrel

#pragma once

// The font of text and code objects. Its size is kept in points, so it survives devices of any
// resolution; drawn on the canvases of labels (254 pixels per inch) a size of s points is
// s x 254 / 72 logical units high.

#include <QString>
#include <functional>
#include <memory>

#include "document/stream/Persistent.h"
#include "platform/Color.h"
#include "platform/Geometry.h"

namespace kestrel {

class TFontFace;

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
// Bit n stands for the style of ordinal n.
using TFontStyles = int;
enum TFontPitch { fpDefault, fpVariable, fpFixed };

inline constexpr int DEFAULT_CHARSET = 1;
inline constexpr int SHIFTJIS_CHARSET = 128;

class TPointBasedFont : public TPersistent {
    KESTREL_PERSISTENT()
public:
    static constexpr int DefaultSize = 9;

    TPointBasedFont();

    // Called after every change.
    void SetOnChange(std::function<void()> handler) { onChange_ = std::move(handler); }

    const QString& Name() const { return name_; }
    void SetName(const QString& name);
    int Size() const { return size_; }
    void SetSize(int points);
    // Negative character height in logical units, derived from Size; never stored.
    int Height() const;
    void SetHeight(int height);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    bool HasStyle(TFontStyle s) const { return style_ & (1 << s); }
    void SetStyleFlag(TFontStyle s, bool on);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Charset() const { return charset_; }
    void SetCharset(int charset);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);

    // The em height in logical units (unrounded).
    double EmHeight() const { return size_ * double(LogicalUnitsPerInch) / 72.0; }
    // The installed face that draws this font: its own name, its substitute, or the first usable
    // fallback face; null only when no usable font is installed at all.
    std::shared_ptr<const TFontFace> Face() const;

    void Assign(const TPersistent& source) override;
    friend bool operator==(const TPointBasedFont& a, const TPointBasedFont& b);

private:
    template <typename T>
    void Change(T& field, T value);

    QString name_;
    int size_ = DefaultSize;
    TFontStyles style_ = 0;
    TColor color_ = clWindowText;
    int charset_ = SHIFTJIS_CHARSET;
    TFontPitch pitch_ = fpDefault;
    std::function<void()> onChange_;
};

const TEnumInfo& FontStyleInfo();
const TEnumInfo& FontPitchInfo();

}  // namespace kestrel

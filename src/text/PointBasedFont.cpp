#include "text/PointBasedFont.h"

#include "platform/FontServices.h"
#include "platform/Rounding.h"

namespace kestrel {

const TEnumInfo& FontStyleInfo()
{
    static const TEnumInfo info{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
    return info;
}

const TEnumInfo& FontPitchInfo()
{
    static const TEnumInfo info{"TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}};
    return info;
}

const TClassInfo& TPointBasedFont::StaticClass()
{
    static const TClassInfo info("TPointBasedFont", &TPersistent::StaticClass(), FactoryOf<TPointBasedFont>(), [] {
        using C = TPointBasedFont;
        return TPropsOf<C>()
            .Charset("Charset", &C::Charset, &C::SetCharset, DEFAULT_CHARSET)
            .Color("Color", &C::Color, &C::SetColor, clWindowText)
            .NeverStored("Height")
            .String("Name", &C::Name, &C::SetName)
            .Enum("Pitch", FontPitchInfo(), &C::Pitch, &C::SetPitch, fpDefault)
            .Int("Size", &C::Size, &C::SetSize, NoDefault)
            .Set("Style", FontStyleInfo(), &C::Style, &C::SetStyle, 0)
            .Done();
    });
    return info;
}

TPointBasedFont::TPointBasedFont() : name_(QStringLiteral("ＭＳ Ｐゴシック")) {}

template <typename T>
void TPointBasedFont::Change(T& field, T value)
{
    if (field == value) return;
    field = value;
    if (onChange_) onChange_();
}

void TPointBasedFont::SetName(const QString& name) { Change(name_, name); }
void TPointBasedFont::SetSize(int points) { Change(size_, points); }
void TPointBasedFont::SetStyle(TFontStyles style) { Change(style_, style & 0xF); }
void TPointBasedFont::SetColor(TColor color) { Change(color_, color); }
void TPointBasedFont::SetCharset(int charset) { Change(charset_, charset & 0xFF); }
void TPointBasedFont::SetPitch(TFontPitch pitch) { Change(pitch_, pitch); }

void TPointBasedFont::SetStyleFlag(TFontStyle s, bool on)
{
    SetStyle(on ? style_ | (1 << s) : style_ & ~(1 << s));
}

int TPointBasedFont::Height() const
{
    return -int(RoundHalfAway(EmHeight()));
}

void TPointBasedFont::SetHeight(int height)
{
    SetSize(int(RoundHalfAway(std::abs(height) * 72.0 / LogicalUnitsPerInch)));
}

std::shared_ptr<const TFontFace> TPointBasedFont::Face() const
{
    const QString family = UsableFamily(name_);
    if (family.isEmpty()) return nullptr;
    return TFontFace::Open(family, HasStyle(fsBold), HasStyle(fsItalic));
}

void TPointBasedFont::Assign(const TPersistent& source)
{
    const auto* font = dynamic_cast<const TPointBasedFont*>(&source);
    if (!font) return TPersistent::Assign(source);
    if (*this == *font) return;
    auto handler = std::exchange(onChange_, nullptr);
    AssignPublished(source, *this);
    onChange_ = std::move(handler);
    if (onChange_) onChange_();
}

bool operator==(const TPointBasedFont& a, const TPointBasedFont& b)
{
    return a.name_ == b.name_ && a.size_ == b.size_ && a.style_ == b.style_ && a.color_ == b.color_ &&
           a.charset_ == b.charset_ && a.pitch_ == b.pitch_;
}

}  // namespace kestrel

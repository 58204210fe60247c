#include "imaging/EffectPresets.h"

#include "imaging/ImageFilters.h"
#include "platform/IniText.h"
#include "platform/PictureCodecs.h"
#include "render/ImageData.h"

namespace kestrel {

namespace {

constexpr qint64 MaxStyleFileBytes = 1024 * 1024;

}  // namespace

const std::vector<TFocusChoice>& FocusChoices()
{
    static const std::vector<TFocusChoice> choices = {
        {"ソフト強", 10}, {"ソフト中", 5},    {"ソフト弱", 1},    {"なし", 0},
        {"シャープ弱", -1}, {"シャープ中", -3}, {"シャープ強", -6},
    };
    return choices;
}

int FocusChoiceIndex(int blurCount)
{
    if (blurCount < -3) return 6;
    if (blurCount <= -2) return 5;
    if (blurCount == -1) return 4;
    if (blurCount == 0) return 3;
    if (blurCount == 1) return 2;
    if (blurCount <= 5) return 1;
    return 0;
}

QString MonotoneCaption(TMonotoneChoice choice)
{
    switch (choice) {
    case mcNone: return QStringLiteral("なし");
    case mcGrey: return QStringLiteral("白黒");
    case mcSepia: return QStringLiteral("セピア");
    case mcCustom: return QStringLiteral("指定色");
    }
    return {};
}

TMonotoneChoice MonotoneChoiceOf(TColor refColor)
{
    if (refColor == clNone) return mcNone;
    if (refColor == clWhite) return mcGrey;
    if (refColor == SepiaColor) return mcSepia;
    return mcCustom;
}

std::vector<TEffectStyle> ReadEffectStyles(const QString& path)
{
    std::vector<TEffectStyle> styles;
    for (const TIniSection& section : ReadIniFile(path, MaxStyleFileBytes)) {
        TEffectStyle style;
        style.title = section.Value("Title");
        style.brightness = section.IntValue("Brightness", 0);
        style.contrast = section.IntValue("Contrast", 0);
        style.focus = section.IntValue("Focus", 0);
        style.color = ColorValue(section, "Color", clNone);
        styles.push_back(style);
    }
    return styles;
}

int CurrentEffectStyle(const std::vector<TEffectStyle>& styles, int brightness, int contrast, int focus, TColor color)
{
    for (size_t i = 0; i < styles.size(); ++i) {
        const TEffectStyle& s = styles[i];
        if (s.brightness == brightness && s.contrast == contrast && s.focus == focus && s.color == color) return int(i);
    }
    return -1;
}

QImage StyleListPicture(const QImage& picture)
{
    constexpr int Side = 200;
    if (picture.isNull()) return {};
    const QImage fitted = picture.scaled(Side, Side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return DecodeJpeg(EncodeJpeg(fitted));
}

QImage ApplyEffectStyle(const QImage& picture, const TEffectStyle& style)
{
    QImage result = picture.convertToFormat(QImage::Format_RGB32);
    TBlurFilter blur;
    blur.SetBlurCount(style.focus);
    TMonotoneFilter monotone;
    monotone.SetRefColor(style.color);
    TLightFilter light;
    light.SetBrightness(style.brightness);
    light.SetContrast(style.contrast);
    for (const TGREFilter* filter : std::initializer_list<const TGREFilter*>{&blur, &monotone, &light})
        ApplyFilter(*filter, result);
    return result;
}

}  // namespace kestrel

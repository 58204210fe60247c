#include "objects/LODecoString.h"

#include <QPainter>

#include "objects/PictureObject.h"
#include "platform/Canvas.h"
#include "platform/KeyColor.h"
#include "text/SimpleText.h"

namespace kestrel {

QString DecoratedStringError(const QString& text)
{
    if (text.isEmpty()) return QStringLiteral("文字列が入力されていません");
    for (QChar c : text)
        if (c != u' ' && LetterIndex(c) < 0)
            return QStringLiteral("飾り文字には「A～Z、a～z、0～9、?、!」しか使えません");
    return {};
}

const TClassInfo& TLODecoString::StaticClass()
{
    static const TClassInfo info("TLODecoString", &TLORectBase::StaticClass(), FactoryOf<TLODecoString>(), [] {
        using C = TLODecoString;
        return TPropsOf<C>()
            .String("Text", &C::Text, &C::SetText)
            .Int("FontNo", &C::FontNo, &C::SetFontNo, 1)
            .Int("Align", &C::Align, &C::SetAlign, 0)
            .Int("Angle", &C::Angle, &C::SetAngle, 0)
            .Done();
    });
    return info;
}

TLODecoString::TLODecoString(TImagePack* pack) : font_(pack) {}

void TLODecoString::Touched()
{
    cache_ = {};
    Changed();
    if (Site()) Site()->InvalidateElement(*this);
}

void TLODecoString::SetText(const QString& text)
{
    if (text == text_) return;
    text_ = text;
    Touched();
}

void TLODecoString::SetFontNo(int fontNo)
{
    if (fontNo == font_.FontNo()) return;
    font_.SetFontNo(fontNo);
    Touched();
}

void TLODecoString::SetAlign(int value)
{
    if (value == align_) return;
    align_ = value;
    Touched();
}

void TLODecoString::SetAngle(int degrees)
{
    TLOTurnedRect::SetAngle(((degrees % 360) + 360) % 360);
}

void TLODecoString::SetBounds(const TRect& rect)
{
    TLOTurnedRect::SetBounds(rect);
    font_.SetHeight(Height());
    cache_ = {};
}

std::vector<int> TLODecoString::LetterPositions() const
{
    std::vector<TCharMetrics> chars;
    for (int width : font_.LetterWidths(text_)) chars.push_back({0, width, 0, 0, false});
    return LayoutCharacters(chars, Width(), align_, 0).positions;
}

void TLODecoString::SizeToText()
{
    SetBounds({0, 0, 1, NewHeight});
    SetBounds({0, 0, std::max(1, font_.MeasureString(text_)), NewHeight});
}

int TLODecoString::HitTest(QPoint logical) const
{
    const QPoint back = TRotator(-Angle(), Rotator().Centre()).TransformPoint(logical);
    return Rect().Contains(back) ? 1 : 0;
}

void TLODecoString::DrawLetters(TCanvas& canvas, QPoint origin) const
{
    const std::vector<int> positions = LetterPositions();
    for (size_t k = 0; k < positions.size(); ++k) font_.DrawLetter(canvas, origin.x() + positions[k], origin.y(), text_[qsizetype(k)]);
}

const QImage& TLODecoString::TurnedPicture()
{
    if (cache_.isNull() && Width() > 0 && Height() > 0) {
        QImage letters(Width(), Height(), QImage::Format_RGB888);
        letters.fill(QColor(0xF0, 0xF0, 0xF0));
        {
            TCanvas canvas(letters);
            DrawLetters(canvas, {0, 0});
        }
        cache_ = RotatePicture(WithKeyColorTransparent(letters, DecoratedLetterKeyColor), Angle());
    }
    return cache_;
}

void TLODecoString::Paint(TCanvas& canvas)
{
    if (Angle() == 0) return DrawLetters(canvas, Rect().TopLeft());
    const QImage& turned = TurnedPicture();
    if (!turned.isNull()) canvas.StretchDraw(GetBounds(), turned);
}

}  // namespace kestrel

#pragma once

// A short string written with decorated letters: each letter is a picture of an image font.

#include <QImage>

#include "document/TurnedRectObject.h"
#include "text/ImageFont.h"

namespace kestrel {

// What the property screen says about a string the user entered, empty when it can be used.
QString DecoratedStringError(const QString& text);

class TLODecoString : public TLOTurnedRect, public IDOAlign {
    KESTREL_PERSISTENT()
public:
    static constexpr int NewHeight = 100;

    // Draws from the given pack, or from the decorated-letter pack without one.
    explicit TLODecoString(TImagePack* pack = nullptr);

    const QString& Text() const { return text_; }
    void SetText(const QString& text);
    int FontNo() const { return font_.FontNo(); }
    void SetFontNo(int fontNo);
    int Align() const override { return align_; }
    void SetAlign(int value) override;
    // Normalised into 0..359.
    void SetAngle(int degrees) override;
    const TImageFont& ImageFont() const { return font_; }

    // The letters' left edges from the rectangle's left, at the current height.
    std::vector<int> LetterPositions() const;
    // A new string's size: the rectangle (0, 0, its width at height 100, 100).
    void SizeToText();

    void SetBounds(const TRect& rect) override;
    int HitTest(QPoint logical) const override;
    void Paint(TCanvas& canvas) override;

protected:
    void AngleChanged() override { cache_ = {}; }

private:
    void DrawLetters(TCanvas& canvas, QPoint origin) const;
    const QImage& TurnedPicture();
    void Touched();

    QString text_;
    int align_ = 0;
    TImageFont font_;
    QImage cache_;
};

}  // namespace kestrel

#pragma once

// Conversions between the half-width (single-byte) and full-width (double-byte) characters of
// code page 932, hiragana and katakana, and digits and kanji numerals. Each walks the text one
// character at a time and looks it up in fixed tables; a character no table holds is kept.

#include <QChar>
#include <QString>

namespace kestrel {

// Half-width characters become full-width: a kana with a following voicing mark becomes one
// voiced katakana where the pair exists. exceptChar (when not null) stays half-width.
QString ToFullWidth(const QString& text, QChar exceptChar = QChar());
// Full-width symbols, digits, letters and katakana become half-width; hiragana stay.
QString ToHalfWidth(const QString& text);
// As ToHalfWidth, and hiragana become half-width kana too.
QString ToHalfWidthKana(const QString& text);
QString HiraganaToKatakana(const QString& text);
// Full-width digits become kanji numerals one for one; half-width digits stay.
QString DigitsToKanji(const QString& text);

// Upper case, then full-width, then katakana: the one form in which a search and the names it
// looks through are compared, so "ｃｄ", "CD", "ｶﾞ" and "が" find what they mean.
QString FoldForSearch(const QString& text);

// A character code page 932 stores in one byte (ASCII and half-width katakana).
bool IsSingleByteChar(QChar c);

}  // namespace kestrel

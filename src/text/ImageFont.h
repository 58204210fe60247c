#pragma once

// Image fonts: letters drawn from pictures instead of outlines. Every font has the same 64
// letters; the pictures of all fonts sit one after the other in the decorated-letter pack.
//
// The shipped pack is read from the folder "$(ImageFontFolder:inessential)", or "Data\Font" of
// the program's data: each entry of that folder named by a number is one font, a folder holding
// its 64 letter pictures in the order of ImageFontLetters ("00.cbm" ... "63.cbm"), drawn on
// the key colour 0xF0F0F0.

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include "document/Notify.h"
#include "document/stream/Persistent.h"

namespace kestrel {

class TCanvas;
class TImagePack;

inline const QString ImageFontLetters =
    QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!?");
inline constexpr int ImageFontLetterCount = 64;
inline constexpr int DecoratedLetterKeyColor = 0xF0F0F0;

// The character's position in ImageFontLetters, -1 for any other character.
int LetterIndex(QChar c);

// The decorated-letter data folder, empty when it cannot be found.
QString DecoratedLetterFolder();
// The fonts of a decorated-letter folder, by number, ascending.
QList<int> DecoratedFontNumbers(const QString& folder);
// The letter pictures of every font of the folder, fonts in number order, letters in name order.
QStringList DecoratedLetterFiles(const QString& folder);

// The pack image fonts draw from: an image server's pack when one is set, else the shipped
// pictures (transparent key 0xF0F0F0, at most 64 in memory), found on first use. A folder that
// cannot be found gives a pack without pictures.
TImagePack& DecoratedLetterPack();
// Used instead of the shipped pictures until reset with nullptr; the caller keeps it alive.
void SetDecoratedLetterServer(TImagePack* pack);

class TImageFont : public TPersistent {
    KESTREL_PERSISTENT()
public:
    // Draws from the given pack, or from DecoratedLetterPack() without one.
    explicit TImageFont(TImagePack* pack = nullptr);

    // Tells the owner about every change.
    TChangeNotify& Notify() { return notify_; }
    int FontNo() const { return fontNo_; }
    void SetFontNo(int fontNo);
    int Height() const { return height_; }
    void SetHeight(int height);

    // The pack picture of letter i in this font, -1 when the pack is empty.
    int PictureIndex(int letter) const;
    // At the font's height: a letter's picture scaled to that height (its width rounded), any
    // other character a blank a third of the height wide.
    QSize LetterSize(QChar c) const;
    // Widths of the characters of text, in order.
    QList<int> LetterWidths(const QString& text) const;
    int MeasureString(const QString& text) const;
    // The letter's picture scaled into its box at (x, y), see-through where the key colour was;
    // a blank draws nothing.
    void DrawLetter(TCanvas& canvas, int x, int y, QChar c) const;

    void Assign(const TPersistent& source) override;

private:
    TImagePack& Pack() const;

    TImagePack* pack_;
    int fontNo_ = 1;
    int height_ = 16;
    TChangeNotify notify_;
};

}  // namespace kestrel

#include "text/ImageFont.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <numeric>

#include "app/AppFrame.h"
#include "imaging/ImagePack.h"
#include "platform/Graphic.h"
#include "platform/Rounding.h"

namespace kestrel {

namespace {

TImagePack*& LetterServer()
{
    static TImagePack* server = nullptr;
    return server;
}

TFileImagePack& ShippedLetters()
{
    static TFileImagePack pack;
    static const bool found = [] {
        pack.SetCacheLimit(ImageFontLetterCount);
        pack.SetTransparent(true);
        pack.SetTransparentColor(DecoratedLetterKeyColor);
        pack.SetFileList(DecoratedLetterFiles(DecoratedLetterFolder()));
        return pack.GetCount() > 0;
    }();
    Q_UNUSED(found);
    return pack;
}

// A font's folder name, or -1 when the name is no number.
int FontNumberOf(const QString& name)
{
    bool ok = false;
    const int number = name.toInt(&ok);
    return ok && number > 0 ? number : -1;
}

}  // namespace

int LetterIndex(QChar c) { return int(ImageFontLetters.indexOf(c)); }

QString DecoratedLetterFolder()
{
    const TAppFrame* frame = TAppFrame::Instance();
    const QString configured = frame ? frame->Expand(QStringLiteral("$(ImageFontFolder:inessential)")) : QString();
    if (!configured.isEmpty()) return QDir(configured).exists() ? configured : QString();
    return TAppFrame::FindDataFile(QStringLiteral("Data\\Font"));
}

QList<int> DecoratedFontNumbers(const QString& folder)
{
    QList<int> numbers;
    if (folder.isEmpty()) return numbers;
    for (const QString& name : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (const int number = FontNumberOf(name); number > 0) numbers << number;
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

QStringList DecoratedLetterFiles(const QString& folder)
{
    QStringList files;
    for (int number : DecoratedFontNumbers(folder)) {
        const QDir font(QDir(folder).filePath(QString::number(number)));
        for (const QString& name : font.entryList(QDir::Files, QDir::Name)) {
            TGraphicClass graphicClass;
            if (GraphicClassForExtension(QFileInfo(name).suffix(), graphicClass)) files << font.filePath(name);
        }
    }
    return files;
}

TImagePack& DecoratedLetterPack() { return LetterServer() ? *LetterServer() : ShippedLetters(); }

void SetDecoratedLetterServer(TImagePack* pack) { LetterServer() = pack; }

// ---------------------------------------------------------------- TImageFont

const TClassInfo& TImageFont::StaticClass()
{
    static const TClassInfo info("TImageFont", &TPersistent::StaticClass(), FactoryOf<TImageFont>(), [] {
        using C = TImageFont;
        return TPropsOf<C>().Int("FontNo", &C::FontNo, &C::SetFontNo, NoDefault).Int("Height", &C::Height, &C::SetHeight, 16).Done();
    });
    return info;
}

TImageFont::TImageFont(TImagePack* pack) : pack_(pack), notify_(this) {}

TImagePack& TImageFont::Pack() const { return pack_ ? *pack_ : DecoratedLetterPack(); }

void TImageFont::SetFontNo(int fontNo)
{
    if (fontNo == fontNo_) return;
    fontNo_ = fontNo;
    notify_.Changed();
}

void TImageFont::SetHeight(int height)
{
    if (height == height_) return;
    height_ = height;
    notify_.Changed();
}

int TImageFont::PictureIndex(int letter) const
{
    const int count = Pack().GetCount();
    if (count <= 0) return -1;
    const int64_t index = (int64_t(letter) + int64_t(ImageFontLetterCount) * (fontNo_ - 1)) % count;
    return int(index < 0 ? index + count : index);
}

QSize TImageFont::LetterSize(QChar c) const
{
    const int letter = LetterIndex(c);
    const int picture = letter < 0 ? -1 : PictureIndex(letter);
    if (picture < 0) return {letter < 0 ? height_ / 3 : 0, height_};
    const TRect rect = Pack().GetImageRect(picture);
    return {MulDiv(rect.Width(), height_, rect.Height()), height_};
}

QList<int> TImageFont::LetterWidths(const QString& text) const
{
    QList<int> widths;
    for (QChar c : text) widths << LetterSize(c).width();
    return widths;
}

int TImageFont::MeasureString(const QString& text) const
{
    const QList<int> widths = LetterWidths(text);
    return std::accumulate(widths.begin(), widths.end(), 0);
}

void TImageFont::DrawLetter(TCanvas& canvas, int x, int y, QChar c) const
{
    const int letter = LetterIndex(c);
    const int picture = letter < 0 ? -1 : PictureIndex(letter);
    if (picture < 0) return;
    const QSize size = LetterSize(c);
    Pack().StretchDraw(canvas, {x, y, x + size.width(), y + size.height()}, picture);
}

void TImageFont::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TImageFont*>(&source);
    if (!other) return TPersistent::Assign(source);
    TUpdateScope batch(notify_);
    SetFontNo(other->fontNo_);
    SetHeight(other->height_);
}

}  // namespace kestrel

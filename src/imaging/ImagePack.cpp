#include "imaging/ImagePack.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "app/AppFrame.h"
#include "platform/KeyColor.h"
#include "platform/Canvas.h"
#include "platform/EmfWriter.h"
#include "platform/MetafilePlayer.h"
#include "platform/Cp932.h"
#include "platform/Error.h"
#include "platform/RegularFile.h"

namespace kestrel {

namespace {

constexpr int MaxCacheLimit = 65535;
constexpr qint64 MaxListFileBytes = 4 * 1024 * 1024;

int MulDiv(int64_t value, int64_t numerator, int64_t denominator)
{
    return int((value * numerator + denominator / 2) / denominator);
}

}  // namespace

const TGraphic& ErrorPicture()
{
    static const TGraphic picture = [] {
        constexpr int Padding = 4;
        const QStringList lines = {QStringLiteral("イメージ処理"), QStringLiteral("エラー")};
        TFont font;
        font.size = 12;
        font.color = clRed;
        QSize text;
        for (const QString& line : lines) text = QSize(std::max(text.width(), MetafileTextExtent(line, font).width()),
                                                       text.height() + MetafileTextExtent(line, font).height());
        const QSize size = text + QSize(2 * Padding, 2 * Padding);
        TEmfWriter metafile(size);
        metafile.FillRect(QRect(QPoint(0, 0), size), clWhite);
        int top = Padding;
        for (const QString& line : lines) {
            metafile.CentredText({size.width() / 2, top}, line, font);
            top += MetafileTextExtent(line, font).height();
        }
        return TGraphic(TGraphicClass::gcMetafile, metafile.Bytes());
    }();
    return picture;
}

// ---------------------------------------------------------------- TImagePack

void TImagePack::Changed()
{
    notify_.Broadcast(nullptr, NotifyImagePackChanged);
    if (OnChange) OnChange();
}

void TImagePack::Changing() { notify_.Broadcast(nullptr, NotifyImagePackChanging); }

void TImagePack::SetCount(int) { throw EImagePack(QStringLiteral("Cannot set count of ImagePack")); }

void TImagePack::SetImageRect(int, const TRect&) { throw EImagePack(QStringLiteral("Cannot set ImageRect of ImagePack")); }

void TImagePack::SetImageLeft(int i, int left)
{
    const TRect r = GetImageRect(i);
    SetImageRect(i, r.Translated(left - r.left, 0));
}

void TImagePack::SetImageTop(int i, int top)
{
    const TRect r = GetImageRect(i);
    SetImageRect(i, r.Translated(0, top - r.top));
}

void TImagePack::SetImageWidth(int i, int width)
{
    TRect r = GetImageRect(i);
    r.right = r.left + width;
    SetImageRect(i, r);
}

void TImagePack::SetImageHeight(int i, int height)
{
    TRect r = GetImageRect(i);
    r.bottom = r.top + height;
    SetImageRect(i, r);
}

bool TImagePack::GetImageSafely(TPictureEx& picture, int i)
{
    try {
        GetImage(picture, i);
        return true;
    } catch (const EKestrel&) {
        picture.SetGraphic(ErrorPicture());
        return false;
    }
}

void TImagePack::StretchDraw(TCanvas& canvas, const TRect& rect, int i)
{
    TPictureEx picture;
    GetImageSafely(picture, i);
    if (picture.HasGraphic()) DrawGraphic(canvas, rect, picture.Graphic());
}

void TImagePack::Draw(TCanvas& canvas, int x, int y, int i)
{
    const TRect rect = GetImageRect(i);
    StretchDraw(canvas, rect.Translated(x - rect.left, y - rect.top), i);
}

// ---------------------------------------------------------------- TCachedImagePack

void TCachedImagePack::SetCacheLimit(int limit)
{
    cacheLimit_ = std::clamp(limit, 1, MaxCacheLimit);
    Trim();
}

void TCachedImagePack::Trim()
{
    while (int(entries_.size()) > cacheLimit_) entries_.erase(entries_.begin());
}

void TCachedImagePack::ClearCache() { entries_.clear(); }

TPictureEx& TCachedImagePack::CachedPicture(int i)
{
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (it->index != i) continue;
        TEntry entry = std::move(*it);
        entries_.erase(std::next(it).base());
        entries_.push_back(std::move(entry));
        return *entries_.back().picture;
    }
    entries_.push_back({i, std::make_unique<TPictureEx>()});
    TPictureEx& fresh = *entries_.back().picture;
    // The fresh entry is the newest, so trimming never frees it.
    Trim();
    return fresh;
}

void TCachedImagePack::GetImage(TPictureEx& picture, int i)
{
    picture.Clear();
    if (IsInvalidIndex(i)) return;
    TPictureEx& holder = CachedPicture(i);
    if (!holder.HasGraphic()) {
        try {
            LoadImage(holder, i);
        } catch (const EKestrel&) {
            holder.SetGraphic(ErrorPicture());
        }
    }
    picture.SetGraphic(holder.Graphic());
}

TRect TCachedImagePack::GetImageRect(int i)
{
    TPictureEx picture;
    GetImageSafely(picture, i);
    return {0, 0, picture.Width(), picture.Height()};
}

// ---------------------------------------------------------------- TCustomImagePack

void TCustomImagePack::Refresh()
{
    ClearCache();
    Changed();
}

void TCustomImagePack::LoadImage(TPictureEx& picture, int i)
{
    if (OnGetImage) OnGetImage(*this, picture, i);
}

// ---------------------------------------------------------------- TFileImagePack

void TFileImagePack::SetFileList(const QStringList& files)
{
    Changing();
    files_ = files;
    ClearCache();
    Changed();
}

void TFileImagePack::FilterByExtensions(const QString& extensions)
{
    const QStringList allowed = extensions.toLower().split(';', Qt::SkipEmptyParts);
    QStringList kept = files_;
    for (qsizetype i = kept.size() - 1; i >= 0; --i) {
        const QString suffix = QFileInfo(kept[i]).suffix().toLower();
        if (!allowed.contains(suffix.isEmpty() ? QStringLiteral(".") : QLatin1Char('.') + suffix)) kept.removeAt(i);
    }
    if (kept != files_) SetFileList(kept);
}

void TFileImagePack::SetTransparent(bool transparent)
{
    if (transparent == transparent_) return;
    transparent_ = transparent;
    TransparencyChanged();
}

void TFileImagePack::SetTransparentColor(TColor color)
{
    if (color == transparentColor_) return;
    transparentColor_ = color;
    TransparencyChanged();
}

void TFileImagePack::TransparencyChanged()
{
    Changing();
    ClearCache();
    Changed();
}

void TFileImagePack::LoadImage(TPictureEx& picture, int i)
{
    const QString& file = files_[i];
    if (OnFileLoad) {
        try {
            OnFileLoad(file, picture);
        } catch (const EKestrel&) {
            picture.SetGraphic(ErrorPicture());
        }
    }
    if (!picture.HasGraphic()) picture.LoadFromFile(file);
    // Other classes carry their own transparency, if any; the error picture stays as it is.
    if (transparent_ && picture.Graphic().Class() == TGraphicClass::gcBitmap && picture.Graphic() != ErrorPicture())
        picture.SetImage(WithKeyColorTransparent(picture.Image(), transparentColor_));
}

// ---------------------------------------------------------------- TFolderImagePack

void TFolderImagePack::SetFileMask(const QString& mask)
{
    if (mask == fileMask_) return;
    fileMask_ = mask;
    if (!mask.contains('*') && !mask.contains('?')) return SetFileList(ReadListFile(mask));
    const QFileInfo info(mask);
    const QDir folder = info.dir();
    QStringList files;
    for (const QString& name : folder.entryList({info.fileName()}, QDir::Files, QDir::Name))
        if (!name.startsWith('.')) files << folder.filePath(name);
    SetFileList(files);
}

QStringList TFolderImagePack::ReadListFile(const QString& path)
{
    QByteArray bytes;
    try {
        bytes = ReadRegularFile(path, MaxListFileBytes);
    } catch (const EFileRefused&) {
        return {};
    }
    static const QRegularExpression folderLine(QStringLiteral("^FOLDER\\s*=(.*)$"), QRegularExpression::CaseInsensitiveOption);
    const QDir listFolder = QFileInfo(path).dir();
    QDir base = listFolder;
    QStringList files;
    for (QString line : FromCp932(bytes).split(QRegularExpression("\r\n|\n|\r"))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(';')) continue;
        if (line.startsWith('[')) {
            files << line;
            continue;
        }
        // Only "FOLDER", blanks, then "=" is a directive; "FOLDERS.bmp" is a file.
        if (const QRegularExpressionMatch match = folderLine.match(line); match.hasMatch()) {
            base = QDir(listFolder.filePath(match.captured(1).trimmed()));
            continue;
        }
        files << base.filePath(line);
    }
    return files;
}

// ---------------------------------------------------------------- TMatrixImagePack

bool TResourcePictureLoader::Load(TPictureEx& picture) const
{
    const QString file = resourceName_.startsWith(QLatin1Char(':')) ? resourceName_ : TAppFrame::FindDataFile(resourceName_);
    if (resourceName_.isEmpty() || file.isEmpty()) return false;
    try {
        picture.LoadFromFile(file);
        picture.SetNoEmbed(true);
        return true;
    } catch (const EKestrel&) {
        return false;
    }
}

void TMatrixImagePack::Loaded() { imageLoader_.Load(image_); }

TMatrixImagePack::TMatrixImagePack()
    : imageListener_([this](TPersistent*, const QUuid& kind) {
          if (kind == NotifyModified) Changed();
      })
{
    imageListener_.ListenTo(image_.Notify());
}

void TMatrixImagePack::SetCountCol(int n)
{
    if (n == countCol_) return;
    countCol_ = n;
    Changed();
}

void TMatrixImagePack::SetCountRow(int n)
{
    if (n == countRow_) return;
    countRow_ = n;
    Changed();
}

TRect TMatrixImagePack::GetImageRect(int i)
{
    const int w = image_.Width(), h = image_.Height();
    if (IsInvalidIndex(i) || w <= 0 || h <= 0) return {};
    const int r = i / countCol_, c = i % countCol_;
    return {MulDiv(c, w, countCol_), MulDiv(r, h, countRow_), MulDiv(c + 1, w, countCol_), MulDiv(r + 1, h, countRow_)};
}

void TMatrixImagePack::GetImage(TPictureEx& picture, int i)
{
    picture.Clear();
    if (IsInvalidIndex(i)) return;
    if (countCol_ == 1 && countRow_ == 1) return picture.SetGraphic(image_.Graphic());
    const TRect cell = GetImageRect(i);
    if (cell.IsEmpty()) return;
    picture.SetImage(image_.Image().copy(cell.ToQRect()));
}

}  // namespace kestrel

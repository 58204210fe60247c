#pragma once

// Image packs: what picture browsers draw from. A pack tells how many pictures it has and hands
// out picture i on request; cached packs keep the most recently used pictures.

#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "document/Notify.h"
#include "platform/Color.h"
#include "platform/Error.h"
#include "platform/Geometry.h"
#include "render/PictureEx.h"

namespace kestrel {

class TCanvas;

// What a pack broadcasts after its pictures changed, and before they are about to change.
inline constexpr QUuid NotifyImagePackChanged{0xFF0E0942, 0x2D29, 0x11D3, 0xAC, 0xCC, 0x00, 0x50, 0x04, 0x63, 0x09, 0x8A};
inline constexpr QUuid NotifyImagePackChanging{0xA916FC40, 0x6C6C, 0x11D3, 0x95, 0x51, 0x00, 0x50, 0x04, 0x63, 0x09, 0x8A};

// A pack asked for something it cannot do.
class EImagePack : public EKestrel {
public:
    using EKestrel::EKestrel;
    const char* ClassName() const override { return "EImagePack"; }
};

// The picture shown for an entry that cannot be produced: a metafile sized to its two lines
// "イメージ処理" and "エラー", centred in red on white.
const TGraphic& ErrorPicture();

class TImagePack {
public:
    TImagePack() = default;
    virtual ~TImagePack() = default;

    TBroadcaster& Notify() { return notify_; }
    std::function<void()> OnChange;

    virtual int GetCount() const = 0;
    // Raises EImagePack: most packs take their count from what they hold.
    virtual void SetCount(int n);
    // The picture's rectangle; for most packs (0, 0, width, height).
    virtual TRect GetImageRect(int i) = 0;
    // Raises EImagePack: most packs take their rectangles from their pictures.
    virtual void SetImageRect(int i, const TRect& rect);
    // One edge or size of picture i, read or changed through GetImageRect and SetImageRect: a
    // new width or height keeps the left or top edge; a new left or top moves the rectangle.
    int GetImageLeft(int i) { return GetImageRect(i).left; }
    int GetImageTop(int i) { return GetImageRect(i).top; }
    int GetImageWidth(int i) { return GetImageRect(i).Width(); }
    int GetImageHeight(int i) { return GetImageRect(i).Height(); }
    void SetImageLeft(int i, int left);
    void SetImageTop(int i, int top);
    void SetImageWidth(int i, int width);
    void SetImageHeight(int i, int height);
    virtual void GetImage(TPictureEx& picture, int i) = 0;
    bool IsInvalidIndex(int i) const { return i < 0 || i >= GetCount(); }

    // The picture safely: on failure the holder gets the error picture and the answer is false.
    bool GetImageSafely(TPictureEx& picture, int i);
    // Metafiles are drawn as vectors.
    void StretchDraw(TCanvas& canvas, const TRect& rect, int i);
    // At its own size, with the picture's rectangle moved to (x, y).
    void Draw(TCanvas& canvas, int x, int y, int i);

protected:
    // Broadcasts NotifyImagePackChanged, then calls OnChange.
    void Changed();
    void Changing();

private:
    TBroadcaster notify_;
};

class TCachedImagePack : public TImagePack {
public:
    int CacheLimit() const { return cacheLimit_; }
    // 1 to 65535; trims the cache at once.
    void SetCacheLimit(int limit);
    void ClearCache();
    // The holder of entry i, moved to the most recent end (a new empty one when not cached).
    TPictureEx& CachedPicture(int i);
    void GetImage(TPictureEx& picture, int i) override;
    TRect GetImageRect(int i) override;

protected:
    virtual void LoadImage(TPictureEx& picture, int i) = 0;

private:
    struct TEntry {
        int index;
        std::unique_ptr<TPictureEx> picture;
    };
    void Trim();

    std::vector<TEntry> entries_;  // oldest first
    int cacheLimit_ = 1;
};

// Pictures handed out by its owner's callbacks.
class TCustomImagePack : public TCachedImagePack {
public:
    std::function<int()> OnGetCount;
    std::function<void(TCustomImagePack& pack, TPictureEx& picture, int i)> OnGetImage;

    // 0 without a handler.
    int GetCount() const override { return OnGetCount ? std::max(0, OnGetCount()) : 0; }
    // The owner's pictures changed: the cache goes and the change is announced.
    void Refresh();
    // The owner's pictures are about to change.
    void Invalidate() { Changing(); }

protected:
    void LoadImage(TPictureEx& picture, int i) override;
};

// Pictures from a list of files, read by extension unless OnFileLoad fills them first.
class TFileImagePack : public TCachedImagePack {
public:
    std::function<void(const QString& fileName, TPictureEx& picture)> OnFileLoad;

    // With Transparent, pixels of TransparentColor in bitmaps are see-through (other classes
    // keep their own transparency).
    // Changing either drops the cached pictures.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    TColor TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(TColor color);

    const QStringList& FileList() const { return files_; }
    void SetFileList(const QStringList& files);
    // Keeps only files whose extension is in the ";"-separated list (case-insensitive; "."
    // matches files without one).
    void FilterByExtensions(const QString& extensions);
    int GetCount() const override { return int(files_.size()); }

protected:
    void LoadImage(TPictureEx& picture, int i) override;

private:
    void TransparencyChanged();

    QStringList files_;
    bool transparent_ = false;
    TColor transparentColor_ = 0xF0F0F0;
};

class TFolderImagePack : public TFileImagePack {
public:
    const QString& FileMask() const { return fileMask_; }
    // A mask with "*" or "?" lists its folder's matching files, sorted; any other value names a
    // list file (see ReadListFile).
    void SetFileMask(const QString& mask);

    // Lines of a list file: trimmed; empty ones and ";" comments skipped; "[...]" headings kept
    // as they are; "FOLDER" (any case), optional blanks, "=" and a folder set the base folder
    // (relative to the list file) for the lines below; other lines are files in the base folder.
    static QStringList ReadListFile(const QString& path);

private:
    QString fileMask_;
};

// Fills a picture from the program's own resources: a picture file of the program's data
// ("ILLUST\\Frames.bmp", found with FindDataFile) or a Qt resource (":/...").
class TResourcePictureLoader {
public:
    const QString& ResourceName() const { return resourceName_; }
    void SetResourceName(const QString& name) { resourceName_ = name; }
    // False, leaving the picture alone, when no resource is named, found or readable.
    bool Load(TPictureEx& picture) const;

private:
    QString resourceName_;
};

// One picture cut into a grid of cells.
class TMatrixImagePack : public TImagePack {
public:
    TMatrixImagePack();
    TResourcePictureLoader& ImageLoader() { return imageLoader_; }
    // Called once the pack is set up: the image loader fills Image.
    void Loaded();
    TPictureEx& Image() { return image_; }
    int CountCol() const { return countCol_; }
    void SetCountCol(int n);
    int CountRow() const { return countRow_; }
    void SetCountRow(int n);

    // Zero columns or rows make an empty pack.
    int GetCount() const override { return countCol_ > 0 && countRow_ > 0 ? countCol_ * countRow_ : 0; }
    TRect GetImageRect(int i) override;
    void GetImage(TPictureEx& picture, int i) override;

private:
    TResourcePictureLoader imageLoader_;
    TPictureEx image_;
    int countCol_ = 1;
    int countRow_ = 1;
    TListener imageListener_;
};

}  // namespace kestrel

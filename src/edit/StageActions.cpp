#include "edit/StageActions.h"

#include <QRegion>
#include <algorithm>
#include <cmath>

#include "document/ActionList.h"
#include "document/DOActions.h"
#include "document/EditSession.h"
#include "document/ObjectSite.h"
#include "edit/FormatActions.h"
#include "music/LabelMusic.h"
#include "objects/PictureObject.h"
#include "paper/FaceInfo.h"
#include "platform/Error.h"

namespace kestrel {

namespace {

// Runs the edit as one step of the site's history (a site outside every session records nothing).
template <typename Edit>
auto InOneStep(const TObjectSite& site, const QString& caption, Edit edit)
{
    TActionList* history = HistoryOf(site);
    if (!history) return edit();
    TActionGroupScope step(*history, caption);
    return edit();
}

template <typename Edit>
void ChangeRecorded(TLOImage& image, const QString& caption, Edit edit)
{
    auto record = std::make_unique<TDOChangeAction>(image, caption);
    edit();
    TDOChangeAction::Commit(std::move(record));
}

// Finer grids than this many cells beyond the pictures' count are not tried.
constexpr int SpareGridCells = 6;

// The rectangle the grid may fill: for round shapes the rectangle inscribed in their ellipse.
TRect GridArea(const TFaceInfo& face)
{
    const TRect rect = ToRect(face.rect);
    if (face.shape != fsDoughnut && face.shape != fsEllipse && face.shape != fsBarrelCD) return rect;
    const int insetX = int(std::lround(rect.Width() * (1 - M_SQRT1_2) / 2));
    const int insetY = int(std::lround(rect.Height() * (1 - M_SQRT1_2) / 2));
    return {rect.left + insetX, rect.top + insetY, rect.right - insetX, rect.bottom - insetY};
}

std::vector<TRect> UsableCells(const TRect& area, const QRegion& printable, int columns, int rows)
{
    std::vector<TRect> cells;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            const TRect cell{area.left + area.Width() * column / columns, area.top + area.Height() * row / rows,
                             area.left + area.Width() * (column + 1) / columns, area.top + area.Height() * (row + 1) / rows};
            if ((QRegion(cell.ToQRect()) - printable).isEmpty()) cells.push_back(cell);
        }
    return cells;
}

// Where the shape leaves more cells than pictures, the pictures keep to the middle and balance
// each other: nearest the middle first, and of cells as near, those in mirrored places in turn
// (above and below the hole before left and right).
std::vector<TRect> BalancedCells(std::vector<TRect> cells, int count)
{
    const auto centre = [](const TRect& r) { return QPoint(r.left + r.right, r.top + r.bottom); };
    QPoint middle;
    for (const TRect& cell : cells) middle += centre(cell);
    middle /= int(cells.size());
    const int last = int(cells.size()) - 1;
    std::vector<int> order(cells.size());
    for (int i = 0; i <= last; ++i) order[size_t(i)] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int distanceA = (centre(cells[size_t(a)]) - middle).manhattanLength();
        const int distanceB = (centre(cells[size_t(b)]) - middle).manhattanLength();
        if (distanceA != distanceB) return distanceA < distanceB;
        return std::min(a, last - a) < std::min(b, last - b);
    });
    order.resize(size_t(count));
    std::sort(order.begin(), order.end());
    std::vector<TRect> chosen;
    for (int i : order) chosen.push_back(cells[size_t(i)]);
    return chosen;
}

struct TGridChoice {
    int side = 0;
    std::vector<TRect> cells;
};

// The cells' middles average out on the vertical middle line (twice its coordinate given).
bool BalancedAbout(const std::vector<TRect>& cells, int doubledMiddle)
{
    int offset = 0;
    for (const TRect& cell : cells) offset += cell.left + cell.right - doubledMiddle;
    return std::abs(offset) <= 2 * int(cells.size());
}

// The picture's shape, as large as fits in the cell less a gap, centred in it.
TRect FitInCell(const TRect& cell, QSize natural)
{
    const int gap = std::min(cell.Width(), cell.Height()) / 20;
    const QSize room(std::max(cell.Width() - 2 * gap, 1), std::max(cell.Height() - 2 * gap, 1));
    const QSize fitted = natural.isEmpty() ? room : natural.scaled(room, Qt::KeepAspectRatio);
    const int left = cell.left + (cell.Width() - fitted.width()) / 2;
    const int top = cell.top + (cell.Height() - fitted.height()) / 2;
    return {left, top, left + std::max(fitted.width(), 1), top + std::max(fitted.height(), 1)};
}

}  // namespace

int FillInputItemsInOneStep(TObjectSite& site, int face, const TAlbumInfo& album)
{
    return InOneStep(site, QStringLiteral("入力項目"), [&] { return FillSiteInputItems(site, face, album); });
}

QStringList BulkEditLines(const std::vector<TInputItem>& items)
{
    QStringList lines;
    for (const TInputItem& item : items) lines << item.text.join(BulkLineJoiner);
    return lines;
}

std::vector<TInputItem> BulkEditChanges(std::vector<TInputItem> items, const QStringList& lines)
{
    if (lines.size() > int(items.size()))
        throw EKestrel(QStringLiteral("行が入力項目の数 (%1) より多くあります。%2 行目からを削除してください")
                           .arg(items.size())
                           .arg(items.size() + 1));
    std::vector<TInputItem> changed;
    for (size_t i = 0; i < items.size(); ++i) {
        const QString line = lines.value(int(i));
        CheckLabelText(items[i].name, line);
        const QStringList text = items[i].text.size() > 1 ? line.split(BulkLineJoiner) : QStringList{line};
        if (text == items[i].text) continue;
        items[i].text = text;
        changed.push_back(std::move(items[i]));
    }
    return changed;
}

void WriteInputItemsInOneStep(TObjectSite& site, const std::vector<TInputItem>& items, const QString& caption)
{
    InOneStep(site, caption, [&] { WriteSiteInputItems(items); });
}

TLOImage* FirstPicture(const TObjectSite& site)
{
    for (int i = 0; i < site.ChildCount(); ++i)
        if (auto* image = dynamic_cast<TLOImage*>(&site.Child(i)); image && image->Selectable()) return image;
    return nullptr;
}

TLOImage* PictureToRetouch(const TObjectSite& site)
{
    for (int i = 0; i < site.ChildCount(); ++i)
        if (auto* image = dynamic_cast<TLOImage*>(&site.Child(i)); image && image->Selected()) return image;
    return FirstPicture(site);
}

void ReplacePicture(TLOImage& image, const TPictureEx& picture)
{
    ChangeRecorded(image, QStringLiteral("写真の変更"), [&] {
        const TRect place = image.Rect();
        image.ImageData().Picture().Assign(picture);
        image.SetImageSource(isFile);
        image.ImageData().ResetClip(place.Width(), place.Height());
    });
}

void ApplyRetouch(TLOImage& image, const TLOImage& retouched)
{
    ChangeRecorded(image, QStringLiteral("画像レタッチ"), [&] { image.Assign(retouched); });
}

void MirrorPicture(TLOImage& image)
{
    TImageData& data = image.ImageData();
    const QImage pixels = data.Picture().Image();
    if (pixels.isNull()) return;
    const TRect clip = data.EffectiveClip();
    TPictureEx& picture = data.Picture();
    picture.SetImage(pixels.mirrored(true, false));
    picture.SetNoEmbed(false);
    picture.SetStorageID({});
    data.ClipFilter().SetClipRect({pixels.width() - clip.right, clip.top, pixels.width() - clip.left, clip.bottom});
}

std::vector<TRect> PictureGridCells(const TFaceGeometry& geometry, int count)
{
    if (count <= 0) return {};
    const TFaceInfo face = TFaceInfo(geometry).AtOrigin();
    const TRect area = GridArea(face);
    const QRegion printable = FaceRegion(face, true);
    // The largest cells whose pictures stand balanced about the middle, else the largest at all.
    TGridChoice balanced;
    TGridChoice any;
    for (int columns = 1; columns <= count + SpareGridCells; ++columns) {
        // Rows are added while the hole or the shape takes cells away.
        for (int rows = (count + columns - 1) / columns; rows <= count + SpareGridCells; ++rows) {
            const int side = std::min(area.Width() / columns, area.Height() / rows);
            // More rows only make smaller cells than a balanced grid already found.
            if (side <= balanced.side) break;
            const std::vector<TRect> cells = UsableCells(area, printable, columns, rows);
            if (int(cells.size()) < count) continue;
            // A grid the shape leaves whole is filled in reading order.
            const bool whole = int(cells.size()) == columns * rows;
            std::vector<TRect> chosen =
                whole ? std::vector<TRect>(cells.begin(), cells.begin() + count) : BalancedCells(cells, count);
            const bool isBalanced = whole || BalancedAbout(chosen, area.left + area.right);
            if (side > any.side) any = {side, chosen};
            if (isBalanced && side > balanced.side) balanced = {side, std::move(chosen)};
            if (isBalanced) break;
        }
    }
    return balanced.side > 0 ? balanced.cells : any.cells;
}

void PlacePicturesInGrid(TObjectSite& site, const TFaceGeometry& face, std::vector<std::unique_ptr<TLOImage>> pictures)
{
    const std::vector<TRect> cells = PictureGridCells(face, int(pictures.size()));
    if (cells.size() < pictures.size()) throw EKestrel(QStringLiteral("このラベルにはイメージを並べる場所がありません"));
    site.SelectAll(false);
    InOneStep(site, QStringLiteral("複数画像"), [&] {
        for (size_t i = 0; i < pictures.size(); ++i) {
            pictures[i]->ResetSize();
            pictures[i]->SetBounds(FitInCell(cells[i], QSize(pictures[i]->Rect().Width(), pictures[i]->Rect().Height())));
            TDrawObject& placed = site.AddObject(std::move(pictures[i]));
            Record(site, std::make_unique<TDOAddAction>(placed, QStringLiteral("複数画像")));
            placed.SetSelected(true);
        }
    });
    site.UpdatePivots();
}

}  // namespace kestrel

#pragma once

// What the text-input and image stages do to the face being edited, each as one undo step.

#include <QStringList>
#include <memory>
#include <vector>

#include "music/InputItems.h"
#include "platform/Geometry.h"

namespace kestrel {

class TAlbumInfo;
class TFaceGeometry;
class TLOImage;
class TObjectSite;
class TPictureEx;

// Fills the face's input items from the album in one undo step; the number of items (none
// when the face has no items or the album no tracks).
int FillInputItemsInOneStep(TObjectSite& site, int face, const TAlbumInfo& album);

// "一括編集": one line per input item, in the items' order. The lines of an item that holds
// several are joined by BulkLineJoiner.
inline const QString BulkLineJoiner = QStringLiteral("／");
QStringList BulkEditLines(const std::vector<TInputItem>& items);
// The items the lines change, with their new texts; a missing line empties its item. Fails with
// a Japanese message when there are more lines than items or a line has characters the labels
// cannot hold.
std::vector<TInputItem> BulkEditChanges(std::vector<TInputItem> items, const QStringList& lines);
// Writes the items into their objects as one undo step named caption.
void WriteInputItemsInOneStep(TObjectSite& site, const std::vector<TInputItem>& items, const QString& caption);

// The face's first picture object ("写真の変更"); null when it has none.
TLOImage* FirstPicture(const TObjectSite& site);
// The selected picture object, else the first ("画像レタッチ").
TLOImage* PictureToRetouch(const TObjectSite& site);
// The picture object shows the new picture in the same place and size, cropped to the
// rectangle's shape so that it is not stretched; its effects stay. One undo step.
void ReplacePicture(TLOImage& image, const TPictureEx& picture);
// The retouched copy's state becomes the object's, one undo step.
void ApplyRetouch(TLOImage& image, const TLOImage& retouched);
// Mirrors the picture left to right, its crop with it; the picture is then the object's own
// (stored in the document, no longer read from its file).
void MirrorPicture(TLOImage& image);

// "複数画像": cells of a tidy grid inside the printable shape of the face (site coordinates:
// the outer rectangle at the origin), at least count of them, reading order, as large as the
// shape allows; cells that would touch the hole or leave the shape are left out.
std::vector<TRect> PictureGridCells(const TFaceGeometry& face, int count);
// Puts the pictures on the site, each fitted into its cell keeping its shape, all in one undo
// step; the pictures placed are selected.
void PlacePicturesInGrid(TObjectSite& site, const TFaceGeometry& face, std::vector<std::unique_ptr<TLOImage>> pictures);

}  // namespace kestrel

#pragma once

// Album data written into the faces of a document, as the input stage fills a template's input
// items and as the text editor inserts lines.

#include <QStringList>
#include <optional>
#include <vector>

#include "music/InputItems.h"

namespace kestrel {

class TAlbumInfo;
class TLabelData;
class TObjectSite;

// The designed faces of the current sheet (face 0 alone where the faces share one design), or
// the one face asked for.
std::vector<int> DesignedFaces(const TLabelData& document, std::optional<int> face = std::nullopt);

// Fills the input items of those faces from the album and stores the faces that have items;
// returns the number of items. An album without tracks changes nothing.
int FillDocumentInputItems(TLabelData& document, const std::vector<int>& faces, const TAlbumInfo& album);

// The same on the objects of a face being edited: each text changed gets an undo record.
int FillSiteInputItems(TObjectSite& site, int face, const TAlbumInfo& album);

// The input items of the objects of a face being edited.
std::vector<TInputItem> SiteInputItems(TObjectSite& site, int face);
// Writes the items' texts into their objects; each text changed gets an undo record.
void WriteSiteInputItems(const std::vector<TInputItem>& items);

// The lines the text editor inserts for music read from files: every field, the album's title
// and artist lines left out when empty.
QStringList MusicLines(const TAlbumInfo& album);

// Replaces the lines of the face's text number textIndex (from 0, in stored order); fails when
// the face has no such text.
void WriteLinesToText(TLabelData& document, int face, int textIndex, const QStringList& lines);

}  // namespace kestrel

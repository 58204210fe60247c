#pragma once

// The numbers and Japanese names the vendor extensions give the choices of the disc printers'
// drivers (Gutenprint's keywords), so that the settings table of papers and the setting panels
// speak of media, quality and trays as the makers' own software does.

#include <QString>

namespace kestrel {

enum class TVendor { Epson, Canon };

// The media id of a MediaType keyword (Epson: the ids of the maker's media table, 283 a disc
// label; Canon: 31 and 32 printable discs); -1 for a keyword the table does not know.
int MediaIdOf(TVendor vendor, const QString& keyword);
// The keyword of a media id, or empty.
QString MediaKeywordOf(TVendor vendor, int id);
// The Japanese name of a media id; Epson ids the table lacks read "不明な用紙種類(%d)", Canon
// ids fallback.
QString MediaNameOf(TVendor vendor, int id, const QString& fallback);

// The Japanese name of a choice of one of the options the panels show (StpQuality, InputSlot,
// StpInkType, MediaType by keyword), or fallback.
QString ChoiceName(const QString& option, const QString& keyword, const QString& fallback);

// Gutenprint's print qualities, best first; None (the user's own settings) is not among them.
int QualityRank(const QString& keyword);

// The media ids of printable discs on Canon printers.
inline constexpr int CanonDiscMedia = 31;
inline constexpr int CanonOtherDiscMedia = 32;
// The disc label media of Epson printers.
inline constexpr int EpsonDiscLabelMedia = 283;

}  // namespace kestrel

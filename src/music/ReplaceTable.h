#pragma once

// Editing a table of lines (fields separated by tabs) as a whole: replacing a text, and the
// character conversions. Album data goes through it as title, artist and one line per track.

#include <QString>
#include <QStringList>

namespace kestrel {

class TAlbumInfo;

// Every occurrence of search in line, left to right, each search going on after the text
// replaced. Not strict: hiragana and katakana, and upper and lower case, count as the same.
QString ReplaceAll(const QString& line, const QString& search, const QString& replacement, bool strict);
QStringList ReplaceAll(const QStringList& lines, const QString& search, const QString& replacement, bool strict);

enum class TLineConversion { FullWidth, HalfWidth, UpperCase, LowerCase };
QStringList ConvertLines(const QStringList& lines, TLineConversion conversion);

// Line 0 the album title, line 1 the artist, then title, time, artist and album of each track.
QStringList AlbumToTable(const TAlbumInfo& album);
// The table back into the album: each track line's fields in that order, empty ones included;
// fields a line lacks and tracks beyond the lines keep their values.
void TableToAlbum(const QStringList& table, TAlbumInfo& album);

}  // namespace kestrel

#include "music/ReplaceTable.h"

#include "music/Albums.h"
#include "text/CharConvert.h"

namespace kestrel {

namespace {

constexpr QChar kFieldSeparator = u'\t';

// Katakana for hiragana, then upper case, character for character, so that positions in the
// folded text are positions in the original.
QString FoldedForReplace(const QString& text)
{
    QString folded = HiraganaToKatakana(text);
    for (QChar& c : folded) c = c.toUpper();
    return folded;
}

}  // namespace

QString ReplaceAll(const QString& line, const QString& search, const QString& replacement, bool strict)
{
    if (search.isEmpty()) return line;
    const QString haystack = strict ? line : FoldedForReplace(line);
    const QString needle = strict ? search : FoldedForReplace(search);
    QString result;
    qsizetype pos = 0;
    for (qsizetype found = haystack.indexOf(needle); found >= 0; found = haystack.indexOf(needle, pos)) {
        result += QStringView(line).sliced(pos, found - pos) + replacement;
        pos = found + needle.size();
    }
    return result + QStringView(line).sliced(pos);
}

QStringList ReplaceAll(const QStringList& lines, const QString& search, const QString& replacement, bool strict)
{
    QStringList result;
    for (const QString& line : lines) result << ReplaceAll(line, search, replacement, strict);
    return result;
}

QStringList ConvertLines(const QStringList& lines, TLineConversion conversion)
{
    QStringList result;
    for (const QString& line : lines) {
        switch (conversion) {
            case TLineConversion::FullWidth: result << ToFullWidth(line); break;
            case TLineConversion::HalfWidth: result << ToHalfWidth(line); break;
            case TLineConversion::UpperCase: result << line.toUpper(); break;
            case TLineConversion::LowerCase: result << line.toLower(); break;
        }
    }
    return result;
}

QStringList AlbumToTable(const TAlbumInfo& album)
{
    QStringList table{album.Title(), album.Artist()};
    for (int i = 0; i < album.TrackCount(); ++i) {
        const TTrackInfo& track = album.Track(i);
        table << QStringList{track.Title(), track.Time(), track.Artist(), track.Album()}.join(kFieldSeparator);
    }
    return table;
}

void TableToAlbum(const QStringList& table, TAlbumInfo& album)
{
    if (table.size() > 0) album.SetTitle(table[0]);
    if (table.size() > 1) album.SetArtist(table[1]);
    for (int i = 0; i < album.TrackCount() && i + 2 < table.size(); ++i) {
        const QStringList fields = table[i + 2].split(kFieldSeparator);
        TTrackInfo& track = album.Track(i);
        void (TTrackInfo::*const setters[])(const QString&) = {&TTrackInfo::SetTitle, &TTrackInfo::SetTime,
                                                                &TTrackInfo::SetArtist, &TTrackInfo::SetAlbum};
        for (int f = 0; f < std::min<int>(fields.size(), 4); ++f) (track.*setters[f])(fields[f]);
    }
}

}  // namespace kestrel

#include "music/Genres.h"

#include <array>

namespace kestrel {

namespace {

constexpr std::array<const char*, 80> kId3Genres = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz", "Metal",
    "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial",
    "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop", "Vocal",
    "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game", "Sound Clip",
    "Gospel", "Noise", "AlternRock", "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop",
    "Instrumental Rock", "Ethnic", "Gothic", "Darkwave", "Techno-Industrial", "Electronic", "Pop-Folk",
    "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta", "Top 40", "Christian Rap", "Pop/Funk",
    "Jungle", "Native American", "Cabaret", "New Wave", "Psychadelic", "Rave", "Showtunes", "Trailer", "Lo-Fi",
    "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock",
};

constexpr std::array<const char*, 46> kWinampGenres = {
    "Folk", "Folk-Rock", "National Folk", "Swing", "Fast Fusion", "Bebob", "Latin", "Revival", "Celtic",
    "Bluegrass", "Avantgarde", "Gothic Rock", "Progressive Rock", "Psychedelic Rock", "Symphonic Rock",
    "Slow Rock", "Big Band", "Chorus", "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera",
    "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam", "Club",
    "Tango", "Samba", "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock",
    "Drum Solo", "A capella", "Euro-House", "Dance Hall",
};

}  // namespace

QString GenreName(int number)
{
    if (number >= 0 && number < int(kId3Genres.size())) return QString::fromLatin1(kId3Genres[size_t(number)]);
    const int winamp = number - int(kId3Genres.size());
    if (winamp >= 0 && winamp < int(kWinampGenres.size()))
        return QString::fromLatin1(kWinampGenres[size_t(winamp)]) + QStringLiteral("(WINAMP)");
    return QStringLiteral("Unknown(%1)").arg(number);
}

QString ExpandGenreReferences(const QString& text)
{
    QString result;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(u'(', pos);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u')', open + 1);
        if (close < 0) break;
        result += QStringView(text).sliced(pos, open - pos);
        const QStringView content = QStringView(text).sliced(open + 1, close - open - 1);
        if (content.startsWith(u'('))
            result += content + u')';
        else
            result += GenreName(content.toInt());
        pos = close + 1;
    }
    return result + QStringView(text).sliced(pos);
}

}  // namespace kestrel

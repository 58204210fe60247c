#include "music/AlbumLines.h"

#include "music/Albums.h"

namespace kestrel {

namespace {

constexpr int kNumberField = 0;

constexpr TTrackFieldOrder kOrders[] = {
    {{0, 1, 3, 2, 4}, u"No.－タイトル－時間－アーティスト－アルバム"},
    {{0, 3, 1, 2, 4}, u"No.－時間－タイトル－アーティスト－アルバム"},
    {{0, 1, 2, 3, 4}, u"No.－タイトル－アーティスト－時間－アルバム"},
    {{0, 2, 1, 3, 4}, u"No.－アーティスト－タイトル－時間－アルバム"},
    {{0, 3, 1, 2, 4}, u"No.－時間－タイトル－アーティスト－アルバム"},
    {{0, 3, 2, 1, 4}, u"No.－時間－アーティスト－タイトル－アルバム"},
};

constexpr TSeparatorChoice kSeparators[] = {
    {u"スペース", u" "}, {u"タブ", u"\t"}, {u"-", u"-"}, {u"・", u"・"},
    {u"_", u"_"},        {u"/", u"/"},     {u"～", u"～"},
};

QString TrackField(const TTrackInfo& track, int number, int field)
{
    switch (field) {
        case kNumberField: return QStringLiteral("%1.").arg(number);
        case 1: return track.Title();
        case 2: return track.Artist();
        case 3: return track.Time();
        default: return track.Album();
    }
}

}  // namespace

std::span<const TTrackFieldOrder> TrackFieldOrders()
{
    return kOrders;
}

std::span<const TSeparatorChoice> SeparatorChoices()
{
    return kSeparators;
}

QStringList BuildAlbumLines(const TAlbumInfo& album, const TAlbumLineOptions& options)
{
    QStringList lines;
    if (options.flags & alAlbumTitle) lines << album.Title();
    if (options.flags & alAlbumArtist) lines << album.Artist();
    const TTrackFieldOrder& order = kOrders[std::clamp(options.order, 0, int(std::size(kOrders)) - 1)];
    for (int i = 0; i < album.TrackCount(); ++i) {
        QString line;
        int last = -1;
        for (const int field : order.fields) {
            if (!(options.flags & (alNumber << field))) continue;
            if (last >= 0 && last != kNumberField) line += options.separator;
            line += TrackField(album.Track(i), i + 1, field);
            last = field;
        }
        lines << line;
    }
    return lines;
}

}  // namespace kestrel

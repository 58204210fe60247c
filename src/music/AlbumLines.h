#pragma once

// An album as lines of text: the album's title and artist, then one line per track with the
// chosen fields in the chosen order.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <span>

namespace kestrel {

class TAlbumInfo;

// Which lines and fields appear (bits of Flags).
enum TAlbumLineFlag : uint8_t {
    alAlbumTitle = 1,
    alAlbumArtist = 2,
    alNumber = 4,
    alTitle = 8,
    alArtist = 16,
    alTime = 32,
    alAlbum = 64,
};

// Fields of a track line: 0 number, 1 title, 2 artist, 3 time, 4 album.
struct TTrackFieldOrder {
    std::array<int, 5> fields;
    const char16_t* caption;
};
// The six orders the insertion dialog offers (the second and the fifth are the same).
std::span<const TTrackFieldOrder> TrackFieldOrders();

struct TAlbumLineOptions {
    static constexpr uint8_t AllFlags = 127;
    // The input stage fills its items with the track fields only.
    static constexpr uint8_t TrackFlags = 124;

    uint8_t flags = AllFlags;
    QString separator = QStringLiteral(" ");
    int order = 0;
};

struct TSeparatorChoice {
    const char16_t* caption;
    const char16_t* text;
};
// "スペース", "タブ", "-", "・", "_", "/", "～".
std::span<const TSeparatorChoice> SeparatorChoices();

// The track number is followed directly by the next field ("1.Title"); every other two fields
// used are joined by the separator, empty ones too.
QStringList BuildAlbumLines(const TAlbumInfo& album, const TAlbumLineOptions& options = {});

}  // namespace kestrel

#pragma once

// The table of contents and CD-TEXT of a disc in a drive or of a ".cue"/".toc" image, read
// with libcdio.

#include <QString>
#include <QStringList>
#include <vector>

#include "PluginKit.h"

namespace kestrel::plugin {

struct TDiscTrack {
    int number = 0;
    long startSector = 0;  // logical sector, without the two-second lead-in
    long sectors = 0;
    bool audio = true;
    QString title;
    QString performer;
};

struct TDiscToc {
    QString source;
    QString title;
    QString performer;
    std::vector<TDiscTrack> tracks;
    long leadOutSector = 0;
    // CD-TEXT fields that code page 932 could not hold, shown with "?".
    QStringList warnings;
};

// The system's optical drives.
QStringList OpticalDrives();

// Reads the drive or image named by source; fails with a message saying why.
TDiscToc ReadDiscToc(const QString& source);

// The album the table of contents describes.
TAlbumData AlbumOf(const TDiscToc& toc);

}  // namespace kestrel::plugin

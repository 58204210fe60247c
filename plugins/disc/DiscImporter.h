#pragma once

#include "PluginKit.h"

namespace kestrel::plugin {

// Album title, artist, track titles and playing times from the table of contents and CD-TEXT of
// the disc in a drive or of a ".cue"/".toc" image.
class TDiscImporter : public TImporter {
public:
    QString Description() override;
    QString Import(const TRequest& request, TStatus& status) override;
};

// Writes the album as a CUE sheet with CD-TEXT fields into the folder of its settings, with the
// track positions of the disc or image of the request (or, when there is none, of the album's
// playing times).
class TCueSheetExporter : public TExporter {
public:
    QString Description() override;
    bool Export(const TRequest& request, TStatus& status) override;
    TSettingsPage* SettingsPage() override;

    // The sheet for the album; positions are the tracks' start sectors.
    static QByteArray Sheet(const TAlbumData& album, const QString& audioFile, const std::vector<long>& positions);

private:
    std::unique_ptr<TSettingsForm> page_;
};

}  // namespace kestrel::plugin

#pragma once

#include "PluginKit.h"

namespace kestrel::plugin {

struct TDiscToc;

// One CDDB server of the settings: "host:port", "http://host:port/path" for the HTTP gateway.
struct TCddbServer {
    QString host;
    int port = 8880;
    bool http = false;
    QString path;

    static TCddbServer Parse(const QString& text);
};

// The CDDB disc id of a table of contents.
unsigned CddbDiscId(const TDiscToc& toc);

// Album data from a CDDB-protocol server for the disc in a drive or an image; the servers are
// the plug-in's settings ("Servers", one a line), none built in.
class TCddbImporter : public TImporter {
public:
    QString Description() override;
    bool Prepare(const TRequest& request) override;
    QString Import(const TRequest& request, TStatus& status) override;
    void Cancel() override { cancelled_ = true; }
    TSettingsPage* SettingsPage() override;

    static QStringList Servers(const QString& registryKey);

private:
    bool cancelled_ = false;
    std::unique_ptr<TSettingsForm> page_;
};

}  // namespace kestrel::plugin

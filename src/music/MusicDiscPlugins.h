#pragma once

// Music disc information through plug-ins: the entries their descriptions offer, the request
// and result documents, the loaded importers and exporters of one screen, and the import and
// export runs. Screens and the command line drive these; nothing here shows anything.

#include <QSize>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <functional>
#include <vector>

#include "app/InternetEnvironment.h"
#include "app/PluginClient.h"
#include "app/PluginHost.h"
#include "app/PluginServers.h"

namespace kestrel {

class TAlbumInfo;
class TAlbums;

// One entry of the import or export list: a plug-in, and one of its data servers (empty when it
// names none).
struct TMusicSource {
    int Plugin = 0;
    QString PluginName;
    QString ServerName;
    // The entry as the list shows it: name " - " server name, or the name alone.
    QString Text() const;
};
using TImportSource = TMusicSource;
using TExporterSource = TMusicSource;

// The entries of one plug-in's description, in order.
std::vector<TMusicSource> SourcesOf(int plugin, const TPluginDescription& description);

// The request document of an entry: root "source" and "dataServer", child "proxy" with the
// proxy settings (the password in plain text).
QString ImportRequest(const QString& source, const QString& dataServer, const TProxySettings& proxy);
// An export request: the album document with the rows of an import request added.
QString ExportRequest(const TAlbumInfo& album, const QString& source, const QString& dataServer,
                      const TProxySettings& proxy);

struct TImportedTrack {
    QString Title;
    QString Time;
    QString Artist;
};

struct TImportedAlbum {
    QString Source;
    QString Title;
    QString Artist;
    QString Genre;
    std::vector<TImportedTrack> Tracks;
};

// What one import returned: its albums, and what the plug-in reports about them.
struct TImportResult {
    std::vector<TImportedAlbum> Albums;
    QStringList Warnings;
};

inline constexpr int kMaxImportedAlbums = 256;
inline constexpr int kMaxImportedTracks = 999;

// Reads a result document; malformed XML, too many albums or tracks, and an "error" element
// (the plug-in's own report of a failure) raise an EPlugin naming label.
TImportResult ReadImportResult(const QString& label, const QString& xml);

// Title, artist and tracks (title, artist, time); source and genre are not kept.
TAlbumInfo AlbumFromImport(const TImportedAlbum& imported);

// Stores the albums in the database one after the other: from index 0 when it is empty or holds
// only one new empty album, else after the last. Answers the index of the last one stored.
int TakeAlbums(TAlbums& albums, const std::vector<TImportedAlbum>& imported);

// The host's status object handed to Import and Export; every SetStatus reaches onStatus.
class TStatusHost {
public:
    explicit TStatusHost(std::function<void(const QString&)> onStatus);
    TStatusHost(const TStatusHost&) = delete;
    TStatusHost& operator=(const TStatusHost&) = delete;
    IStatusHost* Interface() { return &object_.com; }

private:
    struct TObject {
        IStatusHost com;
        TStatusHost* owner;
    };
    static KResult QueryInterface(IStatusHost* self, const KGuid* iid, void** object);
    static uint32_t AddRef(IStatusHost* self);
    static uint32_t Release(IStatusHost* self);
    static KResult SetStatus(IStatusHost* self, const KText* text);
    static const IStatusHostVtbl Table;

    TObject object_;
    std::function<void(const QString&)> onStatus_;
};

// A plug-in's settings page as the settings screen drives it; a failed call is an EPlugin naming
// the plug-in.
class TPluginSettingsPage {
public:
    // Pages ask for at most this much room each way.
    static constexpr int MaxExtent = 2000;

    explicit TPluginSettingsPage(TPluginRef<IPluginSettingsPage> page) : page_(std::move(page)) {}
    const QString& Label() const { return page_.Label(); }
    // The address of the page's QWidget (plug-ins run in the program's process), or 0.
    uint64_t Window() const;
    void Activate() const;
    void Deactivate() const;
    void Apply() const;
    // What the page asks for, within 0..MaxExtent each way.
    QSize Size() const;

private:
    using TPageMethod = KResult (*IPluginSettingsPageVtbl::*)(IPluginSettingsPage*);
    void Call(const QString& what, TPageMethod method) const;

    TPluginRef<IPluginSettingsPage> page_;
};

// The music importers or exporters of one screen, created once and kept while it lives.
class TMusicPlugins {
public:
    // category: KESTREL_CATID_MUSIC_IMPORTERS or KESTREL_CATID_MUSIC_EXPORTERS.
    explicit TMusicPlugins(const QUuid& category);

    // Every server of the category in the folder, created and described; one that fails is left
    // out and listed in Refused().
    void Load(const QString& folder, TBCAppFrameClient& client);

    bool Importers() const;
    int Count() const { return int(plugins_.size()); }
    const TPluginDescription& Description(int plugin) const { return plugins_.at(size_t(plugin)).description; }
    const QString& Label(int plugin) const { return plugins_.at(size_t(plugin)).server.Label(); }
    const std::vector<TRefusedPlugin>& Refused() const { return refused_; }
    // Every entry of every plug-in, in plug-in order.
    std::vector<TMusicSource> Sources() const;
    // Reads the descriptions again, as a settings page may have changed a plug-in's data servers.
    void Redescribe();
    // The plug-in's settings page; empty when it has none.
    TPluginRef<IPluginSettingsPage> SettingsPage(int plugin) const;

    bool Prepare(int plugin, const QString& request) const;
    TImportResult Import(int plugin, const QString& request, TStatusHost& status) const;
    void Cancel(int plugin) const;
    bool Export(int plugin, const QString& request, TStatusHost& status) const;
    void Finish(int plugin) const;

private:
    struct TPlugin {
        TPluginRef<IBCServerV1> server;
        TPluginRef<IMusicDataImporter> importer;
        TPluginRef<IMusicDataExporter> exporter;
        TPluginDescription description;
    };
    QUuid category_;
    std::vector<TPlugin> plugins_;
    std::vector<TRefusedPlugin> refused_;
};

// What a run shows while it works: the wait window, or the command line's progress.
class TMusicRunObserver {
public:
    virtual ~TMusicRunObserver() = default;
    virtual void ShowLabel(const QString& text) = 0;
    // Also lets the user act (the cancel button); called for every SetStatus of a plug-in.
    virtual void ShowStatus(const QString& text) = 0;
    virtual void ShowProgress(int done, int total) = 0;
    virtual bool Cancelled() const = 0;
    // Set by the run while a plug-in imports: cancelling calls it.
    std::function<void()> CancelRunning;
};

// The import of the checked entries for the drive (or image): every request prepared first
// (nothing imported when one is refused: answers false), then imported in order until cancelled;
// Finish on every importer with a checked entry, whatever happens. Warnings collects what the
// plug-ins reported.
bool RunImport(const TMusicPlugins& plugins, const std::vector<TMusicSource>& checked, const QString& source,
               const TProxySettings& proxy, TMusicRunObserver& observer, std::vector<TImportedAlbum>* albums,
               QStringList* warnings);

// The export of the album through the entry; true when the plug-in registered it. Finish is
// called whatever happens.
bool RunExport(const TMusicPlugins& plugins, const TMusicSource& entry, const TAlbumInfo& album,
               const QString& source, const TProxySettings& proxy, TMusicRunObserver& observer);

}  // namespace kestrel

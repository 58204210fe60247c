#include "music/MusicDiscPlugins.h"

#include <QScopeGuard>
#include <algorithm>
#include <set>

#include "app/XMLIniFile.h"
#include "music/Albums.h"
#include "platform/Cp932.h"

namespace kestrel {

namespace {

constexpr qsizetype kMaxFieldLength = 4096;

// The document as text for a plug-in, without the declaration of the file encoding.
QString DocumentText(const TXMLIniFile& document)
{
    const QString text = FromCp932(document.SaveToBytes());
    const qsizetype declarationEnd = text.startsWith(QLatin1String("<?xml")) ? text.indexOf(QLatin1String("?>")) : -1;
    return declarationEnd < 0 ? text : text.mid(declarationEnd + 2).trimmed();
}

void AddRequestRows(TXMLIniFile& document, const QString& source, const QString& dataServer, const TProxySettings& proxy)
{
    document.WriteString(QStringLiteral("source"), source);
    document.WriteString(QStringLiteral("dataServer"), dataServer);
    TXMLIniSection row = document.GetSection(QStringLiteral("proxy"));
    row.WriteString(QStringLiteral("direct"), proxy.noProxy ? QStringLiteral("1") : QStringLiteral("0"));
    row.WriteString(QStringLiteral("server"), proxy.address);
    row.WriteString(QStringLiteral("port"), proxy.port);
    row.WriteString(QStringLiteral("authorization"), proxy.useAccount ? QStringLiteral("1") : QStringLiteral("0"));
    row.WriteString(QStringLiteral("account"), proxy.account);
    row.WriteString(QStringLiteral("password"), proxy.password);
}

class TResultReader {
public:
    explicit TResultReader(const QString& label) : label_(label) {}

    QString Field(const TXMLIniSection& section, const char* name) const
    {
        const QString value = section.ReadString(QLatin1String(name), {});
        if (value.size() > kMaxFieldLength)
            throw EPlugin(label_, QStringLiteral("結果の %1 が長すぎます (上限 %2 文字)").arg(QLatin1String(name)).arg(kMaxFieldLength),
                          K_E_INVALIDARG);
        return value;
    }

    TImportedAlbum Album(const TXMLIniSection& section) const
    {
        TImportedAlbum album{Field(section, "source"), Field(section, "title"), Field(section, "artist"),
                             Field(section, "genre"), {}};
        const TXMLIniSectionList tracks = section.GetSectionList(QStringLiteral("track"));
        if (tracks.Count() > kMaxImportedTracks)
            throw EPlugin(label_, QStringLiteral("結果のトラックが %1 曲を超えています").arg(kMaxImportedTracks), K_E_INVALIDARG);
        for (int i = 0; i < tracks.Count(); ++i) {
            const TXMLIniSection track = tracks.Section(i);
            album.Tracks.push_back({Field(track, "title"), Field(track, "time"), Field(track, "artist")});
        }
        return album;
    }

    QStringList Texts(const TXMLIniFile& document, const QString& element) const
    {
        QStringList texts;
        const TXMLIniSectionList list = document.GetSectionList(element);
        for (int i = 0; i < list.Count() && i < kMaxImportedAlbums; ++i) texts << Field(list.Section(i), "text");
        return texts;
    }

private:
    const QString& label_;
};

template <class I>
TPluginRef<IPluginSettingsPage> PageOf(const TPluginRef<I>& server)
{
    IPluginSettingsPage* page = nullptr;
    I* const object = server.Get();
    CheckPluginCall(server.Label(), QStringLiteral("設定ページの取得"),
                    [&] { return object->lpVtbl->GetSettingsPage(object, &page); });
    return TPluginRef<IPluginSettingsPage>(page ? server.Library() : nullptr, page, server.Label());
}

KText ToKText(const QString& text)
{
    return {reinterpret_cast<const uint16_t*>(text.utf16()), uint32_t(text.size())};
}

}  // namespace

QString TMusicSource::Text() const
{
    return ServerName.isEmpty() ? PluginName : PluginName + QStringLiteral(" - ") + ServerName;
}

std::vector<TMusicSource> SourcesOf(int plugin, const TPluginDescription& description)
{
    if (description.DataServers.isEmpty()) return {{plugin, description.Name, {}}};
    std::vector<TMusicSource> sources;
    for (const QString& server : description.DataServers) sources.push_back({plugin, description.Name, server});
    return sources;
}

QString ImportRequest(const QString& source, const QString& dataServer, const TProxySettings& proxy)
{
    TXMLIniFile document;
    AddRequestRows(document, source, dataServer, proxy);
    return DocumentText(document);
}

QString ExportRequest(const TAlbumInfo& album, const QString& source, const QString& dataServer,
                      const TProxySettings& proxy)
{
    TXMLIniFile document;
    document.WriteString(QStringLiteral("title"), album.Title());
    document.WriteString(QStringLiteral("artist"), album.Artist());
    for (int i = 0; i < album.TrackCount(); ++i) {
        TXMLIniSection track = document.AddSection(QStringLiteral("track"));
        track.WriteString(QStringLiteral("title"), album.Track(i).Title());
        track.WriteString(QStringLiteral("artist"), album.Track(i).Artist());
        track.WriteString(QStringLiteral("time"), album.Track(i).Time());
    }
    AddRequestRows(document, source, dataServer, proxy);
    return DocumentText(document);
}

TImportResult ReadImportResult(const QString& label, const QString& xml)
{
    if (xml.size() > kMaxPluginDocument)
        throw EPlugin(label, QStringLiteral("結果が長すぎます (上限 %1 文字)").arg(kMaxPluginDocument), K_E_INVALIDARG);
    TXMLIniFile document;
    try {
        document.LoadFromText(xml);
    } catch (const EXMLStore& e) {
        throw EPlugin(label, QStringLiteral("結果の XML が正しくありません: %1").arg(e.Message()), K_E_INVALIDARG);
    }
    const TResultReader reader(label);
    const QStringList errors = reader.Texts(document, QStringLiteral("error"));
    if (!errors.isEmpty()) throw EPlugin(label, errors.join(u'\n'));
    const TXMLIniSectionList albums = document.GetSectionList(QStringLiteral("album"));
    if (albums.Count() > kMaxImportedAlbums)
        throw EPlugin(label, QStringLiteral("結果のアルバムが %1 枚を超えています").arg(kMaxImportedAlbums), K_E_INVALIDARG);
    TImportResult result;
    for (int i = 0; i < albums.Count(); ++i) result.Albums.push_back(reader.Album(albums.Section(i)));
    result.Warnings = reader.Texts(document, QStringLiteral("warning"));
    return result;
}

TAlbumInfo AlbumFromImport(const TImportedAlbum& imported)
{
    TAlbumInfo album;
    album.SetTitle(imported.Title);
    album.SetArtist(imported.Artist);
    for (const TImportedTrack& track : imported.Tracks) {
        TTrackInfo& added = album.Tracks().Add();
        added.SetTitle(track.Title);
        added.SetArtist(track.Artist);
        added.SetTime(track.Time);
    }
    return album;
}

int TakeAlbums(TAlbums& albums, const std::vector<TImportedAlbum>& imported)
{
    const bool replaceEmpty = albums.Count() == 1 && albums.Album(0).SameAs(TAlbumInfo());
    int index = replaceEmpty ? 0 : albums.Count();
    TAlbumsUpdate update(albums);
    for (const TImportedAlbum& album : imported) {
        albums.Store(AlbumFromImport(album), index < albums.Count() ? index : -1);
        ++index;
    }
    return index - 1;
}

const IStatusHostVtbl TStatusHost::Table = {&TStatusHost::QueryInterface, &TStatusHost::AddRef,
                                            &TStatusHost::Release, &TStatusHost::SetStatus};

TStatusHost::TStatusHost(std::function<void(const QString&)> onStatus)
    : object_{{&Table}, this}, onStatus_(std::move(onStatus))
{
}

KResult TStatusHost::QueryInterface(IStatusHost* self, const KGuid* iid, void** object)
{
    if (!object) return K_E_POINTER;
    *object = nullptr;
    if (!iid || ToUuid(*iid) != ToUuid(KESTREL_IID_IUNKNOWN)) return K_E_NOINTERFACE;
    *object = self;
    return K_S_OK;
}

// The run owns the status host and outlives every call that may use it.
uint32_t TStatusHost::AddRef(IStatusHost*)
{
    return 1;
}

uint32_t TStatusHost::Release(IStatusHost*)
{
    return 1;
}

KResult TStatusHost::SetStatus(IStatusHost* self, const KText* text)
{
    if (!text || (!text->data && text->length > 0)) return K_E_POINTER;
    if (text->length > uint32_t(kMaxFieldLength)) return K_E_INVALIDARG;
    const QString status(reinterpret_cast<const QChar*>(text->data), qsizetype(text->length));
    try {
        TStatusHost* owner = reinterpret_cast<TObject*>(self)->owner;
        if (owner->onStatus_) owner->onStatus_(status);
        return K_S_OK;
    } catch (...) {
        return K_E_FAIL;
    }
}

TMusicPlugins::TMusicPlugins(const QUuid& category) : category_(category) {}

bool TMusicPlugins::Importers() const
{
    return category_ == ToUuid(KESTREL_CATID_MUSIC_IMPORTERS);
}

void TMusicPlugins::Load(const QString& folder, TBCAppFrameClient& client)
{
    TPluginList list(category_);
    list.LoadFolder(folder, client);
    refused_ = list.Refused();
    for (int i = 0; i < list.Count(); ++i) {
        try {
            TPlugin plugin;
            plugin.server = list.CreateServer(i, client);
            plugin.description = DescribeServer(plugin.server, category_);
            if (Importers()) plugin.importer = plugin.server.Query<IMusicDataImporter>(KESTREL_IID_IMUSICDATAIMPORTER);
            else plugin.exporter = plugin.server.Query<IMusicDataExporter>(KESTREL_IID_IMUSICDATAEXPORTER);
            plugins_.push_back(std::move(plugin));
        } catch (const EKestrel& e) {
            refused_.push_back({list.Server(i).Library, e.Message()});
        }
    }
}

std::vector<TMusicSource> TMusicPlugins::Sources() const
{
    std::vector<TMusicSource> sources;
    for (int i = 0; i < Count(); ++i) {
        const std::vector<TMusicSource> own = SourcesOf(i, Description(i));
        sources.insert(sources.end(), own.begin(), own.end());
    }
    return sources;
}

void TMusicPlugins::Redescribe()
{
    for (TPlugin& plugin : plugins_) plugin.description = DescribeServer(plugin.server, category_);
}

TPluginRef<IPluginSettingsPage> TMusicPlugins::SettingsPage(int plugin) const
{
    const TPlugin& p = plugins_.at(size_t(plugin));
    return Importers() ? PageOf(p.importer) : PageOf(p.exporter);
}

uint64_t TPluginSettingsPage::Window() const
{
    uint64_t window = 0;
    IPluginSettingsPage* const page = page_.Get();
    CheckPluginCall(Label(), QStringLiteral("設定ページの表示"), [&] { return page->lpVtbl->GetWindow(page, &window); });
    return window;
}

void TPluginSettingsPage::Call(const QString& what, TPageMethod method) const
{
    IPluginSettingsPage* const page = page_.Get();
    CheckPluginCall(Label(), what, [&] { return (page->lpVtbl->*method)(page); });
}

void TPluginSettingsPage::Activate() const
{
    Call(QStringLiteral("設定ページの切り替え"), &IPluginSettingsPageVtbl::Activate);
}

void TPluginSettingsPage::Deactivate() const
{
    Call(QStringLiteral("設定ページの切り替え"), &IPluginSettingsPageVtbl::Deactivate);
}

void TPluginSettingsPage::Apply() const
{
    Call(QStringLiteral("設定の保存"), &IPluginSettingsPageVtbl::Apply);
}

QSize TPluginSettingsPage::Size() const
{
    int32_t width = 0;
    int32_t height = 0;
    IPluginSettingsPage* const page = page_.Get();
    CheckPluginCall(Label(), QStringLiteral("設定ページの大きさ"),
                    [&] { return page->lpVtbl->GetSize(page, &width, &height); });
    return {std::clamp(width, 0, MaxExtent), std::clamp(height, 0, MaxExtent)};
}

bool TMusicPlugins::Prepare(int plugin, const QString& request) const
{
    const TPlugin& p = plugins_.at(size_t(plugin));
    const KText text = ToKText(request);
    int32_t ok = 0;
    if (Importers()) {
        IMusicDataImporter* const i = p.importer.Get();
        CheckPluginCall(Label(plugin), QStringLiteral("準備"), [&] { return i->lpVtbl->Prepare(i, &text, &ok); });
    } else {
        IMusicDataExporter* const e = p.exporter.Get();
        CheckPluginCall(Label(plugin), QStringLiteral("準備"), [&] { return e->lpVtbl->Prepare(e, &text, &ok); });
    }
    return ok != 0;
}

TImportResult TMusicPlugins::Import(int plugin, const QString& request, TStatusHost& status) const
{
    IMusicDataImporter* const i = plugins_.at(size_t(plugin)).importer.Get();
    const KText text = ToKText(request);
    const QString xml = ReadPluginText(Label(plugin), QStringLiteral("取得の結果"), kMaxPluginDocument,
                                       [&](const KTextOut* out) { return i->lpVtbl->Import(i, &text, status.Interface(), out); });
    return ReadImportResult(Label(plugin), xml);
}

void TMusicPlugins::Cancel(int plugin) const
{
    IMusicDataImporter* const i = plugins_.at(size_t(plugin)).importer.Get();
    CheckPluginCall(Label(plugin), QStringLiteral("取り消し"), [&] { return i->lpVtbl->Cancel(i); });
}

bool TMusicPlugins::Export(int plugin, const QString& request, TStatusHost& status) const
{
    IMusicDataExporter* const e = plugins_.at(size_t(plugin)).exporter.Get();
    const KText text = ToKText(request);
    int32_t ok = 0;
    CheckPluginCall(Label(plugin), QStringLiteral("登録"),
                    [&] { return e->lpVtbl->Export(e, &text, status.Interface(), &ok); });
    return ok != 0;
}

void TMusicPlugins::Finish(int plugin) const
{
    const TPlugin& p = plugins_.at(size_t(plugin));
    if (Importers()) {
        IMusicDataImporter* const i = p.importer.Get();
        CheckPluginCall(Label(plugin), QStringLiteral("終了"), [&] { return i->lpVtbl->Finish(i); });
    } else {
        IMusicDataExporter* const e = p.exporter.Get();
        CheckPluginCall(Label(plugin), QStringLiteral("終了"), [&] { return e->lpVtbl->Finish(e); });
    }
}

namespace {

// Finish for each plug-in once, even when one of them fails; the first failure is raised after.
void FinishAll(const TMusicPlugins& plugins, const std::set<int>& used)
{
    std::exception_ptr first;
    for (const int plugin : used) {
        try {
            plugins.Finish(plugin);
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    if (first && std::uncaught_exceptions() == 0) std::rethrow_exception(first);
}

}  // namespace

bool RunImport(const TMusicPlugins& plugins, const std::vector<TMusicSource>& checked, const QString& source,
               const TProxySettings& proxy, TMusicRunObserver& observer, std::vector<TImportedAlbum>* albums,
               QStringList* warnings)
{
    std::set<int> used;
    for (const TMusicSource& entry : checked) used.insert(entry.Plugin);
    bool finished = false;
    const auto finish = qScopeGuard([&] {
        observer.CancelRunning = nullptr;
        if (!finished) FinishAll(plugins, used);
    });
    observer.ShowLabel(QStringLiteral("読み込み準備中"));
    observer.ShowStatus(QStringLiteral("設定の確認中です"));
    bool prepared = true;
    for (const TMusicSource& entry : checked)
        if (!plugins.Prepare(entry.Plugin, ImportRequest(source, entry.ServerName, proxy))) {
            prepared = false;
            break;
        }
    if (prepared) {
        TStatusHost status([&](const QString& text) { observer.ShowStatus(text); });
        for (size_t i = 0; i < checked.size() && !observer.Cancelled(); ++i) {
            const TMusicSource& entry = checked[i];
            observer.ShowLabel(entry.Text());
            observer.CancelRunning = [&] { plugins.Cancel(entry.Plugin); };
            const TImportResult result = plugins.Import(entry.Plugin, ImportRequest(source, entry.ServerName, proxy), status);
            observer.CancelRunning = nullptr;
            albums->insert(albums->end(), result.Albums.begin(), result.Albums.end());
            for (const QString& warning : result.Warnings)
                warnings->append(QStringLiteral("%1: %2").arg(entry.Text(), warning));
            observer.ShowProgress(int(i + 1), int(checked.size()));
        }
    }
    finished = true;
    FinishAll(plugins, used);
    return prepared;
}

bool RunExport(const TMusicPlugins& plugins, const TMusicSource& entry, const TAlbumInfo& album,
               const QString& source, const TProxySettings& proxy, TMusicRunObserver& observer)
{
    bool finished = false;
    const auto finish = qScopeGuard([&] {
        if (!finished) FinishAll(plugins, {entry.Plugin});
    });
    observer.ShowLabel(QStringLiteral("登録準備中"));
    observer.ShowStatus(QStringLiteral("設定の確認中です"));
    const QString request = ExportRequest(album, source, entry.ServerName, proxy);
    bool registered = false;
    if (plugins.Prepare(entry.Plugin, request)) {
        observer.ShowLabel(entry.Text());
        TStatusHost status([&](const QString& text) { observer.ShowStatus(text); });
        registered = plugins.Export(entry.Plugin, request, status);
    }
    finished = true;
    FinishAll(plugins, {entry.Plugin});
    return registered;
}

}  // namespace kestrel

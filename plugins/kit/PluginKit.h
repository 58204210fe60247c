#pragma once

// What every plug-in we ship shares: reference-counted objects behind the C interface, the
// catalogue and class factories, text in and out, and the request and result documents of
// music disc importers and exporters. Nothing here throws across the C boundary.

#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "kestrel/KestrelPlugin.h"

namespace kestrel::plugin {

// A plug-in operation that failed; its message reaches the user through the host.
class EPluginError : public std::runtime_error {
public:
    explicit EPluginError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString Message() const { return QString::fromStdString(what()); }
};

QString FromKText(const KText* text);
KResult WriteText(const KTextOut* out, const QString& text);

class TServer;

// A page a server offers for the program's settings screen. Its window is a QWidget of the
// program's own Qt (plug-ins run in the program's process), made and owned by the page; the
// screen shows it in a tab and hands it back before it closes.
class TSettingsPage {
public:
    virtual ~TSettingsPage() = default;
    virtual void* Window() = 0;
    virtual void Activate() {}
    virtual void Deactivate() {}
    // Stores what the page shows.
    virtual void Apply() = 0;
    virtual QSize Size() const = 0;
};

// An interface of a server: the C structure first, so that a pointer to it finds its owner.
template <class I>
struct TFace {
    I com;
    TServer* owner;
};

// A reference-counted server offering IBCServerV1 and the interfaces its kind adds.
class TServer {
public:
    TServer();
    virtual ~TServer();
    TServer(const TServer&) = delete;
    TServer& operator=(const TServer&) = delete;

    KResult Query(const KGuid* iid, void** out);
    uint32_t AddRef() { return ++references_; }
    uint32_t Release();
    KResult Initialize(IBCClientV1* client);

    // The host's settings key (backslash path), known after initialisation.
    const QString& RegistryKey() const { return registryKey_; }
    IBCClientV1* Client() const { return client_; }

    template <class I>
    static TServer* Owner(I* self)
    {
        return reinterpret_cast<TFace<I>*>(self)->owner;
    }

    // The settings page's interface with a reference for the caller, or null without a page.
    IPluginSettingsPage* PageInterface();
    // Made on first request; none by default.
    virtual TSettingsPage* SettingsPage() { return nullptr; }

protected:
    // The interface iid of this kind of server, or null.
    virtual void* Offer(const KGuid& iid) { return nullptr; }

private:
    TFace<IBCServerV1> server_;
    TFace<IPluginSettingsPage> page_;
    uint32_t references_ = 1;
    IBCClientV1* client_ = nullptr;
    QString registryKey_;
};

// The three reference-counting methods of an interface of a server.
template <class I>
KResult QueryOf(I* self, const KGuid* iid, void** out)
{
    return TServer::Owner(self)->Query(iid, out);
}

template <class I>
uint32_t AddRefOf(I* self)
{
    return TServer::Owner(self)->AddRef();
}

template <class I>
uint32_t ReleaseOf(I* self)
{
    return TServer::Owner(self)->Release();
}

#define KIT_UNKNOWN(I) QueryOf<I>, AddRefOf<I>, ReleaseOf<I>

// Runs a plug-in operation, turning every exception into a failure status.
KResult Guard(const std::function<void()>& operation);

bool SameGuid(const KGuid& a, const KGuid& b);

// One server of the library's catalogue.
struct TServerEntry {
    KGuid classId;
    KGuid category;
    QString name;
    std::function<TServer*()> create;
};

// Defined by each plug-in library: its servers.
const std::vector<TServerEntry>& LibraryServers();

// Values a plug-in keeps below the program's settings key, in the program's settings file.
class TPluginSettings {
public:
    TPluginSettings(const QString& registryKey, const QString& plugin);
    QString Read(const QString& name, const QString& def = {}) const;
    void Write(const QString& name, const QString& value);

private:
    QString file_;
    QString group_;
};

// A settings page of labelled fields, each stored in the plug-in's settings under its name; the
// window shows the stored values whenever it is asked for.
class TSettingsForm : public TSettingsPage {
public:
    TSettingsForm(const QString& registryKey, const QString& plugin);
    ~TSettingsForm() override;

    // A value of several lines, one entry a line.
    void AddLines(const QString& caption, const QString& name, const QString& hint);
    // A folder, typed or chosen; def shows while none is stored.
    void AddFolder(const QString& caption, const QString& name, const QString& def);

    void* Window() override;
    void Apply() override;
    QSize Size() const override;

private:
    struct TField {
        QString name;
        QString def;
        std::function<QString()> value;
        std::function<void(const QString&)> show;
    };
    class TWidgets;
    TPluginSettings settings_;
    std::unique_ptr<TWidgets> widgets_;
    std::vector<TField> fields_;
};

struct TProxy {
    bool direct = true;
    QString server;
    QString port;
    bool authorization = false;
    QString account;
    QString password;
};

struct TTrackData {
    QString title;
    QString artist;
    QString time;
};

struct TAlbumData {
    QString source;
    QString title;
    QString artist;
    QString genre;
    std::vector<TTrackData> tracks;
};

// A request document: the drive or image, the data server, the proxy and, for an export, the
// album.
struct TRequest {
    QString source;
    QString dataServer;
    TProxy proxy;
    TAlbumData album;
};

TRequest ReadRequest(const QString& xml);

// A result document with the albums found; each warning becomes a "warning" element whose
// "text" the host reports.
QString WriteResult(const std::vector<TAlbumData>& albums, const QStringList& warnings = {});

// A result document that reports a failed import: an "error" element with the "text".
QString WriteError(const QString& message);

// A description document.
QString WriteDescription(const QString& name, const QStringList& dataServers = {});

// The playing time "m:ss" of a number of CD frames (75 a second).
QString FramesToTime(long frames);

// The text host of an import or export: SetStatus, which lets the host's window run.
class TStatus {
public:
    explicit TStatus(IStatusHost* host) : host_(host) {}
    void Set(const QString& text);

private:
    IStatusHost* host_;
};

// A music data importer: the host's calls mapped onto these.
class TImporter : public TServer {
public:
    TImporter();
    virtual QString Description() = 0;
    virtual bool Prepare(const TRequest& request) { return true; }
    // The result document.
    virtual QString Import(const TRequest& request, TStatus& status) = 0;
    virtual void Cancel() {}
    virtual void Finish() {}

protected:
    void* Offer(const KGuid& iid) override;

private:
    TFace<IMusicDataImporter> importer_;
};

class TExporter : public TServer {
public:
    TExporter();
    virtual QString Description() = 0;
    virtual bool Prepare(const TRequest& request) { return true; }
    virtual bool Export(const TRequest& request, TStatus& status) = 0;
    virtual void Finish() {}

protected:
    void* Offer(const KGuid& iid) override;

private:
    TFace<IMusicDataExporter> exporter_;
};

// An image server: Acquire takes one picture as 0xAARRGGBB rows; an empty result means the
// user cancelled.
struct TPixels {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> data;
};

class TImageServer : public TServer {
public:
    TImageServer();
    virtual TPixels Acquire(uint64_t parentWindow) = 0;

protected:
    void* Offer(const KGuid& iid) override;

private:
    friend struct TImageCalls;
    TFace<IBCImageServer> image_;
    TPixels pixels_;
};

}  // namespace kestrel::plugin

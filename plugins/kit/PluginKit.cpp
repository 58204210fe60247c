#include "PluginKit.h"

#include <QSettings>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <cstring>

namespace kestrel::plugin {

namespace {


KResult InitializeServer(IBCServerV1* self, IBCClientV1* client)
{
    return TServer::Owner(self)->Initialize(client);
}

const IBCServerV1Vtbl ServerTable = {KIT_UNKNOWN(IBCServerV1), InitializeServer};

// Collects what the client writes.
struct TCollected {
    QString text;
    static KResult Append(void* context, const uint16_t* data, uint32_t length)
    {
        if (length > 0x10000) return K_E_OUTOFMEMORY;
        static_cast<TCollected*>(context)->text.append(reinterpret_cast<const QChar*>(data), qsizetype(length));
        return K_S_OK;
    }
};

template <class T>
T* As(void* p)
{
    return static_cast<T*>(p);
}

bool Flag(const QString& value)
{
    return value == u"1";
}

TTrackData ReadTrack(const QXmlStreamAttributes& attributes)
{
    return {attributes.value(QLatin1String("title")).toString(), attributes.value(QLatin1String("artist")).toString(),
            attributes.value(QLatin1String("time")).toString()};
}

void WriteAlbum(QXmlStreamWriter& xml, const TAlbumData& album)
{
    xml.writeStartElement(QStringLiteral("album"));
    xml.writeAttribute(QStringLiteral("source"), album.source);
    xml.writeAttribute(QStringLiteral("title"), album.title);
    xml.writeAttribute(QStringLiteral("artist"), album.artist);
    xml.writeAttribute(QStringLiteral("genre"), album.genre);
    for (const TTrackData& track : album.tracks) {
        xml.writeStartElement(QStringLiteral("track"));
        xml.writeAttribute(QStringLiteral("title"), track.title);
        xml.writeAttribute(QStringLiteral("time"), track.time);
        xml.writeAttribute(QStringLiteral("artist"), track.artist);
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

}  // namespace

QString FromKText(const KText* text)
{
    if (!text || !text->data) return {};
    return QString(reinterpret_cast<const QChar*>(text->data), qsizetype(text->length));
}

KResult WriteText(const KTextOut* out, const QString& text)
{
    if (!out || !out->Write) return K_E_POINTER;
    return out->Write(out->context, reinterpret_cast<const uint16_t*>(text.utf16()), uint32_t(text.size()));
}

bool SameGuid(const KGuid& a, const KGuid& b)
{
    return std::memcmp(&a, &b, sizeof(KGuid)) == 0;
}

KResult Guard(const std::function<void()>& operation)
{
    try {
        operation();
        return K_S_OK;
    } catch (const std::bad_alloc&) {
        return K_E_OUTOFMEMORY;
    } catch (...) {
        return K_E_FAIL;
    }
}

namespace {

TSettingsPage& PageOf(IPluginSettingsPage* self)
{
    return *TServer::Owner(self)->SettingsPage();
}

KResult PageWindow(IPluginSettingsPage* self, uint64_t* window)
{
    if (!window) return K_E_POINTER;
    return Guard([&] { *window = uint64_t(reinterpret_cast<uintptr_t>(PageOf(self).Window())); });
}

KResult PageActivate(IPluginSettingsPage* self)
{
    return Guard([&] { PageOf(self).Activate(); });
}

KResult PageDeactivate(IPluginSettingsPage* self)
{
    return Guard([&] { PageOf(self).Deactivate(); });
}

KResult PageApply(IPluginSettingsPage* self)
{
    return Guard([&] { PageOf(self).Apply(); });
}

KResult PageSize(IPluginSettingsPage* self, int32_t* width, int32_t* height)
{
    if (!width || !height) return K_E_POINTER;
    return Guard([&] {
        const QSize size = PageOf(self).Size();
        *width = size.width();
        *height = size.height();
    });
}

const IPluginSettingsPageVtbl PageTable = {KIT_UNKNOWN(IPluginSettingsPage), PageWindow, PageActivate,
                                           PageDeactivate, PageApply, PageSize};

}  // namespace

TServer::TServer() : server_{{&ServerTable}, this}, page_{{&PageTable}, this} {}

IPluginSettingsPage* TServer::PageInterface()
{
    TSettingsPage* page = nullptr;
    if (K_FAILED(Guard([&] { page = SettingsPage(); })) || !page) return nullptr;
    AddRef();
    return &page_.com;
}

TServer::~TServer()
{
    if (client_) client_->lpVtbl->Release(client_);
}

KResult TServer::Query(const KGuid* iid, void** out)
{
    if (!out || !iid) return K_E_POINTER;
    *out = nullptr;
    if (SameGuid(*iid, KESTREL_IID_IUNKNOWN) || SameGuid(*iid, KESTREL_IID_IBCSERVERV1)) *out = &server_;
    else *out = Offer(*iid);
    if (!*out) return K_E_NOINTERFACE;
    AddRef();
    return K_S_OK;
}

uint32_t TServer::Release()
{
    const uint32_t left = --references_;
    if (left == 0) delete this;
    return left;
}

KResult TServer::Initialize(IBCClientV1* client)
{
    if (!client) return K_E_POINTER;
    TCollected key;
    const KTextOut out{&key, &TCollected::Append};
    // Without a settings key the plug-in still works, with its settings at the top of the file.
    if (K_FAILED(client->lpVtbl->GetRegistryKey(client, &out))) key.text.clear();
    if (client_) client_->lpVtbl->Release(client_);
    client_ = client;
    client_->lpVtbl->AddRef(client_);
    registryKey_ = key.text;
    return K_S_OK;
}

TPluginSettings::TPluginSettings(const QString& registryKey, const QString& plugin)
    : file_(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/kestrel/settings.ini"),
      group_(QString(registryKey + u"\\Plugins\\" + plugin).replace(u'\\', u'/'))
{
}

QString TPluginSettings::Read(const QString& name, const QString& def) const
{
    QSettings settings(file_, QSettings::IniFormat);
    settings.beginGroup(group_);
    const QVariant value = settings.value(name);
    return value.isValid() ? value.toString() : def;
}

void TPluginSettings::Write(const QString& name, const QString& value)
{
    QSettings settings(file_, QSettings::IniFormat);
    settings.beginGroup(group_);
    settings.setValue(name, value);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw EPluginError(QStringLiteral("設定ファイル「%1」に書き込めませんでした").arg(file_));
}

TRequest ReadRequest(const QString& text)
{
    TRequest request;
    QXmlStreamReader xml(text);
    int depth = 0;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::DTD) throw EPluginError(QStringLiteral("要求に文書型定義があります"));
        if (token == QXmlStreamReader::EndElement) --depth;
        if (token != QXmlStreamReader::StartElement) continue;
        ++depth;
        const QXmlStreamAttributes a = xml.attributes();
        if (depth == 1) {
            request.source = a.value(QLatin1String("source")).toString();
            request.dataServer = a.value(QLatin1String("dataServer")).toString();
            request.album.title = a.value(QLatin1String("title")).toString();
            request.album.artist = a.value(QLatin1String("artist")).toString();
        } else if (depth == 2 && xml.name() == u"proxy") {
            request.proxy = {!a.hasAttribute(QLatin1String("direct")) || Flag(a.value(QLatin1String("direct")).toString()),
                             a.value(QLatin1String("server")).toString(),
                             a.value(QLatin1String("port")).toString(),
                             Flag(a.value(QLatin1String("authorization")).toString()),
                             a.value(QLatin1String("account")).toString(),
                             a.value(QLatin1String("password")).toString()};
        } else if (depth == 2 && xml.name() == u"track") {
            request.album.tracks.push_back(ReadTrack(a));
        }
    }
    if (xml.hasError()) throw EPluginError(QStringLiteral("要求の XML が正しくありません: %1").arg(xml.errorString()));
    return request;
}

QString WriteResult(const std::vector<TAlbumData>& albums, const QStringList& warnings)
{
    QString text;
    QXmlStreamWriter xml(&text);
    xml.writeStartElement(QStringLiteral("root"));
    for (const TAlbumData& album : albums) WriteAlbum(xml, album);
    for (const QString& warning : warnings) {
        xml.writeStartElement(QStringLiteral("warning"));
        xml.writeAttribute(QStringLiteral("text"), warning);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    return text;
}

QString WriteError(const QString& message)
{
    QString text;
    QXmlStreamWriter xml(&text);
    xml.writeStartElement(QStringLiteral("root"));
    xml.writeStartElement(QStringLiteral("error"));
    xml.writeAttribute(QStringLiteral("text"), message);
    xml.writeEndElement();
    xml.writeEndElement();
    return text;
}

QString WriteDescription(const QString& name, const QStringList& dataServers)
{
    QString text;
    QXmlStreamWriter xml(&text);
    xml.writeStartElement(QStringLiteral("plugin"));
    xml.writeAttribute(QStringLiteral("name"), name);
    for (const QString& server : dataServers) {
        xml.writeStartElement(QStringLiteral("dataServer"));
        xml.writeAttribute(QStringLiteral("name"), server);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    return text;
}

QString FramesToTime(long frames)
{
    const long seconds = frames / 75;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void TStatus::Set(const QString& text)
{
    if (!host_) return;
    const KText k{reinterpret_cast<const uint16_t*>(text.utf16()), uint32_t(text.size())};
    host_->lpVtbl->SetStatus(host_, &k);
}

// Importer calls.
namespace {

TImporter* ImporterOf(IMusicDataImporter* self)
{
    return static_cast<TImporter*>(TServer::Owner(self));
}

template <class I>
KResult ServerSettingsPage(I* self, IPluginSettingsPage** page)
{
    if (!page) return K_E_POINTER;
    *page = TServer::Owner(self)->PageInterface();
    return K_S_OK;
}

KResult ImporterSettingsPage(IMusicDataImporter* self, IPluginSettingsPage** page)
{
    return ServerSettingsPage(self, page);
}

KResult ImporterDescription(IMusicDataImporter* self, const KTextOut* out)
{
    KResult status = K_S_OK;
    const KResult guarded = Guard([&] { status = WriteText(out, ImporterOf(self)->Description()); });
    return K_FAILED(guarded) ? guarded : status;
}

KResult ImporterPrepare(IMusicDataImporter* self, const KText* request, int32_t* ok)
{
    if (!ok) return K_E_POINTER;
    return Guard([&] { *ok = ImporterOf(self)->Prepare(ReadRequest(FromKText(request))) ? 1 : 0; });
}

KResult ImporterImport(IMusicDataImporter* self, const KText* request, IStatusHost* host, const KTextOut* result)
{
    KResult status = K_S_OK;
    const KResult guarded = Guard([&] {
        TStatus progress(host);
        QString document;
        try {
            document = ImporterOf(self)->Import(ReadRequest(FromKText(request)), progress);
        } catch (const EPluginError& e) {
            // The host shows the reason with the plug-in's name.
            document = WriteError(e.Message());
        }
        status = WriteText(result, document);
    });
    return K_FAILED(guarded) ? guarded : status;
}

KResult ImporterCancel(IMusicDataImporter* self)
{
    return Guard([&] { ImporterOf(self)->Cancel(); });
}

KResult ImporterFinish(IMusicDataImporter* self)
{
    return Guard([&] { ImporterOf(self)->Finish(); });
}

const IMusicDataImporterVtbl ImporterTable = {KIT_UNKNOWN(IMusicDataImporter), ImporterSettingsPage,
                                              ImporterDescription, ImporterPrepare, ImporterImport,
                                              ImporterCancel, ImporterFinish};

TExporter* ExporterOf(IMusicDataExporter* self)
{
    return static_cast<TExporter*>(TServer::Owner(self));
}

KResult ExporterSettingsPage(IMusicDataExporter* self, IPluginSettingsPage** page)
{
    return ServerSettingsPage(self, page);
}

KResult ExporterDescription(IMusicDataExporter* self, const KTextOut* out)
{
    KResult status = K_S_OK;
    const KResult guarded = Guard([&] { status = WriteText(out, ExporterOf(self)->Description()); });
    return K_FAILED(guarded) ? guarded : status;
}

KResult ExporterPrepare(IMusicDataExporter* self, const KText* request, int32_t* ok)
{
    if (!ok) return K_E_POINTER;
    return Guard([&] { *ok = ExporterOf(self)->Prepare(ReadRequest(FromKText(request))) ? 1 : 0; });
}

KResult ExporterExport(IMusicDataExporter* self, const KText* request, IStatusHost* host, int32_t* ok)
{
    if (!ok) return K_E_POINTER;
    return Guard([&] {
        TStatus progress(host);
        *ok = ExporterOf(self)->Export(ReadRequest(FromKText(request)), progress) ? 1 : 0;
    });
}

KResult ExporterFinish(IMusicDataExporter* self)
{
    return Guard([&] { ExporterOf(self)->Finish(); });
}

const IMusicDataExporterVtbl ExporterTable = {KIT_UNKNOWN(IMusicDataExporter), ExporterSettingsPage,
                                              ExporterDescription, ExporterPrepare, ExporterExport, ExporterFinish};

}  // namespace

TImporter::TImporter() : importer_{{&ImporterTable}, this} {}

void* TImporter::Offer(const KGuid& iid)
{
    return SameGuid(iid, KESTREL_IID_IMUSICDATAIMPORTER) ? &importer_ : nullptr;
}

TExporter::TExporter() : exporter_{{&ExporterTable}, this} {}

void* TExporter::Offer(const KGuid& iid)
{
    return SameGuid(iid, KESTREL_IID_IMUSICDATAEXPORTER) ? &exporter_ : nullptr;
}

struct TImageCalls {
    static TImageServer* Of(IBCImageServer* self) { return static_cast<TImageServer*>(TServer::Owner(self)); }

    static KResult Acquire(IBCImageServer* self, uint64_t parent, uint32_t* width, uint32_t* height)
    {
        if (!width || !height) return K_E_POINTER;
        TImageServer* server = Of(self);
        const KResult status = Guard([&] { server->pixels_ = server->Acquire(parent); });
        if (K_FAILED(status)) return status;
        *width = server->pixels_.width;
        *height = server->pixels_.height;
        return server->pixels_.data.empty() ? K_S_FALSE : K_S_OK;
    }

    static KResult ReadPixels(IBCImageServer* self, uint8_t* pixels, uint32_t stride, uint32_t height)
    {
        const TPixels& picture = Of(self)->pixels_;
        if (!pixels) return K_E_POINTER;
        if (height != picture.height || stride < picture.width * 4) return K_E_INVALIDARG;
        for (uint32_t y = 0; y < height; ++y)
            std::memcpy(pixels + size_t(y) * stride, picture.data.data() + size_t(y) * picture.width, picture.width * 4);
        return K_S_OK;
    }
};

namespace {
const IBCImageServerVtbl ImageTable = {KIT_UNKNOWN(IBCImageServer), &TImageCalls::Acquire, &TImageCalls::ReadPixels};
}

TImageServer::TImageServer() : image_{{&ImageTable}, this} {}

void* TImageServer::Offer(const KGuid& iid)
{
    return SameGuid(iid, KESTREL_IID_IBCIMAGESERVER) ? &image_ : nullptr;
}

}  // namespace kestrel::plugin

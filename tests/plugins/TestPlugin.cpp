// Plug-ins the host is tested with, one library per variant (TEST_PLUGIN_<VARIANT>):
//   GOOD       an image server with a 3×2 picture and a music importer whose description names
//              two data servers, the second one the program's name as the client tells it
//   THROWING   a music importer whose initialisation throws
//   FAILING    a catalogue whose initialisation fails
//   MALFORMED  a music importer with malformed XML and an image server with an oversized picture
//   LONGNAME   a catalogue whose server name never ends
//   EXPORTER   only a music exporter
//   HANGING    a music importer whose import runs, reporting its status, until it is cancelled
// Importers append each call to the file named by KESTREL_TEST_PLUGIN_LOG ("<call> <library>").
// The good importer finds one album per request, titled with the request's data server.
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "kestrel/KestrelPlugin.h"

namespace {

KESTREL_GUID(ImageServerClass, 0x11111111, 0x2222, 0x3333, 0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x01);
KESTREL_GUID(ImporterClass, 0x11111111, 0x2222, 0x3333, 0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x02);
KESTREL_GUID(ExporterClass, 0x11111111, 0x2222, 0x3333, 0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x03);

bool Same(const KGuid* a, const KGuid& b)
{
    return a && std::memcmp(a, &b, sizeof b) == 0;
}

KResult Write(const KTextOut* out, const std::u16string& text)
{
    if (!out) return K_E_POINTER;
    return out->Write(out->context, reinterpret_cast<const uint16_t*>(text.data()), uint32_t(text.size()));
}

// What the client writes back.
struct Collected {
    std::u16string text;
    static KResult Append(void* context, const uint16_t* data, uint32_t length)
    {
        static_cast<Collected*>(context)->text.append(reinterpret_cast<const char16_t*>(data), length);
        return K_S_OK;
    }
};

enum Kind { kCatalog, kImageServer, kImporter, kExporter };

struct Entry {
    const KGuid* classId;
    const KGuid* category;
    std::u16string name;
};

#if defined(TEST_PLUGIN_GOOD)
const Entry Entries[] = {{&ImageServerClass, &KESTREL_CATID_IMAGE_SERVERS, u"テスト画像"},
                         {&ImporterClass, &KESTREL_CATID_MUSIC_IMPORTERS, u"テスト取得"}};
#elif defined(TEST_PLUGIN_THROWING) || defined(TEST_PLUGIN_FAILING)
const Entry Entries[] = {{&ImporterClass, &KESTREL_CATID_MUSIC_IMPORTERS, u"壊れた取得"}};
#elif defined(TEST_PLUGIN_MALFORMED)
const Entry Entries[] = {{&ImporterClass, &KESTREL_CATID_MUSIC_IMPORTERS, u"不正な説明"},
                         {&ImageServerClass, &KESTREL_CATID_IMAGE_SERVERS, u"巨大な画像"}};
#elif defined(TEST_PLUGIN_LONGNAME)
const Entry Entries[] = {{&ImporterClass, &KESTREL_CATID_MUSIC_IMPORTERS, std::u16string(100000, u'x')}};
#elif defined(TEST_PLUGIN_EXPORTER)
const Entry Entries[] = {{&ExporterClass, &KESTREL_CATID_MUSIC_EXPORTERS, u"テスト登録"}};
#elif defined(TEST_PLUGIN_HANGING)
const Entry Entries[] = {{&ImporterClass, &KESTREL_CATID_MUSIC_IMPORTERS, u"終わらない取得"}};
#endif
constexpr int EntryCount = int(sizeof Entries / sizeof Entries[0]);

struct Object {
    IBCServerV1 server;
    IPluginCatalog catalog;
    IBCImageServer image;
    IMusicDataImporter importer;
    IMusicDataExporter exporter;
    uint32_t references = 1;
    Kind kind;
    // Kept plain so that the object stays standard-layout for offsetof.
    char16_t appName[128];
    uint32_t appNameLength = 0;
    bool cancelled = false;

    KResult Query(const KGuid* iid, void** out);
};

template <class I>
Object* From(I* self)
{
    std::size_t offset = 0;
    if constexpr (std::is_same_v<I, IBCServerV1>) offset = offsetof(Object, server);
    else if constexpr (std::is_same_v<I, IPluginCatalog>) offset = offsetof(Object, catalog);
    else if constexpr (std::is_same_v<I, IBCImageServer>) offset = offsetof(Object, image);
    else if constexpr (std::is_same_v<I, IMusicDataImporter>) offset = offsetof(Object, importer);
    else offset = offsetof(Object, exporter);
    return reinterpret_cast<Object*>(reinterpret_cast<char*>(self) - offset);
}

template <class I>
KResult QueryInterface(I* self, const KGuid* iid, void** out)
{
    return From(self)->Query(iid, out);
}

template <class I>
uint32_t AddRef(I* self)
{
    return ++From(self)->references;
}

template <class I>
uint32_t Release(I* self)
{
    Object* object = From(self);
    const uint32_t left = --object->references;
    if (left == 0) delete object;
    return left;
}

#define UNKNOWN(I) QueryInterface<I>, AddRef<I>, Release<I>

KResult Initialize(IBCServerV1* self, IBCClientV1* client)
{
    Object* object = From(self);
#if defined(TEST_PLUGIN_THROWING)
    if (object->kind != kCatalog) throw std::runtime_error("no disc service configured");
#elif defined(TEST_PLUGIN_FAILING)
    return K_E_FAIL;
#endif
    Collected name;
    const KTextOut out{&name, &Collected::Append};
    const KResult status = client->lpVtbl->GetAppName(client, &out);
    if (K_FAILED(status)) return status;
    object->appNameLength = uint32_t(name.text.copy(object->appName, sizeof object->appName / sizeof(char16_t)));
    return K_S_OK;
}

KResult GetCount(IPluginCatalog*, int32_t* count)
{
    *count = EntryCount;
    return K_S_OK;
}

KResult GetClassId(IPluginCatalog*, int32_t index, KGuid* classId)
{
    if (index < 0 || index >= EntryCount) return K_E_INVALIDARG;
    *classId = *Entries[index].classId;
    return K_S_OK;
}

KResult GetCategory(IPluginCatalog*, int32_t index, KGuid* category)
{
    if (index < 0 || index >= EntryCount) return K_E_INVALIDARG;
    *category = *Entries[index].category;
    return K_S_OK;
}

KResult GetName(IPluginCatalog*, int32_t index, const KTextOut* name)
{
    if (index < 0 || index >= EntryCount) return K_E_INVALIDARG;
    return Write(name, Entries[index].name);
}

// A 3×2 picture: red, green, blue over white, half-transparent black, black.
const uint32_t Picture[2][3] = {{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu}, {0xFFFFFFFFu, 0x80000000u, 0xFF000000u}};

KResult Acquire(IBCImageServer*, uint64_t, uint32_t* width, uint32_t* height)
{
#if defined(TEST_PLUGIN_MALFORMED)
    *width = 100000;
    *height = 100000;
#else
    *width = 3;
    *height = 2;
#endif
    return K_S_OK;
}

KResult ReadPixels(IBCImageServer*, uint8_t* pixels, uint32_t stride, uint32_t height)
{
    if (height != 2 || stride < sizeof Picture[0]) return K_E_INVALIDARG;
    for (uint32_t y = 0; y < height; ++y) std::memcpy(pixels + y * stride, Picture[y], sizeof Picture[y]);
    return K_S_OK;
}

KResult GetImporterSettingsPage(IMusicDataImporter*, IPluginSettingsPage** page)
{
    *page = nullptr;
    return K_S_OK;
}

KResult GetImporterDescription(IMusicDataImporter* self, const KTextOut* description)
{
#if defined(TEST_PLUGIN_MALFORMED)
    return Write(description, u"<plugin name=\"不正な説明\"><dataServer name=\"A\">");
#elif defined(TEST_PLUGIN_HANGING)
    return Write(description, u"<plugin name=\"終わらない取得\"/>");
#else
    // Written in two pieces, as a plug-in streaming its document would.
    const KResult status = Write(description, u"<plugin name=\"テスト取得\"><dataServer name=\"サーバーA\"/>");
    if (K_FAILED(status)) return status;
    return Write(description, u"<dataServer name=\"" + std::u16string(From(self)->appName, From(self)->appNameLength) + u"\"/></plugin>");
#endif
}

void Log(const char* call)
{
    const char* file = std::getenv("KESTREL_TEST_PLUGIN_LOG");
    if (!file) return;
    if (FILE* log = std::fopen(file, "a")) {
        std::fprintf(log, "%s %s\n", call, TEST_PLUGIN_NAME);
        std::fclose(log);
    }
}

KResult Prepare(IMusicDataImporter*, const KText*, int32_t* ok)
{
    Log("Prepare");
    *ok = 1;
    return K_S_OK;
}

// The value of attribute name="..." in the request, as it stands.
std::u16string Attribute(const KText* request, const std::u16string& name)
{
    const std::u16string text(reinterpret_cast<const char16_t*>(request->data), request->length);
    const std::u16string key = name + u"=\"";
    const std::size_t start = text.find(key);
    if (start == std::u16string::npos) return {};
    const std::size_t end = text.find(u'"', start + key.size());
    return text.substr(start + key.size(), end - start - key.size());
}

KResult Import(IMusicDataImporter* self, const KText* request, IStatusHost* status, const KTextOut* result)
{
    Log("Import");
#if defined(TEST_PLUGIN_HANGING)
    Object* object = From(self);
    object->cancelled = false;
    const std::u16string waiting = u"待っています";
    const KText text{reinterpret_cast<const uint16_t*>(waiting.data()), uint32_t(waiting.size())};
    for (int i = 0; i < 100000 && !object->cancelled; ++i) status->lpVtbl->SetStatus(status, &text);
    if (!object->cancelled) return K_E_FAIL;
    return Write(result, u"<root/>");
#else
    return Write(result, u"<root><album source=\"テスト\" title=\"" + Attribute(request, u"dataServer") +
                             u"\" artist=\"歌手\" genre=\"Pop\"><track title=\"一曲目\" time=\"3:05\" "
                             u"artist=\"歌手\"/></album></root>");
#endif
}

KResult Cancel(IMusicDataImporter* self)
{
    Log("Cancel");
    From(self)->cancelled = true;
    return K_S_OK;
}

KResult Finish(IMusicDataImporter*)
{
    Log("Finish");
    return K_S_OK;
}

KResult GetExporterSettingsPage(IMusicDataExporter*, IPluginSettingsPage** page)
{
    *page = nullptr;
    return K_S_OK;
}

KResult GetExporterDescription(IMusicDataExporter*, const KTextOut* description)
{
    return Write(description, u"<plugin name=\"テスト登録\"/>");
}

KResult PrepareExport(IMusicDataExporter*, const KText*, int32_t* ok)
{
    *ok = 1;
    return K_S_OK;
}

KResult Export(IMusicDataExporter*, const KText*, IStatusHost*, int32_t* ok)
{
    *ok = 1;
    return K_S_OK;
}

KResult FinishExport(IMusicDataExporter*)
{
    return K_S_OK;
}

const IBCServerV1Vtbl ServerTable = {UNKNOWN(IBCServerV1), Initialize};
const IPluginCatalogVtbl CatalogTable = {UNKNOWN(IPluginCatalog), GetCount, GetClassId, GetCategory, GetName};
const IBCImageServerVtbl ImageTable = {UNKNOWN(IBCImageServer), Acquire, ReadPixels};
const IMusicDataImporterVtbl ImporterTable = {
    UNKNOWN(IMusicDataImporter), GetImporterSettingsPage, GetImporterDescription, Prepare, Import, Cancel, Finish};
const IMusicDataExporterVtbl ExporterTable = {
    UNKNOWN(IMusicDataExporter), GetExporterSettingsPage, GetExporterDescription, PrepareExport, Export, FinishExport};

KResult Object::Query(const KGuid* iid, void** out)
{
    if (!out) return K_E_POINTER;
    *out = nullptr;
    if (Same(iid, KESTREL_IID_IUNKNOWN) || Same(iid, KESTREL_IID_IBCSERVERV1)) *out = &server;
    else if (kind == kCatalog && Same(iid, KESTREL_IID_IPLUGINCATALOG)) *out = &catalog;
    else if (kind == kImageServer && Same(iid, KESTREL_IID_IBCIMAGESERVER)) *out = &image;
    else if (kind == kImporter && Same(iid, KESTREL_IID_IMUSICDATAIMPORTER)) *out = &importer;
    else if (kind == kExporter && Same(iid, KESTREL_IID_IMUSICDATAEXPORTER)) *out = &exporter;
    else return K_E_NOINTERFACE;
    ++references;
    return K_S_OK;
}

struct Factory {
    IKClassFactory com;
    Kind kind;
};

Factory* FactoryOf(IKClassFactory* self)
{
    return reinterpret_cast<Factory*>(self);
}

KResult FactoryQuery(IKClassFactory* self, const KGuid* iid, void** out)
{
    if (!Same(iid, KESTREL_IID_ICLASSFACTORY) && !Same(iid, KESTREL_IID_IUNKNOWN)) return K_E_NOINTERFACE;
    *out = self;
    return K_S_OK;
}

uint32_t FactoryRefs(IKClassFactory*)
{
    return 1;
}

KResult CreateInstance(IKClassFactory* self, const KGuid* iid, void** out)
{
    auto* object = new Object{{&ServerTable}, {&CatalogTable}, {&ImageTable}, {&ImporterTable}, {&ExporterTable},
                              1, FactoryOf(self)->kind, {}, 0};
    const KResult status = object->Query(iid, out);
    Release(&object->server);
    return status;
}

const IKClassFactoryVtbl FactoryTable = {FactoryQuery, FactoryRefs, FactoryRefs, CreateInstance};
Factory Factories[] = {{{&FactoryTable}, kCatalog},
                       {{&FactoryTable}, kImageServer},
                       {{&FactoryTable}, kImporter},
                       {{&FactoryTable}, kExporter}};

}  // namespace

extern "C" KResult DllGetClassObject(const KGuid* classId, const KGuid* iid, void** object)
{
    if (!object) return K_E_POINTER;
    *object = nullptr;
    if (!Same(iid, KESTREL_IID_ICLASSFACTORY)) return K_E_NOINTERFACE;
    Factory* factory = Same(classId, KESTREL_CLSID_PLUGIN_CATALOG) ? &Factories[0]
                       : Same(classId, ImageServerClass)             ? &Factories[1]
                       : Same(classId, ImporterClass)                ? &Factories[2]
                       : Same(classId, ExporterClass)                ? &Factories[3]
                                                                     : nullptr;
    if (!factory) return K_CLASS_E_CLASSNOTAVAILABLE;
    *object = &factory->com;
    return K_S_OK;
}

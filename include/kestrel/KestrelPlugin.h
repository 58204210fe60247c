/*
 * Kestrel plug-in interface.
 *
 * A plug-in is a shared library ("*.so") in Kestrel's "Plugins" folder that exports one C
 * function, DllGetClassObject. Objects are reference counted: every interface starts with
 * QueryInterface, AddRef and Release, and an object handed out carries one reference for the
 * receiver. Every method returns a KResult: 0 (K_S_OK) or another non-negative value for
 * success, a negative value (high bit set) for failure.
 *
 * Each library has a catalogue object (class id KESTREL_CLSID_PLUGIN_CATALOG) offering
 * IBCServerV1 and IPluginCatalog; it lists the servers of the library with their class id,
 * category and name. A server is created through the class factory of its class id, asked for
 * IBCServerV1 and initialised with the host's client (IBCClientV1), then asked for the interface
 * of its category.
 *
 * Text is UTF-16. Text going in is a KText (pointer and length, no terminator). Text coming out
 * is written through a KTextOut the caller provides, in one or more pieces; the caller bounds
 * what it accepts, and a Write that returns a failure means "stop, no more is taken".
 *
 * XML documents travel as text. Everything a plug-in hands to Kestrel is checked: names,
 * documents and pictures beyond their limits, malformed XML and invalid UTF-16 are refused with
 * a message that names the plug-in.
 *
 * Calls come from Kestrel's user-interface thread only.
 */
#ifndef KESTREL_PLUGIN_H
#define KESTREL_PLUGIN_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t KResult;

#define K_S_OK ((KResult)0)
#define K_S_FALSE ((KResult)1)
#define K_E_NOTIMPL ((KResult)0x80004001u)
#define K_E_NOINTERFACE ((KResult)0x80004002u)
#define K_E_POINTER ((KResult)0x80004003u)
#define K_E_ABORT ((KResult)0x80004004u)
#define K_E_FAIL ((KResult)0x80004005u)
#define K_E_OUTOFMEMORY ((KResult)0x8007000Eu)
#define K_E_INVALIDARG ((KResult)0x80070057u)
#define K_CLASS_E_CLASSNOTAVAILABLE ((KResult)0x80040111u)
/* The library could not be loaded or lacks its entry point. */
#define K_CO_E_ERRORINDLL ((KResult)0x800401F8u)

#define K_FAILED(status) ((KResult)(status) < 0)

/* A 128-bit identifier, laid out as {Data1-Data2-Data3-Data4[0..1]-Data4[2..7]}. */
typedef struct KGuid {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
} KGuid;

#define KESTREL_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
    static const KGuid name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}

typedef struct KText {
    const uint16_t* data;
    uint32_t length;
} KText;

typedef struct KTextOut {
    void* context;
    KResult (*Write)(void* context, const uint16_t* data, uint32_t length);
} KTextOut;

/* Categories of servers. */
KESTREL_GUID(KESTREL_CATID_IMAGE_SERVERS, 0x0D01349C, 0x343D, 0x490A, 0xA3, 0x63, 0x64, 0x13, 0x0F, 0xB9, 0x1C, 0x83);
KESTREL_GUID(KESTREL_CATID_RESERVED, 0x07BEF9A3, 0x18CD, 0x4102, 0xB5, 0x5C, 0x32, 0x28, 0xE2, 0xDC, 0x91, 0x23);
KESTREL_GUID(KESTREL_CATID_MUSIC_IMPORTERS, 0xE0A55BD2, 0x2A9B, 0x4B31, 0x8D, 0x43, 0x72, 0x3F, 0xDA, 0x15, 0x93, 0x24);
KESTREL_GUID(KESTREL_CATID_MUSIC_EXPORTERS, 0x489CD1F4, 0xA8AA, 0x459C, 0xA2, 0x04, 0x19, 0xE1, 0x20, 0x71, 0xFC, 0xA7);

/* Interfaces. */
KESTREL_GUID(KESTREL_IID_IUNKNOWN, 0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
KESTREL_GUID(KESTREL_IID_ICLASSFACTORY, 0x00000001, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
KESTREL_GUID(KESTREL_IID_IPLUGINCATALOG, 0x94EC3A94, 0x13A1, 0x4FB0, 0xBC, 0x23, 0x89, 0x32, 0x5A, 0xDC, 0x78, 0x76);
KESTREL_GUID(KESTREL_CLSID_PLUGIN_CATALOG, 0x94EC3A94, 0x13A1, 0x4FB0, 0xBC, 0x23, 0x89, 0x32, 0x5A, 0xDC, 0x78, 0x76);
KESTREL_GUID(KESTREL_IID_IBCSERVERV1, 0xEDA01AB8, 0x6659, 0x4DD4, 0x94, 0x80, 0x0D, 0x52, 0xD0, 0x66, 0x5D, 0xF5);
KESTREL_GUID(KESTREL_IID_IBCCLIENTV1, 0x7BF0723E, 0x2701, 0x437A, 0xB4, 0xCE, 0xF6, 0x56, 0x49, 0xF6, 0x83, 0x8F);
KESTREL_GUID(KESTREL_IID_IBCIMAGESERVER, 0x5B3E8A61, 0x94C2, 0x4F0D, 0x8E, 0x37, 0x2A, 0xD1, 0x6C, 0x4B, 0x90, 0xE5);
KESTREL_GUID(KESTREL_IID_IMUSICDATAIMPORTER, 0x58C58768, 0x78F7, 0x474D, 0x91, 0x37, 0x50, 0xF7, 0x83, 0x90, 0x87, 0x2F);
KESTREL_GUID(KESTREL_IID_IMUSICDATAEXPORTER, 0xD4D4D2D8, 0x7697, 0x45A7, 0xBD, 0x12, 0x8C, 0x84, 0x8B, 0xCA, 0xF4, 0xE9);
KESTREL_GUID(KESTREL_IID_IPLUGINSETTINGSPAGE, 0x6FEB5993, 0xCBE2, 0x4F19, 0xA2, 0x49, 0x21, 0x2B, 0xFB, 0x43, 0x71, 0xD8);

#define KESTREL_UNKNOWN_METHODS(Self)                                        \
    KResult (*QueryInterface)(Self * self, const KGuid* iid, void** object); \
    uint32_t (*AddRef)(Self * self);                                         \
    uint32_t (*Release)(Self * self);

#define KESTREL_INTERFACE(Name) \
    typedef struct Name Name;   \
    typedef struct Name##Vtbl Name##Vtbl;  \
    struct Name {               \
        const Name##Vtbl* lpVtbl; \
    }

KESTREL_INTERFACE(IKUnknown);
struct IKUnknownVtbl {
    KESTREL_UNKNOWN_METHODS(IKUnknown)
};

KESTREL_INTERFACE(IKClassFactory);
struct IKClassFactoryVtbl {
    KESTREL_UNKNOWN_METHODS(IKClassFactory)
    KResult (*CreateInstance)(IKClassFactory* self, const KGuid* iid, void** object);
};

/* The host's object handed to every server. */
KESTREL_INTERFACE(IBCClientV1);
struct IBCClientV1Vtbl {
    KESTREL_UNKNOWN_METHODS(IBCClientV1)
    /* The program's name. */
    KResult (*GetAppName)(IBCClientV1* self, const KTextOut* name);
    /* The settings key of the program; a plug-in keeps its own settings below it. */
    KResult (*GetRegistryKey)(IBCClientV1* self, const KTextOut* key);
    /* The native window of the active form (an X11 window id), 0 when there is none. */
    KResult (*GetMainWindow)(IBCClientV1* self, uint64_t* window);
    /* The text with the program's macros "$(Name)" expanded. */
    KResult (*ExpandMacro)(IBCClientV1* self, const KText* text, const KTextOut* result);
};

/* Every server. */
KESTREL_INTERFACE(IBCServerV1);
struct IBCServerV1Vtbl {
    KESTREL_UNKNOWN_METHODS(IBCServerV1)
    /* Called once, right after creation. A server may keep the client (AddRef it). */
    KResult (*Initialize)(IBCServerV1* self, IBCClientV1* client);
};

/* The catalogue of a library. At most 256 servers, names of 1 to 256 characters. */
KESTREL_INTERFACE(IPluginCatalog);
struct IPluginCatalogVtbl {
    KESTREL_UNKNOWN_METHODS(IPluginCatalog)
    KResult (*GetCount)(IPluginCatalog* self, int32_t* count);
    KResult (*GetClassId)(IPluginCatalog* self, int32_t index, KGuid* classId);
    KResult (*GetCategory)(IPluginCatalog* self, int32_t index, KGuid* category);
    KResult (*GetName)(IPluginCatalog* self, int32_t index, const KTextOut* name);
};

/* An image server (category KESTREL_CATID_IMAGE_SERVERS) delivers one picture. */
KESTREL_INTERFACE(IBCImageServer);
struct IBCImageServerVtbl {
    KESTREL_UNKNOWN_METHODS(IBCImageServer)
    /* Lets the user take a picture (parentWindow as GetMainWindow gives it). K_S_OK with the
       picture's size when there is one, K_S_FALSE when the user cancelled. At most 30000 pixels
       each way and 2^26 pixels in all. */
    KResult (*Acquire)(IBCImageServer* self, uint64_t parentWindow, uint32_t* width, uint32_t* height);
    /* Copies the picture into pixels: height rows of stride bytes, top row first, each pixel a
       32-bit 0xAARRGGBB value in the machine's byte order (not premultiplied). */
    KResult (*ReadPixels)(IBCImageServer* self, uint8_t* pixels, uint32_t stride, uint32_t height);
};

/* Asked by a running import or export to show progress; lets the user cancel. */
KESTREL_INTERFACE(IStatusHost);
struct IStatusHostVtbl {
    KESTREL_UNKNOWN_METHODS(IStatusHost)
    KResult (*SetStatus)(IStatusHost* self, const KText* text);
};

/* A plug-in's page in the settings screen. */
KESTREL_INTERFACE(IPluginSettingsPage);
struct IPluginSettingsPageVtbl {
    KESTREL_UNKNOWN_METHODS(IPluginSettingsPage)
    KResult (*GetWindow)(IPluginSettingsPage* self, uint64_t* window);
    KResult (*Activate)(IPluginSettingsPage* self);
    KResult (*Deactivate)(IPluginSettingsPage* self);
    KResult (*Apply)(IPluginSettingsPage* self);
    KResult (*GetSize)(IPluginSettingsPage* self, int32_t* width, int32_t* height);
};

/*
 * Music disc importers and exporters exchange XML documents (at most 4 MiB of text).
 * Description: an element whose attribute "name" is the plug-in's display name, with optional
 * child elements "dataServer", each with an attribute "name" (at most 64 of them).
 */
KESTREL_INTERFACE(IMusicDataImporter);
struct IMusicDataImporterVtbl {
    KESTREL_UNKNOWN_METHODS(IMusicDataImporter)
    /* *page is set to NULL when there is no settings page. */
    KResult (*GetSettingsPage)(IMusicDataImporter* self, IPluginSettingsPage** page);
    KResult (*GetDescription)(IMusicDataImporter* self, const KTextOut* description);
    KResult (*Prepare)(IMusicDataImporter* self, const KText* request, int32_t* ok);
    KResult (*Import)(IMusicDataImporter* self, const KText* request, IStatusHost* status, const KTextOut* result);
    KResult (*Cancel)(IMusicDataImporter* self);
    KResult (*Finish)(IMusicDataImporter* self);
};

KESTREL_INTERFACE(IMusicDataExporter);
struct IMusicDataExporterVtbl {
    KESTREL_UNKNOWN_METHODS(IMusicDataExporter)
    KResult (*GetSettingsPage)(IMusicDataExporter* self, IPluginSettingsPage** page);
    KResult (*GetDescription)(IMusicDataExporter* self, const KTextOut* description);
    KResult (*Prepare)(IMusicDataExporter* self, const KText* request, int32_t* ok);
    KResult (*Export)(IMusicDataExporter* self, const KText* request, IStatusHost* status, int32_t* ok);
    KResult (*Finish)(IMusicDataExporter* self);
};

/* The one entry point: the class factory of classId, offering the interface iid. */
typedef KResult (*KestrelGetClassObjectFunction)(const KGuid* classId, const KGuid* iid, void** object);
#define KESTREL_PLUGIN_ENTRY "DllGetClassObject"

#if defined(__GNUC__)
#define KESTREL_PLUGIN_EXPORT __attribute__((visibility("default")))
#else
#define KESTREL_PLUGIN_EXPORT
#endif

KESTREL_PLUGIN_EXPORT KResult DllGetClassObject(const KGuid* classId, const KGuid* iid, void** object);

#ifdef __cplusplus
}
#endif

#endif

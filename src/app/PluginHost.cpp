#include "app/PluginHost.h"

#include <QDir>
#include <QFileInfo>
#include <cstring>
#include <map>

#include "app/PluginClient.h"

namespace kestrel {

namespace {

constexpr int kMaxServersPerLibrary = 256;
constexpr qsizetype kMaxNameLength = 256;

QString StatusText(KResult status)
{
    return QStringLiteral("0x") + QString::number(quint32(status), 16).toUpper().rightJustified(8, u'0');
}

bool SameGuid(const KGuid& a, const KGuid& b)
{
    return std::memcmp(&a, &b, sizeof(KGuid)) == 0;
}

// Collects what a plug-in writes, refusing more than the limit.
struct TTextCollector {
    QString text;
    qsizetype limit;
    bool overflow = false;

    static KResult Write(void* context, const uint16_t* data, uint32_t length)
    {
        auto& self = *static_cast<TTextCollector*>(context);
        if (length == 0) return K_S_OK;
        if (!data) return K_E_POINTER;
        if (self.overflow || qsizetype(length) > self.limit - self.text.size()) {
            self.overflow = true;
            return K_E_OUTOFMEMORY;
        }
        self.text.append(reinterpret_cast<const QChar*>(data), qsizetype(length));
        return K_S_OK;
    }
};

bool IsPrintable(const QString& text)
{
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format) return false;
    return true;
}

}  // namespace

QUuid ToUuid(const KGuid& guid)
{
    const uint8_t* b = guid.Data4;
    return QUuid(guid.Data1, guid.Data2, guid.Data3, b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]);
}

KGuid ToGuid(const QUuid& uuid)
{
    KGuid guid{uuid.data1, uuid.data2, uuid.data3, {}};
    std::memcpy(guid.Data4, uuid.data4, sizeof guid.Data4);
    return guid;
}

EPlugin::EPlugin(const QString& plugin, const QString& problem, KResult status)
    : EKestrel(QStringLiteral("プラグイン「%1」: %2").arg(plugin, problem)), status_(status)
{
}

std::shared_ptr<TPluginLibrary> TPluginLibrary::Load(const QString& file)
{
    // One object per library file, so that the library stays loaded exactly as long as anything
    // made from it lives, whoever loaded it.
    static std::map<QString, std::weak_ptr<TPluginLibrary>> loaded;
    const QString path = QFileInfo(file).absoluteFilePath();
    if (std::shared_ptr<TPluginLibrary> library = loaded[path].lock()) return library;
    std::shared_ptr<TPluginLibrary> library = LoadNew(path);
    loaded[path] = library;
    return library;
}

std::shared_ptr<TPluginLibrary> TPluginLibrary::LoadNew(const QString& file)
{
    // Not make_shared: the constructor is private.
    std::shared_ptr<TPluginLibrary> library(new TPluginLibrary(file));
    const QString label = library->Label();
    if (!QFileInfo(file).isFile())
        throw EPlugin(label, QStringLiteral("通常のファイルではありません"), K_CO_E_ERRORINDLL);
    // Every symbol is resolved now, so a library built against something missing is refused
    // here instead of failing in the middle of a call.
    library->library_.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    if (!library->library_.load())
        throw EPlugin(label, QStringLiteral("ライブラリとして読み込めません (%1)").arg(library->library_.errorString()),
                      K_CO_E_ERRORINDLL);
    library->entry_ = reinterpret_cast<KestrelGetClassObjectFunction>(library->library_.resolve(KESTREL_PLUGIN_ENTRY));
    if (!library->entry_)
        throw EPlugin(label, QStringLiteral("入口 %1 がありません").arg(QLatin1String(KESTREL_PLUGIN_ENTRY)),
                      K_CO_E_ERRORINDLL);
    return library;
}

TPluginLibrary::TPluginLibrary(const QString& file) : file_(QFileInfo(file).absoluteFilePath()), library_(file_) {}

TPluginLibrary::~TPluginLibrary()
{
    if (library_.isLoaded()) library_.unload();
}

QString TPluginLibrary::Label() const
{
    return QFileInfo(file_).fileName();
}

IKClassFactory* TPluginLibrary::ClassFactory(const QUuid& classId, const QString& label) const
{
    const KGuid id = ToGuid(classId);
    void* factory = nullptr;
    CheckPluginCall(label, QStringLiteral("クラスファクトリの取得"),
                    [&] { return entry_(&id, &KESTREL_IID_ICLASSFACTORY, &factory); });
    if (!factory) throw EPlugin(label, QStringLiteral("クラスファクトリがありません"), K_E_POINTER);
    return static_cast<IKClassFactory*>(factory);
}

KResult CallPlugin(const QString& label, const QString& what, const std::function<KResult()>& call)
{
    try {
        return call();
    } catch (const EKestrel&) {
        throw;
    } catch (const std::exception& e) {
        throw EPlugin(label, QStringLiteral("%1で例外が発生しました: %2").arg(what, QString::fromLocal8Bit(e.what())));
    } catch (...) {
        throw EPlugin(label, QStringLiteral("%1で例外が発生しました").arg(what));
    }
}

void CheckPluginCall(const QString& label, const QString& what, const std::function<KResult()>& call)
{
    const KResult status = CallPlugin(label, what, call);
    if (K_FAILED(status))
        throw EPlugin(label, QStringLiteral("%1に失敗しました (状態 %2)").arg(what, StatusText(status)), status);
}

QString ReadPluginText(const QString& label, const QString& what, qsizetype limit,
                       const std::function<KResult(const KTextOut*)>& call)
{
    TTextCollector collector{{}, limit};
    const KTextOut out{&collector, &TTextCollector::Write};
    const KResult status = CallPlugin(label, what, [&] { return call(&out); });
    if (collector.overflow)
        throw EPlugin(label, QStringLiteral("%1が長すぎます (上限 %2 文字)").arg(what).arg(limit), K_E_OUTOFMEMORY);
    if (K_FAILED(status))
        throw EPlugin(label, QStringLiteral("%1に失敗しました (状態 %2)").arg(what, StatusText(status)), status);
    if (!QStringView(collector.text).isValidUtf16())
        throw EPlugin(label, QStringLiteral("%1が正しい UTF-16 ではありません").arg(what), K_E_INVALIDARG);
    return collector.text;
}

QString CheckPluginName(const QString& label, const QString& what, const QString& name)
{
    if (name.trimmed().isEmpty()) throw EPlugin(label, QStringLiteral("%1が空です").arg(what), K_E_INVALIDARG);
    if (name.size() > kMaxNameLength)
        throw EPlugin(label, QStringLiteral("%1が長すぎます (上限 %2 文字)").arg(what).arg(kMaxNameLength),
                      K_E_INVALIDARG);
    if (!IsPrintable(name) || !QStringView(name).isValidUtf16())
        throw EPlugin(label, QStringLiteral("%1に使えない文字があります").arg(what), K_E_INVALIDARG);
    return name;
}

QString ReadPluginName(const QString& label, const QString& what,
                       const std::function<KResult(const KTextOut*)>& call)
{
    return CheckPluginName(label, what, ReadPluginText(label, what, kMaxNameLength, call));
}

namespace {

// Creates classId from the library as a server and initialises it with the client.
TPluginRef<IBCServerV1> CreateServerFrom(const std::shared_ptr<TPluginLibrary>& library, const QUuid& classId,
                                         TBCAppFrameClient& client, const QString& label)
{
    IKClassFactory* factory = library->ClassFactory(classId, label);
    TPluginRef<IKClassFactory> factoryRef(library, factory, label);
    void* object = nullptr;
    CheckPluginCall(label, QStringLiteral("オブジェクトの作成"), [&] {
        return factory->lpVtbl->CreateInstance(factory, &KESTREL_IID_IBCSERVERV1, &object);
    });
    if (!object) throw EPlugin(label, QStringLiteral("オブジェクトがありません"), K_E_POINTER);
    TPluginRef<IBCServerV1> server(library, static_cast<IBCServerV1*>(object), label);
    CheckPluginCall(label, QStringLiteral("初期化"),
                    [&] { return server.Get()->lpVtbl->Initialize(server.Get(), client.Interface()); });
    return server;
}

}  // namespace

TPluginRef<IBCServerV1> CreateFromLibrary(const QString& file, const QUuid& classId, TBCAppFrameClient& client,
                                          const QString& label)
{
    const std::shared_ptr<TPluginLibrary> library = TPluginLibrary::Load(file);
    return CreateServerFrom(library, classId, client, label.isEmpty() ? library->Label() : label);
}

TPluginList::TPluginList(const QUuid& category) : category_(category) {}

TPluginList::~TPluginList()
{
    Clear();
}

void TPluginList::LoadFolder(const QString& folder, TBCAppFrameClient& client)
{
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*.so")}, QDir::Files | QDir::CaseSensitive, QDir::Name);
    for (const QFileInfo& file : files) {
        try {
            LoadLibrary(file.absoluteFilePath(), client);
        } catch (const EKestrel& e) {
            refused_.push_back({file.absoluteFilePath(), e.Message()});
        } catch (const std::exception& e) {
            refused_.push_back({file.absoluteFilePath(), EPlugin(file.fileName(), QString::fromLocal8Bit(e.what())).Message()});
        }
    }
}

void TPluginList::LoadLibrary(const QString& file, TBCAppFrameClient& client)
{
    const std::shared_ptr<TPluginLibrary> library = TPluginLibrary::Load(file);
    const QString label = library->Label();
    TPluginRef<IPluginCatalog> catalog =
        CreateServerFrom(library, ToUuid(KESTREL_CLSID_PLUGIN_CATALOG), client, label)
            .Query<IPluginCatalog>(KESTREL_IID_IPLUGINCATALOG);
    if (!catalog) throw EPlugin(label, QStringLiteral("カタログがありません"), K_E_NOINTERFACE);
    IPluginCatalog* const c = catalog.Get();

    int32_t count = 0;
    CheckPluginCall(label, QStringLiteral("サーバー数の取得"), [&] { return c->lpVtbl->GetCount(c, &count); });
    if (count < 0 || count > kMaxServersPerLibrary)
        throw EPlugin(label, QStringLiteral("サーバー数 %1 は 0 から %2 の範囲にありません").arg(count).arg(kMaxServersPerLibrary),
                      K_E_INVALIDARG);
    // The whole catalogue is read before anything is listed, so a library is taken or refused whole.
    std::vector<TServerInfo> found;
    const KGuid wanted = ToGuid(category_);
    for (int32_t i = 0; i < count; ++i) {
        KGuid category{};
        CheckPluginCall(label, QStringLiteral("分類の取得"), [&] { return c->lpVtbl->GetCategory(c, i, &category); });
        if (!category_.isNull() && !SameGuid(category, wanted)) continue;
        KGuid classId{};
        CheckPluginCall(label, QStringLiteral("クラス ID の取得"), [&] { return c->lpVtbl->GetClassId(c, i, &classId); });
        const QString name = ReadPluginName(label, QStringLiteral("サーバー名"),
                                            [&](const KTextOut* out) { return c->lpVtbl->GetName(c, i, out); });
        found.push_back({ToUuid(classId), ToUuid(category), name, library->File()});
    }
    if (found.empty()) return;  // the catalogue and then the library are released
    servers_.insert(servers_.end(), found.begin(), found.end());
    libraries_.push_back(library);
}

TPluginRef<IBCServerV1> TPluginList::CreateServer(int index, TBCAppFrameClient& client) const
{
    const TServerInfo& server = Server(index);
    return CreateFromLibrary(server.Library, server.ClassId, client, ServerLabel(server));
}

void TPluginList::Clear()
{
    servers_.clear();
    refused_.clear();
    libraries_.clear();
}

QString ServerLabel(const TServerInfo& server)
{
    return QStringLiteral("%1 (%2)").arg(server.Name, QFileInfo(server.Library).fileName());
}

QString CategoryName(const QUuid& category)
{
    if (category == ToUuid(KESTREL_CATID_IMAGE_SERVERS)) return QStringLiteral("画像の取り込み");
    if (category == ToUuid(KESTREL_CATID_MUSIC_IMPORTERS)) return QStringLiteral("曲名データの取得");
    if (category == ToUuid(KESTREL_CATID_MUSIC_EXPORTERS)) return QStringLiteral("曲名データの登録");
    return category.toString(QUuid::WithBraces).toUpper();
}

}  // namespace kestrel

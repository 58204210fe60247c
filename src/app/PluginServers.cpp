#include "app/PluginServers.h"

#include "app/XMLIniFile.h"

namespace kestrel {

namespace {

const QString DescriptionWhat = QStringLiteral("説明");

template <class I>
QString DescriptionText(const TPluginRef<IBCServerV1>& server, const KGuid& iid)
{
    const TPluginRef<I> described = server.template Query<I>(iid);
    if (!described) throw EPlugin(server.Label(), QStringLiteral("分類のインターフェースがありません"), K_E_NOINTERFACE);
    I* const object = described.Get();
    return ReadPluginText(server.Label(), DescriptionWhat, kMaxPluginDocument, [&](const KTextOut* out) {
        return object->lpVtbl->GetDescription(object, out);
    });
}

void CheckImageSize(const QString& label, uint32_t width, uint32_t height)
{
    const bool fits = width >= 1 && height >= 1 && width <= uint32_t(kMaxPluginImageSide) &&
                      height <= uint32_t(kMaxPluginImageSide) && qint64(width) * height <= kMaxPluginImagePixels;
    if (!fits)
        throw EPlugin(label,
                      QStringLiteral("画像の大きさ %1×%2 は扱えません (各辺 %3 まで、%4 画素まで)")
                          .arg(width)
                          .arg(height)
                          .arg(kMaxPluginImageSide)
                          .arg(kMaxPluginImagePixels),
                      K_E_INVALIDARG);
}

}  // namespace

TPluginDescription ReadPluginDescription(const QString& label, const QString& xml)
{
    if (xml.size() > kMaxPluginDocument)
        throw EPlugin(label, QStringLiteral("説明が長すぎます (上限 %1 文字)").arg(kMaxPluginDocument), K_E_INVALIDARG);
    TXMLIniFile document;
    try {
        document.LoadFromText(xml);
    } catch (const EXMLStore& e) {
        throw EPlugin(label, QStringLiteral("説明の XML が正しくありません: %1").arg(e.Message()), K_E_INVALIDARG);
    }
    TPluginDescription description;
    description.Name = CheckPluginName(label, QStringLiteral("説明の name 属性"), document.ReadString("name", {}));
    const TXMLIniSectionList servers = document.GetSectionList(QStringLiteral("dataServer"));
    if (servers.Count() > kMaxDataServers)
        throw EPlugin(label, QStringLiteral("dataServer が %1 個を超えています").arg(kMaxDataServers), K_E_INVALIDARG);
    for (int i = 0; i < servers.Count(); ++i)
        description.DataServers << CheckPluginName(label, QStringLiteral("dataServer の name 属性"),
                                                   servers.Section(i).ReadString("name", {}));
    return description;
}

TPluginDescription DescribeServer(const TPluginRef<IBCServerV1>& server, const QUuid& category)
{
    const bool importer = category == ToUuid(KESTREL_CATID_MUSIC_IMPORTERS);
    const QString xml = importer ? DescriptionText<IMusicDataImporter>(server, KESTREL_IID_IMUSICDATAIMPORTER)
                                 : DescriptionText<IMusicDataExporter>(server, KESTREL_IID_IMUSICDATAEXPORTER);
    return ReadPluginDescription(server.Label(), xml);
}

QImage AcquirePluginImage(const TPluginRef<IBCServerV1>& server, quint64 parentWindow)
{
    const QString& label = server.Label();
    const TPluginRef<IBCImageServer> images = server.Query<IBCImageServer>(KESTREL_IID_IBCIMAGESERVER);
    if (!images) throw EPlugin(label, QStringLiteral("画像の取り込みができません"), K_E_NOINTERFACE);
    IBCImageServer* const object = images.Get();
    uint32_t width = 0, height = 0;
    KResult status = K_S_OK;
    CheckPluginCall(label, QStringLiteral("画像の取り込み"), [&] {
        status = object->lpVtbl->Acquire(object, parentWindow, &width, &height);
        return status;
    });
    if (status == K_S_FALSE) return {};
    CheckImageSize(label, width, height);
    QImage picture(int(width), int(height), QImage::Format_ARGB32);
    if (picture.isNull()) throw EPlugin(label, QStringLiteral("画像のメモリが足りません"), K_E_OUTOFMEMORY);
    picture.fill(Qt::transparent);
    CheckPluginCall(label, QStringLiteral("画素の読み込み"), [&] {
        return object->lpVtbl->ReadPixels(object, picture.bits(), uint32_t(picture.bytesPerLine()), height);
    });
    return picture;
}

}  // namespace kestrel

#include "cli/PluginCommands.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include "app/AppFrame.h"
#include "app/PluginClient.h"
#include "app/PluginHost.h"
#include "app/PluginServers.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "document/stream/JsonCodec.h"
#include "music/Albums.h"
#include "music/MusicDiscPlugins.h"
#include "platform/ProgramPaths.h"

namespace kestrel {

namespace {

bool HasDescription(const QUuid& category)
{
    return category == ToUuid(KESTREL_CATID_MUSIC_IMPORTERS) || category == ToUuid(KESTREL_CATID_MUSIC_EXPORTERS);
}

// Creates the server as the program would, reading what it describes, so that a server the
// program could not use is reported instead of listed.
void CheckServer(const TPluginList& list, int index, TBCAppFrameClient& client)
{
    const TPluginRef<IBCServerV1> server = list.CreateServer(index, client);
    if (HasDescription(list.Server(index).Category)) DescribeServer(server, list.Server(index).Category);
}

}  // namespace

int RunPluginsCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    QString folder;
    try {
        for (int i = 0; i < arguments.size(); ++i) {
            if (arguments[i] == u"--folder") folder = OptionValue(arguments, i);
            else ThrowUnexpectedArgument(arguments[i]);
        }
        if (!folder.isEmpty() && !QFileInfo(folder).isDir())
            throw EArgumentError(QStringLiteral("--folder"), folder, QStringLiteral("フォルダがありません"));
    } catch (const EArgumentError& e) {
        return ReportArgumentError(errors, e, cli::CommandUsage("plugins"));
    }
    if (folder.isEmpty()) folder = PlugInDir();

    TBCAppFrameClient client;
    TPluginList list{QUuid()};
    list.LoadFolder(folder, client);
    std::vector<TRefusedPlugin> refused = list.Refused();
    int usable = 0;
    for (int i = 0; i < list.Count(); ++i) {
        const TServerInfo& server = list.Server(i);
        try {
            CheckServer(list, i, client);
            out << server.Name << '\t' << CategoryName(server.Category) << '\t' << server.Library << '\n';
            ++usable;
        } catch (const EKestrel& e) {
            refused.push_back({server.Library, e.Message()});
        }
    }
    if (usable == 0 && refused.empty()) out << "プラグインはありません (" << folder << ")\n";
    if (!refused.empty()) out << "使えないプラグイン:\n";
    for (const TRefusedPlugin& plugin : refused) out << plugin.Library << '\t' << plugin.Reason << '\n';
    return 0;
}

namespace {

// Nothing to show or cancel on the command line.
class TCliObserver : public TMusicRunObserver {
public:
    void ShowLabel(const QString&) override {}
    void ShowStatus(const QString&) override {}
    void ShowProgress(int, int) override {}
    bool Cancelled() const override { return false; }
};

QString CheckedFolder(const QString& folder)
{
    if (folder.isEmpty()) return PlugInDir();
    if (!QFileInfo(folder).isDir()) throw EArgumentError(QStringLiteral("--folder"), folder, QStringLiteral("フォルダがありません"));
    return folder;
}

QString CheckedImage(const QString& image)
{
    const bool sheet = image.endsWith(QLatin1String(".cue"), Qt::CaseInsensitive) ||
                       image.endsWith(QLatin1String(".toc"), Qt::CaseInsensitive);
    if (!sheet) throw EArgumentError(QStringLiteral("--image"), image, QStringLiteral(".cue か .toc のファイルを指定してください"));
    if (!QFileInfo(image).isFile()) throw EArgumentError(QStringLiteral("--image"), image, QStringLiteral("ファイルがありません"));
    return QFileInfo(image).absoluteFilePath();
}

// The entry named (its text or its plug-in's name), else the first.
TMusicSource ChosenEntry(const std::vector<TMusicSource>& entries, const QString& name)
{
    if (entries.empty()) throw EKestrel(QStringLiteral("曲名データを取得するプラグインがありません"));
    if (name.isEmpty()) return entries.front();
    for (const TMusicSource& entry : entries)
        if (entry.Text() == name || entry.PluginName == name) return entry;
    QStringList names;
    for (const TMusicSource& entry : entries) names << entry.Text();
    throw EKestrel(QStringLiteral("プラグイン「%1」がありません (%2)").arg(name, names.join(QStringLiteral("、"))));
}

QJsonValue AlbumsJson(const std::vector<TImportedAlbum>& albums)
{
    if (albums.size() == 1) return ObjectToJson(AlbumFromImport(albums.front()));
    QJsonArray list;
    for (const TImportedAlbum& album : albums) list.append(ObjectToJson(AlbumFromImport(album)));
    return list;
}

}  // namespace

int RunDiscInfoCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    QString plugin, device, image, folder;
    try {
        for (int i = 0; i < arguments.size(); ++i) {
            if (arguments[i] == u"--plugin") plugin = OptionValue(arguments, i);
            else if (arguments[i] == u"--device") device = OptionValue(arguments, i);
            else if (arguments[i] == u"--image") image = CheckedImage(OptionValue(arguments, i));
            else if (arguments[i] == u"--folder") folder = OptionValue(arguments, i);
            else ThrowUnexpectedArgument(arguments[i]);
        }
        if (device.isEmpty() == image.isEmpty())
            throw EArgumentError(QStringLiteral("--device"), {}, QStringLiteral("--device か --image のどちらか一つを指定してください"));
        folder = CheckedFolder(folder);
    } catch (const EArgumentError& e) {
        return ReportArgumentError(errors, e, cli::CommandUsage("disc-info"));
    }
    try {
        TBCAppFrameClient client;
        TMusicPlugins plugins(ToUuid(KESTREL_CATID_MUSIC_IMPORTERS));
        plugins.Load(folder, client);
        const TMusicSource entry = ChosenEntry(plugins.Sources(), plugin);
        TCliObserver observer;
        std::vector<TImportedAlbum> albums;
        QStringList warnings;
        const bool prepared = RunImport(plugins, {entry}, image.isEmpty() ? device : image, TProxySettings::Load(),
                                        observer, &albums, &warnings);
        ReportWarnings(errors, warnings);
        if (!prepared) return ReportError(errors, QStringLiteral("「%1」は取得の準備ができませんでした").arg(entry.Text()));
        if (albums.empty()) return ReportError(errors, QStringLiteral("曲名データが見つかりませんでした"));
        const QJsonValue json = AlbumsJson(albums);
        out << QString::fromUtf8(json.isArray() ? QJsonDocument(json.toArray()).toJson(QJsonDocument::Indented)
                                                : QJsonDocument(json.toObject()).toJson(QJsonDocument::Indented));
        return 0;
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
}

int RunScanCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    QString device, folder, file;
    try {
        for (int i = 0; i < arguments.size(); ++i) {
            if (arguments[i] == u"--device") device = OptionValue(arguments, i);
            else if (arguments[i] == u"--folder") folder = OptionValue(arguments, i);
            else if (arguments[i] == u"--out") file = OptionValue(arguments, i);
            else ThrowUnexpectedArgument(arguments[i]);
        }
        if (file.isEmpty()) throw EArgumentError(QStringLiteral("--out"), {}, QStringLiteral("出力ファイルを指定してください"));
        OutputFormatOf(QStringLiteral("--out"), file, false);
        folder = CheckedFolder(folder);
    } catch (const EArgumentError& e) {
        return ReportArgumentError(errors, e, cli::CommandUsage("scan"));
    }
    try {
        // The image server asks for the scanner through this macro when it cannot show a screen.
        if (TAppFrame* frame = TAppFrame::Instance()) frame->Macro().SetValue(QStringLiteral("ScannerDevice"), device);
        TBCAppFrameClient client;
        TPluginList list(ToUuid(KESTREL_CATID_IMAGE_SERVERS));
        list.LoadFolder(folder, client);
        if (list.Count() == 0) return ReportError(errors, QStringLiteral("画像を取り込むプラグインがありません"));
        const QImage picture = AcquirePluginImage(list.CreateServer(0, client), 0);
        if (picture.isNull()) return ReportError(errors, QStringLiteral("取り込みは取り消されました"));
        SavePicture(picture, file);
        out << picture.width() << "x" << picture.height() << '\n';
        return 0;
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
}

}  // namespace kestrel

#include "cli/PluginCommands.h"

#include <QFileInfo>

#include "app/PluginClient.h"
#include "app/PluginHost.h"
#include "app/PluginServers.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
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

}  // namespace kestrel

#include "cli/UpdateCommands.h"

#include "app/InternetEnvironment.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/PaperCommands.h"
#include "paper/CatalogueStartup.h"
#include "paper/CatalogueUpdate.h"
#include "paper/PPRDownload.h"
#include "paper/VersionUpFile.h"

namespace kestrel {

namespace {

struct TUpdateOptions {
    QString url;
    QString file;
    QString catalogue;
    bool check = false;
};

TUpdateOptions ParseOptions(const QStringList& arguments)
{
    TUpdateOptions options;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == u"--check")
            options.check = true;
        else if (arg == u"--url")
            options.url = OptionValue(arguments, i);
        else if (arg == u"--file")
            options.file = OptionValue(arguments, i);
        else if (arg == u"--catalogue")
            options.catalogue = OptionValue(arguments, i);
        else
            ThrowUnexpectedArgument(arg);
    }
    if (!options.file.isEmpty() && !options.url.isEmpty())
        throw EArgumentError(QStringLiteral("--file"), options.file, QStringLiteral("--url と一緒には指定できません"));
    return options;
}

void PrintVersion(QTextStream& out, const QString& what, int number, double date)
{
    out << what << QStringLiteral("のパターン番号：") << PatternNumberText(number) << '\n'
        << what << QStringLiteral("のファイル日付：") << UpdateDateText(date) << '\n';
}

// The catalogue in use, as the program has it at start-up.
void OpenInUse(TPaperCatalogue& papers, const TCatalogueFileNames& names)
{
    OpenCatalogueForCommand(papers, names.systemFile);
    if (papers.IO().files->Exists(names.userFile)) papers.MergeUser(names.userFile);
}

int Install(const QString& file, const TCatalogueFileNames& names, QTextStream& out)
{
    TPaperCatalogue papers;
    OpenInUse(papers, names);
    InstallCatalogueFile(*papers.Catalogue(), file, names);
    const TPaperUpdate& installed = papers.Catalogue()->UpdateInfo();
    PrintVersion(out, QStringLiteral("更新後"), installed.PPRNo(), installed.LastUpdate());
    out << UpdateSucceededText << '\n';
    return 0;
}

int InstallFromDisk(const TUpdateOptions& options, const TCatalogueFileNames& names, QTextStream& out)
{
    const std::unique_ptr<TUpdateTempFile> copy = CopyChosenUpdateFile(options.file);
    if (options.check) {
        TPaperCatalogue chosen;
        CheckUpdateFile(chosen.IO(), copy->FileName());
        chosen.OpenSystem(copy->FileName());
        PrintVersion(out, QStringLiteral("更新ファイル"), chosen.Catalogue()->UpdateInfo().PPRNo(),
                     chosen.Catalogue()->UpdateInfo().LastUpdate());
        return 0;
    }
    return Install(copy->FileName(), names, out);
}

int InstallFromNetwork(const TUpdateOptions& options, const TCatalogueFileNames& names, QTextStream& out,
                       QTextStream& errors)
{
    TPPRDownload download;
    if (!download.HTTP().IsAvailable()) return ReportError(errors, NoNetworkText);
    download.UseProxy(TProxySettings::Load());
    download.SetUpdaterURL(options.url.isEmpty() ? UpdaterURLSetting() : options.url);
    if (!download.Check()) return ReportError(errors, FetchFailedText + u'\n' + download.ErrorText());
    PrintVersion(out, QStringLiteral("最新"), download.Version(), download.Date());
    if (options.check) return 0;
    if (download.Version() == 0 || download.Date() == 0) {
        out << NothingNewText << '\n';
        return 0;
    }
    if (!download.Download()) return ReportError(errors, FetchFailedText + u'\n' + download.ErrorText());
    return Install(download.DownloadFileName(), names, out);
}

}  // namespace

int RunUpdatePapersCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    try {
        const TUpdateOptions options = ParseOptions(arguments);
        TCatalogueFileNames names = ProgramCatalogueFiles();
        if (!options.catalogue.isEmpty()) names.systemFile = options.catalogue;
        if (!options.check && !MayReplaceSystemCatalogue(names.systemFile))
            return ReportError(errors, NeedsAdministratorText);
        return options.file.isEmpty() ? InstallFromNetwork(options, names, out, errors)
                                      : InstallFromDisk(options, names, out);
    } catch (const EArgumentError& e) {
        return ReportArgumentError(errors, e, cli::CommandUsage("update-papers"));
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
}

}  // namespace kestrel

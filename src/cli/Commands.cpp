#include "cli/Commands.h"

#include <algorithm>
#include <array>

#include "cli/CodeCommands.h"
#include "cli/CommandSupport.h"
#include "cli/DocumentCommands.h"
#include "cli/JsonCommands.h"
#include "cli/PaperCommands.h"
#include "cli/PrintCommand.h"
#include "cli/TextCommands.h"
#include "cli/ThumbnailsCommand.h"
#include "cli/TreeCommand.h"
#include "cli/UpdateCommands.h"
#include "platform/ProgramPaths.h"

namespace kestrel::cli {

namespace {

constexpr auto kProgram = "kestrel-cli";

void PrintUsage(QTextStream& stream)
{
    stream << "使い方: " << kProgram << " <コマンド> [引数...]\n"
           << "        " << kProgram << " --help | --version\n\n"
           << "コマンド:\n";
    for (const TCliCommand& command : Commands()) {
        const QString head = QString::fromUtf8(command.name) + u' ' + QString::fromUtf8(command.usage);
        stream << "  " << head.trimmed().leftJustified(24) << ' ' << command.summary << '\n';
    }
}

int RunHelp(TCliContext& context)
{
    PrintUsage(context.out);
    return 0;
}

int RunVersion(TCliContext& context)
{
    context.out << kProgram << ' ' << LongVer() << '\n';
    return 0;
}

int RunTree(TCliContext& context)
{
    return RunTreeCommand(context.args, context.out, context.err);
}

int RunPapers(TCliContext& context)
{
    return RunPapersCommand(context.args, context.out, context.err);
}

int RunUpdatePapers(TCliContext& context)
{
    return RunUpdatePapersCommand(context.args, context.out, context.err);
}

int RunBuildPapers(TCliContext& context)
{
    return RunBuildPapersCommand(context.args, context.out, context.err);
}

int RunBuildProducts(TCliContext& context)
{
    return RunBuildProductsCommand(context.args, context.out, context.err);
}

int RunNew(TCliContext& context)
{
    return RunNewCommand(context.args, context.out, context.err);
}

int RunInfo(TCliContext& context)
{
    return RunInfoCommand(context.args, context.out, context.err);
}

int RunRender(TCliContext& context)
{
    return RunRenderCommand(context.args, context.out, context.err);
}

int RunDump(TCliContext& context)
{
    return RunDumpCommand(context.args, context.out, context.err);
}

int RunCompose(TCliContext& context)
{
    return RunComposeCommand(context.args, context.out, context.err);
}

int RunFill(TCliContext& context)
{
    return RunFillCommand(context.args, context.out, context.err);
}

int RunQr(TCliContext& context)
{
    return RunQrCommand(context.args, context.out, context.err);
}

int RunJan(TCliContext& context)
{
    return RunJanCommand(context.args, context.out, context.err);
}

int RunPrint(TCliContext& context)
{
    return RunPrintCommand(context.args, context.out, context.err);
}

int RunBuildDistortions(TCliContext& context)
{
    return RunBuildDistortionsCommand(context.args, context.out, context.err);
}

int RunFonts(TCliContext& context)
{
    return RunFontsCommand(context.args, context.out, context.err);
}

int RunThumbnails(TCliContext& context)
{
    return RunThumbnailsCommand(context.args, context.out, context.err);
}

constexpr std::array kCommands = {
    TCliCommand{"help", "", "この使い方を表示します", RunHelp},
    TCliCommand{"version", "", "バージョンを表示します", RunVersion},
    TCliCommand{"tree", "FILE", "複合ファイルのストレージとストリームをサイズ付きで表示します", RunTree},
    TCliCommand{"papers", "[--catalogue FILE] [--faces | --import FILE.ppr | --export FILE.ppr]",
                "用紙カタログの用紙(名前・グループ・サイズ・ラベル数)を一覧し、ユーザー用紙を取り込み・保存します",
                RunPapers},
    TCliCommand{"update-papers", "[--url URL] [--check] [--file FILE] [--catalogue FILE]",
                "用紙/メディア情報の更新を確かめ、ダウンロード(または --file のファイル)で更新します",
                RunUpdatePapers},
    TCliCommand{"build-papers", "SOURCE.json OUT.ppr", "用紙カタログの元データから .ppr ファイルを作ります",
                RunBuildPapers},
    TCliCommand{"build-products", "SOURCE.json OUT.cdb", "製品情報の元データから .cdb ファイルを作ります",
                RunBuildProducts},
    TCliCommand{"build-distortions", "SOURCE.json OUT.cdd", "変形の元データから .cdd ファイルを作ります",
                RunBuildDistortions},
    TCliCommand{"fonts", "", "使えるフォントとフォント名の置き換えを一覧します", RunFonts},
    TCliCommand{"new", "--paper NAME [--sheets N] [--landscape] [--force] OUT.mld",
                "カタログの用紙で新しい文書を作ります(既にあるファイルは --force のときだけ上書きします)", RunNew},
    TCliCommand{"info", "DOC.mld", "文書のシート・用紙・面と面ごとのオブジェクトを表示します", RunInfo},
    TCliCommand{"render", "DOC.mld [--sheet N] [--face F] [--dpi D] --out OUT.png|.jpg|.bmp|.pdf",
                "シート全体または一つの面を、拡張子の形式(PNG・JPEG・BMP、シートは PDF も)で描きます", RunRender},
    TCliCommand{"dump", "DOC.mld [--sheet N] [--face F]", "文書を JSON で表示します", RunDump},
    TCliCommand{"compose", "SCENE.json OUT.mld [--catalogue FILE]", "JSON から文書を作ります", RunCompose},
    TCliCommand{"fill", "TEMPLATE.mld DATA.csv OUT_PATTERN",
                "CSV の行ごとにテンプレートの {{列名}} を埋めた文書を作ります", RunFill},
    TCliCommand{"qr", "TEXT --out OUT.png [--level L|M|Q|H] [--version N] [--mask M] [--mode 0|A|8] [--scale S]",
                "テキスト(シフトJIS)を QR コードの画像にします", RunQr},
    TCliCommand{"jan", "DIGITS --out OUT.png", "JAN コード(EAN-13・EAN-8)の画像を作ります", RunJan},
    TCliCommand{"print",
                "DOC.mld [--sheet N] [--faces 1,3] [--copies N] [--offset X,Y] [--frames] [--cut-lines] "
                "[--blur-edge] (--pdf OUT.pdf | --printer NAME)",
                "シートを PDF ファイルかプリンタに印刷します", RunPrint},
    TCliCommand{"thumbnails", "FOLDER", "フォルダの Preview.ic にイメージのプレビューを作成・更新します", RunThumbnails},
};

const TCliCommand* FindCommand(const QString& name)
{
    // The options are the usual spellings of the two built-in commands.
    const QString commandName = name == "--help" || name == "-h" ? "help"
                                : name == "--version"            ? "version"
                                                                 : name;
    const auto found = std::find_if(kCommands.begin(), kCommands.end(),
                                    [&](const TCliCommand& c) { return commandName == c.name; });
    return found == kCommands.end() ? nullptr : &*found;
}

}  // namespace

std::span<const TCliCommand> Commands()
{
    return kCommands;
}

int RunCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.size() < 2) {
        err << kProgram << ": コマンドを指定してください\n\n";
        PrintUsage(err);
        return kUsageError;
    }
    const TCliCommand* command = FindCommand(arguments[1]);
    if (!command) {
        err << kProgram << ": 「" << arguments[1] << "」というコマンドはありません。"
            << "「" << kProgram << " --help」で使い方を表示します\n";
        return kUsageError;
    }
    TCliContext context{arguments.mid(2), out, err};
    return command->run(context);
}

}  // namespace kestrel::cli

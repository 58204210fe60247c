#include "cli/Commands.h"

#include <algorithm>
#include <array>

#include "cli/CodeCommands.h"
#include "cli/CommandSupport.h"
#include "cli/DocumentCommands.h"
#include "cli/JsonCommands.h"
#include "cli/MusicCommands.h"
#include "cli/PaperCommands.h"
#include "cli/DesignCommands.h"
#include "cli/PluginCommands.h"
#include "cli/PrintCommand.h"
#include "cli/PrinterCommands.h"
#include "cli/TextCommands.h"
#include "cli/ThumbnailsCommand.h"
#include "cli/TreeCommand.h"
#include "cli/UpdateCommands.h"
#include "platform/ProgramPaths.h"

namespace kestrel::cli {

namespace {

constexpr auto kProgram = "kestrel-cli";

constexpr int kHeadWidth = 24;

// Columns a terminal gives the text: two for each wide (East Asian) character.
int DisplayWidth(const QString& text)
{
    int width = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3) ||
                          (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60) ||
                          (u >= 0xFFE0 && u <= 0xFFE6);
        width += wide ? 2 : 1;
    }
    return width;
}

void PrintUsage(QTextStream& stream)
{
    stream << "使い方: " << kProgram << " <コマンド> [引数...]\n"
           << "        " << kProgram << " --help | --version\n"
           << "        " << kProgram << " <コマンド> --help\n\n"
           << "コマンド:\n";
    for (const TCliCommand& command : Commands()) {
        const QString head = QString(QString::fromUtf8(command.name) + u' ' + QString::fromUtf8(command.usage)).trimmed();
        // A long usage gets its own line, the summary below it at the column of the others.
        const int width = DisplayWidth(head);
        if (width > kHeadWidth) stream << "  " << head << '\n' << QString(kHeadWidth + 2, u' ');
        else stream << "  " << head << QString(kHeadWidth - width, u' ');
        stream << ' ' << command.summary << '\n';
    }
}

bool AsksForHelp(const QStringList& arguments)
{
    return arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"));
}

int PrintCommandHelp(const TCliCommand& command, QTextStream& out)
{
    out << command.summary << "\n\n" << CommandUsage(command.name) << '\n';
    return 0;
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

int RunThumbnail(TCliContext& context)
{
    return RunThumbnailCommand(context.args, context.out, context.err);
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

int RunPrinters(TCliContext& context)
{
    return RunPrintersCommand(context.args, context.out, context.err);
}

int RunBuildDistortions(TCliContext& context)
{
    return RunBuildDistortionsCommand(context.args, context.out, context.err);
}

int RunBuildTemplates(TCliContext& context)
{
    return RunBuildTemplatesCommand(context.args, context.out, context.err);
}

int RunTemplates(TCliContext& context)
{
    return RunTemplatesCommand(context.args, context.out, context.err);
}

int RunBackgrounds(TCliContext& context)
{
    return RunBackgroundsCommand(context.args, context.out, context.err);
}

int RunFonts(TCliContext& context)
{
    return RunFontsCommand(context.args, context.out, context.err);
}

int RunThumbnails(TCliContext& context)
{
    return RunThumbnailsCommand(context.args, context.out, context.err);
}

int RunTags(TCliContext& context)
{
    return RunTagsCommand(context.args, context.out, context.err);
}

int RunAlbums(TCliContext& context)
{
    return RunAlbumsCommand(context.args, context.out, context.err);
}

int RunMusic(TCliContext& context)
{
    return RunMusicCommand(context.args, context.out, context.err);
}

int RunPlugins(TCliContext& context)
{
    return RunPluginsCommand(context.args, context.out, context.err);
}

constexpr std::array kCommands = {
    TCliCommand{"help", "", "この使い方を表示します", RunHelp},
    TCliCommand{"version", "", "バージョンを表示します", RunVersion},
    TCliCommand{"tree", "ファイル", "複合ファイルのストレージとストリームをサイズ付きで表示します", RunTree},
    TCliCommand{"papers", "[--catalogue ファイル] [--faces | --import ファイル.ppr | --export ファイル.ppr]",
                "用紙カタログの用紙(名前・グループ・サイズ・ラベル数)を一覧し、ユーザー用紙を取り込み・保存します",
                RunPapers},
    TCliCommand{"update-papers", "[--url URL] [--check] [--file ファイル] [--catalogue ファイル]",
                "用紙/メディア情報の更新を確かめ、ダウンロード(または --file のファイル)で更新します",
                RunUpdatePapers},
    TCliCommand{"build-papers", "元データ.json 出力.ppr", "用紙カタログの元データから .ppr ファイルを作ります",
                RunBuildPapers},
    TCliCommand{"build-products", "元データ.json 出力.cdb", "製品情報の元データから .cdb ファイルを作ります",
                RunBuildProducts},
    TCliCommand{"build-distortions", "元データ.json 出力.cdd", "変形の元データから .cdd ファイルを作ります",
                RunBuildDistortions},
    TCliCommand{"build-templates", "元データ.json フォルダ",
                "テンプレートの元データ(JSON の場面)から文書とジャンル・ID の一覧をフォルダの Data/Template に作ります",
                RunBuildTemplates},
    TCliCommand{"templates", "", "付属のテンプレートを用途・ジャンルごとに ID と入力項目付きで一覧します", RunTemplates},
    TCliCommand{"backgrounds", "", "付属の背景柄をジャンル・サブジャンルごとに一覧します", RunBackgrounds},
    TCliCommand{"fonts", "", "使えるフォントとフォント名の置き換えを一覧します", RunFonts},
    TCliCommand{"new",
                "(--paper 用紙名 [--sheets N] [--landscape] | --template 名前|ID [--paper 用紙名]) [--catalogue ファイル] "
                "[--force] 出力.mld",
                "カタログの用紙で新しい文書を作ります(既にあるファイルは --force のときだけ上書きします)", RunNew,
                "  --template: 付属のテンプレート(名前か ID)を合う面すべてに呼び出します。用紙を指定しなければ"
                "テンプレートの用紙で作ります"},
    TCliCommand{"info", "文書.mld", "文書のシート・用紙・面と面ごとのオブジェクトを表示します", RunInfo},
    TCliCommand{"render", "文書.mld [--sheet N] [--face F] [--dpi D] [--anyway] --out 出力.png|.jpg|.bmp|.pdf",
                "シート全体または一つの面を、拡張子の形式(PNG・JPEG・BMP、シートは PDF も)で描きます", RunRender,
                "  --anyway: 文書のとおりに描けないもの(収まらない QR コードなど)があっても書き出します"},
    TCliCommand{"thumbnail", "文書.mld 出力.png [大きさ]",
                "最初のシートを文書が持つプレビューから描いた PNG にします(ファイルマネージャーのサムネイル)",
                RunThumbnail, "  大きさ: 長い辺のピクセル数(16から1024、省略すると256)"},
    TCliCommand{"dump", "文書.mld [--sheet N] [--face F]", "文書を JSON で表示します", RunDump},
    TCliCommand{"compose", "場面.json 出力.mld [--catalogue ファイル]", "JSON から文書を作ります", RunCompose},
    TCliCommand{"fill", "テンプレート.mld データ.csv 出力パターン [--pdf]",
                "CSV の行ごとにテンプレートの {{列名}} を埋めた文書を作ります", RunFill,
                "  出力パターンには {{列名}} か {{row}} (行番号)を入れてください\n"
                "  --pdf: 文書の代わりに各行を印刷した PDF を書きます"},
    TCliCommand{"qr", "テキスト --out 出力.png [--level L|M|Q|H] [--version 1-40] [--mask 0-7] [--mode 0|A|8] [--scale 1-64 (既定 8)]",
                "テキスト(シフトJIS)を QR コードの画像にします", RunQr},
    TCliCommand{"jan", "数字(7・8・12・13桁) --out 出力.png", "JAN コード(EAN-13・EAN-8)の画像を作ります", RunJan},
    TCliCommand{"print",
                "文書.mld [--sheet N] [--faces 1,3] [--copies N(1-99)] [--offset X,Y(mm)] [--frames] [--cut-lines] "
                "[--blur-edge] [--anyway] [--catalogue ファイル] (--pdf 出力.pdf | --printer プリンタ名)",
                "シートを PDF ファイルかプリンタに印刷します(ディスクはプリンタのトレイに合わせます)", RunPrint,
                "  --anyway: 文書のとおりに描けないもの(収まらない QR コードなど)があっても印刷します"},
    TCliCommand{"printers", "[--catalogue ファイル]",
                "プリンタとドライバ、ディスク印刷ができるか、そのトレイを一覧します", RunPrinters},
    TCliCommand{"thumbnails", "フォルダ", "フォルダの Preview.ic にイメージのプレビューを作成・更新します", RunThumbnails},
    TCliCommand{"tags", "ファイル|フォルダ|プレイリスト... [--no-name-parsing]",
                "音楽ファイル・フォルダ・プレイリストから作るアルバムを JSON で表示します", RunTags},
    TCliCommand{"albums", "[--db ファイル] list | export 出力.csv | import 入力.csv [--columns N,T,Ti,A,Al]",
                "アルバム情報を一覧し、CSV に書き出し、CSV から取り込みます", RunAlbums,
                "  --columns: No.・タイトル・時間・アーティスト・アルバムを取る列の番号(1から、0は取らない)"},
    TCliCommand{"music",
                "文書.mld (--folder フォルダ | --playlist ファイル | --album N [--db ファイル]) [--sheet N] [--face F] "
                "[--lines [--text N]] --out 出力.mld",
                "アルバムで面の入力項目(--lines では文字オブジェクト)を埋めた文書を作ります", RunMusic},
    TCliCommand{"plugins", "[--folder フォルダ]",
                "プラグインのフォルダにあるサーバー(名前・分類・ライブラリ)と、使えないプラグインとその理由を一覧します",
                RunPlugins},
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

QString CommandUsage(const char* name)
{
    const TCliCommand* command = FindCommand(QString::fromUtf8(name));
    if (!command) return QStringLiteral("使い方: %1 %2").arg(kProgram, name);
    QString usage = QStringLiteral("使い方: %1 %2 %3").arg(kProgram, command->name, QString::fromUtf8(command->usage)).trimmed();
    if (*command->details) usage += u'\n' + QString::fromUtf8(command->details);
    return usage;
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
    if (AsksForHelp(context.args)) return PrintCommandHelp(*command, out);
    return command->run(context);
}

}  // namespace kestrel::cli

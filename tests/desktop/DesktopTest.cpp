// Kestrel on the Linux desktop: the installed programs and their data, the desktop entry, file
// types, completion, icons and man pages, each checked with the desktop's own tools.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include "cli/Commands.h"
#include "platform/ProgramPaths.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

const QString SourceDir = QStringLiteral(KESTREL_TEST_SOURCE_DIR "/..");
const QString BuildDir = QStringLiteral(KESTREL_BINARY_DIR);
const QString DesktopSources = SourceDir + "/data/desktop";
const QString TwoDiscPaper = QStringLiteral("A4 CDラベル 2面 (外径117mm/内径41mm)");

struct TRun {
    int exitCode;
    QString out;
};

TRun RunTool(const QString& program, const QStringList& arguments, const QStringList& environment = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& setting : environment) env.insert(setting.section('=', 0, 0), setting.section('=', 1));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(test::TestFolder());
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(120000)) << program.toStdString();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

QString ReadText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Installed under a new prefix, far from the build tree: the programs find their data there.
TEST(Desktop, TheInstalledProgramsWorkFromTheInstalledDataAlone)
{
    const QString prefix = test::TestFolder() + "/prefix";
    const TRun install = RunTool("cmake", {"--install", BuildDir, "--prefix", prefix, "--strip"});
    ASSERT_EQ(install.exitCode, 0) << install.out.toStdString();
    const QString cli = prefix + "/bin/kestrel-cli";
    EXPECT_TRUE(QFile::exists(prefix + "/share/kestrel/kestrel.ppr"));
    EXPECT_EQ(HelpDir(prefix + "/bin/"), prefix + "/share/kestrel/help/");
    EXPECT_FALSE(QFile::exists(prefix + "/share/kestrel/ILLUST/DecoLine/.drawn")) << "build stamps stay behind";

    const TRun papers = RunTool(cli, {"papers"});
    EXPECT_EQ(papers.exitCode, 0) << papers.out.toStdString();
    EXPECT_TRUE(papers.out.contains(TwoDiscPaper));
    const TRun made = RunTool(cli, {"new", "--paper", TwoDiscPaper, "doc.mld"});
    ASSERT_EQ(made.exitCode, 0) << made.out.toStdString();

    // The file manager's command line, as the installed thumbnailer gives it.
    QString command = ReadText(prefix + "/share/thumbnailers/kestrel.thumbnailer").section("\nExec=", 1).section('\n', 0, 0);
    command.replace("%i", "doc.mld").replace("%o", "doc-thumbnail").replace("%s", "128");
    QStringList words = command.split(' ');
    ASSERT_EQ(words.takeFirst(), "kestrel-cli");
    const TRun thumbnail = RunTool(cli, words);
    EXPECT_EQ(thumbnail.exitCode, 0) << thumbnail.out.toStdString();
    EXPECT_EQ(QImage(test::TestFolder() + "/doc-thumbnail", "PNG").height(), 128);
}

// Every help page is Japanese and titled, is linked from another, and links only to files beside it
// (the pages are opened from the disk, with no server to answer for a missing one).
TEST(Desktop, TheHelpPagesLinkOnlyToEachOther)
{
    const QString help = HelpDir(BuildDir + "/src/");
    ASSERT_TRUE(QFile::exists(help + "index.html")) << help.toStdString();
    const QStringList pages = QDir(help).entryList({"*.html"}, QDir::Files);
    EXPECT_GE(pages.size(), 5);
    QSet<QString> linked{"index.html"};
    const QRegularExpression reference(R"re((?:href|src)="([^"#]*)")re");
    for (const QString& page : pages) {
        const QString text = ReadText(help + page);
        EXPECT_TRUE(text.contains(R"(<html lang="ja">)")) << page.toStdString();
        EXPECT_TRUE(text.contains(QRegularExpression("<title>[^<]+</title>"))) << page.toStdString();
        for (const QRegularExpressionMatch& match : reference.globalMatch(text)) {
            const QString target = match.captured(1);
            EXPECT_TRUE(!target.contains(':') && QFile::exists(help + target))
                << page.toStdString() << " -> " << target.toStdString();
            linked << target;
        }
    }
    for (const QString& page : pages) EXPECT_TRUE(linked.contains(page)) << page.toStdString() << " is linked from nowhere";
}

TEST(Desktop, TheDesktopEntryAndMetainfoPassTheirValidators)
{
    const TRun entry = RunTool("desktop-file-validate", {DesktopSources + "/kestrel.desktop"});
    EXPECT_EQ(entry.exitCode, 0) << entry.out.toStdString();
    EXPECT_FALSE(entry.out.contains("error")) << entry.out.toStdString();
    const TRun metainfo = RunTool("appstreamcli", {"validate", "--no-net", DesktopSources + "/io.github.kestrel_labels.Kestrel.metainfo.xml"});
    EXPECT_EQ(metainfo.exitCode, 0) << metainfo.out.toStdString();
}

// The types as a file manager learns them from a private data folder: documents by their name and,
// renamed, by the "DataInfo" stream in their compound file; another compound file is not one.
TEST(Desktop, DocumentsAndCataloguesAreKnownByTheirFileType)
{
    const QString data = test::TestFolder() + "/data";
    QDir().mkpath(data + "/mime/packages");
    ASSERT_TRUE(QFile::copy(DesktopSources + "/kestrel-mime.xml", data + "/mime/packages/kestrel.xml"));
    ASSERT_EQ(RunTool("update-mime-database", {data + "/mime"}).exitCode, 0);
    const QString cli = BuildDir + "/src/kestrel-cli";
    ASSERT_EQ(RunTool(cli, {"new", "--paper", TwoDiscPaper, "doc.mld"}).exitCode, 0);
    const QString folder = test::TestFolder() + '/';
    QFile::copy(folder + "doc.mld", folder + "renamed-document");
    QFile::copy(QStringLiteral(KESTREL_DATA_DIR "/kestrel.ppr"), folder + "papers.ppr");
    QFile::copy(QStringLiteral(KESTREL_DATA_DIR "/kestrel.ppr"), folder + "renamed-catalogue");

    const QStringList environment{"XDG_DATA_HOME=" + data, "XDG_CURRENT_DESKTOP=GNOME"};
    const auto typeOf = [&](const QString& file) {
        return RunTool("xdg-mime", {"query", "filetype", folder + file}, environment).out.trimmed();
    };
    EXPECT_EQ(typeOf("doc.mld"), "application/x-kestrel-label");
    EXPECT_EQ(typeOf("renamed-document"), "application/x-kestrel-label");
    EXPECT_EQ(typeOf("papers.ppr"), "application/x-kestrel-paper");
    EXPECT_NE(typeOf("renamed-catalogue"), "application/x-kestrel-label");
}

// bash completes the commands and each command's options from the program's own help.
TEST(Desktop, BashCompletesCommandsAndOptions)
{
    const auto complete = [](const QString& words, int current) {
        const QString script = QStringLiteral(
                                   "source /usr/share/bash-completion/bash_completion; source '%1/kestrel-cli.bash';"
                                   "COMP_WORDS=(%2); COMP_CWORD=%3; COMP_LINE='%2'; COMP_POINT=${#COMP_LINE};"
                                   "_kestrel_cli; printf '%s\\n' \"${COMPREPLY[@]}\" | sort")
                                   .arg(DesktopSources, words)
                                   .arg(current);
        return RunTool("bash", {"-c", script}, {"PATH=" + BuildDir + "/src:" + qEnvironmentVariable("PATH")}).out;
    };
    EXPECT_EQ(complete("kestrel-cli th", 1), "thumbnail\nthumbnails\n");
    EXPECT_EQ(complete("kestrel-cli render doc.mld --o", 3), "--out\n");
    EXPECT_EQ(complete("kestrel-cli papers --", 2), "--catalogue\n--export\n--faces\n--help\n--import\n");
    EXPECT_EQ(complete("kestrel-cli albums --", 2), "--columns\n--db\n--help\n");
    // A folder of tracks is completed with folders only, an album number with nothing.
    const QString tracks = test::TestFolder() + "/tracks/";
    ASSERT_TRUE(QDir(tracks).mkpath("disc1"));
    QFile playlist(tracks + "list.m3u");
    ASSERT_TRUE(playlist.open(QIODevice::WriteOnly));
    playlist.close();
    EXPECT_EQ(complete("kestrel-cli music doc.mld --folder " + tracks, 4), tracks + "disc1\n");
    EXPECT_EQ(complete("kestrel-cli music doc.mld --playlist " + tracks, 4), tracks + "disc1\n" + tracks + "list.m3u\n");
    EXPECT_EQ(complete("kestrel-cli music doc.mld --album ''", 4), "\n");
}

TEST(Desktop, IconsAreRenderedInEverySizeOfTheTheme)
{
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const QString folder = QStringLiteral("%1/desktop/icons/hicolor/%2x%2/").arg(BuildDir).arg(size);
        for (const QString& icon : QStringList{folder + "apps/kestrel.png", folder + "mimetypes/application-x-kestrel-label.png",
                                    folder + "mimetypes/application-x-kestrel-paper.png"}) {
            const QImage image(icon);
            ASSERT_EQ(image.size(), QSize(size, size)) << icon.toStdString();
            EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "a transparent corner: " << icon.toStdString();
            EXPECT_EQ(qAlpha(image.pixel(size / 2, size * 3 / 4)), 255) << icon.toStdString();
        }
    }
}

// The man pages list every command with its summary, in both languages, and man reads them
// without a warning.
TEST(Desktop, TheManPagesDescribeEveryCommand)
{
    for (const QString& page : QStringList{BuildDir + "/desktop/man/man1/kestrel-cli.1", BuildDir + "/desktop/man/ja/man1/kestrel-cli.1"}) {
        const QString text = ReadText(page).remove("\\:");
        for (const cli::TCliCommand& command : cli::Commands())
            EXPECT_TRUE(text.contains(QString::fromUtf8(command.summary))) << command.name << " in " << page.toStdString();
        const TRun man = RunTool("man", {"--warnings", "-E", "UTF-8", "-l", page}, {"MANWIDTH=80", "LANG=C.UTF-8"});
        EXPECT_EQ(man.exitCode, 0);
        EXPECT_FALSE(man.out.contains("warning")) << man.out.left(300).toStdString();
        EXPECT_TRUE(man.out.contains("kestrel-cli")) << man.out.left(300).toStdString();
    }
}

}  // namespace
}  // namespace kestrel

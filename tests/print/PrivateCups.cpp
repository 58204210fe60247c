#include "PrivateCups.h"

#include <cups/cups.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace kestrel::test {

namespace {

constexpr const char* Cupsd = "/usr/sbin/cupsd";
constexpr int StartTimeoutMs = 10000;

// A port that was free a moment ago.
int FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

void WriteFile(const QString& path, const QString& text)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text.toUtf8());
}

// The queue hands the document over unchanged (gziptoany copies what is not compressed).
constexpr const char* QueuePpd = R"ppd(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "KESTREL.PPD"
*Manufacturer: "Kestrel"
*Product: "(Kestrel test queue)"
*ModelName: "Kestrel test queue"
*ShortNickName: "Kestrel test queue"
*NickName: "Kestrel test queue"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsFilter: "application/pdf 0 gziptoany"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: "0 0 595 842"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
)ppd";

}  // namespace

// Under /tmp, readable on the way down: the scheduler's filters run as another user.
TPrivateCups::TPrivateCups() : dir_(QStringLiteral("/tmp/kestrel-cups-XXXXXX"))
{
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                           QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}

TPrivateCups::~TPrivateCups()
{
    if (cupsd_) {
        cupsd_->terminate();
        cupsd_->waitForFinished(5000);
    }
    cupsSetServer(nullptr);
}

void TPrivateCups::WriteConfiguration()
{
    const QString d = dir_.path();
    for (const char* sub : {"spool", "cache", "state", "tmp", "ppd"}) QDir(d).mkpath(sub);
    WriteFile(d + "/cupsd.conf", QStringLiteral("Listen 127.0.0.1:%1\nLogLevel warn\nWebInterface No\nBrowsing No\n"
                                                "DefaultAuthType None\n<Location />\n  Order allow,deny\n  Allow all\n"
                                                "</Location>\n<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                                                "  </Limit>\n</Policy>\n")
                                     .arg(port_));
    WriteFile(d + "/cups-files.conf",
              QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\nTempDir %1/tmp\n"
                             "ErrorLog %1/error_log\nAccessLog %1/access_log\nPageLog %1/page_log\n"
                             "Printcap %1/printcap\nFileDevice Yes\nSystemGroup root\n")
                  .arg(d));
    WriteFile(d + "/printers.conf", QStringLiteral("<Printer %1>\nDeviceURI file://%2\nState Idle\nAccepting Yes\n"
                                                   "Shared No\n</Printer>\n")
                                        .arg(Queue, ReceivedFile()));
    WriteFile(d + "/ppd/" + Queue + ".ppd", QString::fromLatin1(QueuePpd));
}

bool TPrivateCups::Listening() const
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, quint16(port_));
    return socket.waitForConnected(200);
}

bool TPrivateCups::Start(QString& why)
{
    if (!QFile::exists(Cupsd)) {
        why = "cupsd is not installed (package cups-daemon)";
        return false;
    }
    if (!QFile::exists("/usr/lib/cups/filter/gziptoany")) {
        why = "the gziptoany filter is missing (package cups-core-drivers)";
        return false;
    }
    port_ = FreePort();
    WriteConfiguration();
    cupsd_ = std::make_unique<QProcess>();
    cupsd_->start(Cupsd, {"-f", "-c", dir_.path() + "/cupsd.conf", "-s", dir_.path() + "/cups-files.conf"});
    const QDeadlineTimer deadline(StartTimeoutMs);
    while (!deadline.hasExpired()) {
        if (cupsd_->state() == QProcess::NotRunning) break;
        if (Listening()) {
            const QByteArray server = QStringLiteral("127.0.0.1:%1").arg(port_).toLatin1();
            qputenv("CUPS_SERVER", server);
            cupsSetServer(server.constData());
            return true;
        }
        QThread::msleep(100);
    }
    QFile log(dir_.path() + "/error_log");
    log.open(QIODevice::ReadOnly);
    why = "cupsd did not start: " + QString::fromUtf8(cupsd_->readAllStandardError() + log.readAll()).trimmed();
    return false;
}

int TPrivateCups::JobCount(bool activeOnly) const
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, Queue, 0, activeOnly ? CUPS_WHICHJOBS_ACTIVE : CUPS_WHICHJOBS_ALL);
    cupsFreeJobs(count, jobs);
    return count;
}

bool TPrivateCups::WaitUntilIdle() const
{
    const QDeadlineTimer deadline(StartTimeoutMs);
    while (!deadline.hasExpired()) {
        if (JobCount(true) == 0) return true;
        QThread::msleep(100);
    }
    return false;
}

}  // namespace kestrel::test

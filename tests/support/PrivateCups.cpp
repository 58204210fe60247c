#include "support/PrivateCups.h"

#include <cups/cups.h>
#include <sys/stat.h>

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
    queues_.insert(Queue, QString::fromLatin1(QueuePpd));
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
    // Filters run as another user and keep their temporary files there.
    chmod(QFile::encodeName(d + "/tmp").constData(), 01777);
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
    QString printers;
    for (auto queue = queues_.cbegin(); queue != queues_.cend(); ++queue) {
        printers += QStringLiteral("<Printer %1>\nDeviceURI file://%2\nState Idle\nAccepting Yes\nShared No\n</Printer>\n")
                        .arg(queue.key(), ReceivedFile(queue.key()));
        WriteFile(d + "/ppd/" + queue.key() + ".ppd", queue.value());
    }
    WriteFile(d + "/printers.conf", printers);
}

void TPrivateCups::AddQueue(const QString& name, const QString& ppdFile)
{
    QFile ppd(ppdFile);
    ppd.open(QIODevice::ReadOnly);
    queues_.insert(name, QString::fromLatin1(ppd.readAll()));
}

QString TPrivateCups::ReceivedFile(const QString& queue) const
{
    return dir_.path() + (queue == QLatin1String(Queue) ? QStringLiteral("/received.pdf") : "/" + queue + ".out");
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

int TPrivateCups::JobCount(bool activeOnly, const QString& queue) const
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.isEmpty() ? nullptr : queue.toUtf8().constData(), 0,
                                   activeOnly ? CUPS_WHICHJOBS_ACTIVE : CUPS_WHICHJOBS_ALL);
    cupsFreeJobs(count, jobs);
    return count;
}

bool TPrivateCups::WaitUntilIdle(int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (JobCount(true, QString()) == 0) return true;
        QThread::msleep(100);
    }
    return false;
}

QMap<QString, QString> TPrivateCups::JobAttributes(int jobId) const
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const QByteArray uri = QStringLiteral("ipp://localhost/jobs/%1").arg(jobId).toLatin1();
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "all");
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    QMap<QString, QString> attributes;
    for (ipp_attribute_t* attribute = ippFirstAttribute(response); attribute; attribute = ippNextAttribute(response)) {
        if (!ippGetName(attribute)) continue;
        char value[1024];
        ippAttributeString(attribute, value, sizeof value);
        attributes.insert(QString::fromUtf8(ippGetName(attribute)), QString::fromUtf8(value));
    }
    ippDelete(response);
    return attributes;
}

}  // namespace kestrel::test

#include "platform/WorkingFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {

namespace {

// Fixed slots, so that a signal handler can walk them without locks or allocation.
enum SlotState : int { Free, Filling, Live };
struct TSlot {
    std::atomic<int> state{Free};
    char path[PATH_MAX];
};
constexpr size_t SlotCount = 32;
std::array<TSlot, SlotCount> registered;

std::atomic<bool> quitRequested{false};
int quitPipe[2] = {-1, -1};

void RemoveRegisteredFiles()
{
    for (TSlot& slot : registered)
        if (slot.state.load() == Live) unlink(slot.path);
}

void OnTerminationSignal(int signal)
{
    if (quitPipe[1] >= 0 && !quitRequested.exchange(true)) {
        const char byte = static_cast<char>(signal);
        if (write(quitPipe[1], &byte, 1) == 1) return;
    }
    RemoveRegisteredFiles();
    std::signal(signal, SIG_DFL);
    raise(signal);
}

void OnExit()
{
    RemoveRegisteredFiles();
}

bool ProcessRuns(pid_t pid)
{
    return pid > 0 && (kill(pid, 0) == 0 || errno != ESRCH);
}

}  // namespace

QString WorkingFileTemplate(const QString& suffix, const char* prefix)
{
    return QDir::tempPath() + QLatin1Char('/') + QLatin1String(prefix) +
           QString::number(QCoreApplication::applicationPid()) + QStringLiteral("-XXXXXX") + suffix;
}

void RegisterWorkingFile(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    if (native.size() >= PATH_MAX) return;  // ordinary destruction still removes it
    for (TSlot& slot : registered) {
        int expected = Free;
        if (!slot.state.compare_exchange_strong(expected, Filling)) continue;
        std::memcpy(slot.path, native.constData(), native.size() + 1);
        slot.state.store(Live);
        return;
    }
}

void UnregisterWorkingFile(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    for (TSlot& slot : registered)
        if (slot.state.load() == Live && native == slot.path) slot.state.store(Free);
}

namespace {
// Removes the files of dir whose names match ownedName (its first group being a process id) and
// that belong to this user and to a process that no longer runs.
int RemoveFilesOfEndedProcesses(const QDir& dir, const QString& wildcard, const QRegularExpression& ownedName)
{
    int removed = 0;
    const QStringList names = dir.entryList({wildcard}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = ownedName.match(name);
        if (!match.hasMatch()) continue;
        bool isNumber = false;
        const qint64 pid = match.captured(1).toLongLong(&isNumber);
        if (!isNumber || pid > std::numeric_limits<pid_t>::max() || ProcessRuns(static_cast<pid_t>(pid))) continue;
        const QByteArray native = QFile::encodeName(dir.filePath(name));
        struct stat info {};
        if (lstat(native.constData(), &info) != 0 || info.st_uid != getuid() || !S_ISREG(info.st_mode)) continue;
        if (unlink(native.constData()) == 0) ++removed;
    }
    return removed;
}

const QString OwnedSuffix = QStringLiteral("(\\d+)-[A-Za-z0-9]{6}\\.tmp$");
}  // namespace

int RemoveStaleWorkingFiles(const QString& folder)
{
    const QDir dir(folder.isEmpty() ? QDir::tempPath() : folder);
    int removed = 0;
    for (const char* prefix : {WorkingFilePrefix, CatalogueDownloadPrefix, CompressedDownloadPrefix}) {
        const QRegularExpression ownedName(QLatin1Char('^') + QLatin1String(prefix) + OwnedSuffix);
        removed += RemoveFilesOfEndedProcesses(dir, QLatin1String(prefix) + QStringLiteral("*.tmp"), ownedName);
    }
    return removed;
}

void InstallTerminationHandlers(std::function<void()> requestQuit)
{
    static bool atExitInstalled = false;
    if (!atExitInstalled) atExitInstalled = std::atexit(OnExit) == 0;
    if (requestQuit && quitPipe[0] < 0 && pipe2(quitPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        auto* notifier = new QSocketNotifier(quitPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [requestQuit] {
            char byte = 0;
            while (read(quitPipe[0], &byte, 1) == 1) {
            }
            requestQuit();
        });
    }
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

}  // namespace kestrel

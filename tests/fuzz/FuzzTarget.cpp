#include "FuzzTarget.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "edit/ModelStartup.h"
#include "platform/Error.h"

namespace kestrel::fuzz {

std::vector<TFuzzTarget>& FuzzTargets()
{
    static std::vector<TFuzzTarget> targets;
    return targets;
}

bool RegisterFuzzTarget(const char* name, TFuzzBody body)
{
    FuzzTargets().push_back({name, body});
    return true;
}

namespace {
QTemporaryDir& PrivateFolder()
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/kestrel-fuzz-XXXXXX"));
    return folder;
}
}  // namespace

void PrepareFuzzEnvironment()
{
    static bool done = false;
    if (done) return;
    done = true;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "kestrel-fuzz";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv);  // lives as long as the process
    }
    // Working files and user files of the readers stay inside the private folder.
    const QString folder = PrivateFolder().path();
    for (const char* variable : {"TMPDIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) qputenv(variable, folder.toLocal8Bit());
    InitializeModel();
}

void RunFuzzBody(TFuzzBody body, QByteArrayView data)
{
    try {
        body(data);
    } catch (const EKestrel&) {
    }
}

QString WriteInputFile(QByteArrayView data, const QString& suffix)
{
    const QString path = QDir::temp().filePath(QStringLiteral("fuzz-input") + suffix);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data.data(), data.size()) != data.size())
        qFatal("cannot write the fuzz input file %s", qPrintable(path));
    return path;
}

}  // namespace kestrel::fuzz

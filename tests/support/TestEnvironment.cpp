#include "support/TestEnvironment.h"

#include <QDir>
#include <QTemporaryDir>
#include <memory>

namespace kestrel::test {

namespace {
std::unique_ptr<QTemporaryDir>& CurrentFolder()
{
    static std::unique_ptr<QTemporaryDir> folder;
    return folder;
}
QString& BaseTemp()
{
    static QString base = QDir::tempPath();
    return base;
}
}  // namespace

QString UseFreshUserFolders()
{
    auto& folder = CurrentFolder();
    folder = std::make_unique<QTemporaryDir>(BaseTemp() + "/kestrel-test-XXXXXX");
    const QString root = folder->path();
    for (const char* sub : {"config", "data", "runtime", "tmp"})
        QDir(root).mkpath(sub);
    QFile::setPermissions(root + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + "/config"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root + "/data"));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root + "/runtime"));
    qputenv("TMPDIR", QFile::encodeName(root + "/tmp"));
    return root;
}

QString TestFolder()
{
    return CurrentFolder() ? CurrentFolder()->path() : QString();
}

}  // namespace kestrel::test

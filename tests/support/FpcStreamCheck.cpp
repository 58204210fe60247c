#include "support/FpcStreamCheck.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>

#include "support/TestEnvironment.h"

namespace kestrel::test {

QString BuildFpcStreamCheck()
{
    const QString fpc = QStandardPaths::findExecutable(QStringLiteral("fpc"));
    if (fpc.isEmpty()) {
        ADD_FAILURE() << "fpc (Free Pascal) is required for this test";
        return {};
    }
    const QString dir = TestFolder();
    QProcess compile;
    compile.start(fpc, {QStringLiteral("-O1"), QStringLiteral("-FE") + dir, QStringLiteral("-FU") + dir,
                        QStringLiteral(KESTREL_TEST_SOURCE_DIR "/document/fpc/streamcheck.pas")});
    if (!compile.waitForFinished(120000) || compile.exitCode() != 0) {
        ADD_FAILURE() << "fpc failed: " << compile.readAll().toStdString();
        return {};
    }
    return dir + QStringLiteral("/streamcheck");
}

QByteArray RunFpcStreamCheck(const QString& helper, const QString& mode, const QString& file)
{
    QProcess run;
    run.start(helper, {mode, file});
    EXPECT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    return run.readAllStandardOutput();
}

}  // namespace kestrel::test

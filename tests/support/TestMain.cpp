#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "edit/ModelStartup.h"
#include "support/TestEnvironment.h"

int main(int argc, char** argv)
{
    // Tests that need a real display (the clipboard shared with other programs) ask for one.
    const QByteArray platform = qgetenv("KESTREL_TEST_QPA");
    qputenv("QT_QPA_PLATFORM", platform.isEmpty() ? QByteArray("offscreen") : platform);
    // The process starts in a private folder too, so nothing reaches the user's files before the first test.
    kestrel::test::UseFreshUserFolders();
    QApplication app(argc, argv);
    // As the programs do at start.
    kestrel::InitializeModel();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new kestrel::test::FreshFoldersPerTest);
    return RUN_ALL_TESTS();
}

#include <gtest/gtest.h>

#include <QFile>

#include "platform/ExecuteBlocker.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

TEST(ExecuteBlocker, IsAFileInTheRuntimeFolderNamedAfterTheLock)
{
    EXPECT_EQ(TExecuteBlocker::FileNameFor("Kestrel.1.0.Basalt.Japan"),
              test::TestFolder() + "/runtime/Kestrel.1.0.Basalt.Japan.lock");
    EXPECT_EQ(TExecuteBlocker::FileNameFor("Global\\a/b"), test::TestFolder() + "/runtime/Global_a_b.lock");
}

TEST(ExecuteBlocker, OnlyOneHolderAtATime)
{
    auto first = std::make_unique<TExecuteBlocker>("Kestrel.test");
    ASSERT_TRUE(first->TryAcquire());
    EXPECT_TRUE(QFile::exists(first->FileName()));

    TExecuteBlocker second("Kestrel.test");
    EXPECT_FALSE(second.TryAcquire());
    TExecuteBlocker other("Kestrel.other");
    EXPECT_TRUE(other.TryAcquire());

    first.reset();
    EXPECT_TRUE(second.TryAcquire());
}

TEST(ExecuteBlocker, ALockLeftByADeadProcessIsTakenOver)
{
    QFile stale(TExecuteBlocker::FileNameFor("Kestrel.test"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    // A process number beyond the kernel's maximum is never alive.
    stale.write("99999999\nkestrel\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    TExecuteBlocker lock("Kestrel.test");
    EXPECT_TRUE(lock.TryAcquire());
}

}  // namespace
}  // namespace kestrel

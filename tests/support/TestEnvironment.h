#pragma once

#include <QString>
#include <gtest/gtest.h>

namespace kestrel::test {

// Points XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_RUNTIME_DIR and TMPDIR at a new empty folder;
// returns that folder. The folder lives until the next call.
QString UseFreshUserFolders();

// The folder of the current test (valid inside a test).
QString TestFolder();

class FreshFoldersPerTest : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override { UseFreshUserFolders(); }
};

}  // namespace kestrel::test

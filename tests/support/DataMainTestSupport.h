#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "app/DataMain.h"

namespace kestrel::test {

// A start-up data module as the desktop program makes it, but without start conditions, with its
// data files ("$(DataNameNoExt)") in the given folder and its message boxes collected into messages
// (answered with OK).
std::unique_ptr<TdataMain> MakeTestDataMain(const QString& folder, QStringList& messages);

}  // namespace kestrel::test

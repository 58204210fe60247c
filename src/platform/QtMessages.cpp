#include "platform/QtMessages.h"

#include <QtGlobal>
#include <cstdio>

namespace kestrel {

namespace {

void DropQtMessage(QtMsgType type, const QMessageLogContext&, const QString&)
{
    // Qt ends the process after a fatal message; say so in the user's language.
    if (type == QtFatalMsg) std::fputs("エラー: 内部エラーのため終了します\n", stderr);
}

}  // namespace

void InstallQtMessageFilter()
{
    if (!qEnvironmentVariableIsSet("KESTREL_QT_MESSAGES")) qInstallMessageHandler(DropQtMessage);
}

}  // namespace kestrel

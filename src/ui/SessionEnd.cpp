#include "ui/SessionEnd.h"

#include <QGuiApplication>
#include <QSessionManager>

#include "app/AppFrame.h"
#include "app/ExceptionReport.h"
#include "label/DocumentFlows.h"
#include "platform/Error.h"
#include "ui/MainWindow.h"

namespace kestrel {

bool AgreeToEndSession(TfrmMain& window, bool mayAsk)
{
    if (!mayAsk) return true;
    try {
        return window.Flows().AskToSave();
    } catch (const EKestrel& e) {
        TAppFrame::ShowOkMessage("%s", {e.Message()});
    } catch (const std::exception& e) {
        ReportUnexpectedException(e);
    }
    return false;
}

void InstallSessionEndHook(QGuiApplication& app, std::function<TfrmMain*()> window)
{
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, [window = std::move(window)](QSessionManager& manager) {
        TfrmMain* main = window();
        if (!main) return;
        // Asking blocks until the session manager lets this program talk to the user.
        const bool mayAsk = manager.allowsInteraction();
        if (!AgreeToEndSession(*main, mayAsk)) manager.cancel();
        if (mayAsk) manager.release();
    });
}

}  // namespace kestrel

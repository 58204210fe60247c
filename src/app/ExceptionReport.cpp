#include "app/ExceptionReport.h"

#include <QtGlobal>
#include <utility>

namespace kestrel {

namespace {
TExceptionHandler& Handler()
{
    static TExceptionHandler handler;
    return handler;
}
}  // namespace

TExceptionHandler SetExceptionHandler(TExceptionHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}

void ReportUnexpectedException(const std::exception& e)
{
    if (Handler())
        Handler()(e);
    else
        qWarning("%s", e.what());
}

}  // namespace kestrel

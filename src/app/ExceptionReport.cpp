#include "app/ExceptionReport.h"

#include <QtGlobal>
#include <new>
#include <utility>

#include "platform/Error.h"

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

QString ExceptionMessage(const std::exception& e)
{
    if (const auto* known = dynamic_cast<const EKestrel*>(&e)) return known->Message();
    if (dynamic_cast<const std::bad_alloc*>(&e)) return QStringLiteral("メモリが足りません");
    return QStringLiteral("内部エラー(%1)").arg(QString::fromUtf8(e.what()));
}

}  // namespace kestrel

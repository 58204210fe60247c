#include "platform/Printers.h"

#include <QPrinterInfo>
#include <QtGui/qtguiglobal.h>

namespace kestrel {

bool DefaultPrinterAvailable()
{
#if QT_CONFIG(pdf)
    return true;
#else
    return !QPrinterInfo::defaultPrinter().isNull();
#endif
}

}  // namespace kestrel

#include "platform/Printers.h"

#include <QtGui/qtguiglobal.h>

#include <QPrinterInfo>

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

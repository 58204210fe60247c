// A date field's format, as a document holds it: macro expansion of the month names, then our
// own formatter, on a few dates (the last eight bytes of longer inputs give one more).
#include <cstring>

#include "fuzz/FuzzTarget.h"
#include "platform/Cp932.h"
#include "text/DateFormat.h"

KESTREL_FUZZ_TARGET(DateFormat)
{
    const QString format = kestrel::FromCp932(data);
    for (kestrel::TDateTime date : {38477.625, -1.25, 0.0, 2958465.999}) {
        // Every specifier writes at most a few characters: the text stays proportional to the format.
        if (kestrel::FormatDate(format, date).size() > 64 * (format.size() + 1)) qFatal("a date text out of proportion");
    }
    if (data.size() >= 8) {
        double date = 0;
        std::memcpy(&date, data.data() + data.size() - 8, sizeof date);
        kestrel::FormatDateTime(format, date);
    }
}

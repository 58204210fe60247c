// The version-up file of the paper update, as a server sends it: the three lines, and their
// comma text and date read on their own.
#include "fuzz/FuzzTarget.h"
#include "paper/VersionUpFile.h"

KESTREL_FUZZ_TARGET(VersionUpFile)
{
    // From the first day of the year 1 to the last of 9999.
    constexpr double FirstDay = -693594, LastDay = 2958466;
    const double date = kestrel::ReadUpdateDateTime(data);
    if (date < FirstDay || date > LastDay) qFatal("a date beyond the calendar");
    qsizetype itemBytes = 0;
    for (const QByteArray& item : kestrel::SplitCommaText(data)) itemBytes += item.size();
    if (itemBytes > data.size()) qFatal("comma text items longer than their text");
    if (const auto found = kestrel::ReadVersionUpFile(data); found && found->catalogue.isEmpty())
        qFatal("a version-up file without a catalogue");
}

// The printer settings table of the catalogue: its lines read as the catalogue stores them, and
// the sections a media lookup asks for.
#include "fuzz/FuzzTarget.h"
#include "paper/PapersV2.h"
#include "print/IniTable.h"

KESTREL_FUZZ_TARGET(PrinterSetting)
{
    const kestrel::TIniTable table(kestrel::DecodeTextLines(data.toByteArray()));
    for (const char* vendor : {"Canon", "Epson"}) {
        const QString group =
            table.Value(QStringLiteral("%1.PrinterGroup").arg(vendor), QStringLiteral("Model"));
        for (int n = 0; n < 10; ++n) {
            const QString media = table.Value(QStringLiteral("%1.%2.Paper.%3").arg(vendor, group).arg(n),
                                              QStringLiteral("@@default"));
            table.IntValue(QStringLiteral("%1.Paper.ID").arg(vendor), media);
        }
    }
}

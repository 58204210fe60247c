// CSV files: loaded as a table with a header, every row parsed, and read as mail-merge data.
#include "fuzz/FuzzTarget.h"
#include "platform/CSVData.h"
#include "music/LabelFill.h"

KESTREL_FUZZ_TARGET(Csv)
{
    kestrel::TCSVData table;
    table.SetHasHeader(true);
    table.LoadFromBytes(data);
    for (int i = 0; i < table.RowCount(); ++i) table.GetRow(i);
    kestrel::ReadFillData(data.toByteArray());
}

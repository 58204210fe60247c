// The product database: loaded as the shipped file, every record read.
#include "fuzz/FuzzTarget.h"
#include "paper/ProductDB.h"

KESTREL_FUZZ_TARGET(ProductDatabase)
{
    const QString file = kestrel::fuzz::WriteInputFile(data, QStringLiteral(".cdb"));
    kestrel::TProductDB database(file, file + QStringLiteral(".absent"));
    database.Load();
    for (int i = 0; i < database.Count(); ++i) {
        kestrel::TProductInfo record;
        database.Read(i, record);
    }
}

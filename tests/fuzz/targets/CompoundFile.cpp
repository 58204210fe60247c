// The compound-file reader: open, walk every storage, read every stream.
#include "fuzz/FuzzTarget.h"
#include "platform/cfb/CompoundFile.h"

namespace {
qint64 ReadEverything(const kestrel::TCfbStorage& storage)
{
    qint64 total = 0;
    for (const auto& [name, element] : storage.Children()) {
        if (element->IsStorage())
            total += ReadEverything(static_cast<const kestrel::TCfbStorage&>(*element));
        else
            total += static_cast<const kestrel::TCfbStream&>(*element).Data().size();
    }
    return total;
}
}  // namespace

KESTREL_FUZZ_TARGET(CompoundFile)
{
    const auto root = kestrel::ReadCompoundFile(data, QStringLiteral("fuzz"));
    if (ReadEverything(*root) < 0) qFatal("a stream of negative size");
}

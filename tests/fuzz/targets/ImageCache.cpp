// The preview cache: a cache file ("ImageCache.ic" or a folder's "Preview.ic") opened as a
// folder cache with every record read, or one record on its own.
#include "fuzz/FuzzTarget.h"
#include "imaging/PreviewCache.h"

KESTREL_FUZZ_TARGET(ImageCache)
{
    static const QByteArray compoundFileSignature = QByteArray::fromHex("d0cf11e0a1b11ae1");
    if (!data.startsWith(compoundFileSignature)) {
        kestrel::TImageCacheItem::FromRecord(data);
        return;
    }
    kestrel::TImageCacheStorage cache;
    cache.Open(kestrel::fuzz::WriteInputFile(data, QStringLiteral(".ic")), true);
    for (const QString& name : cache.TopRecords()) {
        kestrel::TImageCacheItem item;
        cache.Read(name, item);
    }
}

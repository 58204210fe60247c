// The "ZLIBCompress" container.
#include "fuzz/FuzzTarget.h"
#include "platform/ZlibContainer.h"

KESTREL_FUZZ_TARGET(ZlibContainer)
{
    const QByteArray unpacked = kestrel::UnpackIfContainer(data);
    if (kestrel::HasContainerSignature(data) && kestrel::UnpackContainer(kestrel::PackContainer(unpacked)) != unpacked)
        qFatal("the container does not give back what was packed");
}

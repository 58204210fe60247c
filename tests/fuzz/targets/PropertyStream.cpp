// The property-stream reader: a counted object list through the class registry, written back.
#include "fuzz/FuzzTarget.h"
#include "document/DOList.h"
#include "document/DrawObject.h"

KESTREL_FUZZ_TARGET(PropertyStream)
{
    kestrel::TDOList list;
    list.LoadFromBytes(data);
    QByteArray written;
    list.SaveToStream(written);
}

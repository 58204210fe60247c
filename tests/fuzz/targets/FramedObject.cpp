// The framed-object reader: one component in its resource frame, of any class the program reads
// from a framed stream (document, sheet, paper and product records).
#include "fuzz/FuzzTarget.h"
#include "document/stream/ClassRegistry.h"
#include "document/stream/ObjectStream.h"
#include "document/stream/Persistent.h"
#include "label/DataInfo.h"
#include "label/SheetInfo.h"
#include "edit/ModelStartup.h"
#include "paper/ProductInfo.h"
#include "platform/BoundedReader.h"

namespace {
const kestrel::TClassRegistry& FramedClasses()
{
    static const kestrel::TClassRegistry registry = [] {
        kestrel::TClassRegistry r;
        kestrel::RegisterStartupClasses(r);
        r.Register(kestrel::TDataInfo::StaticClass());
        r.Register(kestrel::TProductInfo::StaticClass());
        r.Register(kestrel::TSheetInfo::StaticClass());
        return r;
    }();
    return registry;
}
}  // namespace

KESTREL_FUZZ_TARGET(FramedObject)
{
    kestrel::TBoundedReader in(data);
    kestrel::TReadOptions options;
    options.registry = &FramedClasses();
    const std::unique_ptr<kestrel::TComponent> object = kestrel::ReadObjectRes(in, options);
    QByteArray written;
    kestrel::WriteObjectRes(written, "Fuzz", *object);
}

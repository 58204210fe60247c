// The label document: opened, every sheet and face read, the first face rendered small.
#include "fuzz/FuzzTarget.h"
#include "document/DOList.h"
#include "document/DrawObject.h"
#include "label/FaceRender.h"
#include "label/LabelData.h"

namespace {
constexpr int SmallDpi = 20;
}

KESTREL_FUZZ_TARGET(LabelDocument)
{
    const QString file = kestrel::fuzz::WriteInputFile(data, QStringLiteral(".mld"));
    kestrel::TLabelData document;
    document.LoadFromFile(file);
    document.SheetNames();
    for (int sheet = 0; sheet < document.SheetCount(); ++sheet) {
        document.SelectSheet(sheet);
        for (int n = 0; n < document.FaceCount(); ++n) {
            kestrel::TDOList objects;
            document.LoadFaceObjects(n, objects);
        }
    }
    document.SelectSheet(0);
    if (document.FaceCount() == 0) return;
    kestrel::TDOList objects;
    document.LoadFaceObjects(0, objects);
    kestrel::RenderFace(objects.ReleaseAll(), document.Face(0), SmallDpi);
}

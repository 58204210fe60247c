#include "codes/CodeKinds.h"

#include "codes/LOJANCode.h"
#include "codes/LOQRCode.h"
#include "codes/LOQRStd.h"
#include "document/ObjectKinds.h"

namespace kestrel {

void RegisterCodeKinds(TObjectKinds& kinds, TClassRegistry& classes)
{
    kinds.Register(TObjectKind::OfClass(TLOJANCode::StaticClass())
                       .EditedFirst()
                       .InMenu(QStringLiteral("JANコード(&J)..."), QStringLiteral("JANコード(バーコード)を追加します"), 300),
                   classes);
    kinds.Register(TObjectKind::OfClass(TLOQRStd::StaticClass())
                       .EditedFirst()
                       .InMenu(QStringLiteral("QRコード(&Q)..."),
                               QStringLiteral("電話帳・URL・テキストの QR コードを追加します"), 310),
                   classes);
    kinds.Register(TObjectKind::OfClass(TLOQRCode::StaticClass())
                       .EditedFirst()
                       .InMenu(QStringLiteral("QRコード(データ)"), QStringLiteral("任意のデータの QR コードを追加します"), 320),
                   classes);
}

}  // namespace kestrel

#include "objects/ShapeKinds.h"

#include "document/Capabilities.h"
#include "document/ObjectKinds.h"
#include "document/ObjectSite.h"
#include "document/stream/ClassRegistry.h"
#include "objects/ArrangedPicture.h"
#include "objects/BackImage.h"
#include "objects/LOAlphaMask.h"
#include "objects/LODecoLine.h"
#include "objects/LODecoString.h"
#include "objects/LOLine.h"
#include "objects/LORect.h"
#include "objects/PictureObject.h"

namespace kestrel {

namespace {
constexpr int DefaultLineLength = 400;
constexpr int DefaultRectWidth = 400;
constexpr int DefaultRectHeight = 300;
constexpr int DefaultCircleSize = 300;

// Drawn out with the mouse; the preparation gives what the drag does not.
void PrepareLine(TDrawObject& object, TObjectSite&)
{
    if (auto* line = dynamic_cast<TLOLine*>(&object)) line->SetEndPoint({DefaultLineLength, 0});
}

// White inside, so that ticking the fill shows a white shape rather than a black one.
TObjectKind::TPrepare PrepareFrame(int width, int height)
{
    return [width, height](TDrawObject& object, TObjectSite&) {
        if (auto* rect = dynamic_cast<TLORect*>(&object)) {
            rect->SetBounds({0, 0, width, height});
            rect->FillColor().SetColor(clWhite);
        }
    };
}

void CoverSite(TDrawObject& object, TObjectSite& site)
{
    const TRect area = site.LogicalArea();
    auto* shape = dynamic_cast<IRectShape*>(&object);
    if (!shape) return;
    shape->SetLeft(area.left);
    shape->SetTop(area.top);
    shape->SetWidth(area.Width());
    shape->SetHeight(area.Height());
}

void PastePicture(TDrawObject& object, TObjectSite&)
{
    if (auto* image = dynamic_cast<TLOImage*>(&object)) PasteClipboardPicture(*image);
}

void ScanPicture(TDrawObject& object, TObjectSite&)
{
    if (auto* image = dynamic_cast<TLOImage*>(&object)) AcquireScannedPicture(*image);
}

// Its picture comes from the illustration library, chosen in its property screen.
void MarkOnePoint(TDrawObject& object, TObjectSite&)
{
    if (auto* image = dynamic_cast<TLOImage*>(&object)) image->SetImageSource(isOnePoint);
}

// A creation command that makes a picture object: a "TLOWizardImage", in whose place TLOImage
// stands until the wizard picture arrives.
TObjectKind PictureCommand(QByteArray name)
{
    return TObjectKind::Command(std::move(name), [] { return std::make_unique<TLOImage>(); });
}
}  // namespace

void RegisterShapeKinds(TObjectKinds& kinds, TClassRegistry& classes)
{
    kinds.Register(TObjectKind::OfClass(TLOLine::StaticClass())
                       .PreparedBy(PrepareLine)
                       .InMenu(QStringLiteral("直線(&L)"), QStringLiteral("直線を追加します"), 100),
                   classes);
    kinds.Register(TObjectKind::OfClass(TLOCurve::StaticClass())
                       .PreparedBy(PrepareLine)
                       .InMenu(QStringLiteral("円弧(&A)"), QStringLiteral("円弧の曲線を追加します"), 110),
                   classes);
    kinds.Register(TObjectKind::OfClass(TLORect::StaticClass())
                       .PreparedBy(PrepareFrame(DefaultRectWidth, DefaultRectHeight))
                       .InMenu(QStringLiteral("四角(&R)"), QStringLiteral("四角形を追加します"), 120),
                   classes);
    kinds.Register(TObjectKind::OfClass(TLOCircle::StaticClass())
                       .PreparedBy(PrepareFrame(DefaultCircleSize, DefaultCircleSize))
                       .InMenu(QStringLiteral("円(&E)"), QStringLiteral("円・楕円を追加します"), 130),
                   classes);
    kinds.Register(TObjectKind::OfClass(TLODecoLine::StaticClass())
                       .EditedFirst()
                       .InMenu(QStringLiteral("飾り罫線(&D)..."), QStringLiteral("模様を並べた罫線を追加します"), 140),
                   classes);
    kinds.Register(TObjectKind::OfClass(TLOAlphaMask::StaticClass())
                       .EditedFirst()
                       .InMenu(QStringLiteral("塗りつぶしイラスト(&A)"), QStringLiteral("ぼかした図形を通して色を重ねます"), 150),
                   classes);
}

void RegisterPictureKinds(TObjectKinds& kinds, TClassRegistry& classes)
{
    classes.Register(TLOImage::StaticClass());
    classes.Register(TLOBackImage2004::StaticClass());
    kinds.Register(PictureCommand("TLOWizardImage"), classes);
    kinds.Register(PictureCommand("TLOImage")
                       .EditedFirst()
                       .InMenu(QStringLiteral("イメージファイル(&F)..."), QStringLiteral("ファイルからイメージを挿入します"), 400),
                   classes);
    kinds.Register(PictureCommand("TLOImagePaste")
                       .PreparedBy(PastePicture)
                       .PlacedAtOnce()
                       .InMenu(QStringLiteral("クリップボードのイメージ(&P)"),
                               QStringLiteral("クリップボードのイメージを挿入します"), 410),
                   classes);
    kinds.Register(PictureCommand("TLOBitmapPaste").PreparedBy(PastePicture).PlacedAtOnce(), classes);
    kinds.Register(PictureCommand("TLOMetafilePaste").PlacedAtOnce(), classes);
    kinds.Register(PictureCommand("TLOOnePoint")
                       .PreparedBy(MarkOnePoint)
                       .EditedFirst()
                       .InMenu(QStringLiteral("ワンポイントイラスト(&O)..."), QStringLiteral("イラスト集からイラストを挿入します"), 405),
                   classes);
    kinds.Register(PictureCommand("TLOTwain")
                       .PreparedBy(ScanPicture)
                       .EditedFirst()
                       .InMenu(QStringLiteral("TWAIN取り込み(&T)..."), QStringLiteral("スキャナーからイメージを取り込みます"), 420),
                   classes);
    kinds.Register(TObjectKind::OfClass(TLOArrangedImage::StaticClass()).PreparedBy(CoverSite).EditedFirst(), classes);
    kinds.Register(TObjectKind::OfClass(TLODecoString::StaticClass())
                       .EditedFirst()
                       .InMenu(QStringLiteral("飾り文字(&I)..."), QStringLiteral("絵で描いた文字を追加します"), 210),
                   classes);
}

}  // namespace kestrel

#include "codes/LOQRCode.h"

#include <QPainter>

#include "platform/BoundedReader.h"
#include "platform/Canvas.h"
#include "platform/RenderBudget.h"

namespace kestrel {

const TClassInfo& TLOQRCode::StaticClass()
{
    static const TClassInfo info("TLOQRCode", &TLORectBase::StaticClass(), FactoryOf<TLOQRCode>(), [] {
        return TPropsOf<TLOQRCode>()
            .Int("Angle", &TLOQRCode::Angle, &TLOQRCode::SetAngle, NoDefault)
            .Char("EncodeMode", &TLOQRCode::EncodeMode, &TLOQRCode::SetEncodeMode, NoDefault)
            .Bool("AutoEncodeMode", &TLOQRCode::AutoEncodeMode, &TLOQRCode::SetAutoEncodeMode, NoDefault)
            .Int("Version", &TLOQRCode::Version, &TLOQRCode::SetVersion, NoDefault)
            .Bool("AutoVersion", &TLOQRCode::AutoVersion, &TLOQRCode::SetAutoVersion, NoDefault)
            .Int("MaskNo", &TLOQRCode::MaskNo, &TLOQRCode::SetMaskNo, NoDefault)
            .Bool("AutoMask", &TLOQRCode::AutoMask, &TLOQRCode::SetAutoMask, NoDefault)
            .Char("ErrorCorrectLevel", &TLOQRCode::ErrorCorrectLevel, &TLOQRCode::SetErrorCorrectLevel, NoDefault)
            .Int("Mergin", &TLOQRCode::Mergin, &TLOQRCode::SetMergin, NoDefault)
            .Done();
    });
    return info;
}

TLOQRCode::TLOQRCode() : encoder_(std::make_unique<TQRCode>())
{
    SetBounds({0, 0, DefaultSize, DefaultSize});
}

TLOQRCode::~TLOQRCode() = default;

void TLOQRCode::SymbolChanged()
{
    turned_ = QImage();
    Changed();
}

template <typename T>
void TLOQRCode::Forward(void (TQRCode::*set)(T), T value)
{
    const bool wasDirty = encoder_->Dirty();
    (encoder_.get()->*set)(value);
    if (encoder_->Dirty() && !wasDirty) SymbolChanged();
}

void TLOQRCode::SetData(const QByteArray& data)
{
    if (data == encoder_->Data()) return;
    encoder_->SetData(data);
    SymbolChanged();
}

void TLOQRCode::SetEncodeMode(char mode) { Forward(&TQRCode::SetEncodeMode, mode); }
void TLOQRCode::SetAutoEncodeMode(bool value) { Forward(&TQRCode::SetAutoEncodeMode, value); }
void TLOQRCode::SetVersion(int version) { Forward(&TQRCode::SetVersion, version); }
void TLOQRCode::SetAutoVersion(bool value) { Forward(&TQRCode::SetAutoVersion, value); }
void TLOQRCode::SetMaskNo(int mask) { Forward(&TQRCode::SetMaskNo, mask); }
void TLOQRCode::SetAutoMask(bool value) { Forward(&TQRCode::SetAutoMask, value); }
void TLOQRCode::SetErrorCorrectLevel(char level) { Forward(&TQRCode::SetErrorCorrectLevel, level); }
void TLOQRCode::SetMergin(int modules) { Forward(&TQRCode::SetMargin, modules); }

const TQRCode& TLOQRCode::Encoded()
{
    encoder_->Encode();
    return *encoder_;
}

QString TLOQRCode::Problem()
{
    return Encoded().ProblemMessage();
}

void TLOQRCode::Loaded()
{
    TLOTurnedRect::Loaded();
    encoder_->Encode();
}

void TLOQRCode::DefineProperties(TFiler& filer)
{
    filer.DefineBinaryProperty(
        "QRData",
        [this](TBoundedReader& in) {
            const int32_t count = in.ReadI32();
            if (count < 0 || count != in.Remaining()) in.Fail();
            SetData(in.ReadBytes(count).toByteArray());
        },
        [this](QByteArray& out) {
            const int32_t count = static_cast<int32_t>(Data().size());
            out.append(reinterpret_cast<const char*>(&count), sizeof count);
            out += Data();
        },
        true);
}

// The symbol stretched onto a bitmap of the object's size, one pixel per logical unit, turned;
// what the turn uncovers stays transparent.
const QImage& TLOQRCode::TurnedPicture()
{
    if (!turned_.isNull()) return turned_;
    QImage upright(std::max(1, Width()), std::max(1, Height()), QImage::Format_ARGB32);
    {
        QPainter painter(&upright);
        painter.drawImage(QRect(0, 0, upright.width(), upright.height()), encoder_->Symbol());
    }
    turned_ = upright.transformed(QTransform().rotate(Angle()), Qt::FastTransformation);
    return turned_;
}

void TLOQRCode::Paint(TCanvas& canvas)
{
    if (TRenderBudget* budget = canvas.RenderBudget(); budget && !encoder_->Encode())
        budget->Note(QStringLiteral("QR コード: %1").arg(encoder_->ProblemMessage()));
    if (Angle() % 360 == 0) {
        encoder_->Draw(canvas, Rect());
        return;
    }
    if (encoder_->Encode()) canvas.StretchDraw(GetBounds(), TurnedPicture(), TStretchQuality::sqDevice);
}

void TLOQRCode::AssignFrom(const TDrawObject& source)
{
    TLOTurnedRect::AssignFrom(source);
    const auto* other = dynamic_cast<const TLOQRCode*>(&source);
    if (!other) return;
    encoder_->Assign(*other->encoder_);
    SymbolChanged();
}

}  // namespace kestrel

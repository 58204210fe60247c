#pragma once

#include <QImage>
#include <memory>

#include "codes/QRCode.h"
#include "document/TurnedRectObject.h"

namespace kestrel {

// A QR symbol of raw bytes on a label, turned by its angle. Encoding waits for the first paint
// (or the end of reading a stream), so reading a document encodes each symbol once.
class TLOQRCode : public TLOTurnedRect {
    KESTREL_PERSISTENT()
public:
    static constexpr int DefaultSize = 200;

    TLOQRCode();
    ~TLOQRCode() override;

    const QByteArray& Data() const { return encoder_->Data(); }
    void SetData(const QByteArray& data);
    // The encoder with the current data, encoded.
    const TQRCode& Encoded();

    char EncodeMode() const { return encoder_->EncodeMode(); }
    void SetEncodeMode(char mode);
    bool AutoEncodeMode() const { return encoder_->AutoEncodeMode(); }
    void SetAutoEncodeMode(bool value);
    int Version() const { return encoder_->Version(); }
    void SetVersion(int version);
    bool AutoVersion() const { return encoder_->AutoVersion(); }
    void SetAutoVersion(bool value);
    int MaskNo() const { return encoder_->MaskNo(); }
    void SetMaskNo(int mask);
    bool AutoMask() const { return encoder_->AutoMask(); }
    void SetAutoMask(bool value);
    char ErrorCorrectLevel() const { return encoder_->ErrorCorrectLevel(); }
    void SetErrorCorrectLevel(char level);
    int Mergin() const { return encoder_->Margin(); }
    void SetMergin(int modules);

    // Why no symbol is drawn; empty when one is.
    QString Problem() override;

    bool KeepsAspect() const override { return true; }
    // A symbol that cannot be made is noted on the canvas's budget.
    void Paint(TCanvas& canvas) override;
    void Loaded() override;
    // The count is checked against the record's bytes.
    void DefineProperties(TFiler& filer) override;

protected:
    void AssignFrom(const TDrawObject& source) override;
    void AngleChanged() override { turned_ = QImage(); }
    // Drops the turned picture and tells the site.
    void SymbolChanged();
    TQRCode& Encoder() { return *encoder_; }

private:
    template <typename T>
    void Forward(void (TQRCode::*set)(T), T value);
    const QImage& TurnedPicture();

    std::unique_ptr<TQRCode> encoder_;
    QImage turned_;
};

}  // namespace kestrel

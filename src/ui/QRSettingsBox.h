#pragma once

#include <QGroupBox>

class QComboBox;
class QSpinBox;

namespace kestrel {

class TLOQRCode;

// The encoder settings both QR dialogs offer: error correction, mask, margin and angle.
class TQRSettingsBox : public QGroupBox {
public:
    // onChange runs after every change has been written to the object.
    TQRSettingsBox(TLOQRCode& object, std::function<void()> onChange, QWidget* parent = nullptr);
    // Vodafone phones read M, Q and H only; a stored L shows as M.
    void OfferLevelL(bool offer);

private:
    void ShowLevel();

    TLOQRCode& object_;
    std::function<void()> onChange_;
    QComboBox* level_;
    QComboBox* mask_;
    QSpinBox* margin_;
    QSpinBox* angle_;
    bool offerL_ = true;
};

// The angle entry of the code dialogs: whole degrees, clockwise.
QSpinBox* NewAngleBox(QWidget* parent, int angle);

}  // namespace kestrel

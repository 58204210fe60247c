#pragma once

class QWidget;

namespace kestrel {

class TDrawObject;

// Properties of a QR object of free data: the text (stored as Shift-JIS bytes), mode, version
// and the encoder settings, with a live preview. False when the user cancelled.
bool EditQRCode(QWidget* parent, TDrawObject& object);

// Properties of a QR object of phone data: carrier, item, the phone-book, bookmark or free-text
// fields and the encoder settings, with a live preview. False when the user cancelled.
bool EditQRStd(QWidget* parent, TDrawObject& object);

}  // namespace kestrel

#pragma once

// The legacy "Bitmap" property of colour specs: "Data" is an int32 byte count and a BMP file.
// Read only; the picture goes to the handler.

#include <functional>

#include "document/stream/Persistent.h"
#include "platform/Graphic.h"

namespace kestrel {

class TLegacyBitmap : public TPersistent {
    KESTREL_PERSISTENT()
public:
    explicit TLegacyBitmap(std::function<void(const TGraphic&)> onRead = {}) : onRead_(std::move(onRead)) {}
    void DefineProperties(TFiler& filer) override;

private:
    std::function<void(const TGraphic&)> onRead_;
};

}  // namespace kestrel

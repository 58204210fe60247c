#include "platform/Bitmap.h"

#include <cmath>

#include "platform/Error.h"

namespace kestrel {

namespace {

constexpr double MetersPerInch = 0.0254;

QImage::Format QtFormat(TPixelFormat format)
{
    switch (format) {
    case TPixelFormat::pf8bit: return QImage::Format_Grayscale8;
    case TPixelFormat::pf24bit: return QImage::Format_RGB888;
    case TPixelFormat::pf32bit: return QImage::Format_RGB32;
    }
    return QImage::Format_RGB32;
}

}  // namespace

TBitmap::TBitmap(int width, int height, TPixelFormat format, int dpi) : format_(format)
{
    SetSize(width, height);
    SetDpi(dpi);
    Fill(format == TPixelFormat::pf8bit ? clBlack : clWhite);
}

int TBitmap::Dpi() const
{
    return static_cast<int>(std::lround(image_.dotsPerMeterY() * MetersPerInch));
}

void TBitmap::SetDpi(int dpi)
{
    const int perMeter = static_cast<int>(std::lround(dpi / MetersPerInch));
    image_.setDotsPerMeterX(perMeter);
    image_.setDotsPerMeterY(perMeter);
}

void TBitmap::SetSize(int width, int height)
{
    if (width < 0 || height < 0 || int64_t(width) * height > (int64_t(1) << 28))
        throw EKestrel(QStringLiteral("ビットマップの大きさ %1×%2 は扱えません").arg(width).arg(height));
    const int dpi = image_.isNull() ? 96 : Dpi();
    image_ = width && height ? QImage(width, height, QtFormat(format_)) : QImage();
    if (image_.isNull() && width && height) throw EKestrel(QStringLiteral("ビットマップを作成できません"));
    SetDpi(dpi);
}

void TBitmap::Fill(TColor color)
{
    image_.fill(ToQColor(color));
}

void TBitmap::CheckRow(int y) const
{
    if (y < 0 || y >= image_.height())
        throw EKestrel(QStringLiteral("ビットマップの行 %1 は範囲外です").arg(y));
}

uint8_t* TBitmap::ScanLine(int y)
{
    CheckRow(y);
    return image_.scanLine(y);
}

const uint8_t* TBitmap::ScanLine(int y) const
{
    CheckRow(y);
    return image_.constScanLine(y);
}

}  // namespace kestrel

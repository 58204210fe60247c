#include "SaneScanner.h"

#include <cstring>
#include <sane/sane.h>
#include <sane/saneopts.h>

namespace kestrel::plugin {

namespace {

// A scan of more than this many bytes of raw data is refused, whatever the device claims.
constexpr qint64 kMaxScanBytes = qint64(1) << 28;

void Check(SANE_Status status, const QString& what)
{
    if (status != SANE_STATUS_GOOD)
        throw EPluginError(QStringLiteral("%1: %2").arg(what, QString::fromUtf8(sane_strstatus(status))));
}

struct THandleCloser {
    void operator()(void* handle) const { sane_close(static_cast<SANE_Handle>(handle)); }
};
using THandle = std::unique_ptr<void, THandleCloser>;

THandle OpenDevice(const QString& device)
{
    SANE_Handle handle = nullptr;
    Check(sane_open(device.toUtf8().constData(), &handle), QStringLiteral("スキャナー「%1」を開けません").arg(device));
    return THandle(handle);
}

// The option of the device with this name, and its number.
const SANE_Option_Descriptor* FindOption(SANE_Handle handle, const char* name, SANE_Int* number)
{
    for (SANE_Int i = 1;; ++i) {
        const SANE_Option_Descriptor* option = sane_get_option_descriptor(handle, i);
        if (!option) return nullptr;
        if (option->name && qstrcmp(option->name, name) == 0 && SANE_OPTION_IS_ACTIVE(option->cap)) {
            *number = i;
            return option;
        }
    }
}

QString NumberText(const SANE_Option_Descriptor* option, SANE_Word value)
{
    return option->type == SANE_TYPE_FIXED ? QString::number(SANE_UNFIX(value)) : QString::number(value);
}

// The values a word option offers: its list, or a few usual ones within its range.
QStringList WordChoices(const SANE_Option_Descriptor* option)
{
    QStringList choices;
    if (option->constraint_type == SANE_CONSTRAINT_WORD_LIST) {
        const SANE_Word* list = option->constraint.word_list;
        for (SANE_Word i = 1; i <= list[0]; ++i) choices << NumberText(option, list[i]);
    } else if (option->constraint_type == SANE_CONSTRAINT_RANGE) {
        const SANE_Range* range = option->constraint.range;
        const double low = option->type == SANE_TYPE_FIXED ? SANE_UNFIX(range->min) : range->min;
        const double high = option->type == SANE_TYPE_FIXED ? SANE_UNFIX(range->max) : range->max;
        for (const int usual : {50, 75, 100, 150, 200, 300, 400, 600, 1200})
            if (usual >= low && usual <= high) choices << QString::number(usual);
    }
    return choices;
}

QStringList StringChoices(const SANE_Option_Descriptor* option)
{
    QStringList choices;
    if (option->constraint_type == SANE_CONSTRAINT_STRING_LIST)
        for (const SANE_String_Const* s = option->constraint.string_list; s && *s; ++s) choices << QString::fromUtf8(*s);
    return choices;
}

QString CurrentValue(SANE_Handle handle, SANE_Int number, const SANE_Option_Descriptor* option)
{
    if (option->type == SANE_TYPE_STRING) {
        QByteArray value(qMax<SANE_Int>(option->size, 1), '\0');
        if (sane_control_option(handle, number, SANE_ACTION_GET_VALUE, value.data(), nullptr) != SANE_STATUS_GOOD)
            return {};
        return QString::fromUtf8(value.constData());
    }
    SANE_Word word = 0;
    if (option->size != sizeof(SANE_Word) ||
        sane_control_option(handle, number, SANE_ACTION_GET_VALUE, &word, nullptr) != SANE_STATUS_GOOD)
        return {};
    return NumberText(option, word);
}

void SetOption(SANE_Handle handle, const char* name, const QString& value)
{
    if (value.isEmpty()) return;
    SANE_Int number = 0;
    const SANE_Option_Descriptor* option = FindOption(handle, name, &number);
    if (!option || !SANE_OPTION_IS_SETTABLE(option->cap)) return;
    const QString what = QStringLiteral("「%1」を %2 にできません").arg(QString::fromUtf8(name), value);
    if (option->type == SANE_TYPE_STRING) {
        QByteArray text = value.toUtf8();
        if (text.size() >= option->size) throw EPluginError(what);
        text.resize(option->size, '\0');
        Check(sane_control_option(handle, number, SANE_ACTION_SET_VALUE, text.data(), nullptr), what);
        return;
    }
    bool ok = false;
    const double number_ = value.toDouble(&ok);
    if (!ok || option->size != sizeof(SANE_Word)) throw EPluginError(what);
    SANE_Word word = option->type == SANE_TYPE_FIXED ? SANE_FIX(number_) : SANE_Word(number_);
    Check(sane_control_option(handle, number, SANE_ACTION_SET_VALUE, &word, nullptr), what);
}

// Raw samples of one frame to 0xAARRGGBB pixels.
class TFrameReader {
public:
    TFrameReader(const SANE_Parameters& p, TPixels* pixels) : p_(p), pixels_(pixels) {}

    // Puts one complete line of raw data.
    void PutLine(const uint8_t* line, uint32_t y)
    {
        uint32_t* out = pixels_->data.data() + size_t(y) * pixels_->width;
        for (uint32_t x = 0; x < pixels_->width; ++x) out[x] = Merge(out[x], line, x);
    }

private:
    uint8_t Sample(const uint8_t* line, uint32_t index) const
    {
        if (p_.depth == 1) return (line[index / 8] >> (7 - index % 8)) & 1 ? 0 : 255;  // 1 is black
        if (p_.depth == 16) return line[index * 2 + 1];                                  // little-endian, high byte
        return line[index];
    }

    uint32_t Merge(uint32_t pixel, const uint8_t* line, uint32_t x) const
    {
        switch (p_.format) {
        case SANE_FRAME_GRAY: {
            const uint32_t v = Sample(line, x);
            return 0xFF000000u | v << 16 | v << 8 | v;
        }
        case SANE_FRAME_RGB:
            return 0xFF000000u | uint32_t(Sample(line, x * 3)) << 16 | uint32_t(Sample(line, x * 3 + 1)) << 8 |
                   Sample(line, x * 3 + 2);
        case SANE_FRAME_RED: return 0xFF000000u | (pixel & 0x0000FFFFu) | uint32_t(Sample(line, x)) << 16;
        case SANE_FRAME_GREEN: return 0xFF000000u | (pixel & 0x00FF00FFu) | uint32_t(Sample(line, x)) << 8;
        case SANE_FRAME_BLUE: return 0xFF000000u | (pixel & 0x00FFFF00u) | Sample(line, x);
        default: return pixel;
        }
    }

    SANE_Parameters p_;
    TPixels* pixels_;
};

void CheckParameters(const SANE_Parameters& p)
{
    const bool known = p.format == SANE_FRAME_GRAY || p.format == SANE_FRAME_RGB || p.format == SANE_FRAME_RED ||
                       p.format == SANE_FRAME_GREEN || p.format == SANE_FRAME_BLUE;
    const int channels = p.format == SANE_FRAME_RGB ? 3 : 1;
    const bool depthOk = p.depth == 1 || p.depth == 8 || p.depth == 16;
    if (!known || !depthOk || p.pixels_per_line <= 0 || p.lines <= 0 || p.pixels_per_line > 30000 ||
        p.lines > 30000 || qint64(p.pixels_per_line) * p.lines > (qint64(1) << 26) ||
        qint64(p.bytes_per_line) * 8 < qint64(p.pixels_per_line) * channels * p.depth ||
        qint64(p.bytes_per_line) * p.lines > kMaxScanBytes)
        throw EPluginError(QStringLiteral("スキャナーの画像の形式 (形式 %1、%2 ビット、%3×%4) は扱えません")
                               .arg(p.format)
                               .arg(p.depth)
                               .arg(p.pixels_per_line)
                               .arg(p.lines));
}

bool ReadFrame(SANE_Handle handle, TPixels* pixels, const std::function<bool()>& cancelled)
{
    SANE_Parameters p{};
    Check(sane_get_parameters(handle, &p), QStringLiteral("画像の形式がわかりません"));
    CheckParameters(p);
    if (pixels->data.empty()) {
        pixels->width = uint32_t(p.pixels_per_line);
        pixels->height = uint32_t(p.lines);
        pixels->data.assign(size_t(pixels->width) * pixels->height, 0xFFFFFFFFu);
    } else if (pixels->width != uint32_t(p.pixels_per_line) || pixels->height != uint32_t(p.lines)) {
        throw EPluginError(QStringLiteral("スキャナーの色ごとの画像の大きさが違います"));
    }
    TFrameReader reader(p, pixels);
    std::vector<uint8_t> line(size_t(p.bytes_per_line));
    size_t filled = 0;
    uint32_t y = 0;
    std::vector<uint8_t> block(32768);
    for (;;) {
        if (cancelled()) return false;
        SANE_Int length = 0;
        const SANE_Status status = sane_read(handle, block.data(), SANE_Int(block.size()), &length);
        if (status == SANE_STATUS_EOF) break;
        Check(status, QStringLiteral("スキャンできません"));
        for (SANE_Int i = 0; i < length && y < pixels->height;) {
            const size_t take = qMin(size_t(length - i), line.size() - filled);
            std::memcpy(line.data() + filled, block.data() + i, take);
            filled += take;
            i += SANE_Int(take);
            if (filled == line.size()) {
                reader.PutLine(line.data(), y++);
                filled = 0;
            }
        }
    }
    return p.last_frame;
}

}  // namespace

TSaneSession::TSaneSession()
{
    SANE_Int version = 0;
    Check(sane_init(&version, nullptr), QStringLiteral("SANE を使えません"));
}

TSaneSession::~TSaneSession()
{
    sane_exit();
}

std::vector<TScannerInfo> TSaneSession::Scanners() const
{
    const SANE_Device** devices = nullptr;
    Check(sane_get_devices(&devices, SANE_FALSE), QStringLiteral("スキャナーの一覧を取れません"));
    std::vector<TScannerInfo> scanners;
    for (const SANE_Device** d = devices; d && *d; ++d)
        scanners.push_back({QString::fromUtf8((*d)->name),
                            QStringLiteral("%1 %2").arg(QString::fromUtf8((*d)->vendor), QString::fromUtf8((*d)->model))});
    return scanners;
}

TSaneSession::TOptions TSaneSession::Options(const QString& device) const
{
    const THandle handle = OpenDevice(device);
    TOptions options;
    SANE_Int number = 0;
    if (const SANE_Option_Descriptor* o = FindOption(handle.get(), SANE_NAME_SCAN_RESOLUTION, &number)) {
        options.resolutions = WordChoices(o);
        options.resolution = CurrentValue(handle.get(), number, o);
    }
    if (const SANE_Option_Descriptor* o = FindOption(handle.get(), SANE_NAME_SCAN_MODE, &number)) {
        options.modes = StringChoices(o);
        options.mode = CurrentValue(handle.get(), number, o);
    }
    return options;
}

TPixels TSaneSession::Scan(const TScanChoice& choice, const std::function<bool()>& cancelled) const
{
    const THandle handle = OpenDevice(choice.device);
    SetOption(handle.get(), SANE_NAME_SCAN_MODE, choice.mode);
    SetOption(handle.get(), SANE_NAME_SCAN_RESOLUTION, choice.resolution);
    TPixels pixels;
    for (bool last = false; !last;) {
        const SANE_Status started = sane_start(handle.get());
        if (started == SANE_STATUS_CANCELLED) return {};
        Check(started, QStringLiteral("スキャンを始められません"));
        const bool complete = ReadFrame(handle.get(), &pixels, cancelled);
        if (cancelled()) {
            sane_cancel(handle.get());
            return {};
        }
        last = complete;
    }
    sane_cancel(handle.get());
    return pixels;
}

}  // namespace kestrel::plugin

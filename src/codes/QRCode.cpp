#include "codes/QRCode.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "codes/QRMatrix.h"
#include "codes/QRTables.h"
#include "codes/ReedSolomon.h"
#include "platform/Canvas.h"

namespace kestrel {

namespace {

// Modules of quiet zone drawn at most: many times the four a reader needs.
constexpr int kMaxDrawnMargin = 64;

constexpr uint8_t kPadCodewords[2] = {236, 17};

// Value of each byte in the alphanumeric set; -1 outside it.
const std::array<int8_t, 256>& AlphanumericTable()
{
    static const std::array<int8_t, 256> table = [] {
        std::array<int8_t, 256> values;
        values.fill(-1);
        const char* set = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
        for (int i = 0; set[i]; ++i) values[static_cast<uint8_t>(set[i])] = static_cast<int8_t>(i);
        return values;
    }();
    return table;
}

int ModeIndicator(char mode)
{
    return mode == '0' ? 1 : mode == 'A' ? 2 : 4;
}

int BaseCountBits(char mode)
{
    return mode == '0' ? 10 : mode == 'A' ? 9 : 8;
}

// Extra count-field bits the version needs beyond the base width.
int CountWidening(char mode, int version)
{
    if (mode == '8') return version >= 10 ? 8 : 0;
    return version >= 27 ? 4 : version >= 10 ? 2 : 0;
}

int DataBits(char mode, int count)
{
    switch (mode) {
    case '0': return 10 * (count / 3) + (count % 3 == 2 ? 7 : count % 3 == 1 ? 4 : 0);
    case 'A': return 11 * (count / 2) + 6 * (count % 2);
    default: return 8 * count;
    }
}

int CapacityBits(int version, int levelIndex)
{
    return QRBlocks(version, levelIndex).DataCodewords() * 8;
}

bool Fits(const int baseBits, char mode, int count, int version, int levelIndex)
{
    const int countBits = BaseCountBits(mode) + CountWidening(mode, version);
    return count < (1 << countBits) && baseBits + CountWidening(mode, version) <= CapacityBits(version, levelIndex);
}

// Appends bits most significant first to a byte buffer.
class TBitWriter {
public:
    explicit TBitWriter(QByteArray& out) : out_(out) {}
    void Write(uint32_t value, int length)
    {
        for (int i = length - 1; i >= 0; --i) {
            if (bits_ % 8 == 0) out_.append('\0');
            if ((value >> i) & 1) out_.data()[bits_ / 8] |= char(0x80 >> (bits_ % 8));
            ++bits_;
        }
    }

private:
    QByteArray& out_;
    int bits_ = 0;
};

}  // namespace

int QRLevelIndex(char level)
{
    switch (level) {
    case 'L': return 0;
    case 'M': return 1;
    case 'Q': return 2;
    case 'H': return 3;
    default: return -1;
    }
}

bool QRFitsMode(QByteArrayView data, char mode)
{
    if (mode == '8') return true;
    for (const char c : data) {
        if (mode == '0' ? (c < '0' || c > '9') : AlphanumericTable()[static_cast<uint8_t>(c)] < 0) return false;
    }
    return true;
}

char QRModeOf(QByteArrayView data)
{
    if (data.isEmpty()) return '8';
    if (QRFitsMode(data, '0')) return '0';
    return QRFitsMode(data, 'A') ? 'A' : '8';
}

TQRCode::TQRCode() = default;
TQRCode::~TQRCode() = default;
TQRCode::TQRCode(const TQRCode& source) = default;
TQRCode& TQRCode::operator=(const TQRCode& source) = default;

void TQRCode::MarkDirty()
{
    dirty_ = true;
    analysis_.reset();
}

void TQRCode::SetData(const QByteArray& data)
{
    data_ = data;
    MarkDirty();
}

char TQRCode::EncodeMode() const
{
    return Analysis().mode;
}

void TQRCode::SetEncodeMode(char mode)
{
    if ((mode != '0' && mode != 'A' && mode != '8') || mode == mode_) return;
    mode_ = mode;
    MarkDirty();
}

void TQRCode::SetAutoEncodeMode(bool value)
{
    if (value == autoMode_) return;
    autoMode_ = value;
    MarkDirty();
}

int TQRCode::Version() const
{
    if (!autoVersion_) return version_;
    const int fitting = Analysis().version;
    return fitting ? fitting : version_;
}

void TQRCode::SetVersion(int version)
{
    if (version < kQRMinVersion || version > kQRMaxVersion || version == version_) return;
    version_ = version;
    MarkDirty();
}

void TQRCode::SetAutoVersion(bool value)
{
    if (value == autoVersion_) return;
    autoVersion_ = value;
    MarkDirty();
}

void TQRCode::SetErrorCorrectLevel(char level)
{
    if (QRLevelIndex(level) < 0 || level == level_) return;
    level_ = level;
    MarkDirty();
}

void TQRCode::SetMaskNo(int mask)
{
    if (mask < 0 || mask >= kQRMaskCount || mask == mask_) return;
    mask_ = mask;
    MarkDirty();
}

void TQRCode::SetAutoMask(bool value)
{
    if (value == autoMask_) return;
    autoMask_ = value;
    MarkDirty();
}

void TQRCode::SetMargin(int modules)
{
    if (modules < 0 || modules == margin_) return;
    margin_ = modules;
    MarkDirty();
}

const TQRCode::TAnalysis& TQRCode::Analysis() const
{
    if (analysis_) return *analysis_;
    TAnalysis analysis;
    analysis.mode = autoMode_ ? QRModeOf(data_) : QRFitsMode(data_, mode_) ? mode_ : '8';
    const int count = static_cast<int>(data_.size());
    analysis.baseBits = 4 + BaseCountBits(analysis.mode) + DataBits(analysis.mode, count);
    const int level = QRLevelIndex(level_);
    if (!autoVersion_) {
        analysis.version = Fits(analysis.baseBits, analysis.mode, count, version_, level) ? version_ : 0;
    } else {
        for (int v = kQRMinVersion; v <= kQRMaxVersion && !analysis.version; ++v)
            if (Fits(analysis.baseBits, analysis.mode, count, v, level)) analysis.version = v;
    }
    analysis_ = analysis;
    return *analysis_;
}

TQRProblem TQRCode::Problem() const
{
    if (Analysis().version) return TQRProblem::qpNone;
    return autoVersion_ ? TQRProblem::qpTooLong : TQRProblem::qpTooLongForVersion;
}

QString TQRCode::ProblemMessage() const
{
    switch (Problem()) {
    case TQRProblem::qpTooLong:
        return QStringLiteral("データが多すぎるため、誤り訂正レベル%1のQRコードに収まりません。").arg(QChar(level_));
    case TQRProblem::qpTooLongForVersion:
        return QStringLiteral("データが多すぎるため、バージョン%1・誤り訂正レベル%2のQRコードに収まりません。")
            .arg(version_)
            .arg(QChar(level_));
    default: return {};
    }
}

void TQRCode::BuildSegment(const TAnalysis& analysis)
{
    const char mode = analysis.mode;
    const int count = static_cast<int>(data_.size());
    const int dataElements = mode == '0' ? (count + 2) / 3 : mode == 'A' ? (count + 1) / 2 : count;
    values_.SetCount(dataElements + 3);  // mode, count, data, terminator
    lengths_.SetCount(dataElements + 3);
    int n = 0;
    auto add = [&](int value, int length) {
        values_.Set(n, value);
        lengths_.Set(n, length);
        ++n;
    };
    add(ModeIndicator(mode), 4);
    add(count, BaseCountBits(mode) + CountWidening(mode, analysis.version));
    const auto* bytes = reinterpret_cast<const uint8_t*>(data_.constData());
    if (mode == '0') {
        for (int i = 0; i < count; i += 3) {
            const int group = std::min(3, count - i);
            int value = 0;
            for (int k = 0; k < group; ++k) value = value * 10 + (bytes[i + k] - '0');
            add(value, group == 3 ? 10 : group == 2 ? 7 : 4);
        }
    } else if (mode == 'A') {
        const auto& table = AlphanumericTable();
        for (int i = 0; i + 1 < count; i += 2) add(45 * table[bytes[i]] + table[bytes[i + 1]], 11);
        if (count % 2) add(table[bytes[count - 1]], 6);
    } else {
        for (int i = 0; i < count; ++i) add(bytes[i], 8);
    }
    streamBits_ = analysis.baseBits + CountWidening(mode, analysis.version);
    const int capacity = CapacityBits(analysis.version, QRLevelIndex(level_));
    const int terminator = std::min(4, capacity - streamBits_);
    add(0, terminator);
    streamBits_ += terminator;
}

QByteArray TQRCode::DataCodewords(int dataCodewords)
{
    QByteArray out;
    out.reserve(dataCodewords);
    TBitWriter writer(out);
    for (int i = 0; i < values_.Count(); ++i) writer.Write(static_cast<uint32_t>(values_.Get(i)), lengths_.Get(i));
    for (int pad = 0; out.size() < dataCodewords; pad ^= 1) out.append(static_cast<char>(kPadCodewords[pad]));
    return out;
}

QByteArray TQRCode::FinalCodewords(int version, int levelIndex)
{
    const TQRBlockLayout layout = QRBlocks(version, levelIndex);
    const QByteArray data = DataCodewords(layout.DataCodewords());
    const int blocks = layout.Blocks();
    QByteArray out(QRTotalCodewords(version), '\0');
    auto* result = reinterpret_cast<uint8_t*>(out.data());
    const auto* source = reinterpret_cast<const uint8_t*>(data.constData());
    const int dataTotal = layout.DataCodewords();
    const int shortDataPositions = layout.shortData * blocks;
    std::array<uint8_t, kMaxReedSolomonDegree> ec;
    int offset = 0;
    for (int k = 0; k < blocks; ++k) {
        const bool isLong = k >= layout.shortBlocks;
        const int length = layout.shortData + (isLong ? 1 : 0);
        for (int c = 0; c < layout.shortData; ++c) result[c * blocks + k] = source[offset + c];
        if (isLong) result[shortDataPositions + (k - layout.shortBlocks)] = source[offset + layout.shortData];
        const std::span<uint8_t> remainder(ec.data(), layout.ecPerBlock);
        ReedSolomonRemainder({source + offset, size_t(length)}, remainder);
        for (int c = 0; c < layout.ecPerBlock; ++c) result[dataTotal + c * blocks + k] = remainder[c];
        offset += length;
    }
    return out;
}

bool TQRCode::Encode()
{
    if (!dirty_) return !symbol_.isNull();
    dirty_ = false;
    const TAnalysis analysis = Analysis();
    if (!analysis.version) {
        modules_.clear();
        side_ = 0;
        symbol_ = QImage();
        return false;
    }
    const int levelIndex = QRLevelIndex(level_);
    BuildSegment(analysis);
    const QByteArray codewords = FinalCodewords(analysis.version, levelIndex);
    TQRMatrix matrix(analysis.version);
    matrix.PlaceCodewords({reinterpret_cast<const uint8_t*>(codewords.constData()), size_t(codewords.size())});
    mask_ = matrix.ChooseMask(mask_, autoMask_);
    matrix.WriteFormat(levelIndex, mask_);
    side_ = matrix.Side();
    modules_.assign(matrix.Modules().begin(), matrix.Modules().end());
    Render();
    return true;
}

bool TQRCode::IsDark(int column, int row) const
{
    if (column < 0 || row < 0 || column >= side_ || row >= side_) return false;
    return modules_[size_t(column) * side_ + row] & (kQRMasked | kQRDarkFunction);
}

void TQRCode::Render()
{
    // A stored quiet zone beyond any use (a damaged stream) is drawn at the widest sensible one,
    // so that the picture's size neither overflows nor exhausts memory.
    const int margin = std::min(margin_, kMaxDrawnMargin);
    const int size = side_ + 2 * margin;
    symbol_ = QImage(size, size, QImage::Format_RGB888);
    if (symbol_.isNull()) return;
    symbol_.fill(Qt::white);
    for (int row = 0; row < side_; ++row) {
        uchar* line = symbol_.scanLine(margin + row) + 3 * margin;
        for (int column = 0; column < side_; ++column)
            if (IsDark(column, row)) std::memset(line + 3 * column, 0, 3);
    }
}

void TQRCode::Draw(TCanvas& canvas, const TRect& rect)
{
    Encode();
    if (!symbol_.isNull()) canvas.StretchDraw(rect, symbol_, TStretchQuality::sqDevice);
}

}  // namespace kestrel

#include "codes/QRMatrix.h"

#include <array>
#include <cstdlib>

#include "codes/QRTables.h"

namespace kestrel {

namespace {

constexpr int kFormatGenerator = 0x537;
constexpr int kFormatXor = 0x5412;
constexpr int kVersionGenerator = 0x1F25;
// Format bits of the levels L, M, Q, H.
constexpr int kLevelFormatBits[kQRLevelCount] = {1, 0, 3, 2};

// Remainder of value·x^degree(generator) divided by the generator, over GF(2).
int BchRemainder(int value, int generator)
{
    int degree = 0;
    while ((generator >> (degree + 1)) != 0) ++degree;
    int remainder = value << degree;
    for (int bit = 31 - __builtin_clz(remainder | 1); bit >= degree; --bit)
        if (remainder & (1 << bit)) remainder ^= generator << (bit - degree);
    return remainder;
}

constexpr int kMaxSide = 17 + 4 * kQRMaxVersion;
constexpr unsigned kFinderLike = 0x5D;  // dark light dark dark dark light dark

// Run and finder-like penalties of side lines walked side by side: lines[p * side + k] is
// module p of line k. Each line carries its own run and last seven modules, so the inner loop has
// no dependence from one line to the next. A run of n >= 5 earns 3 on its fifth module and 1 on
// every further one.
int ParallelLinePenalty(const uint8_t* lines, int side)
{
    std::array<uint8_t, kMaxSide> run{};
    std::array<uint8_t, kMaxSide> window{};
    int score = 0;
    for (int p = 0; p < side; ++p) {
        const uint8_t* now = lines + size_t(p) * side;
        const uint8_t* before = p > 0 ? now - side : now;
        const uint8_t continues = p > 0;
        for (int k = 0; k < side; ++k) {
            const uint8_t v = now[k];
            const uint8_t r = (before[k] == v) & continues ? uint8_t(run[k] + 1) : uint8_t(1);
            run[k] = r;
            const uint8_t w = uint8_t(((window[k] << 1) | v) & 0x7F);
            window[k] = w;
            score += (r == 5) * 3 + (r > 5) + (w == kFinderLike) * 40;
        }
    }
    return score;
}

// The mask condition on row i and column j: true where the data bit is inverted.
template <int Mask>
inline bool MaskInverts(int i, int j)
{
    if constexpr (Mask == 0) return (i + j) % 2 == 0;
    if constexpr (Mask == 1) return i % 2 == 0;
    if constexpr (Mask == 2) return j % 3 == 0;
    if constexpr (Mask == 3) return (i + j) % 3 == 0;
    if constexpr (Mask == 4) return (i / 2 + j / 3) % 2 == 0;
    if constexpr (Mask == 5) return (i * j) % 2 + (i * j) % 3 == 0;
    if constexpr (Mask == 6) return ((i * j) % 2 + (i * j) % 3) % 2 == 0;
    if constexpr (Mask == 7) return ((i + j) % 2 + (i * j) % 3) % 2 == 0;
    return false;
}

}  // namespace

TQRMatrix::TQRMatrix(int version) : side_(17 + 4 * version), modules_(size_t(side_) * side_, 0)
{
    DrawFinder(3, 3);
    DrawFinder(side_ - 4, 3);
    DrawFinder(3, side_ - 4);
    ReserveFormatAreas();
    DrawVersion(version);
    const std::span<const uint8_t> centres = QRAlignmentCentres(version);
    for (const uint8_t column : centres)
        for (const uint8_t row : centres)
            if (!(Module(column, row) & kQRFunction)) DrawAlignment(column, row);
    DrawTiming();
}

void TQRMatrix::SetFunction(int column, int row, bool dark)
{
    modules_[Index(column, row)] = dark ? kQRFunction | kQRDarkFunction : kQRFunction;
}

// The finder with its light separator, clipped to the symbol.
void TQRMatrix::DrawFinder(int centreColumn, int centreRow)
{
    for (int dc = -4; dc <= 4; ++dc) {
        for (int dr = -4; dr <= 4; ++dr) {
            const int column = centreColumn + dc;
            const int row = centreRow + dr;
            if (column < 0 || column >= side_ || row < 0 || row >= side_) continue;
            const int ring = std::max(std::abs(dc), std::abs(dr));
            SetFunction(column, row, ring != 2 && ring != 4);
        }
    }
}

void TQRMatrix::DrawAlignment(int centreColumn, int centreRow)
{
    for (int dc = -2; dc <= 2; ++dc)
        for (int dr = -2; dr <= 2; ++dr)
            SetFunction(centreColumn + dc, centreRow + dr, std::max(std::abs(dc), std::abs(dr)) != 1);
}

void TQRMatrix::ReserveFormatAreas()
{
    for (int i = 0; i <= 8; ++i) {
        SetFunction(8, i, false);
        SetFunction(i, 8, false);
    }
    for (int i = 0; i < 8; ++i) {
        SetFunction(side_ - 1 - i, 8, false);
        SetFunction(8, side_ - 1 - i, false);
    }
}

void TQRMatrix::DrawVersion(int version)
{
    if (version < 7) return;
    const int bits = (version << 12) | BchRemainder(version, kVersionGenerator);
    for (int i = 0; i < 18; ++i) {
        const bool dark = (bits >> i) & 1;
        const int near = i / 3;
        const int far = side_ - 11 + i % 3;
        SetFunction(near, far, dark);
        SetFunction(far, near, dark);
    }
}

void TQRMatrix::DrawTiming()
{
    for (int i = 8; i <= side_ - 9; ++i) {
        SetFunction(i, 6, i % 2 == 0);
        SetFunction(6, i, i % 2 == 0);
    }
}

void TQRMatrix::PlaceCodewords(std::span<const uint8_t> codewords)
{
    const size_t bitCount = codewords.size() * 8;
    size_t bit = 0;
    for (int right = side_ - 1; right >= 1; right -= 2) {
        if (right == 6) right = 5;  // the vertical timing column is skipped as a whole
        const bool upward = ((right + 1) & 2) == 0;
        for (int step = 0; step < side_; ++step) {
            const int row = upward ? side_ - 1 - step : step;
            for (int column = right; column >= right - 1; --column) {
                uint8_t& module = modules_[Index(column, row)];
                if (module & kQRFunction) continue;
                if (bit < bitCount && (codewords[bit >> 3] >> (7 - (bit & 7))) & 1) module |= kQRData;
                ++bit;
            }
        }
    }
}

void TQRMatrix::ApplyMask(int mask)
{
    std::vector<uint8_t> dark(modules_.size());
    MaskedColours(mask, dark, nullptr);
    for (size_t i = 0; i < modules_.size(); ++i)
        if (!(modules_[i] & kQRFunction)) modules_[i] = (modules_[i] & ~kQRMasked) | dark[i];
}

void TQRMatrix::MaskedColours(int mask, std::vector<uint8_t>& dark, std::vector<uint8_t>* darkByRow) const
{
    switch (mask) {
    case 0: return MaskedColoursOf<0>(dark, darkByRow);
    case 1: return MaskedColoursOf<1>(dark, darkByRow);
    case 2: return MaskedColoursOf<2>(dark, darkByRow);
    case 3: return MaskedColoursOf<3>(dark, darkByRow);
    case 4: return MaskedColoursOf<4>(dark, darkByRow);
    case 5: return MaskedColoursOf<5>(dark, darkByRow);
    case 6: return MaskedColoursOf<6>(dark, darkByRow);
    default: return MaskedColoursOf<7>(dark, darkByRow);
    }
}

template <int Mask>
void TQRMatrix::MaskedColoursOf(std::vector<uint8_t>& dark, std::vector<uint8_t>* darkByRow) const
{
    for (int column = 0; column < side_; ++column) {
        const uint8_t* line = &modules_[Index(column, 0)];
        uint8_t* out = &dark[Index(column, 0)];
        for (int row = 0; row < side_; ++row) {
            const uint8_t module = line[row];
            const uint8_t data = (module & kQRData) ? 1 : 0;
            out[row] = (module & kQRFunction) ? 0 : data ^ (MaskInverts<Mask>(row, column) ? 1 : 0);
        }
        if (darkByRow)
            for (int row = 0; row < side_; ++row) (*darkByRow)[size_t(row) * side_ + column] = out[row];
    }
}

int TQRMatrix::ChooseMask(int fixedMask, bool automatic)
{
    if (!automatic) {
        ApplyMask(fixedMask);
        return fixedMask;
    }
    // Scores the masked colours without writing them into the matrix; the winner is applied.
    std::vector<uint8_t> dark(modules_.size());
    std::vector<uint8_t> darkByRow(modules_.size());
    int dataModules = 0;
    for (const uint8_t module : modules_) dataModules += !(module & kQRFunction);
    int best = 0;
    int bestPenalty = 0;
    for (int mask = 0; mask < kQRMaskCount; ++mask) {
        MaskedColours(mask, dark, &darkByRow);
        const int penalty = DarkPenalty(dark, darkByRow, side_, dataModules);
        if (mask == 0 || penalty < bestPenalty) {
            best = mask;
            bestPenalty = penalty;
        }
    }
    ApplyMask(best);
    return best;
}

void TQRMatrix::WriteFormat(int levelIndex, int mask)
{
    const int data = (kLevelFormatBits[levelIndex] << 3) | mask;
    const int bits = ((data << 10) | BchRemainder(data, kFormatGenerator)) ^ kFormatXor;
    auto bitAt = [bits](int i) { return ((bits >> i) & 1) != 0; };
    // Round the top-left finder, stepping over the timing patterns.
    for (int i = 0; i <= 5; ++i) SetFunction(8, i, bitAt(i));
    SetFunction(8, 7, bitAt(6));
    SetFunction(8, 8, bitAt(7));
    SetFunction(7, 8, bitAt(8));
    for (int i = 9; i < 15; ++i) SetFunction(14 - i, 8, bitAt(i));
    // Beside the other two finders.
    for (int i = 0; i < 8; ++i) SetFunction(side_ - 1 - i, 8, bitAt(i));
    for (int i = 8; i < 15; ++i) SetFunction(8, side_ - 15 + i, bitAt(i));
    SetFunction(8, side_ - 8, true);
}

int DarkPenalty(std::span<const uint8_t> dark, std::span<const uint8_t> darkByRow, int side, int dataModules)
{
    // Columns walked side by side cover the rows, and the other way round.
    int score = ParallelLinePenalty(dark.data(), side) + ParallelLinePenalty(darkByRow.data(), side);
    for (int column = 1; column < side; ++column) {
        const uint8_t* line = &dark[size_t(column) * side];
        const uint8_t* previous = line - side;
        for (int row = 0; row + 1 < side; ++row) {
            const uint8_t v = line[row];
            score += 3 * ((line[row + 1] == v) & (previous[row] == v) & (previous[row + 1] == v));
        }
    }
    int darkData = 0;
    for (const uint8_t v : dark) darkData += v;
    if (dataModules > 0) score += 10 * (std::abs(50 - 100 * darkData / dataModules) / 5);
    return score;
}

int QRPenalty(std::span<const uint8_t> modules, int side)
{
    std::vector<uint8_t> dark(modules.size());
    int dataModules = 0;
    for (size_t i = 0; i < modules.size(); ++i) {
        const bool function = modules[i] & kQRFunction;
        dark[i] = function ? 0 : (modules[i] & kQRMasked);
        dataModules += !function;
    }
    std::vector<uint8_t> darkByRow(dark.size());
    for (int column = 0; column < side; ++column)
        for (int row = 0; row < side; ++row) darkByRow[size_t(row) * side + column] = dark[size_t(column) * side + row];
    return DarkPenalty(dark, darkByRow, side, dataModules);
}

}  // namespace kestrel

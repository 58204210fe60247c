#include "codes/QRMatrix.h"

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

// Adds the penalty of one row or column: runs of five or more and finder-like stretches.
int LinePenalty(const uint8_t* dark, int side, int stride)
{
    int score = 0;
    int run = 1;
    unsigned window = dark[0];
    for (int i = 1; i < side; ++i) {
        const uint8_t value = dark[i * stride];
        if (value == dark[(i - 1) * stride]) {
            ++run;
        } else {
            if (run >= 5) score += 3 + (run - 5);
            run = 1;
        }
        window = ((window << 1) | value) & 0x7F;
        if (i >= 6 && window == 0x5D) score += 40;  // dark light dark dark dark light dark
    }
    if (run >= 5) score += 3 + (run - 5);
    return score;
}

}  // namespace

bool QRMaskInverts(int mask, int row, int column)
{
    const int i = row;
    const int j = column;
    switch (mask) {
    case 0: return (i + j) % 2 == 0;
    case 1: return i % 2 == 0;
    case 2: return j % 3 == 0;
    case 3: return (i + j) % 3 == 0;
    case 4: return (i / 2 + j / 3) % 2 == 0;
    case 5: return (i * j) % 2 + (i * j) % 3 == 0;
    case 6: return ((i * j) % 2 + (i * j) % 3) % 2 == 0;
    case 7: return ((i + j) % 2 + (i * j) % 3) % 2 == 0;
    default: return false;
    }
}

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
    for (int column = 0; column < side_; ++column) {
        uint8_t* line = &modules_[Index(column, 0)];
        for (int row = 0; row < side_; ++row) {
            uint8_t& module = line[row];
            if (module & kQRFunction) continue;
            const bool data = module & kQRData;
            module = (module & ~kQRMasked) | ((data != QRMaskInverts(mask, row, column)) ? kQRMasked : 0);
        }
    }
}

int TQRMatrix::ChooseMask(int fixedMask, bool automatic)
{
    if (!automatic) {
        ApplyMask(fixedMask);
        return fixedMask;
    }
    int best = 0;
    int bestPenalty = 0;
    for (int mask = 0; mask < kQRMaskCount; ++mask) {
        ApplyMask(mask);
        const int penalty = QRPenalty(modules_, side_);
        if (mask == 0 || penalty < bestPenalty) {
            best = mask;
            bestPenalty = penalty;
        }
    }
    if (best != kQRMaskCount - 1) ApplyMask(best);
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

int QRPenalty(std::span<const uint8_t> modules, int side)
{
    std::vector<uint8_t> dark(modules.size());
    int darkData = 0;
    int dataModules = 0;
    for (size_t i = 0; i < modules.size(); ++i) {
        const bool function = modules[i] & kQRFunction;
        dark[i] = function ? 0 : (modules[i] & kQRMasked);
        dataModules += !function;
        darkData += dark[i];
    }
    int score = 0;
    for (int line = 0; line < side; ++line) {
        score += LinePenalty(&dark[size_t(line) * side], side, 1);  // a column
        score += LinePenalty(&dark[line], side, side);             // a row
    }
    for (int column = 0; column + 1 < side; ++column) {
        const uint8_t* left = &dark[size_t(column) * side];
        const uint8_t* right = left + side;
        for (int row = 0; row + 1 < side; ++row) {
            const uint8_t v = left[row];
            if (v == left[row + 1] && v == right[row] && v == right[row + 1]) score += 3;
        }
    }
    if (dataModules > 0) score += 10 * (std::abs(50 - 100 * darkData / dataModules) / 5);
    return score;
}

}  // namespace kestrel

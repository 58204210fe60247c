#pragma once

#include <cstdint>
#include <span>

namespace kestrel {

inline constexpr int kQRMinVersion = 1;
inline constexpr int kQRMaxVersion = 40;

// Error-correction levels in the order of their tables: L, M, Q, H.
inline constexpr int kQRLevelCount = 4;

// How the codewords of one version and level are cut into blocks: the short blocks come first,
// each long block holds one data codeword more.
struct TQRBlockLayout {
    int ecPerBlock = 0;
    int shortBlocks = 0;
    int shortData = 0;
    int longBlocks = 0;

    int Blocks() const { return shortBlocks + longBlocks; }
    int DataCodewords() const { return Blocks() * shortData + longBlocks; }
};

// Codewords (data and error correction) a symbol of the version holds.
int QRTotalCodewords(int version);
TQRBlockLayout QRBlocks(int version, int levelIndex);
// Row and column coordinates of the alignment pattern centres; empty for version 1.
std::span<const uint8_t> QRAlignmentCentres(int version);

}  // namespace kestrel

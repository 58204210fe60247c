#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kestrel {

// Flags of a module byte.
enum : uint8_t {
    kQRMasked = 0x01,    // data bit after masking
    kQRData = 0x02,      // data bit before masking
    kQRDarkFunction = 0x10,
    kQRFunction = 0x20,
};

inline constexpr int kQRMaskCount = 8;

// The module matrix of one symbol, side × side bytes indexed by column, then row.
class TQRMatrix {
public:
    // Draws the function patterns of the version and reserves the format areas.
    explicit TQRMatrix(int version);

    int Side() const { return side_; }
    uint8_t Module(int column, int row) const { return modules_[Index(column, row)]; }
    bool IsDark(int column, int row) const { return Module(column, row) & (kQRMasked | kQRDarkFunction); }
    std::span<const uint8_t> Modules() const { return modules_; }

    // Writes the codewords most significant bit first along the zigzag.
    void PlaceCodewords(std::span<const uint8_t> codewords);
    void ApplyMask(int mask);
    // Masks with the given number, or with the one of lowest penalty (ties keep the lower
    // number); answers the mask used.
    int ChooseMask(int fixedMask, bool automatic);
    void WriteFormat(int levelIndex, int mask);

private:
    int Index(int column, int row) const { return column * side_ + row; }
    void SetFunction(int column, int row, bool dark);
    void DrawFinder(int centreColumn, int centreRow);
    void DrawAlignment(int centreColumn, int centreRow);
    void ReserveFormatAreas();
    void DrawVersion(int version);
    void DrawTiming();
    // Colours (1 dark) of every module under the mask, column by column and, when asked, row by
    // row; function modules count as light.
    void MaskedColours(int mask, std::vector<uint8_t>& dark, std::vector<uint8_t>* darkByRow) const;
    template <int Mask>
    void MaskedColoursOf(std::vector<uint8_t>& dark, std::vector<uint8_t>* darkByRow) const;

    int side_;
    std::vector<uint8_t> modules_;
};

// Penalty of a masked matrix (module bytes as above): function modules count as light.
int QRPenalty(std::span<const uint8_t> modules, int side);
// The same over module colours (1 dark, function modules 0), given column by column and row by
// row, with the count of data modules.
int DarkPenalty(std::span<const uint8_t> dark, std::span<const uint8_t> darkByRow, int side, int dataModules);

}  // namespace kestrel

#pragma once

// One print job and the options the print dialog remembers between jobs.

#include <QByteArray>
#include <QPoint>
#include <cstdint>
#include <vector>

namespace kestrel {

inline constexpr int MinCopies = 1;
inline constexpr int MaxCopies = 99;

struct TPrintSpec {
    int Copies = 0;
    // One byte per face index, non-zero = print it; indexes past the end are not selected.
    std::vector<uint8_t> Faces;
    bool PrintFrame = false;
    bool PrintCutLine = false;
    bool PrintPaperImage = false;
    QPoint Offset;  // 0.1 mm; positive moves the print right and down
    bool AllFaces = false;
    int BandResolution = 0;  // 0: from the "Banding" setting
    double Correction = 0;
    bool BlurEdge = false;

    bool IsFaceSelected(int index) const;
    int SelectedCount(int faceCount) const;
};

// What the print dialog remembers from one print to the next while its window lives (never
// saved).
struct TPrintOptions {
    int copies = 1;
    bool printFrame = false;
    bool printCutLine = false;
    bool printPaperImage = false;
    bool blurEdge = false;
    bool selectedOnly = false;
    // One byte per face of the sheet.
    QByteArray selection;
    // The offsets of the coming print (0 while the offset switch is off), 0.1 mm.
    int leftOffset = 0;
    int topOffset = 0;
    // The density level of the coming print; a print started from the dialog resets it to 0.
    int thicknessLevel = 0;
};

// The job the print command runs from the remembered options. A disc printed directly gets no
// frames, cut lines or paper pattern.
TPrintSpec FillPrintSpec(const TPrintOptions& options, bool directPrint);

// The settings kept in the application's settings key.
struct TPrintSettings {
    int topOffset = 0;
    int leftOffset = 0;
    bool offsetEnabled = true;
    int thicknessLevel = 0;
};
TPrintSettings ReadPrintSettings();
// Written when a print starts.
void WritePrintSettings(const TPrintSettings& settings);

// "Banding": 0 paints straight onto the printer, 1 bands at 254 dpi, anything else bands at the
// printer's resolution.
int BandingSetting();

}  // namespace kestrel

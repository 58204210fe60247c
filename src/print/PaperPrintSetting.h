#pragma once

// Setting a printer up for a paper: the driver's form of the paper's size (a custom form when it
// has none) and the orientation, and on Canon and Epson printers the media, quality and paper
// source that suit the paper. Which media suits which paper comes from the catalogue's
// "PrinterSetting" table, so that a catalogue update also updates these choices.

#include <QString>
#include <functional>
#include <vector>

#include "print/IniTable.h"

namespace kestrel {

class IPrinterConfiguration;
class TPaperInfo;
class TPapersV2;

// The paper as the printer is to take it.
struct TPrintSettingData {
    int Width = 0;  // 0.1 mm, as fed: the height of a landscape paper
    int Height = 0;
    bool Landscape = false;
    QString PaperName;
    QString Kind;  // "CDR" for direct disc printing
    bool DirectPrint = false;
};

// Kind of a paper printed straight onto a disc.
inline const QString DirectPrintKind = QStringLiteral("CDR");

void FillSettingData(TPrintSettingData& data, const TPaperInfo& paper);

// A length of 0.1 mm units in millimetres as "%g" writes it: "120", "118.4".
QString Millimetres(int tenths);
// "%g x %gmm" of a size in 0.1 mm: "120 x 120mm", "118.4 x 118.4mm".
QString MillimetreSizeName(int width, int height);
// The name of a form added for a size (0.1 mm): "A4(210 x 297mm)" for the standard sizes,
// "120 x 120mm" for any other.
QString CustomFormName(int width, int height);

class TPaperPrintSetting {
public:
    enum : unsigned { psNoCanon = 1, psNoEpson = 2 };

    // The table of the catalogue's "PrinterSetting" block (none: an empty table).
    explicit TPaperPrintSetting(const TPapersV2* catalogue, unsigned flags = 0);

    const TIniTable& Table() const { return table_; }
    // A direct-print paper as laid out on this printer's tray, kind "CDR"; any other paper as it is.
    TPrintSettingData FillSettingDataForPrinter(IPrinterConfiguration& printer,
                                                const TPaperInfo& paper) const;
    void ApplyPaper(IPrinterConfiguration& printer, const TPaperInfo& paper, const QString& kind) const;
    // Sets the printer's working settings up for the data. Making the printer current is the
    // caller's step.
    void Apply(IPrinterConfiguration& printer, const TPrintSettingData& data) const;
    // FillSettingDataForPrinter, then Apply: what the program does whenever paper or printer change.
    void ApplyForPrinter(IPrinterConfiguration& printer, const TPaperInfo& paper) const;

    // Runs the table's media choices for the paper through set, most preferred first, until one
    // the printer offers is found; false when none is.
    bool LookUpMedia(const QString& vendor, const QString& driverName, const TPrintSettingData& data,
                     const std::vector<int>& offered, const std::function<void(int)>& set) const;

private:
    const TPapersV2* catalogue_;
    unsigned flags_;
    TIniTable table_;
};

}  // namespace kestrel

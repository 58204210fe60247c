#pragma once

// Printing straight onto discs: the printer data the catalogue ships, the tray of the printer at
// hand, the ring-size adjustment, and the disc paper laid out on that tray.

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "app/XMLIniFile.h"
#include "label/LabelData.h"
#include "print/VendorExtensions.h"

namespace kestrel {

class IPrinterConfiguration;
class TPaperInfo;
class TPapersV2;

// How far the printed ring is widened (outer) and its hole widened (inner), 0.1 mm.
struct TRingAdjustment {
    int inner = 0;
    int outer = 0;
    friend bool operator==(const TRingAdjustment&, const TRingAdjustment&) = default;
};

// What a printer prints of a disc at most and its hole at least; 0 means no limit.
struct TRingLimits {
    int maxOuterWidth = 0;
    int maxOuterHeight = 0;
    int minInnerWidth = 0;
    int minInnerHeight = 0;
};

// No printed face is wider than this, whatever the tray (0.1 mm).
inline constexpr int MaxPrintedFace = 1200;
// The printed ring stays at least this much wider than its hole.
inline constexpr int MinRingWidth = 50;

// The printer data: the catalogue's "DirectPrinter" block, one PrinterData element per printer
// model (by the name its driver reports) or per paper group.
class TDirectPrinterInfo {
public:
    // A catalogue without the block, or with one that is no XML, lists no printer.
    explicit TDirectPrinterInfo(const TPapersV2* catalogue);

    // Forgets the selection, then selects the printer of that name when it is listed.
    void SelectPrinter(const QString& name);
    bool HasSelection() const { return selected_.has_value(); }
    // The selected printer accepts the shape and purpose of the paper's first face, and the paper
    // is a direct-print paper.
    bool Supports(const TPaperInfo& paper) const;
    // Zeros when nothing is selected.
    TTrayGeometry GetTrayGeometry() const;
    // Nothing when nothing is selected.
    std::optional<TRingLimits> GetLimits() const;
    QStringList ListPrinterNames() const;
    // The paper moved onto the selected printer's tray: group renamed after the printer, hole at
    // least the printer's smallest, face at most its largest and centred on the disc centre.
    // Nothing unless a printer is selected and the paper is a direct-print paper.
    std::unique_ptr<TPaperInfo> AdaptPaper(const TPaperInfo& paper) const;

private:
    int Attribute(const char* name) const;

    const TPapersV2* catalogue_;
    std::optional<TXMLIniSection> printers_;
    std::optional<TXMLIniSection> selected_;
    std::unique_ptr<TXMLIniFile> store_;
};

// True when the printer prints this paper straight onto a disc: the printer data lists its model
// for the paper, or its driver has a disc tray.
bool PrinterSupportsDirectPrint(IPrinterConfiguration& printer, const TPaperInfo& paper,
                                const TPapersV2* catalogue);
// The tray the paper is laid out on for this printer: the Canon disc record, else the Epson disc
// geometry (its tray size from the printer data when that lists the model), else the printer data
// of the model or of the paper's group; empty when none has one.
TTrayGeometry TrayGeometryFor(IPrinterConfiguration& printer, const TPaperInfo& paper,
                              const TPapersV2* catalogue);

// The disc tray of the printer whatever the paper: its driver's, else the printer data's for its
// model; nothing for a printer that prints no discs.
std::optional<TTrayGeometry> DiscTrayOf(IPrinterConfiguration& printer, const TPapersV2* catalogue);

// Kept per paper in the settings ("$(SizeAdjustKey)\.<paper name>").
TRingAdjustment ReadRingAdjustment(const TPaperInfo& paper);
void WriteRingAdjustment(const TPaperInfo& paper, const TRingAdjustment& adjustment);
// The adjustment within what a disc allows, for the paper's first face: no printed face wider
// than MaxPrintedFace, no hole below nothing, the ring at least MinRingWidth wider than the hole.
// Where the last rule would widen the face past MaxPrintedFace, the hole is narrowed instead.
TRingAdjustment LimitRingAdjustment(const TPaperInfo& paper, TRingAdjustment adjustment);
// The paper on the tray: the tray's size, every face centred on the disc centre and widened by
// the adjustment. An empty tray keeps the paper's size and the faces' centres.
std::unique_ptr<TPaperInfo> LayOutOnTray(const TPaperInfo& paper, const TTrayGeometry& tray,
                                         const TRingAdjustment& adjustment);
// A direct-print paper on the printer's tray with its ring adjustment (within the limits); a copy
// of any other paper.
std::unique_ptr<TPaperInfo> PaperOnTray(IPrinterConfiguration& printer, const TPaperInfo& paper,
                                        const TPapersV2* catalogue);

// What the ring-size dialog offers for a paper: the face's and the hole's own widths and the range
// of each adjustment box (0.1 mm). Without limits (the paper's group is not in the printer data)
// both boxes are off; a limit the data leaves out is the tray's own.
struct TRingBoxes {
    int nativeOuter = 0;
    int nativeInner = 0;
    int outerMin = 0;
    int outerMax = 0;
    int innerMin = 0;
    int innerMax = 0;
    bool outerEnabled = false;
    bool innerEnabled = false;
    bool outerShown = false;  // a ring face (fsDoughnut)
    bool innerShown = false;  // a face with a round hole
};
TRingBoxes RingBoxes(const TPaperInfo& paper, const std::optional<TRingLimits>& limits,
                     const TRingAdjustment& adjustment);
// The dialog's explanation of the limits.
QString RingLimitsText(const TRingLimits& limits);

// Lays disc papers out for the program's current printer (a document keeps the result). Which
// papers are disc papers is read once per catalogue version; driver names once per printer.
class TDirectPrintPaperAdapter : public IPaperAdapter {
public:
    using TPrinterName = std::function<QString()>;
    using TPrinterOpener = std::function<std::unique_ptr<IPrinterConfiguration>(const QString& name)>;

    TDirectPrintPaperAdapter(const TPapersV2* catalogue, TPrinterName currentPrinter, TPrinterOpener open);

    bool IsDirectPrint(const TPaperInfo& paper) override;
    QString Key(const TPaperInfo& paper) override;
    std::unique_ptr<TPaperInfo> Adapt(const TPaperInfo& paper) override;

private:
    QString DriverName(const QString& printer);

    const TPapersV2* catalogue_;
    TPrinterName currentPrinter_;
    TPrinterOpener open_;
    std::optional<int> genresVersion_;
    QStringList directPrintGroups_;
    std::map<QString, QString> driverNames_;
};

}  // namespace kestrel

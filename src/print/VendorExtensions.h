#pragma once

// The printer makers' extensions (media, quality, paper source, the disc tray) over the options
// of a queue's driver. Disc printers print through Gutenprint's PPDs here: the disc tray is the
// input slot "CD", the disc page "CDCustom" centred on the disc, and the printed ring and the fine
// position are driver options. A queue whose driver offers none of this reports the extension
// unavailable, with empty lists, zero values and no geometry.

#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <vector>

#include "platform/Error.h"

namespace kestrel {

class IPrinterConfiguration;
class TPrinterDriver;
struct TFaceGeometry;

// Where the disc lies: its centre on the tray, and the tray, which is the paper printed on (0.1 mm).
struct TTrayGeometry {
    int CenterX = 0;
    int CenterY = 0;
    int TrayWidth = 0;
    int TrayHeight = 0;

    bool IsEmpty() const { return TrayWidth <= 0 || TrayHeight <= 0; }
    friend bool operator==(const TTrayGeometry&, const TTrayGeometry&) = default;
};
// The tray a Canon printer is taken to have when its disc record names no form.
inline constexpr TTrayGeometry CanonDefaultTray{655, 1510, 1357, 2557};

// The driver's disc page: the page keyword, the options of the tray and the printed ring.
inline const QString DiscSlot = QStringLiteral("CD");
inline const QString DiscPageSize = QStringLiteral("CDCustom");
inline const QString InputSlotOption = QStringLiteral("InputSlot");
inline const QString MediaTypeOption = QStringLiteral("MediaType");
inline const QString QualityOption = QStringLiteral("StpQuality");

// True when the driver prints discs from a tray.
bool HasDiscTray(const TPrinterDriver* driver);
// The disc page's size in 0.1 mm, or an empty size.
QSize DiscPageSize01mm(const TPrinterDriver& driver);

// --- Canon extended device mode ---------------------------------------------------------------

enum TCanonItem : int { ciCartridge = 3, ciMediaType = 4, ciQuality = 5, ciBorderless = 21 };

// The tray's form and the disc's centre on it, in hundredths of a millimetre.
struct TCanonDiscRecord {
    int paperId = 0;
    int centerX = 0;
    int centerY = 0;
};

class ICanonExtDDI {
public:
    virtual ~ICanonExtDDI() = default;
    virtual bool Available() const = 0;
    // How many values the item takes; 0 when it is not offered.
    virtual int Capability(int item) const = 0;
    virtual std::vector<int> Values(int item) const = 0;
    virtual QStringList Names(int item) const = 0;
    // -1 when the item is not offered.
    virtual int Value(int item) const = 0;
    // Sets one of the item's values; false (nothing changed) for any other value.
    virtual bool SetValue(int item, int value) = 0;
    virtual std::optional<TCanonDiscRecord> DiscRecord() = 0;
};

// A Canon printer's driver: available when the "EnableExtDDI" setting is on, the driver is
// Canon's and offers media types. Items: 3 the ink (cartridge), 4 the media type, 5 the quality
// (1 the best offered), 21 borderless printing. Choosing a printable disc as media feeds from the
// disc tray; any other media leaves it. Values go into the working device mode at once.
class TCanonExtDDI : public ICanonExtDDI {
public:
    explicit TCanonExtDDI(IPrinterConfiguration& printer);

    bool Available() const override { return driver_ != nullptr; }
    int Capability(int item) const override { return int(Values(item).size()); }
    std::vector<int> Values(int item) const override;
    QStringList Names(int item) const override;
    int Value(int item) const override;
    bool SetValue(int item, int value) override;
    std::optional<TCanonDiscRecord> DiscRecord() override;

private:
    // The driver option of an item and its choices by value.
    QString OptionOf(int item) const;
    std::vector<std::pair<int, QString>> Choices(int item) const;

    IPrinterConfiguration& printer_;
    const TPrinterDriver* driver_;
};

// --- Epson setting library --------------------------------------------------------------------

enum TEpsonItem : int { eiPaperSize = 30, eiPaperSource = 40, eiMedia = 60, eiQuality = 70 };

// Item 70: whether a recommended setting is in effect (mode 1; 0 when the user's own settings
// are), its quality level (1 the best) and the media.
struct TEpsonQualitySetting {
    int mode = 0;
    int level = 0;
    int media = 0;
    friend bool operator==(const TEpsonQualitySetting&, const TEpsonQualitySetting&) = default;
};

// Paper sources: each pair is a feed and its disc-tray twin.
inline constexpr std::pair<int, int> EpsonSourcePairs[] = {{4, 270}, {7, 259}, {256, 257}, {267, 268}};
inline constexpr int EpsonManualSource = 4;
inline constexpr int EpsonAutoSource = 7;
bool IsEpsonDiscSource(int source);

class IEpsonEPDI {
public:
    virtual ~IEpsonEPDI() = default;
    // Offered when item 70 is supported.
    virtual bool Available() const = 0;
    // Above 0 when the item is supported.
    virtual int CommandLevel(int item) const = 0;
    // Item 60: the media ids offered; item 40: the paper sources.
    virtual std::vector<int> Range(int item) const = 0;
    virtual QString MediaName(int id) const = 0;
    virtual TEpsonQualitySetting Quality() const = 0;
    virtual void SetQuality(const TEpsonQualitySetting& setting) = 0;
    // Found by trying levels downwards from the highest until one is kept; never below 1.
    virtual int QualityLevels() = 0;
    virtual int PaperSource() const = 0;
    virtual void SetPaperSource(int source) = 0;
    // Copies what was set into the printer's working device mode.
    virtual void Commit() = 0;
};

// An Epson printer's driver: available when the driver is Epson's and offers media types and
// quality levels. Settings are held until Commit.
class TEPDI : public IEpsonEPDI {
public:
    explicit TEPDI(IPrinterConfiguration& printer);

    bool Available() const override;
    int CommandLevel(int item) const override;
    std::vector<int> Range(int item) const override;
    QString MediaName(int id) const override;
    TEpsonQualitySetting Quality() const override;
    void SetQuality(const TEpsonQualitySetting& setting) override;
    int QualityLevels() override;
    int PaperSource() const override;
    void SetPaperSource(int source) override;
    void Commit() override;

private:
    QString Current(const QString& option) const;
    std::vector<QString> GradedQualities() const;
    std::vector<std::pair<int, QString>> Media() const;
    std::vector<std::pair<int, QString>> Sources() const;

    IPrinterConfiguration& printer_;
    const TPrinterDriver* driver_;
    std::map<QString, QString> pending_;
};

// Switches an Epson printer to its disc tray (or back to the feed) by the pair of its current
// source; false when the source is in no pair or the printer lacks the other member.
bool SwitchEpsonPaperSource(IEpsonEPDI& epson, bool toDisc);

// --- Epson printer interface --------------------------------------------------------------------

// A failed call of the printer interface: "PICERROR : %d".
class EPicError : public EKestrel {
public:
    explicit EPicError(int code);
    const char* ClassName() const override { return "EPicError"; }
    int Code() const { return code_; }

private:
    int code_;
};

inline constexpr int PicPrinterNotSupported = 99;

// The disc's centre and printable size in the printer's dots.
struct TPicPrintingInfo {
    QPoint center;
    QSize printable;
    QSize resolution;
};

class TPic {
public:
    explicit TPic(IPrinterConfiguration& printer);
    // 0, or PicPrinterNotSupported for a printer that does not print discs.
    int PrinterSpecifies(const QString& deviceName);
    // Asks for the disc label media and the disc feed.
    void SelectDiscSettings();
    // Raises EPicError unless the disc settings were selected for a supported printer.
    TPicPrintingInfo GetPrintingInfo() const;

private:
    IPrinterConfiguration& printer_;
    const TPrinterDriver* driver_ = nullptr;
    bool discSelected_ = false;
};

// The Canon path of the tray geometry: the disc record's centre and the size of its form.
std::optional<TTrayGeometry> CanonTrayGeometry(IPrinterConfiguration& printer);
// The Epson path: the disc's centre and printable size from the printer interface, in 0.1 mm;
// nothing when it does not serve this printer or reports no centre.
std::optional<TTrayGeometry> EpsonTrayGeometry(IPrinterConfiguration& printer);

// For a disc printed on a driver with a disc tray: feeds from the tray on the disc page, masks the
// ring of the face (outer and inner diameter) and moves the print by the user's offset (0.1 mm)
// through the driver's fine adjustment. Answers the part of the offset left for drawing (all of it
// for other drivers).
QPoint SetDiscJobOptions(IPrinterConfiguration& printer, const TFaceGeometry& face, QPoint offset);

}  // namespace kestrel

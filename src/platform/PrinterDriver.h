#pragma once

// What a queue's driver offers, as its PPD describes it: the maker and model, the options with
// their choices and numeric ranges, and the page sizes. The vendor extensions read and set these
// options instead of calling a maker's library.

#include <QSizeF>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace kestrel {

struct TDriverChoice {
    QString keyword;
    QString text;
};

// A numeric option's range (for lengths in points), from its custom parameter or from the
// numbers its choices name.
struct TDriverRange {
    double lower = 0;
    double upper = 0;
};

struct TDriverOption {
    QString keyword;
    QString text;
    QString defaultChoice;
    std::vector<TDriverChoice> choices;
    std::optional<TDriverRange> range;
    // Values beyond the listed choices are taken as "Custom.<value>".
    bool custom = false;

    const TDriverChoice* Choice(const QString& keyword) const;
    bool HasChoice(const QString& keyword) const { return Choice(keyword) != nullptr; }
    // Whether the driver takes value: a listed choice, or a custom value within the range.
    bool Accepts(const QString& value) const;
};

struct TDriverPageSize {
    QString keyword;
    QString text;
    QSizeF points;
};

class TPrinterDriver {
public:
    // Null when the file is no PPD.
    static std::shared_ptr<const TPrinterDriver> FromPpdFile(const QString& path);
    // The PPD of a CUPS queue; null when the queue has none (a driverless queue) or is unknown.
    static std::shared_ptr<const TPrinterDriver> ForQueue(const QString& queue);

    const QString& Manufacturer() const { return manufacturer_; }
    // The model the PPD is for ("Epson Stylus Photo R300"), without the driver's version.
    const QString& ModelName() const { return modelName_; }
    const TDriverOption* Option(const QString& keyword) const;
    const std::vector<TDriverOption>& Options() const { return options_; }
    const TDriverPageSize* PageSize(const QString& keyword) const;
    const std::vector<TDriverPageSize>& PageSizes() const { return pageSizes_; }

private:
    QString manufacturer_;
    QString modelName_;
    std::vector<TDriverOption> options_;
    std::vector<TDriverPageSize> pageSizes_;
};

// The name of the queue's driver as printer data names models: the PPD's model, else the make
// and model the queue reports; empty for an unknown queue.
QString QueueDriverName(const QString& queue);

}  // namespace kestrel

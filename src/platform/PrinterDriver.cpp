#include "platform/PrinterDriver.h"

#include <cups/cups.h>
#include <cups/ppd.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>

// The PPD interface is the only one that tells a queue's driver options and their ranges.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace kestrel {

namespace {

constexpr const char* CustomPrefix = "Custom.";

QString Text(const char* text)
{
    return QString::fromUtf8(text);
}

struct TPpdCloser {
    void operator()(ppd_file_t* ppd) const { ppdClose(ppd); }
};

std::optional<TDriverRange> CustomRange(ppd_file_t* ppd, const char* keyword)
{
    ppd_coption_t* custom = ppdFindCustomOption(ppd, keyword);
    ppd_cparam_t* param = custom ? ppdFirstCustomParam(custom) : nullptr;
    if (!param) return std::nullopt;
    switch (param->type) {
        case PPD_CUSTOM_POINTS:
            return TDriverRange{param->minimum.custom_points, param->maximum.custom_points};
        case PPD_CUSTOM_REAL:
            return TDriverRange{param->minimum.custom_real, param->maximum.custom_real};
        case PPD_CUSTOM_INT:
            return TDriverRange{double(param->minimum.custom_int), double(param->maximum.custom_int)};
        default:
            return std::nullopt;
    }
}

// The range of choices that are all numbers.
std::optional<TDriverRange> ChoiceRange(const std::vector<TDriverChoice>& choices)
{
    std::optional<TDriverRange> range;
    for (const TDriverChoice& choice : choices) {
        bool number = false;
        const double value = choice.keyword.toDouble(&number);
        if (!number) return std::nullopt;
        range = range ? TDriverRange{std::min(range->lower, value), std::max(range->upper, value)}
                      : TDriverRange{value, value};
    }
    return range;
}

TDriverOption ReadOption(ppd_file_t* ppd, const ppd_option_t& option)
{
    TDriverOption read;
    read.keyword = Text(option.keyword);
    read.text = Text(option.text);
    read.defaultChoice = Text(option.defchoice);
    for (int i = 0; i < option.num_choices; ++i) {
        if (QLatin1String(option.choices[i].choice) == QLatin1String("Custom")) continue;
        read.choices.push_back({Text(option.choices[i].choice), Text(option.choices[i].text)});
    }
    read.custom = ppdFindCustomOption(ppd, option.keyword) != nullptr;
    read.range = CustomRange(ppd, option.keyword);
    if (!read.range) read.range = ChoiceRange(read.choices);
    return read;
}

}  // namespace

const TDriverChoice* TDriverOption::Choice(const QString& keyword) const
{
    const auto found = std::find_if(choices.cbegin(), choices.cend(),
                                    [&](const TDriverChoice& choice) { return choice.keyword == keyword; });
    return found == choices.cend() ? nullptr : &*found;
}

bool TDriverOption::Accepts(const QString& value) const
{
    if (HasChoice(value)) return true;
    if (!custom || !range || !value.startsWith(QLatin1String(CustomPrefix))) return false;
    bool number = false;
    const double amount = value.mid(int(strlen(CustomPrefix))).toDouble(&number);
    return number && amount >= range->lower && amount <= range->upper;
}

std::shared_ptr<const TPrinterDriver> TPrinterDriver::FromPpdFile(const QString& path)
{
    if (!QFileInfo(path).isFile()) return nullptr;
    const std::unique_ptr<ppd_file_t, TPpdCloser> ppd(ppdOpenFile(QFile::encodeName(path).constData()));
    if (!ppd) return nullptr;
    auto driver = std::shared_ptr<TPrinterDriver>(new TPrinterDriver);
    driver->manufacturer_ = Text(ppd->manufacturer);
    driver->modelName_ = Text(ppd->modelname);
    for (ppd_option_t* option = ppdFirstOption(ppd.get()); option; option = ppdNextOption(ppd.get()))
        driver->options_.push_back(ReadOption(ppd.get(), *option));
    const TDriverOption* pageSize = driver->Option(QStringLiteral("PageSize"));
    for (int i = 0; i < ppd->num_sizes; ++i) {
        const ppd_size_t& size = ppd->sizes[i];
        const QString keyword = Text(size.name);
        const TDriverChoice* choice = pageSize ? pageSize->Choice(keyword) : nullptr;
        driver->pageSizes_.push_back(
            {keyword, choice ? choice->text : keyword, QSizeF(size.width, size.length)});
    }
    return driver;
}

std::shared_ptr<const TPrinterDriver> TPrinterDriver::ForQueue(const QString& queue)
{
    char path[1024] = "";
    time_t modified = 0;
    if (cupsGetPPD3(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(), &modified, path, sizeof path) !=
        HTTP_STATUS_OK)
        return nullptr;
    std::shared_ptr<const TPrinterDriver> driver = FromPpdFile(QFile::decodeName(path));
    unlink(path);
    return driver;
}

const TDriverOption* TPrinterDriver::Option(const QString& keyword) const
{
    const auto found = std::find_if(options_.cbegin(), options_.cend(),
                                    [&](const TDriverOption& option) { return option.keyword == keyword; });
    return found == options_.cend() ? nullptr : &*found;
}

const TDriverPageSize* TPrinterDriver::PageSize(const QString& keyword) const
{
    const auto found = std::find_if(pageSizes_.cbegin(), pageSizes_.cend(),
                                    [&](const TDriverPageSize& size) { return size.keyword == keyword; });
    return found == pageSizes_.cend() ? nullptr : &*found;
}

QString QueueDriverName(const QString& queue)
{
    if (const std::shared_ptr<const TPrinterDriver> driver = TPrinterDriver::ForQueue(queue))
        return driver->ModelName();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(), nullptr);
    if (!dest) return {};
    const QString makeAndModel =
        Text(cupsGetOption("printer-make-and-model", dest->num_options, dest->options));
    cupsFreeDests(1, dest);
    return makeAndModel;
}

}  // namespace kestrel

#pragma once

// Scanners through SANE: the devices the system knows, their own resolution and mode choices,
// and one scanned picture.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "PluginKit.h"

namespace kestrel::plugin {

struct TScannerInfo {
    QString name;         // SANE device name, e.g. "test:0"
    QString description;  // vendor and model
};

// The choices of one scan: empty values keep the device's own setting.
struct TScanChoice {
    QString device;
    QString resolution;
    QString mode;
};

// SANE for as long as this lives (one at a time).
class TSaneSession {
public:
    TSaneSession();
    ~TSaneSession();
    TSaneSession(const TSaneSession&) = delete;
    TSaneSession& operator=(const TSaneSession&) = delete;

    std::vector<TScannerInfo> Scanners() const;
    // The resolutions and modes the device offers, and its current ones.
    struct TOptions {
        QStringList resolutions;
        QString resolution;
        QStringList modes;
        QString mode;
    };
    TOptions Options(const QString& device) const;
    // One picture; cancelled() is asked between blocks and stops the scan.
    TPixels Scan(const TScanChoice& choice, const std::function<bool()>& cancelled) const;
};

// The image server: the scanner named by the macro "ScannerDevice" when the host names one, else
// a dialog where widgets exist, else the scanner last used (or the first).
class TSaneImageServer : public TImageServer {
public:
    TPixels Acquire(uint64_t parentWindow) override;
};

}  // namespace kestrel::plugin

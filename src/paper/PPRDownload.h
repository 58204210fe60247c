#pragma once

#include <QString>
#include <memory>

#include "platform/HTTPDownload.h"

class QTemporaryFile;

namespace kestrel {

struct TProxySettings;

// The address of the version-up file when the installation names none.
QString BuiltInUpdaterURL();
// The address in use: "PPRUpdaterURL" of the installation key, else the built-in one.
QString UpdaterURLSetting();

// The largest catalogue a download may bring, packed or unpacked.
inline constexpr qint64 MaxCatalogueDownload = 64 * 1024 * 1024;

// A temporary file of an update ("PPR" or "PPZ" prefix, see WorkingFiles.h), made empty by
// Create and removed with this object, also when a termination signal ends the program.
class TUpdateTempFile {
public:
    explicit TUpdateTempFile(const char* prefix);
    ~TUpdateTempFile();
    // Fails with the cause in Japanese.
    void Create();
    QString FileName() const;

private:
    std::unique_ptr<QTemporaryFile> file_;
};

// The manual way: the chosen ".ppr" or ".ppz" copied, unpacked when it is a compressed
// container, into a new temporary "PPR" file. Fails with the cause in Japanese.
std::unique_ptr<TUpdateTempFile> CopyChosenUpdateFile(const QString& chosen);

// Fetches the version-up file, then the catalogue it names. The catalogue arrives in a temporary
// file ("PPR" prefix; a packed one first in a "PPZ" file) that this object removes when it goes,
// unless the installation has taken it already.
class TPPRDownload {
public:
    TPPRDownload();
    ~TPPRDownload();
    TPPRDownload(const TPPRDownload&) = delete;
    TPPRDownload& operator=(const TPPRDownload&) = delete;

    // The transfer: port, proxy and account, byte counts and events.
    THTTPDownload& HTTP() { return http_; }
    // Port 80 and a direct connection, or the proxy and account of the settings when they ask
    // for one.
    void UseProxy(const TProxySettings& settings);

    const QString& UpdaterURL() const { return updaterURL_; }
    void SetUpdaterURL(const QString& url) { updaterURL_ = url; }

    // What the last successful Check found: 0 until then.
    int Version() const { return version_; }
    double Date() const { return date_; }
    const QString& CatalogueURL() const { return catalogueURL_; }
    // The local file that receives the catalogue; empty before a Check and after a failed Download.
    QString DownloadFileName() const;

    // Reads the version-up file; true when it is well formed. Does not compare versions.
    bool Check();
    // Fetches the catalogue that Check found into DownloadFileName, unpacked; true when it is
    // there. A failed or aborted download leaves no file behind.
    bool Download();
    void Abort();
    // Why the last Check or Download failed, in Japanese.
    const QString& ErrorText() const { return error_; }

private:
    bool Unpacked();
    bool Failed(const QString& reason);

    THTTPDownload http_;
    QString updaterURL_;
    int version_ = 0;
    double date_ = 0;
    QString catalogueURL_;
    bool aborted_ = false;
    QString error_;
    std::unique_ptr<TUpdateTempFile> target_;
    std::unique_ptr<TUpdateTempFile> packed_;
};

}  // namespace kestrel

#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class QNetworkReply;

namespace kestrel {

// True when an IPv4 stream socket can be made (it is closed again at once).
bool NetworkAvailable();

// One HTTP GET at a time, direct or through a proxy, with its body kept in memory or written to
// a file. Get() returns when the transfer has ended and keeps the event loop running meanwhile,
// so that progress shows and Abort() can be pressed. A transfer succeeds only when it ended
// without error, with status 200, and with as many bytes as the server announced; anything else
// is a failure whose cause ErrorText() tells in Japanese.
//
// Without a network (NetworkAvailable() false at creation) every operation does nothing and
// every reading gives 0, false or empty text.
class THTTPDownload {
public:
    static constexpr int DefaultPort = 80;
    // How long the transfer may wait for the server before it counts as stalled.
    static constexpr int DefaultTimeoutMilliseconds = 30000;

    THTTPDownload();
    ~THTTPDownload();
    THTTPDownload(const THTTPDownload&) = delete;
    THTTPDownload& operator=(const THTTPDownload&) = delete;

    bool IsAvailable() const { return available_; }

    // false: the body is kept in memory; true: it is written to DownloadFileName.
    bool DownloadMode() const { return fileMode_; }
    void SetDownloadMode(bool toFile) { fileMode_ = toFile; }
    // Empty in memory mode; setting it switches to file mode.
    QString DownloadFileName() const;
    void SetDownloadFileName(const QString& file);
    // The body held in memory; empty in file mode.
    QByteArray DownloadFileStr() const;

    int Port() const;
    void SetPort(int port) { port_ = port; }
    QString Proxy() const;
    void SetProxy(const QString& host) { proxy_ = host; }
    int ProxyPort() const;
    void SetProxyPort(int port) { proxyPort_ = port; }
    QString URL() const;
    void SetURL(const QString& url) { url_ = url; }
    QString ProxyUserName() const;
    void SetProxyUserName(const QString& name) { proxyUser_ = name; }
    QString ProxyUserPass() const;
    void SetProxyUserPass(const QString& password) { proxyPassword_ = password; }

    // The body's size as the server announced it (0 when it announced none), the bytes received
    // so far, and the share received in whole per cent, rounded.
    qint64 BytesTotal() const { return bytesTotal_; }
    qint64 BytesRecieved() const { return bytesReceived_; }
    int BytesPercent() const;

    // A body larger than this is refused while it arrives.
    void SetMaxBytes(qint64 bytes) { maxBytes_ = bytes; }
    void SetTimeout(int milliseconds) { timeout_ = milliseconds; }

    std::function<void()> OnConnect;
    std::function<void()> OnConnectionFailed;
    std::function<void()> OnPacketRecieved;
    std::function<void()> OnFailure;
    std::function<void()> OnSuccess;

    void Get();
    // Cancels the running transfer; nothing happens when none runs.
    void Abort();
    bool Running() const { return reply_ != nullptr; }

    bool Succeeded() const { return succeeded_; }
    bool Aborted() const { return aborted_; }
    // Why the last Get failed; empty after a success.
    const QString& ErrorText() const { return error_; }

    // The "Proxy-Authorization" value for the account: "Basic " and the Base64 of
    // "user:password" in code page 932.
    static QByteArray ProxyAuthorization(const QString& user, const QString& password);

private:
    struct TTransfer;
    void Start(TTransfer& transfer);
    void ReadBody(TTransfer& transfer);
    void Finish(TTransfer& transfer);
    void Fail(const QString& reason, bool connectionFailed);

    bool available_;
    bool fileMode_ = false;
    QString fileName_;
    QByteArray body_;
    int port_ = DefaultPort;
    QString proxy_;
    int proxyPort_ = 0;
    QString url_;
    QString proxyUser_;
    QString proxyPassword_;
    qint64 bytesTotal_ = 0;
    qint64 bytesReceived_ = 0;
    qint64 maxBytes_ = 64 * 1024 * 1024;
    int timeout_ = DefaultTimeoutMilliseconds;
    bool succeeded_ = false;
    bool aborted_ = false;
    QString error_;
    struct TNetwork;
    std::unique_ptr<TNetwork> network_;
    QNetworkReply* reply_ = nullptr;
};

}  // namespace kestrel

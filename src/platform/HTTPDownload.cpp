#include "platform/HTTPDownload.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/Cp932.h"
#include "platform/SystemErrorText.h"

namespace kestrel {

namespace {

constexpr int HttpOk = 200;

bool IsConnectionFailure(QNetworkReply::NetworkError error)
{
    switch (error) {
        case QNetworkReply::ConnectionRefusedError:
        case QNetworkReply::HostNotFoundError:
        case QNetworkReply::TimeoutError:
        case QNetworkReply::TemporaryNetworkFailureError:
        case QNetworkReply::NetworkSessionFailedError:
        case QNetworkReply::ProxyConnectionRefusedError:
        case QNetworkReply::ProxyNotFoundError:
        case QNetworkReply::ProxyTimeoutError:
            return true;
        default:
            return false;
    }
}

bool IsProxyError(QNetworkReply::NetworkError error)
{
    return error >= QNetworkReply::ProxyConnectionRefusedError && error <= QNetworkReply::UnknownProxyError;
}

int StatusOf(const QNetworkReply& reply)
{
    return reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

}  // namespace

bool NetworkAvailable()
{
    const int probe = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (probe < 0) return false;
    close(probe);
    return true;
}

struct THTTPDownload::TNetwork {
    QNetworkAccessManager manager;
};

// What one Get keeps while it runs.
struct THTTPDownload::TTransfer {
    QUrl url;
    QFile file;
    bool announced = false;
    bool tooLarge = false;
    QString writeError;

    bool Stopped() const { return tooLarge || !writeError.isEmpty(); }
};

THTTPDownload::THTTPDownload() : available_(NetworkAvailable())
{
    if (available_) network_ = std::make_unique<TNetwork>();
}

THTTPDownload::~THTTPDownload()
{
    Abort();
}

QString THTTPDownload::DownloadFileName() const
{
    return available_ && fileMode_ ? fileName_ : QString();
}

void THTTPDownload::SetDownloadFileName(const QString& file)
{
    fileName_ = file;
    fileMode_ = true;
}

QByteArray THTTPDownload::DownloadFileStr() const
{
    return available_ && !fileMode_ ? body_ : QByteArray();
}

int THTTPDownload::Port() const { return available_ ? port_ : 0; }
QString THTTPDownload::Proxy() const { return available_ ? proxy_ : QString(); }
int THTTPDownload::ProxyPort() const { return available_ ? proxyPort_ : 0; }
QString THTTPDownload::URL() const { return available_ ? url_ : QString(); }
QString THTTPDownload::ProxyUserName() const { return available_ ? proxyUser_ : QString(); }
QString THTTPDownload::ProxyUserPass() const { return available_ ? proxyPassword_ : QString(); }

int THTTPDownload::BytesPercent() const
{
    if (bytesTotal_ <= 0) return 0;
    return static_cast<int>((bytesReceived_ * 1000 / bytesTotal_ + 5) / 10);
}

QByteArray THTTPDownload::ProxyAuthorization(const QString& user, const QString& password)
{
    const QByteArray account = ToCp932(user) + ':' + ToCp932(password);
    return "Basic " + account.toBase64();
}

void THTTPDownload::Get()
{
    if (!available_ || reply_) return;
    bytesTotal_ = bytesReceived_ = 0;
    body_.clear();
    error_.clear();
    succeeded_ = aborted_ = false;

    TTransfer transfer;
    transfer.url = QUrl(url_, QUrl::StrictMode);
    const QString scheme = transfer.url.scheme();
    if (!transfer.url.isValid() || transfer.url.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return Fail(QStringLiteral("「%1」は HTTP のアドレスではありません").arg(url_), false);
    if (transfer.url.port() < 0 && scheme == u"http" && port_ != DefaultPort) transfer.url.setPort(port_);
    if (fileMode_) {
        transfer.file.setFileName(fileName_);
        if (!transfer.file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return Fail(QStringLiteral("「%1」に書き込めません: %2").arg(fileName_, FileErrorText(transfer.file)), false);
    }
    Start(transfer);
}

void THTTPDownload::Start(TTransfer& transfer)
{
    QNetworkAccessManager& manager = network_->manager;
    // Only the proxy set here is used, never one from the environment.
    manager.setProxy(proxy_.isEmpty() ? QNetworkProxy(QNetworkProxy::NoProxy)
                                      : QNetworkProxy(QNetworkProxy::HttpProxy, proxy_,
                                                      static_cast<quint16>(proxyPort_ > 0 ? proxyPort_ : DefaultPort)));
    QNetworkRequest request(transfer.url);
    request.setTransferTimeout(timeout_);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setHeader(QNetworkRequest::UserAgentHeader, QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    // Sent with the first request: Qt's own proxy credentials would go only after a 407 answer.
    if (!proxyUser_.isEmpty()) request.setRawHeader("Proxy-Authorization", ProxyAuthorization(proxyUser_, proxyPassword_));

    QEventLoop loop;
    reply_ = manager.get(request);
    QObject::connect(reply_, &QNetworkReply::requestSent, &loop, [this] {
        if (OnConnect) OnConnect();
    });
    QObject::connect(reply_, &QNetworkReply::metaDataChanged, &loop, [this, &transfer] {
        const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
        if (!length.isValid() || StatusOf(*reply_) != HttpOk) return;
        transfer.announced = true;
        bytesTotal_ = length.toLongLong();
        if (bytesTotal_ > maxBytes_) {
            transfer.tooLarge = true;
            reply_->abort();
        }
    });
    QObject::connect(reply_, &QNetworkReply::readyRead, &loop, [this, &transfer] { ReadBody(transfer); });
    QObject::connect(reply_, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    Finish(transfer);
}

// The body of an answer other than 200 (an error page) is never kept.
void THTTPDownload::ReadBody(TTransfer& transfer)
{
    const QByteArray data = reply_->readAll();
    if (data.isEmpty() || transfer.Stopped() || StatusOf(*reply_) != HttpOk) return;
    if (bytesReceived_ + data.size() > maxBytes_) {
        transfer.tooLarge = true;
        reply_->abort();
        return;
    }
    if (fileMode_ && transfer.file.write(data) != data.size()) {
        transfer.writeError = FileErrorText(transfer.file);
        reply_->abort();
        return;
    }
    if (!fileMode_) body_ += data;
    bytesReceived_ += data.size();
    if (OnPacketRecieved) OnPacketRecieved();
}

void THTTPDownload::Finish(TTransfer& transfer)
{
    if (!transfer.Stopped() && !aborted_) ReadBody(transfer);
    QNetworkReply* reply = std::exchange(reply_, nullptr);
    const QNetworkReply::NetworkError error = reply->error();
    const int status = StatusOf(*reply);
    const QString reasonPhrase = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    reply->deleteLater();
    if (transfer.file.isOpen() && !transfer.file.flush() && transfer.writeError.isEmpty())
        transfer.writeError = FileErrorText(transfer.file);
    transfer.file.close();

    const QString host = IsProxyError(error) ? proxy_ : transfer.url.host();
    if (aborted_) return Fail(QStringLiteral("転送を中断しました"), false);
    if (transfer.tooLarge)
        return Fail(QStringLiteral("受信するデータが大きすぎます(上限 %1 バイト)").arg(maxBytes_), false);
    if (!transfer.writeError.isEmpty())
        return Fail(QStringLiteral("「%1」に書き込めません: %2").arg(fileName_, transfer.writeError), false);
    if (status != 0 && status != HttpOk)
        return Fail(QStringLiteral("サーバーがエラーを返しました(HTTP %1 %2)").arg(status).arg(reasonPhrase), false);
    if (error != QNetworkReply::NoError) return Fail(NetworkErrorText(error, host), IsConnectionFailure(error));
    if (status != HttpOk) return Fail(QStringLiteral("サーバーの応答がありません"), false);
    if (transfer.announced && bytesReceived_ != bytesTotal_)
        return Fail(QStringLiteral("受信したデータが予告された大きさと違います(%1/%2 バイト)")
                        .arg(bytesReceived_)
                        .arg(bytesTotal_),
                    false);
    succeeded_ = true;
    if (OnSuccess) OnSuccess();
}

void THTTPDownload::Fail(const QString& reason, bool connectionFailed)
{
    succeeded_ = false;
    error_ = reason;
    const std::function<void()>& event = connectionFailed && OnConnectionFailed ? OnConnectionFailed : OnFailure;
    if (event) event();
}

void THTTPDownload::Abort()
{
    if (!reply_) return;
    aborted_ = true;
    reply_->abort();
}

}  // namespace kestrel

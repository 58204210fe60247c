#include "platform/CupsQueue.h"

#include <cups/cups.h>

#include <QFile>
#include <memory>

#include "platform/Error.h"

namespace kestrel {

namespace {

constexpr qint64 ChunkSize = 64 * 1024;
constexpr int ConnectTimeoutMs = 30000;

struct THttpCloser {
    void operator()(http_t* http) const { httpClose(http); }
};
using THttp = std::unique_ptr<http_t, THttpCloser>;

class TOptions {
public:
    explicit TOptions(const QMap<QString, QString>& options)
    {
        for (auto it = options.cbegin(); it != options.cend(); ++it)
            count_ = cupsAddOption(it.key().toUtf8().constData(), it.value().toUtf8().constData(), count_, &options_);
    }
    ~TOptions() { cupsFreeOptions(count_, options_); }
    TOptions(const TOptions&) = delete;
    TOptions& operator=(const TOptions&) = delete;
    int Count() const { return count_; }
    cups_option_t* Options() const { return options_; }

private:
    int count_ = 0;
    cups_option_t* options_ = nullptr;
};

[[noreturn]] void Refused(const QString& queue)
{
    throw EKestrel(QStringLiteral("プリンタ「%1」に印刷データを送れませんでした\n(%2)")
                       .arg(queue, QString::fromUtf8(cupsLastErrorString())));
}

THttp Connect(const QString& queue)
{
    THttp http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, ConnectTimeoutMs,
                            nullptr));
    if (!http) Refused(queue);
    return http;
}

// The upload is dropped on its own connection; the job itself is removed over a fresh one.
void CancelJob(THttp& http, const QByteArray& queue, int jobId)
{
    http.reset();
    cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.constData(), jobId, 1);
}

}  // namespace

int SubmitPdfToQueue(const QString& queue, const QString& pdfPath, const QString& title,
                     const QMap<QString, QString>& options, const std::function<bool()>& keepSending)
{
    QFile pdf(pdfPath);
    if (!pdf.open(QIODevice::ReadOnly)) throw EKestrel(QStringLiteral("印刷データを読めません: %1").arg(pdfPath));
    const QByteArray name = queue.toUtf8();
    const TOptions jobOptions(options);
    THttp http = Connect(queue);
    const int jobId = cupsCreateJob(http.get(), name.constData(), title.toUtf8().constData(), jobOptions.Count(),
                                    jobOptions.Options());
    if (jobId == 0) Refused(queue);
    if (cupsStartDocument(http.get(), name.constData(), jobId, "document", CUPS_FORMAT_PDF, 1) !=
        HTTP_STATUS_CONTINUE) {
        CancelJob(http, name, jobId);
        Refused(queue);
    }
    while (!pdf.atEnd()) {
        if (keepSending && !keepSending()) {
            CancelJob(http, name, jobId);
            return 0;
        }
        const QByteArray chunk = pdf.read(ChunkSize);
        if (chunk.isEmpty() || cupsWriteRequestData(http.get(), chunk.constData(), size_t(chunk.size())) !=
                                   HTTP_STATUS_CONTINUE) {
            CancelJob(http, name, jobId);
            Refused(queue);
        }
    }
    if (cupsFinishDocument(http.get(), name.constData()) != IPP_STATUS_OK) {
        CancelJob(http, name, jobId);
        Refused(queue);
    }
    return jobId;
}

}  // namespace kestrel

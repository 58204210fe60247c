#pragma once

// The printer as a print run sees it: a document of pages painted through a canvas, which can
// be ended or aborted. Jobs are built as a complete PDF first and handed over only when ended, so
// an aborted or failed job leaves nothing queued and no half-written file.

#include <QMap>
#include <QPageSize>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>

class QPdfWriter;
class QTemporaryFile;

namespace kestrel {

class TCanvas;
class TPrinterConfiguration;
class TReplacingFile;

class IPrintDevice {
public:
    virtual ~IPrintDevice() = default;
    virtual void SetTitle(const QString& title) = 0;
    virtual void SetLandscape(bool landscape) = 0;
    virtual void BeginDoc() = 0;
    virtual void NewPage() = 0;
    // Hands the finished document to its destination.
    virtual void EndDoc() = 0;
    // Stops the job: Printing turns false at once (painting may still finish its current call)
    // and the document is dropped instead of handed over.
    virtual void Abort() = 0;
    virtual bool Printing() const = 0;
    virtual bool Aborted() const = 0;
    // The page's canvas while printing; device pixels start at the paper's edge.
    virtual TCanvas& Canvas() = 0;
    // Dots per inch across (x) and down (y).
    virtual QSize Resolution() const = 0;
};

// Pages go into a PDF; EndDoc either renames it over the target file (print to PDF) or submits it
// to a CUPS queue.
class TPdfPrintJob : public IPrintDevice {
public:
    // For the PDF file printer pdfFile names the target; for a queue it is ignored.
    TPdfPrintJob(TPrinterConfiguration& printer, const QString& pdfFile);
    ~TPdfPrintJob() override;

    void SetTitle(const QString& title) override { title_ = title; }
    void SetLandscape(bool landscape) override { landscape_ = landscape; }
    void BeginDoc() override;
    void NewPage() override;
    void EndDoc() override;
    void Abort() override;
    bool Printing() const override { return printing_; }
    bool Aborted() const override { return aborted_; }
    TCanvas& Canvas() override;
    QSize Resolution() const override { return QSize(dpi_, dpi_); }

    // Runs between pieces of a finished job sent to a queue; an Abort from there cancels the job
    // on the server.
    void SetOnSending(std::function<void()> onSending) { onSending_ = std::move(onSending); }
    // The CUPS job id after EndDoc (0 for a PDF file).
    int JobId() const { return jobId_; }

private:
    void Close();
    void Deliver();
    void Discard();

    QString printerName_;
    bool toFile_;
    QString pdfFile_;
    QPageSize pageSize_;
    int dpi_;
    QMap<QString, QString> jobOptions_;
    QString title_;
    bool landscape_ = false;
    bool printing_ = false;
    bool aborted_ = false;
    bool delivering_ = false;
    int jobId_ = 0;
    std::function<void()> onSending_;
    std::unique_ptr<TReplacingFile> target_;
    std::unique_ptr<QTemporaryFile> spool_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<TCanvas> canvas_;
};

}  // namespace kestrel

#include "platform/PrintJob.h"

#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QTemporaryFile>

#include "platform/Canvas.h"
#include "platform/CupsQueue.h"
#include "platform/Error.h"
#include "platform/PrinterConfiguration.h"
#include "platform/ReplacingFile.h"

namespace kestrel {

TPdfPrintJob::TPdfPrintJob(TPrinterConfiguration& printer, const QString& pdfFile)
    : printerName_(printer.GetDeviceName()),
      toFile_(printer.IsPdf()),
      pdfFile_(pdfFile),
      pageSize_(printer.SelectedPageSize().value_or(QPageSize(QPageSize::A4))),
      dpi_(printer.GetDeviceMode().resolution),
      jobOptions_(toFile_ ? QMap<QString, QString>() : printer.JobOptions())
{
    if (toFile_ && pdfFile_.isEmpty()) throw EKestrel(QStringLiteral("PDFファイルの名前がありません"));
}

TPdfPrintJob::~TPdfPrintJob()
{
    Close();
    Discard();
}

void TPdfPrintJob::BeginDoc()
{
    QIODevice* output;
    if (toFile_) {
        target_ = std::make_unique<TReplacingFile>(pdfFile_);
        if (!target_->Open()) throw EKestrel(QStringLiteral("「%1」に書き込めません").arg(pdfFile_));
        output = &target_->Device();
    } else {
        spool_ = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/prnXXXXXX.pdf"));
        if (!spool_->open()) throw EKestrel(QStringLiteral("印刷データの一時ファイルを作れません"));
        output = spool_.get();
    }
    writer_ = std::make_unique<QPdfWriter>(output);
    writer_->setTitle(title_);
    writer_->setCreator(QStringLiteral("Kestrel"));
    writer_->setResolution(dpi_);
    writer_->setPageLayout(QPageLayout(pageSize_, landscape_ ? QPageLayout::Landscape : QPageLayout::Portrait,
                                       QMarginsF(), QPageLayout::Millimeter));
    canvas_ = std::make_unique<TCanvas>(*writer_);
    printing_ = true;
    aborted_ = false;
}

TCanvas& TPdfPrintJob::Canvas()
{
    if (!canvas_) throw EKestrel(QStringLiteral("印刷は始まっていません"));
    return *canvas_;
}

void TPdfPrintJob::NewPage()
{
    if (printing_) writer_->newPage();
}

void TPdfPrintJob::Close()
{
    canvas_.reset();  // ends the painter, which finishes the PDF
    writer_.reset();
    printing_ = false;
}

void TPdfPrintJob::Discard()
{
    target_.reset();  // an uncommitted replacement is removed
    spool_.reset();
}

void TPdfPrintJob::EndDoc()
{
    if (!canvas_) return;
    Close();
    try {
        if (!aborted_) Deliver();
    } catch (...) {
        Discard();
        throw;
    }
    Discard();
}

void TPdfPrintJob::Deliver()
{
    if (target_) {
        if (!target_->Commit()) throw EKestrel(QStringLiteral("「%1」に書き込めませんでした").arg(pdfFile_));
        return;
    }
    spool_->flush();
    delivering_ = true;
    jobId_ = SubmitPdfToQueue(printerName_, spool_->fileName(), title_, jobOptions_, [this] {
        if (onSending_) onSending_();
        return !aborted_;
    });
    delivering_ = false;
    if (jobId_ == 0) aborted_ = true;
}

void TPdfPrintJob::Abort()
{
    if (!printing_ && !delivering_) return;
    printing_ = false;
    aborted_ = true;
}

}  // namespace kestrel

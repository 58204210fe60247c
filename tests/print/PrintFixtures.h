#pragma once

// A printer over an in-memory page, with any resolution across and down, that records what the
// print run asks of it.

#include <QImage>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Canvas.h"
#include "platform/PrintJob.h"

namespace kestrel::test {

class TImagePrintDevice : public IPrintDevice {
public:
    // pageSize in 0.1 mm.
    TImagePrintDevice(QSize pageSize, QSize dpi) : pageSize_(pageSize), dpi_(dpi) {}

    int newPages = 0;
    int endDocs = 0;
    int aborts = 0;
    bool landscape = false;
    QString title;
    std::vector<QImage> pages;

    void SetTitle(const QString& t) override { title = t; }
    void SetLandscape(bool value) override { landscape = value; }
    void BeginDoc() override
    {
        printing_ = true;
        StartPage();
    }
    void NewPage() override
    {
        ++newPages;
        FinishPage();
        StartPage();
    }
    void EndDoc() override
    {
        ++endDocs;
        FinishPage();
        printing_ = false;
    }
    void Abort() override
    {
        ++aborts;
        printing_ = false;
        aborted_ = true;
    }
    bool Printing() const override { return printing_; }
    bool Aborted() const override { return aborted_; }
    TCanvas& Canvas() override { return *canvas_; }
    QSize Resolution() const override { return dpi_; }

private:
    void StartPage()
    {
        const int width = int(std::lround(pageSize_.width() * dpi_.width() / 254.0));
        const int height = int(std::lround(pageSize_.height() * dpi_.height() / 254.0));
        page_ = QImage(width, height, QImage::Format_RGB32);
        page_.fill(Qt::white);
        page_.setDotsPerMeterX(int(std::lround(dpi_.width() / 0.0254)));
        page_.setDotsPerMeterY(int(std::lround(dpi_.height() / 0.0254)));
        canvas_ = std::make_unique<TCanvas>(page_);
    }
    void FinishPage()
    {
        if (!canvas_) return;
        canvas_.reset();
        pages.push_back(page_);
    }

    QSize pageSize_;
    QSize dpi_;
    QImage page_;
    std::unique_ptr<TCanvas> canvas_;
    bool printing_ = false;
    bool aborted_ = false;
};

}  // namespace kestrel::test

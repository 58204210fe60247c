#pragma once

#include <memory>

#include "document/stream/Persistent.h"
#include "paper/ProductInfo.h"

namespace kestrel {

// The document-wide record of "DataInfo": names, current sheet, dates and the product and
// creator records (written in that order as children).
class TDataInfo : public TComponent {
    KESTREL_PERSISTENT()
public:
    const QString& DataName() const { return dataName_; }
    void SetDataName(const QString& name) { dataName_ = name; }
    int CurrentSheetNo() const { return currentSheetNo_; }
    void SetCurrentSheetNo(int no) { currentSheetNo_ = no; }
    // Days since 30 December 1899.
    double LastPrint() const { return lastPrint_; }
    void SetLastPrint(double days) { lastPrint_ = days; }
    double LastSave() const { return lastSave_; }
    void SetLastSave(double days) { lastSave_ = days; }
    bool SheetMode() const { return sheetMode_; }
    void SetSheetMode(bool value) { sheetMode_ = value; }

    // Writing: the records to write (not owned). Reading: the records read, in stream order.
    void SetRecords(std::vector<TProductInfo*> records) { records_ = std::move(records); }
    const std::vector<std::unique_ptr<TProductInfo>>& ReadRecords() const { return read_; }

    void GetChildren(const std::function<void(TComponent&)>& proc) const override;
    void AdoptChild(std::unique_ptr<TComponent> child) override;

private:
    // Older files carry the sheet count; it is ignored.
    int SheetCount() const { return 0; }
    void SetSheetCount(int) {}

    QString dataName_;
    int currentSheetNo_ = 0;
    double lastPrint_ = 0;
    double lastSave_ = 0;
    bool sheetMode_ = false;
    std::vector<TProductInfo*> records_;
    std::vector<std::unique_ptr<TProductInfo>> read_;
};

}  // namespace kestrel

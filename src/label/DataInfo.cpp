#include "label/DataInfo.h"

#include "platform/Error.h"

namespace kestrel {

const TClassInfo& TDataInfo::StaticClass()
{
    static const TClassInfo info("TDataInfo", &TComponent::StaticClass(), FactoryOf<TDataInfo>(), [] {
        return TPropsOf<TDataInfo>()
            .Int("SheetCount", &TDataInfo::SheetCount, &TDataInfo::SetSheetCount)
            .StoredIf([](const TDataInfo&) { return false; })
            .String("DataName", &TDataInfo::DataName, &TDataInfo::SetDataName)
            .Int("CurrentSheetNo", &TDataInfo::CurrentSheetNo, &TDataInfo::SetCurrentSheetNo, NoDefault)
            .Float("LastPrint", &TDataInfo::LastPrint, &TDataInfo::SetLastPrint)
            .Float("LastSave", &TDataInfo::LastSave, &TDataInfo::SetLastSave)
            .Bool("SheetMode", &TDataInfo::SheetMode, &TDataInfo::SetSheetMode, NoDefault)
            .Done();
    });
    return info;
}

void TDataInfo::GetChildren(const std::function<void(TComponent&)>& proc) const
{
    for (TProductInfo* record : records_) proc(*record);
}

void TDataInfo::AdoptChild(std::unique_ptr<TComponent> child)
{
    auto* record = dynamic_cast<TProductInfo*>(child.get());
    if (!record) throw EReadError(QStringLiteral("不正なストリーム フォーマット"));
    child.release();
    read_.emplace_back(record);
}

}  // namespace kestrel

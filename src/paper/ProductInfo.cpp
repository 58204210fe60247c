#include "paper/ProductInfo.h"

#include <array>

#include "platform/BoundedReader.h"
#include "platform/GuidBytes.h"

namespace kestrel {

namespace {

const std::array<const char*, 10> kProductCaptions = {
    "メインタイトル", "サブタイトル", "担当者", "コピーライト", "バージョン",
    "日付",           "自由項目1",    "自由項目2", "自由項目3",  "自由項目4",
};
// Captions up to this index are fixed; later ones keep what the user gave them.
constexpr int kFixedCaptions = 7;

const std::array<const char*, 11> kCreatorCaptions = {
    "会社名", "部署名", "TEL", "FAX", "郵便番号", "住所1", "住所2", "ホームページ",
    "自由項目1", "自由項目2", "自由項目3",
};

}  // namespace

const TClassInfo& TProductItem::StaticClass()
{
    static const TClassInfo info("TProductItem", &TCollectionItem::StaticClass(), FactoryOf<TProductItem>(), [] {
        return TPropsOf<TProductItem>()
            .Strings("Info", &TProductItem::Info, &TProductItem::SetInfo)
            .String("FieldName", &TProductItem::FieldName, &TProductItem::SetFieldName)
            .Done();
    });
    return info;
}

const TClassInfo& TProductItemCollection::StaticClass()
{
    static const TClassInfo info("TProductItemCollection", &TCollection::StaticClass(),
                                 FactoryOf<TProductItemCollection>(), {});
    return info;
}

TProductItemCollection::TProductItemCollection() : TCollection([] { return std::make_unique<TProductItem>(); }) {}

const TClassInfo& TProductInfo::StaticClass()
{
    static const TClassInfo info("TProductInfo", &TComponent::StaticClass(), FactoryOf<TProductInfo>(), [] {
        return TPropsOf<TProductInfo>().Collection("Items", &TProductInfo::ItemsHolder).Done();
    });
    return info;
}

TProductInfo::TProductInfo() : guid_(QUuid::createUuid())
{
    ApplyDefaultCaptions();
}

TProductInfo::TProductInfo(const TProductInfo& other)
{
    Assign(other);
}

TProductInfo& TProductInfo::operator=(const TProductInfo& other)
{
    Assign(other);
    return *this;
}

void TProductInfo::EnsureItemCount(int count)
{
    while (items_.Count() < count) items_.Add();
}

void TProductInfo::ApplyDefaultCaptions()
{
    EnsureItemCount(int(kProductCaptions.size()));
    for (int i = 0; i < int(kProductCaptions.size()); ++i) {
        TProductItem& item = items_.Item(i);
        if (i < kFixedCaptions || item.FieldName().isEmpty())
            item.SetFieldName(QString::fromUtf8(kProductCaptions[i]));
    }
}

void TProductInfo::ApplyCreatorCaptions()
{
    EnsureItemCount(int(kCreatorCaptions.size()));
    for (int i = 0; i < int(kCreatorCaptions.size()); ++i)
        items_.Item(i).SetFieldName(QString::fromUtf8(kCreatorCaptions[i]));
}

void TProductInfo::Assign(const TPersistent& source)
{
    TComponent::Assign(source);
    // The GUID is the class's own record, outside the property table.
    if (const auto* other = dynamic_cast<const TProductInfo*>(&source)) guid_ = other->guid_;
}

void TProductInfo::DefineProperties(TFiler& filer)
{
    filer.DefineBinaryProperty(
        "GUID",
        [this](TBoundedReader& in) {
            in.Need(kGuidSize);
            guid_ = ReadGuid(in);
        },
        [this](QByteArray& out) { out += GuidBytes(guid_); }, true);
}

}  // namespace kestrel

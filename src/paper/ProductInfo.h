#pragma once

// Production data shown on labels: named text items under a unique identifier.

#include <QString>
#include <QStringList>
#include <QUuid>

#include "document/stream/Persistent.h"

namespace kestrel {

class TProductItem : public TCollectionItem {
    KESTREL_PERSISTENT()
public:
    const QStringList& Info() const { return info_; }
    void SetInfo(const QStringList& info) { info_ = info; }
    const QString& FieldName() const { return fieldName_; }
    void SetFieldName(const QString& name) { fieldName_ = name; }

private:
    QStringList info_;
    QString fieldName_;
};

class TProductItemCollection : public TCollection {
    KESTREL_PERSISTENT()
public:
    TProductItemCollection();
    TProductItem& Item(int i) const { return static_cast<TProductItem&>(TCollection::Item(i)); }
    TProductItem& Add() { return static_cast<TProductItem&>(TCollection::Add()); }
};

class TProductInfo : public TComponent {
    KESTREL_PERSISTENT()
public:
    // A fresh identifier and the product captions.
    TProductInfo();
    TProductInfo(const TProductInfo& other);
    TProductInfo& operator=(const TProductInfo& other);

    const QUuid& Guid() const { return guid_; }
    TProductItemCollection& Items() { return items_; }
    const TProductItemCollection& Items() const { return items_; }

    // At least ten items; captions 0-6 always the fixed ones, 7-9 only where empty.
    void ApplyDefaultCaptions();
    // Eleven items with the creator captions.
    void ApplyCreatorCaptions();
    void Assign(const TPersistent& source) override;
    bool IsSame(const TProductInfo& other) const { return guid_ == other.guid_; }

    void DefineProperties(TFiler& filer) override;

private:
    TProductItemCollection* ItemsHolder() { return &items_; }
    void EnsureItemCount(int count);

    QUuid guid_;
    TProductItemCollection items_;
};

}  // namespace kestrel

#include "label/InformationFields.h"

#include "document/DOList.h"
#include "label/LabelData.h"
#include "paper/ProductDB.h"
#include "paper/ProductInfo.h"

namespace kestrel {

namespace {

// Refreshes the fields of the set among component and the components it holds (group members).
bool ApplyToFields(TComponent& component, TFieldType set, const QStringList& texts)
{
    bool changed = false;
    if (auto* text = dynamic_cast<TLOText*>(&component)) {
        const QStringList before = text->Text();
        text->ApplyInformation(set, texts);
        changed = text->Text() != before;
    }
    component.GetChildren([&](TComponent& child) { changed = ApplyToFields(child, set, texts) || changed; });
    return changed;
}

QStringList ItemTexts(const TProductInfo& record)
{
    const TProductItemCollection& items = record.Items();
    QStringList texts;
    for (int i = 0; i < items.Count(); ++i) texts << items.Item(i).Info().join(u'\n');
    return texts;
}

}  // namespace

TProductInfo& InformationRecord(TLabelData& document, TFieldType set)
{
    switch (set) {
    case ftCreatorJapanese: return document.CreatorInfoJ();
    case ftCreatorEnglish: return document.CreatorInfoE();
    case ftProduct: break;
    }
    return document.ProductInfo();
}

QStringList InformationTexts(TLabelData& document, TFieldType set)
{
    return ItemTexts(InformationRecord(document, set));
}

void ChangeInformation(TLabelData& document, TFieldType set, const TProductInfo& record)
{
    TProductInfo& kept = InformationRecord(document, set);
    const QStringList texts = ItemTexts(record);
    const bool textsChanged = texts != ItemTexts(kept);
    kept = record;
    document.SetModified(true);
    // Unchanged texts leave the faces alone, also a text edited after its field was filled.
    if (!textsChanged) return;
    document.RewriteFaces([&](TDOList& objects) {
        bool changed = false;
        for (TDrawObject* object : objects.Items()) changed = ApplyToFields(*object, set, texts) || changed;
        return changed;
    });
}

void StoreNewLabelCreators(TProductDB& productDB, const TProductInfo& japanese, const TProductInfo& english)
{
    TProductInfo storedJapanese;
    TProductInfo storedEnglish;
    productDB.ReadCreatorJ(storedJapanese);
    productDB.ReadCreatorE(storedEnglish);
    storedJapanese.Items().Assign(japanese.Items());
    storedEnglish.Items().Assign(english.Items());
    productDB.Store(storedJapanese);
    productDB.Store(storedEnglish);
}

}  // namespace kestrel

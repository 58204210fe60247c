#pragma once

// Texts that show an item of the document's product or creator information.

#include <QStringList>

#include "text/LOText.h"

namespace kestrel {

class TLabelData;
class TProductDB;
class TProductInfo;

// The document's record behind a set.
TProductInfo& InformationRecord(TLabelData& document, TFieldType set);
// One text per item of the set's record, its lines joined by line feeds.
QStringList InformationTexts(TLabelData& document, TFieldType set);
// Takes record as the document's information of the set; when its item texts differ from the
// record's before, refreshes every text on every face that shows an item of it.
void ChangeInformation(TLabelData& document, TFieldType set, const TProductInfo& record);
// Makes the items of japanese and english the creator information new labels start with. The
// stored records keep their identities, so they stay the creator records whatever the edited
// ones came from.
void StoreNewLabelCreators(TProductDB& productDB, const TProductInfo& japanese, const TProductInfo& english);

}  // namespace kestrel

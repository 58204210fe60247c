#pragma once

// A whole label document as JSON (kestrel-cli dump and compose):
// {"sheets": [{"paper": {"name": ..., "record": {...}, "extra": {...}, "images": {...}},
//              "settings": {...}, "faces": [{"face": 1, "objects": [...]}, ...]}],
//  "information": {"product": {...}, "creatorJapanese": {...}, "creatorEnglish": {...}}}
// (the information records by their properties; a dump lists the product record alone, since
// an opened document takes its creator records from the program's database).
// Objects are listed in stacking order, from the back to the front.

#include <QJsonObject>
#include <memory>
#include <optional>

#include "document/stream/JsonCodec.h"

namespace kestrel {

class TLabelData;
class TPapersV2;

struct TDumpSelection {
    std::optional<int> sheet;  // counted from 0; every sheet when not set
    std::optional<int> face;   // counted from 0; every face when not set
};

QJsonObject DocumentToJson(TLabelData& document, const TDumpSelection& selection = {});

// Builds a new document from a scene; the first error (an EJsonError naming its JSON path)
// refuses the whole scene. Papers named without a record come from the catalogue. Information
// records given fill the texts that show their items.
std::unique_ptr<TLabelData> DocumentFromJson(const QJsonValue& scene, const TPapersV2* catalogue,
                                             const TJsonReadOptions& options = {});

}  // namespace kestrel

#pragma once

#include <functional>
#include <memory>

#include "paper/PapersV2.h"

namespace kestrel {

// Registers the extra-information bases the application keeps on every catalogue it opens.
using TRegisterBases = std::function<void(TPapersV2&)>;

// The system catalogue (read-only, on a working copy) with the user's papers merged in, marked
// not modified. Failures carry the start-up messages naming the file concerned.
std::unique_ptr<TPapersV2> OpenMergedCatalogue(TCatalogueIO io, const QString& systemFile, const QString& userFile,
                                               const TRegisterBases& registerBases);

// When the catalogue changed, its user papers replace the user file. The new file is built
// completely before it replaces the old one, so a failure leaves the old file intact.
void WriteBackUserPapers(TPapersV2& catalogue, TCatalogueIO io, const QString& userFile,
                         const TRegisterBases& registerBases);

}  // namespace kestrel

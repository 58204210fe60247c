#pragma once

#include <functional>
#include <memory>

#include "paper/CompoundCatalogue.h"
#include "paper/PapersV2.h"

namespace kestrel {

struct TStartupHooks;

// Registers the extra-information bases the application keeps on every catalogue it opens.
using TRegisterBases = std::function<void(TPapersV2&)>;

// The catalogue in the file, read-only on a working copy, with the bases registered.
std::unique_ptr<TPapersV2> OpenCatalogueFile(TCatalogueIO io, const QString& fileName,
                                             const TRegisterBases& registerBases);

// Merges the user's papers from userFile into the catalogue and marks it not modified.
void MergeUserPapers(TPapersV2& catalogue, TCatalogueIO io, const QString& userFile,
                     const TRegisterBases& registerBases);

// Writes the catalogue's user papers with their records to a new catalogue file, which replaces
// an existing one only once complete.
void WriteUserPapers(const TPapersV2& catalogue, TCatalogueIO io, const QString& file,
                     const TRegisterBases& registerBases);

// When the catalogue changed, its user papers replace the user file. The new file is built
// completely before it replaces the old one, so a failure leaves the old file intact.
void WriteBackUserPapers(TPapersV2& catalogue, TCatalogueIO io, const QString& userFile,
                         const TRegisterBases& registerBases);

// The application's one catalogue: the system catalogue with the user's papers merged in, on
// compound files and component streams.
class TPaperCatalogue {
public:
    TCatalogueIO IO() const { return {&files_, &codec_}; }
    // Null until the system catalogue is open.
    TPapersV2* Catalogue() const { return catalogue_.get(); }

    void OpenSystem(const QString& systemFile);
    void MergeUser(const QString& userFile);
    void SaveUser(const QString& userFile);
    void Free() { catalogue_.reset(); }

private:
    TCompoundCatalogueFiles files_;
    TStreamComponentCodec codec_;
    std::unique_ptr<TPapersV2> catalogue_;
};

// Fills the start-up seams of the catalogue and of the product's purpose filter.
void InstallCatalogueHooks(TStartupHooks& hooks, TPaperCatalogue& papers);

}  // namespace kestrel

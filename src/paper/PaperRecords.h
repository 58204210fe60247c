#pragma once

// The per-paper records kept beside a paper, in catalogues and in documents: the maker record
// and the ready-made label designs.

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "document/DOList.h"
#include "document/DrawObject.h"
#include "paper/PapersV2.h"

namespace kestrel {

class TDocStorage;

// Names of the bases the application registers on every catalogue.
inline const QString ExtraInfosBaseName = QStringLiteral("ExtraInfos");
inline const QString PaperImagesBaseName = QStringLiteral("PaperImages");

// The paper's maker, its purpose text and a round size.
class TExPaperInfo : public TExtraPaperInfo {
    KESTREL_PERSISTENT()
public:
    const QString& Purpose() const { return purpose_; }
    void SetPurpose(const QString& purpose) { purpose_ = purpose; }
    const QString& Company() const { return company_; }
    void SetCompany(const QString& company) { company_ = company; }
    int RoundSize() const { return roundSize_; }
    void SetRoundSize(int size) { roundSize_ = size; }

    bool IsEmpty() const override;
    void Clear();

private:
    QString purpose_;
    QString company_;
    int roundSize_ = 0;
};

// Ready-made designs of a paper's labels: one object list per label design. The lists are
// stored beside the record's component stream, so the record owns every object they hold.
class TImagePaperInfo : public TExtraPaperInfo {
    KESTREL_PERSISTENT()
public:
    bool SeparatelyDesign() const { return separatelyDesign_; }
    void SetSeparatelyDesign(bool separately) { separatelyDesign_ = separately; }
    int LabelCount() const { return labelCount_; }
    void SetLabelCount(int count) { labelCount_ = count; }

    const std::vector<TDOList>& Lists() const { return lists_; }
    // Appends a copy of the list's objects, made through their stream form.
    void AddList(const TDOList& list);
    void ClearLists() { lists_.clear(); }

    // True when no list holds an object.
    bool IsEmpty() const override;
    bool Equals(const TExtraPaperInfo* other, const IComponentCodec& codec) const override;
    void Assign(const TPersistent& source) override;

    // Writes the lists as the streams $00000001, $00000002, ... of the storage at path after
    // removing everything else there but the record's own "ImageInfo" stream.
    void WriteLists(ICatalogueStorage& storage, const QString& path) const;
    // The lists are every stream of the storage at path but "ImageInfo", in name order.
    void ReadLists(const ICatalogueStorage& storage, const QString& path);

private:
    bool separatelyDesign_ = true;
    int labelCount_ = 0;
    std::vector<TDOList> lists_;
};

// The base of label designs: one sub-storage per paper holding the record's "ImageInfo"
// stream and its lists. Nothing is cached; lookups read the records in storage order.
class TImageInfoBase : public TExtraInfoBase {
public:
    explicit TImageInfoBase(QString name = PaperImagesBaseName) : TExtraInfoBase(std::move(name)) {}

    void Attach(const TBaseStorage& storage) override;
    void DeleteByPaperName(const QString& name) override;
    // The record must be a TImagePaperInfo.
    void Store(const TExtraPaperInfo& record) override;
    std::unique_ptr<TExtraPaperInfo> Get(const QString& paperName) override;
    std::unique_ptr<TExtraPaperInfo> GetByIndex(int index) override;
    int Count() const override { return static_cast<int>(substorages_.size()); }

private:
    // The record of the sub-storage without its lists, or null when it holds none.
    std::unique_ptr<TImagePaperInfo> ReadInfo(const QString& substorage) const;
    std::unique_ptr<TImagePaperInfo> ReadWithLists(const QString& substorage) const;
    int IndexOfPaper(const QString& paperName) const;
    QString PathOf(const QString& substorage) const;
    ICatalogueStorage& Storage() const;

    TBaseStorage storage_;
    QStringList substorages_;
};

// Registers "ExtraInfos" and "PaperImages", in that order, on an open catalogue.
void RegisterPaperRecordBases(TPapersV2& catalogue);

// A sheet's records: "PaperExtraInfo", "PaperImageInfo" and the storage "PaperImages". An
// empty record is not written and its elements are removed.
void WriteSheetPaperRecords(TDocStorage& sheet, const TExPaperInfo& extra, const TImagePaperInfo& images);
// Records that are absent read as new, empty ones; damaged data fails with the stream reader's
// error and leaves both records unchanged.
void ReadSheetPaperRecords(TDocStorage& sheet, TExPaperInfo& extra, TImagePaperInfo& images);

}  // namespace kestrel

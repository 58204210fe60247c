#pragma once

#include <QDateTime>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "paper/Papers.h"

namespace kestrel {

// Catalogue version and the time of the last merge of system papers.
class TPaperUpdate : public TComponent {
    KESTREL_PERSISTENT()
public:
    int PPRNo() const { return pprNo_; }
    void SetPPRNo(int no) { pprNo_ = no; }
    // Days since 30 December 1899; the fraction is the time of day.
    double LastUpdate() const { return lastUpdate_; }
    void SetLastUpdate(double days) { lastUpdate_ = days; }

private:
    int pprNo_ = 0;
    double lastUpdate_ = 0;
};

double ToDaysSince1899(const QDateTime& time);

// Base of the per-paper records kept beside a catalogue.
class TExtraPaperInfo : public TComponent {
    KESTREL_PERSISTENT()
public:
    const QString& PaperName() const { return paperName_; }
    void SetPaperName(const QString& name) { paperName_ = name; }
    // A record that holds nothing is not stored.
    virtual bool IsEmpty() const = 0;
    // True when both records write identical component streams; false against nothing.
    virtual bool Equals(const TExtraPaperInfo* other, const IComponentCodec& codec) const;

private:
    QString paperName_;
};

// Where a base keeps its records.
struct TBaseStorage {
    ICatalogueStorage* root = nullptr;
    QString path;
    const IComponentCodec* codec = nullptr;
};

// A named container of per-paper records; the name is also its storage's name.
class TExtraInfoBase {
public:
    explicit TExtraInfoBase(QString name) : name_(std::move(name)) {}
    virtual ~TExtraInfoBase() = default;
    const QString& Name() const { return name_; }

    virtual void Attach(const TBaseStorage& storage) = 0;
    virtual void DeleteByPaperName(const QString& name) = 0;
    virtual void Store(const TExtraPaperInfo& record) = 0;
    // A copy the caller owns, or nothing.
    virtual std::unique_ptr<TExtraPaperInfo> Get(const QString& paperName) = 0;
    virtual std::unique_ptr<TExtraPaperInfo> GetByIndex(int index) = 0;
    virtual int Count() const = 0;

private:
    QString name_;
};

// The standard base: one stream per record, read lazily into a cache by paper name.
class TExInfoBase : public TExtraInfoBase {
public:
    using TExtraInfoBase::TExtraInfoBase;

    void Attach(const TBaseStorage& storage) override;
    void DeleteByPaperName(const QString& name) override;
    void Store(const TExtraPaperInfo& record) override;
    std::unique_ptr<TExtraPaperInfo> Get(const QString& paperName) override;
    std::unique_ptr<TExtraPaperInfo> GetByIndex(int index) override;
    int Count() const override { return static_cast<int>(streams_.size()); }

    // The stream of the paper's record, or empty.
    QString FindStream(const QString& paperName);
    QString NewStreamName() const;

private:
    struct TCached {
        QString stream;
        std::unique_ptr<TExtraPaperInfo> record;
    };
    std::unique_ptr<TExtraPaperInfo> ReadRecord(const QString& stream) const;
    std::unique_ptr<TExtraPaperInfo> Copy(const TExtraPaperInfo& record) const;
    void AddToCache(const QString& stream, std::unique_ptr<TExtraPaperInfo> record);
    const ICatalogueStorage& Storage() const;

    TBaseStorage storage_;
    QStringList streams_;  // storage order; the first loaded_ of them are in the cache
    int loaded_ = 0;
    std::map<QString, TCached> cache_;
};

// A text list kept in one stream; every change rewrites the stream.
class TCatalogueTextList {
public:
    const QStringList& Lines() const { return lines_; }
    void SetLines(const QStringList& lines);
    void Add(const QString& line);
    void Remove(const QString& line);

private:
    friend class TPapersV2;
    void Bind(ICatalogueStorage* storage, const QString& path) { storage_ = storage, path_ = path; }
    void Write() const;

    QStringList lines_;
    ICatalogueStorage* storage_ = nullptr;
    QString path_;
};

QByteArray EncodeTextLines(const QStringList& lines);
QStringList DecodeTextLines(const QByteArray& data);

// The catalogue with its update record, maker and group lists, global lists and extra bases.
class TPapersV2 : public TPapers {
public:
    using TPapers::TPapers;
    using TProgress = std::function<void(int done, int total)>;

    // Bases are bound to the open catalogue; register them again after every Open or Create.
    void AddBase(std::unique_ptr<TExtraInfoBase> base);
    TExtraInfoBase* FindBase(const QString& name) const;
    std::unique_ptr<TExtraPaperInfo> GetExtra(const QString& baseName, const QString& paperName) const;
    void StoreExtra(const QString& baseName, const TExtraPaperInfo& record);
    void DeleteExtra(const QString& baseName, const QString& paperName);
    void Delete(int index) override;

    const TPaperUpdate& UpdateInfo() const { return update_; }
    void SetUpdateInfo(const TPaperUpdate& record);
    TCatalogueTextList& CompanyList() { return companies_; }
    TCatalogueTextList& GroupList() { return groups_; }
    // Replaces strings with the list's lines when it exists; otherwise leaves strings alone.
    void ReadGlobalInfo(const QString& name, QStringList& strings) const;
    void WriteGlobalInfo(const QString& name, const QStringList& strings);

    void Merge(const TPapersV2& source, bool copyUserPapers, bool copySystemPapers, const TProgress& progress = {});

    // The other catalogue must be a TPapersV2 too.
    void Swap(TPapers& other) override;

protected:
    void LoadExtensions(ICatalogueStorage& storage) override;
    void CommitExtensions() override;
    void ReleaseExtensions() override;

private:
    void MergePaper(const TPapersV2& source, int index);
    void WriteUpdateInfo(ICatalogueStorage& storage, const TPaperUpdate& record) const;

    std::vector<std::unique_ptr<TExtraInfoBase>> bases_;
    TPaperUpdate update_;
    TCatalogueTextList companies_;
    TCatalogueTextList groups_;
    // Loaded by LoadExtensions, put in place by CommitExtensions.
    struct TPending {
        TPaperUpdate update;
        QStringList companies;
        QStringList groups;
    };
    std::unique_ptr<TPending> pending_;
};

}  // namespace kestrel

#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "paper/CatalogueStorage.h"
#include "paper/PaperInfo.h"
#include "paper/Purpose.h"

namespace kestrel {

// The file and stream services a catalogue works with.
struct TCatalogueIO {
    const ICatalogueFiles* files = nullptr;
    const IComponentCodec* codec = nullptr;
};

// Stream names of numbered records: "$" and eight upper-case hexadecimal digits.
QString NumberedStreamName(uint32_t number);
// The number of such a name, or 0 for any other name.
uint32_t StreamNumber(const QString& name);
// One above the highest number among the names (1 when none is numbered).
uint32_t NextStreamNumber(const QStringList& names);

// An open paper catalogue. It owns its papers; callers borrow them.
class TPapers {
public:
    explicit TPapers(TCatalogueIO io);
    virtual ~TPapers();
    TPapers(const TPapers&) = delete;
    TPapers& operator=(const TPapers&) = delete;

    // Opens the file into a fresh in-memory working copy (an absent file gives an empty
    // catalogue). On failure the catalogue keeps what it had open before. The working copy is
    // always in memory, so workOnCopy only matters to callers that check it.
    virtual void Open(const QString& fileName, bool readOnly, bool workOnCopy);
    // Opens a new, empty catalogue that Close writes to fileName (an existing file there is
    // replaced only then).
    virtual void Create(const QString& fileName);
    // Writes the working copy to the file when the catalogue is writable and modified, then
    // releases everything.
    void Close();
    bool IsOpen() const { return storage_ != nullptr; }

    int Count() const { return static_cast<int>(papers_.size()); }
    // A paper's name changes only by storing the paper anew: names are looked up in an index.
    TPaperInfo& Paper(int index) const;
    const QString& StreamName(int index) const;
    int IndexOfName(const QString& paperName) const;
    void Store(const TPaperInfo& paper);
    virtual void Delete(int index);
    // Gives the papers the order of the names, which must name every paper exactly once;
    // anything else is refused before a stream is renamed.
    void Reorder(const QStringList& paperNames);
    void GetGroupNames(QStringList& strings) const;

    const TPurposeList& Purposes() const { return purposes_; }
    void SetPurposes(const TPurposeList& list);

    ICatalogueStorage& RootStorage() const;
    TCatalogueIO IO() const { return io_; }
    const QString& FileName() const { return fileName_; }
    bool ReadOnly() const { return readOnly_; }
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

    // Exchanges everything the two catalogues hold, so that one opened afresh takes the place of
    // one that others hold on to.
    virtual void Swap(TPapers& other);

protected:
    const IComponentCodec& Codec() const { return *io_.codec; }
    // Called after the base state is loaded into a fresh working copy, before it replaces the
    // open one; derived catalogues load their own entries here.
    virtual void LoadExtensions(ICatalogueStorage& storage) {}
    // Swaps the derived state loaded by LoadExtensions into place (or drops it on Close).
    virtual void CommitExtensions() {}
    virtual void ReleaseExtensions() {}

private:
    struct TEntry {
        QString streamName;
        std::unique_ptr<TPaperInfo> paper;
    };
    struct TState;

    void OpenStorage(const QString& fileName, bool readOnly, std::unique_ptr<TMemoryCatalogueStorage> storage);
    static void LoadPapers(TState& state, const IComponentCodec& codec);
    void WritePurposes();
    QStringList StreamNames() const;
    void IndexNames() const;

    TCatalogueIO io_;
    QString fileName_;
    bool readOnly_ = true;
    bool modified_ = false;
    std::unique_ptr<TMemoryCatalogueStorage> storage_;
    std::vector<TEntry> papers_;  // sorted by stream name
    TPurposeList purposes_;
    // The first paper of each name; rebuilt when stale, after papers were removed or reordered.
    mutable QHash<QString, int> indexByName_;
    mutable bool indexStale_ = true;
    uint32_t nextStreamNumber_ = 1;
};

}  // namespace kestrel

#pragma once

// Lists of element names kept in a stream of the compound file; they hand out new names
// (base name + number) that are never reused.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

#include "document/storage/DocStorage.h"
#include "document/storage/DocStream.h"

namespace kestrel {

enum class TDocElementKind { Stream, Storage };

class TDocNameList {
public:
    // More names than any real list holds (sheets, faces, records); a longer list is refused as
    // damaged so that a crafted file cannot make every later operation slow.
    static constexpr int MaxNames = 10000;

    explicit TDocNameList(TDocElementKind kind) : kind_(kind) {}
    virtual ~TDocNameList() = default;

    // Opens the list's stream at path (resolved against storage's path): read-only in a
    // read-only root (it must exist), otherwise opened or created. A non-empty stream is loaded.
    void Open(TDocStorage& storage, const QString& path);

    TDocElementKind Kind() const { return kind_; }
    int Count() const { return static_cast<int>(names_.size()); }
    const QString& Name(int i) const;
    const QStringList& Names() const { return names_; }
    int IndexOf(const QString& name) const;  // case-insensitive; -1 when absent
    // The number the next new name gets.
    int32_t Counter() const { return counter_; }
    // The last name of the list's own stream path ("NameList" for "Sheets\NameList").

    // Appends base name + counter and advances the counter; returns the new index.
    int AddNew();
    // Appends or inserts a given name; returns its index.
    int Add(const QString& name);
    void Insert(int index, const QString& name);
    // The path of element i: the list's storage path joined with name i.
    QString Path(int i) const;
    std::unique_ptr<TDocStream> OpenStream(int i, int mode);
    std::unique_ptr<TDocStorage> OpenStorage(int i, bool create);
    // i is within the list and an element of the list's kind has that name.
    bool Exists(int i) const;
    // Removes element i from the compound file; the entry stays.
    void DeleteElement(int i);
    // Removes element i and its entry.
    void Delete(int i);
    // Removes every entry from count on, with its element unless a kept entry has the same name,
    // and saves the list once.
    void Truncate(int count);
    void Move(int from, int to);

private:
    void CheckIndex(int i) const;
    void Load();
    void Save();
    // Keeps the counter above every number already used with the base name.
    void RaiseCounterPast(const QString& name);
    // The list's storage, for paths from the root.
    TDocStorage& Storage() const;

    TDocElementKind kind_;
    QStringList names_;
    int32_t counter_ = 0;
    QString baseName_;
    QString listPath_;
    std::unique_ptr<TDocStream> stream_;
    bool loading_ = false;
};

class TDocStreamList : public TDocNameList {
public:
    TDocStreamList() : TDocNameList(TDocElementKind::Stream) {}
};

class TDocStorageList : public TDocNameList {
public:
    TDocStorageList() : TDocNameList(TDocElementKind::Storage) {}
};

}  // namespace kestrel

#pragma once

// The product and creator records the user keeps between documents, in a compound file with a
// name list of record streams. Positions 0 and 1 hold the creator records (Japanese, English),
// 2-4 are reserved, the user's products follow.
//
// The shipped file beside the program is only ever read; the user's copy lives in the user's
// preference folder and is the one written.

#include <QString>
#include <memory>

#include "document/storage/DocNameList.h"
#include "document/storage/DocStorage.h"
#include "paper/ProductInfo.h"
#include "platform/Error.h"

namespace kestrel {

class TAppFrame;
struct TStartupHooks;

class EProductDB : public EKestrel {
public:
    using EKestrel::EKestrel;
    const char* ClassName() const override { return "EProductDB"; }
};

class TProductDB {
public:
    static constexpr int ReservedCount = 5;

    // shippedFile: read when the user has no copy yet; userFile: read and written.
    TProductDB(QString shippedFile, QString userFile);
    ~TProductDB();

    // Reads the user's copy, else the shipped file, else starts the default records. A file
    // with fewer than the reserved records is padded. Clears the modified flag.
    void Load();
    // Starts the default records without reading any file.
    void Create();
    // Writes the working copy to the user's file; clears the modified flag.
    void Save();
    bool Modified() const { return modified_; }

    int Count() const;
    int ProductCount() const { return Count() - ReservedCount; }

    void Read(int position, TProductInfo& record) const;
    void ReadProduct(int i, TProductInfo& record) const { Read(i + ReservedCount, record); }
    void ReadCreatorJ(TProductInfo& record) const { Read(0, record); }
    void ReadCreatorE(TProductInfo& record) const { Read(1, record); }

    // Position of the stored record with the same identifier, or -1.
    int IndexOf(const TProductInfo& record) const;
    int ProductIndexOf(const TProductInfo& record) const;

    // Overwrites the stored record with the same identifier, or appends it.
    void Store(const TProductInfo& record);
    // Removes the stored product with the same identifier; the creator and reserved records
    // cannot be removed.
    void Delete(const TProductInfo& record);

private:
    void OpenFile(const QString& file);
    void OpenNames();
    void PadReservedRecords();
    void Write(int position, const TProductInfo& record);
    void CheckOpen() const;
    // Replaces whatever failed below by the damaged-file error.
    [[noreturn]] void ThrowDamaged(const EKestrel& cause) const;

    QString shippedFile_;
    QString userFile_;
    QString sourceFile_;
    std::unique_ptr<TTemporaryStorage> storage_;
    std::unique_ptr<TDocStreamList> names_;
    bool modified_ = false;
};

// The user's copy of the product database: the shipped file's name in the preference folder.
QString UserProductDBFile(const TAppFrame& frame);

// Fills the start-up seams of the product database: loaded at start, saved when changed at exit.
void InstallProductDBHooks(TStartupHooks& hooks, std::unique_ptr<TProductDB>& productDB, const TAppFrame& frame);

}  // namespace kestrel

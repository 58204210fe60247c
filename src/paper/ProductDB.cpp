#include "paper/ProductDB.h"

#include <QDir>
#include <QFileInfo>

#include "app/AppFrame.h"
#include "app/DataMain.h"
#include "document/storage/DocStream.h"
#include "document/stream/ObjectStream.h"
#include "platform/BoundedReader.h"

namespace kestrel {

namespace {

const QString kNameListPath = QStringLiteral("Infos\\NameList");
constexpr auto kFrameName = "ProductInfo";
constexpr int kCreatorCount = 2;

}  // namespace

TProductDB::TProductDB(QString shippedFile, QString userFile)
    : shippedFile_(std::move(shippedFile)), userFile_(std::move(userFile))
{
}

TProductDB::~TProductDB() = default;

void TProductDB::Load()
{
    if (QFileInfo::exists(userFile_))
        OpenFile(userFile_);
    else if (!shippedFile_.isEmpty() && QFileInfo::exists(shippedFile_))
        OpenFile(shippedFile_);
    else
        Create();
}

void TProductDB::Create()
{
    names_.reset();
    storage_ = std::make_unique<TTemporaryStorage>();
    sourceFile_.clear();
    OpenNames();
    PadReservedRecords();
    modified_ = false;
}

void TProductDB::OpenFile(const QString& file)
{
    names_.reset();
    storage_ = std::make_unique<TTemporaryStorage>();
    sourceFile_ = file;
    try {
        storage_->LoadFrom(file);
        OpenNames();
        // Every record must read, or the file is refused as a whole before anything uses it.
        for (int i = 0; i < Count(); ++i) {
            TProductInfo record;
            Read(i, record);
        }
    } catch (const EProductDB&) {
        names_.reset();
        throw;
    } catch (const EKestrel& e) {
        names_.reset();
        ThrowDamaged(e);
    }
    PadReservedRecords();
    modified_ = false;
}

void TProductDB::OpenNames()
{
    names_ = std::make_unique<TDocStreamList>();
    names_->Open(*storage_, kNameListPath);
}

void TProductDB::PadReservedRecords()
{
    while (Count() < ReservedCount) {
        TProductInfo record;
        if (Count() < kCreatorCount) record.ApplyCreatorCaptions();
        Write(names_->AddNew(), record);
    }
}

void TProductDB::Save()
{
    CheckOpen();
    QDir().mkpath(QFileInfo(userFile_).absolutePath());
    storage_->SaveTo(userFile_);
    modified_ = false;
}

int TProductDB::Count() const
{
    CheckOpen();
    return names_->Count();
}

void TProductDB::Read(int position, TProductInfo& record) const
{
    if (position < 0 || position >= Count())
        throw EProductDB(QStringLiteral("製品情報の番号 %1 は範囲外です").arg(position));
    try {
        const QByteArray bytes = names_->OpenStream(position, ModeRead | ShareExclusive)->ReadAll();
        TBoundedReader in(bytes);
        ReadObjectResInto(in, record);
    } catch (const EProductDB&) {
        throw;
    } catch (const EKestrel& e) {
        ThrowDamaged(e);
    }
}

int TProductDB::IndexOf(const TProductInfo& record) const
{
    TProductInfo stored;
    for (int i = 0; i < Count(); ++i) {
        Read(i, stored);
        if (stored.IsSame(record)) return i;
    }
    return -1;
}

int TProductDB::ProductIndexOf(const TProductInfo& record) const
{
    const int position = IndexOf(record);
    return position >= ReservedCount ? position - ReservedCount : -1;
}

void TProductDB::Store(const TProductInfo& record)
{
    const int position = IndexOf(record);
    Write(position >= 0 ? position : names_->AddNew(), record);
    modified_ = true;
}

void TProductDB::Delete(const TProductInfo& record)
{
    const int position = IndexOf(record);
    if (position < 0) return;
    if (position < ReservedCount)
        throw EProductDB(QStringLiteral("作成者情報と予約済みの製品情報は削除できません"));
    names_->Delete(position);
    modified_ = true;
}

void TProductDB::Write(int position, const TProductInfo& record)
{
    QByteArray bytes;
    WriteObjectRes(bytes, kFrameName, record);
    names_->OpenStream(position, ModeCreate)->WriteAll(bytes);
}

void TProductDB::CheckOpen() const
{
    if (!names_) throw EProductDB(QStringLiteral("製品情報データベースが開かれていません"));
}

void TProductDB::ThrowDamaged(const EKestrel& cause) const
{
    throw EProductDB(QStringLiteral("製品情報ファイル「%1」が壊れているため読み込めません\n%2")
                         .arg(QDir::toNativeSeparators(sourceFile_.isEmpty() ? userFile_ : sourceFile_),
                              cause.Message()));
}

QString UserProductDBFile(const TAppFrame& frame)
{
    const QString shipped = frame.Expand(QStringLiteral("$(ProductDB)"));
    return frame.Expand(QStringLiteral("$(UserPreferenceFolder)")) + QFileInfo(shipped).fileName();
}

void InstallProductDBHooks(TStartupHooks& hooks, std::unique_ptr<TProductDB>& productDB, const TAppFrame& frame)
{
    hooks.loadProductDatabase = [&productDB, &frame] {
        productDB = std::make_unique<TProductDB>(frame.Expand(QStringLiteral("$(ProductDB)")),
                                                 UserProductDBFile(frame));
        productDB->Load();
    };
    hooks.freeProductDatabase = [&productDB] {
        // Released even when saving fails.
        const std::unique_ptr<TProductDB> released = std::move(productDB);
        if (released && released->Modified()) released->Save();
    };
}

}  // namespace kestrel

#include "document/storage/DocNameList.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cstring>
#include <limits>

#include "document/storage/DocPath.h"
#include "platform/BoundedReader.h"

namespace kestrel {

namespace {
const QByteArray LineEnd = QByteArrayLiteral("\r\n");
const char* const NameCodec = "CP932";

QStringList DecodeLines(QByteArrayView bytes)
{
    QStringDecoder decoder(NameCodec);
    const QString text = decoder.decode(bytes);
    QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();  // the terminator of the last line
    return lines;
}
}  // namespace

void TDocNameList::Open(TDocStorage& storage, const QString& path)
{
    listPath_ = ResolveElementPath(storage.Path(), path);
    baseName_ = LastElementName(listPath_);
    names_.clear();
    counter_ = 0;
    const QString absolute = QString(ElementPathSeparator) + listPath_;
    if (!storage.Root().IsWritable())
        stream_ = TDocStream::Open(storage, ModeRead | ShareExclusive, absolute);
    else if (storage.StreamExists(absolute))
        stream_ = TDocStream::Open(storage, ModeReadWrite | ShareExclusive, absolute);
    else
        stream_ = TDocStream::Open(storage, ModeCreate, absolute);
    if (stream_->Size() > 0)
        Load();
}

void TDocNameList::Load()
{
    loading_ = true;
    const QByteArray bytes = stream_->ReadAll();
    TBoundedReader in(bytes, QStringLiteral("名前の一覧「%1」が壊れています").arg(listPath_));
    counter_ = in.ReadI32();
    names_ = DecodeLines(in.ReadBytes(in.Remaining()));
    if (names_.size() > MaxNames)
        in.Fail();
    if (counter_ < 0)
        counter_ = 0;
    for (const QString& name : std::as_const(names_))
        RaiseCounterPast(name);
    loading_ = false;
}

void TDocNameList::Save()
{
    if (loading_)
        return;
    QByteArray bytes(sizeof counter_, Qt::Uninitialized);
    std::memcpy(bytes.data(), &counter_, sizeof counter_);
    QStringEncoder encoder(NameCodec);
    for (const QString& name : std::as_const(names_)) {
        bytes += encoder.encode(name);
        bytes += LineEnd;
    }
    if (encoder.hasError())
        ThrowStorageError(TStorageErrorCode::InvalidName, listPath_);
    stream_->WriteAll(bytes);  // replaces the whole content
}

void TDocNameList::RaiseCounterPast(const QString& name)
{
    if (name.size() <= baseName_.size() || !name.startsWith(baseName_, Qt::CaseInsensitive))
        return;
    bool isNumber = false;
    const QStringView digits = QStringView(name).mid(baseName_.size());
    const int64_t number = digits.toLongLong(&isNumber);
    const bool plainDigits = std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (isNumber && plainDigits && number >= counter_ && number < std::numeric_limits<int32_t>::max())
        counter_ = static_cast<int32_t>(number + 1);
}

const QString& TDocNameList::Name(int i) const
{
    CheckIndex(i);
    return names_[i];
}

int TDocNameList::IndexOf(const QString& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (FoldElementName(names_[i]) == FoldElementName(name))
            return i;
    return -1;
}

void TDocNameList::CheckIndex(int i) const
{
    if (i < 0 || i >= Count())
        ThrowStorageError(TStorageErrorCode::InvalidParameter, listPath_,
                          QStringLiteral("番号 %1 は一覧の範囲外です").arg(i));
}

int TDocNameList::AddNew()
{
    if (counter_ == std::numeric_limits<int32_t>::max())
        ThrowStorageError(TStorageErrorCode::InvalidParameter, listPath_, QStringLiteral("新しい名前を割り当てられません"));
    names_.append(baseName_ + QString::number(counter_));
    ++counter_;
    Save();
    return Count() - 1;
}

int TDocNameList::Add(const QString& name)
{
    Insert(Count(), name);
    return Count() - 1;
}

void TDocNameList::Insert(int index, const QString& name)
{
    if (index < 0 || index > Count())
        CheckIndex(index);
    names_.insert(index, name);
    RaiseCounterPast(name);
    Save();
}

TDocStorage& TDocNameList::Storage() const
{
    if (!stream_)
        ThrowStorageError(TStorageErrorCode::Reverted, listPath_);
    return stream_->Storage();
}

QString TDocNameList::Path(int i) const
{
    return JoinElementPath(ParentElementPath(listPath_), Name(i));
}

std::unique_ptr<TDocStream> TDocNameList::OpenStream(int i, int mode)
{
    return TDocStream::Open(Storage(), mode, ElementPathSeparator + Path(i));
}

std::unique_ptr<TDocStorage> TDocNameList::OpenStorage(int i, bool create)
{
    return TDocStorage::Open(Storage(), create, ElementPathSeparator + Path(i));
}

bool TDocNameList::Exists(int i) const
{
    if (i < 0 || i >= Count())
        return false;
    const QString path = ElementPathSeparator + Path(i);
    return kind_ == TDocElementKind::Stream ? Storage().StreamExists(path) : Storage().StorageExists(path);
}

void TDocNameList::DeleteElement(int i)
{
    Storage().DeleteElement(ElementPathSeparator + Path(i));
}

void TDocNameList::Delete(int i)
{
    DeleteElement(i);
    names_.removeAt(i);
    Save();
}

void TDocNameList::Truncate(int count)
{
    if (count < 0 || count >= Count())
        return;
    QSet<QString> kept;
    for (int i = 0; i < count; ++i)
        kept.insert(FoldElementName(names_[i]));
    for (int i = count; i < Count(); ++i)
        if (!kept.contains(FoldElementName(names_[i])))
            DeleteElement(i);
    names_.erase(names_.begin() + count, names_.end());
    Save();
}

void TDocNameList::Move(int from, int to)
{
    CheckIndex(from);
    CheckIndex(to);
    names_.move(from, to);
    Save();
}

}  // namespace kestrel

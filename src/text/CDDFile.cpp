#include "text/CDDFile.h"

#include "platform/BoundedReader.h"
#include "platform/GuidBytes.h"
#include "platform/cfb/StorageError.h"
#include "text/CoonsDistortion.h"

namespace kestrel {

namespace {
const QString PresetListPath = QStringLiteral("CoonsDistortionData\\NameList");
}

void TCDDFile::Open(const QString& path)
{
    Close();
    auto file = std::make_unique<TFileStorage>(path, ModeRead | ShareDenyWrite);
    auto list = std::make_unique<TDocStreamList>();
    list->Open(*file, PresetListPath);
    file_ = std::move(file);
    list_ = std::move(list);
}

void TCDDFile::Close()
{
    list_.reset();
    file_.reset();
}

QByteArray TCDDFile::PresetData(int i) const
{
    if (!list_) ThrowStorageError(TStorageErrorCode::Reverted, PresetListPath);
    return list_->OpenStream(i, ModeRead | ShareExclusive)->ReadAll();
}

void TCDDFile::Load(TCoonsDistortion& distortion, int i) const
{
    const QByteArray data = PresetData(i);
    try {
        TBoundedReader in(data);
        distortion.ReadData(in);
    } catch (const EReadError& e) {
        ThrowStorageError(TStorageErrorCode::DocFileCorrupt, list_->Name(i), e.Message());
    }
}

int TCDDFile::IndexOf(const TCoonsDistortion& distortion) const
{
    if (distortion.IsEmpty()) return -1;
    const QByteArray guid = GuidBytes(distortion.Guid());
    for (int i = 0; i < Count(); ++i)
        if (PresetData(i).startsWith(guid)) return i;
    return -1;
}

}  // namespace kestrel

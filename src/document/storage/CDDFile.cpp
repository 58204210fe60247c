#include "document/storage/CDDFile.h"

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
    if (!list_)
        ThrowStorageError(TStorageErrorCode::Reverted, PresetListPath);
    return list_->OpenStream(i, ModeRead | ShareExclusive)->ReadAll();
}

int TCDDFile::IndexOf(const std::function<bool(const QByteArray&)>& matches) const
{
    for (int i = 0; i < Count(); ++i)
        if (matches(PresetData(i)))
            return i;
    return -1;
}

}  // namespace kestrel

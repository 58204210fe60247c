#pragma once

// The distortion preset file: a read-only compound file whose stream list at
// "CoonsDistortionData\NameList" names one preset stream per entry, in display order; each
// stream holds one distortion in the "Data" layout.

#include <QString>
#include <memory>

#include "document/storage/DocNameList.h"
#include "document/storage/DocStorage.h"

namespace kestrel {

class TCoonsDistortion;

class TCDDFile {
public:
    // Closes a previously opened file first.
    void Open(const QString& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    int Count() const { return list_ ? list_->Count() : 0; }
    // The preset's name, as the list shows it.
    QString Name(int i) const { return list_ ? list_->Name(i) : QString(); }
    // Reads preset i into the distortion; a damaged preset raises the storage error and leaves
    // the distortion as it was.
    void Load(TCoonsDistortion& distortion, int i) const;
    // The position of the first preset with the distortion's identifier; -1 when there is none
    // or the distortion is empty.
    int IndexOf(const TCoonsDistortion& distortion) const;

private:
    QByteArray PresetData(int i) const;

    std::unique_ptr<TFileStorage> file_;
    std::unique_ptr<TDocStreamList> list_;  // released before the file
};

}  // namespace kestrel

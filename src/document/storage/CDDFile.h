#pragma once

// The distortion preset file: a read-only compound file whose stream list at
// "CoonsDistortionData\NameList" names one preset stream per entry, in display order.

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

#include "document/storage/DocNameList.h"
#include "document/storage/DocStorage.h"

namespace kestrel {

class TCDDFile {
public:
    // Closes a previously opened file first.
    void Open(const QString& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    int Count() const { return list_ ? list_->Count() : 0; }
    // The stored bytes of preset i.
    QByteArray PresetData(int i) const;
    // The first preset whose bytes matches accepts; -1 when none does.
    int IndexOf(const std::function<bool(const QByteArray&)>& matches) const;

private:
    std::unique_ptr<TFileStorage> file_;
    std::unique_ptr<TDocStreamList> list_;  // released before the file
};

}  // namespace kestrel

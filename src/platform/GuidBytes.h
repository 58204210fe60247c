#pragma once

#include <QByteArray>
#include <QUuid>

namespace kestrel {

class TBoundedReader;

inline constexpr int kGuidSize = 16;

// The Windows layout: the first three fields little-endian, the last eight bytes as they are.
QByteArray GuidBytes(const QUuid& guid);
QUuid ReadGuid(TBoundedReader& in);

}  // namespace kestrel

#include "platform/GuidBytes.h"

#include <QtEndian>
#include <array>

#include "platform/BoundedReader.h"

namespace kestrel {

QByteArray GuidBytes(const QUuid& guid)
{
    QByteArray bytes(kGuidSize, Qt::Uninitialized);
    qToLittleEndian<uint32_t>(guid.data1, bytes.data());
    qToLittleEndian<uint16_t>(guid.data2, bytes.data() + 4);
    qToLittleEndian<uint16_t>(guid.data3, bytes.data() + 6);
    std::copy(std::begin(guid.data4), std::end(guid.data4), bytes.data() + 8);
    return bytes;
}

QUuid ReadGuid(TBoundedReader& in)
{
    const uint32_t data1 = in.ReadU32();
    const uint16_t data2 = in.ReadU16();
    const uint16_t data3 = in.ReadU16();
    std::array<uint8_t, 8> data4{};
    for (uint8_t& byte : data4) byte = in.ReadU8();
    return QUuid(data1, data2, data3, data4[0], data4[1], data4[2], data4[3], data4[4], data4[5], data4[6], data4[7]);
}

}  // namespace kestrel

#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace kestrel {

// The compressed container: "ZLIBCompress", 0x1A, the int32 little-endian size of the data,
// then one zlib stream of the data.

// Largest declared size a container may have unless the caller allows more; the size is
// checked before anything is inflated.
inline constexpr qint64 MaxContainerSize = 256 * 1024 * 1024;

bool HasContainerSignature(QByteArrayView bytes);
QByteArray PackContainer(QByteArrayView data, int level = 9);
// Fails with EReadError unless the bytes are a complete container whose stream inflates to
// exactly the declared size, and that size is at most maxSize.
QByteArray UnpackContainer(QByteArrayView bytes, qint64 maxSize = MaxContainerSize);
// Bytes without the signature are returned as they are.
QByteArray UnpackIfContainer(QByteArrayView bytes, qint64 maxSize = MaxContainerSize);
// The first bytes of the data (fewer when it is shorter), inflating no more than that: enough
// to read a header from. Bytes without the signature are returned as they are.
QByteArray UnpackPrefixIfContainer(QByteArrayView bytes, qint64 prefix);
// The size the container declares for its data; -1 for bytes without the signature.
qint64 ContainerDataSize(QByteArrayView bytes);

}  // namespace kestrel

#include "platform/ZlibContainer.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

#include "platform/BoundedReader.h"
#include "platform/Error.h"
#include "platform/RegularFile.h"

namespace kestrel {

namespace {

constexpr char Signature[] = "ZLIBCompress\x1A";
constexpr qsizetype SignatureSize = sizeof(Signature) - 1;
constexpr qsizetype ChunkSize = 64 * 1024;

QString DamagedMessage() { return QStringLiteral("圧縮データが壊れています"); }
[[noreturn]] void FailDamaged() { throw EReadError(DamagedMessage()); }

// Owns the inflate state so that every way out releases it.
class TInflater {
public:
    TInflater()
    {
        if (inflateInit(&stream_) != Z_OK) FailDamaged();
    }
    ~TInflater() { inflateEnd(&stream_); }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;

    // Inflates the whole of input; output beyond limit fails before it is kept. With stopAtLimit
    // the output ends at limit instead, the rest unread.
    QByteArray Run(QByteArrayView input, qint64 limit, bool stopAtLimit = false)
    {
        QByteArray out;
        QByteArray chunk(ChunkSize, Qt::Uninitialized);
        qsizetype fed = 0;
        int result = Z_OK;
        while (result != Z_STREAM_END) {
            if (stream_.avail_in == 0 && fed < input.size()) {
                const qsizetype n = std::min<qsizetype>(input.size() - fed, std::numeric_limits<uInt>::max());
                stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data() + fed));
                stream_.avail_in = static_cast<uInt>(n);
                fed += n;
            }
            stream_.next_out = reinterpret_cast<Bytef*>(chunk.data());
            stream_.avail_out = static_cast<uInt>(chunk.size());
            result = inflate(&stream_, Z_NO_FLUSH);
            if (result != Z_OK && result != Z_STREAM_END) FailDamaged();
            const qsizetype produced = chunk.size() - stream_.avail_out;
            if (out.size() + produced > limit && stopAtLimit) {
                out.append(chunk.constData(), limit - out.size());
                return out;
            }
            if (out.size() + produced > limit) FailDamaged();
            out.append(chunk.constData(), produced);
        }
        if (stream_.avail_in != 0 || fed != input.size()) FailDamaged();
        return out;
    }

private:
    z_stream stream_{};
};

}  // namespace

bool HasContainerSignature(QByteArrayView bytes) { return bytes.startsWith(QByteArrayView(Signature, SignatureSize)); }

QByteArray PackContainer(QByteArrayView data, int level)
{
    if (data.size() > std::numeric_limits<int32_t>::max())
        throw EKestrel(QStringLiteral("圧縮するデータが大きすぎます"));
    uLongf packedSize = compressBound(static_cast<uLong>(data.size()));
    QByteArray packed(packedSize, Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(data.data()),
                  static_cast<uLong>(data.size()), level) != Z_OK)
        throw EKestrel(QStringLiteral("データを圧縮できませんでした"));
    const int32_t size = static_cast<int32_t>(data.size());
    QByteArray out(Signature, SignatureSize);
    out.append(reinterpret_cast<const char*>(&size), sizeof size);  // little-endian host
    out.append(packed.constData(), static_cast<qsizetype>(packedSize));
    return out;
}

QByteArray UnpackContainer(QByteArrayView bytes, qint64 maxSize)
{
    if (!HasContainerSignature(bytes)) FailDamaged();
    TBoundedReader reader(bytes.sliced(SignatureSize), DamagedMessage());
    const int32_t declared = reader.ReadI32();
    if (declared < 0) FailDamaged();
    if (declared > maxSize)
        throw EReadError(QStringLiteral("圧縮データを展開した大きさ（%1 バイト）が上限の %2 を超えています")
                             .arg(declared)
                             .arg(SizeLimitText(maxSize)));
    QByteArray data = TInflater().Run(reader.ReadBytes(reader.Remaining()), declared);
    if (data.size() != declared) FailDamaged();
    return data;
}

QByteArray UnpackIfContainer(QByteArrayView bytes, qint64 maxSize)
{
    return HasContainerSignature(bytes) ? UnpackContainer(bytes, maxSize) : bytes.toByteArray();
}

QByteArray UnpackPrefixIfContainer(QByteArrayView bytes, qint64 prefix)
{
    if (!HasContainerSignature(bytes)) return bytes.toByteArray();
    TBoundedReader reader(bytes.sliced(SignatureSize), DamagedMessage());
    reader.Skip(4);  // declared size
    return TInflater().Run(reader.ReadBytes(reader.Remaining()), prefix, true);
}

qint64 ContainerDataSize(QByteArrayView bytes)
{
    if (!HasContainerSignature(bytes)) return -1;
    TBoundedReader reader(bytes.sliced(SignatureSize), DamagedMessage());
    return reader.ReadI32();
}

}  // namespace kestrel

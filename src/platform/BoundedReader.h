#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <cstring>

#include "platform/Error.h"

namespace kestrel {

// Reads little-endian values from untrusted bytes. Every read checks what is left first and
// raises EReadError with the given message instead of reading past the end; counts and lengths
// are checked against the remaining bytes before anything is allocated.
class TBoundedReader {
public:
    explicit TBoundedReader(QByteArrayView data, QString endMessage = QString())
        : data_(data), endMessage_(std::move(endMessage)) {}

    qsizetype Position() const { return pos_; }
    qsizetype Size() const { return data_.size(); }
    qsizetype Remaining() const { return data_.size() - pos_; }
    bool AtEnd() const { return pos_ >= data_.size(); }

    void Seek(qsizetype pos)
    {
        if (pos < 0 || pos > data_.size()) Fail();
        pos_ = pos;
    }
    void Skip(qsizetype n) { Need(n), pos_ += n; }

    // Fails unless n more bytes are there.
    void Need(int64_t n) const
    {
        if (n < 0 || n > Remaining()) Fail();
    }

    uint8_t ReadU8() { return Read<uint8_t>(); }
    int8_t ReadI8() { return Read<int8_t>(); }
    uint16_t ReadU16() { return Read<uint16_t>(); }
    int16_t ReadI16() { return Read<int16_t>(); }
    uint32_t ReadU32() { return Read<uint32_t>(); }
    int32_t ReadI32() { return Read<int32_t>(); }
    uint64_t ReadU64() { return Read<uint64_t>(); }
    int64_t ReadI64() { return Read<int64_t>(); }
    double ReadF64() { return Read<double>(); }
    float ReadF32() { return Read<float>(); }

    QByteArrayView ReadBytes(int64_t n)
    {
        Need(n);
        QByteArrayView out = data_.sliced(pos_, n);
        pos_ += n;
        return out;
    }
    uint8_t PeekU8() const
    {
        Need(1);
        return static_cast<uint8_t>(data_[pos_]);
    }

    [[noreturn]] void Fail() const { throw EReadError(endMessage_.isEmpty() ? DefaultMessage() : endMessage_); }
    static QString DefaultMessage() { return QStringLiteral("ストリームからの読み込みエラー"); }

private:
    template <typename T>
    T Read()
    {
        Need(sizeof(T));
        T v;
        std::memcpy(&v, data_.data() + pos_, sizeof(T));  // hosts are little-endian (x86-64, arm64)
        pos_ += sizeof(T);
        return v;
    }

    QByteArrayView data_;
    qsizetype pos_ = 0;
    QString endMessage_;
};

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "stream code assumes a little-endian host");

}  // namespace kestrel

#include "codes/ArrayData.h"

#include <cstring>

#include "platform/BoundedReader.h"

namespace kestrel {

TArrayData::TArrayData(int elementSize) : elementSize_(elementSize > 0 ? elementSize : 1)
{
    block_.fill(0, elementSize_);
}

void TArrayData::SetElementSize(int size)
{
    if (size <= 0 || size == elementSize_) return;
    elementSize_ = size;
    block_.fill(0, qsizetype(size) * (count_ > 0 ? count_ : 1));
}

void TArrayData::SetCount(int count)
{
    if (count <= 0) {
        count_ = 0;
        block_.resize(elementSize_);
        return;
    }
    Grow(count);
    count_ = count;
    block_.resize(qsizetype(elementSize_) * count_);
}

void TArrayData::Grow(int count)
{
    if (count <= count_) return;
    const qsizetype oldBytes = qsizetype(elementSize_) * count_;
    const qsizetype newBytes = qsizetype(elementSize_) * count;
    if (block_.size() < newBytes) block_.resize(newBytes);
    std::memset(block_.data() + oldBytes, 0, newBytes - oldBytes);
    count_ = count;
}

uint8_t* TArrayData::Element(int index)
{
    if (index < 0) return nullptr;
    if (index >= count_) Grow(index + 1);
    return reinterpret_cast<uint8_t*>(block_.data()) + qsizetype(index) * elementSize_;
}

void TArrayData::Insert(int index)
{
    if (index < 0) return;
    if (index >= count_) {
        Grow(index + 1);
        return;
    }
    Grow(count_ + 1);
    uint8_t* slot = Element(index);
    std::memmove(slot + elementSize_, slot, qsizetype(count_ - 1 - index) * elementSize_);
    std::memset(slot, 0, elementSize_);
}

void TArrayData::Assign(const TArrayData& source)
{
    elementSize_ = source.elementSize_;
    count_ = source.count_;
    block_ = source.block_;
}

QByteArray TArrayData::Stream() const
{
    QByteArray out;
    const int32_t head[2] = {elementSize_, count_};
    out.append(reinterpret_cast<const char*>(head), sizeof head);
    out.append(block_.constData(), qsizetype(elementSize_) * count_);
    return out;
}

void TArrayData::ReadStream(TBoundedReader& reader)
{
    const int32_t size = reader.ReadI32();
    const int32_t count = reader.ReadI32();
    if (size <= 0 || count < 0) reader.Fail();
    const QByteArrayView bytes = reader.ReadBytes(int64_t(size) * count);
    elementSize_ = size;
    count_ = count;
    block_ = count > 0 ? bytes.toByteArray() : QByteArray(size, '\0');
}

int32_t TIntArray::Get(int index)
{
    const uint8_t* p = data_.Element(index);
    if (!p) return 0;
    int32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

void TIntArray::Set(int index, int32_t value)
{
    if (uint8_t* p = data_.Element(index)) std::memcpy(p, &value, sizeof value);
}

}  // namespace kestrel

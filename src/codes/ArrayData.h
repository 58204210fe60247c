#pragma once

#include <QByteArray>
#include <cstdint>

namespace kestrel {

class TBoundedReader;

// A growable, zero-filled array of fixed-size elements. Touching an index at or beyond the count
// grows the array to hold it; a negative index touches nothing.
class TArrayData {
public:
    explicit TArrayData(int elementSize = 1);

    int ElementSize() const { return elementSize_; }
    // Only a positive, different size is taken; the block is resized and zeroed.
    void SetElementSize(int size);
    int Count() const { return count_; }
    // Zero or less keeps one element's storage and empties the array.
    void SetCount(int count);

    // The element's bytes, growing the array first; null for a negative index.
    uint8_t* Element(int index);
    // Grows the count by one, shifting the elements from index up and zeroing the slot.
    void Insert(int index);
    void Assign(const TArrayData& source);

    // int32 element size, int32 count, then the bytes, little-endian.
    QByteArray Stream() const;
    // Refuses sizes and counts the remaining bytes cannot hold.
    void ReadStream(TBoundedReader& reader);

private:
    void Grow(int count);

    int elementSize_;
    int count_ = 0;
    QByteArray block_;
};

// 32-bit integers over TArrayData.
class TIntArray {
public:
    TIntArray() : data_(4) {}

    int32_t Get(int index);
    void Set(int index, int32_t value);
    int Count() const { return data_.Count(); }
    void SetCount(int count) { data_.SetCount(count); }
    void Assign(const TIntArray& source) { data_.Assign(source.data_); }
    TArrayData& Data() { return data_; }
    const TArrayData& Data() const { return data_; }

private:
    TArrayData data_;
};

}  // namespace kestrel

#pragma once

// Tagged values of component streams: the writer appends them, the reader takes them from
// untrusted bytes through TBoundedReader.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace kestrel {

class TBoundedReader;
struct TEnumInfo;

enum class TValueType : uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
    vaUTF8String = 20,
};

// The reader's messages.
[[noreturn]] void ThrowReadError();          // ran out of data
[[noreturn]] void ThrowStreamFormatError();  // bytes of the wrong shape
[[noreturn]] void ThrowPropValueError();     // a value of the wrong kind for its property

class TWriter {
public:
    explicit TWriter(QByteArray& out) : out_(out) {}
    QByteArray& Buffer() { return out_; }

    void WriteValueType(TValueType type) { out_.append(static_cast<char>(type)); }
    // The smallest of int8, int16, int32 that holds the value, int64 if none does.
    void WriteInteger(int64_t value);
    void WriteBoolean(bool value) { WriteValueType(value ? TValueType::vaTrue : TValueType::vaFalse); }
    // Code page 932 text: a string up to 255 bytes, a long string beyond.
    void WriteString(const QString& text);
    void WriteStringBytes(QByteArrayView bytes);
    void WriteIdent(QByteArrayView ident);
    void WriteFloat(double value);  // extended
    void WriteBinary(QByteArrayView bytes);
    void WriteListBegin() { WriteValueType(TValueType::vaList); }
    void WriteListEnd() { WriteValueType(TValueType::vaNull); }
    // Set of the element names whose bit is set (bit n = ordinal n).
    void WriteSet(const TEnumInfo& elements, uint64_t mask);

    // Untagged pieces: a length byte and the bytes (names), raw little-endian integers.
    void WriteShortString(QByteArrayView bytes);
    void WriteUInt8(uint8_t v) { out_.append(static_cast<char>(v)); }
    void WriteUInt16(uint16_t v) { WriteRaw(&v, sizeof v); }
    void WriteInt32(int32_t v) { WriteRaw(&v, sizeof v); }
    void WriteInt64(int64_t v) { WriteRaw(&v, sizeof v); }

private:
    void WriteRaw(const void* data, qsizetype size) { out_.append(static_cast<const char*>(data), size); }

    QByteArray& out_;
};

class TReader {
public:
    static constexpr int DefaultMaxDepth = 64;
    // A string, or a string list altogether, longer than this is refused: far beyond anything a
    // label holds, and a few megabytes of stream would otherwise become gigabytes of layout.
    static constexpr qsizetype MaxStringCharacters = 1 << 22;

    explicit TReader(TBoundedReader& in, int maxDepth = DefaultMaxDepth) : in_(in), maxDepth_(maxDepth) {}
    TBoundedReader& Input() { return in_; }

    TValueType ReadValueType();
    TValueType NextValueType() const;

    // Integer tags (int8, int16, int32); ReadInt64 also takes int64.
    int32_t ReadInteger();
    int64_t ReadInt64();
    // Integer, extended, single, currency or date tags.
    double ReadFloat();
    bool ReadBoolean();
    // Any text tag: string, long string (code page 932), wide string, UTF-8 string.
    // Fails beyond MaxStringCharacters.
    QString ReadString();
    // An identifier; the false, true, nil and null tags read as "False", "True", "nil", "Null".
    QByteArray ReadIdent();
    QByteArray ReadBinary();
    // The bit mask of the members; names outside the element type are a value error.
    uint64_t ReadSet(const TEnumInfo& elements);
    QStringList ReadStringList();
    // Reads past one value of any kind (a property the class keeps but does not store).
    void SkipValue();

    // Lists, collections and nested records go through these, which cap the nesting depth.
    void ReadListBegin();
    bool EndOfList() const { return NextValueType() == TValueType::vaNull; }
    void ReadListEnd();
    void EnterNesting();
    void LeaveNesting() { --depth_; }

    QByteArray ReadShortString();
    // The bytes of a length-prefixed value, checked against what is left first.
    QByteArrayView ReadCounted(int64_t count, int unitSize = 1);

private:
    void Expect(TValueType type);
    QString ReadAnyString();
    // The units of a string counted by an int32, refused when too long before they are read.
    QByteArrayView ReadLongString(int unitSize);
    void SkipCollectionBody();
    int64_t ReadIntegerPayload(TValueType type);

    TBoundedReader& in_;
    int maxDepth_;
    int depth_ = 0;
};

}  // namespace kestrel

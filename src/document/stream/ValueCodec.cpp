#include "document/stream/ValueCodec.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "document/stream/Extended.h"
#include "document/stream/Persistent.h"
#include "platform/BoundedReader.h"
#include "platform/Cp932.h"
#include "platform/Error.h"

namespace kestrel {

void ThrowReadError()
{
    throw EReadError(TBoundedReader::DefaultMessage());
}
void ThrowStreamFormatError()
{
    throw EReadError(QStringLiteral("不正なストリーム フォーマット"));
}
void ThrowPropValueError()
{
    throw EReadError(QStringLiteral("不正なプロパティの値です"));
}

// ---- writing

void TWriter::WriteInteger(int64_t value)
{
    if (value >= std::numeric_limits<int8_t>::min() && value <= std::numeric_limits<int8_t>::max()) {
        WriteValueType(TValueType::vaInt8);
        WriteUInt8(static_cast<uint8_t>(value));
    } else if (value >= std::numeric_limits<int16_t>::min() && value <= std::numeric_limits<int16_t>::max()) {
        WriteValueType(TValueType::vaInt16);
        WriteUInt16(static_cast<uint16_t>(value));
    } else if (value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max()) {
        WriteValueType(TValueType::vaInt32);
        WriteInt32(static_cast<int32_t>(value));
    } else {
        WriteValueType(TValueType::vaInt64);
        WriteInt64(value);
    }
}

void TWriter::WriteString(const QString& text)
{
    WriteStringBytes(ToCp932(text));
}

void TWriter::WriteStringBytes(QByteArrayView bytes)
{
    if (bytes.size() <= std::numeric_limits<uint8_t>::max()) {
        WriteValueType(TValueType::vaString);
        WriteShortString(bytes);
        return;
    }
    if (bytes.size() > std::numeric_limits<int32_t>::max())
        throw EKestrel(QStringLiteral("ストリームに書き込む文字列が長すぎます"));
    WriteValueType(TValueType::vaLString);
    WriteInt32(static_cast<int32_t>(bytes.size()));
    out_.append(bytes);
}

void TWriter::WriteIdent(QByteArrayView ident)
{
    WriteValueType(TValueType::vaIdent);
    WriteShortString(ident);
}

void TWriter::WriteFloat(double value)
{
    WriteValueType(TValueType::vaExtended);
    const TExtended ext = DoubleToExtended(value);
    WriteRaw(ext.data(), static_cast<qsizetype>(ext.size()));
}

void TWriter::WriteBinary(QByteArrayView bytes)
{
    if (bytes.size() > std::numeric_limits<int32_t>::max())
        throw EKestrel(QStringLiteral("ストリームに書き込むデータが大きすぎます"));
    WriteValueType(TValueType::vaBinary);
    WriteInt32(static_cast<int32_t>(bytes.size()));
    out_.append(bytes);
}

void TWriter::WriteSet(const TEnumInfo& elements, uint64_t mask)
{
    WriteValueType(TValueType::vaSet);
    for (size_t i = 0; i < elements.names.size() && i < 64; ++i)
        if (mask & (uint64_t(1) << i)) WriteShortString(elements.names[i]);
    WriteUInt8(0);
}

void TWriter::WriteShortString(QByteArrayView bytes)
{
    if (bytes.size() > std::numeric_limits<uint8_t>::max())
        throw EKestrel(QStringLiteral("ストリームに書き込む名前が 255 バイトを超えています: %1")
                           .arg(QString::fromLatin1(bytes.first(32).toByteArray())));
    WriteUInt8(static_cast<uint8_t>(bytes.size()));
    out_.append(bytes);
}

// ---- reading

TValueType TReader::ReadValueType()
{
    const uint8_t tag = in_.ReadU8();
    if (tag > static_cast<uint8_t>(TValueType::vaUTF8String)) ThrowStreamFormatError();
    return static_cast<TValueType>(tag);
}

TValueType TReader::NextValueType() const
{
    const uint8_t tag = in_.PeekU8();
    if (tag > static_cast<uint8_t>(TValueType::vaUTF8String)) ThrowStreamFormatError();
    return static_cast<TValueType>(tag);
}

void TReader::Expect(TValueType type)
{
    if (ReadValueType() != type) ThrowPropValueError();
}

int64_t TReader::ReadIntegerPayload(TValueType type)
{
    switch (type) {
        case TValueType::vaInt8:
            return in_.ReadI8();
        case TValueType::vaInt16:
            return in_.ReadI16();
        case TValueType::vaInt32:
            return in_.ReadI32();
        case TValueType::vaInt64:
            return in_.ReadI64();
        default:
            ThrowPropValueError();
    }
}

int32_t TReader::ReadInteger()
{
    const TValueType type = ReadValueType();
    if (type == TValueType::vaInt64) ThrowPropValueError();
    return static_cast<int32_t>(ReadIntegerPayload(type));
}

int64_t TReader::ReadInt64()
{
    return ReadIntegerPayload(ReadValueType());
}

double TReader::ReadFloat()
{
    const TValueType type = ReadValueType();
    switch (type) {
        case TValueType::vaExtended: {
            TExtended ext;
            const QByteArrayView bytes = in_.ReadBytes(static_cast<int64_t>(ext.size()));
            std::copy(bytes.begin(), bytes.end(), ext.begin());
            return ExtendedToDouble(ext);
        }
        case TValueType::vaSingle:
            return in_.ReadF32();
        case TValueType::vaCurrency:
            return static_cast<double>(in_.ReadI64()) / 10000.0;
        case TValueType::vaDate:
            return in_.ReadF64();
        default:
            return static_cast<double>(ReadIntegerPayload(type));
    }
}

bool TReader::ReadBoolean()
{
    const TValueType type = ReadValueType();
    if (type != TValueType::vaFalse && type != TValueType::vaTrue) ThrowPropValueError();
    return type == TValueType::vaTrue;
}

QByteArrayView TReader::ReadCounted(int64_t count, int unitSize)
{
    if (count < 0) ThrowStreamFormatError();
    return in_.ReadBytes(count * unitSize);
}

namespace {
void CheckStringLength(int64_t characters)
{
    if (characters > TReader::MaxStringCharacters)
        throw EReadError(QStringLiteral("文字列が %1 文字を超えています").arg(TReader::MaxStringCharacters));
}
}  // namespace

QByteArrayView TReader::ReadLongString(int unitSize)
{
    const int32_t count = in_.ReadI32();
    const QByteArrayView units = ReadCounted(count, unitSize);
    // No encoding spends more than four bytes on a character: longer ones are refused undecoded.
    CheckStringLength(int64_t(count) * unitSize / 4);
    return units;
}

QString TReader::ReadString()
{
    QString text = ReadAnyString();
    CheckStringLength(text.size());
    return text;
}

QString TReader::ReadAnyString()
{
    switch (ReadValueType()) {
        case TValueType::vaString:
            return FromCp932(ReadCounted(in_.ReadU8()));
        case TValueType::vaLString:
            return FromCp932(ReadLongString(1));
        case TValueType::vaWString: {
            const QByteArrayView units = ReadLongString(2);
            QString text(units.size() / 2, Qt::Uninitialized);
            std::memcpy(text.data(), units.data(), units.size());  // UTF-16LE on a little-endian host
            return text;
        }
        case TValueType::vaUTF8String:
            return QString::fromUtf8(ReadLongString(1));
        default:
            ThrowPropValueError();
    }
}

QByteArray TReader::ReadIdent()
{
    switch (ReadValueType()) {
        case TValueType::vaIdent:
            return ReadShortString();
        case TValueType::vaFalse:
            return "False";
        case TValueType::vaTrue:
            return "True";
        case TValueType::vaNil:
            return "nil";
        case TValueType::vaNull:
            return "Null";
        default:
            ThrowPropValueError();
    }
}

QByteArray TReader::ReadBinary()
{
    Expect(TValueType::vaBinary);
    return ReadCounted(in_.ReadI32()).toByteArray();
}

uint64_t TReader::ReadSet(const TEnumInfo& elements)
{
    Expect(TValueType::vaSet);
    uint64_t mask = 0;
    for (QByteArray name = ReadShortString(); !name.isEmpty(); name = ReadShortString()) {
        const int index = elements.IndexOf(name);
        if (index < 0 || index >= 64) ThrowPropValueError();
        mask |= uint64_t(1) << index;
    }
    return mask;
}

QStringList TReader::ReadStringList()
{
    QStringList lines;
    qsizetype characters = 0;
    ReadListBegin();
    while (!EndOfList()) {
        lines.append(ReadString());
        CheckStringLength(characters += lines.last().size());
    }
    ReadListEnd();
    return lines;
}

void TReader::SkipValue()
{
    switch (const TValueType type = ReadValueType()) {
        case TValueType::vaNull:
        case TValueType::vaFalse:
        case TValueType::vaTrue:
        case TValueType::vaNil:
            return;
        case TValueType::vaList:
            EnterNesting();
            while (!EndOfList()) SkipValue();
            ReadListEnd();
            return;
        case TValueType::vaInt8:
        case TValueType::vaInt16:
        case TValueType::vaInt32:
        case TValueType::vaInt64:
            ReadIntegerPayload(type);
            return;
        case TValueType::vaExtended:
            in_.Skip(10);
            return;
        case TValueType::vaSingle:
            in_.Skip(4);
            return;
        case TValueType::vaCurrency:
        case TValueType::vaDate:
            in_.Skip(8);
            return;
        case TValueType::vaString:
        case TValueType::vaIdent:
            ReadShortString();
            return;
        case TValueType::vaBinary:
        case TValueType::vaLString:
        case TValueType::vaUTF8String:
            ReadCounted(in_.ReadI32());
            return;
        case TValueType::vaWString:
            ReadCounted(in_.ReadI32(), 2);
            return;
        case TValueType::vaSet:
            while (!ReadShortString().isEmpty()) {
            }
            return;
        case TValueType::vaCollection:
            SkipCollectionBody();
            return;
    }
}

void TReader::SkipCollectionBody()
{
    EnterNesting();
    while (!EndOfList()) {
        if (NextValueType() != TValueType::vaList) ReadInteger();  // the optional order number
        ReadListBegin();
        while (in_.PeekU8() != 0) {
            ReadShortString();
            SkipValue();
        }
        ReadListEnd();
    }
    ReadListEnd();
}

void TReader::ReadListBegin()
{
    Expect(TValueType::vaList);
    EnterNesting();
}

void TReader::ReadListEnd()
{
    Expect(TValueType::vaNull);
    LeaveNesting();
}

void TReader::EnterNesting()
{
    if (++depth_ > maxDepth_) throw EReadError(QStringLiteral("入れ子が %1 段を超えています").arg(maxDepth_));
}

QByteArray TReader::ReadShortString()
{
    return ReadCounted(in_.ReadU8()).toByteArray();
}

}  // namespace kestrel

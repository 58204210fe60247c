#include "document/stream/ObjectStream.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "document/stream/ClassRegistry.h"
#include "document/stream/IdentTables.h"
#include "document/stream/Persistent.h"
#include "platform/BoundedReader.h"
#include "platform/Cp932.h"
#include "platform/Error.h"

namespace kestrel {
namespace {

constexpr char Signature[] = "TPF0";
constexpr QByteArrayView StringsSuffix = "Strings";
constexpr uint8_t FramePrefix = 0xFF;
constexpr uint16_t FrameResourceType = 10;
constexpr uint16_t FrameMemoryFlags = 0x1030;
constexpr qsizetype FrameNameMax = 63;
// "TPF0", empty class and object names, the two end markers.
constexpr int64_t SmallestStream = 8;

[[noreturn]] void ThrowNoProperty()
{
    throw EReadError(QStringLiteral("プロパティが存在しません"));
}
[[noreturn]] void ThrowTooManyObjects(int limit)
{
    throw EReadError(QStringLiteral("オブジェクトが %1 個を超えています").arg(limit));
}
[[noreturn]] void ThrowPropPathError()
{
    throw EReadError(QStringLiteral("不正なプロパティのパスです"));
}

// ---------------------------------------------------------------- writing

class TWriteFiler : public TFiler {
public:
    TWriteFiler(TWriter& writer, QByteArray prefix) : writer_(writer), prefix_(std::move(prefix)) {}

    void DefineProperty(const QByteArray& name, const std::function<void(TReader&)>&,
                        const std::function<void(TWriter&)>& write, bool hasData) override
    {
        if (!hasData) return;
        writer_.WriteShortString(QByteArray(prefix_ + name));
        write(writer_);
    }
    void DefineBinaryProperty(const QByteArray& name, const std::function<void(TBoundedReader&)>&,
                              const std::function<void(QByteArray&)>& write, bool hasData) override
    {
        if (!hasData) return;
        QByteArray data;
        write(data);
        writer_.WriteShortString(QByteArray(prefix_ + name));
        writer_.WriteBinary(data);
    }

private:
    TWriter& writer_;
    QByteArray prefix_;
};

class TObjectWriter {
public:
    explicit TObjectWriter(QByteArray& out) : writer_(out) {}

    void WriteStream(const TComponent& object)
    {
        writer_.Buffer().append(Signature, 4);
        WriteComponent(object);
    }

private:
    void WriteComponent(const TComponent& object)
    {
        writer_.WriteShortString(object.ClassName());
        writer_.WriteShortString(ToCp932(object.Name()));
        WriteProperties(object, {});
        writer_.WriteListEnd();
        object.GetChildren([this](TComponent& child) { WriteComponent(child); });
        writer_.WriteListEnd();
    }

    void WriteProperties(const TPersistent& object, const QByteArray& prefix)
    {
        for (const TPropInfo& prop : object.ClassInfo().Properties())
            if (prop.IsStored(object)) WriteProperty(object, prop, prefix);
        TWriteFiler filer(writer_, prefix);
        DefineRecordsForWriting(object, filer);
    }

    // Only called for a stored property.
    void WriteProperty(const TPersistent& object, const TPropInfo& prop, const QByteArray& prefix)
    {
        const QByteArray path = prefix.isEmpty() ? prop.name : prefix + prop.name;
        if (prop.kind == TPropKind::Persistent) return WriteProperties(*prop.Object(object), path + '.');
        if (prop.kind == TPropKind::Strings) return WriteStrings(path, prop.Lines(object));
        writer_.WriteShortString(path);
        if (prop.IsOrdinal()) return WriteOrdinal(prop, prop.Ordinal(object));
        switch (prop.kind) {
            case TPropKind::Float:
                return writer_.WriteFloat(prop.Float(object));
            case TPropKind::String:
                return writer_.WriteString(prop.Text(object));
            case TPropKind::Component:
            case TPropKind::Method:
                return writer_.WriteIdent(prop.Text(object).toLatin1());
            case TPropKind::Collection:
                return WriteCollection(*prop.Object(object));
            default:
                return;
        }
    }

    void WriteOrdinal(const TPropInfo& prop, int64_t value)
    {
        switch (prop.kind) {
            case TPropKind::Bool:
                writer_.WriteBoolean(value != 0);
                return;
            case TPropKind::Char:
                writer_.WriteStringBytes(QByteArray(1, static_cast<char>(value)));
                return;
            case TPropKind::Enum:
                writer_.WriteIdent(EnumName(prop, value));
                return;
            case TPropKind::Set:
                writer_.WriteSet(*prop.enumInfo, static_cast<uint64_t>(value));
                return;
            case TPropKind::Color:
                if (auto ident = ColorToIdent(value)) return writer_.WriteIdent(*ident);
                return writer_.WriteInteger(static_cast<int32_t>(value));
            case TPropKind::Cursor:
                if (auto ident = CursorToIdent(value)) return writer_.WriteIdent(*ident);
                return writer_.WriteInteger(static_cast<int32_t>(value));
            case TPropKind::Charset:
                if (auto ident = CharsetToIdent(value)) return writer_.WriteIdent(*ident);
                return writer_.WriteInteger(static_cast<int32_t>(value));
            case TPropKind::Int64:
                writer_.WriteInteger(value);
                return;
            default:
                writer_.WriteInteger(static_cast<int32_t>(value));
                return;  // 32 bits on the wire
        }
    }

    static const QByteArray& EnumName(const TPropInfo& prop, int64_t value)
    {
        if (value < 0 || value >= static_cast<int64_t>(prop.enumInfo->names.size()))
            throw EKestrel(QStringLiteral("%1 の値 %2 は %3 にありません")
                               .arg(QString::fromLatin1(prop.name))
                               .arg(value)
                               .arg(QString::fromLatin1(prop.enumInfo->typeName)));
        return prop.enumInfo->names[static_cast<size_t>(value)];
    }

    void WriteStrings(const QByteArray& path, const QStringList& lines)
    {
        writer_.WriteShortString(QByteArray(path + '.' + StringsSuffix));
        writer_.WriteListBegin();
        for (const QString& line : lines) writer_.WriteString(line);
        writer_.WriteListEnd();
    }

    void WriteCollection(const TPersistent& object)
    {
        const auto& collection = dynamic_cast<const TCollection&>(object);
        writer_.WriteValueType(TValueType::vaCollection);
        for (int i = 0; i < collection.Count(); ++i) {
            writer_.WriteListBegin();
            WriteProperties(collection.Item(i), {});
            writer_.WriteListEnd();
        }
        writer_.WriteListEnd();
    }

    TWriter writer_;
};

// ---------------------------------------------------------------- reading

class TReadFiler : public TFiler {
public:
    TReadFiler(TReader& reader, QByteArrayView name) : reader_(reader), name_(name) {}
    bool Handled() const { return handled_; }

    void DefineProperty(const QByteArray& name, const std::function<void(TReader&)>& read,
                        const std::function<void(TWriter&)>&, bool) override
    {
        if (!Claim(name)) return;
        if (read)
            read(reader_);
        else
            reader_.SkipValue();
    }
    void DefineBinaryProperty(const QByteArray& name, const std::function<void(TBoundedReader&)>& read,
                              const std::function<void(QByteArray&)>&, bool) override
    {
        if (!Claim(name)) return;
        const QByteArray data = reader_.ReadBinary();
        TBoundedReader payload(data);
        if (read) read(payload);
    }

private:
    bool Claim(const QByteArray& name)
    {
        if (handled_ || name.compare(name_, Qt::CaseInsensitive) != 0) return false;
        handled_ = true;
        return true;
    }

    TReader& reader_;
    QByteArrayView name_;
    bool handled_ = false;
};

class TObjectReader {
public:
    TObjectReader(TBoundedReader& in, const TReadOptions& options)
        : in_(in),
          reader_(in, options.maxDepth),
          options_(options),
          registry_(options.registry ? *options.registry : TClassRegistry::Global())
    {
    }

    int ObjectCount() const { return static_cast<int>(loaded_.size()); }

    std::unique_ptr<TComponent> ReadNew()
    {
        ReadSignature();
        ReadPrefix();
        const QByteArray className = reader_.ReadShortString();
        std::unique_ptr<TComponent> object = CreateTop(className);
        ReadNameAndBody(*object);
        NotifyLoaded();
        return object;
    }

    void ReadInto(TComponent& object)
    {
        ReadSignature();
        ReadPrefix();
        reader_.ReadShortString();
        ReadNameAndBody(object);
        NotifyLoaded();
    }

private:
    void ReadSignature()
    {
        if (in_.ReadBytes(4) != QByteArrayView(Signature, 4)) ThrowStreamFormatError();
    }

    // Flags of inherited or inline components; the program's own streams never set them.
    void ReadPrefix()
    {
        const uint8_t first = in_.PeekU8();
        if ((first & 0xF0) != 0xF0) return;
        in_.ReadU8();
        constexpr uint8_t ChildPositionFlag = 0x02;
        if (first & ChildPositionFlag) reader_.ReadInteger();
    }

    void ReadNameAndBody(TComponent& object)
    {
        object.SetName(FromCp932(reader_.ReadShortString()));
        loaded_.push_back(&object);
        if (ObjectCount() > options_.maxObjects) ThrowTooManyObjects(options_.maxObjects);
        object.ReadingStream();
        while (in_.PeekU8() != 0) ReadProperty(object);
        in_.ReadU8();
        while (in_.PeekU8() != 0) ReadChild(object);
        in_.ReadU8();
    }

    void ReadChild(TComponent& parent)
    {
        reader_.EnterNesting();
        ReadPrefix();
        const QByteArray className = reader_.ReadShortString();
        std::unique_ptr<TComponent> child = CreateChild(className);
        TComponent& childRef = *child;
        parent.AdoptChild(std::move(child));
        ReadNameAndBody(childRef);
        reader_.LeaveNesting();
    }

    std::unique_ptr<TComponent> CreateTop(const QByteArray& className)
    {
        if (options_.create)
            if (auto object = options_.create(className)) return object;
        return Instantiate(registry_.Get(className));
    }

    std::unique_ptr<TComponent> CreateChild(const QByteArray& className)
    {
        const TClassInfo& info = registry_.Get(className);
        if (options_.create)
            if (auto object = options_.create(className)) return object;
        return Instantiate(info);
    }

    static std::unique_ptr<TComponent> Instantiate(const TClassInfo& info)
    {
        if (info.IsAbstract()) ThrowStreamFormatError();
        std::unique_ptr<TPersistent> object = info.Create();
        auto* component = dynamic_cast<TComponent*>(object.get());
        if (!component) ThrowStreamFormatError();
        object.release();
        return std::unique_ptr<TComponent>(component);
    }

    void ReadProperty(TPersistent& object)
    {
        // A view into the input, which outlives the read: no copy for the usual plain name.
        const QByteArrayView path = reader_.ReadCounted(in_.ReadU8());
        try {
            ReadPropertyAt(object, path);
        } catch (EReadError& e) {
            e.SetProperty(QString::fromLatin1(object.ClassInfo().Name()), ShownName(path));
            throw;
        }
    }

    void ReadPropertyAt(TPersistent& object, QByteArrayView path)
    {
        if (std::find(path.begin(), path.end(), '.') == path.end()) return ReadLeaf(object, path);
        const QList<QByteArray> parts = path.toByteArray().split('.');
        TPersistent* instance = &object;
        for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
            const TPropInfo* prop = instance->ClassInfo().FindProperty(parts[i]);
            if (!prop) ThrowNoProperty();
            if (prop->kind == TPropKind::Strings) return ReadStringsPath(*instance, *prop, parts.mid(i + 1));
            if (!prop->IsObject()) ThrowPropPathError();
            instance = prop->Object(*instance);
            if (!instance) ThrowPropPathError();
        }
        ReadLeaf(*instance, parts.last());
    }

    void ReadLeaf(TPersistent& instance, QByteArrayView name)
    {
        if (const TPropInfo* prop = instance.ClassInfo().FindProperty(name))
            return ReadPropValue(instance, *prop);
        TReadFiler filer(reader_, name);
        instance.DefineProperties(filer);
        if (!filer.Handled()) ThrowNoProperty();
    }

    // "<name>.Strings": the lines of a string list.
    void ReadStringsPath(TPersistent& instance, const TPropInfo& prop, const QList<QByteArray>& rest)
    {
        if (rest.size() != 1 || rest[0].compare(StringsSuffix, Qt::CaseInsensitive) != 0) ThrowNoProperty();
        prop.SetLines(instance, reader_.ReadStringList());
    }

    void ReadPropValue(TPersistent& instance, const TPropInfo& prop)
    {
        if (prop.neverStored) return reader_.SkipValue();
        switch (prop.kind) {
            case TPropKind::Integer:
                return prop.SetOrdinal(instance, reader_.ReadInteger());
            case TPropKind::Int64:
                return prop.SetOrdinal(instance, reader_.ReadInt64());
            case TPropKind::Char:
                return prop.SetOrdinal(instance, ReadChar());
            case TPropKind::Bool:
                return prop.SetOrdinal(instance, ReadBool());
            case TPropKind::Enum:
                return prop.SetOrdinal(instance, ReadEnum(*prop.enumInfo));
            case TPropKind::Set:
                return prop.SetOrdinal(instance, static_cast<int64_t>(reader_.ReadSet(*prop.enumInfo)));
            case TPropKind::Color:
                return prop.SetOrdinal(instance, ReadNamedInteger(IdentToColor));
            case TPropKind::Cursor:
                return prop.SetOrdinal(instance, ReadNamedInteger(IdentToCursor));
            case TPropKind::Charset:
                return prop.SetOrdinal(instance, ReadNamedInteger(IdentToCharset));
            case TPropKind::String:
                return prop.SetText(instance, reader_.ReadString());
            case TPropKind::Float:
                return prop.SetFloat(instance, reader_.ReadFloat());
            case TPropKind::Component:
            case TPropKind::Method:
                return prop.SetText(instance, ReadReference());
            case TPropKind::Collection:
                return ReadCollection(prop.Object(instance));
            case TPropKind::Strings:
            case TPropKind::Persistent:
                // Nested objects carry their values under dotted paths; a nil stands for "none".
                if (reader_.ReadValueType() != TValueType::vaNil) ThrowPropValueError();
                return;
        }
    }

    int64_t ReadChar()
    {
        const QByteArray bytes = ToCp932(reader_.ReadString());
        if (bytes.size() != 1) ThrowPropValueError();
        return static_cast<uint8_t>(bytes[0]);
    }

    bool ReadBool()
    {
        const QByteArray ident = reader_.ReadIdent();
        if (ident.compare("True", Qt::CaseInsensitive) == 0) return true;
        if (ident.compare("False", Qt::CaseInsensitive) == 0) return false;
        ThrowPropValueError();
    }

    int64_t ReadEnum(const TEnumInfo& info)
    {
        const int index = info.IndexOf(reader_.ReadIdent());
        if (index < 0) ThrowPropValueError();
        return index;
    }

    int64_t ReadNamedInteger(std::optional<int64_t> (*lookup)(QByteArrayView))
    {
        if (reader_.NextValueType() != TValueType::vaIdent) return reader_.ReadInteger();
        const std::optional<int64_t> value = lookup(reader_.ReadIdent());
        if (!value) ThrowPropValueError();
        return *value;
    }

    QString ReadReference()
    {
        if (reader_.NextValueType() == TValueType::vaNil) {
            reader_.ReadValueType();
            return {};
        }
        if (reader_.NextValueType() != TValueType::vaIdent) ThrowPropValueError();
        return QString::fromLatin1(reader_.ReadIdent());
    }

    void ReadCollection(TPersistent* target)
    {
        auto* collection = dynamic_cast<TCollection*>(target);
        if (!collection || reader_.ReadValueType() != TValueType::vaCollection) ThrowPropValueError();
        reader_.EnterNesting();
        collection->Clear();
        while (!reader_.EndOfList()) {
            if (reader_.NextValueType() != TValueType::vaList) reader_.ReadInteger();  // order number
            // An item needs at least its list tag and end marker: no item for bytes not there.
            in_.Need(2);
            TCollectionItem& item = collection->Add();
            reader_.ReadListBegin();
            while (in_.PeekU8() != 0) ReadProperty(item);
            reader_.ReadListEnd();
        }
        reader_.ReadListEnd();
    }

    void NotifyLoaded()
    {
        for (TComponent* object : loaded_) object->Loaded();
    }

    TBoundedReader& in_;
    TReader reader_;
    const TReadOptions& options_;
    const TClassRegistry& registry_;
    std::vector<TComponent*> loaded_;  // parents before children
};

// ---------------------------------------------------------------- frame

void WriteFrameHeader(TWriter& writer, QByteArrayView frameName)
{
    if (frameName.isEmpty() || frameName.size() > FrameNameMax ||
        std::any_of(frameName.begin(), frameName.end(), [](char c) { return c <= 0 || c > 0x7E; }))
        throw EKestrel(QStringLiteral("ストリーム名 %1 は使えません").arg(QString::fromLatin1(frameName)));
    writer.WriteUInt8(FramePrefix);
    writer.WriteUInt16(FrameResourceType);
    writer.Buffer().append(frameName.toByteArray().toUpper());
    writer.WriteUInt8(0);
    writer.WriteUInt16(FrameMemoryFlags);
}

void SkipFrameHeader(TBoundedReader& in)
{
    const uint8_t prefix = in.ReadU8();
    const uint16_t type = in.ReadU16();
    if (prefix != FramePrefix || type != FrameResourceType) ThrowStreamFormatError();
    while (in.ReadU8() != 0) {
    }
    in.ReadU16();  // memory flags
    in.ReadI32();  // length: the component stream carries its own end
}

}  // namespace

void WriteObject(QByteArray& out, const TComponent& object)
{
    TObjectWriter(out).WriteStream(object);
}

std::unique_ptr<TComponent> ReadObject(TBoundedReader& in, const TReadOptions& options)
{
    return TObjectReader(in, options).ReadNew();
}

void ReadObjectInto(TBoundedReader& in, TComponent& object, const TReadOptions& options)
{
    TObjectReader(in, options).ReadInto(object);
}

void WriteObjectRes(QByteArray& out, QByteArrayView frameName, const TComponent& object)
{
    TWriter writer(out);
    WriteFrameHeader(writer, frameName);
    const qsizetype lengthAt = out.size();
    writer.WriteInt32(0);
    WriteObject(out, object);
    const qsizetype length = out.size() - lengthAt - 4;
    if (length > std::numeric_limits<int32_t>::max())
        throw EKestrel(QStringLiteral("ストリームに書き込むデータが大きすぎます"));
    const int32_t length32 = static_cast<int32_t>(length);
    std::memcpy(out.data() + lengthAt, &length32, sizeof length32);
}

std::unique_ptr<TComponent> ReadObjectRes(TBoundedReader& in, const TReadOptions& options)
{
    SkipFrameHeader(in);
    return ReadObject(in, options);
}

void ReadObjectResInto(TBoundedReader& in, TComponent& object, const TReadOptions& options)
{
    SkipFrameHeader(in);
    ReadObjectInto(in, object, options);
}

void WriteObjectList(QByteArray& out, std::span<const TComponent* const> objects)
{
    if (objects.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        throw EKestrel(QStringLiteral("ストリームに書き込むデータが大きすぎます"));
    TWriter(out).WriteInt32(static_cast<int32_t>(objects.size()));
    for (const TComponent* object : objects) WriteObject(out, *object);
}

std::vector<std::unique_ptr<TComponent>> ReadObjectList(TBoundedReader& in, const TClassInfo& requiredBase,
                                                        const TReadOptions& options)
{
    const int32_t count = in.ReadI32();
    if (count < 0) ThrowStreamFormatError();
    if (count > options.maxObjects) ThrowTooManyObjects(options.maxObjects);
    in.Need(count * SmallestStream);
    std::vector<std::unique_ptr<TComponent>> objects;
    objects.reserve(static_cast<size_t>(count));
    // The whole list shares one object budget.
    TReadOptions remaining = options;
    for (int32_t i = 0; i < count; ++i) {
        TObjectReader reader(in, remaining);
        std::unique_ptr<TComponent> object = reader.ReadNew();
        remaining.maxObjects -= reader.ObjectCount();
        if (object->ClassInfo().InheritsFrom(requiredBase)) objects.push_back(std::move(object));
    }
    return objects;
}

}  // namespace kestrel

#include "document/stream/JsonCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>

#include "document/stream/ClassRegistry.h"
#include "document/stream/IdentTables.h"
#include "document/stream/Persistent.h"
#include "document/stream/ValueCodec.h"
#include "platform/BoundedReader.h"
#include "platform/Cp932.h"
#include "platform/Graphic.h"
#include "platform/RegularFile.h"
#include "platform/SystemErrorText.h"

namespace kestrel {

namespace {

const QString ClassKey = QStringLiteral("class");
const QString NameKey = QStringLiteral("name");
const QString PropertiesKey = QStringLiteral("properties");
const QString ChildrenKey = QStringLiteral("children");
const QString FileKey = QStringLiteral("file");
const QString StreamKey = QStringLiteral("stream");

// Integers beyond this lose digits as JSON numbers; 64-bit values past it travel as strings.
constexpr double ExactIntegerLimit = 9007199254740992.0;

QString Latin(const QByteArray& name) { return QString::fromLatin1(name); }

// ---------------------------------------------------------------- writing

QJsonValue EnumJson(const TPropInfo& prop, int64_t value)
{
    if (value >= 0 && size_t(value) < prop.enumInfo->names.size()) return Latin(prop.enumInfo->names[size_t(value)]);
    return double(value);
}

QJsonValue NamedIntegerJson(std::optional<QByteArray> ident, int64_t value)
{
    return ident ? QJsonValue(Latin(*ident)) : QJsonValue(double(value));
}

QJsonValue OrdinalJson(const TPropInfo& prop, int64_t value)
{
    switch (prop.kind) {
    case TPropKind::Bool: return value != 0;
    case TPropKind::Enum: return EnumJson(prop, value);
    case TPropKind::Set: {
        QJsonArray names;
        for (size_t i = 0; i < prop.enumInfo->names.size(); ++i)
            if (value & (int64_t(1) << i)) names.append(Latin(prop.enumInfo->names[i]));
        return names;
    }
    case TPropKind::Color: return NamedIntegerJson(ColorToIdent(value), value);
    case TPropKind::Cursor: return NamedIntegerJson(CursorToIdent(value), value);
    case TPropKind::Charset: return NamedIntegerJson(CharsetToIdent(value), value);
    case TPropKind::Int64:
        if (std::abs(double(value)) >= ExactIntegerLimit) return QString::number(value);
        return double(value);
    default: return double(value);
    }
}

QJsonValue PropertyJson(const TPersistent& object, const TPropInfo& prop)
{
    if (prop.IsOrdinal()) return OrdinalJson(prop, prop.Ordinal(object));
    switch (prop.kind) {
    case TPropKind::Float: return prop.Float(object);
    case TPropKind::Strings: return QJsonArray::fromStringList(prop.Lines(object));
    case TPropKind::Persistent: {
        const QJsonObject nested = PropertiesToJson(*prop.Object(object));
        return nested.isEmpty() ? QJsonValue(QJsonValue::Undefined) : QJsonValue(nested);
    }
    case TPropKind::Collection: {
        const auto& collection = dynamic_cast<const TCollection&>(*prop.Object(object));
        QJsonArray items;
        for (int i = 0; i < collection.Count(); ++i) items.append(PropertiesToJson(collection.Item(i)));
        return items;
    }
    default: return prop.Text(object);
    }
}

QByteArray SimpleRecordBytes(const QJsonValue& value)
{
    QByteArray bytes;
    TWriter writer(bytes);
    if (value.isBool())
        writer.WriteBoolean(value.toBool());
    else if (value.isString())
        writer.WriteString(value.toString());
    else
        writer.WriteInteger(static_cast<int32_t>(value.toDouble()));
    return bytes;
}

// A custom property's stream value as a plain JSON value when that writes back to the same
// bytes; undefined otherwise.
QJsonValue SimpleRecordJson(const QByteArray& bytes)
{
    TBoundedReader in(bytes);
    TReader reader(in);
    QJsonValue value;
    switch (reader.NextValueType()) {
    case TValueType::vaInt8:
    case TValueType::vaInt16:
    case TValueType::vaInt32: value = double(reader.ReadInteger()); break;
    case TValueType::vaFalse:
    case TValueType::vaTrue: value = reader.ReadBoolean(); break;
    case TValueType::vaString:
    case TValueType::vaLString: value = reader.ReadString(); break;
    default: return QJsonValue::Undefined;
    }
    return in.AtEnd() && SimpleRecordBytes(value) == bytes ? value : QJsonValue(QJsonValue::Undefined);
}

QJsonValue Base64Json(const QString& key, const QByteArray& bytes)
{
    return QJsonObject{{key, QString::fromLatin1(bytes.toBase64())}};
}

class TJsonWriteFiler : public TFiler {
public:
    explicit TJsonWriteFiler(QJsonObject& json) : json_(json) {}

    void DefineProperty(const QByteArray& name, const std::function<void(TReader&)>&,
                        const std::function<void(TWriter&)>& write, bool hasData) override
    {
        if (!hasData) return;
        QByteArray bytes;
        TWriter writer(bytes);
        write(writer);
        const QJsonValue simple = SimpleRecordJson(bytes);
        json_.insert(Latin(name), simple.isUndefined() ? Base64Json(StreamKey, bytes) : simple);
    }
    void DefineBinaryProperty(const QByteArray& name, const std::function<void(TBoundedReader&)>&,
                              const std::function<void(QByteArray&)>& write, bool hasData) override
    {
        if (!hasData) return;
        QByteArray bytes;
        write(bytes);
        json_.insert(Latin(name), QString::fromLatin1(bytes.toBase64()));
    }

private:
    QJsonObject& json_;
};

// ---------------------------------------------------------------- reading

class TJsonObjectReader {
public:
    explicit TJsonObjectReader(const TJsonReadOptions& options)
        : options_(options), registry_(options.registry ? *options.registry : TClassRegistry::Global())
    {
    }

    std::unique_ptr<TComponent> ReadTop(const QJsonValue& json, const QString& path)
    {
        std::unique_ptr<TComponent> object = ReadObject(json, path);
        for (TComponent* read : loaded_) read->Loaded();
        return object;
    }

    void ReadPropertiesOf(const QJsonValue& json, TPersistent& target, const QString& path)
    {
        ReadProperties(ObjectValue(json, path), target, path);
    }

private:
    std::unique_ptr<TComponent> ReadObject(const QJsonValue& json, const QString& path)
    {
        const QJsonObject object = ObjectValue(json, path);
        DepthScope depth(*this, path);
        for (auto it = object.begin(); it != object.end(); ++it)
            if (it.key() != ClassKey && it.key() != NameKey && it.key() != PropertiesKey && it.key() != ChildrenKey)
                throw EJsonError(Join(path, it.key()), QStringLiteral("不明なキーです"));
        std::unique_ptr<TComponent> component = Create(object.value(ClassKey), Join(path, ClassKey));
        if (object.contains(NameKey)) component->SetName(Text(object.value(NameKey), Join(path, NameKey)));
        loaded_.push_back(component.get());
        if (object.contains(PropertiesKey))
            ReadProperties(ObjectValue(object.value(PropertiesKey), Join(path, PropertiesKey)), *component,
                           Join(path, PropertiesKey));
        if (object.contains(ChildrenKey)) ReadChildren(object.value(ChildrenKey), *component, Join(path, ChildrenKey));
        return component;
    }

    std::unique_ptr<TComponent> Create(const QJsonValue& name, const QString& path)
    {
        const TClassInfo* info = registry_.Find(Text(name, path).toLatin1());
        if (!info) throw EJsonError(path, QStringLiteral("クラス「%1」はありません").arg(name.toString()));
        if (info->IsAbstract())
            throw EJsonError(path, QStringLiteral("クラス %1 は作成できません").arg(Latin(info->Name())));
        std::unique_ptr<TPersistent> created = info->Create();
        auto* component = dynamic_cast<TComponent*>(created.get());
        if (!component)
            throw EJsonError(path, QStringLiteral("クラス %1 は単独のオブジェクトになりません").arg(Latin(info->Name())));
        created.release();
        return std::unique_ptr<TComponent>(component);
    }

    void ReadChildren(const QJsonValue& json, TComponent& parent, const QString& path)
    {
        const QJsonArray children = ArrayValue(json, path);
        for (qsizetype i = 0; i < children.size(); ++i) {
            const QString itemPath = QStringLiteral("%1[%2]").arg(path).arg(i);
            std::unique_ptr<TComponent> child = ReadObject(children[i], itemPath);
            Guard(itemPath, [&] { parent.AdoptChild(std::move(child)); });
        }
    }

    void ReadProperties(const QJsonObject& json, TPersistent& target, const QString& path)
    {
        DepthScope depth(*this, path);
        const TClassInfo& info = target.ClassInfo();
        // Stream order, so that a value a later one depends on is set first.
        for (const TPropInfo& prop : info.Properties()) {
            const QJsonValue value = json.value(Latin(prop.name));
            if (value.isUndefined()) continue;
            const QString propPath = Join(path, Latin(prop.name));
            if (prop.neverStored) throw EJsonError(propPath, QStringLiteral("保存されないプロパティです"));
            ReadProperty(value, prop, target, propPath);
        }
        for (auto it = json.begin(); it != json.end(); ++it) {
            if (info.FindProperty(it.key().toLatin1())) continue;
            ReadRecord(it.key(), it.value(), target, Join(path, it.key()));
        }
    }

    void ReadProperty(const QJsonValue& value, const TPropInfo& prop, TPersistent& target, const QString& path)
    {
        if (prop.IsOrdinal()) {
            const int64_t ordinal = Ordinal(value, prop, path);
            return Guard(path, [&] { prop.SetOrdinal(target, ordinal); });
        }
        switch (prop.kind) {
        case TPropKind::Float: {
            const double number = Float(value, path);
            return Guard(path, [&] { prop.SetFloat(target, number); });
        }
        case TPropKind::String: {
            const QString text = StoredText(value, path);
            return Guard(path, [&] { prop.SetText(target, text); });
        }
        case TPropKind::Component:
        case TPropKind::Method: {
            const QString name = Text(value, path);
            if (!IsIdentifier(name)) throw EJsonError(path, QStringLiteral("名前に使えない文字があります"));
            return Guard(path, [&] { prop.SetText(target, name); });
        }
        case TPropKind::Strings: {
            QStringList lines;
            const QJsonArray array = ArrayValue(value, path);
            for (qsizetype i = 0; i < array.size(); ++i)
                lines << StoredText(array[i], QStringLiteral("%1[%2]").arg(path).arg(i));
            return Guard(path, [&] { prop.SetLines(target, lines); });
        }
        case TPropKind::Persistent:
            return ReadProperties(ObjectValue(value, path), *prop.Object(target), path);
        case TPropKind::Collection:
            return ReadCollection(ArrayValue(value, path), dynamic_cast<TCollection&>(*prop.Object(target)), path);
        default: return;
        }
    }

    void ReadCollection(const QJsonArray& items, TCollection& collection, const QString& path)
    {
        DepthScope depth(*this, path);
        collection.Clear();
        for (qsizetype i = 0; i < items.size(); ++i) {
            const QString itemPath = QStringLiteral("%1[%2]").arg(path).arg(i);
            TCollectionItem* item = nullptr;
            Guard(itemPath, [&] { item = &collection.Add(); });
            ReadProperties(ObjectValue(items[i], itemPath), *item, itemPath);
        }
    }

    // A key that is no property goes to the class's custom record of that name.
    void ReadRecord(const QString& key, const QJsonValue& value, TPersistent& target, const QString& path);

    int64_t Ordinal(const QJsonValue& value, const TPropInfo& prop, const QString& path) const
    {
        switch (prop.kind) {
        case TPropKind::Bool:
            if (!value.isBool()) throw EJsonError(path, QStringLiteral("true か false ではありません"));
            return value.toBool();
        case TPropKind::Enum: return EnumValue(value, prop, path);
        case TPropKind::Set: {
            int64_t mask = 0;
            const QJsonArray names = ArrayValue(value, path);
            for (qsizetype i = 0; i < names.size(); ++i)
                mask |= int64_t(1) << EnumValue(names[i], prop, QStringLiteral("%1[%2]").arg(path).arg(i));
            return mask;
        }
        case TPropKind::Color: return NamedInteger(value, IdentToColor, path, -2147483648.0, 4294967296.0);
        case TPropKind::Cursor: return NamedInteger(value, IdentToCursor, path, -2147483648.0, 2147483648.0);
        case TPropKind::Charset: return NamedInteger(value, IdentToCharset, path, -2147483648.0, 2147483648.0);
        case TPropKind::Char: return Integer(value, path, 0, 256);
        case TPropKind::Int64: {
            bool ok = false;
            const qlonglong number = value.toString().toLongLong(&ok);
            if (value.isString() && ok) return number;
            return Integer(value, path, -ExactIntegerLimit, ExactIntegerLimit);
        }
        default: return Integer(value, path, -2147483648.0, 2147483648.0);
        }
    }

    static int64_t Integer(const QJsonValue& value, const QString& path, double min, double limit)
    {
        const double d = value.toDouble();
        if (!value.isDouble() || !std::isfinite(d) || d != std::floor(d))
            throw EJsonError(path, QStringLiteral("整数ではありません"));
        if (d < min || d >= limit) throw EJsonError(path, QStringLiteral("範囲外の値です"));
        return static_cast<int64_t>(d);
    }

    static int64_t NamedInteger(const QJsonValue& value, std::optional<int64_t> (*lookup)(QByteArrayView),
                                const QString& path, double min, double limit)
    {
        if (!value.isString()) return Integer(value, path, min, limit);
        if (const auto named = lookup(value.toString().toLatin1())) return *named;
        throw EJsonError(path, QStringLiteral("「%1」は使える名前ではありません").arg(value.toString()));
    }

    static int64_t EnumValue(const QJsonValue& value, const TPropInfo& prop, const QString& path)
    {
        const int index = value.isString() ? prop.enumInfo->IndexOf(value.toString().toLatin1()) : -1;
        if (index < 0)
            throw EJsonError(path, QStringLiteral("「%1」は %2 の値ではありません")
                                       .arg(value.toVariant().toString(), Latin(prop.enumInfo->typeName)));
        return index;
    }

    static double Float(const QJsonValue& value, const QString& path)
    {
        if (!value.isDouble() || !std::isfinite(value.toDouble()))
            throw EJsonError(path, QStringLiteral("数値ではありません"));
        return value.toDouble();
    }

    static QString Text(const QJsonValue& value, const QString& path)
    {
        if (!value.isString()) throw EJsonError(path, QStringLiteral("文字列ではありません"));
        return value.toString();
    }

    // Text that is stored as code page 932 bytes: refused when the code page cannot hold it.
    static QString StoredText(const QJsonValue& value, const QString& path)
    {
        QString text = Text(value, path);
        if (!CanEncodeCp932(text))
            throw EJsonError(path, QStringLiteral("Shift_JIS で表せない文字があります"));
        return text;
    }

    static bool IsIdentifier(const QString& name)
    {
        return name.size() < 256 && std::all_of(name.begin(), name.end(), [](QChar c) {
                   return (c.isLetterOrNumber() && c.unicode() < 0x80) || c == u'_' || c == u'.';
               });
    }

    static QJsonObject ObjectValue(const QJsonValue& value, const QString& path)
    {
        if (!value.isObject()) throw EJsonError(path, QStringLiteral("オブジェクトではありません"));
        return value.toObject();
    }

    static QJsonArray ArrayValue(const QJsonValue& value, const QString& path)
    {
        if (!value.isArray()) throw EJsonError(path, QStringLiteral("配列ではありません"));
        return value.toArray();
    }

    static QString Join(const QString& path, const QString& key) { return path.isEmpty() ? key : path + u'.' + key; }

    // Errors of the class's own setters and readers carry the JSON path as well.
    template <typename F>
    static void Guard(const QString& path, F&& work)
    {
        try {
            work();
        } catch (const EJsonError&) {
            throw;
        } catch (const EKestrel& e) {
            throw EJsonError(path, e.Message());
        }
    }

    class DepthScope {
    public:
        DepthScope(TJsonObjectReader& reader, const QString& path) : reader_(reader)
        {
            if (++reader_.depth_ > reader_.options_.maxDepth)
                throw EJsonError(path, QStringLiteral("入れ子が深すぎます（%1 段まで）").arg(reader_.options_.maxDepth));
        }
        ~DepthScope() { --reader_.depth_; }

    private:
        TJsonObjectReader& reader_;
    };

    const TJsonReadOptions& options_;
    const TClassRegistry& registry_;
    int depth_ = 0;
    std::vector<TComponent*> loaded_;
};

QByteArray Base64Value(const QJsonValue& value, const QString& path)
{
    const auto decoded = QByteArray::fromBase64Encoding(value.toString().toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!value.isString() || !decoded) throw EJsonError(path, QStringLiteral("base64 ではありません"));
    return *decoded;
}

// Hands one key to the class's custom record of that name, in the form that record takes.
class TJsonReadFiler : public TFiler {
public:
    TJsonReadFiler(const TPersistent& target, const QString& key, const QJsonValue& value, const QString& path,
                   const QDir& baseDir, const TJsonFileRecords& fileRecords)
        : target_(target), key_(key), value_(value), path_(path), baseDir_(baseDir), fileRecords_(fileRecords)
    {
    }
    bool Handled() const { return handled_; }

    void DefineProperty(const QByteArray& name, const std::function<void(TReader&)>& read,
                        const std::function<void(TWriter&)>&, bool) override
    {
        if (!Claim(name, bool(read))) return;
        const QByteArray bytes = value_.isObject() ? Base64Value(value_.toObject().value(StreamKey), Join(StreamKey))
                                                   : SimpleBytes();
        TBoundedReader in(bytes);
        TReader reader(in);
        read(reader);
        if (!in.AtEnd()) ThrowPropValueError();
    }
    void DefineBinaryProperty(const QByteArray& name, const std::function<void(TBoundedReader&)>& read,
                              const std::function<void(QByteArray&)>&, bool) override
    {
        if (!Claim(name, bool(read))) return;
        const QByteArray bytes = value_.isObject() ? FileRecord(name) : Base64Value(value_, path_);
        TBoundedReader payload(bytes);
        read(payload);
    }

private:
    bool Claim(const QByteArray& name, bool readable)
    {
        if (handled_ || !readable || Latin(name) != key_) return false;
        handled_ = true;
        return true;
    }

    QString Join(const QString& key) const { return path_ + u'.' + key; }

    QByteArray SimpleBytes() const
    {
        const bool integral = value_.isDouble() && value_.toDouble() == std::floor(value_.toDouble()) &&
                              std::abs(value_.toDouble()) < 2147483648.0;
        if (!value_.isBool() && !value_.isString() && !integral)
            throw EJsonError(path_, QStringLiteral("整数、真偽値、文字列のいずれでもありません"));
        if (value_.isString() && !CanEncodeCp932(value_.toString()))
            throw EJsonError(path_, QStringLiteral("Shift_JIS で表せない文字があります"));
        return SimpleRecordBytes(value_);
    }

    QByteArray FileRecord(const QByteArray& name) const
    {
        const QJsonValue file = value_.toObject().value(FileKey);
        if (!file.isString()) throw EJsonError(Join(FileKey), QStringLiteral("文字列ではありません"));
        const TJsonFileRecordReader* reader = ReaderFor(name);
        if (!reader) throw EJsonError(path_, QStringLiteral("ファイルから読み込めないデータです"));
        QByteArray bytes;
        try {
            bytes = ReadRegularFile(baseDir_.absoluteFilePath(file.toString()), MaxPictureFileBytes);
        } catch (const EFileRefused& e) {
            const QString cannotOpen = QStringLiteral("ファイル「%1」を開けません").arg(file.toString());
            throw EJsonError(Join(FileKey), e.Cause() == EFileRefused::TCause::fcMissing
                                                ? cannotOpen
                                                : QStringLiteral("%1（%2）").arg(cannotOpen, e.Reason()));
        }
        return (*reader)(bytes);
    }

    const TJsonFileRecordReader* ReaderFor(const QByteArray& name) const
    {
        return fileRecords_.Find(target_.ClassInfo(), name);
    }

    const TPersistent& target_;
    QString key_;
    QJsonValue value_;
    QString path_;
    const QDir& baseDir_;
    const TJsonFileRecords& fileRecords_;
    bool handled_ = false;
};

void TJsonObjectReader::ReadRecord(const QString& key, const QJsonValue& value, TPersistent& target,
                                   const QString& path)
{
    TJsonReadFiler filer(target, key, value, path, options_.baseDir,
                         options_.fileRecords ? *options_.fileRecords : TJsonFileRecords::Global());
    Guard(path, [&] { target.DefineProperties(filer); });
    if (!filer.Handled())
        throw EJsonError(path, QStringLiteral("クラス %1 にないプロパティです").arg(Latin(target.ClassName())));
}

}  // namespace

EJsonError::EJsonError(const QString& path, const QString& reason)
    : EReadError(path.isEmpty() ? reason : QStringLiteral("%1: %2").arg(path, reason))
{
}

TJsonFileRecords& TJsonFileRecords::Global()
{
    static TJsonFileRecords records;
    return records;
}

void TJsonFileRecords::Register(const QByteArray& className, const QByteArray& recordName, TJsonFileRecordReader reader)
{
    readers_[{className, recordName}] = std::move(reader);
}

const TJsonFileRecordReader* TJsonFileRecords::Find(const TClassInfo& info, const QByteArray& recordName) const
{
    for (const TClassInfo* c = &info; c; c = c->Parent()) {
        const auto it = readers_.find({c->Name(), recordName});
        if (it != readers_.end()) return &it->second;
    }
    return nullptr;
}

QJsonObject PropertiesToJson(const TPersistent& object)
{
    QJsonObject json;
    for (const TPropInfo& prop : object.ClassInfo().Properties()) {
        if (!prop.IsStored(object)) continue;
        const QJsonValue value = PropertyJson(object, prop);
        if (!value.isUndefined()) json.insert(Latin(prop.name), value);
    }
    TJsonWriteFiler filer(json);
    DefineRecordsForWriting(object, filer);
    return json;
}

QJsonObject ObjectToJson(const TComponent& object)
{
    QJsonObject json{{ClassKey, Latin(object.ClassName())}};
    if (!object.Name().isEmpty()) json.insert(NameKey, object.Name());
    if (QJsonObject properties = PropertiesToJson(object); !properties.isEmpty()) json.insert(PropertiesKey, properties);
    QJsonArray children;
    object.GetChildren([&children](TComponent& child) { children.append(ObjectToJson(child)); });
    if (!children.isEmpty()) json.insert(ChildrenKey, children);
    return json;
}

std::unique_ptr<TComponent> ObjectFromJson(const QJsonValue& json, const QString& path, const TJsonReadOptions& options)
{
    return TJsonObjectReader(options).ReadTop(json, path);
}

void PropertiesFromJson(const QJsonValue& json, TPersistent& target, const QString& path, const TJsonReadOptions& options)
{
    TJsonObjectReader(options).ReadPropertiesOf(json, target, path);
}

QJsonValue ParseJson(const QByteArray& text)
{
    // Qt reads only objects and arrays and would call anything else a syntax error.
    const QByteArray start = text.trimmed().left(5);
    const auto scalar = [&start]() -> QString {
        if (start.startsWith("null")) return QStringLiteral("null");
        if (start.startsWith("true") || start.startsWith("false")) return QStringLiteral("真偽値");
        if (start.startsWith('"')) return QStringLiteral("文字列");
        if (!start.isEmpty() && (std::isdigit(uint8_t(start[0])) || start[0] == '-')) return QStringLiteral("数値");
        return {};
    }();
    if (!scalar.isEmpty())
        throw EJsonError({}, QStringLiteral("全体をオブジェクトか配列で書いてください（%1 だけが書かれています）").arg(scalar));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        throw EJsonError({}, JsonSyntaxErrorText(error));
    return document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array());
}

}  // namespace kestrel

#include "paper/PaperJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>

#include "document/stream/ValueCodec.h"
#include "paper/PaperInfo.h"
#include "paper/PapersV2.h"
#include "platform/BoundedReader.h"
#include "platform/Error.h"

namespace kestrel {

namespace {

const QString ClassKey = QStringLiteral("class");

[[noreturn]] void Fail(const QString& detail)
{
    throw EReadError(QStringLiteral("JSON データの読み込みエラー: %1").arg(detail));
}

QString Name(const QByteArray& name) { return QString::fromLatin1(name); }

int64_t IntegerValue(const QJsonValue& value, const TPropInfo& prop)
{
    const double d = value.toDouble(NAN);
    const bool fits32 = prop.kind != TPropKind::Int64;
    const double limit = fits32 ? 2147483648.0 : 9007199254740992.0;
    if (!value.isDouble() || d != std::floor(d) || d < -limit || d >= limit)
        Fail(QStringLiteral("%1 は整数で指定してください").arg(Name(prop.name)));
    return static_cast<int64_t>(d);
}

int64_t EnumValue(const QJsonValue& value, const TPropInfo& prop)
{
    const int index = prop.enumInfo->IndexOf(value.toString().toLatin1());
    if (!value.isString() || index < 0)
        Fail(QStringLiteral("%1 の値「%2」は %3 の値ではありません")
                 .arg(Name(prop.name), value.toString(), Name(prop.enumInfo->typeName)));
    return index;
}

int64_t SetValue(const QJsonValue& value, const TPropInfo& prop)
{
    if (!value.isArray()) Fail(QStringLiteral("%1 は名前の配列で指定してください").arg(Name(prop.name)));
    int64_t mask = 0;
    for (const QJsonValue& element : value.toArray()) mask |= int64_t(1) << EnumValue(element, prop);
    return mask;
}

int64_t OrdinalValue(const QJsonValue& value, const TPropInfo& prop)
{
    switch (prop.kind) {
    case TPropKind::Bool:
        if (!value.isBool()) Fail(QStringLiteral("%1 は true か false で指定してください").arg(Name(prop.name)));
        return value.toBool();
    case TPropKind::Enum:
        return EnumValue(value, prop);
    case TPropKind::Set:
        return SetValue(value, prop);
    default:
        return IntegerValue(value, prop);
    }
}

QJsonValue OrdinalJson(int64_t value, const TPropInfo& prop)
{
    switch (prop.kind) {
    case TPropKind::Bool:
        return value != 0;
    case TPropKind::Enum:
        return value >= 0 && size_t(value) < prop.enumInfo->names.size() ? QJsonValue(Name(prop.enumInfo->names[value]))
                                                                          : QJsonValue(double(value));
    case TPropKind::Set: {
        QJsonArray names;
        for (size_t i = 0; i < prop.enumInfo->names.size(); ++i)
            if (value & (int64_t(1) << i)) names.append(Name(prop.enumInfo->names[i]));
        return names;
    }
    default:
        return double(value);
    }
}

QString TextValue(const QJsonValue& value, const TPropInfo& prop)
{
    if (!value.isString()) Fail(QStringLiteral("%1 は文字列で指定してください").arg(Name(prop.name)));
    return value.toString();
}

QStringList TextListValue(const QJsonValue& value, const TPropInfo& prop)
{
    QStringList lines;
    if (!value.isArray()) Fail(QStringLiteral("%1 は文字列の配列で指定してください").arg(Name(prop.name)));
    for (const QJsonValue& line : value.toArray()) lines << TextValue(line, prop);
    return lines;
}

QJsonObject ObjectValue(const QJsonValue& value, const QString& what)
{
    if (!value.isObject()) Fail(QStringLiteral("%1 はオブジェクトで指定してください").arg(what));
    return value.toObject();
}

// A custom record's value, as its class writes it to a stream, in JSON form.
QJsonValue RecordJson(const QByteArray& name, const std::function<void(TWriter&)>& write)
{
    QByteArray bytes;
    TWriter writer(bytes);
    write(writer);
    TBoundedReader in(bytes);
    TReader reader(in);
    switch (reader.NextValueType()) {
    case TValueType::vaInt8:
    case TValueType::vaInt16:
    case TValueType::vaInt32:
    case TValueType::vaInt64:
        return double(reader.ReadInt64());
    case TValueType::vaFalse:
    case TValueType::vaTrue:
        return reader.ReadBoolean();
    case TValueType::vaString:
    case TValueType::vaLString:
        return reader.ReadString();
    default:
        Fail(QStringLiteral("%1 は JSON で表せません").arg(Name(name)));
    }
}

// The stream bytes of a custom record given in JSON form.
QByteArray RecordBytes(const QByteArray& name, const QJsonValue& value)
{
    QByteArray bytes;
    TWriter writer(bytes);
    if (value.isBool()) {
        writer.WriteBoolean(value.toBool());
    } else if (value.isString()) {
        writer.WriteString(value.toString());
    } else {
        TPropInfo prop;
        prop.name = name;
        writer.WriteInteger(IntegerValue(value, prop));
    }
    return bytes;
}

class TJsonWriteFiler : public TFiler {
public:
    explicit TJsonWriteFiler(QJsonObject& json) : json_(json) {}

    void DefineProperty(const QByteArray& name, const std::function<void(TReader&)>&,
                        const std::function<void(TWriter&)>& write, bool hasData) override
    {
        if (hasData) json_.insert(Name(name), RecordJson(name, write));
    }
    void DefineBinaryProperty(const QByteArray& name, const std::function<void(TBoundedReader&)>&,
                              const std::function<void(QByteArray&)>&, bool hasData) override
    {
        if (hasData) Fail(QStringLiteral("%1 は JSON で表せません").arg(Name(name)));
    }

private:
    QJsonObject& json_;
};

// Hands one key that is no property to the class's custom record of that name.
class TJsonReadFiler : public TFiler {
public:
    TJsonReadFiler(const QString& key, const QJsonValue& value) : key_(key), value_(value) {}
    bool Handled() const { return handled_; }

    void DefineProperty(const QByteArray& name, const std::function<void(TReader&)>& read,
                        const std::function<void(TWriter&)>&, bool) override
    {
        if (handled_ || Name(name) != key_ || !read) return;
        handled_ = true;
        const QByteArray bytes = RecordBytes(name, value_);
        TBoundedReader in(bytes);
        TReader reader(in);
        read(reader);
    }
    void DefineBinaryProperty(const QByteArray&, const std::function<void(TBoundedReader&)>&,
                              const std::function<void(QByteArray&)>&, bool) override
    {
    }

private:
    QString key_;
    QJsonValue value_;
    bool handled_ = false;
};

}  // namespace

TJsonComponentCodec::TJsonComponentCodec(std::vector<const TClassInfo*> classes) : classes_(std::move(classes)) {}

QByteArray TJsonComponentCodec::Write(TComponent& component) const
{
    return QJsonDocument(ToJson(component)).toJson(QJsonDocument::Compact);
}

std::unique_ptr<TComponent> TJsonComponentCodec::Read(const QByteArray& data) const
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError)
        Fail(QStringLiteral("%1 バイト目: %2").arg(error.offset).arg(error.errorString()));
    return FromJson(ObjectValue(document.object(), QStringLiteral("データ")));
}

QJsonObject TJsonComponentCodec::ToJson(TComponent& component) const
{
    QJsonObject object = PropertiesToJson(component);
    object.insert(ClassKey, Name(component.ClassName()));
    return object;
}

std::unique_ptr<TComponent> TJsonComponentCodec::FromJson(const QJsonObject& object) const
{
    const QString className = object.value(ClassKey).toString();
    for (const TClassInfo* info : classes_) {
        if (Name(info->Name()) != className || info->IsAbstract()) continue;
        std::unique_ptr<TPersistent> created = info->Create();
        auto* component = dynamic_cast<TComponent*>(created.get());
        if (!component) break;
        PropertiesFromJson(object, *component);
        created.release();
        return std::unique_ptr<TComponent>(component);
    }
    Fail(QStringLiteral("クラス「%1」は読み込めません").arg(className));
}

QJsonObject TJsonComponentCodec::PropertiesToJson(TPersistent& object) const
{
    QJsonObject json;
    for (const TPropInfo& prop : object.ClassInfo().Properties()) {
        if (!prop.IsStoredFor(object)) continue;
        const QString name = Name(prop.name);
        if (prop.IsOrdinal()) {
            const int64_t value = prop.getOrd(object);
            if (!prop.ordDefault || value != *prop.ordDefault) json.insert(name, OrdinalJson(value, prop));
        } else if (prop.kind == TPropKind::Float) {
            json.insert(name, prop.getFloat(object));
        } else if (prop.kind == TPropKind::Strings) {
            json.insert(name, QJsonArray::fromStringList(prop.getStrings(object)));
        } else if (prop.kind == TPropKind::Collection) {
            auto* collection = dynamic_cast<TCollection*>(prop.getObject(object));
            QJsonArray items;
            for (int i = 0; collection && i < collection->Count(); ++i) items.append(PropertiesToJson(collection->Item(i)));
            json.insert(name, items);
        } else if (prop.kind == TPropKind::Persistent) {
            if (TPersistent* nested = prop.getObject(object)) json.insert(name, PropertiesToJson(*nested));
        } else if (const QString text = prop.getString(object); !text.isEmpty()) {
            json.insert(name, text);
        }
    }
    TJsonWriteFiler filer(json);
    object.DefineProperties(filer);
    return json;
}

void TJsonComponentCodec::PropertiesFromJson(const QJsonObject& object, TPersistent& target) const
{
    const TClassInfo& info = target.ClassInfo();
    // Stream order, so that Landscape is set before the size.
    for (const TPropInfo& prop : info.Properties()) {
        const QJsonValue value = object.value(Name(prop.name));
        if (value.isUndefined() || prop.neverStored) continue;
        if (prop.IsOrdinal()) {
            prop.setOrd(target, OrdinalValue(value, prop));
        } else if (prop.kind == TPropKind::Float) {
            if (!value.isDouble()) Fail(QStringLiteral("%1 は数値で指定してください").arg(Name(prop.name)));
            prop.setFloat(target, value.toDouble());
        } else if (prop.kind == TPropKind::Strings) {
            prop.setStrings(target, TextListValue(value, prop));
        } else if (prop.kind == TPropKind::Collection) {
            auto* collection = dynamic_cast<TCollection*>(prop.getObject(target));
            if (!collection || !value.isArray())
                Fail(QStringLiteral("%1 は配列で指定してください").arg(Name(prop.name)));
            collection->Clear();
            for (const QJsonValue& item : value.toArray())
                PropertiesFromJson(ObjectValue(item, Name(prop.name)), collection->Add());
        } else if (prop.kind == TPropKind::Persistent) {
            if (TPersistent* nested = prop.getObject(target)) PropertiesFromJson(ObjectValue(value, Name(prop.name)), *nested);
        } else {
            prop.setString(target, TextValue(value, prop));
        }
    }
    // Custom records, after the properties as in a stream; any other key is unknown.
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key() == ClassKey || info.FindProperty(it.key().toLatin1())) continue;
        TJsonReadFiler filer(it.key(), it.value());
        target.DefineProperties(filer);
        if (!filer.Handled())
            Fail(QStringLiteral("%1 に不明なプロパティ「%2」があります").arg(Name(info.Name()), it.key()));
    }
}

TJsonComponentCodec CatalogueJsonCodec(std::vector<const TClassInfo*> extraClasses)
{
    std::vector<const TClassInfo*> classes{&TMatrixPaperInfo::StaticClass(), &TFreePaperInfo::StaticClass(),
                                           &TPLStreamer::StaticClass(), &TPaperUpdate::StaticClass()};
    classes.insert(classes.end(), extraClasses.begin(), extraClasses.end());
    return TJsonComponentCodec(std::move(classes));
}

}  // namespace kestrel

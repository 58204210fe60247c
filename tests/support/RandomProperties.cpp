#include "support/RandomProperties.h"

#include "document/stream/ClassRegistry.h"
#include "document/stream/ObjectStream.h"
#include "document/stream/Persistent.h"
#include "platform/Error.h"
#include "render/ColorSpec.h"

namespace kestrel::test {

namespace {

int Uniform(std::mt19937& random, int min, int max) { return std::uniform_int_distribution<int>(min, max)(random); }

QString RandomText(std::mt19937& random)
{
    // Kana, kanji, ASCII and a full-width sign, all in code page 932; long enough now and then
    // for the long-string tag.
    static const QString alphabet = QStringLiteral("abcXYZ 019-_,\"'あいうカキク漢字表示％＆");
    const int length = Uniform(random, 0, 8) == 0 ? Uniform(random, 200, 300) : Uniform(random, 0, 12);
    QString text;
    for (int i = 0; i < length; ++i) text += alphabet[Uniform(random, 0, int(alphabet.size()) - 1)];
    return text;
}

QString RandomIdentifier(std::mt19937& random)
{
    static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    QString name;
    for (int i = Uniform(random, 1, 10); i > 0; --i) name += letters[Uniform(random, 0, int(letters.size()) - 1)];
    return name;
}

int64_t RandomOrdinal(const TPropInfo& prop, std::mt19937& random)
{
    switch (prop.kind) {
    case TPropKind::Bool: return Uniform(random, 0, 1);
    case TPropKind::Enum: return Uniform(random, 0, int(prop.enumInfo->names.size()) - 1);
    case TPropKind::Set: {
        const int bits = std::min<int>(int(prop.enumInfo->names.size()), 62);
        return std::uniform_int_distribution<int64_t>(0, (int64_t(1) << bits) - 1)(random);
    }
    case TPropKind::Color: return Uniform(random, 0, 3) == 0 ? 0x0000FF : Uniform(random, 0, 0xFFFFFF);
    case TPropKind::Cursor: return -Uniform(random, 0, 22);
    case TPropKind::Char: return Uniform(random, 0x21, 0x7E);
    case TPropKind::Int64: return std::uniform_int_distribution<int64_t>(INT64_MIN / 2, INT64_MAX / 2)(random);
    default: return Uniform(random, -3000, 3000);
    }
}

void RandomizeCollection(TCollection& collection, std::mt19937& random)
{
    collection.Clear();
    for (int i = Uniform(random, 0, 3); i > 0; --i) RandomizeProperties(collection.Add(), random);
}

void RandomizeProperty(const TPropInfo& prop, TPersistent& object, std::mt19937& random)
{
    if (prop.IsOrdinal()) return prop.SetOrdinal(object, RandomOrdinal(prop, random));
    switch (prop.kind) {
    case TPropKind::Float: return prop.SetFloat(object, Uniform(random, -80000, 80000) / 8.0);
    case TPropKind::String: return prop.SetText(object, RandomText(random));
    case TPropKind::Component:
    case TPropKind::Method: return prop.SetText(object, RandomIdentifier(random));
    case TPropKind::Strings: {
        QStringList lines;
        for (int i = Uniform(random, 0, 3); i > 0; --i) lines << RandomText(random);
        return prop.SetLines(object, lines);
    }
    case TPropKind::Persistent:
        if (TPersistent* nested = prop.Object(object)) RandomizeProperties(*nested, random);
        return;
    case TPropKind::Collection:
        if (auto* collection = dynamic_cast<TCollection*>(prop.Object(object))) RandomizeCollection(*collection, random);
        return;
    default: return;
    }
}

// A fill copies its gradation settings only from a gradation, so that a fill
// switched to a solid colour keeps the gradation the user set up before. Random gradation
// settings on any other kind would be stored but not copied, so they stay at their defaults.
void KeepGradationDefaults(TPersistent& object)
{
    auto* spec = dynamic_cast<TColorSpec*>(&object);
    if (!spec || spec->Kind() == cskGradation) return;
    const TColorSpec defaults;
    spec->SetGradAngle(defaults.GradAngle());
    spec->SetGradKind(defaults.GradKind());
    spec->GradColors().Assign(defaults.GradColors());
}

}  // namespace

void RandomizeProperties(TPersistent& object, std::mt19937& random)
{
    for (const TPropInfo& prop : object.ClassInfo().Properties()) {
        if (prop.neverStored) continue;
        try {
            RandomizeProperty(prop, object, random);
        } catch (const EKestrel&) {
            // The class refused the value and kept its own.
        }
    }
    KeepGradationDefaults(object);
}

std::vector<const TClassInfo*> CreatableComponentClasses(const TClassRegistry& registry)
{
    std::vector<const TClassInfo*> classes;
    for (const TClassInfo* info : registry.Classes())
        if (!info->IsAbstract() && info->InheritsFrom(TComponent::StaticClass())) classes.push_back(info);
    return classes;
}

std::unique_ptr<TComponent> CreateComponent(const TClassInfo& info)
{
    std::unique_ptr<TPersistent> object = info.Create();
    return std::unique_ptr<TComponent>(dynamic_cast<TComponent*>(object.release()));
}

QByteArray StreamBytes(const TComponent& object)
{
    QByteArray bytes;
    WriteObject(bytes, object);
    return bytes;
}

}  // namespace kestrel::test

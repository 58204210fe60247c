#include "paper/CatalogueJson.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "document/stream/ClassRegistry.h"
#include "document/stream/JsonCodec.h"
#include "paper/PaperInfo.h"
#include "paper/PapersV2.h"

namespace kestrel {

namespace {

std::shared_ptr<const TClassRegistry> RegistryOf(const std::vector<const TClassInfo*>& classes)
{
    auto registry = std::make_shared<TClassRegistry>();
    for (const TClassInfo* info : classes) registry->Register(*info);
    return registry;
}

}  // namespace

TJsonComponentCodec::TJsonComponentCodec(const std::vector<const TClassInfo*>& classes) : registry_(RegistryOf(classes)) {}

QByteArray TJsonComponentCodec::Write(TComponent& component) const
{
    return QJsonDocument(ObjectToJson(component)).toJson(QJsonDocument::Compact);
}

std::unique_ptr<TComponent> TJsonComponentCodec::Read(const QByteArray& data) const
{
    return FromJson(ParseJson(data));
}

std::unique_ptr<TComponent> TJsonComponentCodec::FromJson(const QJsonValue& json, const QString& path) const
{
    TJsonReadOptions options;
    options.registry = registry_.get();
    return ObjectFromJson(json, path, options);
}

TJsonComponentCodec CatalogueJsonCodec(const std::vector<const TClassInfo*>& extraClasses)
{
    std::vector<const TClassInfo*> classes{&TMatrixPaperInfo::StaticClass(), &TFreePaperInfo::StaticClass(),
                                           &TPLStreamer::StaticClass(), &TPaperUpdate::StaticClass()};
    classes.insert(classes.end(), extraClasses.begin(), extraClasses.end());
    return TJsonComponentCodec(classes);
}

}  // namespace kestrel

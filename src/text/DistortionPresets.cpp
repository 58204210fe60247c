#include "text/DistortionPresets.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>
#include <cstring>

#include "document/storage/DocNameList.h"
#include "document/storage/DocStorage.h"
#include "document/storage/DocStream.h"
#include "platform/Error.h"
#include "platform/SystemErrorText.h"

namespace kestrel {

namespace {

const QString PresetListPath = QStringLiteral("CoonsDistortionData\\NameList");
const char* const SideNames[] = {"top", "right", "bottom", "left"};
// Names the identifiers of shipped presets are derived from.
const QUuid PresetNamespace("{6f1d3c52-8a0e-4b57-9c41-2e7b5d0a9f13}");

[[noreturn]] void Fail(const QString& preset, const QString& what)
{
    throw EKestrel(QStringLiteral("変形の元データ「%1」: %2").arg(preset, what));
}

struct TSourcePoint {
    TCoonsPoint point;
    bool smooth = false;
};

std::vector<TSourcePoint> ReadSide(const QString& preset, const QJsonObject& object, int side)
{
    const QJsonValue value = object.value(QLatin1String(SideNames[side]));
    if (!value.isArray() || value.toArray().size() < 2)
        Fail(preset, QStringLiteral("辺 %1 には 2 点以上が必要です").arg(SideNames[side]));
    std::vector<TSourcePoint> points;
    for (const QJsonValue& p : value.toArray()) {
        const QJsonArray xy = p.toArray();
        if (xy.size() < 2 || !xy[0].isDouble() || !xy[1].isDouble())
            Fail(preset, QStringLiteral("辺 %1 の点は [x, y] で書いてください").arg(SideNames[side]));
        points.push_back({{xy[0].toDouble(), xy[1].toDouble()}, xy.size() > 2 && xy[2].toString() == u"smooth"});
    }
    return points;
}

TCoonsDistortion BuildPreset(const QString& name, const QJsonObject& object)
{
    std::array<std::vector<TSourcePoint>, 4> sides;
    for (int side = 0; side < 4; ++side) sides[side] = ReadSide(name, object, side);
    TCoonsDistortion d;
    d.SetGuid(QUuid::createUuidV5(PresetNamespace, name));
    for (int side = 0; side < 4; ++side) d.SetPointCount(side, int(sides[side].size()));
    for (int side = 0; side < 4; ++side)
        for (int i = 0; i < int(sides[side].size()); ++i) {
            d.SetPoint(side, i, sides[side][i].point);
            d.SetSmooth(side, i, sides[side][i].smooth);
        }
    // Writing a corner also writes the neighbour's: a corner given two ways shows up here.
    for (int side = 0; side < 4; ++side)
        for (int i = 0; i < int(sides[side].size()); ++i)
            if (d.GetPoint(side, i) != sides[side][i].point)
                Fail(name, QStringLiteral("辺 %1 の角の点が隣の辺と一致しません").arg(SideNames[side]));
    return d;
}

}  // namespace

std::vector<TDistortionPreset> ParseDistortionSource(const QByteArray& json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw EKestrel(QStringLiteral("変形の元データを読めません: %1").arg(JsonSyntaxErrorText(error)));
    std::vector<TDistortionPreset> presets;
    for (const QJsonValue& value : document.object().value(u"presets").toArray()) {
        const QJsonObject object = value.toObject();
        const QString name = object.value(u"name").toString();
        if (name.isEmpty() || name.size() > 31) throw EKestrel(QStringLiteral("変形の名前は 1 から 31 文字です: 「%1」").arg(name));
        for (const TDistortionPreset& p : presets)
            if (p.name == name) Fail(name, QStringLiteral("同じ名前が二度あります"));
        presets.push_back({name, BuildPreset(name, object)});
    }
    if (presets.empty()) throw EKestrel(QStringLiteral("変形の元データに変形がありません"));
    return presets;
}

void WriteDistortionFile(const QString& path, const std::vector<TDistortionPreset>& presets)
{
    TTemporaryStorage storage;
    TDocStreamList names;
    names.Open(storage, PresetListPath);
    for (const TDistortionPreset& preset : presets)
        names.OpenStream(names.Add(preset.name), ModeCreate)->WriteAll(preset.distortion.WriteData());
    storage.SaveTo(path);
}

}  // namespace kestrel

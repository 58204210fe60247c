#include "paper/ProductSource.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "paper/ProductDB.h"
#include "platform/SystemErrorText.h"

namespace kestrel {

namespace {

[[noreturn]] void ThrowSourceError(const QString& detail)
{
    throw EProductDB(QStringLiteral("製品情報の元データが正しくありません: %1").arg(detail));
}

QJsonArray ArrayOf(const QJsonValue& value, const QString& name)
{
    if (value.isUndefined()) return {};
    if (!value.isArray()) ThrowSourceError(QStringLiteral("「%1」は配列でなければなりません").arg(name));
    return value.toArray();
}

void SetValues(TProductInfo& record, const QJsonArray& values, const QString& name)
{
    if (values.size() > record.Items().Count())
        ThrowSourceError(QStringLiteral("「%1」の項目が多すぎます (最大 %2)").arg(name).arg(record.Items().Count()));
    for (int i = 0; i < values.size(); ++i) {
        if (!values[i].isString()) ThrowSourceError(QStringLiteral("「%1」の値は文字列でなければなりません").arg(name));
        record.Items().Item(i).SetInfo(values[i].toString().split(u'\n'));
    }
}

void StoreCreator(TProductDB& db, int position, const QJsonValue& values, const QString& name)
{
    TProductInfo record;
    db.Read(position, record);
    SetValues(record, ArrayOf(values, name), name);
    db.Store(record);
}

}  // namespace

int BuildProductDB(const QByteArray& json, TProductDB& db)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        ThrowSourceError(JsonSyntaxErrorText(error));
    if (!document.isObject()) ThrowSourceError(QStringLiteral("最上位はオブジェクトでなければなりません"));
    const QJsonObject root = document.object();
    StoreCreator(db, 0, root["creatorJ"], QStringLiteral("creatorJ"));
    StoreCreator(db, 1, root["creatorE"], QStringLiteral("creatorE"));
    const QJsonArray products = ArrayOf(root["products"], QStringLiteral("products"));
    for (const QJsonValue& values : products) {
        TProductInfo record;
        SetValues(record, ArrayOf(values, QStringLiteral("products")), QStringLiteral("products"));
        db.Store(record);
    }
    return int(products.size());
}

}  // namespace kestrel

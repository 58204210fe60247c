#include "music/LabelFill.h"

#include <QRegularExpression>
#include <QSet>

#include "document/DOList.h"
#include "document/DrawObject.h"
#include "label/LabelData.h"
#include "platform/CSVData.h"
#include "platform/Cp932.h"
#include "platform/Error.h"
#include "platform/RegularFile.h"

namespace kestrel {

namespace {

const QRegularExpression& FieldPattern()
{
    static const QRegularExpression pattern(QStringLiteral("\\{\\{([^{}]+)\\}\\}"));
    return pattern;
}

QStringList DecodedFields(const TCSVStringList& row, int width, bool utf8)
{
    QStringList fields;
    for (int i = 0; i < width; ++i)
        fields << (utf8 ? QString::fromUtf8(row.Field(i)) : FromCp932(row.Field(i)));
    return fields;
}

void FillComponent(TComponent& component, const QHash<QString, QString>& values)
{
    RewriteStoredTexts(component, [&](const QString& text) -> std::optional<QString> {
        if (!text.contains(QStringLiteral("{{"))) return std::nullopt;
        return FillFields(text, values);
    });
    component.GetChildren([&](TComponent& child) { FillComponent(child, values); });
}

QString FileNameSafe(QString value)
{
    for (QChar& c : value)
        if (c == u'/' || c == u'\\' || c.unicode() < 32) c = u'_';
    return value;
}

}  // namespace

TFillData ReadFillData(const QByteArray& csv)
{
    const bool utf8 = IsUtf8Text(csv);
    QByteArray bytes = csv;
    if (utf8 && bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);

    TCSVData table;
    table.SetUtf8(utf8);
    table.SetHasHeader(true);
    table.LoadFromBytes(bytes);
    if (table.Header().Count() == 0 || table.RowCount() == 0)
        throw EKestrel(QStringLiteral("CSV に見出し行とデータ行がありません"));
    TFillData data;
    const int width = table.Header().Count();
    data.columns = DecodedFields(table.Header(), width, utf8);
    for (int i = 0; i < table.RowCount(); ++i) {
        data.rows.push_back(DecodedFields(table.GetRow(i), width, utf8));
        for (int c = 0; c < width; ++c)
            if (!CanEncodeCp932(data.rows.back()[c]))
                throw EKestrel(QStringLiteral("CSV の %1 行目「%2」: Shift_JIS で表せない文字があります")
                                   .arg(i + 1)
                                   .arg(data.columns[c]));
    }
    return data;
}

TFillData ReadFillDataFile(const QString& path)
{
    const QByteArray bytes = ReadRegularFile(path, MaxFillDataBytes);
    try {
        return ReadFillData(bytes);
    } catch (const EKestrel& e) {
        throw EKestrel(QStringLiteral("「%1」: %2").arg(path, e.Message()));
    }
}

QHash<QString, QString> RowValues(const TFillData& data, int index)
{
    QHash<QString, QString> values{{QStringLiteral("row"), QString::number(index + 1)}};
    for (int c = 0; c < data.columns.size(); ++c) values.insert(data.columns[c], data.rows[size_t(index)][c]);
    return values;
}

QString FillFields(const QString& text, const QHash<QString, QString>& values)
{
    QString result;
    qsizetype last = 0;
    for (auto it = FieldPattern().globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const auto value = values.constFind(match.captured(1));
        if (value == values.cend()) continue;
        result += QStringView(text).sliced(last, match.capturedStart() - last);
        result += *value;
        last = match.capturedEnd();
    }
    return result + QStringView(text).sliced(last);
}

QStringList OutputNames(const QString& pattern, const TFillData& data)
{
    for (auto it = FieldPattern().globalMatch(pattern); it.hasNext();) {
        const QString name = it.next().captured(1);
        if (name != u"row" && !data.columns.contains(name))
            throw EKestrel(QStringLiteral("出力ファイル名の {{%1}} は CSV の列にありません").arg(name));
    }
    QStringList names;
    QSet<QString> seen;
    for (int i = 0; i < int(data.rows.size()); ++i) {
        QHash<QString, QString> values = RowValues(data, i);
        for (QString& value : values) value = FileNameSafe(value);
        const QString name = FillFields(pattern, values);
        if (seen.contains(name))
            throw EKestrel(QStringLiteral("%1 行目の出力ファイル「%2」が他の行と重なります").arg(i + 1).arg(name));
        seen.insert(name);
        names << name;
    }
    return names;
}

void FillDocument(TLabelData& document, const QHash<QString, QString>& values)
{
    document.RewriteFaces([&](TDOList& objects) {
        for (TDrawObject* object : objects.Items()) FillComponent(*object, values);
        return true;
    });
}

void FillFromTemplate(const QString& templateFile, const TFillData& data, const QString& pattern,
                      const std::function<void(const QString&)>& progress, const TFillWriter& write)
{
    const QStringList names = OutputNames(pattern, data);
    for (int i = 0; i < names.size(); ++i) {
        TLabelData document;
        document.LoadFromFile(templateFile);
        FillDocument(document, RowValues(data, i));
        if (write)
            write(document, names[i]);
        else
            document.SaveToFile(names[i]);
        if (progress) progress(names[i]);
    }
}

}  // namespace kestrel

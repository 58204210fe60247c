#pragma once

// Mail merge: one document per CSV row, made from a template whose texts hold "{{column}}"
// fields. The first CSV line names the columns; "{{row}}" stands for the row number (from 1)
// unless a column has that name.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace kestrel {

class TLabelData;

// The rows of a CSV file with a header line, as text: UTF-8 when the bytes are valid UTF-8
// (a byte-order mark is dropped), code page 932 otherwise. Fails (EKestrel) without data rows,
// and for a field that code page 932 cannot hold, naming its row and column.
struct TFillData {
    QStringList columns;
    std::vector<QStringList> rows;
};
TFillData ReadFillData(const QByteArray& csv);
// The same from a file of at most MaxFillDataBytes; messages name the file.
inline constexpr qint64 MaxFillDataBytes = 32LL * 1024 * 1024;
TFillData ReadFillDataFile(const QString& path);

// The values of row index (from 0) by column name, with "row" added.
QHash<QString, QString> RowValues(const TFillData& data, int index);

// Replaces "{{name}}" by its value; unknown names stay as they are.
QString FillFields(const QString& text, const QHash<QString, QString>& values);

// The output file of each row: pattern's fields filled, with characters that cannot stand in a
// file name ("/", "\", control characters) replaced by "_". Fails when a field of the pattern
// is no column, or when two rows would write the same file.
QStringList OutputNames(const QString& pattern, const TFillData& data);

// Fills every stored text of every object on every face of document.
void FillDocument(TLabelData& document, const QHash<QString, QString>& values);

// Puts one filled document into its output file.
using TFillWriter = std::function<void(TLabelData& document, const QString& file)>;

// Writes one document per row from the template file, saved as a document unless write says
// otherwise; progress gets each file written.
void FillFromTemplate(const QString& templateFile, const TFillData& data, const QString& pattern,
                      const std::function<void(const QString&)>& progress = {}, const TFillWriter& write = {});

}  // namespace kestrel

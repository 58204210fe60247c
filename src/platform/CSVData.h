#pragma once

// A CSV table over code page 932 bytes, whose multi-byte characters are stepped over whole so
// that a trail byte is never taken for a comma or a quote. UTF-8 text is read byte by byte
// instead (none of its multi-byte sequences holds an ASCII byte, while some look like code
// page 932 lead bytes).

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <functional>

#include "platform/Error.h"

namespace kestrel {

// Classic rows end a plain field at any control byte, skip control bytes between fields and
// drop an empty last field; RFC 4180 rows keep every byte up to the comma and count a trailing
// comma's empty field. Both keep quoted line breaks inside their field.
enum class TCSVRules { Classic, Rfc4180 };

// A loaded table stays within these: a longer record, a record of more fields or a file of more
// records is refused, naming its line. They are far beyond any album list or template index and
// keep a damaged or hostile file within bounded memory.
inline constexpr qsizetype MaxCSVRecordBytes = 1 << 20;
inline constexpr int MaxCSVFields = 4096;
inline constexpr int MaxCSVRows = 200000;

// Raised for a row or column index outside the table, and for a file beyond the bounds above.
class ECSVError : public EKestrel {
public:
    using EKestrel::EKestrel;
    const char* ClassName() const override { return "ECSVError"; }
};

// One row: reading past the end gives an empty field, writing past the end pads with empty ones.
class TCSVStringList {
public:
    TCSVStringList() = default;
    TCSVStringList(QList<QByteArray> fields) : fields_(std::move(fields)) {}

    int Count() const { return static_cast<int>(fields_.size()); }
    QByteArray Field(int index) const { return index >= 0 && index < Count() ? fields_[index] : QByteArray(); }
    void SetField(int index, const QByteArray& value);
    const QList<QByteArray>& Fields() const { return fields_; }

    // Fails (ECSVError) for a line of more than MaxCSVFields fields.
    void ParseCSV(QByteArrayView line, bool utf8 = false, TCSVRules rules = TCSVRules::Classic);
    QByteArray ToCSV(TCSVRules rules = TCSVRules::Classic) const;

    bool operator==(const TCSVStringList&) const = default;

private:
    QList<QByteArray> fields_;
};

class TCSVData {
public:
    using Comparison = std::function<int(const QByteArray&, const QByteArray&)>;

    int RowCount() const { return static_cast<int>(rows_.size()); }
    const QList<QByteArray>& Rows() const { return rows_; }
    void AssignRows(const TCSVData& source);
    // Parses row index into CurrentRow and returns it; "Out Of Index" outside the table.
    const TCSVStringList& GetRow(int index);
    void SetRow(int index, const TCSVStringList& fields);
    void AddRow(const TCSVStringList& fields);
    // The fields of the row last fetched; changing one writes the row back.
    const TCSVStringList& CurrentRow() const { return currentRow_; }
    int CurrentRowIndex() const { return currentIndex_; }
    void SetCurrentField(int column, const QByteArray& value);

    bool Utf8() const { return utf8_; }
    void SetUtf8(bool value) { utf8_ = value; }
    TCSVRules Rules() const { return rules_; }
    void SetRules(TCSVRules rules) { rules_ = rules; }
    bool HasHeader() const { return hasHeader_; }
    void SetHasHeader(bool value) { hasHeader_ = value; }
    const TCSVStringList& Header() const { return header_; }
    void SetHeader(const TCSVStringList& header) { header_ = header, modified_ = true; }
    bool Modified() const { return modified_; }
    void SetCompare(Comparison compare) { compare_ = std::move(compare); }

    // Lines end in CR LF; the header line comes first when HasHeader is set.
    QByteArray SaveToBytes();
    // Line ends are CR, LF or CR LF; a line break inside a quoted field stays in that field.
    // Fails (ECSVError) beyond the bounds above, naming the line, and then keeps the old rows.
    void LoadFromBytes(QByteArrayView data);
    // Rows ordered by the column's values (unstable).
    void Sort(int column);
    // The first row whose field in column equals value, or -1.
    int Find(int column, const QByteArray& value) const;

private:
    int Compare(const QByteArray& a, const QByteArray& b) const;
    void CheckIndex(int index) const;
    void QuickSort(QList<QByteArray>& keys, int left, int right);

    QList<QByteArray> rows_;
    TCSVStringList currentRow_;
    int currentIndex_ = -1;
    bool utf8_ = false;
    TCSVRules rules_ = TCSVRules::Classic;
    bool hasHeader_ = false;
    TCSVStringList header_;
    bool modified_ = false;
    Comparison compare_;
};

}  // namespace kestrel

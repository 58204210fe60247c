#include "platform/CSVData.h"

#include <algorithm>

namespace kestrel {

namespace {

constexpr char Quote = '"';
constexpr char Comma = ',';

bool IsLeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Bytes to step at pos: a code page 932 lead byte with its trail, else one.
qsizetype CharLength(QByteArrayView text, qsizetype pos, bool utf8)
{
    return !utf8 && IsLeadByte(static_cast<uint8_t>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

// NUL counts among the control bytes: were it neither a field's byte nor skipped, parsing would
// stand still on it.
bool IsControl(char c) { return static_cast<uint8_t>(c) < 32; }

qsizetype SkipControls(QByteArrayView line, qsizetype pos)
{
    while (pos < line.size() && IsControl(line[pos])) ++pos;
    return pos;
}

bool NeedsQuotes(const QByteArray& field, TCSVRules rules)
{
    if (rules == TCSVRules::Rfc4180)
        return std::any_of(field.begin(), field.end(), [](char c) { return c == '\r' || c == '\n' || c == Quote || c == Comma; });
    return std::any_of(field.begin(), field.end(), [](char c) { return IsControl(c) || c == ' ' || c == Quote || c == Comma; });
}

bool EndsPlainField(char c, TCSVRules rules)
{
    return c == Comma || (rules == TCSVRules::Classic && static_cast<uint8_t>(c) < 32);
}

// A quoted field from just after its opening quote; a missing closing quote takes the rest.
qsizetype ReadQuoted(QByteArrayView line, qsizetype pos, bool utf8, QByteArray& field)
{
    while (pos < line.size()) {
        if (line[pos] == Quote) {
            if (pos + 1 < line.size() && line[pos + 1] == Quote) {
                field += Quote;
                pos += 2;
                continue;
            }
            return pos + 1;
        }
        const qsizetype n = CharLength(line, pos, utf8);
        field += line.sliced(pos, n);
        pos += n;
    }
    return pos;
}

qsizetype ReadPlain(QByteArrayView line, qsizetype pos, bool utf8, TCSVRules rules, QByteArray& field)
{
    const qsizetype start = pos;
    while (pos < line.size() && !EndsPlainField(line[pos], rules)) pos += CharLength(line, pos, utf8);
    field = line.sliced(start, pos - start).toByteArray();
    return pos;
}

// The length of the record starting at pos: up to a line break outside quotes.
qsizetype RecordLength(QByteArrayView data, qsizetype pos, bool utf8)
{
    bool quoted = false;
    const qsizetype start = pos;
    while (pos < data.size()) {
        const char c = data[pos];
        if (c == Quote) quoted = !quoted;
        if (!quoted && (c == '\r' || c == '\n')) break;
        pos += CharLength(data, pos, utf8);
    }
    return pos - start;
}

// The line breaks inside a record (quoted ones): lines are counted as an editor shows them.
qsizetype LineBreaks(QByteArrayView data)
{
    qsizetype breaks = 0;
    for (qsizetype i = 0; i < data.size(); ++i)
        if (data[i] == '\n' || (data[i] == '\r' && (i + 1 == data.size() || data[i + 1] != '\n'))) ++breaks;
    return breaks;
}

[[noreturn]] void FailAtLine(qsizetype line, const QString& reason)
{
    throw ECSVError(QStringLiteral("CSV の %1 行目: %2").arg(line).arg(reason));
}

}  // namespace

void TCSVStringList::SetField(int index, const QByteArray& value)
{
    if (index < 0) throw ECSVError(QStringLiteral("Out Of Index"));
    while (Count() <= index) fields_.append(QByteArray());
    fields_[index] = value;
}

void TCSVStringList::ParseCSV(QByteArrayView line, bool utf8, TCSVRules rules)
{
    const auto skipControls = [rules](QByteArrayView text, qsizetype pos) {
        return rules == TCSVRules::Classic ? SkipControls(text, pos) : pos;
    };
    fields_.clear();
    qsizetype pos = skipControls(line, 0);
    while (pos < line.size()) {
        QByteArray field;
        pos = line[pos] == Quote ? ReadQuoted(line, pos + 1, utf8, field) : ReadPlain(line, pos, utf8, rules, field);
        if (fields_.size() == MaxCSVFields)
            throw ECSVError(QStringLiteral("項目が %1 個を超えています").arg(MaxCSVFields));
        fields_.append(field);
        pos = skipControls(line, pos);
        if (pos < line.size() && line[pos] == Comma) {
            pos = skipControls(line, pos + 1);
            if (pos == line.size() && rules == TCSVRules::Rfc4180) fields_.append(QByteArray());
        }
    }
}

QByteArray TCSVStringList::ToCSV(TCSVRules rules) const
{
    if (fields_.size() == 1 && fields_[0].isEmpty()) return QByteArray(2, Quote);
    QByteArray line;
    for (qsizetype i = 0; i < fields_.size(); ++i) {
        if (i) line += Comma;
        const QByteArray& field = fields_[i];
        if (!NeedsQuotes(field, rules)) {
            line += field;
            continue;
        }
        QByteArray doubled = field;
        line += Quote + doubled.replace(Quote, QByteArray(2, Quote)) + Quote;
    }
    return line;
}

void TCSVData::AssignRows(const TCSVData& source)
{
    rows_ = source.rows_;
    modified_ = true;
}

void TCSVData::CheckIndex(int index) const
{
    if (index < 0 || index >= RowCount()) throw ECSVError(QStringLiteral("Out Of Index"));
}

const TCSVStringList& TCSVData::GetRow(int index)
{
    CheckIndex(index);
    currentRow_.ParseCSV(rows_[index], utf8_, rules_);
    currentIndex_ = index;
    return currentRow_;
}

void TCSVData::SetRow(int index, const TCSVStringList& fields)
{
    CheckIndex(index);
    rows_[index] = fields.ToCSV(rules_);
    modified_ = true;
}

void TCSVData::AddRow(const TCSVStringList& fields)
{
    rows_.append(fields.ToCSV(rules_));
    modified_ = true;
}

void TCSVData::SetCurrentField(int column, const QByteArray& value)
{
    CheckIndex(currentIndex_);
    currentRow_.SetField(column, value);
    SetRow(currentIndex_, currentRow_);
}

QByteArray TCSVData::SaveToBytes()
{
    QByteArray out;
    if (hasHeader_) out += header_.ToCSV(rules_) + "\r\n";
    for (const QByteArray& row : rows_) out += row + "\r\n";
    modified_ = false;
    return out;
}

void TCSVData::LoadFromBytes(QByteArrayView data)
{
    QList<QByteArray> lines;
    TCSVStringList probe;
    qsizetype pos = 0, line = 1;
    while (pos < data.size()) {
        const qsizetype length = RecordLength(data, pos, utf8_);
        const QByteArrayView record = data.sliced(pos, length);
        if (length > MaxCSVRecordBytes)
            FailAtLine(line, QStringLiteral("1 行が %1 バイトを超えています").arg(MaxCSVRecordBytes));
        if (lines.size() == MaxCSVRows + (hasHeader_ ? 1 : 0))
            FailAtLine(line, QStringLiteral("行が %1 行を超えています").arg(MaxCSVRows));
        try {
            probe.ParseCSV(record, utf8_, rules_);
        } catch (const ECSVError& e) {
            FailAtLine(line, e.Message());
        }
        lines.append(record.toByteArray());
        line += LineBreaks(record) + 1;
        pos += length;
        if (pos < data.size() && data[pos] == '\r') ++pos;
        if (pos < data.size() && data[pos] == '\n') ++pos;
    }
    if (hasHeader_ && lines.size() >= 2) header_.ParseCSV(lines.takeFirst(), utf8_, rules_);
    rows_ = std::move(lines);
    currentIndex_ = -1;
    modified_ = false;
}

int TCSVData::Compare(const QByteArray& a, const QByteArray& b) const
{
    return compare_ ? compare_(a, b) : a.compare(b);
}

int TCSVData::Find(int column, const QByteArray& value) const
{
    if (column < 0) throw ECSVError(QStringLiteral("Out Of Index in Find"));
    TCSVStringList row;
    for (int i = 0; i < RowCount(); ++i) {
        row.ParseCSV(rows_[i], utf8_, rules_);
        if (Compare(row.Field(column), value) == 0) return i;
    }
    return -1;
}

void TCSVData::Sort(int column)
{
    if (RowCount() < 2) return;
    QList<QByteArray> keys;
    TCSVStringList row;
    for (const QByteArray& line : rows_) {
        row.ParseCSV(line, utf8_, rules_);
        keys.append(row.Field(column));
    }
    QuickSort(keys, 0, RowCount() - 1);
    modified_ = true;
}

void TCSVData::QuickSort(QList<QByteArray>& keys, int left, int right)
{
    int i = left, j = right;
    const QByteArray pivot = keys[(left + right) / 2];
    while (i <= j) {
        while (Compare(keys[i], pivot) < 0) ++i;
        while (Compare(keys[j], pivot) > 0) --j;
        if (i <= j) {
            keys.swapItemsAt(i, j);
            rows_.swapItemsAt(i, j);
            ++i, --j;
        }
    }
    if (left < j) QuickSort(keys, left, j);
    if (i < right) QuickSort(keys, i, right);
}

}  // namespace kestrel

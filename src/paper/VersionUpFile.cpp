#include "paper/VersionUpFile.h"

#include <QDateTime>
#include <cmath>

#include "platform/Cp932.h"

namespace kestrel {

namespace {

const QDate DayZero(1899, 12, 30);
constexpr char FirstLine[] = "CORVIDNET VERSION UP FILE";
constexpr int SecondsPerDay = 24 * 60 * 60;

bool IsLeadByte(uchar byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsDigit(uchar byte)
{
    return byte >= '0' && byte <= '9';
}

// Walks text by characters of code page 932: a lead byte and the byte after it are one
// character, unless the text ends after the lead byte.
class TCharWalker {
public:
    explicit TCharWalker(QByteArrayView text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    uchar Byte(qsizetype offset = 0) const
    {
        const qsizetype at = pos_ + offset;
        return at < text_.size() ? static_cast<uchar>(text_[at]) : 0;
    }
    qsizetype Position() const { return pos_; }
    void Next() { pos_ += IsLeadByte(Byte()) && pos_ + 1 < text_.size() ? 2 : 1; }
    QByteArrayView From(qsizetype start) const { return text_.sliced(start, pos_ - start); }

private:
    QByteArrayView text_;
    qsizetype pos_ = 0;
};

// Blanks and control characters, and full-width spaces.
void SkipDateBlanks(TCharWalker& walker)
{
    while (!walker.AtEnd()) {
        if (walker.Byte() <= ' ' || (walker.Byte() == 0x81 && walker.Byte(1) == 0x40))
            walker.Next();
        else
            break;
    }
}

QByteArrayView NextDateToken(TCharWalker& walker)
{
    SkipDateBlanks(walker);
    const qsizetype start = walker.Position();
    if (walker.AtEnd()) return {};
    if (!IsDigit(walker.Byte())) {
        walker.Next();
    } else {
        while (IsDigit(walker.Byte())) walker.Next();
    }
    return walker.From(start);
}

// The decimal value of a token of digits; 0 for anything else, or for more digits than an
// integer holds.
int DateNumber(QByteArrayView token)
{
    constexpr qsizetype MaxDigits = 9;
    if (token.isEmpty() || token.size() > MaxDigits) return 0;
    int value = 0;
    for (const char c : token) {
        if (!IsDigit(static_cast<uchar>(c))) return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool IsBlank(uchar byte)
{
    return byte >= 1 && byte <= ' ';
}

void SkipBlanks(TCharWalker& walker)
{
    while (IsBlank(walker.Byte())) walker.Next();
}

// A quoted item from its opening quote: up to the closing quote (or the end), a doubled quote
// standing for one.
QByteArray QuotedItem(TCharWalker& walker)
{
    QByteArray item;
    walker.Next();
    while (!walker.AtEnd()) {
        const qsizetype start = walker.Position();
        if (walker.Byte() == '"') {
            walker.Next();
            if (walker.Byte() != '"') return item;
            walker.Next();
            item += '"';
            continue;
        }
        walker.Next();
        item += walker.From(start);
    }
    return item;
}

QList<QByteArrayView> SplitLines(QByteArrayView body)
{
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < body.size(); ++i) {
        if (body[i] != '\r' && body[i] != '\n') continue;
        lines << body.sliced(start, i - start);
        if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') ++i;
        start = i + 1;
    }
    // A break after the last line ends that line; it starts no new one.
    if (start < body.size() || lines.isEmpty()) lines << body.sliced(start);
    return lines;
}

int ItemNumber(const QByteArray& item)
{
    bool ok = false;
    const int number = item.toInt(&ok);
    return ok ? number : 0;
}

}  // namespace

double ReadUpdateDateTime(QByteArrayView text)
{
    TCharWalker walker(text);
    const auto number = [&walker] { return DateNumber(NextDateToken(walker)); };
    const auto separator = [&walker] { NextDateToken(walker); };
    const int year = number();
    separator();
    const int month = number();
    separator();
    const int day = number();
    const int hour = number();
    separator();
    const int minute = number();
    separator();
    const int second = number();

    constexpr int MaxYear = 9999;
    if (year < 1 || year > MaxYear || !QDate::isValid(year, month, day)) return 0;
    if (hour > 23 || minute > 59 || second > 59) return 0;
    const double days = static_cast<double>(DayZero.daysTo(QDate(year, month, day)));
    const double time = (hour * 3600 + minute * 60 + second) / static_cast<double>(SecondsPerDay);
    // Before day zero the time of day counts away from it, as the date-time values have it.
    return days < 0 ? days - time : days + time;
}

QList<QByteArray> SplitCommaText(QByteArrayView text)
{
    // A NUL byte ends the text.
    if (const qsizetype nul = text.indexOf('\0'); nul >= 0) text = text.first(nul);
    QList<QByteArray> items;
    TCharWalker walker(text);
    SkipBlanks(walker);
    while (!walker.AtEnd()) {
        if (walker.Byte() == '"') {
            items << QuotedItem(walker);
        } else {
            const qsizetype start = walker.Position();
            while (walker.Byte() > ' ' && walker.Byte() != ',') walker.Next();
            items << walker.From(start).toByteArray();
        }
        SkipBlanks(walker);
        if (walker.Byte() == ',') {
            walker.Next();
            // A comma at the very end closes one more, empty, item.
            if (walker.AtEnd()) items << QByteArray();
            SkipBlanks(walker);
        }
    }
    return items;
}

bool TVersionUp::Compressed() const
{
    return !catalogue.endsWith(QLatin1String(".ppr"), Qt::CaseInsensitive);
}

std::optional<TVersionUp> ReadVersionUpFile(QByteArrayView body)
{
    if (body.size() > MaxVersionUpFileSize) return std::nullopt;
    const QList<QByteArrayView> lines = SplitLines(body);
    if (lines.size() != 3 || lines[0].compare(QByteArrayView(FirstLine), Qt::CaseInsensitive) != 0) return std::nullopt;
    const QList<QByteArray> items = SplitCommaText(lines[1]);
    if (items.size() < 2) return std::nullopt;
    TVersionUp result;
    result.version = ItemNumber(items[0]);
    result.date = ReadUpdateDateTime(items[1]);
    result.catalogue = FromCp932(lines[2]).trimmed();
    if (result.catalogue.isEmpty()) return std::nullopt;
    return result;
}

QString PatternNumberText(int number)
{
    return QString::asprintf("%.4d", number);
}

namespace {
// Beyond the year 9999.
constexpr double MaxDays = 3000000;

QDate DateOf(double days)
{
    return DayZero.addDays(static_cast<qint64>(std::min(std::trunc(days), MaxDays)));
}
}  // namespace

QString UpdateDateText(double days)
{
    if (!(std::trunc(days) > 0)) return QStringLiteral("未更新");
    const QDate date = DateOf(days);
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

QString UpdateDateTimeText(double days)
{
    if (!(days > 0) || days >= MaxDays) return {};
    const int seconds = static_cast<int>(std::lround((days - std::trunc(days)) * SecondsPerDay)) % SecondsPerDay;
    return QDateTime(DateOf(days), QTime(0, 0).addSecs(seconds)).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

}  // namespace kestrel

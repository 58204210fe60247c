#include "text/DateFormat.h"

#include <QDate>
#include <cmath>
#include <memory>
#include <mutex>
#include <unicode/calendar.h>
#include <unicode/dtfmtsym.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include "app/MacroString.h"

namespace kestrel {

namespace {

constexpr double MsPerDay = 86400000.0;
constexpr TDateTime FirstDate = -693593.0;  // 0001-01-01
constexpr TDateTime EndDate = 2958466.0;    // 10000-01-01

// The Japanese locale's own formats, used by c, t, tt, ddddd and dddddd.
const QString ShortDateFormat = QStringLiteral("yyyy/mm/dd");
const QString LongDateFormat = QStringLiteral("yyyy'年'm'月'd'日'");
const QString ShortTimeFormat = QStringLiteral("h:mm");
const QString LongTimeFormat = QStringLiteral("h:mm:ss");

QString FromIcu(const icu::UnicodeString& text)
{
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

QStringList FromIcu(const icu::UnicodeString* names, int32_t count)
{
    QStringList list;
    for (int32_t i = 0; i < count; ++i) list << FromIcu(names[i]);
    return list;
}

// Names and the Japanese calendar, loaded from ICU once.
struct TIcuNames {
    QStringList englishDays[2];   // abbreviated, wide; [1] is Sunday
    QStringList japaneseDays[2];  // the same in Japanese
    QStringList japaneseMonths[2];
    QStringList englishMonths[2];
    QStringList amPm;
    QStringList eras;
    std::unique_ptr<icu::Calendar> calendar;  // Japanese, in GMT, Gregorian back to year 1
    std::mutex calendarLock;

    TIcuNames()
    {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Locale japanese("ja_JP@calendar=japanese");
        const icu::DateFormatSymbols ja(japanese, "japanese", status);
        const icu::DateFormatSymbols en(icu::Locale::getEnglish(), status);
        // The count comes back through the call that gives the names, so the names are taken
        // first, in a statement of their own.
        int32_t n = 0;
        const icu::UnicodeString* names = nullptr;
        for (int w = 0; w < 2; ++w) {
            const auto width = w ? icu::DateFormatSymbols::WIDE : icu::DateFormatSymbols::ABBREVIATED;
            names = en.getWeekdays(n, icu::DateFormatSymbols::FORMAT, width);
            englishDays[w] = FromIcu(names, n);
            names = ja.getWeekdays(n, icu::DateFormatSymbols::FORMAT, width);
            japaneseDays[w] = FromIcu(names, n);
            names = ja.getMonths(n, icu::DateFormatSymbols::FORMAT, width);
            japaneseMonths[w] = FromIcu(names, n);
            names = en.getMonths(n, icu::DateFormatSymbols::FORMAT, width);
            englishMonths[w] = FromIcu(names, n);
        }
        names = ja.getAmPmStrings(n);
        amPm = FromIcu(names, n);
        names = ja.getEraNames(n);
        eras = FromIcu(names, n);
        calendar.reset(icu::Calendar::createInstance(icu::TimeZone::getGMT()->clone(), japanese, status));
        // The Japanese calendar counts Gregorian days even before 1582, as our dates do: the
        // change to the Julian calendar is moved before the first date we show.
        constexpr UDate beforeYearOne = -1.0e14;
        if (auto* gregorian = dynamic_cast<icu::GregorianCalendar*>(calendar.get()))
            gregorian->setGregorianChange(beforeYearOne, status);
        if (U_FAILURE(status)) calendar.reset();
    }
};

TIcuNames& IcuNames()
{
    static TIcuNames names;
    return names;
}

QString Name(const QStringList& names, int i) { return i >= 0 && i < names.size() ? names[i] : QString(); }

struct TDateParts {
    QDate date;
    int hour = 0, minute = 0, second = 0, msec = 0;
    QString era;
    int eraYear = 0;
};

void SetEra(TDateParts& parts)
{
    TIcuNames& names = IcuNames();
    if (!names.calendar) return;
    std::lock_guard lock(names.calendarLock);
    UErrorCode status = U_ZERO_ERROR;
    names.calendar->clear();
    names.calendar->set(UCAL_EXTENDED_YEAR, parts.date.year());
    names.calendar->set(UCAL_MONTH, parts.date.month() - 1);
    names.calendar->set(UCAL_DATE, parts.date.day());
    names.calendar->set(UCAL_HOUR_OF_DAY, 12);
    const int era = names.calendar->get(UCAL_ERA, status);
    const int year = names.calendar->get(UCAL_YEAR, status);
    if (U_FAILURE(status)) return;
    parts.era = Name(names.eras, era);
    parts.eraYear = year;
}

// Delphi's convention: the whole days give the date (towards zero), the fraction's size the time.
bool SplitDate(TDateTime value, TDateParts& parts)
{
    if (!(value >= FirstDate && value < EndDate)) return false;
    double days = std::trunc(value);
    auto ms = static_cast<int64_t>(std::llround(std::fabs(value - days) * MsPerDay));
    if (ms >= int64_t(MsPerDay)) {
        ms -= int64_t(MsPerDay);
        days += value < 0 ? -1 : 1;
    }
    parts.date = QDate(1899, 12, 30).addDays(int64_t(days));
    if (!parts.date.isValid() || parts.date.year() < 1 || parts.date.year() > 9999) return false;
    parts.hour = int(ms / 3600000);
    parts.minute = int(ms / 60000 % 60);
    parts.second = int(ms / 1000 % 60);
    parts.msec = int(ms % 1000);
    SetEra(parts);
    return true;
}

QString Number(int value, int digits) { return QStringLiteral("%1").arg(value, digits, 10, QLatin1Char('0')); }

bool StartsWithNoCase(QStringView text, qsizetype at, QStringView what)
{
    return text.mid(at).startsWith(what, Qt::CaseInsensitive);
}

class TDateWriter {
public:
    explicit TDateWriter(const TDateParts& parts) : parts_(parts) {}

    void Write(QStringView format);
    const QString& Text() const { return out_; }

private:
    // Repetitions of the letter at i; i moves past them.
    static int Run(QStringView format, qsizetype& i);
    static bool TwelveHourClockAhead(QStringView format, qsizetype from);
    void WriteAmPm(QStringView format, qsizetype& i);
    void WriteLetter(QChar token, QStringView format, qsizetype& i);
    void WriteDay(int count);
    void WriteTime(bool withSeconds);

    const TDateParts& parts_;
    QString out_;
    QChar lastLetter_;
};

int TDateWriter::Run(QStringView format, qsizetype& i)
{
    const QChar letter = format[i].toUpper();
    int count = 0;
    while (i < format.size() && format[i].toUpper() == letter) ++i, ++count;
    return count;
}

bool TDateWriter::TwelveHourClockAhead(QStringView format, qsizetype from)
{
    bool quoted = false;
    for (qsizetype i = from; i < format.size(); ++i) {
        const QChar c = format[i].toUpper();
        if (c == u'"' || c == u'\'') quoted = !quoted;
        if (quoted) continue;
        if (c == u'H') return false;
        if (c == u'A')
            return StartsWithNoCase(format, i, u"AM/PM") || StartsWithNoCase(format, i, u"A/P") ||
                   StartsWithNoCase(format, i, u"AMPM");
    }
    return false;
}

void TDateWriter::Write(QStringView format)
{
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format[i];
        if (c == u'"' || c == u'\'') {
            const qsizetype end = format.indexOf(c, i + 1);
            out_ += format.mid(i + 1, (end < 0 ? format.size() : end) - i - 1);
            i = end < 0 ? format.size() : end + 1;
            continue;
        }
        QChar token = c.toUpper();
        if (token >= u'A' && token <= u'Z') {
            if (token == u'M' && lastLetter_ == u'H') token = u'N';
            lastLetter_ = token;
            WriteLetter(token, format, i);
            continue;
        }
        out_ += c;
        ++i;
    }
}

void TDateWriter::WriteAmPm(QStringView format, qsizetype& i)
{
    const bool pm = parts_.hour >= 12;
    if (StartsWithNoCase(format, i, u"AM/PM")) {
        out_ += format.mid(i + (pm ? 3 : 0), 2);
        i += 5;
    } else if (StartsWithNoCase(format, i, u"A/P")) {
        out_ += format[i + (pm ? 2 : 0)];
        i += 3;
    } else if (StartsWithNoCase(format, i, u"AMPM")) {
        out_ += Name(IcuNames().amPm, pm ? 1 : 0);
        i += 4;
    } else if (StartsWithNoCase(format, i, u"AAAA")) {
        out_ += Name(IcuNames().japaneseDays[1], parts_.date.dayOfWeek() % 7 + 1);
        i += 4;
    } else if (StartsWithNoCase(format, i, u"AAA")) {
        out_ += Name(IcuNames().japaneseDays[0], parts_.date.dayOfWeek() % 7 + 1);
        i += 3;
    } else {
        out_ += format[i++];
    }
}

void TDateWriter::WriteDay(int count)
{
    // QDate counts Monday as 1; ICU's name lists start at [1] with Sunday.
    const int weekday = parts_.date.dayOfWeek() % 7 + 1;
    switch (count) {
    case 1: out_ += QString::number(parts_.date.day()); break;
    case 2: out_ += Number(parts_.date.day(), 2); break;
    case 3: out_ += Name(IcuNames().englishDays[0], weekday); break;
    case 4: out_ += Name(IcuNames().englishDays[1], weekday); break;
    case 5: Write(ShortDateFormat); break;
    default: Write(LongDateFormat); break;
    }
}

void TDateWriter::WriteTime(bool withSeconds)
{
    const QChar saved = lastLetter_;
    lastLetter_ = QChar();
    Write(withSeconds ? LongTimeFormat : ShortTimeFormat);
    lastLetter_ = saved;
}

void TDateWriter::WriteLetter(QChar token, QStringView format, qsizetype& i)
{
    if (token == u'A') return WriteAmPm(format, i);
    if (token == u'C') {
        ++i;
        Write(ShortDateFormat);
        if (parts_.hour || parts_.minute || parts_.second || parts_.msec) {
            out_ += u' ';
            WriteTime(true);
        }
        return;
    }
    const qsizetype at = i;
    const int count = Run(format, i);
    const QDate& date = parts_.date;
    switch (token.unicode()) {
    case u'D': return WriteDay(count);
    case u'Y': out_ += count <= 2 ? Number(date.year() % 100, 2) : Number(date.year(), 4); return;
    case u'M':
        if (count <= 2) out_ += Number(date.month(), count);
        else out_ += Name(IcuNames().japaneseMonths[count == 3 ? 0 : 1], date.month() - 1);
        return;
    case u'G': out_ += count == 1 ? parts_.era.left(1) : parts_.era; return;
    case u'E':
        // The first year of an era is "元" (令和元年).
        out_ += parts_.eraYear == 1 ? QStringLiteral("元") : Number(parts_.eraYear, std::min(count, 2));
        return;
    case u'H': {
        int hour = parts_.hour;
        if (TwelveHourClockAhead(format, i)) hour = hour % 12 == 0 ? 12 : hour % 12;
        out_ += Number(hour, std::min(count, 2));
        return;
    }
    case u'N': out_ += Number(parts_.minute, std::min(count, 2)); return;
    case u'S': out_ += Number(parts_.second, std::min(count, 2)); return;
    case u'Z': out_ += Number(parts_.msec, count == 1 ? 1 : 3); return;
    case u'T': return WriteTime(count > 1);
    default: out_ += format.mid(at, count); return;
    }
}

QString MonthMacro(const QString& name, const QString& value) { return name + QStringLiteral("=\"") + value + u'"'; }

QString Format(const QString& format, TDateTime date, bool expandMonthNames)
{
    TDateParts parts;
    if (format.isEmpty() || !SplitDate(date, parts)) return {};
    TMacroString macros;
    macros.SetQuoteStrip(false);
    if (expandMonthNames) macros.SetLines(MonthNameMacros(parts.date.month()));
    TDateWriter writer(parts);
    writer.Write(expandMonthNames ? macros.Expand(format) : format);
    return writer.Text();
}

}  // namespace

const QStringList& DateFormatChoices()
{
    static const QStringList formats = {
        QStringLiteral("m\"月\"d\"日\""),
        QStringLiteral("ggge\"年\"m\"月\""),
        QStringLiteral("ggge\"年\"m\"月\"d\"日\""),
        QStringLiteral("ggge\"年\"m\"月\"d\"日(\"aaa\")\""),
        QStringLiteral("ggge\"年\"m\"月\"d\"日(\"aaaa\")\""),
        QStringLiteral("ggge\"年\"m\"月\"d\"日\" h\"時\"n\"分\""),
        QStringLiteral("ggge\"年\"m\"月\"d\"日(\"aaa\")\" h\"時\"n\"分\""),
        QStringLiteral("yyyy\"年\"m\"月\""),
        QStringLiteral("yyyy\"年\"m\"月\"d\"日\""),
        QStringLiteral("yyyy\"年\"m\"月\"d\"日\" h\"時\"n\"分\""),
        QStringLiteral("yyyy\"年\"m\"月\"d\"日(\"aaa\")\" h\"時\"n\"分\""),
        QStringLiteral("yyyy\"/\"m"),
        QStringLiteral("yyyy\"/\"m\"/\"d"),
        QStringLiteral("yyyy\"/\"m\"/\"d ddd"),
        QStringLiteral("yyyy\"/\"m\"/\"d dddd"),
        QStringLiteral("yyyy\"/\"m\"/\"d hh\":\"nn"),
        QStringLiteral("yyyy\"/\"m\"/\"d h\":\"nn AM/PM"),
        QStringLiteral("yyyy\"/\"m\"/\"d ddd hh\":\"nn"),
        QStringLiteral("yyyy\"/\"m\"/\"d ddd h\":\"nn AM/PM"),
        QStringLiteral("yy\"/\"m"),
        QStringLiteral("yy\"/\"m\"/\"d"),
        QStringLiteral("yy\"/\"m\"/\"d ddd"),
        QStringLiteral("yy\"/\"m\"/\"d dddd"),
        QStringLiteral("yy\"/\"m\"/\"d hh\":\"nn"),
        QStringLiteral("yy\"/\"m\"/\"d h\":\"nn AM/PM"),
        QStringLiteral("yy\"/\"m\"/\"d ddd hh\":\"nn"),
        QStringLiteral("yy\"/\"m\"/\"d ddd h\":\"nn AM/PM"),
        QStringLiteral("yyyy\"-\"mm\"-\"dd"),
        QStringLiteral("$(LongMonthA) d','yyyy"),
        QStringLiteral("$(ShortMonthA) d\",\"yyyy"),
        QStringLiteral("$(ShortMonthC)\".\"d\",\"yyyy"),
        QStringLiteral("$(LongMonthA)\",\" yyyy"),
        QStringLiteral("$(ShortMonthA)\",\" yyyy"),
        QStringLiteral("$(ShortMonthC)\",\" yyyy"),
        QStringLiteral("$(LongMonthA)\",\" yy"),
        QStringLiteral("$(ShortMonthA)\"-\"yy"),
        QStringLiteral("d $(LongMonthA)\",\" yy"),
        QStringLiteral("d $(LongMonthA) \"'\"yy"),
        QStringLiteral("d $(ShortMonthA) \"'\" yy"),
        QStringLiteral("d $(ShortMonthC)\".'\"yy"),
        QStringLiteral("d\"/\"mm\"/\"yy"),
    };
    return formats;
}

QStringList MonthNameMacros(int month)
{
    const TIcuNames& names = IcuNames();
    const QString wide = Name(names.englishMonths[1], month - 1), abbreviated = Name(names.englishMonths[0], month - 1);
    return {
        MonthMacro(QStringLiteral("LongMonthA"), wide),
        MonthMacro(QStringLiteral("LongMonthB"), wide.toLower()),
        MonthMacro(QStringLiteral("LongMonthC"), wide.toUpper()),
        MonthMacro(QStringLiteral("ShortMonthA"), abbreviated),
        MonthMacro(QStringLiteral("ShortMonthB"), abbreviated.toLower()),
        MonthMacro(QStringLiteral("ShortMonthC"), abbreviated.toUpper()),
    };
}

QString FormatDateTime(const QString& format, TDateTime date) { return Format(format, date, false); }

QString FormatDate(const QString& format, TDateTime date) { return Format(format, date, true); }

}  // namespace kestrel

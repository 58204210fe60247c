#include "text/DateFormat.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <cmath>
#include <gtest/gtest.h>

#include "app/MacroString.h"

namespace kestrel {
namespace {

struct TCivil {
    int year, month, day, hour, minute;
};

// Encoded as the document stores dates: before 30 December 1899 the time counts away from zero.
TDateTime Serial(const TCivil& c)
{
    const double days = QDate(1899, 12, 30).daysTo(QDate(c.year, c.month, c.day));
    const double time = (c.hour * 60 + c.minute) / 1440.0;
    return days < 0 ? days - time : days + time;
}

// Each offered format as an ICU pattern with its locale, upper-cased where the month macro is.
struct TIcuPattern {
    const char* pattern;
    const char* locale;
    bool upper = false;
};

const char* const Ja = "ja_JP";
const char* const JaEra = "ja_JP@calendar=japanese";
const char* const En = "en_US";

const std::vector<TIcuPattern>& IcuPatterns()
{
    static const std::vector<TIcuPattern> patterns = {
        {"M月d日", Ja},
        {"GGGGy年M月", JaEra},
        {"GGGGy年M月d日", JaEra},
        {"GGGGy年M月d日(E)", JaEra},
        {"GGGGy年M月d日(EEEE)", JaEra},
        {"GGGGy年M月d日 H時m分", JaEra},
        {"GGGGy年M月d日(E) H時m分", JaEra},
        {"yyyy年M月", Ja},
        {"yyyy年M月d日", Ja},
        {"yyyy年M月d日 H時m分", Ja},
        {"yyyy年M月d日(E) H時m分", Ja},
        {"yyyy/M", En},
        {"yyyy/M/d", En},
        {"yyyy/M/d E", En},
        {"yyyy/M/d EEEE", En},
        {"yyyy/M/d HH:mm", En},
        {"yyyy/M/d h:mm a", En},
        {"yyyy/M/d E HH:mm", En},
        {"yyyy/M/d E h:mm a", En},
        {"yy/M", En},
        {"yy/M/d", En},
        {"yy/M/d E", En},
        {"yy/M/d EEEE", En},
        {"yy/M/d HH:mm", En},
        {"yy/M/d h:mm a", En},
        {"yy/M/d E HH:mm", En},
        {"yy/M/d E h:mm a", En},
        {"yyyy-MM-dd", En},
        {"MMMM d,yyyy", En},
        {"MMM d,yyyy", En},
        {"MMM.d,yyyy", En, true},
        {"MMMM, yyyy", En},
        {"MMM, yyyy", En},
        {"MMM, yyyy", En, true},
        {"MMMM, yy", En},
        {"MMM-yy", En},
        {"d MMMM, yy", En},
        {"d MMMM ''yy", En},
        {"d MMM '' yy", En},
        {"d MMM.''yy", En, true},
        {"d/MM/yy", En},
    };
    return patterns;
}

// Era changes on both sides, midnight, noon and afternoon for the 12-hour clock, a leap day,
// the turn of a century and a date before the day count's origin.
const std::vector<TCivil>& Dates()
{
    static const std::vector<TCivil> dates = {
        {2019, 4, 30, 9, 5},   {2019, 5, 1, 0, 0},    {1989, 1, 7, 12, 0},   {1989, 1, 8, 13, 7},
        {2005, 5, 5, 15, 4},   {1926, 12, 24, 23, 59}, {1926, 12, 25, 1, 1},  {1912, 7, 29, 11, 59},
        {1912, 7, 30, 12, 1},  {2000, 2, 29, 23, 59}, {1999, 12, 31, 6, 30}, {2024, 9, 1, 10, 10},
        {1868, 10, 23, 8, 0},  {2030, 11, 11, 20, 20}, {1899, 12, 29, 6, 0},
    };
    return dates;
}

// ICU's answers, keyed by date index and pattern index.
std::map<std::pair<int, int>, QString> IcuReference()
{
    QJsonArray dates, patterns;
    for (const TCivil& c : Dates()) dates.append(QJsonArray{c.year, c.month, c.day, c.hour, c.minute});
    for (const TIcuPattern& p : IcuPatterns())
        patterns.append(QJsonArray{QString::fromUtf8(p.pattern), QString::fromLatin1(p.locale), p.upper});
    QProcess python;
    python.start("/usr/bin/python3", {QStringLiteral(KESTREL_TEST_SOURCE_DIR "/text/date_reference.py")});
    python.write(QJsonDocument(QJsonObject{{"dates", dates}, {"patterns", patterns}}).toJson());
    python.closeWriteChannel();
    EXPECT_TRUE(python.waitForFinished(60000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    std::map<std::pair<int, int>, QString> answers;
    for (const QString& line : QString::fromUtf8(python.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() == 3) answers[{fields[0].toInt(), fields[1].toInt()}] = fields[2];
    }
    return answers;
}

TEST(DateFormat, EveryOfferedFormatAgreesWithIcu)
{
    ASSERT_EQ(DateFormatChoices().size(), IcuPatterns().size());
    const auto reference = IcuReference();
    ASSERT_EQ(reference.size(), Dates().size() * IcuPatterns().size());
    for (size_t d = 0; d < Dates().size(); ++d)
        for (qsizetype f = 0; f < DateFormatChoices().size(); ++f)
            EXPECT_EQ(FormatDate(DateFormatChoices()[f], Serial(Dates()[d])), reference.at({int(d), int(f)}))
                << "format " << DateFormatChoices()[f].toStdString() << ", date " << d;
}

TEST(DateFormat, EraChangesAndTheFirstYearOfAnEra)
{
    const QString era = QStringLiteral("ggge\"年\"m\"月\"d\"日\"");
    EXPECT_EQ(FormatDate(era, Serial({2019, 4, 30, 0, 0})), u"平成31年4月30日"_qs);
    EXPECT_EQ(FormatDate(era, Serial({2019, 5, 1, 0, 0})), u"令和元年5月1日"_qs);
    EXPECT_EQ(FormatDate(era, Serial({1989, 1, 7, 0, 0})), u"昭和64年1月7日"_qs);
    EXPECT_EQ(FormatDate(era, Serial({1989, 1, 8, 0, 0})), u"平成元年1月8日"_qs);
    // One "g" gives the era's first letter, "ee" two digits.
    EXPECT_EQ(FormatDateTime("g ee", Serial({2025, 1, 1, 0, 0})), u"令 07"_qs);
    EXPECT_EQ(FormatDate(DateFormatChoices()[29], Serial({2005, 5, 5, 0, 0})), "May 5,2005");
}

TEST(DateFormat, SpecifiersOutsideTheOfferedList)
{
    const TDateTime evening = Serial({2005, 5, 5, 21, 7}) + 9.5 / 86400;  // and 9.5 seconds
    EXPECT_EQ(FormatDateTime("c", evening), "2005/05/05 21:07:09");
    EXPECT_EQ(FormatDateTime("c", Serial({2005, 5, 5, 0, 0})), "2005/05/05");
    EXPECT_EQ(FormatDateTime("ddddd|dddddd", evening), u"2005/05/05|2005年5月5日"_qs);
    EXPECT_EQ(FormatDateTime("t|tt|h ampm", evening), u"21:07|21:07:09|9 午後"_qs);
    EXPECT_EQ(FormatDateTime("a/p A/P am/pm", evening), "p P pm");
    // An "m" after an hour is the minute, also across a literal; "mmm" is the Japanese month.
    EXPECT_EQ(FormatDateTime("h\"時\"m|mmm|mmmm", evening), u"21時7|5月|5月"_qs);
    EXPECT_EQ(FormatDateTime("ss.zzz z", Serial({2005, 5, 5, 0, 0}) + 1.25 / 86400), "01.250 250");
    EXPECT_EQ(FormatDateTime("'unclosed", evening), "unclosed");
    EXPECT_EQ(FormatDateTime("YYYY Dd", evening), "2005 05");
}

TEST(DateFormat, DocumentValuesThatAreNoDateGiveNoText)
{
    EXPECT_EQ(FormatDate("", 38477.0), "");
    EXPECT_EQ(FormatDate("yyyy", -693594.0), "");  // before the year 1
    EXPECT_EQ(FormatDate("yyyy", 2958466.0), "");   // the year 10000
    EXPECT_EQ(FormatDate("yyyy", std::nan("")), "");
    EXPECT_EQ(FormatDate("yyyy", HUGE_VAL), "");
    EXPECT_EQ(FormatDate("yyyy/mm/dd", -693593.0), "0001/01/01");
    EXPECT_EQ(FormatDate("yyyy/mm/dd hh:nn", 2958465.9999999), "9999/12/31 23:59");
    // A time that rounds up to midnight belongs to the next day.
    EXPECT_EQ(FormatDate("d hh:nn:ss", 1.0 - 1e-10), "31 00:00:00");
    // The format is text from the document: macros other than the month names are refused,
    // and expanded values are never read as specifiers.
    EXPECT_THROW(FormatDate("$(AppName) yyyy", 38477.0), EMacroString);
    EXPECT_EQ(FormatDate("$(LongMonthB) $(LongMonthC) $(ShortMonthB)", Serial({2005, 12, 1, 0, 0})),
              "december DECEMBER dec");
    EXPECT_EQ(FormatDate("%d%n yyyy", 38477.0), "%5%0 2005");
}

}  // namespace
}  // namespace kestrel

#pragma once

// The text of date fields: a format from the document, expanded as a macro text with the month
// names of the date, then formatted by our own formatter (never a printf-style call).
//
// Specifiers, letters in any case: d dd (day), ddd dddd (English day name), ddddd dddddd (short
// and long date), aaa aaaa (Japanese day name), m mm (month, or minute right after an hour),
// mmm mmmm (Japanese month name), yy yyyy, g (first letter of the era), gg ggg (era name),
// e ee (year of the era, the first year "元"), h hh (hour, 12-hour when an am/pm specifier
// follows), n nn (minute), s ss (second), z zzz (millisecond), t tt (short and long time),
// c (date and time), AM/PM A/P (in the case written), ampm (午前/午後), "/" and ":". Text in
// double or single quotes is copied as it is; any other character too. Era and day names come
// from ICU's Japanese calendar.

#include <QString>
#include <QStringList>

namespace kestrel {

// Dates are days since 30 December 1899, the fraction being the time of day.
using TDateTime = double;

// The formats the date property screen offers, in its order.
const QStringList& DateFormatChoices();

// The six month-name macros of the date's month ("LongMonthA=\"May\"", ...), each value in
// double quotes so that the formatter takes it literally.
QStringList MonthNameMacros(int month);

// The format with the month-name macros expanded, then formatted. Empty for an empty format and
// for a date outside the years 1 to 9999. Raises EMacroString for a malformed or unknown macro.
QString FormatDate(const QString& format, TDateTime date);

// The formatter alone, without macro expansion.
QString FormatDateTime(const QString& format, TDateTime date);

}  // namespace kestrel

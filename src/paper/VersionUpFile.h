#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>

namespace kestrel {

// Date and time of text such as "2005/04/01 10:30:00", "2005-4-1 10:30:00" or "2005.4.1": year,
// separator, month, separator, day, hour, separator, minute, separator, second, each number a
// run of digits and each separator any one character (a double-byte one too); blanks, control
// characters and full-width spaces between them are skipped; what is missing counts as 0. Days
// since 30 December 1899 (the fraction is the time of day), or 0 when the date or the time is
// not a valid one. Never reads past the end of the text.
double ReadUpdateDateTime(QByteArrayView text);

// Items of comma text: separated by commas, or by blanks and control characters outside double
// quotes; a doubled quote inside a quoted item is one quote. Code page 932 aware.
QList<QByteArray> SplitCommaText(QByteArrayView text);

// What a version-up file announces.
struct TVersionUp {
    int version = 0;      // pattern number of the published catalogue
    double date = 0;      // its date and time, as ReadUpdateDateTime gives it
    QString catalogue;    // its file name, relative to the folder of the version-up file
    // A name ending in ".ppr" (any case) is a plain catalogue; any other is a compressed container.
    bool Compressed() const;
};

// The largest version-up file read.
inline constexpr qsizetype MaxVersionUpFileSize = 64 * 1024;

// The three lines of a version-up file (code page 932): "CORVIDNET VERSION UP FILE" in any letter
// case, the comma text of pattern number and date, the catalogue's file name. Nothing unless the
// file is exactly that.
std::optional<TVersionUp> ReadVersionUpFile(QByteArrayView body);

// The pattern number with at least four digits ("0007"), and a date as "2005年4月1日" ("未更新"
// when its whole-day part is not above 0): how the update dialogs show a catalogue's version.
QString PatternNumberText(int number);
QString UpdateDateText(double days);
// A date and time as "2005/04/01 10:30:00", which ReadUpdateDateTime reads back; empty for a
// value not above 0.
QString UpdateDateTimeText(double days);

}  // namespace kestrel

#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <exception>
#include <functional>
#include <optional>

#include "label/LabelExport.h"
#include "platform/Error.h"

namespace kestrel {

inline constexpr int kUsageError = 2;
// The most sheets a command creates or addresses.
inline constexpr int kMaxSheets = 1000;

// The option's value as a number within min..max; nothing when it is not one.
std::optional<int> NumberArgument(const QString& text, int min, int max);

// "エラー: " and the message, its further lines indented; answers the exit code 1.
int ReportError(QTextStream& errors, const QString& message);
// "警告: " and each warning, on standard error.
void ReportWarnings(QTextStream& errors, const QStringList& warnings);
// Output that would not show the document as stored is refused unless the user asked for it
// anyway (--anyway): the error lists what cannot be drawn. Empty problems: nothing to refuse.
int RefuseForProblems(QTextStream& errors, const QStringList& problems);

class TLabelData;
// What the current sheet's objects cannot draw as stored (a QR code whose data does not fit),
// one line per object, naming the sheet, the face and the object.
QStringList SheetProblems(TLabelData& document);

// Reports a document that could not be read as the window reports a file it cannot open, with
// the cause; answers the exit code.
int ReportUnreadable(const QString& file, const std::exception& e, QTextStream& errors);

// A wrong command-line argument; its message names the option and the value.
class EArgumentError : public EKestrel {
public:
    // "--sheet 0: シート番号は1から3までです"; without a value "--out: ...".
    EArgumentError(const QString& option, const QString& value, const QString& problem);
};

// The option's value as a whole number; what names it in the message ("シート番号").
int IntegerOption(const QString& option, const QString& value, const QString& what);
// The value, which must lie within min..max.
int CheckedRange(const QString& option, int value, int min, int max, const QString& what);
// The value that follows option at index i (moved past it); fails when there is none.
const QString& OptionValue(const QStringList& arguments, int& i);
// The whole number that follows the option at index i, within min..max (moved past it).
int RangedOption(const QStringList& arguments, int& i, int min, int max, const QString& what);
// The one letter out of allowed that follows the option at index i (moved past it).
char LetterOption(const QStringList& arguments, int& i, const char* allowed, const QString& what);

// Fails for an option the command does not know, or a second file where one is expected.
[[noreturn]] void ThrowUnexpectedArgument(const QString& arg);
// The one file argument of a command; placeholder and what name it when it is missing.
QString SingleFileArgument(const QStringList& arguments, const QString& placeholder, const QString& what);

// Reports a wrong argument with the command's usage line; answers kUsageError.
int ReportArgumentError(QTextStream& errors, const EArgumentError& e, const QString& usage);

// Fails naming option and file unless the extension is one of the formats, PDF only when allowed.
TOutputFormat OutputFormatOf(const QString& option, const QString& file, bool pdfAllowed);

// Writes a PNG, JPEG or BMP file, as its extension says, through a temporary file beside the
// target; raises EKestrel when it cannot.
void SavePicture(const QImage& picture, const QString& file);
// Writes a picture too large to hold whole: draw(sink) hands its bands to sink, top to bottom.
// The file replaces the target only when draw returns true.
void SavePictureInBands(const QString& file, QSize size, int dpi,
                        const std::function<bool(const std::function<void(const QImage&)>& sink)>& draw);

}  // namespace kestrel

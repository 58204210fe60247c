#pragma once

#include <QImage>
#include <QString>
#include <QTextStream>
#include <optional>

namespace kestrel {

class EKestrel;

inline constexpr int kUsageError = 2;
// The most sheets a command creates or addresses.
inline constexpr int kMaxSheets = 1000;

// The option's value as a number within min..max; nothing when it is not one.
std::optional<int> NumberArgument(const QString& text, int min, int max);

// Reports an unreadable document as the window reports a file it cannot open, with the cause;
// answers the exit code.
int ReportUnreadable(const EKestrel& e, QTextStream& errors);

// Writes a PNG through a temporary file beside the target; raises EKestrel when it cannot.
void SavePicture(const QImage& picture, const QString& file);

}  // namespace kestrel

#pragma once

#include <QImage>
#include <QString>
#include <optional>

namespace kestrel {

inline constexpr int kUsageError = 2;

// The option's value as a number within min..max; nothing when it is not one.
std::optional<int> NumberArgument(const QString& text, int min, int max);

// Writes a PNG through a temporary file beside the target; raises EKestrel when it cannot.
void SavePicture(const QImage& picture, const QString& file);

}  // namespace kestrel

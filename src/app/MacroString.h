#pragma once

#include <QString>
#include <QStringList>

#include "platform/Error.h"

namespace kestrel {

// A macro text could not be expanded.
class EMacroString : public EKestrel {
public:
    using EKestrel::EKestrel;
    const char* ClassName() const override { return "EMacroString"; }
};

// The macro table: one "name=value" line per macro, names compared case-insensitively.
// Expand replaces every "$(Name)" (or "$(Name:specifier)") by the macro's expanded value.
class TMacroString {
public:
    const QStringList& Lines() const { return lines_; }
    void SetLines(const QStringList& lines) { lines_ = lines; }
    // The value of the first line with that name; empty when there is none.
    QString Value(const QString& name) const;
    // Replaces the value of the first line with that name, or appends a line.
    void SetValue(const QString& name, const QString& value);

    // Strip one pair of surrounding double quotes from expanded values (on by default).
    void SetQuoteStrip(bool on) { quoteStrip_ = on; }

    // Raises EMacroString for malformed or unclosed macros, undefined macros or specifiers and
    // circular references.
    QString Expand(const QString& text) const;

private:
    qsizetype IndexOf(const QString& name) const;
    QString Resolve(const QString& reference) const;
    QString StripQuotes(const QString& text) const;

    QStringList lines_;
    bool quoteStrip_ = true;
    // Names being expanded right now, to detect a macro that refers back to itself.
    mutable QStringList expanding_;
};

}  // namespace kestrel

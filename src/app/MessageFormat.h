#pragma once

#include <QList>
#include <QString>

namespace kestrel {

// One argument of FormatText: text or a number.
class TFormatArg {
public:
    TFormatArg(const QString& text) : text_(text) {}
    TFormatArg(const char* text) : text_(QString::fromUtf8(text)) {}
    TFormatArg(int number) : text_(QString::number(number)) {}
    TFormatArg(qint64 number) : text_(QString::number(number)) {}
    const QString& Text() const { return text_; }

private:
    QString text_;
};
using TFormatArgs = QList<TFormatArg>;

// Fills the "%s" and "%d" placeholders of an already expanded template from left to right;
// "%%" gives one "%". Arguments are inserted verbatim, so user text is never read as a
// placeholder or a macro. A placeholder without an argument stays as it is.
QString FormatText(const QString& templ, const TFormatArgs& args);

}  // namespace kestrel

#include "app/MessageFormat.h"

namespace kestrel {

QString FormatText(const QString& templ, const TFormatArgs& args)
{
    QString out;
    out.reserve(templ.size());
    qsizetype next = 0;
    for (qsizetype i = 0; i < templ.size(); ++i) {
        const QChar c = templ[i];
        const QChar spec = i + 1 < templ.size() ? templ[i + 1] : QChar();
        if (c != u'%' || (spec != u's' && spec != u'd' && spec != u'%')) {
            out += c;
            continue;
        }
        ++i;
        if (spec == u'%')
            out += u'%';
        else if (next < args.size())
            out += args[next++].Text();
        else
            out += c + QString(spec);
    }
    return out;
}

}  // namespace kestrel

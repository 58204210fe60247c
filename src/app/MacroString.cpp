#include "app/MacroString.h"

#include "app/MessageFormat.h"

namespace kestrel {

namespace {

QString NameOfLine(const QString& line)
{
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? line : line.left(eq);
}

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Marks a name as being expanded for as long as it is in scope, also when expansion throws.
class TExpansionMark {
public:
    TExpansionMark(QStringList& names, const QString& name) : names_(names) { names_.append(name); }
    ~TExpansionMark() { names_.removeLast(); }
    TExpansionMark(const TExpansionMark&) = delete;
    TExpansionMark& operator=(const TExpansionMark&) = delete;

private:
    QStringList& names_;
};

// The short (8.3) form of a path exists only on Windows; here the path stays, within the 256
// characters that the short form would allow.
constexpr qsizetype kShortPathLimit = 256;

}  // namespace

qsizetype TMacroString::IndexOf(const QString& name) const
{
    for (qsizetype i = 0; i < lines_.size(); ++i)
        if (SameName(NameOfLine(lines_[i]), name)) return i;
    return -1;
}

QString TMacroString::Value(const QString& name) const
{
    const qsizetype i = IndexOf(name);
    if (i < 0) return {};
    const QString& line = lines_[i];
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QString() : line.mid(eq + 1);
}

void TMacroString::SetValue(const QString& name, const QString& value)
{
    const QString line = name + u'=' + value;
    const qsizetype i = IndexOf(name);
    if (i < 0)
        lines_.append(line);
    else
        lines_[i] = line;
}

QString TMacroString::StripQuotes(const QString& text) const
{
    if (quoteStrip_ && text.size() > 1 && text.startsWith(u'"') && text.endsWith(u'"'))
        return text.mid(1, text.size() - 2);
    return text;
}

QString TMacroString::Expand(const QString& text) const
{
    QString out;
    int depth = 0;
    qsizetype start = 0;  // index of the "(" that opened the outermost macro
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'$' && i + 1 < text.size() && text[i + 1] == u'(') {
            if (depth++ == 0) start = i + 1;
            ++i;
        } else if (depth == 0) {
            out += text[i];
        } else if (text[i] == u')' && --depth == 0) {
            const QString name = text.mid(start + 1, i - start - 1);
            if (name.isEmpty())
                throw EMacroString(
                    FormatText("%sの%d文字目から始まるマクロが間違っています", {text, int(start + 1)}));
            out += Resolve(name);
        }
    }
    if (depth > 0)
        throw EMacroString(
            FormatText("%sの%d文字目から始まるマクロが閉じていません", {text, int(start + 1)}));
    return StripQuotes(out);
}

QString TMacroString::Resolve(const QString& reference) const
{
    QString name = Expand(reference);
    QString specifier;
    if (const qsizetype colon = name.indexOf(u':'); colon >= 0) {
        specifier = name.mid(colon + 1);
        name.truncate(colon);
    }
    if (expanding_.contains(name, Qt::CaseInsensitive))
        throw EMacroString(FormatText("%s マクロが循環参照されています", {name}));

    const bool mayBeEmpty = SameName(specifier, "unessential") || SameName(specifier, "inessential");
    const QString raw = Value(name);
    if (raw.isEmpty() && !mayBeEmpty)
        throw EMacroString(FormatText("未定義の%sマクロが使用されています", {name}));

    QString value;
    {
        TExpansionMark mark(expanding_, name);
        value = StripQuotes(Expand(raw));
    }
    if (SameName(specifier, "Drive")) return value.left(1);
    if (SameName(specifier, "shortPath")) return value.left(kShortPathLimit);
    if (!specifier.isEmpty() && !mayBeEmpty)
        throw EMacroString(FormatText("未定義のフォーマット指定(%s)が使用されています", {specifier}));
    return value;
}

}  // namespace kestrel

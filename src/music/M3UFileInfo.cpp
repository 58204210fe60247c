#include "music/M3UFileInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "music/Mp3FileInfo.h"
#include "platform/Cp932.h"

namespace kestrel {

namespace {

constexpr int kMaxTitleLength = 255;
constexpr char16_t kFullWidthSpace = 0x3000;

bool IsBlank(QChar c)
{
    return c.unicode() <= u' ' || c == QChar(kFullWidthSpace);
}

bool IsAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool IsHexDigit(QChar c)
{
    return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

qsizetype SkipWhile(const QString& line, qsizetype pos, bool (*test)(QChar))
{
    while (pos < line.size() && test(line[pos])) ++pos;
    return pos;
}

// The length of the token at pos: a quoted string with its quotes, "$" and hexadecimal digits,
// a number, a comparison sign, an identifier, or one character.
qsizetype TokenLength(const QString& line, qsizetype pos)
{
    const QChar c = line[pos];
    if (c == u'"' || c == u'\'') {
        const qsizetype close = line.indexOf(c, pos + 1);
        return (close < 0 ? line.size() : close + 1) - pos;
    }
    if (c == u'$' && pos + 1 < line.size() && IsHexDigit(line[pos + 1])) return SkipWhile(line, pos + 1, IsHexDigit) - pos;
    if (IsDigit(c)) {
        qsizetype end = SkipWhile(line, pos, IsDigit);
        if (end + 1 < line.size() && line[end] == u'.' && IsDigit(line[end + 1])) end = SkipWhile(line, end + 1, IsDigit);
        if (end < line.size() && (line[end] == u'e' || line[end] == u'E')) {
            qsizetype exponent = end + 1;
            if (exponent < line.size() && (line[exponent] == u'+' || line[exponent] == u'-')) ++exponent;
            if (exponent < line.size() && IsDigit(line[exponent])) end = SkipWhile(line, exponent, IsDigit);
        }
        return end - pos;
    }
    if (c == u'<' && pos + 1 < line.size() && (line[pos + 1] == u'>' || line[pos + 1] == u'=')) return 2;
    if (c == u'>' && pos + 1 < line.size() && line[pos + 1] == u'=') return 2;
    if (IsAsciiLetter(c) || c == u'_')
        return SkipWhile(line, pos, [](QChar x) { return IsAsciiLetter(x) || IsDigit(x) || x == u'_'; }) - pos;
    return 1;
}

QStringList Tokens(const QString& line)
{
    QStringList tokens;
    for (qsizetype pos = SkipWhile(line, 0, IsBlank); pos < line.size(); pos = SkipWhile(line, pos, IsBlank)) {
        const qsizetype length = TokenLength(line, pos);
        tokens << line.mid(pos, length);
        pos += length;
    }
    return tokens;
}

bool Same(const QString& token, const char* word)
{
    return token.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool IsQuoted(const QString& token)
{
    return token.size() >= 2 && (token[0] == u'"' || token[0] == u'\'') && token.back() == token[0];
}

// The markup's five character entities written out.
QString DecodeEntities(QString text)
{
    return text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&apos;"), QStringLiteral("'"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

QString Unquoted(const QString& token)
{
    return DecodeEntities(token.mid(1, token.size() - 2));
}

// "h:mm:ss.ff" as seconds; fewer parts are minutes and seconds, or seconds.
int DurationSeconds(QString text)
{
    const qsizetype dot = text.lastIndexOf(u'.');
    if (dot >= 0) text.truncate(dot);
    int seconds = 0;
    for (const QString& part : text.split(u':').mid(0, 3)) seconds = seconds * 60 + part.trimmed().toInt();
    return seconds;
}

QStringList TextLines(QByteArray bytes)
{
    bytes.replace('\0', ' ');
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return DecodeTextFile(bytes).split(lineBreak);
}

}  // namespace

bool TM3UFileInfo::Load()
{
    entries_.clear();
    albumTitle_.clear();
    albumArtist_.clear();
    const QFileInfo info(fileName_);
    if (!info.isFile() || info.size() > MaxFileSize) return false;
    QFile file(fileName_);
    if (!file.open(QIODevice::ReadOnly)) return false;
    return Load(file.read(MaxFileSize));
}

bool TM3UFileInfo::Load(QByteArrayView bytes)
{
    entries_.clear();
    albumTitle_.clear();
    albumArtist_.clear();
    const QStringList lines = TextLines(bytes.first(std::min<qsizetype>(bytes.size(), MaxFileSize)).toByteArray());
    if (lines.first().trimmed().startsWith(QStringLiteral("<ASX"), Qt::CaseInsensitive))
        LoadAsx(lines);
    else
        LoadM3U(lines);
    return !entries_.empty();
}

void TM3UFileInfo::LoadAsx(const QStringList& lines)
{
    for (const QString& line : lines) ReadAsxLine(line);
}

void TM3UFileInfo::ReadAsxLine(const QString& line)
{
    const QStringList tokens = Tokens(line);
    if (tokens.size() < 2 || tokens[0] != u"<") return;
    const QString& element = tokens[1];
    TEntry* entry = entries_.empty() ? nullptr : &entries_.back();
    if (Same(element, "ASX")) {
        entries_.clear();
    } else if (Same(element, "Entry")) {
        entries_.emplace_back();
    } else if (Same(element, "Title") && tokens.size() > 2 && tokens[2] == u">" && entry) {
        const qsizetype open = line.indexOf(u'>') + 1;
        const qsizetype close = line.lastIndexOf(u'<');
        entry->title = DecodeEntities(line.mid(open, close >= open ? close - open : -1));
    } else if (Same(element, "Ref") && entry) {
        for (qsizetype i = 2; i + 2 < tokens.size(); ++i)
            if (Same(tokens[i], "href") && tokens[i + 1] == u"=" && IsQuoted(tokens[i + 2])) {
                entry->path = Unquoted(tokens[i + 2]);
                break;
            }
    } else if (Same(element, "Param") && tokens.size() >= 8 && Same(tokens[2], "Name") && tokens[3] == u"=" &&
               IsQuoted(tokens[4]) && Same(tokens[5], "Value") && tokens[6] == u"=" && IsQuoted(tokens[7])) {
        const QString name = Unquoted(tokens[4]);
        const QString value = Unquoted(tokens[7]);
        const bool artist = Same(name, "Artist");
        if (!artist && !Same(name, "Album") && !Same(name, "Name")) return;
        if (!entry)
            (artist ? albumArtist_ : albumTitle_) = value;
        else if (Same(name, "Album"))
            entry->album = value;
        else
            entry->artist = value;
    } else if (Same(element, "Duration") && tokens.size() >= 5 && Same(tokens[2], "value") && tokens[3] == u"=" &&
               IsQuoted(tokens[4]) && entry) {
        entry->duration = QString::number(DurationSeconds(Unquoted(tokens[4])));
    }
}

void TM3UFileInfo::LoadM3U(const QStringList& lines)
{
    TEntry pending;
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty()) continue;
        if (!line.startsWith(u'#')) {
            CompleteM3UEntry(pending);
            pending.path = line;
        } else if (line.mid(1, 6).compare(QLatin1String("EXTINF"), Qt::CaseInsensitive) == 0) {
            CompleteM3UEntry(pending);
            const QString info = line.mid(8);
            const qsizetype comma = info.indexOf(u',');
            pending.duration = comma < 0 ? info : info.left(comma);
            pending.title = comma < 0 ? QString() : info.mid(comma + 1).left(kMaxTitleLength).trimmed();
        }
    }
    CompleteM3UEntry(pending);
}

void TM3UFileInfo::CompleteM3UEntry(TEntry& pending)
{
    if (pending.path.isEmpty()) return;
    TEntry entry = std::exchange(pending, {});
    if (entry.title.isEmpty()) {
        entry.duration.clear();
        TMP3FileInfo tags;
        tags.SetFileName(Resolved(entry.path));
        if (readTags_ && tags.Read()) {
            entry.title = tags.Title();
            entry.duration = QString::number(tags.Seconds());
        }
    }
    entries_.push_back(std::move(entry));
}

// Relative paths are taken from the playlist's own folder, wherever the program was started.
QString TM3UFileInfo::Resolved(const QString& path) const
{
    if (QDir::isAbsolutePath(path)) return path;
    return QFileInfo(fileName_).absoluteDir().filePath(path);
}

const TM3UFileInfo::TEntry* TM3UFileInfo::EntryAt(int i) const
{
    return i >= 1 && i <= Count() ? &entries_[size_t(i - 1)] : nullptr;
}

QString TM3UFileInfo::Path(int i) const
{
    const TEntry* entry = EntryAt(i);
    return entry ? Resolved(entry->path) : QString();
}

QString TM3UFileInfo::Title(int i) const
{
    const TEntry* entry = EntryAt(i);
    return entry ? entry->title : QString();
}

QString TM3UFileInfo::Artist(int i) const
{
    const TEntry* entry = EntryAt(i);
    return entry ? entry->artist : QString();
}

QString TM3UFileInfo::Album(int i) const
{
    const TEntry* entry = EntryAt(i);
    return entry ? entry->album : QString();
}

// The whole seconds of the entry's time ("185.5" counts as 185).
int TM3UFileInfo::Duration(int i) const
{
    const TEntry* entry = EntryAt(i);
    if (!entry) return 0;
    static const QRegularExpression number(QStringLiteral("^\\s*(-?\\d{1,9})"));
    const QRegularExpressionMatch match = number.match(entry->duration);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

}  // namespace kestrel

#include "label/Templates.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "app/AppFrame.h"
#include "document/Capabilities.h"
#include "document/DOList.h"
#include "document/DrawObject.h"
#include "label/LabelData.h"
#include "paper/FaceInfo.h"
#include "platform/CSVData.h"
#include "platform/Cp932.h"
#include "platform/Error.h"
#include "platform/IniText.h"
#include "platform/ReplacingFile.h"

namespace kestrel {

namespace {
constexpr qint64 FavouritesLimit = 4 * 1024 * 1024;
const QString RangeKey = QStringLiteral("ShortStyleDefine");

QString Flag(bool value) { return value ? QStringLiteral("-1") : QStringLiteral("0"); }

int NumberOr(const QByteArray& field, int fallback)
{
    bool ok = false;
    const int n = field.trimmed().toInt(&ok);
    return ok ? n : fallback;
}

// Backslashes and slashes alike, no trailing separator, lower case.
QString ComparablePath(QString path)
{
    path.replace(u'\\', u'/');
    while (path.endsWith(u'/')) path.chop(1);
    return path.toLower();
}

// The format with its one "%s" replaced; nothing for a format with any other specifier.
std::optional<QString> SubstituteOnce(const QString& format, const QString& value)
{
    const qsizetype at = format.indexOf(u'%');
    if (at < 0 || at + 1 >= format.size() || format[at + 1] != u's') return std::nullopt;
    if (format.indexOf(u'%', at + 2) >= 0) return std::nullopt;
    return format.left(at) + value + format.mid(at + 2);
}

QString Padded(int64_t n, int digits)
{
    return QString::number(n).rightJustified(std::clamp(digits, 0, 32), u'0');
}
}  // namespace

bool TTemplateInfo::SameAs(const TTemplateInfo& other) const
{
    return fileName.compare(other.fileName, Qt::CaseInsensitive) == 0 && sheetIndex == other.sheetIndex &&
           faceIndex == other.faceIndex && wholeFile == other.wholeFile;
}

bool IsTemplateFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"mld" || suffix == u"mlt" || suffix == u"cjd";
}

TAspectClass AspectClassOf(int width, int height)
{
    if (width <= 0 || height <= 0) return acNone;
    const double ratio = double(width) / height;
    if (ratio > 0.9 && ratio < 1.1) return acSquare;
    return width > height ? acLandscape : acPortrait;
}

bool TemplateFaceFits(const TFaceGeometry* wanted, const TFaceGeometry& face)
{
    if (!wanted) return true;
    if (wanted->purpose != u"*" && wanted->purpose != face.purpose) return false;
    const TSheetRect want = wanted->rect;
    if (want.Width() <= 0 || want.Height() <= 0) return true;
    const TAspectClass have = AspectClassOf(face.rect.Width(), face.rect.Height());
    return have != acNone && have == AspectClassOf(want.Width(), want.Height());
}

// ---------------------------------------------------------------- TTemplateList

void TTemplateList::AddWholeFile(const QString& file)
{
    Add({file, 0, 0, true});
}

void TTemplateList::ScanFile(const QString& file, const TFaceGeometry* wanted, int sheetFilter, int faceFilter)
{
    const bool filtered = sheetFilter >= 0 && faceFilter >= 0;
    bool added = false;
    try {
        TLabelData document;
        document.LoadFromFile(file);
        for (int s = 0; s < document.SheetCount(); ++s) {
            if (filtered && s != sheetFilter) continue;
            document.SelectSheet(s);
            for (int f = 0; f < document.FaceCount(); ++f) {
                if (filtered && f != faceFilter) continue;
                if (!document.HasFaceObjects(f) || !TemplateFaceFits(wanted, document.Face(f))) continue;
                added = Add({file, s, f, false}) || added;
            }
        }
    } catch (const EKestrel&) {
        return;  // not a document we can read: skipped
    }
    if (!added && (!wanted || wanted->purpose == u"*")) AddWholeFile(file);
}

void TTemplateList::ScanFolder(const QString& path, const TFaceGeometry* wanted)
{
    Clear();
    const QFileInfo info(path);
    const QDir folder = info.isDir() ? QDir(path) : info.dir();
    const QStringList masks = info.isDir() ? QStringList() : QStringList{info.fileName()};
    for (const QFileInfo& file : folder.entryInfoList(masks, QDir::Files, QDir::Name)) {
        if (!IsTemplateFile(file.fileName())) continue;
        if (filesOnly_)
            AddWholeFile(file.filePath());
        else
            ScanFile(file.filePath(), wanted);
    }
}

int TTemplateList::IndexOf(const TTemplateInfo& entry) const
{
    const auto found = std::find_if(items_.begin(), items_.end(), [&](const TTemplateInfo& i) { return i.SameAs(entry); });
    return found == items_.end() ? -1 : int(found - items_.begin());
}

bool TTemplateList::Add(const TTemplateInfo& entry)
{
    if (IndexOf(entry) >= 0) return false;
    items_.push_back(entry);
    return true;
}

void TTemplateList::Remove(const TTemplateInfo& entry)
{
    std::erase_if(items_, [&](const TTemplateInfo& i) { return i.SameAs(entry); });
}

void TTemplateList::Refresh(const TFaceGeometry* wanted)
{
    std::vector<TTemplateInfo> distinct;
    for (const TTemplateInfo& entry : items_)
        if (std::none_of(distinct.begin(), distinct.end(), [&](const TTemplateInfo& d) { return d.SameAs(entry); }))
            distinct.push_back(entry);
    Clear();
    for (const TTemplateInfo& entry : distinct)
        if (QFileInfo(entry.fileName).isFile()) ScanFile(entry.fileName, wanted, entry.sheetIndex, entry.faceIndex);
}

void TTemplateList::SaveToFile(const QString& file) const
{
    TCSVData table;
    const QString base = baseFolder_.isEmpty() ? QString() : QDir::cleanPath(baseFolder_) + u'/';
    for (const TTemplateInfo& entry : items_) {
        const bool relative = !base.isEmpty() && entry.fileName.startsWith(base, Qt::CaseInsensitive);
        const QString name = relative ? entry.fileName.mid(base.size()) : entry.fileName;
        table.AddRow(TCSVStringList({ToCp932(name), QByteArray::number(entry.sheetIndex),
                                     QByteArray::number(entry.faceIndex), Flag(entry.wholeFile).toLatin1(),
                                     Flag(relative).toLatin1()}));
    }
    QDir().mkpath(QFileInfo(file).absolutePath());
    TReplacingFile out(file);
    if (!out.Open()) throw EKestrel(out.ErrorString());
    out.Device().write(table.SaveToBytes());
    if (!out.Commit()) throw EKestrel(out.ErrorString());
}

void TTemplateList::LoadFromFile(const QString& file)
{
    Clear();
    const QFileInfo info(file);
    if (!info.isFile() || info.size() > FavouritesLimit) return;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return;
    TCSVData table;
    table.LoadFromBytes(in.readAll());
    const QString base = baseFolder_.isEmpty() ? QString() : QDir::cleanPath(baseFolder_) + u'/';
    for (int r = 0; r < table.RowCount(); ++r) {
        const TCSVStringList& row = table.GetRow(r);
        TTemplateInfo entry;
        entry.fileName = FromCp932(row.Field(0));
        if (entry.fileName.isEmpty()) continue;
        entry.sheetIndex = NumberOr(row.Field(1), -1);
        entry.faceIndex = NumberOr(row.Field(2), -1);
        entry.wholeFile = row.Field(3).trimmed() != "0";
        const bool relative = row.Count() > 4 && row.Field(4).trimmed() != "0";
        if (relative) entry.fileName = base + entry.fileName;
        Add(entry);
    }
}

// ---------------------------------------------------------------- TTemplateGroup

TTemplateGroup::TTemplateGroup(const QString& fileName) : path_(TAppFrame::FindDataFile(fileName)) {}

void TTemplateGroup::SelectPurpose(const QString& purpose)
{
    dirs_.clear();
    names_.clear();
    if (!Found() || purpose.isEmpty()) return;
    for (const TIniSection& section : ReadIniFile(path_)) {
        if (section.name.compare(purpose, Qt::CaseInsensitive) != 0) continue;
        const QStringList dirs = section.Value(QStringLiteral("Dir")).split(u',', Qt::SkipEmptyParts);
        const QStringList names = section.Value(QStringLiteral("Name")).split(u',', Qt::SkipEmptyParts);
        for (qsizetype i = 0; i < std::min(dirs.size(), names.size()); ++i) {
            dirs_ << dirs[i].trimmed();
            names_ << names[i].trimmed();
        }
        return;
    }
}

QStringList TTemplateGroup::Purposes() const
{
    QStringList purposes;
    if (Found())
        for (const TIniSection& section : ReadIniFile(path_)) purposes << section.name;
    return purposes;
}

QString TTemplateGroup::GenreFolder(int i) const
{
    if (i < 0 || i >= dirs_.size()) return {};
    QString dir = dirs_[i];
    dir.replace(u'\\', u'/');
    const QString folder = QFileInfo(QFileInfo(path_).dir().filePath(dir)).absoluteFilePath();
    return QFileInfo(folder).isDir() ? folder : QString();
}

// ---------------------------------------------------------------- TIdIndex

std::vector<std::pair<QString, QString>> ExpandIdRange(const QString& value)
{
    const QStringList f = value.split(u',');
    if (f.size() < 7) return {};
    bool ok[5] = {};
    const int nameDigits = f[1].trimmed().toInt(&ok[0]);
    const int64_t first = f[2].trimmed().toLongLong(&ok[1]);
    const int64_t last = f[3].trimmed().toLongLong(&ok[2]);
    const int idDigits = f[5].trimmed().toInt(&ok[3]);
    const int64_t firstId = f[6].trimmed().toLongLong(&ok[4]);
    if (!std::all_of(std::begin(ok), std::end(ok), [](bool b) { return b; })) return {};
    if (last < first || last - first >= IdRangeLimit) return {};
    QString nameFormat = f[0].trimmed();
    // With the extras, the name is "format,extra 1,extra 2" before the number goes in.
    if (f.size() >= 9) nameFormat += u',' + f[7].trimmed() + u',' + f[8].trimmed();
    const QString idFormat = f[4].trimmed();
    std::vector<std::pair<QString, QString>> names;
    for (int64_t n = first; n <= last; ++n) {
        const auto name = SubstituteOnce(nameFormat, Padded(n, nameDigits));
        const auto id = SubstituteOnce(idFormat, Padded(firstId + n - first, idDigits));
        if (!name || !id) return {};
        names.emplace_back(name->toUpper(), id->toUpper());
    }
    return names;
}

TIdIndex TIdIndex::Load(const QString& fileName)
{
    const QString path = TAppFrame::FindDataFile(fileName);
    return path.isEmpty() ? TIdIndex() : FromSections(ReadIniFile(path));
}

TIdIndex TIdIndex::FromText(const QString& text)
{
    return FromSections(ParseIniText(text));
}

TIdIndex TIdIndex::FromSections(const std::vector<TIniSection>& sections)
{
    TIdIndex index;
    for (const TIniSection& section : sections)
        for (const auto& [key, value] : section.values) {
            if (key.startsWith(RangeKey, Qt::CaseInsensitive))
                for (auto& [name, id] : ExpandIdRange(value)) index.entries_.push_back({section.name, name, id});
            else
                index.entries_.push_back({section.name, key.toUpper(), value.trimmed().toUpper()});
        }
    return index;
}

QString TIdIndex::IdOf(const QString& filePath, const QString& name) const
{
    const QString folder = ComparablePath(QFileInfo(filePath).path());
    const QString wanted = name.toUpper();
    for (const TEntry& entry : entries_) {
        const QString section = ComparablePath(entry.folder);
        const bool inFolder = folder == section || folder.endsWith(u'/' + section);
        if (inFolder && entry.name == wanted) return entry.id;
    }
    return {};
}

QString TIdIndex::IdOf(const TTemplateInfo& entry) const
{
    const QString name = QStringLiteral("%1,%2,%3").arg(QFileInfo(entry.fileName).completeBaseName()).arg(entry.sheetIndex).arg(entry.faceIndex);
    return IdOf(entry.fileName, name);
}

std::optional<TIdIndex::TEntry> TIdIndex::EntryOf(const QString& id) const
{
    const QString wanted = id.trimmed().toUpper();
    for (const TEntry& entry : entries_)
        if (entry.id == wanted) return entry;
    return std::nullopt;
}

std::optional<TIdIndex::TTemplateRef> TIdIndex::TemplateOf(const QString& id) const
{
    const auto entry = EntryOf(id);
    if (!entry) return std::nullopt;
    const QStringList parts = entry->name.split(u',');
    if (parts.size() != 3) return std::nullopt;
    bool sheetOk = false, faceOk = false;
    TTemplateRef ref;
    ref.sheet = parts[1].toInt(&sheetOk);
    ref.face = parts[2].toInt(&faceOk);
    if (!sheetOk || !faceOk) return std::nullopt;
    QString folder = entry->folder;
    folder.replace(u'\\', u'/');
    ref.file = folder.isEmpty() ? parts[0] : folder + u'/' + parts[0];
    return ref;
}

QString TIdIndex::LocateTemplate(const TTemplateRef& ref)
{
    return TAppFrame::FindDataFile(QString(ref.file).replace(u'/', u'\\') + QStringLiteral(".*"));
}

// ---------------------------------------------------------------- calling a template up

TTemplateFace LoadTemplateFace(const TTemplateInfo& entry)
{
    TLabelData document;
    document.LoadFromFile(entry.fileName);
    document.SelectSheet(std::max(0, entry.wholeFile ? 0 : entry.sheetIndex));
    const int face = std::clamp(entry.wholeFile ? 0 : entry.faceIndex, 0, std::max(0, document.FaceCount() - 1));
    TTemplateFace result;
    const TSheetRect outer = document.Face(face).OuterRect();
    result.bounds = {0, 0, outer.Width(), outer.Height()};
    TDOList list;
    document.LoadFaceObjects(face, list);
    for (auto& object : list.ReleaseAll()) result.objects.push_back(std::move(object));
    return result;
}

}  // namespace kestrel

namespace kestrel {

QStringList TemplateCaptions(const TTemplateFace& face)
{
    QStringList captions;
    for (const auto& object : face.objects)
        if (const auto* input = dynamic_cast<const IDOWizardInput*>(object.get()); input && input->InputEnabled())
            captions << input->InputCaption();
    return captions;
}

void ApplyTemplate(TLabelData& document, int face, TTemplateFace templateFace)
{
    const TSheetRect outer = document.Face(face).OuterRect();
    TDOList list;
    // Stored from the back to the front; the document takes them from the front to the back.
    for (auto it = templateFace.objects.rbegin(); it != templateFace.objects.rend(); ++it) list.Add(std::move(*it));
    ScaleObjects(list, templateFace.bounds, {0, 0, outer.Width(), outer.Height()});
    for (TDrawObject* object : list.Items())
        if (auto* background = dynamic_cast<IDOFaceBackground*>(object)) background->SetFaceInfo(TFaceInfo(document.Face(face)));
    document.SaveFaceObjects(face, list);
}

std::vector<TShippedTemplate> ShippedTemplates()
{
    std::vector<TShippedTemplate> shipped;
    TTemplateGroup group;
    for (const QString& purpose : group.Purposes()) {
        group.SelectPurpose(purpose);
        for (int g = 0; g < group.GenreNames().size(); ++g) {
            TFaceGeometry wanted;
            wanted.purpose = purpose;
            TTemplateList list;
            list.ScanFolder(group.GenreFolder(g), &wanted);
            for (const TTemplateInfo& entry : list.Items()) shipped.push_back({purpose, group.GenreNames()[g], entry});
        }
    }
    return shipped;
}

std::optional<TTemplateInfo> FindShippedTemplate(const QString& nameOrId)
{
    if (const auto ref = TIdIndex::Load().TemplateOf(nameOrId)) {
        const QString file = TIdIndex::LocateTemplate(*ref);
        if (!file.isEmpty()) return TTemplateInfo{file, ref->sheet, ref->face, false};
    }
    for (const TShippedTemplate& shipped : ShippedTemplates())
        if (QFileInfo(shipped.entry.fileName).completeBaseName().compare(nameOrId, Qt::CaseInsensitive) == 0) return shipped.entry;
    return std::nullopt;
}

}  // namespace kestrel

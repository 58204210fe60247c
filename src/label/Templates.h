#pragma once

// Templates: faces of document files that the user calls up to replace the current face's
// design. They come from the shipped collection (genre folders per face purpose listed in
// "Data\Template\Template.dat"), from any document, and from the user's favourites.

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "paper/FaceGeometry.h"
#include "platform/Geometry.h"

namespace kestrel {

class TDrawObject;
class TLabelData;
struct TIniSection;

inline const QString TemplateGenreFile = QStringLiteral("Data\\Template\\Template.dat");
inline const QString TemplateIdFile = QStringLiteral("Data\\Template\\Template.ids");

struct TTemplateInfo {
    QString fileName;
    int sheetIndex = 0;
    int faceIndex = 0;
    bool wholeFile = false;  // no face of the file matched: the entry stands for the file

    // File names compare without regard to case.
    bool SameAs(const TTemplateInfo& other) const;
};

// "mld", "mlt" and "cjd", in any case.
bool IsTemplateFile(const QString& path);

enum TAspectClass { acNone, acSquare, acLandscape, acPortrait };
// Between 0.9 and 1.1 wide per high (exclusive) square, else landscape or portrait; a rectangle
// without height or width has none.
TAspectClass AspectClassOf(int width, int height);
// A face of a template fits the wanted face: any face fits no wanted face; otherwise the purposes
// agree ("*" wants any) and, unless the wanted face has no rectangle, so do the aspect classes.
// A template face without extent never fits a wanted rectangle.
bool TemplateFaceFits(const TFaceGeometry* wanted, const TFaceGeometry& face);

class TTemplateList {
public:
    int Count() const { return int(items_.size()); }
    const TTemplateInfo& Item(int i) const { return items_.at(size_t(i)); }
    const std::vector<TTemplateInfo>& Items() const { return items_; }
    void Clear() { items_.clear(); }
    bool FilesOnly() const { return filesOnly_; }
    void SetFilesOnly(bool value) { filesOnly_ = value; }
    const QString& BaseFolder() const { return baseFolder_; }
    void SetBaseFolder(const QString& folder) { baseFolder_ = folder; }

    void AddWholeFile(const QString& file);
    // The designed faces of the document that fit the wanted face (only sheet/face when both
    // filters are 0 or more); without any, a whole-file entry when nothing or "*" is wanted. A
    // file that cannot be read adds nothing.
    void ScanFile(const QString& file, const TFaceGeometry* wanted, int sheetFilter = -1, int faceFilter = -1);
    // Clears the list, then every template file of the folder (or of the mask "folder/*.mld").
    void ScanFolder(const QString& path, const TFaceGeometry* wanted);
    int IndexOf(const TTemplateInfo& entry) const;
    // False when it is there already.
    bool Add(const TTemplateInfo& entry);
    void Remove(const TTemplateInfo& entry);
    // Each distinct entry whose file still exists, scanned again with its own sheet and face.
    void Refresh(const TFaceGeometry* wanted);

    // Favourites: CSV rows of file, sheet, face, whole file and relative flag ("-1" true, "0"
    // false). Written through a temporary file; fails with the reason.
    void SaveToFile(const QString& file) const;
    // A missing file gives an empty list.
    void LoadFromFile(const QString& file);

private:
    std::vector<TTemplateInfo> items_;
    bool filesOnly_ = false;
    QString baseFolder_;
};

// The genre file: one section per face purpose, "Dir" the genre folders (relative to the genre
// file's folder) and "Name" the names shown for them.
class TTemplateGroup {
public:
    // Located through the program's data files; a genre file that cannot be found gives none.
    explicit TTemplateGroup(const QString& fileName = TemplateGenreFile);
    bool Found() const { return !path_.isEmpty(); }
    // The purposes the file has genres for, in file order.
    QStringList Purposes() const;
    const QString& FileName() const { return path_; }
    void SelectPurpose(const QString& purpose);
    const QStringList& GenreNames() const { return names_; }
    // The real folder of genre i; empty when it cannot be found.
    QString GenreFolder(int i) const;

private:
    QString path_;
    QStringList dirs_;
    QStringList names_;
};

// Short IDs of shipped pictures and templates: an INI file whose sections are folders; keys are
// names in upper case ("NAME,SHEET,FACE" for templates) and values IDs, or ranges
// ("ShortStyleDefine...": name format, name digits, first, last, ID format, ID digits, first ID
// [, extra 1, extra 2]).
class TIdIndex {
public:
    struct TEntry {
        QString folder;  // the section's folder as written
        QString name;    // upper case
        QString id;      // upper case
    };
    struct TTemplateRef {
        QString file;  // the section's folder joined to the name, without extension
        int sheet = 0;
        int face = 0;
    };

    // Located through the program's data files; missing gives an empty index.
    static TIdIndex Load(const QString& fileName = TemplateIdFile);
    static TIdIndex FromText(const QString& text);

    bool IsEmpty() const { return entries_.empty(); }
    const std::vector<TEntry>& Entries() const { return entries_; }
    // The ID of a name in the folder whose section's folder ends the path's folder; empty when
    // it has none.
    QString IdOf(const QString& filePath, const QString& name) const;
    QString IdOf(const TTemplateInfo& entry) const;
    std::optional<TEntry> EntryOf(const QString& id) const;
    std::optional<TTemplateRef> TemplateOf(const QString& id) const;
    // The template file of an ID's entry, found among the program's data with any extension;
    // empty when it cannot be found.
    static QString LocateTemplate(const TTemplateRef& ref);

private:
    static TIdIndex FromSections(const std::vector<TIniSection>& sections);

    std::vector<TEntry> entries_;
};

// The names and IDs of a range entry's value; nothing for a value that is not one (too few
// fields, formats with anything but exactly one "%s", a range of more than RangeLimit names).
inline constexpr int IdRangeLimit = 10000;
std::vector<std::pair<QString, QString>> ExpandIdRange(const QString& value);

// Loads the template's document and takes the face's objects out of it, with the face's outer
// rectangle in the template's paper (at the origin, as the objects stand in it).
struct TTemplateFace {
    std::vector<std::unique_ptr<TDrawObject>> objects;
    TRect bounds;
};
TTemplateFace LoadTemplateFace(const TTemplateInfo& entry);
// The input captions of the template face's wizard texts, in stored order (back to front).
QStringList TemplateCaptions(const TTemplateFace& face);
// Replaces face n's design with the template's objects, mapped from the template face onto the
// face's outer rectangle.
void ApplyTemplate(TLabelData& document, int face, TTemplateFace templateFace);
// Every face of the shipped collection offered for a purpose, by purpose and genre in the genre
// file's order.
struct TShippedTemplate {
    QString purpose;
    QString genre;
    TTemplateInfo entry;
};
std::vector<TShippedTemplate> ShippedTemplates();
// A shipped template by its file name without extension or by its ID, for the purpose's genres
// (every purpose when empty); nothing when none is found.
std::optional<TTemplateInfo> FindShippedTemplate(const QString& nameOrId);

}  // namespace kestrel

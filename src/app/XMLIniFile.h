#pragma once

// An ini-file-like store held in an XML document: sections are elements addressed by paths,
// values are their attributes. Used for the printer data of disc printing and for what plug-ins
// exchange. Files are code page 932 under the label "Shift_JIS", as the program's other text.

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Error.h"

struct _xmlNode;

namespace kestrel {

// A store operation failed: a file that is no XML, a path that is no path expression, a name
// that cannot be an element or attribute name.
class EXMLStore : public EKestrel {
public:
    using EKestrel::EKestrel;
    const char* ClassName() const override { return "EXMLStore"; }
};

class TXMLDocument;
class TXMLIniSectionList;

// One element of the store. A section is a light handle: copies address the same element, and
// the document lives as long as any handle to it, so a section of a deleted element stays safe
// to use (it is merely no longer part of the document).
//
// Paths are element steps separated by "\" (a "\" inside quotes or brackets belongs to its
// step); each step is an XPath expression evaluated from the current element, the first match
// taken. A leading "\" starts at the document element.
class TXMLIniSection {
public:
    // Resolves the path, creating missing elements (each after a line break, for readability).
    TXMLIniSection GetSection(const QString& path);
    // A new child element named name after the existing ones (for repeated elements).
    TXMLIniSection AddSection(const QString& name);
    // Resolves the path without creating anything.
    std::optional<TXMLIniSection> FindSection(const QString& path) const;
    // Every element the path's last step selects.
    TXMLIniSectionList GetSectionList(const QString& path) const;
    QString GetName() const;
    _xmlNode* GetNode() const { return node_; }
    QString GetText() const;
    void SetText(const QString& text);

    // Absent attributes, and text that is not a value of the type, give the default.
    QString ReadString(const QString& name, const QString& def) const;
    void WriteString(const QString& name, const QString& value);
    int ReadInteger(const QString& name, int def) const;
    void WriteInteger(const QString& name, int value);
    bool ReadBool(const QString& name, bool def) const;
    // "0" or "1".
    void WriteBool(const QString& name, bool value);
    // Dates, times and numbers are written in the user's locale format.
    QDate ReadDate(const QString& name, const QDate& def) const;
    void WriteDate(const QString& name, const QDate& value);
    QDateTime ReadDateTime(const QString& name, const QDateTime& def) const;
    void WriteDateTime(const QString& name, const QDateTime& value);
    double ReadFloat(const QString& name, double def) const;
    void WriteFloat(const QString& name, double value);
    QTime ReadTime(const QString& name, const QTime& def) const;
    void WriteTime(const QString& name, const QTime& value);

    // No child nodes and no attributes.
    bool IsEmpty() const;
    void Clear();
    bool ValueExists(const QString& name) const;
    void DeleteValue(const QString& name);
    // The attribute names, each followed by CR LF.
    QString ValueNames() const;
    bool SectionExists(const QString& path) const { return FindSection(path).has_value(); }
    void DeleteSection(const QString& path);
    // Appends copies of the other section's child nodes and attributes.
    void Assign(const TXMLIniSection& other);

protected:
    TXMLIniSection(std::shared_ptr<TXMLDocument> document, _xmlNode* node);
    void Rebind(std::shared_ptr<TXMLDocument> document, _xmlNode* node);
    const std::shared_ptr<TXMLDocument>& Document() const { return document_; }

private:
    friend class TXMLIniSectionList;
    std::optional<TXMLIniSection> Resolve(const QString& path, bool create) const;
    _xmlNode* AppendElement(_xmlNode* parent, const QString& name) const;

    std::shared_ptr<TXMLDocument> document_;
    _xmlNode* node_;
};

class TXMLIniSectionList {
public:
    int Count() const { return int(nodes_.size()); }
    TXMLIniSection Section(int index) const;

private:
    friend class TXMLIniSection;
    TXMLIniSectionList(std::shared_ptr<TXMLDocument> document, std::vector<_xmlNode*> nodes);

    std::shared_ptr<TXMLDocument> document_;
    std::vector<_xmlNode*> nodes_;
};

// The store: the section of the document element ("root" in a new store) and its file.
class TXMLIniFile : public TXMLIniSection {
public:
    TXMLIniFile();

    // Nothing happens when the file does not exist; anything but a regular file, or a file that
    // is not XML, fails. A file declared "Shift_JIS" is read as code page 932.
    void LoadFromFile(const QString& path);
    // Replaces the store with the document in text (its declared encoding is ignored).
    void LoadFromText(const QString& text);
    // Written through a temporary file beside the target.
    void SaveToFile(const QString& path) const;
    // The file's bytes: the declaration version="1.0" encoding="Shift_JIS", then code page 932;
    // a character the code page lacks is written as a character reference.
    QByteArray SaveToBytes() const;

private:
    void Load(const QByteArray& bytes, const char* encoding, const QString& source);
};

// Versions of the XML implementations a caller accepts, one bit per version number.
using TXMLVersionMask = unsigned;
inline constexpr int NewestXMLVersion = 6;
// An empty store on the first implementation that can be created, trying versions from preferred
// down among those the mask allows; nothing when none is allowed. libxml2 serves every version.
std::unique_ptr<TXMLIniFile> CreateXMLStore(TXMLVersionMask versionMask, int preferred = NewestXMLVersion);

// The XPath string literal of text, quoted so that any text can be matched.
QString XPathLiteral(const QString& text);

}  // namespace kestrel

#include "app/XMLIniFile.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlsave.h>
#include <libxml/xpath.h>

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

#include "platform/ReplacingFile.h"

namespace kestrel {

namespace {

// Larger files are refused before they are read.
constexpr qint64 MaxFileSize = 64 * 1024 * 1024;
// Path expressions may do this many steps, and this many more per byte of the document.
constexpr unsigned long BaseXPathBudget = 1'000'000;
constexpr unsigned long XPathBudgetPerByte = 256;
const QString NewRootName = QStringLiteral("root");
const QByteArray Declaration = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n");

const xmlChar* Utf8(const QByteArray& bytes)
{
    return reinterpret_cast<const xmlChar*>(bytes.constData());
}

// Takes a string libxml2 allocated.
QString TakeString(xmlChar* text)
{
    const QString result = QString::fromUtf8(reinterpret_cast<const char*>(text));
    xmlFree(text);
    return result;
}

QString NameOf(const xmlChar* name)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(name));
}

void ThrowUnlessValidName(const QString& name)
{
    if (xmlValidateName(Utf8(name.toUtf8()), 0) != 0)
        throw EXMLStore(QStringLiteral("「%1」はXMLの名前に使えません").arg(name));
}

// Where to split a path: at every "\" outside quotes and brackets.
QStringList SplitPath(const QString& path)
{
    QStringList steps;
    QString step;
    QChar quote;
    int brackets = 0;
    for (const QChar c : path) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'[') {
            ++brackets;
        } else if (c == u']' && brackets > 0) {
            --brackets;
        } else if (c == u'\\' && brackets == 0) {
            steps << step;
            step.clear();
            continue;
        }
        step += c;
    }
    steps << step;
    return steps;
}

void IgnoreXPathError(void*, xmlErrorPtr) {}

QLocale NumberLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

// Files that declare Shift_JIS are code page 932 in practice: read strictly, "\" would become
// "¥" and characters such as ① would stop the parser.
bool DeclaresShiftJis(const QByteArray& bytes)
{
    static const QRegularExpression declaration(
        QStringLiteral(R"(^\s*<\?xml[^>]*encoding\s*=\s*["']([^"']+)["'])"));
    static const QStringList shiftJis = {"shift_jis",  "shift-jis",   "sjis",  "x-sjis", "ms_kanji",
                                         "csshiftjis", "windows-31j", "cp932", "ms932"};
    const QRegularExpressionMatch match = declaration.match(QString::fromLatin1(bytes.left(256)));
    return match.hasMatch() && shiftJis.contains(match.captured(1).toLower());
}

}  // namespace

// The libxml2 document and every element taken out of it, which live until the last section
// handle lets go.
class TXMLDocument {
public:
    TXMLDocument(xmlDocPtr doc, qsizetype inputSize)
        : doc_(doc),
          xpathBudget_(BaseXPathBudget + XPathBudgetPerByte * static_cast<unsigned long>(inputSize))
    {
    }
    ~TXMLDocument()
    {
        for (xmlNodePtr node : detached_) xmlFreeNode(node);
        xmlFreeDoc(doc_);
    }
    TXMLDocument(const TXMLDocument&) = delete;
    TXMLDocument& operator=(const TXMLDocument&) = delete;

    xmlDocPtr Doc() const { return doc_; }
    unsigned long XPathBudget() const { return xpathBudget_; }
    void Detach(xmlNodePtr node)
    {
        xmlUnlinkNode(node);
        detached_.push_back(node);
    }
    void DetachChildren(xmlNodePtr node)
    {
        while (node->children) Detach(node->children);
    }

    // A new document holding only an element named name.
    static std::shared_ptr<TXMLDocument> WithRoot(const QString& name)
    {
        xmlDocPtr doc = xmlNewDoc(BAD_CAST "1.0");
        xmlDocSetRootElement(doc, xmlNewDocNode(doc, nullptr, Utf8(name.toUtf8()), nullptr));
        return std::make_shared<TXMLDocument>(doc, 0);
    }

    // The elements expression selects from node.
    std::vector<xmlNodePtr> Select(xmlNodePtr node, const QString& expression) const
    {
        xmlXPathContextPtr context = xmlXPathNewContext(doc_);
        context->node = node;
        context->opLimit = xpathBudget_;
        context->error = &IgnoreXPathError;
        xmlXPathObjectPtr result = xmlXPathEvalExpression(Utf8(expression.toUtf8()), context);
        xmlXPathFreeContext(context);
        if (!result || result->type != XPATH_NODESET) {
            xmlXPathFreeObject(result);
            throw EXMLStore(QStringLiteral("「%1」は設定のパスとして正しくありません").arg(expression));
        }
        std::vector<xmlNodePtr> elements;
        const xmlNodeSetPtr nodes = result->nodesetval;
        for (int i = 0; nodes && i < nodes->nodeNr; ++i)
            if (nodes->nodeTab[i]->type == XML_ELEMENT_NODE) elements.push_back(nodes->nodeTab[i]);
        xmlXPathFreeObject(result);
        return elements;
    }

private:
    xmlDocPtr doc_;
    unsigned long xpathBudget_;
    std::vector<xmlNodePtr> detached_;
};

// --- Section ---------------------------------------------------------------------------------

TXMLIniSection::TXMLIniSection(std::shared_ptr<TXMLDocument> document, xmlNodePtr node)
    : document_(std::move(document)), node_(node)
{
}

void TXMLIniSection::Rebind(std::shared_ptr<TXMLDocument> document, xmlNodePtr node)
{
    document_ = std::move(document);
    node_ = node;
}

std::optional<TXMLIniSection> TXMLIniSection::Resolve(const QString& path, bool create) const
{
    QStringList steps = SplitPath(path);
    xmlNodePtr current = node_;
    if (steps.size() > 1 && steps.front().isEmpty()) {
        current = xmlDocGetRootElement(document_->Doc());
        steps.removeFirst();
    }
    for (const QString& step : steps) {
        if (step.isEmpty()) continue;
        const std::vector<xmlNodePtr> found = document_->Select(current, step);
        if (!found.empty()) {
            current = found.front();
            continue;
        }
        if (!create) return std::nullopt;
        current = AppendElement(current, step);
    }
    return TXMLIniSection(document_, current);
}

xmlNodePtr TXMLIniSection::AppendElement(xmlNodePtr parent, const QString& name) const
{
    ThrowUnlessValidName(name);
    xmlAddChild(parent, xmlNewDocText(document_->Doc(), BAD_CAST "\n"));
    return xmlAddChild(parent, xmlNewDocNode(document_->Doc(), nullptr, Utf8(name.toUtf8()), nullptr));
}

TXMLIniSection TXMLIniSection::AddSection(const QString& name)
{
    return TXMLIniSection(document_, AppendElement(node_, name));
}

TXMLIniSection TXMLIniSection::GetSection(const QString& path)
{
    return *Resolve(path, true);
}

std::optional<TXMLIniSection> TXMLIniSection::FindSection(const QString& path) const
{
    return Resolve(path, false);
}

TXMLIniSectionList TXMLIniSection::GetSectionList(const QString& path) const
{
    QStringList steps = SplitPath(path);
    const QString last = steps.takeLast();
    const std::optional<TXMLIniSection> parent = FindSection(steps.join(u'\\'));
    if (!parent) return TXMLIniSectionList(document_, {});
    if (last.isEmpty()) return TXMLIniSectionList(document_, {parent->node_});
    return TXMLIniSectionList(document_, document_->Select(parent->node_, last));
}

QString TXMLIniSection::GetName() const
{
    return NameOf(node_->name);
}

QString TXMLIniSection::GetText() const
{
    return TakeString(xmlNodeGetContent(node_));
}

void TXMLIniSection::SetText(const QString& text)
{
    document_->DetachChildren(node_);
    xmlAddChild(node_, xmlNewDocText(document_->Doc(), Utf8(text.toUtf8())));
}

QString TXMLIniSection::ReadString(const QString& name, const QString& def) const
{
    const QByteArray key = name.toUtf8();
    if (!xmlHasProp(node_, Utf8(key))) return def;
    return TakeString(xmlGetProp(node_, Utf8(key)));
}

void TXMLIniSection::WriteString(const QString& name, const QString& value)
{
    ThrowUnlessValidName(name);
    xmlSetProp(node_, Utf8(name.toUtf8()), Utf8(value.toUtf8()));
}

int TXMLIniSection::ReadInteger(const QString& name, int def) const
{
    bool ok = false;
    const int value = ReadString(name, QString()).toInt(&ok, 10);
    return ok ? value : def;
}

void TXMLIniSection::WriteInteger(const QString& name, int value)
{
    WriteString(name, QString::number(value));
}

bool TXMLIniSection::ReadBool(const QString& name, bool def) const
{
    return ReadInteger(name, def ? 1 : 0) != 0;
}

void TXMLIniSection::WriteBool(const QString& name, bool value)
{
    WriteString(name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QDate TXMLIniSection::ReadDate(const QString& name, const QDate& def) const
{
    const QDate value = QLocale().toDate(ReadString(name, QString()), QLocale::ShortFormat);
    return value.isValid() ? value : def;
}

void TXMLIniSection::WriteDate(const QString& name, const QDate& value)
{
    WriteString(name, QLocale().toString(value, QLocale::ShortFormat));
}

QDateTime TXMLIniSection::ReadDateTime(const QString& name, const QDateTime& def) const
{
    const QDateTime value = QLocale().toDateTime(ReadString(name, QString()), QLocale::ShortFormat);
    return value.isValid() ? value : def;
}

void TXMLIniSection::WriteDateTime(const QString& name, const QDateTime& value)
{
    WriteString(name, QLocale().toString(value, QLocale::ShortFormat));
}

double TXMLIniSection::ReadFloat(const QString& name, double def) const
{
    bool ok = false;
    const double value = NumberLocale().toDouble(ReadString(name, QString()), &ok);
    return ok ? value : def;
}

void TXMLIniSection::WriteFloat(const QString& name, double value)
{
    WriteString(name, NumberLocale().toString(value, 'g', 15));
}

QTime TXMLIniSection::ReadTime(const QString& name, const QTime& def) const
{
    const QTime value = QLocale().toTime(ReadString(name, QString()), QLocale::ShortFormat);
    return value.isValid() ? value : def;
}

void TXMLIniSection::WriteTime(const QString& name, const QTime& value)
{
    WriteString(name, QLocale().toString(value, QLocale::ShortFormat));
}

bool TXMLIniSection::IsEmpty() const
{
    return !node_->children && !node_->properties;
}

void TXMLIniSection::Clear()
{
    document_->DetachChildren(node_);
    while (node_->properties) xmlRemoveProp(node_->properties);
}

bool TXMLIniSection::ValueExists(const QString& name) const
{
    return xmlHasProp(node_, Utf8(name.toUtf8())) != nullptr;
}

void TXMLIniSection::DeleteValue(const QString& name)
{
    if (xmlAttrPtr attribute = xmlHasProp(node_, Utf8(name.toUtf8()))) xmlRemoveProp(attribute);
}

QString TXMLIniSection::ValueNames() const
{
    QString names;
    for (xmlAttrPtr attribute = node_->properties; attribute; attribute = attribute->next)
        names += NameOf(attribute->name) + QStringLiteral("\r\n");
    return names;
}

void TXMLIniSection::DeleteSection(const QString& path)
{
    const std::optional<TXMLIniSection> section = FindSection(path);
    // The document element stays: a store without one could not be written.
    if (section && section->node_->parent && section->node_->parent->type == XML_ELEMENT_NODE)
        document_->Detach(section->node_);
}

void TXMLIniSection::Assign(const TXMLIniSection& other)
{
    std::vector<xmlNodePtr> children;
    for (xmlNodePtr child = other.node_->children; child; child = child->next) children.push_back(child);
    for (xmlNodePtr child : children) xmlAddChild(node_, xmlDocCopyNode(child, document_->Doc(), 1));
    for (xmlAttrPtr attribute = other.node_->properties; attribute; attribute = attribute->next)
        WriteString(NameOf(attribute->name), other.ReadString(NameOf(attribute->name), QString()));
}

// --- Section list ----------------------------------------------------------------------------

TXMLIniSectionList::TXMLIniSectionList(std::shared_ptr<TXMLDocument> document, std::vector<xmlNodePtr> nodes)
    : document_(std::move(document)), nodes_(std::move(nodes))
{
}

TXMLIniSection TXMLIniSectionList::Section(int index) const
{
    return TXMLIniSection(document_, nodes_.at(size_t(index)));
}

// --- File ------------------------------------------------------------------------------------

TXMLIniFile::TXMLIniFile() : TXMLIniSection(TXMLDocument::WithRoot(NewRootName), nullptr)
{
    Rebind(Document(), xmlDocGetRootElement(Document()->Doc()));
}

void TXMLIniFile::Load(const QByteArray& bytes, const char* encoding, const QString& source)
{
    xmlInitParser();
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (!context) throw std::bad_alloc();
    const int options =
        XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | (encoding ? XML_PARSE_IGNORE_ENC : 0);
    xmlDocPtr doc =
        xmlCtxtReadMemory(context, bytes.constData(), int(bytes.size()), nullptr, encoding, options);
    const QString reason = context->lastError.message
                               ? QString::fromUtf8(context->lastError.message).trimmed()
                               : QStringLiteral("XMLではありません");
    xmlFreeParserCtxt(context);
    if (!doc) throw EXMLStore(QStringLiteral("「%1」を読めません: %2").arg(source, reason));
    auto document = std::make_shared<TXMLDocument>(doc, bytes.size());
    // Entity declarations could make a small file expand without bound.
    if (doc->intSubset || doc->extSubset)
        throw EXMLStore(QStringLiteral("「%1」を読めません: 文書型定義は使えません").arg(source));
    if (!xmlDocGetRootElement(doc))
        xmlDocSetRootElement(doc, xmlNewDocNode(doc, nullptr, Utf8(NewRootName.toUtf8()), nullptr));
    Rebind(std::move(document), xmlDocGetRootElement(doc));
}

void TXMLIniFile::LoadFromFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists()) return;
    if (!info.isFile()) throw EXMLStore(QStringLiteral("「%1」はファイルではありません").arg(path));
    if (info.size() > MaxFileSize) throw EXMLStore(QStringLiteral("「%1」は大きすぎます").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw EXMLStore(QStringLiteral("「%1」を開けません").arg(path));
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (bytes.size() > MaxFileSize) throw EXMLStore(QStringLiteral("「%1」は大きすぎます").arg(path));
    Load(bytes, DeclaresShiftJis(bytes) ? "CP932" : nullptr, path);
}

void TXMLIniFile::LoadFromText(const QString& text)
{
    Load(text.toUtf8(), "UTF-8", QStringLiteral("XML"));
}

QByteArray TXMLIniFile::SaveToBytes() const
{
    xmlBufferPtr buffer = xmlBufferCreate();
    xmlSaveCtxtPtr save = xmlSaveToBuffer(buffer, "CP932", XML_SAVE_NO_DECL);
    if (!save) {
        xmlBufferFree(buffer);
        throw EXMLStore(QStringLiteral("コードページ932で書き出せません"));
    }
    xmlSaveDoc(save, Document()->Doc());
    xmlSaveClose(save);
    const QByteArray bytes = Declaration + QByteArray(reinterpret_cast<const char*>(xmlBufferContent(buffer)),
                                                      xmlBufferLength(buffer));
    xmlBufferFree(buffer);
    return bytes;
}

void TXMLIniFile::SaveToFile(const QString& path) const
{
    const QByteArray bytes = SaveToBytes();
    TReplacingFile file(path);
    if (!file.Open() || file.Device().write(bytes) != bytes.size() || !file.Commit())
        throw EXMLStore(QStringLiteral("「%1」に書き込めません: %2").arg(path, file.ErrorString()));
}

std::unique_ptr<TXMLIniFile> CreateXMLStore(TXMLVersionMask versionMask, int preferred)
{
    for (int version = std::min(preferred, NewestXMLVersion); version >= 0; --version)
        if (versionMask & (1u << version)) return std::make_unique<TXMLIniFile>();
    return nullptr;
}

QString XPathLiteral(const QString& text)
{
    if (!text.contains(u'"')) return u'"' + text + u'"';
    if (!text.contains(u'\'')) return u'\'' + text + u'\'';
    QStringList parts;
    for (const QString& piece : text.split(u'"')) parts << u'"' + piece + u'"';
    return QStringLiteral("concat(%1)").arg(parts.join(QStringLiteral(", '\"', ")));
}

}  // namespace kestrel

#include <gtest/gtest.h>
#include <libxml/tree.h>

#include <QFile>
#include <QProcess>

#include "app/XMLIniFile.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

// Characters that plain Shift_JIS lacks or reads otherwise: the NEC and IBM rows and the backslash.
const QString Cp932Text = QStringLiteral("①㈱\\髙﨑");

QString RunTool(const QString& program, const QStringList& arguments, const QByteArray& input = {},
                int* exitCode = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(30000)) << program.toStdString();
    if (exitCode) *exitCode = process.exitCode();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString WriteStore(const TXMLIniFile& store, const QString& name)
{
    const QString path = test::TestFolder() + "/" + name;
    store.SaveToFile(path);
    return path;
}

// The element and text children of a node, as names ("#text" for text).
QStringList Children(_xmlNode* node)
{
    QStringList names;
    for (xmlNodePtr child = node->children; child; child = child->next)
        names << (child->type == XML_TEXT_NODE
                      ? QStringLiteral("#text")
                      : QString::fromUtf8(reinterpret_cast<const char*>(child->name)));
    return names;
}

TEST(XMLIniFile, ValuesConvertAsTheStoreReadsThem)
{
    TXMLIniFile store;
    TXMLIniSection section = store.GetSection("Plugin");
    section.WriteString("Count", "12a");
    EXPECT_EQ(section.ReadInteger("Count", 7), 7);
    section.WriteInteger("Count", -12);
    EXPECT_EQ(section.ReadInteger("Count", 7), -12);
    section.WriteBool("On", true);
    EXPECT_EQ(section.ReadString("On", ""), "1");
    section.WriteString("On", "2");
    EXPECT_TRUE(section.ReadBool("On", false));
    EXPECT_FALSE(section.ReadBool("Missing", false));
    section.WriteFloat("Ratio", 1234.5);
    EXPECT_EQ(section.ReadFloat("Ratio", 0), 1234.5);
    section.WriteDate("Day", QDate(2024, 2, 29));
    EXPECT_EQ(section.ReadDate("Day", {}), QDate(2024, 2, 29));
    section.WriteString("Day", "not a date");
    EXPECT_EQ(section.ReadDate("Day", QDate(2000, 1, 1)), QDate(2000, 1, 1));
    section.WriteTime("At", QTime(13, 45));
    EXPECT_EQ(section.ReadTime("At", {}), QTime(13, 45));
    EXPECT_EQ(section.ValueNames(), "Count\r\nOn\r\nRatio\r\nDay\r\nAt\r\n");
    section.DeleteValue("On");
    EXPECT_FALSE(section.ValueExists("On"));
    EXPECT_THROW(section.WriteString("two words", "x"), EXMLStore);
}

TEST(XMLIniFile, PathsCreateStepByStepAndFindingNeverCreates)
{
    TXMLIniFile store;
    EXPECT_FALSE(store.SectionExists("A\\B"));
    EXPECT_TRUE(store.IsEmpty());  // looking created nothing
    TXMLIniSection b = store.GetSection("A\\B");
    EXPECT_EQ(b.GetName(), "B");
    EXPECT_EQ(Children(store.GetNode()), (QStringList{"#text", "A"}));
    EXPECT_EQ(Children(store.GetSection("A").GetNode()), (QStringList{"#text", "B"}));
    EXPECT_TRUE(store.SectionExists("A\\B"));
    EXPECT_EQ(b.GetSection("\\A").GetNode(), store.GetSection("A").GetNode());  // from the document element

    // A step may be a path expression; a "\" inside its quotes belongs to the step.
    TXMLIniSection group = store.GetSection("Groups").GetSection("G");
    group.WriteString("Name", "ダイレクトプリント\\12cm");
    const auto found = store.FindSection(
        QStringLiteral("Groups\\G[@Name=%1]").arg(XPathLiteral("ダイレクトプリント\\12cm")));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->GetNode(), group.GetNode());
    group.WriteString("Quoted", "say \"it's\"");
    EXPECT_TRUE(
        store.SectionExists(QStringLiteral("Groups\\G[@Quoted=%1]").arg(XPathLiteral("say \"it's\""))));
    EXPECT_EQ(store.GetSectionList("Groups\\G").Count(), 1);
    EXPECT_THROW(store.GetSection("Groups\\G[@Name='x']"), EXMLStore);  // no element can be named so
    EXPECT_THROW(store.FindSection("Groups\\[["), EXMLStore);
}

TEST(XMLIniFile, DeletedAndClearedSectionsStaySafeToHold)
{
    TXMLIniFile store;
    TXMLIniSection kept = store.GetSection("A\\B");
    kept.WriteString("v", "1");
    store.DeleteSection("A");
    EXPECT_FALSE(store.SectionExists("A"));
    EXPECT_EQ(kept.ReadString("v", ""), "1");  // a detached element, still readable
    TXMLIniSection c = store.GetSection("C");
    c.SetText("text");
    EXPECT_EQ(c.GetText(), "text");
    c.WriteString("x", "y");
    c.Clear();
    EXPECT_TRUE(c.IsEmpty());
    store.DeleteSection("");  // the document element stays
    EXPECT_EQ(store.GetName(), "root");
}

TEST(XMLIniFile, AssignCopiesChildrenAndAttributes)
{
    TXMLIniFile store;
    TXMLIniSection from = store.GetSection("From");
    from.WriteString("a", "1");
    from.GetSection("Inner").WriteString("b", "2");
    TXMLIniSection to = store.GetSection("To");
    to.Assign(from);
    EXPECT_EQ(to.ReadString("a", ""), "1");
    EXPECT_EQ(to.GetSection("Inner").ReadString("b", ""), "2");
    from.Assign(from);  // its own children, once
    EXPECT_EQ(from.GetSectionList("Inner").Count(), 2);
}

TEST(XMLIniFile, FilesAreCodePage932UnderTheShiftJisLabel)
{
    TXMLIniFile store;
    store.GetSection("Printer").WriteString("Name", Cp932Text);
    store.GetSection("Printer").SetText("𠀋");  // beyond the code page: a character reference
    const QString path = WriteStore(store, "store.xml");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n"));
    EXPECT_TRUE(bytes.contains("\x87\x40"));  // ① in code page 932, never UTF-8
    EXPECT_TRUE(bytes.contains("&#131083;"));
    const QString decoded =
        RunTool("/usr/bin/python3",
                {"-c", "import sys; sys.stdout.write(open(sys.argv[1], 'rb').read().decode('cp932'))", path});
    EXPECT_TRUE(decoded.contains("Name=\"" + Cp932Text + "\"")) << decoded.toStdString();

    TXMLIniFile reread;
    reread.LoadFromFile(path);
    EXPECT_EQ(reread.GetSection("Printer").ReadString("Name", ""), Cp932Text);
    EXPECT_EQ(reread.GetSection("Printer").GetText(), "𠀋");
}

TEST(XMLIniFile, XmllintReadsTheFilesAndFindsTheSameSections)
{
    TXMLIniFile store;
    store.GetSection("Printers\\P").WriteString("PrinterName", "PM-G800");
    store.GetSection("Printers\\Q").WriteString("PrinterName", "円");
    const QString plain = WriteStore(store, "plain.xml");
    int code = -1;
    RunTool("xmllint", {"--noout", plain}, {}, &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(RunTool("xmllint", {"--xpath", "count(/root/Printers/*)", plain}).trimmed(), "2");
    EXPECT_EQ(RunTool("xmllint", {"--xpath", "string(/root/Printers/Q/@PrinterName)", plain}).trimmed(),
              "円");
    EXPECT_EQ(store.GetSectionList("Printers\\*").Count(), 2);

    // A strict Shift_JIS reader stops at ①: read through glibc's CP932 it finds the same sections.
    store.GetSection("Printers\\Q").WriteString("Mark", Cp932Text);
    const QString extended = WriteStore(store, "extended.xml");
    RunTool("xmllint", {"--noout", extended}, {}, &code);
    EXPECT_NE(code, 0);
    QFile file(extended);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray utf8 = RunTool("iconv", {"-f", "CP932", "-t", "UTF-8"}, file.readAll())
                                .replace("Shift_JIS", "UTF-8")
                                .toUtf8();
    EXPECT_EQ(RunTool("xmllint", {"--xpath", "string(/root/Printers/Q/@Mark)", "-"}, utf8).trimmed(),
              Cp932Text);
    TXMLIniFile reread;
    reread.LoadFromFile(extended);
    EXPECT_EQ(reread.GetSection("Printers\\Q").ReadString("Mark", ""), Cp932Text);
}

TEST(XMLIniFile, LoadingKeepsAStoreOfAnyFileAndRefusesWhatIsNoSafeXml)
{
    TXMLIniFile store;
    store.LoadFromFile(test::TestFolder() + "/missing.xml");  // nothing happens
    EXPECT_EQ(store.GetName(), "root");
    const auto write = [](const QString& name, const QByteArray& bytes) {
        const QString path = test::TestFolder() + "/" + name;
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    };
    // Another declared encoding is read as declared, and written back as Shift_JIS.
    store.LoadFromFile(
        write("latin1.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><data v=\"caf\xe9\"/>"));
    EXPECT_EQ(store.GetName(), "data");
    EXPECT_EQ(store.ReadString("v", ""), "café");
    EXPECT_TRUE(store.SaveToBytes().startsWith("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>"));
    EXPECT_THROW(store.LoadFromFile(write("broken.xml", "<root><open></root>")), EXMLStore);
    EXPECT_THROW(
        store.LoadFromFile(write("entities.xml", "<!DOCTYPE r [<!ENTITY a \"aaaa\">]><r v=\"&a;\"/>")),
        EXMLStore);
    EXPECT_THROW(store.LoadFromFile(test::TestFolder()), EXMLStore);
    EXPECT_EQ(store.GetName(), "data");  // a refused file leaves the store as it was
    EXPECT_THROW(store.SaveToFile(test::TestFolder() + "/no/such/folder/x.xml"), EXMLStore);
}

TEST(XMLIniFile, StoresAreMadeForAnyAllowedVersion)
{
    EXPECT_TRUE(CreateXMLStore(1u << 3, 6));
    EXPECT_TRUE(CreateXMLStore(~0u));
    EXPECT_FALSE(CreateXMLStore(1u << 6, 4));  // only a newer one than preferred is allowed
    EXPECT_FALSE(CreateXMLStore(0));
    EXPECT_EQ(XPathLiteral("a\"b'c"), "concat(\"a\", '\"', \"b'c\")");
}

}  // namespace
}  // namespace kestrel

// The XML settings store: a file loaded as the store, every section's values read, printers of
// the printer data looked up by name, and the store written back.
#include "app/XMLIniFile.h"
#include "fuzz/FuzzTarget.h"
#include "platform/Cp932.h"

namespace {

void ReadAll(const kestrel::TXMLIniSection& section)
{
    for (const QString& name : section.ValueNames().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        section.ReadInteger(name, 0);
    section.GetText();
    const kestrel::TXMLIniSectionList children = section.GetSectionList(QStringLiteral("*"));
    for (int i = 0; i < children.Count(); ++i) ReadAll(children.Section(i));
}

void UseAsStore(kestrel::TXMLIniFile& store)
{
    ReadAll(store);
    for (const char* name : {"Epson Stylus Photo R300", "ダイレクトプリント\\12cmディスク", "\"'"})
        store.FindSection(QStringLiteral("DirectPrinterInfo\\PrinterData[@PrinterName=%1]")
                              .arg(kestrel::XPathLiteral(QString::fromUtf8(name))));
    store.SaveToBytes();
}

}  // namespace

KESTREL_FUZZ_TARGET(XMLStore)
{
    kestrel::TXMLIniFile file;
    file.LoadFromFile(kestrel::fuzz::WriteInputFile(data, QStringLiteral(".xml")));
    UseAsStore(file);
    // The printer data come as text from the catalogue.
    kestrel::TXMLIniFile text;
    text.LoadFromText(kestrel::FromCp932(data));
    UseAsStore(text);
}

#include <gtest/gtest.h>

#include "app/MacroString.h"

namespace kestrel {
namespace {

TMacroString Table(const QStringList& lines)
{
    TMacroString macros;
    macros.SetLines(lines);
    return macros;
}

// The message of the EMacroString that expanding text raises.
QString ErrorOf(const TMacroString& macros, const QString& text)
{
    try {
        macros.Expand(text);
    } catch (const EMacroString& e) {
        return e.Message();
    }
    return "(no error)";
}

TEST(MacroString, ExpandsNestedValuesAndNamesCaseInsensitively)
{
    const TMacroString macros =
        Table({"AppName=Kestrel", "ShortVer=1.0", "Mutex=$(appname).$(SHORTVER).Basalt", "Which=App",
               "Key=Software\\Corvidworks\\$(ShortVer)"});
    EXPECT_EQ(macros.Expand("$(Mutex)"), "Kestrel.1.0.Basalt");
    EXPECT_EQ(macros.Expand("x$(Key)\\y"), "xSoftware\\Corvidworks\\1.0\\y");
    // The name is expanded before it is looked up.
    EXPECT_EQ(macros.Expand("$($(Which)Name)"), "Kestrel");
    EXPECT_EQ(macros.Expand("no macros (here) $ ) ("), "no macros (here) $ ) (");
}

TEST(MacroString, MalformedAndUnclosedMacrosNameTheirPosition)
{
    const TMacroString macros = Table({"x=1"});
    EXPECT_EQ(ErrorOf(macros, "abc$(x"), "abc$(xの5文字目から始まるマクロが閉じていません");
    EXPECT_EQ(ErrorOf(macros, "$()"), "$()の2文字目から始まるマクロが間違っています");
    EXPECT_EQ(ErrorOf(macros, "ab$($(x)"), "ab$($(x)の4文字目から始まるマクロが閉じていません");
}

TEST(MacroString, CircularReferenceNamesTheMacroThatRecurs)
{
    const TMacroString macros = Table({"First=a$(Second)", "Second=b$(first)", "Self=$(Self)"});
    EXPECT_EQ(ErrorOf(macros, "$(First)"), "first マクロが循環参照されています");
    EXPECT_EQ(ErrorOf(macros, "$(Self)"), "Self マクロが循環参照されています");
}

TEST(MacroString, TheInProgressMarkIsRemovedAlsoAfterAnError)
{
    TMacroString macros = Table({"Outer=$(Inner)", "Inner=$(Missing)"});
    EXPECT_EQ(ErrorOf(macros, "$(Outer)"), "未定義のMissingマクロが使用されています");
    macros.SetValue("Missing", "ok");
    EXPECT_EQ(macros.Expand("$(Outer)"), "ok");
    EXPECT_EQ(macros.Expand("$(Outer)$(Outer)"), "okok");  // the same macro twice is no cycle
}

TEST(MacroString, UndefinedMacrosFailUnlessInessential)
{
    const TMacroString macros = Table({"Empty=", "Set=v"});
    EXPECT_EQ(macros.Expand("[$(Nothing:inessential)]"), "[]");
    EXPECT_EQ(macros.Expand("[$(Nothing:UnEssential)]"), "[]");
    EXPECT_EQ(macros.Expand("[$(Set:inessential)]"), "[v]");
    EXPECT_EQ(ErrorOf(macros, "$(Nothing)"), "未定義のNothingマクロが使用されています");
    EXPECT_EQ(ErrorOf(macros, "$(Empty)"), "未定義のEmptyマクロが使用されています");
}

TEST(MacroString, SpecifiersDriveShortPathAndUnknown)
{
    const TMacroString macros = Table({"ExeDir=/opt/kestrel/", "Long=" + QString(300, 'a')});
    EXPECT_EQ(macros.Expand("$(ExeDir:Drive)"), "/");
    EXPECT_EQ(macros.Expand("$(ExeDir:shortPath)"), "/opt/kestrel/");
    EXPECT_EQ(macros.Expand("$(Long:shortPath)").size(), 256);
    EXPECT_EQ(ErrorOf(macros, "$(ExeDir:Upper)"), "未定義のフォーマット指定(Upper)が使用されています");
}

TEST(MacroString, SurroundingQuotesAreStrippedButALoneQuoteStays)
{
    TMacroString macros = Table({"Quoted=\"C:\\Program Files\"", "Quote=\"", "Inner=\"$(Quoted)\""});
    EXPECT_EQ(macros.Expand("$(Quoted)"), "C:\\Program Files");
    EXPECT_EQ(macros.Expand("$(Quote)"), "\"");
    EXPECT_EQ(macros.Expand("$(Quote)x$(Quote)"), "x");  // the whole result is quoted
    EXPECT_EQ(macros.Expand("$(Inner)"), "C:\\Program Files");
    macros.SetQuoteStrip(false);
    EXPECT_EQ(macros.Expand("$(Quoted)"), "\"C:\\Program Files\"");
}

TEST(MacroString, ValuesAreSetByNameInPlace)
{
    TMacroString macros = Table({"AppName=Project", "B=2"});
    macros.SetValue("appname", "Kestrel");
    macros.SetValue("C", "3");
    EXPECT_EQ(macros.Lines(), QStringList({"appname=Kestrel", "B=2", "C=3"}));
    EXPECT_EQ(macros.Value("APPNAME"), "Kestrel");
    EXPECT_EQ(macros.Value("none"), "");
}

}  // namespace
}  // namespace kestrel

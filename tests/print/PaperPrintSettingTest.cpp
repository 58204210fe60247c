#include <gtest/gtest.h>

#include <QRegularExpression>

#include "DiscFixtures.h"
#include "FakePrinter.h"
#include "label/LabelDocumentFixtures.h"
#include "print/IniTable.h"
#include "print/PaperPrintSetting.h"
#include "print/VendorExtensions.h"
#include "print/VendorNames.h"

namespace kestrel {
namespace {

std::vector<TFormInfo> Forms(std::initializer_list<TFormInfo> forms)
{
    return forms;
}

TPrintSettingData Data(int width, int height, bool landscape = false, const QString& name = {})
{
    TPrintSettingData data;
    data.Width = width;
    data.Height = height;
    data.Landscape = landscape;
    data.PaperName = name;
    return data;
}

// A table of one catalogue, built from lines.
struct TSettings {
    test::TDiscCatalogue disc;
    std::unique_ptr<TPaperPrintSetting> setting;
    explicit TSettings(const QStringList& lines)
    {
        disc.catalogue.WriteGlobalInfo("PrinterSetting", lines);
        setting = std::make_unique<TPaperPrintSetting>(&disc.catalogue);
    }
};

TEST(IniTable, SectionsAndKeysMatchWithoutCaseAndCommentsAreSkipped)
{
    const TIniTable table({"; a comment", "[Canon.Paper.0]", "  Photo = Glossy  ", "photo=second", "",
                           "[empty]", "[CANON.paper.ID]", "Glossy=6", "Broken=6a", "no equals sign", "=7",
                           "[canon.paper.0]", "Photo=repeated section"});
    // The first value of a key counts, and the first of a repeated section.
    EXPECT_EQ(table.Value("canon.PAPER.0", "PHOTO"), "Glossy");
    EXPECT_EQ(table.Value("Canon.Paper.0", "; a comment"), "");
    EXPECT_EQ(table.Value("Missing", "Photo"), "");
    EXPECT_EQ(table.IntValue("Canon.Paper.ID", "Glossy"), 6);
    EXPECT_EQ(table.IntValue("Canon.Paper.ID", "Broken"), -1);
    EXPECT_EQ(table.IntValue("Canon.Paper.ID", "Missing"), -1);
    EXPECT_EQ(table.SectionCount(), 4);
}

TEST(PaperSize, TheNearFormIsChosenWithTheOrientationOfTheSheetAsFed)
{
    const TPaperPrintSetting setting(nullptr);
    test::TFakePrinter printer(Forms({{"A4", 9, QSize(2100, 2970)}, {"Wide", 300, QSize(2970, 1000)}}));
    setting.Apply(printer, Data(2100, 2970));
    EXPECT_EQ(printer.GetDeviceMode().paperSize, 9);
    EXPECT_EQ(printer.GetDeviceMode().orientation, TDeviceMode::Portrait);
    TPrintSettingData landscape;
    auto turned = test::TwoDiscPaper();
    turned->SetLandscape(true);
    FillSettingData(landscape, *turned);
    EXPECT_EQ(landscape.Width, 2100);
    EXPECT_EQ(landscape.Height, 2970);
    setting.Apply(printer, landscape);
    EXPECT_EQ(printer.GetDeviceMode().paperSize, 9);
    EXPECT_EQ(printer.GetDeviceMode().orientation, TDeviceMode::Landscape);
    // Found only turned: the form is taken and the orientation flipped.
    setting.Apply(printer, Data(1000, 2970));
    EXPECT_EQ(printer.GetDeviceMode().paperSize, 300);
    EXPECT_EQ(printer.GetDeviceMode().orientation, TDeviceMode::Landscape);
}

TEST(PaperSize, AMissingSizeBecomesANamedFormOrTheUserSizeOrNothing)
{
    const TPaperPrintSetting setting(nullptr);
    test::TFakePrinter printer(Forms({{"Letter", 1, QSize(2159, 2794)}}));
    printer.takesCustomSizes = true;
    setting.Apply(printer, Data(1200, 1200));
    setting.Apply(printer, Data(2100, 2970));
    EXPECT_EQ(printer.addedForms, (QStringList{"120 x 120mm", "A4(210 x 297mm)"}));
    EXPECT_EQ(
        printer.GetForms().GetForm(printer.GetForms().FindByID(printer.GetDeviceMode().paperSize)).GetName(),
        "A4(210 x 297mm)");
    EXPECT_EQ(CustomFormName(1185, 1200), "118.5 x 120mm");

    test::TFakePrinter user(Forms({{"Letter", 1, QSize(2159, 2794)}, {"User", UserPaperId, QSize()}}));
    setting.Apply(user, Data(1200, 1210));
    EXPECT_EQ(user.GetDeviceMode().paperSize, UserPaperId);
    EXPECT_EQ(user.GetDeviceMode().paperWidth, 1200);
    EXPECT_EQ(user.GetDeviceMode().paperLength, 1210);

    test::TFakePrinter fixed(Forms({{"Letter", 1, QSize(2159, 2794)}}));
    fixed.GetDeviceMode().paperSize = 1;
    setting.Apply(fixed, Data(1200, 1200, true));
    EXPECT_EQ(fixed.GetDeviceMode().paperSize, 1);
    EXPECT_EQ(fixed.GetDeviceMode().orientation, TDeviceMode::Portrait);  // untouched
    EXPECT_EQ(fixed.merges, 0);
}

TEST(MediaLookup, ChoicesRunInOrderOfPreferenceUntilThePrinterOffersOne)
{
    TSettings settings({"[Canon.Paper.0]", "P=A", "@@default=Plain", "[Canon.Paper.1]", "P=B", "[Canon.Paper.ID]",
                        "A=5", "B=6", "Plain=1"});
    std::vector<int> set;
    const auto record = [&set](int id) { set.push_back(id); };
    EXPECT_TRUE(settings.setting->LookUpMedia("Canon", "Model", Data(0, 0, false, "P"), {1, 6}, record));
    EXPECT_EQ(set, std::vector<int>{6});
    // Q has no choice of its own: the default key's media is taken.
    EXPECT_TRUE(settings.setting->LookUpMedia("Canon", "Model", Data(0, 0, false, "Q"), {1, 6}, record));
    EXPECT_EQ(set.back(), 1);
    EXPECT_FALSE(settings.setting->LookUpMedia("Canon", "Model", Data(0, 0, false, "P"), {7}, record));
    EXPECT_FALSE(settings.setting->LookUpMedia("Epson", "Model", Data(0, 0, false, "P"), {1, 5, 6}, record));
}

TEST(MediaLookup, ModelAndGroupComeFirstAndDiscsTryTheirDefaultBeforeTheCommonOne)
{
    TSettings settings({"[Epson.PrinterGroup]", "Model=Group", "[Epson.Model.Paper.0]", "P=M",
                        "[Epson.Group.Paper.0]", "P=G", "[Epson.Paper.0]", "@@CDRdefault=Disc",
                        "@@default=Plain", "[Epson.Paper.ID]", "M=10", "G=11", "Disc=283", "Plain=1"});
    std::vector<int> set;
    const auto record = [&set](int id) { set.push_back(id); };
    settings.setting->LookUpMedia("Epson", "Model", Data(0, 0, false, "P"), {1, 10, 11}, record);
    settings.setting->LookUpMedia("Epson", "Other", Data(0, 0, false, "P"), {1, 10, 11}, record);
    settings.setting->LookUpMedia("Epson", "Model", Data(0, 0, false, "P"), {1, 11}, record);
    TPrintSettingData disc = Data(0, 0, false, "X");
    disc.Kind = DirectPrintKind;
    settings.setting->LookUpMedia("Epson", "Other", disc, {1, 283}, record);
    settings.setting->LookUpMedia("Epson", "Other", Data(0, 0, false, "X"), {1, 283}, record);
    EXPECT_EQ(set, (std::vector<int>{10, 1, 11, 283, 1}));
    // A model of no group looks in "Epson..Paper.n", where nothing is.
    EXPECT_TRUE(settings.setting->Table().Value("Epson..Paper.0", "P").isEmpty());
}

TEST(ApplySettings, ACanonPrinterGetsTheDiscMediaFromTheTrayAndItsBestQuality)
{
    TSettings settings({"[Canon.Paper.0]", "@@CDRdefault=Disc", "@@default=Plain", "[Canon.Paper.ID]",
                        "Disc=31", "Plain=1"});
    auto canon = test::TFakePrinter::FromPpd(test::GutenprintPpd("bjc-PIXMA-iP4500"));
    ASSERT_TRUE(canon->GetDriver()) << "printer-driver-gutenprint is missing";
    const TPrintSettingData disc = settings.setting->FillSettingDataForPrinter(*canon, *test::DiscPaper());
    EXPECT_TRUE(disc.DirectPrint);
    EXPECT_EQ(disc.Kind, "CDR");
    EXPECT_EQ(disc.Width, 1199);  // the disc page of the tray
    settings.setting->Apply(*canon, disc);
    EXPECT_EQ(canon->Option("MediaType"), "DiscCompat");
    EXPECT_EQ(canon->Option("InputSlot"), "CD");
    EXPECT_EQ(canon->Option("StpQuality"), "Standard");
    EXPECT_EQ(canon->Option("StpFullBleed"), "False");
    EXPECT_EQ(
        canon->GetForms().GetForm(canon->GetForms().FindByID(canon->GetDeviceMode().paperSize)).GetKey(),
        "CDCustom");

    settings.setting->ApplyForPrinter(*canon, *test::TwoDiscPaper());
    EXPECT_EQ(canon->Option("MediaType"), "Plain");
    EXPECT_EQ(canon->Option("InputSlot"), "");
}

TEST(ApplySettings, AnEpsonDiscIsFedFromTheTrayTwinOfTheManualFeed)
{
    TSettings settings({"[Epson.Paper.0]", "@@default=Plain", "[Epson.Paper.ID]", "Plain=1"});
    auto epson = test::TFakePrinter::FromPpd(test::GutenprintPpd("escp2-r300"));
    ASSERT_TRUE(epson->GetDriver()) << "printer-driver-gutenprint is missing";
    settings.setting->ApplyForPrinter(*epson, *test::DiscPaper());
    EXPECT_EQ(epson->Option("InputSlot"), "CD");
    EXPECT_EQ(TEPDI(*epson).PaperSource(), 270);
    EXPECT_EQ(epson->Option("MediaType"), "Plain");
    EXPECT_EQ(epson->Option("StpQuality"), "Best");  // a recommended setting at level 1

    settings.setting->ApplyForPrinter(*epson, *test::TwoDiscPaper());
    EXPECT_EQ(epson->Option("InputSlot"), "Standard");  // the automatic feed again

    // Without a table the first media offered is taken; the Epson steps can be left out.
    const TPaperPrintSetting bare(nullptr, TPaperPrintSetting::psNoEpson);
    auto other = test::TFakePrinter::FromPpd(test::GutenprintPpd("escp2-r300"));
    bare.ApplyForPrinter(*other, *test::TwoDiscPaper());
    EXPECT_TRUE(other->Option("InputSlot").isEmpty());
    TPaperPrintSetting(nullptr).ApplyForPrinter(*other, *test::TwoDiscPaper());
    EXPECT_EQ(other->Option("MediaType"), "Plain");
}

TEST(ApplySettings, AnEpsonWithoutAnAutomaticFeedKeepsItsSourceForSheets)
{
    QFile r300(test::GutenprintPpd("escp2-r300"));
    ASSERT_TRUE(r300.open(QIODevice::ReadOnly)) << "printer-driver-gutenprint is missing";
    QString ppd = QString::fromLatin1(r300.readAll());
    ppd.remove(QRegularExpression("^\\*InputSlot Standard/[^\\n]*\\n", QRegularExpression::MultilineOption));
    ppd.replace("*DefaultInputSlot: Standard", "*DefaultInputSlot: Manual");
    const QString file = test::TestFolder() + "/manual-only.ppd";
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(ppd.toLatin1());
    out.close();
    auto epson = test::TFakePrinter::FromPpd(file);
    ASSERT_TRUE(TEPDI(*epson).Available());
    epson->GetDeviceMode().driverOptions["InputSlot"] = "Roll";
    TPaperPrintSetting(nullptr).ApplyForPrinter(*epson, *test::TwoDiscPaper());
    EXPECT_EQ(epson->Option("InputSlot"), "Roll");
}

TEST(ApplySettings, TheShippedTableNamesOnlyMediaTheMakersTablesKnow)
{
    QStringList lines;
    for (const QString& line : QString::fromUtf8(test::ShippedDataFile("PrinterSetting.ini")).split('\n'))
        lines << line;
    const TIniTable table(lines);
    for (auto [vendor, word] : {std::pair{TVendor::Canon, "Canon"}, std::pair{TVendor::Epson, "Epson"}}) {
        for (const QString& line : lines.mid(lines.indexOf(QStringLiteral("[%1.Paper.ID]").arg(word)) + 1)) {
            if (line.startsWith('[') || line.trimmed().isEmpty()) break;
            const QString name = line.section('=', 0, 0);
            EXPECT_EQ(MediaNameOf(vendor, table.IntValue(QStringLiteral("%1.Paper.ID").arg(word), name), {}),
                      name);
        }
    }
    EXPECT_EQ(table.Value("Canon.Paper.0", "@@CDRdefault"), MediaNameOf(TVendor::Canon, CanonDiscMedia, {}));
    EXPECT_EQ(table.Value("Epson.Paper.0", "@@CDRdefault"),
              MediaNameOf(TVendor::Epson, EpsonDiscLabelMedia, {}));
}

}  // namespace
}  // namespace kestrel

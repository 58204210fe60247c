#include <gtest/gtest.h>

#include "FakePrinter.h"
#include "app/AppFrame.h"
#include "app/ProgramMacros.h"
#include "paper/FaceGeometry.h"
#include "print/VendorExtensions.h"
#include "print/VendorNames.h"

namespace kestrel {
namespace {

// A driver that offers no maker's extension: one page size and nothing else.
const char* PlainPpd = R"ppd(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "PLAIN.PPD"
*Manufacturer: "Kestrel"
*Product: "(Plain)"
*ModelName: "Plain queue"
*ShortNickName: "Plain queue"
*NickName: "Plain queue"
*OpenUI *PageSize/Media Size: PickOne
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: "0 0 595 842"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
)ppd";

class VendorExtensions : public ::testing::Test {
protected:
    void SetUp() override
    {
        epson = test::TFakePrinter::FromPpd(test::GutenprintPpd("escp2-r300"));
        canon = test::TFakePrinter::FromPpd(test::GutenprintPpd("bjc-PIXMA-iP4500"));
        ASSERT_TRUE(epson->GetDriver() && canon->GetDriver()) << "printer-driver-gutenprint is missing";
        const QString plainFile = test::TestFolder() + "/plain.ppd";
        QFile file(plainFile);
        file.open(QIODevice::WriteOnly);
        file.write(PlainPpd);
        file.close();
        plain = test::TFakePrinter::FromPpd(plainFile);
        ASSERT_TRUE(plain->GetDriver());
    }

    static int FormId(test::TFakePrinter& printer, const QString& key)
    {
        const IPrinterForm& forms = printer.GetForms();
        return forms.GetForm(forms.FindByKey(key)).GetID();
    }

    std::unique_ptr<test::TFakePrinter> epson, canon, plain;
};

TEST_F(VendorExtensions, TheDriverTellsItsModelOptionsRangesAndPages)
{
    const TPrinterDriver& driver = *epson->GetDriver();
    EXPECT_EQ(driver.Manufacturer(), "Epson");
    EXPECT_EQ(driver.ModelName(), "Epson Stylus Photo R300");
    const TDriverOption& outer = *driver.Option("StpCDOuterDiameter");
    EXPECT_EQ(outer.range->lower, 184);
    EXPECT_EQ(outer.range->upper, 340);
    EXPECT_TRUE(outer.Accepts("329"));
    EXPECT_TRUE(outer.Accepts("Custom.200.5"));
    EXPECT_FALSE(outer.Accepts("Custom.400"));
    EXPECT_FALSE(outer.Accepts("Large"));
    EXPECT_EQ(canon->GetDriver()->Option("StpCDXAdjustment")->range->upper, 15);
    EXPECT_EQ(epson->GetDriver()->Option("StpCDXAdjustment")->range->upper, 30);
    EXPECT_EQ(driver.PageSize("CDCustom")->points, QSizeF(340, 340));
    EXPECT_EQ(DiscPageSize01mm(driver), QSize(1199, 1199));
    EXPECT_TRUE(HasDiscTray(&driver));
    EXPECT_FALSE(HasDiscTray(plain->GetDriver()));
    EXPECT_FALSE(TPrinterDriver::FromPpdFile(test::TestFolder()));
    EXPECT_FALSE(TPrinterDriver::FromPpdFile(test::TestFolder() + "/none.ppd"));
}

TEST_F(VendorExtensions, CanonItemsComeFromTheDriversChoicesAndDiscMediaFeedFromTheTray)
{
    TCanonExtDDI ddi(*canon);
    ASSERT_TRUE(ddi.Available());
    const std::vector<int> media = ddi.Values(ciMediaType);
    EXPECT_NE(std::find(media.begin(), media.end(), CanonDiscMedia), media.end());
    EXPECT_NE(std::find(media.begin(), media.end(), CanonOtherDiscMedia), media.end());
    EXPECT_TRUE(ddi.Names(ciMediaType).contains("レーベル印刷可能ディスク(推奨)"));
    EXPECT_EQ(ddi.Values(ciQuality), std::vector<int>{1});  // Standard is the only grade
    EXPECT_EQ(ddi.Capability(ciBorderless), 2);
    EXPECT_EQ(ddi.Value(ciMediaType), 1);  // the driver's default: plain paper

    ASSERT_TRUE(ddi.SetValue(ciMediaType, CanonDiscMedia));
    EXPECT_EQ(canon->Option("MediaType"), "DiscCompat");
    EXPECT_EQ(canon->Option("InputSlot"), "CD");
    EXPECT_EQ(ddi.Value(ciMediaType), CanonDiscMedia);
    ASSERT_TRUE(ddi.SetValue(ciMediaType, 1));
    EXPECT_EQ(canon->Option("InputSlot"), "");  // back to the driver's feed
    EXPECT_FALSE(ddi.SetValue(ciMediaType, 999));

    const std::optional<TCanonDiscRecord> record = ddi.DiscRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->paperId, FormId(*canon, "CDCustom"));
    EXPECT_EQ(record->centerX, 5995);
    EXPECT_EQ(CanonTrayGeometry(*canon), (TTrayGeometry{599, 599, 1199, 1199}));

    TAppFrame frame;
    frame.Macro().SetLines(ProgramMacroTable());
    frame.Loaded();
    TAppFrame::WriteBool("EnableExtDDI", false);
    EXPECT_FALSE(TCanonExtDDI(*canon).Available());
    EXPECT_FALSE(CanonTrayGeometry(*canon));
}

TEST_F(VendorExtensions, EpsonSettingsWaitForCommitAndNameMediaInJapanese)
{
    TEPDI epdi(*epson);
    ASSERT_TRUE(epdi.Available());
    EXPECT_EQ(epdi.CommandLevel(eiPaperSource), 1);
    const std::vector<int> media = epdi.Range(eiMedia);
    EXPECT_EQ(media.front(), 1);
    EXPECT_EQ(epdi.MediaName(1), "普通紙");
    EXPECT_EQ(epdi.MediaName(260), "ｽｰﾊﾟｰﾌｧｲﾝ専用紙");
    EXPECT_EQ(epdi.MediaName(4100), "不明な用紙種類(4100)");
    EXPECT_EQ(epdi.QualityLevels(), 9);
    EXPECT_EQ(epdi.Quality(), (TEpsonQualitySetting{1, 6, 1}));  // Standard, the sixth grade

    epdi.SetQuality({1, 1, 260});
    EXPECT_EQ(epson->Option("StpQuality"), "");  // not yet
    epdi.Commit();
    EXPECT_EQ(epson->Option("StpQuality"), "Best");
    EXPECT_EQ(epson->Option("MediaType"), "Coated");
    EXPECT_EQ(epdi.Quality(), (TEpsonQualitySetting{1, 1, 260}));
    epdi.SetQuality({0, 0, 260});
    epdi.Commit();
    EXPECT_EQ(epdi.Quality().mode, 0);  // the user's own settings
    EXPECT_EQ(epdi.Quality().level, 0);
}

TEST_F(VendorExtensions, EpsonSourcesPairEachFeedWithTheDiscTray)
{
    TEPDI epdi(*epson);
    const std::vector<int> sources = epdi.Range(eiPaperSource);
    for (int source : {7, 4, 256, 259, 270})
        EXPECT_NE(std::find(sources.begin(), sources.end(), source), sources.end()) << source;
    EXPECT_EQ(epdi.PaperSource(), 7);
    ASSERT_TRUE(SwitchEpsonPaperSource(epdi, true));
    EXPECT_EQ(epson->Option("InputSlot"), "CD");
    EXPECT_TRUE(IsEpsonDiscSource(epdi.PaperSource()));
    epdi.SetPaperSource(EpsonManualSource);
    epdi.Commit();
    ASSERT_TRUE(SwitchEpsonPaperSource(epdi, true));
    EXPECT_EQ(epdi.PaperSource(), 270);
    ASSERT_TRUE(SwitchEpsonPaperSource(epdi, false));
    EXPECT_EQ(epson->Option("InputSlot"), "Manual");
}

TEST_F(VendorExtensions, TheEpsonInterfaceTellsTheDiscOnlyForEpsonDiscPrinters)
{
    EXPECT_EQ(EpsonTrayGeometry(*epson), (TTrayGeometry{600, 600, 1199, 1199}));
    EXPECT_FALSE(EpsonTrayGeometry(*canon));
    TPic pic(*canon);
    EXPECT_EQ(pic.PrinterSpecifies(canon->GetDeviceName()), PicPrinterNotSupported);
    EXPECT_THROW(pic.SelectDiscSettings(), EPicError);
    TPic unselected(*epson);
    try {
        unselected.GetPrintingInfo();
        ADD_FAILURE() << "no disc settings were selected";
    } catch (const EPicError& e) {
        EXPECT_EQ(e.Message(), "PICERROR : 99");
    }
}

TEST_F(VendorExtensions, ADriverWithoutExtensionsOffersNothingAndNeverBelowOneLevel)
{
    EXPECT_FALSE(TCanonExtDDI(*plain).Available());
    EXPECT_EQ(TCanonExtDDI(*plain).Value(ciMediaType), -1);
    TEPDI epdi(*plain);
    EXPECT_FALSE(epdi.Available());
    EXPECT_TRUE(epdi.Range(eiMedia).empty());
    EXPECT_EQ(epdi.QualityLevels(), 1);
    EXPECT_FALSE(CanonTrayGeometry(*plain));
    EXPECT_FALSE(EpsonTrayGeometry(*plain));
    TFaceGeometry face;
    face.rect = {0, 0, 1180, 1180};
    EXPECT_EQ(SetDiscJobOptions(*plain, face, QPoint(30, -40)), QPoint(30, -40));
    EXPECT_TRUE(plain->GetDeviceMode().driverOptions.empty());
}

TEST_F(VendorExtensions, TheDiscJobMasksTheRingAndMovesByTheOffsetWithinTheDriversRange)
{
    TFaceGeometry face;
    face.rect = {0, 0, 1200, 1200};
    face.shape = fsDoughnut;
    face.cutCenterWidth = 230;
    const QPoint left = SetDiscJobOptions(*epson, face, QPoint(100, -1000));
    EXPECT_EQ(epson->Option("InputSlot"), "CD");
    EXPECT_EQ(epson->GetDeviceMode().paperSize, FormId(*epson, "CDCustom"));
    EXPECT_EQ(epson->Option("StpCDOuterDiameter"), "340");  // 340.2 pt, within the tray
    EXPECT_EQ(epson->Option("StpCDInnerDiameter"), "65");   // 65.2 pt, never into the print
    EXPECT_EQ(epson->Option("StpCDXAdjustment"), "28");
    EXPECT_EQ(epson->Option("StpCDYAdjustment"), "-30");
    EXPECT_EQ(left, QPoint(1, -1000 + 106));

    face.rect = {0, 0, 1000, 1000};
    SetDiscJobOptions(*canon, face, QPoint(-1000, 0));
    EXPECT_EQ(canon->Option("StpCDOuterDiameter"), "284");  // 283.5 pt rounded up
    EXPECT_EQ(canon->Option("StpCDXAdjustment"), "-15");
    EXPECT_EQ(canon->Option("StpCDYAdjustment"), "0");
}

TEST(VendorNames, MediaIdsAndNamesGoBothWays)
{
    EXPECT_EQ(MediaIdOf(TVendor::Epson, "CD"), EpsonDiscLabelMedia);
    EXPECT_EQ(MediaNameOf(TVendor::Epson, EpsonDiscLabelMedia, {}), "CD-R ﾚｰﾍﾞﾙ");
    EXPECT_EQ(MediaKeywordOf(TVendor::Canon, CanonOtherDiscMedia), "DiscOthers");
    EXPECT_EQ(MediaIdOf(TVendor::Canon, "Unheard"), -1);
    EXPECT_EQ(MediaNameOf(TVendor::Canon, 4000, "Unheard paper"), "Unheard paper");
    EXPECT_EQ(ChoiceName("InputSlot", "CD", "CD tray"), "CD/DVDトレイ");
    EXPECT_EQ(ChoiceName("InputSlot", "Tray9", "Tray 9"), "Tray 9");
    EXPECT_LT(QualityRank("Best"), QualityRank("Draft"));
    EXPECT_EQ(QualityRank("None"), 0);
}

}  // namespace
}  // namespace kestrel

// Every dialog of the program, opened offscreen: no label shows the "&" of its access key, which
// a label does when it has no buddy to hand the key to.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <functional>

#include "app/AppFrame.h"
#include "codes/LOJANCode.h"
#include "codes/LOQRCode.h"
#include "codes/LOQRStd.h"
#include "label/LabelData.h"
#include "label/LabelDocumentFixtures.h"
#include "music/Albums.h"
#include "objects/BackImage.h"
#include "objects/LOAlphaMask.h"
#include "objects/LODecoString.h"
#include "objects/LOLine.h"
#include "objects/LORect.h"
#include "objects/PictureObject.h"
#include "paper/CatalogueStartup.h"
#include "print/PaperPrintSetting.h"
#include "print/PrintFixtures.h"
#include "print/PrintSpec.h"
#include "platform/PrinterConfiguration.h"
#include "support/MessageRecorder.h"
#include "support/TestEnvironment.h"
#include "text/LODate.h"
#include "text/LOText.h"
#include "ui/AlbumCsvDialogs.h"
#include "ui/BackgroundDialog.h"
#include "ui/DecoratedTextDialogs.h"
#include "ui/IllustrationBrowser.h"
#include "ui/MusicDiscDialogs.h"
#include "ui/TemplateDialog.h"
#include "ui/AlbumDataDialog.h"
#include "ui/CacheSettingsPage.h"
#include "ui/DiscPrintDialogs.h"
#include "ui/EnvironmentDialog.h"
#include "ui/GridDialog.h"
#include "ui/InternetEnvironmentPanel.h"
#include "ui/InputReplaceDialog.h"
#include "ui/JANCodeDialog.h"
#include "ui/MainWindow.h"
#include "ui/MessageDialog.h"
#include "ui/PaperChooserDialog.h"
#include "ui/PaperSelectExFunc.h"
#include "ui/PaperUpdateInfoDialog.h"
#include "ui/PicturePropertiesDialog.h"
#include "ui/PrintPaperDialog.h"
#include "ui/PrinterPropertiesDialog.h"
#include "ui/PrinterSettingDialog.h"
#include "ui/PrintingPopup.h"
#include "ui/QRCodeDialog.h"
#include "ui/SelectAlbumInfoDialog.h"
#include "ui/ShapePropertiesDialog.h"
#include "ui/TextPropertiesDialog.h"
#include "ui/URLEditDialog.h"
#include "ui/UpdatePaperDialog.h"

namespace kestrel {
namespace {

// Whether the text has an access key ("&" before anything but another "&").
bool HasAccessKey(const QString& text)
{
    for (qsizetype i = text.indexOf(u'&'); i >= 0 && i + 1 < text.size(); i = text.indexOf(u'&', i + 2))
        if (text[i + 1] != u'&') return true;
    return false;
}

bool IsPlainText(const QLabel& label)
{
    return label.textFormat() == Qt::PlainText ||
           (label.textFormat() == Qt::AutoText && !Qt::mightBeRichText(label.text()));
}

// The labels of the widget and its children that would show their "&".
QStringList ShownAmpersands(const QWidget& root)
{
    QStringList shown;
    for (const QLabel* label : root.findChildren<QLabel*>())
        if (IsPlainText(*label) && HasAccessKey(label->text()) && !label->buddy())
            shown << root.windowTitle() + QStringLiteral(": ") + label->text();
    return shown;
}

class MnemonicLabelsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RecordMessages(frame, messages);
        papers.OpenSystem(KESTREL_DATA_DIR "/kestrel.ppr");
        document.SetPaper(*test::TwoDiscPaper());
    }

    void Check(const QWidget& widget) { shown << ShownAmpersands(widget); }

    // Opens a modal dialog through the program's own function and checks it while it shows.
    void CheckModal(const std::function<void()>& open)
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            seen = true;
            Check(*dialog);
            dialog->reject();
        });
        open();
        EXPECT_TRUE(seen) << "a dialog was opened";
    }

    TAppFrame frame;
    QStringList messages;
    TPaperCatalogue papers;
    TLabelData document;
    QStringList shown;
};

TEST(MnemonicLabels, AnAccessKeyIsTheAmpersandBeforeAnythingButAnother)
{
    EXPECT_TRUE(HasAccessKey("フォント(&F)"));
    EXPECT_FALSE(HasAccessKey("A && B"));
    EXPECT_FALSE(HasAccessKey("末尾&"));
    QLabel bare("情報(&J)");
    EXPECT_TRUE(ShownAmpersands(bare).isEmpty()) << "only children are walked";
    QWidget holder;
    auto* label = new QLabel("情報(&J)", &holder);
    EXPECT_EQ(ShownAmpersands(holder).size(), 1);
    label->setBuddy(&holder);
    EXPECT_TRUE(ShownAmpersands(holder).isEmpty());
}

TEST_F(MnemonicLabelsTest, NoDialogShowsTheAmpersandOfAnAccessKey)
{
    TfrmMain window(frame, papers.Catalogue(), nullptr);
    Check(window);

    TLOText text;
    text.SetText({QStringLiteral("タイトル")});
    Check(TTextPropertiesDialog(text));
    TLOImage image;
    Check(TPicturePropertiesDialog(image, nullptr));
    TLORect rect;
    TLOLine line;
    TLOAlphaMask shade;
    for (TDrawObject* shape : std::initializer_list<TDrawObject*>{&rect, &line, &shade})
        Check(*std::unique_ptr<TShapePropertiesDialog>(TShapePropertiesDialog::Create(*shape, nullptr)));
    TLOJANCode jan;
    CheckModal([&] { EditJANCode(nullptr, jan); });
    TLOQRCode qr;
    CheckModal([&] { EditQRCode(nullptr, qr); });
    TLOQRStd qrStd;
    CheckModal([&] { EditQRStd(nullptr, qrStd); });

    TAlbums albums;
    albums.Open(test::TestFolder() + "/Albums.dat");
    TAlbumDialogMemory memory;
    Check(TfrmAlbumData(albums, memory, TfrmAlbumData::TPurpose::ChooseAlbum));
    Check(TfrmAlbumData(albums, memory, TfrmAlbumData::TPurpose::InsertLines));
    Check(TfrmAlbumExportCSV(albums, 0, memory.csvExport));
    Check(TfrmAlbumImportCSV(albums));
    Check(TfrmInputReplace({"Title"}, memory));
    Check(TfrmSelectAlbumInfo(TAlbumInfo(), TAlbumLineOptions()));

    Check(TfrmEnvironment());
    Check(TframeCacheSettings());
    Check(TGridDialog(document.Grid()));
    Check(TfrmURLEdit());
    Check(TPaperChooserDialog(*papers.Catalogue()));
    Check(TfrmPaperUpdateInfo(*papers.Catalogue()));
    Check(TfrmUpdatePaper(*papers.Catalogue(), TPaperUpdateEnvironment{}));
    TPrintOptions options;
    Check(TfrmPrintPaper(document, options));
    Check(TfrmConfirmPrinter());
    Check(TfrmAdjustDiscSize(document, papers.Catalogue()));
    Check(TframePaperSelectExFunc(*papers.Catalogue()));
    Check(TfrmInternetEnvironment());
    Check(TfrmPrinterSetting(TPaperPrintSetting(papers.Catalogue()), *document.SheetPaper()));
    test::TImagePrintDevice device({100, 100}, {254, 254});
    Check(TfrmPrinting(device));
    InstallPrinterPropertiesDialog();
    CheckModal([] { TPrinterConfiguration::Named(PdfPrinterName())->ShowProperties(nullptr); });
    CheckModal([] { ShowMessageDialog("?", {mbkYes, mbkNo}, 1, 0); });

    TFaceGeometry disc;
    disc.purpose = QStringLiteral("CD");
    disc.rect = {0, 0, 1170, 1170};
    Check(TfrmTemplate2(nullptr, disc));
    TLOBackImage background;
    CheckModal([&] { EditBackground(nullptr, background); });
    TLODate date;
    CheckModal([&] { EditDate(nullptr, date); });
    TLODecoString deco;
    CheckModal([&] { EditDecoString(nullptr, deco); });
    CheckModal([&] { ChooseIllustration(nullptr, image); });

    const TMusicPlugins importers(ToUuid(KESTREL_CATID_MUSIC_IMPORTERS));
    Check(TfrmMusicDiscImport(false, nullptr));
    Check(TfrmMusicDiscExport(nullptr));
    Check(TfrmMusicDiscImporterEnv(importers, nullptr));
    Check(TfrmWait(nullptr));

    EXPECT_TRUE(shown.isEmpty()) << shown.join(" / ").toStdString();
}

}  // namespace
}  // namespace kestrel

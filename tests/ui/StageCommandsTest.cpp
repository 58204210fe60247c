#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include "document/ActionList.h"
#include "document/DOList.h"
#include "edit/LayoutSession.h"
#include "label/DocumentFlows.h"
#include "label/LabelDocumentFixtures.h"
#include "music/InputItems.h"
#include "objects/PictureObject.h"
#include "platform/PictureCodecs.h"
#include "render/DrawSite.h"
#include "support/CfbTestSupport.h"
#include "support/MessageRecorder.h"
#include "support/TestEnvironment.h"
#include "text/ShadeText.h"
#include "ui/BulkEditDialog.h"
#include "ui/FaceView.h"
#include "ui/InputItemsPanel.h"
#include "ui/MainWindow.h"
#include "ui/MusicDiscDialogs.h"
#include "ui/RetouchDialog.h"
#include "ui/StageHost.h"

namespace kestrel {
namespace {

const QStringList kCaptions = {"タイトル", "アーティスト名", "曲名1", "曲名2", "曲名3"};

QImage Filled(int width, int height, QRgb color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// Runs the step on the next modal dialog once it is shown; the dialog is closed after it when
// the step left it open.
template <class Dialog>
void OnNextModal(std::function<void(Dialog&)> step, bool* ran = nullptr)
{
    QTimer::singleShot(0, [step = std::move(step), ran] {
        auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr) << "no such dialog open";
        step(*dialog);
        if (ran) *ran = true;
        if (dialog->isVisible()) dialog->reject();
    });
}

// A disc face holding a template's input items and its photo, and a second face with neither.
class StageCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RecordMessages(frame, messages);
        TLabelData document;
        document.SetPaper(*test::TwoDiscPaper());
        std::vector<std::unique_ptr<TDrawObject>> owned;
        TDOList objects;
        // A list runs from the front to the back; the template's items are read from the back.
        for (int i = kCaptions.size() - 1; i >= 0; --i) {
            auto text = std::make_unique<TLOTextObject>();
            text->SetWizInputEnable(true);
            text->SetWizInputCaption(kCaptions[i]);
            text->SetText({"未入力"});
            text->SetBounds({200, 100 + 80 * i, 900, 160 + 80 * i});
            objects.Add(*text);
            owned.push_back(std::move(text));
        }
        auto photo = std::make_unique<TLOImage>();
        photo->ImageData().Picture().SetImage(Filled(100, 100, qRgb(200, 40, 40)));
        photo->SetBounds(kPhotoPlace);
        objects.Add(*photo);
        owned.push_back(std::move(photo));
        document.SaveFaceObjects(0, objects);
        path = test::TestFolder() + "/stage.mld";
        document.SaveToFile(path);
        window = std::make_unique<TfrmMain>(frame, nullptr, nullptr);
        ASSERT_TRUE(window->OpenDocument(path)) << messages.join('\n').toStdString();
    }

    TDrawSite& Site() const { return *window->FaceView().Site(); }
    TActionList& History() const { return window->Session().History(); }
    int UndoSteps() const { return History().Current() + 1; }

    // The items' texts in the order of kCaptions.
    QStringList Texts() const
    {
        QStringList texts;
        for (const QString& caption : kCaptions)
            for (int i = 0; i < Site().ChildCount(); ++i)
                if (InputCaption(Site().Child(i)) == caption) texts << dynamic_cast<TLOText&>(Site().Child(i)).Text().join('|');
        return texts;
    }

    TLOImage* Photo() const
    {
        for (int i = 0; i < Site().ChildCount(); ++i)
            if (auto* image = dynamic_cast<TLOImage*>(&Site().Child(i))) return image;
        return nullptr;
    }

    void Click(const QString& caption) const
    {
        for (QPushButton* button : window->StageHost().Screen()->findChildren<QPushButton*>())
            if (button->text() == caption) return button->click();
        ADD_FAILURE() << "no button " << caption.toStdString();
    }

    QString WritePicture(const QString& name, const QImage& image) const
    {
        const QString file = test::TestFolder() + "/" + name;
        test::WriteFileBytes(file, EncodePng(image));
        return file;
    }

    TInputItemsPanel& Items() const
    {
        return *dynamic_cast<TInputItemsPanel*>(window->StageHost().Screen()->findChild<QWidget*>("InputItems"));
    }

    static constexpr TRect kPhotoPlace{300, 560, 700, 760};
    TAppFrame frame;
    QStringList messages;
    QString path;
    std::unique_ptr<TfrmMain> window;
};

TEST_F(StageCommandsTest, AMusicCdFillsTheItemsInOneUndoStepAndThePanelShowsThem)
{
    QFile bin(test::TestFolder() + "/disc.bin");
    ASSERT_TRUE(bin.open(QIODevice::WriteOnly));
    bin.write(QByteArray(2352 * 75 * 60, '\0'));
    bin.close();
    QFile cue(test::TestFolder() + "/disc.cue");
    ASSERT_TRUE(cue.open(QIODevice::WriteOnly));
    cue.write("TITLE \"海の盤\"\nPERFORMER \"歌う人\"\nFILE \"disc.bin\" BINARY\n"
              "  TRACK 01 AUDIO\n    TITLE \"波\"\n    INDEX 01 00:00:00\n"
              "  TRACK 02 AUDIO\n    TITLE \"砂\"\n    INDEX 01 00:30:00\n");
    cue.close();
    ASSERT_TRUE(window->ChangeStage(TStageHost::stTextInput));
    const QStringList before = Texts();

    bool ran = false;
    OnNextModal<TfrmMusicDiscImport>([&](TfrmMusicDiscImport& screen) {
        screen.findChild<QComboBox*>()->setCurrentText(cue.fileName());
        auto* entries = screen.findChild<QListWidget*>();
        for (int i = 0; i < entries->count(); ++i)
            entries->item(i)->setCheckState(entries->item(i)->text() == "CD-TEXT" ? Qt::Checked : Qt::Unchecked);
        screen.accept();
    }, &ran);
    Click("音楽CD...");
    ASSERT_TRUE(ran);
    EXPECT_EQ(Texts(), (QStringList{"海の盤", "歌う人", "波", "砂", ""})) << messages.join('\n').toStdString();
    EXPECT_EQ(Items().Field("曲名2")->toPlainText(), "砂");
    EXPECT_EQ(UndoSteps(), 1) << "the whole album is one step";
    History().Undo();
    EXPECT_EQ(Texts(), before);
}

TEST_F(StageCommandsTest, BulkEditingFillsTheItemsFromPastedLinesAsOneStepAndRefusesWhatALabelCannotHold)
{
    ASSERT_TRUE(window->ChangeStage(TStageHost::stTextInput));
    const QStringList before = Texts();
    OnNextModal<TBulkEditDialog>([&](TBulkEditDialog& dialog) {
        EXPECT_EQ(dialog.Lines().toPlainText(), "未入力\n未入力\n未入力\n未入力\n未入力");
        dialog.Lines().setPlainText("盤\n歌手\n\U0001F600");
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible()) << "refused, the dialog stays";
        EXPECT_TRUE(messages.last().contains("「曲名1」")) << messages.last().toStdString();
        dialog.Lines().setPlainText("盤\n歌手\n一\n二\n");
        dialog.accept();
    });
    Click("一括編集");
    EXPECT_EQ(Texts(), (QStringList{"盤", "歌手", "一", "二", ""}));
    EXPECT_EQ(Items().Field("タイトル")->toPlainText(), "盤");
    EXPECT_EQ(UndoSteps(), 1);
    EXPECT_EQ(History().UndoCaption(), "一括編集");
    History().Undo();
    EXPECT_EQ(Texts(), before);

    OnNextModal<TBulkEditDialog>([](TBulkEditDialog& dialog) { dialog.reject(); });
    Click("一括編集");
    EXPECT_EQ(UndoSteps(), 0) << "cancelled, nothing recorded";
}

TEST_F(StageCommandsTest, AnotherPhotoTakesTheTemplatesPlaceAsOneStep)
{
    ASSERT_TRUE(window->ChangeStage(TStageHost::stTextInput));
    TLOImage* photo = Photo();
    ASSERT_NE(photo, nullptr);
    const int objects = Site().ChildCount();
    const QString file = WritePicture("portrait.png", Filled(60, 120, qRgb(20, 20, 220)));
    OnNextModal<QFileDialog>([&](QFileDialog& dialog) {
        dialog.selectFile(file);
        static_cast<QDialog&>(dialog).accept();
    });
    Click("写真の変更...");
    EXPECT_EQ(Site().ChildCount(), objects);
    EXPECT_EQ(Photo(), photo) << "the same object";
    EXPECT_EQ(photo->Rect(), kPhotoPlace);
    EXPECT_EQ(photo->ImageData().Picture().Height(), 120) << messages.join('\n').toStdString();
    const TRect crop = photo->ImageData().EffectiveClip();
    EXPECT_EQ(crop.Width(), 2 * crop.Height()) << "cropped to the place, not stretched";
    EXPECT_EQ(UndoSteps(), 1);
    History().Undo();
    EXPECT_EQ(photo->ImageData().Picture().Height(), 100);
}

TEST_F(StageCommandsTest, AFaceWithoutAPhotoGetsOneLikeAFileChosenOnTheImageStage)
{
    window->Flows().Document().SetCurrentLabelNo(1);
    ASSERT_TRUE(window->ChangeStage(TStageHost::stTextInput));
    const QString file = WritePicture("new.png", Filled(30, 30, qRgb(0, 200, 0)));
    bool propertiesShown = false;
    OnNextModal<QFileDialog>([&](QFileDialog& dialog) {
        OnNextModal<QDialog>([](QDialog& properties) { properties.accept(); }, &propertiesShown);
        dialog.selectFile(file);
        static_cast<QDialog&>(dialog).accept();
    });
    Click("写真の変更...");
    EXPECT_TRUE(propertiesShown);
    ASSERT_NE(Photo(), nullptr) << messages.join('\n').toStdString();
    EXPECT_EQ(Photo()->ImageData().Picture().Width(), 30);
    EXPECT_EQ(UndoSteps(), 1);
}

TEST_F(StageCommandsTest, RetouchingShowsAPreviewAndChangesThePhotoInOneStep)
{
    ASSERT_TRUE(window->ChangeStage(TStageHost::stImage));
    TLOImage* photo = Photo();
    ASSERT_NE(photo, nullptr);
    bool ran = false;
    OnNextModal<TRetouchDialog>([&](TRetouchDialog& dialog) {
        EXPECT_EQ(qGray(dialog.Preview().pixmap().toImage().pixel(160, 160)) , qGray(qRgb(200, 40, 40)));
        dialog.Brightness().setValue(30);
        dialog.Contrast().setValue(-10);
        dialog.Grey().setChecked(true);
        dialog.TurnRight();
        dialog.Mirror();
        const QImage shown = dialog.Preview().pixmap().toImage();
        const QRgb middle = shown.pixel(shown.width() / 2, shown.height() / 2);
        EXPECT_TRUE(qRed(middle) == qGreen(middle) && qGreen(middle) == qBlue(middle)) << "the preview is grey";
        EXPECT_EQ(photo->Angle(), 0) << "nothing changes before OK";
        dialog.accept();
    }, &ran);
    Click("画像レタッチ...");
    ASSERT_TRUE(ran);
    EXPECT_EQ(photo->Angle(), 90);
    EXPECT_EQ(photo->ImageData().LightFilter().Brightness(), 30);
    EXPECT_EQ(photo->ImageData().LightFilter().Contrast(), -10);
    EXPECT_EQ(photo->ImageData().MonotoneFilter().RefColor(), clWhite);
    EXPECT_EQ(UndoSteps(), 1);
    History().Undo();
    EXPECT_EQ(photo->Angle(), 0);
    EXPECT_EQ(photo->ImageData().MonotoneFilter().RefColor(), clNone);

    window->Flows().Document().SetCurrentLabelNo(1);
    ASSERT_TRUE(window->ChangeStage(TStageHost::stImage));
    Click("画像レタッチ...");
    EXPECT_TRUE(messages.last().contains("レタッチするイメージがありません")) << messages.last().toStdString();
}

TEST_F(StageCommandsTest, SeveralPicturesFromTheInsertMenuLieInAGridInOneStep)
{
    frame.Macro().SetValue("ExeDir", QStringLiteral(KESTREL_BINARY_DIR "/src/"));
    window = std::make_unique<TfrmMain>(frame, nullptr, nullptr);
    ASSERT_TRUE(window->OpenDocument(path));
    window->Flows().Document().SetCurrentLabelNo(1);
    ASSERT_TRUE(window->ChangeStage(TStageHost::stLayout));
    QAction* command = nullptr;
    QMenu* insert = nullptr;
    for (QAction* entry : window->menuBar()->actions())
        if (entry->text() == "挿入(&I)") insert = entry->menu();
    ASSERT_NE(insert, nullptr);
    const QList<QAction*> entries = insert->actions();
    for (int i = 1; i < entries.size(); ++i)
        if (entries[i]->text() == "複数画像(&R)...") {
            command = entries[i];
            EXPECT_EQ(entries[i - 1]->text(), "塗りつぶしイラスト(&A)");
        }
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->statusTip(), "複数のイメージファイルを並べて置きます");
    EXPECT_FALSE(command->icon().isNull());

    const QStringList files = {WritePicture("a.png", Filled(80, 40, qRgb(255, 0, 0))),
                               WritePicture("b.png", Filled(40, 80, qRgb(0, 255, 0))),
                               WritePicture("c.png", Filled(50, 50, qRgb(0, 0, 255)))};
    OnNextModal<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFiles);
        dialog.setDirectory(test::TestFolder());
        dialog.selectFile("\"a.png\" \"b.png\" \"c.png\"");
        static_cast<QDialog&>(dialog).accept();
    });
    command->trigger();
    ASSERT_EQ(Site().ChildCount(), 3) << messages.join('\n').toStdString();
    std::vector<TRect> placed;
    for (int i = 0; i < 3; ++i) {
        placed.push_back(Site().Child(i).GetBounds());
        EXPECT_TRUE(Site().Child(i).Selected());
    }
    // Side by side in a row or one above the other in a column: a grid, never overlapping.
    for (size_t i = 0; i < placed.size(); ++i)
        for (size_t j = i + 1; j < placed.size(); ++j) EXPECT_TRUE(placed[i].Intersected(placed[j]).IsEmpty());
    const TRect face = Site().LogicalArea();
    const QPoint centre((face.left + face.right) / 2, (face.top + face.bottom) / 2);
    for (const TRect& rect : placed) EXPECT_FALSE(rect.Contains(centre)) << "clear of the hole";
    EXPECT_EQ(UndoSteps(), 1);
    History().Undo();
    EXPECT_EQ(Site().ChildCount(), 0);
}

}  // namespace
}  // namespace kestrel

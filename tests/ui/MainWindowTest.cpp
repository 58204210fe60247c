#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTimer>
#include <QUrl>

#include "app/AppFrame.h"
#include "app/HistoryManager.h"
#include "document/ActionList.h"
#include "document/DOGroup.h"
#include "document/DOList.h"
#include "document/DrawObjectFixtures.h"
#include "document/storage/DocStream.h"
#include "document/stream/ClassRegistry.h"
#include "edit/LayoutActions.h"
#include "edit/LayoutSession.h"
#include "label/DocumentFlows.h"
#include "label/LabelData.h"
#include "objects/PictureObject.h"
#include "paper/CatalogueStartup.h"
#include "paper/PaperInfo.h"
#include "platform/PictureCodecs.h"
#include "platform/ZlibContainer.h"
#include "render/GridGuide.h"
#include "support/CfbTestSupport.h"
#include "support/MessageRecorder.h"
#include "support/TestEnvironment.h"
#include "ui/EditCommands.h"
#include "ui/FaceView.h"
#include "ui/MainWindow.h"
#include "ui/PaperChooserDialog.h"
#include "ui/SheetView.h"
#include "ui/SiteView.h"
#include "print/PrintFixtures.h"
#include "print/PhasedProgress.h"
#include "print/PrintCommand.h"
#include "print/PrintSpec.h"

namespace kestrel {
namespace {

using test::TFilledRect;

// Stored objects are told apart by their bounds.
constexpr TRect kFront{300, 100, 500, 300};
constexpr TRect kBack{100, 100, 300, 300};

std::unique_ptr<TFilledRect> Rect(TRect bounds)
{
    auto rect = std::make_unique<TFilledRect>();
    rect->SetBounds(bounds);
    return rect;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TClassRegistry::Global().Register(TFilledRect::StaticClass());
        test::RecordMessages(frame, messages, answer);
        // Two faces of 600 x 400 side by side.
        paper.SetPortraitSize(1400, 600);
        paper.SetLeftOffset(50);
        paper.SetTopOffset(50);
        paper.SetFaceWidth(600);
        paper.SetFaceHeight(400);
        paper.SetFaceCountX(2);
        paper.SetFaceCountY(1);
        path = test::TestFolder() + "/label.mld";
    }

    // Face 1 holds one rectangle behind another.
    void WriteDocument(int sheets = 1)
    {
        TLabelData document;
        document.SetPaper(paper);
        auto front = Rect(kFront);
        auto back = Rect(kBack);
        TDOList frontToBack;
        frontToBack.Add(*front);
        frontToBack.Add(*back);
        document.SaveFaceObjects(1, frontToBack);
        for (int i = 1; i < sheets; ++i) document.NewSheet();
        document.SelectSheet(0);
        document.SaveToFile(path);
    }

    void SendMouse(QWidget& target, QEvent::Type type, QPoint at)
    {
        QMouseEvent event(type, QPointF(at), target.mapToGlobal(QPointF(at)), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&target, &event);
    }

    // Sends the mouse events to the centre of face n of the overview.
    void MouseOnFace(TfrmMain& window, int face, std::initializer_list<QEvent::Type> events)
    {
        TSheetView& sheet = window.SheetView();
        const TSheetRect outer = window.Flows().Document().Face(face).OuterRect();
        const QPoint centre((outer.left + outer.right) / 2, (outer.top + outer.bottom) / 2);
        for (QEvent::Type type : events)
            SendMouse(sheet.View().Surface(), type, sheet.Site().LogToDev(centre));
    }

    TAppFrame frame;
    QStringList messages;
    int answer = mrNo;
    TMatrixPaperInfo paper;
    QString path;
};

TEST_F(MainWindowTest, EditsAFaceOfAnOpenedDocumentAndSavesIt)
{
    WriteDocument();
    TfrmMain window(frame, nullptr, nullptr);
    ASSERT_TRUE(window.OpenDocument(path)) << messages.join("\n").toStdString();
    EXPECT_EQ(window.windowTitle(), "Kestrel - [*]label.mld");
    EXPECT_EQ(window.SheetView().Site().ChildCount(), 2);  // one object per face
    EXPECT_FALSE(window.SheetView().SheetChooser().isVisibleTo(&window));

    MouseOnFace(window, 1, {QEvent::MouseButtonDblClick});
    ASSERT_TRUE(window.IsEditingFace());
    TFaceView& faceView = window.FaceView();
    EXPECT_EQ(faceView.Face(), 1);
    TDrawSite& site = *faceView.Site();
    EXPECT_EQ(QSize(site.LogWidth(), site.LogHeight()), QSize(600, 400));
    ASSERT_EQ(site.ChildCount(), 2);
    EXPECT_EQ(site.Child(1).GetBounds(), kFront);  // stacking as saved

    const int width100 = faceView.View()->Surface().width();
    faceView.SetZoom(200);
    EXPECT_EQ(faceView.findChild<QComboBox*>("ZoomBox")->currentText(), "200%");
    EXPECT_NEAR(faceView.View()->Surface().width(), 2 * width100, 1);
    faceView.ZoomIn();
    EXPECT_EQ(faceView.Zoom(), 400);
    faceView.ZoomIn();
    EXPECT_EQ(faceView.Zoom(), 400);

    // A selection made by the model reaches the commands once the window waits for input.
    TEditCommands& commands = window.EditCommands();
    ASSERT_FALSE(commands.EntryFor(commands.Actions().clear)->isEnabled());
    site.Child(1).SetSelected(true);
    QEventLoop waiting;  // unlike processEvents, the loop waits for input, which is when the window catches up
    QTimer::singleShot(300, &waiting, &QEventLoop::quit);
    waiting.exec();
    EXPECT_TRUE(commands.EntryFor(commands.Actions().clear)->isEnabled());
    commands.EntryFor(commands.Actions().clear)->trigger();
    ASSERT_EQ(site.ChildCount(), 1);
    EXPECT_EQ(commands.EntryFor(commands.Actions().undo)->text(), "クリアの取り消し(&U)");

    ASSERT_TRUE(window.Flows().Save());
    EXPECT_FALSE(window.Flows().Document().IsModified());
    TLabelData saved;
    saved.LoadFromFile(path);
    TDOList objects;
    saved.LoadFaceObjects(1, objects);
    ASSERT_EQ(objects.Count(), 1);
    EXPECT_EQ(objects.Item(0).GetBounds(), kBack);
}

// The layout tool bar sets the sheet's grid interval and its dots or lines while a face is edited.
TEST_F(MainWindowTest, TheLayoutToolBarSetsTheGridIntervalAndDots)
{
    WriteDocument();
    TfrmMain window(frame, nullptr, nullptr);
    ASSERT_TRUE(window.OpenDocument(path));
    auto* interval = window.findChild<QSpinBox*>("GridInterval");
    auto* dots = window.findChild<QAction*>("DotGrid");
    ASSERT_TRUE(interval && dots);
    EXPECT_FALSE(interval->isEnabled());
    ASSERT_TRUE(window.EditFace(0));
    EXPECT_TRUE(interval->isEnabled());
    EXPECT_EQ(interval->value(), window.Flows().Document().Grid().Size() / 10);
    EXPECT_EQ(interval->statusTip(), "グリッドの升目の大きさを指定します");

    interval->setValue(12);
    EXPECT_EQ(window.Flows().Document().Grid().Size(), 120);
    EXPECT_TRUE(window.Flows().Document().IsModified());
    const bool lines = window.Flows().Document().Grid().LineShape();
    dots->trigger();
    EXPECT_EQ(window.Flows().Document().Grid().LineShape(), !lines);
    EXPECT_EQ(dots->isChecked(), lines);
}

TEST_F(MainWindowTest, PictureFilesDroppedOnTheFaceBecomePicturesWhereTheyFell)
{
    WriteDocument();
    const QString bitmap = test::TestFolder() + "/red.bmp";
    QImage red(36, 18, QImage::Format_RGB32);
    red.fill(Qt::red);
    test::WriteFileBytes(bitmap, EncodeBmp24(red));
    const QString notes = test::TestFolder() + "/notes.txt";
    test::WriteFileBytes(notes, "no picture");
    TfrmMain window(frame, nullptr, nullptr);
    ASSERT_TRUE(window.OpenDocument(path));
    MouseOnFace(window, 1, {QEvent::MouseButtonDblClick});
    ASSERT_TRUE(window.IsEditingFace());
    TDrawSite& site = *window.FaceView().Site();
    QWidget& surface = window.FaceView().View()->Surface();
    const int before = site.ChildCount();
    const QPoint at = site.LogToDev(QPoint(100, 50));

    QMimeData text;
    text.setUrls({QUrl::fromLocalFile(notes)});
    QDragEnterEvent refused(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    refused.ignore();
    QApplication::sendEvent(&surface, &refused);
    EXPECT_FALSE(refused.isAccepted());

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(notes), QUrl::fromLocalFile(bitmap)});
    QDragEnterEvent enter(at, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    QApplication::sendEvent(&surface, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&surface, &drop);
    ASSERT_EQ(site.ChildCount(), before + 1);  // the text file is passed over
    const TLOImage* picture = nullptr;
    for (int i = 0; i < site.ChildCount(); ++i)
        if (auto* image = dynamic_cast<const TLOImage*>(&site.Child(i))) picture = image;
    ASSERT_TRUE(picture);
    const QPoint fell = site.DevToLog(at);  // within a device pixel of (100, 50)
    EXPECT_EQ(picture->GetBounds(), (TRect{fell.x(), fell.y(), fell.x() + 51, fell.y() + 30}));  // 36 × 18 at 180 dpi
    EXPECT_TRUE(picture->Selected());
    EXPECT_EQ(picture->ImageData().Picture().ImageID(), bitmap);
    window.Session().History().Undo();
    EXPECT_EQ(site.ChildCount(), before);
}

TEST_F(MainWindowTest, LeavingAFaceWritesItBackAndSheetsCanBeChosen)
{
    WriteDocument(2);
    TfrmMain window(frame, nullptr, nullptr);
    ASSERT_TRUE(window.OpenDocument(path));
    ASSERT_TRUE(window.ShowSheet());  // the window starts on the menu stage
    EXPECT_EQ(window.SheetView().SheetChooser().count(), 2);
    EXPECT_TRUE(window.SheetView().SheetChooser().isVisibleTo(&window));
    MouseOnFace(window, 1, {QEvent::MouseButtonPress, QEvent::MouseButtonRelease});
    EXPECT_EQ(window.SheetView().SelectedFace(), 1);
    MouseOnFace(window, 0, {QEvent::MouseButtonPress, QEvent::MouseButtonRelease});
    EXPECT_EQ(window.SheetView().SelectedFace(), 0);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&window.SheetView().View().Surface(), &enter);
    ASSERT_TRUE(window.IsEditingFace());
    EXPECT_EQ(window.FaceView().Face(), 0);
    window.FaceView().Site()->AddObject(Rect({10, 10, 100, 100}));
    ASSERT_TRUE(window.ChooseSheet(1));
    EXPECT_FALSE(window.IsEditingFace());
    EXPECT_EQ(window.Flows().Document().CurrentSheet(), 1);
    EXPECT_TRUE(window.Flows().Document().IsModified());

    window.Flows().Document().SelectSheet(0);
    EXPECT_TRUE(window.Flows().Document().HasFaceObjects(0));
}

TEST_F(MainWindowTest, NewDocumentsTakeTheDefaultPaperOrTheOneChosenFromTheCatalogue)
{
    TPaperCatalogue papers;
    papers.OpenSystem(KESTREL_DATA_DIR "/kestrel.ppr");
    TPapersV2& catalogue = *papers.Catalogue();
    ASSERT_GT(catalogue.Count(), 1);
    TfrmMain window(frame, &catalogue, nullptr);
    window.NewDocument();
    EXPECT_EQ(window.windowTitle(), "Kestrel - [*]新規作成");
    EXPECT_EQ(window.Flows().Document().SheetPaper()->PaperName(), catalogue.Paper(0).PaperName());
    EXPECT_EQ(window.SheetView().Site().ChildCount(), catalogue.Paper(0).GetFaceCount());

    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<TPaperChooserDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->SelectPaper(1);
        dialog->accept();
    });
    window.findChild<QAction*>("actNew")->trigger();
    EXPECT_EQ(window.Flows().Document().SheetPaper()->PaperName(), catalogue.Paper(1).PaperName());
}

TEST_F(MainWindowTest, ClosingWithUnsavedEditsOfTheFaceAsksToSave)
{
    WriteDocument();
    TfrmMain window(frame, nullptr, nullptr);
    window.show();
    ASSERT_TRUE(window.OpenDocument(path));
    ASSERT_TRUE(window.EditFace(0));
    window.FaceView().Site()->AddObject(Rect({10, 10, 100, 100}));

    answer = mrCancel;
    EXPECT_FALSE(window.close());
    EXPECT_EQ(messages, QStringList{"データが修正されています\r\n保存しますか？"});
    EXPECT_TRUE(window.isVisible());
    answer = mrYes;
    EXPECT_TRUE(window.close());
    TLabelData saved;
    saved.LoadFromFile(path);
    EXPECT_TRUE(saved.HasFaceObjects(0));
}

TEST_F(MainWindowTest, ADamagedDocumentIsRefusedWithAMessage)
{
    QFile broken(test::TestFolder() + "/broken.mld");
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, '\x7F'));
    broken.close();
    WriteDocument();
    TfrmMain window(frame, nullptr, nullptr);
    ASSERT_TRUE(window.OpenDocument(path));

    EXPECT_FALSE(window.OpenDocument(broken.fileName()));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("指定されたファイルは「Kestrel」のデータではありません\nファイル: " +
                                       broken.fileName() + "\n原因: "))
        << messages[0].toStdString();
    EXPECT_EQ(window.windowTitle(), "Kestrel - [*]label.mld");
    EXPECT_TRUE(window.EditFace(1));  // the open document is still there
}

// The captions of the recent documents in the File menu, top to bottom.
QStringList RecentMenu(const TfrmMain& window)
{
    QStringList captions;
    for (const QAction* action : window.findChild<QMenu*>("mnuRecentFiles")->actions())
        if (action->isVisible() && !action->isSeparator()) captions << action->text();
    return captions;
}

void ChooseRecent(const TfrmMain& window, const QString& caption)
{
    for (QAction* action : window.findChild<QMenu*>("mnuRecentFiles")->actions())
        if (action->text() == caption) return action->trigger();
    ADD_FAILURE() << "no item " << caption.toStdString();
}

TEST_F(MainWindowTest, RecentDocumentsListNewestFirstWithinTheLimitAndSurviveARestart)
{
    WriteDocument();
    const QString folder = test::TestFolder();
    QStringList files;
    for (int i = 0; i < 12; ++i) {
        files << QStringLiteral("%1/doc%2.mld").arg(folder).arg(i);
        ASSERT_TRUE(QFile::copy(path, files.last()));
    }
    {
        TfrmMain window(frame, nullptr, nullptr);
        EXPECT_TRUE(RecentMenu(window).isEmpty());
        EXPECT_FALSE(window.findChild<QMenu*>("mnuRecentFiles")->menuAction()->isEnabled());
        for (const QString& file : files) ASSERT_TRUE(window.OpenDocument(file));
        QStringList menu = RecentMenu(window);
        ASSERT_EQ(menu.size(), 10 + 1);  // the limit, and the clear item
        EXPECT_EQ(menu[0], "&0 " + files[11]);
        EXPECT_EQ(menu[9], "&9 " + files[2]);
        EXPECT_EQ(menu[10], "履歴の消去");

        ChooseRecent(window, "&5 " + files[6]);  // reopening moves it to the top
        EXPECT_EQ(window.windowTitle(), "Kestrel - [*]doc6.mld");
        EXPECT_EQ(RecentMenu(window).mid(0, 2), (QStringList{"&0 " + files[6], "&1 " + files[11]}));
    }
    TfrmMain restarted(frame, nullptr, nullptr);
    EXPECT_EQ(RecentMenu(restarted).mid(0, 3),
              (QStringList{"&0 " + files[6], "&1 " + files[11], "&2 " + files[10]}));
    ASSERT_TRUE(QFile::remove(files[11]));
    ChooseRecent(restarted, "&1 " + files[11]);  // gone since: it leaves the list
    EXPECT_EQ(RecentMenu(restarted).mid(0, 2), (QStringList{"&0 " + files[6], "&1 " + files[10]}));

    ChooseRecent(restarted, "履歴の消去");
    EXPECT_TRUE(RecentMenu(restarted).isEmpty());
    EXPECT_TRUE(TfrmMain(frame, nullptr, nullptr).RecentFiles().Items().isEmpty());
}

// Each file the user may hand the window says which file it was and what is wrong with it.
TEST_F(MainWindowTest, BadFilesAreReportedWithTheirNameAndCause)
{
    WriteDocument();
    QFile whole(path);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray document = whole.readAll();
    const QString text = test::TestFolder() + "/notes.mld", truncated = test::TestFolder() + "/cut.mld";
    test::WriteFileBytes(text, "CD title list\n");
    test::WriteFileBytes(truncated, document.left(document.size() / 2));
    const QString missing = test::TestFolder() + "/absent.mld";
    TfrmMain window(frame, nullptr, nullptr);

    const auto causeOf = [&](const QString& file) {
        messages.clear();
        EXPECT_FALSE(window.OpenDocument(file));
        EXPECT_EQ(messages.size(), 1);
        const QString message = messages.value(0);
        EXPECT_TRUE(message.startsWith("指定されたファイルは「Kestrel」のデータではありません\nファイル: " + file + "\n原因: "))
            << message.toStdString();
        return message.section("原因: ", 1);
    };
    EXPECT_EQ(causeOf(text), "「notes.mld」は複合ファイルではありません");
    EXPECT_FALSE(causeOf(truncated).isEmpty());

    messages.clear();
    EXPECT_FALSE(window.OpenDocument(missing));
    EXPECT_EQ(messages, QStringList{"ファイル「" + missing + "」が見つかりません"}) << "not found, not \"not our data\"";
}

TEST_F(MainWindowTest, AFailedSaveSaysWhereAndWhy)
{
    const QString target = test::TestFolder() + "/no such folder/label.mld";
    TDocumentWindow window;
    window.chooseSaveFile = [&](const QString&) { return target; };
    TDocumentFlows flows(frame, nullptr, nullptr, window);
    flows.Document().SetPaper(paper);
    EXPECT_FALSE(flows.SaveAs());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], "データの保存に失敗しました\nファイル: " + target + "\n原因: ファイル「" + target +
                               "」に書き込めませんでした（ファイルまたはフォルダがありません）");
}

TEST_F(MainWindowTest, AnUnreadableFaceNamesItsStreamClassAndProperty)
{
    WriteDocument();
    {
        // A property the class does not have, written into face 1's stream.
        TLabelData document;
        document.LoadFromFile(path);
        auto rect = Rect(kFront);
        TDOList objects;
        objects.Add(*rect);
        document.SaveFaceObjects(1, objects);
        document.SaveToFile(path);
    }
    {
        TFileStorage file(path, ModeReadWrite);
        auto stream = TDocStream::Open(file, ModeRead, "Sheets\\NameList0\\NameList1");
        QByteArray bytes = UnpackIfContainer(stream->ReadAll());
        const qsizetype at = bytes.indexOf("Left");
        ASSERT_GT(at, 0);
        bytes.replace(at, 4, "Lfet");
        stream.reset();
        TDocStream::Open(file, ModeCreate, "Sheets\\NameList0\\NameList1")->WriteAll(bytes);
        file.Close();
    }
    TfrmMain window(frame, nullptr, nullptr);
    ASSERT_TRUE(window.OpenDocument(path));
    EXPECT_FALSE(window.EditFace(1));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], "プロパティが存在しません（ストリーム「Sheets\\NameList0\\NameList1」、クラス TFilledRect、"
                           "プロパティ Lfet）");
}

TEST_F(MainWindowTest, TheStatusBarAndTooltipsNameTheFaceItsSizeAndTheZoom)
{
    WriteDocument();
    TfrmMain window(frame, nullptr, nullptr);
    ASSERT_TRUE(window.OpenDocument(path));
    EXPECT_EQ(window.windowTitle(), "Kestrel - [*]label.mld") << "the document's name once";
    TSheetView& sheet = window.SheetView();
    sheet.SelectFace(0);
    const QString zoom = QString("表示倍率 %1%").arg(sheet.Zoom());
    MouseOnFace(window, 1, {QEvent::MouseButtonPress, QEvent::MouseButtonRelease});
    EXPECT_EQ(window.FaceStatus(), "面2 ラベル 60.0×40.0mm　" + zoom);

    // Left and right step between the two faces; there is nothing further right.
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(&sheet.View().Surface(), &left);
    EXPECT_EQ(sheet.SelectedFace(), 0);
    EXPECT_EQ(window.FaceStatus(), "面1 ラベル 60.0×40.0mm　" + zoom);
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(&sheet.View().Surface(), &right);
    QApplication::sendEvent(&sheet.View().Surface(), &right);
    EXPECT_EQ(sheet.SelectedFace(), 1);

    ASSERT_TRUE(window.EditFace(1));
    EXPECT_EQ(window.FaceStatus(), "面2 ラベル 60.0×40.0mm　表示倍率 100%");
    window.FaceView().SetZoom(200);
    EXPECT_EQ(window.findChild<QLabel*>("FaceStatus")->text(), "面2 ラベル 60.0×40.0mm　表示倍率 200%");
}

// The action of a menu entry by its caption.
QAction* Command(QWidget& window, const QString& caption)
{
    for (QAction* action : window.findChildren<QAction*>())
        if (action->text() == caption) return action;
    return nullptr;
}

TEST_F(MainWindowTest, SheetOperationsOfTheSheetScreenAreUndoneThere)
{
    TAppFrame::WriteInteger("UndoLimit", 3);
    WriteDocument();
    TfrmMain window(frame, nullptr, nullptr);
    ASSERT_TRUE(window.OpenDocument(path));
    EXPECT_EQ(window.Session().History().Limit(), 3) << "the limit of the settings";
    QAction* newSheet = Command(window, "新しいシート(&N)");
    ASSERT_NE(newSheet, nullptr);
    newSheet->trigger();
    newSheet->trigger();
    TLabelData& document = window.Flows().Document();
    EXPECT_EQ(document.SheetCount(), 3);
    EXPECT_EQ(window.SheetView().SheetChooser().count(), 3) << "the sheet screen follows the document";

    TEditCommands& commands = window.EditCommands();
    commands.Update();
    QAction* undo = commands.EntryFor(commands.Actions().undo);
    ASSERT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->text(), "シートの追加の取り消し(&U)");
    undo->trigger();
    undo->trigger();
    EXPECT_EQ(document.SheetCount(), 1);
    EXPECT_EQ(window.SheetView().SheetChooser().count(), 1);
    EXPECT_TRUE(document.HasFaceObjects(1));

    ASSERT_TRUE(window.EditFace(1));
    EXPECT_FALSE(Command(window, "新しいシート(&N)")->isEnabled()) << "only on the sheet screen";
}

TEST_F(MainWindowTest, TwoDocumentsInOneProcessKeepTheirOwnHistories)
{
    WriteDocument();
    TfrmMain first(frame, nullptr, nullptr);
    TfrmMain second(frame, nullptr, nullptr);
    ASSERT_TRUE(first.OpenDocument(path));
    ASSERT_TRUE(second.OpenDocument(path));
    ASSERT_TRUE(first.EditFace(1));
    ASSERT_TRUE(second.EditFace(1));
    ASSERT_NE(&first.Session(), &second.Session());
    TDrawSite& one = *first.FaceView().Site();
    TDrawSite& other = *second.FaceView().Site();

    one.Child(1).SetSelected(true);
    NudgeSelection(one, 10, 0);
    other.Child(1).SetSelected(true);
    TEditCommands& commands = second.EditCommands();
    commands.Update();
    commands.EntryFor(commands.Actions().clear)->trigger();
    ASSERT_EQ(other.ChildCount(), 1);
    EXPECT_EQ(first.Session().History().UndoCaption(), "移動");
    EXPECT_EQ(second.Session().History().UndoCaption(), "クリア");

    commands.EntryFor(commands.Actions().undo)->trigger();
    EXPECT_EQ(other.ChildCount(), 2);
    EXPECT_EQ(one.Child(1).GetBounds(), kFront.Translated(10, 0)) << "the other document's step stays";
    EXPECT_TRUE(first.Session().History().CanUndo());
    first.Session().History().Undo();
    EXPECT_EQ(one.Child(1).GetBounds(), kFront);
    EXPECT_EQ(other.Child(1).GetBounds(), kFront);
}

TEST_F(MainWindowTest, TheFaceShownKeepsItsDontPrintObjectsWhileASheetPrints)
{
    WriteDocument();
    TfrmMain window(frame, nullptr, nullptr);
    window.show();
    ASSERT_TRUE(window.OpenDocument(path));
    ASSERT_TRUE(window.EditFace(1));
    TDrawSite& site = *window.FaceView().Site();
    auto& front = static_cast<TFilledRect&>(site.Child(1));
    front.SetDontPrint(true);
    // A group paints its members as any other surface is painted on, through PaintTo.
    TDOList members;
    members.Add(front);
    auto group = std::make_unique<TDOGroup>();
    group->SetMembers(members);
    site.ExtractChild(front);
    site.AddObject(std::move(group));
    window.FaceView().Flush();
    QWidget& surface = window.FaceView().View()->Surface();
    const QPoint onScreen = site.LogToDev(QPoint(400, 200));
    const QRgb blue = qRgb(0, 0, 255);

    test::TImagePrintDevice printer(QSize(1400, 600), QSize(254, 254));
    TSTDPhasedProgress progress;
    int repaints = 0;
    bool alwaysShown = true;
    ASSERT_TRUE(PrintDocument(window.Flows().Document(), printer, progress, [&] {
        // What the print job lets run: the screen repaints while the job renders its bands.
        alwaysShown = alwaysShown && surface.grab().toImage().pixel(onScreen) == blue;
        ++repaints;
    }, FillPrintSpec(TPrintOptions{}, false)));
    EXPECT_GT(repaints, 0);
    EXPECT_TRUE(alwaysShown) << "the screen is no print output";
    ASSERT_EQ(printer.pages.size(), 1u);
    const TSheetRect face = window.Flows().Document().Face(1).OuterRect();
    EXPECT_NE(printer.pages[0].pixel(face.left + 400, face.top + 200), blue) << "the print leaves it out";
    EXPECT_EQ(printer.pages[0].pixel(face.left + 200, face.top + 200), blue) << "and prints the others";
}

TEST_F(MainWindowTest, TheHelpCommandOpensTheHelpPagesOrSaysWhichItCouldNotOpen)
{
    TfrmMain window(frame, nullptr, nullptr);
    auto* help = window.findChild<QAction*>("actHelp");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->text(), "Kestrelの使い方(&C)");
    EXPECT_TRUE(help->isVisible() && qobject_cast<QMenu*>(help->parent())->menuAction()->isVisible());

    QStringList asked;
    frame.OnHelp = [&](const QString& command, const QString&) {
        asked << command;
        return true;
    };
    help->trigger();
    EXPECT_EQ(asked, QStringList{"topic"});
    EXPECT_TRUE(messages.isEmpty());

    frame.OnHelp = [](const QString&, const QString&) { return false; };
    help->trigger();
    EXPECT_EQ(messages, QStringList{"ヘルプ「" + frame.HelpFile() + "」を開けませんでした"});
    EXPECT_TRUE(frame.HelpFile().endsWith("help/index.html"));
}

}  // namespace
}  // namespace kestrel

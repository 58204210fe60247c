#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <QtMath>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QWidgetAction>
#include <QTreeWidget>

#include "app/AppFrame.h"
#include "app/MessageBox.h"
#include "codes/LOQRStd.h"
#include "music/Albums.h"
#include "music/InputItems.h"
#include "platform/PrinterConfiguration.h"
#include "support/SymbolReaders.h"
#include "support/SyntheticAudio.h"
#include "document/ActionList.h"
#include "document/DOList.h"
#include "edit/LayoutSession.h"
#include "edit/MoveModes.h"
#include "label/DocumentFlows.h"
#include "label/LabelDocumentFixtures.h"
#include "paper/CatalogueStartup.h"
#include "paper/PaperInfo.h"
#include "paper/PapersV2.h"
#include "platform/PictureCodecs.h"
#include "support/CfbTestSupport.h"
#include "support/MessageRecorder.h"
#include "support/TestEnvironment.h"
#include "text/LOText.h"
#include "render/DrawSite.h"
#include "objects/PictureObject.h"
#include "ui/FaceView.h"
#include "ui/FormatToolBar.h"
#include "ui/InputItemsPanel.h"
#include "ui/LayoutStage.h"
#include "ui/MainWindow.h"
#include "ui/MenuStage.h"
#include "ui/PaperChooserDialog.h"
#include "ui/SheetView.h"
#include "ui/SiteView.h"
#include "ui/StageHost.h"
#include "ui/TemplateDialog.h"
#include "ui/TemplateStage.h"

namespace kestrel {
namespace {

// An undoable step, so that an emptied history shows.
void AddUndoableStep(TActionList& history)
{
    history.Add(std::make_unique<TActionBase>(TActionBase::afUndoable, "step"));
    ASSERT_TRUE(history.CanUndo());
}

// A stage screen that offers everything a host may ask for, and writes down what it is told.
class TRecordingScreen : public QWidget, public IStageLeaving, public IStageHostLink, public IHelpContext {
public:
    TRecordingScreen(int stage, QStringList& log) : stage_(stage), log_(log) {}
    void LeavingStage() override { log_ << QStringLiteral("leave %1").arg(stage_); }
    void LinkStageHost(TStageHost&) override { log_ << QStringLiteral("link %1").arg(stage_); }
    QString HelpContext() const override { return QStringLiteral("help %1").arg(stage_); }

protected:
    void keyPressEvent(QKeyEvent* event) override { log_ << "press " + event->text(); }
    void keyReleaseEvent(QKeyEvent* event) override { log_ << "release " + event->text(); }

private:
    int stage_;
    QStringList& log_;
};

// A classic screen with no extras.
class TPlainScreen : public QWidget {};

class StageHostTest : public ::testing::Test {
protected:
    TStageHost& Host()
    {
        if (!host_)
            host_ = std::make_unique<TStageHost>(history_, [this](int stage) -> std::unique_ptr<QWidget> {
                log_ << QStringLiteral("make %1").arg(stage);
                return std::make_unique<TRecordingScreen>(stage, log_);
            });
        return *host_;
    }

    TActionList history_;
    QStringList log_;
    std::unique_ptr<TStageHost> host_;
};

TEST_F(StageHostTest, AChangeTellsTheScreenLeftMakesTheNextEmptiesTheHistoryAndLinksIt)
{
    for (int stage : {0, 4, 4, 2}) {
        AddUndoableStep(history_);
        log_.clear();
        ASSERT_TRUE(Host().ChangeStage(stage));
        EXPECT_FALSE(history_.CanUndo()) << "stage " << stage;
        EXPECT_EQ(Host().Stage(), stage);
        EXPECT_EQ(Host().HelpContext(), QStringLiteral("help %1").arg(stage));
        ASSERT_NE(dynamic_cast<TRecordingScreen*>(Host().Screen()), nullptr);
        EXPECT_TRUE(Host().Screen()->isVisibleTo(&Host()));
        if (log_.first().startsWith("leave")) log_.removeFirst();
        EXPECT_EQ(log_, QStringList({QStringLiteral("make %1").arg(stage), QStringLiteral("link %1").arg(stage)}));
    }
}

TEST_F(StageHostTest, NumbersOutsideTheStagesChangeNothing)
{
    ASSERT_TRUE(Host().ChangeStage(3));
    QWidget* screen = Host().Screen();
    AddUndoableStep(history_);
    log_.clear();
    for (int stage : {-1, 5, 100}) {
        EXPECT_FALSE(Host().ChangeStage(stage));
        EXPECT_EQ(Host().Stage(), 3);
        EXPECT_EQ(Host().Screen(), screen);
    }
    EXPECT_TRUE(history_.CanUndo());
    EXPECT_TRUE(log_.isEmpty()) << log_.join(", ").toStdString();
}

TEST_F(StageHostTest, KeysReachingTheHostGoToTheScreensOwnHandlers)
{
    ASSERT_TRUE(Host().ChangeStage(1));
    log_.clear();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(&Host(), &press);
    QApplication::sendEvent(&Host(), &release);
    EXPECT_EQ(log_, QStringList({"press a", "release a"}));
}

TEST_F(StageHostTest, ClassicScreensStayAndAStageScreenLendsThemBack)
{
    auto* classic = new TPlainScreen;
    Host().AddClassicScreen(*classic);
    ASSERT_TRUE(Host().ChangeStage(0));
    Host().ShowClassicScreen(*classic);
    EXPECT_EQ(Host().Stage(), -1);
    EXPECT_EQ(Host().Screen(), classic);
    EXPECT_TRUE(Host().HelpContext().isEmpty());
    EXPECT_EQ(log_.last(), "leave 0");

    // A stage screen borrows the classic screen; it comes back when the stage is left.
    ASSERT_TRUE(Host().ChangeStage(4));
    QWidget* borrower = Host().Screen();
    classic->setParent(borrower);
    ASSERT_TRUE(Host().ChangeStage(0));
    EXPECT_FALSE(borrower->isAncestorOf(classic));
    Host().ShowClassicScreen(*classic);
    EXPECT_TRUE(classic->isVisibleTo(&Host()));
}

// The main window over a document of two disc faces, face 1 holding two rectangles.
class StagesWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RegisterTestObjects();
        test::RecordMessages(frame, messages);
        TLabelData document;
        document.SetPaper(*test::TwoDiscPaper());
        test::PutRects(document, 1, {{300, 300, 500, 500}, {100, 100, 300, 300}});
        path = test::TestFolder() + "/discs.mld";
        document.SaveToFile(path);
    }

    std::unique_ptr<TfrmMain> OpenWindow()
    {
        auto window = std::make_unique<TfrmMain>(frame, nullptr, nullptr);
        EXPECT_TRUE(window->OpenDocument(path)) << messages.join('\n').toStdString();
        return window;
    }

    static QPushButton* Button(QWidget& screen, const QString& caption)
    {
        for (QPushButton* button : screen.findChildren<QPushButton*>())
            if (button->text() == caption) return button;
        ADD_FAILURE() << "no button " << caption.toStdString();
        return nullptr;
    }

    static void ClickFace(TSheetView& faces, TLabelData& document, int face)
    {
        const TSheetRect outer = document.Face(face).OuterRect();
        const QPoint at = faces.Site().LogToDev({(outer.left + outer.right) / 2, (outer.top + outer.bottom) / 2});
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, QPointF(at), faces.View().Surface().mapToGlobal(QPointF(at)), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(&faces.View().Surface(), &event);
        }
    }

    static int StoredObjects(TLabelData& document, int face)
    {
        TDOList objects;
        document.LoadFaceObjects(face, objects);
        return static_cast<int>(objects.ReleaseAll().size());
    }

    TAppFrame frame;
    QStringList messages;
    QString path;
};

// Every command of the main window's file, view and help menus, as the user sees it; no hint
// given means none is prescribed.
struct TCommandRow {
    const char* caption;
    const char* shortcut;
    const char* hint;
};

constexpr TCommandRow kMainCommands[] = {
    {"新規作成(&N)...", "Ctrl+N", "新しくラベルシートを開きます"},
    {"開く(&O)...", "Ctrl+O", "保存されているデータを開きます"},
    {"保存(&S)", "Ctrl+S", "編集したデータを保存します"},
    {"名前を付けて保存(&A)...", "", nullptr},
    {"最近使ったファイル(&D)", "", nullptr},
    {"ラベルテンプレートの呼び出し(&T)...", "", nullptr},
    {"用紙/メディア選択(&L)...", "", nullptr},
    {"他形式保存(&H)...", "", nullptr},
    {"環境設定(&E)...", "", nullptr},
    {"プリンタ設定(&R)...", "", nullptr},
    {"印刷(&P)...", "Ctrl+P", "ラベルシートを印刷します"},
    {"Kestrelの終了(&X)", "", nullptr},
    {"スタートメニュー(&W)...", "", nullptr},
    {"ラベルシート表示(&S)", "", "シート表示画面に切替えます"},
    {"ラベル表示(&L)", "", "ラベル表示画面に切替えます"},
    {"用紙情報の更新(&U)...", "", nullptr},
    {"ユーザー用紙情報の取り込み(&I)...", "", nullptr},
    {"ユーザー用紙情報の保存(&Y)...", "", nullptr},
    {"用紙更新情報のURL変更...", "", nullptr},
    {"用紙選択機能の拡張", "", nullptr},
    {"外円・内円のサイズ調整...", "", "外円・内円のサイズ調整をします"},
    {"Kestrelの使い方(&C)", "", nullptr},
    {"バージョン情報(&A)...", "", nullptr},
};

QChar Mnemonic(const QString& caption)
{
    const int at = caption.indexOf('&');
    return at >= 0 && at + 1 < caption.size() ? caption[at + 1].toUpper() : QChar();
}

// The menu bar's menus holding the action, the submenu's entry included.
QList<QMenu*> MenusHolding(const QMenuBar& bar, const QAction& action)
{
    QList<QMenu*> menus;
    for (QAction* entry : bar.actions())
        if (QMenu* menu = entry->menu(); menu && menu->actions().contains(&action)) menus << menu;
    return menus;
}

// Pressing the menu's key opens it; in it, the item's own key runs the item when no other item
// shares it, and an item without a key is reached with the arrow keys.
bool ReachableByKeyboard(const QMenuBar& bar, const QAction& action)
{
    if (!action.shortcut().isEmpty()) return true;
    for (const QMenu* menu : MenusHolding(bar, action)) {
        const QChar menuKey = Mnemonic(menu->title());
        int menusWithKey = 0;
        for (const QAction* entry : bar.actions()) menusWithKey += Mnemonic(entry->text()) == menuKey;
        if (menuKey.isNull() || menusWithKey != 1) continue;
        const QChar key = Mnemonic(action.text());
        if (key.isNull()) return true;
        int itemsWithKey = 0;
        for (const QAction* entry : menu->actions()) itemsWithKey += entry->isVisible() && Mnemonic(entry->text()) == key;
        if (itemsWithKey == 1) return true;
    }
    return false;
}

TEST_F(StagesWindowTest, EveryCommandOfTheMainMenusHasItsCaptionShortcutAndHintAndAKey)
{
    TAppFrame::WriteBool("EnableSpecialMenu", true);
    TfrmMain window(frame, nullptr, nullptr);
    const QMenuBar& bar = *window.menuBar();
    QList<QAction*> fileAndHelp;
    for (QAction* entry : bar.actions())
        if (QStringList{"ファイル(&F)", "表示(&V)", "ヘルプ(&H)"}.contains(entry->text())) fileAndHelp << entry->menu()->actions();
    for (const TCommandRow& row : kMainCommands) {
        const QString caption = QString::fromUtf8(row.caption);
        const auto found = std::find_if(fileAndHelp.begin(), fileAndHelp.end(), [&](QAction* a) { return a->text() == caption; });
        ASSERT_NE(found, fileAndHelp.end()) << row.caption;
        const QAction& action = **found;
        EXPECT_EQ(action.shortcut(), QKeySequence(QString::fromUtf8(row.shortcut))) << row.caption;
        if (row.hint) {
            EXPECT_EQ(action.statusTip(), QString::fromUtf8(row.hint)) << row.caption;
        }
        EXPECT_TRUE(action.isVisible()) << row.caption;
        EXPECT_TRUE(ReachableByKeyboard(bar, action)) << row.caption;
    }
    for (const QAction* action : fileAndHelp) EXPECT_FALSE(action->text().contains("$(")) << action->text().toStdString();
}

TEST_F(StagesWindowTest, TheWindowStartsOnTheMenuStageWithItsChoices)
{
    const auto window = OpenWindow();
    TStageHost& host = window->StageHost();
    EXPECT_EQ(host.Stage(), TStageHost::stMenu);
    auto* menu = dynamic_cast<TMenuStage*>(host.Screen());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(window->centralWidget(), &host);
    for (const QString caption : {"ダイレクト", "ラベル", "ケース", "ユーザー", "用紙変更", "テンプレート", "イメージから",
                                  "自由に作る", "開  く", "印  刷", "終 了"})
        EXPECT_NE(Button(*menu, caption), nullptr);
    QStringList labels;
    for (const QLabel* label : menu->findChildren<QLabel*>()) labels << label->text();
    EXPECT_TRUE(labels.contains("作成・編集するラベルをクリックします"));
    EXPECT_EQ(menu->Faces().Site().ChildCount(), 2);  // one per face of the paper
    EXPECT_EQ(TMenuStage::MediumGenreKeyword("ユーザー"), "ユーザー用紙");
    EXPECT_EQ(TMenuStage::MediumGenreKeyword("ケース"), "ケース");
    EXPECT_FALSE(window->IsEditingFace());
}

TEST_F(StagesWindowTest, AFaceChosenOnTheMenuIsLaidOutAndWrittenBackWhenTheStageIsLeft)
{
    const auto window = OpenWindow();
    TStageHost& host = window->StageHost();
    TLabelData& document = window->Flows().Document();
    auto* menu = dynamic_cast<TMenuStage*>(host.Screen());
    ASSERT_NE(menu, nullptr);
    ClickFace(menu->Faces(), document, 1);
    EXPECT_EQ(menu->Faces().SelectedFace(), 1);
    EXPECT_FALSE(menu->findChild<QLabel*>("ChosenFace")->text().isEmpty());

    Button(*menu, "自由に作る")->click();
    ASSERT_EQ(host.Stage(), TStageHost::stLayout);
    auto* layout = dynamic_cast<TLayoutStage*>(host.Screen());
    ASSERT_NE(layout, nullptr);
    EXPECT_TRUE(layout->isAncestorOf(&window->FaceView()));
    EXPECT_TRUE(window->IsEditingFace());
    EXPECT_EQ(window->FaceView().Face(), 1);
    ASSERT_EQ(window->FaceView().Site()->ChildCount(), 2);
    EXPECT_FALSE(window->Session().History().CanUndo());

    auto added = std::make_unique<test::TFilledRect>();
    added->SetBounds({600, 600, 700, 700});
    window->FaceView().Site()->AddObject(std::move(added));
    AddUndoableStep(window->Session().History());
    QAction* back = layout->JumpBar().actions().first();
    EXPECT_EQ(back->text(), "メニュー(&M)");
    back->trigger();
    EXPECT_EQ(host.Stage(), TStageHost::stMenu);
    EXPECT_FALSE(window->Session().History().CanUndo());
    EXPECT_FALSE(window->IsEditingFace());
    EXPECT_EQ(StoredObjects(document, 1), 3) << "the face is written back";
    EXPECT_EQ(window->FaceView().parentWidget()->parentWidget(), &host) << "the editor is back in the host's panel";
}

TEST_F(StagesWindowTest, TheClassicScreensAndTheStartMenuAreSwitchedByTheirCommands)
{
    const auto window = OpenWindow();
    TStageHost& host = window->StageHost();
    window->findChild<QAction*>("actSheetView")->trigger();
    EXPECT_EQ(host.Screen(), &window->SheetView());
    EXPECT_EQ(host.Stage(), -1);
    window->SheetView().SelectFace(1);
    window->findChild<QAction*>("actLabelView")->trigger();
    EXPECT_EQ(host.Screen(), &window->FaceView());
    EXPECT_EQ(window->FaceView().Face(), 1);
    AddUndoableStep(window->Session().History());
    window->findChild<QAction*>("actStartMenu")->trigger();
    EXPECT_EQ(host.Stage(), TStageHost::stMenu);
    EXPECT_FALSE(window->Session().History().CanUndo());
    EXPECT_FALSE(window->ChangeStage(7));
    EXPECT_EQ(host.Stage(), TStageHost::stMenu);
}

TEST_F(StagesWindowTest, F1OpensTheHelpOfTheScreenShown)
{
    const auto window = OpenWindow();
    QStringList asked;
    frame.OnHelp = [&](const QString& command, const QString& data) {
        asked << command + " " + data;
        return true;
    };
    QAction* contextHelp = nullptr;
    for (QAction* action : window->actions())
        if (action->shortcut() == QKeySequence::HelpContents) contextHelp = action;
    ASSERT_NE(contextHelp, nullptr);
    contextHelp->trigger();
    ASSERT_TRUE(window->ChangeStage(TStageHost::stLayout));
    contextHelp->trigger();
    EXPECT_EQ(asked, QStringList({"context stages.html#menu", "context stages.html#layout"}));
}

TEST_F(StagesWindowTest, TheExportSavesTheFaceShownOrTheWholeSheet)
{
    const auto window = OpenWindow();
    ASSERT_TRUE(window->ChangeStage(TStageHost::stLayout));
    const QString face = test::TestFolder() + "/face.png", sheet = test::TestFolder() + "/sheet.png";
    ASSERT_TRUE(window->ExportLabel(face, false));
    ASSERT_TRUE(window->ExportLabel(sheet, true));
    // Drawn at 300 dpi: the disc face of 117 mm with its margins, the A4 sheet.
    EXPECT_EQ(QImage(face).size(), QSize(1406, 1406));
    EXPECT_EQ(QImage(sheet).size(), QSize(2480, 3508));
    EXPECT_FALSE(window->ExportLabel(test::TestFolder() + "/face.tiff", false));
    EXPECT_TRUE(messages.last().contains("拡張子")) << messages.last().toStdString();
}

TEST_F(StagesWindowTest, ATemplateChosenForAFaceIsPreviewedPutOnItAndFilledOnTheNextStages)
{
    frame.Macro().SetValue("ExeDir", QStringLiteral(KESTREL_BINARY_DIR "/src/"));
    const auto window = OpenWindow();
    TStageHost& host = window->StageHost();
    auto* menu = dynamic_cast<TMenuStage*>(host.Screen());
    ASSERT_NE(menu, nullptr);
    ClickFace(menu->Faces(), window->Flows().Document(), 0);
    Button(*menu, "テンプレート")->click();
    auto* stage = dynamic_cast<TTemplateStage*>(host.Screen());
    ASSERT_NE(stage, nullptr);
    EXPECT_EQ(host.HelpContext(), "stages.html#template");
    EXPECT_TRUE(stage->Preview().pixmap().isNull()) << "nothing chosen yet";
    Button(*stage, "次へ")->click();
    EXPECT_EQ(host.Screen(), stage) << "no template, no next stage";
    EXPECT_EQ(messages.last(), "テンプレートを選んでください");

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&stage->Chooser().CollectionList(), &escape);
    EXPECT_TRUE(stage->Chooser().isVisibleTo(stage)) << "the chooser is part of the screen, not a dialog";
    stage->Chooser().Tabs().setCurrentIndex(0);
    ASSERT_GT(stage->Chooser().CollectionList().count(), 0);
    stage->Chooser().CollectionList().setCurrentRow(0);
    const QImage preview = stage->Preview().pixmap().toImage();
    ASSERT_FALSE(preview.isNull());
    int coloured = 0;
    for (int y = 0; y < preview.height(); y += 4)
        for (int x = 0; x < preview.width(); x += 4) coloured += qGray(preview.pixel(x, y)) < 240;
    EXPECT_GT(coloured, 20) << "the preview shows the template's design";

    Button(*stage, "次へ")->click();
    ASSERT_EQ(host.Stage(), TStageHost::stTextInput);
    EXPECT_TRUE(window->IsEditingFace());
    EXPECT_EQ(window->FaceView().Face(), 0);
    EXPECT_GT(window->FaceView().Site()->ChildCount(), 0) << "the template's objects are on the face";
    EXPECT_NE(Button(*host.Screen(), "アルバム情報..."), nullptr);
    EXPECT_NE(Button(*host.Screen(), "フォルダ..."), nullptr);

    // The template's input items, typed in: the text objects take them, one undo step each.
    auto* items = dynamic_cast<TInputItemsPanel*>(host.Screen()->findChild<QWidget*>("InputItems"));
    ASSERT_NE(items, nullptr);
    const auto fields = items->findChildren<QPlainTextEdit*>();
    ASSERT_FALSE(fields.isEmpty()) << "the template asks for input";
    fields.first()->setPlainText("夜明けの歌");
    QFocusEvent leave(QEvent::FocusOut);
    QApplication::sendEvent(fields.first(), &leave);
    QStringList texts;
    TDrawSite& site = *window->FaceView().Site();
    for (int i = 0; i < site.ChildCount(); ++i)
        if (auto* text = dynamic_cast<TLOText*>(&site.Child(i))) texts << text->Text().join('\n');
    EXPECT_TRUE(texts.contains("夜明けの歌")) << texts.join(" | ").toStdString();
    EXPECT_EQ(window->Session().History().UndoCaption(), "入力項目");
    fields.first()->setPlainText("\U0001F600");  // no such character on a label
    QApplication::sendEvent(fields.first(), &leave);
    EXPECT_TRUE(messages.last().contains("ラベルで使えない文字")) << messages.last().toStdString();

    Button(*host.Screen(), "次へ")->click();
    EXPECT_EQ(host.Stage(), TStageHost::stLayout);
    EXPECT_GT(StoredObjects(window->Flows().Document(), 0), 0);
}

TEST_F(StagesWindowTest, TheMenusEditCommandsMoveWholeFacesAndUndoThemStepByStep)
{
    const auto window = OpenWindow();
    auto* menu = dynamic_cast<TMenuStage*>(window->StageHost().Screen());
    ASSERT_NE(menu, nullptr);
    TLabelData& document = window->Flows().Document();
    ClickFace(menu->Faces(), document, 1);
    Button(*menu, "コピー")->click();
    ClickFace(menu->Faces(), document, 0);
    Button(*menu, "貼り付け")->click();
    ASSERT_EQ(StoredObjects(document, 0), 2);
    Button(*menu, "貼り付け")->click();
    EXPECT_EQ(StoredObjects(document, 0), 4) << "pasted on top of what the face holds";
    EXPECT_EQ(window->Session().History().UndoCaption(), "貼り付け");

    ClickFace(menu->Faces(), document, 1);
    Button(*menu, "切り取り")->click();
    EXPECT_EQ(StoredObjects(document, 1), 0);
    Button(*menu, "取り消し")->click();
    EXPECT_EQ(StoredObjects(document, 1), 2);
    Button(*menu, "やり直し")->click();
    EXPECT_EQ(StoredObjects(document, 1), 0);
    ClickFace(menu->Faces(), document, 0);
    Button(*menu, "クリア")->click();
    EXPECT_EQ(StoredObjects(document, 0), 0);
    for (int i = 0; i < 3; ++i) Button(*menu, "取り消し")->click();
    EXPECT_EQ(StoredObjects(document, 0), 2);
    EXPECT_EQ(StoredObjects(document, 1), 2);
}

TEST_F(StagesWindowTest, AMediumButtonOpensThePaperChooserOnItsGenreAndChangesTheSheetsPaper)
{
    TPaperCatalogue papers;
    papers.OpenSystem(KESTREL_DATA_DIR "/kestrel.ppr");
    TPapersV2& catalogue = *papers.Catalogue();
    TfrmMain window(frame, &catalogue, nullptr);
    ASSERT_TRUE(window.OpenDocument(path));
    auto* menu = dynamic_cast<TMenuStage*>(window.StageHost().Screen());
    ASSERT_NE(menu, nullptr);
    const QString before = window.Flows().Document().SheetPaper()->PaperName();

    QString genre;
    QString chosen;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TPaperChooserDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        genre = dialog->GenreTree().currentItem() ? dialog->GenreTree().currentItem()->text(0) : QString();
        ASSERT_FALSE(dialog->ListedPapers().isEmpty());
        dialog->PaperList().setCurrentItem(dialog->PaperList().topLevelItem(0));
        chosen = dialog->SelectedPaper() ? dialog->SelectedPaper()->PaperName() : QString();
        dialog->accept();
    });
    Button(*menu, "ケース")->click();
    EXPECT_TRUE(genre.contains("ケース")) << genre.toStdString();
    ASSERT_FALSE(chosen.isEmpty());
    EXPECT_EQ(window.Flows().Document().SheetPaper()->PaperName(), chosen);
    menu = dynamic_cast<TMenuStage*>(window.StageHost().Screen());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->Faces().Site().ChildCount(), window.Flows().Document().FaceCount()) << "the new paper's faces";
    window.Session().History().Undo();
    EXPECT_EQ(window.Flows().Document().SheetPaper()->PaperName(), before);
}

TEST_F(StagesWindowTest, TheImageStageShowsTheFaceAndLeadsOnToTheTextInput)
{
    const auto window = OpenWindow();
    TStageHost& host = window->StageHost();
    auto* menu = dynamic_cast<TMenuStage*>(host.Screen());
    ASSERT_NE(menu, nullptr);
    ClickFace(menu->Faces(), window->Flows().Document(), 1);
    Button(*menu, "イメージから")->click();
    ASSERT_EQ(host.Stage(), TStageHost::stImage);
    EXPECT_EQ(window->FaceView().Face(), 1);
    for (const QString caption : {"ファイル選択", "クリップボード", "TWAIN", "戻る"}) EXPECT_NE(Button(*host.Screen(), caption), nullptr);
    Button(*host.Screen(), "次へ")->click();
    EXPECT_EQ(host.Stage(), TStageHost::stTextInput);
    Button(*host.Screen(), "戻る")->click();
    EXPECT_EQ(host.Stage(), TStageHost::stTemplate);
}

TEST_F(StagesWindowTest, TheImageStageOffersTheListAndPutsAChosenPictureInTheMiddleOfTheFace)
{
    const auto window = OpenWindow();
    ASSERT_TRUE(window->ChangeStage(TStageHost::stImage));
    ASSERT_NE(Button(*window->StageHost().Screen(), "一覧選択"), nullptr);

    QImage red(200, 100, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString picture = test::TestFolder() + "/red.png";
    test::WriteFileBytes(picture, EncodePng(red));
    TDrawSite& site = *window->FaceView().Site();
    const int before = site.ChildCount();
    window->FaceView().AddPictureFiles({picture, test::TestFolder() + "/missing.png"});
    ASSERT_EQ(site.ChildCount(), before + 1) << "a file that cannot be read adds nothing";
    auto* image = dynamic_cast<TLOImage*>(&site.Child(site.ChildCount() - 1));
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->Selected());
    const TRect area = site.LogicalArea();
    const TRect placed = image->GetBounds();
    EXPECT_NEAR((placed.left + placed.right) / 2, (area.left + area.right) / 2, 2);
    EXPECT_NEAR((placed.top + placed.bottom) / 2, (area.top + area.bottom) / 2, 2);
    ASSERT_TRUE(window->Session().History().CanUndo());
    window->Session().History().Undo();
    EXPECT_EQ(site.ChildCount(), before);
}

// Runs the step on the next modal dialog of the type once it is shown.
template <class Dialog>
void OnNextModal(std::function<void(Dialog&)> step)
{
    QTimer::singleShot(0, [step = std::move(step)] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr) << "no such dialog open";
        step(*dialog);
    });
}

QAction* WindowCommand(QWidget& window, const QString& caption)
{
    for (QAction* action : window.findChildren<QAction*>())
        if (action->text() == caption) return action;
    ADD_FAILURE() << "no command " << caption.toStdString();
    return nullptr;
}

TLOText* InputText(TDrawSite& site, const QString& caption)
{
    for (int i = 0; i < site.ChildCount(); ++i)
        if (InputCaption(site.Child(i)) == caption) return dynamic_cast<TLOText*>(&site.Child(i));
    return nullptr;
}

// Degrees of the point about the centre, clockwise on screen.
double DirectionAbout(QPointF centre, QPointF point)
{
    return qRadiansToDegrees(std::atan2(point.y() - centre.y(), point.x() - centre.x()));
}

// A typical task from start to printing, as the user goes: a two-disc label paper, a template
// filled from an album and from a folder of music, the title moved along the disc, a QR code of
// an address; saved and printed to a PDF file whose symbol reads back.
TEST_F(StagesWindowTest, FromTheMenuToAPrintedLabelWithATemplateAlbumAndQrCode)
{
    static const int yes = mrYes;  // to putting the template on the face
    test::RecordMessages(frame, messages, yes);
    frame.Macro().SetValue("ExeDir", QStringLiteral(KESTREL_BINARY_DIR "/src/"));
    TPaperCatalogue papers;
    papers.OpenSystem(KESTREL_DATA_DIR "/kestrel.ppr");
    TfrmMain window(frame, papers.Catalogue(), nullptr);
    window.resize(1280, 960);
    window.show();
    window.NewDocument();
    TStageHost& host = window.StageHost();
    auto* menu = dynamic_cast<TMenuStage*>(host.Screen());
    ASSERT_NE(menu, nullptr);

    const QString discPaper = "A4 CDラベル 2面 (外径117mm/内径41mm)";
    OnNextModal<TPaperChooserDialog>([&](TPaperChooserDialog& dialog) {
        const int index = int(dialog.ListedPapers().indexOf(discPaper));
        ASSERT_GE(index, 0) << dialog.ListedPapers().join(", ").toStdString();
        dialog.SelectPaper(index);
        dialog.accept();
    });
    Button(*menu, "ラベル")->click();
    TLabelData& document = window.Flows().Document();
    ASSERT_EQ(document.SheetPaper()->PaperName(), discPaper);
    ASSERT_EQ(document.FaceCount(), 2);

    menu = dynamic_cast<TMenuStage*>(host.Screen());
    ASSERT_NE(menu, nullptr);
    ClickFace(menu->Faces(), document, 0);
    Button(*menu, "テンプレート")->click();
    auto* templates = dynamic_cast<TTemplateStage*>(host.Screen());
    ASSERT_NE(templates, nullptr);
    templates->Chooser().Tabs().setCurrentIndex(0);
    ASSERT_GT(templates->Chooser().CollectionList().count(), 0);
    templates->Chooser().CollectionList().setCurrentRow(0);
    Button(*templates, "次へ")->click();
    ASSERT_EQ(host.Stage(), TStageHost::stTextInput) << messages.join('\n').toStdString();
    TDrawSite& site = *window.FaceView().Site();
    TLOText* title = InputText(site, "タイトル");
    ASSERT_NE(title, nullptr) << "the template asks for a title";
    const TRect placedByTemplate = title->GetBounds();
    ASSERT_NE(InputText(site, "アーティスト名"), nullptr);
    const TRect artistPlace = InputText(site, "アーティスト名")->GetBounds();

    // From the album list.
    {
        TAlbums albums;
        albums.Open(window.AlbumsFile());
        TAlbumInfo album;
        album.SetTitle("夜明けのアルバム");
        album.SetArtist("Band");
        album.Tracks().Add().SetTitle("一曲目");
        albums.Store(album, -1);
        albums.Close();
    }
    OnNextModal<QDialog>([](QDialog& dialog) { dialog.accept(); });
    Button(*host.Screen(), "アルバム情報...")->click();
    EXPECT_EQ(title->Text(), QStringList{"夜明けのアルバム"}) << messages.join('\n').toStdString();

    // From a folder of tagged music files.
    const QString folder = test::TestFolder() + "/music";
    QDir().mkpath(folder);
    for (int i = 1; i <= 2; ++i)
        test::WriteFileBytes(QStringLiteral("%1/%2.mp3").arg(folder).arg(i),
                             test::SyntheticMp3({QStringLiteral("%1 曲").arg(i), "Band", "Disc", 60 + i, {}}));
    OnNextModal<QFileDialog>([&](QFileDialog& dialog) {
        dialog.setDirectory(folder);
        static_cast<QDialog&>(dialog).accept();
    });
    Button(*host.Screen(), "フォルダ...")->click();
    EXPECT_EQ(title->Text(), QStringList{"Disc"}) << messages.join('\n').toStdString();
    EXPECT_EQ(title->GetBounds(), placedByTemplate);

    // The layout: the title along the circumference by whole steps of 30 degrees.
    Button(*host.Screen(), "次へ")->click();
    ASSERT_EQ(host.Stage(), TStageHost::stLayout);
    title = InputText(*window.FaceView().Site(), "タイトル");
    ASSERT_NE(title, nullptr);
    TDrawSite& layout = *window.FaceView().Site();
    TMoveSettings& modes = window.Session().MoveSettings();
    modes.circumference = true;
    modes.stepMove = true;
    modes.stepAngle = 30;
    const QPointF centre = CentreOf(layout.LogicalArea());
    const QPointF grip = CentreOf(title->GetBounds());
    const double before = DirectionAbout(centre, grip);
    const QPoint target = RoundedPoint(TurnedAbout(grip, centre, 40));  // the step makes it 30
    QWidget& surface = window.FaceView().View()->Surface();
    const QPoint from = layout.LogToDev(RoundedPoint(grip)), to = layout.LogToDev(target);
    QTest::mousePress(&surface, Qt::LeftButton, {}, from);
    QTest::mouseEvent(QTest::MouseMove, &surface, Qt::NoButton, {}, (from + to) / 2);
    QTest::mouseEvent(QTest::MouseMove, &surface, Qt::NoButton, {}, to);
    QTest::mouseRelease(&surface, Qt::LeftButton, {}, to);
    const QPointF moved = CentreOf(title->GetBounds());
    EXPECT_NEAR(NormalizedAngle(DirectionAbout(centre, moved) - before), 30, 1.5);
    EXPECT_NEAR(QLineF(centre, moved).length(), QLineF(centre, grip).length(), 3) << "on the same circle";
    const TRect titlePlace = title->GetBounds();

    // A QR code holding an address, put below the hole.
    const QString address = "https://example.jp/disc";
    OnNextModal<QDialog>([&](QDialog& dialog) {
        auto* kind = dialog.findChildren<QComboBox*>().value(0);
        ASSERT_NE(kind, nullptr);
        kind->setCurrentIndex(1);  // URL
        Q_EMIT kind->activated(1);
        dialog.findChildren<QLineEdit*>().value(6)->setText(address);
        dialog.accept();
    });
    WindowCommand(window, "QRコード(&Q)...")->trigger();
    TLOQRStd* qr = nullptr;
    for (int i = 0; i < layout.ChildCount(); ++i)
        if (auto* found = dynamic_cast<TLOQRStd*>(&layout.Child(i))) qr = found;
    ASSERT_NE(qr, nullptr) << messages.join('\n').toStdString();
    EXPECT_EQ(qr->QRUrl(), address);
    const TRect code = qr->GetBounds();
    qr->MoveBy(int(centre.x()) - (code.left + code.right) / 2, int(centre.y()) + 300 - code.top);

    // Saved under a name, then printed to a PDF file.
    const QString saved = test::TestFolder() + "/road.mld";
    OnNextModal<QFileDialog>([&](QFileDialog& dialog) {
        dialog.selectFile(saved);
        static_cast<QDialog&>(dialog).accept();
    });
    WindowCommand(window, "名前を付けて保存(&A)...")->trigger();
    ASSERT_TRUE(QFileInfo::exists(saved)) << messages.join('\n').toStdString();
    TLabelData reopened;
    reopened.LoadFromFile(saved);
    TDOList objects;
    reopened.LoadFaceObjects(0, objects);
    QMap<QString, TRect> storedPlaces;
    for (TDrawObject* object : objects.Items())
        if (!InputCaption(*object).isEmpty()) storedPlaces[InputCaption(*object)] = dynamic_cast<IDOEncloseBounds&>(*object).GetBounds();
    EXPECT_EQ(storedPlaces.value("タイトル"), titlePlace) << "the title is saved where it was moved";
    EXPECT_EQ(storedPlaces.value("アーティスト名"), artistPlace) << "the artist stays where the template put it";

    TPrinterConfiguration::Named(PdfPrinterName())->MakeCurrent();
    const QString pdf = test::TestFolder() + "/road.pdf";
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>("PdfFile")->setText(pdf);
        for (QPushButton* button : dialog->findChildren<QPushButton*>())
            if (button->text() == "印刷開始") return button->click();
        ADD_FAILURE() << "no print button";
    });
    WindowCommand(window, "印刷(&P)...")->trigger();
    ASSERT_TRUE(QFileInfo::exists(pdf)) << messages.join('\n').toStdString();
    const QString page = test::TestFolder() + "/road-page";
    ASSERT_EQ(QProcess::execute("pdftoppm", {"-r", "300", "-png", "-singlefile", pdf, page}), 0);
    const test::TDecodedSymbols read = test::DecodeSymbols({page + ".png"}).value(page + ".png");
    ASSERT_FALSE(read.zbar.isEmpty()) << "the QR code reads back";
    EXPECT_TRUE(read.zbar.first().contains(address.toLatin1())) << read.zbar.first().constData();
}

TEST_F(StagesWindowTest, TheMainCommandsAndTheFormatToolsShowTheirIcons)
{
    frame.Macro().SetValue("ExeDir", QStringLiteral(KESTREL_BINARY_DIR "/src/"));
    TfrmMain window(frame, nullptr, nullptr);
    QStringList withIcons;
    for (QAction* action : window.findChildren<QAction*>())
        if (!action->icon().isNull()) withIcons << action->text();
    for (const char* caption : {"新規作成(&N)...", "開く(&O)...", "保存(&S)", "印刷(&P)...", "取り消し(&U)", "やり直し(&R)",
                                "コピー(&C)", "貼り付け(&P)", "文字(&T)...", "QRコード(&Q)...", "太字"})
        EXPECT_TRUE(withIcons.contains(QString::fromUtf8(caption))) << caption;
}

TEST_F(StagesWindowTest, TheFormatToolsAreInTheFormatMenuForTheKeyboard)
{
    TfrmMain window(frame, nullptr, nullptr);
    QMenu* format = nullptr;
    for (QAction* entry : window.menuBar()->actions())
        if (entry->text() == "書式(&O)") format = entry->menu();
    ASSERT_NE(format, nullptr);
    for (const char* tool : {"actPenColor", "actFillColor", "actNoFill", "actPlace", "actLineUp", "actChangeBackground",
                             "actChangeField"}) {
        QAction* onBar = window.FormatToolBar().Entry(tool);
        ASSERT_NE(onBar, nullptr) << tool;
        EXPECT_TRUE(format->actions().contains(onBar)) << tool << " is the bar's own entry, enabled alike";
    }
    for (QAction* action : format->actions()) EXPECT_EQ(qobject_cast<QWidgetAction*>(action), nullptr);
}

}  // namespace
}  // namespace kestrel

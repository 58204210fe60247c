#include "ui/InformationDialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>

#include "app/AppFrame.h"
#include "document/DOList.h"
#include "label/LabelData.h"
#include "label/LabelDocumentFixtures.h"
#include "paper/ProductDB.h"
#include "render/DrawSite.h"
#include "support/MessageRecorder.h"
#include "support/TestEnvironment.h"
#include "text/LOText.h"
#include "ui/FaceView.h"
#include "ui/MainWindow.h"

namespace kestrel {
namespace {

QString ItemOf(const TProductInfo& record, int item)
{
    return record.Items().Item(item).Info().join(u'\n');
}

class InformationDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RecordMessages(frame, messages);
        const QString folder = test::TestFolder();
        QFile::remove(folder + "/user.cdb");
        productDB = std::make_unique<TProductDB>(folder + "/none.cdb", folder + "/user.cdb");
        productDB->Load();
        document.SetPaper(*test::TwoDiscPaper());
        TDOList objects;
        objects.Add(test::InformationField(ftProduct, 1, "旧タイトル"));
        objects.Add(test::InformationField(ftCreatorJapanese, 1, "旧会社"));
        objects.Add(test::InformationField(ftCreatorEnglish, 1, "Old Company"));
        document.SaveFaceObjects(0, objects);
        document.ProductInfo().Items().Item(0).SetInfo({"旧タイトル"});
        document.SetModified(false);
    }

    TAppFrame frame;
    QStringList messages;
    std::unique_ptr<TProductDB> productDB;
    TLabelData document;
};

TEST_F(InformationDialogsTest, ProductEditsReachTheFieldsAndStoredProductsComeAndGo)
{
    TfrmProductInfo dialog(document, productDB.get());
    ASSERT_EQ(dialog.Stored().count(), 1);  // only the label's own record
    dialog.Editor().Value(0).setPlainText("新タイトル");
    dialog.Editor().Value(1).setPlainText("一行目\n二行目");

    dialog.StoreShown();
    ASSERT_EQ(productDB->ProductCount(), 1);
    ASSERT_EQ(dialog.Stored().count(), 2);
    EXPECT_EQ(dialog.Stored().itemText(1), "新タイトル");
    EXPECT_EQ(dialog.Stored().currentIndex(), 1);

    // Another stored product, chosen, fills the items; the label's own comes back as entry 0.
    TProductInfo other;
    other.Items().Item(0).SetInfo({"別の作品"});
    productDB->Store(other);
    dialog.Stored().setCurrentIndex(0);
    Q_EMIT dialog.Stored().activated(0);
    EXPECT_EQ(dialog.Editor().Value(0).toPlainText(), "旧タイトル");

    dialog.Editor().Value(0).setPlainText("新タイトル");
    dialog.Editor().Value(1).setPlainText("一行目\n二行目");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ItemOf(document.ProductInfo(), 1), "一行目\n二行目");
    EXPECT_EQ(test::FaceTexts(document, 0), (QStringList{"新タイトル", "旧会社", "Old Company"}));
    EXPECT_TRUE(document.IsModified());

    TfrmProductInfo again(document, productDB.get());
    ASSERT_EQ(again.Stored().count(), 3);
    again.Stored().setCurrentIndex(2);
    Q_EMIT again.Stored().activated(2);
    EXPECT_EQ(again.Editor().Value(0).toPlainText(), "別の作品");
    again.DeleteChosen();
    EXPECT_EQ(productDB->ProductCount(), 1);
    EXPECT_EQ(again.Stored().count(), 2);
    EXPECT_TRUE(messages.isEmpty()) << messages.join("\n").toStdString();
}

TEST_F(InformationDialogsTest, TextTheLabelsCannotHoldIsRefusedAndNothingChanges)
{
    TfrmCreatorInfo dialog(document, productDB.get());
    dialog.Japanese().Value(0).setPlainText("新会社");
    dialog.English().Value(2).setPlainText("\U0001F3B5");
    dialog.ForNewLabels().setChecked(true);
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(messages.size(), 1);
    const QString caption = document.CreatorInfoE().Items().Item(2).FieldName();
    EXPECT_TRUE(messages[0].contains("「" + caption + "」にラベルで使えない文字")) << messages[0].toStdString();
    EXPECT_EQ(test::FaceTexts(document, 0), (QStringList{"旧タイトル", "旧会社", "Old Company"}));
    EXPECT_FALSE(productDB->Modified());
}

TEST_F(InformationDialogsTest, CreatorsCanBecomeWhatNewLabelsStartWith)
{
    {
        TfrmCreatorInfo dialog(document, productDB.get());
        dialog.Japanese().Value(0).setPlainText("新会社");
        dialog.English().Value(0).setPlainText("New Company");
        dialog.accept();
        EXPECT_EQ(test::FaceTexts(document, 0), (QStringList{"旧タイトル", "新会社", "New Company"}));
        EXPECT_FALSE(productDB->Modified());  // this label only
    }
    TfrmCreatorInfo dialog(document, productDB.get());
    dialog.Japanese().Value(7).setPlainText("https://example.jp/");
    dialog.ForNewLabels().setChecked(true);
    dialog.accept();
    TLabelData next(productDB.get());
    EXPECT_EQ(ItemOf(next.CreatorInfoJ(), 0), "新会社");
    EXPECT_EQ(ItemOf(next.CreatorInfoJ(), 7), "https://example.jp/");
    EXPECT_EQ(ItemOf(next.CreatorInfoE(), 0), "New Company");
    // The stored creators stay the creator records: no product appeared.
    EXPECT_EQ(productDB->ProductCount(), 0);
}

// From the insert menu on the face being edited: what was edited on the face is kept, and the
// face shows the new information at once.
TEST_F(InformationDialogsTest, TheMenuCommandRefreshesTheFaceBeingEdited)
{
    const QString path = test::TestFolder() + "/information.mld";
    document.SaveToFile(path);
    TfrmMain window(frame, nullptr, productDB.get());
    ASSERT_TRUE(window.OpenDocument(path));
    ASSERT_TRUE(window.EditFace(0));
    TDrawSite& site = *window.FaceView().Site();
    ASSERT_EQ(site.ChildCount(), 3);
    auto* first = dynamic_cast<TLOText*>(&site.Child(0));
    ASSERT_NE(first, nullptr);
    first->SetBounds({20, 20, 320, 120});  // an edit not yet written back
    const TRect moved = site.Child(0).GetBounds();

    QAction* command = nullptr;
    for (QAction* menu : window.menuBar()->actions())
        for (QAction* action : menu->menu() ? menu->menu()->actions() : QList<QAction*>{})
            if (action->text() == "プロダクト情報の編集(&P)...") command = action;
    ASSERT_NE(command, nullptr);
    QTimer::singleShot(0, [] {
        auto* dialog = dynamic_cast<TfrmProductInfo*>(QApplication::activeModalWidget());
        if (!dialog) return;
        dialog->Editor().Value(0).setPlainText("画面から");
        dialog->accept();
    });
    command->trigger();

    TDrawSite& shown = *window.FaceView().Site();
    QStringList texts;
    for (int i = 0; i < shown.ChildCount(); ++i)
        if (auto* text = dynamic_cast<TLOText*>(&shown.Child(i))) texts << text->Text().join(u'|');
    EXPECT_TRUE(texts.contains("画面から")) << texts.join(",").toStdString();
    bool kept = false;
    for (int i = 0; i < shown.ChildCount(); ++i) kept = kept || shown.Child(i).GetBounds() == moved;
    EXPECT_TRUE(kept);
}

}  // namespace
}  // namespace kestrel

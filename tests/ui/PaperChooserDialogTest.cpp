#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>

#include "app/AppFrame.h"
#include "app/ProgramMacros.h"
#include "label/DocumentFlows.h"
#include "label/FaceRender.h"
#include "label/LabelData.h"
#include "paper/CatalogueStartup.h"
#include "paper/PaperInfo.h"
#include "render/LOFace.h"
#include "ui/MainWindow.h"
#include "ui/PaperChooserDialog.h"
#include "ui/SheetView.h"

namespace kestrel {
namespace {

const QString PlainA4 = QStringLiteral("A4 普通紙 (210×297mm)");
const QString PlainB5 = QStringLiteral("B5 普通紙 (182×257mm)");
const QString PostCard = QStringLiteral("はがき (100×148mm)");

class PaperChooserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame.Macro().SetLines(ProgramMacroTable());
        frame.Loaded();
        papers.OpenSystem(KESTREL_DATA_DIR "/kestrel.ppr");
    }

    TPapersV2& Catalogue() { return *papers.Catalogue(); }

    // Types the query as the user would.
    static QStringList Found(TPaperChooserDialog& dialog, const QString& query)
    {
        dialog.SearchBox().setEditText(query);
        return dialog.ListedPapers();
    }

    // Chooses the paper in a fresh dialog, as one run of the program would.
    void ChooseInNewDialog(const QString& name)
    {
        TPaperChooserDialog dialog(Catalogue());
        dialog.SelectPaper(Catalogue().IndexOfName(name));
        dialog.accept();
    }

    TAppFrame frame;
    TPaperCatalogue papers;
};

TEST_F(PaperChooserTest, FindsPapersByKatakanaFullWidthAndLowerCaseQueries)
{
    TPaperChooserDialog dialog(Catalogue());
    EXPECT_EQ(Found(dialog, QStringLiteral("ハガキ")), QStringList{PostCard});
    EXPECT_EQ(Found(dialog, QStringLiteral("ＤＶＤ")).size(), 3);
    EXPECT_TRUE(Found(dialog, QStringLiteral("すりむ")).value(0).contains(QStringLiteral("スリムケース")));
    EXPECT_EQ(Found(dialog, QStringLiteral("b5")), QStringList{PlainB5});
    EXPECT_EQ(dialog.SelectedPaper()->PaperName(), PlainB5);
    EXPECT_EQ(dialog.GenreTree().currentItem(), nullptr);  // a search leaves the genres
    EXPECT_TRUE(Found(dialog, QStringLiteral("存在しない用紙")).isEmpty());
    EXPECT_EQ(dialog.SelectedPaper(), nullptr);
    EXPECT_EQ(Found(dialog, QString()).size(), Catalogue().Count());  // back to every paper
}

TEST_F(PaperChooserTest, ListsFullNamesWithTooltipsAndPicturesTheSelectedPaper)
{
    TPaperChooserDialog dialog(Catalogue());
    QTreeWidget& list = dialog.PaperList();
    EXPECT_EQ(list.textElideMode(), Qt::ElideNone);
    const QString jacket = QStringLiteral("A4 CDラベル 1面＋ジャケット 1面 (外径117mm/内径22mm)");
    dialog.SelectPaper(Catalogue().IndexOfName(jacket));
    ASSERT_NE(list.currentItem(), nullptr);
    EXPECT_EQ(list.currentItem()->text(0), jacket);
    EXPECT_TRUE(list.currentItem()->toolTip(0).startsWith(jacket));

    TPaperSite& preview = dialog.Preview();
    EXPECT_EQ(preview.LogWidth(), 2100);
    EXPECT_EQ(preview.LogHeight(), 2970);
    EXPECT_EQ(FaceCount(preview), 2);
    dialog.LandscapeBox().setChecked(true);
    EXPECT_EQ(preview.LogWidth(), 2970);
    EXPECT_EQ(preview.LogHeight(), 2100);
}

TEST_F(PaperChooserTest, RecentlyUsedPapersComeFirstAfterARestart)
{
    ChooseInNewDialog(PlainB5);
    ChooseInNewDialog(PostCard);

    TPaperCatalogue restartedPapers;
    restartedPapers.OpenSystem(KESTREL_DATA_DIR "/kestrel.ppr");
    TPapersV2& restarted = *restartedPapers.Catalogue();
    TPaperChooserDialog dialog(restarted);
    ASSERT_NE(dialog.GenreTree().currentItem(), nullptr);
    EXPECT_EQ(dialog.GenreTree().currentItem()->text(0), QStringLiteral("最近使った用紙"));
    EXPECT_EQ(dialog.ListedPapers(), (QStringList{PostCard, PlainB5}));
    EXPECT_EQ(dialog.SelectedPaper()->PaperName(), PostCard);

    const QList<QTreeWidgetItem*> all =
        dialog.GenreTree().findItems(QStringLiteral("すべての用紙"), Qt::MatchExactly);
    ASSERT_EQ(all.size(), 1);
    dialog.GenreTree().setCurrentItem(all[0]);
    EXPECT_EQ(dialog.ListedPapers().mid(0, 2), (QStringList{PostCard, PlainB5}));
    EXPECT_EQ(dialog.ListedPapers().size(), restarted.Count());
}

TEST_F(PaperChooserTest, ALandscapeA4PlainPaperGivesATurnedSheet)
{
    TfrmMain window(frame, &Catalogue(), nullptr);
    window.resize(800, 600);
    window.show();
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<TPaperChooserDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->SearchBox().setEditText(QStringLiteral("a4 普通紙"));
        dialog->LandscapeBox().setChecked(true);
        dialog->SheetCount().setValue(2);
        dialog->accept();
    });
    window.findChild<QAction*>("actNew")->trigger();

    TLabelData& document = window.Flows().Document();
    ASSERT_EQ(document.SheetPaper()->PaperName(), PlainA4);
    EXPECT_EQ(document.SheetCount(), 2);
    EXPECT_TRUE(document.SheetPaper()->Landscape());
    EXPECT_EQ(window.SheetView().Site().LogWidth(), 2970);
    EXPECT_EQ(window.SheetView().Site().LogHeight(), 2100);
    const TSheetRect face = document.Face(0).OuterRect();
    EXPECT_EQ(face.Width(), 2970);
    EXPECT_EQ(face.Height(), 2100);
    EXPECT_EQ(RenderSheet(document, 254).size(), QSize(2970, 2100));
}

TEST_F(PaperChooserTest, TheDocumentsPaperIsSelectedWhenTheChooserOpens)
{
    std::unique_ptr<TPaperInfo> current = Catalogue().Paper(Catalogue().IndexOfName(PlainB5)).Clone();
    current->SetLandscape(true);
    TPaperChooserDialog dialog(Catalogue(), {current.get()});
    EXPECT_EQ(dialog.SelectedPaper()->PaperName(), PlainB5);
    EXPECT_TRUE(dialog.LandscapeBox().isChecked());

    // A user paper the catalogue does not know joins it.
    std::unique_ptr<TPaperInfo> mine = current->Clone();
    mine->SetPaperName(QStringLiteral("自分の用紙"));
    mine->SetReadOnly(false);
    const int before = Catalogue().Count();
    TPaperChooserDialog again(Catalogue(), {mine.get()});
    EXPECT_EQ(Catalogue().Count(), before + 1);
    EXPECT_EQ(again.SelectedPaper()->PaperName(), QStringLiteral("自分の用紙"));
}

}  // namespace
}  // namespace kestrel

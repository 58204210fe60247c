#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTimer>

#include "app/AppFrame.h"
#include "imaging/PreviewCache.h"
#include "objects/BackImage.h"
#include "objects/LODecoString.h"
#include "text/LODate.h"
#include "support/MessageRecorder.h"
#include "support/TestEnvironment.h"
#include "ui/BackgroundDialog.h"
#include "ui/DecoratedTextDialogs.h"
#include "ui/TemplateDialog.h"
#include "ui/TextPropertiesDialog.h"

namespace kestrel {
namespace {

class DesignDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RecordMessages(frame, messages);
        frame.Macro().SetValue("ExeDir", QStringLiteral(KESTREL_BINARY_DIR "/src/"));
    }

    TAppFrame frame;
    QStringList messages;
};

TFaceGeometry DiscFace()
{
    TFaceGeometry face;
    face.purpose = QStringLiteral("CD");
    face.rect = {0, 0, 1170, 1170};
    return face;
}

TEST_F(DesignDialogs, TheCollectionOffersTheGenresOfTheFacesPurposeAndFavouritesAreKeptOnce)
{
    TfrmTemplate2 dialog(nullptr, DiscFace());
    ASSERT_GE(dialog.GenreBox().count(), 6);
    dialog.Tabs().setCurrentIndex(0);
    dialog.GenreBox().setCurrentIndex(0);
    ASSERT_EQ(dialog.CollectionList().count(), 2) << "two disc designs per genre; the business card is landscape";
    EXPECT_FALSE(dialog.CollectionList().item(0)->text().isEmpty()) << "IDs are shown under the thumbnails";
    EXPECT_FALSE(dialog.Chosen());
    dialog.CollectionList().setCurrentRow(1);
    ASSERT_TRUE(dialog.Chosen());

    dialog.AddSelectedToFavourites();
    dialog.AddSelectedToFavourites();
    EXPECT_EQ(messages, (QStringList{QStringLiteral("お気に入りに追加しました"), QStringLiteral("このテンプレートは登録済みです")}));

    dialog.Tabs().setCurrentIndex(2);
    ASSERT_EQ(dialog.FavouriteList().count(), 1);
    dialog.FavouriteList().setCurrentRow(0);
    dialog.RemoveSelectedFavourite();
    ASSERT_EQ(dialog.FavouriteList().count(), 1);
    EXPECT_EQ(dialog.FavouriteList().item(0)->text(), QStringLiteral("登録済みのテンプレートはありません"));
}

TEST_F(DesignDialogs, AnIdFindsItsTemplateOrSaysWhyNot)
{
    TfrmTemplate2 dialog(nullptr, DiscFace());
    dialog.FindById(QStringLiteral("p002"));
    ASSERT_TRUE(dialog.Chosen());
    EXPECT_TRUE(dialog.Chosen()->fileName.endsWith(QStringLiteral("PopDisc2.mld")));
    EXPECT_EQ(dialog.GenreBox().currentText(), QStringLiteral("ポップ"));
    dialog.FindById(QStringLiteral("ZZZZ"));
    dialog.FindById(QStringLiteral("P003"));
    EXPECT_EQ(messages, (QStringList{QStringLiteral("「ZZZZ」は見つかりませんでした"),
                                     QStringLiteral("「P003」のテンプレートは現在のラベルに適合しません")}));
}

TEST_F(DesignDialogs, ADecoratedStringOfOtherCharactersIsRefusedAndTheDialogStaysOpen)
{
    TLODecoString string;
    bool stillOpen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* text = dialog->findChild<QLineEdit*>();
        text->setText(QStringLiteral("Jazz-Night"));
        QMetaObject::invokeMethod(dialog, "accept");
        stillOpen = dialog->isVisible();
        text->setText(QStringLiteral("Jazz Night"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    ASSERT_TRUE(EditDecoString(nullptr, string));
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(messages, QStringList{QStringLiteral("飾り文字には「A～Z、a～z、0～9、?、!」しか使えません")});
    EXPECT_EQ(string.Text(), QStringLiteral("Jazz Night"));
    EXPECT_EQ(string.Height(), TLODecoString::NewHeight) << "a new string takes the size of its letters";
}

TEST_F(DesignDialogs, TheDateDialogSetsTheFaceSizeAndStyleAndCancelKeepsThem)
{
    TLODate date;
    const QString before = date.Font().Name();
    const auto edit = [&](bool take) {
        QString chosen;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            TFontChooser* fonts = nullptr;  // not a QObject class of its own: findChild cannot tell it
            for (QWidget* child : dialog->findChildren<QWidget*>())
                if (!fonts) fonts = dynamic_cast<TFontChooser*>(child);
            ASSERT_NE(fonts, nullptr);
            const int other = fonts->FaceBox().currentIndex() == 1 ? 2 : 1;
            chosen = fonts->FaceBox().itemText(other);
            fonts->FaceBox().setCurrentIndex(other);
            fonts->SizeBox().setEditText("20");
            for (QCheckBox* box : dialog->findChildren<QCheckBox*>())
                if (box->text() == QStringLiteral("太字(&B)")) box->setChecked(true);
            QMetaObject::invokeMethod(dialog, take ? "accept" : "reject");
        });
        return std::pair{EditDate(nullptr, date), chosen};
    };
    EXPECT_FALSE(edit(false).first);
    EXPECT_EQ(date.Font().Name(), before);
    EXPECT_FALSE(date.Font().HasStyle(fsBold));

    const auto [taken, chosen] = edit(true);
    ASSERT_TRUE(taken);
    EXPECT_EQ(date.Font().Name(), chosen);
    EXPECT_EQ(date.Font().Size(), 20);
    EXPECT_TRUE(date.Font().HasStyle(fsBold));
}

// How many pixels of the picture are not paper white.
int Ink(const QImage& image)
{
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ink += qGray(image.pixel(x, y)) < 200;
    return ink;
}

TEST_F(DesignDialogs, EachDecoratedLetterFontIsOfferedWithASampleInItsOwnLetters)
{
    TLODecoString string;
    QList<QImage> samples;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        for (QComboBox* box : dialog->findChildren<QComboBox*>())
            if (box->count() >= 6 && !box->itemIcon(0).isNull())
                for (int i = 0; i < box->count(); ++i) samples << box->itemIcon(i).pixmap(box->iconSize()).toImage();
        QMetaObject::invokeMethod(dialog, "reject");
    });
    EditDecoString(nullptr, string);
    ASSERT_GE(samples.size(), 6) << "the shipped fonts";
    for (const QImage& sample : samples) EXPECT_GT(Ink(sample), 100);
    EXPECT_NE(samples[0], samples[1]);
}

TEST_F(DesignDialogs, BackgroundThumbnailsAreKeptInTheUsersPictureCache)
{
    ImageCache().Open(test::TestFolder() + "/ImageCache.ic", false);
    ImageCache().SetLimit(CacheLimitFromSettings(true, 0));  // the program's cache is shared: another test may have disabled it
    TLOBackImage background;
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* pictures = dialog->findChild<QListWidget*>();
        for (int i = 0; i < pictures->count(); ++i) {
            EXPECT_FALSE(pictures->item(i)->icon().isNull());
            shown << pictures->item(i)->data(Qt::UserRole).toString();
        }
        QMetaObject::invokeMethod(dialog, "reject");
    });
    EditBackground(nullptr, background);
    ASSERT_FALSE(shown.isEmpty());
    for (const QString& file : shown) {
        TImageCacheItem item;
        EXPECT_TRUE(ImageCache().Read(file, item) && item.IsValidFor(file)) << file.toStdString();
    }
    ImageCache().Close();
}

}  // namespace
}  // namespace kestrel

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

#include "app/AppFrame.h"
#include "app/HistoryManager.h"
#include "codes/LOJANCode.h"
#include "codes/LOQRStd.h"
#include "document/ObjectKinds.h"
#include "platform/Cp932.h"
#include "support/MessageRecorder.h"
#include "ui/JANCodeDialog.h"
#include "ui/ObjectCommands.h"
#include "ui/ObjectPreview.h"
#include "ui/QRCodeDialog.h"

namespace kestrel {
namespace {

class CodeDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RecordMessages(frame, messages);
    }

    // Runs the steps on the dialog once it shows.
    static void WhenShown(std::function<void(QDialog&)> steps)
    {
        QTimer::singleShot(0, [steps = std::move(steps)] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            steps(*dialog);
        });
    }

    // Whether the dialog's preview shows anything dark.
    static bool PreviewShowsSymbol(QDialog& dialog)
    {
        const QImage shown = dialog.findChild<TObjectPreview*>()->grab().toImage();
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (qGray(shown.pixel(x, y)) < 64) return true;
        return false;
    }

    static void Choose(QComboBox& box, int index)
    {
        box.setCurrentIndex(index);
        Q_EMIT box.activated(index);
    }

    TAppFrame frame;
    QStringList messages;
};

TEST_F(CodeDialogs, JanDialogRefusesWrongCodesAndStoresTheCompletedOne)
{
    TLOJANCode symbol;
    WhenShown([this](QDialog& dialog) {
        auto* code = dialog.findChild<QLineEdit*>();
        EXPECT_EQ(code->text(), "1234567890123");
        EXPECT_FALSE(PreviewShowsSymbol(dialog));  // its check digit is wrong
        code->setText("1234567");
        EXPECT_TRUE(PreviewShowsSymbol(dialog));
        code->setText("12345");
        EXPECT_FALSE(PreviewShowsSymbol(dialog));
        code->setText("4901234567890");  // wrong check digit
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(messages, QStringList{"JANコードが正しくありません。"});
        code->setText("490123456789");
        dialog.accept();
    });
    ASSERT_TRUE(EditJANCode(nullptr, symbol));
    EXPECT_EQ(symbol.JANCode(), "4901234567894");
}

TEST_F(CodeDialogs, QrDialogSwitchesCarrierWithTheItemAndComposesTheFields)
{
    TLOQRStd object;
    WhenShown([](QDialog& dialog) {
        const auto boxes = dialog.findChildren<QComboBox*>();
        const auto fields = dialog.findChildren<QLineEdit*>();
        EXPECT_TRUE(PreviewShowsSymbol(dialog));  // an empty record still makes a symbol
        fields[0]->setText(QStringLiteral("山田 太郎"));  // name
        fields[2]->setText("03;1234");                   // first telephone
        // The first telephone's row: its entry with the history, then its profile link.
        const auto tel1 = fields[2]->parentWidget()->parentWidget()->findChildren<QComboBox*>(Qt::FindDirectChildrenOnly);
        Choose(*tel1[1], 4);                             // linked to the profile's telephone
        EXPECT_TRUE(fields[2]->isReadOnly());
        Choose(*boxes[0], 1);                            // URL: read by Vodafone phones
        fields[6]->setText("band.example.jp");
        Choose(*boxes[0], 0);                            // back to the phone book with DoCoMo
        dialog.accept();
    });
    ASSERT_TRUE(EditQRStd(nullptr, object));
    EXPECT_EQ(object.QRType(), sqtDoCoMo);
    EXPECT_EQ(object.QRKind(), sqkTel);
    EXPECT_EQ(object.QRUrl(), "band.example.jp");
    EXPECT_EQ(object.Link(TLOQRStd::lnTel1), 8);
    EXPECT_EQ(object.Data(), ToCp932(QStringLiteral("MECARD:N:山田 太郎;TEL:03\\;1234;;")));
}

TEST_F(CodeDialogs, QrEntriesTakenJoinTheirFieldsHistoriesAndAreOfferedNextTime)
{
    const auto enter = [](const QString& name, const QString& url, bool take) {
        TLOQRStd object;
        WhenShown([=](QDialog& dialog) {
            const auto fields = dialog.findChildren<QLineEdit*>();
            fields[0]->setText(name);
            fields[6]->setText(url);
            take ? dialog.accept() : dialog.reject();
        });
        EditQRStd(nullptr, object);
    };
    enter(QStringLiteral("山田 太郎"), "band.example.jp", true);
    enter(QStringLiteral("佐藤 花子"), {}, true);
    enter(QStringLiteral("取り消した名前"), "cancelled.example.jp", false);

    EXPECT_EQ(THistoryManager("$(QRCodeHistory)\\Name").Items(),
              (QStringList{QStringLiteral("佐藤 花子"), QStringLiteral("山田 太郎")}));
    EXPECT_EQ(THistoryManager("$(QRCodeHistory)\\URL").Items(), QStringList{"band.example.jp"});
    EXPECT_TRUE(THistoryManager("$(QRCodeHistory)\\Tel1").Items().isEmpty());  // empty entries are not kept

    TLOQRStd object;
    WhenShown([](QDialog& dialog) {
        auto* name = qobject_cast<QComboBox*>(dialog.findChildren<QLineEdit*>()[0]->parentWidget());
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->count(), 2);
        EXPECT_EQ(name->itemText(0), QStringLiteral("佐藤 花子"));
        EXPECT_EQ(name->currentText(), QString());  // the object's own (empty) name, not the history's
        dialog.reject();
    });
    EditQRStd(nullptr, object);
}

TEST_F(CodeDialogs, CancelledQrDialogChangesNothingAndDataThatDoesNotFitIsRefused)
{
    TLOQRCode object;
    object.SetData("A");
    WhenShown([](QDialog& dialog) {
        dialog.findChild<QPlainTextEdit*>()->setPlainText("changed");
        dialog.reject();
    });
    EXPECT_FALSE(EditQRCode(nullptr, object));
    EXPECT_EQ(object.Data(), "A");

    object.SetAutoVersion(false);
    object.SetVersion(1);
    WhenShown([this](QDialog& dialog) {
        dialog.findChild<QPlainTextEdit*>()->setPlainText(QString(60, u'x'));
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(messages.size(), 1);
        dialog.reject();
    });
    EXPECT_FALSE(EditQRCode(nullptr, object));
    EXPECT_EQ(object.Data(), "A");
}

TEST_F(CodeDialogs, QrEntriesTakeTheDialogsWidthAndANewRecordOpensOnTheItemTakenLast)
{
    TLOQRStd taken;
    WhenShown([](QDialog& dialog) {
        Choose(*dialog.findChildren<QComboBox*>()[0], 1);  // URL
        const auto fields = dialog.findChildren<QLineEdit*>();
        fields[6]->setText("band.example.jp");
        // Room for an address as the dialog opens, and more as it grows.
        const int character = fields[6]->fontMetrics().averageCharWidth();
        EXPECT_GE(fields[6]->width(), 30 * character);
        dialog.resize(1000, dialog.height());
        QCoreApplication::processEvents();
        EXPECT_GT(fields[6]->width(), dialog.width() / 2);
        dialog.accept();
    });
    ASSERT_TRUE(EditQRStd(nullptr, taken));
    TLOQRCode data;
    WhenShown([](QDialog& dialog) {
        const auto* text = dialog.findChild<QPlainTextEdit*>();
        EXPECT_GE(text->width(), 30 * text->fontMetrics().averageCharWidth());
        dialog.reject();
    });
    EditQRCode(nullptr, data);

    const auto openedOn = [](TLOQRStd& object) {
        int shown = -1;
        WhenShown([&shown](QDialog& dialog) {
            shown = dialog.findChildren<QComboBox*>()[0]->currentData().toInt();
            dialog.reject();
        });
        EditQRStd(nullptr, object);
        return shown;
    };
    TLOQRStd fresh;
    EXPECT_EQ(openedOn(fresh), sqkURL);
    TLOQRStd phoneBook;  // a record of its own keeps its item
    phoneBook.SetQRName(QStringLiteral("山田 太郎"));
    EXPECT_EQ(openedOn(phoneBook), sqkTel);
}

TEST_F(CodeDialogs, EveryCodeKindHasAnInsertCommandAndADialog)
{
    for (const char* name : {"TLOJANCode", "TLOQRStd", "TLOQRCode"}) {
        const TObjectKind* kind = TObjectKinds::Global().Find(name);
        ASSERT_NE(kind, nullptr) << name;
        EXPECT_FALSE(kind->caption.isEmpty()) << name;
        EXPECT_TRUE(kind->editorFirst && !kind->drag) << name;
        std::unique_ptr<TDrawObject> object = TObjectKinds::Global().NewObject(name);
        ASSERT_NE(object, nullptr) << name;
        EXPECT_EQ(object->ClassName(), name);
        EXPECT_NE(FindPropertiesEditor(*object), nullptr) << name;
    }
}

}  // namespace
}  // namespace kestrel

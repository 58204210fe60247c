#include "ui/MessageDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace kestrel {
namespace {

// Once the dialog is up, records its buttons and text and lets act close it.
struct TDialogProbe {
    QStringList captions;
    QString text;
    QString defaultCaption;

    void Arm(std::function<void(QMessageBox&)> act)
    {
        QTimer::singleShot(0, [this, act] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                Arm(act);
                return;
            }
            for (QAbstractButton* button : box->buttons()) captions << button->text();
            text = box->text();
            defaultCaption = box->defaultButton() ? box->defaultButton()->text() : QString();
            act(*box);
        });
    }
};

QAbstractButton* ButtonCaptioned(QMessageBox& box, const QString& caption)
{
    for (QAbstractButton* button : box.buttons())
        if (button->text() == caption) return button;
    return nullptr;
}

TEST(MessageDialog, PressedButtonGivesItsModalResult)
{
    TDialogProbe probe;
    probe.Arm([](QMessageBox& box) { ButtonCaptioned(box, "いいえ(&N)")->click(); });
    EXPECT_EQ(ShowMessageDialog("一行目\r\n二行目", {mbkYes, mbkNo}, 0, 0), mrNo);
    probe.captions.sort();
    EXPECT_EQ(probe.captions, QStringList({"いいえ(&N)", "はい(&Y)"}));
    EXPECT_EQ(probe.text, "一行目\n二行目");
    EXPECT_EQ(probe.defaultCaption, "はい(&Y)");
}

TEST(MessageDialog, EscapePressesTheCancelButton)
{
    TDialogProbe probe;
    probe.Arm([](QMessageBox& box) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&box, &escape);
    });
    EXPECT_EQ(ShowMessageDialog("?", {mbkAbort, mbkRetry, mbkIgnore}, 0, 1), mrAbort);
    EXPECT_EQ(probe.defaultCaption, "再試行(&R)");
}

}  // namespace
}  // namespace kestrel

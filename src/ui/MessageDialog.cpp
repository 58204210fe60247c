#include "ui/MessageDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <map>
#include <optional>

#include "app/AppFrame.h"

namespace kestrel {

namespace {

struct TButtonLook {
    QString caption;
    QMessageBox::ButtonRole role;
};

// Japanese captions whatever translations are installed; custom buttons have none.
std::optional<TButtonLook> LookOf(TMsgButtonKind kind)
{
    switch (kind) {
        case mbkOK:
            return TButtonLook{"OK", QMessageBox::AcceptRole};
        case mbkCancel:
            return TButtonLook{"キャンセル", QMessageBox::RejectRole};
        case mbkHelp:
            return TButtonLook{"ヘルプ(&H)", QMessageBox::HelpRole};
        case mbkYes:
            return TButtonLook{"はい(&Y)", QMessageBox::YesRole};
        case mbkNo:
            return TButtonLook{"いいえ(&N)", QMessageBox::NoRole};
        case mbkClose:
            return TButtonLook{"閉じる(&C)", QMessageBox::RejectRole};
        case mbkAbort:
            return TButtonLook{"中止(&A)", QMessageBox::RejectRole};
        case mbkRetry:
            return TButtonLook{"再試行(&R)", QMessageBox::AcceptRole};
        case mbkIgnore:
            return TButtonLook{"無視(&I)", QMessageBox::AcceptRole};
        case mbkAll:
            return TButtonLook{"すべて(&A)", QMessageBox::YesRole};
        case mbkCustom:
            break;
    }
    return std::nullopt;
}

}  // namespace

int ShowMessageDialog(const QString& text, const TMsgButtons& kinds, int cancelIndex, int defaultIndex)
{
    QWidget* owner = QApplication::activeWindow();
    if (owner) {
        owner->raise();
        owner->activateWindow();
    }
    QMessageBox box(QMessageBox::Information, TAppFrame::Instance() ? TAppFrame::Instance()->Title() : QString(),
                    QString(text).replace("\r\n", "\n"), QMessageBox::NoButton, owner);
    std::map<QAbstractButton*, TMsgButtonKind> kindOf;
    for (int i = 0; i < int(kinds.size()); ++i) {
        const std::optional<TButtonLook> look = LookOf(kinds[i]);
        if (!look) continue;
        QPushButton* button = box.addButton(look->caption, look->role);
        kindOf[button] = kinds[i];
        if (i == defaultIndex) box.setDefaultButton(button);
        if (i == cancelIndex) box.setEscapeButton(button);
    }
    box.exec();
    const auto pressed = kindOf.find(box.clickedButton());
    return pressed == kindOf.end() ? mrNone : ModalResultOf(pressed->second);
}

}  // namespace kestrel

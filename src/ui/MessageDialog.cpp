#include "ui/MessageDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <map>

namespace kestrel {

namespace {

QMessageBox::StandardButton StandardButtonOf(TMsgButtonKind kind)
{
    switch (kind) {
        case mbkOK:
            return QMessageBox::Ok;
        case mbkCancel:
            return QMessageBox::Cancel;
        case mbkHelp:
            return QMessageBox::Help;
        case mbkYes:
            return QMessageBox::Yes;
        case mbkNo:
            return QMessageBox::No;
        case mbkClose:
            return QMessageBox::Close;
        case mbkAbort:
            return QMessageBox::Abort;
        case mbkRetry:
            return QMessageBox::Retry;
        case mbkIgnore:
            return QMessageBox::Ignore;
        case mbkAll:
            return QMessageBox::YesToAll;
        case mbkCustom:
            break;
    }
    return QMessageBox::NoButton;
}

}  // namespace

int ShowMessageDialog(const QString& text, const TMsgButtons& kinds, int cancelIndex, int defaultIndex)
{
    QWidget* owner = QApplication::activeWindow();
    if (owner) {
        owner->raise();
        owner->activateWindow();
    }
    QMessageBox box(QMessageBox::Information, QApplication::applicationDisplayName(),
                    QString(text).replace("\r\n", "\n"), QMessageBox::NoButton, owner);
    std::map<QAbstractButton*, TMsgButtonKind> kindOf;
    for (int i = 0; i < int(kinds.size()); ++i) {
        const QMessageBox::StandardButton standard = StandardButtonOf(kinds[i]);
        if (standard == QMessageBox::NoButton) continue;
        QPushButton* button = box.addButton(standard);
        kindOf[button] = kinds[i];
        if (i == defaultIndex) box.setDefaultButton(button);
        if (i == cancelIndex) box.setEscapeButton(button);
    }
    box.exec();
    const auto pressed = kindOf.find(box.clickedButton());
    return pressed == kindOf.end() ? mrNone : ModalResultOf(pressed->second);
}

}  // namespace kestrel

#include "ui/PrinterPropertiesDialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QWidget>

#include "platform/PrinterConfiguration.h"

namespace kestrel {

namespace {

// The working settings of the printer, edited in place when confirmed.
bool ShowPrinterProperties(QObject* parent, TPrinterConfiguration& printer)
{
    QDialog dialog(qobject_cast<QWidget*>(parent));
    dialog.setWindowTitle(QStringLiteral("%1 のプロパティ").arg(printer.GetDeviceName()));
    TDeviceMode& mode = printer.GetDeviceMode();

    auto* paper = new QComboBox(&dialog);
    for (const TFormInfo& form : printer.GetForms().GetFormList())
        if (form.GetID() != UserPaperId || mode.paperSize == UserPaperId) paper->addItem(form.GetName(), form.GetID());
    paper->setCurrentIndex(paper->findData(mode.paperSize));
    auto* orientation = new QComboBox(&dialog);
    orientation->addItem("縦", TDeviceMode::Portrait);
    orientation->addItem("横", TDeviceMode::Landscape);
    orientation->setCurrentIndex(orientation->findData(mode.orientation));
    auto* resolution = new QComboBox(&dialog);
    for (int dpi : printer.Resolutions()) resolution->addItem(QStringLiteral("%1 dpi").arg(dpi), dpi);
    resolution->setCurrentIndex(std::max(0, resolution->findData(mode.resolution)));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QFormLayout(&dialog);
    layout->addRow("用紙(&P):", paper);
    layout->addRow("印刷の向き(&O):", orientation);
    layout->addRow("解像度(&R):", resolution);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return false;

    mode.paperSize = paper->currentData().toInt();
    mode.orientation = orientation->currentData().toInt();
    mode.resolution = resolution->currentData().toInt();
    printer.MergeDeviceMode();
    return true;
}

}  // namespace

void InstallPrinterPropertiesDialog()
{
    SetPrinterPropertiesDialog(&ShowPrinterProperties);
}

}  // namespace kestrel

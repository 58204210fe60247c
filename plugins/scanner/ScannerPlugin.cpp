#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>

#include "SaneScanner.h"

namespace kestrel::plugin {

namespace {

const QString PluginName = QStringLiteral("スキャナー");

KESTREL_GUID(SaneServerClass, 0x3F6C2A10, 0x5B7E, 0x4C21, 0x9A, 0x4D, 0x71, 0x20, 0xC3, 0x8E, 0x55, 0x01);

QString ExpandMacro(IBCClientV1* client, const QString& text)
{
    struct TCollected {
        QString text;
        static KResult Append(void* context, const uint16_t* data, uint32_t length)
        {
            if (length > 4096) return K_E_OUTOFMEMORY;
            static_cast<TCollected*>(context)->text.append(reinterpret_cast<const QChar*>(data), qsizetype(length));
            return K_S_OK;
        }
    } result;
    if (!client) return {};
    const KText in{reinterpret_cast<const uint16_t*>(text.utf16()), uint32_t(text.size())};
    const KTextOut out{&result, &TCollected::Append};
    if (K_FAILED(client->lpVtbl->ExpandMacro(client, &in, &out))) return {};
    return result.text;
}

void FillCombo(QComboBox* box, const QStringList& items, const QString& current)
{
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(qMax(0, int(items.indexOf(current))));
    box->setEnabled(!items.isEmpty());
}

// The scanner, resolution and mode, chosen by the user.
class TScanDialog : public QDialog {
public:
    TScanDialog(const TSaneSession& sane, const std::vector<TScannerInfo>& scanners, const TScanChoice& last,
                QWidget* parent)
        : QDialog(parent), sane_(sane)
    {
        setWindowTitle(QStringLiteral("スキャナーから取り込み"));
        auto* layout = new QFormLayout(this);
        layout->addRow(new QLabel(QStringLiteral("システムに登録されているスキャナーから画像を取り込みます。")));
        for (const TScannerInfo& scanner : scanners)
            devices_->addItem(QStringLiteral("%1 (%2)").arg(scanner.description, scanner.name), scanner.name);
        layout->addRow(QStringLiteral("スキャナー(&S):"), devices_);
        layout->addRow(QStringLiteral("解像度(&R):"), resolutions_);
        layout->addRow(QStringLiteral("モード(&M):"), modes_);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("スキャン"));
        buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
        layout->addRow(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(devices_, &QComboBox::currentIndexChanged, this, [this] { ShowOptions({}); });
        devices_->setCurrentIndex(qMax(0, devices_->findData(last.device)));
        ShowOptions(last);
    }

    TScanChoice Choice() const
    {
        return {devices_->currentData().toString(), resolutions_->currentText(), modes_->currentText()};
    }

private:
    void ShowOptions(const TScanChoice& preferred)
    {
        try {
            const TSaneSession::TOptions options = sane_.Options(devices_->currentData().toString());
            FillCombo(resolutions_, options.resolutions,
                      preferred.resolution.isEmpty() ? options.resolution : preferred.resolution);
            FillCombo(modes_, options.modes, preferred.mode.isEmpty() ? options.mode : preferred.mode);
        } catch (const EPluginError&) {
            FillCombo(resolutions_, {}, {});
            FillCombo(modes_, {}, {});
        }
    }

    const TSaneSession& sane_;
    QComboBox* devices_ = new QComboBox;
    QComboBox* resolutions_ = new QComboBox;
    QComboBox* modes_ = new QComboBox;
};

bool HasWidgets()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

}  // namespace

TPixels TSaneImageServer::Acquire(uint64_t parentWindow)
{
    TSaneSession sane;
    const std::vector<TScannerInfo> scanners = sane.Scanners();
    if (scanners.empty()) throw EPluginError(QStringLiteral("スキャナーが見つかりません"));
    TPluginSettings settings(RegistryKey(), PluginName);
    TScanChoice choice{settings.Read(QStringLiteral("Device")), settings.Read(QStringLiteral("Resolution")),
                       settings.Read(QStringLiteral("Mode"))};
    // A scanner the host names, or no screen to ask on: that scanner (or the last or the first),
    // with what was last chosen for it.
    const QString named = ExpandMacro(Client(), QStringLiteral("$(ScannerDevice:inessential)"));
    if (!named.isEmpty() || !HasWidgets()) {
        const QString device = named.isEmpty() ? (choice.device.isEmpty() ? scanners.front().name : choice.device) : named;
        if (device != choice.device) choice = {device, {}, {}};
        return sane.Scan(choice, [] { return false; });
    }
    TScanDialog dialog(sane, scanners, choice, QWidget::find(WId(parentWindow)));
    if (dialog.exec() != QDialog::Accepted) return {};
    choice = dialog.Choice();
    settings.Write(QStringLiteral("Device"), choice.device);
    settings.Write(QStringLiteral("Resolution"), choice.resolution);
    settings.Write(QStringLiteral("Mode"), choice.mode);
    QProgressDialog progress(QStringLiteral("スキャンしています..."), QStringLiteral("キャンセル"), 0, 0,
                             QWidget::find(WId(parentWindow)));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    return sane.Scan(choice, [&] {
        QCoreApplication::processEvents();
        return progress.wasCanceled();
    });
}

const std::vector<TServerEntry>& LibraryServers()
{
    static const std::vector<TServerEntry> servers = {
        {SaneServerClass, KESTREL_CATID_IMAGE_SERVERS, PluginName, [] { return new TSaneImageServer; }}};
    return servers;
}

}  // namespace kestrel::plugin

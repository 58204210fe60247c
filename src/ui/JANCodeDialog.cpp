#include "ui/JANCodeDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSpinBox>

#include "codes/JANCode.h"
#include "codes/LOJANCode.h"
#include "ui/CodeDialog.h"
#include "ui/QRSettingsBox.h"

namespace kestrel {

namespace {

constexpr int kDigitSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 32, 36, 48, 72};
const QString kFirstEntry = QStringLiteral("1234567890123");

class TJANCodeDialog : public TCodeDialog {
public:
    TJANCodeDialog(QWidget* parent, TDrawObject& object)
        : TCodeDialog(parent, QStringLiteral("JANコードの設定"), object), symbol_(static_cast<TLOJANCode&>(Working()))
    {
        code_ = new QLineEdit(symbol_.JANCode().isEmpty() ? kFirstEntry : symbol_.JANCode(), this);
        code_->setMaxLength(13);
        code_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), code_));
        Form().addRow(QStringLiteral("JANコード"), code_);
        connect(code_, &QLineEdit::textChanged, this, [this] { ShowEntry(); });

        auto* showNumber = new QCheckBox(QStringLiteral("数字を表示"), this);
        showNumber->setChecked(symbol_.ShowNumber());
        Form().addRow(showNumber);
        connect(showNumber, &QCheckBox::toggled, this, [this](bool on) { Update([&] { symbol_.SetShowNumber(on); }); });
        auto* showFrame = new QCheckBox(QStringLiteral("枠を表示"), this);
        showFrame->setChecked(symbol_.ShowFrame());
        Form().addRow(showFrame);
        connect(showFrame, &QCheckBox::toggled, this, [this](bool on) { Update([&] { symbol_.SetShowFrame(on); }); });

        auto* size = new QComboBox(this);
        size->setEditable(true);
        for (const int points : kDigitSizes) size->addItem(QString::number(points));
        size->setCurrentText(QString::number(symbol_.Font().Size()));
        Form().addRow(QStringLiteral("数字の大きさ"), size);
        connect(size, &QComboBox::currentTextChanged, this, [this](const QString& text) { SetDigitSize(text); });

        auto* angle = NewAngleBox(this, symbol_.Angle());
        Form().addRow(QStringLiteral("角度"), angle);
        connect(angle, &QSpinBox::valueChanged, this, [this](int value) { Update([&] { symbol_.SetAngle(value); }); });
        ShowEntry();
    }

protected:
    QString Refusal() override
    {
        return AcceptedJANEntry(code_->text()).isEmpty() ? QStringLiteral("JANコードが正しくありません。") : QString();
    }
    bool PreviewVisible() override { return !AcceptedJANEntry(code_->text()).isEmpty(); }

private:
    template <typename F>
    void Update(F change)
    {
        change();
        Refresh();
    }
    // The preview shows the completed entry, and only while the entry would be accepted.
    void ShowEntry()
    {
        Update([&] { symbol_.SetJANCode(CompleteJAN(code_->text())); });
    }
    // An unparsable size keeps the current one.
    void SetDigitSize(const QString& text)
    {
        bool ok = false;
        const int points = text.toInt(&ok);
        if (!ok || points <= 0) return;
        Update([&] { symbol_.EditFont().SetSize(points); });
    }

    TLOJANCode& symbol_;
    QLineEdit* code_;
};

}  // namespace

bool EditJANCode(QWidget* parent, TDrawObject& object)
{
    if (!dynamic_cast<TLOJANCode*>(&object)) return false;
    return TJANCodeDialog(parent, object).Run();
}

}  // namespace kestrel

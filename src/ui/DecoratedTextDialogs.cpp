#include "ui/DecoratedTextDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "objects/LODecoString.h"
#include "paper/PapersV2.h"
#include "platform/Canvas.h"
#include "text/LODate.h"
#include "ui/CodeDialog.h"
#include "ui/ColorSpecEditor.h"
#include "ui/DialogButtons.h"
#include "ui/ObjectPreview.h"
#include "ui/QRSettingsBox.h"
#include "ui/TextPropertiesDialog.h"

namespace kestrel {

namespace {

QDateTime FromDaysSince1899(TDateTime days)
{
    const QDate epoch(1899, 12, 30);
    const qint64 whole = qint64(std::floor(days));
    const int msecs = int(std::lround((days - double(whole)) * 86400000.0)) % 86400000;
    return QDateTime(epoch.addDays(whole), QTime::fromMSecsSinceStartOfDay(msecs));
}

class TDateDialog : public TCodeDialog {
public:
    TDateDialog(QWidget* parent, TDrawObject& object)
        : TCodeDialog(parent, QStringLiteral("日付の設定"), object), date_(static_cast<TLODate&>(Working()))
    {
        auto* when = new QDateTimeEdit(FromDaysSince1899(date_.Date()), this);
        when->setCalendarPopup(true);
        Form().addRow(QStringLiteral("日付"), when);
        format_ = new QComboBox(this);
        Form().addRow(QStringLiteral("書式"), format_);
        FillFormats();
        connect(when, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime& value) {
            date_.SetDate(ToDaysSince1899(value));
            FillFormats();
            Refresh();
        });
        connect(format_, &QComboBox::currentIndexChanged, this, [this](int index) {
            if (index < 0) return;
            date_.SetFormat(format_->itemData(index).toString());
            Refresh();
        });
        auto* update = new QComboBox(this);
        update->addItems(DateUpdateCaptions());
        update->setCurrentIndex(date_.UpdateFlag());
        Form().addRow(QStringLiteral("更新"), update);
        connect(update, &QComboBox::currentIndexChanged, this,
                [this](int index) { date_.SetUpdateFlag(TDateUpdateFlag(std::clamp(index, 0, int(dufSave)))); });
        AddFontControls();
        Refresh();
    }

protected:
    void accept() override
    {
        colour_->ApplyTo(date_.EditTextColor());
        TCodeDialog::accept();
    }

private:
    // Face, size, bold and italic follow in the preview; the colour is taken on OK.
    void AddFontControls()
    {
        fonts_ = new TFontChooser(this);
        fonts_->Load(date_.Font());
        Form().addRow(BuddyLabel(QStringLiteral("フォント(&F)"), &fonts_->FaceBox(), this), fonts_);
        for (QComboBox* box : {&fonts_->FaceBox(), &fonts_->SizeBox()})
            connect(box, &QComboBox::currentTextChanged, this, [this] {
                fonts_->ApplyTo(date_.EditFont());
                Refresh();
            });
        auto* styles = new QHBoxLayout;
        for (const auto& [caption, style] : {std::pair{QStringLiteral("太字(&B)"), fsBold}, std::pair{QStringLiteral("斜体(&I)"), fsItalic}}) {
            auto* box = new QCheckBox(caption, this);
            box->setChecked(date_.Font().HasStyle(style));
            connect(box, &QCheckBox::toggled, this, [this, style](bool on) {
                date_.EditFont().SetStyleFlag(style, on);
                Refresh();
            });
            styles->addWidget(box);
        }
        styles->addStretch();
        Form().addRow(QStringLiteral("スタイル"), styles);
        colour_ = new TColorSpecEditor(QStringLiteral("文字の色"), date_.TextColor(), this);
        Form().addRow(colour_);
    }

    // Each format as it shows the date; a document's own format stays at the end of the list.
    void FillFormats()
    {
        const QSignalBlocker quiet(format_);
        format_->clear();
        QStringList formats = DateFormatChoices();
        if (!date_.Format().isEmpty() && !formats.contains(date_.Format())) formats << date_.Format();
        for (const QString& format : formats) {
            QString sample;
            try {
                sample = FormatDate(format, date_.Date());
            } catch (const EKestrel&) {
                sample = format;
            }
            format_->addItem(sample.replace(QLatin1Char('\n'), QLatin1Char(' ')), format);
        }
        const int current = formats.indexOf(date_.Format());
        format_->setCurrentIndex(current >= 0 ? current : 2);
        if (current < 0) date_.SetFormat(formats.at(2));
    }

    TLODate& date_;
    QComboBox* format_;
    TFontChooser* fonts_ = nullptr;
    TColorSpecEditor* colour_ = nullptr;
};

const QSize kFontSampleSize(120, 40);

// "Abc" in decorated-letter font number, as the string draws it.
QIcon FontSample(int number)
{
    QImage image(kFontSampleSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    try {
        TLODecoString sample;
        sample.SetFontNo(number);
        sample.SetText(QStringLiteral("Abc"));
        sample.SetBounds({0, 0, 1, TLODecoString::NewHeight});
        sample.SizeToText();
        TCanvas canvas(image);
        PaintFitted(sample, canvas, image.rect());
    } catch (const EKestrel&) {
        // a font whose letters cannot be read shows no sample; choosing it says why
    }
    return QIcon(QPixmap::fromImage(image));
}

class TDecoStringDialog : public TCodeDialog {
public:
    TDecoStringDialog(QWidget* parent, TDrawObject& object)
        : TCodeDialog(parent, QStringLiteral("飾り文字の設定"), object), string_(static_cast<TLODecoString&>(Working()))
    {
        text_ = new QLineEdit(string_.Text(), this);
        Form().addRow(QStringLiteral("文字列"), text_);
        connect(text_, &QLineEdit::textChanged, this, [this](const QString& text) {
            string_.SetText(text);
            if (newString_) string_.SizeToText();
            Refresh();
        });
        auto* font = new QComboBox(this);
        font->setIconSize(kFontSampleSize);
        for (int number : DecoratedFontNumbers(DecoratedLetterFolder()))
            font->addItem(FontSample(number), QString::number(number), number);
        if (font->count() == 0) font->addItem(QString::number(string_.FontNo()), string_.FontNo());
        font->setCurrentIndex(std::max(0, font->findData(string_.FontNo())));
        Form().addRow(QStringLiteral("フォント"), font);
        connect(font, &QComboBox::currentIndexChanged, this, [this, font](int index) {
            string_.SetFontNo(font->itemData(index).toInt());
            if (newString_) string_.SizeToText();
            Refresh();
        });
        auto* align = new QComboBox(this);
        align->addItems({QStringLiteral("左寄せ"), QStringLiteral("ｾﾝﾀﾘﾝｸﾞ"), QStringLiteral("右寄せ"), QStringLiteral("均等配置")});
        align->setCurrentIndex(std::clamp(string_.Align(), 0, 3));
        Form().addRow(QStringLiteral("配置"), align);
        connect(align, &QComboBox::currentIndexChanged, this, [this](int index) {
            string_.SetAlign(index);
            Refresh();
        });
        auto* angle = NewAngleBox(this, string_.Angle());
        Form().addRow(QStringLiteral("角度"), angle);
        connect(angle, &QSpinBox::valueChanged, this, [this](int value) {
            string_.SetAngle(value);
            Refresh();
        });
        if (newString_ && !string_.Text().isEmpty()) string_.SizeToText();
        Refresh();
    }

protected:
    QString Refusal() override { return DecoratedStringError(text_->text()); }

private:
    TLODecoString& string_;
    QLineEdit* text_;
    // A string not placed yet takes the size of its letters at the height of a new one.
    const bool newString_ = string_.Width() == 0;
};

}  // namespace

bool EditDate(QWidget* parent, TDrawObject& object)
{
    if (!dynamic_cast<TLODate*>(&object)) return false;
    return TDateDialog(parent, object).Run();
}

bool EditDecoString(QWidget* parent, TDrawObject& object)
{
    if (!dynamic_cast<TLODecoString*>(&object)) return false;
    return TDecoStringDialog(parent, object).Run();
}

}  // namespace kestrel

#include "ui/QRCodeDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/AppFrame.h"
#include "app/ExceptionReport.h"
#include "app/HistoryManager.h"
#include "codes/LOQRStd.h"
#include "platform/Cp932.h"
#include "platform/SettingsStore.h"
#include "ui/CodeDialog.h"
#include "ui/QRSettingsBox.h"

namespace kestrel {

namespace {

const QString kNotShiftJis = QStringLiteral("シフトJISで表せない文字が含まれています。");
const QString kQRHistoryKey = QStringLiteral("$(QRCodeHistory)");
const QString kLastKindValue = QStringLiteral("LastKind");

TStdQRKind LastQRKind()
{
    const int stored = TSettingsKey(ExpandMacro(kQRHistoryKey)).ReadInteger(kLastKindValue, sqkTel);
    return stored == sqkURL || stored == sqkTEXT ? TStdQRKind(stored) : sqkTel;
}

void RememberQRKind(TStdQRKind kind)
{
    TSettingsKey(ExpandMacro(kQRHistoryKey)).WriteInteger(kLastKindValue, kind);
}

// Nothing has been entered in the record yet: a new object.
bool HoldsNothing(const TLOQRStd& record)
{
    for (const QString* field : {&record.QRName(), &record.QRFurigana(), &record.QRTel1(), &record.QRTel2(),
                                 &record.QREmail1(), &record.QREmail2(), &record.QRUrlTitle(), &record.QRUrl()})
        if (!field->isEmpty()) return false;
    return record.QRText().join(QString()).isEmpty();
}

// Personal-profile items a field can be linked to; -1 is typed by hand.
const std::pair<const char*, int> kProfileItems[] = {
    {"手入力", -1},
    {"氏名-基本情報", 1},
    {"ふりがな-基本情報", 2},
    {"ローマ字-基本情報", 3},
    {"TEL-個人情報", 8},
    {"FAX-個人情報", 9},
    {"携帯電話-個人情報", 10},
    {"ポケットベル-個人情報", 11},
    {"e-mail-個人情報", 12},
    {"ホームページ-個人情報", 13},
    {"TEL-個人英語情報", 17},
    {"FAX-個人英語情報", 18},
    {"MOBILE-個人英語情報", 19},
    {"PAGER No.-個人英語情報", 20},
    {"e-mail-個人英語情報", 21},
    {"HOME PAGE-個人英語情報", 22},
    {"会社名-会社情報", 23},
    {"TEL1-会社情報", 30},
    {"TEL2-会社情報", 31},
    {"FAX-会社情報", 32},
    {"携帯電話-会社情報", 33},
    {"ポケットベル-会社情報", 34},
    {"e-mail-会社情報", 35},
    {"ホームページ-会社情報", 36},
    {"COMPANY NAME-会社英語情報", 37},
    {"TEL1-会社英語情報", 44},
    {"TEL2-会社英語情報", 45},
    {"FAX-会社英語情報", 46},
    {"MOBILE-会社英語情報", 47},
    {"PAGER No.-会社英語情報", 48},
    {"e-mail-会社英語情報", 49},
    {"HOME PAGE-会社英語情報", 50},
};

// What both QR dialogs share: the encoder settings, the problem line and the refusal of data
// that cannot be encoded.
class TQRDialog : public TCodeDialog {
public:
    TQRDialog(QWidget* parent, const QString& title, TDrawObject& object)
        : TCodeDialog(parent, title, object), code_(static_cast<TLOQRCode&>(Working()))
    {
    }

protected:
    void AddSettings()
    {
        settings_ = new TQRSettingsBox(code_, [this] { Refresh(); }, this);
        Form().addRow(settings_);
    }
    QString Problem() override { return code_.Problem(); }
    QString Refusal() override
    {
        if (!TextsEncodable()) return kNotShiftJis;
        return code_.Problem();
    }
    virtual bool TextsEncodable() = 0;

    TLOQRCode& code_;
    TQRSettingsBox* settings_ = nullptr;
};

class TQRCodeDialog : public TQRDialog {
public:
    TQRCodeDialog(QWidget* parent, TDrawObject& object) : TQRDialog(parent, QStringLiteral("QRコードの設定"), object)
    {
        text_ = new QPlainTextEdit(FromCp932(code_.Data()), this);
        MakeWide(*text_);
        Form().addRow(QStringLiteral("データ"), text_);
        connect(text_, &QPlainTextEdit::textChanged, this, [this] {
            if (TextsEncodable()) code_.SetData(ToCp932(text_->toPlainText()));
            Refresh();
        });

        auto* mode = new QComboBox(this);
        mode->addItem(QStringLiteral("自動"), 0);
        mode->addItem(QStringLiteral("数字"), int('0'));
        mode->addItem(QStringLiteral("英数字"), int('A'));
        mode->addItem(QStringLiteral("8ビット"), int('8'));
        mode->setCurrentIndex(code_.AutoEncodeMode() ? 0 : mode->findData(int(code_.EncodeMode())));
        Form().addRow(QStringLiteral("モード"), mode);
        connect(mode, &QComboBox::activated, this, [this, mode] {
            const int value = mode->currentData().toInt();
            code_.SetAutoEncodeMode(value == 0);
            if (value) code_.SetEncodeMode(char(value));
            Refresh();
        });

        auto* version = new QComboBox(this);
        version->addItem(QStringLiteral("自動"), 0);
        for (int v = 1; v <= 40; ++v) version->addItem(QString::number(v), v);
        version->setCurrentIndex(code_.AutoVersion() ? 0 : code_.Version());
        Form().addRow(QStringLiteral("バージョン"), version);
        connect(version, &QComboBox::activated, this, [this, version] {
            const int value = version->currentData().toInt();
            code_.SetAutoVersion(value == 0);
            if (value) code_.SetVersion(value);
            Refresh();
        });
        AddSettings();
    }

protected:
    bool TextsEncodable() override { return CanEncodeCp932(text_->toPlainText()); }

private:
    QPlainTextEdit* text_;
};

class TQRStdDialog : public TQRDialog {
public:
    TQRStdDialog(QWidget* parent, TDrawObject& object)
        : TQRDialog(parent, QStringLiteral("QRコードの設定"), object), std_(static_cast<TLOQRStd&>(Working()))
    {
        if (HoldsNothing(std_)) std_.SetQRKind(LastQRKind());
        // Web addresses and free text are read by Vodafone phones; the carrier chosen for the
        // phone book comes back with it.
        phoneBookCarrier_ = std_.QRType();
        if (std_.QRKind() != sqkTel && std_.QRType() == sqtDoCoMo) std_.SetQRType(sqtVodafone);

        kind_ = new QComboBox(this);
        kind_->addItem(QStringLiteral("電話帳"), int(sqkTel));
        kind_->addItem(QStringLiteral("URL"), int(sqkURL));
        kind_->addItem(QStringLiteral("フリー入力"), int(sqkTEXT));
        kind_->setCurrentIndex(kind_->findData(int(std_.QRKind())));
        Form().addRow(QStringLiteral("項目"), kind_);
        connect(kind_, &QComboBox::activated, this, [this] { SetKind(TStdQRKind(kind_->currentData().toInt())); });

        carrier_ = new QComboBox(this);
        carrier_->addItem(QStringLiteral("ドコモ(au)"), int(sqtDoCoMo));
        carrier_->addItem(QStringLiteral("ボーダフォン(au)"), int(sqtVodafone));
        carrier_->setCurrentIndex(std_.QRType() == sqtVodafone ? 1 : 0);
        Form().addRow(QStringLiteral("機種"), carrier_);
        connect(carrier_, &QComboBox::activated, this, [this] {
            std_.SetQRType(TStdQRType(carrier_->currentData().toInt()));
            phoneBookCarrier_ = std_.QRType();
            ShowKind();
        });

        AddField(QStringLiteral("氏名"), "Name", TLOQRStd::lnName, &TLOQRStd::QRName, &TLOQRStd::SetQRName);
        AddField(QStringLiteral("ふりがな"), "Kana", TLOQRStd::lnFurigana, &TLOQRStd::QRFurigana,
                 &TLOQRStd::SetQRFurigana);
        AddField(QStringLiteral("電話番号1"), "Tel1", TLOQRStd::lnTel1, &TLOQRStd::QRTel1, &TLOQRStd::SetQRTel1);
        AddField(QStringLiteral("電話番号2"), "Tel2", TLOQRStd::lnTel2, &TLOQRStd::QRTel2, &TLOQRStd::SetQRTel2);
        AddField(QStringLiteral("メール1"), "Mail1", TLOQRStd::lnEmail1, &TLOQRStd::QREmail1, &TLOQRStd::SetQREmail1);
        AddField(QStringLiteral("メール2"), "Mail2", TLOQRStd::lnEmail2, &TLOQRStd::QREmail2, &TLOQRStd::SetQREmail2);
        AddField(QStringLiteral("URL"), "URL", TLOQRStd::lnUrl, &TLOQRStd::QRUrl, &TLOQRStd::SetQRUrl);

        split_ = new QCheckBox(QStringLiteral("空白で自動分割"), this);
        split_->setChecked(std_.QRNameCommaDevide());
        Form().addRow(split_);
        connect(split_, &QCheckBox::toggled, this, [this](bool on) {
            std_.SetQRNameCommaDevide(on);
            Refresh();
        });
        halfWidth_ = new QCheckBox(QStringLiteral("半角カタカナに変換"), this);
        halfWidth_->setChecked(std_.QRFuriganaHankaku());
        Form().addRow(halfWidth_);
        connect(halfWidth_, &QCheckBox::toggled, this, [this](bool on) {
            std_.SetQRFuriganaHankaku(on);
            Refresh();
        });

        freeText_ = new QPlainTextEdit(std_.QRText().join(u'\n'), this);
        MakeWide(*freeText_);
        Form().addRow(QStringLiteral("テキスト"), freeText_);
        connect(freeText_, &QPlainTextEdit::textChanged, this, [this] {
            if (CanEncodeCp932(freeText_->toPlainText())) std_.SetQRText(freeText_->toPlainText().split(u'\n'));
            Refresh();
        });
        AddSettings();
        ShowKind();
    }

protected:
    bool TextsEncodable() override
    {
        for (const QLineEdit* field : fields_)
            if (!CanEncodeCp932(field->text())) return false;
        return CanEncodeCp932(freeText_->toPlainText());
    }

    // The entries that were taken join their fields' input histories; the next new record starts
    // on the item taken.
    void accept() override
    {
        TQRDialog::accept();
        if (result() != QDialog::Accepted) return;
        try {
            RememberQRKind(std_.QRKind());
            for (size_t i = 0; i < fields_.size(); ++i)
                if (const QString text = fields_[i]->text(); !text.isEmpty()) histories_[i]->Add(text);
        } catch (const std::exception& e) {
            ReportUnexpectedException(e);  // the object takes the entries even so
        }
    }

private:
    using Getter = const QString& (TLOQRStd::*)() const;
    using Setter = void (TLOQRStd::*)(const QString&);

    // The entry, offering what was entered there before, with its profile link beside it; a
    // linked field keeps its stored text read-only.
    void AddField(const QString& caption, const char* historyName, TLOQRStd::TLink link, Getter get, Setter set)
    {
        auto* row = new QWidget(this);
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        auto history = std::make_unique<THistoryManager>(QString("$(QRCodeHistory)\\" + QString::fromLatin1(historyName)));
        auto* entry = new QComboBox(row);
        entry->setEditable(true);
        entry->setInsertPolicy(QComboBox::NoInsert);
        entry->addItems(history->Items());
        entry->setEditText((std_.*get)());
        MakeWide(*entry);
        QLineEdit* field = entry->lineEdit();
        const auto showLink = [entry, field](bool linked) {
            field->setReadOnly(linked);
            entry->setEnabled(!linked);  // nor can the history replace it
        };
        showLink(std_.Link(link) != -1);
        layout->addWidget(entry, 1);
        auto* profile = new QComboBox(row);
        // The links' long names are not what the row is for.
        profile->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        profile->setMinimumContentsLength(8);
        for (const auto& [item, id] : kProfileItems) profile->addItem(QString::fromUtf8(item), id);
        profile->setCurrentIndex(std::max(0, profile->findData(std_.Link(link))));
        layout->addWidget(profile);
        Form().addRow(caption, row);
        connect(field, &QLineEdit::textChanged, this, [this, set](const QString& text) {
            if (CanEncodeCp932(text)) (std_.*set)(text);
            Refresh();
        });
        connect(profile, &QComboBox::activated, this, [this, showLink, profile, link] {
            std_.SetLink(link, profile->currentData().toInt());
            showLink(std_.Link(link) != -1);
            Refresh();
        });
        fields_.push_back(field);
        histories_.push_back(std::move(history));
        rows_.push_back(row);
        rowKinds_.push_back(link == TLOQRStd::lnUrl ? sqkURL : sqkTel);
    }

    void SetKind(TStdQRKind kind)
    {
        std_.SetQRKind(kind);
        std_.SetQRType(kind == sqkTel ? phoneBookCarrier_ : sqtVodafone);
        ShowKind();
    }

    // Only the entries of the chosen item show; carrier, name split and the reading's
    // conversion belong to the phone book.
    void ShowKind()
    {
        const TStdQRKind kind = std_.QRKind();
        const bool phoneBook = kind == sqkTel;
        for (size_t i = 0; i < rows_.size(); ++i) SetRowVisible(rows_[i], rowKinds_[i] == kind);
        SetRowVisible(freeText_, kind == sqkTEXT);
        SetRowVisible(carrier_, phoneBook);
        carrier_->setCurrentIndex(std_.QRType() == sqtVodafone ? 1 : 0);
        split_->setEnabled(phoneBook && std_.QRType() != sqtVodafone);
        halfWidth_->setEnabled(phoneBook);
        settings_->OfferLevelL(std_.QRType() != sqtVodafone);
        SetHint(phoneBook ? QStringLiteral("「空白で自動分割」は氏名とふりがなを最初の空白で姓と名に分けます。"
                                           "\"\" で囲んだ部分は分けずに一語とし、\" は取り除きます。")
                          : QString());
        Refresh();
    }

    void SetRowVisible(QWidget* field, bool visible)
    {
        field->setVisible(visible);
        if (QWidget* label = Form().labelForField(field)) label->setVisible(visible);
    }

    TLOQRStd& std_;
    TStdQRType phoneBookCarrier_;
    QComboBox* kind_;
    QComboBox* carrier_;
    QCheckBox* split_;
    QCheckBox* halfWidth_;
    QPlainTextEdit* freeText_;
    std::vector<QLineEdit*> fields_;
    std::vector<std::unique_ptr<THistoryManager>> histories_;
    std::vector<QWidget*> rows_;
    std::vector<TStdQRKind> rowKinds_;
};

}  // namespace

bool EditQRCode(QWidget* parent, TDrawObject& object)
{
    if (!dynamic_cast<TLOQRCode*>(&object)) return false;
    return TQRCodeDialog(parent, object).Run();
}

bool EditQRStd(QWidget* parent, TDrawObject& object)
{
    if (!dynamic_cast<TLOQRStd*>(&object)) return false;
    return TQRStdDialog(parent, object).Run();
}

}  // namespace kestrel

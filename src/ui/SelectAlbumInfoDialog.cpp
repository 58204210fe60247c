#include "ui/SelectAlbumInfoDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/DialogButtons.h"

namespace kestrel {

namespace {

// Flag bits in the order of their check boxes: the album's title and artist, then the tracks'.
constexpr std::array<uint8_t, 7> kFlagBits = {alAlbumTitle, alAlbumArtist, alNumber, alTitle, alTime, alArtist, alAlbum};
const std::array<const char16_t*, 7> kFlagCaptions = {u"タイトル", u"アーティスト", u"No.", u"タイトル", u"時間",
                                                       u"アーティスト", u"アルバム"};

// The separator as typed, or the text of the named choice.
QString SeparatorText(const QString& shown)
{
    for (const TSeparatorChoice& choice : SeparatorChoices())
        if (shown == QString::fromUtf16(choice.caption)) return QString::fromUtf16(choice.text);
    return shown;
}

QString SeparatorCaption(const QString& text)
{
    for (const TSeparatorChoice& choice : SeparatorChoices())
        if (text == QString::fromUtf16(choice.text)) return QString::fromUtf16(choice.caption);
    return text;
}

}  // namespace

TfrmSelectAlbumInfo::TfrmSelectAlbumInfo(const TAlbumInfo& album, const TAlbumLineOptions& options, QWidget* parent)
    : QDialog(parent), album_(album), options_(options), separator_(new QComboBox(this)), preview_(new QPlainTextEdit(this))
{
    setWindowTitle(QStringLiteral("表示項目の設定"));
    auto* albumBox = new QGroupBox(QStringLiteral("アルバム"), this);
    auto* albumLayout = new QVBoxLayout(albumBox);
    auto* trackBox = new QGroupBox(QStringLiteral("トラック"), this);
    auto* trackLayout = new QVBoxLayout(trackBox);
    for (size_t i = 0; i < flags_.size(); ++i) {
        flags_[i] = new QCheckBox(QString::fromUtf16(kFlagCaptions[i]), this);
        flags_[i]->setChecked(options_.flags & kFlagBits[i]);
        (i < 2 ? albumLayout : trackLayout)->addWidget(flags_[i]);
        connect(flags_[i], &QCheckBox::toggled, this, [this] { OptionsChanged(); });
    }
    auto* orderBox = new QGroupBox(QStringLiteral("並び順"), this);
    auto* orderLayout = new QVBoxLayout(orderBox);
    for (size_t i = 0; i < orders_.size(); ++i) {
        orders_[i] = new QRadioButton(QString::fromUtf16(TrackFieldOrders()[i].caption), this);
        orders_[i]->setChecked(int(i) == options_.order);
        orderLayout->addWidget(orders_[i]);
        connect(orders_[i], &QRadioButton::toggled, this, [this] { OptionsChanged(); });
    }
    separator_->setEditable(true);
    for (const TSeparatorChoice& choice : SeparatorChoices()) separator_->addItem(QString::fromUtf16(choice.caption));
    separator_->setEditText(SeparatorCaption(options_.separator));
    connect(separator_, &QComboBox::editTextChanged, this, [this] { OptionsChanged(); });
    auto* separatorLabel = new QLabel(QStringLiteral("区切り文字(&S)"), this);
    separatorLabel->setBuddy(separator_);
    preview_->setReadOnly(true);
    preview_->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* buttons = OkCancelButtons(this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(albumBox, 0, 0);
    layout->addWidget(trackBox, 1, 0);
    layout->addWidget(orderBox, 0, 1, 2, 1);
    auto* separatorRow = new QHBoxLayout;
    separatorRow->addWidget(separatorLabel);
    separatorRow->addWidget(separator_, 1);
    layout->addLayout(separatorRow, 2, 0, 1, 2);
    layout->addWidget(preview_, 3, 0, 1, 2);
    layout->addWidget(buttons, 4, 0, 1, 2);
    OptionsChanged();
}

void TfrmSelectAlbumInfo::OptionsChanged()
{
    options_.flags = 0;
    for (size_t i = 0; i < flags_.size(); ++i)
        if (flags_[i]->isChecked()) options_.flags |= kFlagBits[i];
    for (size_t i = 0; i < orders_.size(); ++i)
        if (orders_[i]->isChecked()) options_.order = int(i);
    options_.separator = SeparatorText(separator_->currentText());
    preview_->setPlainText(Lines().join(u'\n'));
}

}  // namespace kestrel

#include "ui/PropertiesPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "document/Notify.h"
#include "edit/QuickProperties.h"
#include "render/DrawSite.h"
#include "ui/FormatToolBar.h"
#include "ui/TextPropertiesDialog.h"

namespace kestrel {

namespace {

constexpr double kMaxMillimetres = 10000;

// Its lowest value stands for "none" and shows blank.
QDoubleSpinBox* NewMillimetreBox(QWidget* parent, double minimum)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setDecimals(1);
    box->setRange(minimum, kMaxMillimetres);
    box->setSpecialValueText(QStringLiteral(" "));
    box->setSuffix(QStringLiteral(" mm"));
    // One edit when the user is done (Enter, leaving the field, a step of the arrows).
    box->setKeyboardTracking(false);
    return box;
}

int Units(const QDoubleSpinBox& box)
{
    return int(std::lround(box.value() * 10));
}

void ShowUnits(QDoubleSpinBox& box, std::optional<int> units, bool editable)
{
    const QSignalBlocker quiet(&box);
    box.setEnabled(units && editable);
    box.setValue(units ? *units / 10.0 : box.minimum());
}

void ShowSwatch(QPushButton& button, std::optional<TColor> colour)
{
    QPixmap swatch(16, 16);
    swatch.fill(colour ? ToQColor(*colour) : QColor(Qt::transparent));
    button.setIcon(QIcon(swatch));
    button.setEnabled(colour.has_value());
}

QString NoteFor(const TQuickProperties& shown)
{
    if (shown.selected == 0) return QStringLiteral("オブジェクトが選ばれていません");
    if (shown.selected > 1)
        return QStringLiteral("%1個のオブジェクトを選択中です。位置・大きさ・角度・文字は1つだけ選んだときに変更できます")
            .arg(shown.selected);
    if (!shown.movable) return QStringLiteral("固定されているため、位置・大きさ・角度は変更できません");
    return {};
}

}  // namespace

TPropertiesPanel::TPropertiesPanel(QWidget* parent)
    : QWidget(parent),
      note_(new QLabel(this)),
      form_(new QFormLayout),
      left_(NewMillimetreBox(this, -kMaxMillimetres)),
      top_(NewMillimetreBox(this, -kMaxMillimetres)),
      width_(NewMillimetreBox(this, 0)),
      height_(NewMillimetreBox(this, 0)),
      angle_(new QSpinBox(this)),
      text_(new QPlainTextEdit(this)),
      applyText_(new QPushButton(QStringLiteral("文字の変更"), this)),
      font_(new TFontChooser(this)),
      pen_(new QPushButton(QStringLiteral("線・文字の色..."), this)),
      filled_(new QCheckBox(QStringLiteral("塗りつぶす"), this)),
      fillColor_(new QPushButton(QStringLiteral("塗りつぶしの色..."), this)),
      locked_(new QCheckBox(QStringLiteral("固定する"), this))
{
    setObjectName("PropertiesPanel");
    chooseColor = [this](TColor current) { return AskColor(this, current); };
    note_->setObjectName("PropertiesNote");
    note_->setWordWrap(true);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 0, 0, 0);
    column->addWidget(note_);
    column->addLayout(form_);
    column->addStretch(1);
    BuildPlaceFields();
    BuildLookFields();
    setMaximumWidth(260);
    Refresh();
}

TPropertiesPanel::~TPropertiesPanel() = default;

void TPropertiesPanel::BuildPlaceFields()
{
    form_->addRow(QStringLiteral("左"), left_);
    form_->addRow(QStringLiteral("上"), top_);
    form_->addRow(QStringLiteral("幅"), width_);
    form_->addRow(QStringLiteral("高さ"), height_);
    angle_->setRange(-359, 359);
    angle_->setSuffix(QStringLiteral("°"));
    angle_->setKeyboardTracking(false);
    form_->addRow(QStringLiteral("角度"), angle_);
    for (QDoubleSpinBox* box : {left_, top_})
        connect(box, &QDoubleSpinBox::valueChanged, this, [this] { EditPlace(); });
    for (QDoubleSpinBox* box : {width_, height_})
        connect(box, &QDoubleSpinBox::valueChanged, this, [this] { EditSize(); });
    connect(angle_, &QSpinBox::valueChanged, this,
            [this](int degrees) { Edit([degrees](TDrawSite& site) { TurnSelection(site, degrees); }); });
}

void TPropertiesPanel::BuildLookFields()
{
    text_->setTabChangesFocus(true);
    text_->setMaximumHeight(6 * fontMetrics().height());
    form_->addRow(QStringLiteral("文字"), text_);
    form_->addRow(QString(), applyText_);
    connect(applyText_, &QPushButton::clicked, this, [this] {
        const QString text = text_->toPlainText();
        Edit([&text](TDrawSite& site) { SetSelectionText(site, text); });
    });
    form_->addRow(QStringLiteral("フォント"), font_);
    OnFontPicked(*font_, this, [this](const TSiteEdit& edit) { Edit(edit); });
    form_->addRow(pen_);
    connect(pen_, &QPushButton::clicked, this, [this] {
        if (const std::optional<TColor> colour = chooseColor(penColor_))
            Edit([colour](TDrawSite& site) { SetPenColor(site, *colour); });
    });
    form_->addRow(filled_, fillColor_);
    connect(filled_, &QCheckBox::toggled, this, [this](bool on) {
        const std::optional<TColor> colour = on ? std::optional<TColor>(fillColour_) : std::nullopt;
        Edit([colour](TDrawSite& site) { SetFillColor(site, colour); });
    });
    connect(fillColor_, &QPushButton::clicked, this, [this] {
        if (const std::optional<TColor> colour = chooseColor(fillColour_))
            Edit([colour](TDrawSite& site) { SetFillColor(site, *colour); });
    });
    form_->addRow(locked_);
    connect(locked_, &QCheckBox::toggled, this,
            [this](bool on) { Edit([on](TDrawSite& site) { SetSelectionLocked(site, on); }); });
}

void TPropertiesPanel::SetSite(TDrawSite* site)
{
    site_ = site;
    listener_ = std::make_unique<TListener>([this](TPersistent*, const QUuid& kind) {
        if (kind == NotifyBroadcasterClosing)
            site_ = nullptr;
        RefreshSoon();
    });
    if (site_) listener_->ListenTo(site_->Notifier());
    Refresh();
}

void TPropertiesPanel::RefreshSoon()
{
    if (refreshPending_) return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] { Refresh(); });
}

void TPropertiesPanel::Refresh()
{
    refreshPending_ = false;
    const TQuickProperties shown = site_ ? ReadQuickProperties(*site_) : TQuickProperties();
    note_->setText(NoteFor(shown));
    note_->setVisible(!note_->text().isEmpty());
    ShowPlace(shown);
    ShowLook(shown);
}

QString TPropertiesPanel::Note() const
{
    return note_->text();
}

void TPropertiesPanel::ShowPlace(const TQuickProperties& shown)
{
    const std::optional<TRect>& bounds = shown.bounds;
    const auto part = [&bounds](int (*of)(const TRect&)) { return bounds ? std::optional<int>(of(*bounds)) : std::nullopt; };
    ShowUnits(*left_, part([](const TRect& r) { return r.left; }), shown.movable);
    ShowUnits(*top_, part([](const TRect& r) { return r.top; }), shown.movable);
    ShowUnits(*width_, part([](const TRect& r) { return r.Width(); }), shown.movable);
    ShowUnits(*height_, part([](const TRect& r) { return r.Height(); }), shown.movable);
    const QSignalBlocker quiet(angle_);
    angle_->setEnabled(shown.angle && shown.movable);
    angle_->setValue(shown.angle.value_or(0));
}

void TPropertiesPanel::ShowLook(const TQuickProperties& shown)
{
    // A text being typed is left alone until it is applied or the selection changes.
    if (!text_->hasFocus() || !shown.text) text_->setPlainText(shown.text.value_or(QString()));
    text_->setEnabled(shown.text.has_value());
    applyText_->setEnabled(shown.text.has_value());
    font_->setEnabled(shown.format.fontName.has_value());
    if (shown.format.fontName) {
        const QSignalBlocker quietFace(&font_->FaceBox()), quietSize(&font_->SizeBox());
        font_->FaceBox().setCurrentText(*shown.format.fontName);
        font_->SizeBox().setCurrentText(QString::number(shown.format.fontSize));
    }
    penColor_ = shown.penColor.value_or(penColor_);
    ShowSwatch(*pen_, shown.penColor);
    fillColour_ = shown.fillable ? shown.fillColor : fillColour_;
    ShowSwatch(*fillColor_, shown.fillable ? std::optional<TColor>(shown.fillColor) : std::nullopt);
    const QSignalBlocker quietFilled(filled_), quietLocked(locked_);
    filled_->setEnabled(shown.fillable);
    filled_->setChecked(shown.filled);
    locked_->setEnabled(shown.selected > 0);
    locked_->setChecked(shown.locked);
}

void TPropertiesPanel::Edit(const std::function<void(TDrawSite&)>& edit)
{
    if (!site_) return;
    RunSiteEdit(*site_, edit);
    Refresh();
    if (onEdited) onEdited();
}

void TPropertiesPanel::EditPlace()
{
    const QPoint topLeft(Units(*left_), Units(*top_));
    Edit([topLeft](TDrawSite& site) { MoveSelectionTo(site, topLeft); });
}

void TPropertiesPanel::EditSize()
{
    const QSize size(Units(*width_), Units(*height_));
    Edit([size](TDrawSite& site) { ResizeSelection(site, size); });
}

}  // namespace kestrel

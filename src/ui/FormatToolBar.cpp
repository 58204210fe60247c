#include "ui/FormatToolBar.h"

#include <QActionGroup>
#include <QColorDialog>
#include <QComboBox>
#include <QInputDialog>
#include <QSignalBlocker>

#include "app/AppFrame.h"
#include "document/DOList.h"
#include "edit/FormatActions.h"
#include "music/LabelMusic.h"
#include "objects/BackImage.h"
#include "render/DrawSite.h"
#include "ui/TextPropertiesDialog.h"

namespace kestrel {

namespace {

struct TStyleTool {
    const char16_t* caption;
    const char* objectName;
    TFontStyle style;
};
constexpr TStyleTool StyleTools[] = {
    {u"太字", "actBold", fsBold}, {u"斜体", "actItalic", fsItalic}, {u"下線", "actUnderline", fsUnderline}};
constexpr const char* AlignToolNames[] = {"actAlignStart", "actAlignCentre", "actAlignEnd", "actAlignSpread"};

struct TPlaceChoice {
    const char16_t* caption;
    TPlace horizontal;
    TPlace vertical;
};
constexpr TPlaceChoice PlaceChoices[] = {
    {u"中央", TPlace::Centre, TPlace::Centre},     {u"左右の中央", TPlace::Centre, TPlace::Keep},
    {u"上下の中央", TPlace::Keep, TPlace::Centre}, {u"左端", TPlace::Start, TPlace::Keep},
    {u"右端", TPlace::End, TPlace::Keep},          {u"上端", TPlace::Keep, TPlace::Start},
    {u"下端", TPlace::Keep, TPlace::End},
};

struct TLineUpChoice {
    const char16_t* caption;
    TLineUp how;
};
constexpr TLineUpChoice LineUpChoices[] = {
    {u"左揃え", TLineUp::Left},
    {u"左右中央揃え", TLineUp::HCentre},
    {u"右揃え", TLineUp::Right},
    {u"上揃え", TLineUp::Top},
    {u"上下中央揃え", TLineUp::VCentre},
    {u"下揃え", TLineUp::Bottom},
    {u"左右に等間隔", TLineUp::SpreadAcross},
    {u"上下に等間隔", TLineUp::SpreadDown},
};

// The index of the caption the user picks from the list; none when cancelled.
template <typename Choice, size_t N>
const Choice* Pick(QWidget* parent, const QString& title, const QString& label, const Choice (&choices)[N])
{
    QStringList captions;
    for (const Choice& choice : choices) captions << QString::fromUtf16(choice.caption);
    bool accepted = false;
    const QString picked = QInputDialog::getItem(parent, title, label, captions, 0, false, &accepted);
    const qsizetype index = captions.indexOf(picked);
    return accepted && index >= 0 ? &choices[index] : nullptr;
}

int SelectedCount(const TDrawSite& site)
{
    std::vector<TDrawObject*> selected;
    site.Objects(selected, true);
    return int(selected.size());
}

TLOBackImage* FirstBackground(const TDrawSite& site)
{
    for (int i = 0; i < site.ChildCount(); ++i)
        if (auto* background = dynamic_cast<TLOBackImage*>(&site.Child(i))) return background;
    return nullptr;
}

}  // namespace

void OnFontPicked(TFontChooser& chooser, QObject* context, std::function<void(const TSiteEdit&)> run)
{
    QObject::connect(&chooser.FaceBox(), &QComboBox::textActivated, context, [run](const QString& name) {
        run([&](TDrawSite& site) { SetFontName(site, name); });
    });
    QObject::connect(&chooser.SizeBox(), &QComboBox::textActivated, context, [run](const QString& text) {
        bool ok = false;
        const int points = text.toInt(&ok);
        if (ok && points > 0) run([&](TDrawSite& site) { SetFontSize(site, points); });
    });
}

void RunSiteEdit(TDrawSite& site, const TSiteEdit& edit)
{
    TAppFrame::ShowingErrors([&] {
        edit(site);
        site.UpdatePivots();
    });
}

std::optional<TColor> AskColor(QWidget* parent, TColor current)
{
    const QColor chosen = QColorDialog::getColor(ToQColor(current), parent, QStringLiteral("色の設定"));
    return chosen.isValid() ? std::optional<TColor>(FromQColor(chosen)) : std::nullopt;
}

TFormatToolBar::TFormatToolBar(QWidget* parent)
    : QToolBar(QStringLiteral("書式"), parent),
      font_(new TFontChooser(this)),
      feedAngle_(new QComboBox(this)),
      field_(new QComboBox(this))
{
    setObjectName("FormatToolBar");
    chooseColor = [this](TColor current) { return AskColor(this, current); };
    BuildFontTools();
    BuildAlignTools();
    BuildColourTools();
    BuildPlaceTools();
    Update();
}

QAction* TFormatToolBar::AddTool(const QString& caption, const char* objectName, const QString& hint,
                                 std::function<void()> run)
{
    QAction* action = addAction(caption);
    action->setObjectName(objectName);
    action->setStatusTip(hint);
    action->setToolTip(hint);
    if (run) connect(action, &QAction::triggered, this, std::move(run));
    return action;
}

QAction* TFormatToolBar::Entry(const char* objectName) const
{
    for (QAction* action : actions())
        if (action->objectName() == QLatin1String(objectName)) return action;
    return nullptr;
}

void TFormatToolBar::BuildFontTools()
{
    font_->setToolTip(QStringLiteral("文字のフォントと大きさを指定します"));
    addWidget(font_);
    OnFontPicked(*font_, this, [this](const TSiteEdit& edit) { Edit(edit); });
    for (const TStyleTool& tool : StyleTools) {
        QAction* action = AddTool(QString::fromUtf16(tool.caption), tool.objectName, {}, {});
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, style = tool.style](bool on) {
            Edit([&](TDrawSite& site) { SetFontStyle(site, style, on); });
        });
        styleTools_.push_back(action);
    }
}

void TFormatToolBar::BuildAlignTools()
{
    addSeparator();
    auto* group = new QActionGroup(this);
    for (const TNamedChoice& choice : TextAlignChoices()) {
        QAction* action = AddTool(
            QString::fromUtf16(choice.caption), AlignToolNames[choice.value], {},
            [this, align = choice.value] { Edit([&](TDrawSite& site) { SetTextAlign(site, align); }); });
        action->setCheckable(true);
        group->addAction(action);
        alignTools_.push_back(action);
    }
    for (const TNamedChoice& choice : FeedAngleChoices())
        feedAngle_->addItem(QString::fromUtf16(choice.caption), choice.value);
    feedAngle_->setToolTip(QStringLiteral("行送りの方向を指定します"));
    addWidget(feedAngle_);
    connect(feedAngle_, &QComboBox::activated, this, [this](int index) {
        const int degrees = feedAngle_->itemData(index).toInt();
        Edit([&](TDrawSite& site) { SetFeedAngle(site, degrees); });
    });
}

void TFormatToolBar::BuildColourTools()
{
    addSeparator();
    AddTool(QStringLiteral("線・文字の色..."), "actPenColor", QStringLiteral("文字や線の色を指定します"),
            [this] {
                if (const std::optional<TColor> color = chooseColor(penColor_)) {
                    penColor_ = *color;
                    Edit([&](TDrawSite& site) { SetPenColor(site, *color); });
                }
            });
    AddTool(QStringLiteral("塗りつぶしの色..."), "actFillColor", QStringLiteral("図形の内側の色を指定します"),
            [this] {
                if (const std::optional<TColor> color = chooseColor(fillColor_)) {
                    fillColor_ = *color;
                    Edit([&](TDrawSite& site) { SetFillColor(site, *color); });
                }
            });
    AddTool(QStringLiteral("塗りつぶしなし"), "actNoFill", QStringLiteral("図形の内側を塗りつぶしません"),
            [this] { Edit([](TDrawSite& site) { SetFillColor(site, std::nullopt); }); });
}

void TFormatToolBar::BuildPlaceTools()
{
    addSeparator();
    AddTool(QStringLiteral("位置合わせ(&A)..."), "actPlace",
            QStringLiteral("選んだオブジェクトをラベルの中で配置します"),
            [this] { Edit([this](TDrawSite& site) { PlaceSelection(site); }); });
    AddTool(QStringLiteral("位置揃え(&O)..."), "actLineUp",
            QStringLiteral("選んだオブジェクトの位置を揃えます"),
            [this] { Edit([this](TDrawSite& site) { LineUpSelection(site); }); });
    AddTool(QStringLiteral("背景変更"), "actChangeBackground", QStringLiteral("ラベルの背景を変更します"),
            [this] { Edit([this](TDrawSite& site) { ChangeBackground(site); }); });
    addSeparator();
    field_->setToolTip(QStringLiteral("変更する入力項目を選びます"));
    addWidget(field_);
    AddTool(QStringLiteral("項目の変更..."), "actChangeField",
            QStringLiteral("選んだ入力項目の文字を変更します"),
            [this] { Edit([this](TDrawSite& site) { ChangeChosenField(site); }); });
}

void TFormatToolBar::SetSite(TDrawSite* site, int face)
{
    site_ = site;
    face_ = face;
    Update();
}

void TFormatToolBar::Edit(const TSiteEdit& edit)
{
    if (!site_) return;
    RunSiteEdit(*site_, edit);
    Update();
    if (onEdited) onEdited();
}

void TFormatToolBar::PlaceSelection(TDrawSite& site)
{
    if (const TPlaceChoice* choice =
            Pick(this, QStringLiteral("位置合わせ"), QStringLiteral("ラベルの中の位置(&P):"), PlaceChoices))
        PlaceInFace(site, choice->horizontal, choice->vertical);
}

void TFormatToolBar::LineUpSelection(TDrawSite& site)
{
    if (const TLineUpChoice* choice =
            Pick(this, QStringLiteral("位置揃え"), QStringLiteral("揃え方(&H):"), LineUpChoices))
        LineUp(site, choice->how);
}

// The dialog edits a copy, so a cancelled edit leaves the face as it was.
void TFormatToolBar::ChangeBackground(TDrawSite& site)
{
    TLOBackImage* background = FirstBackground(site);
    if (!background || !editBackground) return;
    const std::unique_ptr<TDrawObject> design = CloneObject(*background);
    if (editBackground(*design)) ChangeBackgrounds(site, *design);
}

// Text the labels cannot hold is refused, so what is saved is what is shown.
void TFormatToolBar::ChangeChosenField(TDrawSite& site)
{
    const QString caption = field_->currentText();
    QString current;
    for (const TInputItem& item : SiteInputItems(site, face_))
        if (item.name == caption) current = item.text.join(u'\n');
    bool accepted = false;
    const QString text =
        QInputDialog::getMultiLineText(this, QStringLiteral("項目の変更"), caption, current, &accepted);
    if (!accepted) return;
    CheckLabelText(caption, text);
    ChangeField(site, caption, text.split(u'\n'));
}

void TFormatToolBar::Update()
{
    const TSelectionFormat format = site_ ? ReadSelectionFormat(*site_) : TSelectionFormat();
    const int selected = site_ ? SelectedCount(*site_) : 0;
    font_->setEnabled(format.fontName.has_value());
    if (format.fontName) {
        const QSignalBlocker quietFace(&font_->FaceBox()), quietSize(&font_->SizeBox());
        font_->FaceBox().setCurrentText(*format.fontName);
        font_->SizeBox().setCurrentText(QString::number(format.fontSize));
    }
    for (size_t i = 0; i < styleTools_.size(); ++i) {
        styleTools_[i]->setEnabled(format.fontName.has_value());
        styleTools_[i]->setChecked(format.fontStyle & (1 << StyleTools[i].style));
    }
    for (size_t i = 0; i < alignTools_.size(); ++i) {
        alignTools_[i]->setEnabled(format.align.has_value());
        alignTools_[i]->setChecked(format.align == int(i));
    }
    feedAngle_->setEnabled(format.feedAngle.has_value());
    if (format.feedAngle) {
        const QSignalBlocker quiet(feedAngle_);
        feedAngle_->setCurrentIndex(std::max(feedAngle_->findData(*format.feedAngle), 0));
    }
    for (const char* name : {"actPenColor", "actFillColor", "actNoFill", "actPlace"})
        Entry(name)->setEnabled(selected > 0);
    Entry("actLineUp")->setEnabled(selected > 1);
    Entry("actChangeBackground")->setEnabled(site_ && FirstBackground(*site_) && editBackground);

    ShowFields();
    field_->setEnabled(field_->count() > 0);
    Entry("actChangeField")->setEnabled(field_->count() > 0);
}

// Rebuilt only when the items changed, so an open list stays as it is.
void TFormatToolBar::ShowFields()
{
    QStringList names;
    if (site_)
        for (const TInputItem& item : SiteInputItems(*site_, face_)) names << item.name;
    QStringList shown;
    for (int i = 0; i < field_->count(); ++i) shown << field_->itemText(i);
    if (names == shown) return;
    const QString chosen = field_->currentText();
    const QSignalBlocker quiet(field_);
    field_->clear();
    field_->addItems(names);
    field_->setCurrentIndex(std::max(field_->findText(chosen), 0));
}

}  // namespace kestrel

#include "ui/TextPropertiesDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QComboBox>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include "app/AppFrame.h"
#include "document/ObjectKinds.h"
#include "document/stream/JsonCodec.h"
#include "document/stream/ObjectStream.h"
#include "text/CDDFile.h"
#include "text/LOText.h"
#include "text/ShadeText.h"
#include "ui/ColorSpecEditor.h"
#include "ui/ObjectCommands.h"

namespace kestrel {
namespace {

template <typename W>
W* Find(QDialog& dialog, const std::function<bool(W*)>& match)
{
    for (W* w : dialog.findChildren<W*>())
        if (match(w)) return w;
    return nullptr;
}

QCheckBox* CheckBox(QDialog& dialog, const QString& caption)
{
    return Find<QCheckBox>(dialog, [&](QCheckBox* c) { return c->text() == caption; });
}

// The box of the dark pixels of the dialog's sample (the one framed picture).
QRect SampleInk(QDialog& dialog)
{
    QLabel* preview = Find<QLabel>(dialog, [](QLabel* l) { return !l->pixmap().isNull(); });
    if (!preview) return {};
    const QImage image = preview->pixmap().toImage();
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) ink |= QRect(x, y, 1, 1);
    return ink;
}

TEST(TextPropertiesDialog, ThePreviewFollowsTheWritingDirectionAndTheSize)
{
    TLOText text;
    text.SetBounds({0, 0, 300, 100});
    TTextPropertiesDialog dialog(text);
    auto* size = Find<QComboBox>(dialog, [](QComboBox* c) { return c->isEditable() && c->findText("24") >= 0; });
    ASSERT_NE(size, nullptr);
    size->setEditText("24");
    const QRect across = SampleInk(dialog);
    ASSERT_FALSE(across.isEmpty());
    EXPECT_GT(across.width(), across.height()) << "two characters side by side";
    CheckBox(dialog, QStringLiteral("縦書き(&V)"))->setChecked(true);
    const QRect down = SampleInk(dialog);
    EXPECT_GT(down.height(), down.width()) << "two characters one under the other";
    size->setEditText("12");
    const QRect smaller = SampleInk(dialog);
    EXPECT_LT(smaller.height(), down.height() * 3 / 4);
}

TEST(TextPropertiesDialog, IsTheRegisteredEditorAndAppliesWhatTheUserSet)
{
    TLOText text;
    text.SetBounds({0, 0, 300, 100});
    ASSERT_NE(FindPropertiesEditor(text), nullptr);
    const TObjectKind* kind = TObjectKinds::Global().Find("TLOText");
    ASSERT_NE(kind, nullptr);
    EXPECT_FALSE(kind->caption.isEmpty()) << "in the insert menu";

    TTextPropertiesDialog dialog(text);
    dialog.findChild<QPlainTextEdit*>()->setPlainText(QStringLiteral("一行目\nSecond"));
    CheckBox(dialog, QStringLiteral("縦書き(&V)"))->setChecked(true);
    CheckBox(dialog, QStringLiteral("縁取り(&O)"))->setChecked(true);
    CheckBox(dialog, QStringLiteral("半角を全角に変換(&Z)"))->setChecked(true);
    Find<QComboBox>(dialog, [](QComboBox* c) { return c->count() == 9 && c->itemText(0) == u"なし"; })->setCurrentIndex(8);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(text.Text(), QStringList({QStringLiteral("一行目"), QStringLiteral("Second")}));
    EXPECT_TRUE(text.Vertical());
    EXPECT_EQ(text.Rect(), (TRect{100, -100, 200, 200}));  // turned about its centre
    EXPECT_TRUE(text.Outline());
    EXPECT_TRUE(text.HanToZen());
    EXPECT_EQ(text.Shadow(), 8);
}

// The number of sample pixels between ink and paper: a blurred shadow has many.
int HalfTones(QDialog& dialog)
{
    QLabel* preview = Find<QLabel>(dialog, [](QLabel* l) { return !l->pixmap().isNull(); });
    const QImage image = preview->pixmap().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const int grey = qGray(image.pixel(x, y)); grey > 40 && grey < 215) ++count;
    return count;
}

TEST(TextPropertiesDialog, TheInputPromptAndTheSoftShadowReachTheTextAndThePreview)
{
    TLOTextObject text;
    text.SetBounds({0, 0, 300, 100});
    TTextPropertiesDialog dialog(text);
    auto* soft = CheckBox(dialog, QStringLiteral("ぼかす(&H)"));
    auto* bold = CheckBox(dialog, QStringLiteral("太くする(&G)"));
    ASSERT_NE(soft, nullptr);
    EXPECT_FALSE(bold->isEnabled());
    Find<QComboBox>(dialog, [](QComboBox* c) { return c->count() == 9 && c->itemText(0) == u"なし"; })->setCurrentIndex(8);
    const int sharp = HalfTones(dialog);
    soft->setChecked(true);
    EXPECT_GT(HalfTones(dialog), sharp * 2) << "the shadow's edge is a ramp";
    bold->setChecked(true);
    CheckBox(dialog, QStringLiteral("入力画面で入力する(&W)"))->setChecked(true);
    Find<QLineEdit>(dialog, [](QLineEdit* e) { return e->placeholderText().startsWith(u"入力画面"); })->setText(QStringLiteral(" タイトル "));
    dialog.accept();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(text.ShadeShadowEnable());
    EXPECT_TRUE(text.ShadeShadowBold());
    EXPECT_TRUE(text.WizInputEnable());
    EXPECT_EQ(text.WizInputCaption(), QStringLiteral("タイトル"));

    // A text class without them offers neither.
    TLOText plain;
    TTextPropertiesDialog other(plain);
    EXPECT_EQ(CheckBox(other, QStringLiteral("ぼかす(&H)")), nullptr);
    EXPECT_EQ(CheckBox(other, QStringLiteral("入力画面で入力する(&W)")), nullptr);
}

// A window holding a document whose creator set's first item is two lines.
class TInformationWindow : public QWidget, public IInformationHolder {
public:
    QStringList InformationTexts(TFieldType set) override
    {
        if (set == ftCreatorJapanese) return {QStringLiteral("会社\n部署"), QStringLiteral("電話")};
        return {QStringLiteral("タイトル")};
    }
};

TEST(TextPropertiesDialog, ChoosingAnInformationFieldFillsInTheDocumentsText)
{
    TInformationWindow window;
    TLOText text;
    TTextPropertiesDialog dialog(text, &window);
    QComboBox* set = Find<QComboBox>(dialog, [](QComboBox* c) { return c->itemText(0) == u"自由入力"; });
    ASSERT_NE(set, nullptr);
    set->setCurrentIndex(2);
    Q_EMIT set->activated(2);
    auto* lines = dialog.findChild<QPlainTextEdit*>();
    EXPECT_EQ(lines->toPlainText(), QStringLiteral("会社\n部署"));
    QComboBox* item = Find<QComboBox>(dialog, [](QComboBox* c) { return c->itemText(0).startsWith(u"1: "); });
    ASSERT_NE(item, nullptr);
    item->setCurrentIndex(1);
    Q_EMIT item->activated(1);
    EXPECT_EQ(lines->toPlainText(), QStringLiteral("電話"));
    // An item the document does not have leaves what is typed.
    const int last = item->count() - 1;
    ASSERT_GE(last, 2);
    item->setCurrentIndex(last);
    Q_EMIT item->activated(last);
    EXPECT_EQ(lines->toPlainText(), QStringLiteral("電話"));
    dialog.accept();
    EXPECT_EQ(text.FieldType(), ftCreatorJapanese);
    EXPECT_EQ(text.FieldNo(), last + 1);
}

TEST(TextPropertiesDialog, TextTheCodePageCannotHoldIsRefusedWithAMessage)
{
    TLOText text;
    text.SetText({QStringLiteral("元のまま")});
    TTextPropertiesDialog dialog(text);
    dialog.findChild<QPlainTextEdit*>()->setPlainText(QStringLiteral("音符 \U0001F3B5"));
    QString message;
    std::function<void()> closeWarning = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return QTimer::singleShot(0, closeWarning);
        message = box->text();
        box->accept();
    };
    QTimer::singleShot(0, closeWarning);
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(message.contains(QStringLiteral("保存できない文字"))) << message.toStdString();
    EXPECT_EQ(text.Text(), QStringList{QStringLiteral("元のまま")});
}

// The choosers in creation order (they carry no meta-object of their own, so findChildren
// cannot tell them from other widgets).
QList<TSpacingChooser*> SpacingChoosers(QDialog& dialog)
{
    QList<TSpacingChooser*> choosers;
    for (QWidget* w : dialog.findChildren<QWidget*>())
        if (auto* chooser = dynamic_cast<TSpacingChooser*>(w)) choosers << chooser;
    return choosers;
}

QComboBox* ComboStartingWith(QDialog& dialog, const QString& first)
{
    return Find<QComboBox>(dialog, [&](QComboBox* c) { return c->count() > 0 && c->itemText(0) == first; });
}

TEST(TextPropertiesDialog, SpacingPresetsInformationFieldsAndGradationsReachTheText)
{
    TLOText text;
    text.SetLineSpacing(150);  // beyond the detail range: shown and kept as it is
    TTextPropertiesDialog dialog(text);
    const QList<TSpacingChooser*> choosers = SpacingChoosers(dialog);
    ASSERT_EQ(choosers.size(), 2);
    TSpacingChooser& chars = *choosers[0];
    TSpacingChooser& lines = *choosers[1];
    EXPECT_EQ(chars.PresetBox().currentText(), QStringLiteral("普通"));
    EXPECT_FALSE(chars.DetailBox().isEnabled());
    EXPECT_EQ(lines.PresetBox().currentText(), QStringLiteral("詳細設定"));
    EXPECT_EQ(lines.Value(), 150);
    chars.PresetBox().setCurrentIndex(chars.PresetBox().findText(QStringLiteral("もっと広く")));

    QComboBox* set = ComboStartingWith(dialog, QStringLiteral("自由入力"));
    ASSERT_NE(set, nullptr);
    set->setCurrentIndex(set->findText(QStringLiteral("クリエーター(英語)")));
    QComboBox* item = ComboStartingWith(dialog, QStringLiteral("1: 会社名"));
    ASSERT_NE(item, nullptr);
    item->setCurrentIndex(2);

    TColorSpecEditor* colour = nullptr;
    for (QWidget* w : dialog.findChildren<QWidget*>())
        if (auto* editor = dynamic_cast<TColorSpecEditor*>(w); editor && editor->title() == u"文字の色") colour = editor;
    ASSERT_NE(colour, nullptr);
    colour->KindBox().setCurrentIndex(colour->KindBox().findData(cskGradation));
    dialog.accept();
    EXPECT_EQ(text.CharSpacing(), 20);
    EXPECT_EQ(text.LineSpacing(), 150);
    EXPECT_EQ(text.FieldType(), ftCreatorEnglish);
    EXPECT_EQ(text.FieldNo(), 3);
    EXPECT_EQ(text.TextColor().Kind(), cskGradation);

    // Back to free input, and a spacing of the user's own.
    TTextPropertiesDialog again(text);
    ComboStartingWith(again, QStringLiteral("自由入力"))->setCurrentIndex(0);
    TSpacingChooser& detail = *SpacingChoosers(again)[0];
    detail.PresetBox().setCurrentIndex(detail.PresetBox().findText(QStringLiteral("詳細設定")));
    detail.DetailBox().setValue(-37);
    again.accept();
    EXPECT_EQ(text.FieldNo(), 0);
    EXPECT_EQ(text.CharSpacing(), -37);
}

QByteArray StreamOf(const TLOText& text)
{
    QByteArray bytes;
    WriteObject(bytes, text);
    return bytes;
}

// The same as text, to show what differs.
std::string JsonOf(const TLOText& text)
{
    return QJsonDocument(ObjectToJson(text)).toJson().toStdString();
}

// The shipped presets, where the dialog looks for them.
class PresetsFrame {
public:
    PresetsFrame() { frame_.Macro().SetLines({QStringLiteral("CoonsDistortionData=" KESTREL_DATA_DIR "/kestrel.cdd")}); }

private:
    TAppFrame frame_;
};

// A distortion no preset is (its identifier is new), as another program may have stored.
TCoonsDistortion ForeignDistortion()
{
    TCoonsDistortion foreign = TCoonsDistortion::Identity();
    foreign.SetPointCount(cdsTop, 4);
    return foreign;
}

TEST(TextPropertiesDialog, OKLeavesWhatTheUserDidNotTouchAsItWas)
{
    PresetsFrame presets;
    TLOText distorted;
    distorted.SetBounds({0, 0, 500, 200});
    distorted.SetText({u"一行目"_qs, QString(), u"三行目"_qs});
    distorted.SetCoonsDistortion(ForeignDistortion());
    distorted.SetDistortionRatio(150);
    distorted.SetShadowOffsetX(3);
    distorted.SetShadowOffsetY(-12);
    distorted.SetFeedAngle(30);
    distorted.SetOutline(true);
    distorted.SetOutLineWidth(250);
    distorted.SetAlign(2);

    TLOText arched;
    arched.SetText({QString()});
    arched.SetBulge(5000);
    arched.SetShadow(3);
    arched.SetAlign(7);

    const TCoonsDistortion foreign = distorted.CoonsDistortion();
    for (TLOText* text : {&distorted, &arched}) {
        const QByteArray before = StreamOf(*text);
        const std::string json = JsonOf(*text);
        TTextPropertiesDialog dialog(*text);
        dialog.accept();
        ASSERT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(JsonOf(*text), json);
        EXPECT_EQ(StreamOf(*text), before);
    }
    EXPECT_EQ(distorted.Shadow(), TLOText::CustomShadow);
    EXPECT_EQ(distorted.CoonsDistortion(), foreign);
}

TEST(TextPropertiesDialog, TheDistortionChoiceKeepsAForeignShapeUntilAPresetIsPicked)
{
    PresetsFrame presets;
    TCDDFile file;
    file.Open(KESTREL_DATA_DIR "/kestrel.cdd");
    ASSERT_GE(file.Count(), 2);
    TLOText text;
    text.SetCoonsDistortion(ForeignDistortion());
    TTextPropertiesDialog dialog(text);
    auto* on = Find<QRadioButton>(dialog, [](QRadioButton* r) { return r->text() == u"す  る"; });
    auto* off = Find<QRadioButton>(dialog, [](QRadioButton* r) { return r->text() == u"しない"; });
    ASSERT_NE(on, nullptr);
    ASSERT_NE(off, nullptr);
    EXPECT_TRUE(on->isChecked());
    QComboBox* preset = ComboStartingWith(dialog, file.Name(0));
    ASSERT_NE(preset, nullptr);
    EXPECT_EQ(preset->currentIndex(), -1);
    preset->setCurrentIndex(1);
    dialog.accept();
    TCoonsDistortion second;
    file.Load(second, 1);
    EXPECT_EQ(text.CoonsDistortion(), second);

    TTextPropertiesDialog again(text);
    Find<QRadioButton>(again, [](QRadioButton* r) { return r->text() == u"しない"; })->setChecked(true);
    again.accept();
    EXPECT_TRUE(text.CoonsDistortion().IsEmpty());
}

TEST(TextPropertiesDialog, CustomShadowOffsetsShowAsTheirOwnChoice)
{
    TLOText text;
    text.SetShadowOffsetX(3);
    text.SetShadowOffsetY(3);
    TTextPropertiesDialog dialog(text);
    QComboBox* shadow = ComboStartingWith(dialog, QStringLiteral("なし"));
    ASSERT_NE(shadow, nullptr);
    EXPECT_EQ(shadow->count(), 10);
    EXPECT_TRUE(shadow->currentText().contains(u"3%")) << shadow->currentText().toStdString();
    shadow->setCurrentIndex(shadow->findText(QStringLiteral("右下")));
    dialog.accept();
    EXPECT_EQ(text.Shadow(), 8);
}

}  // namespace
}  // namespace kestrel

#include "ui/MenuStage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "edit/DrawSiteActions.h"
#include "label/LabelData.h"
#include "label/SheetEditing.h"
#include "paper/FaceDescription.h"
#include "paper/PapersUI.h"
#include "ui/SheetView.h"

namespace kestrel {

TMenuStage::TMenuStage(TLabelData& document, TActionList& history, TMenuStageCommands commands, QWidget* parent)
    : QWidget(parent), document_(document), history_(history), commands_(std::move(commands)), faces_(new TSheetView(this)),
      faceName_(new QLabel(this))
{
    setObjectName("MenuStage");
    faces_->setObjectName("MenuStageFaces");
    faceName_->setObjectName("ChosenFace");
    auto* prompt = new QLabel(QStringLiteral("作成・編集するラベルをクリックします"), this);

    auto* centre = new QVBoxLayout;
    centre->addWidget(prompt);
    centre->addWidget(faces_, 1);
    centre->addWidget(faceName_);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(BuildMediumBar());
    layout->addLayout(centre, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(BuildMethodBar());
    right->addWidget(BuildEditBar());
    right->addStretch(1);
    right->addWidget(BuildDocumentBar());
    layout->addLayout(right);

    faces_->onFaceSelected = [this](int face) { FaceChosen(face); };
    faces_->onEditFace = [this](int face) {
        FaceChosen(face);
        Design(TStageHost::stLayout);
    };
    Reload();
}

const QStringList& TMenuStage::MediumCaptions()
{
    static const QStringList captions{QStringLiteral("ダイレクト"), QStringLiteral("ラベル"), QStringLiteral("ケース"),
                                      QStringLiteral("ユーザー")};
    return captions;
}

// The catalogue's genres: "ダイレクトプリント…", "CD-R・DVDラベル", "CD・DVDケース", "ユーザー用紙".
QString TMenuStage::MediumGenreKeyword(const QString& caption)
{
    return caption == MediumCaptions()[3] ? UserGenreName : caption;
}

QPushButton* TMenuStage::AddButton(QLayout& layout, const QString& caption, const QString& hint, std::function<void()> run)
{
    QPushButton* button = NewStageButton(this, caption, hint, std::move(run));
    layout.addWidget(button);
    return button;
}

QWidget* TMenuStage::BuildMediumBar()
{
    auto* box = new QGroupBox(QStringLiteral("メディア"), this);
    auto* layout = new QVBoxLayout(box);
    const QStringList hints{QStringLiteral("ディスクに直接印刷します"), QStringLiteral("ラベル用紙に印刷します"),
                            QStringLiteral("ケースのジャケットやインレイを作ります"), QStringLiteral("ユーザー用紙から選びます")};
    for (int i = 0; i < MediumCaptions().size(); ++i) {
        const QString keyword = MediumGenreKeyword(MediumCaptions()[i]);
        AddButton(*layout, MediumCaptions()[i], hints[i], [this, keyword] { commands_.choosePaper(keyword); });
    }
    AddButton(*layout, QStringLiteral("用紙変更"), QStringLiteral("用紙またはメディアを選びます"),
              [this] { commands_.choosePaper({}); });
    layout->addStretch(1);
    return box;
}

QWidget* TMenuStage::BuildMethodBar()
{
    auto* box = new QGroupBox(QStringLiteral("作り方"), this);
    auto* layout = new QVBoxLayout(box);
    const TStageLink methods[] = {
        {u"テンプレート", u"テンプレートを選んで作ります", TStageHost::stTemplate},
        {u"イメージから", u"写真や画像から作ります", TStageHost::stImage},
        {u"自由に作る", u"白紙のラベルに自由に配置します", TStageHost::stLayout},
    };
    for (const auto& method : methods)
        methodButtons_ << AddButton(*layout, QString::fromUtf16(method.caption), QString::fromUtf16(method.hint),
                                    [this, stage = method.stage] { Design(stage); });
    return box;
}

QWidget* TMenuStage::BuildDocumentBar()
{
    auto* bar = new QWidget(this);
    auto* layout = new QVBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    AddButton(*layout, QStringLiteral("開  く"), QStringLiteral("保存されているデータを開きます"), [this] { commands_.open(); });
    AddButton(*layout, QStringLiteral("印  刷"), QStringLiteral("ラベルシートを印刷します"), [this] { commands_.print(); });
    AddButton(*layout, QStringLiteral("終 了"), QStringLiteral("プログラムを終了します"), [this] { commands_.exit(); });
    return bar;
}

QWidget* TMenuStage::BuildEditBar()
{
    auto* box = new QGroupBox(QStringLiteral("編集"), this);
    auto* layout = new QGridLayout(box);
    const struct {
        const char16_t* caption;
        const char16_t* hint;
        void (TMenuStage::*run)();
    } commands[] = {
        {u"取り消し", u"直前の操作を取り消します", &TMenuStage::Undo},
        {u"やり直し", u"取り消した操作をやり直します", &TMenuStage::Redo},
        {u"切り取り", u"ラベルの内容を切り取ります", &TMenuStage::CutFace},
        {u"コピー", u"ラベルの内容をコピーします", &TMenuStage::CopyFace},
        {u"貼り付け", u"コピーした内容をラベルに貼り付けます", &TMenuStage::PasteOnFace},
        {u"クリア", u"ラベルの内容を消します", &TMenuStage::ClearFace},
    };
    int i = 0;
    for (const auto& command : commands) {
        layout->addWidget(NewStageButton(box, QString::fromUtf16(command.caption), QString::fromUtf16(command.hint),
                                         [this, run = command.run] { (this->*run)(); }),
                          i / 2, i % 2);
        ++i;
    }
    return box;
}

TDOList TMenuStage::FaceObjects(int face) const
{
    TDOList objects;
    document_.LoadFaceObjects(face, objects);
    objects.Reverse();
    return objects;
}

void TMenuStage::ReplaceFace(int face, const TDOList& frontToBack, const QString& caption)
{
    TSheetEditing(document_, history_).ReplaceFaceObjects(face, frontToBack, caption);
    Reload();
}

void TMenuStage::CopyFace()
{
    const int face = faces_->SelectedFace();
    if (face >= 0) FaceObjects(face).ClipboardCopy(TStandardEditDSA::ClipboardFormat());
}

void TMenuStage::CutFace()
{
    const int face = faces_->SelectedFace();
    if (face < 0) return;
    FaceObjects(face).ClipboardCopy(TStandardEditDSA::ClipboardFormat());
    ReplaceFace(face, {}, QStringLiteral("切り取り"));
}

void TMenuStage::ClearFace()
{
    const int face = faces_->SelectedFace();
    if (face >= 0) ReplaceFace(face, {}, QStringLiteral("クリア"));
}

// The pasted objects go on top of the face's own, moved inside the face when they stick out.
void TMenuStage::PasteOnFace()
{
    const int face = faces_->SelectedFace();
    TDOList pasted;
    if (face < 0 || !pasted.ClipboardPaste(TStandardEditDSA::ClipboardFormat()) || pasted.IsEmpty()) return;
    const TSheetRect outer = document_.Face(face).OuterRect();
    ShiftInside(pasted, TRect{0, 0, outer.Width(), outer.Height()});
    const TDOList own = FaceObjects(face);
    TDOList all;
    for (TDrawObject* object : pasted.Items()) all.Add(*object);
    for (TDrawObject* object : own.Items()) all.Add(*object);
    ReplaceFace(face, all, QStringLiteral("貼り付け"));
}

void TMenuStage::Undo()
{
    if (!history_.CanUndo()) return;
    history_.Undo();
    Reload();
}

void TMenuStage::Redo()
{
    if (!history_.CanRedo()) return;
    history_.Redo();
    Reload();
}

void TMenuStage::Reload()
{
    faces_->Load(document_);
    FaceChosen(faces_->SelectedFace());
}

void TMenuStage::FaceChosen(int face)
{
    const TFaceGeometry* geometry = faces_->FaceGeometry(face);
    faceName_->setText(geometry ? FaceDescription(*geometry, face) : QString());
    for (QPushButton* button : methodButtons_) button->setEnabled(geometry != nullptr);
}

void TMenuStage::Design(int stage)
{
    const int face = faces_->SelectedFace();
    if (face >= 0) commands_.designFace(face, stage);
}

}  // namespace kestrel

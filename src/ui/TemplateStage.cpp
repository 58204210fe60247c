#include "ui/TemplateStage.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppFrame.h"
#include "document/DOList.h"
#include "label/LabelData.h"
#include "label/LabelExport.h"
#include "label/Templates.h"
#include "paper/PaperInfo.h"
#include "platform/Error.h"
#include "ui/FaceDesignCommands.h"
#include "ui/TemplateDialog.h"

namespace kestrel {

namespace {
constexpr int PreviewDpi = 60;
}

TTemplateStage::TTemplateStage(TLabelData& document, int face, QWidget* parent)
    : QWidget(parent), document_(document), face_(face), chooser_(new TfrmTemplate2(this, document.Face(face))),
      preview_(new QLabel(this))
{
    setObjectName("TemplateStage");
    // The chooser lives on as a part of this screen; the stage's buttons replace its own.
    chooser_->setWindowFlags(Qt::Widget);
    for (QDialogButtonBox* buttons : chooser_->findChildren<QDialogButtonBox*>()) buttons->hide();
    chooser_->installEventFilter(this);
    chooser_->show();
    preview_->setObjectName("TemplatePreview");
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setMinimumSize(240, 240);

    QPushButton* back = NewStageButton(this, QStringLiteral("戻る"), QStringLiteral("メニュー画面に戻ります"),
                                       [this] { GoTo(TStageHost::stMenu); });
    QPushButton* next = NewStageButton(this, QStringLiteral("次へ"), QStringLiteral("テンプレートを入れて文字入力に進みます"), [this] {
        if (ApplyChosen()) GoTo(TStageHost::stTextInput);
    });

    auto* side = new QVBoxLayout;
    side->addWidget(preview_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(next);
    side->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(chooser_, 2);
    layout->addLayout(side, 1);

    for (QListWidget* list : chooser_->findChildren<QListWidget*>())
        connect(list, &QListWidget::currentItemChanged, this, [this] { ShowPreview(); });
    ShowPreview();
}

// The face as the template would make it, drawn the way exports are, on a copy of the sheet.
void TTemplateStage::ShowPreview()
{
    const std::optional<TTemplateInfo> chosen = chooser_->Chosen();
    if (!chosen || !document_.SheetPaper()) {
        preview_->setText(QStringLiteral("テンプレートを選んでください"));
        return;
    }
    TAppFrame::ShowingErrors([&] {
        TLabelData sheet;
        sheet.SetPaper(*document_.SheetPaper());
        ApplyTemplate(sheet, face_, LoadTemplateFace(*chosen));
        preview_->setPixmap(QPixmap::fromImage(RenderDocumentFace(sheet, face_, PreviewDpi)));
    });
}

bool TTemplateStage::ApplyChosen()
{
    const std::optional<TTemplateInfo> chosen = chooser_->Chosen();
    if (!chosen) {
        TAppFrame::ShowOkMessage(QStringLiteral("テンプレートを選んでください"));
        return false;
    }
    TDOList objects;
    document_.LoadFaceObjects(face_, objects);
    const bool holdsDesign = !objects.ReleaseAll().empty();
    bool applied = false;
    TAppFrame::ShowingErrors([&] { applied = PutTemplateOnFace(document_, face_, *chosen, holdsDesign); });
    return applied;
}

// Escape would close the chooser as it closes a dialog, leaving the screen empty.
bool TTemplateStage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == chooser_ && event->type() == QEvent::KeyPress)
        return static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    return QWidget::eventFilter(watched, event);
}

void TTemplateStage::GoTo(int stage)
{
    if (host_) host_->ChangeStage(stage);
}

}  // namespace kestrel

#include "ui/LayoutStage.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

#include "ui/FaceView.h"

namespace kestrel {

TFaceStage::TFaceStage(TFaceView& editor, QString helpContext, QWidget* parent)
    : QWidget(parent), editor_(editor), helpContext_(std::move(helpContext)), column_(new QVBoxLayout)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(column_);
    layout->addWidget(&editor, 1);
    editor.show();
}

void TFaceStage::LeavingStage()
{
    editor_.ShowPropertiesPanel(true);
}

void TFaceStage::GoTo(int stage)
{
    if (host_) host_->ChangeStage(stage);
}

TLayoutStage::TLayoutStage(TFaceView& editor, QWidget* parent)
    : TFaceStage(editor, QStringLiteral("stages.html#layout"), parent), jumps_(new QToolBar(this))
{
    setObjectName("LayoutStage");
    jumps_->setObjectName("StageJumps");
    jumps_->setOrientation(Qt::Vertical);
    jumps_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const TStageLink jumps[] = {
        {u"メニュー(&M)", u"メニュー画面に戻ります", TStageHost::stMenu},
        {u"テンプレート(&P)", u"テンプレートを選び直します", TStageHost::stTemplate},
        {u"文字入力(&X)", u"入力項目の文字を入力します", TStageHost::stTextInput},
        {u"イメージ(&G)", u"ラベルの写真を選び直します", TStageHost::stImage},
    };
    for (const auto& jump : jumps) {
        QAction* action = jumps_->addAction(QString::fromUtf16(jump.caption));
        action->setStatusTip(QString::fromUtf16(jump.hint));
        connect(action, &QAction::triggered, this, [this, stage = jump.stage] { GoTo(stage); });
    }
    Column().addWidget(jumps_);
}

TFaceStepStage::TFaceStepStage(TFaceView& editor, QString helpContext, const QList<TTool>& tools, int back, int next,
                               QWidget* parent)
    : TFaceStage(editor, std::move(helpContext), parent)
{
    editor.ShowPropertiesPanel(false);
    const auto addButton = [this](const QString& caption, const QString& hint, std::function<void()> run) {
        Column().addWidget(NewStageButton(this, caption, hint, std::move(run)));
    };
    for (const TTool& tool : tools) addButton(tool.caption, tool.hint, tool.run);
    Column().addStretch(1);
    addButton(QStringLiteral("戻る"), QStringLiteral("前の画面に戻ります"), [this, back] { GoTo(back); });
    addButton(QStringLiteral("次へ"), QStringLiteral("次の画面に進みます"), [this, next] { GoTo(next); });
}

void TFaceStepStage::ShowAboveTools(std::unique_ptr<QWidget> panel)
{
    Column().insertWidget(0, panel.release());
}

}  // namespace kestrel

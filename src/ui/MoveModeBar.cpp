#include "ui/MoveModeBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>

#include "edit/MoveModes.h"
#include "render/GridGuide.h"

namespace kestrel {

TMoveModeBar::TMoveModeBar(TMoveSettings& settings, std::function<TGrid*()> grid, QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      grid_(std::move(grid)),
      mode_(new QComboBox(this)),
      step_(new QComboBox(this)),
      axisLock_(new QCheckBox("水平・垂直移動", this)),
      turnWhileMoving_(new QCheckBox("回転移動", this)),
      turnObject_(new QCheckBox("オブジェクトの回転もする", this))
{
    setObjectName("MoveModeBar");
    mode_->setObjectName("MoveMode");
    step_->setObjectName("MoveStep");
    mode_->addItems({"通常移動", "グリッドに沿う", "円周に沿う"});
    step_->addItems({"ステップなし", "６０ステップ（６度）", "１２ステップ（３０度）", "８ステップ（４５度）"});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* control : std::initializer_list<QWidget*>{mode_, step_, axisLock_, turnWhileMoving_, turnObject_})
        layout->addWidget(control);
    connect(mode_, &QComboBox::activated, this, [this](int index) { ModeChosen(index); });
    connect(step_, &QComboBox::activated, this, [this](int index) {
        ChooseStep(settings_, index);
        Refresh();
    });
    for (QCheckBox* flag : {axisLock_, turnWhileMoving_, turnObject_})
        connect(flag, &QCheckBox::toggled, this, [this] { FlagsChanged(); });
    Refresh();
}

void TMoveModeBar::ModeChosen(int index)
{
    TGrid* grid = grid_();
    if (!grid) return Refresh();
    ChooseMoveMode(settings_, *grid, static_cast<TMoveModeChoice>(index));
    Refresh();
}

void TMoveModeBar::FlagsChanged()
{
    TMoveSettings& settings = settings_;
    settings.axisLock = axisLock_->isChecked();
    settings.turnWhileMoving = turnWhileMoving_->isChecked();
    settings.turnObject = turnObject_->isChecked();
}

void TMoveModeBar::Refresh()
{
    const TMoveSettings& settings = settings_;
    const TGrid* grid = grid_();
    const bool circumference = settings.circumference;
    const QSignalBlocker quietMode(mode_), quietStep(step_), quietAxis(axisLock_), quietTurn(turnWhileMoving_),
        quietObject(turnObject_);
    mode_->setCurrentIndex(static_cast<int>(grid ? MoveModeChoiceOf(settings, *grid)
                                                 : circumference ? TMoveModeChoice::mmCircumference
                                                                 : TMoveModeChoice::mmFree));
    step_->setCurrentIndex(StepIndexOf(settings));
    axisLock_->setChecked(settings.axisLock);
    turnWhileMoving_->setChecked(settings.turnWhileMoving);
    turnObject_->setChecked(settings.turnObject);
    step_->setEnabled(circumference);
    turnObject_->setEnabled(circumference);
    axisLock_->setEnabled(!circumference);
    turnWhileMoving_->setEnabled(!circumference);
}

}  // namespace kestrel

#include "ui/StageHost.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/AppFrame.h"
#include "document/ActionList.h"

namespace kestrel {

QPushButton* NewStageButton(QWidget* parent, const QString& caption, const QString& hint, std::function<void()> run)
{
    auto* button = new QPushButton(caption, parent);
    button->setStatusTip(hint);
    button->setToolTip(hint);
    QObject::connect(button, &QPushButton::clicked, parent, [run = std::move(run)] { TAppFrame::ShowingErrors(run); });
    return button;
}

TStageHost::TStageHost(TActionList& history, TScreenFactory makeScreen, QWidget* parent)
    : QWidget(parent), history_(history), makeScreen_(std::move(makeScreen)), panel_(new QStackedWidget(this))
{
    setObjectName("StageHost");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel_);
}

TStageHost::~TStageHost()
{
    // A borrowed classic screen goes back before the stage screen that holds it.
    LeaveStageScreen();
}

void TStageHost::AddClassicScreen(QWidget& screen)
{
    classicScreens_.push_back(&screen);
    panel_->addWidget(&screen);
}

bool TStageHost::ChangeStage(int stage)
{
    if (stage < 0 || stage >= StageCount) return false;
    if (auto* leaving = dynamic_cast<IStageLeaving*>(stageScreen_)) leaving->LeavingStage();
    std::unique_ptr<QWidget> screen = makeScreen_(stage);
    history_.Clear();
    LeaveStageScreen();
    stageScreen_ = screen.release();
    panel_->addWidget(stageScreen_);
    if (auto* link = dynamic_cast<IStageHostLink*>(stageScreen_)) link->LinkStageHost(*this);
    Embed(*stageScreen_, stage);
    return true;
}

void TStageHost::ShowClassicScreen(QWidget& screen)
{
    if (screen_ == &screen) return;
    if (auto* leaving = dynamic_cast<IStageLeaving*>(stageScreen_)) leaving->LeavingStage();
    LeaveStageScreen();
    Embed(screen, -1);
}

void TStageHost::Embed(QWidget& screen, int stage)
{
    panel_->setCurrentWidget(&screen);
    screen_ = &screen;
    stage_ = stage;
    const auto* help = dynamic_cast<const IHelpContext*>(&screen);
    helpContext_ = help ? help->HelpContext() : QString();
    if (onScreenChanged) onScreenChanged();
}

void TStageHost::LeaveStageScreen()
{
    if (!stageScreen_) return;
    for (QWidget* classic : classicScreens_)
        if (stageScreen_->isAncestorOf(classic)) panel_->addWidget(classic);
    if (screen_ == stageScreen_) screen_ = nullptr;
    // The change may come from one of the screen's own buttons, still at work.
    panel_->removeWidget(stageScreen_);
    stageScreen_->hide();
    stageScreen_->deleteLater();
    stageScreen_ = nullptr;
}

bool TStageHost::event(QEvent* event)
{
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    if (!key || !screen_ || forwardingKey_) return QWidget::event(event);
    forwardingKey_ = true;
    QCoreApplication::sendEvent(screen_, event);
    forwardingKey_ = false;
    return event->isAccepted() || QWidget::event(event);
}

}  // namespace kestrel

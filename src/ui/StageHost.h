#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QPushButton;
class QStackedWidget;

namespace kestrel {

class TActionList;
class TStageHost;

// What a stage screen may offer its host; the host asks for each with dynamic_cast.
class IStageLeaving {
public:
    virtual ~IStageLeaving() = default;
    // The screen is about to be replaced by another.
    virtual void LeavingStage() = 0;
};

class IStageHostLink {
public:
    virtual ~IStageHostLink() = default;
    virtual void LinkStageHost(TStageHost& host) = 0;
};

class IHelpContext {
public:
    virtual ~IHelpContext() = default;
    // The help page (and anchor) that explains the screen.
    virtual QString HelpContext() const = 0;
};

// A button of a stage screen: its hint shows as tooltip and status tip, and an error raised by
// what it runs is shown.
QPushButton* NewStageButton(QWidget* parent, const QString& caption, const QString& hint, std::function<void()> run);

// A command that leads to a stage.
struct TStageLink {
    const char16_t* caption;
    const char16_t* hint;
    int stage;
};

// The host panel of the main window: it embeds one screen at a time, either a stage screen
// made afresh at every change of stage or one of the classic screens, which it keeps. A stage
// screen may borrow a classic screen into its own layout; it comes back when the stage is left.
class TStageHost : public QWidget {
public:
    enum TStage { stMenu, stTemplate, stTextInput, stImage, stLayout, StageCount };
    using TScreenFactory = std::function<std::unique_ptr<QWidget>(int stage)>;

    TStageHost(TActionList& history, TScreenFactory makeScreen, QWidget* parent = nullptr);
    ~TStageHost() override;

    // The classic screens, owned by the host from now on.
    void AddClassicScreen(QWidget& screen);
    // Moves to a stage: a number outside 0-4 does nothing and gives false. Otherwise the screen
    // left is told, the new one made, the undo history emptied, the screen embedded and linked,
    // and its help context taken over.
    bool ChangeStage(int stage);
    void ShowClassicScreen(QWidget& screen);
    // The stage shown, or -1 on a classic screen (or before the first).
    int Stage() const { return stage_; }
    QWidget* Screen() const { return screen_; }
    QString HelpContext() const { return helpContext_; }

    // After every change of the screen shown.
    std::function<void()> onScreenChanged;

protected:
    bool event(QEvent* event) override;

private:
    void LeaveStageScreen();
    void Embed(QWidget& screen, int stage);

    TActionList& history_;
    TScreenFactory makeScreen_;
    QStackedWidget* panel_;
    std::vector<QWidget*> classicScreens_;
    QWidget* screen_ = nullptr;
    QWidget* stageScreen_ = nullptr;
    int stage_ = -1;
    QString helpContext_;
    // A key event the screen leaves unhandled comes back to the host; it goes no further.
    bool forwardingKey_ = false;
};

}  // namespace kestrel

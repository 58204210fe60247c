#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "ui/StageHost.h"

class QToolBar;
class QVBoxLayout;

namespace kestrel {

class TFaceView;

// A stage that shows the face being designed in the face editor, borrowed from the host's
// label screen; the editor goes back with its properties panel shown.
class TFaceStage : public QWidget, public IStageHostLink, public IHelpContext, public IStageLeaving {
public:
    TFaceStage(TFaceView& editor, QString helpContext, QWidget* parent = nullptr);

    void LinkStageHost(TStageHost& host) override { host_ = &host; }
    QString HelpContext() const override { return helpContext_; }
    void LeavingStage() override;

protected:
    // Moves to the stage through the host; nothing before the link.
    void GoTo(int stage);
    QVBoxLayout& Column() const { return *column_; }

private:
    TFaceView& editor_;
    TStageHost* host_ = nullptr;
    QString helpContext_;
    QVBoxLayout* column_;
};

// The layout stage: the face editor under a bar of jumps back to the other stages.
class TLayoutStage : public TFaceStage {
public:
    explicit TLayoutStage(TFaceView& editor, QWidget* parent = nullptr);
    QToolBar& JumpBar() const { return *jumps_; }

private:
    QToolBar* jumps_;
};

// One step on the way to the layout (text input, image): the face, without the properties
// panel, beside a column of tools, with "戻る" and "次へ" below them.
class TFaceStepStage : public TFaceStage {
public:
    struct TTool {
        QString caption;
        QString hint;
        std::function<void()> run;
    };
    TFaceStepStage(TFaceView& editor, QString helpContext, const QList<TTool>& tools, int back, int next,
                   QWidget* parent = nullptr);
    // The panel goes above the tools, and with the stage.
    void ShowAboveTools(std::unique_ptr<QWidget> panel);
};

}  // namespace kestrel

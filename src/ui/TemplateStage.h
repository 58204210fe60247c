#pragma once

#include <QWidget>

#include "ui/StageHost.h"

class QLabel;

namespace kestrel {

class TLabelData;
class TfrmTemplate2;

// The template stage: the template chooser of the face chosen on the menu, with the face as the
// chosen template would make it; "次へ" puts the template on the face.
class TTemplateStage : public QWidget, public IStageHostLink, public IHelpContext {
public:
    TTemplateStage(TLabelData& document, int face, QWidget* parent = nullptr);

    void LinkStageHost(TStageHost& host) override { host_ = &host; }
    QString HelpContext() const override { return QStringLiteral("stages.html#template"); }

    TfrmTemplate2& Chooser() const { return *chooser_; }
    QLabel& Preview() const { return *preview_; }
    // Puts the chosen template on the face; false when none is chosen or the user declined.
    bool ApplyChosen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowPreview();
    void GoTo(int stage);

    TLabelData& document_;
    int face_;
    TStageHost* host_ = nullptr;
    TfrmTemplate2* chooser_;
    QLabel* preview_;
};

}  // namespace kestrel

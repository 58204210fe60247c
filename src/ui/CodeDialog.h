#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class QFormLayout;
class QLabel;

namespace kestrel {

class TDrawObject;
class TObjectPreview;

// Frame of the code objects' property dialogs: the entries on the left, a live preview of a
// working copy on the right, a line that says why no symbol can be drawn, OK and Cancel.
// Entries edit the copy; OK copies it back unless Refusal() names a reason.
class TCodeDialog : public QDialog {
public:
    TCodeDialog(QWidget* parent, const QString& title, TDrawObject& object);
    ~TCodeDialog() override;

    // Runs the dialog; true when the object took the edited values.
    bool Run();

protected:
    TDrawObject& Working() { return *working_; }
    QFormLayout& Form() { return *form_; }
    // Call after every change of the working copy.
    void Refresh();
    void SetHint(const QString& text);
    // Addresses and texts are long: such an entry is given room for a line of them.
    static void MakeWide(QWidget& entry);
    // Why the entries cannot be taken (shown as a message on OK); empty when they can.
    virtual QString Refusal() { return {}; }
    // Why the preview shows no symbol; empty when it shows one.
    virtual QString Problem() { return {}; }
    virtual bool PreviewVisible() { return true; }
    void accept() override;

private:
    TDrawObject& object_;
    std::unique_ptr<TDrawObject> working_;
    QFormLayout* form_;
    TObjectPreview* preview_;
    QLabel* problem_;
    QLabel* hint_;
};

}  // namespace kestrel

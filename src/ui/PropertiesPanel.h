#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "platform/Color.h"

class QCheckBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace kestrel {

class TDrawSite;
class TFontChooser;
class TListener;
struct TQuickProperties;

// Beside the face: the selected object's place and size in millimetres, angle, text, font,
// colours and lock, for quick edits; the property dialogs keep the full set. With several
// objects selected only what acts on all of them stays open, and the panel says so. It follows
// every change of the site (mouse, dialogs, undo); each edit made here is one undo step.
class TPropertiesPanel : public QWidget {
public:
    explicit TPropertiesPanel(QWidget* parent = nullptr);
    ~TPropertiesPanel() override;

    // Null shows nothing and disables everything.
    void SetSite(TDrawSite* site);
    // Shows the selection as it is now.
    void Refresh();

    QDoubleSpinBox& LeftBox() const { return *left_; }
    QDoubleSpinBox& TopBox() const { return *top_; }
    QDoubleSpinBox& WidthBox() const { return *width_; }
    QDoubleSpinBox& HeightBox() const { return *height_; }
    QSpinBox& AngleBox() const { return *angle_; }
    QPlainTextEdit& TextBox() const { return *text_; }
    QPushButton& TextButton() const { return *applyText_; }
    TFontChooser& FontChooser() const { return *font_; }
    QPushButton& PenButton() const { return *pen_; }
    QPushButton& FillButton() const { return *fillColor_; }
    QCheckBox& FilledBox() const { return *filled_; }
    QCheckBox& LockedBox() const { return *locked_; }
    // What is selected, and what cannot be edited for it.
    QString Note() const;

    // Asks for a colour starting from the current one; the colour dialog unless replaced.
    std::function<std::optional<TColor>(TColor current)> chooseColor;
    // After every edit made here.
    std::function<void()> onEdited;

private:
    void BuildPlaceFields();
    void BuildLookFields();
    // Runs an edit of the site; errors are shown, and the panel shows the outcome.
    void Edit(const std::function<void(TDrawSite&)>& edit);
    void EditPlace();
    void EditSize();
    void ShowPlace(const TQuickProperties& shown);
    void ShowLook(const TQuickProperties& shown);
    // Notifications come in bursts; one refresh follows when the loop is free.
    void RefreshSoon();

    TDrawSite* site_ = nullptr;
    std::unique_ptr<TListener> listener_;
    bool refreshPending_ = false;
    QLabel* note_;
    QFormLayout* form_;
    QDoubleSpinBox* left_;
    QDoubleSpinBox* top_;
    QDoubleSpinBox* width_;
    QDoubleSpinBox* height_;
    QSpinBox* angle_;
    QPlainTextEdit* text_;
    QPushButton* applyText_;
    TFontChooser* font_;
    QPushButton* pen_;
    QCheckBox* filled_;
    QPushButton* fillColor_;
    QCheckBox* locked_;
    TColor penColor_ = clBlack;
    TColor fillColour_ = clWhite;
};

}  // namespace kestrel

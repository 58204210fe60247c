#pragma once

#include <QToolBar>
#include <functional>
#include <optional>

#include "platform/Color.h"

class QAction;
class QComboBox;

namespace kestrel {

class TDrawObject;
class TDrawSite;
class TFontChooser;

using TSiteEdit = std::function<void(TDrawSite&)>;
// Hands the font edit the user picks in the chooser (a face, or a positive size) to run.
void OnFontPicked(TFontChooser& chooser, QObject* context, std::function<void(const TSiteEdit&)> run);
// Runs the edit with its errors shown, and puts the handles where the objects went.
void RunSiteEdit(TDrawSite& site, const TSiteEdit& edit);
// The colour dialog, starting from the current colour; none when cancelled.
std::optional<TColor> AskColor(QWidget* parent, TColor current);

// The layout screen's format tools, one bar for the layout stage and the label screen: font,
// size and style, alignment, pen and fill colours, feed angle, "位置合わせ(&A)...",
// "位置揃え(&O)...", "背景変更" and the change of an input item. Each edit acts on the site
// given last and is one undo step; without a site everything is disabled.
class TFormatToolBar : public QToolBar {
public:
    explicit TFormatToolBar(QWidget* parent = nullptr);

    void SetSite(TDrawSite* site, int face);
    // Shows the selection's font, alignment and feed angle and enables what applies to it.
    void Update();

    TFontChooser& FontChooser() const { return *font_; }
    QComboBox& FeedAngleBox() const { return *feedAngle_; }
    QComboBox& FieldBox() const { return *field_; }
    // The entry with the object name, null when none.
    QAction* Entry(const char* objectName) const;

    // Asks for a colour starting from the current one; the colour dialog unless replaced.
    std::function<std::optional<TColor>(TColor current)> chooseColor;
    // Edits a copy of the face's background; false when cancelled. Installed by the window.
    std::function<bool(TDrawObject& background)> editBackground;
    // After every edit made here.
    std::function<void()> onEdited;

private:
    void BuildFontTools();
    void BuildAlignTools();
    void BuildColourTools();
    void BuildPlaceTools();
    QAction* AddTool(const QString& caption, const char* objectName, const QString& hint,
                     std::function<void()> run);
    // Runs an edit of the site; errors are shown.
    void Edit(const TSiteEdit& edit);
    void ChangeBackground(TDrawSite& site);
    void ChangeChosenField(TDrawSite& site);
    void PlaceSelection(TDrawSite& site);
    void LineUpSelection(TDrawSite& site);
    void ShowFields();

    TDrawSite* site_ = nullptr;
    int face_ = -1;
    TFontChooser* font_;
    QComboBox* feedAngle_;
    QComboBox* field_;
    std::vector<QAction*> styleTools_;
    std::vector<QAction*> alignTools_;
    TColor penColor_ = clBlack;
    TColor fillColor_ = clWhite;
};

}  // namespace kestrel

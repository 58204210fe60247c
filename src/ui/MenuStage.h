#pragma once

#include <QWidget>
#include <functional>

#include "document/DOList.h"
#include "ui/StageHost.h"

class QLabel;
class QPushButton;

namespace kestrel {

class TActionList;
class TLabelData;
class TSheetView;

// What the menu stage asks of the window.
struct TMenuStageCommands {
    // The paper chooser, opened on the genre whose name holds the keyword (any genre when empty).
    std::function<void(const QString& genreKeyword)> choosePaper;
    // Goes on to design a face of the current sheet in the stage given.
    std::function<void(int face, int stage)> designFace;
    std::function<void()> open;
    std::function<void()> print;
    std::function<void()> exit;
};

// The start screen: the medium, the paper's faces to click, the way to design the face chosen,
// opening, printing and leaving, and the edit commands on whole faces (each change one step of
// the history).
class TMenuStage : public QWidget, public IHelpContext {
public:
    TMenuStage(TLabelData& document, TActionList& history, TMenuStageCommands commands, QWidget* parent = nullptr);

    // The medium buttons in their order, with the keywords of the genres they open.
    static const QStringList& MediumCaptions();
    static QString MediumGenreKeyword(const QString& caption);

    TSheetView& Faces() const { return *faces_; }
    QString HelpContext() const override { return QStringLiteral("stages.html#menu"); }

    // Shows the document's paper again after it changed.
    void Reload();

    // The edit commands on the chosen face; the clipboard carries its objects as the layout
    // stage's copy does.
    void CopyFace();
    void CutFace();
    void PasteOnFace();
    void ClearFace();
    void Undo();
    void Redo();

private:
    QWidget* BuildMediumBar();
    QWidget* BuildMethodBar();
    QWidget* BuildDocumentBar();
    QWidget* BuildEditBar();
    // Face n's objects, front to back; the list owns them.
    TDOList FaceObjects(int face) const;
    void ReplaceFace(int face, const TDOList& frontToBack, const QString& caption);
    QPushButton* AddButton(QLayout& layout, const QString& caption, const QString& hint, std::function<void()> run);
    void FaceChosen(int face);
    void Design(int stage);

    TLabelData& document_;
    TActionList& history_;
    TMenuStageCommands commands_;
    TSheetView* faces_;
    QLabel* faceName_;
    QList<QPushButton*> methodButtons_;
};

}  // namespace kestrel

#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <vector>

#include "app/HistoryManager.h"
#include "label/DocumentFlows.h"
#include "paper/PapersUI.h"
#include "render/PaperSite.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

namespace kestrel {

class TExPaperInfo;
class TImagePaperInfo;
class TPaperInfo;
class TPapersV2;
class TSiteView;

// The document's paper the chooser starts on, with its records.
struct TCurrentPaper {
    const TPaperInfo* paper = nullptr;
    const TExPaperInfo* extra = nullptr;
    const TImagePaperInfo* images = nullptr;
};

// Choosing the paper of a new document: genres as a tree, the papers of the chosen genre with
// their full names (recently used papers first), maker and group filters, a search as you
// type, a picture of the paper with its faces, the orientation and the number of sheets.
class TPaperChooserDialog : public QDialog {
    Q_OBJECT
public:
    TPaperChooserDialog(TPapersV2& catalogue, const TCurrentPaper& current = {}, QWidget* parent = nullptr);
    ~TPaperChooserDialog() override;

    // The highlighted paper, or null.
    const TPaperInfo* SelectedPaper() const;
    // Selects the paper of that catalogue index, showing every paper when the current list
    // does not hold it.
    void SelectPaper(int index);
    // The names of the listed papers, top to bottom.
    QStringList ListedPapers() const;
    // Nothing while no paper is selected.
    std::optional<TPaperChoice> Choice() const;

    QComboBox& SearchBox() const { return *search_; }
    QTreeWidget& GenreTree() const { return *genres_; }
    QTreeWidget& PaperList() const { return *papers_; }
    QCheckBox& LandscapeBox() const { return *landscape_; }
    QSpinBox& SheetCount() const { return *sheets_; }
    TPaperSite& Preview() { return preview_; }

    // The extended paper-selection functions below the lists.
    void ShowExtendedFunctions();

    // Runs the dialog, with the extended functions when asked; nothing when cancelled.
    static std::optional<TPaperChoice> Choose(TPapersV2& catalogue, const TCurrentPaper& current, QWidget* parent,
                                              bool extendedFunctions = false);

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildFilters();
    QWidget* BuildPreview();
    void FillGenreTree();
    void FillFilters(const std::vector<int>& genres);
    void ShowGenre();
    void ShowSearch(const QString& text);
    void ShowRows(std::vector<int> rows);
    bool PassesFilters(const TPaperInfoUI& row) const;
    // After every change of the highlighted paper.
    void SelectionChanged();
    int SelectedIndex() const;
    // The names of the recently used papers, then of the recently used media.
    QStringList RecentNames();
    QTreeWidgetItem* GenreItem(const QString& path);

    TPapersV2& catalogue_;
    TPapersUI model_;
    THistoryManager usedPapers_;
    THistoryManager usedMedia_;
    THistoryManager searches_;
    TPaperSite preview_;
    QComboBox* search_;
    QComboBox* makers_;
    QComboBox* groups_;
    QTreeWidget* genres_;
    QTreeWidget* papers_;
    TSiteView* previewView_;
    QLabel* size_;
    QCheckBox* landscape_;
    QSpinBox* sheets_;
    QPushButton* ok_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
    // The unfiltered rows of the genre or search shown.
    std::vector<int> shownRows_;
};

}  // namespace kestrel

#pragma once

#include <QDialog>

class QTreeWidget;

namespace kestrel {

class TPapers;
class TPaperInfo;

// A plain list of the catalogue's papers (name and group) for starting a new document.
class TPaperChooserDialog : public QDialog {
    Q_OBJECT
public:
    TPaperChooserDialog(const TPapers& catalogue, QWidget* parent = nullptr);

    // The highlighted paper, or null.
    const TPaperInfo* SelectedPaper() const;
    void SelectPaper(int index);

    // Runs the dialog; null when cancelled or the catalogue is empty.
    static const TPaperInfo* Choose(const TPapers& catalogue, QWidget* parent);

private:
    const TPapers& catalogue_;
    QTreeWidget* list_;
};

}  // namespace kestrel

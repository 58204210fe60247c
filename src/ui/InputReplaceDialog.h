#pragma once

// "入力項目の置換": a table of lines (fields separated by tabs) edited as a whole by replacing a
// text and by the character conversions, with everything undone at once on "やり直し".

#include <QDialog>
#include <QStringList>

#include "music/ReplaceTable.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kestrel {

struct TAlbumDialogMemory;

class TfrmInputReplace : public QDialog {
public:
    // The search text, the replacement and the strict switch come from memory and go back to it.
    TfrmInputReplace(const QStringList& table, TAlbumDialogMemory& memory, QWidget* parent = nullptr);

    const QStringList& Table() const { return table_; }

    void accept() override;

private:
    void Replace();
    void Convert(TLineConversion conversion);
    void Restore();
    void ShowTable();
    void UpdateCommands();

    const QStringList original_;
    QStringList table_;
    TAlbumDialogMemory& memory_;
    QLineEdit* search_;
    QLineEdit* replacement_;
    QCheckBox* strict_;
    QPushButton* replace_;
    QPushButton* restore_;
    QTableWidget* list_;
};

}  // namespace kestrel

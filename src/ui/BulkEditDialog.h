#pragma once

#include <QDialog>
#include <vector>

#include "music/InputItems.h"

class QPlainTextEdit;

namespace kestrel {

class TObjectSite;

// "一括編集": every input item of the face as one line of one text box, its caption beside it,
// so that a pasted list fills the items in turn.
class TBulkEditDialog : public QDialog {
public:
    TBulkEditDialog(std::vector<TInputItem> items, QWidget* parent);

    QPlainTextEdit& Lines() const { return *lines_; }
    // The items OK changes, with their new texts.
    const std::vector<TInputItem>& Changes() const { return changes_; }
    // Refuses lines the items cannot take, with the reason, and stays open.
    void accept() override;

    // The dialog on the face's items; the changes are written as one undo step. False when
    // nothing changed.
    static bool Run(QWidget* parent, TObjectSite& site, int face);

private:
    std::vector<TInputItem> items_;
    std::vector<TInputItem> changes_;
    QPlainTextEdit* lines_;
};

}  // namespace kestrel

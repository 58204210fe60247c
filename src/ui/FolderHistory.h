#pragma once

#include <QString>

#include "app/HistoryManager.h"

class QFileDialog;

namespace kestrel {

// A history of folders ($(LabelDataHistory) for documents, $(UserImageHistory) for pictures)
// behind file dialogs: a dialog starts in the most recent folder and offers the others in its
// history; the folder of a chosen file moves to the top.
class TFolderHistory {
public:
    explicit TFolderHistory(const QString& registryKey);

    // Gives the dialog the history; start, when not empty, is where it opens instead.
    void Prepare(QFileDialog& dialog, const QString& start = QString());
    // Remembers the folder of the file; a store that cannot be written is reported, not raised.
    void Remember(const QString& file);
    // Prepare, run the dialog, and remember the chosen file's folder: the chosen file, or empty.
    QString Run(QFileDialog& dialog, const QString& start = QString());

    QStringList Folders();

private:
    THistoryManager history_;
};

}  // namespace kestrel

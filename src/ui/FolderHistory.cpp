#include "ui/FolderHistory.h"

#include <QFileDialog>
#include <QFileInfo>

#include "app/ExceptionReport.h"

namespace kestrel {

TFolderHistory::TFolderHistory(const QString& registryKey) : history_(registryKey)
{
    history_.SetUseAccelerator(false);
}

QStringList TFolderHistory::Folders()
{
    try {
        return history_.Items();
    } catch (const std::exception& e) {
        ReportUnexpectedException(e);
        return {};
    }
}

void TFolderHistory::Prepare(QFileDialog& dialog, const QString& start)
{
    QStringList folders = Folders();
    folders.erase(std::remove_if(folders.begin(), folders.end(), [](const QString& f) { return !QFileInfo(f).isDir(); }),
                  folders.end());
    dialog.setHistory(folders);
    if (!start.isEmpty())
        dialog.setDirectory(start);
    else if (!folders.isEmpty())
        dialog.setDirectory(folders.first());
}

void TFolderHistory::Remember(const QString& file)
{
    if (file.isEmpty()) return;
    try {
        history_.Add(QFileInfo(file).absolutePath());
    } catch (const std::exception& e) {
        ReportUnexpectedException(e);  // the choice stands even when the settings cannot record it
    }
}

QString TFolderHistory::Run(QFileDialog& dialog, const QString& start)
{
    Prepare(dialog, start);
    if (dialog.exec() != QDialog::Accepted) return {};
    const QString file = dialog.selectedFiles().value(0);
    Remember(file);
    return file;
}

}  // namespace kestrel

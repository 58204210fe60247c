#pragma once

// Album CSV export ("CSVファイルへのエクスポート") and import ("CSVファイルからのインポート"),
// and the progress window that runs either and reports how it went.

#include <QDialog>
#include <array>
#include <functional>

#include "music/AlbumCSV.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;

namespace kestrel {

class TAlbums;

// Shows a progress bar under caption while work runs (it reports through the callback), then the
// message for success or for failure; true when the work succeeded.
bool RunCsvProgress(QWidget* parent, const QString& caption, const std::function<void(const TCsvProgress&)>& work,
                    const QString& success, const QString& failure);

class TfrmAlbumExportCSV : public QDialog {
public:
    // The options come from and go back to options; the column order starts afresh.
    TfrmAlbumExportCSV(const TAlbums& albums, int current, TAlbumExportOptions& options, QWidget* parent = nullptr);

    void accept() override;
    // Runs the export with its progress window; true when the file was written.
    bool Export();

private:
    void ReadOptions();
    void ShowPreview();
    void MoveColumn(int delta);
    void ChooseFile();

    const TAlbums& albums_;
    TAlbumExportOptions& options_;
    QLineEdit* file_;
    QListWidget* columns_;
    QCheckBox* header_;
    QCheckBox* albumLine_;
    QCheckBox* allAlbums_;
    QScrollBar* page_;
    QLabel* pageLabel_;
    QPlainTextEdit* preview_;
    QPushButton* ok_;
};

class TfrmAlbumImportCSV : public QDialog {
public:
    // chooseFile asks for the file when the dialog first shows (a file dialog unless given).
    TfrmAlbumImportCSV(TAlbums& albums, QWidget* parent = nullptr, std::function<QString()> chooseFile = {});

    // Reads the file; a failure is shown and leaves no lines.
    void LoadFile(const QString& file);
    // Maps the selected file column to the selected album field, or removes that field's mapping.
    void MapSelected();
    void UnmapSelected();
    const TAlbumCsvMapping& Mapping() const { return mapping_; }
    QListWidget& FileFields() const { return *fields_; }
    QListWidget& AlbumFields() const { return *targets_; }

    void accept() override;
    // Runs the import with its progress window; the number of albums appended.
    int Import();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowRecord();
    void UpdateCommands();

    TAlbums& albums_;
    std::function<QString()> chooseFile_;
    bool asked_ = false;
    TAlbumCsvFile file_;
    bool loaded_ = false;
    TAlbumCsvMapping mapping_;
    QListWidget* fields_;
    QListWidget* targets_;
    QScrollBar* record_;
    QLabel* recordLabel_;
    QPushButton* map_;
    QPushButton* unmap_;
    QPushButton* ok_;
};

}  // namespace kestrel

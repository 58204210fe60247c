#pragma once

// "表示項目の設定": which album lines and track fields the text editor inserts, in which order
// and with which separator, with the lines shown as they will be.

#include <QDialog>
#include <array>

#include "music/AlbumLines.h"
#include "music/Albums.h"

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QRadioButton;

namespace kestrel {

class TfrmSelectAlbumInfo : public QDialog {
public:
    TfrmSelectAlbumInfo(const TAlbumInfo& album, const TAlbumLineOptions& options, QWidget* parent = nullptr);

    const TAlbumLineOptions& Options() const { return options_; }
    QStringList Lines() const { return BuildAlbumLines(album_, options_); }

private:
    void OptionsChanged();

    const TAlbumInfo& album_;
    TAlbumLineOptions options_;
    std::array<QCheckBox*, 7> flags_{};
    std::array<QRadioButton*, 6> orders_{};
    QComboBox* separator_;
    QPlainTextEdit* preview_;
};

}  // namespace kestrel

#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QSpinBox;
class QTabWidget;

namespace kestrel {

class TframeCacheSettings;
class TfrmInternetEnvironment;

// The undo limit the settings ask for ("UndoLimit", 1 to 100, default 10).
int UndoLimitSetting();

// "環境設定": the program's settings on pages: general (undo limit, anti-aliased distorted text),
// folders (the CD path with its history), the preview cache, printing (banding) and the Internet
// connection. OK stores every page and applies at once what the running program uses.
class TfrmEnvironment : public QDialog {
public:
    enum TPage { epGeneral, epFolders, epCache, epPrinting, epInternet };

    explicit TfrmEnvironment(QWidget* parent = nullptr, TPage page = epGeneral);

    void accept() override;

    QTabWidget& Pages() const { return *pages_; }
    QSpinBox& UndoLimit() const { return *undoLimit_; }
    QCheckBox& AntiAlias() const { return *antiAlias_; }
    QComboBox& CDPath() const { return *cdPath_; }
    // The banding choice: its buttons have the ids 0 (none), 1 (254 dpi) and 2 (the printer's).
    QButtonGroup& Banding() const { return *banding_; }
    TfrmInternetEnvironment& Internet() const { return *internet_; }

private:
    QWidget* GeneralPage();
    QWidget* FoldersPage();
    QWidget* PrintingPage();
    void ChooseCDPath();

    QTabWidget* pages_;
    QSpinBox* undoLimit_;
    QCheckBox* antiAlias_;
    QComboBox* cdPath_;
    QButtonGroup* banding_;
    TframeCacheSettings* cache_;
    TfrmInternetEnvironment* internet_;
};

}  // namespace kestrel

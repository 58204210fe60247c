#pragma once

#include <QList>
#include <QObject>
#include <functional>

class QAction;
class QWidget;

namespace kestrel {

class TPapersV2;

// The main window's commands on the paper catalogue: the paper update, the user papers in and
// out, the extended paper selection, and (in the help menu, only while the setting
// "EnableSpecialMenu" is on) the update address. Without a catalogue they are disabled.
class TPaperCommands : public QObject {
public:
    TPaperCommands(QWidget& window, TPapersV2* catalogue);

    // The file menu's commands, in their order, and the help menu's (hidden unless the special
    // menu is on).
    const QList<QAction*>& FileActions() const { return fileActions_; }
    QAction* UpdaterURLAction() const { return updaterURL_; }
    // "用紙選択機能の拡張" is on: the paper chooser shows its extended functions.
    bool ExtendedSelection() const;

    // After an update changed the catalogue's pattern number.
    std::function<void()> onPatternChanged;

    void UpdatePapers();
    void ImportUserPapers();
    void ExportUserPapers();
    void EditUpdaterURL();

private:
    QAction* AddAction(const QString& caption, const char* name, void (TPaperCommands::*run)());

    QWidget& window_;
    TPapersV2* catalogue_;
    QList<QAction*> fileActions_;
    QAction* extendedSelection_;
    QAction* updaterURL_;
};

}  // namespace kestrel

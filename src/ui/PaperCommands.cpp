#include "ui/PaperCommands.h"

#include <QAction>
#include <QFileDialog>

#include "app/AppFrame.h"
#include "paper/CatalogueStartup.h"
#include "paper/CatalogueUpdate.h"
#include "paper/PaperRecords.h"
#include "paper/UserPapers.h"
#include "ui/URLEditDialog.h"
#include "ui/UpdatePaperDialog.h"

namespace kestrel {

namespace {

const QString CatalogueFilter = QStringLiteral("用紙情報ファイル (*.ppr);;すべてのファイル (*)");

}  // namespace

TPaperCommands::TPaperCommands(QWidget& window, TPapersV2* catalogue)
    : QObject(&window), window_(window), catalogue_(catalogue)
{
    fileActions_ << AddAction(QStringLiteral("用紙情報の更新(&U)..."), "actUpdatePapers", &TPaperCommands::UpdatePapers)
                 << AddAction(QStringLiteral("ユーザー用紙情報の取り込み(&I)..."), "actImportUserPapers",
                              &TPaperCommands::ImportUserPapers)
                 << AddAction(QStringLiteral("ユーザー用紙情報の保存(&Y)..."), "actExportUserPapers",
                              &TPaperCommands::ExportUserPapers);
    extendedSelection_ = new QAction(QStringLiteral("用紙選択機能の拡張"), this);
    extendedSelection_->setObjectName("actExtendedPaperSelection");
    extendedSelection_->setCheckable(true);
    extendedSelection_->setEnabled(catalogue_ != nullptr);
    fileActions_ << extendedSelection_;
    updaterURL_ = AddAction(QStringLiteral("用紙更新情報のURL変更..."), "actEditUpdaterURL", &TPaperCommands::EditUpdaterURL);
    updaterURL_->setVisible(TAppFrame::ReadBool(QStringLiteral("EnableSpecialMenu"), false));
}

QAction* TPaperCommands::AddAction(const QString& caption, const char* name, void (TPaperCommands::*run)())
{
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setEnabled(catalogue_ != nullptr);
    connect(action, &QAction::triggered, this, [this, run] { TAppFrame::ShowingErrors([this, run] { (this->*run)(); }); });
    return action;
}

bool TPaperCommands::ExtendedSelection() const
{
    return extendedSelection_ && extendedSelection_->isChecked();
}

void TPaperCommands::UpdatePapers()
{
    TPaperUpdateEnvironment environment = TPaperUpdateEnvironment::FromSettings();
    if (!MayReplaceSystemCatalogue(environment.files.systemFile)) return TAppFrame::ShowOkMessage(NeedsAdministratorText);
    const int before = catalogue_->UpdateInfo().PPRNo();
    TfrmUpdatePaper dialog(*catalogue_, std::move(environment), &window_);
    dialog.exec();
    if (catalogue_->UpdateInfo().PPRNo() != before && onPatternChanged) onPatternChanged();
}

void TPaperCommands::ImportUserPapers()
{
    const QString file = QFileDialog::getOpenFileName(&window_, QStringLiteral("ユーザー用紙情報の取り込み"), {},
                                                      CatalogueFilter);
    if (file.isEmpty()) return;
    const int count = kestrel::ImportUserPapers(*catalogue_, file);
    WriteBackUserPapers(*catalogue_, catalogue_->IO(), ProgramCatalogueFiles().userFile, RegisterPaperRecordBases);
    TAppFrame::ShowOkMessage(QStringLiteral("%s 件のユーザー用紙を取り込みました"), {QString::number(count)});
}

void TPaperCommands::ExportUserPapers()
{
    QFileDialog dialog(&window_, QStringLiteral("ユーザー用紙情報の保存"), {}, CatalogueFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("ppr"));
    if (dialog.exec() != QDialog::Accepted) return;
    const QString file = dialog.selectedFiles().value(0);
    const int count = kestrel::ExportUserPapers(*catalogue_, file);
    TAppFrame::ShowOkMessage(QStringLiteral("%s 件のユーザー用紙を「%s」に保存しました"), {QString::number(count), file});
}

void TPaperCommands::EditUpdaterURL()
{
    TfrmURLEdit dialog(&window_);
    dialog.exec();
}

}  // namespace kestrel

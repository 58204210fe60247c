#include "label/DocumentFlows.h"

#include <QFileInfo>

#include "app/AppFrame.h"
#include "app/ExceptionReport.h"
#include "app/MessageBox.h"
#include "app/MessageFormat.h"
#include "document/EditSession.h"
#include "label/LabelData.h"
#include "label/SheetEditing.h"
#include "paper/PaperInfo.h"
#include "paper/PaperRecords.h"
#include "paper/PapersV2.h"
#include "platform/RegularFile.h"
#include "platform/cfb/StorageError.h"

namespace kestrel {

namespace {

const QString ExtraInfosBase = QStringLiteral("ExtraInfos");
const QString PaperImagesBase = QStringLiteral("PaperImages");
const QString DocumentExtension = QStringLiteral("mld");

// Disc-printer papers of older documents carry a group name the catalogue no longer uses.
void RenameDirectPrintGroup(TLabelData& document)
{
    const TPaperInfo* paper = document.SheetPaper();
    if (!paper || paper->GroupName() != QLatin1String("Direct Print")) return;
    std::unique_ptr<TPaperInfo> renamed = paper->Clone();
    renamed->SetGroupName(QStringLiteral("Canon (シリーズ共通)"));
    const bool wasModified = document.IsModified();
    document.SetSheetPaper(*renamed);
    document.SetModified(wasModified);
}

// The message over the file's name and the cause.
QString WithCause(const QString& message, const QString& file, const std::exception& cause)
{
    return QStringLiteral("%1\nファイル: %2\n原因: %3").arg(message, file, ExceptionMessage(cause));
}
}  // namespace

QString OpenFailureMessage(const QString& file, const std::exception& cause, const QString& appTitle)
{
    // A file that could not be read at all says why in its own words: it is not a question of
    // what the file holds.
    if (const auto* storage = dynamic_cast<const EStorageError*>(&cause)) {
        switch (storage->Code()) {
        case TStorageErrorCode::FileNotFound:
        case TStorageErrorCode::AccessDenied:
        case TStorageErrorCode::ReadFault:
        case TStorageErrorCode::InsufficientMemory: return storage->Message();
        default: break;
        }
    }
    if (const auto* refused = dynamic_cast<const EFileRefused*>(&cause)) return refused->Message();
    if (!QFileInfo::exists(file)) return StorageErrorMessage(TStorageErrorCode::FileNotFound, file);
    return WithCause(FormatText(QStringLiteral("指定されたファイルは「%s」のデータではありません"), {appTitle}), file,
                     cause);
}

QString SaveFailureMessage(const QString& file, const std::exception& cause)
{
    return WithCause(QStringLiteral("データの保存に失敗しました"), file, cause);
}

TDocumentFlows::TDocumentFlows(TAppFrame& frame, const TPapersV2* catalogue, const TProductDB* productDB,
                               TDocumentWindow window, std::unique_ptr<TEditSession> session)
    : frame_(frame),
      catalogue_(catalogue),
      productDB_(productDB),
      window_(std::move(window)),
      session_(session ? std::move(session) : std::make_unique<TEditSession>()),
      document_(std::make_unique<TLabelData>(productDB))
{
}

TDocumentFlows::~TDocumentFlows() = default;

std::optional<TPaperChoice> TDocumentFlows::DefaultChoice() const
{
    if (!catalogue_ || catalogue_->Count() == 0) return std::nullopt;
    const int index = catalogue_->IndexOfName(TAppFrame::ReadString(QStringLiteral("DefaultPaperName"), {}));
    return TPaperChoice{&catalogue_->Paper(index >= 0 ? index : 0),
                        TAppFrame::ReadBool(QStringLiteral("DefaultLandScape"), false)};
}

bool TDocumentFlows::New(bool chooseFromUser)
{
    if (!AskToSave()) return false;
    const std::optional<TPaperChoice> chosen =
        chooseFromUser && window_.choosePaper ? window_.choosePaper() : DefaultChoice();
    if (!chosen || !chosen->paper) return false;
    std::unique_ptr<TPaperInfo> paper = ChosenPaper(*chosen);

    auto document = std::make_unique<TLabelData>(productDB_);
    document->SetSeparatelyDesign(dynamic_cast<const TFreePaperInfo*>(paper.get())
                                      ? true
                                      : TAppFrame::ReadBool(QStringLiteral("DefaultDesign"), true));
    document->SetPaper(*paper);
    const auto [extra, images] = CatalogueRecords(*paper);
    document->SetExtraInfo(dynamic_cast<const TExPaperInfo*>(extra.get()));
    document->SetImageInfo(dynamic_cast<const TImagePaperInfo*>(images.get()));
    for (int i = 1; i < chosen->sheets; ++i) document->NewSheet();
    document->SelectSheet(0);
    document->SetModified(false);
    Replace(std::move(document), {});
    ShowName(QStringLiteral("新規作成"));
    if (window_.documentChanged) window_.documentChanged();
    return true;
}

std::unique_ptr<TPaperInfo> TDocumentFlows::ChosenPaper(const TPaperChoice& choice) const
{
    std::unique_ptr<TPaperInfo> paper = choice.paper->Clone();
    paper->SetLandscape(choice.landscape);
    return paper;
}

std::pair<std::unique_ptr<TExtraPaperInfo>, std::unique_ptr<TExtraPaperInfo>>
TDocumentFlows::CatalogueRecords(const TPaperInfo& paper) const
{
    if (!catalogue_) return {};
    return {catalogue_->GetExtra(ExtraInfosBase, paper.PaperName()), catalogue_->GetExtra(PaperImagesBase, paper.PaperName())};
}

void TDocumentFlows::ChangeSheetPaper(const TPaperChoice& choice)
{
    const std::unique_ptr<TPaperInfo> paper = ChosenPaper(choice);
    const auto [extra, images] = CatalogueRecords(*paper);
    TSheetEditing(*document_, session_->History())
        .ChangePaper(*paper, dynamic_cast<const TExPaperInfo*>(extra.get()), dynamic_cast<const TImagePaperInfo*>(images.get()));
}

bool TDocumentFlows::Open(const QString& file, int sheet, int face)
{
    if (!AskToSave()) return false;
    auto document = std::make_unique<TLabelData>(productDB_);
    try {
        document->LoadFromFile(file);
        RenameDirectPrintGroup(*document);
        if (sheet >= 0) document->SelectSheet(sheet);
        if (face >= 0) document->SetCurrentLabelNo(face);
    } catch (const std::exception& e) {
        TAppFrame::ShowOkMessage(QStringLiteral("%s"), {OpenFailureMessage(file, e, frame_.Title())});
        return false;
    }
    document->SetModified(false);
    Replace(std::move(document), file);
    ShowName(QFileInfo(file).fileName());
    if (window_.documentChanged) window_.documentChanged();
    if (window_.fileNamed) window_.fileNamed(file);
    if (const QStringList& lost = document_->LoadWarnings(); !lost.isEmpty())
        TAppFrame::ShowOkMessage(QStringLiteral("%s"),
                                 {QStringLiteral("「%1」の一部が失われています。\r\n%2").arg(file, lost.join(QStringLiteral("\r\n")))});
    return true;
}

// The records of the history belong to the document they were made on.
void TDocumentFlows::Replace(std::unique_ptr<TLabelData> document, const QString& file)
{
    session_->History().Clear();
    document_ = std::move(document);
    fileName_ = file;
}

bool TDocumentFlows::Save()
{
    if (fileName_.isEmpty()) return SaveAs();
    return SaveTo(fileName_);
}

bool TDocumentFlows::SaveAs()
{
    if (!window_.chooseSaveFile) return false;
    const QString filter = FormatText(frame_.Expand(QStringLiteral("$(OpenDataFilter)")),
                                      {frame_.Title(), DocumentExtension, DocumentExtension});
    QString file = window_.chooseSaveFile(filter);
    if (file.isEmpty()) return false;
    if (QFileInfo(file).suffix().isEmpty()) file += u'.' + DocumentExtension;
    return SaveTo(file);
}

bool TDocumentFlows::SaveTo(const QString& file)
{
    try {
        if (window_.flushEditor) window_.flushEditor();
        document_->SetLastSave(QDateTime::currentDateTime());
        document_->SaveToFile(file);
    } catch (const std::exception& e) {
        TAppFrame::ShowOkMessage(QStringLiteral("%s"), {SaveFailureMessage(file, e)});
        return false;
    }
    fileName_ = file;
    ShowName(QFileInfo(file).fileName());
    if (window_.fileNamed) window_.fileNamed(file);
    return true;
}

bool TDocumentFlows::AskToSave()
{
    if (window_.flushEditor) window_.flushEditor();
    if (!document_->IsModified()) return true;
    const int answer = TAppFrame::ShowMessage(QStringLiteral("データが修正されています\r\n保存しますか？"),
                                              {mbkYes, mbkNo, mbkCancel}, 2, 0);
    if (answer == mrNo) return true;
    if (answer != mrYes) return false;
    return Save() && !document_->IsModified();
}

void TDocumentFlows::ShowName(const QString& name)
{
    if (window_.showName) window_.showName(name);
}

}  // namespace kestrel

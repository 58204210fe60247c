#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

#include "document/EditSession.h"

namespace kestrel {

class TAppFrame;
class TExtraPaperInfo;
class TLabelData;
class TPaperInfo;
class TPapersV2;
class TProductDB;

// The paper of a new document as the user chose it.
struct TPaperChoice {
    // Borrowed from the catalogue.
    const TPaperInfo* paper = nullptr;
    bool landscape = false;
    int sheets = 1;
};

// What the window lends the document flows. Every member may be empty.
struct TDocumentWindow {
    // Writes the editor's pending changes into the document.
    std::function<void()> flushEditor;
    // The save dialog: the chosen file, or empty when cancelled. The argument is the filter.
    std::function<QString(const QString& filter)> chooseSaveFile;
    // The user's paper for a new document, or nothing when cancelled.
    std::function<std::optional<TPaperChoice>()> choosePaper;
    // The document now lives in this file (opened or saved).
    std::function<void(const QString& file)> fileNamed;
    // Called after the document was replaced (New, Open) so that the views reload it.
    std::function<void()> documentChanged;
    // The document's name for the title: its file's name, or "新規作成" for a new one.
    std::function<void(const QString& name)> showName;
};

// What the window and the command line say when file could not be opened as a document: a
// missing file is not found; anything else is not our data, with the file and the reason.
// appTitle is the program's title the message names.
QString OpenFailureMessage(const QString& file, const std::exception& cause, const QString& appTitle);
// The same for a failed save.
QString SaveFailureMessage(const QString& file, const std::exception& cause);

// New, Open, Save, Save As and asking to save changes, as the main window runs them; messages go
// through the application frame. The flows own the document with its edit session, whose
// history is emptied whenever the document is replaced.
class TDocumentFlows {
public:
    // Without a session the document gets a plain one (no interactive editing).
    TDocumentFlows(TAppFrame& frame, const TPapersV2* catalogue, const TProductDB* productDB,
                   TDocumentWindow window, std::unique_ptr<TEditSession> session = nullptr);
    ~TDocumentFlows();

    TLabelData& Document() { return *document_; }
    TEditSession& Session() { return *session_; }
    // Empty for a document that was never saved.
    const QString& FileName() const { return fileName_; }

    // False when the user cancelled or nothing could be done.
    bool New(bool chooseFromUser = false);
    // sheet and face: -1 keeps what the file says.
    bool Open(const QString& file, int sheet = -1, int face = -1);
    bool Save();
    bool SaveAs();
    // True when the caller may go on (saved, or the user chose not to save).
    bool AskToSave();
    // The current sheet takes the chosen paper with the catalogue's records of it, as one step
    // of the session's undo history.
    void ChangeSheetPaper(const TPaperChoice& choice);

private:
    // The paper and orientation of the settings "DefaultPaperName" and "DefaultLandScape".
    std::optional<TPaperChoice> DefaultChoice() const;
    bool SaveTo(const QString& file);
    void ShowName(const QString& name);
    void Replace(std::unique_ptr<TLabelData> document, const QString& file);
    std::unique_ptr<TPaperInfo> ChosenPaper(const TPaperChoice& choice) const;
    // The catalogue's extra and picture records of the paper; each may be null.
    std::pair<std::unique_ptr<TExtraPaperInfo>, std::unique_ptr<TExtraPaperInfo>> CatalogueRecords(const TPaperInfo& paper) const;

    TAppFrame& frame_;
    const TPapersV2* catalogue_;
    const TProductDB* productDB_;
    TDocumentWindow window_;
    std::unique_ptr<TEditSession> session_;
    std::unique_ptr<TLabelData> document_;
    QString fileName_;
};

}  // namespace kestrel

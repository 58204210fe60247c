#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "document/Capabilities.h"
#include "document/DrawObject.h"
#include "document/stream/Persistent.h"
#include "paper/FaceGeometry.h"
#include "platform/Signal.h"

namespace kestrel {

class TCfbStorage;
class TDOList;
class TDocStorage;
class TDocStorageList;
class TDocStreamList;
class TExPaperInfo;
class TGrid;
class TGuide;
class TImagePaperInfo;
class TPaperInfo;
class TProductDB;
class TProductInfo;
class TSheetInfo;
class TTemporaryStorage;

// The objects of one face in a stream. Writing, it enumerates the objects it was given from the
// last to the first, leaving out blank backgrounds; reading, it owns what it read.
class TLDObjects : public TComponent {
    KESTREL_PERSISTENT()
public:
    void SetObjects(std::vector<TDrawObject*> objects) { objects_ = std::move(objects); }
    void GetChildren(const std::function<void(TComponent&)>& proc) const override;
    void AdoptChild(std::unique_ptr<TComponent> child) override;
    // The objects read, in stream order.
    std::vector<std::unique_ptr<TDrawObject>> TakeChildren() { return std::move(read_); }

private:
    std::vector<TDrawObject*> objects_;
    std::vector<std::unique_ptr<TDrawObject>> read_;
};

// What the document tells its listeners. During a save, and while every face is rewritten, the
// document visits its sheets without telling: the current sheet is the same at the end.
struct TLabelDataSignals {
    // Another sheet is current: its settings, paper and name are loaded.
    TSignal<> currentSheetChanged;
    // Sheets were added, deleted, moved or renamed.
    TSignal<> sheetsChanged;
    // The current sheet's paper or paper records changed.
    TSignal<> paperChanged;
    // The current sheet's grid or guides changed.
    TSignal<> layoutAidsChanged;
    // A face of the current sheet was stored or cleared (-1: faces of several sheets).
    TSignal<int> facesChanged;
    TSignal<bool> modifiedChanged;
};

// Lays the sheet's paper out for the printer it will be printed on (a disc printed straight from
// a printer's tray lies where that printer puts it). The print layer provides it.
class IPaperAdapter {
public:
    virtual ~IPaperAdapter() = default;
    // The paper is printed straight onto a disc: frames, cut lines and the paper's pattern make no
    // sense on it.
    virtual bool IsDirectPrint(const TPaperInfo& paper) = 0;
    // What the laid-out paper depends on besides the paper itself; when it changes, it is laid
    // out again.
    virtual QString Key(const TPaperInfo& paper) = 0;
    virtual std::unique_ptr<TPaperInfo> Adapt(const TPaperInfo& paper) = 0;
};

// The stored content of one sheet (settings, paper, faces, previews), kept in memory, so that an
// undo can put a sheet back as it was.
struct TSheetSnapshot {
    std::shared_ptr<const TCfbStorage> content;
};

// One open document: its sheets live in a temporary compound file; only the current sheet's
// settings are held in memory, face objects are read and written on demand.
class TLabelData {
public:
    static constexpr int DefaultPreviewSize = 200;

    // Product and creator records come from the database when one is given.
    explicit TLabelData(const TProductDB* productDB = nullptr);
    ~TLabelData();
    TLabelData(const TLabelData&) = delete;
    TLabelData& operator=(const TLabelData&) = delete;

    TLabelDataSignals& Signals() { return signals_; }

    // --- Settings of the current sheet -----------------------------------------------------
    TGuide& Guide();
    TGrid& Grid();
    // All of the current sheet's settings at once (grid, guides, label number, names).
    TSheetInfo& Settings() { return *info_; }
    int CurrentLabelNo() const;
    void SetCurrentLabelNo(int no);
    bool SeparatelyDesign() const;
    void SetSeparatelyDesign(bool value);
    const QString& SheetName() const;
    void SetSheetName(const QString& name);

    // --- Sheets ----------------------------------------------------------------------------
    int SheetCount() const;
    int CurrentSheet() const { return currentSheet_; }
    // A sheet that cannot be read fails with the reason, and the sheet that was current stays
    // current with everything it held.
    void SelectSheet(int index);
    // nameFormat holds one "%d" for the number that makes the name unique.
    void AddSheet(const QString& nameFormat);
    void NewSheet();
    void DuplicateSheet();
    // Refused (EKestrel) for the last remaining sheet.
    void DeleteSheet(int index);
    void MoveSheet(int to);
    QStringList SheetNames();
    QString CurrentSheetPath() const;
    // The stored content of a sheet (the current one with its settings written first).
    TSheetSnapshot CaptureSheet(int index);
    // A new sheet at index holding the snapshot's content; it becomes current.
    void InsertSheet(int index, const TSheetSnapshot& snapshot);
    // Sheet index holds the snapshot's content again; it becomes current.
    void RestoreSheet(int index, const TSheetSnapshot& snapshot);

    // --- Paper of the current sheet --------------------------------------------------------
    // Null only before a paper was set.
    const TPaperInfo* SheetPaper() const { return sheetPaper_.get(); }
    // The sheet paper with the printer's adjustments applied; the sheet paper itself until an
    // adapter is given.
    const TPaperInfo* EffectivePaper() const;
    void SetPaperAdapter(std::shared_ptr<IPaperAdapter> adapter);
    // Lays the paper out again at the next use (the printer's ring adjustment changed).
    void InvalidateEffectivePaper();
    bool IsDirectPrintPaper() const;
    void SetSheetPaper(const TPaperInfo& paper);
    void SetPaper(const TPaperInfo& paper);
    int FaceCount() const;
    // Face n as it lies on the sheet (of the effective paper).
    TFaceGeometry Face(int n) const;
    const TExPaperInfo& ExtraInfo() const { return *extraInfo_; }
    const TImagePaperInfo& ImageInfo() const { return *imageInfo_; }
    // Nothing clears.
    void SetExtraInfo(const TExPaperInfo* info);
    void SetImageInfo(const TImagePaperInfo* info);

    // --- Face objects ----------------------------------------------------------------------
    // Appends face n's objects (face 0's when the faces share one design) in stored order, from
    // the back to the front; the list owns them.
    void LoadFaceObjects(int n, TDOList& list);
    // Makes the objects of the face streams this document reads: a class name gives the object
    // its kind makes unless the substitute returns one of its own.
    using TClassSubstitute = std::function<std::unique_ptr<TComponent>(const QByteArray& className)>;
    void SetClassSubstitute(TClassSubstitute substitute) { substitute_ = std::move(substitute); }
    // list: from the front to the back, as the draw site lists them.
    void SaveFaceObjects(int n, const TDOList& list);
    void ClearFace(int n);
    bool HasFaceObjects(int n) const;
    // Loads the objects of every designed face of every sheet (face 0 alone where the faces
    // share one design), lets change alter them and stores the face again when it answers true.
    // The current sheet stays selected, also when a face fails.
    void RewriteFaces(const std::function<bool(TDOList&)>& change);
    // The face's preview, rendered first when missing; a null image for an empty face.
    QImage FacePreview(int n);
    int PreviewSize() const { return previewSize_; }

    // --- Document ------------------------------------------------------------------------
    // Sheets that cannot be read are saved as they are, without previews of their own; the
    // current sheet stays selected, also when the save fails.
    void SaveToFile(const QString& path);
    void LoadFromFile(const QString& path);
    // What the file read last has lost: faces whose preview shows objects but whose objects'
    // stream is missing or empty (they open empty). One message per face, naming it.
    const QStringList& LoadWarnings() const { return loadWarnings_; }
    bool IsModified() const { return modified_; }
    void SetModified(bool modified);
    const QString& DataName() const { return dataName_; }
    void SetDataName(const QString& name);
    bool SheetMode() const { return sheetMode_; }
    void SetSheetMode(bool value);
    const TDocumentDates& Dates() const { return dates_; }
    void SetLastPrint(const QDateTime& time);
    // Puts back dates read earlier (a print that did not happen leaves no print date).
    void RestoreDates(const TDocumentDates& dates) { dates_ = dates; }
    void SetLastSave(const QDateTime& time);
    TProductInfo& ProductInfo() { return *productInfo_; }
    TProductInfo& CreatorInfoE() { return *creatorInfoE_; }
    TProductInfo& CreatorInfoJ() { return *creatorInfoJ_; }
    // The working compound file.
    TDocStorage& Storage();

private:
    struct TSheetSettings;
    class TQuietScope;
    class TCurrentSheetKeeper;

    void OpenSheetList();
    void CheckSheet(int index) const;
    std::unique_ptr<TDocStorage> OpenSheet(int index, bool create) const;
    TSheetSettings ReadSheetSettings(int index) const;
    void AdoptSheetSettings(TSheetSettings settings);
    // Makes the sheet current; told only when not quiet.
    void MakeCurrent(int index);
    void SaveSheetSettings();
    QString UniqueSheetName(const QString& nameFormat);
    std::unique_ptr<TDocStreamList> OpenFaceList(const QString& name) const;
    // The face whose stream holds face n's design.
    int DesignFace(int n) const;
    void CheckFace(int n) const;
    QByteArray ReadFaceStream(int n) const;
    void TrimFaces();
    void DeletePreview(int n);
    void RenderPreview(int n);
    void PrepareSheetForSaving(int index);
    void CompressFaceStreams();
    void WriteDataInfo();
    void ReadDataInfo();
    void MarkModified() { SetModified(true); }
    void WatchLayoutAids();
    void Tell(const TSignal<>& signal) const;
    void TellFaces(int face) const;
    QStringList LostFaces() const;

    TLabelDataSignals signals_;
    int quiet_ = 0;
    std::unique_ptr<TTemporaryStorage> storage_;
    std::unique_ptr<TDocStorageList> sheets_;
    std::unique_ptr<TSheetInfo> info_;
    int currentSheet_ = -1;
    bool modified_ = false;
    bool sheetMode_ = false;
    QString dataName_;
    TDocumentDates dates_;
    std::unique_ptr<TPaperInfo> sheetPaper_;
    std::shared_ptr<IPaperAdapter> paperAdapter_;
    mutable std::unique_ptr<TPaperInfo> effectivePaper_;
    mutable QString effectivePaperKey_;
    std::unique_ptr<TExPaperInfo> extraInfo_;
    std::unique_ptr<TImagePaperInfo> imageInfo_;
    std::unique_ptr<TProductInfo> productInfo_;
    std::unique_ptr<TProductInfo> creatorInfoE_;
    std::unique_ptr<TProductInfo> creatorInfoJ_;
    int previewSize_ = DefaultPreviewSize;
    TClassSubstitute substitute_;
    QStringList loadWarnings_;
};

}  // namespace kestrel

#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "document/DrawObject.h"
#include "document/stream/Persistent.h"
#include "paper/FaceGeometry.h"

namespace kestrel {

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
class TTemporaryStorage;

// The dates a date object may show, in days since 30 December 1899 as files store them (kept
// so, a document saves its dates back unchanged).
struct TDocumentDates {
    double opened = 0;
    double lastPrint = 0;
    double lastSave = 0;
};

// What the document needs of object kinds that live in higher layers (backgrounds, dates).
// Each is optional; an empty one means that kind does not exist in this program.
struct TLabelObjectHooks {
    // A background that shows nothing; such objects are not stored.
    std::function<bool(const TDrawObject&)> isBlankBackground;
    // A background read from a face stream, replaced by a plain one sized to the face; nothing
    // when the object is not a background.
    std::function<std::unique_ptr<TDrawObject>(const TDrawObject&, int faceWidth, int faceHeight)> replaceBackground;
    // Gives a date object the document date its kind names.
    std::function<void(TDrawObject&, const TDocumentDates&)> refreshDate;
    // Class substitution of the face object reader; nothing means the registry's class.
    std::function<std::unique_ptr<TComponent>(const QByteArray& className)> substituteClass;
};
TLabelObjectHooks& LabelObjectHooks();

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

class TSheetInfo;

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

// A sheet as a document file stores it, read without opening the document.
struct TStoredSheet {
    // Null when the sheet has none.
    std::unique_ptr<TPaperInfo> paper;
    // Per face of the preview list, its picture; null where a face has none.
    std::vector<QImage> previews;
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
    // list: from the front to the back, as the draw site lists them.
    void SaveFaceObjects(int n, const TDOList& list);
    void ClearFace(int n);
    bool HasFaceObjects(int n) const;
    // Loads the objects of every designed face of every sheet (face 0 alone where the faces
    // share one design), lets change alter them and stores the face again when it answers true.
    // The current sheet stays selected.
    void RewriteFaces(const std::function<bool(TDOList&)>& change);
    // The face's preview, rendered first when missing; a null image for an empty face.
    QImage FacePreview(int n);
    int PreviewSize() const { return previewSize_; }
    void SetPreviewSize(int size) { previewSize_ = size; }

    // --- Document ------------------------------------------------------------------------
    void SaveToFile(const QString& path);
    void LoadFromFile(const QString& path);
    // What the file read last has lost: faces whose preview shows objects but whose objects'
    // stream is missing or empty (they open empty). One message per face, naming it.
    const QStringList& LoadWarnings() const { return loadWarnings_; }
    bool IsModified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
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

    // A face preview straight from a document file; false when it has none. withOutline draws
    // the face outline over it in grey.
    static bool ReadPreviewFromFile(const QString& path, int sheet, int face, QImage& picture, bool withOutline);
    // Sheet number sheet (from 0) of a document file; nothing when there is no such sheet. Raises
    // EKestrel for a file that cannot be read.
    static std::optional<TStoredSheet> ReadSheetFromFile(const QString& path, int sheet);

private:
    void OpenSheetList();
    std::unique_ptr<TDocStorage> OpenSheet(int index, bool create) const;
    void LoadSheetSettings();
    void SaveSheetSettings();
    void ReadSheetPaper(TDocStorage& sheet);
    QString UniqueSheetName(const QString& nameFormat);
    std::unique_ptr<TDocStreamList> OpenFaceList(const QString& name) const;
    // The face whose stream holds face n's design.
    int DesignFace(int n) const;
    void CheckFace(int n) const;
    QByteArray ReadFaceStream(int n) const;
    static std::unique_ptr<TComponent> ReadFaceContainer(const QByteArray& stored);
    void DeletePreview(int n);
    void RenderPreview(int n);
    void CompressFaceStreams();
    void WriteDataInfo();
    void ReadDataInfo();
    QStringList LostFaces() const;

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
    QStringList loadWarnings_;
};

}  // namespace kestrel

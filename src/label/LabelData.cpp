#include "label/LabelData.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "app/ExceptionReport.h"
#include "document/Capabilities.h"
#include "document/DOList.h"
#include "document/DrawObject.h"
#include "document/ObjectKinds.h"
#include "document/storage/DocNameList.h"
#include "document/storage/DocStorage.h"
#include "document/storage/DocStream.h"
#include "document/storage/FramedObjects.h"
#include "document/stream/ClassRegistry.h"
#include "document/stream/ObjectStream.h"
#include "label/DataInfo.h"
#include "label/DocumentPaths.h"
#include "label/FacePreview.h"
#include "label/FaceRender.h"
#include "label/SheetInfo.h"
#include "paper/FaceInfo.h"
#include "paper/PaperInfo.h"
#include "paper/PaperRecords.h"
#include "paper/PapersV2.h"
#include "paper/ProductDB.h"
#include "paper/ProductInfo.h"
#include "platform/BoundedReader.h"
#include "platform/Error.h"
#include "platform/ZlibContainer.h"

namespace kestrel {

namespace {

constexpr int MaxSheetNameTries = 1000;

// The pattern's "%d" becomes the number and "%%" a single "%"; nothing else is interpreted, so
// a sheet name holding "%" can never act as a format.
QString FormatNumbered(const QString& pattern, int number)
{
    QString result;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'%' && i + 1 < pattern.size()) {
            if (pattern[i + 1] == u'd') {
                result += QString::number(number);
                ++i;
                continue;
            }
            if (pattern[i + 1] == u'%') {
                result += u'%';
                ++i;
                continue;
            }
        }
        result += pattern[i];
    }
    return result;
}

QString EscapePercent(QString text)
{
    return text.replace(u'%', QStringLiteral("%%"));
}

bool IsBlankBackground(const TDrawObject& object)
{
    const auto* background = dynamic_cast<const IDOFaceBackground*>(&object);
    return background && background->IsBlank();
}

const TClassRegistry& DataInfoClasses()
{
    static const TClassRegistry registry = [] {
        TClassRegistry r;
        r.Register(TDataInfo::StaticClass());
        r.Register(TProductInfo::StaticClass());
        return r;
    }();
    return registry;
}

}  // namespace

// --- TLDObjects ------------------------------------------------------------------------------

const TClassInfo& TLDObjects::StaticClass()
{
    static const TClassInfo info("TLDObjects", &TComponent::StaticClass(), FactoryOf<TLDObjects>(), {});
    return info;
}

void TLDObjects::GetChildren(const std::function<void(TComponent&)>& proc) const
{
    for (auto it = objects_.rbegin(); it != objects_.rend(); ++it)
        if (!IsBlankBackground(**it)) proc(**it);
}

void TLDObjects::AdoptChild(std::unique_ptr<TComponent> child)
{
    auto* object = dynamic_cast<TDrawObject*>(child.get());
    if (!object) throw EReadError(QStringLiteral("不正なストリーム フォーマット"));
    child.release();
    read_.emplace_back(object);
}

// --- TSheetInfo ------------------------------------------------------------------------------

const TClassInfo& TSheetInfo::StaticClass()
{
    static const TClassInfo info("TLabelData", &TComponent::StaticClass(), FactoryOf<TSheetInfo>(), [] {
        return TPropsOf<TSheetInfo>()
            .Nested("Guide", &TSheetInfo::GuidePtr)
            .Nested("Grid", &TSheetInfo::GridPtr)
            .Int("CurrentLabelNo", &TSheetInfo::CurrentLabelNo, &TSheetInfo::SetCurrentLabelNo, NoDefault)
            .Bool("SeparatelyDesign", &TSheetInfo::SeparatelyDesign, &TSheetInfo::SetSeparatelyDesign, NoDefault)
            .String("SheetName", &TSheetInfo::SheetName, &TSheetInfo::SetSheetName)
            .Done();
    });
    return info;
}


// --- TLabelData: construction ----------------------------------------------------------------

// The settings of one sheet, read before anything of the current sheet is replaced.
struct TLabelData::TSheetSettings {
    std::unique_ptr<TSheetInfo> info = std::make_unique<TSheetInfo>();
    // Null when the sheet holds no paper: the current paper stays.
    std::unique_ptr<TPaperInfo> paper;
    std::unique_ptr<TExPaperInfo> extra = std::make_unique<TExPaperInfo>();
    std::unique_ptr<TImagePaperInfo> images = std::make_unique<TImagePaperInfo>();
};

// While it lives, the document visits sheets without telling its listeners.
class TLabelData::TQuietScope {
public:
    explicit TQuietScope(TLabelData& document) : document_(document) { ++document_.quiet_; }
    ~TQuietScope() { --document_.quiet_; }
    TQuietScope(const TQuietScope&) = delete;
    TQuietScope& operator=(const TQuietScope&) = delete;

private:
    TLabelData& document_;
};

// Visits sheets quietly and makes the sheet that was current current again, also when a visit
// fails.
class TLabelData::TCurrentSheetKeeper {
public:
    explicit TCurrentSheetKeeper(TLabelData& document)
        : document_(document), quiet_(document), kept_(document.currentSheet_)
    {
    }
    ~TCurrentSheetKeeper()
    {
        try {
            document_.SelectSheet(kept_);
        } catch (const std::exception& e) {
            // It was read before the visits and written back by them: only a broken storage
            // fails here, and the error that got us here, if any, is the one to show.
            if (!std::uncaught_exceptions()) ReportUnexpectedException(e);
        }
    }
    TCurrentSheetKeeper(const TCurrentSheetKeeper&) = delete;
    TCurrentSheetKeeper& operator=(const TCurrentSheetKeeper&) = delete;

private:
    TLabelData& document_;
    TQuietScope quiet_;
    int kept_;
};

TLabelData::TLabelData(const TProductDB* productDB)
    : storage_(std::make_unique<TTemporaryStorage>()),
      info_(std::make_unique<TSheetInfo>()),
      extraInfo_(std::make_unique<TExPaperInfo>()),
      imageInfo_(std::make_unique<TImagePaperInfo>()),
      productInfo_(std::make_unique<TProductInfo>()),
      creatorInfoE_(std::make_unique<TProductInfo>()),
      creatorInfoJ_(std::make_unique<TProductInfo>())
{
    if (productDB) {
        if (productDB->ProductCount() > 0) productDB->ReadProduct(0, *productInfo_);
        productDB->ReadCreatorE(*creatorInfoE_);
        productDB->ReadCreatorJ(*creatorInfoJ_);
    }
    const double now = ToDaysSince1899(QDateTime::currentDateTime());
    dates_ = {now, now, now};
    WatchLayoutAids();
    OpenSheetList();
    NewSheet();
    modified_ = false;
}

TLabelData::~TLabelData() = default;

void TLabelData::OpenSheetList()
{
    sheets_ = std::make_unique<TDocStorageList>();
    sheets_->Open(*storage_, SheetListPath);
}

TDocStorage& TLabelData::Storage()
{
    return *storage_;
}

void TLabelData::WatchLayoutAids()
{
    info_->Grid().SetOnChange([this] { Tell(signals_.layoutAidsChanged); });
    info_->Guide().SetOnChange([this] { Tell(signals_.layoutAidsChanged); });
}

void TLabelData::Tell(const TSignal<>& signal) const
{
    if (!quiet_) signal.Emit();
}

void TLabelData::TellFaces(int face) const
{
    if (!quiet_) signals_.facesChanged.Emit(face);
}

void TLabelData::SetModified(bool modified)
{
    if (modified == modified_) return;
    modified_ = modified;
    signals_.modifiedChanged.Emit(modified);
}

// --- Settings of the current sheet -----------------------------------------------------------

TGuide& TLabelData::Guide()
{
    return info_->Guide();
}

TGrid& TLabelData::Grid()
{
    return info_->Grid();
}

int TLabelData::CurrentLabelNo() const
{
    return info_->CurrentLabelNo();
}

void TLabelData::SetCurrentLabelNo(int no)
{
    info_->SetCurrentLabelNo(std::clamp(no, 0, std::max(FaceCount() - 1, 0)));
}

bool TLabelData::SeparatelyDesign() const
{
    return info_->SeparatelyDesign();
}

void TLabelData::SetSeparatelyDesign(bool value)
{
    if (value == info_->SeparatelyDesign()) return;
    info_->SetSeparatelyDesign(value);
    MarkModified();
    TellFaces(-1);
}

const QString& TLabelData::SheetName() const
{
    return info_->SheetName();
}

void TLabelData::SetSheetName(const QString& name)
{
    if (name == info_->SheetName()) return;
    info_->SetSheetName(name);
    MarkModified();
    Tell(signals_.sheetsChanged);
}

void TLabelData::SetDataName(const QString& name)
{
    if (name == dataName_) return;
    dataName_ = name;
    MarkModified();
}

void TLabelData::SetLastPrint(const QDateTime& time)
{
    dates_.lastPrint = ToDaysSince1899(time);
}

void TLabelData::SetLastSave(const QDateTime& time)
{
    dates_.lastSave = ToDaysSince1899(time);
}

void TLabelData::SetSheetMode(bool value)
{
    if (value == sheetMode_) return;
    sheetMode_ = value;
    MarkModified();
}

// --- Sheets ----------------------------------------------------------------------------------

int TLabelData::SheetCount() const
{
    return sheets_->Count();
}

void TLabelData::CheckSheet(int index) const
{
    if (index < 0 || index >= SheetCount()) throw EKestrel(QStringLiteral("シート番号 %1 はありません").arg(index));
}

std::unique_ptr<TDocStorage> TLabelData::OpenSheet(int index, bool create) const
{
    return sheets_->OpenStorage(index, create);
}

QString TLabelData::CurrentSheetPath() const
{
    return currentSheet_ < 0 ? QString() : sheets_->Path(currentSheet_);
}

TLabelData::TSheetSettings TLabelData::ReadSheetSettings(int index) const
{
    TSheetSettings settings;
    auto sheet = OpenSheet(index, false);
    ReadFramedObjectInto(*sheet, InfoStream, *settings.info);
    if (sheet->StreamExists(PaperInfoStream)) {
        std::unique_ptr<TComponent> object = ReadFramedObject(*sheet, PaperInfoStream);
        auto* paper = dynamic_cast<TPaperInfo*>(object.get());
        if (!paper) throw EReadError(QStringLiteral("用紙の情報が正しくありません"));
        paper->CheckLayout();
        object.release();
        settings.paper.reset(paper);
    }
    ReadSheetPaperRecords(*sheet, *settings.extra, *settings.images);
    return settings;
}

// Nothing here can fail: the sheet's settings are in memory already.
void TLabelData::AdoptSheetSettings(TSheetSettings settings)
{
    info_->Assign(*settings.info);
    if (settings.paper) {
        sheetPaper_ = std::move(settings.paper);
        InvalidateEffectivePaper();
    }
    extraInfo_ = std::move(settings.extra);
    imageInfo_ = std::move(settings.images);
    SetCurrentLabelNo(info_->CurrentLabelNo());
}

void TLabelData::MakeCurrent(int index)
{
    TSheetSettings settings = ReadSheetSettings(index);
    const bool paperRead = settings.paper != nullptr;
    {
        const TQuietScope settling(*this);
        currentSheet_ = index;
        AdoptSheetSettings(std::move(settings));
    }
    if (paperRead) TrimFaces();
    Tell(signals_.currentSheetChanged);
    Tell(signals_.paperChanged);
    Tell(signals_.layoutAidsChanged);
}

void TLabelData::SelectSheet(int index)
{
    CheckSheet(index);
    if (index == currentSheet_) return;
    SaveSheetSettings();
    MakeCurrent(index);
}

void TLabelData::AddSheet(const QString& nameFormat)
{
    SaveSheetSettings();
    const QString name = UniqueSheetName(nameFormat);
    currentSheet_ = sheets_->AddNew();
    OpenSheet(currentSheet_, true);
    info_->SetSheetName(name);
    SaveSheetSettings();
    MarkModified();
    Tell(signals_.sheetsChanged);
    Tell(signals_.currentSheetChanged);
}

void TLabelData::NewSheet()
{
    AddSheet(QStringLiteral("新規シート%d"));
}

void TLabelData::DuplicateSheet()
{
    const int source = currentSheet_;
    AddSheet(EscapePercent(SheetName()) + QStringLiteral("のコピー%d"));
    const QString name = SheetName();
    OpenSheet(source, false)->CopyTo(*OpenSheet(currentSheet_, false));
    // The copy brought the original's name along.
    info_->SetSheetName(name);
    SaveSheetSettings();
    TellFaces(-1);
}

void TLabelData::DeleteSheet(int index)
{
    CheckSheet(index);
    if (SheetCount() == 1) throw EKestrel(QStringLiteral("最後のシートは削除できません"));
    if (index != currentSheet_) SaveSheetSettings();
    // The sheet that takes the deleted one's place (the last one when it was last) is read
    // first: a sheet that cannot be read stops the deletion before anything is lost.
    const int next = index < SheetCount() - 1 ? index + 1 : index - 1;
    TSheetSettings settings = ReadSheetSettings(next);
    sheets_->Delete(index);
    {
        const TQuietScope settling(*this);
        currentSheet_ = next > index ? next - 1 : next;
        AdoptSheetSettings(std::move(settings));
    }
    MarkModified();
    Tell(signals_.sheetsChanged);
    Tell(signals_.currentSheetChanged);
    Tell(signals_.paperChanged);
    Tell(signals_.layoutAidsChanged);
}

void TLabelData::MoveSheet(int to)
{
    CheckSheet(to);
    SaveSheetSettings();
    sheets_->Move(currentSheet_, to);
    currentSheet_ = to;
    MarkModified();
    Tell(signals_.sheetsChanged);
    Tell(signals_.currentSheetChanged);
}

// A sheet whose settings cannot be read has no name to show.
QStringList TLabelData::SheetNames()
{
    QStringList names;
    for (int i = 0; i < SheetCount(); ++i) {
        if (i == currentSheet_) {
            names << SheetName();
            continue;
        }
        TSheetInfo info;
        try {
            ReadFramedObjectInto(*OpenSheet(i, false), InfoStream, info);
        } catch (const EKestrel&) {
        }
        names << info.SheetName();
    }
    return names;
}

QString TLabelData::UniqueSheetName(const QString& nameFormat)
{
    const QStringList taken = SheetNames();
    for (int j = 1;; ++j) {
        const QString candidate = FormatNumbered(nameFormat, j);
        if (j > MaxSheetNameTries || !taken.contains(candidate)) return candidate;
    }
}

void TLabelData::SaveSheetSettings()
{
    if (currentSheet_ < 0) return;
    auto sheet = OpenSheet(currentSheet_, true);
    WriteFramedObject(*sheet, InfoStream, *info_);
    if (sheetPaper_) WriteFramedObject(*sheet, PaperInfoStream, *sheetPaper_);
    WriteSheetPaperRecords(*sheet, *extraInfo_, *imageInfo_);
}

TSheetSnapshot TLabelData::CaptureSheet(int index)
{
    CheckSheet(index);
    if (index == currentSheet_) SaveSheetSettings();
    return {OpenSheet(index, false)->CopyContents()};
}

void TLabelData::InsertSheet(int index, const TSheetSnapshot& snapshot)
{
    index = std::clamp(index, 0, SheetCount());
    SaveSheetSettings();
    const int added = sheets_->AddNew();
    OpenSheet(added, true)->ReplaceContents(*snapshot.content);
    sheets_->Move(added, index);
    if (currentSheet_ >= index) ++currentSheet_;
    MarkModified();
    Tell(signals_.sheetsChanged);
    MakeCurrent(index);
}

void TLabelData::RestoreSheet(int index, const TSheetSnapshot& snapshot)
{
    CheckSheet(index);
    SaveSheetSettings();
    OpenSheet(index, false)->ReplaceContents(*snapshot.content);
    MarkModified();
    // Settings held for the sheet are those of what was replaced: the restored ones are read.
    MakeCurrent(index);
    Tell(signals_.sheetsChanged);
    TellFaces(-1);
}

// --- Paper -----------------------------------------------------------------------------------

int TLabelData::FaceCount() const
{
    return sheetPaper_ ? sheetPaper_->GetFaceCount() : 0;
}

TFaceGeometry TLabelData::Face(int n) const
{
    CheckFace(n);
    TFaceGeometry face;
    EffectivePaper()->FillFaceInfo(n, face);
    return face;
}

const TPaperInfo* TLabelData::EffectivePaper() const
{
    if (!paperAdapter_ || !sheetPaper_) return sheetPaper_.get();
    const QString key = paperAdapter_->Key(*sheetPaper_);
    if (!effectivePaper_ || key != effectivePaperKey_) {
        effectivePaper_ = paperAdapter_->Adapt(*sheetPaper_);
        effectivePaperKey_ = key;
    }
    return effectivePaper_.get();
}

void TLabelData::InvalidateEffectivePaper()
{
    effectivePaper_.reset();
}

void TLabelData::SetPaperAdapter(std::shared_ptr<IPaperAdapter> adapter)
{
    paperAdapter_ = std::move(adapter);
    InvalidateEffectivePaper();
}

bool TLabelData::IsDirectPrintPaper() const
{
    return paperAdapter_ && sheetPaper_ && paperAdapter_->IsDirectPrint(*sheetPaper_);
}

void TLabelData::SetSheetPaper(const TPaperInfo& paper)
{
    sheetPaper_ = paper.Clone();
    InvalidateEffectivePaper();
    TrimFaces();
    SetCurrentLabelNo(CurrentLabelNo());
    MarkModified();
    Tell(signals_.paperChanged);
}

void TLabelData::TrimFaces()
{
    OpenFaceList(FaceListName)->Truncate(FaceCount());
}

void TLabelData::SetPaper(const TPaperInfo& paper)
{
    SetSheetPaper(paper);
    for (int n = 0; n < FaceCount(); ++n) DeletePreview(n);
    TellFaces(-1);
}

void TLabelData::SetExtraInfo(const TExPaperInfo* info)
{
    if (info)
        extraInfo_->Assign(*info);
    else
        extraInfo_->Clear();
    MarkModified();
    Tell(signals_.paperChanged);
}

void TLabelData::SetImageInfo(const TImagePaperInfo* info)
{
    if (info)
        imageInfo_->Assign(*info);
    else
        imageInfo_ = std::make_unique<TImagePaperInfo>();
    MarkModified();
    Tell(signals_.paperChanged);
}

// --- Face objects ----------------------------------------------------------------------------

std::unique_ptr<TDocStreamList> TLabelData::OpenFaceList(const QString& name) const
{
    auto sheet = OpenSheet(currentSheet_, true);
    auto list = std::make_unique<TDocStreamList>();
    list->Open(*sheet, name);
    return list;
}

int TLabelData::DesignFace(int n) const
{
    CheckFace(n);
    return SeparatelyDesign() ? n : 0;
}

void TLabelData::CheckFace(int n) const
{
    if (n < 0 || n >= FaceCount()) throw EKestrel(QStringLiteral("面番号 %1 はありません").arg(n));
}

QByteArray TLabelData::ReadFaceStream(int n) const
{
    auto faces = OpenFaceList(FaceListName);
    if (!faces->Exists(n)) return {};
    return faces->OpenStream(n, ModeRead)->ReadAll();
}

namespace {
// The face's container object, checked to be one. Classes come as the substitute or the object
// kinds make them.
std::unique_ptr<TComponent> ReadFaceContainer(const QByteArray& stored, const TLabelData::TClassSubstitute& substitute)
{
    const QByteArray bytes = UnpackIfContainer(stored);
    TBoundedReader in(bytes);
    TReadOptions options;
    options.create = [&substitute](const QByteArray& className) -> std::unique_ptr<TComponent> {
        if (substitute)
            if (std::unique_ptr<TComponent> made = substitute(className)) return made;
        return TObjectKinds::Global().NewObject(className);
    };
    std::unique_ptr<TComponent> top = ReadObjectRes(in, options);
    if (!dynamic_cast<TLDObjects*>(top.get())) throw EReadError(QStringLiteral("不正なストリーム フォーマット"));
    return top;
}
}  // namespace

void TLabelData::LoadFaceObjects(int n, TDOList& list)
{
    const QByteArray stored = ReadFaceStream(DesignFace(n));
    if (stored.isEmpty()) return;
    std::unique_ptr<TComponent> top =
        ReadingStream(OpenFaceList(FaceListName)->Path(DesignFace(n)), [&] { return ReadFaceContainer(stored, substitute_); });
    auto* container = static_cast<TLDObjects*>(top.get());

    const TFaceInfo face = TFaceInfo(Face(n)).AtOrigin();
    const TSheetRect outer = face.OuterRect();
    TDOList read;
    for (auto& object : container->TakeChildren()) {
        object->SetName({});
        if (auto* dated = dynamic_cast<IDODocumentDates*>(object.get())) dated->ShowDocumentDates(dates_);
        if (auto* background = dynamic_cast<IDOFaceBackground*>(object.get())) background->SetFaceInfo(face);
        read.Add(std::move(object));
    }
    KeepCentresInside(read, TRect{0, 0, outer.Width(), outer.Height()});
    for (auto& object : read.ReleaseAll()) list.Add(std::move(object));
}

void TLabelData::SaveFaceObjects(int n, const TDOList& list)
{
    n = DesignFace(n);
    auto faces = OpenFaceList(FaceListName);
    while (faces->Count() <= n) faces->AddNew();
    const bool onlyBlank = list.Count() == 1 && IsBlankBackground(list.Item(0));
    QByteArray bytes;
    if (!list.IsEmpty() && !onlyBlank) {
        TLDObjects container;
        container.SetObjects(list.Items());
        WriteObjectRes(bytes, "LabelData", container);
    }
    faces->OpenStream(n, ModeCreate)->WriteAll(bytes);
    MarkModified();
    DeletePreview(n);
    TellFaces(n);
}

void TLabelData::RewriteFaces(const std::function<bool(TDOList&)>& change)
{
    {
        const TCurrentSheetKeeper keeper(*this);
        for (int s = 0; s < SheetCount(); ++s) {
            SelectSheet(s);
            const int faces = SeparatelyDesign() ? FaceCount() : std::min(1, FaceCount());
            for (int n = 0; n < faces; ++n) {
                if (!HasFaceObjects(n)) continue;
                TDOList objects;
                LoadFaceObjects(n, objects);
                if (!change(objects)) continue;
                objects.Reverse();  // loaded from the back, saved from the front
                SaveFaceObjects(n, objects);
            }
        }
    }
    TellFaces(-1);
}

void TLabelData::ClearFace(int n)
{
    n = DesignFace(n);
    auto faces = OpenFaceList(FaceListName);
    if (faces->Exists(n)) faces->DeleteElement(n);
    DeletePreview(n);
    MarkModified();
    TellFaces(n);
}

bool TLabelData::HasFaceObjects(int n) const
{
    return !ReadFaceStream(DesignFace(n)).isEmpty();
}

void TLabelData::DeletePreview(int n)
{
    auto previews = OpenFaceList(PreviewListName);
    if (previews->Exists(n)) previews->DeleteElement(n);
}

QImage TLabelData::FacePreview(int n)
{
    if (!HasFaceObjects(n)) return {};
    auto previews = OpenFaceList(PreviewListName);
    if (!previews->Exists(n)) {
        RenderPreview(n);
        previews = OpenFaceList(PreviewListName);
    }
    return DecodePreview(previews->OpenStream(n, ModeRead)->ReadAll());
}

void TLabelData::RenderPreview(int n)
{
    TDOList objects;
    LoadFaceObjects(n, objects);
    const QByteArray png = RenderFacePreview(objects.ReleaseAll(), Face(n), previewSize_);
    auto previews = OpenFaceList(PreviewListName);
    while (previews->Count() <= n) previews->AddNew();
    previews->OpenStream(n, ModeCreate)->WriteAll(png);
}

void TLabelData::CompressFaceStreams()
{
    auto faces = OpenFaceList(FaceListName);
    for (int n = 0; n < std::min(faces->Count(), FaceCount()); ++n) {
        if (!faces->Exists(n)) continue;
        auto stream = faces->OpenStream(n, ModeReadWrite);
        const QByteArray bytes = stream->ReadAll();
        if (!bytes.isEmpty() && !HasContainerSignature(bytes)) stream->WriteAll(PackContainer(bytes, 9));
    }
}

// A sheet or a face that cannot be read keeps what it holds, without a new preview: a damaged
// part must not keep the rest of the document from being saved.
void TLabelData::PrepareSheetForSaving(int index)
{
    try {
        SelectSheet(index);
    } catch (const EKestrel&) {
        return;
    }
    auto previews = OpenFaceList(PreviewListName);
    for (int n = 0; n < FaceCount(); ++n) {
        try {
            if (!previews->Exists(n) && HasFaceObjects(n)) RenderPreview(n);
        } catch (const EReadError&) {
        }
    }
    CompressFaceStreams();
}

// --- Document --------------------------------------------------------------------------------

void TLabelData::WriteDataInfo()
{
    TDataInfo info;
    info.SetDataName(dataName_);
    info.SetCurrentSheetNo(currentSheet_);
    info.SetLastPrint(dates_.lastPrint);
    info.SetLastSave(dates_.lastSave);
    info.SetSheetMode(sheetMode_);
    // The records carry their names only in the file.
    productInfo_->SetName(QStringLiteral("ProductInfo"));
    creatorInfoE_->SetName(QStringLiteral("CreatorInfoE"));
    creatorInfoJ_->SetName(QStringLiteral("CreatorInfoJ"));
    info.SetRecords({productInfo_.get(), creatorInfoE_.get(), creatorInfoJ_.get()});
    WriteFramedObject(*storage_, DataInfoStream, info);
    for (TProductInfo* record : {productInfo_.get(), creatorInfoE_.get(), creatorInfoJ_.get()}) record->SetName({});
}

void TLabelData::ReadDataInfo()
{
    TDataInfo info;
    TReadOptions options;
    options.registry = &DataInfoClasses();
    ReadFramedObjectInto(*storage_, DataInfoStream, info, options);
    dataName_ = info.DataName();
    sheetMode_ = info.SheetMode();
    dates_.lastPrint = info.LastPrint();
    dates_.lastSave = info.LastSave();
    dates_.opened = ToDaysSince1899(QDateTime::currentDateTime());
    currentSheet_ = std::clamp(info.CurrentSheetNo(), 0, SheetCount() - 1);
    // The creator records of the file are ignored: the document keeps the database's.
    if (!info.ReadRecords().empty()) {
        productInfo_->Assign(*info.ReadRecords().front());
        productInfo_->ApplyDefaultCaptions();
    }
}

void TLabelData::SaveToFile(const QString& path)
{
    SaveSheetSettings();
    WriteDataInfo();
    {
        const TCurrentSheetKeeper keeper(*this);
        for (int i = 0; i < SheetCount(); ++i) PrepareSheetForSaving(i);
    }
    storage_->SaveTo(path);
    SetModified(false);
}

void TLabelData::LoadFromFile(const QString& path)
{
    storage_->LoadFrom(path);
    OpenSheetList();
    currentSheet_ = -1;
    if (SheetCount() == 0) throw EKestrel(QStringLiteral("文書にシートがありません"));
    ReadDataInfo();
    const int current = std::exchange(currentSheet_, -1);
    sheetPaper_.reset();
    InvalidateEffectivePaper();
    MakeCurrent(current);
    loadWarnings_ = LostFaces();
    SetModified(false);
    Tell(signals_.sheetsChanged);
    TellFaces(-1);
}

QStringList TLabelData::LostFaces() const
{
    QStringList lost;
    for (int i = 0; i < SheetCount(); ++i) {
        const std::unique_ptr<TDocStorage> sheet = OpenSheet(i, false);
        if (!sheet->StreamExists(PreviewListName)) continue;
        TDocStreamList previews, faces;
        previews.Open(*sheet, PreviewListName);
        const bool anyFaces = sheet->StreamExists(FaceListName);
        if (anyFaces) faces.Open(*sheet, FaceListName);
        TSheetInfo info;
        try {
            ReadFramedObjectInto(*sheet, InfoStream, info);
        } catch (const EKestrel&) {
            continue;  // a damaged sheet says so when it is chosen
        }
        for (int preview = 0; preview < previews.Count(); ++preview) {
            if (!previews.Exists(preview) || previews.OpenStream(preview, ModeRead)->Size() == 0) continue;
            // Faces designed together are all drawn from the first face's stream.
            const int n = info.SeparatelyDesign() ? preview : 0;
            const bool stored = anyFaces && faces.Exists(n);
            if (stored && faces.OpenStream(n, ModeRead)->Size() > 0) continue;
            const bool named = anyFaces && n < faces.Count();
            lost << QStringLiteral("シート%1 の面%2: オブジェクトのストリーム「%3」が%4。プレビューにはオブジェクトがありますが、この面は空で開きます")
                        .arg(i + 1)
                        .arg(preview + 1)
                        .arg(named ? faces.Path(n) : sheets_->Path(i) + QStringLiteral("\\") + FaceListName)
                        .arg(stored ? QStringLiteral("空です") : QStringLiteral("ありません"));
        }
    }
    return lost;
}

}  // namespace kestrel

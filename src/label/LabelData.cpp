#include "label/LabelData.h"

#include <QBuffer>
#include <QPainter>
#include <algorithm>

#include "document/DOList.h"
#include "document/DrawObject.h"
#include "document/storage/DocNameList.h"
#include "document/storage/DocStorage.h"
#include "document/storage/DocStream.h"
#include "document/storage/FramedObjects.h"
#include "document/stream/ClassRegistry.h"
#include "document/stream/ObjectStream.h"
#include "label/DataInfo.h"
#include "label/FaceRender.h"
#include "label/SheetInfo.h"
#include "paper/PaperInfo.h"
#include "paper/PaperRecords.h"
#include "paper/PapersV2.h"
#include "paper/ProductDB.h"
#include "paper/ProductInfo.h"
#include "platform/BoundedReader.h"
#include "platform/Error.h"
#include "platform/PictureCodecs.h"
#include "platform/Rounding.h"
#include "platform/ZlibContainer.h"

namespace kestrel {

namespace {

// Qt's PNG quality: 0 compresses most, 100 not at all.
constexpr int PreviewPngQuality = 80;

// Drawn at twice the preview's size and smoothed down: as sharp as a drawing at full size, at a
// small part of its pixels.
int PreviewDpi(const TFaceGeometry& face, int previewSize)
{
    const TSheetRect outer = face.OuterRect();
    const int side = std::max(outer.Width(), outer.Height());
    if (side <= 0) return LogicalUnitsPerInch;
    return std::clamp(MulDiv(2 * previewSize, LogicalUnitsPerInch, side), 1, LogicalUnitsPerInch);
}

const QString SheetListPath = QStringLiteral("Sheets\\NameList");
const QString FaceListName = QStringLiteral("NameList");
const QString PreviewListName = QStringLiteral("Preview");
const QString InfoStream = QStringLiteral("Info");
const QString PaperInfoStream = QStringLiteral("PaperInfo");
const QString DataInfoStream = QStringLiteral("DataInfo");
constexpr int MaxSheetNameTries = 1000;

// A stored face preview: PNG, or a bitmap file when it begins with "BM". A damaged one shows as
// no preview rather than failing what only wanted to show it.
QImage DecodePreview(const QByteArray& stored)
{
    try {
        return stored.startsWith("BM") ? DecodeBmp(stored) : DecodePng(stored);
    } catch (const EKestrel&) {
        return {};
    }
}

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

TLabelObjectHooks& LabelObjectHooks()
{
    static TLabelObjectHooks hooks;
    return hooks;
}

// --- TLDObjects ------------------------------------------------------------------------------

const TClassInfo& TLDObjects::StaticClass()
{
    static const TClassInfo info("TLDObjects", &TComponent::StaticClass(), FactoryOf<TLDObjects>(), {});
    return info;
}

void TLDObjects::GetChildren(const std::function<void(TComponent&)>& proc) const
{
    const auto& isBlank = LabelObjectHooks().isBlankBackground;
    for (auto it = objects_.rbegin(); it != objects_.rend(); ++it)
        if (!isBlank || !isBlank(**it)) proc(**it);
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
    modified_ = true;
}

const QString& TLabelData::SheetName() const
{
    return info_->SheetName();
}

void TLabelData::SetSheetName(const QString& name)
{
    if (name == info_->SheetName()) return;
    info_->SetSheetName(name);
    modified_ = true;
}

void TLabelData::SetDataName(const QString& name)
{
    if (name == dataName_) return;
    dataName_ = name;
    modified_ = true;
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
    modified_ = true;
}

// --- Sheets ----------------------------------------------------------------------------------

int TLabelData::SheetCount() const
{
    return sheets_->Count();
}

std::unique_ptr<TDocStorage> TLabelData::OpenSheet(int index, bool create) const
{
    return sheets_->OpenStorage(index, create);
}

QString TLabelData::CurrentSheetPath() const
{
    return currentSheet_ < 0 ? QString() : sheets_->Path(currentSheet_);
}

void TLabelData::SelectSheet(int index)
{
    if (index < 0 || index >= SheetCount()) throw EKestrel(QStringLiteral("シート番号 %1 はありません").arg(index));
    if (index == currentSheet_) return;
    SaveSheetSettings();
    currentSheet_ = index;
    LoadSheetSettings();
}

void TLabelData::AddSheet(const QString& nameFormat)
{
    SaveSheetSettings();
    const QString name = UniqueSheetName(nameFormat);
    currentSheet_ = sheets_->AddNew();
    OpenSheet(currentSheet_, true);
    info_->SetSheetName(name);
    SaveSheetSettings();
    modified_ = true;
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
}

void TLabelData::DeleteSheet(int index)
{
    if (index < 0 || index >= SheetCount()) throw EKestrel(QStringLiteral("シート番号 %1 はありません").arg(index));
    if (SheetCount() == 1) throw EKestrel(QStringLiteral("最後のシートは削除できません"));
    if (index != currentSheet_) SaveSheetSettings();
    sheets_->Delete(index);
    modified_ = true;
    currentSheet_ = std::min(index, SheetCount() - 1);
    LoadSheetSettings();
}

void TLabelData::MoveSheet(int to)
{
    if (to < 0 || to >= SheetCount()) throw EKestrel(QStringLiteral("シート番号 %1 はありません").arg(to));
    SaveSheetSettings();
    sheets_->Move(currentSheet_, to);
    currentSheet_ = to;
    LoadSheetSettings();
    modified_ = true;
}

QStringList TLabelData::SheetNames()
{
    QStringList names;
    for (int i = 0; i < SheetCount(); ++i) {
        if (i == currentSheet_) {
            names << SheetName();
            continue;
        }
        TSheetInfo info;
        ReadFramedObjectInto(*OpenSheet(i, false), InfoStream, info);
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

void TLabelData::LoadSheetSettings()
{
    const bool wasModified = modified_;
    auto sheet = OpenSheet(currentSheet_, false);
    TSheetInfo info;
    ReadFramedObjectInto(*sheet, InfoStream, info);
    info_->Assign(info);
    if (sheet->StreamExists(PaperInfoStream)) ReadSheetPaper(*sheet);
    ReadSheetPaperRecords(*sheet, *extraInfo_, *imageInfo_);
    SetCurrentLabelNo(info_->CurrentLabelNo());
    modified_ = wasModified;
}

void TLabelData::ReadSheetPaper(TDocStorage& sheet)
{
    std::unique_ptr<TComponent> object = ReadFramedObject(sheet, PaperInfoStream);
    auto* paper = dynamic_cast<TPaperInfo*>(object.get());
    if (!paper) throw EReadError(QStringLiteral("用紙の情報が正しくありません"));
    paper->CheckLayout();
    SetSheetPaper(*paper);
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
    auto faces = OpenFaceList(FaceListName);
    faces->Truncate(FaceCount());
    SetCurrentLabelNo(CurrentLabelNo());
    modified_ = true;
}

void TLabelData::SetPaper(const TPaperInfo& paper)
{
    SetSheetPaper(paper);
    for (int n = 0; n < FaceCount(); ++n) DeletePreview(n);
}

void TLabelData::SetExtraInfo(const TExPaperInfo* info)
{
    if (info)
        extraInfo_->Assign(*info);
    else
        extraInfo_->Clear();
    modified_ = true;
}

void TLabelData::SetImageInfo(const TImagePaperInfo* info)
{
    if (info)
        imageInfo_->Assign(*info);
    else
        imageInfo_ = std::make_unique<TImagePaperInfo>();
    modified_ = true;
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

// The face's container object, checked to be one.
std::unique_ptr<TComponent> TLabelData::ReadFaceContainer(const QByteArray& stored)
{
    const QByteArray bytes = UnpackIfContainer(stored);
    TBoundedReader in(bytes);
    TReadOptions options;
    options.create = LabelObjectHooks().substituteClass;
    std::unique_ptr<TComponent> top = ReadObjectRes(in, options);
    if (!dynamic_cast<TLDObjects*>(top.get())) throw EReadError(QStringLiteral("不正なストリーム フォーマット"));
    return top;
}

void TLabelData::LoadFaceObjects(int n, TDOList& list)
{
    const QByteArray stored = ReadFaceStream(DesignFace(n));
    if (stored.isEmpty()) return;
    std::unique_ptr<TComponent> top =
        ReadingStream(OpenFaceList(FaceListName)->Path(DesignFace(n)), [&] { return ReadFaceContainer(stored); });
    auto* container = static_cast<TLDObjects*>(top.get());

    const TSheetRect outer = Face(n).OuterRect();
    const TLabelObjectHooks& hooks = LabelObjectHooks();
    TDOList read;
    for (auto& object : container->TakeChildren()) {
        object->SetName({});
        if (hooks.refreshDate) hooks.refreshDate(*object, dates_);
        if (hooks.replaceBackground)
            if (auto plain = hooks.replaceBackground(*object, outer.Width(), outer.Height())) object = std::move(plain);
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
    const auto& isBlank = LabelObjectHooks().isBlankBackground;
    const bool onlyBlank = list.Count() == 1 && isBlank && isBlank(list.Item(0));
    QByteArray bytes;
    if (!list.IsEmpty() && !onlyBlank) {
        TLDObjects container;
        container.SetObjects(list.Items());
        WriteObjectRes(bytes, "LabelData", container);
    }
    faces->OpenStream(n, ModeCreate)->WriteAll(bytes);
    modified_ = true;
    DeletePreview(n);
}

void TLabelData::RewriteFaces(const std::function<bool(TDOList&)>& change)
{
    const int current = CurrentSheet();
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
    SelectSheet(current);
}

void TLabelData::ClearFace(int n)
{
    n = DesignFace(n);
    auto faces = OpenFaceList(FaceListName);
    if (faces->Exists(n)) faces->DeleteElement(n);
    DeletePreview(n);
    modified_ = true;
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
    const TFaceGeometry geometry = Face(n);
    const QImage face = RenderFace(objects.ReleaseAll(), geometry, PreviewDpi(geometry, previewSize_));
    const QImage preview = face.isNull() ? face
                                         : face.scaled(previewSize_, previewSize_, Qt::KeepAspectRatio,
                                                       Qt::SmoothTransformation);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    // Light compression: a preview is small, and a mail merge writes one per row.
    preview.save(&buffer, "PNG", PreviewPngQuality);
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
    const int current = currentSheet_;
    for (int i = 0; i < SheetCount(); ++i) {
        SelectSheet(i);
        auto previews = OpenFaceList(PreviewListName);
        for (int n = 0; n < FaceCount(); ++n)
            if (!previews->Exists(n) && HasFaceObjects(n)) RenderPreview(n);
        CompressFaceStreams();
    }
    SelectSheet(current);
    storage_->SaveTo(path);
    modified_ = false;
}

void TLabelData::LoadFromFile(const QString& path)
{
    storage_->LoadFrom(path);
    OpenSheetList();
    currentSheet_ = -1;
    if (SheetCount() == 0) throw EKestrel(QStringLiteral("文書にシートがありません"));
    ReadDataInfo();
    sheetPaper_.reset();
    InvalidateEffectivePaper();
    LoadSheetSettings();
    loadWarnings_ = LostFaces();
    modified_ = false;
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
        ReadFramedObjectInto(*sheet, InfoStream, info);
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

bool TLabelData::ReadPreviewFromFile(const QString& path, int sheet, int face, QImage& picture, bool withOutline)
{
    const std::optional<TStoredSheet> stored = ReadSheetFromFile(path, sheet);
    if (!stored || face < 0 || face >= int(stored->previews.size())) return false;
    picture = stored->previews[face];
    if (picture.isNull() || !withOutline || !stored->paper) return !picture.isNull();

    TPaperInfo& paper = *stored->paper;
    if (face >= paper.GetFaceCount()) return true;
    paper.CheckLayout();
    TFaceGeometry geometry;
    paper.FillFaceInfo(face, geometry);
    DrawFaceOutlineOver(picture, geometry);
    return true;
}

std::optional<TStoredSheet> TLabelData::ReadSheetFromFile(const QString& path, int sheet)
{
    // The sheet list and each sheet's paper and previews; never the face objects with their pictures.
    TFileStorage file;
    file.OpenPart(path, [](const QString& stream) {
        const QStringList parts = stream.split(u'\\');
        if (parts.size() == 2) return stream == SheetListPath;
        return parts.size() == 3 && parts[0] == SheetListPath.section(u'\\', 0, 0) &&
               (parts[2] == PaperInfoStream || parts[2].startsWith(PreviewListName));
    });
    TDocStorageList sheets;
    sheets.Open(file, SheetListPath);
    if (sheet < 0 || sheet >= sheets.Count()) return std::nullopt;
    auto sheetStorage = sheets.OpenStorage(sheet, false);
    TStoredSheet stored;
    if (sheetStorage->StreamExists(PaperInfoStream)) {
        std::unique_ptr<TComponent> object = ReadFramedObject(*sheetStorage, PaperInfoStream);
        if (dynamic_cast<TPaperInfo*>(object.get()))
            stored.paper.reset(static_cast<TPaperInfo*>(object.release()));
    }
    if (sheetStorage->StreamExists(PreviewListName)) {
        TDocStreamList previews;
        previews.Open(*sheetStorage, PreviewListName);
        for (int face = 0; face < previews.Count(); ++face)
            stored.previews.push_back(previews.Exists(face) ? DecodePreview(previews.OpenStream(face, ModeRead)->ReadAll())
                                                            : QImage());
    }
    return stored;
}

}  // namespace kestrel

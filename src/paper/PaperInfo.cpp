#include "paper/PaperInfo.h"

#include "document/stream/ValueCodec.h"
#include "platform/Error.h"

namespace kestrel {

// --- TFaceLayout ---

std::optional<int> TFaceLayout::CutCenterRecord() const
{
    if (HoleSizesDiffer() || cutCenterWidth_ == DefaultCutCenter) return std::nullopt;
    return cutCenterWidth_;
}

void TFaceLayout::ReadCutCenter(int value)
{
    cutCenterWidth_ = cutCenterHeight_ = value == 0 ? DefaultCutCenter : value;
}

void TFaceLayout::ReadFaceType(int value)
{
    // Catalogues read an unknown number as a plain rectangle.
    const TFaceTypePreset preset = FaceTypePreset(value).value_or(TFaceTypePreset{fsRect, {}});
    faceShape_ = preset.shape;
    facePurpose_ = preset.purpose;
}

void TFaceLayout::DefineLayoutRecords(TFiler& filer)
{
    filer.DefineProperty("FaceType", [this](TReader& reader) { ReadFaceType(reader.ReadInteger()); }, {}, false);
    const std::optional<int> cutCenter = CutCenterRecord();
    filer.DefineProperty(
        "CutCenter", [this](TReader& reader) { ReadCutCenter(reader.ReadInteger()); },
        [cutCenter](TWriter& writer) { writer.WriteInteger(*cutCenter); }, cutCenter.has_value());
}

TFaceGeometry TFaceLayout::Geometry(const TSheetRect& rect) const
{
    TFaceGeometry face;
    face.rect = rect;
    face.margin = faceMargin_;
    face.shape = faceShape_;
    face.purpose = NormalizePurpose(facePurpose_);
    face.centerShape = centerShape_;
    face.roundSize = roundSize_;
    face.cutCenterWidth = cutCenterWidth_;
    face.cutCenterHeight = cutCenterHeight_;
    return face;
}

void TFaceLayout::CheckLayoutValues(const QString& owner) const
{
    CheckFileValue(owner, "FaceMargin", faceMargin_, 0, MaxFileLength);
    CheckFileValue(owner, "RoundSize", roundSize_, 0, MaxFileLength);
    CheckFileValue(owner, "CutCenterWidth", cutCenterWidth_, 0, MaxFileLength);
    CheckFileValue(owner, "CutCenterHeight", cutCenterHeight_, 0, MaxFileLength);
    CheckFileValue(owner, "FaceShape", faceShape_, fsRect, fsBarrelCD);
    CheckFileValue(owner, "CenterShape", centerShape_, csEllipse, csBarrel);
}

void CheckFileValue(const QString& paperName, const char* property, int64_t value, int64_t min, int64_t max)
{
    if (value >= min && value <= max) return;
    throw EReadError(QStringLiteral("用紙「%1」の %2 の値 %3 が範囲外です(%4～%5)")
                         .arg(paperName, QLatin1String(property))
                         .arg(value)
                         .arg(min)
                         .arg(max));
}

// --- TPaperInfo ---

const TClassInfo& TPaperInfo::StaticClass()
{
    static const TClassInfo info("TPaperInfo", &TComponent::StaticClass(), {}, [] {
        return TPropsOf<TPaperInfo>()
            .Bool("Landscape", &TPaperInfo::Landscape, &TPaperInfo::SetLandscape, NoDefault)
            .Int("Width", &TPaperInfo::Width, &TPaperInfo::SetWidth, NoDefault)
            .Int("Height", &TPaperInfo::Height, &TPaperInfo::SetHeight, NoDefault)
            .String("PaperName", &TPaperInfo::PaperName, &TPaperInfo::SetPaperName)
            .String("GroupName", &TPaperInfo::GroupName, &TPaperInfo::SetGroupName)
            .Bool("ReadOnly", &TPaperInfo::ReadOnly, &TPaperInfo::SetReadOnly, NoDefault)
            .Collection("PurposeList", &TPaperInfo::PurposeList)
            .StoredIf([](const TPaperInfo& p) { return p.StorePurposes(); })
            .Done();
    });
    return info;
}

QSize TPaperInfo::GetCutCenterSize(int index) const
{
    const TFaceLayout& layout = Layout(index);
    return {layout.CutCenterWidth(), layout.CutCenterHeight()};
}

TSheetRect TPaperInfo::GetFaceOuterRect(int index) const
{
    const TSheetRect outer = GetFaceRect(index).Inflated(GetFaceMargin(index));
    return landscape_ ? TurnLandscape(outer, portraitWidth_) : outer;
}

void TPaperInfo::FillFaceInfo(int index, TFaceGeometry& face) const
{
    face = Layout(index).Geometry(GetFaceRect(index));
    if (!landscape_) return;
    face.rect = TurnLandscape(face.rect, portraitWidth_);
    std::swap(face.cutCenterWidth, face.cutCenterHeight);
}

int TPaperInfo::FirstFaceOutsidePaper() const
{
    const TSheetRect sheet{0, 0, Width(), Height()};
    for (int i = 0; i < GetFaceCount(); ++i)
        if (!sheet.Contains(GetFaceOuterRect(i))) return i;
    return -1;
}

int TPaperInfo::FirstOverlappingFace() const
{
    // Testing against each earlier face whose box meets this one is the same as testing against
    // their union, and keeps large grids fast.
    std::vector<std::pair<QRect, QRegion>> earlier;
    for (int i = 0; i < GetFaceCount(); ++i) {
        TFaceGeometry face;
        FillFaceInfo(i, face);
        const QRect box = face.OuterRect().ToQRect();
        const QRegion region = FaceRegion(face, false);
        for (const auto& [otherBox, otherRegion] : earlier)
            if (otherBox.intersects(box) && otherRegion.intersects(region)) return i;
        earlier.emplace_back(box, region);
    }
    return -1;
}

void TPaperInfo::CheckLayout() const
{
    CheckFileValue(paperName_, "Width", portraitWidth_, 1, MaxFileLength);
    CheckFileValue(paperName_, "Height", portraitHeight_, 1, MaxFileLength);
}

void TPaperInfo::CheckIndex(int index) const
{
    if (index < 0 || index >= GetFaceCount())
        throw EKestrel(QStringLiteral("用紙「%1」にラベル番号 %2 はありません").arg(paperName_).arg(index));
}

void TPaperInfo::Assign(const TPersistent& source)
{
    auto* other = dynamic_cast<const TPaperInfo*>(&source);
    if (!other) return TComponent::Assign(source);
    // Sizes are copied as stored (portrait), not through the setters, which turn them.
    SetTag(other->Tag());
    portraitWidth_ = other->portraitWidth_;
    portraitHeight_ = other->portraitHeight_;
    paperName_ = other->paperName_;
    groupName_ = other->groupName_;
    readOnly_ = other->readOnly_;
    landscape_ = other->landscape_;
    purposeList_ = other->purposeList_;
}

std::unique_ptr<TPaperInfo> TPaperInfo::Clone() const
{
    std::unique_ptr<TPersistent> created = ClassInfo().Create();
    auto* paper = dynamic_cast<TPaperInfo*>(created.get());
    if (!paper) throw EKestrel(QStringLiteral("用紙 %1 を複製できません").arg(QString::fromLatin1(ClassName())));
    paper->Assign(*this);
    created.release();
    return std::unique_ptr<TPaperInfo>(paper);
}

// --- TMatrixPaperInfo ---

namespace {

// The face properties a matrix paper and a free face item share, in their stream order.
template <class C>
TPropsOf<C>& AddLayoutShapeAndPurpose(TPropsOf<C>& props)
{
    return props.Enum("FaceShape", FaceShapeInfo(), &TFaceLayout::FaceShape, &TFaceLayout::SetFaceShape, NoDefault)
        .String("FacePurpose", &TFaceLayout::FacePurpose, &TFaceLayout::SetFacePurpose);
}

template <class C>
TPropsOf<C>& AddLayoutHoleAndCorners(TPropsOf<C>& props)
{
    const auto differ = [](const C& c) { return c.HoleSizesDiffer(); };
    return props.Int("RoundSize", &TFaceLayout::RoundSize, &TFaceLayout::SetRoundSize, DefaultRoundSize)
        .Enum("CenterShape", CenterShapeInfo(), &TFaceLayout::CenterShape, &TFaceLayout::SetCenterShape, csEllipse)
        .Int("CutCenterWidth", &TFaceLayout::CutCenterWidth, &TFaceLayout::SetCutCenterWidth, DefaultCutCenter)
        .StoredIf(differ)
        .Int("CutCenterHeight", &TFaceLayout::CutCenterHeight, &TFaceLayout::SetCutCenterHeight, DefaultCutCenter)
        .StoredIf(differ);
}

}  // namespace

const TClassInfo& TMatrixPaperInfo::StaticClass()
{
    using M = TMatrixPaperInfo;
    static const TClassInfo info("TMatrixPaperInfo", &TPaperInfo::StaticClass(), FactoryOf<M>(), [] {
        TPropsOf<M> props;
        props.Int("TopOffset", &M::TopOffset, &M::SetTopOffset, NoDefault)
            .Int("LeftOffset", &M::LeftOffset, &M::SetLeftOffset, NoDefault)
            .Int("BottomMargin", &M::BottomMargin, &M::SetBottomMargin, NoDefault)
            .Int("RightMargin", &M::RightMargin, &M::SetRightMargin, NoDefault)
            .Int("FaceWidth", &M::FaceWidth, &M::SetFaceWidth, NoDefault)
            .Int("FaceHeight", &M::FaceHeight, &M::SetFaceHeight, NoDefault)
            .Int("FaceCountX", &M::FaceCountX, &M::SetFaceCountX, NoDefault)
            .Int("FaceCountY", &M::FaceCountY, &M::SetFaceCountY, NoDefault);
        AddLayoutShapeAndPurpose(props).Int("FaceMargin", &TFaceLayout::FaceMargin, &TFaceLayout::SetFaceMargin, NoDefault);
        AddLayoutHoleAndCorners(props);
        return props.Done();
    });
    return info;
}

TSheetRect TMatrixPaperInfo::GetFaceRect(int index) const
{
    CheckIndex(index);
    const int column = index % faceCountX_, row = index / faceCountX_;
    const int left = column * (faceWidth_ + rightMargin_) + leftOffset_;
    const int top = row * (faceHeight_ + bottomMargin_) + topOffset_;
    return {left, top, left + faceWidth_, top + faceHeight_};
}

const TFaceLayout& TMatrixPaperInfo::Layout(int index) const
{
    CheckIndex(index);
    return *this;
}

void TMatrixPaperInfo::CheckLayout() const
{
    TPaperInfo::CheckLayout();
    const QString& name = PaperName();
    CheckFileValue(name, "TopOffset", topOffset_, 0, MaxFileLength);
    CheckFileValue(name, "LeftOffset", leftOffset_, 0, MaxFileLength);
    CheckFileValue(name, "BottomMargin", bottomMargin_, 0, MaxFileLength);
    CheckFileValue(name, "RightMargin", rightMargin_, 0, MaxFileLength);
    CheckFileValue(name, "FaceWidth", faceWidth_, 1, MaxFileLength);
    CheckFileValue(name, "FaceHeight", faceHeight_, 1, MaxFileLength);
    CheckFileValue(name, "FaceCountX", faceCountX_, 0, MaxFaceCountPerAxis);
    CheckFileValue(name, "FaceCountY", faceCountY_, 0, MaxFaceCountPerAxis);
    CheckLayoutValues(name);
}

void TMatrixPaperInfo::Assign(const TPersistent& source)
{
    TPaperInfo::Assign(source);
    auto* other = dynamic_cast<const TMatrixPaperInfo*>(&source);
    if (!other) return;
    topOffset_ = other->topOffset_;
    leftOffset_ = other->leftOffset_;
    bottomMargin_ = other->bottomMargin_;
    rightMargin_ = other->rightMargin_;
    faceWidth_ = other->faceWidth_;
    faceHeight_ = other->faceHeight_;
    faceCountX_ = other->faceCountX_;
    faceCountY_ = other->faceCountY_;
    AssignLayout(*other);
}

void TMatrixPaperInfo::DefineProperties(TFiler& filer)
{
    TPaperInfo::DefineProperties(filer);
    DefineLayoutRecords(filer);
}

// --- TFaceItem, TFaces ---

const TClassInfo& TFaceItem::StaticClass()
{
    using F = TFaceItem;
    static const TClassInfo info("TFaceItem", &TCollectionItem::StaticClass(), FactoryOf<F>(), [] {
        TPropsOf<F> props;
        props.Int("Left", &F::Left, &F::SetLeft, NoDefault)
            .Int("Top", &F::Top, &F::SetTop, NoDefault)
            .Int("Width", &F::Width, &F::SetWidth, NoDefault)
            .Int("Height", &F::Height, &F::SetHeight, NoDefault)
            .Int("FaceMargin", &TFaceLayout::FaceMargin, &TFaceLayout::SetFaceMargin, NoDefault);
        AddLayoutShapeAndPurpose(props);
        AddLayoutHoleAndCorners(props);
        return props.Done();
    });
    return info;
}

void TFaceItem::SetLeft(int left)
{
    rect_.right += left - rect_.left;
    rect_.left = left;
}

void TFaceItem::SetTop(int top)
{
    rect_.bottom += top - rect_.top;
    rect_.top = top;
}

void TFaceItem::Assign(const TPersistent& source)
{
    auto* other = dynamic_cast<const TFaceItem*>(&source);
    if (!other) return TCollectionItem::Assign(source);
    rect_ = other->rect_;
    AssignLayout(*other);
}

void TFaceItem::DefineProperties(TFiler& filer)
{
    TCollectionItem::DefineProperties(filer);
    DefineLayoutRecords(filer);
}

const TClassInfo& TFaces::StaticClass()
{
    static const TClassInfo info("TFaces", &TCollection::StaticClass(), FactoryOf<TFaces>(), {});
    return info;
}

TFaces::TFaces() : TCollection([] { return std::make_unique<TFaceItem>(); }) {}

void TFaces::Delete(int i)
{
    TFaces kept;
    for (int j = 0; j < Count(); ++j)
        if (j != i) kept.Add().Assign(Item(j));
    TCollection::Assign(kept);
}

// --- TFreePaperInfo ---

const TClassInfo& TFreePaperInfo::StaticClass()
{
    static const TClassInfo info("TFreePaperInfo", &TPaperInfo::StaticClass(), FactoryOf<TFreePaperInfo>(), [] {
        return TPropsOf<TFreePaperInfo>().Collection("Faces", &TFreePaperInfo::Faces).Done();
    });
    return info;
}

TSheetRect TFreePaperInfo::GetFaceRect(int index) const
{
    CheckIndex(index);
    return faces_.Item(index).Rect();
}

const TFaceLayout& TFreePaperInfo::Layout(int index) const
{
    CheckIndex(index);
    return faces_.Item(index);
}

void TFreePaperInfo::CheckLayout() const
{
    TPaperInfo::CheckLayout();
    const QString& name = PaperName();
    CheckFileValue(name, "Faces", faces_.Count(), 0, MaxFreeFaceCount);
    for (int i = 0; i < faces_.Count(); ++i) {
        const TFaceItem& face = faces_.Item(i);
        CheckFileValue(name, "Left", face.Left(), 0, MaxFileLength);
        CheckFileValue(name, "Top", face.Top(), 0, MaxFileLength);
        CheckFileValue(name, "Width", face.Width(), 1, MaxFileLength);
        CheckFileValue(name, "Height", face.Height(), 1, MaxFileLength);
        face.CheckLayoutValues(name);
    }
}

void TFreePaperInfo::Assign(const TPersistent& source)
{
    TPaperInfo::Assign(source);
    if (auto* other = dynamic_cast<const TFreePaperInfo*>(&source)) faces_.Assign(other->faces_);
}

}  // namespace kestrel

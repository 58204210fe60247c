#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "document/stream/Persistent.h"
#include "paper/FaceGeometry.h"
#include "paper/Purpose.h"

namespace kestrel {

inline constexpr int DefaultRoundSize = 100;
inline constexpr int DefaultCutCenter = 410;

// Shape, purpose, bleed, hole and corners: what a matrix paper gives all its faces and a free
// face item has for itself.
class TFaceLayout {
public:
    TFaceShape FaceShape() const { return faceShape_; }
    void SetFaceShape(TFaceShape shape) { faceShape_ = shape; }
    const QString& FacePurpose() const { return facePurpose_; }
    void SetFacePurpose(const QString& purpose) { facePurpose_ = purpose; }
    int FaceMargin() const { return faceMargin_; }
    void SetFaceMargin(int margin) { faceMargin_ = margin; }
    int RoundSize() const { return roundSize_; }
    void SetRoundSize(int size) { roundSize_ = size; }
    TCenterShape CenterShape() const { return centerShape_; }
    void SetCenterShape(TCenterShape shape) { centerShape_ = shape; }
    int CutCenterWidth() const { return cutCenterWidth_; }
    void SetCutCenterWidth(int w) { cutCenterWidth_ = w; }
    int CutCenterHeight() const { return cutCenterHeight_; }
    void SetCutCenterHeight(int h) { cutCenterHeight_ = h; }

    // The hole properties are written only for an unequal hole; an equal one that differs
    // from the default goes into the "CutCenter" record.
    bool HoleSizesDiffer() const { return cutCenterWidth_ != cutCenterHeight_; }
    std::optional<int> CutCenterRecord() const;
    void ReadCutCenter(int value);
    // "FaceType" of older catalogues: shape and purpose in one number.
    void ReadFaceType(int value);
    // The custom records of the classes holding a layout: "FaceType" (read only) and "CutCenter".
    void DefineLayoutRecords(TFiler& filer);

    TFaceGeometry Geometry(const TSheetRect& rect) const;
    void AssignLayout(const TFaceLayout& other) { *this = other; }

    // Range checks for values read from a file; `owner` names the paper in the message.
    void CheckLayoutValues(const QString& owner) const;

private:
    TFaceShape faceShape_ = fsRect;
    QString facePurpose_;
    int faceMargin_ = 0;
    int roundSize_ = DefaultRoundSize;
    TCenterShape centerShape_ = csEllipse;
    int cutCenterWidth_ = DefaultCutCenter;
    int cutCenterHeight_ = DefaultCutCenter;
};

// Largest length accepted from a file (1000 mm) and the largest face count per axis.
inline constexpr int MaxFileLength = 10000;
inline constexpr int MaxFaceCountPerAxis = 99;
inline constexpr int MaxFreeFaceCount = MaxFaceCountPerAxis * MaxFaceCountPerAxis;

// Fails with a message naming the paper and the property when value is outside min..max.
void CheckFileValue(const QString& paperName, const char* property, int64_t value, int64_t min, int64_t max);

// One paper: a sheet or medium of fixed size holding one or more faces.
class TPaperInfo : public TComponent {
    KESTREL_PERSISTENT()
public:
    // The size as used: turned when Landscape is set.
    int Width() const { return landscape_ ? portraitHeight_ : portraitWidth_; }
    void SetWidth(int w) { (landscape_ ? portraitHeight_ : portraitWidth_) = w; }
    int Height() const { return landscape_ ? portraitWidth_ : portraitHeight_; }
    void SetHeight(int h) { (landscape_ ? portraitWidth_ : portraitHeight_) = h; }
    int PortraitWidth() const { return portraitWidth_; }
    int PortraitHeight() const { return portraitHeight_; }
    void SetPortraitSize(int w, int h) { portraitWidth_ = w, portraitHeight_ = h; }

    const QString& PaperName() const { return paperName_; }
    void SetPaperName(const QString& name) { paperName_ = name; }
    const QString& GroupName() const { return groupName_; }
    void SetGroupName(const QString& name) { groupName_ = name; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool Landscape() const { return landscape_; }
    void SetLandscape(bool landscape) { landscape_ = landscape; }
    TPurposeList* PurposeList() { return &purposeList_; }
    const TPurposeList& Purposes() const { return purposeList_; }
    bool StorePurposes() const { return storePurposes_; }
    void SetStorePurposes(bool store) { storePurposes_ = store; }

    // Face queries; index is 0-based, rectangles are portrait and without margin.
    virtual int GetFaceCount() const = 0;
    virtual TSheetRect GetFaceRect(int index) const = 0;
    TFaceShape GetFaceShape(int index) const { return Layout(index).FaceShape(); }
    QString GetFacePurpose(int index) const { return NormalizePurpose(Layout(index).FacePurpose()); }
    int GetFaceMargin(int index) const { return Layout(index).FaceMargin(); }
    QSize GetCutCenterSize(int index) const;
    int GetRoundSize(int index) const { return Layout(index).RoundSize(); }
    TCenterShape GetCenterShape(int index) const { return Layout(index).CenterShape(); }

    // The face rectangle grown by its margin, turned to the sheet when Landscape is set.
    TSheetRect GetFaceOuterRect(int index) const;
    // The face as it lies on the sheet (turned, hole sizes swapped, when Landscape is set).
    void FillFaceInfo(int index, TFaceGeometry& face) const;
    // Index of the first face whose outer rectangle leaves the sheet, or -1.
    int FirstFaceOutsidePaper() const;
    // Index of the first face whose region (with margin, hole ignored) meets an earlier face, or -1.
    int FirstOverlappingFace() const;

    // Checks the counts and lengths read from a file; fails with a message naming the paper.
    virtual void CheckLayout() const;

    void Assign(const TPersistent& source) override;
    // A new instance of the same class holding the same paper.
    std::unique_ptr<TPaperInfo> Clone() const;

protected:
    virtual const TFaceLayout& Layout(int index) const = 0;
    void CheckIndex(int index) const;

private:
    int portraitWidth_ = 0;
    int portraitHeight_ = 0;
    QString paperName_;
    QString groupName_;
    bool readOnly_ = false;
    bool landscape_ = false;
    TPurposeList purposeList_;
    bool storePurposes_ = false;
};

// Faces laid out as a grid of equal faces.
class TMatrixPaperInfo : public TPaperInfo, public TFaceLayout {
    KESTREL_PERSISTENT()
public:
    int TopOffset() const { return topOffset_; }
    void SetTopOffset(int v) { topOffset_ = v; }
    int LeftOffset() const { return leftOffset_; }
    void SetLeftOffset(int v) { leftOffset_ = v; }
    int BottomMargin() const { return bottomMargin_; }
    void SetBottomMargin(int v) { bottomMargin_ = v; }
    int RightMargin() const { return rightMargin_; }
    void SetRightMargin(int v) { rightMargin_ = v; }
    int FaceWidth() const { return faceWidth_; }
    void SetFaceWidth(int v) { faceWidth_ = v; }
    int FaceHeight() const { return faceHeight_; }
    void SetFaceHeight(int v) { faceHeight_ = v; }
    int FaceCountX() const { return faceCountX_; }
    void SetFaceCountX(int v) { faceCountX_ = v; }
    int FaceCountY() const { return faceCountY_; }
    void SetFaceCountY(int v) { faceCountY_ = v; }

    int GetFaceCount() const override { return faceCountX_ * faceCountY_; }
    TSheetRect GetFaceRect(int index) const override;
    void CheckLayout() const override;
    void Assign(const TPersistent& source) override;
    void DefineProperties(TFiler& filer) override;

protected:
    const TFaceLayout& Layout(int index) const override;

private:
    int topOffset_ = 0;
    int leftOffset_ = 0;
    int bottomMargin_ = 0;
    int rightMargin_ = 0;
    int faceWidth_ = 0;
    int faceHeight_ = 0;
    int faceCountX_ = 0;
    int faceCountY_ = 0;
};

// One freely placed face.
class TFaceItem : public TCollectionItem, public TFaceLayout {
    KESTREL_PERSISTENT()
public:
    int Left() const { return rect_.left; }
    void SetLeft(int left);  // moves the rectangle, keeping its size
    int Top() const { return rect_.top; }
    void SetTop(int top);
    int Width() const { return rect_.Width(); }
    void SetWidth(int width) { rect_.right = rect_.left + width; }
    int Height() const { return rect_.Height(); }
    void SetHeight(int height) { rect_.bottom = rect_.top + height; }
    const TSheetRect& Rect() const { return rect_; }
    void SetRect(const TSheetRect& rect) { rect_ = rect; }

    void Assign(const TPersistent& source) override;
    void DefineProperties(TFiler& filer) override;

private:
    TSheetRect rect_;
};

class TFaces : public TCollection {
    KESTREL_PERSISTENT()
public:
    TFaces();
    TFaceItem& Item(int i) const { return static_cast<TFaceItem&>(TCollection::Item(i)); }
    TFaceItem& Add() { return static_cast<TFaceItem&>(TCollection::Add()); }
    void Delete(int i);
};

// Faces placed individually.
class TFreePaperInfo : public TPaperInfo {
    KESTREL_PERSISTENT()
public:
    TFaces* Faces() { return &faces_; }
    const TFaces& FaceList() const { return faces_; }

    int GetFaceCount() const override { return faces_.Count(); }
    TSheetRect GetFaceRect(int index) const override;
    void CheckLayout() const override;
    void Assign(const TPersistent& source) override;

protected:
    const TFaceLayout& Layout(int index) const override;

private:
    TFaces faces_;
};

}  // namespace kestrel

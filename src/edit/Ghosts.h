#pragma once

// The ghosts of object drags: each holds a private copy of its object, changes only the copy
// while the pointer moves and hands the copy's state to the object on release.

#include <QString>
#include <memory>

#include "edit/GhostList.h"
#include "edit/MoveModes.h"

namespace kestrel {

class TDrawObject;
class TLORectBase;
class IDOLine;
class IDOCurve;

// The handle code of rotation.
inline constexpr int RotateHandle = 8;

class TUniversalGhost : public TGhost {
public:
    // handle: -2 create, -1 move, 0..7 a handle, 8 rotate. An empty caption applies without an
    // undo record.
    TUniversalGhost(TDrawObject& object, int handle, QString caption);
    ~TUniversalGhost() override;

    TDrawObject& Object() const { return object_; }
    TDrawObject& Copy() const { return *copy_; }
    int Handle() const { return handle_; }
    const QString& Caption() const { return caption_; }

    void Start(QPoint point) override { startPoint_ = point; }
    // The copy's outline.
    void Draw(TCanvas& canvas) override;
    // Assigns the copy to the object, recorded under the caption.
    void Apply(TShiftState shift) override;
    TRect DrawnArea() const override;
    // The copy's own rectangle; its angle on the rotation handle or when a move turns it.
    std::optional<TDraggedShape> DraggedShape() const override;

protected:
    QPoint StartPoint() const { return startPoint_; }
    // The point moved by the snap found for it.
    QPoint Snapped(QPoint p) const;

private:
    TDrawObject& object_;
    std::unique_ptr<TDrawObject> copy_;
    int handle_;
    QString caption_;
    QPoint startPoint_;
};

class TMoveGhost : public TUniversalGhost {
public:
    // The ghost keeps its own copy of the move settings.
    TMoveGhost(TDrawObject& object, const TMoveSettings& settings);

    void Move(TShiftState shift, QPoint offset) override;
    // In circumference mode also the circle and the ray the object moves on.
    void Draw(TCanvas& canvas) override;
    // Ctrl drops a copy instead of moving the object.
    void Apply(TShiftState shift) override;
    TRect DrawnArea() const override;

protected:
    virtual TMoveSettings Modes(TShiftState shift) const;
    virtual bool DropsCopies() const { return true; }

private:
    QPoint DiscCentre() const;
    void PlaceCopy(const TMoveResult& result);
    bool CopyDiffers() const;
    void DropCopy();
    void DrawDiscGuide(TCanvas& canvas) const;

    TMoveSettings settings_;
};

// A move without modes and without drag copies.
class TSimpleMoveGhost : public TMoveGhost {
public:
    explicit TSimpleMoveGhost(TDrawObject& object) : TMoveGhost(object, {}) {}

protected:
    TMoveSettings Modes(TShiftState) const override { return {}; }
    bool DropsCopies() const override { return false; }
};

// Resizes a rectangle-based object by one of its eight handles, in the object's own frame.
class TRectGhost : public TUniversalGhost {
public:
    // Below this a side stops shrinking.
    static constexpr int MinimumSide = 10;

    TRectGhost(TLORectBase& object, int handle);
    void Move(TShiftState shift, QPoint offset) override;

private:
    TLORectBase& rect_;
};

// Turns an object about the centre of its bounds by the angle the pointer swept.
class TRotateGhost : public TUniversalGhost {
public:
    explicit TRotateGhost(TDrawObject& object);
    void Move(TShiftState shift, QPoint offset) override;
};

// Moves one end of a line (handle 0 the start, 1 the end).
class TLineGhost : public TUniversalGhost {
public:
    TLineGhost(TDrawObject& object, int handle);
    void Move(TShiftState shift, QPoint offset) override;
};

// Drags the middle of an arc (its bulge handle).
class TCurveGhost : public TUniversalGhost {
public:
    explicit TCurveGhost(TDrawObject& object);
    void Move(TShiftState shift, QPoint offset) override;
};

// Draws out an object that the site holds hidden until the release. A creation that ends
// without a shape (a click, a drag back to the start) takes the object off the site again.
class TCreateGhost : public TUniversalGhost {
public:
    explicit TCreateGhost(TDrawObject& object);
    ~TCreateGhost() override;

    void Start(QPoint point) override;
    void Move(TShiftState shift, QPoint offset) override;
    void Apply(TShiftState shift) override;

protected:
    // Gives the copy the shape spanned by the two points.
    virtual void Shape(QPoint from, QPoint to) = 0;
    virtual bool HasExtent() const = 0;

private:
    bool applied_ = false;
};

class TRectCreateGhost : public TCreateGhost {
public:
    explicit TRectCreateGhost(TLORectBase& object);

protected:
    void Shape(QPoint from, QPoint to) override;
    bool HasExtent() const override;

private:
    TLORectBase& copyRect_;
};

class TLineCreateGhost : public TCreateGhost {
public:
    explicit TLineCreateGhost(TDrawObject& object);

protected:
    void Shape(QPoint from, QPoint to) override;
    bool HasExtent() const override;
    IDOLine& CopyLine() const { return copyLine_; }

private:
    IDOLine& copyLine_;
};

// An arc drawn out from end to end, bulging by a quarter of its chord whatever its length.
class TCurveCreateGhost : public TLineCreateGhost {
public:
    explicit TCurveCreateGhost(TDrawObject& object);

protected:
    void Shape(QPoint from, QPoint to) override;
};

}  // namespace kestrel

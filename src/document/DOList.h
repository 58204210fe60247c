#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>
#include <QString>
#include <memory>
#include <vector>

#include "platform/Geometry.h"

namespace kestrel {

class TBoundedReader;
class TDrawObject;
class TObjectSite;

// A new object of the same class assigned from the original, keeping its component name.
std::unique_ptr<TDrawObject> CloneObject(const TDrawObject& object);

// An ordered list of draw objects. It refers to objects owned elsewhere, except those it read
// from a stream, which it owns until they are released.
class TDOList {
public:
    TDOList() = default;
    TDOList(TDOList&&) = default;
    TDOList& operator=(TDOList&&) = default;
    ~TDOList();

    int Count() const { return static_cast<int>(items_.size()); }
    bool IsEmpty() const { return items_.empty(); }
    TDrawObject& Item(int index) const { return *items_.at(index); }
    const std::vector<TDrawObject*>& Items() const { return items_; }
    void Add(TDrawObject& object) { items_.push_back(&object); }
    void Add(std::unique_ptr<TDrawObject> object);
    void Clear();
    bool OwnsAny() const { return !owned_.empty(); }
    // Hands the owned objects over in list order and empties the list.
    std::vector<std::unique_ptr<TDrawObject>> ReleaseAll();
    // Hands one owned object over; it stays listed. Null when the list does not own it.
    std::unique_ptr<TDrawObject> Release(TDrawObject& object);
    // Frees the objects the list owns and empties it.
    void FreeAll() { Clear(); }
    void Reverse();

    // int32 count, then one component stream per object.
    void SaveToStream(QByteArray& out) const;
    // Empties the list first; objects are created through the designer registry, and anything
    // that is not a draw object is dropped. The list owns what it read.
    void LoadFromStream(TBoundedReader& in);
    void LoadFromBytes(QByteArrayView bytes);

    // Copies of the objects go onto the clipboard under the named format.
    void ClipboardCopy(const QString& format) const;
    // False when the clipboard holds nothing of that format; damaged data fails with a read error.
    bool ClipboardPaste(const QString& format);

private:
    std::vector<TDrawObject*> items_;
    std::vector<std::unique_ptr<TDrawObject>> owned_;
};

// Maps every object that has bounds from one rectangle onto another, proportionally; an axis on
// which the source rectangle has no extent is only shifted.
void ScaleObjects(const TDOList& list, const TRect& from, const TRect& to);
// Objects whose centre is less than 10 units inside the rectangle are moved 10 units inside.
void KeepCentresInside(const TDOList& list, const TRect& rect);
// Logical size of a picture placed at 180 pixels per inch, at least 30 units each way.
QSize DefaultPictureSize(QSize pixels);
// Fits a new object into the site's placement area and centres it where the site places new
// objects, inside that area.
void PlaceNewObject(TDrawObject& object, const TObjectSite& site);

}  // namespace kestrel

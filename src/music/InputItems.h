#pragma once

// The input items of a template: text objects that carry an input caption (the wizard texts),
// one item per caption. An album fills the items whose caption names an album field, a track
// field or a range of tracks ("曲名3", "曲名2～4").

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace kestrel {

class TAlbumInfo;
class TComponent;
class TDOList;
class TLOText;

struct TInputItem {
    QString name;
    QStringList text;
    // The item's text had exactly one line when it was collected.
    bool singleLine = false;
    struct TTarget {
        int face;
        TLOText* object;
    };
    std::vector<TTarget> targets;
};

// The caption of a text object that asks for input; empty for any other object.
QString InputCaption(const TComponent& object);

// Adds the input items of one face's objects (group members included) to items, in object
// order; an object whose caption an item already has joins that item.
void CollectInputItems(int face, const TDOList& objects, std::vector<TInputItem>& items);

// Fills the items from the album; an album without tracks changes nothing.
void FillInputItems(const TAlbumInfo& album, std::vector<TInputItem>& items);

// Gives every target object its item's text; change wraps each object's change (for undo).
void WriteInputItems(const std::vector<TInputItem>& items,
                     const std::function<void(TLOText&, const std::function<void()>&)>& change = {});

// What a range after an item's prefix says: tracks first..last (from 1), or none.
struct TTrackRange {
    int first = -1;
    int last = -1;
    bool Valid() const { return first >= 0; }
};
TTrackRange ParseTrackRange(const QString& text);

}  // namespace kestrel

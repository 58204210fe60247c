#pragma once

#include <QString>

namespace kestrel {

class TActionList;
class TDOList;
class TExPaperInfo;
class TImagePaperInfo;
class TLabelData;
class TPaperInfo;

// The sheet operations of a document as undoable steps: each runs the operation on the document
// and records it in the history. Undoing puts the sheets back as they were, faces, previews and
// paper records included.
class TSheetEditing {
public:
    TSheetEditing(TLabelData& document, TActionList& history) : document_(document), history_(history) {}

    void NewSheet();
    void DuplicateSheet();
    void DeleteSheet(int index);
    // The current sheet goes to position to.
    void MoveSheet(int to);
    void RenameSheet(const QString& name);
    // The current sheet's paper and its paper records (none clears them).
    void ChangePaper(const TPaperInfo& paper, const TExPaperInfo* extra, const TImagePaperInfo* images);
    // Face n of the current sheet holds these objects (front to back) instead of its own, as one
    // step named caption.
    void ReplaceFaceObjects(int face, const TDOList& frontToBack, const QString& caption);

private:
    void AddedSheet(const QString& caption, int previous);

    TLabelData& document_;
    TActionList& history_;
};

}  // namespace kestrel

#include "label/SheetEditing.h"

#include <memory>

#include "document/ActionList.h"
#include "label/LabelData.h"

namespace kestrel {

namespace {
class TSheetAction : public TActionBase {
protected:
    TSheetAction(TLabelData& document, QString caption)
        : TActionBase(afUndoable | afRedoable, std::move(caption)), document_(document)
    {
    }
    TLabelData& Document() const { return document_; }

private:
    TLabelData& document_;
};

// A sheet that was added at index; undone, it goes (kept for the redo) and the sheet that was
// current before comes back.
class TSheetAddAction : public TSheetAction {
public:
    TSheetAddAction(TLabelData& document, QString caption, int index, int previous)
        : TSheetAction(document, std::move(caption)), index_(index), previous_(previous)
    {
    }
    void Undo() override
    {
        added_ = Document().CaptureSheet(index_);
        Document().DeleteSheet(index_);
        Document().SelectSheet(previous_);
    }
    void Redo() override { Document().InsertSheet(index_, added_); }

private:
    int index_;
    int previous_;
    TSheetSnapshot added_;
};

class TSheetDeleteAction : public TSheetAction {
public:
    TSheetDeleteAction(TLabelData& document, int index, TSheetSnapshot deleted)
        : TSheetAction(document, QStringLiteral("シートの削除")), index_(index), deleted_(std::move(deleted))
    {
    }
    void Undo() override { Document().InsertSheet(index_, deleted_); }
    void Redo() override { Document().DeleteSheet(index_); }

private:
    int index_;
    TSheetSnapshot deleted_;
};

class TSheetMoveAction : public TSheetAction {
public:
    TSheetMoveAction(TLabelData& document, int from, int to)
        : TSheetAction(document, QStringLiteral("シートの移動")), from_(from), to_(to)
    {
    }
    void Undo() override { Move(to_, from_); }
    void Redo() override { Move(from_, to_); }

private:
    void Move(int from, int to)
    {
        Document().SelectSheet(from);
        Document().MoveSheet(to);
    }

    int from_;
    int to_;
};

class TSheetRenameAction : public TSheetAction {
public:
    TSheetRenameAction(TLabelData& document, int index, QString before, QString after)
        : TSheetAction(document, QStringLiteral("シート名の変更")),
          index_(index),
          before_(std::move(before)),
          after_(std::move(after))
    {
    }
    void Undo() override { Rename(before_); }
    void Redo() override { Rename(after_); }

private:
    void Rename(const QString& name)
    {
        Document().SelectSheet(index_);
        Document().SetSheetName(name);
    }

    int index_;
    QString before_;
    QString after_;
};

// Everything a sheet held before and after a change that may drop faces (a new paper).
class TSheetContentAction : public TSheetAction {
public:
    TSheetContentAction(TLabelData& document, QString caption, int index, TSheetSnapshot before,
                        TSheetSnapshot after)
        : TSheetAction(document, std::move(caption)),
          index_(index),
          before_(std::move(before)),
          after_(std::move(after))
    {
    }
    void Undo() override { Document().RestoreSheet(index_, before_); }
    void Redo() override { Document().RestoreSheet(index_, after_); }

private:
    int index_;
    TSheetSnapshot before_;
    TSheetSnapshot after_;
};
}  // namespace

void TSheetEditing::AddedSheet(const QString& caption, int previous)
{
    history_.Add(std::make_unique<TSheetAddAction>(document_, caption, document_.CurrentSheet(), previous));
}

void TSheetEditing::NewSheet()
{
    const int previous = document_.CurrentSheet();
    document_.NewSheet();
    AddedSheet(QStringLiteral("シートの追加"), previous);
}

void TSheetEditing::DuplicateSheet()
{
    const int previous = document_.CurrentSheet();
    document_.DuplicateSheet();
    AddedSheet(QStringLiteral("シートの複製"), previous);
}

void TSheetEditing::DeleteSheet(int index)
{
    TSheetSnapshot deleted = document_.CaptureSheet(index);
    document_.DeleteSheet(index);
    history_.Add(std::make_unique<TSheetDeleteAction>(document_, index, std::move(deleted)));
}

void TSheetEditing::MoveSheet(int to)
{
    const int from = document_.CurrentSheet();
    document_.MoveSheet(to);
    if (from != to) history_.Add(std::make_unique<TSheetMoveAction>(document_, from, to));
}

void TSheetEditing::RenameSheet(const QString& name)
{
    const QString before = document_.SheetName();
    if (name == before) return;
    document_.SetSheetName(name);
    history_.Add(std::make_unique<TSheetRenameAction>(document_, document_.CurrentSheet(), before, name));
}

void TSheetEditing::ChangePaper(const TPaperInfo& paper, const TExPaperInfo* extra, const TImagePaperInfo* images)
{
    const int index = document_.CurrentSheet();
    TSheetSnapshot before = document_.CaptureSheet(index);
    try {
        document_.SetPaper(paper);
        document_.SetExtraInfo(extra);
        document_.SetImageInfo(images);
    } catch (...) {
        // Half a change of paper is worse than none.
        document_.RestoreSheet(index, before);
        throw;
    }
    history_.Add(std::make_unique<TSheetContentAction>(document_, QStringLiteral("用紙の変更"), index,
                                                       std::move(before), document_.CaptureSheet(index)));
}

void TSheetEditing::ReplaceFaceObjects(int face, const TDOList& frontToBack, const QString& caption)
{
    const int index = document_.CurrentSheet();
    TSheetSnapshot before = document_.CaptureSheet(index);
    document_.SaveFaceObjects(face, frontToBack);
    history_.Add(std::make_unique<TSheetContentAction>(document_, caption, index, std::move(before),
                                                       document_.CaptureSheet(index)));
}

}  // namespace kestrel

#pragma once

#include <QString>
#include <memory>
#include <vector>

namespace kestrel {

// One entry of the undo history.
class TActionBase {
public:
    enum : unsigned { afUndoable = 1, afRedoable = 2, afRepeatable = 4 };

    explicit TActionBase(unsigned flags = 0, QString caption = {})
        : flags_(flags), caption_(std::move(caption))
    {
    }
    virtual ~TActionBase() = default;
    TActionBase(const TActionBase&) = delete;
    TActionBase& operator=(const TActionBase&) = delete;

    unsigned Flags() const { return flags_; }
    bool CanUndo() const { return flags_ & afUndoable; }
    bool CanRedo() const { return flags_ & afRedoable; }
    bool CanRepeat() const { return flags_ & afRepeatable; }
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption) { caption_ = caption; }

    virtual void Repeat() {}
    virtual void Redo() {}
    virtual void Undo() {}

protected:
    void SetFlags(unsigned flags) { flags_ = flags; }

private:
    unsigned flags_;
    QString caption_;
};

// Records that act as one. Undo runs the members last to first so that each finds the state
// its own change left; redo and repeat run them in the order they were added.
class TActionGroup : public TActionBase {
public:
    explicit TActionGroup(QString caption = {}) : TActionBase(0, std::move(caption)) {}

    int Count() const { return static_cast<int>(members_.size()); }
    TActionBase& Member(int index) const { return *members_.at(index); }
    // Flags become the AND of the members'; the first member gives a missing caption.
    void Add(std::unique_ptr<TActionBase> action);

    void Repeat() override;
    void Redo() override;
    void Undo() override;

private:
    std::vector<std::unique_ptr<TActionBase>> members_;
};

// The undo history: records oldest first, the current one is the last executed (-1 when none).
class TActionList {
public:
    static constexpr int DefaultLimit = 10;

    int Count() const { return static_cast<int>(records_.size()); }
    TActionBase& Record(int index) const { return *records_.at(index); }
    int Current() const { return current_; }
    int Limit() const { return limit_; }
    // Trims the oldest records down to the new limit (at least 1).
    void SetLimit(int limit);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    bool RepeatAllowed() const { return repeatAllowed_; }
    void SetRepeatAllowed(bool allowed) { repeatAllowed_ = allowed; }
    int GroupLevel() const { return static_cast<int>(openGroups_.size()); }

    // Discards the redo branch and keeps at most Limit records, the newest ones.
    void Add(std::unique_ptr<TActionBase> action);
    void BeginGroup(const QString& caption);
    // An empty group adds nothing. Ending a group that was never begun is a logic error.
    void EndGroup();

    bool CanUndo() const;
    void Undo();
    bool CanRedo() const;
    void Redo();
    QString UndoCaption() const;
    QString RedoCaption() const;
    // Frees the records; groups being recorded stay open.
    void Clear();

private:
    bool HasCurrent() const { return current_ >= 0 && current_ < Count(); }
    bool AtEnd() const { return current_ == Count() - 1; }
    void TrimToLimit();

    std::vector<std::unique_ptr<TActionBase>> records_;
    int current_ = -1;
    int limit_ = DefaultLimit;
    bool repeatAllowed_ = true;
    bool enabled_ = true;
    std::vector<std::unique_ptr<TActionGroup>> openGroups_;
};

// Opens a group for its lifetime; the group is closed even when an error leaves the scope.
class TActionGroupScope {
public:
    TActionGroupScope(TActionList& list, const QString& caption) : list_(list) { list_.BeginGroup(caption); }
    ~TActionGroupScope() { list_.EndGroup(); }
    TActionGroupScope(const TActionGroupScope&) = delete;
    TActionGroupScope& operator=(const TActionGroupScope&) = delete;

private:
    TActionList& list_;
};

}  // namespace kestrel

#include "document/ActionList.h"

#include <algorithm>
#include <stdexcept>

namespace kestrel {

void TActionGroup::Add(std::unique_ptr<TActionBase> action)
{
    if (!action) return;
    SetFlags(members_.empty() ? action->Flags() : Flags() & action->Flags());
    if (Caption().isEmpty()) SetCaption(action->Caption());
    members_.push_back(std::move(action));
}

void TActionGroup::Repeat()
{
    for (const auto& member : members_) member->Repeat();
}

void TActionGroup::Redo()
{
    for (const auto& member : members_) member->Redo();
}

void TActionGroup::Undo()
{
    for (auto it = members_.rbegin(); it != members_.rend(); ++it) (*it)->Undo();
}

void TActionList::SetLimit(int limit)
{
    limit_ = std::max(1, limit);
    TrimToLimit();
}

void TActionList::Add(std::unique_ptr<TActionBase> action)
{
    if (!action || !enabled_) return;
    if (!openGroups_.empty()) return openGroups_.back()->Add(std::move(action));
    records_.erase(records_.begin() + (current_ + 1), records_.end());
    records_.push_back(std::move(action));
    current_ = Count() - 1;
    TrimToLimit();
}

void TActionList::TrimToLimit()
{
    const int excess = Count() - limit_;
    if (excess <= 0) return;
    records_.erase(records_.begin(), records_.begin() + excess);
    current_ = std::max(-1, current_ - excess);
}

void TActionList::BeginGroup(const QString& caption)
{
    openGroups_.push_back(std::make_unique<TActionGroup>(caption));
}

void TActionList::EndGroup()
{
    if (openGroups_.empty()) throw std::logic_error("group level is invalid");
    std::unique_ptr<TActionGroup> group = std::move(openGroups_.back());
    openGroups_.pop_back();
    if (group->Count() > 0) Add(std::move(group));
}

bool TActionList::CanUndo() const
{
    return HasCurrent() && records_[current_]->CanUndo();
}

void TActionList::Undo()
{
    if (!CanUndo()) return;
    records_[current_]->Undo();
    --current_;
}

bool TActionList::CanRedo() const
{
    if (current_ + 1 < Count()) return records_[current_ + 1]->CanRedo();
    return repeatAllowed_ && HasCurrent() && AtEnd() && records_[current_]->CanRepeat();
}

void TActionList::Redo()
{
    if (!CanRedo()) return;
    if (current_ + 1 < Count()) {
        records_[current_ + 1]->Redo();
        ++current_;
    } else {
        records_[current_]->Repeat();
    }
}

QString TActionList::UndoCaption() const
{
    return HasCurrent() ? records_[current_]->Caption() : QString();
}

QString TActionList::RedoCaption() const
{
    if (current_ + 1 < Count()) return records_[current_ + 1]->Caption();
    return repeatAllowed_ && HasCurrent() ? records_[current_]->Caption() : QString();
}

void TActionList::Clear()
{
    records_.clear();
    current_ = -1;
}

}  // namespace kestrel

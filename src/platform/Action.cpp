#include "platform/Action.h"

#include <algorithm>

namespace platform {

TActionLink::~TActionLink() { SetAction(nullptr); }

void TActionLink::SetAction(TAction* action)
{
    if (action == action_)
        return;
    if (action_)
        std::erase(action_->links_, this);
    action_ = action;
    if (action_) {
        action_->links_.push_back(this);
        ActionChanged();
    }
}

bool TActionLink::Execute() { return action_ && action_->Execute(); }

TAction::~TAction()
{
    // The controls forget the action; they keep what it had given them.
    for (TActionLink* link : std::vector<TActionLink*>(links_))
        link->action_ = nullptr;
}

bool TAction::Execute()
{
    if (!enabled_ || !OnExecute)
        return false;
    OnExecute(this);
    return true;
}

void TAction::Changed()
{
    // A control may unlink while it is told: the list is walked as it was.
    const std::vector<TActionLink*> links = links_;
    for (TActionLink* link : links)
        if (std::find(links_.begin(), links_.end(), link) != links_.end())
            link->ActionChanged();
}

void TAction::SetCaption(const QString& v)
{
    if (v == caption_)
        return;
    caption_ = v;
    Changed();
}

void TAction::SetEnabled(bool v)
{
    if (v == enabled_)
        return;
    enabled_ = v;
    Changed();
}

void TAction::SetChecked(bool v)
{
    if (v == checked_)
        return;
    checked_ = v;
    Changed();
}

void TAction::SetGroupIndex(int v)
{
    if (v == groupIndex_)
        return;
    groupIndex_ = v;
    Changed();
}

void TAction::SetImageIndex(int v)
{
    if (v == imageIndex_)
        return;
    imageIndex_ = v;
    Changed();
}

void TAction::SetActionList(TActionList* list)
{
    if (list == list_)
        return;
    list_ = list;
    Changed();
}

} // namespace platform

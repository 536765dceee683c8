#pragma once

// Actions: one command (caption, enabled and checked state, group, image)
// shared by the controls linked to it. A control links through a TActionLink,
// is told of every change of the action and, when clicked, executes it.

#include "platform/Graphics.h" // TImageList

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace platform {

class TAction;

// The images of a list's actions.
class TActionList : public QObject
{
public:
    explicit TActionList(QObject* owner = nullptr) : QObject(owner) {}
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images) { images_ = images; }

private:
    TImageList* images_ = nullptr; // not owned
};

// The control side of a link; the control owns it. An action that goes away
// unlinks itself first.
class TActionLink
{
public:
    TActionLink() = default;
    virtual ~TActionLink();
    TActionLink(const TActionLink&) = delete;
    TActionLink& operator=(const TActionLink&) = delete;

    TAction* Action() const { return action_; }
    // Links to the action (none unlinks) and tells the control at once.
    void SetAction(TAction* action);
    // The action's OnExecute when the action is enabled; false when there is
    // nothing to run.
    bool Execute();

protected:
    friend class TAction;
    // Something of the action changed (or the link was made).
    virtual void ActionChanged() = 0;

private:
    TAction* action_ = nullptr;
};

class TAction : public QObject
{
public:
    explicit TAction(QObject* owner = nullptr) : QObject(owner) {}
    ~TAction() override;

    QString Caption() const { return caption_; }
    void SetCaption(const QString& v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v);
    // -1: none; otherwise a picture of the action list's images.
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);
    TActionList* ActionList() const { return list_; }
    void SetActionList(TActionList* list);

    // Runs OnExecute when enabled; true when it ran.
    bool Execute();

    std::function<void(QObject* sender)> OnExecute;

private:
    friend class TActionLink;
    void Changed();

    QString caption_;
    bool enabled_ = true;
    bool checked_ = false;
    int groupIndex_ = 0;
    int imageIndex_ = -1;
    QPointer<TActionList> list_;
    std::vector<TActionLink*> links_;
};

// A control's link to its action, made on the first action and dropped with
// the action: `Link` is the control's own link class, built on the control.
template <class Link, class Control>
void Link_Action(std::unique_ptr<Link>& link, Control* control, TAction* action)
{
    if (!action) {
        link.reset();
        return;
    }
    if (!link)
        link = std::make_unique<Link>(control);
    link->SetAction(action);
}

} // namespace platform

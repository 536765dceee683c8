#include "platform/Forms.h"

#include "platform/CustomControl.h"
#include "platform/Dialogs.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTextEdit>
#include <QToolButton>

#include <stdexcept>

namespace platform {

namespace {

QPointer<TForm> g_mainForm;

// Whether the focused widget handles Enter or Escape itself.
bool WidgetWantsKey(QWidget* w, int vk)
{
    for (QWidget* x = w; x; x = x->parentWidget()) {
        if (auto* cc = dynamic_cast<TCustomControl*>(x))
            return cc->WantsKey(vk);
        if (auto* te = qobject_cast<QTextEdit*>(x))
            return vk == VK_RETURN && !te->isReadOnly();
        if (auto* pe = qobject_cast<QPlainTextEdit*>(x))
            return vk == VK_RETURN && !pe->isReadOnly();
        if (qobject_cast<QAbstractItemView*>(x))
            return x != w && x->isAncestorOf(w) && w != static_cast<QAbstractItemView*>(x)->viewport();  // an inplace editor
        if (auto* combo = qobject_cast<QComboBox*>(x))
            return combo->view() && combo->view()->isVisible();
        if (x->isWindow())
            break;
    }
    return false;
}

// Whether typed characters are input of the focused widget (and so not
// accelerators).
bool WidgetWantsChars(QWidget* w)
{
    for (QWidget* x = w; x; x = x->parentWidget()) {
        if (auto* cc = dynamic_cast<TCustomControl*>(x))
            return cc->WantsChars();
        if (qobject_cast<QLineEdit*>(x) || qobject_cast<QTextEdit*>(x) || qobject_cast<QPlainTextEdit*>(x) ||
            qobject_cast<QAbstractSpinBox*>(x) || qobject_cast<QAbstractItemView*>(x))
            return true;
        if (auto* combo = qobject_cast<QComboBox*>(x))
            return combo->isEditable();
        if (qobject_cast<QAbstractButton*>(x) || x->isWindow())
            return false;
    }
    return false;
}

// The form whose keys reach `w`: the nearest form around it within its own
// window, or the form that opened the popup (a dropped list, a menu) it is
// in. Another window over a form (a message box, a file dialog) keeps its
// keys to itself: none.
TForm* KeyForm(QWidget* w)
{
    for (QWidget* x = w; x; x = x->parentWidget()) {
        if (auto* f = dynamic_cast<TForm*>(x))
            return f;
        if (x->isWindow() && x->windowType() != Qt::Popup)
            return nullptr;
    }
    return nullptr;
}

// A popup that is not a form of ours (an open list, a menu) takes Enter,
// Escape and its letters itself: they are never the form's dialog keys.
bool InForeignPopup(QWidget* w)
{
    QWidget* window = w->window();
    return window->windowType() == Qt::Popup && !dynamic_cast<TForm*>(window);
}

// Sees every key before the widget it is meant for: dialog keys, the form's
// key preview and accelerators, in the platform's order.
class FormKeyFilter : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease)
            return false;
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || resending_)
            return false;
        // A key that a child left goes on to its parents: handle it once.
        if (e == last_ && lastReceiver_ && w->isAncestorOf(lastReceiver_))
            return false;
        last_ = e;
        lastReceiver_ = w;
        TForm* form = KeyForm(w);
        if (!form || form == w)
            return false;
        const bool popup = InForeignPopup(w);
        auto* ke = static_cast<QKeyEvent*>(e);
        const int vk = VirtualKeyFromQt(ke->key());
        const TShiftState shift = ShiftStateFromQt(ke->modifiers());

        if (e->type() == QEvent::KeyRelease) {
            if (form->KeyPreview() && form->OnKeyUp && vk != 0) {
                int k = vk;
                RunGuarded([&] { form->OnKeyUp(form, k, shift); });
                return k == 0;
            }
            return false;
        }

        if ((vk == VK_RETURN || vk == VK_ESCAPE) && !popup && !WidgetWantsKey(w, vk)) {
            bool taken = false;
            RunGuarded([&] { taken = form->DispatchDialogKey(vk, shift); });
            if (taken)
                return true;
        }
        if (form->KeyPreview() && form->OnKeyDown && vk != 0) {
            int k = vk;
            RunGuarded([&] { form->OnKeyDown(form, k, shift); });
            if (k == 0)
                return true;
        }
        const QString text = ke->text();
        if (!popup && !text.isEmpty() && text[0].isLetterOrNumber() && (!(ke->modifiers() & Qt::ControlModifier)) &&
            ((ke->modifiers() & Qt::AltModifier) || !WidgetWantsChars(w))) {
            bool taken = false;
            RunGuarded([&] { taken = form->DispatchDialogChar(text[0]); });
            if (taken)
                return true;
        }
        if (form->KeyPreview() && form->OnKeyPress && !text.isEmpty()) {
            QChar ch = text[0];
            RunGuarded([&] { form->OnKeyPress(form, ch); });
            if (ch.isNull())
                return true;
            if (ch != text[0]) {
                QKeyEvent replaced(QEvent::KeyPress, ke->key(), ke->modifiers(), QString(ch), ke->isAutoRepeat());
                resending_ = true;
                QCoreApplication::sendEvent(w, &replaced);
                resending_ = false;
                return true;
            }
        }
        return false;
    }

private:
    QEvent* last_ = nullptr;
    QPointer<QWidget> lastReceiver_;
    bool resending_ = false;
};

void InstallKeyFilter()
{
    static bool installed = false;
    if (installed || !qApp)
        return;
    installed = true;
    qApp->installEventFilter(new FormKeyFilter(qApp));
}

} // namespace

TForm* GetParentForm(QWidget* control)
{
    for (QWidget* w = control; w; w = w->parentWidget()) {
        if (auto* f = dynamic_cast<TForm*>(w))
            return f;
    }
    return nullptr;
}

TForm::TForm(QWidget* owner) : TControlOf<QWidget>(owner)
{
    InstallKeyFilter();
    (void)detail::MessageEventType();
    ApplyWindowFlags();
    setFont(TFont().ToQFont());
    SetColor(clBtnFace);
    resize(320, 240);
}

TForm::~TForm()
{
    if (loop_)
        loop_->exit();
}

void TForm::ApplyWindowFlags()
{
    const bool wasVisible = isVisible();
    Qt::WindowFlags f = Qt::Window | Qt::CustomizeWindowHint;
    if (borderStyle_ == bsNone) {
        f |= Qt::FramelessWindowHint;
    } else {
        f |= Qt::WindowTitleHint;
        if (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin)
            f |= Qt::Tool;
        if (borderIcons_ & biSystemMenu)
            f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        const bool plain = borderStyle_ == bsSingle || borderStyle_ == bsSizeable;
        if (plain && (borderIcons_ & biSystemMenu) && (borderIcons_ & biMinimize))
            f |= Qt::WindowMinimizeButtonHint;
        if (plain && (borderIcons_ & biSystemMenu) && (borderIcons_ & biMaximize))
            f |= Qt::WindowMaximizeButtonHint;
    }
    setWindowFlags(f);
    if (wasVisible)
        show();
}

void TForm::ApplyFixedSize()
{
    const bool sizeable = borderStyle_ == bsSizeable || borderStyle_ == bsSizeToolWin;
    if (sizeable) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        setFixedSize(size());
    }
}

void TForm::ApplyPosition()
{
    QWidget* over = nullptr;
    switch (position_) {
    case poMainFormCenter: over = g_mainForm && g_mainForm != this ? g_mainForm.data() : nullptr; break;
    case poOwnerFormCenter: over = parentWidget() ? parentWidget()->window() : nullptr; break;
    case poScreenCenter: break;
    default: return;
    }
    QRect area;
    if (over && over->isVisible())
        area = over->geometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    else
        return;
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void TForm::SetBorderStyle(TFormBorderStyle s)
{
    borderStyle_ = s;
    ApplyWindowFlags();
    ApplyFixedSize();
}

void TForm::SetBorderIcons(TBorderIcons icons)
{
    borderIcons_ = icons;
    ApplyWindowFlags();
}

void TForm::SetClientWidth(int w)
{
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(std::max(0, w), height());
    ApplyFixedSize();
    detail::Realign(this);
}

void TForm::SetClientHeight(int h)
{
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(width(), std::max(0, h));
    ApplyFixedSize();
    detail::Realign(this);
}

void TForm::SetBounds(int left, int top, int w, int h)
{
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setGeometry(left, top, std::max(0, w), std::max(0, h));
    ApplyFixedSize();
    detail::Realign(this);
}

QWidget* TForm::ActiveControl() const
{
    QWidget* f = focusWidget();
    return f == this ? nullptr : f;
}

void TForm::SetActiveControl(QWidget* control)
{
    if (control && isAncestorOf(control))
        control->setFocus(Qt::OtherFocusReason);
}

void TForm::SetModalResult(TModalResult r)
{
    modalResult_ = r;
    if (modal_ && r != mrNone && loop_)
        loop_->exit();
}

bool TForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        RunGuarded([&] { OnCloseQuery(this, canClose); });
    return canClose;
}

void TForm::DoClose(TCloseAction& action)
{
    if (OnClose)
        RunGuarded([&] { OnClose(this, action); });
}

bool TForm::CloseModal()
{
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    if (action == caNone) {
        modalResult_ = mrNone;
        return false;
    }
    return true;
}

void TForm::BuildNow()
{
    // Taken first, so that a step that shows the window does not run twice.
    std::vector<std::function<void()>> steps;
    steps.swap(pendingBuild_);
    for (const std::function<void()>& step : steps)
        step();
}

TModalResult TForm::ShowModal()
{
    BuildNow();
    if (modal_ || isVisible())
        throw std::logic_error("Cannot make a visible window modal");
    modal_ = true;
    modalResult_ = mrNone;
    FormAction action;
    const bool noWait = TakeFormAnswer(Caption(), objectName(), &action);
    ApplyPosition();
    ApplyFixedSize();
    setWindowModality(Qt::ApplicationModal);
    show();
    if (noWait) {
        // Nobody to wait for: the script drives the form, and what it leaves
        // open closes as with the close box.
        if (action)
            RunGuarded([&] { action(*this); });
        const bool closed = modalResult_ != mrNone && CloseModal();
        if (!closed) {
            if (action)
                ReportFormLeftOpen(Caption().isEmpty() ? objectName() : Caption());
            modalResult_ = mrCancel;
            TCloseAction a = caHide;
            DoClose(a);
        }
    } else {
        QEventLoop loop;
        loop_ = &loop;
        for (;;) {
            if (modalResult_ == mrNone)
                loop.exec(QEventLoop::DialogExec);
            if (Application().Terminated()) {
                if (modalResult_ == mrNone)
                    modalResult_ = mrCancel;
                break;
            }
            if (modalResult_ != mrNone && CloseModal())
                break;
        }
        loop_ = nullptr;
    }
    hide();
    setWindowModality(Qt::NonModal);
    modal_ = false;
    return modalResult_;
}

void TForm::Show()
{
    BuildNow();
    if (!isVisible())
        ApplyPosition();
    ApplyFixedSize();
    show();
    raise();
    activateWindow();
}

void TForm::Close()
{
    if (modal_) {
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
        return;
    hide();
    if (this == g_mainForm)
        Application().Terminate();
    else if (action == caFree)
        deleteLater();
}

bool TForm::DispatchDialogKey(int key, TShiftState shift)
{
    for (QWidget* w : findChildren<QWidget*>()) {
        auto* c = dynamic_cast<TCustomControl*>(w);
        if (c && GetParentForm(c) == this && c->DialogKey(key, shift))
            return true;
    }
    return false;
}

bool TForm::DispatchDialogChar(QChar ch)
{
    for (QWidget* w : findChildren<QWidget*>()) {
        auto* c = dynamic_cast<TCustomControl*>(w);
        if (c && GetParentForm(c) == this && c->DialogChar(ch))
            return true;
    }
    // Check boxes and radio buttons answer to the letter of their caption.
    const QChar upper = ch.toUpper();
    for (QAbstractButton* b : findChildren<QAbstractButton*>()) {
        if (GetParentForm(b) != this || !b->isVisible() || !b->isEnabled())
            continue;
        if (AcceleratorOf(b->text()) == upper) {
            b->setFocus(Qt::ShortcutFocusReason);
            b->click();
            return true;
        }
    }
    return false;
}

bool TForm::ButtonHasFocus() const
{
    QWidget* f = ActiveControl();
    if (!f)
        return false;
    if (auto* cc = dynamic_cast<TCustomControl*>(f))
        return cc->IsButtonControl();
    return qobject_cast<QPushButton*>(f) || qobject_cast<QToolButton*>(f);
}

void TForm::MessageReceived(TMessage& message) { WndProc(message); }

void TForm::closeEvent(QCloseEvent* e)
{
    e->ignore();
    RunGuarded([&] { Close(); });
}

void TForm::showEvent(QShowEvent* e)
{
    BuildNow();
    QWidget::showEvent(e);
    detail::Realign(this);
    if (!e->spontaneous() && OnShow)
        RunGuarded([&] { OnShow(this); });
}

void TForm::hideEvent(QHideEvent* e)
{
    QWidget::hideEvent(e);
    if (!e->spontaneous() && OnHide)
        RunGuarded([&] { OnHide(this); });
}

void TForm::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    detail::Realign(this);
    if (OnResize)
        RunGuarded([&] { OnResize(this); });
}

void TForm::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange) {
        if (isActiveWindow() && OnActivate)
            RunGuarded([&] { OnActivate(this); });
        else if (!isActiveWindow() && OnDeactivate)
            RunGuarded([&] { OnDeactivate(this); });
    }
}

bool TForm::event(QEvent* e)
{
    TMessage m;
    if (detail::TakePostedMessage(e, m)) {
        RunGuarded([&] { MessageReceived(m); });
        return true;
    }
    if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
        // Keys for the form itself (no control focused).
        QWidget* f = focusWidget();
        if (f && f != this)
            return QWidget::event(e);
        auto* ke = static_cast<QKeyEvent*>(e);
        int vk = VirtualKeyFromQt(ke->key());
        const TShiftState shift = ShiftStateFromQt(ke->modifiers());
        if (e->type() == QEvent::KeyRelease) {
            if (OnKeyUp && vk)
                RunGuarded([&] { OnKeyUp(this, vk, shift); });
            return true;
        }
        bool taken = false;
        if (vk == VK_RETURN || vk == VK_ESCAPE)
            RunGuarded([&] { taken = DispatchDialogKey(vk, shift); });
        if (taken)
            return true;
        if (OnKeyDown && vk)
            RunGuarded([&] { OnKeyDown(this, vk, shift); });
        if (vk == 0 && VirtualKeyFromQt(ke->key()) != 0)
            return true;
        const QString text = ke->text();
        if (!text.isEmpty() && text[0].isLetterOrNumber()) {
            RunGuarded([&] { taken = DispatchDialogChar(text[0]); });
            if (taken)
                return true;
        }
        if (OnKeyPress && !text.isEmpty()) {
            QChar ch = text[0];
            RunGuarded([&] { OnKeyPress(this, ch); });
        }
        return true;
    }
    return QWidget::event(e);
}

TForm* TApplication::MainForm() const { return g_mainForm.data(); }

void TApplication::SetMainForm(TForm* form)
{
    if (!g_mainForm)
        g_mainForm = form;
}

int TApplication::Run()
{
    terminated_ = false;
    if (g_mainForm)
        g_mainForm->Show();
    const int code = QApplication::exec();
    terminated_ = true;
    return code;
}

void TApplication::Terminate()
{
    terminated_ = true;
    QCoreApplication::exit(0);
}

void TApplication::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

TApplication& Application()
{
    static TApplication app;
    return app;
}

} // namespace platform

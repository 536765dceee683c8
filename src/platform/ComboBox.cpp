#include "platform/ComboBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QWheelEvent>

#include <algorithm>
#include <cstdint>

namespace platform {

namespace {

constexpr int kObjectRole = Qt::UserRole + 1;
// A line edit's own limit; ours is checked before it.
constexpr int kNoLimit = 1 << 24;

Qt::KeyboardModifiers ModifiersOf(TShiftState shift)
{
    Qt::KeyboardModifiers m = Qt::NoModifier;
    if (shift & ssShift)
        m |= Qt::ShiftModifier;
    if (shift & ssCtrl)
        m |= Qt::ControlModifier;
    if (shift & ssAlt)
        m |= Qt::AltModifier;
    return m;
}


bool ListKey(int key)
{
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_F4: return true;
    default: return false;
    }
}

} // namespace

namespace detail {

// The Qt combo inside; it never takes the focus and reports its keys, wheel
// turns and painting to its owner.
class ComboInner : public QComboBox
{
public:
    explicit ComboInner(TCustomComboBox* owner) : QComboBox(owner), owner_(owner)
    {
        setFocusPolicy(Qt::NoFocus);
        setMouseTracking(true);
    }
    void Key(QKeyEvent* e) { QComboBox::keyPressEvent(e); }
    void Paint(QPaintEvent* e) { QComboBox::paintEvent(e); }
    // While the list is open its keys pass the combo's steps first, before
    // the form's dialog keys: the combo watches the application's events.
    void showPopup() override
    {
        RunGuarded([&] { owner_->DropDown(); });
        qApp->removeEventFilter(owner_);
        if (count() > 0)
            qApp->installEventFilter(owner_);
        QComboBox::showPopup();
        // Nothing chosen: nothing highlighted, so Down goes to the first item.
        if (currentIndex() < 0)
            view()->setCurrentIndex(QModelIndex());
    }
    void hidePopup() override
    {
        const bool wasOpen = view() && view()->isVisible();
        // A click on an item closes the list before it chooses the item;
        // the close-up must already see the item chosen, as on the platform.
        if (wasOpen && owner_->releaseOnList_) {
            owner_->releaseOnList_ = false;
            const QModelIndex picked = view()->currentIndex();
            if (picked.isValid() && (picked.flags() & Qt::ItemIsEnabled) && (picked.flags() & Qt::ItemIsSelectable))
                owner_->SetItemIndex(picked.row());
        }
        QComboBox::hidePopup();
        qApp->removeEventFilter(owner_);
        if (wasOpen)
            RunGuarded([&] { owner_->CloseUp(); });
    }

protected:
    void paintEvent(QPaintEvent* e) override { owner_->InnerPaint(e); }
    void wheelEvent(QWheelEvent* e) override { owner_->RouteWheel(e); }
    void keyPressEvent(QKeyEvent* e) override { owner_->RouteKeyPress(e); }
    void keyReleaseEvent(QKeyEvent* e) override { owner_->RouteKeyRelease(e); }

private:
    TCustomComboBox* owner_;
};

// The list's item height, when the program sets one.
class ComboItemDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    int height = 0;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        if (height > 0)
            s.setHeight(height);
        return s;
    }
};

} // namespace detail

TCustomComboBox::TCustomComboBox(QWidget* parent) : TCustomControl(parent)
{
    setAttribute(Qt::WA_InputMethodEnabled);
    SetClickEvents(false);
    inner_ = new detail::ComboInner(this);
    inner_->setInsertPolicy(QComboBox::NoInsert);
    inner_->setMaxVisibleItems(8);
    inner_->installEventFilter(this);
    delegate_ = new detail::ComboItemDelegate(inner_);
    inner_->setItemDelegate(delegate_);
    QObject::connect(inner_, qOverload<int>(&QComboBox::activated), this, [this](int index) { UserChose(index); });
    SetStyle(csDropDown);
    SetBounds(0, 0, 145, 0);
    SetColor(clWindow);
}

TCustomComboBox::~TCustomComboBox()
{
    qApp->removeEventFilter(this);
    if (inner_)
        inner_->removeEventFilter(this);
}

QComboBox* TCustomComboBox::ComboWidget() const { return inner_; }
QLineEdit* TCustomComboBox::EditWidget() const { return inner_->lineEdit(); }

void TCustomComboBox::HookEditor()
{
    QLineEdit* edit = inner_->lineEdit();
    if (!edit || edit == hookedEdit_)
        return;
    hookedEdit_ = edit;
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setMaxLength(kNoLimit);
    edit->installEventFilter(this);
    edit->setMouseTracking(true);
    QObject::connect(edit, &QLineEdit::textEdited, this, [this](const QString& t) { UserEdited(t); });
}

void TCustomComboBox::SetStyle(TComboBoxStyle s)
{
    const int index = inner_->currentIndex();
    const QString text = Text();
    style_ = s;
    {
        const QSignalBlocker block(inner_);
        inner_->setEditable(s == csDropDown);
        if (s == csDropDown) {
            inner_->setInsertPolicy(QComboBox::NoInsert);
            inner_->setCompleter(nullptr);
            HookEditor();
        }
        inner_->setCurrentIndex(index);
        if (QLineEdit* edit = inner_->lineEdit())
            edit->setText(index >= 0 ? inner_->itemText(index) : text);
    }
    if (hasFocus() && inner_->lineEdit()) {
        QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(inner_->lineEdit(), &in);
    }
}

QStringList TCustomComboBox::Items() const
{
    QStringList out;
    for (int i = 0; i < inner_->count(); ++i)
        out << inner_->itemText(i);
    return out;
}

void TCustomComboBox::SetItems(const QStringList& items)
{
    const QString text = Text();
    {
        const QSignalBlocker block(inner_);
        inner_->clear();
        inner_->addItems(items);
        inner_->setCurrentIndex(-1);
        if (QLineEdit* edit = inner_->lineEdit())
            edit->setText(text);
    }
    inner_->update();
}

void TCustomComboBox::AddItem(const QString& text, TObject* object)
{
    InsertItem(inner_->count(), text, object);
}

void TCustomComboBox::InsertItem(int index, const QString& text, TObject* object)
{
    index = std::clamp(index, 0, static_cast<int>(inner_->count()));
    const int current = inner_->currentIndex();
    const QString shown = Text();
    QLineEdit* edit = inner_->lineEdit();
    const int cursor = edit ? edit->cursorPosition() : 0;
    const int selStart = SelStart(), selLength = SelLength();
    {
        const QSignalBlocker block(inner_);
        inner_->insertItem(index, text, QVariant::fromValue(reinterpret_cast<quintptr>(object)));
        inner_->setItemData(index, QVariant::fromValue(reinterpret_cast<quintptr>(object)), kObjectRole);
        inner_->setCurrentIndex(current < 0 ? -1 : (current >= index ? current + 1 : current));
        if (edit && edit->text() != shown) {
            edit->setText(shown);
            edit->setCursorPosition(cursor);
            if (selLength > 0)
                edit->setSelection(selStart, selLength);
        }
    }
}

void TCustomComboBox::DeleteItem(int index)
{
    if (index < 0 || index >= inner_->count())
        return;
    const QString shown = Text();
    const int current = inner_->currentIndex();
    const QSignalBlocker block(inner_);
    inner_->removeItem(index);
    if (current == index)
        inner_->setCurrentIndex(-1);
    if (QLineEdit* edit = inner_->lineEdit())
        if (edit->text() != shown)
            edit->setText(shown);
}

void TCustomComboBox::Clear()
{
    const QSignalBlocker block(inner_);
    inner_->clear();
    inner_->setCurrentIndex(-1);
    if (QLineEdit* edit = inner_->lineEdit())
        edit->clear();
}

int TCustomComboBox::ItemCount() const { return inner_->count(); }

QString TCustomComboBox::ItemText(int index) const
{
    return index >= 0 && index < inner_->count() ? inner_->itemText(index) : QString();
}

TObject* TCustomComboBox::ItemObject(int index) const
{
    if (index < 0 || index >= inner_->count())
        return nullptr;
    return reinterpret_cast<TObject*>(inner_->itemData(index, kObjectRole).value<quintptr>());
}

void TCustomComboBox::SetItemObject(int index, TObject* object)
{
    if (index >= 0 && index < inner_->count())
        inner_->setItemData(index, QVariant::fromValue(reinterpret_cast<quintptr>(object)), kObjectRole);
}

int TCustomComboBox::IndexOf(const QString& text) const
{
    for (int i = 0; i < inner_->count(); ++i)
        if (inner_->itemText(i).compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TCustomComboBox::ItemIndex() const { return inner_->currentIndex(); }

int TCustomComboBox::ClampIndex(int index) const { return index >= 0 && index < inner_->count() ? index : -1; }

// Choosing an item shows its text; choosing none empties the edit part.
void TCustomComboBox::SetItemIndex(int index)
{
    index = ClampIndex(index);
    const QSignalBlocker block(inner_);
    inner_->setCurrentIndex(index);
    if (QLineEdit* edit = inner_->lineEdit())
        edit->setText(index >= 0 ? inner_->itemText(index) : QString());
    inner_->update();
}

QString TCustomComboBox::Text() const
{
    if (QLineEdit* edit = inner_->lineEdit())
        return edit->text();
    const int i = inner_->currentIndex();
    return i >= 0 ? inner_->itemText(i) : QString();
}

void TCustomComboBox::SetText(const QString& text)
{
    const QSignalBlocker block(inner_);
    if (QLineEdit* edit = inner_->lineEdit()) {
        const int exact = inner_->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
        inner_->setCurrentIndex(exact);
        edit->setText(text);
    } else {
        inner_->setCurrentIndex(IndexOf(text));
    }
    inner_->update();
}

int TCustomComboBox::DropDownCount() const { return inner_->maxVisibleItems(); }

void TCustomComboBox::SetDropDownCount(int count) { inner_->setMaxVisibleItems(std::max(1, count)); }

void TCustomComboBox::SetMaxLength(int length) { maxLength_ = std::max(0, length); }

bool TCustomComboBox::DroppedDown() const { return inner_->view() && inner_->view()->isVisible(); }

void TCustomComboBox::SetDroppedDown(bool dropped)
{
    if (dropped == DroppedDown())
        return;
    if (dropped) {
        ApplyDroppedWidth();
        inner_->showPopup();
    } else {
        inner_->hidePopup();
    }
}

int TCustomComboBox::ItemHeight() const
{
    if (itemHeight_ > 0)
        return itemHeight_;
    return QFontMetrics(inner_->font()).height() + 2;
}

void TCustomComboBox::SetItemHeight(int height)
{
    itemHeight_ = std::max(0, height);
    delegate_->height = itemHeight_;
    inner_->view()->doItemsLayout();
    SetBounds(Left(), Top(), Width(), Height());
}

void TCustomComboBox::SetBounds(int left, int top, int width, int)
{
    TCustomControl::SetBounds(left, top, width, ItemHeight() + 6);
}

void TCustomComboBox::FontChanged()
{
    TCustomControl::FontChanged();
    if (itemHeight_ == 0)
        SetBounds(Left(), Top(), Width(), Height());
}

int TCustomComboBox::DroppedWidth() const { return std::max(droppedWidth_, Width()); }

void TCustomComboBox::SetDroppedWidth(int width)
{
    droppedWidth_ = std::max(0, width);
    ApplyDroppedWidth();
}

void TCustomComboBox::ApplyDroppedWidth() { inner_->view()->setMinimumWidth(droppedWidth_); }

int TCustomComboBox::SelStart() const
{
    QLineEdit* edit = inner_->lineEdit();
    if (!edit)
        return 0;
    return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

int TCustomComboBox::SelLength() const
{
    QLineEdit* edit = inner_->lineEdit();
    return edit && edit->hasSelectedText() ? static_cast<int>(edit->selectedText().size()) : 0;
}

QString TCustomComboBox::SelText() const
{
    QLineEdit* edit = inner_->lineEdit();
    return edit ? edit->selectedText() : QString();
}

void TCustomComboBox::SetSelStart(int start) { SetSel(start, 0); }

void TCustomComboBox::SetSelLength(int length) { SetSel(SelStart(), length); }

void TCustomComboBox::SetSel(int start, int length)
{
    QLineEdit* edit = inner_->lineEdit();
    if (!edit)
        return;
    const int size = static_cast<int>(edit->text().size());
    start = std::clamp(start, 0, size);
    length = std::clamp(length, 0, size - start);
    if (length > 0)
        edit->setSelection(start, length);
    else
        edit->setCursorPosition(start);
}

void TCustomComboBox::SelectAll()
{
    if (QLineEdit* edit = inner_->lineEdit())
        edit->selectAll();
}

TRect TCustomComboBox::EditRect() const
{
    QLineEdit* edit = inner_->lineEdit();
    if (!edit)
        return TRect{};
    const QPoint tl = edit->mapTo(this, QPoint(0, 0));
    return Bounds(tl.x(), tl.y(), edit->width(), edit->height());
}

int TCustomComboBox::CharFromPos(const TPoint& p) const
{
    QLineEdit* edit = inner_->lineEdit();
    if (!edit)
        return -1;
    const QPoint local = edit->mapFrom(this, QPoint(p.X, p.Y));
    if (!edit->rect().contains(local))
        return -1;
    return edit->cursorPositionAt(local);
}

void TCustomComboBox::TypeChar(QChar ch)
{
    TMessage m{WM_CHAR, ch.unicode(), 0, 0};
    Dispatch(m);
}

// The edit part and the closed list show the control's colour.
void TCustomComboBox::SetColor(TColor c)
{
    TCustomControl::SetColor(c);
    QPalette p = inner_->palette();
    p.setColor(QPalette::Base, ToQColor(c));
    p.setColor(QPalette::Button, ToQColor(c));
    inner_->setPalette(p);
    inner_->update();
}

bool TCustomComboBox::WantsKey(int key) const
{
    TMessage m{WM_GETDLGCODE, key, 0, 0};
    const_cast<TCustomComboBox*>(this)->Dispatch(m);
    return (m.Result & DLGC_WANTALLKEYS) != 0;
}

void TCustomComboBox::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomComboBox::Select()
{
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TCustomComboBox::DropDown()
{
    ApplyDroppedWidth();
    if (OnDropDown)
        OnDropDown(this);
}

void TCustomComboBox::CloseUp()
{
    if (OnCloseUp)
        OnCloseUp(this);
}

void TCustomComboBox::Dispatch(TMessage& m)
{
    RunGuarded([&] { WndProc(m); });
}

// Typing with the list closed leaves no item chosen; with the list open the
// first item that begins with the text is chosen, as the platform does.
void TCustomComboBox::UserEdited(const QString& text)
{
    QLineEdit* edit = inner_->lineEdit();
    int index = -1;
    if (DroppedDown() && !text.isEmpty()) {
        for (int i = 0; i < inner_->count(); ++i)
            if (inner_->itemText(i).startsWith(text, Qt::CaseInsensitive)) {
                index = i;
                break;
            }
    }
    if (index != inner_->currentIndex() && edit) {
        const int cursor = edit->cursorPosition();
        const bool sel = edit->hasSelectedText();
        const int s = edit->selectionStart(), l = static_cast<int>(edit->selectedText().size());
        {
            const QSignalBlocker block(inner_);
            inner_->setCurrentIndex(index);
            if (edit->text() != text)
                edit->setText(text);
        }
        if (sel)
            edit->setSelection(s, l);
        else
            edit->setCursorPosition(cursor);
    }
    RunGuarded([&] { Change(); });
}

void TCustomComboBox::UserChose(int index)
{
    if (QLineEdit* edit = inner_->lineEdit()) {
        if (index >= 0 && edit->text() != inner_->itemText(index)) {
            const QSignalBlocker block(inner_);
            edit->setText(inner_->itemText(index));
        }
    }
    RunGuarded([&] {
        Click();
        Select();
    });
}

void TCustomComboBox::FeedKey(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text)
{
    QKeyEvent e(QEvent::KeyPress, qtKey, modifiers, text);
    const bool old = feeding_;
    feeding_ = true;
    if (DroppedDown() && (ListKey(VirtualKeyFromQt(qtKey)) || !inner_->lineEdit()))
        ListKeyDown(&e);
    else
        inner_->Key(&e);
    feeding_ = old;
}

// The open list's own keys: Escape, F4 and Alt+arrows close it, Enter
// chooses the highlighted item, the others move in the list.
void TCustomComboBox::ListKeyDown(QKeyEvent* e)
{
    QAbstractItemView* view = inner_->view();
    const bool alt = (e->modifiers() & Qt::AltModifier) != 0;
    switch (e->key()) {
    case Qt::Key_Escape:
    case Qt::Key_F4: inner_->hidePopup(); return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (alt) {
            inner_->hidePopup();
            return;
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const QModelIndex current = view->currentIndex();
        inner_->hidePopup();
        if (current.isValid() && (current.flags() & Qt::ItemIsEnabled) && current.row() != inner_->currentIndex()) {
            SetItemIndex(current.row());
            UserChose(current.row());
        }
        return;
    }
    default: break;
    }
    // Straight to the list, past every filter: the form's dialog keys have
    // had their turn.
    static_cast<QObject*>(view)->event(e);
    // Moving in the open list chooses the item at once, as on the platform.
    const int row = view->currentIndex().isValid() ? view->currentIndex().row() : -1;
    if (row >= 0 && row != inner_->currentIndex()) {
        SetItemIndex(row);
        UserChose(row);
    }
}

// The combo's own handling of a key: caret moves, deleting, the list keys.
// Keys that type a character act in DefaultChar.
void TCustomComboBox::DefaultKeyDown(int key, TShiftState shift)
{
    QKeyEvent* pending = pendingKey_;
    const bool same = pending && key == VirtualKeyFromQt(pending->key());
    if (same && !pending->text().isEmpty()) {
        const char16_t c = pending->text()[0].unicode();
        if ((c >= 32 && c != 0x7F) || c == 8)
            return;  // types a character: WM_CHAR does it
    }
    if (key == VK_TAB)
        return;  // a claimed Tab has no default action here
    if (same && pending->matches(QKeySequence::Paste) && inner_->lineEdit()) {
        // Ctrl+V brings its character #22, which pastes; Shift+Insert has none.
        if (pending->text() != QString(QChar(22)))
            TypeChar(QChar(22));
        return;
    }
    if (same)
        FeedKey(pending->key(), pending->modifiers(), pending->text());
    else if (const int qtKey = QtKeyFromVirtualKey(key))
        FeedKey(qtKey, ModifiersOf(shift), QString());
}

void TCustomComboBox::DefaultChar(QChar ch)
{
    QLineEdit* edit = inner_->lineEdit();
    if (ch.unicode() == 8) {
        FeedKey(Qt::Key_Backspace, Qt::NoModifier, QString());
        return;
    }
    QString insert;
    if (ch.unicode() == 22) {  // Ctrl+V
        if (!edit)
            return;
        insert = QGuiApplication::clipboard()->text();
        const qsizetype br = insert.indexOf(QLatin1Char('\r')) >= 0 ? insert.indexOf(QLatin1Char('\r'))
                                                                   : insert.indexOf(QLatin1Char('\n'));
        if (br >= 0)
            insert.truncate(br);
        if (insert.isEmpty())
            return;
    } else if (ch.unicode() < 32) {
        return;
    } else {
        insert = QString(ch);
    }
    if (edit && maxLength_ > 0) {
        const int room = std::max(0, maxLength_ - (static_cast<int>(edit->text().size()) - SelLength()));
        if (room == 0) {
            QApplication::beep();
            return;
        }
        insert.truncate(room);
    }
    if (edit && insert.size() > 1) {
        edit->insert(insert);
        UserEdited(edit->text());
        return;
    }
    const int qtKey = pendingKey_ && pendingKey_->text() == insert ? pendingKey_->key() : 0;
    const Qt::KeyboardModifiers mods = pendingKey_ ? pendingKey_->modifiers() & Qt::ShiftModifier : Qt::NoModifier;
    FeedKey(qtKey, mods, insert);
}

void TCustomComboBox::WndProc(TMessage& m)
{
    if (HandleKeyMessage(
            m, suppressChar_, [this](int key, TShiftState shift) { DefaultKeyDown(key, shift); },
            [this](QChar ch) { DefaultChar(ch); }))
        return;
    switch (m.Msg) {
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (inner_->lineEdit() ? DLGC_HASSETSEL : 0);
        // An open list takes Enter and Escape.
        if (DroppedDown())
            m.Result |= DLGC_WANTALLKEYS;
        break;
    case WM_SETFOCUS:
        if (QLineEdit* edit = inner_->lineEdit()) {
            QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
            QCoreApplication::sendEvent(edit, &in);
        }
        inner_->update();
        break;
    case WM_KILLFOCUS:
        if (DroppedDown())
            inner_->hidePopup();
        if (QLineEdit* edit = inner_->lineEdit()) {
            // The selection stays as it was, as on the platform.
            const bool sel = edit->hasSelectedText();
            const int s = edit->selectionStart(), l = static_cast<int>(edit->selectedText().size());
            const int cursor = edit->cursorPosition();
            QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
            QCoreApplication::sendEvent(edit, &out);
            if (sel)
                edit->setSelection(s, l);
            else
                edit->setCursorPosition(cursor);
        }
        inner_->update();
        break;
    case WM_MOUSEWHEEL: {
        const int delta = SignedHighWord(m.WParam);
        if (delta == 0 || inner_->count() == 0)
            break;
        const int current = inner_->currentIndex();
        const int next = delta < 0 ? std::min(current + 1, static_cast<int>(inner_->count()) - 1)
                                   : std::max(current - 1, 0);
        if (next != current) {
            SetItemIndex(next);
            UserChose(next);
        }
        break;
    }
    case WM_PAINT:
        if (paintEvent_)
            inner_->Paint(paintEvent_);
        break;
    default: break;
    }
}

void TCustomComboBox::PaintOver(const std::function<void(TCanvas&)>& paint)
{
    if (!paintEvent_)
        return;
    QPainter painter(inner_);
    TCanvas canvas;
    canvas.BindPainter(&painter, inner_->width(), inner_->height());
    canvas.SetFont(Font());
    canvas.Brush().SetColor(Color());
    paint(canvas);
    canvas.Unbind();
}

void TCustomComboBox::InnerPaint(QPaintEvent* e)
{
    QPaintEvent* const outer = paintEvent_;
    paintEvent_ = e;
    TMessage m{WM_PAINT, 0, 0, 0};
    // An error box opened inside a paint would paint again under it.
    try {
        WndProc(m);
    } catch (...) {
        std::exception_ptr error = std::current_exception();
        QueueOnMainThread([error] { ShowException(error); });
    }
    paintEvent_ = outer;
}

void TCustomComboBox::RouteKeyPress(QKeyEvent* e)
{
    QKeyEvent* const outer = pendingKey_;
    const bool outerSuppress = suppressChar_;
    pendingKey_ = e;
    DispatchKeyPress(e, 0, suppressChar_, [this](TMessage& m) { Dispatch(m); });
    pendingKey_ = outer;
    suppressChar_ = outerSuppress;
}

void TCustomComboBox::RouteKeyRelease(QKeyEvent* e)
{
    DispatchKeyRelease(e, [this](TMessage& m) { Dispatch(m); });
}

// Wheel turns reach the combo that has the focus, as on the platform.
void TCustomComboBox::RouteWheel(QWheelEvent* e)
{
    if (!hasFocus() || DroppedDown()) {
        e->ignore();
        return;
    }
    const int turn = e->angleDelta().y();
    if (turn == 0) {
        e->ignore();
        return;
    }
    e->accept();
    const int delta = TakeWheelNotches(wheelRest_, turn);
    if (delta == 0)
        return;
    const QPoint g = e->globalPosition().toPoint();
    TMessage m{WM_MOUSEWHEEL, MakeWParam(static_cast<int>(ShiftStateFromQt(e->modifiers(), e->buttons())), delta),
               MakeLParam(g.x(), g.y()), 0};
    Dispatch(m);
}

void TCustomComboBox::keyPressEvent(QKeyEvent* e) { RouteKeyPress(e); }

void TCustomComboBox::keyReleaseEvent(QKeyEvent* e) { RouteKeyRelease(e); }

void TCustomComboBox::wheelEvent(QWheelEvent* e) { RouteWheel(e); }

void TCustomComboBox::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    if (focusHeld_)
        return;  // back from our own list: the focus never left
    focusHeld_ = true;
    TMessage m{WM_SETFOCUS, 0, 0, 0};
    Dispatch(m);
    // Coming back with its window is no new entry.
    if (!entered_) {
        entered_ = true;
        RunGuarded([&] { DoEnter(); });
    }
}

void TCustomComboBox::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    // Our list (or another popup) opening takes no focus on the platform.
    if (e->reason() == Qt::PopupFocusReason || DroppedDown())
        return;
    focusHeld_ = false;
    TMessage m{WM_KILLFOCUS, reinterpret_cast<std::intptr_t>(QApplication::focusWidget()), 0, 0};
    Dispatch(m);
    // Leaving with the whole window is no exit: the focus comes back here.
    if (e->reason() != Qt::ActiveWindowFocusReason && entered_) {
        entered_ = false;
        RunGuarded([&] { DoExit(); });
    }
}

// Hiding the combo closes its list; a focus that went to the list ends here.
void TCustomComboBox::hideEvent(QHideEvent* e)
{
    if (DroppedDown())
        inner_->hidePopup();
    TCustomControl::hideEvent(e);
    if (focusHeld_ && !hasFocus()) {
        focusHeld_ = false;
        TMessage m{WM_KILLFOCUS, reinterpret_cast<std::intptr_t>(QApplication::focusWidget()), 0, 0};
        Dispatch(m);
    }
    if (entered_ && !hasFocus()) {
        entered_ = false;
        RunGuarded([&] { DoExit(); });
    }
}

void TCustomComboBox::resizeEvent(QResizeEvent* e)
{
    inner_->setGeometry(0, 0, width(), height());
    TCustomControl::resizeEvent(e);
}

bool TCustomComboBox::event(QEvent* e)
{
    // The editing keys belong to the combo, not to shortcuts of the window.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (inner_->lineEdit() && !(ke->modifiers() & Qt::AltModifier) && ke->key() != Qt::Key_Escape &&
            ke->key() != Qt::Key_Return && ke->key() != Qt::Key_Enter) {
            e->accept();
            return true;
        }
    }
    if (e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (IsDialogTab(ke) && AsksForTab(DLGC_WANTTAB | DLGC_WANTALLKEYS, [this](TMessage& m) { Dispatch(m); })) {
            keyPressEvent(ke);
            return true;
        }
    }
    return TCustomControl::event(e);
}

bool TCustomComboBox::eventFilter(QObject* watched, QEvent* e)
{
    const bool onInner = watched == inner_ || watched == inner_->lineEdit();
    if (onInner) {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (!hasFocus() && (focusPolicy() & Qt::ClickFocus) && isEnabled())
                setFocus(Qt::MouseFocusReason);
            break;
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(e);
            const QPoint p = static_cast<QWidget*>(watched)->mapTo(this, me->position().toPoint());
            RunGuarded([&] { MouseMove(ShiftStateFromQt(me->modifiers(), me->buttons()), p.x(), p.y()); });
            break;
        }
        case QEvent::KeyPress:
            if (watched == inner_->lineEdit() && !feeding_) {
                RouteKeyPress(static_cast<QKeyEvent*>(e));
                return true;
            }
            break;
        default: break;
        }
        return false;
    }
    // Installed on the application while the list is open.
    QAbstractItemView* view = inner_->view();
    if (e->type() == QEvent::KeyPress || e->type() == QEvent::MouseButtonPress ||
        e->type() == QEvent::MouseButtonRelease)
        releaseOnList_ = false;
    if (DroppedDown() && watched == view->viewport() && e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        // The list may take this release as the choice of an item; only for
        // this event.
        releaseOnList_ = true;
        QMetaObject::invokeMethod(this, [this] { releaseOnList_ = false; }, Qt::QueuedConnection);
    }
    if (!feeding_ && DroppedDown() && (watched == view || watched == view->parentWidget())) {
        // Every key comes as a key press, none as the list's shortcut.
        if (e->type() == QEvent::ShortcutOverride) {
            e->accept();
            return true;
        }
        if (e->type() == QEvent::KeyPress) {
            RouteKeyPress(static_cast<QKeyEvent*>(e));
            return true;
        }
        if (e->type() == QEvent::KeyRelease) {
            RouteKeyRelease(static_cast<QKeyEvent*>(e));
            return true;
        }
    }
    return TCustomControl::eventFilter(watched, e);
}

} // namespace platform

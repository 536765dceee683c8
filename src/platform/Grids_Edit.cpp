// The grid's inplace editor. It keeps the keyboard focus itself and hands
// keys to one of two Qt editors that never take the focus: a plain-text edit
// (several lines) or, with a mask or a password character, a line edit. That
// way the dialog keys reach the editor and not the form, and every key passes
// the platform's WM_KEYDOWN / WM_CHAR steps before it edits.
#include "platform/Grids.h"

#include "platform/EditMask.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace platform {

namespace detail {

class InplaceLine : public QLineEdit
{
public:
    explicit InplaceLine(TInplaceEdit* owner) : QLineEdit(owner), owner_(owner)
    {
        setFrame(false);
        setFocusPolicy(Qt::NoFocus);
        setContextMenuPolicy(Qt::DefaultContextMenu);
    }
    void Key(QKeyEvent* e) { keyPressEvent(e); }
    void Focus(QFocusEvent* e)
    {
        if (e->gotFocus())
            focusInEvent(e);
        else
            focusOutEvent(e);
    }
    void InputMethod(QInputMethodEvent* e) { inputMethodEvent(e); }

protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        QLineEdit::mouseDoubleClickEvent(e);
        owner_->InnerDoubleClicked();
    }
    void contextMenuEvent(QContextMenuEvent* e) override { owner_->ContextMenu(e->globalPos()); }

private:
    TInplaceEdit* owner_;
};

class InplaceText : public QPlainTextEdit
{
public:
    explicit InplaceText(TInplaceEdit* owner) : QPlainTextEdit(owner), owner_(owner)
    {
        setFrameStyle(QFrame::NoFrame);
        setFocusPolicy(Qt::NoFocus);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setLineWrapMode(QPlainTextEdit::NoWrap);
        setTabChangesFocus(false);
        document()->setDocumentMargin(0);
        viewport()->setFocusPolicy(Qt::NoFocus);
    }
    void Key(QKeyEvent* e) { keyPressEvent(e); }
    void Focus(QFocusEvent* e)
    {
        if (e->gotFocus())
            focusInEvent(e);
        else
            focusOutEvent(e);
    }
    void InputMethod(QInputMethodEvent* e) { inputMethodEvent(e); }
    void SetMargins(int left, int top, int right, int bottom) { setViewportMargins(left, top, right, bottom); }

protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        QPlainTextEdit::mouseDoubleClickEvent(e);
        owner_->InnerDoubleClicked();
    }
    void contextMenuEvent(QContextMenuEvent* e) override { owner_->ContextMenu(e->globalPos()); }

private:
    TInplaceEdit* owner_;
};

} // namespace detail

// ------------------------------------------------------------------ TInplaceEdit

TInplaceEdit::TInplaceEdit(TCustomGrid* grid)
    : TCustomControl(grid ? grid->ClientSurface() : nullptr), grid_(grid)
{
    setAttribute(Qt::WA_InputMethodEnabled);
    SetClickEvents(false);
    line_ = new detail::InplaceLine(this);
    text_ = new detail::InplaceText(this);
    line_->setMaxLength(1 << 24);  // the limit is ours; a long cell text stays whole
    line_->hide();
    QObject::connect(line_, &QLineEdit::textChanged, this, [this](const QString&) { TextChanged(); });
    QObject::connect(text_, &QPlainTextEdit::textChanged, this, [this] { TextChanged(); });
    hide();
}

TInplaceEdit::~TInplaceEdit() = default;

QWidget* TInplaceEdit::Inner() const
{
    return lineMode_ ? static_cast<QWidget*>(line_) : static_cast<QWidget*>(text_);
}

// Line breaks are kept as the cell has them (CR LF when it has none yet);
// the plain-text editor works with LF alone.
static QString BreakStyle(const QString& text)
{
    if (text.contains(QLatin1String("\r\n")))
        return QStringLiteral("\r\n");
    if (text.contains(QLatin1Char('\r')))
        return QStringLiteral("\r");
    if (text.contains(QLatin1Char('\n')))
        return QStringLiteral("\n");
    return QStringLiteral("\r\n");
}

static QString InnerPlain(const detail::InplaceText* t) { return t->toPlainText(); }

void TInplaceEdit::SetText(const QString& text)
{
    lineBreak_ = BreakStyle(text);
    {
        const bool old = switching_;
        switching_ = true;
        if (lineMode_) {
            line_->setText(text);
        } else {
            QString plain = text;
            plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
            text_->setPlainText(plain);
        }
        switching_ = old;
    }
    loadedText_ = text;
    loadedInner_ = lineMode_ ? line_->text() : InnerPlain(text_);
    loaded_ = true;
    TextChanged();
}

QString TInplaceEdit::Text() const
{
    QString inner;
    if (lineMode_) {
        inner = line_->text();
        if (!editMask_.isEmpty() && !saveLiterals_ && line_->echoMode() == QLineEdit::Normal)
            inner = MaskedText(TranslateEditMask(editMask_), line_->displayText());
    } else {
        inner = InnerPlain(text_);
    }
    if (loaded_ && inner == loadedInner_)
        return loadedText_;
    if (!lineMode_ && lineBreak_ != QLatin1String("\n"))
        inner.replace(QLatin1Char('\n'), lineBreak_);
    return inner;
}

QString TInplaceEdit::EditText() const { return lineMode_ ? line_->displayText() : Text(); }

// In the caret's positions: with a mask those of the text as shown.
int TInplaceEdit::TextLength() const
{
    return static_cast<int>(lineMode_ ? line_->displayText().size() : Text().size());
}

// Positions are those of Text(): a CR LF line break counts two.
namespace {
int ToOuter(const QString& plain, const QString& lineBreak, int inner)
{
    if (lineBreak.size() < 2)
        return inner;
    int extra = 0;
    for (int i = 0; i < inner && i < plain.size(); ++i)
        extra += plain[i] == QLatin1Char('\n') ? 1 : 0;
    return inner + extra;
}

int ToInner(const QString& plain, const QString& lineBreak, int outer)
{
    if (lineBreak.size() < 2)
        return std::clamp(outer, 0, static_cast<int>(plain.size()));
    int pos = 0;
    for (int i = 0; i < plain.size(); ++i) {
        const int width = plain[i] == QLatin1Char('\n') ? 2 : 1;
        if (pos + width > outer)
            return i;
        pos += width;
    }
    return static_cast<int>(plain.size());
}
} // namespace

int TInplaceEdit::SelStart() const
{
    if (lineMode_)
        return line_->hasSelectedText() ? line_->selectionStart() : line_->cursorPosition();
    const QTextCursor c = text_->textCursor();
    return ToOuter(InnerPlain(text_), lineBreak_, c.selectionStart());
}

int TInplaceEdit::SelLength() const
{
    if (lineMode_)
        return static_cast<int>(line_->selectedText().size());
    const QTextCursor c = text_->textCursor();
    const QString plain = InnerPlain(text_);
    const QString& lb = lineBreak_;
    return ToOuter(plain, lb, c.selectionEnd()) - ToOuter(plain, lb, c.selectionStart());
}

void TInplaceEdit::SetSel(int start, int length)
{
    start = std::max(0, start);
    length = std::max(0, length);
    if (lineMode_) {
        const int n = static_cast<int>(line_->text().size());
        start = std::min(start, n);
        line_->setSelection(start, std::min(length, n - start));
        return;
    }
    const QString plain = InnerPlain(text_);
    const QString& lb = lineBreak_;
    const int from = ToInner(plain, lb, start);
    const int to = ToInner(plain, lb, start + length);
    QTextCursor c = text_->textCursor();
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    text_->setTextCursor(c);
}

void TInplaceEdit::SetSelStart(int start) { SetSel(start, 0); }

void TInplaceEdit::SetSelLength(int length) { SetSel(SelStart(), length); }

QString TInplaceEdit::SelText() const
{
    if (lineMode_)
        return line_->selectedText();
    const int s = SelStart();
    return Text().mid(s, SelLength());
}

void TInplaceEdit::SelectAll()
{
    if (lineMode_)
        line_->selectAll();
    else
        text_->selectAll();
}

void TInplaceEdit::Deselect()
{
    if (lineMode_) {
        line_->deselect();
        line_->end(false);
    } else {
        QTextCursor c = text_->textCursor();
        c.movePosition(QTextCursor::End);
        text_->setTextCursor(c);
    }
}

void TInplaceEdit::SetMaxLength(int length) { maxLength_ = std::max(0, length); }

void TInplaceEdit::UseLineEditor(bool line)
{
    if (line == lineMode_)
        return;
    const QString text = Text();
    const bool focused = hasFocus();
    const bool old = switching_;
    switching_ = true;
    if (focused) {
        QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
        if (lineMode_)
            line_->Focus(&out);
        else
            text_->Focus(&out);
    }
    lineMode_ = line;
    line_->setVisible(line);
    text_->setVisible(!line);
    Inner()->setGeometry(rect());
    switching_ = old;
    SetText(text);
    if (focused) {
        QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
        if (lineMode_)
            line_->Focus(&in);
        else
            text_->Focus(&in);
    }
}

void TInplaceEdit::SetEditMask(const QString& mask)
{
    if (mask == editMask_)
        return;
    editMask_ = mask;
    const TEditMask info = TranslateEditMask(mask);
    saveLiterals_ = info.saveLiterals;
    UseLineEditor(!info.qtMask.isEmpty() || !passwordChar_.isNull());
    const bool old = switching_;
    switching_ = true;
    line_->setInputMask(info.qtMask);
    switching_ = old;
}

void TInplaceEdit::SetPasswordChar(QChar c)
{
    passwordChar_ = c;
    UseLineEditor(!TranslateEditMask(editMask_).qtMask.isEmpty() || !c.isNull());
    line_->setEchoMode(c.isNull() ? QLineEdit::Normal : QLineEdit::Password);
}

void TInplaceEdit::SetWordWrap(bool wrap)
{
    wordWrap_ = wrap;
    text_->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TInplaceEdit::SetAlignment(TAlignment a)
{
    alignment_ = a;
    const Qt::Alignment h = a == taRightJustify ? Qt::AlignRight : a == taCenter ? Qt::AlignHCenter : Qt::AlignLeft;
    line_->setAlignment(h | Qt::AlignVCenter);
    QTextOption option = text_->document()->defaultTextOption();
    option.setAlignment(h);
    text_->document()->setDefaultTextOption(option);
}

void TInplaceEdit::SetTextMargins(int left, int top, int right, int bottom)
{
    margins_[0] = left;
    margins_[1] = top;
    margins_[2] = right;
    margins_[3] = bottom;
    line_->setTextMargins(left, top, right, bottom);
    text_->SetMargins(left, top, right, bottom);
}

int TInplaceEdit::LineCount() const
{
    if (lineMode_)
        return 1;
    int lines = 0;
    for (QTextBlock b = text_->document()->begin(); b.isValid(); b = b.next())
        lines += std::max(1, b.layout() ? b.layout()->lineCount() : 0);
    return std::max(1, lines);
}

int TInplaceEdit::LineFromChar(int charIndex) const
{
    if (lineMode_)
        return 0;
    const QString plain = InnerPlain(text_);
    const int pos = charIndex < 0 ? text_->textCursor().position() : ToInner(plain, lineBreak_, charIndex);
    const QTextBlock target = text_->document()->findBlock(pos);
    int line = 0;
    for (QTextBlock b = text_->document()->begin(); b.isValid() && b != target; b = b.next())
        line += std::max(1, b.layout() ? b.layout()->lineCount() : 0);
    if (target.isValid() && target.layout() && target.layout()->lineCount() > 0) {
        const QTextLine l = target.layout()->lineForTextPosition(pos - target.position());
        if (l.isValid())
            line += l.lineNumber();
    }
    return line;
}

int TInplaceEdit::CharFromPos(const TPoint& p) const
{
    if (lineMode_)
        return line_->cursorPositionAt(QPoint(p.X, p.Y) - line_->pos());
    const QPoint inViewport = text_->viewport()->mapFrom(this, QPoint(p.X, p.Y));
    const QTextCursor c = text_->cursorForPosition(inViewport);
    return ToOuter(InnerPlain(text_), lineBreak_, c.position());
}

TPoint TInplaceEdit::PosFromChar(int charIndex) const
{
    if (lineMode_) {
        const QFontMetrics fm(line_->font());
        const int x = margins_[0] + 2 + fm.horizontalAdvance(line_->displayText().left(std::max(0, charIndex)));
        return Point(x, (height() - fm.height()) / 2);
    }
    QTextCursor c(text_->document());
    c.setPosition(ToInner(InnerPlain(text_), lineBreak_, charIndex));
    const QPoint p = text_->viewport()->mapTo(this, text_->cursorRect(c).topLeft());
    return Point(p.x(), p.y());
}

void TInplaceEdit::Move(const TRect& r)
{
    setGeometry(r.Left, r.Top, std::max(0, r.Right - r.Left), std::max(0, r.Bottom - r.Top));
    Inner()->setGeometry(rect());
    RunGuarded([&] { BoundsChanged(); });
    show();
    raise();
}

void TInplaceEdit::BoundsChanged() { SetTextMargins(2, 2, 2, 0); }

void TInplaceEdit::resizeEvent(QResizeEvent* e)
{
    TCustomControl::resizeEvent(e);
    line_->setGeometry(rect());
    text_->setGeometry(rect());
}

void TInplaceEdit::ApplyPalette()
{
    const QColor base = ToQColor(Color());
    const QColor text = ToQColor(Font().Color());
    for (QWidget* w : {static_cast<QWidget*>(line_), static_cast<QWidget*>(text_)}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Base, base);
        p.setColor(QPalette::Text, text);
        w->setPalette(p);
    }
}

void TInplaceEdit::SetColor(TColor c)
{
    TCustomControl::SetColor(c);
    ApplyPalette();
}

void TInplaceEdit::FontChanged()
{
    TCustomControl::FontChanged();
    ApplyPalette();
}

void TInplaceEdit::UpdateContents()
{
    SetText(QString());
    SetEditMask(grid_->GetEditMask(grid_->Col(), grid_->Row()));
    SetText(grid_->GetEditText(grid_->Col(), grid_->Row()));
    SetMaxLength(grid_->GetEditLimit());
}

void TInplaceEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

// The grid hears of every change first (EN_CHANGE), then the editor's own Change.
void TInplaceEdit::TextChanged()
{
    if (switching_)
        return;
    if (grid_) {
        TMessage m{WM_COMMAND, MakeWParam(0, static_cast<int>(EN_CHANGE)),
                   reinterpret_cast<std::intptr_t>(static_cast<QObject*>(this)), 0};
        grid_->Perform(m);
    }
    RunGuarded([&] { Change(); });
}

void TInplaceEdit::InnerDoubleClicked()
{
    TMessage m{WM_LBUTTONDBLCLK, 0, 0, 0};
    Dispatch(m);
}

void TInplaceEdit::ContextMenu(const QPoint& globalPos)
{
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool password = lineMode_ && line_->echoMode() != QLineEdit::Normal;
    const bool selected = SelLength() > 0;
    menu->addAction(QStringLiteral("Undo"), this, [this] { DefaultChar(QChar(26)); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("Cut"), this, [this] { CutToClipboard(); })->setEnabled(selected && !password);
    menu->addAction(QStringLiteral("Copy"), this, [this] { CopyToClipboard(); })->setEnabled(selected && !password);
    menu->addAction(QStringLiteral("Paste"), this, [this] { PasteFromClipboard(); });
    menu->addAction(QStringLiteral("Delete"), this, [this] { InsertText(QString()); })->setEnabled(selected);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Select All"), this, [this] { SelectAll(); });
    menu->popup(globalPos);
}

void TInplaceEdit::CopyToClipboard()
{
    TMessage m{WM_COPY, 0, 0, 0};
    Dispatch(m);
}

void TInplaceEdit::CutToClipboard()
{
    TMessage m{WM_CUT, 0, 0, 0};
    Dispatch(m);
}

void TInplaceEdit::PasteFromClipboard()
{
    TMessage m{WM_PASTE, 0, 0, 0};
    Dispatch(m);
}

void TInplaceEdit::TypeChar(QChar ch)
{
    TMessage m{WM_CHAR, ch.unicode(), 0, 0};
    Dispatch(m);
}

void TInplaceEdit::Dispatch(TMessage& m)
{
    RunGuarded([&] { WndProc(m); });
}

bool TInplaceEdit::WantsKey(int key) const
{
    TMessage m{WM_GETDLGCODE, key, 0, 0};
    const_cast<TInplaceEdit*>(this)->Dispatch(m);
    return (m.Result & DLGC_WANTALLKEYS) != 0;
}

// Keys the editor does not use go to the grid.
void TInplaceEdit::KeyDown(int& key, TShiftState shift)
{
    TCustomControl::KeyDown(key, shift);
    if (key == 0 || !grid_)
        return;
    auto toGrid = [&] {
        grid_->KeyDown(key, shift);
        key = 0;
    };
    const bool always = (grid_->Options() & goAlwaysShowEditor) != 0;
    const bool plain = !(shift & (ssShift | ssCtrl | ssAlt));
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE: toGrid(); break;
    case VK_TAB:
        if (!(shift & ssAlt))
            toGrid();
        break;
    case VK_HOME:
    case VK_END:
        if (shift & ssCtrl)
            toGrid();
        break;
    case VK_LEFT:
        if (always && plain && SelLength() == 0 && SelStart() == 0)
            toGrid();
        break;
    case VK_RIGHT:
        if (always && plain && SelLength() == 0 && SelStart() == TextLength())
            toGrid();
        break;
    case VK_F2:
        Deselect();
        key = 0;
        break;
    default: break;
    }
}

// Enter selects the whole text, or nothing when all is selected.
void TInplaceEdit::KeyPress(QChar& key)
{
    TCustomControl::KeyPress(key);
    if (key == QLatin1Char('\r')) {
        if (SelStart() == 0 && SelLength() == TextLength())
            Deselect();
        else
            SelectAll();
        key = QChar();
    }
}

void TInplaceEdit::FeedKey(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text)
{
    QKeyEvent e(QEvent::KeyPress, qtKey, modifiers, text);
    if (lineMode_)
        line_->Key(&e);
    else
        text_->Key(&e);
}

// The edit's own handling of a key: moving the caret, deleting, the
// clipboard keys. Keys that type a character act in DefaultChar.
void TInplaceEdit::DefaultKeyDown(int key, TShiftState shift)
{
    if (key == VK_INSERT && (shift & ssShift)) {
        PasteFromClipboard();
        return;
    }
    if (key == VK_INSERT && (shift & ssCtrl)) {
        CopyToClipboard();
        return;
    }
    if (key == VK_DELETE && (shift & ssShift)) {
        CutToClipboard();
        return;
    }
    const bool typesChar = pendingKey_ && !pendingKey_->text().isEmpty() && pendingKey_->text()[0].unicode() != 0x7F &&
                           key == VirtualKeyFromQt(pendingKey_->key());
    if (typesChar)
        return;
    if (pendingKey_ && pendingKey_->matches(QKeySequence::Copy)) {
        CopyToClipboard();
        return;
    }
    if (pendingKey_ && pendingKey_->matches(QKeySequence::Cut)) {
        CutToClipboard();
        return;
    }
    if (pendingKey_ && pendingKey_->matches(QKeySequence::Paste)) {
        PasteFromClipboard();
        return;
    }
    if (pendingKey_ && key == VirtualKeyFromQt(pendingKey_->key())) {
        QKeyEvent copy(QEvent::KeyPress, pendingKey_->key(), pendingKey_->modifiers(), QString(),
                       pendingKey_->isAutoRepeat());
        if (lineMode_)
            line_->Key(&copy);
        else
            text_->Key(&copy);
    } else {
        Qt::KeyboardModifiers m = Qt::NoModifier;
        if (shift & ssShift)
            m |= Qt::ShiftModifier;
        if (shift & ssCtrl)
            m |= Qt::ControlModifier;
        if (shift & ssAlt)
            m |= Qt::AltModifier;
        const int qtKey = QtKeyFromVirtualKey(key);
        if (qtKey != 0)
            FeedKey(qtKey, m, QString());
    }
}

void TInplaceEdit::InsertText(const QString& text)
{
    QString s = text;
    if (maxLength_ > 0) {
        const int room = std::max(0, maxLength_ - (TextLength() - SelLength()));
        if (s.size() > room)
            s.truncate(room);
        if (s.isEmpty() && !text.isEmpty()) {
            QApplication::beep();
            return;
        }
    }
    if (lineMode_) {
        if (!editMask_.isEmpty()) {
            for (QChar c : s)
                FeedKey(0, Qt::NoModifier, QString(c));
            if (s.isEmpty())
                line_->del();
        } else {
            line_->insert(s);
        }
    } else {
        QString plain = s;
        plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        text_->insertPlainText(plain);
    }
}

// The edit's own handling of a character.
void TInplaceEdit::DefaultChar(QChar ch)
{
    switch (ch.unicode()) {
    case 1: SelectAll(); return;            // Ctrl+A
    case 3: CopyToClipboard(); return;      // Ctrl+C
    case 22: PasteFromClipboard(); return;  // Ctrl+V
    case 24: CutToClipboard(); return;      // Ctrl+X
    case 26:                                // Ctrl+Z
        if (lineMode_)
            line_->undo();
        else
            text_->undo();
        return;
    case 8: FeedKey(Qt::Key_Backspace, Qt::NoModifier, QString()); return;
    case 9:
        if (!lineMode_)
            InsertText(QStringLiteral("\t"));
        return;
    case 10:
    case 13:
        if (!lineMode_)
            InsertText(QStringLiteral("\n"));
        return;
    default:
        if (ch.unicode() < 32)
            return;
        InsertText(QString(ch));
    }
}

void TInplaceEdit::WndProc(TMessage& m)
{
    if (HandleKeyMessage(
            m, suppressChar_, [this](int key, TShiftState shift) { DefaultKeyDown(key, shift); },
            [this](QChar ch) { DefaultChar(ch); }))
        return;
    switch (m.Msg) {
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTALLKEYS;
        if (grid_ && (grid_->Options() & goTabs))
            m.Result |= DLGC_WANTTAB;
        break;
    case WM_COPY:
        if (!(lineMode_ && line_->echoMode() != QLineEdit::Normal) && SelLength() > 0)
            QGuiApplication::clipboard()->setText(SelText());
        break;
    case WM_CUT:
        if (!(lineMode_ && line_->echoMode() != QLineEdit::Normal) && SelLength() > 0) {
            QGuiApplication::clipboard()->setText(SelText());
            InsertText(QString());
        }
        break;
    case WM_PASTE: {
        QString clip = QGuiApplication::clipboard()->text();
        if (lineMode_) {
            // One line takes the text up to its first line break.
            const qsizetype br = clip.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
            if (br >= 0)
                clip.truncate(br);
        }
        if (!clip.isEmpty())
            InsertText(clip);
        break;
    }
    case WM_SETFOCUS: {
        QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
        if (lineMode_)
            line_->Focus(&in);
        else
            text_->Focus(&in);
        break;
    }
    case WM_KILLFOCUS: {
        QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
        if (lineMode_)
            line_->Focus(&out);
        else
            text_->Focus(&out);
        break;
    }
    case WM_LBUTTONDBLCLK: DblClick(); break;
    case WM_COMMAND:
        // A notification sent back to the editor: its change, once more.
        break;
    default: break;
    }
}

void TInplaceEdit::keyPressEvent(QKeyEvent* e)
{
    QKeyEvent* const outer = pendingKey_;
    pendingKey_ = e;
    DispatchKeyPress(e, (e->modifiers() & Qt::KeypadModifier) ? KeyDataNumPad : 0, suppressChar_,
                     [this](TMessage& m) { Dispatch(m); });
    pendingKey_ = outer;
}

void TInplaceEdit::keyReleaseEvent(QKeyEvent* e)
{
    DispatchKeyRelease(e, [this](TMessage& m) { Dispatch(m); });
}

void TInplaceEdit::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    TMessage m{WM_SETFOCUS, 0, 0, 0};
    Dispatch(m);
    if (e->reason() != Qt::ActiveWindowFocusReason)
        RunGuarded([&] { DoEnter(); });
}

void TInplaceEdit::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    QWidget* next = QApplication::focusWidget();
    if (grid_ && next == grid_)
        grid_->focusFromEditor_ = true;
    TMessage m{WM_KILLFOCUS, reinterpret_cast<std::intptr_t>(next), 0, 0};
    Dispatch(m);
    if (e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason)
        RunGuarded([&] { DoExit(); });
}

void TInplaceEdit::inputMethodEvent(QInputMethodEvent* e)
{
    if (lineMode_)
        line_->InputMethod(e);
    else
        text_->InputMethod(e);
}

QVariant TInplaceEdit::inputMethodQuery(Qt::InputMethodQuery query) const { return Inner()->inputMethodQuery(query); }

bool TInplaceEdit::event(QEvent* e)
{
    // The editing keys belong to the editor, not to shortcuts of the window.
    if (e->type() == QEvent::ShortcutOverride) {
        static_cast<QObject*>(Inner())->event(e);
        if (e->isAccepted())
            return true;
    }
    if (e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (IsDialogTab(ke)) {
            if (AsksForTab(DLGC_WANTTAB, [this](TMessage& m) { Dispatch(m); })) {
                keyPressEvent(ke);
                return true;
            }
            // Otherwise the Tab leaves the grid, from the grid's place in the
            // tab order rather than from the editor's.
            if (grid_ && grid_->FocusNeighbourControl(ke->key() == Qt::Key_Tab && !(ke->modifiers() & Qt::ShiftModifier)))
                return true;
        }
    }
    return TCustomControl::event(e);
}

} // namespace platform

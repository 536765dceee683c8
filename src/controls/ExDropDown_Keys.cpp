// The drop-down edit's keyboard, clipboard, mouse and focus handling.
#include "controls/ExDropDown.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <cmath>

using namespace platform;

namespace {

QChar DS()
{
    return RegionalSettings().DecimalSeparator;
}

QChar TS()
{
    return RegionalSettings().ThousandSeparator;
}

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool IsAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

constexpr QChar kBack(8), kTab(9), kEnter(13), kEscape(27), kLineFeed(10);

} // namespace

bool TExCustomDropDown::WholeValueSelected() const
{
    const QString v = Text();
    return !v.isEmpty() && hasSelectedText() && selectionStart() <= FPrefix.size() &&
           selectionEnd() >= FPrefix.size() + v.size();
}

void TExCustomDropDown::MarkModified()
{
    setModified(true);
}

void TExCustomDropDown::PassOn(QChar ch)
{
    if (ch == kBack) {
        backspace();
        return;
    }
    if (ch == kTab || ch == kEnter)
        return;
    insert(QString(ch));
}

void TExCustomDropDown::KeyDown(int& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
    if ((shift & ssAlt) && (key == VK_UP || key == VK_DOWN)) {
        if (FDroppedDown)
            DoHideDropDown(false);
        else
            DoShowDropDown();
        key = 0;
    }
}

void TExCustomDropDown::KeyPress(QChar& key)
{
    if (OnKeyPress)
        OnKeyPress(this, key);
    if (key == kEnter)
        key = QChar();
}

void TExCustomDropDown::CloseKeys(int key)
{
    if (key == VK_RETURN)
        DoHideDropDown(false);
    else if (key == VK_ESCAPE)
        DoHideDropDown(true);
    else if (key == VK_F4) {
        if (FDropDownForm && FDropDownForm->isVisible())
            DoHideDropDown(false);
        else
            DoShowDropDown();
    }
}

void TExCustomDropDown::keyPressEvent(QKeyEvent* e)
{
    bool used = false;
    RunGuarded([&] { used = HandleKeyPress(e); });
    if (used)
        e->accept();
    else
        e->ignore();
}

bool TExCustomDropDown::HandleKeyPress(QKeyEvent* e)
{
    const bool wasDropped = FDroppedDown;
    int key = VirtualKeyFromQt(e->key());
    const TShiftState shift = ShiftStateFromQt(e->modifiers());
    const bool ctrl = (e->modifiers() & Qt::ControlModifier) != 0;

    if (e->matches(QKeySequence::Paste)) {
        if (FEditorEnabled)
            Paste();
        return true;
    }
    if (e->matches(QKeySequence::Copy)) {
        Copy();
        return true;
    }
    if (e->matches(QKeySequence::Cut)) {
        if (FEditorEnabled)
            Cut();
        return true;
    }

    if (key != 0) {
        KeyDown(key, shift);
        if (key == 0)
            return true;
    }

    QChar ch;
    const QString typed = e->text();
    if (!typed.isEmpty())
        ch = typed[0];
    if (key == VK_BACK)
        ch = kBack;
    else if (key == VK_RETURN)
        ch = kEnter;
    else if (key == VK_ESCAPE)
        ch = kEscape;
    else if (key == VK_TAB)
        ch = QChar();
    const bool isChar = !ch.isNull() && (ch.isPrint() || ch == kBack || ch == kEnter || ch == kEscape ||
                                          (ctrl && ch == kLineFeed));

    // Key-down filter.
    if (!FEditorEnabled && isEnabled()) {
        if (!isReadOnly())
            CloseKeys(key);
        // Enter and Escape go on to the form unless they closed the popup.
        return !((key == VK_RETURN || key == VK_ESCAPE) && !wasDropped);
    }
    if (ctrl && (key == VK_TAB || key == VK_RETURN))
        return key == VK_RETURN;
    if (key == VK_RETURN && FReturnIsTab) {
        CloseKeys(VK_RETURN);
        focusNextChild();
        return true;
    }
    const int p = static_cast<int>(FPrefix.size());
    const int v = static_cast<int>(Text().size());
    const int selEnd = hasSelectedText() ? selectionEnd() : cursorPosition();
    if (!FSuffix.isEmpty()) {
        if (key == VK_RIGHT && selEnd >= p + v && !(shift & ssShift))
            return true;
        if (key == VK_DELETE) {
            if (selEnd >= p + v && !hasSelectedText())
                return true;
            MarkModified();
        }
    }
    if (!FPrefix.isEmpty() && key == VK_LEFT && selEnd <= p && !hasSelectedText())
        return true;
    if (key == VK_END && !FSuffix.isEmpty()) {
        if (shift & ssShift)
            setSelection(cursorPosition(), p + v - cursorPosition());
        else
            setCursorPosition(p + v);
        return true;
    }
    if (key == VK_HOME && !FPrefix.isEmpty()) {
        if (shift & ssShift)
            setSelection(p + v, -v);
        else
            setCursorPosition(p);
        return true;
    }
    if (!isChar) {
        bool platform = true;
        if (key == VK_DELETE && cursorPosition() >= p) {
            QString value = Text();
            const int c = cursorPosition() - p;
            if (hasSelectedText())
                value.remove(std::max(0, selectionStart() - p), selectedText().size());
            else
                value.remove(c, 1);
            if (FLengthLimit > 0 && IntegerPartLength(value) - 1 > FLengthLimit)
                platform = false;
            else
                MarkModified();
        }
        if (platform && key != VK_F4 && key != VK_TAB) {
            QLineEdit::keyPressEvent(e);
            if (key == VK_DELETE && FEditType == etMoney)
                ApplyThousandSeparators();
            if (!FPrefix.isEmpty() && cursorPosition() < p)
                setCursorPosition(p);
        }
        CloseKeys(key);
        if (isModified())
            SetModifiedState(true);
        return key != VK_TAB;
    }
    CloseKeys(key);

    // Character filter.
    if (ch == kEscape) {
        if (!FCanUndo)
            return wasDropped;
        if (!wasDropped) {
            SelectAll();
            SetModifiedState(false);
            // The form's cancel handling gets Escape unless the edit wants it.
            return !FDefaultHandling;
        }
        return true;
    }
    if (ch == kEnter) {
        if (ctrl)
            return true;
        QChar k = kEnter;
        KeyPress(k);
        return wasDropped;
    }
    bool numPad = (e->modifiers() & Qt::KeypadModifier) != 0;
    CharFilter(ch, shift, numPad);
    return true;
}

bool TExCustomDropDown::ThousandCheckRefuses() const
{
    const QChar ts = TS();
    if (ts.isNull())
        return false;
    QString rest = Text();
    int c = cursorPosition() - static_cast<int>(FPrefix.size());
    int d = static_cast<int>(rest.size());
    while (rest.contains(ts)) {
        const int pos = static_cast<int>(rest.indexOf(ts)) + 1;
        d = std::min(d, std::abs(pos - c));
        if (std::abs(pos - c) < 3)
            return true;
        if (c > pos)
            c -= pos;
        rest.remove(0, pos);
    }
    return d > 3;
}

void TExCustomDropDown::ToggleSign()
{
    const int p = static_cast<int>(FPrefix.size());
    const int q = cursorPosition();
    QString value = Text();
    if (value.contains(QLatin1Char('-'))) {
        value.remove(0, 1);
        setText(FPrefix + value + FSuffix);
        setCursorPosition(q > p ? q - 1 : p);
    } else {
        value.prepend(QLatin1Char('-'));
        setText(FPrefix + value + FSuffix);
        setCursorPosition(q + 1);
    }
    MarkModified();
}

void TExCustomDropDown::CharFilter(QChar ch, TShiftState shift, bool numPad)
{
    if (!FEditorEnabled || isReadOnly())
        return;
    const bool ctrl = (shift & ssCtrl) != 0;
    const int p = static_cast<int>(FPrefix.size());
    const QString value = Text();
    const bool whole = WholeValueSelected();
    const QChar ds = DS(), ts = TS();
    // Replacing the whole value raises no change event (a refused character
    // must not leave the next real change swallowed, though).
    if (whole)
        FBlockChange = true;
    auto refuse = [this, whole] {
        if (whole)
            FBlockChange = false;
    };
    if (FExcelStyleDecimalSeparator && numPad && (ch == QLatin1Char('.') || ch == QLatin1Char(',')))
        ch = ds;
    if (ch == kBack && !FPrefix.isEmpty() && cursorPosition() <= p && !hasSelectedText())
        return refuse();
    if (FLengthLimit > 0 && IntegerPartLength(value) > FLengthLimit && !hasSelectedText() &&
        cursorPosition() < DecimalSeparatorPosition() && ch != kBack && ch != ds && !IsAllowedMinus(ch))
        return refuse();
    if (ch == kBack) {
        PassOn(ch);
        if (whole) {
            if (Text().isEmpty()) {
                FBlockChange = false;
                if (OnChange)
                    OnChange(this);
            }
        }
        // Money values regroup while digits are typed, not while they are
        // taken away: leaving the control formats the value again.
        SetModifiedState(true);
        return;
    }
    if (ch == kLineFeed && ctrl)
        return refuse();
    const bool numberType = FEditType == etNumeric || FEditType == etFloat || FEditType == etMoney;
    if (ch == QLatin1Char('-') && numberType && !FSigned)
        return refuse();

    switch (FEditType) {
    case etString:
    case etPassword:
        MarkModified();
        PassOn(ch);
        break;
    case etAlphaNumeric:
        if (!(IsDigit(ch) || IsAsciiLetter(ch)))
            return refuse();
        MarkModified();
        PassOn(ch);
        break;
    case etValidChars:
        if (!FValidChars.contains(ch))
            return refuse();
        MarkModified();
        PassOn(ch);
        break;
    case etHex: {
        const bool ok = ch == QLatin1Char('-') || IsDigit(ch) || (ch >= QLatin1Char('A') && ch <= QLatin1Char('F')) ||
                        (ch >= QLatin1Char('a') && ch <= QLatin1Char('f'));
        if (!ok)
            return refuse();
        MarkModified();
        PassOn(ch);
        break;
    }
    case etUppercase:
        PassOn(ch.toUpper());
        break;
    case etLowerCase:
        PassOn(ch.toLower());
        break;
    case etMixedCase: {
        PassOn(ch);
        const int c = cursorPosition();
        setText(FPrefix + ProperCase(Text()) + FSuffix);
        setCursorPosition(c);
        break;
    }
    case etRange: {
        const bool ok = IsDigit(ch) || IsRangeSeparator(ch);
        if (!ok)
            return refuse();
        MarkModified();
        if (IsRangeSeparator(ch)) {
            const QString t = text();
            const int c = cursorPosition();
            const bool before = c > 0 && IsRangeSeparator(t[c - 1]);
            const bool after = c < t.size() && IsRangeSeparator(t[c]);
            if (c <= p || before || after)
                return refuse();
        }
        PassOn(ch);
        break;
    }
    case etNumeric:
        if (ch == QLatin1Char('-')) {
            if (whole || value.isEmpty()) {
                setText(FPrefix + QStringLiteral("-") + FSuffix);
                setCursorPosition(p + 1);
                MarkModified();
            } else {
                ToggleSign();
            }
            break;
        }
        if (IsDigit(ch) || ctrl)
            PassOn(ch);
        else
            return refuse();
        break;
    case etFloat:
    case etMoney: {
        const bool money = FEditType == etMoney;
        if (!money && (ch == QLatin1Char(',') || ch == QLatin1Char('.')) && ch != ds && ch != ts)
            return refuse();
        const bool accepted = IsDigit(ch) || ch == QLatin1Char('-') || ch == ds ||
                              (!money && (ch == QLatin1Char(',') || ch == QLatin1Char('.')));
        if (!accepted)
            return refuse();
        const int c = cursorPosition();
        const int dpos = static_cast<int>(value.indexOf(ds));
        // 1. The decimal separator.
        if (ch == ds) {
            if (!money) {
                if (!selectedText().contains(ds) && (dpos >= 0 || FPrecision == 0)) {
                    if (FPrecision > 0)
                        SelectAfterDecimal();
                    return refuse();
                }
            } else if (dpos >= 0 || FPrecision == 0) {
                if (FPrecision > 0) {
                    if (whole)
                        SetText(QStringLiteral("0") + ds + QStringLiteral("0"));
                    SelectAfterDecimal();
                }
                return refuse();
            }
        }
        // 2. Thousand separators already in the value.
        if ((ch == ds || (!ts.isNull() && ch == ts)) && !ts.isNull() && value.contains(ts) && ThousandCheckRefuses())
            return refuse();
        // 3. All decimals typed.
        if (FPrecision > 0 && dpos >= 0 && c > p + dpos && value.size() - dpos - 1 >= FPrecision &&
            (p + value.size()) - c <= FPrecision && !hasSelectedText() && (IsDigit(ch) || ch == ds)) {
            if (IsDigit(ch) && c < p + value.size()) {
                setSelection(c, 1);
            } else {
                return refuse();
            }
        }
        // 4. A separator into an empty value.
        if (value.isEmpty() && c == p && ch == ds) {
            setText(FPrefix + QStringLiteral("0") + ds + FSuffix);
            setCursorPosition(p + 2);
            MarkModified();
            return refuse();
        }
        // 5. The sign.
        if (ch == QLatin1Char('-') && !hasSelectedText()) {
            ToggleSign();
            return refuse();
        }
        MarkModified();
        PassOn(ch);
        if (money) {
            const QString now = Text();
            if (!now.isEmpty() && now != QLatin1String("-") && ch != ds)
                ApplyThousandSeparators();
        }
        break;
    }
    }
    if (isModified())
        SetModifiedState(true);
}

// ---------------------------------------------------------------------------
// Focus and mouse
// ---------------------------------------------------------------------------

void TExCustomDropDown::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    RunGuarded([&] {
        if (FEditorEnabled) {
            FOldString = Text();
            if (e->reason() != Qt::MouseFocusReason && e->reason() != Qt::PopupFocusReason)
                SelectAll();
            else if (FEditType == etFloat || FEditType == etMoney)
                SelectBeforeDecimal();
        }
        update();
    });
}

void TExCustomDropDown::focusOutEvent(QFocusEvent* e)
{
    RunGuarded([&] {
        const QString v = Text();
        const bool numberFixed = (FEditType == etFloat || FEditType == etMoney) && FPrecision > 0;
        if (numberFixed && (!v.isEmpty() || !FAllowNumericNullValue)) {
            const bool modified = FIsModified;
            SetFloatValue(GetFloatValue());
            SetModifiedState(modified);
        } else if (FEditType == etNumeric && v.isEmpty() && !FAllowNumericNullValue) {
            SetText(QStringLiteral("0"));
        } else if ((FEditType == etFloat || FEditType == etMoney) && v.isEmpty() && !FAllowNumericNullValue) {
            SetFloatValue(0);
        }
    });
    QLineEdit::focusOutEvent(e);
    update();
}

void TExCustomDropDown::mousePressEvent(QMouseEvent* e)
{
    if (!FEditorEnabled) {
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
        if (e->button() == Qt::LeftButton)
            RunGuarded([this] { DropDownButtonClick(); });
        return;
    }
    // A press inside the selection of the focused edit keeps the selection;
    // the release decides where the caret goes.
    if (e->button() == Qt::LeftButton && hasFocus() && hasSelectedText()) {
        const int index = cursorPositionAt(e->position().toPoint());
        if (index >= selectionStart() && index <= selectionEnd()) {
            FButtonDown = true;
            e->accept();
            return;
        }
    }
    QLineEdit::mousePressEvent(e);
}

void TExCustomDropDown::mouseReleaseEvent(QMouseEvent* e)
{
    if (!FEditorEnabled || isReadOnly())
        update(); // the focus look of AfterPaint
    if (FButtonDown && e->button() == Qt::LeftButton)
        setCursorPosition(cursorPositionAt(e->position().toPoint()));
    if (e->button() == Qt::LeftButton)
        FButtonDown = false;
    QLineEdit::mouseReleaseEvent(e);
    if (!FEditorEnabled)
        return;
    RunGuarded([this] {
        const int p = static_cast<int>(FPrefix.size());
        const int v = static_cast<int>(Text().size());
        if ((hasSelectedText() ? selectionStart() : cursorPosition()) < p)
            setSelection(p, v);
        if (FSuffix.isEmpty())
            return;
        if (hasSelectedText() && selectionEnd() > p + v) {
            const int start = selectionStart();
            if (start < p + v)
                setSelection(start, p + v - start);
            else
                setCursorPosition(p + v);
        } else if (!hasSelectedText() && cursorPosition() > p + v) {
            setCursorPosition(p + v);
        }
    });
}

// ---------------------------------------------------------------------------
// Clipboard
// ---------------------------------------------------------------------------

void TExCustomDropDown::Cut()
{
    if (!FEditorEnabled || isReadOnly())
        return;
    FBlockCopy = true;
    bool allow = true;
    if (OnClipboardCut)
        OnClipboardCut(this, selectedText(), allow);
    if (allow)
        cut();
    FBlockCopy = false;
}

void TExCustomDropDown::Copy()
{
    bool allow = true;
    if (OnClipboardCopy && !FBlockCopy)
        OnClipboardCopy(this, selectedText(), allow);
    FBlockCopy = false;
    if (allow)
        copy();
}

void TExCustomDropDown::Paste()
{
    if (isReadOnly())
        return;
    const QString clip = QApplication::clipboard()->text();
    if (clip.isEmpty())
        return;
    const int p = static_cast<int>(FPrefix.size());
    QString value = Text();
    const bool selected = hasSelectedText();
    const int start = std::clamp((selected ? selectionStart() : cursorPosition()) - p, 0, static_cast<int>(value.size()));
    const int length = selected ? static_cast<int>(selectedText().size()) : 0;
    const QString newValue = value.left(start) + clip + value.mid(start + length);
    bool allow = true;
    if (OnClipboardPaste)
        OnClipboardPaste(this, newValue, allow);
    if (!allow)
        return;
    if (maxLength() > 0 && maxLength() < 32767 && clip.size() + value.size() - length > maxLength())
        return;
    const bool signOk = FSigned || !newValue.contains(QLatin1Char('-'));
    bool done = false;
    auto allIn = [&](auto pred) {
        for (const QChar c : newValue)
            if (!pred(c))
                return false;
        return true;
    };
    switch (FEditType) {
    case etString:
    case etPassword:
        SetText(newValue);
        MarkModified();
        done = true;
        break;
    case etNumeric:
        if (TextNumberKind(newValue) == 0 && signOk) {
            SetText(newValue);
            MarkModified();
            done = true;
        }
        break;
    case etFloat:
    case etMoney:
        if (TextNumberKind(newValue) > 1 || (FPrecision == 0 && clip.contains(DS())))
            return;
        if (signOk) {
            SetText(newValue);
            SetFloatValue(GetFloatValue());
            done = true;
        }
        break;
    case etUppercase:
        SetText(newValue.toUpper());
        MarkModified();
        done = true;
        break;
    case etLowerCase:
        SetText(newValue.toLower());
        MarkModified();
        done = true;
        break;
    case etMixedCase:
        SetText(ProperCase(newValue));
        MarkModified();
        done = true;
        break;
    case etAlphaNumeric:
        if (allIn([](QChar c) { return IsDigit(c) || IsAsciiLetter(c); })) {
            SetText(newValue);
            done = true;
        }
        break;
    case etValidChars:
        if (allIn([this](QChar c) { return FValidChars.contains(c); })) {
            SetText(newValue);
            done = true;
        }
        break;
    case etRange:
    case etHex:
        return;
    }
    if (!done)
        return;
    if (FEditType == etMoney && Text().size() > 3)
        SelectAll();
    else if (selected)
        setSelection(p + start, static_cast<int>(clip.size()));
    else
        setCursorPosition(p + start + static_cast<int>(clip.size()));
    if (isModified())
        SetModifiedState(true);
}

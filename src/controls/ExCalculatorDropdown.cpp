#include "controls/ExCalculatorDropdown.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include <cmath>
#include <stdexcept>

using namespace platform;

namespace {

QChar DS()
{
    return RegionalSettings().DecimalSeparator;
}

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The general format: 15 significant digits, the locale's separator.
QString FormatGeneral(double x)
{
    return QString::number(x, 'g', 15).replace(QLatin1Char('.'), DS());
}

constexpr QChar kBack(8), kEnter(13), kEscape(27);
constexpr int opNone = -1, opAdd = 0, opMultiply = 1, opSubtract = 2, opDivide = 3;

} // namespace

TExCalculatorDropdown::TExCalculatorDropdown(QWidget* parent)
    : TExCustomDropDown(parent), FCalcButtonAppearance(std::make_unique<TButtonAppearance>())
{
    SetDropDownColor(0xFFFFFF);
    SetDropDownWidth(230);
    DropDownHeader().SetVisible(false);
    DropDownFooter().SetVisible(false);
    SetEditType(etFloat);
    FPrevop = opNone;
    SetPrecision(2);
    FDecim = 0;
    FCalcClosed = true;
    FMVal = 0;
}

TExCalculatorDropdown::~TExCalculatorDropdown() = default;

// ---------------------------------------------------------------------------
// Display
// ---------------------------------------------------------------------------

void TExCalculatorDropdown::SetDisplay(const QString& value)
{
    SetRawText(Prefix() + value + Suffix());
}

void TExCalculatorDropdown::ShowNumber(double v)
{
    SetFloatValue(v);
    SetModifiedState(true);
}

double TExCalculatorDropdown::Number() const
{
    const QString text = Text();
    QString s = StripThousandSeparators(text).trimmed();
    const QChar ds = DS();
    bool ok = !(ds != QLatin1Char('.') && s.contains(QLatin1Char('.')));
    if (ok && ds != QLatin1Char('.'))
        s.replace(ds, QLatin1Char('.'));
    const double v = ok ? s.toDouble(&ok) : 0;
    if (!ok || !std::isfinite(v))
        throw std::invalid_argument("'" + text.toStdString() + "' is not a valid floating point value");
    return v;
}

double TExCalculatorDropdown::Value()
{
    if (Text().isEmpty())
        SetDisplay(QStringLiteral("0"));
    try {
        return Number();
    } catch (const std::exception&) {
        return 0;
    }
}

void TExCalculatorDropdown::SetValue(double value)
{
    SetDisplay(FormatGeneral(value));
}

void TExCalculatorDropdown::SetShowThousandSeparator(bool value)
{
    if (value == FShowThousandSeparator)
        return;
    FShowThousandSeparator = value;
    const double v = GetFloatValue();
    SetEditType(value ? etMoney : etFloat);
    ShowNumber(v);
}

void TExCalculatorDropdown::SetText(const QString& value)
{
    // A cancelled popup brings back the text it was opened with, not the
    // last intermediate result.
    TExCustomDropDown::SetText(FRestoring ? FOpenText : value);
}

void TExCalculatorDropdown::SetComponentStyle(TQRVStyle style)
{
    TExCustomDropDown::SetComponentStyle(style);
    // Stored only: the keypad paints visual-style buttons.
    TExButtonAppearance& b = ButtonAppearance();
    TButtonAppearance& c = *FCalcButtonAppearance;
    c.SetBorderColor(b.BorderColor());
    c.SetBorderColorHot(b.BorderColorHot());
    c.SetBorderColorDown(b.BorderColorDown());
    c.SetColor(b.Color());
    c.SetColorTo(b.ColorTo());
    c.SetColorDown(b.ColorDown());
    c.SetColorDownTo(b.ColorDownTo());
    c.SetColorHot(b.ColorHot());
    c.SetColorHotTo(b.ColorHotTo());
}

// ---------------------------------------------------------------------------
// Operations
// ---------------------------------------------------------------------------

bool TExCalculatorDropdown::DisplayIsEmptyOrError() const
{
    const QString t = Text();
    return t.isEmpty() || t == QLatin1String("Error");
}

void TExCalculatorDropdown::ApplyPendingOperation()
{
    if (DisplayIsEmptyOrError())
        SetDisplay(QStringLiteral("0"));
    const long double x = Number();
    try {
        switch (FPrevop) {
        case opAdd:
            FPrevval = x + FPrevval;
            break;
        case opMultiply:
            FPrevval = x * FPrevval;
            break;
        case opSubtract:
            FPrevval = FPrevval - x;
            break;
        case opDivide:
            if (x == 0) {
                FPrevval = 0;
                SetDisplay(QStringLiteral("Error"));
                return;
            }
            FPrevval = FPrevval / x;
            break;
        default:
            FPrevval = Number();
            break;
        }
        if (!std::isfinite(static_cast<double>(FPrevval)))
            FPrevval = 0; // overflow
    } catch (const std::exception&) {
        FPrevval = 0;
    }
    ShowNumber(static_cast<double>(FPrevval));
    FNewval = true;
}

void TExCalculatorDropdown::Operator(int op)
{
    ApplyPendingOperation();
    FPrevop = op;
}

void TExCalculatorDropdown::DoEquals()
{
    ApplyPendingOperation();
    if (Text().isEmpty())
        SetDisplay(QStringLiteral("0"));
    FPrevop = opNone;
    if (Text() != QLatin1String("Error"))
        FPrevval = Number();
}

void TExCalculatorDropdown::DoPercent()
{
    if (DisplayIsEmptyOrError())
        SetDisplay(QStringLiteral("0"));
    SetDisplay(FormatGeneral(static_cast<double>(FPrevval * Number() / 100)));
}

void TExCalculatorDropdown::ClearDisplay(bool newValue)
{
    SetDisplay(QStringLiteral("0"));
    FNewval = newValue;
    FPrevop = opNone;
}

bool TExCalculatorDropdown::CalculatorClosed() const
{
    return FCalcClosed || (DropDownForm() && !DropDownForm()->isVisible());
}

bool TExCalculatorDropdown::LimitReached() const
{
    return maxLength() > 0 && text().size() >= maxLength();
}

// Runs one input step; when it throws, the display and the registers go
// back to what they were and the error goes on to the caller.
template <class F> void TExCalculatorDropdown::KeepStateOnError(F&& step)
{
    const QString text = RawText();
    const long double prevval = FPrevval, mval = FMVal;
    const int prevop = FPrevop, decim = FDecim;
    const bool newval = FNewval, modified = GetModifiedState();
    try {
        step();
    } catch (...) {
        {
            const QSignalBlocker block(this);
            SetRawText(text);
        }
        FPrevval = prevval;
        FMVal = mval;
        FPrevop = prevop;
        FDecim = decim;
        FNewval = newval;
        SetModifiedState(modified);
        throw;
    }
}

// ---------------------------------------------------------------------------
// Keypad
// ---------------------------------------------------------------------------

void TExCalculatorDropdown::ButtonClick(int index)
{
    if (!FExButtonPanel || !FExButtonPanel->Buttons().Items(index))
        return;
    const int tag = FExButtonPanel->Buttons().Items(index)->Tag();
    KeepStateOnError([&] { KeypadKey(tag); });
}

void TExCalculatorDropdown::KeypadKey(int tag)
{
    BeforeInput();
    // Every clearing key ends a decimal entry (CE and the top-left key too:
    // otherwise the next digit would land behind a decimal point not shown).
    if ((tag >= 10 && tag <= 14) || (tag >= 16 && tag <= 18) || tag == 30 || tag == 32)
        FDecim = 0;
    if (((tag >= 0 && tag <= 9) || tag == 14 || tag == 15) && LimitReached())
        return;
    switch (tag) {
    case 0: case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9: {
        const double v = GetFloatValue();
        if ((v == 0 && FDecim == 0) || FNewval) {
            SetDisplay(QString::number(tag));
            FNewval = false;
        } else if (FDecim > 0) {
            ShowNumber(v + static_cast<double>(tag) / FDecim);
            FDecim *= 10;
        } else {
            ShowNumber(v * 10 + tag);
        }
        break;
    }
    case 10:
        Operator(opAdd);
        break;
    case 11:
        Operator(opSubtract);
        break;
    case 12:
        Operator(opMultiply);
        break;
    case 13:
        Operator(opDivide);
        break;
    case 14: {
        QString t = Text();
        if (t.contains(QLatin1Char('-')))
            t.remove(0, 1);
        else
            t.prepend(QLatin1Char('-'));
        SetDisplay(t);
        break;
    }
    case 15:
        if (!Text().contains(DS()))
            SetDisplay(Text() + DS());
        FDecim = 10;
        if (FNewval)
            SetDisplay(QStringLiteral("0"));
        FNewval = false;
        break;
    case 16:
    case 30:
    case 32:
        SetDisplay(QStringLiteral("0"));
        FPrevval = 0;
        FPrevop = opNone;
        break;
    case 17:
        DoEquals();
        break;
    case 18:
        DoPercent();
        break;
    case 31:
        if (FPrevop == opNone)
            SetDisplay(FormatGeneral(GetFloatValue()).chopped(1));
        break;
    case 33:
        FMVal = 0;
        break;
    case 34:
        ShowNumber(static_cast<double>(FMVal));
        break;
    case 35:
        FMVal = Number();
        break;
    case 36:
        FMVal = FMVal + Number();
        break;
    case 37: {
        const double v = GetFloatValue();
        if (v < 0)
            SetDisplay(QStringLiteral("Error"));
        else
            ShowNumber(std::sqrt(v));
        break;
    }
    case 38: {
        const double v = GetFloatValue();
        if (v == 0)
            SetDisplay(QStringLiteral("Error"));
        else
            ShowNumber(1 / v);
        break;
    }
    default:
        return;
    }
    SetModifiedState(true);
}

// ---------------------------------------------------------------------------
// Popup
// ---------------------------------------------------------------------------

void TExCalculatorDropdown::CreateDropDownForm()
{
    TExCustomDropDown::CreateDropDownForm();
    if (!DropDownForm() || FExButtonPanel)
        return;
    FExButtonPanel = new TCustomButtonPanel(DropDownForm());
    FExButtonPanel->SetExDropDown(this);
    // Keys go to the popup, which relays them; the keypad takes clicks only.
    FExButtonPanel->setFocusPolicy(Qt::NoFocus);
    FExButtonPanel->SetBounds(0, 0, 230, 150);
    FExButtonPanel->InitButtons();
    FExButtonPanel->OnButtonClick = [this](QObject*, int index) { ButtonClick(index); };
    SetControl(FExButtonPanel);
}

void TExCalculatorDropdown::BeforeDropDown()
{
    if (!FExButtonPanel)
        CreateDropDownForm();
    TExCustomDropDown::BeforeDropDown();
    DropDownForm()->SetCancelOnDeActivate(false);
    FExButtonPanel->SetButtonAppearance(*FCalcButtonAppearance);
    FExButtonPanel->SetColor(DropDownColor());
    FExButtonPanel->ArrangeButtons();
    FNewval = true;
    FDecim = 0;
    FCalcClosed = false;
    FOpenText = Text();
}

void TExCalculatorDropdown::DoHideDropDown(bool cancelled)
{
    FRestoring = cancelled;
    try {
        TExCustomDropDown::DoHideDropDown(cancelled);
    } catch (...) {
        FRestoring = false;
        throw;
    }
    FRestoring = false;
    if (cancelled)
        FPrevop = opNone; // the cancelled sum is gone with its display
}

void TExCalculatorDropdown::AfterDropUp()
{
    TExCustomDropDown::AfterDropUp();
}

void TExCalculatorDropdown::DropDownKeyDown(QKeyEvent* e)
{
    const int key = VirtualKeyFromQt(e->key());
    const TShiftState shift = ShiftStateFromQt(e->modifiers());
    KeepStateOnError([&] {
        switch (key) {
        case VK_TAB:
        case VK_F4:
            DoHideDropDown(false);
            return;
        case VK_BACK: {
            QString t = Text();
            t.chop(1);
            if (t.isEmpty() || t == QLatin1String("Error"))
                t = QStringLiteral("0");
            SetDisplay(t);
            return;
        }
        default:
            break;
        }
        int k = key;
        if (k != 0) {
            KeyDown(k, shift);
            if (k == 0)
                return;
        }
        if (!e->text().isEmpty())
            DropDownKeyPress(e);
    });
}

void TExCalculatorDropdown::DropDownKeyPress(QKeyEvent* e)
{
    QChar ch = e->text().isEmpty() ? QChar() : e->text().at(0);
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        ch = kEnter;
    else if (e->key() == Qt::Key_Escape)
        ch = kEscape;
    if (ch.isNull())
        return;
    const bool alt = (e->modifiers() & Qt::AltModifier) != 0;
    // The edit sees the character first, typed at the end of the display.
    if (ch != kEnter && ch != kEscape && !alt) {
        setCursorPosition(static_cast<int>(text().size()));
        QChar c = ch;
        KeyPress(c);
        if (!c.isNull())
            HandleKeyPressBase(e);
    }
    BeforeInput();
    if (ch == DS()) {
        if (!Text().contains(DS()))
            SetDisplay(Text() + DS());
        return;
    }
    if (IsDigit(ch) && LimitReached())
        return;
    if (ch == kEnter) {
        DoEquals();
        DoHideDropDown(false);
    } else if (ch == kEscape) {
        DoHideDropDown(true);
    } else if (ch == QLatin1Char('%')) {
        DoPercent();
    } else if (ch == QLatin1Char('&') && alt) {
        DoHideDropDown(true);
    } else if (ch == QLatin1Char('*')) {
        Operator(opMultiply);
    } else if (ch == QLatin1Char('+')) {
        Operator(opAdd);
    } else if (ch == QLatin1Char('-')) {
        Operator(opSubtract);
    } else if (ch == QLatin1Char('/')) {
        Operator(opDivide);
    } else if (IsDigit(ch)) {
        if (Text() == QLatin1String("0") || FNewval)
            FNewval = false;
    } else if (ch == QLatin1Char('=')) {
        DoEquals();
    } else if (ch == QLatin1Char('C') || ch == QLatin1Char('c')) {
        FPrevval = 0;
        ClearDisplay(true);
    }
}

// ---------------------------------------------------------------------------
// The edit's keys
// ---------------------------------------------------------------------------

bool TExCalculatorDropdown::HandleKeyPress(QKeyEvent* e)
{
    // While the keypad is open its keys rule, wherever the key was typed.
    if (DroppedDown()) {
        DropDownKeyDown(e);
        return true;
    }
    const QString typed = e->text();
    const bool alt = (e->modifiers() & Qt::AltModifier) != 0;
    const bool ctrl = (e->modifiers() & Qt::ControlModifier) != 0;
    QChar ch = typed.isEmpty() ? QChar() : typed.at(0);
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        ch = kEnter;
    else if (e->key() == Qt::Key_Backspace)
        ch = kBack;
    bool used = true;
    // Keys without a character (and shortcuts) take the base's way.
    if (ch.isNull() || alt || ctrl || e->key() == Qt::Key_Escape || e->key() == Qt::Key_Tab ||
        (!ch.isPrint() && ch != kEnter && ch != kBack)) {
        used = TExCustomDropDown::HandleKeyPress(e);
        if (e->key() == Qt::Key_Delete && DisplayIsEmptyOrError())
            SetDisplay(QStringLiteral("0"));
        return used;
    }
    KeepStateOnError([&] {
        int key = VirtualKeyFromQt(e->key());
        if (key != 0) {
            KeyDown(key, ShiftStateFromQt(e->modifiers()));
            if (key == 0)
                return;
        }
        QChar c = ch;
        KeyPress(c);
        if (ch == kEnter) {
            // Enter goes on to the form while the popup is closed.
            used = DroppedDown();
            return;
        }
        if (!c.isNull())
            used = HandleKeyPressBase(e);
    });
    return used;
}

bool TExCalculatorDropdown::HandleKeyPressBase(QKeyEvent* e)
{
    // The key-down step has run already.
    FSkipKeyDown = true;
    bool used = false;
    try {
        used = TExCustomDropDown::HandleKeyPress(e);
    } catch (...) {
        FSkipKeyDown = false;
        throw;
    }
    FSkipKeyDown = false;
    return used;
}

void TExCalculatorDropdown::KeyPress(QChar& key)
{
    if (OnKeyPress) {
        OnKeyPress(this, key);
        if (key.isNull())
            return;
    }
    // Operator keys work in the closed edit.
    if (CalculatorClosed()) {
        if (key == kEnter || key == QLatin1Char('=')) {
            DoEquals();
        } else if (key == QLatin1Char('%')) {
            DoPercent();
        } else if (key == QLatin1Char('*')) {
            Operator(opMultiply);
        } else if (key == QLatin1Char('+')) {
            Operator(opAdd);
        } else if (key == QLatin1Char('-')) {
            Operator(opSubtract);
        } else if (key == QLatin1Char('/')) {
            Operator(opDivide);
        } else if (key == QLatin1Char('C') || key == QLatin1Char('c')) {
            // The accumulator is kept.
            ClearDisplay(true);
        }
    }
    const QChar ds = DS();
    if (!(IsDigit(key) || key == ds || key == kBack || key == QLatin1Char('-'))) {
        key = QChar();
        return;
    }
    if (IsDigit(key) && (Text() == QLatin1String("0") || FNewval)) {
        SetDisplay(QString(key));
        setCursorPosition(static_cast<int>(text().size()) - static_cast<int>(Suffix().size()));
        FNewval = false;
        key = QChar();
        return;
    }
    if (key == kBack && Text().size() == 1) {
        SetDisplay(QStringLiteral("0"));
        setCursorPosition(static_cast<int>(text().size()) - static_cast<int>(Suffix().size()));
        key = QChar();
        return;
    }
    const QChar ts = RegionalSettings().ThousandSeparator;
    if ((!ts.isNull() && key == ts) || (key == ds && Text().contains(ds)))
        key = QChar();
}

void TExCalculatorDropdown::KeyDown(int& key, TShiftState shift)
{
    if (FSkipKeyDown) {
        FSkipKeyDown = false;
        return;
    }
    TExCustomDropDown::KeyDown(key, shift);
}

#include "controls/ExDateTimePicker.h"

#include "controls/ExDropDown.h" // GetCanvasTextSize
#include "platform/Messages.h"
#include "platform/Themes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>

using namespace platform;

namespace {

constexpr TColor kThemedFrame = 0xB99D7F;

bool IsMouseButtonDown()
{
    return (QGuiApplication::mouseButtons() & (Qt::LeftButton | Qt::RightButton)) != 0;
}

TSize GetTextSize(const QString& text, const TFont& font)
{
    TBitmap measure(1, 1);
    measure.Canvas().SetFont(font);
    return GetCanvasTextSize(measure.Canvas(), text);
}

// QDateTime with its milliseconds dropped.
QDateTime WholeSeconds(const QDateTime& v)
{
    const QTime t = v.time();
    return QDateTime(v.date(), QTime(t.hour(), t.minute(), t.second()));
}

} // namespace

unsigned DTPShiftFocusMessage()
{
    static const unsigned msg = RegisterWindowMessage(QStringLiteral("DTPShiftFocus"));
    return msg;
}

// ---------------------------------------------------------------------------
// TCustomDateTimePicker
// ---------------------------------------------------------------------------

TCustomDateTimePicker::TCustomDateTimePicker(QWidget* parent) : TDateTimePicker(parent)
{
    FButtonWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) + 2;
    FIsThemed = true;
    setMouseTracking(true);
    setFrame(false);
    DTPShiftFocusMessage();
    ApplyFormat();
}

QString TCustomDateTimePicker::DefaultFormat() const
{
    const TRegionalSettings rs = RegionalSettings();
    if (Kind() == dtkTime) {
        const QString t = rs.TimeSeparator.isNull() ? QStringLiteral(":") : QString(rs.TimeSeparator);
        return QStringLiteral("HH") + t + QStringLiteral("mm") + t + QStringLiteral("ss");
    }
    QString date = rs.ShortDateFormat.isEmpty() ? QStringLiteral("dd/MM/yyyy") : rs.ShortDateFormat;
    if (!rs.DateSeparator.isNull())
        for (QChar& c : date)
            if (c == u'/' || c == u'.' || c == u'-')
                c = rs.DateSeparator;
    return date;
}

void TCustomDateTimePicker::SetAutoTab(bool v) { FAutoTab = v; }

void TCustomDateTimePicker::SetMetroStyle(bool v)
{
    FMetroStyle = v;
    update();
}

void TCustomDateTimePicker::SetBorderStyle(TFormBorderStyle v)
{
    if (v == FBorderStyle)
        return;
    FBorderStyle = v;
    setFrame(v != bsNone);
    update();
}

void TCustomDateTimePicker::SetBorderColor(TColor v)
{
    if (v == FBorderColor)
        return;
    FBorderColor = v;
    update();
}

void TCustomDateTimePicker::SetCtl3D(bool v)
{
    if (v == FCtl3D)
        return;
    FCtl3D = v;
    update();
}

bool TCustomDateTimePicker::IsMetroActive() const { return FMetroStyle && !SuppressFlatLook(); }

TColor TCustomDateTimePicker::ParentBackground() const
{
    const QWidget* p = parentWidget();
    return p ? FromQColor(p->palette().color(p->backgroundRole())) : clBtnFace;
}

int TCustomDateTimePicker::NativeButtonLeft() const
{
    // The style's own arrow may be wider than the button we draw in its place.
    QStyleOptionComboBox opt;
    opt.initFrom(this);
    opt.rect = rect();
    opt.frame = hasFrame();
    opt.editable = true;
    const QRect arrow = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxArrow, this);
    return std::min(width() - FButtonWidth - 4, arrow.isValid() ? arrow.left() - 1 : width());
}

TColor TCustomDateTimePicker::FieldColor() const
{
    // Color() falls back to the parent's; the field itself shows the base colour.
    return FromQColor(palette().color(QPalette::Base));
}

void TCustomDateTimePicker::PostNextField()
{
    QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier));
}

void TCustomDateTimePicker::HandleShiftFocus()
{
    if (Kind() != dtkTime)
        return;
    const QTime t = TDateTimePicker::Time();
    // The field may already have moved on by itself when it was full.
    if ((t.hour() != Fh || t.minute() != Fm || t.second() != Fs) && CurrentField() == FDigitField)
        PostNextField();
}

void TCustomDateTimePicker::keyPressEvent(QKeyEvent* e)
{
    // Left and right go from field to field, as in the native picker.
    if ((e->key() == Qt::Key_Right || e->key() == Qt::Key_Left) && e->modifiers() == Qt::NoModifier) {
        const int next = currentSectionIndex() + (e->key() == Qt::Key_Right ? 1 : -1);
        if (next >= 0 && next < sectionCount()) {
            setCurrentSectionIndex(next);
            setSelectedSection(sectionAt(next));
        }
        e->accept();
        return;
    }
    const bool digit = e->text().size() == 1 && e->text()[0] >= u'0' && e->text()[0] <= u'9';
    if (digit && FAutoTab) {
        if (Kind() == dtkTime) {
            const QTime t = TDateTimePicker::Time();
            Fh = t.hour();
            Fm = t.minute();
            Fs = t.second();
            Fms = t.msec();
        }
        FDigitField = CurrentField();
        TDateTimePicker::keyPressEvent(e);
        PostMessage(this, DTPShiftFocusMessage());
        return;
    }
    TDateTimePicker::keyPressEvent(e);
}

bool TCustomDateTimePicker::event(QEvent* e)
{
    TMessage m;
    if (detail::TakePostedMessage(e, m)) {
        if (m.Msg == DTPShiftFocusMessage())
            RunGuarded([this] { HandleShiftFocus(); });
        return true;
    }
    return TDateTimePicker::event(e);
}

void TCustomDateTimePicker::mouseMoveEvent(QMouseEvent* e)
{
    const int x = e->position().toPoint().x();
    const bool hover = x > width() - FButtonWidth && x < width();
    if (hover != FButtonHover) {
        FButtonHover = hover;
        update();
    }
    TDateTimePicker::mouseMoveEvent(e);
}

void TCustomDateTimePicker::enterEvent(QEnterEvent* e)
{
    TDateTimePicker::enterEvent(e);
    if (isEnabled()) {
        FMouseInControl = true;
        update();
    }
}

void TCustomDateTimePicker::leaveEvent(QEvent* e)
{
    TDateTimePicker::leaveEvent(e);
    FMouseInControl = false;
    FButtonHover = false;
    update();
}

void TCustomDateTimePicker::focusInEvent(QFocusEvent* e)
{
    TDateTimePicker::focusInEvent(e);
    FHasFocus = true;
    update();
}

void TCustomDateTimePicker::focusOutEvent(QFocusEvent* e)
{
    TDateTimePicker::focusOutEvent(e);
    FHasFocus = false;
    update();
}

void TCustomDateTimePicker::paintEvent(QPaintEvent* e)
{
    TDateTimePicker::paintEvent(e);
    if (FCtl3D && !IsMetroActive())
        return;
    QPainter painter(this);
    TCanvas canvas;
    canvas.BindPainter(&painter, width(), height());
    RunGuarded([&] {
        if (IsMetroActive() && Kind() != dtkTime) {
            // Over the native button, then ours in its place.
            canvas.Brush().SetColor(FieldColor());
            canvas.Brush().SetStyle(TBrushStyle::bsSolid);
            if (ThemesActive())
                canvas.FillRect(Rect(NativeButtonLeft(), 1, width() - 1, height() - 1));
            else
                canvas.FillRect(Rect(width() - FButtonWidth - 2, 4, width() - 2, height() - 4));
            DrawDropButton(canvas);
        }
        if (!FCtl3D) {
            canvas.Brush().SetStyle(TBrushStyle::bsClear);
            canvas.Pen().SetWidth(1);
            canvas.Pen().SetColor(FBorderStyle == bsNone ? ParentBackground() : (FIsThemed ? kThemedFrame : FBorderColor));
            canvas.Rectangle(ClientRect());
            if (!ThemesActive()) {
                canvas.Pen().SetColor(ParentBackground());
                TRect inner = ClientRect();
                InflateRect(inner, -1, -1);
                canvas.Rectangle(inner);
            }
        }
        DrawBorders(canvas);
    });
    canvas.Unbind();
}

void TCustomDateTimePicker::DrawDropButton(TCanvas& canvas)
{
    TRect r = Rect(width() - FButtonWidth + 2, 0, width(), height());
    InflateRect(r, -1, -1);
    const bool down = IsMouseButtonDown();
    if (ButtonColor != clNone) {
        TColor fill = ButtonColor;
        if (FButtonHover)
            fill = down && ButtonColorDown != clNone ? ButtonColorDown
                                                     : (ButtonColorHot != clNone ? ButtonColorHot : ButtonColor);
        canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        canvas.Brush().SetColor(fill);
        canvas.FillRect(Rect(r.Left + 2, r.Top, r.Right, r.Bottom));
        if (ButtonBorderColor != clNone) {
            canvas.Pen().SetColor(ButtonBorderColor);
            canvas.MoveTo(r.Left, r.Top);
            canvas.LineTo(r.Left, r.Bottom);
        }
        const TColor arrow = down && ButtonTextColorDown != clNone ? ButtonTextColorDown : ButtonTextColor;
        if (arrow != clNone) {
            canvas.Pen().SetColor(arrow);
            canvas.Brush().SetColor(arrow);
            canvas.Polygon({Point(r.Left + 5, r.Top + 7), Point(r.Left + 11, r.Top + 7), Point(r.Left + 8, r.Top + 10)});
        }
    } else {
        int state = CBXS_NORMAL;
        if (!isEnabled())
            state = CBXS_DISABLED;
        else if (down && DroppedDown())
            state = CBXS_PRESSED;
        else if (!down && FButtonHover && !DroppedDown())
            state = CBXS_HOT;
        if (!DrawThemeBackground(canvas, ThemeClass::ComboBox, CP_DROPDOWNBUTTON, state, r, this)) {
            canvas.Brush().SetColor(clBtnFace);
            canvas.FillRect(r);
            canvas.Pen().SetColor(isEnabled() ? clBlack : clGray);
            canvas.Brush().SetColor(isEnabled() ? clBlack : clGray);
            const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
            canvas.Polygon({Point(cx - 3, cy - 1), Point(cx + 3, cy - 1), Point(cx, cy + 2)});
        }
    }
}

void TCustomDateTimePicker::DrawBorders(TCanvas& canvas)
{
    if (SuppressFlatLook() || !IsMetroActive() || (isEnabled() && FBorderColor == clNone))
        return;
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.Pen().SetWidth(1);
    TRect r = ClientRect();
    if (!isEnabled() && FIsThemed) {
        canvas.Pen().SetColor(kThemedFrame);
        canvas.Rectangle(r);
    } else if (FBorderColor == clNone) {
        canvas.Pen().SetColor(ParentBackground());
        canvas.Rectangle(r);
        InflateRect(r, -1, -1);
        canvas.Rectangle(Rect(r.Left, r.Top, r.Right - FButtonWidth, r.Bottom));
        InflateRect(r, -1, -1);
        canvas.Pen().SetColor(FieldColor());
        canvas.Rectangle(r);
    } else {
        canvas.Pen().SetColor(FBorderColor);
        canvas.Rectangle(r);
    }
}

// ---------------------------------------------------------------------------
// TExDateTimePicker
// ---------------------------------------------------------------------------

TExDateTimePicker::TExDateTimePicker(QWidget* parent)
    : TCustomDateTimePicker(parent), FLabelFont(std::make_unique<TFont>())
{
    SetBorderStyle(bsSingle);
    SetCtl3D(true);
    FLabelFont->OnChange = [this] {
        if (FLabel)
            PositionLabel();
    };
    // The window exists at once here: the stored kind takes effect now.
    SetDateTime(TDateTimePicker::DateTime());
    SetKind(dkDateTime);
}

TExDateTimePicker::~TExDateTimePicker()
{
    // The label sits on our parent, not on us.
    delete FLabel.data();
}

QString TExDateTimePicker::Version() const
{
    const std::uint32_t v = GetVersionNr();
    return QStringLiteral("%1.%2.%3.%4").arg(v >> 24).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

void TExDateTimePicker::SetKind(TExDateTimeKind k)
{
    if (k == FKind)
        return;
    FKind = k;
    TDateTimePicker::SetKind(k == dkTime ? dtkTime : dtkDate);
    if (k == dkTime && !FTimeFormat.isEmpty())
        SetFormat(FTimeFormat);
    CreateTimePicker();
    UpdateTimePicker();
}

QDateTime TExDateTimePicker::DateTime() const
{
    // Joined without writing the time back into this part: a write would
    // throw away a field the user is still typing.
    if (FTimePicker)
        return WholeSeconds(QDateTime(TDateTimePicker::Date(), FTimePicker->TDateTimePicker::Time()));
    return WholeSeconds(TDateTimePicker::DateTime());
}

void TExDateTimePicker::SetDateTime(const QDateTime& v)
{
    if (!v.isValid())
        return;
    const QDateTime whole = WholeSeconds(v);
    TDateTimePicker::SetDateTime(whole);
    if (FKind == dkDateTime && !FTimePicker)
        CreateTimePicker();
    if (FTimePicker)
        FTimePicker->TDateTimePicker::SetDateTime(whole);
}

void TExDateTimePicker::SetDate(const QDate& d)
{
    if (!d.isValid())
        return;
    SetDateTime(QDateTime(d, DateTime().time()));
}

QTime TExDateTimePicker::Time() const
{
    if (FKind == dkDateTime && FTimePicker)
        return FTimePicker->TDateTimePicker::Time();
    return TDateTimePicker::Time();
}

void TExDateTimePicker::SetTime(const QTime& t)
{
    TDateTimePicker::SetTime(t);
    if (FTimePicker)
        FTimePicker->TDateTimePicker::SetTime(t);
    UpdateTimePicker();
}

void TExDateTimePicker::SetTimeFormat(const QString& f)
{
    if (FTimePicker)
        FTimePicker->SetFormat(f);
    if (FKind == dkTime)
        SetFormat(f);
    FTimeFormat = f;
    UpdateTimePicker();
}

void TExDateTimePicker::SetAutoTab(bool v)
{
    TCustomDateTimePicker::SetAutoTab(v);
    if (FTimePicker)
        FTimePicker->SetAutoTab(v);
}

void TExDateTimePicker::SetBorderStyle(TFormBorderStyle v)
{
    TCustomDateTimePicker::SetBorderStyle(v);
    UpdateTimePicker();
}

void TExDateTimePicker::SetBounds(int left, int top, int width, int height)
{
    TCustomDateTimePicker::SetBounds(left, top, width, height);
    if (FLabel && FLabel->parentWidget())
        PositionLabel();
}

void TExDateTimePicker::SetVisible(bool v)
{
    TCustomDateTimePicker::SetVisible(v);
    if (FLabel)
        FLabel->SetVisible(v);
}

void TExDateTimePicker::SetEnabled(bool e)
{
    TCustomDateTimePicker::SetEnabled(e);
    if (FTimePicker)
        FTimePicker->SetEnabled(e && (!ShowCheckbox() || Checked()));
    if (FLabel && !FLabelAlwaysEnabled)
        FLabel->SetEnabled(e);
}

void TExDateTimePicker::SetColor(TColor c)
{
    TCustomDateTimePicker::SetColor(c);
    UpdateTimePicker();
}

void TExDateTimePicker::SetParent(QWidget* parent)
{
    detail::SetParentKeepingVisibility(this, parent);
    if (FLabel) {
        detail::SetParentKeepingVisibility(FLabel, parent);
        PositionLabel();
    }
}

void TExDateTimePicker::CreateTimePicker()
{
    if (FTimePicker || FKind != dkDateTime)
        return;
    FTimePicker = new TCustomDateTimePicker(this);
    FTimePicker->SetBounds(0, 0, 90, 17);
    FTimePicker->SetVisible(false);
    FTimePicker->SetEnabled(isEnabled());
    FTimePicker->TDateTimePicker::SetKind(dtkTime);
    FTimePicker->SetAutoTab(AutoTab());
    FTimePicker->OnChange = [this](QObject*) {
        DoChange();
        if (OnTimeChange)
            OnTimeChange(this);
    };
    FTimePicker->OnKeyPress = [this](QObject* sender, QChar& key) { TimePickerKeyPress(sender, key); };
    FTimePicker->OnKeyDown = [this](QObject*, int& key, TShiftState shift) {
        KeyDown(key, shift);
        if (key != 0 && OnKeyDown)
            OnKeyDown(this, key, shift);
    };
}

void TExDateTimePicker::UpdateTimePicker()
{
    if (!FTimePicker)
        return;
    if (FTimePicker->parentWidget() != this)
        FTimePicker->setParent(this);
    FTimePicker->SetColor(Color());
    FTimePicker->SetEnabled(isEnabled() && (!ShowCheckbox() || Checked()));
    FTimePicker->SetVisible(FKind == dkDateTime);
    {
        QSignalBlocker quiet(FTimePicker.data());
        FTimePicker->TDateTimePicker::SetDateTime(DateTime());
    }
    FTimePicker->SetFormat(FTimeFormat);
    FTimePicker->SetFont(Font());
    if (FKind != dkDateTime) {
        delete FTimePicker.data();
        return;
    }
    const int a = GetTextSize(FTimePicker->Text().left(255), Font()).cx + 31;
    const int W = width(), H = height(), b = 0;
    if (!ThemesActive())
        FTimePicker->SetBounds(W - a - 21 - b, 2, a, H - b - 4);
    else if (MetroStyle())
        FTimePicker->SetBounds(W - a - 21 - b, 1, a, H - b - 2);
    else
        FTimePicker->SetBounds(W - a - 34 - b, 1, a, H - b - 2);
}

void TExDateTimePicker::DoChange()
{
    if (OnChange)
        OnChange(this);
}

void TExDateTimePicker::DoClick()
{
    if (OnClick)
        OnClick(this);
}

void TExDateTimePicker::TimePickerKeyPress(QObject*, QChar&) {}

void TExDateTimePicker::KeyDown(int&, TShiftState) {}

void TExDateTimePicker::SetChecked(bool v)
{
    TDateTimePicker::SetChecked(v);
    if (ShowCheckbox() && FTimePicker)
        FTimePicker->SetEnabled(isEnabled() && v);
}

void TExDateTimePicker::CheckChanged()
{
    TDateTimePicker::CheckChanged();
    // Cleared, the value is none: the time part goes with the date part.
    if (FTimePicker)
        FTimePicker->SetEnabled(isEnabled() && Checked());
}

void TExDateTimePicker::HandleShiftFocus()
{
    if (FKind == dkTime) {
        TCustomDateTimePicker::HandleShiftFocus();
        return;
    }
    const QDate d = TDateTimePicker::Date();
    const bool dayChanged = d.day() != Fd, monthChanged = d.month() != Fm, yearChanged = d.year() != Fy;
    // The native field may already have moved on by itself when it was full.
    const bool stillThere = CurrentField() == FDigitField;
    auto toTimePicker = [this] {
        if (FTimePicker)
            FTimePicker->SetFocus();
    };
    const QString f = Format();
    if (!f.isEmpty()) {
        const QChar last = f.back().toLower();
        const bool lastChanged = (last == u'd' && dayChanged) || (last == u'm' && monthChanged) ||
                                 (last == u'y' && yearChanged);
        if (lastChanged)
            toTimePicker();
        else if ((dayChanged || monthChanged || yearChanged) && stillThere)
            PostNextField();
    } else if (dayChanged || monthChanged) {
        if (stillThere)
            PostNextField();
    } else if (yearChanged) {
        toTimePicker();
    }
}

void TExDateTimePicker::keyPressEvent(QKeyEvent* e)
{
    int key = VirtualKeyFromQt(e->key());
    if (key != 0) {
        RunGuarded([&] { KeyDown(key, ShiftStateFromQt(e->modifiers())); });
        if (key == 0) {
            e->accept();
            return;
        }
    }
    const bool digit = e->text().size() == 1 && e->text()[0] >= u'0' && e->text()[0] <= u'9';
    if (digit && AutoTab()) {
        const QDate d = TDateTimePicker::Date();
        Fy = static_cast<std::uint16_t>(d.year());
        Fm = static_cast<std::uint16_t>(d.month());
        Fd = static_cast<std::uint16_t>(d.day());
    }
    TCustomDateTimePicker::keyPressEvent(e);
}

void TExDateTimePicker::paintEvent(QPaintEvent* e)
{
    TCustomDateTimePicker::paintEvent(e);
    if (FFirstRun) {
        FFirstRun = false;
        RunGuarded([this] { UpdateTimePicker(); });
    }
}

void TExDateTimePicker::resizeEvent(QResizeEvent* e)
{
    TCustomDateTimePicker::resizeEvent(e);
    RunGuarded([this] {
        UpdateTimePicker();
        if (FLabel && FLabel->parentWidget())
            PositionLabel();
    });
}

void TExDateTimePicker::moveEvent(QMoveEvent* e)
{
    TCustomDateTimePicker::moveEvent(e);
    if (FLabel)
        RunGuarded([this] { PositionLabel(); });
}

void TExDateTimePicker::changeEvent(QEvent* e)
{
    TCustomDateTimePicker::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) {
        if (FTimePicker)
            FTimePicker->setEnabled(isEnabled() && (!ShowCheckbox() || Checked()));
        if (FLabel && !FLabelAlwaysEnabled)
            FLabel->setEnabled(isEnabled());
    } else if (e->type() == QEvent::FontChange && FLabel && FParentFnt) {
        RunGuarded([this] { PositionLabel(); });
    }
}

void TExDateTimePicker::SetLabelBold(bool bold)
{
    // Remembered, so that placing the label again (a move, a resize) keeps it.
    FFocused = bold;
    if (FLabel)
        RunGuarded([this] { PositionLabel(); });
}

void TExDateTimePicker::SetFocusLabel(bool v)
{
    FFocusLabel = v;
    if (FLabel)
        PositionLabel();
}

void TExDateTimePicker::SetParentFont(bool v)
{
    FParentFnt = v;
    if (FLabel)
        PositionLabel();
}

void TExDateTimePicker::focusInEvent(QFocusEvent* e)
{
    TCustomDateTimePicker::focusInEvent(e);
    SetLabelBold(true);
}

void TExDateTimePicker::focusOutEvent(QFocusEvent* e)
{
    TCustomDateTimePicker::focusOutEvent(e);
    SetLabelBold(false);
}

void TExDateTimePicker::mousePressEvent(QMouseEvent* e)
{
    TCustomDateTimePicker::mousePressEvent(e);
    RunGuarded([this] { DoClick(); });
}

QString TExDateTimePicker::LabelCaption() const { return FLabel ? FLabel->Caption() : QString(); }

void TExDateTimePicker::SetLabelCaption(const QString& c)
{
    if (!FLabel) {
        FLabel = new TLabel(parentWidget());
        FLabel->SetFont(*FLabelFont);
        FLabel->OnClick = [this](QObject*) {
            if (OnLabelClick)
                OnLabelClick(this);
        };
        FLabel->OnDblClick = [this](QObject*) {
            if (OnLabelDblClick)
                OnLabelDblClick(this);
        };
    }
    FLabel->SetCaption(c);
    PositionLabel();
}

void TExDateTimePicker::SetLabelPosition(TLabelPosition p)
{
    FLabelPosition = p;
    if (FLabel)
        PositionLabel();
}

void TExDateTimePicker::SetLabelMargin(int m)
{
    FLabelMargin = m;
    if (FLabel)
        PositionLabel();
}

void TExDateTimePicker::SetLabelTransparent(bool v)
{
    FLabelTransparent = v;
    if (FLabel)
        PositionLabel();
}

void TExDateTimePicker::SetLabelAlwaysEnabled(bool v)
{
    FLabelAlwaysEnabled = v;
    if (v && FLabel)
        FLabel->SetEnabled(true);
    update();
}

void TExDateTimePicker::PositionLabel()
{
    if (!FLabel)
        return;
    FLabel->SetTransparent(FLabelTransparent);
    TFont font(FParentFnt ? Font() : *FLabelFont);
    if (FFocusLabel && FFocused)
        font.SetStyle(font.Style() | fsBold);
    FLabel->SetFont(font);
    const int tw = GetTextSize(StripAccelerator(FLabel->Caption()), FLabel->Font()).cx;
    // The picker's positions are the first thirteen of the drop-downs', in their order.
    static_assert(static_cast<int>(exdtp::TLabelPosition::lpRighBottom) == static_cast<int>(::lpRighBottom));
    const auto p = static_cast<::TLabelPosition>(static_cast<int>(FLabelPosition));
    const int lw = FLabel->Width(), lh = FLabel->Height();
    const TPoint at = LabelPlace(p, x(), y(), width(), height(), lw, lh, tw, FLabelMargin);
    FLabel->SetBounds(at.X, at.Y, lw, lh);
    FLabel->SetVisible(Visible());
}

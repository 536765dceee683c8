// The drop-down edit: construction, value text, the popup cycle and the label.
#include "controls/ExDropDown.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <QWheelEvent>

#include <chrono>
#include <cmath>
#include <limits>

using namespace platform;

namespace {

std::int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QChar DS()
{
    return RegionalSettings().DecimalSeparator;
}

QChar TS()
{
    return RegionalSettings().ThousandSeparator;
}

// printf's %.Nf with the locale decimal separator.
QString FormatFixed(double x, int precision)
{
    QString s = QString::number(x, 'f', std::max(0, precision));
    if (s.startsWith(QLatin1Char('-')) && s.mid(1).count(QRegularExpression(QStringLiteral("[1-9]"))) == 0)
        s.remove(0, 1);
    return s.replace(QLatin1Char('.'), DS());
}

// %.Nn: fixed decimals with the integer part grouped in thousands.
QString FormatNumber(double x, int precision)
{
    QString s = FormatFixed(x, precision);
    const bool negative = s.startsWith(QLatin1Char('-'));
    if (negative)
        s.remove(0, 1);
    const int dot = s.indexOf(DS());
    QString integer = dot < 0 ? s : s.left(dot);
    const QString rest = dot < 0 ? QString() : s.mid(dot);
    const QChar ts = TS();
    if (!ts.isNull())
        for (int i = integer.size() - 3; i > 0; i -= 3)
            integer.insert(i, ts);
    return (negative ? QStringLiteral("-") : QString()) + integer + rest;
}

QString FormatGeneral(double x)
{
    return QString::number(x, 'g', 15).replace(QLatin1Char('.'), DS());
}

} // namespace

// ---------------------------------------------------------------------------
// Value-text functions
// ---------------------------------------------------------------------------

int TextNumberKind(const QString& text)
{
    if (text.isEmpty())
        return 2;
    bool integer = true, decimal = true, hex = true;
    int minus = 0, separators = 0, lastTS = -1;
    const QChar ds = DS(), ts = TS();
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!(c == QLatin1Char('-') || digit))
            integer = false;
        if (!(c == QLatin1Char(',') || c == QLatin1Char('-') || c == QLatin1Char('.') || digit))
            decimal = false;
        const bool hexLetter = (c >= QLatin1Char('A') && c <= QLatin1Char('F')) ||
                               (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
        if (!(c == QLatin1Char('-') || digit || hexLetter))
            hex = false;
        if (!ts.isNull() && c == ts) {
            const int pos = i + 1;
            if (pos - lastTS < 3)
                decimal = false;
            lastTS = pos;
        }
        if (c == QLatin1Char('-'))
            ++minus;
        if (c == ds)
            ++separators;
    }
    if (minus > 1 || separators > 1)
        return 2;
    if (integer)
        return 0;
    if (decimal)
        return 1;
    if (hex)
        return 5;
    return 2;
}

QString StripThousandSeparators(const QString& text)
{
    QString s = text;
    const QChar ts = TS();
    if (!ts.isNull())
        s.remove(ts);
    return s;
}

int HexDigitValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return 0;
}

std::optional<std::int32_t> HexToInt(const QString& text)
{
    // A sign is a sign, not a zero digit, and a value that does not fit in
    // 32 bits is refused rather than wrapped.
    QString digits = text;
    const bool negative = digits.startsWith(QLatin1Char('-'));
    if (negative)
        digits.remove(0, 1);
    if (digits.isEmpty())
        return std::nullopt;
    std::int64_t value = 0;
    for (const QChar c : digits) {
        const ushort u = c.unicode();
        const bool isHex = (u >= '0' && u <= '9') || (u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f');
        if (!isHex)
            return std::nullopt;
        value = value * 16 + HexDigitValue(c);
        if (value > 0xFFFFFFFFLL)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

bool IsRangeSeparator(QChar c)
{
    return c == QLatin1Char(',') || c == QLatin1Char('-') || c == QLatin1Char(';');
}

double TextToFloat(const QString& text)
{
    QString s = StripThousandSeparators(text).trimmed();
    const QChar ds = DS();
    if (ds != QLatin1Char('.')) {
        if (s.contains(QLatin1Char('.')))
            return 0;
        s.replace(ds, QLatin1Char('.'));
    }
    bool ok = false;
    const double v = s.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0;
}

// ---------------------------------------------------------------------------
// TDropDownForm
// ---------------------------------------------------------------------------

TDropDownForm::TDropDownForm(TExCustomDropDown* owner) : TForm(nullptr), FExDropDown(owner)
{
    SetBorderStyle(bsNone);
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    // A borderless form is fixed in size; the popup is sized by its owner and the user.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setAttribute(Qt::WA_NoMouseReplay);
    setFocusPolicy(Qt::StrongFocus);
}

TRect TDropDownForm::InnerRect() const
{
    const int bw = FExDropDown ? std::max(0, FExDropDown->DropDownBorderWidth()) : 0;
    return Rect(bw, bw, width() - bw, height() - bw);
}

void TDropDownForm::LayoutChildren()
{
    TRect r = InnerRect();
    if (FHeader && FHeader->isVisibleTo(this)) {
        FHeader->setGeometry(r.Left, r.Top, r.Width(), FHeader->height());
        r.Top += FHeader->height();
    }
    if (FFooter && FFooter->isVisibleTo(this)) {
        FFooter->setGeometry(r.Left, r.Bottom - FFooter->height(), r.Width(), FFooter->height());
        r.Bottom -= FFooter->height();
    }
    // The hosted control keeps its own size until the popup shows: the
    // popup's automatic size is taken from it.
    if (isVisible() && FExDropDown && FExDropDown->Control() && FExDropDown->Control()->parentWidget() == this)
        FExDropDown->Control()->setGeometry(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
}

void TDropDownForm::InitializeAndUpdate()
{
    TExCustomDropDown* d = FExDropDown;
    if (!d)
        return;
    if (FHeader) {
        FHeader->SetExDropDown(d);
        FHeader->InitButtons();
        FHeader->setVisible(d->DropDownHeader().Visible());
    } else if (d->DropDownHeader().Visible()) {
        FHeader = new TExHeader(this);
        FHeader->resize(FHeader->width(), d->DropDownHeader().Height());
        FHeader->SetExDropDown(d);
        FHeader->InitButtons();
        FHeader->show();
    }
    if (FHeader) {
        FHeader->OnDrawBackGround = d->OnDrawHeader;
        FHeader->OnGetText = d->OnGetHeaderText;
        FHeader->resize(FHeader->width(), d->DropDownHeader().Height());
    }
    if (FFooter) {
        FFooter->SetExDropDown(d);
        FFooter->InitButtons();
        FFooter->setVisible(d->DropDownFooter().Visible());
    } else if (d->DropDownFooter().Visible()) {
        FFooter = new TExFooter(this);
        FFooter->resize(FFooter->width(), d->DropDownFooter().Height());
        FFooter->SetExDropDown(d);
        FFooter->InitButtons();
        FFooter->show();
    }
    if (FFooter) {
        FFooter->OnDrawBackGround = d->OnDrawFooter;
        FFooter->OnGetText = d->OnGetFooterText;
        FFooter->resize(FFooter->width(), d->DropDownFooter().Height());
    }
    LayoutChildren();
}

void TDropDownForm::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    TCanvas canvas;
    canvas.BindPainter(&painter, width(), height());
    RunGuarded([&] {
        const TExCustomDropDown* d = FExDropDown;
        if (!d)
            return;
        const int bw = d->DropDownBorderWidth();
        const TRect r = Rect(bw, bw, width() - bw, height() - bw);
        if (d->DropDownColor() != clNone && d->DropDownColorTo() != clNone) {
            DrawSteppedGradient(canvas, d->DropDownColor(), d->DropDownColorTo(),
                                d->DropDownGradient() == gdHorizontal, r, 80);
        } else if (d->DropDownColor() != clNone) {
            canvas.Brush().SetStyle(TBrushStyle::bsSolid);
            canvas.Brush().SetColor(d->DropDownColor());
            canvas.FillRect(r);
        }
        if (bw > 0 && d->DropDownBorderColor() != clNone) {
            canvas.Brush().SetStyle(TBrushStyle::bsClear);
            canvas.Pen().SetWidth(bw);
            canvas.Pen().SetColor(d->DropDownBorderColor());
            canvas.Rectangle(bw / 2, bw / 2, width(), height());
        }
    });
    canvas.Unbind();
}

void TDropDownForm::resizeEvent(QResizeEvent* e)
{
    TForm::resizeEvent(e);
    LayoutChildren();
    update();
}

void TDropDownForm::closeEvent(QCloseEvent* e)
{
    // The platform closes a popup when the user clicks outside it: that is
    // the popup losing activation.
    if (hidingOnPurpose_ || !isVisible() || FBlockActivate) {
        e->accept();
        return;
    }
    e->ignore();
    FDeActivate = NowMs();
    RunGuarded([&] {
        if (FExDropDown)
            FExDropDown->DoHideDropDown(FCancelOnDeActivate);
        else
            hide();
    });
}

void TDropDownForm::keyPressEvent(QKeyEvent* e)
{
    RunGuarded([&] {
        if (FExDropDown)
            FExDropDown->DropDownKeyDown(e);
    });
    e->accept();
}

void TDropDownForm::keyReleaseEvent(QKeyEvent* e)
{
    RunGuarded([&] {
        if (FExDropDown)
            FExDropDown->DropDownKeyUp(e);
    });
    e->accept();
}

bool TDropDownForm::event(QEvent* e)
{
    // Every key typed in the popup goes to the drop-down's edit, not to the
    // form's own dialog-key handling.
    if (e->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent*>(e));
        return true;
    }
    if (e->type() == QEvent::KeyRelease) {
        keyReleaseEvent(static_cast<QKeyEvent*>(e));
        return true;
    }
    return TForm::event(e);
}

void TDropDownForm::wheelEvent(QWheelEvent* e)
{
    RunGuarded([&] {
        if (!FExDropDown)
            return;
        if (e->angleDelta().y() < 0)
            FExDropDown->HandleMouseWheelDown();
        else
            FExDropDown->HandleMouseWheelUp();
    });
}

void TDropDownForm::mousePressEvent(QMouseEvent* e)
{
    if (!rect().contains(e->position().toPoint())) {
        TForm::mousePressEvent(e);
        return;
    }
    if (FSizeable && e->button() == Qt::LeftButton && e->position().x() > width() - 10 &&
        e->position().y() > height() - 10) {
        sizing_ = true;
        sizeStart_ = e->globalPosition().toPoint();
        sizeStartSize_ = size();
    }
}

void TDropDownForm::mouseMoveEvent(QMouseEvent* e)
{
    if (sizing_ && (e->buttons() & Qt::LeftButton)) {
        const QPoint d = e->globalPosition().toPoint() - sizeStart_;
        resize(std::max(minimumWidth(), sizeStartSize_.width() + d.x()),
               std::max(minimumHeight(), sizeStartSize_.height() + d.y()));
        if (OnSizing)
            RunGuarded([&] { OnSizing(this); });
    } else {
        sizing_ = false;
    }
}

// ---------------------------------------------------------------------------
// TExCustomDropDown: construction
// ---------------------------------------------------------------------------

TExCustomDropDown::TExCustomDropDown(QWidget* parent)
    : TControlOf<QLineEdit>(parent), FLabelFont(std::make_unique<TFont>())
{
    setFrame(true);
    resize(200, 21);
    CreateDropDownForm();
    FButton = new TDropDownEditButton(this, this);
    FButton->OnButtonClick = [this](QObject*) { DropDownButtonClick(); };
    FButton->SetBounds(width() - FButton->FBWidth, 0, FButton->FBWidth, 17);
    FButton->show();
    FDropDownHeader = std::make_unique<THeaderAppearance>(this);
    FDropDownFooter = std::make_unique<TFooterAppearance>(this);
    auto refresh = [this] {
        if (FDroppedDown && FDropDownForm)
            FDropDownForm->InitializeAndUpdate();
    };
    FDropDownHeader->OnChange = refresh;
    FDropDownHeader->OnButtonsChanged = refresh;
    FDropDownFooter->OnChange = refresh;
    FDropDownFooter->OnButtonsChanged = refresh;
    FButtonAppearance = std::make_unique<TExButtonAppearance>();
    setText(QString());
    connect(this, &QLineEdit::textChanged, this, [this] { RunGuarded([this] { TextChangedByEdit(); }); });
    SetSelectionColorStyle(scOffice2007);
    SetComponentStyle(tsOffice2007Luna);
    ResizeControl();
    FLabelFont->OnChange = [this] {
        if (FLabel)
            RunGuarded([this] { UpdateLabel(); });
    };
}

TExCustomDropDown::~TExCustomDropDown()
{
    if (FDropDownForm) {
        FDropDownForm->FExDropDown = nullptr;
        FDropDownForm->OnHide = nullptr;
        FDropDownForm->OnSizing = nullptr;
        FDropDownForm->hidingOnPurpose_ = true;
        FDropDownForm->hide();
    }
    if (FControl)
        FControl->removeEventFilter(this);
    delete FLabel.data();
}

void TExCustomDropDown::TextChangedByEdit()
{
    Change();
}

// Leaves override it and see every change; only the event is blocked.
void TExCustomDropDown::Change()
{
    if (FBlockChange) {
        FBlockChange = false;
        return;
    }
    if (OnChange)
        OnChange(this);
}

QString TExCustomDropDown::Version() const
{
    const std::uint32_t v = GetVersionNr();
    return QStringLiteral("%1.%2.%3.%4").arg(v >> 24).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

std::vector<std::pair<QString, int>> TExCustomDropDown::DefinedProperties() const
{
    return {{QStringLiteral("SelectionColorStyle"), static_cast<int>(FSelectionColorStyle)},
            {QStringLiteral("QRVStyle"), static_cast<int>(FQRVStyle)}};
}

bool TExCustomDropDown::ReadDefinedProperty(const QString& name, int value)
{
    if (name == QLatin1String("SelectionColorStyle")) {
        if (value < static_cast<int>(scCustom) || value > static_cast<int>(scWindows7))
            return false;
        FSelectionColorStyle = static_cast<TSelectionColorStyle>(value);
        return true;
    }
    if (name == QLatin1String("QRVStyle")) {
        if (value < static_cast<int>(tsOffice2003Blue) || value > static_cast<int>(tsOffice2010Black))
            return false;
        FQRVStyle = static_cast<TQRVStyle>(value);
        return true;
    }
    return false;
}

const TBitmap& TExCustomDropDown::DropDownButtonGlyph() const
{
    static const TBitmap none;
    return FButton ? FButton->Button()->Glyph() : none;
}

void TExCustomDropDown::SetDropDownButtonGlyph(const TBitmap& glyph)
{
    if (!FButton)
        return;
    FButton->Button()->Glyph().Assign(glyph);
    FButton->Button()->update();
}

void TExCustomDropDown::SetEditorEnabled(bool e)
{
    FEditorEnabled = e;
    // Without typing every press opens the popup; the caret is not wanted.
    setCursor(e ? Qt::IBeamCursor : Qt::ArrowCursor);
}

void TExCustomDropDown::SetReadOnly(bool r)
{
    setReadOnly(r);
    if (FButton)
        FButton->Button()->update();
}

void TExCustomDropDown::SetBorderColor(TColor c)
{
    if (c == FBorderColor)
        return;
    FBorderColor = c;
    update();
    if (FButton)
        FButton->Button()->update();
}

void TExCustomDropDown::SetDisabledBorder(bool v)
{
    if (v != FDisabledBorder) {
        FDisabledBorder = v;
        update();
    }
}

void TExCustomDropDown::SetDropDownWidth(int w)
{
    if (w != FDropDownWidth) {
        FDropDownWidth = w;
        FUserDropDownWidth = -1;
    }
}

void TExCustomDropDown::SetDropDownHeight(int h)
{
    if (h != FDropDownHeight) {
        FDropDownHeight = h;
        FUserDropDownHeight = -1;
    }
}

void TExCustomDropDown::SetDropDownButtonWidth(int w)
{
    if (!FButton || w == FButtonWidth)
        return;
    FButtonWidth = w;
    FButton->FBWidth = w;
    ResizeControl();
}

void TExCustomDropDown::SetDropDownButtonHint(const QString& h)
{
    if (h == FButtonHint)
        return;
    FButtonHint = h;
    if (FButton)
        FButton->Button()->setToolTip(h);
}

void TExCustomDropDown::SetControl(QWidget* control)
{
    if (control == FControl)
        return;
    if (FControl)
        FControl->removeEventFilter(this);
    FControl = control;
    UpdateDropDownControl();
}

void TExCustomDropDown::Assign(const TExCustomDropDown* s)
{
    if (!s)
        return;
    FFocusDraw = s->FFocusDraw;
    FForceShadow = s->FForceShadow;
    FDropDownEnabled = s->FDropDownEnabled;
    FDropDownColor = s->FDropDownColor;
    FDropDownColorTo = s->FDropDownColorTo;
    FDropDownGradient = s->FDropDownGradient;
    FDropDownBorderColor = s->FDropDownBorderColor;
    FDropDownBorderWidth = s->FDropDownBorderWidth;
    FDropDownShadow = s->FDropDownShadow;
    SetDropDownWidth(s->FDropDownWidth);
    SetDropDownHeight(s->FDropDownHeight);
    FDropDownSizeable = s->FDropDownSizeable;
    FEditType = s->FEditType;
    FReturnIsTab = s->FReturnIsTab;
    FLengthLimit = s->FLengthLimit;
    FPrecision = s->FPrecision;
    FPrefix = s->FPrefix;
    FSuffix = s->FSuffix;
    FDefaultHandling = s->FDefaultHandling;
    FCanUndo = s->FCanUndo;
    FExcelStyleDecimalSeparator = s->FExcelStyleDecimalSeparator;
    FValidChars = s->FValidChars;
    FSigned = s->FSigned;
    FAutoThousandSeparator = s->FAutoThousandSeparator;
    FButtonAppearance->Assign(s->FButtonAppearance.get());
    FDropDownHeader->Assign(s->FDropDownHeader.get());
    FDropDownFooter->Assign(s->FDropDownFooter.get());
    FDropPosition = s->FDropPosition;
    FFlat = s->FFlat;
    SetDropDownButtonWidth(s->FButtonWidth);
    SetDropDownButtonHint(s->FButtonHint);
    FEditorEnabled = s->FEditorEnabled;
    FButton->Button()->Glyph().Assign(s->FButton->Button()->Glyph());
    FButton->Button()->SetCaption(s->FButton->Button()->Caption());
    FImages = s->FImages;
    FSelectionColorStyle = s->FSelectionColorStyle;
    FSelectionColor = s->FSelectionColor;
    FSelectionColorTo = s->FSelectionColorTo;
}

// ---------------------------------------------------------------------------
// Geometry, label and painting
// ---------------------------------------------------------------------------

void TExCustomDropDown::ResizeControl()
{
    if (!FButton)
        return;
    const int a = FFlat ? 3 : 4;
    const QFontMetrics fm(font());
    const QFontMetrics sm(QApplication::font());
    const int h = fm.height(), s = sm.height();
    const int minimum = h + std::min(h, s) / 4;
    if (height() < minimum)
        resize(width(), minimum);
    FButton->SetBounds(width() - FButtonWidth - a / 2, 2, FButtonWidth, height() - a);
    SetEditRect();
    update();
}

void TExCustomDropDown::SetEditRect()
{
    setTextMargins(0, 0, FButtonWidth + 1, 0);
}

void TExCustomDropDown::resizeEvent(QResizeEvent* e)
{
    QLineEdit::resizeEvent(e);
    RunGuarded([this] {
        ResizeControl();
        if (FLabel && FLabel->parentWidget())
            UpdateLabel();
    });
}

void TExCustomDropDown::moveEvent(QMoveEvent* e)
{
    QLineEdit::moveEvent(e);
    if (FLabel)
        RunGuarded([this] { UpdateLabel(); });
}

void TExCustomDropDown::changeEvent(QEvent* e)
{
    QLineEdit::changeEvent(e);
    RunGuarded([&] {
        if (e->type() == QEvent::EnabledChange) {
            if (FButton)
                FButton->SetEnabled(isEnabled());
            // This build has no loading step to pass the state at, so the
            // label takes it when it changes.
            if (FLabel && !FLabelAlwaysEnabled)
                FLabel->SetEnabled(isEnabled());
        } else if (e->type() == QEvent::FontChange) {
            SetEditRect();
            if (FLabel && FParentFnt)
                UpdateLabel();
        }
    });
}

bool TExCustomDropDown::event(QEvent* e)
{
    const bool result = TControlOf<QLineEdit>::event(e);
    if ((e->type() == QEvent::ShowToParent || e->type() == QEvent::HideToParent) && FLabel &&
        !FLabel->Caption().isEmpty())
        FLabel->SetVisible(e->type() == QEvent::ShowToParent);
    return result;
}

QString TExCustomDropDown::LabelCaption() const
{
    return FLabel ? FLabel->Caption() : QString();
}

void TExCustomDropDown::SetLabelCaption(const QString& c)
{
    if (!FLabel) {
        FLabel = new TLabel(parentWidget());
        FLabel->SetFont(*FLabelFont);
        FLabel->SetEnabled(FLabelAlwaysEnabled || isEnabled());
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
    UpdateLabel();
}

void TExCustomDropDown::SetLabelPosition(TLabelPosition p)
{
    FLabelPosition = p;
    if (FLabel)
        UpdateLabel();
}

void TExCustomDropDown::SetLabelMargin(int m)
{
    FLabelMargin = m;
    if (FLabel)
        UpdateLabel();
}

void TExCustomDropDown::SetLabelTransparent(bool v)
{
    FLabelTransparent = v;
    if (FLabel)
        UpdateLabel();
}

void TExCustomDropDown::SetLabelAlwaysEnabled(bool v)
{
    FLabelAlwaysEnabled = v;
    if (FLabel)
        FLabel->SetEnabled(v || isEnabled());
}

void TExCustomDropDown::SetParentFont(bool v)
{
    FParentFnt = v;
    if (FLabel)
        UpdateLabel();
}

TPoint LabelPlace(TLabelPosition p, int L, int T, int W, int H, int lw, int lh, int w, int m)
{
    int top = T, left = L - w - m;
    switch (p) {
    case lpLeftTop: top = T; left = L - w - m; break;
    case lpLeftCenter: top = T + (H - lh) / 2; left = L - w - m; break;
    case lpLeftBottom: top = T + H - lh; left = L - w - m; break;
    case lpTopLeft: top = T - lh - m; left = L; break;
    case lpBottomLeft: top = T + H + m; left = L; break;
    case lpLeftTopLeft: top = T; left = L - m; break;
    case lpLeftCenterLeft: top = T + (H - lh) / 2; left = L - m; break;
    case lpLeftBottomLeft: top = T + H - lh; left = L - m; break;
    case lpTopCenter: top = T - lh - m; left = L + (W - lw) / 2; break;
    case lpBottomCenter: top = T + H + m; left = L + (W - lw) / 2; break;
    case lpRightTop: top = T; left = L + W + m; break;
    case lpRightCenter: top = T + (H - lh) / 2; left = L + W + m; break;
    case lpRighBottom: top = T + H - lh; left = L + W + m; break;
    case lpTopRight: top = T - lh - m; left = L + W - lw; break;
    case lpBottomRight: top = T + H + m; left = L + W - lw; break;
    }
    return TPoint{left, top};
}

void TExCustomDropDown::UpdateLabel()
{
    if (!FLabel)
        return;
    FLabel->SetTransparent(FLabelTransparent);
    FLabel->SetFont(FParentFnt ? Font() : *FLabelFont);
    TBitmap measure(1, 1);
    measure.Canvas().SetFont(FLabel->Font());
    TRect mr = Rect(0, 0, 1000, 255);
    measure.Canvas().DrawText(FLabel->Caption(), mr, DT_CALCRECT | DT_HIDEPREFIX);
    const TPoint at = LabelPlace(FLabelPosition, x(), y(), width(), height(), FLabel->Width(), FLabel->Height(),
                                 mr.Right, FLabelMargin);
    FLabel->SetBounds(at.X, at.Y, FLabel->Width(), FLabel->Height());
    FLabel->SetVisible(isVisibleTo(parentWidget()) || !parentWidget());
}

void TExCustomDropDown::paintEvent(QPaintEvent* e)
{
    QLineEdit::paintEvent(e);
    QPainter painter(this);
    TCanvas canvas;
    canvas.BindPainter(&painter, width(), height());
    RunGuarded([&] {
        DrawBorder(canvas);
        AfterPaint(canvas);
    });
    canvas.Unbind();
}

void TExCustomDropDown::wheelEvent(QWheelEvent* e)
{
    QLineEdit::wheelEvent(e);
    RunGuarded([&] {
        if (e->angleDelta().y() < 0)
            HandleMouseWheelDown();
        else if (e->angleDelta().y() > 0)
            HandleMouseWheelUp();
    });
    // Taken here: the control beneath (a grid under its editor) must not
    // scroll as well.
    e->accept();
}

void TExCustomDropDown::AfterPaint(TCanvas& c)
{
    if (FEditorEnabled || !hasFocus() || !FFocusDraw)
        return;
    const TRect f = Rect(2, 2, width() - FButtonWidth - 1, height() - 2);
    c.Pen().SetColor(clBlack);
    c.Pen().SetWidth(1);
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(clHighlight);
    c.Rectangle(f);
    TFont font;
    font.SetName(this->font().family());
    if (this->font().pointSize() > 0)
        font.SetSize(this->font().pointSize());
    font.SetColor(clHighlightText);
    c.SetFont(font);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    TRect t = Rect(f.Left + 2, f.Top, f.Right - 3, f.Bottom);
    c.DrawText(Text(), t, DT_SINGLELINE | DT_VCENTER);
}

void TExCustomDropDown::DrawBorder(TCanvas& c)
{
    if (isEnabled() && !FFlat && FBorderColor == clNone && FFocusBorderColor == clNone)
        return;
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.Pen().SetWidth(1);
    const TRect r = ClientRect();
    if (!isEnabled() && FDisabledBorder) {
        c.Pen().SetColor(clSilver);
        c.Rectangle(r);
    } else if (FBorderColor != clNone && (!hasFocus() || FFocusBorderColor == clNone)) {
        c.Pen().SetColor(FBorderColor);
        c.Rectangle(r);
    } else if (FFocusBorderColor != clNone) {
        if (hasFocus()) {
            c.Pen().SetColor(FFocusBorderColor);
            c.Rectangle(r);
        }
    }
    if (FButton)
        FButton->Button()->SetFocusedLook(FMouseInControl || hasFocus());
}

void TExCustomDropDown::enterEvent(QEnterEvent* e)
{
    QLineEdit::enterEvent(e);
    if (isEnabled()) {
        FMouseInControl = true;
        update();
    }
}

void TExCustomDropDown::leaveEvent(QEvent* e)
{
    QLineEdit::leaveEvent(e);
    if (isEnabled()) {
        FMouseInControl = false;
        update();
    }
}

// ---------------------------------------------------------------------------
// Value text
// ---------------------------------------------------------------------------

QString TExCustomDropDown::Text() const
{
    QString s = text();
    if (!FPrefix.isEmpty() && s.startsWith(FPrefix))
        s.remove(0, FPrefix.size());
    // Only a suffix that is really there is taken off: cutting its length
    // blindly would eat the end of a value typed without it.
    if (!FSuffix.isEmpty() && s.endsWith(FSuffix))
        s.chop(FSuffix.size());
    return s;
}

void TExCustomDropDown::SetText(const QString& value)
{
    QString v = value;
    const bool numeric = FEditType == etNumeric || FEditType == etFloat || FEditType == etMoney || FEditType == etHex;
    if (v.isEmpty() && numeric)
        v = QStringLiteral("0");
    if (FPrecision > 0 && !v.isEmpty() && v != QLatin1String("Error")) {
        if (FEditType == etMoney)
            v = FormatNumber(TextToFloat(v), FPrecision);
        else if (FEditType == etFloat)
            v = FormatFixed(TextToFloat(v), FPrecision);
    }
    if (FEditType == etHex)
        v = v.toUpper();
    setText(FPrefix + v + FSuffix);
    FOldText = v;
    SetModifiedState(false);
}

void TExCustomDropDown::SetRawText(const QString& t)
{
    setText(t);
}

void TExCustomDropDown::SetPrecision(int p)
{
    if (FEditType != etString && FEditType != etFloat && FEditType != etMoney)
        return;
    if (p == FPrecision)
        return;
    FPrecision = static_cast<std::int16_t>(p);
    if (TextNumberKind(Text()) > 1)
        SetFloatValue(0);
    else
        SetFloatValue(GetFloatValue());
}

void TExCustomDropDown::SetEditType(TDropDownEditType t)
{
    if (t == FEditType)
        return;
    FEditType = t;
    if (t == etPassword) {
        setEchoMode(QLineEdit::Password);
        FCanUndo = false;
    } else {
        setEchoMode(QLineEdit::Normal);
    }
    const int kind = TextNumberKind(Text());
    if (t == etNumeric && kind != 0)
        SetIntValue(0);
    else if ((t == etFloat || t == etMoney) && kind > 1)
        SetFloatValue(0);
    else if (t == etHex && kind != 0 && kind != 5)
        SetIntValue(0);
}

double TExCustomDropDown::GetFloatValue() const
{
    const QString s = Text();
    switch (FEditType) {
    case etString: {
        bool ok = false;
        const double v = s.toDouble(&ok);
        return ok ? v : 0;
    }
    case etNumeric:
    case etFloat:
        if (s.isEmpty() || s == QLatin1String("Error") || s == QLatin1String("-"))
            return 0;
        return TextToFloat(s);
    case etMoney: {
        if (s.isEmpty())
            return 0;
        QString t = StripThousandSeparators(s);
        if (!t.isEmpty() && t.endsWith(DS()))
            t.chop(1);
        if (t.isEmpty() || t == QLatin1String("-"))
            return 0;
        return TextToFloat(t);
    }
    case etHex:
        if (s.isEmpty())
            return 0;
        return HexToInt(s).value_or(0);
    default:
        return 0;
    }
}

void TExCustomDropDown::SetFloatValue(double x)
{
    switch (FEditType) {
    case etString:
    case etFloat:
        SetText(FPrecision < 0 ? FormatGeneral(x) : FormatFixed(x, FPrecision));
        break;
    case etNumeric:
        SetText(FPrecision < 0 ? FormatGeneral(x) : FormatNumber(x, FPrecision));
        break;
    case etMoney:
        SetText(FPrecision < 0 ? FormatGeneral(x) : FormatFixed(x, FPrecision));
        ApplyThousandSeparators();
        break;
    case etHex: {
        const double t = std::trunc(x);
        const std::int64_t n = std::isfinite(t) && std::fabs(t) < 9.2e18 ? static_cast<std::int64_t>(t) : 0;
        SetText(n < 0 ? QStringLiteral("-") + QString::number(-n, 16) : QString::number(n, 16));
        break;
    }
    default:
        break;
    }
    SetModifiedState(true);
}

void TExCustomDropDown::SetIntValue(std::int64_t n)
{
    switch (FEditType) {
    case etNumeric:
    case etFloat:
        SetText(QString::number(n));
        break;
    case etMoney:
        SetText(QString::number(n));
        ApplyThousandSeparators();
        break;
    case etHex:
        // A negative value keeps its sign, so that reading it back gives it again.
        SetText(n < 0 ? QStringLiteral("-") + QString::number(-n, 16) : QString::number(n, 16));
        break;
    default:
        break;
    }
    SetModifiedState(true);
}

void TExCustomDropDown::SelectAll()
{
    const int p = static_cast<int>(FPrefix.size()), v = static_cast<int>(Text().size());
    setSelection(0, v);
    if ((!FPrefix.isEmpty() && cursorPosition() <= p) || !FSuffix.isEmpty() || !FPrefix.isEmpty())
        setSelection(p, v);
}

void TExCustomDropDown::SelectBeforeDecimal()
{
    const int pos = static_cast<int>(Text().indexOf(DS()));
    const int p = static_cast<int>(FPrefix.size());
    setCursorPosition(pos < 0 ? p : p + pos);
}

void TExCustomDropDown::SelectAfterDecimal()
{
    const int pos = static_cast<int>(Text().indexOf(DS()));
    const int p = static_cast<int>(FPrefix.size());
    setCursorPosition(pos < 0 ? p : p + pos + 1);
}

void TExCustomDropDown::SetModifiedState(bool flag)
{
    if (!FEditorEnabled || isReadOnly())
        return;
    setModified(flag);
    FIsModified = flag;
}

int TExCustomDropDown::IntegerPartLength(const QString& text) const
{
    QString s = StripThousandSeparators(text);
    if (FSigned && (FEditType == etNumeric || FEditType == etFloat || FEditType == etMoney))
        s.remove(QLatin1Char('-'));
    const int pos = static_cast<int>(s.indexOf(DS()));
    return 1 + (pos < 0 ? static_cast<int>(s.size()) : pos);
}

int TExCustomDropDown::DecimalSeparatorPosition() const
{
    const QString v = Text();
    const int pos = static_cast<int>(v.indexOf(DS()));
    const int p = static_cast<int>(FPrefix.size());
    if (pos < 0)
        return p + static_cast<int>(v.size() + FSuffix.size()) + 1;
    return p + pos + 1;
}

bool TExCustomDropDown::IsAllowedMinus(QChar c) const
{
    return FSigned && (FEditType == etNumeric || FEditType == etFloat || FEditType == etMoney) &&
           c == QLatin1Char('-');
}

void TExCustomDropDown::ApplyThousandSeparators()
{
    QString s = Text();
    const int l0 = static_cast<int>(s.size());
    const int c = cursorPosition();
    if (s.isEmpty())
        return;
    QString sign;
    if (s.startsWith(QLatin1Char('-'))) {
        sign = QStringLiteral("-");
        s.remove(0, 1);
    }
    const int dpos = static_cast<int>(s.indexOf(DS()));
    const QString d = dpos < 0 ? QString() : s.mid(dpos, 255);
    const double whole = std::trunc(std::fabs(GetFloatValue()));
    QString integer = FAutoThousandSeparator ? FormatNumber(whole, 0) : FormatFixed(whole, 0);
    const QString value = sign + integer + d;
    if (value != Text())
        FBlockChange = true;
    setText(FPrefix + value + FSuffix);
    if (FBlockChange && value == Text())
        FBlockChange = false; // the change notification already came and went
    setCursorPosition(std::max(0, c + (static_cast<int>(value.size()) - l0)));
    deselect();
}

// ---------------------------------------------------------------------------
// Popup cycle
// ---------------------------------------------------------------------------

void TExCustomDropDown::CreateDropDownForm()
{
    if (FDropDownForm)
        return;
    FDropDownForm = std::make_unique<TDropDownForm>(this);
    FDropDownForm->resize(std::max(1, FDropDownWidth), std::max(1, FDropDownHeight));
    FDropDownForm->OnHide = [this](QObject*) { AfterDropUp(); };
    FDropDownForm->OnSizing = [this](QObject*) { DropDownResized(); };
}

void TExCustomDropDown::BeforeDropDown()
{
    if (OnBeforeDropDown)
        OnBeforeDropDown(this);
}

void TExCustomDropDown::FocusDropDownControl()
{
    if (auto* w = FFocusControl; w && w->isEnabled() && w->focusPolicy() != Qt::NoFocus && !w->hasFocus())
        w->setFocus(Qt::PopupFocusReason);
}

void TExCustomDropDown::UpdateDropDownControl()
{
    if (!FControl || !FDropDownForm)
        return;
    if (FControl->parentWidget() != FDropDownForm.get())
        FControl->setParent(FDropDownForm.get());
    FControl->installEventFilter(this);
    FControl->show();
    FDropDownForm->LayoutChildren();
}

void TExCustomDropDown::UpdateDropDownSize()
{
    if (!FDropDownForm)
        return;
    int w = width();
    if (FDropDownWidth > 0)
        w = FDropDownWidth;
    else if (FControl && !FControl->isHidden())
        w = FControl->width();
    int h = FDropDownHeight;
    if (h <= 0) {
        h = 2 * FDropDownBorderWidth;
        if (FDropDownHeader->Visible())
            h += FDropDownHeader->Height();
        if (FDropDownFooter->Visible())
            h += FDropDownFooter->Height();
        if (FControl && !FControl->isHidden())
            h += FControl->height();
    }
    FDropDownForm->resize(w, h);
}

void TExCustomDropDown::DropDownButtonClick()
{
    if (!FDropDownForm || FDropDownForm->isVisible())
        return;
    // A click that closed the popup by deactivation does not open it again.
    if (NowMs() - FDropDownForm->FDeActivate > 250)
        DoShowDropDown();
}

void TExCustomDropDown::DoShowDropDown()
{
    if (!FDropDownForm || FDropDownForm->isVisible() || !isEnabled() || isReadOnly())
        return;
    BeforeDropDown();
    TDropDownForm& f = *FDropDownForm;
    f.SetShadow(FDropDownShadow);
    f.SetSizeable(FDropDownSizeable);
    f.InitializeAndUpdate();
    UpdateDropDownSize();
    UpdateDropDownControl();
    f.setMinimumSize(80, 50);
    if (f.width() < 80 || f.height() < 50)
        f.resize(std::max(80, f.width()), std::max(50, f.height()));
    const QPoint p = mapToGlobal(QPoint(0, 0));
    int w = f.width(), h = f.height();
    QScreen* screen = QGuiApplication::screenAt(p);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const int screenHeight = screen ? screen->geometry().height() : 768;
    int left = p.x(), top = p.y() + height() - 1;
    switch (FDropPosition) {
    case dpAuto:
        if (p.y() + h >= screenHeight)
            top = p.y() - h;
        break;
    case dpDown:
        break;
    case dpUp:
        top = p.y() - h;
        break;
    }
    bool accept = true;
    if (OnDropDown)
        OnDropDown(this, accept);
    if (!accept)
        return;
    if (screen) {
        const QRect work = screen->availableGeometry();
        if (work.left() >= 0 && left + w > work.right() + 1 && left <= work.right())
            left = work.right() + 1 - w;
    }
    if (FUserDropDownWidth != -1)
        w = FUserDropDownWidth;
    if (FUserDropDownHeight != -1)
        h = FUserDropDownHeight;
    AdaptDropDownHeight(h);
    FDroppedDown = true;
    f.setGeometry(left, top, std::max(w, 80), std::max(h, 50));
    f.show();
    f.LayoutChildren();
    FocusDropDownControl();
}

void TExCustomDropDown::DoHideDropDown(bool cancel)
{
    if (!FDropDownForm || !FDropDownForm->isVisible())
        return;
    if (OnBeforeDropUp)
        OnBeforeDropUp(this);
    FUserDropDownWidth = FDropDownForm->width();
    FUserDropDownHeight = FDropDownForm->height();
    FDropDownForm->hidingOnPurpose_ = true;
    FDropDownForm->hide();
    FDropDownForm->hidingOnPurpose_ = false;
    if (FDroppedDown) // the hide event did not come (no window yet)
        AfterDropUp();
    QToolTip::hideText();
    if (cancel)
        SetText(FOldText);
    if (OnDropUp)
        OnDropUp(this, cancel);
}

void TExCustomDropDown::AfterDropUp()
{
    FDroppedDown = false;
    if (focusPolicy() != Qt::NoFocus && isVisible() && isEnabled() && !hasFocus())
        setFocus(Qt::PopupFocusReason);
}

void TExCustomDropDown::DropDownKeyPress(QKeyEvent* e)
{
    HandleKeyPress(e);
}

void TExCustomDropDown::DropDownKeyDown(QKeyEvent* e)
{
    HandleKeyPress(e);
}

void TExCustomDropDown::DropDownKeyUp(QKeyEvent* e)
{
    keyReleaseEvent(e);
}

bool TExCustomDropDown::ControlKeyDown(QKeyEvent* e)
{
    // While the popup stays open the hosted control has the key as well; a
    // key that closed it is spent.
    return HandleKeyPress(e) && !FDroppedDown;
}

void TExCustomDropDown::ControlKeyUp(QKeyEvent* e)
{
    keyReleaseEvent(e);
}

void TExCustomDropDown::keyReleaseEvent(QKeyEvent* e)
{
    RunGuarded([&] {
        int key = VirtualKeyFromQt(e->key());
        if (key != 0 && OnKeyUp)
            OnKeyUp(this, key, ShiftStateFromQt(e->modifiers()));
    });
    QLineEdit::keyReleaseEvent(e);
}

bool TExCustomDropDown::eventFilter(QObject* watched, QEvent* e)
{
    // Keys typed in the hosted control reach the edit as if typed there.
    if (watched == FControl && e->type() == QEvent::KeyPress) {
        bool consumed = false;
        RunGuarded([&] { consumed = ControlKeyDown(static_cast<QKeyEvent*>(e)); });
        return consumed;
    }
    if (watched == FControl && e->type() == QEvent::KeyRelease) {
        RunGuarded([&] { ControlKeyUp(static_cast<QKeyEvent*>(e)); });
        return false;
    }
    return QLineEdit::eventFilter(watched, e);
}

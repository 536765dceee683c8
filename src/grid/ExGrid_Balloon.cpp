// Balloon tooltips of cells and the notifications the grid relays from its
// child controls (the date pickers' changes).
#include "grid/ExGrid_Balloon.h"

#include "platform/Controls.h"
#include "platform/Scope.h"
#include "widgets/EsgHTMLE.h"
#include "widgets/ExUtil.h"

#include <QApplication>
#include <QEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

#include <algorithm>

using namespace platform;

namespace {

// The system's tooltip timing when the settings leave it to the system.
constexpr int SystemInitialDelay = 500;
constexpr int SystemReshowDelay = 100;
constexpr int SystemAutoHideDelay = 5000;

constexpr int MaxBalloonText = 2048;
constexpr int MaxBalloonTitle = 100;
constexpr int Padding = 8;
constexpr int IconSize = 16;

QColor IconColor(int icon)
{
    switch (icon) {
    case 1: return QColor(0x1E, 0x6F, 0xD9);
    case 2: return QColor(0xE8, 0xA3, 0x17);
    case 3: return QColor(0xD9, 0x2B, 0x2B);
    default: return QColor();
    }
}

QChar IconGlyph(int icon)
{
    switch (icon) {
    case 1: return u'i';
    case 2: return u'!';
    case 3: return u'x';
    default: return QChar();
    }
}

} // namespace

// ---------------------------------------------------------------------------
// TGridBalloonTip
// ---------------------------------------------------------------------------

TBalloonWindow::TBalloonWindow(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
}

void TBalloonWindow::SetTitle(const QString& title, int icon)
{
    FTitle = title;
    FIcon = icon;
    update();
}

void TBalloonWindow::SetText(const QString& text)
{
    FText = text;
    update();
}

void TBalloonWindow::SetColors(TColor text, TColor background)
{
    FTextColor = text;
    FBackgroundColor = background;
    update();
}

QSize TBalloonWindow::SizeHint() const
{
    QRect titleRect, textRect;
    return Layout(titleRect, textRect);
}

TGridBalloonTip::TGridBalloonTip(TExStringGrid* grid) : TBalloonWindow(grid), FGrid(grid)
{
    setObjectName(QStringLiteral("BalloonToolTip"));
    FShowTimer.setSingleShot(true);
    FHideTimer.setSingleShot(true);
    QObject::connect(&FShowTimer, &QTimer::timeout, this, [this] { RunGuarded([this] { Popup(); }); });
    QObject::connect(&FHideTimer, &QTimer::timeout, this, [this] { RunGuarded([this] { Pop(false); }); });
    grid->ClientSurface()->installEventFilter(this);
    grid->ClientSurface()->setMouseTracking(true);
}

TGridBalloonTip::~TGridBalloonTip()
{
    if (FGrid && FGrid->ClientSurface())
        FGrid->ClientSurface()->removeEventFilter(this);
}

void TGridBalloonTip::SetDelays(int initial, int reshow, int autoHide)
{
    if (initial != -1)
        FInitial = initial;
    if (reshow != -1)
        FReshow = reshow;
    if (autoHide != -1)
        FAutoHide = autoHide;
}

int TGridBalloonTip::InitialDelay() const { return FInitial >= 0 ? FInitial : SystemInitialDelay; }
int TGridBalloonTip::ReshowDelay() const { return FReshow >= 0 ? FReshow : SystemReshowDelay; }
int TGridBalloonTip::AutoHideDelay() const { return FAutoHide >= 0 ? FAutoHide : SystemAutoHideDelay; }

void TGridBalloonTip::Arm(int delay)
{
    if (!isVisible())
        FShowTimer.start(std::max(0, delay));
}

void TGridBalloonTip::Popup()
{
    FShowTimer.stop();
    if (!FGrid || FPointer.x() < 0)
        return;
    QString title, text;
    int icon = 1;
    if (!FGrid->BalloonTextRequest(FPointer, title, text, icon) || text.isEmpty())
        return; // a tooltip shows nothing for an empty text
    const QSize size = SizeHint();
    const QPoint global = FGrid->ClientSurface()->mapToGlobal(FPointer + QPoint(0, 18));
    setGeometry(QRect(global, size));
    show();
    raise();
    FHideTimer.start(AutoHideDelay());
}

void TGridBalloonTip::Pop(bool next)
{
    FHideTimer.stop();
    const bool shown = isVisible();
    if (shown) {
        hide();
        FReshowNext = true;
    }
    // The cell under a pointer at rest gets its balloon after the reshow delay.
    if (next && shown && FPointer.x() >= 0)
        Arm(ReshowDelay());
}

bool TGridBalloonTip::eventFilter(QObject* watched, QEvent* event)
{
    if (!FGrid || watched != FGrid->ClientSurface())
        return false;
    switch (event->type()) {
    case QEvent::MouseMove:
        FPointer = static_cast<QMouseEvent*>(event)->position().toPoint();
        // The grid's own mouse handling pops a balloon whose cell was left;
        // a pointer at rest brings the next one.
        Arm(FReshowNext ? ReshowDelay() : InitialDelay());
        break;
    case QEvent::Leave:
        FPointer = QPoint(-1, -1);
        FShowTimer.stop();
        Pop(false);
        FReshowNext = false;
        break;
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
        FShowTimer.stop();
        Pop(false);
        break;
    case QEvent::ToolTip:
        // The balloon stands in for the ordinary tooltip of the grid's surface.
        FPointer = static_cast<QHelpEvent*>(event)->pos();
        if (!isVisible())
            Popup();
        return true;
    default:
        break;
    }
    return false;
}

QSize TBalloonWindow::Layout(QRect& titleRect, QRect& textRect) const
{
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics fmTitle(bold), fmText(font());
    const int inner = std::max(40, FMaxWidth - 2 * Padding);
    const bool hasTitle = !FTitle.trimmed().isEmpty() || FIcon != 0;
    int y = Padding;
    int width = 0;
    if (hasTitle) {
        const int iconRoom = FIcon != 0 ? IconSize + 4 : 0;
        const QRect t = fmTitle.boundingRect(QRect(0, 0, inner - iconRoom, 1000), Qt::TextSingleLine, FTitle);
        titleRect = QRect(Padding + iconRoom, y, t.width(), std::max(IconSize, t.height()));
        width = iconRoom + t.width();
        y += titleRect.height() + 4;
    }
    const QRect b = fmText.boundingRect(QRect(0, 0, inner, 100000), Qt::TextWordWrap, FText);
    textRect = QRect(Padding, y, b.width(), b.height());
    width = std::max(width, b.width());
    y += b.height() + Padding;
    return QSize(width + 2 * Padding, y);
}

void TBalloonWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette pal = QApplication::palette();
    const QColor back = FBackgroundColor != clNone ? ToQColor(FBackgroundColor) : pal.color(QPalette::ToolTipBase);
    const QColor fore = FTextColor != clNone ? ToQColor(FTextColor) : pal.color(QPalette::ToolTipText);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    p.fillPath(path, back);
    p.setPen(QPen(fore, 1));
    p.drawPath(path);
    QRect titleRect, textRect;
    Layout(titleRect, textRect);
    if (FIcon != 0) {
        const QRect icon(Padding, titleRect.top() + (titleRect.height() - IconSize) / 2, IconSize, IconSize);
        p.setBrush(IconColor(FIcon));
        p.setPen(Qt::NoPen);
        p.drawEllipse(icon);
        QFont f = font();
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(icon, Qt::AlignCenter, QString(IconGlyph(FIcon)));
    }
    p.setPen(fore);
    if (!titleRect.isEmpty()) {
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        p.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, FTitle);
    }
    p.setFont(font());
    p.drawText(textRect, Qt::TextWordWrap, FText);
}

// ---------------------------------------------------------------------------
// The grid's side
// ---------------------------------------------------------------------------

TGridBalloonTip* TExStringGrid::BalloonToolTip() const { return static_cast<TGridBalloonTip*>(FHToolTip.data()); }

void TExStringGrid::BalloonInit()
{
    if (FHToolTip)
        return;
    auto* tip = new TGridBalloonTip(this);
    FHToolTip = tip;
    tip->SetDelays(FBalloonSettings->InitialDelay(), FBalloonSettings->ReshowDelay(),
                   FBalloonSettings->AutoHideDelay());
    if (FBalloonSettings->Transparency() > 0)
        tip->setWindowOpacity((255 - FBalloonSettings->Transparency()) / 255.0);
}

void TExStringGrid::BalloonDone()
{
    delete FHToolTip.data();
    FHToolTip = nullptr;
}

void TExStringGrid::BalloonEnableChanged()
{
    if (!FLoaded || Destroying())
        return;
    if (FBalloonSettings->Enable())
        BalloonInit();
    else
        BalloonDone();
}

void TExStringGrid::BalloonPop()
{
    if (TGridBalloonTip* tip = BalloonToolTip())
        tip->Pop(true);
}

bool TExStringGrid::BalloonTextRequest(const QPoint& client, QString& title, QString& text, int& icon)
{
    if (!FBalloonSettings->Enable())
        return false;
    int col = -1, row = -1;
    MouseToCell(client.x(), client.y(), col, row);
    const bool onCell = col >= 0 && row >= 0 && col < ColCount() && row < RowCount();
    TPoint base{-1, -1};
    QString raw;
    if (onCell) {
        base = BaseCell(RealColIndex(col), row);
        const QString cell = GetCellEx(base.X, base.Y);
        switch (CellTextKind(cell, true)) {
        case 1: raw = StripHTMLTags(cell); break;
        case 2: {
            TRichEdit rich;
            CellToRich(base.X, base.Y, rich);
            raw = rich.Text();
            break;
        }
        case 5: raw = DecodeWideText(cell); break;
        default: raw = cell; break;
        }
    }
    raw.replace(QLatin1Char('\t'), QLatin1Char(' '));
    qsizetype skip = 0;
    while (skip < raw.size() && (raw[skip] == u'\r' || raw[skip] == u'\n' || raw[skip] == u'\t'))
        ++skip;
    raw = raw.mid(skip);
    text = raw.size() > MaxBalloonText ? raw.left(MaxBalloonText - 3) + QStringLiteral("...") : raw;
    icon = 1;
    title = QStringLiteral(" ");
    if (onCell) {
        QString t, x;
        int i = 0;
        if (IsBalloon(base.X, base.Y, t, x, i)) {
            title = t;
            text = x;
            icon = i;
        }
        if (OnCellBalloon)
            OnCellBalloon(this, base.X, base.Y, title, text, icon);
    }
    FLastBalloonPos = base;
    if (title.size() > MaxBalloonTitle)
        title = title.left(MaxBalloonTitle - 3) + QStringLiteral("...");
    if (TGridBalloonTip* tip = BalloonToolTip()) {
        tip->SetMaxTipWidth(300);
        tip->SetColors(FBalloonSettings->TextColor(), FBalloonSettings->BackgroundColor());
        tip->SetTitle(title, icon);
        tip->SetText(text);
    }
    return true;
}

// ---------------------------------------------------------------------------
// Child notifications
// ---------------------------------------------------------------------------

void TExStringGrid::DateTimeChanged(TDateTime value)
{
    if (OnDateTimeChange)
        OnDateTimeChange(this, Col(), Row(), value);
}

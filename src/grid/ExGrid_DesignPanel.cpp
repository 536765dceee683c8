// The quick configuration panel of a grid being designed, and the grid's side
// of it: hit test, the designer's hit-test question, clicks and the choices.
#include "grid/ExGrid_DesignPanel.h"

#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/Messages.h"
#include "widgets/ExUtil.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

using namespace platform;

namespace {

constexpr int PanelWidth = 150;
const TColor TextColor = clNavy;

QPixmap CloseGlyph()
{
    TBitmap b;
    RegisterExGridResources();
    try {
        LoadBitmapResource(b, QStringLiteral("ESGCLOSE"));
    } catch (const std::exception&) {
        // Without the picture the button stays empty; it still closes.
        return QPixmap();
    }
    b.SetTransparent(true);
    return QPixmap::fromImage(b.DrawableImage());
}

void SetTextColor(QWidget* w)
{
    QPalette pal = w->palette();
    const QColor navy = ToQColor(TextColor);
    pal.setColor(QPalette::WindowText, navy);
    pal.setColor(QPalette::ButtonText, navy);
    pal.setColor(QPalette::Text, navy);
    w->setPalette(pal);
}

// The designer notices a change only when the form's size changes.
void NudgeParentForm(QWidget* grid)
{
    TForm* form = GetParentForm(grid);
    if (!form)
        return;
    const int w = form->Width();
    form->SetWidth(w - 1);
    form->SetWidth(w);
}

} // namespace

// ---------------------------------------------------------------------------
// Geometry and hit test
// ---------------------------------------------------------------------------

QFont DesignPanelFont()
{
    TFont f;
    f.SetName(QStringLiteral("Tahoma"));
    f.SetSize(8);
    return f.ToQFont();
}

QString DesignPanelLookCaption(TGridLook look) { return QStringLiteral("Set look: ") + GridLookText(look); }

TDesignPanelGeometry DesignPanelGeometry(const TRect& client, const QFont& font, TGridLook look)
{
    const QFontMetrics fm(font);
    TDesignPanelGeometry g;
    g.H = fm.height();
    g.Client = client;
    g.Panel = Rect(client.Right - PanelWidth, client.Bottom - (4 * g.H + 18), client.Right, client.Bottom);
    g.AllowEditWidth = fm.horizontalAdvance(QStringLiteral("Allow edit"));
    g.ColumnNrsWidth = fm.horizontalAdvance(QStringLiteral("Column numbers"));
    g.LookWidth = fm.horizontalAdvance(DesignPanelLookCaption(look));
    return g;
}

int DesignPanelHitTest(const TDesignPanelGeometry& g, int x, int y)
{
    const int r = g.Client.Right;
    const int t = g.Panel.Top;
    const int p = g.H + 2;
    int item = dcNone;
    if (x > r - 16 && y > t && y < t + 16)
        item = dcClose;
    if (x > r - PanelWidth && x < r - 132 + g.AllowEditWidth && y > t + p + 4 && y < t + 2 * p + 4)
        item = dcAllowEdit;
    if (x > r - PanelWidth && x < r - 132 + g.ColumnNrsWidth && y > t + 2 * p + 4 && y < t + 3 * p + 4)
        item = dcColumnNumbers;
    if (x > r - PanelWidth && x < r - PanelWidth + g.LookWidth && y > t + 3 * p + 4 && y < t + 4 * p + 4)
        item = dcLook;
    return item;
}

const std::array<TDesignLookEntry, 9>& DesignLookMenu()
{
    static const std::array<TDesignLookEntry, 9> entries{{
        {"Standard", glStandard},
        {"Soft", glSoft},
        {"Classic", glClassic},
        {"QRV", glQRV},
        {"ListView", glListView},
        {"Office 2007", glOffice2007},
        {"Windows XP", glXP},
        {"Windows Vista", glVista},
        {"Windows 7", glWin7},
    }};
    return entries;
}

// ---------------------------------------------------------------------------
// The panel
// ---------------------------------------------------------------------------

TDesignPanel::TDesignPanel(TExStringGrid* grid)
    : QWidget(grid->ClientSurface()), FGrid(grid), FTitle(new QLabel(this)), FClose(new QToolButton(this)),
      FAllowEdit(new QCheckBox(QStringLiteral("Allow edit"), this)),
      FColumnNrs(new QCheckBox(QStringLiteral("Column numbers"), this)), FLookLabel(new QLabel(this)),
      FLookMenu(new TPopupMenu(this))
{
    setObjectName(QStringLiteral("DesignPanel"));
    setFont(DesignPanelFont());
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    FClose->setIcon(QIcon(CloseGlyph()));
    FClose->setIconSize(QSize(16, 16));
    FClose->setAutoRaise(true);
    // The widgets show; the panel takes every click and asks the hit test.
    for (QWidget* w : {static_cast<QWidget*>(FTitle), static_cast<QWidget*>(FClose),
                       static_cast<QWidget*>(FAllowEdit), static_cast<QWidget*>(FColumnNrs),
                       static_cast<QWidget*>(FLookLabel)}) {
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
        w->setFocusPolicy(Qt::NoFocus);
        w->setFont(DesignPanelFont());
        SetTextColor(w);
    }
    for (const TDesignLookEntry& e : DesignLookMenu()) {
        const TGridLook look = e.Look;
        FLookMenu->Add(QString::fromLatin1(e.Caption), [this, look](QObject*) {
            FGrid->SetLook(look);
            NudgeParentForm(FGrid);
            FGrid->UpdateDesignPanel();
        });
    }
    // The grid's repaint and resize bring the panel up to date.
    parentWidget()->installEventFilter(this);
    hide();
}

TDesignPanel::~TDesignPanel() = default;

void TDesignPanel::SetUnderline(QWidget* w, bool on)
{
    QFont f = w->font();
    if (f.underline() == on)
        return;
    f.setUnderline(on);
    w->setFont(f);
}

void TDesignPanel::Refresh()
{
    const TDesignPanelGeometry g =
        DesignPanelGeometry(Rect(0, 0, FGrid->ClientWidth(), FGrid->ClientHeight()), font(), FGrid->Look());
    const QRect place(g.Panel.Left, g.Panel.Top, g.Panel.Right - g.Panel.Left, g.Panel.Bottom - g.Panel.Top);
    if (geometry() != place)
        setGeometry(place);
    const int h = g.H;
    const QString title = QStringLiteral("Quick config [v") + FGrid->Version() + QStringLiteral("]");
    if (FTitle->text() != title)
        FTitle->setText(title);
    FTitle->setGeometry(4, 4, PanelWidth - 24, h);
    FClose->setGeometry(PanelWidth - 16, 2, 16, 16);
    FAllowEdit->setGeometry(4, h + 4, PanelWidth - 8, qMax(16, h + 2));
    FColumnNrs->setGeometry(4, 2 * h + 6, PanelWidth - 8, qMax(16, h + 2));
    const QString look = DesignPanelLookCaption(FGrid->Look());
    if (FLookLabel->text() != look)
        FLookLabel->setText(look);
    FLookLabel->setGeometry(4, 3 * h + 10, PanelWidth - 8, h + 2);
    const bool editing = (FGrid->Options() & goEditing) != 0;
    if (FAllowEdit->isChecked() != editing)
        FAllowEdit->setChecked(editing);
    if (FColumnNrs->isChecked() != FGrid->ShowColNrs())
        FColumnNrs->setChecked(FGrid->ShowColNrs());
    const int hover = FGrid->LastDesignChoice();
    SetUnderline(FAllowEdit, hover == dcAllowEdit);
    SetUnderline(FColumnNrs, hover == dcColumnNumbers);
    SetUnderline(FLookLabel, hover == dcLook);
}

void TDesignPanel::ShowLookMenu(QPoint clientPoint)
{
    const TGridLook current = FGrid->Look();
    const auto& entries = DesignLookMenu();
    for (int i = 0; i < FLookMenu->Count(); ++i)
        FLookMenu->Item(i)->SetChecked(entries[static_cast<size_t>(i)].Look == current);
    const QPoint screen = parentWidget()->mapToGlobal(clientPoint);
    FLookMenu->Popup(screen.x(), screen.y());
}

void TDesignPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), ToQColor(ColorToRGB(clInfoBk)));
    p.setPen(ToQColor(clGray));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TDesignPanel::mousePressEvent(QMouseEvent* e)
{
    // Kept from the grid: a press on the panel selects no cell.
    e->accept();
}

void TDesignPanel::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint c = ToClient(e->position().toPoint());
    RunGuarded([&] { FGrid->DesignPanelClick(c.x(), c.y()); });
}

void TDesignPanel::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint c = ToClient(e->position().toPoint());
    RunGuarded([&] { FGrid->CMDesignHitTest(c.x(), c.y()); });
}

void TDesignPanel::leaveEvent(QEvent*)
{
    RunGuarded([&] { FGrid->CMDesignHitTest(-1, -1); });
}

bool TDesignPanel::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == parentWidget()) {
        if (e->type() == QEvent::Resize) {
            FGrid->UpdateDesignPanel();
        } else if (e->type() == QEvent::Paint && !FRefreshQueued) {
            // Not while the grid paints: the panel's own changes repaint it.
            FRefreshQueued = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    FRefreshQueued = false;
                    RunGuarded([&] { FGrid->UpdateDesignPanel(); });
                },
                Qt::QueuedConnection);
        }
    }
    return QWidget::eventFilter(watched, e);
}

// ---------------------------------------------------------------------------
// The grid's side
// ---------------------------------------------------------------------------

void TExStringGrid::SetDesigning(bool designing)
{
    if (FDesigning == designing)
        return;
    FDesigning = designing;
    FLastDesignChoice = dcNone;
    if (designing) {
        if (!FDesignPanel)
            FDesignPanel = new TDesignPanel(this);
        UpdateDesignPanel();
    } else {
        delete FDesignPanel.data();
    }
    Invalidate();
}

TDesignPanel* TExStringGrid::DesignPanel() const { return static_cast<TDesignPanel*>(FDesignPanel.data()); }

void TExStringGrid::UpdateDesignPanel()
{
    TDesignPanel* panel = DesignPanel();
    if (!panel)
        return;
    const bool show = Designing() && ShowDesignHelper();
    if (show)
        panel->Refresh();
    if (panel->isHidden() == show)
        panel->setVisible(show);
}

int TExStringGrid::DesignHitTest(int x, int y)
{
    if (!Designing() || !ShowDesignHelper())
        return dcNone;
    const TDesignPanelGeometry g = DesignPanelGeometry(Rect(0, 0, ClientWidth(), ClientHeight()),
                                                       DesignPanelFont(), Look());
    return DesignPanelHitTest(g, x, y);
}

int TExStringGrid::CMDesignHitTest(int x, int y, int designerAnswer)
{
    if (!Designing() || !ShowDesignHelper())
        return designerAnswer;
    const int item = DesignHitTest(x, y);
    if (item != FLastDesignChoice) {
        FLastDesignChoice = item;
        // Only the panel is repainted, so that the underline follows the mouse.
        if (TDesignPanel* panel = DesignPanel()) {
            panel->Refresh();
            panel->update();
        }
    }
    return item >= dcAllowEdit && item <= dcClose ? 1 : designerAnswer;
}

void TExStringGrid::DesignPanelClick(int x, int y)
{
    if (!Designing() || !ShowDesignHelper())
        return;
    PerformDesignChoice(DesignHitTest(x, y), QPoint(x, y));
}

void TExStringGrid::PerformDesignChoice(int item, QPoint clientPoint)
{
    if (!Designing() || !ShowDesignHelper())
        return;
    switch (item) {
    case dcAllowEdit:
        SetOptions(Options() ^ goEditing);
        break;
    case dcColumnNumbers:
        FShowColNrs = !FShowColNrs;
        Invalidate();
        break;
    case dcLook:
        // The choice itself comes from the menu, which returns at once.
        if (TDesignPanel* panel = DesignPanel())
            panel->ShowLookMenu(clientPoint);
        return;
    case dcClose:
        SetShowDesignHelper(false);
        UpdateDesignPanel();
        return;
    default:
        return;
    }
    NudgeParentForm(this);
    UpdateDesignPanel();
}

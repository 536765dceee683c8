#include "grid/EsgEdit.h"

#include "platform/EditMask.h"
#include "platform/Messages.h"
#include "platform/Themes.h"
#include "widgets/ExXPVS.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionButton>

#include <memory>

using namespace platform;

// ---------------------------------------------------------------------------
// The button
// ---------------------------------------------------------------------------

TExSpeedButton::TExSpeedButton(QWidget* parent) : QToolButton(parent) {}

void TExSpeedButton::SetIsWinXP(bool v)
{
    FIsWinXP = v;
    update();
}

void TExSpeedButton::SetFlat(bool v)
{
    FFlat = v;
    update();
}

void TExSpeedButton::SetGlyph(const QPixmap& v)
{
    FGlyph = v;
    update();
}

void TExSpeedButton::enterEvent(QEnterEvent* e)
{
    QToolButton::enterEvent(e);
    FHot = true;
    update();
}

void TExSpeedButton::leaveEvent(QEvent* e)
{
    QToolButton::leaveEvent(e);
    FHot = false;
    update();
}

void TExSpeedButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    TCanvas canvas;
    canvas.BindPainter(&painter, width(), height());
    RunGuarded([&] {
        const bool down = isDown();
        TRect r = Rect(0, 0, width(), height());
        if (ButtonColor != clNone) {
            // A custom colour always draws flat; a state without its own
            // colour keeps the plain one.
            FFlat = true;
            TColor fill = ButtonColor;
            if (down && ButtonColorDown != clNone)
                fill = ButtonColorDown;
            else if (!down && FHot && ButtonColorHot != clNone)
                fill = ButtonColorHot;
            canvas.Brush().SetStyle(TBrushStyle::bsSolid);
            canvas.Brush().SetColor(fill);
            canvas.FillRect(r);
        } else if (FIsWinXP && ExXPVS::ThemesAvailable() &&
                   [&] {
                       HTHEME theme = ExXPVS::OpenThemeData(this, QStringLiteral("button"));
                       const int state = down ? PBS_PRESSED : FHot ? PBS_HOT : PBS_NORMAL;
                       const bool drawn = ExXPVS::DrawThemeBackground(theme, canvas, BP_PUSHBUTTON, state, r);
                       ExXPVS::CloseThemeData(theme);
                       return drawn;
                   }()) {
        } else if (FFlat) {
            canvas.Brush().SetStyle(TBrushStyle::bsSolid);
            canvas.Brush().SetColor(clBtnFace);
            canvas.FillRect(r);
            // Raised inner edge; sunken outer edge while pressed.
            const TColor light = down ? clBtnShadow : clBtnHighlight;
            const TColor dark = down ? clBtnHighlight : clBtnShadow;
            canvas.Pen().SetColor(light);
            canvas.MoveTo(r.Left, r.Bottom - 1);
            canvas.LineTo(r.Left, r.Top);
            canvas.LineTo(r.Right - 1, r.Top);
            canvas.Pen().SetColor(dark);
            canvas.LineTo(r.Right - 1, r.Bottom - 1);
            canvas.LineTo(r.Left - 1, r.Bottom - 1);
            r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
        } else {
            QStyleOptionButton opt;
            opt.initFrom(this);
            opt.rect = rect();
            opt.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
            style()->drawControl(QStyle::CE_PushButtonBevel, &opt, &painter, this);
            const QRect content = style()->subElementRect(QStyle::SE_PushButtonContents, &opt, this);
            if (content.isValid())
                r = Rect(content.left(), content.top(), content.right() + 1, content.bottom() + 1);
        }
        const int shift = down ? 1 : 0;
        if (!FGlyph.isNull()) {
            const int x = r.Left + (r.Right - r.Left - FGlyph.width()) / 2 + shift;
            const int y = r.Top + (r.Bottom - r.Top - FGlyph.height()) / 2 + shift;
            painter.drawPixmap(x, y, FGlyph);
        }
        if (!text().isEmpty()) {
            const QRect tr(r.Left + shift, r.Top + shift, r.Right - r.Left, r.Bottom - r.Top);
            painter.setFont(font());
            painter.setPen(Qt::black);
            painter.setBrush(Qt::NoBrush);
            painter.drawText(tr, Qt::AlignCenter | Qt::TextSingleLine, text());
        }
    });
}

// ---------------------------------------------------------------------------
// The edit
// ---------------------------------------------------------------------------

TEsgEditBtn::TEsgEditBtn(QWidget* parent) : TEdit(parent), FButton(new TExSpeedButton(this))
{
    FButton->setFocusPolicy(Qt::NoFocus);
    FButton->setCursor(Qt::ArrowCursor);
    FButton->setText(QStringLiteral("..."));
    QObject::connect(FButton, &QToolButton::clicked, this, [this] {
        RunGuarded([this] {
            DoClickBtn(FButton);
            // The focus goes back to the edit.
            if (isVisible() && !hasFocus())
                setFocus(Qt::MouseFocusReason);
        });
    });
    SetText(QStringLiteral("0"));
    LayoutButton();
}

void TEsgEditBtn::SetEditMask(const QString& mask)
{
    if (mask == FEditMask)
        return;
    FEditMask = mask;
    setInputMask(TranslateEditMask(mask).qtMask);
}

QString TEsgEditBtn::Text() const
{
    if (FEditMask.isEmpty())
        return TEdit::Text();
    return MaskedText(TranslateEditMask(FEditMask), displayText());
}

void TEsgEditBtn::DoClickBtn(QObject* sender)
{
    if (OnClickBtn)
        OnClickBtn(sender);
}

bool TEsgEditBtn::CompleteFromList(const QStringList& items, bool caseSensitive)
{
    if (hasSelectedText())
        return false;
    const QString typed = Text().left(cursorPosition());
    if (typed.isEmpty())
        return false;
    const QLocale locale;
    const QString prefix = caseSensitive ? typed : locale.toUpper(typed);
    for (const QString& item : items) {
        if (!(caseSensitive ? item : locale.toUpper(item)).startsWith(prefix))
            continue;
        const QString completed = typed + item.mid(typed.size(), 255);
        SetText(completed);
        setSelection(static_cast<int>(completed.size()), static_cast<int>(typed.size() - completed.size()));
        return true;
    }
    return false;
}

void TEsgEditBtn::SetButtonWidth(int v)
{
    FButtonWidth = std::max(0, v);
    LayoutButton();
}

void TEsgEditBtn::SetRightAlign(bool v)
{
    FRightAlign = v;
    setAlignment(v ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
}

void TEsgEditBtn::keyPressEvent(QKeyEvent* e)
{
    // Typing is ignored while the editor is off; the button still works.
    const QString typed = e->text();
    const bool typing = !typed.isEmpty() && (typed[0].isPrint() || typed[0] == u'\b') &&
                        !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!FEditorEnabled && (typing || e->key() == Qt::Key_Delete || e->matches(QKeySequence::Paste) ||
                            e->matches(QKeySequence::Cut))) {
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        if (!isReadOnly())
            RunGuarded([this] { DoPaste(); });
        e->accept();
        return;
    }
    TEdit::keyPressEvent(e);
    if (e->key() == Qt::Key_F4 && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        RunGuarded([this] { DoClickBtn(this); });
}

void TEsgEditBtn::contextMenuEvent(QContextMenuEvent* e)
{
    // The menu offers cut and paste only while typing is allowed: built for a
    // read-only edit it holds neither (copy and select all stay).
    const bool readOnly = isReadOnly();
    if (!FEditorEnabled)
        setReadOnly(true);
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    setReadOnly(readOnly);
    for (QAction* action : menu->actions()) {
        if (action->objectName() != QLatin1String("edit-paste"))
            continue;
        QObject::disconnect(action, &QAction::triggered, this, nullptr);
        QObject::connect(action, &QAction::triggered, this, [this] { RunGuarded([this] { DoPaste(); }); });
    }
    menu->exec(e->globalPos());
    e->accept();
}

void TEsgEditBtn::dragEnterEvent(QDragEnterEvent* e)
{
    if (!FEditorEnabled) {
        e->ignore();
        return;
    }
    TEdit::dragEnterEvent(e);
}

void TEsgEditBtn::dropEvent(QDropEvent* e)
{
    if (!FEditorEnabled) {
        e->ignore();
        return;
    }
    TEdit::dropEvent(e);
}

void TEsgEditBtn::resizeEvent(QResizeEvent* e)
{
    TEdit::resizeEvent(e);
    LayoutButton();
}

void TEsgEditBtn::LayoutButton()
{
    const QRect r = rect();
    FButton->setGeometry(r.width() - FButtonWidth - 1, 1, FButtonWidth, std::max(2, r.height() - 2));
    setTextMargins(0, 0, FButtonWidth + FUnitSize + (FUnitSize > 0 ? 5 : 2), 0);
}

// ---------------------------------------------------------------------------
// With a unit
// ---------------------------------------------------------------------------

TEsgUnitEditBtn::TEsgUnitEditBtn(QWidget* parent) : TEsgEditBtn(parent)
{
    SetUnitSpace(20);
    SetRightAlign(true);
}

void TEsgUnitEditBtn::SetUnitID(const QString& v)
{
    FUnitID = v;
    update();
}

void TEsgUnitEditBtn::SetUnitSpace(int v)
{
    FUnitSize = std::max(0, v);
    LayoutButton();
    update();
}

void TEsgUnitEditBtn::SetTextAndUnit(const QString& v)
{
    for (const QString& unit : FUnits) {
        if (unit.isEmpty())
            continue;
        const qsizetype at = v.indexOf(unit);
        if (at >= 0 && at + unit.size() == v.size()) {
            SetText(v.left(at));
            SetUnitID(unit);
            return;
        }
    }
}

void TEsgUnitEditBtn::ChooseUnit(int k)
{
    if (k < 1 || k > FUnits.size())
        return;
    const QString unit = FUnits[k - 1];
    const bool changed = unit != FUnitID;
    SetUnitID(unit);
    if (changed && OnUnitChanged)
        OnUnitChanged(this, unit);
}

void TEsgUnitEditBtn::DoClickBtn(QObject*)
{
    TEsgEditBtn::DoClickBtn(this);
    if (FUnits.isEmpty())
        return;
    QMenu menu(this);
    for (int i = 0; i < FUnits.size(); ++i) {
        QAction* a = menu.addAction(FUnits[i]);
        a->setData(i + 1);
    }
    if (QAction* chosen = menu.exec(mapToGlobal(QPoint(width() - 15, height()))))
        ChooseUnit(chosen->data().toInt());
}

void TEsgUnitEditBtn::paintEvent(QPaintEvent* e)
{
    TEsgEditBtn::paintEvent(e);
    if (FUnitSize <= 0 || FUnitID.isEmpty())
        return;
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(QPalette::Text));
    const QRect r(width() - ButtonWidth() - 3 - FUnitSize, 2, FUnitSize, height() - 2);
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, FUnitID);
}

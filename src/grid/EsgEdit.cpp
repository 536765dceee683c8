#include "grid/EsgEdit.h"

#include "platform/Messages.h"

#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

using namespace platform;

TEsgEditBtn::TEsgEditBtn(QWidget* parent) : TEdit(parent), FButton(new QToolButton(this))
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

void TEsgEditBtn::DoClickBtn(QObject* sender)
{
    if (OnClickBtn)
        OnClickBtn(sender);
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
    TEdit::keyPressEvent(e);
    if (e->key() == Qt::Key_F4 && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        RunGuarded([this] { DoClickBtn(this); });
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

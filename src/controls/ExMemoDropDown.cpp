#include "controls/ExMemoDropDown.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionFrame>

using namespace platform;

namespace {

QStringList SplitLines(const QString& text)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    if (text.isEmpty())
        return {};
    return text.split(breaks);
}

} // namespace

TExMemoDropDown::TExMemoDropDown(QWidget* parent) : TExCustomDropDown(parent) {}

TExMemoDropDown::~TExMemoDropDown() = default;

void TExMemoDropDown::SetLines(const QStringList& lines)
{
    FMemoText = lines;
    UpdateEditText();
}

void TExMemoDropDown::SetMemoText(const QStringList& lines)
{
    SetLines(lines);
    if (FMemo)
        FMemo->SetLines(lines);
}

void TExMemoDropDown::SetMemoReadOnly(bool value)
{
    FMemoReadOnly = value;
    if (DroppedDown() && FMemo)
        FMemo->SetReadOnly(value);
}

void TExMemoDropDown::SetText(const QString& value)
{
    // A cancelled popup has put the lines back already; the text the base
    // would restore is not theirs.
    if (FHiding)
        return;
    TExCustomDropDown::SetText(value);
}

void TExMemoDropDown::CreateDropDownForm()
{
    TExCustomDropDown::CreateDropDownForm();
    if (!DropDownForm())
        return;
    if (!FMemo) {
        FMemo = new TMemo(DropDownForm());
        FMemo->SetBounds(0, 0, FMemo->Width(), 100);
        FMemo->setFrameShape(QFrame::NoFrame);
        FMemo->OnChange = [this](QObject*) {
            if (OnMemoChange)
                OnMemoChange(this);
        };
        FMemo->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(FMemo, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
            if (FMemoPopup) {
                const QPoint g = FMemo->mapToGlobal(at);
                FMemoPopup->Popup(g.x(), g.y());
            }
        });
        connect(FMemo, &QPlainTextEdit::textChanged, this, [this] {
            // The edit's length limit holds for the memo too.
            const int limit = maxLength();
            if (limit > 0 && FMemo->toPlainText().size() > limit) {
                QTextCursor c = FMemo->textCursor();
                c.movePosition(QTextCursor::End);
                c.setPosition(limit, QTextCursor::KeepAnchor);
                c.removeSelectedText();
            }
        });
    }
    SetControl(FMemo);
}

void TExMemoDropDown::BeforeDropDown()
{
    if (!FMemo)
        CreateDropDownForm();
    TExCustomDropDown::BeforeDropDown();
    DropDownForm()->SetCancelOnDeActivate(false);
    FMemo->SetLines(FMemoText);
    FMemo->SetScrollBars(FMemoScrollBars);
    FMemo->SetReadOnly(FMemoReadOnly);
    if (DropDownWidth() <= 0)
        FMemo->SetBounds(0, 0, width(), FMemo->Height());
}

void TExMemoDropDown::DoHideDropDown(bool cancelled)
{
    const bool autoDrop = FAutoDrop;
    FAutoDrop = false;
    if (cancelled && FMemo)
        FMemo->SetLines(FMemoText);
    FHiding = cancelled;
    try {
        TExCustomDropDown::DoHideDropDown(cancelled);
    } catch (...) {
        FHiding = false;
        FAutoDrop = autoDrop;
        throw;
    }
    FHiding = false;
    FAutoDrop = autoDrop;
}

void TExMemoDropDown::AfterDropUp()
{
    TExCustomDropDown::AfterDropUp();
    if (FMemo)
        FMemoText = FMemo->Lines();
    UpdateEditText();
    setCursorPosition(0);
    deselect();
}

void TExMemoDropDown::focusInEvent(QFocusEvent* e)
{
    TExCustomDropDown::focusInEvent(e);
    // The focus coming back from the popup does not open it again.
    if (FAutoDrop && e->reason() != Qt::PopupFocusReason)
        RunGuarded([this] { DoShowDropDown(); });
}

void TExMemoDropDown::Change()
{
    if (!FInternalUpdate)
        FMemoText = SplitLines(TExCustomDropDown::Text());
    TExCustomDropDown::Change();
}

int TExMemoDropDown::TextRectWidth() const
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    const QMargins m = textMargins();
    return std::max(0, r.width() - m.left() - m.right() - 4);
}

void TExMemoDropDown::UpdateEditText()
{
    QString t;
    if (FMemoText.isEmpty() || EditorEnabled()) {
        t = FMemoText.join(QStringLiteral("\r\n"));
    } else {
        t = FMemoText.first();
        const int w = TextRectWidth();
        TBitmap measure(1, 1);
        TFont f;
        f.SetFromQFont(font());
        measure.Canvas().SetFont(f);
        if (GetCanvasTextSize(measure.Canvas(), t).cx < w) {
            if (FMemoText.size() > 1)
                t += QStringLiteral("...");
        } else {
            t = FitTextToWidth(measure.Canvas(), t, w, true);
        }
    }
    const bool internal = FInternalUpdate;
    FInternalUpdate = true;
    SetRawText(t);
    FInternalUpdate = internal;
}

void TExMemoDropDown::ControlKeyUp(QKeyEvent* e)
{
    const int key = VirtualKeyFromQt(e->key());
    if (key == VK_ESCAPE || key == VK_F4 || (e->modifiers() & Qt::AltModifier))
        TExCustomDropDown::ControlKeyUp(e);
}

bool TExMemoDropDown::eventFilter(QObject* watched, QEvent* e)
{
    if (FMemo && watched == FMemo && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        const int key = VirtualKeyFromQt(k->key());
        const TShiftState shift = ShiftStateFromQt(k->modifiers());
        if (key == 'A' && (shift & ssCtrl)) {
            FMemo->selectAll();
            return true;
        }
        bool used = false;
        RunGuarded([&] { used = MemoKeyDown(key, shift); });
        if (used)
            return true;
        // Only Escape, F4 and Alt combinations reach the edit; the memo keeps
        // the rest (Enter among them).
        if (key == VK_ESCAPE || key == VK_F4 || (shift & ssAlt))
            return TExCustomDropDown::eventFilter(watched, e);
        return false;
    }
    return TExCustomDropDown::eventFilter(watched, e);
}

bool TExMemoDropDown::MemoKeyDown(int key, TShiftState shift)
{
    if (key == VK_ESCAPE) {
        DoHideDropDown(true);
        return true;
    }
    if ((shift & ssAlt) && (key == VK_UP || key == VK_DOWN)) {
        if (DroppedDown())
            DoHideDropDown(true);
        else
            DoShowDropDown();
        return true;
    }
    return false;
}

#pragma once

// A string grid shown in an active window, driven by real key and mouse events.

#include "grid/ExGrid.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <memory>

namespace edittest {

// Lets posted messages and deferred events arrive.
inline void ProcessEvents()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

inline QWidget* FocusWidget() { return QApplication::focusWidget(); }

// One key press and release to the focused widget, with its text.
inline void Key(int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString())
{
    QWidget* target = FocusWidget();
    ASSERT_NE(target, nullptr);
    QString t = text;
    if (t.isEmpty()) {
        switch (qtKey) {
        case Qt::Key_Return: t = QStringLiteral("\r"); break;
        case Qt::Key_Escape: t = QString(QChar(27)); break;
        case Qt::Key_Tab: t = QStringLiteral("\t"); break;
        case Qt::Key_Backspace: t = QString(QChar(8)); break;
        case Qt::Key_Space: t = QStringLiteral(" "); break;
        default: break;
        }
    }
    QKeyEvent press(QEvent::KeyPress, qtKey, mods, t);
    QApplication::sendEvent(target, &press);
    QWidget* after = FocusWidget() ? FocusWidget() : target;
    QKeyEvent release(QEvent::KeyRelease, qtKey, mods, t);
    QApplication::sendEvent(after, &release);
}

// Types characters, each a key press and release to whatever has the focus.
inline void Type(const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    for (const QChar c : text) {
        int key = c.toUpper().unicode();
        if (c == QLatin1Char(' '))
            key = Qt::Key_Space;
        Key(key, mods, QString(c));
    }
}

struct GridFixture : ::testing::Test
{
    std::unique_ptr<QWidget> host;
    TExStringGrid* grid = nullptr;

    virtual TExStringGrid* MakeGrid(QWidget* parent) { return new TExStringGrid(parent); }

    void SetUp() override
    {
        host = std::make_unique<QWidget>();
        host->resize(640, 420);
        grid = MakeGrid(host.get());
        grid->setGeometry(10, 10, 560, 360);
        grid->SetColCount(5);
        grid->SetRowCount(6);
        grid->SetOptions(grid->Options() | platform::goEditing);
        host->show();
        QApplication::setActiveWindow(host.get());
        grid->setFocus(Qt::OtherFocusReason);
        ProcessEvents();
    }

    void TearDown() override
    {
        // Handlers of the tests capture locals that are gone by now.
        grid->OnEditingDone = nullptr;
        grid->OnEditCellDone = nullptr;
        grid->OnCellValidate = nullptr;
        grid->OnCellsChanged = nullptr;
        grid->OnCheckBoxClick = nullptr;
        grid->OnCheckBoxChange = nullptr;
        grid->OnClick = nullptr;
        grid->OnClickCell = nullptr;
        grid->OnKeyPress = nullptr;
        grid->OnKeyDown = nullptr;
        grid->OnAutoAdvance = nullptr;
        grid->OnAutoAddRow = nullptr;
        grid->OnCanAddRow = nullptr;
        grid->OnCanEditCell = nullptr;
        grid->OnCellChanging = nullptr;
        grid->OnRowChanging = nullptr;
        grid->OnColChanging = nullptr;
        grid->OnComboChange = nullptr;
        grid->OnEditChange = nullptr;
        grid->OnGetEditorType = nullptr;
        grid->OnPainted = nullptr;
        host.reset();
        ProcessEvents();
    }

    // The centre of a cell, in the grid's client area.
    QPoint CellPoint(int col, int row)
    {
        const platform::TRect r = grid->TBaseGrid::CellRect(col, row);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }

    void PressCell(int col, int row, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget* surface = grid->ClientSurface();
        const QPoint at = CellPoint(col, row);
        const QPoint global = surface->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, mods);
        QApplication::sendEvent(surface, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, mods);
        QApplication::sendEvent(surface, &release);
    }

    // Goes to a cell with the keyboard's focus on the grid.
    void GoTo(int col, int row)
    {
        grid->SetCol(col);
        grid->SetRow(row);
        grid->setFocus(Qt::OtherFocusReason);
    }

    bool EditorShown()
    {
        platform::TInplaceEdit* e = grid->InplaceEditor();
        return e && e->isVisible();
    }

    QString EditorText()
    {
        platform::TInplaceEdit* e = grid->InplaceEditor();
        return e ? e->Text() : QString();
    }
};

} // namespace edittest

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

// Keys as the window system delivers them to the focused widget.
inline void Key(int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString())
{
    testsupport::KeyClick(qtKey, mods, text);
}
inline void Type(const QString& text) { testsupport::TypeKeys(text); }

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

#pragma once

// The two editors of the grid that wrap no other editor control: the custom
// editor link of edCustom cells, through which an application plugs its own
// control into the grid, and the rich edit that measures rich-text cells and,
// laid over a cell, edits it (edRichEdit).
//
// A link's control hands its keys to EditKeyDown and its exit to EditExit;
// the link turns the keys the control does not want into grid navigation.

#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/GridTypes.h"

#include <QObject>
#include <QPointer>

class TExStringGrid;

enum class TEditStyle { esInplace, esPopup };
using enum TEditStyle;

class TEditLink : public QObject
{
public:
    explicit TEditLink(QObject* owner = nullptr);
    ~TEditLink() override;

    // Set by the grid when it shows the link.
    TExStringGrid* Grid() const { return FOwner; }
    platform::TPoint EditCell() const { return FEditCell; }

    bool WantKeyLeftRight() const { return FWantKeyLeftRight; }
    void SetWantKeyLeftRight(bool v) { FWantKeyLeftRight = v; }
    bool WantKeyUpDown() const { return FWantKeyUpDown; }
    void SetWantKeyUpDown(bool v) { FWantKeyUpDown = v; }
    bool WantKeyHomeEnd() const { return FWantKeyHomeEnd; }
    void SetWantKeyHomeEnd(bool v) { FWantKeyHomeEnd = v; }
    bool WantKeyPriorNext() const { return FWantKeyPriorNext; }
    void SetWantKeyPriorNext(bool v) { FWantKeyPriorNext = v; }
    bool WantKeyReturn() const { return FWantKeyReturn; }
    void SetWantKeyReturn(bool v) { FWantKeyReturn = v; }
    bool WantKeyEscape() const { return FWantKeyEscape; }
    void SetWantKeyEscape(bool v) { FWantKeyEscape = v; }
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool v) { FWantReturns = v; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool v) { FWantTabs = v; }
    TEditStyle EditStyle() const { return FEditStyle; }
    void SetEditStyle(TEditStyle v) { FEditStyle = v; }
    int PopupWidth() const { return FPopupWidth; }
    void SetPopupWidth(int v) { FPopupWidth = v; }
    int PopupHeight() const { return FPopupHeight; }
    void SetPopupHeight(int v) { FPopupHeight = v; }
    int PopupLeft() const { return FPopupLeft; }
    void SetPopupLeft(int v) { FPopupLeft = v; }
    int PopupTop() const { return FPopupTop; }
    void SetPopupTop(int v) { FPopupTop = v; }
    bool AutoPopupWidth() const { return FAutoPopupWidth; }
    void SetAutoPopupWidth(bool v) { FAutoPopupWidth = v; }
    int Tag() const { return FTag; }
    void SetTag(int v) { FTag = v; }
    bool SubClassed() const { return FSubClassed; }
    platform::TForm* PopupForm() const { return FPopupForm.data(); }

    // The hooks a descendant fills in.
    virtual void EditKeyDown(QObject* sender, int& key, platform::TShiftState shift);
    virtual QWidget* GetEditControl();
    virtual void CreateEditor(QWidget* parent);
    virtual void DestroyEditor();
    virtual void SetFocus(bool value);
    virtual void SetRect(const platform::TRect& r);
    virtual void SetVisible(bool value);
    virtual void SetProperties();
    virtual void SetCellProps(platform::TColor color, const platform::TFont& font);
    virtual QString GetEditorValue();
    virtual void SetEditorValue(const QString& value);

    // The control's exit.
    void EditExit(QObject* sender);
    // The popup form lost the activation.
    void FormExit(QObject* sender);
    // The popup form for esPopup, else the grid.
    QWidget* GetParent();
    // The current cell's display text (real column).
    QString GetCellValue();
    void SetCellValue(const QString& s);
    void HideEditor();
    void RestoreWinProc();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TExStringGrid;

    TExStringGrid* FOwner = nullptr;
    bool FWantKeyLeftRight = false;
    bool FWantKeyUpDown = false;
    bool FWantKeyHomeEnd = false;
    bool FWantKeyPriorNext = false;
    bool FWantKeyReturn = false;
    bool FWantKeyEscape = false;
    TEditStyle FEditStyle = esInplace;
    QPointer<platform::TForm> FPopupForm;
    int FPopupWidth = 0;
    int FPopupHeight = 0;
    bool FForcedExit = false;
    platform::TPoint FEditCell{-1, -1};
    int FTag = 0;
    bool FAutoPopupWidth = false;
    int FPopupLeft = -1;
    int FPopupTop = -1;
    bool FSubClassed = false;
    bool FWantReturns = false;
    bool FWantTabs = false;
    // The control routed through the grid while subclassed.
    QPointer<QWidget> FRouted;
};

// The grid's rich edit: hidden for measuring rich cells, or over a cell.
class TExRichEdit : public platform::TRichEdit
{
public:
    explicit TExRichEdit(TExStringGrid* grid);

    TExStringGrid* Grid() const { return FGrid; }
    // The size the text last asked for.
    int ReqWidth() const { return FReqWidth; }
    int ReqHeight() const { return FReqHeight; }
    bool Locked() const { return FLocked; }
    void SetLocked(bool v) { FLocked = v; }
    // The inplace editor of a cell (the measuring one is not).
    bool Inplace() const { return FInplace; }
    void SetInplace(bool v) { FInplace = v; }

    // Character offset of the selection: normal, below or above the line.
    void SelNormal();
    void SelSubscript();
    void SelSuperscript();
    bool IsSelNormal() const;
    bool IsSelSubscript() const;
    bool IsSelSuperscript() const;
    // A fresh window before the grid shows it.
    void ReCreate();

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void RequestResize();

    TExStringGrid* FGrid;
    int FReqHeight = 0;
    int FReqWidth = 0;
    bool FLocked = false;
    bool FInplace = false;
};

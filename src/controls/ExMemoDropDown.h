#pragma once

// An edit standing for a multi-line text: the popup holds a memo with all the
// lines, the edit shows the first line (with "..." when there are more, or cut
// to fit). With typing on the edit shows all lines joined and what is typed
// replaces them. The popup losing activation keeps the memo's edits; Escape
// and Alt+Up/Down in the memo discard them.

#include "controls/ExDropDown.h"

#include <QStringList>

class TExMemoDropDown : public TExCustomDropDown
{
public:
    explicit TExMemoDropDown(QWidget* parent = nullptr);
    ~TExMemoDropDown() override;

    QStringList MemoText() const { return FMemoText; }
    void SetMemoText(const QStringList& lines);
    platform::TPopupMenu* MemoPopup() const { return FMemoPopup; }
    void SetMemoPopup(platform::TPopupMenu* menu) { FMemoPopup = menu; }
    platform::TScrollStyle MemoScrollBars() const { return FMemoScrollBars; }
    void SetMemoScrollBars(platform::TScrollStyle s) { FMemoScrollBars = s; }
    bool MemoReadOnly() const { return FMemoReadOnly; }
    void SetMemoReadOnly(bool value);
    bool AutoDrop() const { return FAutoDrop; }
    void SetAutoDrop(bool value) { FAutoDrop = value; }
    // Null until the popup was first made.
    platform::TMemo* Memo() const { return FMemo; }
    QString Text() const { return TExCustomDropDown::Text(); }
    void SetText(const QString& value) override;

    platform::TNotifyEvent OnMemoChange;

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoHideDropDown(bool cancelled) override;
    void AfterDropUp() override;

protected:
    // The edit's change: unless the edit text is being set from the lines,
    // the text becomes the lines; then OnChange.
    void Change() override;
    void focusInEvent(QFocusEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    // Only Escape, F4 and Alt combinations are released into the edit.
    void ControlKeyUp(QKeyEvent* e) override;
    // The memo's own keys: Escape, and Alt+Up/Down, close discarding the
    // memo's edits. True when the key was used.
    bool MemoKeyDown(int key, platform::TShiftState shift);
    void UpdateEditText();

private:
    void SetLines(const QStringList& lines);
    int TextRectWidth() const;

    platform::TPopupMenu* FMemoPopup = nullptr;
    QStringList FMemoText;
    platform::TMemo* FMemo = nullptr;
    platform::TScrollStyle FMemoScrollBars = platform::ssNone;
    bool FMemoReadOnly = false;
    bool FInternalUpdate = false;
    bool FAutoDrop = false;
    bool FHiding = false;
};

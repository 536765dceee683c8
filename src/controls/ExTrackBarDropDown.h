#pragma once

// A numeric drop-down whose popup holds a horizontal track bar. The edit takes
// no typing: the arrow keys step by Frequency, dragging the mouse over the
// edit (with DropDownEnabled) steps by one per PageSize pixels, and moving the
// bar rewrites the text.
// Before the first showing the properties live in the fields only; the track
// bar, once made, clamps Position to Min..Max.

#include "controls/ExDropDown.h"

#include <QSlider>

// The platform's horizontal track bar: Min, Max, Position (kept within them),
// PageSize, tick Frequency and OnChange after every move of the position.
class TTrackBar : public platform::TControlOf<QSlider>
{
public:
    explicit TTrackBar(QWidget* parent = nullptr);
    int Min() const { return minimum(); }
    void SetMin(int v);
    int Max() const { return maximum(); }
    void SetMax(int v);
    int Position() const { return value(); }
    void SetPosition(int v) { setValue(v); }
    int PageSize() const { return pageStep(); }
    void SetPageSize(int v) { setPageStep(v); }
    int Frequency() const { return tickInterval(); }
    void SetFrequency(int v) { setTickInterval(v); }
    platform::TNotifyEvent OnChange;
};

class TExTrackBarDropDown : public TExCustomDropDown
{
public:
    explicit TExTrackBarDropDown(QWidget* parent = nullptr);

    int Min() const { return FMin; }
    void SetMin(int value);
    int Max() const { return FMax; }
    void SetMax(int value);
    int Position() const { return FPosition; }
    void SetPosition(int value);
    int PageSize() const { return FPageSize; }
    // At least 1: dragging divides by it.
    void SetPageSize(int value);
    int Frequency() const { return FFrequency; }
    void SetFrequency(int value);
    // Null until the popup was first made.
    TTrackBar* TrackBar() const { return FTrackBar; }

    platform::TNotifyEvent OnTrackChange;

    void SetText(const QString& value) override;
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoHideDropDown(bool cancelled) override;
    // Up and Down in the open bar step the position once, as in the edit.
    bool ControlKeyDown(QKeyEvent* e) override;

protected:
    // The edit's change: OnChange, then Position from the text (a text that
    // is not a decimal integer throws the platform's conversion error).
    void Change() override;
    void TrackBarChange();
    void KeyDown(int& key, platform::TShiftState shift) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    TTrackBar* FTrackBar = nullptr;
    int FMin = 0;
    int FFrequency = 1;
    int FPageSize = 2;
    int FMax = 10;
    int FPosition = 0;
    bool FMouseDraging = false;
    int FMouseX = 0;
    bool FMouseMoved = false;
    QString FOpenText; // the text the popup was opened with
    bool FRestoring = false;
};

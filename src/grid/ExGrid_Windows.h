#pragma once

// The grid's helper windows: the hint window that renders HTML and wide text
// (cell, sizing and scroll hints) and the thin scroll bars of the ssMetro
// scroll type.

#include "platform/Controls.h"
#include "platform/CustomControl.h"

#include <QPointer>
#include <QString>

#include <functional>

class TPictureContainer;

// A top-level tool-tip window like the platform's plain hint window: opaque,
// so it needs no compositor; it casts a drop shadow.
class THTMLHintWindow : public platform::THintWindow
{
public:
    explicit THTMLHintWindow(QWidget* parent = nullptr);

    // (0, 0, width, height) of the text alone.
    platform::TRect CalcHintRect(int maxWidth, const QString& hint) override;
    // Sizes the window for the text, keeps it on the monitor of its top-left
    // corner and shows it there without taking the focus.
    void ActivateHint(const platform::TRect& rect, const QString& hint) override;
    // With a grid as data: its images and pictures serve the image tags.
    void ActivateHintData(const platform::TRect& rect, const QString& hint, QObject* data);

    QString HintText() const { return FCaption; }
    int TextWidth() const { return FTextWidth; }
    int TextHeight() const { return FTextHeight; }
    const platform::TImageList* Images() const { return FImages; }
    void SetImages(const platform::TImageList* images) { FImages = images; }
    TPictureContainer* PictureContainer() const { return FPictureContainer; }
    void SetPictureContainer(TPictureContainer* container) { FPictureContainer = container; }

    // The font name of the grid that prepared the last hint; wide text is
    // drawn in it.
    static QString& HintFontName();

protected:
    void Paint() override;

private:
    platform::TSize Measure(const QString& hint, int maxWidth, bool& wide);

    // The grid's, not owned; cleared when they go.
    QPointer<const platform::TImageList> FImages;
    QPointer<TPictureContainer> FPictureContainer;
    int FTextHeight = 0;
    int FTextWidth = 0;
    QString FWideCaption;
    QString FCaption;
};

enum class TScrollDirection { sdVertical, sdHorizontal };
using enum TScrollDirection;

class TExStringGrid;

// A thin see-through scroll bar laid along the grid's right or bottom edge.
// It only works for a parent that is a string grid.
class TScrollControl : public platform::TCustomControl
{
public:
    explicit TScrollControl(QWidget* parent = nullptr);

    platform::TColor Color() const { return FColor; }
    void SetColor(platform::TColor v) override;
    int ScrollWidth() const { return FScrollWidth; }
    void SetScrollWidth(int v) { FScrollWidth = v; }
    TScrollDirection Direction() const { return FDirection; }
    void SetDirection(TScrollDirection v) { FDirection = v; }
    // The flat bars fill their whole track in this colour and draw the thumb
    // 2 px inside it; none (the thin bars): the thumb alone, ScrollWidth thick.
    platform::TColor TrackColor() const { return FTrackColor; }
    void SetTrackColor(platform::TColor v);

    // The track (start, length) and the thumb (start, length) along the
    // control, in its own pixels; false when all rows (columns) are in view.
    bool ThumbRange(int& trackStart, int& trackLength, int& thumbStart, int& thumbLength);

protected:
    void Paint() override;
    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseMove(platform::TShiftState shift, int x, int y) override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;

private:
    TExStringGrid* Grid() const;

    platform::TColor FColor = 0xC0C0C0;
    platform::TColor FTrackColor = platform::clNone;
    int FScrollWidth = 4;
    bool FDownOnScroller = false;
    int FDownPos = 0;
    int FDownRow = 0;
    TScrollDirection FDirection = sdVertical;
};

// Watches the grid's client surface while a cell hint shows and reports the
// input that ends it.
class TCellHintTracker : public QObject
{
public:
    TCellHintTracker(QObject* owner, std::function<void(QEvent*)> report);
    ~TCellHintTracker() override { Stop(); }
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The hint goes after the platform's pause for its text.
    void Start(QWidget* surface, int hideAfterMs);
    void Stop();

private:
    std::function<void(QEvent*)> FReport;
    QPointer<QWidget> FSurface;
    int FTimer = 0;
    void timerEvent(QTimerEvent* event) override;
};

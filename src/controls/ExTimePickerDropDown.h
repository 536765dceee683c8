#pragma once

// A time edit of the drop-down family: the edit shows hh<sep>mm[<sep>ss]
// (sep the regional time separator, read at each use) and its popup hosts an
// analog watch. Up and Down change the part under the caret (Up lowers);
// closing the popup takes the watch's time. A complete typed text sets the
// time; one out of range keeps the old time and text.

#include "controls/ExDropDown.h"
#include "controls/ExWatch.h"
#include "platform/DateTimePicker.h"

#include <memory>
#include <optional>

struct TTypedTime
{
    int Hour = 0, Minute = 0, Second = 0;
    bool operator==(const TTypedTime&) const = default;
};

// The parts of a complete time text (trimmed length 5, or 8 with seconds),
// blanks read as "0"; std::nullopt for a text that is incomplete, has the
// wrong separators or non-digit parts. The parts are not range-checked.
std::optional<TTypedTime> ParseTypedTime(const QString& text, bool showSeconds, QChar sep);
// Two digits per part, sep between them.
QString FormatTypedTime(int hour, int minute, int second, bool showSeconds, QChar sep);

class TExTimePickerDropDown : public TExCustomDropDown
{
public:
    explicit TExTimePickerDropDown(QWidget* parent = nullptr);
    ~TExTimePickerDropDown() override;

    bool Animation() const { return FAnimation; }
    void SetAnimation(bool v) { FAnimation = v; }
    int AnimationFactor() const { return FAnimationFactor; }
    void SetAnimationFactor(int v) { FAnimationFactor = v < 1 ? 1 : v; }
    TWatchSettings& WatchSettings() { return *FWatchSettings; }
    void SetWatchSettings(const TWatchSettings& s) { FWatchSettings->Assign(s); }
    TWatchAppearance& WatchAppearance() { return *FWatchAppearance; }
    void SetWatchAppearance(const TWatchAppearance& a) { FWatchAppearance->Assign(a); }
    TDateTime Time() const { return FTime; }
    void SetTime(TDateTime value);
    bool ShowWatchAMPM() const { return FShowWatchAMPM; }
    void SetShowWatchAMPM(bool v) { FShowWatchAMPM = v; }
    bool ShowWatchNumbers() const { return FShowWatchNumbers; }
    void SetShowWatchNumbers(bool v) { FShowWatchNumbers = v; }
    bool ShowSeconds() const { return FShowSeconds; }
    void SetShowSeconds(bool v);
    // A time picker below the watch in the popup.
    bool ShowTimePicker() const { return FShowTimePicker; }
    void SetShowTimePicker(bool v) { FShowTimePicker = v; }
    // Null until the popup was first made (the picker: first shown).
    TExWatch* Watch() const { return FExWatch; }
    platform::TDateTimePicker* DateTimePicker() const { return FDateTimePicker; }

    void SetComponentStyle(TQRVStyle style) override;
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoHideDropDown(bool cancel) override;
    void AfterDropUp() override;
    void DropDownKeyDown(QKeyEvent* e) override;
    // Releases of Page Up, Page Down, Up and Down stay in the popup (Alt
    // aside). The popup's time picker's releases come here too.
    void DropDownKeyUp(QKeyEvent* e) override;
    void ControlKeyUp(QKeyEvent* e) override;
    // Keys of the popup's panel and of its time picker: Page Up, Page Down,
    // Up and Down stay with them (Alt aside); every other key reaches the edit
    // as well, and one that closed the popup goes no further.
    bool ControlKeyDown(QKeyEvent* e) override;
    // The edit mask for the seconds setting: an optional first hour digit
    // (a blank when absent), the separators kept, blank as the placeholder.
    static QString EditMaskFor(bool showSeconds, QChar sep);

    platform::TNotifyEvent OnTimeChange;

protected:
    void Change() override;
    void KeyDown(int& key, platform::TShiftState shift) override;
    // The picker relays its keys through its own key events; those it leaves
    // come up through the panel and must not reach the edit a second time.
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // The edit's text with the mask's blanks in place.
    QString MaskedText() const { return displayText(); }
    void ApplyEditMask();
    // Characters typed in the popup's time picker reach the edit as if typed there.
    void ControlKeyPress(QChar& key);
    void SetHourValue(int v);
    void SetMinuteValue(int v);
    void SetSecondValue(int v);
    void SetPart(int hour, int minute, int second);
    void WatchChanged();
    void TimePickerChanged();
    QString TimeText(TDateTime t) const;

    bool FShowTimePicker = false;
    platform::TDateTimePicker* FDateTimePicker = nullptr;
    platform::TPanel* FPanelCtrl = nullptr;
    TExWatch* FExWatch = nullptr;
    std::unique_ptr<TWatchAppearance> FWatchAppearance;
    bool FShowWatchAMPM = true, FShowWatchNumbers = true, FAnimation = true;
    int FAnimationFactor = 10;
    TDateTime FTime = 0;
    TDateTime FOpenTime = 0; // the time the popup opened with
    std::unique_ptr<TWatchSettings> FWatchSettings;
    bool FInternalCall = false;
    bool FShowSeconds = true;
};

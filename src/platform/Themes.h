#pragma once

#include "platform/Graphics.h"

class QWidget;

namespace platform {

// Parts of the desktop's visual style, drawn through Qt's style. Classes,
// parts and states are numbered as the visual-style library numbers them.
enum class ThemeClass { Button, ComboBox, Spin, Header, Progress };

// "button", "combobox", "spin", "header", "progress" (any letter case).
bool ThemeClassFromName(const QString& name, ThemeClass* cls);

constexpr int BP_PUSHBUTTON = 1, BP_RADIOBUTTON = 2, BP_CHECKBOX = 3;
constexpr int PBS_NORMAL = 1, PBS_HOT = 2, PBS_PRESSED = 3, PBS_DISABLED = 4, PBS_DEFAULTED = 5;
constexpr int RBS_UNCHECKEDNORMAL = 1, RBS_UNCHECKEDHOT = 2, RBS_UNCHECKEDPRESSED = 3, RBS_UNCHECKEDDISABLED = 4,
              RBS_CHECKEDNORMAL = 5, RBS_CHECKEDHOT = 6, RBS_CHECKEDPRESSED = 7, RBS_CHECKEDDISABLED = 8;
constexpr int CBS_UNCHECKEDNORMAL = 1, CBS_UNCHECKEDHOT = 2, CBS_UNCHECKEDPRESSED = 3, CBS_UNCHECKEDDISABLED = 4,
              CBS_CHECKEDNORMAL = 5, CBS_CHECKEDHOT = 6, CBS_CHECKEDPRESSED = 7, CBS_CHECKEDDISABLED = 8,
              CBS_MIXEDNORMAL = 9, CBS_MIXEDHOT = 10, CBS_MIXEDPRESSED = 11, CBS_MIXEDDISABLED = 12;
constexpr int CP_DROPDOWNBUTTON = 1;
constexpr int CBXS_NORMAL = 1, CBXS_HOT = 2, CBXS_PRESSED = 3, CBXS_DISABLED = 4;
constexpr int SPNP_UP = 1, SPNP_DOWN = 2;
constexpr int UPS_NORMAL = 1, UPS_HOT = 2, UPS_PRESSED = 3, UPS_DISABLED = 4;
constexpr int DNS_NORMAL = 1, DNS_HOT = 2, DNS_PRESSED = 3, DNS_DISABLED = 4;
constexpr int HP_HEADERITEM = 1;
constexpr int HIS_NORMAL = 1, HIS_HOT = 2, HIS_PRESSED = 3;
constexpr int PP_BAR = 1, PP_BARVERT = 2, PP_CHUNK = 3, PP_CHUNKVERT = 4;

// The one switch: whether styled drawing is active (it is unless switched off).
bool ThemesActive();
void SetThemesActive(bool active);

// Draws the part in its state into r. False (and nothing drawn) when themes
// are off or the class, part or state is not one of the above.
bool DrawThemeBackground(TCanvas& canvas, ThemeClass cls, int part, int state, const TRect& r,
                         const QWidget* widget = nullptr);

} // namespace platform

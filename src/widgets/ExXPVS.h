#pragma once

// The component library's binding to the desktop's visual styles. The styles
// are those of the platform's theme layer (Qt's style); the binding adds the
// library's own "bound" state and the theme-handle calls its painters use.
// ATXPVS holds a second binding with the same calls for the drop-down
// controls.

#include "platform/Graphics.h"

#include <QString>

class QWidget;

// An open theme: the part class and the window it is drawn for. A handle that
// is not valid (unknown class, binding not made) draws nothing.
struct HTHEME
{
    int Class = -1; // platform::ThemeClass, -1 when not valid
    const QWidget* Window = nullptr;
    bool Valid() const { return Class >= 0; }
    explicit operator bool() const { return Valid(); }
};

namespace ExXPVS {

// Makes the binding (done once at start-up; a second call while bound does
// nothing) and releases it. Both are counted: the last release unbinds.
bool Bind();
void Release();
bool Bound();

// Whether styled drawing may be asked for: bound, and the styles active.
bool ThemesAvailable();

// The entry points the program calls. Unbound, IsThemeActive answers false,
// OpenThemeData an invalid handle and DrawThemeBackground draws nothing.
bool IsThemeActive();
// classList: "button", "combobox", "spin", "header" or "progress" (any case).
HTHEME OpenThemeData(const QWidget* window, const QString& classList);
void CloseThemeData(HTHEME& theme);
// True when drawn.
bool DrawThemeBackground(const HTHEME& theme, platform::TCanvas& canvas, int part, int state,
                         const platform::TRect& rect, const platform::TRect* clip = nullptr);
// The style's name as the file name; colour and size names are empty (the
// platform's styles have none). False when unbound or the styles are off.
bool GetCurrentThemeName(QString* fileName, QString* colorName, QString* sizeName);

} // namespace ExXPVS

namespace themebinding::detail {
// The calls of both bindings, without their bound tests.
HTHEME Open(const QWidget* window, const QString& classList);
bool Draw(const HTHEME& theme, platform::TCanvas& canvas, int part, int state, const platform::TRect& rect,
          const platform::TRect* clip);
bool CurrentThemeName(QString* fileName, QString* colorName, QString* sizeName);
} // namespace themebinding::detail

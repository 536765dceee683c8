#pragma once

// The drop-down controls' own binding to the desktop's visual styles: the
// same calls as ExXPVS, with a bound state of its own.

#include "widgets/ExXPVS.h"

namespace ATXPVS {

bool Bind();
void Release();
bool Bound();
bool ThemesAvailable();

bool IsThemeActive();
HTHEME OpenThemeData(const QWidget* window, const QString& classList);
void CloseThemeData(HTHEME& theme);
bool DrawThemeBackground(const HTHEME& theme, platform::TCanvas& canvas, int part, int state,
                         const platform::TRect& rect, const platform::TRect* clip = nullptr);
bool GetCurrentThemeName(QString* fileName, QString* colorName, QString* sizeName);

} // namespace ATXPVS

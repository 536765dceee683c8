#pragma once

// The combo box's eight action pictures (edit, new, delete, up, down, pins and
// the greyed new and delete), made once at start and freed at the end. The
// pictures use the 16 colours of a 4-bit bitmap.

#include "platform/Graphics.h"

#include <QString>

// Module start and end, counted: the first start makes the pictures, the
// matching last end frees them.
void ComboBoxXInitialize();
void ComboBoxXFinalize();

// The picture of that resource name ("CBX_BMP_EDIT" .. "CBX_BMP_PINS");
// null for another name or while the module is not started.
const platform::TBitmap* ComboBoxXBitmap(const QString& resourceName);

// The resource names in load order.
extern const char* const ComboBoxXResourceNames[8];

// The 16 colours a picture may use.
bool ComboBoxXIsPaletteColor(platform::TColor c);

#pragma once

// A project file of the open configuration that exists but cannot be read
// (not well-formed): a window that rewrites it whole must not do so behind
// the user's back, since the file may still hold everything the user entered.

#include <QString>

// Shows the loader's message and asks whether the window may open with its
// defaults, so that its OK would replace the damaged file. True only on Yes;
// otherwise the window closes at once without writing anything.
bool Damaged_File_May_Be_Replaced(const QString& loadError);

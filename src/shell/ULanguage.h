#pragma once

#include <QString>
#include <QStringList>

// The language table: 6300 numbered texts, the built-in English ones replaced
// entry by entry by the chosen language file.
extern QStringList Language_List;
extern int Language_Count;

void Load_English_Table();
// Applies a language file's lines to the table; false when it cannot be read.
bool Read_Lng_File(const QString& path);
// English, then the file of Language_Name, or "English.lng" (and Language_Name
// "English") when that file is missing.
void Load_Language();

// One line of a language file: the entry it sets and the text, when it sets one.
struct Lng_Line
{
    int number = -1;
    QString text;
};
bool Parse_Lng_Line(const QString& line, int count, Lng_Line* out);

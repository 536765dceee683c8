#pragma once

#include <QByteArray>
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

// A language file that gives every entry of `table` exactly as it stands: UTF-8
// with a byte-order mark, one "STRn = text" line per entry, a text with blanks
// at an end (or none at all) quoted with "¶". A text that no line can carry
// (a line break, "¶" or "/#/" in it) gives false and names its entry in `error`.
bool Lng_File_Text(const QStringList& table, QByteArray* bytes, QString* error);

#pragma once

// The one writer behind the description files (EDS, GSD, GSDML, EDE, MIB):
// the text is built as a list of lines and written whole, each line ended by
// CR LF (the last one too), in the encoding the file's format asks for. The
// old file is replaced only when the new one is complete.

#include <QByteArray>
#include <QString>
#include <QStringList>

enum class TText_Encoding
{
    Windows1252,   // the 8-bit code page; characters outside it become "?"
    Utf8,
};

struct TText_File_Format
{
    TText_Encoding encoding = TText_Encoding::Windows1252;
    bool byteOrderMark = false;   // only UTF-8 has one
};

// The 8-bit description files (EDS, GSD, EDE, MIB) and GSDML.
constexpr TText_File_Format Text_Format_8Bit{TText_Encoding::Windows1252, false};
constexpr TText_File_Format Text_Format_Utf8_Bom{TText_Encoding::Utf8, true};

QByteArray Text_File_Bytes(const QStringList& lines, TText_File_Format format);

// The chosen name with the extension (".gsd") appended unless the name
// already ends with it, in any letter case.
QString With_File_Extension(const QString& name, const QString& extension);

// When the file exists, asks the question (Yes, No; with Cancel too when
// offered); true when the file may be written: it does not exist, or the
// answer was Yes.
bool Confirm_Overwrite(const QString& path, const QString& question, bool offerCancel = false);

// Writes the lines over the file. On failure shows an error box with the
// file system's text and returns false; the old file is left as it was.
bool Save_Text_File(const QString& path, const QStringList& lines, TText_File_Format format);

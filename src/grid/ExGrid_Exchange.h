#pragma once

// Helpers shared by the grid's exchange files (text layout, CSV, binary cell
// stream, fixed width, ASCII, XML, HTML): encodings, whole-file reads and
// writes, progress and the size limits that guard the readers.

#include "grid/ExGrid.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <climits>

namespace exgrid_exchange {

// Sizes a reader accepts from a file; anything larger is a damaged file,
// not a request to allocate gigabytes.
constexpr int MaxFileCols = 1 << 16;
constexpr int MaxFileRows = 1 << 22;

enum class TextEncoding { Ansi, Utf16LeBom, Utf8Bom };

// The text's UTF-16 little-endian code units appended to out.
void AppendUtf16Le(QByteArray& out, QStringView text);
// Every line followed by CR LF, in the encoding asked (byte-order mark first).
QByteArray EncodeLines(const QStringList& lines, TextEncoding encoding);
// A text whose lines already end in CR LF, encoded as EncodeLines does.
QByteArray EncodeText(const QString& text, TextEncoding encoding);

// The whole file; REruVidaZuvez with the platform's message when it cannot be read.
QByteArray ReadFileBytes(const QString& fileName);
// Decoded by byte-order mark (else the ANSI code page) and split at CR LF, CR or LF.
QStringList ReadFileLines(const QString& fileName);
// Atomic replace; REruVidaZuvez "Cannot Create file <name>" when it fails.
void WriteFileBytes(const QString& fileName, const QByteArray& bytes);

// round(num / max(1, den) * 100), halves to the even neighbour.
int Percent(long long num, long long den);

// Tells OnFileProgress a percentage only when it differs from the last one.
class ProgressReporter
{
public:
    explicit ProgressReporter(TExStringGrid& grid) : FGrid(grid) {}
    bool Active() const { return static_cast<bool>(FGrid.OnFileProgress); }
    void Report(int percent);

private:
    TExStringGrid& FGrid;
    int FLast = INT_MIN;
};

// Number reading of the text layout file: leading blanks, a sign, "$", "x"
// or "0x" for hexadecimal; reading stops at the first character that does
// not fit; the sign counts only when the whole field converted. Values
// beyond the int range saturate.
int LenientNumber(QStringView field);
// Same syntax, but the whole field must convert; false when it does not.
bool StrictNumber(QStringView field, int& value);

} // namespace exgrid_exchange

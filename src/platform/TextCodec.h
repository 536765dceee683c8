#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The Western 8-bit code page of the files this program exchanges.
QString DecodeWindows1252(const QByteArray& bytes);
// Characters outside the code page become "?".
QByteArray EncodeWindows1252(const QString& text);

// Decodes a text file's bytes: UTF-8 or UTF-16 (either order) after their
// byte-order mark, otherwise Windows-1252.
QString DecodeTextFile(const QByteArray& bytes);

} // namespace platform

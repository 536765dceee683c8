#pragma once

// The connections of an EtherNet/IP device description (EDS): the entries
// "ConnectionN = ..." of its "[Connection Manager]" section, each decoded
// into the instances and connection points of both directions and the
// real-time header codes. Plain functions over the file's text: nothing here
// touches a window or a file, and nothing trusts the text it is given.
//
// Only QtCore and the platform's number and text helpers are used, so the
// decoder builds on its own (the fuzz target compiles it straight in).

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// One connection as the picker lists it.
struct TConnData
{
    int ConnIndex = 0;          // 1-based place in the list
    QString ConnName;           // trimmed, quotes kept
    QString HelpStr;            // trimmed, quotes kept
    uint8_t DimHeaderTO = 0;    // bits 12-14 of the connection parameters
    uint8_t DimHeaderOT = 4;    // bits 8-10
    uint8_t NumClass = 4;
    // Instances as wide as the path's instance segment (8, 16 or 32 bits).
    uint32_t InstanceTO = 30;
    uint8_t ConnPointTO = 0;
    uint32_t InstanceOT = 30;
    uint8_t ConnPointOT = 0;
};

namespace eds {

// The byte buffer a path fills; byte values beyond it are ignored.
constexpr int kPath_Capacity = 1001;

// A line without its comment: cut before the first "$" that is not inside a
// quoted text, trimmed.
QString Strip_Comment(const QString& line);

// True for the line that starts an entry: "ConnectionN =" (N one or more
// digits, blanks before the "=" allowed).
bool Is_Connection_Key(const QString& line);

// The byte values of a path text: double quotes removed, split at blanks,
// each part read as hexadecimal; parts that are not 0..255 are skipped.
std::vector<uint8_t> Path_Bytes(const QString& path);

// Decodes one entry's text (the field list after "ConnectionN ="); appends
// the connection to `list` and returns true when the entry is usable.
bool Decode_Connection(const QString& entry, std::vector<TConnData>& list);

// The connections of a file given as lines, and as the bytes read from disk
// (UTF-8 or UTF-16 with a byte-order mark, otherwise Windows-1252).
std::vector<TConnData> Decode_Connections(const QStringList& lines);
std::vector<TConnData> Decode_Connections(const QByteArray& fileBytes);

// What the picker shows for a header code: "Default" for the default code of
// the direction (4 originator to target, 0 target to originator).
QString Dim_Header_Text(uint8_t code, bool originatorToTarget);

} // namespace eds

#pragma once

// What the rule windows share about their project files, beyond the engine's
// reading and writing: the conversion message that says where a file stopped,
// the texts a language file may give to messages the built-in table has no
// entry for, and the one question OK asks before it replaces a file that the
// window could not read whole.
//
// A file not read whole (not well-formed, not UTF-8, cut by a missing
// attribute, holding more than the window keeps, naming what is gone) holds
// things the user cannot see; replacing it loses them. So OK replaces such a
// file only after the user said Yes.

#include <QString>

// Entries of the shared block that the built-in table leaves blank: the
// English stands in the code, and a language file that gives the entry a text
// replaces it.
namespace spare_text {
constexpr int Replace_Unread = 1106;
constexpr int BACnet_Position = 1107;
constexpr int BACnet_Start_Bit = 1108;
constexpr int BACnet_Span = 1109;
constexpr int MQTT_Publish_Span = 1110;
constexpr int MQTT_Subscribe_Span = 1111;
constexpr int SNMP_Manager_Span = 1112;
constexpr int SNMP_Read_Span = 1113;
constexpr int SNMP_Write_Span = 1114;
constexpr int DeviceNet_Outside = 1115;
} // namespace spare_text

// The language table's text of the entry, or the English when the table
// leaves it blank.
QString Spare_Text(int entry, const QString& english);

// Where a file's reading stopped, on a line of its own: the file, the list
// (when there is one), the row counted from 1 and the attribute.
QString Rule_File_Place(const QString& path, const QString& list, int row, const QString& attribute);
// The platform's conversion message for a missing attribute, and the same
// followed by the place.
QString Rule_Missing_Attribute_Message();
QString Rule_Missing_Attribute_Message(const QString& path, const QString& list, int row, const QString& attribute);

// What a showing could not read of the file that OK would replace.
struct TUnread
{
    QString path;
    QString why;   // empty: read whole, or there was nothing to read

    bool Any() const { return !why.isEmpty(); }
    void Clear() { path.clear(); why.clear(); }
    // Another reason, on a line of its own.
    void Add(const QString& file, const QString& reason);
};

// True when OK may replace the file: it was read whole, it is no longer
// there, or the user answered Yes to the question (Yes, No).
bool Consent_To_Replace(const TUnread& unread);

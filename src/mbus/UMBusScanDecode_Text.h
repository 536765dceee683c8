#pragma once

// Texts of the telegram decoders, built without temporary strings: a text
// that depends on the telegram is written into a buffer and becomes one
// QString; a text that is one of a few (a DIF, a table row) is made once and
// shared, so that a record takes no allocation for it. Shared texts are
// copied, never changed in place, so any thread may copy them.

#include <QString>

#include <cstdint>

namespace mbus_text {

// "$" and the byte as two upper-case hexadecimal digits ("$0C").
const QString& Dollar_Hex(uint8_t Byte);
// "$" + two digits + " " for each byte ("$02 $8F "); null for none.
QString Dollar_Hex_List(const uint8_t* Bytes, int Count);
// Two upper-case hexadecimal digits per byte, no separator; null for none.
QString Hex_Text(const uint8_t* Bytes, int Count);

} // namespace mbus_text

#pragma once

// What the three CANopen tables share: plain mandatory text columns (these
// files carry every attribute) and the byte-position checks of a value of
// up to eight bytes.

#include "rules/USet_Access_Form.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace canopen {

inline TRule_Column Column(const char* attribute, int header, int hint, int width = 70)
{
    return {.attribute = attribute, .header = header, .hint = hint, .width = width, .mandatory = true};
}

// Address of byte k at column first + k - 1, checked while the size column
// holds at least k; its message is first_msg + k - 1, with the last position.
inline void Add_Address_Checks(TRule_Grid& g, int first, int count, int size, int first_msg)
{
    for (int k = 1; k <= count; ++k)
        g.checks.push_back({.kind = TRule_Check_Kind::Range, .column = first + k - 1, .low = 0,
                            .high = kRule_Capacity_Last, .message = first_msg + k - 1, .bound = true,
                            .when = {.column = k == 1 ? 0 : size, .numeric = true, .at_least = k}});
}

// N Byte: 1, 2 or 4; byte 2 is used from 2 bytes on, bytes 3 and 4 with 4.
inline TRule_Check NByte_Check(int column, int message)
{
    return {.kind = TRule_Check_Kind::Number_In, .column = column, .message = message, .values = {1, 2, 4}};
}

inline TRule_Grid Grid(const char* name, const char* list, int tab, int rows)
{
    TRule_Grid g;
    g.name = QString::fromLatin1(name);
    g.list = QString::fromLatin1(list);
    g.tab = tab;
    g.rows = rows;
    g.key = 1;
    g.capacity = 1500;
    return g;
}

inline void Texts(TRule_Form& f, int block, int prefix, int question)
{
    f.caption = block;
    f.title = block + 1;
    for (int i = 0; i < 6; ++i) {
        f.button_captions[i] = block + 2 + i;
        f.button_hints[i] = block + 8 + i;
    }
    f.error_prefix = prefix;
    f.delete_question = question;
    f.version = QStringLiteral("SW_VERSION = 1.000");
    f.width = 1000;
    f.height = 420;
}

} // namespace canopen

#pragma GCC diagnostic pop

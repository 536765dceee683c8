#pragma once

// What the CAN receive and transmit tables share: the identifier formats,
// the identifier checks by format, and the eight byte-position columns.

#include "rules/USet_Access_Form.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace can_frames {

inline const QString kType11 = QStringLiteral("2.0A (11 bits)");
inline const QString kType29 = QStringLiteral("2.0B (29 bits)");

// The CobID ranges: 11 bits for exactly "2.0A (11 bits)" (trimmed), else 29.
inline std::vector<TRule_Check> CobID_Checks(int cobId, int type, int msg11, int msg29)
{
    return {
        {.kind = TRule_Check_Kind::Range, .column = cobId, .low = 0, .high = 2047, .message = msg11,
         .when = {.column = type, .texts = {kType11}}},
        {.kind = TRule_Check_Kind::Range, .column = cobId, .low = 0, .high = 0x1FFFFFFF, .message = msg29,
         .when = {.column = type, .texts = {kType11}, .negate = true}},
    };
}

// Byte k (1..8) at column first + k - 1, checked while the Dimension is k or
// more; its message: byte1 for Byte1, byte2 + k - 2 for the others, then the
// last position and the " or None" suffix.
inline void Add_Byte_Columns(TRule_Grid& g, int first, int header, int hint)
{
    for (int k = 1; k <= 8; ++k)
        g.columns.push_back({.attribute = QStringLiteral("Byte%1").arg(k), .header = header + k - 1,
                             .hint = hint + k - 1, .editor = edComboList, .width = 50,
                             .fill = TRule_Choices::None_Then_Positions});
    (void)first;
}

inline void Add_Byte_Checks(TRule_Grid& g, int first, int dim, int byte1, int suffix, int byte2)
{
    for (int k = 1; k <= 8; ++k)
        g.checks.push_back({.kind = TRule_Check_Kind::Frame_Byte, .column = first + k - 1,
                            .high = kRule_Capacity_Last, .message = k == 1 ? byte1 : byte2 + k - 2, .bound = true,
                            .suffix = suffix, .when = {.column = dim, .numeric = true, .at_least = k}});
}

} // namespace can_frames

#pragma GCC diagnostic pop

#pragma once

// What the Modbus TCP and Modbus RTU master rules share: the object types,
// the kinds of rule (registers take two bytes a point, status points one bit)
// and the checks from Slave ID to the span in the data area.

#include "rules/USet_Access_Form.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace modbus_rules {

inline const QStringList kReadTypes = {"Coil Status", "Input Status", "Holding Register", "Input Register"};
inline const QStringList kWriteTypes = {"Coil Status", "Holding Register"};
inline const QStringList kReadStatus = {"INPUT STATUS", "COIL STATUS"};
inline const QStringList kWriteStatus = {"COIL STATUS"};
inline const QStringList kStartBits = {"0", "1", "2", "3", "4", "5", "6", "7"};
constexpr int kDataArea = 1500;

// Column numbers and messages of one grid's checks.
struct Layout
{
    int slave, type, address, npoint, poll, max_error, position, bit;
    const QStringList* status;            // Type texts (upper case) of status kind
    int register_points, status_points;   // NPoint bounds
    int poll_low;
    int msg_slave, msg_type, msg_address, msg_npoint, msg_poll, msg_max_error, msg_position, msg_bit, msg_span;
};

inline std::vector<TRule_Check> Checks(const Layout& l)
{
    const TRule_When status{.column = l.type, .texts = *l.status, .upper = true};
    TRule_When not_status = status;
    not_status.negate = true;
    using K = TRule_Check_Kind;
    return {
        {.kind = K::Range, .column = l.slave, .low = 1, .high = 247, .message = l.msg_slave},
        {.kind = K::Not_Empty, .column = l.type, .message = l.msg_type},
        {.kind = K::Range, .column = l.address, .low = 0, .high = 65535, .message = l.msg_address},
        {.kind = K::Range, .column = l.npoint, .low = 1, .high = l.register_points, .message = l.msg_npoint,
         .bound = true, .when = not_status},
        {.kind = K::Range, .column = l.npoint, .low = 1, .high = l.status_points, .message = l.msg_npoint,
         .bound = true, .when = status},
        {.kind = K::Range, .column = l.poll, .low = l.poll_low, .high = 100000000, .message = l.msg_poll},
        {.kind = K::Range, .column = l.max_error, .low = 0, .high = 100000000, .message = l.msg_max_error},
        {.kind = K::Range, .column = l.position, .low = 0, .high = kRule_Capacity_Last, .message = l.msg_position,
         .bound = true},
        {.kind = K::Span, .column = l.position, .message = l.msg_span, .points = l.npoint, .start_bit = l.bit,
         .bit_message = l.msg_bit, .status = status},
    };
}

// Column descriptions that differ only in their entries.
inline TRule_Column Text_Column(const char* attribute, int header, int hint, int width = 70)
{
    return {.attribute = attribute, .header = header, .hint = hint, .width = width, .mandatory = true};
}
inline TRule_Column Check_Column(const char* attribute, int header, int hint, const char* fallback)
{
    TRule_Column c{.attribute = attribute, .header = header, .hint = hint, .editor = edDataCheckBox, .width = 55};
    c.mandatory = fallback == nullptr;
    if (fallback)
        c.fallback = QString::fromLatin1(fallback);
    if (QLatin1String(attribute) == QLatin1String("Enable"))
        c.reset = QStringLiteral("Y");
    return c;
}
inline TRule_Column Choice_Column(const char* attribute, int header, int hint, const QStringList& choices,
                                  int width = 110)
{
    return {.attribute = attribute, .header = header, .hint = hint, .editor = edComboList, .width = width,
            .mandatory = true, .choices = choices};
}
inline TRule_Column Position_Column(const char* attribute, int header, int hint)
{
    return {.attribute = attribute, .header = header, .hint = hint, .editor = edComboList, .width = 70,
            .mandatory = true, .fill = TRule_Choices::Positions};
}

} // namespace modbus_rules

#pragma GCC diagnostic pop

#pragma once

// What the J1939 and NMEA 2000 receive tables share: the three ways a
// parameter group arrives (multi-packet through the transport protocol, fast
// packet, single frame), the byte range each may capture, and what a row
// adds to the bytes captured by the whole table.

#include "rules/URule_Checks.h"
#include "rules/USet_Access_Form.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace pgn_frames {

enum class Frame_Kind { Multi_Packet, Fast_Packet, Single };

// Columns of a receive row; fast == 0 where the protocol has no fast packet.
struct Frame_Columns
{
    int tp = 0, fast = 0, start = 0, nbyte = 0;
};

// Messages of the checks, in the order they are made; fast ones 0 without fast packet.
struct Frame_Messages
{
    int multi_start, multi_span, fast_start, fast_span, one_empty, single_start, single_count, single_span, total;
};

inline QString Cell(const QStringList& row, int column)
{
    return column >= 1 && column <= row.size() ? row[column - 1] : QString();
}

// The flags count only as exactly "Y"; the transport protocol wins over the fast packet.
inline Frame_Kind Kind_Of(const QStringList& row, const Frame_Columns& c)
{
    if (Cell(row, c.tp) == QLatin1String("Y"))
        return Frame_Kind::Multi_Packet;
    if (c.fast > 0 && Cell(row, c.fast) == QLatin1String("Y"))
        return Frame_Kind::Fast_Packet;
    return Frame_Kind::Single;
}

inline bool Whole_Frame(const QStringList& row, const Frame_Columns& c)
{
    return Cell(row, c.start).trimmed().isEmpty() && Cell(row, c.nbyte).trimmed().isEmpty();
}

// The bytes a checked row captures: a whole single frame 8, any other row its
// byte count (never the byte count and the frame together).
inline int64_t Bytes_Captured(const QStringList& row, const Frame_Columns& c)
{
    if (Kind_Of(row, c) == Frame_Kind::Single && Whole_Frame(row, c))
        return 8;
    return rules::Rule_Number(Cell(row, c.nbyte));
}

// A byte range Start .. Start + N inside a message of `last` bytes; 64-bit
// sums, so huge numbers cannot wrap into range.
inline bool Span_Ok(const QStringList& row, const Frame_Columns& c, int64_t low, int64_t last)
{
    const int64_t s = rules::Rule_Number(Cell(row, c.start));
    const int64_t n = rules::Rule_Number(Cell(row, c.nbyte));
    return n >= low && s + n <= last;
}

inline void Add_Frame_Checks(TRule_Grid& g, const Frame_Columns& c, const Frame_Messages& m)
{
    using K = TRule_Check_Kind;
    const auto is = [c](Frame_Kind k) {
        return [c, k](const QStringList& row) { return Kind_Of(row, c) == k; };
    };
    const auto multi = is(Frame_Kind::Multi_Packet), fast = is(Frame_Kind::Fast_Packet), single = is(Frame_Kind::Single);
    const auto start_in = [c](const QStringList& row, int64_t low, int64_t high) {
        return rules::In_Range(Cell(row, c.start), low, high);
    };
    g.checks.push_back({.kind = K::Test, .column = c.start, .message = m.multi_start,
                        .test = [=](const QStringList& r, int) { return !multi(r) || start_in(r, 0, 1785); }});
    g.checks.push_back({.kind = K::Test, .column = c.nbyte, .message = m.multi_span,
                        .test = [=](const QStringList& r, int) { return !multi(r) || Span_Ok(r, c, 0, 1785); }});
    if (c.fast > 0) {
        g.checks.push_back({.kind = K::Test, .column = c.start, .message = m.fast_start,
                            .test = [=](const QStringList& r, int) { return !fast(r) || start_in(r, 0, 223); }});
        g.checks.push_back({.kind = K::Test, .column = c.nbyte, .message = m.fast_span,
                            .test = [=](const QStringList& r, int) { return !fast(r) || Span_Ok(r, c, 0, 223); }});
    }
    // A single frame: both blank captures the whole frame, else both given.
    const auto given = [=](const QStringList& r) { return single(r) && !Whole_Frame(r, c); };
    g.checks.push_back({.kind = K::Test, .column = c.start, .message = m.one_empty,
                        .test = [=](const QStringList& r, int) {
                            return !given(r) || (!Cell(r, c.start).trimmed().isEmpty()
                                                 && !Cell(r, c.nbyte).trimmed().isEmpty());
                        }});
    g.checks.push_back({.kind = K::Test, .column = c.start, .message = m.single_start,
                        .test = [=](const QStringList& r, int) { return !given(r) || start_in(r, 1, 8); }});
    g.checks.push_back({.kind = K::Test, .column = c.nbyte, .message = m.single_count,
                        .test = [=](const QStringList& r, int) {
                            return !given(r) || rules::In_Range(Cell(r, c.nbyte), 1, 8);
                        }});
    g.checks.push_back({.kind = K::Test, .column = c.nbyte, .message = m.single_span,
                        .test = [=](const QStringList& r, int) { return !given(r) || Span_Ok(r, c, 1, 8); }});
    g.checks.push_back({.kind = K::Total, .column = c.nbyte, .message = m.total, .bound = true,
                        .bound_of = [](const QStringList&, int capacity) { return int64_t(capacity); },
                        .size = [c](const QStringList& r) { return Bytes_Captured(r, c); },
                        .row_prefix = false});
}

// The event flags of a transmit row as an older file gave them in one
// attribute `T_Type`: only a data change or a timer, never a request.
inline QString Event_From_Type(const QString& type, const char* wanted)
{
    return type.toUpper() == QLatin1String(wanted) ? QStringLiteral("Y") : QStringLiteral("N");
}

} // namespace pgn_frames

#pragma GCC diagnostic pop

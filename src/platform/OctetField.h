#pragma once

#include <QChar>
#include <QString>

namespace platform {

class TEdit;

// The key handler of every edit that holds one part of a dotted IPv4 address.
// A "." is never entered: it moves the focus to `next` (none: it is only
// dropped), when that can take it, and selects all of next's text, so that
// typing "127.0.0.1" over a whole address replaces each part. A digit never
// stands behind a leading "0": typing "0", "2" leaves "2", the number the part
// reads as, so no part goes on as "02" (which some readers take as octal).
void Octet_KeyPress(TEdit* field, QChar& key, TEdit* next);

// The dotted address of four octet fields. A part of one to three decimal
// digits goes on as the number it is ("010" as "10"), since name resolvers
// read a leading zero as octal; any other text goes on as it stands, for the
// caller's checks to refuse.
QString Octet_Address(const TEdit* p1, const TEdit* p2, const TEdit* p3, const TEdit* p4);

} // namespace platform

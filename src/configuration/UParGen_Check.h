#pragma once

// The checks the general parameters pass before they are saved, in the order
// the user is told about them: the first failing one gives its message.

#include "configuration/UParGen_File.h"

#include <optional>

struct TParGen_Fault
{
    int message;    // entry of the language table
    QString text;   // the message as shown
};

std::optional<TParGen_Fault> Check_ParGen(const TParGen_Values& values);

// Key and address fields: exactly `digits` hexadecimal digits, either case.
bool Is_Hex_Digits(const QString& text, int digits);

// The hexadecimal fields take digits, "A" to "F" in either case and control
// keys; a blank is no digit.
bool Hex_Key_Allowed(QChar key);
// Text pasted or dropped into a hexadecimal field: its hexadecimal digits,
// upper-cased, everything else left out.
QString Hex_Digits_Of(const QString& text);

// IEC 61850 server variables: the window's checks as one table, and its file
// written and read back byte for byte.
#include "protocols/UIEC61850_Variables.h"

#include "../fieldbus/RuleMemberTest.h"

#include "platform/Regional.h"

using namespace membertest;
using testsupport::ReadAll;
using testsupport::WriteAll;

using IEC61850Variables = Member<TFIEC61850_Variables>;

TEST_F(IEC61850Variables, Checks)
{
    // Enable, Name, Type, Length, ReadOnly, Position, StartBit, Conversion, Factor.
    const QString sep = QString(platform::DecimalSeparator());
    Run_Checks({
        {0, {"Y", "V1", "Int", "4", "N", "1437", "", "None", "None"}, "", "bounds"},
        {0, {"Y", "V1", "Int", "5"}, "Error row 1!! Length must be between 1 and 4", "length"},
        {0, {"N", "V1", "Int", "9"}, "", "a disabled row is not checked"},
        {0, {"Y", "V1", "Int", "1", "N", "1438"}, "Error row 1!! Position must be between 0 and 1437", "position"},
        {0, {"Y", "V1", "Digital (Bit)", "1", "N", "0", " ", "None", "None"},
         "Error row 1!! Start Bit must be Selected ", "digital without bit"},
        {0, {"Y", "V1", "Int", "1", "N", "0", "", "None", "none"}, "", "an integer needs no bit; \"none\" passes"},
        {0, {"Y", "V1", "Int", "1", "N", "0", "", ""}, "Error row 1!! Conversion must be Selected ", "conversion"},
        {0, {"Y", "V1", "Float", "4", "N", "0", "", "None", "2,5"}, "", "comma"},
        {0, {"Y", "V1", "Float", "4", "N", "0", "", "None", "2.5"}, "", "point"},
        {0, {"Y", "V1", "Float", "4", "N", "0", "", "None", ""}, "Error row 1!! Molt. Factor must be a valid Float",
         "empty factor"},
        {0, {"Y", "V1", "Float", "4", "N", "0", "", "None", "x2"}, "Error row 1!! Molt. Factor must be a valid Float",
         "not a number"},
    });
}

TEST_F(IEC61850Variables, SavesByteForByte)
{
    Show();
    // OK on a new window: root and comment only.
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), "<IEC61850_Variables />\n<!--SW_VERSION = 1.000-->\n");
    const QByteArray expected =
        "<IEC61850_Variables>\n"
        "\t<row Enable=\"Y\" Name=\"Temp\" Type=\"Float\" Length=\"4\" ReadOnly=\"Y\" Position=\"$10\" StartBit=\"\" "
        "Conversion=\"Int to Float\" MultiplicationFactor=\"0,1\" Swap=\"N\" SwapWord=\"Y\" Mnemonic=\"Room\" />\n"
        "</IEC61850_Variables>\n"
        "<!--SW_VERSION = 1.000-->\n";
    Show();
    Put(*w->ECG, 1, {"Y", "Temp", "Float", "4", "Y", "$10", "", "Int to Float", "0,1", "N", "Y", "Room"});
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), expected);
    Show();
    Ok();
    EXPECT_EQ(ReadAll(File()), expected);
}

// KNX rules: the window's checks as one table, the address and length rules
// on their own, and the file written and read back byte for byte.
#include "fieldbus/UKNXAccess.h"
#include "rules/URule_Checks.h"

#include "RuleMemberTest.h"

using namespace membertest;
using testsupport::ReadAll;
using testsupport::WriteAll;

using KNXAccess = Member<TFKNXAccess>;

namespace {

// A passing row from column 1 on, with some cells replaced.
QStringList Rule(std::initializer_list<std::pair<int, QString>> changes)
{
    // Enable, Source, Dest, APCI, Priority, Format, Factor, Extended, ReTest, OnCMD, OnChange, OnTimer,
    // Poll, Position, Bit Mode, Length, TimeOut, Mnemonic.
    QStringList r = {"Y", "1.1.20", "1/2/3", "Write", "Normal", "None", "", "N", "N", "N", "Y", "N",
                     "",  "0",      "No",    "2",     "0",      "T"};
    for (const auto& [col, text] : changes)
        r[col - 1] = text;
    return r;
}

const QString kPre = "Error row 1!! [KNX in Write] ";

} // namespace

TEST(KNXAddress, PhysicalAddressTable)
{
    const struct {
        const char* text;
        bool ok;
    } cases[] = {
        {"1.1.20", true},   {" 15 . 15 . 255 ", true}, {"16.1.1", false}, {"1.16.1", false}, {"1.1.256", false},
        {"0.0.0", true},    {"1/1/1", false},          {"1.1.1.1", false}, {"5000", true},   {"0", false},
        {"65536", false},   {"abc", false},            {"", false},
        // Two parts: area, then line and device together (the fault was: no range check at all).
        {"1.1", true},      {"15.4095", true},         {"16.1", false},   {"1.4096", false}, {"x.y", false},
        {"1.", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rules::KNX_Physical_Ok(c.text, true), c.ok) << c.text;
    EXPECT_FALSE(rules::KNX_Physical_Ok("0.0.0", false));
    EXPECT_FALSE(rules::KNX_Physical_Ok("0.0", false));
}

TEST(KNXAddress, LengthLimitAndBytesUsed)
{
    EXPECT_EQ(knx::Length_Limit("No", "N"), 14);
    EXPECT_EQ(knx::Length_Limit("no", "y"), 255);
    EXPECT_EQ(knx::Length_Limit("3", "N"), 112);
    EXPECT_EQ(knx::Length_Limit("3", "Y"), 2040);
    EXPECT_EQ(knx::Bytes_Used("No", "5"), 5);
    EXPECT_EQ(knx::Bytes_Used("7", "1"), 1);
    EXPECT_EQ(knx::Bytes_Used("7", "2"), 2);
    EXPECT_EQ(knx::Bytes_Used("0", "8"), 1);
}

TEST_F(KNXAccess, Checks)
{
    Run_Checks({
        {0, Rule({}), "", "a plain rule"},
        {0, Rule({{1, "N"}, {2, "16.1.1"}, {16, "x"}}), "", "a disabled rule is not checked"},
        {0, Rule({{2, "16.1.1"}}), kPre + "Source Address must be a valid KNX Address (Ex. 1.1.20)", "source"},
        {0, Rule({{2, "1/1/1"}}), kPre + "Source Address must be a valid KNX Address (Ex. 1.1.20)", "group as source"},
        {0, Rule({{2, "0.0.0"}}), "", "zero source"},
        {0, Rule({{2, "1.5000"}}), kPre + "Source Address must be a valid KNX Address (Ex. 1.1.20)", "x.y out of range"},
        {0, Rule({{3, "0/0/0"}}), kPre + "Destination Address must be a valid KNX Address (Ex. 230.240)", "zero group"},
        {0, Rule({{3, "0/0"}}), kPre + "Destination Address must be a valid KNX Address (Ex. 230.240)", "zero 2-level"},
        {0, Rule({{3, "31/7/255"}}), "", "largest group"},
        {0, Rule({{3, "32/0/1"}}), kPre + "Destination Address must be a valid KNX Address (Ex. 230.240)", "main 32"},
        {0, Rule({{3, "1/2047"}}), "", "2-level group"},
        {0, Rule({{3, "5000"}}), "", "numeric group"},
        {0, Rule({{3, "0"}}), kPre + "Destination Address must be a valid KNX Address (Ex. 230.240)", "group 0"},
        {0, Rule({{3, "1.1.1"}}), "", "physical destination"},
        {0, Rule({{3, "1.16.1"}}), kPre + "Destination Address must be a valid KNX Address (Ex. 1.1.20)", "physical"},
        {0, Rule({{4, "read"}}), "", "APCI in lower case"},
        {0, Rule({{4, "1023"}}), "", "APCI number"},
        {0, Rule({{4, "1024"}}), kPre + "APCI must be between 0 and 1023 or use the value Read or Write", "APCI"},
        {0, Rule({{4, "-1"}}), kPre + "APCI must be between 0 and 1023 or use the value Read or Write", "APCI -1"},
        {0, Rule({{5, "normal"}}), kPre + "Priority must be System or Urgent or Normal or Low", "priority case"},
        {0, Rule({{6, " "}}), kPre + "Format is not correct", "format"},
        {0, Rule({{7, "1,5"}}), "", "comma factor"},
        {0, Rule({{7, "1.5"}}), "", "point factor"},
        {0, Rule({{7, "x"}}), kPre + "Mul. Factor must be a valid Float", "factor"},
        {0, Rule({{12, "Y"}, {13, "0"}}), kPre + "Poll Time must be between 1 and 100000000", "poll"},
        {0, Rule({{12, "Y"}, {13, "100"}}), "", "poll with timer"},
        {0, Rule({{14, "1500"}}), kPre + "Position must be between 0 and 1499", "position"},
        {0, Rule({{15, "8"}}), kPre + "Bit Mode must be \"No\" or between 0 and 7", "bit mode"},
        {0, Rule({{16, "14"}}), "", "byte length"},
        {0, Rule({{16, "15"}}), kPre + "Length must be between 1 and 14", "byte length"},
        {0, Rule({{8, "Y"}, {16, "255"}}), "", "extended"},
        {0, Rule({{8, "Y"}, {16, "256"}}), kPre + "Length must be between 1 and 255", "extended length"},
        {0, Rule({{15, "0"}, {16, "113"}}), kPre + "Length must be between 1 and 112", "bit length"},
        {0, Rule({{15, "0"}, {8, "Y"}, {16, "2041"}}), kPre + "Length must be between 1 and 2040", "ext bits"},
        {0, Rule({{14, "1499"}, {16, "1"}}), "", "last byte"},
        {0, Rule({{14, "1499"}, {16, "2"}}), kPre + "Position plus Length must be minor or equal to 1500", "span"},
        {0, Rule({{14, "1499"}, {15, "7"}, {16, "1"}}), "", "one bit at bit 7"},
        {0, Rule({{14, "1499"}, {15, "7"}, {16, "2"}}), kPre + "Position plus Length must be minor or equal to 1500",
         "two bits across bytes"},
        {0, Rule({{17, ""}}), kPre + "TimeOut must be between 0 and 100000000 milliseconds", "timeout"},
    });
}

TEST_F(KNXAccess, SavesByteForByteAndReadsDefaults)
{
    Show();
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), "<BACnet_to_KNX>\n\t<KNX_in_Write />\n</BACnet_to_KNX>\n<!--SW_VERSION = 1.001-->\n");
    const QByteArray expected =
        "<BACnet_to_KNX>\n"
        "\t<KNX_in_Write>\n"
        "\t\t<row Enable=\"Y\" Source_Address=\"1.1.20\" Destination_Address=\"1/2/3\" APCI=\"Write\" "
        "Priority=\"Low\" Format=\"Swap16\" MultiplicationFactor=\"0,5\" Extended=\"N\" ReTest=\"Y\" "
        "On_Command=\"N\" On_Change=\"Y\" On_Timer=\"Y\" Poll_Time=\"$64\" Position=\"10\" Bit_Mode=\"No\" "
        "Length=\"2\" TimeOut=\"0\" Mnemonic=\"Lamp\" />\n"
        "\t</KNX_in_Write>\n"
        "</BACnet_to_KNX>\n"
        "<!--SW_VERSION = 1.001-->\n";
    Show();
    Put(*w->ECG_KNX_in_Write, 1,
        {"Y", "1.1.20", "1/2/3", "Write", "Low", "Swap16", "0,5", "N", "Y", "N", "Y", "Y", "$64", "10", "No", "2", "0",
         "Lamp"});
    // Below the first empty source: neither checked nor saved.
    Put(*w->ECG_KNX_in_Write, 3, {"Y", "99.99.99"});
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), expected);
    Show();
    Ok();
    EXPECT_EQ(ReadAll(File()), expected);

    // Optional attributes missing, a priority the list lacks.
    WriteAll(File(), "<BACnet_to_KNX><KNX_in_Write><row Source_Address=\"1.1.1\" Destination_Address=\"1\" "
                     "APCI=\"Read\" Priority=\"normal\" Extended=\"N\" ReTest=\"N\" On_Change=\"N\" Poll_Time=\"\" "
                     "Position=\"0\" Bit_Mode=\"No\" Length=\"1\" Mnemonic=\"\" /></KNX_in_Write></BACnet_to_KNX>");
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(Row(*w->ECG_KNX_in_Write, 1),
              QStringList({"1", "Y", "1.1.1", "1", "Read", "Normal", "None", "", "N", "N", "N", "N", "N", "", "0", "No",
                           "1", "0", ""}));
    // A mandatory attribute missing stops the loading there.
    WriteAll(File(), "<BACnet_to_KNX><KNX_in_Write><row Enable=\"N\" Source_Address=\"1.1.1\" /></KNX_in_Write>"
                     "</BACnet_to_KNX>");
    const auto shown = Show();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.startsWith(Rule_Missing_Attribute_Message() + "\nFile \"" + File()
                                         + "\", list \"KNX_in_Write\", row 1, attribute \""))
        << shown[0].text.toStdString();
    EXPECT_EQ(w->ECG_KNX_in_Write->GetCellEx(1, 1), "N");
    EXPECT_EQ(w->ECG_KNX_in_Write->GetCellEx(2, 1), "1.1.1");
}

TEST_F(KNXAccess, HeadersInHeaderCells)
{
    EXPECT_EQ(w->ECG_KNX_in_Write->GetCellEx(2, 0), "Source Add");
    QString hint;
    w->GridHint(w->ECG_KNX_in_Write, 0, 17, hint);
    EXPECT_EQ(hint, Language_List.value(4564));
    w->GridHint(w->ECG_KNX_in_Write, 1, 17, hint);
    EXPECT_TRUE(hint.isEmpty());
}

// Modbus TCP and Modbus RTU master rules: each window's checks as one table,
// and its file written and read back byte for byte.
#include "fieldbus/UModbus_TCP_Master_Set_Access.h"
#include "fieldbus/USetAccess.h"

#include "RuleMemberTest.h"

#include "platform/Controls.h"

#include <tuple>

using namespace membertest;
using testsupport::ReadAll;
using testsupport::WriteAll;

using ModbusTCP = Member<TFModbus_TCP_Master_Set_Access>;
using ModbusRTU = Member<TFSetAccess>;

namespace {

const QString HR = "Holding Register";
const QString IS = "Input Status";
const QString CS = "Coil Status";

// TCP read: Enable, IP, Port, Slave, Type, Address, NPoint, Poll, MaxError, Position, Bit.
QStringList TcpRead(QString ip, QString type, QString npoint, QString poll, QString position, QString bit = "0")
{
    return {"Y", ip, "502", "1", type, "0", npoint, poll, "0", position, bit};
}

} // namespace

TEST_F(ModbusTCP, Checks)
{
    const char* R = "Error row 1!! [Modbus Read] ";
    auto m = [&](const char* rest) { return QString(R) + rest; };
    Run_Checks({
        {0, TcpRead("10.0.0.1", HR, "125", "1", "0"), "", "register maximum"},
        {0, TcpRead("10.0.0.1", HR, "126", "1", "0"), m("NPoint must be between 1 and 125"), "register bound"},
        {0, TcpRead("10.0.0.1", CS, "2000", "1", "0"), "", "status maximum"},
        {0, TcpRead("10.0.0.256", HR, "1", "1", "0"),
         m("Slave IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"), "address part above 255"},
        {0, TcpRead("10.0.0", HR, "1", "1", "0"),
         m("Slave IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"), "three parts"},
        {0, TcpRead("$A.0.0.1", HR, "1", "1", "0"), "", "a hexadecimal part"},
        {0, {"Y", "10.0.0.1", "65536"}, m("Port must be between 0 and 65535"), "port"},
        {0, {"Y", "10.0.0.1", "502", "248"}, m("Slave ID must be between 1 and 247"), "slave ID"},
        {0, {"Y", "10.0.0.1", "502", "1", " "},
         m("Type must be Coil Status or Input Status or Holding Register or Input Register"), "empty type"},
        {0, TcpRead("10.0.0.1", HR, "1", "0", "0"), m("Poll Time must be between 1 and 100000000"), "read poll 0"},
        {0, TcpRead("10.0.0.1", HR, "1", "1", "1500"), m("Position must be between 0 and 1499"), "position"},
        {0, TcpRead("10.0.0.1", HR, "1", "1", "1498"), "", "last byte 1499"},
        {0, TcpRead("10.0.0.1", HR, "1", "1", "1499"),
         m("Too many bytes to save starting from the Position indicate"), "register span"},
        {0, TcpRead("10.0.0.1", IS, "8", "1", "1499", "0"), "", "status span fits"},
        {0, TcpRead("10.0.0.1", IS, "8", "1", "1499", "1"),
         m("Too many bytes to save starting from the Position indicate"), "start bit pushes it out"},
        {0, TcpRead("10.0.0.1", IS, "8", "1", "0", ""), m("Bit must be between 0 and 7"), "status without a bit"},
        {1, {"Y", "10.0.0.1", "502", "1", HR, "0", "124", "0"},
         "Error row 1!! [Modbus Write] NPoint must be between 1 and 123", "write register bound"},
        {1, {"Y", "10.0.0.1", "502", "1", CS, "0", "1969", "0"},
         "Error row 1!! [Modbus Write] NPoint must be between 1 and 1968", "write coil bound"},
        {1, {"Y", "10.0.0.1", "502", "1", CS, "0", "1", "0", "Y", "N", "0", "0", "0"}, "", "write poll 0 passes"},
    });
}

TEST_F(ModbusTCP, SavesByteForByte)
{
    const QByteArray expected =
        "<PROFINET_Master_to_Modbus_TCP_Master>\n"
        "\t<Modbus_Read>\n"
        "\t\t<row Enable=\"Y\" IP_Address=\"192.168.1.125\" Port=\"502\" Slave_ID=\"1\" Type=\"Holding Register\" "
        "Address=\"0\" NPoint=\"2\" PollTime=\"1000\" MaxError=\"0\" Position=\"10\" Bit=\"\" Swap=\"N\" "
        "SwapWord=\"Y\" Index_Topic=\"-1\" Mnemonic=\"Flow\" />\n"
        "\t</Modbus_Read>\n"
        "\t<Modbus_Write>\n"
        "\t\t<row Enable=\"N\" IP_Address=\"10.0.0.2\" Port=\"$1F6\" Slave_ID=\"7\" Type=\"Coil Status\" "
        "Address=\"3\" NPoint=\"1\" PollTime=\"0\" OnChange=\"Y\" OnCMD=\"N\" MaxError=\"5\" Position=\"0\" Bit=\"2\" "
        "Swap=\"N\" SwapWord=\"N\" Mnemonic=\"\" />\n"
        "\t</Modbus_Write>\n"
        "</PROFINET_Master_to_Modbus_TCP_Master>\n"
        "<!--SW_VERSION = 1.005-->\n";
    Show();
    Put(*w->ECG_Modbus_Read, 1,
        {"Y", "192.168.1.125", "502", "1", HR, "0", "2", "1000", "0", "10", "", "N", "Y", "", "Flow"});
    Put(*w->ECG_Modbus_Write, 1,
        {"N", "10.0.0.2", "$1F6", "7", CS, "3", "1", "0", "Y", "N", "5", "0", "2", "N", "N", ""});
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), expected);
    Show();
    Ok();
    EXPECT_EQ(ReadAll(File()), expected);
    // The hidden Topic's hint is left out: hints go by displayed column.
    QString hint;
    w->GridHint(w->ECG_Modbus_Read, 0, 14, hint);
    EXPECT_EQ(hint, Language_List.value(3182));
    EXPECT_EQ(w->Btn_CopyRow->Caption(), "Copy Row");
}

TEST_F(ModbusRTU, Checks)
{
    Run_Checks({
        {0, {"Y", "1", "Input Register", "0", "125", "1", "0", "0", "0"}, "", "register maximum"},
        {0, {"Y", "1", IS, "0", "2001", "1", "0", "0", "0"},
         "Error row 1!! [Modbus Read] NPoint must be between 1 and 2000", "status bound"},
        {0, {"Y", "x", HR}, "Error row 1!! [Modbus Read] Slave ID must be between 1 and 247", "slave ID no number"},
        {0, {"Y", "1", HR, "0", "1", "1", "0", "1499", "0"},
         "Error row 1!! [Modbus Read] Too many bytes to save starting from the Position indicate", "register span"},
        {0, {"Y", "1", IS, "0", "1", "1", "0", "1499", "7"}, "", "status last byte 1499"},
        {1, {"Y", "1", CS, "0", "2", "0", "Y", "N", "0", "1499", "7"},
         "Error row 1!! [Modbus Write] Too many bytes to read starting from the Position indicate", "write span"},
        {1, {"N", "0"}, "", "a disabled write rule passes"},
        {1, {"Y", "0"}, "Error row 1!! [Modbus Write] Slave ID must be between 1 and 247", "enabled, it fails"},
    });
}

TEST_F(ModbusRTU, SavesByteForByte)
{
    const QByteArray expected =
        "<EtherNetIP_to_Modbus>\n"
        "\t<Modbus_Read>\n"
        "\t\t<row Enable=\"Y\" Slave_ID=\"1\" Type=\"Input Status\" Address=\"0\" NPoint=\"8\" PollTime=\"100\" "
        "MaxError=\"0\" Position=\"0\" Bit=\"3\" Swap=\"N\" SwapWord=\"N\" Index_Topic=\"\" Mnemonic=\"Alarms\" />\n"
        "\t</Modbus_Read>\n"
        "\t<Modbus_Write />\n"
        "</EtherNetIP_to_Modbus>\n"
        "<!--SW_VERSION = 1.001-->\n";
    Show();
    Put(*w->ECG_Modbus_Read, 1, {"Y", "1", IS, "0", "8", "100", "0", "0", "3", "N", "N", "", "Alarms"});
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), expected);
    // A stored Topic index outside the (empty) list reads as an empty Topic.
    ASSERT_TRUE(WriteAll(File(), QByteArray(expected).replace("Index_Topic=\"\"", "Index_Topic=\"2\"")));
    Show();
    Ok();
    EXPECT_EQ(ReadAll(File()), expected);
}

// The Topic column, for a list of topics filled one day: the stored index is
// remembered per row and turned into the topic, a choice in the column is
// remembered, and OK stores the index only while the column is shown.
TEST_F(ModbusRTU, TopicIndexFollowsTheList)
{
    struct Restore
    {
        QStringList& list;
        ~Restore() { list.clear(); }
    } restore{w->List_Publish_Topic};
    w->List_Publish_Topic = {"plant/a", "plant/b", "plant/b"};
    const auto row = [](const QByteArray& topic) {
        return "<row Enable=\"Y\" Slave_ID=\"1\" Type=\"Holding Register\" Address=\"0\" NPoint=\"1\" PollTime=\"10\" "
               "MaxError=\"0\" Position=\"0\" Bit=\"0\" Swap=\"N\" SwapWord=\"N\" "
               + topic + " Mnemonic=\"m\"/>";
    };
    ASSERT_TRUE(WriteAll(File(), "<EtherNetIP_to_Modbus><Modbus_Read>" + row("Index_Topic=\"2\"")
                                     + row("Index_Topic=\"x\"") + row("") + row("Index_Topic=\"7\"")
                                     + "</Modbus_Read><Modbus_Write/></EtherNetIP_to_Modbus>"));
    EXPECT_TRUE(Show().empty());
    VOruVizizaZezo& g = *w->ECG_Modbus_Read;
    ASSERT_EQ(w->ComboItem_Topic.size(), 512u);
    EXPECT_EQ(std::vector<int>(w->ComboItem_Topic.begin(), w->ComboItem_Topic.begin() + 5),
              (std::vector<int>{2, -1, -1, 7, -1}));
    EXPECT_EQ(g.GetCellEx(12, 1), "plant/b");
    EXPECT_EQ(g.GetCellEx(12, 2), "") << "no number";
    EXPECT_EQ(g.GetCellEx(12, 4), "") << "outside the list";
    EXPECT_TRUE(g.IsHiddenColumn(12));

    for (const auto& [topic, remembered, index] : std::vector<std::tuple<QString, int, int>>{
             {"plant/b", 2, 2}, {"plant/b", 1, 1}, {"plant/b", -1, 1}, {"plant/b", 0, 1}, {"plant/z", 2, -1}})
        EXPECT_EQ(w->Get_Index_From_Topic(topic, remembered), index) << topic.toStdString() << " " << remembered;
    EXPECT_EQ(w->Get_Topic_From_Index(0), "plant/a");
    EXPECT_EQ(w->Get_Topic_From_Index(3), "");
    EXPECT_EQ(w->Get_Topic_From_Index(-1), "");

    // Shown: a choice is remembered, an empty Topic is refused, OK stores the indices.
    g.UnHideColumn(12);
    ASSERT_TRUE(g.OnComboChange);
    g.OnComboChange(&g, 12, 2, 0, "plant/a");
    w->Set_Cell(0, 12, 2, "plant/a");
    g.OnComboChange(&g, 11, 3, 1, "Y");  // another column: nothing remembered
    EXPECT_EQ(w->ComboItem_Topic[1], 0);
    EXPECT_EQ(w->ComboItem_Topic[2], -1);
    auto shown = Ok();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Error row 3!! [Modbus Read] Select a Topic");
    w->Set_Cell(0, 12, 3, "plant/b");
    w->Set_Cell(0, 12, 4, "plant/a");
    EXPECT_TRUE(Ok().empty());
    const QByteArray saved = ReadAll(File());
    for (const char* stored : {"Index_Topic=\"2\"", "Index_Topic=\"0\" Mnemonic=\"m\" />\n\t\t<row Enable=\"Y\"",
                               "Index_Topic=\"1\""})
        EXPECT_TRUE(saved.contains(stored)) << stored;
    EXPECT_EQ(saved.count("Index_Topic=\"0\""), 2);

    // Hidden again at the next showing: stored empty.
    Show();
    EXPECT_TRUE(g.IsHiddenColumn(12));
    EXPECT_EQ(w->ComboItem_Topic[0], 2);
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()).count("Index_Topic=\"\""), 4);
}

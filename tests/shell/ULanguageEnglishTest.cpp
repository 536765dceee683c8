#include "shell/ULanguage_English.h"

#include <QString>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Entry
{
    int number;
    const char* text;
};

// Texts that windows and messages rely on, exactly as they must read: fragments
// keep their blanks, "&&" stays doubled, "%d" stays for the caller to fill.
const Entry kCited[] = {
    {14, "Close Configurator"},
    {17, "Update Device UDP"},
    {18, "Error! Project not Valid"},
    {20, "Set Communication"},
    {21, "Set LoRaWAN Access"},
    {30, "Error in configuration, Num. Byte not conformed with Max Payload Size"},
    {31, "M-Bus"},
    {33, "Scan && Decode"},
    {35, "M_Bus network configuration already exists for this configuration. Do you want to continue?"},
    {1020, "Execute Update Firmware"},
    {1036, "Device Not Found!"},
    {1037, "Error!!! Check the Ip Address"},
    {1100, "Row Already used. Do you want to overwrite the values?"},
    {1101, "Error in the Copy values!!! Copy a valid row before Paste it"},
    {1102, "Error!!! Copy a valid row before Paste it"},
    {2121, "Start Scan"},
    {2125, "Save Conf."},
    {2137, "File XML already exists. Do you want to add to this file?"},
    {5723, "WAITING FOR SCAN..."},
    {9, "None Configuration Opened "},
    {1243, "Error row "},
    {316, "Do you want to change the Language from "},
    {317, " to "},
    {318, "?"},
    {497, "Error LoRa!! Payload Size must be between 1 and %d"},
    {5827, "Error row %d!! Position Must be Between 0 and %d"},
    {5828, "Are you sure to delete the Row number %d"},
    {1200, "Set LoRaWAN Access"},
    {2127, "Start Scan By Secondary Address"},
    {2128, "Finish Scan By Secondary Address"},
    {2592, ""},
    {0, "Begin"},
    {10, "Use Step1 to open or create new configuration"},
    {11, "Opened Configuration of the Converter : "},
    {19, "New Version Available. Click Here for more Details"},
    {22, "Create a new configuration for the device"},
    {85, "Create the SNMP MIB for Actual Configuration"},
    {100, "Create New Configuration"},
    {106, "Error! Name project is not valid because directory already exists"},
    {207, "Cancel open of Configuration"},
    {300, "Software Options"},
    {304, "Selected Language : "},
    {305, "Page "},
    {306, " / "},
    {321, "Enable Auto Size of Table Columns by Double Click"},
    {400, "Set Communication"},
    {406, "LoRaWAN"},
    {416, "Insert the JoinEUI (8 Byte in Hexadecimal) ex Application Identifier [AppEUI]"},
    {422, "Insert the Application Key of LoRaWAN (16 Byte in Hexadecimal). Insert the same AppKEY of LoRaWAN Gateway [AppKey]"},
    {465, "Error Ethernet!! IP Address 1 must be between 0 and 255"},
    {480, "Error Ethernet!! DNS 4 must be between 0 and 255"},
    {493, "Error LoRa!! RF Band cannot be empty"},
    {631, "M-Bus"},
    {644, "M-Bus Wireless"},
    {653, "Error M-Bus!! Cyclic Delay must be between 0 and 65535 seconds"},
    {654, "Error M-Bus!! Node State value when slave device is not present must be between 0 and 255"},
    {436, "Ethernet"},
    {2500, "IEC61850 Server"},
    {2544, "TLS (Transport Layer Security) Server"},
    {2843, "SNMP Agent"},
    {2904, "Frequency Sub-Band"},
    {2905, "Select the Sub-Band Frequency"},
    {1000, "Update Device by Serial"},
    {1003, "Update Device Using the Ethernet Port"},
    {1006, "Insert the IP Address of Device"},
    {1015, "Firmware + Configuration"},
    {1208, "Confirm and save the LoRaWAN Access List"},
    {1231, "Insert the Time in seconds between the sending of LoRaWAN Uplink, the time Must between 30 and 86400 seconds"},
    {1242, "Warning!! Max Payload Size not Set Up. Set it in \"Set Communication\" section"},
    {1244, "!! [LoraWAN Uplink] Start Byte must be between 0 and 1536"},
    {1245, "!! [LoraWAN Uplink] Number Byte must be between 0 and "},
    {1249, "Are you sure to delete the Row number "},
    {1251, "Port Field (1-223)"},
    {1255, "!! [LoraWAN Downlink] FPort must be between 1 and 223"},
    {1705, "Nodes     "},
    {1718, "Cut after "},
    {1738, " Time Point "},
    {1758, "Key 1"},
    {1773, "Key 16"},
    {1835, "Error!! Position Data must be between 1 and 1536"},
    {1846, "Error!! Address must be between 0x00000000 and 0xFFFFFF"},
    {1849, "Error!! Key (Byte 1) must be between 0x00 and 0xFF"},
    {1864, "Error!! Key (Byte 16) must be between 0x00 and 0xFF"},
    {1876, "Error!! Secondary ID Node M-Bus must be between 0 and 99999999"},
    {1889, "Error!! Access Number Register must be different from the Manufacturer Specific Data Register"},
    {1893, "Are you sure to want to cancel all Nodes?"},
    {1906, "Do you really want to overwrite the existing M-Bus Network?"},
    {2000, "New Node ID"},
    {2010, "Select the new  Registers for the Variables"},
    {2018, "Error!! Year Time Point Register must be between 0 and 59995"},
    {2100, "Scan & Decode"},
    {2101, "SCAN && DECODE"},
    {2130, "Configuration saved! To do a new Scan press \"New Scan\" button otherwise press top-right \"X\" to close the page"},
    {2142, "Enable Remote Scan (Enlarge TimeOut)"},
    {2206, "Error!! The Star Modbus Address must be between 1 and 65535"},
    {2303, "Error!! Acceptable characters are from 0 to 9 and from A to F"},
    {2410, "!! Modbus Start Address must be between 1 and 59999"},
    {1104, "Error! Please set the Set Communication Parameter before to create the GSD file"},
    {1105, "File already exists. Do you want to overwrite?"},
    {1306, "BACnet Read"},
    {1357, "Select the BACnet Type in the \"Set Communication\" section"},
    {1358, "!! Data Type is not correct. Aspected Data Type is "},
    {1371, "!! Destination Lenght must be 1 or 2 or 6"},
    {1400, "Import BACnet EDE File"},
    {1412, "Commandable"},
    {1559, "Error!! Too many Requests. Max requests "},
    {1560, "Are you sure to delete the Row number "},
    {1604, "Selected BACnet Engineering Unit"},
    {1608, "Select Engineering Unit"},
    {3069, "!! [Modbus Read] Slave ID must be between 1 and 247"},
    {3090, "Swap Word"},
    {3139, "!! [Modbus Read] Slave IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"},
    {3144, "!! [Modbus Read] NPoint must be between 1 and "},
    {3149, "!! [Modbus Read] Too many bytes to save starting from the Position indicate"},
    {3199, "!! [Modbus Read] Poll Time must be between 1 and 100000000"},
    {3300, "Receive CAN Frames Set Access"},
    {3345, "!! CobID must be between 0 and 2047"},
    {3350, " or None"},
    {3400, "Transmit CAN Frames Set Access"},
    {3462, "OnCMD"},
    {3500, "Set PDO Access"},
    {3508, "Confirm and save the CANopen PDOs List"},
    {3569, "!! [Receive PDO] COB-ID must be between 0x000 and 0x7FF"},
    {3600, "Set SDO Client Access"},
    {3737, "Insert the position of array where read the byte 1 of CANopen SDO Request"},
    {3745, "Insert the position of array where write the byte 1 of CANopen SDO Request"},
    {3800, "DeviceNet Network"},
    {3910, "Use \"None\" to not pass the byte from DeviceNet to LoRaWAN"},
    {3921, "Error in ByteOUT! The same byte of LoRaWAN is used in two bytes DeviceNet."},
    {3922, "First ID = "},
    {3925, " Byte = "},
    {4006, "Channel"},
    {4012, "!! Default Value must be between 0 and 255"},
    {4100, "Set EtherNet/IP Slaves Access"},
    {4108, "Confirm and save the MQTT Set Topics List"},
    {4138, "Error!! The Total Number of Input Bytes must be between 0 and "},
    {4157, "!! Dimension Header T > O must be between 0 and 7. Default Value 0"},
    {4160, "Import a slave EtherNet/IP from EDS File"},
    {4200, "EtherNet/IP EDS Decode - Select the Connection to use"},
    {4215, "Error!! No Valid Connection found"},
    {4300, "Receive J1939 Frames"},
    {4345, "Error!! Too many bytes of data, the max number is "},
    {4400, "Transmit J1939 Frames"},
    {4442, "!! Send Timer must be between 1 and 65535 ms"},
    {4514, "N"},
    {4557, "!! [KNX in Write] Bit Mode must be \"No\" or between 0 and 7"},
    {4558, "!! [KNX in Write] Length must be between 1 and "},
    {4559, "!! [KNX in Write] Position plus Length must be minor or equal to "},
    {4561, "Mul. Factor"},
    {4565, "!! [KNX in Write] Mul. Factor must be a valid Float"},
    {4600, "Receive NMEA 2000 Frames"},
    {4642, "Error!! Too many bytes of data, the max number is "},
    {4700, "Transmit NMEA 2000 Frames"},
    {4741, "!! Send Timer must be between 1 and 65535 ms"},
    {4800, "PROFINET XML File Name"},
    {4808, "File already exists! Do you want to overwrite the file?"},
    {4952, "Error row "},
    {4956, "!! Position must be between 0 and "},
    {5014, "N"},
    {5038, "!! Start Bit must be Selected "},
    {5116, "Certificate"},
    {5121, "Are you sure to delete the Row number "},
    {5200, "Set MQTT Topics"},
    {5233, "MQTT Publish"},
    {5256, "!! [MQTT Publish] Position must be beetween 0 and "},
    {5289, "!! [MQTT Publish] Time(ms) must be between 1 and 1000000000"},
    {5301, "Set Template"},
    {5306, "Description of Keyword"},
    {5403, "Add"},
    {5489, "Do you really want to delete the selected OPC UA Server?"},
    {5494, "With this operation all the positions for this Server OPC UA will be overwritten. Do you want to continue?"},
    {5497, "Error in Server Number %d in Read Variable %d!! Time cannot be empty"},
    {5500, "Error in Server Number %d in Read Variable %d!! Position must be between 0 and %d"},
    {5504, "Error in Server Number %d in Write Variable %d!! Position must be between 0 and %d"},
    {5628, "Error!! The Server Address cannot be empty"},
    {5632, "Error!! The Private Key cannot be empty"},
    {5704, "Select All R"},
    {5724, "Write"},
    {5814, "N"},
    {5829, "R/W"},
    {5900, "S7comm Access"},
    {5901, "S7comm Access"},
    {5987, "!! [S7comm Read] Device support 10 connection"},
    {6013, "Rack"},
    {6024, "!! [S7comm Write] Slot must be between 0 and 31"},
    {6100, "Set SNMP Manager Access"},
    {6144, "!! OID string cannot contains number major of $FFFFFFFF between two \".\""},
    {6186, "Error in rows "},
    {6187, " and "},
    {6189, "Error!! Too many charaters used for Community Name / User, OID, AuthPass and PrivPass"},
    {6200, "Set SNMP Trap Access"},
    {6276, "!! [SNMP Read] Community Name is not correct (allowed characters are \"a\"..\"z\", \"A\"..\"Z\" and \"0\"..\"9\")"},
    {6279, "!! [SNMP Write] Descrtiption is not correct (allowed characters are \"a\"..\"z\", \"A\"..\"Z\" and \"0\"..\"9\"). First character must be a letter and must be lowercase"},
    {6280, "Error!! The Descriptions must be all differents"},
    {6286, "!! [SNMP Write] Conversion must be selected"},
};

// The entries of each block that hold the window's texts, without gaps.
struct Range
{
    int first;
    int last;
};
const Range kTextRanges[] = {
    {0, 85},
    {100, 110},
    {200, 207},
    {300, 321},
    {400, 979},
    {1000, 1037},
    {1100, 1105},
    {1200, 1255},
    {1300, 1393},
    {1400, 1421},
    {1500, 1560},
    {1600, 1608},
    {1700, 1906},
    {2000, 2018},
    {2100, 2142},
    {2200, 2206},
    {2300, 2304},
    {2400, 2410},
    {2500, 2905},
    {3000, 3093},
    {3100, 3203},
    {3300, 3358},
    {3400, 3463},
    {3500, 3591},
    {3600, 3679},
    {3700, 3765},
    {3800, 3827},
    {3900, 3925},
    {4000, 4012},
    {4100, 4160},
    {4200, 4215},
    {4300, 4347},
    {4400, 4443},
    {4500, 4566},
    {4600, 4643},
    {4700, 4742},
    {4800, 4808},
    {4900, 4967},
    {5000, 5045},
    {5100, 5121},
    {5200, 5298},
    {5300, 5374},
    {5400, 5504},
    {5600, 5632},
    {5700, 5729},
    {5800, 5830},
    {5900, 6024},
    {6100, 6189},
    {6200, 6286},
};

bool InTextRange(int n)
{
    for (const Range& r : kTextRanges)
        if (n >= r.first && n <= r.last)
            return true;
    return false;
}

TEST(EnglishTable, CitedTextsAreExact)
{
    for (const Entry& e : kCited)
        EXPECT_STREQ(English_Text(e.number), e.text) << "entry " << e.number;
}

TEST(EnglishTable, HasExactly6300EntriesAndNothingOutside)
{
    EXPECT_EQ(English_Text_Count, 6300);
    EXPECT_STREQ(English_Text(6299), " ");
    for (int n : {-1, 6300, 100000}) {
        ASSERT_NE(English_Text(n), nullptr);
        EXPECT_STREQ(English_Text(n), "") << n;
    }
}

TEST(EnglishTable, BlanksFillEveryBlockAfterItsTexts)
{
    int blanks = 0;
    for (int n = 0; n < English_Text_Count; ++n) {
        const char* t = English_Text(n);
        ASSERT_NE(t, nullptr) << n;
        const bool blank = std::strcmp(t, " ") == 0;
        blanks += blank ? 1 : 0;
        if (InTextRange(n)) {
            EXPECT_FALSE(blank) << "entry " << n << " lies among a window's texts";
        } else {
            EXPECT_TRUE(blank) << "entry " << n << " lies after a block's texts";
        }
    }
    EXPECT_EQ(blanks, 2840);
    EXPECT_STREQ(English_Text(2592), "");
    for (int n = 0; n < English_Text_Count; ++n) {
        if (n != 2592) {
            EXPECT_NE(std::strlen(English_Text(n)), 0u) << n;
        }
    }
}

TEST(EnglishTable, FormatTemplatesAreExactlyTheThirteen)
{
    std::vector<int> templates;
    for (int n = 0; n < English_Text_Count; ++n)
        if (std::strstr(English_Text(n), "%d"))
            templates.push_back(n);
    const std::vector<int> expected = {497, 5495, 5496, 5497, 5498, 5499, 5500,
                                       5501, 5502, 5503, 5504, 5827, 5828};
    EXPECT_EQ(templates, expected);
}

TEST(EnglishTable, OnlyEntry5326LeavesAscii)
{
    for (int n = 0; n < English_Text_Count; ++n) {
        const std::string t = English_Text(n);
        bool ascii = true;
        for (unsigned char c : t)
            ascii = ascii && c < 0x80;
        EXPECT_EQ(ascii, n != 5326) << n;
    }
    const QString quoted = QString::fromUtf8(English_Text(5326));
    EXPECT_TRUE(quoted.contains(QChar(0x201C)));
    EXPECT_TRUE(quoted.contains(QChar(0x201D)));
    EXPECT_EQ(quoted.toUtf8(), QByteArray(English_Text(5326)));
}

// A position conflict joins the texts around the descriptions, which then stand in quotes.
TEST(EnglishTable, ConflictMessagesQuoteTheDescriptions)
{
    const std::string node = std::string(English_Text(1787)) + "Meter 1" + English_Text(1788);
    EXPECT_EQ(node, "Error!! ModBus Register already use in the Node \"Meter 1\" (Node State)");
    const std::string var = std::string(English_Text(1829)) + "Meter 1" + English_Text(1830) + "Flow" + English_Text(1831);
    EXPECT_EQ(var, "Error!! Time Point Registers already use in the Node \"Meter 1\", Variable \"Flow\" (Time Point)");
}

} // namespace

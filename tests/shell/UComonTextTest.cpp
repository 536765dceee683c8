#include "shell/UComon.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace {

// The three IPv4 readers side by side: the same texts, three different
// answers. Split_IP_Address trims and answers "valid"; IP_Text_To_Bytes does
// not trim, answers "NOT valid" and always fills its bytes; Split_IP_Port
// wants a port and leaves everything 0 unless all of it is right.
TEST(UComonText, ThreeIPv4ReadersAndTheirDifferences)
{
    struct Case
    {
        const char* text;
        bool split_valid;                   // Split_IP_Address
        const char* parts;                  // its four texts joined by "|" (untouched ones "-")
        bool bytes_invalid;                 // IP_Text_To_Bytes
        uint8_t b[4];                       // its bytes (9 9 9 9: untouched)
        bool port_valid;                    // Split_IP_Port
        uint8_t pb[4];
        uint16_t port;
    };
    const Case cases[] = {
        {"192.168.2.205", true, "192|168|2|205", false, {192, 168, 2, 205}, false, {0, 0, 0, 0}, 0},
        // Blanks: trimmed by the first, a failed byte for the second (only
        // leading blanks pass the number rule).
        {" 192 . 168 . 2 . 205 ", true, "192|168|2|205", true, {0, 0, 0, 0}, false, {0, 0, 0, 0}, 0},
        {"10.0.0.1 ", true, "10|0|0|1", true, {10, 0, 0, 0}, false, {0, 0, 0, 0}, 0},
        {"192.168.2", false, "192|168|-|-", true, {192, 168, 0, 2}, false, {0, 0, 0, 0}, 0},
        {"192.168.2.256", false, "192|168|2|256", true, {192, 168, 2, 0}, false, {0, 0, 0, 0}, 0},
        {"$C0.168.2.1", true, "$C0|168|2|1", false, {192, 168, 2, 1}, false, {0, 0, 0, 0}, 0},
        // The fourth part keeps further dots and so fails.
        {"1.2.3.4.5", false, "1|2|3|4.5", true, {1, 2, 3, 0}, false, {0, 0, 0, 0}, 0},
        {"1.2", false, "1|-|-|-", true, {1, 0, 0, 2}, false, {0, 0, 0, 0}, 0},
        {"", false, "-|-|-|-", true, {9, 9, 9, 9}, false, {0, 0, 0, 0}, 0},
        {"192.168.1.10:47808", false, "192|168|1|10:47808", true, {192, 168, 1, 0}, true, {192, 168, 1, 10}, 47808},
        {"192.168.1.10:70000", false, "192|168|1|10:70000", true, {192, 168, 1, 0}, false, {0, 0, 0, 0}, 0},
        {" 192 .168. 1 . 10 : 502 ", false, "192|168|1|10 : 502", true, {0, 168, 0, 0}, true, {192, 168, 1, 10}, 502},
        {"192.168.1.256:80", false, "192|168|1|256:80", true, {192, 168, 1, 0}, false, {0, 0, 0, 0}, 0},
        {"192.168.1.10:", false, "192|168|1|10:", true, {192, 168, 1, 0}, false, {0, 0, 0, 0}, 0},
        {"-1.0.0.0", false, "-1|0|0|0", true, {0, 0, 0, 0}, false, {0, 0, 0, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromUtf8(c.text);

        QString p[4] = {"-", "-", "-", "-"};
        EXPECT_EQ(Split_IP_Address(text, p[0], p[1], p[2], p[3]), c.split_valid);
        EXPECT_EQ(QStringList({p[0], p[1], p[2], p[3]}).join(u'|'), QString::fromUtf8(c.parts));

        uint8_t b[4] = {9, 9, 9, 9};
        EXPECT_EQ(IP_Text_To_Bytes(text, b[0], b[1], b[2], b[3]), c.bytes_invalid);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(b[i], c.b[i]) << "byte " << i;

        uint8_t pb[4] = {7, 7, 7, 7};
        uint16_t port = 7;
        EXPECT_EQ(Split_IP_Port(text, pb[0], pb[1], pb[2], pb[3], port), c.port_valid);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(pb[i], c.pb[i]) << "port byte " << i;
        EXPECT_EQ(port, c.port);
    }
}

TEST(UComonText, KnxAddresses)
{
    struct Case
    {
        const char* text;
        bool group;
        bool allow_zero;
        bool invalid;
    };
    const Case cases[] = {
        // Individual addresses.
        {"1.1.20", false, true, false},
        {" 15 . 15 . 255 ", false, true, false},
        {"16.1.1", false, true, true},
        {"1.16.1", false, true, true},
        {"1.1.256", false, true, true},
        {"0.0.0", false, true, false},
        {"0.0.0", false, false, true},
        // One ".": the area, then line and device together.
        {"1.2", false, true, false},
        {"15.4095", false, true, false},
        {"16.1", false, true, true},
        {"1.4096", false, true, true},
        {"0.0", false, false, true},
        {"0.0", false, true, false},
        {"a.b", false, true, true},
        {"1.2.3.4", false, true, true},
        {"1/2/3", false, true, true},
        {"4660", false, true, false},
        {"0", false, true, true},
        {"65536", false, true, true},
        {"1..3", false, true, true},          // an empty part does not convert
        // Group addresses.
        {"1/2/3", true, true, false},
        {"31/2047", true, true, false},
        {"32/0", true, true, true},
        {"1/2048", true, true, true},
        {"1/8/0", true, true, true},
        {"31/7/255", true, true, false},
        {"0/0/0", true, true, true},
        {"0/0", true, true, true},
        {"0/0/1", true, true, false},
        {"1/2/3/4", true, true, true},
        {"1.2", true, true, true},
        {"65535", true, true, false},
        {"0", true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Check_KNX_Address(QString::fromUtf8(c.text), c.group, c.allow_zero), c.invalid);
    }
    EXPECT_TRUE(Is_KNX_Group_Address("1/2/3"));
    EXPECT_TRUE(Is_KNX_Group_Address("4660"));
    EXPECT_FALSE(Is_KNX_Group_Address("1.1.20"));
}

TEST(UComonText, DecimalsWithEitherSeparator)
{
    struct Case
    {
        const char* text;
        char separator;   // the caller's
        char regional;    // the regional settings'
        bool ok;
        float value;
    };
    const Case cases[] = {
        {"3.75", ',', ',', true, 3.75f},
        {"3,75", ',', ',', true, 3.75f},
        {"3.75", '.', '.', true, 3.75f},
        {"3,75", '.', '.', true, 3.75f},
        {" -2,5 ", ',', ',', true, -2.5f},
        {"1e3", '.', '.', true, 1000.0f},
        {"1,234.5", ',', ',', false, 1.0f},   // both characters: no grouping
        {"1,234.5", '.', '.', false, 1.0f},
        {"abc", ',', ',', false, 1.0f},
        {"", ',', ',', false, 1.0f},
        {"1e60", '.', '.', false, 1.0f},      // beyond single precision
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        float v = -7.0f;
        EXPECT_EQ(Str_To_Float_Any_Sep(QString::fromUtf8(c.text), QChar(c.separator), QChar(c.regional), v), c.ok);
        EXPECT_FLOAT_EQ(v, c.value);
    }
    const QChar sep = Get_Decimal_Separator();
    EXPECT_TRUE(sep == u',' || sep == u'.');
    float v = 0;
    EXPECT_TRUE(Str_To_Float_Any_Sep("2.5", sep, v));
    EXPECT_FLOAT_EQ(v, 2.5f);
    EXPECT_TRUE(Str_To_Float_Any_Sep("2,5", sep, v));
    EXPECT_FLOAT_EQ(v, 2.5f);
}

TEST(UComonText, SerialPortsPresentOrInUse)
{
    // Ports 1 and 3 exist, 3 held by another program.
    const std::map<int, int> machine = {{1, 1}, {3, 0}};
    const auto list = Get_COM_Port_List(
        [&](int port) {
            const auto it = machine.find(port);
            return it == machine.end() ? -1 : it->second;
        },
        256);
    ASSERT_TRUE(list);
    EXPECT_EQ(*list, QStringList({"1", "3"}));
    EXPECT_TRUE(Get_COM_Port_List());  // this machine's, whatever it holds
}

TEST(UComonText, SnmpObjectIdentifiers)
{
    struct Case
    {
        QString text;
        int code;
    };
    const Case cases[] = {
        {"1.3.6.1.2.1.1.5.0", 0},
        {"1.4294967295", 0},
        {"1.3.6.1.4294967296", 6},
        {"1.99999999999999999999", 6},   // not even a 64-bit number
        {".1.3", 3},
        {"1.3.", 4},
        {"1..3", 5},
        {"1.3a", 2},
        {"1.-3", 2},
        {" 1.3", 2},
        {"", 6},                          // nothing to look at: not valid
        {".", 3},
        {QString(128, u'1'), 6},          // 128 characters are allowed (then too big)
        {QString("1.").repeated(63) + "12", 0},
        {QString(129, u'1'), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(Check_SNMP_OID(c.text), c.code);
    }
    EXPECT_EQ(SNMP_Security_Level_Code("  auth priv  "), 3);
    EXPECT_EQ(SNMP_Security_Level_Code("Auth NoPriv"), 1);
    EXPECT_EQ(SNMP_Security_Level_Code("noauth nopriv"), 0);
    EXPECT_EQ(SNMP_Security_Level_Code("   "), -1);
}

TEST(UComonText, OpcUaChoiceTextsRoundTrip)
{
    struct Family
    {
        QString (*name)(int);
        uint8_t (*code)(const QString&);
        std::vector<int> codes;
        QString other_name;   // any other code
        uint8_t other_code;   // any other text
    };
    const Family families[] = {
        {OPCUA_NodeType_Name, OPCUA_NodeType_Code, {0, 3, 4, 5}, "", 0},
        {OPCUA_Auth_Name, OPCUA_Auth_Code, {0, 1, 2}, "Certificate", 2},
        {OPCUA_SecType_Name, OPCUA_SecType_Code, {0, 1, 2}, "Sign and Encrypt", 2},
        {OPCUA_SecPolicy_Name, OPCUA_SecPolicy_Code, {0, 1, 2, 3, 4, 5}, "AES 256 SHA 256 RSA PSS", 5},
    };
    for (const Family& f : families) {
        for (int code : f.codes)
            EXPECT_EQ(f.code(f.name(code)), code);
        EXPECT_EQ(f.name(99), f.other_name);
        EXPECT_EQ(f.code("no such text"), f.other_code);
    }
    EXPECT_EQ(OPCUA_NodeType_Name(5), "ByteString");
    EXPECT_EQ(OPCUA_Auth_Name(1), "Username and Password");
    EXPECT_EQ(OPCUA_SecPolicy_Name(3), "Basic 256 SHA 256");
    // Only the node type ignores case.
    EXPECT_EQ(OPCUA_NodeType_Code("guid"), 4);
    EXPECT_EQ(OPCUA_SecType_Code("sign"), 2);
    EXPECT_EQ(OPCUA_Auth_Code("anonymous"), 2);

    const char* types[] = {"Boolean", "Int8",  "UInt8", "Int16",  "UInt16",   "Int32", "UInt32",    "Int64",
                           "UInt64",  "Float", "Double", "String", "DateTime", "Guid",  "ByteString"};
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(OPCUA_DataType_Name(i), QString::fromLatin1(types[i]));
    EXPECT_EQ(OPCUA_DataType_Name(15), "");
    EXPECT_EQ(OPCUA_DataType_Name(-1), "");
}

TEST(UComonText, OpcUaNodeIdentifiers)
{
    opcua_structure n;
    n.identifierType = 0;
    n.numeric = 4294967295u;
    EXPECT_EQ(OPCUA_NodeId_Text(n), "4294967295");

    n.identifierType = 3;
    n.stringname = "Temp\xB0" "C";   // 8-bit text of the library
    n.stringLength = 1;              // not used
    EXPECT_EQ(OPCUA_NodeId_Text(n), QString::fromUtf8("Temp°C"));

    n.identifierType = 4;
    n.guide1 = 0x0A1B2C;
    n.guide2 = 0xBEEF;
    n.guide3 = 0x1;
    const uint8_t g4[8] = {0xDE, 0xAD, 0x00, 0x01, 0x02, 0x03, 0xfe, 0xff};
    std::copy(std::begin(g4), std::end(g4), n.guide4);
    EXPECT_EQ(OPCUA_NodeId_Text(n), "000A1B2C-BEEF-0001-DEAD-00010203FEFF");

    n.identifierType = 5;
    n.byteString = "raw";
    EXPECT_EQ(OPCUA_NodeId_Text(n), "raw");
    n.byteString = nullptr;
    EXPECT_EQ(OPCUA_NodeId_Text(n), "");

    n.identifierType = 1;
    EXPECT_EQ(OPCUA_NodeId_Text(n), "");
}

TEST(UComonText, FixedValues)
{
    EXPECT_EQ(Default_BACnet_Eng_Unit(), 95);
    EXPECT_EQ(Device_XML_Code(), 21);
    EXPECT_EQ(Scan_Form_Type(), 1);
}

} // namespace

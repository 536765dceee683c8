// The data-area checks whose texts the built-in table has no entry for: each
// has an entry of the shared block that the table leaves blank, so the
// English stands, and a language file that fills the entry translates it.
#include "fieldbus/UDefOffset.h"
#include "protocols/UBACnetAccess.h"
#include "protocols/UMQTT_Set_Topic.h"
#include "protocols/USNMPManagerAccess.h"
#include "protocols/USNMP_Trap_Access.h"

#include "../fieldbus/RuleMemberTest.h"

#include <functional>

using testsupport::WriteAll;

namespace {

class SpareTexts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Load_English_Table();
        Project_Folder = dir.path();
        for (const Project_File& f : Project_Files())
            *f.path = dir.filePath(QString::fromLatin1(f.name));
        // The BACnet master's key column by the converter's BACnet type.
        ASSERT_TRUE(WriteAll(FileName_ParGen, "<ParGen><BACnet_Master_Type>0</BACnet_Master_Type></ParGen>"));
    }
    void TearDown() override
    {
        Load_English_Table();
        Project_Folder.clear();
        for (const Project_File& f : Project_Files())
            f.path->clear();
    }
    QTemporaryDir dir;
};

// The error box of the first rule of a grid, holding these cells.
template <class W>
std::function<QString()> Fault(int grid, QStringList cells)
{
    return [grid, cells] {
        W w;
        platform::DialogScript script;
        w.FormShow();
        for (int c = 1; c <= cells.size(); ++c)
            w.Set_Cell(grid, c, 1, cells[c - 1]);
        w.Controllo_dati();
        return script.Shown().empty() ? QString() : script.Shown().back().text;
    };
}

QStringList With(QStringList row, std::initializer_list<std::pair<int, QString>> changes)
{
    for (const auto& [col, text] : changes)
        row[col - 1] = text;
    return row;
}

const QStringList kBACnetRead = {"Y", "10.0.0.1", "Analog Input", "5", "Present Value (85)", "4", "N", "", "",
                                 "", "1000", "0", "0", "0", "M"};
const QStringList kMQTTPub = {"plant/t1", "N", "0", "Int", "2", "0", "", "", "$VALUE$", "Y", "", "N", "", "", "N",
                              "N", "M"};
const QStringList kMQTTSub = {"plant/cmd", "", "1", "Float", "4", "10", "", "", "", "", "$VALUE$", "N", "N", "S"};
const QStringList kSNMPManager = {"Y", "10.0.0.1", "1", "public", "1.3.6.1", "Int", "Get", "N", "N", "N", "", "0",
                                  "2", "None", "N", "", "", "", "", "", "", "M"};
const QStringList kTrapRead = {"Y", "public", "Int", "N", "N", "N", "", "0", "0", "16", "temp1", "192.168.1.10",
                               "None", "M"};
const QStringList kTrapWrite = {"Y", "private", "Int", "0", "0", "16", "set1", "None", "M"};

QString DeviceNet_Fault()
{
    TSlave_DN s;
    s.ID = 3;
    s.ByteOUT = 1;
    s.SL_ByteOUT = QStringList{"5000"};
    s.SL_ByteOUT_M = QStringList{""};
    dnet::TByte_Check check;
    return dnet::Offset_Fault({s}, kDN_Max_Byte, kDN_Max_Byte, check);
}

} // namespace

TEST_F(SpareTexts, EnglishUntilALanguageFileGivesTheEntry)
{
    struct Case
    {
        int entry;
        std::function<QString()> fault;
        QString english;  // the message after the row prefix
    };
    const std::vector<Case> cases = {
        {spare_text::BACnet_Position, Fault<TFBACnetAccess>(0, With(kBACnetRead, {{13, "1440"}})),
         "!! Position must be between 0 and 1439"},
        {spare_text::BACnet_Start_Bit, Fault<TFBACnetAccess>(0, With(kBACnetRead, {{14, "8"}})),
         "!! Start Bit must be between 0 and 7"},
        {spare_text::BACnet_Span, Fault<TFBACnetAccess>(0, With(kBACnetRead, {{13, "1437"}})),
         "!! Position plus NByte must be minor or equal to 1440"},
        {spare_text::MQTT_Publish_Span, Fault<TFMQTT_Set_Topic>(0, With(kMQTTPub, {{6, "1499"}})),
         "!! [MQTT Publish] Position plus Dimension must be minor or equal to 1500"},
        {spare_text::MQTT_Subscribe_Span, Fault<TFMQTT_Set_Topic>(1, With(kMQTTSub, {{6, "1497"}})),
         "!! [MQTT Subscribe] Position plus Dimension must be minor or equal to 1500"},
        {spare_text::SNMP_Manager_Span, Fault<TFSNMPManagerAccess>(0, With(kSNMPManager, {{12, "1439"}})),
         "!! Position plus Number bytes must be minor or equal to 1440"},
        {spare_text::SNMP_Read_Span, Fault<TFSNMP_Trap_Access>(0, With(kTrapRead, {{8, "1440"}, {10, "1"}})),
         "!! [SNMP Read] The value must end inside the data area, whose last byte is 1439"},
        {spare_text::SNMP_Write_Span,
         Fault<TFSNMP_Trap_Access>(1, With(kTrapWrite, {{3, "String"}, {4, "1439"}, {6, "2"}})),
         "!! [SNMP Write] The value must end inside the data area, whose last byte is 1439"},
        {spare_text::DeviceNet_Outside, DeviceNet_Fault,
         "Error in ByteOUT! The offset 5000 is outside the LoRaWAN data array (0 to 1439)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        Load_English_Table();
        EXPECT_EQ(Language_List.value(c.entry), " ") << "the built-in table leaves it blank";
        const QString english = c.fault();
        EXPECT_TRUE(english.contains(c.english)) << english.toStdString();

        Language_List[c.entry] = c.entry == spare_text::DeviceNet_Outside ? "Fehler in %s: %d außerhalb (0 bis %d)."
                                                                          : "!! Übersetzt ";
        const QString translated = c.fault();
        EXPECT_FALSE(translated.contains(c.english)) << translated.toStdString();
        if (c.entry == spare_text::DeviceNet_Outside) {
            EXPECT_TRUE(translated.startsWith("Fehler in ByteOUT: 5000 außerhalb (0 bis 1439).\n\r"))
                << translated.toStdString();
        } else {
            EXPECT_TRUE(translated.contains("!! Übersetzt ")) << translated.toStdString();
        }
    }
}

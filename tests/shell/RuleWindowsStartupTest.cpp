// The windows of the other family members at start-up: created with the
// other windows, their main-window buttons present and hidden, and re-texted
// by a language change.
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "shell/URorudizezFirmWare.h"
#include "support/TestSupport.h"

#include "fieldbus/UDMXDefVal.h"
#include "fieldbus/UDNet.h"
#include "fieldbus/UDefOffset.h"
#include "fieldbus/UEtherNetIP_EDS.h"
#include "fieldbus/UEtherNetIP_Master_Access.h"
#include "fieldbus/UKNXAccess.h"
#include "fieldbus/UModbus_TCP_Master_Set_Access.h"
#include "fieldbus/UReceiveCAN.h"
#include "fieldbus/UReceiveJ1939.h"
#include "fieldbus/UReceiveNMEA.h"
#include "fieldbus/USetAccess.h"
#include "fieldbus/USet_PDO_Access.h"
#include "fieldbus/USet_SDO_Client_Access.h"
#include "fieldbus/USet_SDO_Server_Access.h"
#include "fieldbus/UTransmitCAN.h"
#include "fieldbus/UTransmitJ1939.h"
#include "fieldbus/UTransmitNMEA.h"
#include "protocols/UBACnetAccess.h"
#include "protocols/UBACnetSlaveSetAccess.h"
#include "protocols/UBACnet_Eng_Unit.h"
#include "protocols/UIEC61850_Variables.h"
#include "protocols/UIEC_61850_Access.h"
#include "protocols/UImportEDEFile.h"
#include "protocols/UMQTT_Set_Topic.h"
#include "protocols/UOPC_UA_Add_Server.h"
#include "protocols/UOPC_UA_Client_Access.h"
#include "protocols/UOPC_UA_Scan_Server.h"
#include "protocols/UOPC_UA_Server_Access.h"
#include "protocols/UProfinetFileName.h"
#include "protocols/US7_Protocol_Set_Access.h"
#include "protocols/USNMPManagerAccess.h"
#include "protocols/USNMP_Trap_Access.h"
#include "protocols/UTLS_Server_Known_Cert.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/FileSystem.h"
#include "widgets/LbButton.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::WriteAll;

namespace {

class RuleWindowsAtStart : public ::testing::Test
{
protected:
    void TearDown() override
    {
        Destroy_All_Windows();
        Language_Name = "English";
        Load_English_Table();
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(RuleWindowsAtStart, CreatedHiddenAndReTexted)
{
    Create_All_Windows(dir.path());
    const std::pair<TSet_Access_Form*, const char*> windows[] = {
        {FBACnetAccess, nullptr},
        {FBACnetSlaveSetAccess, nullptr},
        {FSetAccess, "Modbus Master Access"},
        {FModbus_TCP_Master_Set_Access, nullptr},
        {FReceiveCAN, "Receive CAN Frames Set Access"},
        {FTransmitCAN, "Transmit CAN Frames Set Access"},
        {FSet_PDO_Access, "Set PDO Access"},
        {FSet_SDO_Client_Access, "Set SDO Client Access"},
        {FSet_SDO_Server_Access, "Set SDO Server Access"},
        {FDNet, nullptr},
        {FDMXDefVal, "DMX Default Value"},
        {FEtherNetIP_Master_Access, nullptr},
        {FReceiveJ1939, nullptr},
        {FTransmitJ1939, nullptr},
        {FKNXAccess, nullptr},
        {FReceiveNMEA, nullptr},
        {FTransmitNMEA, nullptr},
        {FIEC61850_Variables, nullptr},
        {FTLS_Server_Known_Cert, nullptr},
        {FMQTT_Set_Topic, nullptr},
        {FOPC_UA_Server_Access, nullptr},
        {FS7_Protocol_Set_Access, nullptr},
        {FSNMPManagerAccess, nullptr},
        {FSNMP_Trap_Access, nullptr},
    };
    for (const auto& [w, caption] : windows) {
        ASSERT_NE(w, nullptr);
        EXPECT_FALSE(w->isVisible());
        if (caption) {
            EXPECT_EQ(w->Caption(), caption) << w->Form().name.toStdString();
        }
        EXPECT_EQ(w->Caption(), Language_List.value(w->Form().caption));
    }
    // The other windows of the family, each with its caption from the table.
    const std::pair<platform::TForm*, int> others[] = {
        {FImportEDEFile, 1400},    {FBACnet_Eng_Unit, 1600},  {FDefOffset, 0},          {FEtherNEtIP_EDS, 0},
        {FProfinetFileName, 0},    {FIEC_61850_Access, 4900}, {FOPC_UA_Add_Server, 5600},
        {FOPC_UA_Client_Access, 5400}, {FOPC_UA_Scan_Server, 5700}};
    for (const auto& [w, caption] : others) {
        ASSERT_NE(w, nullptr);
        EXPECT_FALSE(w->isVisible());
        if (caption) {
            EXPECT_EQ(w->Caption(), Language_List.value(caption));
        }
    }
    TFRorudizezFirmWare& main = *FRorudizezFirmWare;
    for (TLbButton* b : {main.Btn_DNet_Net, main.Btn_DNet_Offset, main.Btn_EtherNetIP_Access, main.Btn_PROFIBUS_GSD,
                         main.Btn_PROFINET_XML, main.Btn_IEC61850_Client, main.Btn_OPC_UA_Client_Access,
                         main.Btn_SNMP_Trap, main.Btn_SNMP_MIB, main.Btn_BACnet_EDE_File, main.Btn_MQTT_Set_Topic,
                         main.Btn_BACnet_SetAccess}) {
        ASSERT_NE(b, nullptr);
        EXPECT_FALSE(b->isVisible());
    }
    for (TLbButton* b : {main.Btn_Modbus_Set_Access, main.Btn_CAN_Rec_Frame, main.Btn_CAN_Send_Frame,
                         main.Btn_PDO_CANopen, main.Btn_SDO_Client_CANopen, main.Btn_SDO_Server_CANopen,
                         main.Btn_DMX_Default, main.Btn_TLS_List_Certificates, main.Btn_IEC61850_Access,
                         main.Btn_OPC_UA_Server_Access, main.Btn_KNX_Access, main.Btn_S7_Protocol_Access,
                         main.Btn_SNMP_Manager_Access}) {
        ASSERT_NE(b, nullptr);
        EXPECT_FALSE(b->isVisible());
    }
    EXPECT_EQ(main.Btn_DMX_Default->Caption(), "DMX Default Value");

    // Windows built before the change (shown once, say) are re-texted by it;
    // the others take the language when they are built.
    for (platform::TForm* w : {static_cast<platform::TForm*>(FDMXDefVal),
                               static_cast<platform::TForm*>(FTLS_Server_Known_Cert),
                               static_cast<platform::TForm*>(FSetAccess)})
        w->BuildNow();
    ASSERT_TRUE(platform::ForceFolders(dir.filePath("LANGUAGE")));
    ASSERT_TRUE(WriteAll(dir.filePath("LANGUAGE/Italiano.lng"),
                         "STR3300 = Frame CAN ricevuti\nSTR4007 = Valore\nSTR5115 = Abilita\nSTR3014 = Lettura\n"
                         "STR4900 = Client IEC 61850\nSTR5700 = Scansione del Server OPC UA\n"));
    Language_Folder = dir.filePath("LANGUAGE");
    Language_Name = "Italiano";
    Load_Language();
    main.Change_Language();
    EXPECT_EQ(FReceiveCAN->Caption(), "Frame CAN ricevuti");
    EXPECT_EQ(FDMXDefVal->ECG_DMX_Def_Val->GetCellEx(1, 0), "Valore");
    EXPECT_EQ(FTLS_Server_Known_Cert->ESG->Columns().GetItem(1)->Header(), "Abilita");
    EXPECT_EQ(FSetAccess->TS_Modbus_Read->Caption(), "Lettura");
    EXPECT_EQ(FIEC_61850_Access->Caption(), "Client IEC 61850");
    EXPECT_EQ(FOPC_UA_Scan_Server->Caption(), "Scansione del Server OPC UA");
}

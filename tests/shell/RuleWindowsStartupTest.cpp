// The rule tables of the other family members at start-up: created with the
// other windows, their main-window buttons present and hidden, and re-texted
// by a language change.
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "shell/URorudizezFirmWare.h"
#include "support/TestSupport.h"

#include "fieldbus/UDMXDefVal.h"
#include "fieldbus/UKNXAccess.h"
#include "fieldbus/UModbus_TCP_Master_Set_Access.h"
#include "fieldbus/UReceiveCAN.h"
#include "fieldbus/USetAccess.h"
#include "fieldbus/USet_PDO_Access.h"
#include "fieldbus/USet_SDO_Client_Access.h"
#include "fieldbus/USet_SDO_Server_Access.h"
#include "fieldbus/UTransmitCAN.h"
#include "protocols/UIEC61850_Variables.h"
#include "protocols/UOPC_UA_Server_Access.h"
#include "protocols/US7_Protocol_Set_Access.h"
#include "protocols/USNMPManagerAccess.h"
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
        {FSetAccess, "Modbus Master Access"},
        {FModbus_TCP_Master_Set_Access, nullptr},
        {FReceiveCAN, "Receive CAN Frames Set Access"},
        {FTransmitCAN, "Transmit CAN Frames Set Access"},
        {FSet_PDO_Access, "Set PDO Access"},
        {FSet_SDO_Client_Access, "Set SDO Client Access"},
        {FSet_SDO_Server_Access, "Set SDO Server Access"},
        {FDMXDefVal, "DMX Default Value"},
        {FIEC61850_Variables, nullptr},
        {FTLS_Server_Known_Cert, nullptr},
        {FOPC_UA_Server_Access, nullptr},
        {FKNXAccess, nullptr},
        {FS7_Protocol_Set_Access, nullptr},
        {FSNMPManagerAccess, nullptr},
    };
    for (const auto& [w, caption] : windows) {
        ASSERT_NE(w, nullptr);
        EXPECT_FALSE(w->isVisible());
        if (caption) {
            EXPECT_EQ(w->Caption(), caption) << w->Form().name.toStdString();
        }
        EXPECT_EQ(w->Caption(), Language_List.value(w->Form().caption));
    }
    TFRorudizezFirmWare& main = *FRorudizezFirmWare;
    for (TLbButton* b : {main.Btn_Modbus_Set_Access, main.Btn_CAN_Rec_Frame, main.Btn_CAN_Send_Frame,
                         main.Btn_PDO_CANopen, main.Btn_SDO_Client_CANopen, main.Btn_SDO_Server_CANopen,
                         main.Btn_DMX_Default, main.Btn_TLS_List_Certificates, main.Btn_IEC61850_Access,
                         main.Btn_OPC_UA_Server_Access, main.Btn_KNX_Access, main.Btn_S7_Protocol_Access,
                         main.Btn_SNMP_Manager_Access}) {
        ASSERT_NE(b, nullptr);
        EXPECT_FALSE(b->isVisible());
    }
    EXPECT_EQ(main.Btn_DMX_Default->Caption(), "DMX Default Value");

    ASSERT_TRUE(platform::ForceFolders(dir.filePath("LANGUAGE")));
    ASSERT_TRUE(WriteAll(dir.filePath("LANGUAGE/Italiano.lng"),
                         "STR3300 = Frame CAN ricevuti\nSTR4007 = Valore\nSTR5115 = Abilita\nSTR3014 = Lettura\n"));
    Language_Folder = dir.filePath("LANGUAGE");
    Language_Name = "Italiano";
    Load_Language();
    main.Change_Language();
    EXPECT_EQ(FReceiveCAN->Caption(), "Frame CAN ricevuti");
    EXPECT_EQ(FDMXDefVal->ECG_DMX_Def_Val->GetCellEx(1, 0), "Valore");
    EXPECT_EQ(FTLS_Server_Known_Cert->ESG->Columns().GetItem(1)->Header(), "Abilita");
    EXPECT_EQ(FSetAccess->TS_Modbus_Read->Caption(), "Lettura");
}

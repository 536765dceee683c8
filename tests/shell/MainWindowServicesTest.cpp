// The main window's language change (which windows, in which order) and its
// BACnet type query.
#include "shell/UAbout.h"
#include "shell/UComon.h"
#include "shell/UNew_Project.h"
#include "shell/UOpenConf.h"
#include "shell/URorudizezFirmWare.h"
#include "shell/USoftOptions.h"
#include "support/TestSupport.h"

#include "configuration/UBoot.h"
#include "configuration/ULoRa_Set_Access.h"
#include "configuration/UParGen.h"
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
#include "mbus/UMeter_Bus_Form.h"
#include "mbus/UNewIDNode.h"
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
#include "protocols/UTopicTemplate.h"

#include "platform/Dialogs.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

using testsupport::WriteAll;

namespace {

class MainWindowServices : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Create_All_Windows(dir.path());
    }
    void TearDown() override
    {
        Destroy_All_Windows();
        FileName_ParGen.clear();
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(MainWindowServices, LanguageChangeRetextsTheWindowsInTheirOrder)
{
    struct Window
    {
        const char* name;
        platform::TForm* form;
    };
    // The fixed order of the language change; the scan window, its three
    // dialogs and the about box are not in it.
    const Window expected[] = {
        {"FRorudizezFirmWare", FRorudizezFirmWare},
        {"FNew_Project", FNew_Project},
        {"FOpenConf", FOpenConf},
        {"FSoftOptions", FSoftOptions},
        {"FBoot", FBoot},
        {"FParGen", FParGen},
        {"FLoRa_Set_Access", FLoRa_Set_Access},
        {"FBACnetAccess", FBACnetAccess},
        {"FImportEDEFile", FImportEDEFile},
        {"FBACnetSlaveSetAccess", FBACnetSlaveSetAccess},
        {"FBACnet_Eng_Unit", FBACnet_Eng_Unit},
        {"FMeter_Bus", FMeter_Bus},
        {"FNewIDNode", FNewIDNode},
        {"FSetAccess", FSetAccess},
        {"FModbus_TCP_Master_Set_Access", FModbus_TCP_Master_Set_Access},
        {"FReceiveCAN", FReceiveCAN},
        {"FTransmitCAN", FTransmitCAN},
        {"FSet_PDO_Access", FSet_PDO_Access},
        {"FSet_SDO_Client_Access", FSet_SDO_Client_Access},
        {"FSet_SDO_Server_Access", FSet_SDO_Server_Access},
        {"FDNet", FDNet},
        {"FDefOffset", FDefOffset},
        {"FDMXDefVal", FDMXDefVal},
        {"FEtherNetIP_Master_Access", FEtherNetIP_Master_Access},
        {"FEtherNEtIP_EDS", FEtherNEtIP_EDS},
        {"FReceiveJ1939", FReceiveJ1939},
        {"FTransmitJ1939", FTransmitJ1939},
        {"FKNXAccess", FKNXAccess},
        {"FReceiveNMEA", FReceiveNMEA},
        {"FTransmitNMEA", FTransmitNMEA},
        {"FIEC_61850_Access", FIEC_61850_Access},
        {"FProfinetFileName", FProfinetFileName},
        {"FTLS_Server_Known_Cert", FTLS_Server_Known_Cert},
        {"FIEC61850_Variables", FIEC61850_Variables},
        {"FMQTT_Set_Topic", FMQTT_Set_Topic},
        {"FTopicTemplate", FTopicTemplate},
        {"FOPC_UA_Client_Access", FOPC_UA_Client_Access},
        {"FOPC_UA_Add_Server", FOPC_UA_Add_Server},
        {"FOPC_UA_Scan_Server", FOPC_UA_Scan_Server},
        {"FOPC_UA_Server_Access", FOPC_UA_Server_Access},
        {"FS7_Protocol_Set_Access", FS7_Protocol_Set_Access},
        {"FSNMPManagerAccess", FSNMPManagerAccess},
        {"FSNMP_Trap_Access", FSNMP_Trap_Access},
    };
    const auto windows = FRorudizezFirmWare->Language_Windows();
    ASSERT_EQ(windows.size(), std::size(expected));
    for (size_t i = 0; i < windows.size(); ++i) {
        ASSERT_NE(expected[i].form, nullptr) << expected[i].name;
        EXPECT_EQ(windows[i].window, expected[i].form) << "call " << i + 1 << " should be " << expected[i].name;
    }
}

TEST_F(MainWindowServices, BACnetTypeFromTheGeneralParameters)
{
    struct Case
    {
        const char* file;   // nullptr: no file
        int type;
        bool errorBox;
        const char* why;
    };
    const Case cases[] = {
        {nullptr, 0, false, "no file"},
        {"<Par_Gen><BACnet_Type>1</BACnet_Type></Par_Gen>", 1, false, "MS/TP"},
        {"<Par_Gen><BACnet_Type> 0</BACnet_Type></Par_Gen>", 0, false, "IP, a leading blank"},
        {"<Par_Gen><BACnet_Type>7</BACnet_Type></Par_Gen>", 7, false, "another number is handed back as it is"},
        {"<Par_Gen><BACnet_Master_Type>1</BACnet_Master_Type></Par_Gen>", 0, false, "element missing"},
        {"<Par_Gen><BACnet_Type>one</BACnet_Type></Par_Gen>", 0, false, "not a number"},
        {"<Par_Gen><BACnet_Type></BACnet_Type></Par_Gen>", 0, false, "empty"},
        {"<Par_Gen><BACnet_Type>1</BACnet_Type>", 0, true, "not well-formed: reported, not taken for a type"},
    };
    FileName_ParGen = dir.filePath("ParGen.xml");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        QFile::remove(FileName_ParGen);
        if (c.file) {
            ASSERT_TRUE(WriteAll(FileName_ParGen, c.file));
        }
        platform::DialogScript script;
        EXPECT_EQ(FRorudizezFirmWare->Get_Type_BACnet(), c.type);
        ASSERT_EQ(script.Shown().size(), c.errorBox ? 1u : 0u);
        if (c.errorBox) {
            EXPECT_EQ(script.Shown()[0].kind, platform::MessageKind::Error);
        }
    }
}

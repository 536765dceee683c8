// The PROFINET GSDML: one realistic device byte for byte, the file parsed
// back (well-formed, unique identifiers, every reference resolved), bad
// parameters refused, and the file-name dialog and save dialog.
#include "protocols/UProfinetFileName.h"
#include "protocols/UProfinetXML.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "support/TestSupport.h"
#include "widgets/LbButton.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <map>
#include <set>
#include <string>

using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

// 100 bytes the controller reads, 20 it writes, station "rizova-gw-01".
// Worked out line by line from the file's description, not from the writer.
const QByteArray kGolden =
    "\xEF\xBB\xBF"
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<!-- A fieldbus integration example. -->\r\n"
    "<ISO15745Profile xmlns=\"http://www.profibus.com/GSDML/2003/11/DeviceProfile\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:schemaLocation=\"http://www.profibus.com/GSDML/2003/11/DeviceProfile ..\\xsd\\GSDML-DeviceProfile-v2.31.xsd\">\r\n"
    "\t<ProfileHeader>\r\n"
    "\t\t<ProfileIdentification>PROFINET Device Profile</ProfileIdentification>\r\n"
    "\t\t<ProfileRevision>1.00</ProfileRevision>\r\n"
    "\t\t<ProfileName>Device Profile for PROFINET Devices</ProfileName>\r\n"
    "\t\t<ProfileSource>PROFIBUS Nutzerorganisation e. V. (PNO)</ProfileSource>\r\n"
    "\t\t<ProfileClassID>Device</ProfileClassID>\r\n"
    "\t\t<ISO15745Reference>\r\n"
    "\t\t\t<ISO15745Part>4</ISO15745Part>\r\n"
    "\t\t\t<ISO15745Edition>1</ISO15745Edition>\r\n"
    "\t\t\t<ProfileTechnology>GSDML</ProfileTechnology>\r\n"
    "\t\t</ISO15745Reference>\r\n"
    "\t</ProfileHeader>\r\n"
    "\t<ProfileBody>\r\n"
    "\t\t<DeviceIdentity VendorID=\"0x5A3C\" DeviceID=\"0x0C4E\">\r\n"
    "\t\t\t<InfoText TextId=\"IDT_INFO_Device\"/>\r\n"
    "\t\t\t<VendorName Value=\"Rizova\"/>\r\n"
    "\t\t</DeviceIdentity>\r\n"
    "\t\t<DeviceFunction>\r\n"
    "\t\t\t<Family MainFamily=\"Gateway\" ProductFamily=\"VUD7U46\"/>\r\n"
    "\t\t</DeviceFunction>\r\n"
    "\t\t<ApplicationProcess>\r\n"
    "\t\t\t<DeviceAccessPointList>\r\n"
    "\t\t\t\t<DeviceAccessPointItem PNIO_Version=\"V2.3\" RequiredSchemaVersion=\"V2.25\" ID=\"IDD_1\" PhysicalSlots=\"0..4\" ModuleIdentNumber=\"0x00000001\" MinDeviceInterval=\"64\" ImplementationType=\"rizova-gw-01\" DNS_CompatibleName=\"rizova-gw-01\" FixedInSlots=\"0\" ObjectUUID_LocalIndex=\"1\" MultipleWriteSupported=\"true\" MaxSupportedRecordSize=\"8192\" ParameterizationSpeedupSupported=\"true\" PowerOnToCommReady=\"350\" DeviceAccessSupported=\"true\" SharedDeviceSupported=\"true\" CheckDeviceID_Allowed=\"false\" NameOfStationNotTransferable=\"true\">\r\n"
    "\t\t\t\t\t<ModuleInfo>\r\n"
    "\t\t\t\t\t\t<Name TextId=\"IDT_NAME_DAP1\"/>\r\n"
    "\t\t\t\t\t\t<InfoText TextId=\"IDT_INFO_DAP1\"/>\r\n"
    "\t\t\t\t\t\t<VendorName Value=\"Rizova\"/>\r\n"
    "\t\t\t\t\t\t<OrderNumber Value=\"VUD7U46\"/>\r\n"
    "\t\t\t\t\t</ModuleInfo>\r\n"
    "\t\t\t\t\t<SubslotList>\r\n"
    "\t\t\t\t\t\t<SubslotItem SubslotNumber=\"0\" TextId=\"IDT_SUBSLOT_1\"/>\r\n"
    "\t\t\t\t\t\t<SubslotItem SubslotNumber=\"32768\" TextId=\"IDT_SUBSLOT_Interface\"/>\r\n"
    "\t\t\t\t\t\t<SubslotItem SubslotNumber=\"32769\" TextId=\"IDT_SUBSLOT_Port1\"/>\r\n"
    "\t\t\t\t\t\t<SubslotItem SubslotNumber=\"32770\" TextId=\"IDT_SUBSLOT_Port2\"/>\r\n"
    "\t\t\t\t\t</SubslotList>\r\n"
    "\t\t\t\t\t<IOConfigData MaxInputLength=\"1440\" MaxOutputLength=\"1440\" MaxDataLength=\"2880\"/>\r\n"
    "\t\t\t\t\t<UseableModules>\r\n"
    "\t\t\t\t\t\t<ModuleItemRef ModuleItemTarget=\"IDM_1\" FixedInSlots=\"1\"/>\r\n"
    "\t\t\t\t\t</UseableModules>\r\n"
    "\t\t\t\t\t<VirtualSubmoduleList>\r\n"
    "\t\t\t\t\t\t<VirtualSubmoduleItem ID=\"IDS_V1\" SubmoduleIdentNumber=\"0x00000000\">\r\n"
    "\t\t\t\t\t\t\t<IOData IOPS_Length=\"1\" IOCS_Length=\"1\"/>\r\n"
    "\t\t\t\t\t\t\t<ModuleInfo>\r\n"
    "\t\t\t\t\t\t\t\t<Name TextId=\"IDT_NAME_VS1\"/>\r\n"
    "\t\t\t\t\t\t\t\t<InfoText TextId=\"IDT_INFO_VS1\"/>\r\n"
    "\t\t\t\t\t\t\t</ModuleInfo>\r\n"
    "\t\t\t\t\t\t</VirtualSubmoduleItem>\r\n"
    "\t\t\t\t\t</VirtualSubmoduleList>\r\n"
    "\t\t\t\t\t<SystemDefinedSubmoduleList>\r\n"
    "\t\t\t\t\t\t<InterfaceSubmoduleItem ID=\"IDS_I\" SubmoduleIdentNumber=\"0x00000001\" SubslotNumber=\"32768\" TextId=\"IDT_NAME_IS\" SupportedRT_Classes=\"RT_CLASS_1\" SupportedProtocols=\"SNMP;LLDP\" SupportedMibs=\"MIB2\">\r\n"
    "\t\t\t\t\t\t\t<ApplicationRelations>\r\n"
    "\t\t\t\t\t\t\t\t<TimingProperties SendClock=\"32\" ReductionRatio=\"1 2 4 8 16 32 64 128 256 512\"/>\r\n"
    "\t\t\t\t\t\t\t</ApplicationRelations>\r\n"
    "\t\t\t\t\t\t</InterfaceSubmoduleItem>\r\n"
    "\t\t\t\t\t\t<PortSubmoduleItem ID=\"IDS_P1\" SubmoduleIdentNumber=\"0x00000002\" SubslotNumber=\"32769\" TextId=\"IDT_NAME_PS1\" MaxPortRxDelay=\"350\" MaxPortTxDelay=\"160\"/>\r\n"
    "\t\t\t\t\t\t<PortSubmoduleItem ID=\"IDS_P2\" SubmoduleIdentNumber=\"0x00000002\" SubslotNumber=\"32770\" TextId=\"IDT_NAME_PS2\" MaxPortRxDelay=\"350\" MaxPortTxDelay=\"160\"/>\r\n"
    "\t\t\t\t\t</SystemDefinedSubmoduleList>\r\n"
    "\t\t\t\t\t<!-- This element tells the engineering tool that the DAP supports fieldbus integration (slot clusters). -->\r\n"
    "\t\t\t\t\t<!--<FieldbusIntegrationSlots MaxSupported=\"127\" Range=\"100..9999\"/>-->\r\n"
    "\t\t\t\t</DeviceAccessPointItem>\r\n"
    "\t\t\t</DeviceAccessPointList>\r\n"
    "\t\t\t<ModuleList>\r\n"
    "\t\t\t\t<!-- The \"normal\" module carrying the FAP. -->\r\n"
    "\t\t\t\t<ModuleItem ID=\"IDM_1\" ModuleIdentNumber=\"0x00000001\">\r\n"
    "\t\t\t\t\t<ModuleInfo>\r\n"
    "\t\t\t\t\t\t<Name TextId=\"IDT_NAME_M1\"/>\r\n"
    "\t\t\t\t\t\t<InfoText TextId=\"IDT_INFO_M1\"/>\r\n"
    "\t\t\t\t\t\t<OrderNumber Value=\"12345-0040-M\"/>\r\n"
    "\t\t\t\t\t</ModuleInfo>\r\n"
    "\t\t\t\t\t<VirtualSubmoduleList>\r\n"
    "\t\t\t\t\t\t<VirtualSubmoduleItem ID=\"IDS_1\" SubmoduleIdentNumber=\"0x00000001\">\r\n"
    "\t\t\t\t\t\t\t<IOData IOPS_Length=\"1\" IOCS_Length=\"1\">\r\n"
    "\t\t\t\t\t\t\t\t<Input><DataItem DataType=\"OctetString\" Length=\"100\" TextId=\"IDT_Input_1\"/></Input>\r\n"
    "\t\t\t\t\t\t\t\t<Output><DataItem DataType=\"OctetString\" Length=\"20\" TextId=\"IDT_Output_1\"/></Output>\r\n"
    "\t\t\t\t\t\t\t</IOData>\r\n"
    "\t\t\t\t\t\t\t<RecordDataList>\r\n"
    "\t\t\t\t\t\t\t\t<ParameterRecordDataItem Index=\"128\" Length=\"2\">\r\n"
    "\t\t\t\t\t\t\t\t\t<Name TextId=\"IDT_NAME_M1_IDT_REF_channel\"/>\r\n"
    "\t\t\t\t\t\t\t\t\t<Const ByteOffset=\"0\" Data=\"0x00,0x00\"/>\r\n"
    "\t\t\t\t\t\t\t\t\t<Ref TextId=\"IDT_REF_reaction_to_cpu_stop\" Visible=\"true\" DataType=\"BitArea\" ByteOffset=\"0\" BitOffset=\"0\" BitLength=\"2\" DefaultValue=\"2\" AllowedValues=\"0..2\" ValueItemTarget=\"IDV_reaction_to_cpu_stop\" ID=\"IDT_REF_reaction_to_cpu_stop\"/>\r\n"
    "\t\t\t\t\t\t\t\t\t<MenuList>\r\n"
    "\t\t\t\t\t\t\t\t\t\t<MenuItem ID=\"IDT_NAME_M1_IDT_REF_channel\">\r\n"
    "\t\t\t\t\t\t\t\t\t\t\t<Name TextId=\"IDT_NAME_M1_IDT_REF_channel\"/>\r\n"
    "\t\t\t\t\t\t\t\t\t\t\t<MenuRef MenuTarget=\"IDT_NAME_M1_Base_Parameters\"/>\r\n"
    "\t\t\t\t\t\t\t\t\t\t</MenuItem>\r\n"
    "\t\t\t\t\t\t\t\t\t\t<MenuItem ID=\"IDT_NAME_M1_Base_Parameters\">\r\n"
    "\t\t\t\t\t\t\t\t\t\t\t<Name TextId=\"IDT_NAME_M1_Base_Parameters\"/>\r\n"
    "\t\t\t\t\t\t\t\t\t\t\t<ParameterRef ParameterTarget=\"IDT_REF_reaction_to_cpu_stop\"/>\r\n"
    "\t\t\t\t\t\t\t\t\t\t</MenuItem>\r\n"
    "\t\t\t\t\t\t\t\t\t</MenuList>\r\n"
    "\t\t\t\t\t\t\t\t</ParameterRecordDataItem>\r\n"
    "\t\t\t\t\t\t\t</RecordDataList>\r\n"
    "\t\t\t\t\t\t\t<ModuleInfo>\r\n"
    "\t\t\t\t\t\t\t\t<Name TextId=\"IDT_NAME_M1\"/>\r\n"
    "\t\t\t\t\t\t\t\t<InfoText TextId=\"IDT_INFO_M1\"/>\r\n"
    "\t\t\t\t\t\t\t</ModuleInfo>\r\n"
    "\t\t\t\t\t\t</VirtualSubmoduleItem>\r\n"
    "\t\t\t\t\t</VirtualSubmoduleList>\r\n"
    "\t\t\t\t</ModuleItem>\r\n"
    "\t\t\t</ModuleList>\r\n"
    "\t\t\t<ValueList>\r\n"
    "\t\t\t\t<ValueItem ID=\"IDV_reaction_to_cpu_stop\">\r\n"
    "\t\t\t\t\t<Assignments>\r\n"
    "\t\t\t\t\t\t<Assign TextId=\"IDT_ASSIGN_do_set_substitude_values\" Content=\"0\"/>\r\n"
    "\t\t\t\t\t\t<Assign TextId=\"IDT_ASSIGN_do_values_will_hold\" Content=\"1\"/>\r\n"
    "\t\t\t\t\t\t<Assign TextId=\"IDT_ASSIGN_do_continue_counting\" Content=\"2\"/>\r\n"
    "\t\t\t\t\t</Assignments>\r\n"
    "\t\t\t\t</ValueItem>\r\n"
    "\t\t\t</ValueList>\r\n"
    "\t\t\t<CategoryList>\r\n"
    "\t\t\t\t<CategoryItem ID=\"IDC_DI\" TextId=\"IDT_CATEGORY_DI\">\r\n"
    "\t\t\t\t\t<InfoText TextId=\"IDT_INFO_DI\"/>\r\n"
    "\t\t\t\t</CategoryItem>\r\n"
    "\t\t\t\t<CategoryItem ID=\"IDC_DO\" TextId=\"IDT_CATEGORY_DO\">\r\n"
    "\t\t\t\t\t<InfoText TextId=\"IDT_INFO_DO\"/>\r\n"
    "\t\t\t\t</CategoryItem>\r\n"
    "\t\t\t</CategoryList>\r\n"
    "\t\t\t<ExternalTextList>\r\n"
    "\t\t\t\t<PrimaryLanguage>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_INFO_Device\" Value=\"Rizova Gateways\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_NAME_DAP1\" Value=\"OPCUASERVERDevice\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_INFO_DAP1\" Value=\"Profinet OPCUASERVER Adapter\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_SUBSLOT_1\" Value=\"Subslot 1\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_SUBSLOT_Interface\" Value=\"Interface\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_SUBSLOT_Port1\" Value=\"Port 1\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_SUBSLOT_Port2\" Value=\"Port 2\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_RECORD_NAME_Head\" Value=\"Parameters of head module\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_REF_Power\" Value=\"Percent power\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_NAME_VS1\" Value=\"Submodule V1\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_INFO_VS1\" Value=\"Description of submodule V1\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_NAME_IS\" Value=\"I\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_NAME_PS1\" Value=\"P1\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_NAME_PS2\" Value=\"P2\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_NAME_M1\" Value=\"Module\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_INFO_M1\" Value=\"device OPCUASERVER\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_NAME_FAP\" Value=\"FAP for OPCUASERVER\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_INFO_FAP\" Value=\"Description of FAP for OPCUASERVER\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_RECORD_NAME_SlotCluster\" Value=\"Parameters of the FAP\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_REF_SlotClusterBegin\" Value=\"Beginning of slot cluster\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_NAME_M_PB1\" Value=\"OPCUASERVER Device \"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_INFO_M_PB1\" Value=\"Description of OPCUASERVER\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_NAME_S_PB1\" Value=\"Module of a OPCUASERVER\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_INFO_S_PB1\" Value=\"Description of module of a OPCUASERVER\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_PB_Input\" Value=\"Digital input OPCUASERVER\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_PB_InputBit0\" Value=\"Digital input bit OPCUASERVER\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_NAME_S1\" Value=\"Submodule 1\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_INFO_S1\" Value=\"Description of submodule 1\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_Input_1\" Value=\"Input byte\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_Output_1\" Value=\"Output word\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_CATEGORY_DI\" Value=\"Digital Input\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_INFO_DI\" Value=\"Description of digital input\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_CATEGORY_DO\" Value=\"Digital output\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_INFO_DO\" Value=\"Description of digital output\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_NAME_M1_IDT_REF_channel\" Value=\"Canale x\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_REF_reaction_to_cpu_stop\" Value=\"Reaction to CPU STOP\"/>\r\n"
    "\t\t\t\t\t<Text TextId=\"IDT_NAME_M1_Base_Parameters\" Value=\"Base Parameters\"/>\r\n"
    "\t\t\t\t\t<Text Value=\"Output substitute value\" TextId=\"IDT_ASSIGN_do_set_substitude_values\"/>\r\n"
    "\t\t\t\t\t<Text Value=\"Keep last value\" TextId=\"IDT_ASSIGN_do_values_will_hold\"/>\r\n"
    "\t\t\t\t\t<Text Value=\"Continue operation\" TextId=\"IDT_ASSIGN_do_continue_counting\"/>\r\n"
    "\t\t\t\t</PrimaryLanguage>\r\n"
    "\t\t\t</ExternalTextList>\r\n"
    "\t\t</ApplicationProcess>\r\n"
    "\t</ProfileBody>\r\n"
    "</ISO15745Profile>\r\n";

QByteArray ParGen(const QByteArray& in, const QByteArray& out, const QByteArray& station)
{
    return "<Par_Gen>\n\t<PROFINET_NB_IN>" + in + "</PROFINET_NB_IN>\n\t<PROFINET_NB_OUT>" + out +
           "</PROFINET_NB_OUT>\n\t<PROFINET_NAME_STA>" + station + "</PROFINET_NAME_STA>\n</Par_Gen>\n";
}

// What an engineering tool needs of the file: its encoding and line ends,
// well-formed XML, identifiers given once and every reference resolved.
// Empty when the file holds together.
QStringList Structure_Problems(const QByteArray& bytes, pugi::xml_document* parsed = nullptr)
{
    QStringList p;
    if (!bytes.startsWith("\xEF\xBB\xBF"))
        p << "no byte-order mark";
    if (QByteArray(bytes).replace("\r\n", "").contains('\n'))
        p << "a line break other than CR LF";
    pugi::xml_document local;
    pugi::xml_document& doc = parsed ? *parsed : local;
    const pugi::xml_parse_result r =
        doc.load_buffer(bytes.constData(), bytes.size(), pugi::parse_default | pugi::parse_declaration);
    if (!r) {
        p << QStringLiteral("not well-formed: %1 at %2").arg(r.description()).arg(r.offset);
        return p;
    }
    std::map<std::string, int> ids;
    std::map<std::string, std::set<std::string>> idsOf;   // element name -> its identifiers
    std::map<std::string, int> texts;
    struct Walker : pugi::xml_tree_walker
    {
        std::function<void(pugi::xml_node&)> visit;
        bool for_each(pugi::xml_node& n) override
        {
            visit(n);
            return true;
        }
    } walker;
    walker.visit = [&](pugi::xml_node& n) {
        if (const pugi::xml_attribute id = n.attribute("ID")) {
            ++ids[id.value()];
            idsOf[n.name()].insert(id.value());
        }
        if (std::string(n.name()) == "Text" && std::string(n.parent().name()) == "PrimaryLanguage")
            ++texts[n.attribute("TextId").value()];
    };
    doc.traverse(walker);
    for (const auto& [id, n] : ids)
        if (n > 1)
            p << QStringLiteral("identifier %1 given %2 times").arg(QString::fromStdString(id)).arg(n);
    for (const auto& [id, n] : texts)
        if (n > 1)
            p << QStringLiteral("text %1 given %2 times").arg(QString::fromStdString(id)).arg(n);
    const struct
    {
        const char *attribute, *target;
    } references[] = {{"ModuleItemTarget", "ModuleItem"},
                      {"ValueItemTarget", "ValueItem"},
                      {"MenuTarget", "MenuItem"},
                      {"ParameterTarget", "Ref"}};
    walker.visit = [&](pugi::xml_node& n) {
        for (const auto& ref : references)
            if (const pugi::xml_attribute a = n.attribute(ref.attribute); a && !idsOf[ref.target].count(a.value()))
                p << QStringLiteral("%1 %2 names no %3").arg(ref.attribute, a.value(), ref.target);
        const pugi::xml_attribute text = n.attribute("TextId");
        if (text && std::string(n.name()) != "Text" && !texts.count(text.value()))
            p << QStringLiteral("TextId %1 has no text").arg(text.value());
    };
    doc.traverse(walker);
    const pugi::xml_node root = doc.child("ISO15745Profile");
    if (std::string(root.attribute("xmlns").value()) != "http://www.profibus.com/GSDML/2003/11/DeviceProfile")
        p << "not in the GSDML namespace";
    const pugi::xml_node dap = doc.select_node("//DeviceAccessPointItem").node();
    const pugi::xml_node config = dap.child("IOConfigData");
    const pugi::xml_node io = doc.select_node("//ModuleItem/VirtualSubmoduleList/VirtualSubmoduleItem/IOData").node();
    const int input = io.child("Input").child("DataItem").attribute("Length").as_int(-1);
    const int output = io.child("Output").child("DataItem").attribute("Length").as_int(-1);
    if (input < 0 || input > config.attribute("MaxInputLength").as_int())
        p << QStringLiteral("input length %1 outside the device's").arg(input);
    if (output < 0 || output > config.attribute("MaxOutputLength").as_int())
        p << QStringLiteral("output length %1 outside the device's").arg(output);
    return p;
}

class GsdmlWriter : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString name = "GSDML-V2.25-Rizova-_gw-20240305.xml";
    QString target = dir.filePath(name);

    void SetUp() override
    {
        Load_English_Table();
        Project_Folder = dir.path();
        FileName_ParGen = dir.filePath("ParGen.xml");
    }
    void TearDown() override
    {
        Project_Folder.clear();
        FileName_ParGen.clear();
    }
    // The save step with the proposed name taken as it is; the file read back.
    QByteArray Save(const QByteArray& parGen)
    {
        QFile::remove(FileName_ParGen);
        if (!parGen.isNull()) {
            EXPECT_TRUE(WriteAll(FileName_ParGen, parGen));
        }
        QFile::remove(target);
        platform::DialogScript script;
        script.AnswerFile(target);
        Save_GSDML_File(name);
        EXPECT_EQ(script.Shown().size(), 1u) << parGen.constData();
        return ReadAll(target);
    }
};

} // namespace

TEST_F(GsdmlWriter, RealisticDeviceByteForByte)
{
    const QByteArray written = Save(ParGen("20", "100", "rizova-gw-01"));
    EXPECT_EQ(written, kGolden);
    EXPECT_EQ(Structure_Problems(written), QStringList());
}

TEST(GsdmlStructureCheck, CatchesBrokenFiles)
{
    auto broken = [](const QByteArray& from, const QByteArray& to) {
        QByteArray b = kGolden;
        EXPECT_TRUE(b.contains(from)) << from.constData();
        return b.replace(from, to);
    };
    const struct
    {
        QByteArray bytes;
        const char* expected;
    } cases[] = {
        {broken("ID=\"IDS_1\"", "ID=\"IDM_1\""), "identifier IDM_1 given 2 times"},
        {broken("ImplementationType=\"rizova-gw-01\"", "ImplementationType=\"a\"b\""), "not well-formed"},
        {broken("ModuleItemTarget=\"IDM_1\"", "ModuleItemTarget=\"IDM_2\""), "ModuleItemTarget IDM_2 names no"},
        {broken("TextId=\"IDT_NAME_PS2\" Max", "TextId=\"IDT_NAME_PS3\" Max"), "TextId IDT_NAME_PS3 has no text"},
        {broken("Length=\"100\"", "Length=\"1441\""), "input length 1441"},
        {kGolden.mid(3), "no byte-order mark"},
        {broken("</ProfileHeader>\r\n", "</ProfileHeader>\n"), "other than CR LF"},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(Structure_Problems(c.bytes).filter(c.expected).isEmpty())
            << c.expected << " not in: " << Structure_Problems(c.bytes).join(" | ").toStdString();
}

TEST_F(GsdmlWriter, ParametersFromTheConfiguration)
{
    const struct
    {
        QByteArray parGen;        // null: no "ParGen.xml"
        int input, output;        // the DataItem lengths
        std::string station;      // as read back from the parsed file
        const char* why;
    } cases[] = {
        {QByteArray(), 1438, 1438, "SERIAL", "no ParGen.xml: the defaults, the file still written"},
        {"<Par_Gen/>", 1438, 1438, "SERIAL", "no elements"},
        {ParGen("x", "", "   "), 1438, 1438, "SERIAL", "no numbers, a blank name"},
        {ParGen("0", "0", "a"), 0, 0, "a", "no data either way"},
        {ParGen("$14", "0x64", " gw "), 100, 20, " gw ", "hexadecimal; blanks around the name kept"},
        {ParGen("1438", "1438", "x"), 1438, 1438, "x", "the largest"},
        {ParGen("1", "2", "A&amp;B &lt;C&gt; \"q\" 'r'"), 2, 1, "A&B <C> \"q\" 'r'", "markup in the name escaped"},
        {ParGen("1", "2", "Stazione \xC3\xA8 \xE2\x82\xAC"), 2, 1, "Stazione \xC3\xA8 \xE2\x82\xAC", "UTF-8 kept"},
    };
    for (const auto& c : cases) {
        pugi::xml_document doc;
        const QByteArray written = Save(c.parGen);
        EXPECT_EQ(Structure_Problems(written, &doc), QStringList()) << c.why;
        const pugi::xml_node dap = doc.select_node("//DeviceAccessPointItem").node();
        EXPECT_EQ(dap.attribute("ImplementationType").value(), c.station) << c.why;
        EXPECT_EQ(dap.attribute("DNS_CompatibleName").value(), c.station) << c.why;
        EXPECT_EQ(doc.select_node("//Input/DataItem").node().attribute("Length").as_int(), c.input) << c.why;
        EXPECT_EQ(doc.select_node("//Output/DataItem").node().attribute("Length").as_int(), c.output) << c.why;
        // Whatever the configuration, the device's own limits stay.
        const pugi::xml_node config = dap.child("IOConfigData");
        EXPECT_STREQ(config.attribute("MaxDataLength").value(), "2880") << c.why;
    }
}

TEST_F(GsdmlWriter, BadParametersAreRefusedAndNothingIsWritten)
{
    const struct
    {
        QByteArray parGen;
        const char* message;   // part of it
    } cases[] = {
        {ParGen("1439", "20", "a"), "Error PROFINET!! Num Byte In must be between 0 and 1438"},
        {ParGen("-1", "20", "a"), "Error PROFINET!! Num Byte In must be between 0 and 1438"},
        {ParGen("20", "5000", "a"), "Error PROFINET!! Num Byte Out must be between 0 and 1438"},
        {ParGen("20", "20", "a&#1;b"), "control character (code 1)"},
        {"<Par_Gen><PROFINET_NB_IN>2</Par_Gen>", "ParGen.xml"},
    };
    ASSERT_TRUE(WriteAll(target, "keep"));
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteAll(FileName_ParGen, c.parGen));
        platform::DialogScript script;
        script.AnswerFile(target);
        script.AnswerMessage(platform::MessageAnswer::Yes);
        Save_GSDML_File(name);
        ASSERT_EQ(script.Shown().size(), 3u) << c.message;
        EXPECT_EQ(script.Shown()[2].kind, platform::MessageKind::Error);
        EXPECT_TRUE(script.Shown()[2].text.contains(c.message)) << script.Shown()[2].text.toStdString();
        EXPECT_EQ(ReadAll(target), "keep") << c.message;
    }
}

TEST(ProfinetFileName, NameFromItsParts)
{
    const QString date = Profinet_File_Date_Part(QDate(2024, 3, 5));
    EXPECT_EQ(date, "-20240305.xml");
    EXPECT_EQ(Profinet_File_Date_Part(QDate(2025, 12, 31)), "-20251231.xml");
    const struct
    {
        const char *user, *name;
    } cases[] = {
        {"abc", "GSDML-V2.25-Rizova-_abc-20240305.xml"},
        {"_abc", "GSDML-V2.25-Rizova-_abc-20240305.xml"},   // the "_" is not doubled
        {"", "GSDML-V2.25-Rizova--20240305.xml"},           // two dashes in a row
        {"   ", "GSDML-V2.25-Rizova--20240305.xml"},
        {" a b ", "GSDML-V2.25-Rizova-_ a b -20240305.xml"},   // untrimmed
    };
    for (const auto& c : cases)
        EXPECT_EQ(Profinet_File_Name(Profinet_File_Fixed_Part, c.user, date), c.name) << c.user;
    for (const char* bad : {"../x", "a/b", "a\\b", "c:x", "a*", "a?", "a\"b", "<a>", "a|b", "a\tb"})
        EXPECT_FALSE(Profinet_User_Part_Error(bad).isEmpty()) << bad;
    for (const char* good : {"abc", "_gw.01", "..", "a-b", "\xC3\xA8"})
        EXPECT_TRUE(Profinet_User_Part_Error(QString::fromUtf8(good)).isEmpty()) << good;
}

TEST(ProfinetFileName, DialogClosesWithTheNameOrRefusesAPath)
{
    Load_English_Table();
    TFProfinetFileName form;
    EXPECT_EQ(form.Caption(), "PROFINET XML File Name");
    EXPECT_EQ(form.L_SW_Desc->Caption(), "Create the PROFINET XML GSD File");
    EXPECT_EQ(form.L_XML_Fix1->Caption(), "GSDML-V2.25-Rizova-");
    EXPECT_EQ(form.L_XML_Fix2->Caption(), Profinet_File_Date_Part(QDate::currentDate()));
    form.Set_File_Date(QDate(2024, 3, 5));

    // A user part with a folder in it: the error box, the dialog stays open.
    form.E_XML_User->SetText("../../etc/x");
    {
        platform::DialogScript script;
        form.Btn_OK_Click();
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].kind, platform::MessageKind::Error);
        EXPECT_EQ(form.ModalResult(), platform::mrNone);
        EXPECT_TRUE(form.Name_File_XML.isEmpty());
    }

    platform::DialogScript script;
    script.AnswerForm([](QWidget& w) {
        auto& f = static_cast<TFProfinetFileName&>(w);
        f.E_XML_User->SetText("abc");
        testsupport::Click(f.Btn_OK);
    });
    EXPECT_EQ(form.ShowModal(), platform::mrOk);
    EXPECT_EQ(form.Name_File_XML, "GSDML-V2.25-Rizova-_abc-20240305.xml");
    EXPECT_EQ(script.Unanswered(), 0);
}

TEST_F(GsdmlWriter, SaveDialogNameFolderAndOverwrite)
{
    ASSERT_TRUE(WriteAll(FileName_ParGen, ParGen("20", "100", "rizova-gw-01")));
    // The dialog proposes the made name in the configuration's folder.
    {
        platform::DialogScript script;
        script.AnswerFile(QString());   // cancelled: nothing written
        Save_GSDML_File(name);
        ASSERT_EQ(script.Shown().size(), 1u);
        const platform::FileDialogRequest& r = script.Shown()[0].request;
        EXPECT_EQ(script.Shown()[0].type, platform::ShownDialog::Type::SaveFile);
        EXPECT_EQ(r.initialFolder, dir.path());
        EXPECT_EQ(r.fileName, name);
        EXPECT_EQ(r.filter, "PROFINET XML (*.xml)");
        EXPECT_FALSE(QFile::exists(target));
    }
    // Another name in another folder: written under the name the user typed
    // there, ".xml" added when missing.
    ASSERT_TRUE(QDir(dir.path()).mkdir("other"));
    const struct
    {
        const char *chosen, *written;
    } names[] = {{"other/mine", "other/mine.xml"}, {"other/Dev.XML", "other/Dev.XML"}};
    for (const auto& n : names) {
        platform::DialogScript script;
        script.AnswerFile(dir.filePath(n.chosen));
        Save_GSDML_File(name);
        EXPECT_EQ(ReadAll(dir.filePath(n.written)), kGolden) << n.chosen;
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("other/" + name)));
    EXPECT_FALSE(QFile::exists(target));

    // An existing file: the question 4808; No keeps it, Yes replaces it.
    ASSERT_TRUE(WriteAll(target, "keep"));
    for (const auto answer : {platform::MessageAnswer::No, platform::MessageAnswer::Yes}) {
        platform::DialogScript script;
        script.AnswerFile(target);
        script.AnswerMessage(answer);
        Save_GSDML_File(name);
        ASSERT_EQ(script.Shown().size(), 2u);
        EXPECT_EQ(script.Shown()[1].text, "File already exists! Do you want to overwrite the file?");
        EXPECT_EQ(script.Shown()[1].buttons, platform::MessageButtons::YesNo);
        EXPECT_EQ(ReadAll(target), answer == platform::MessageAnswer::No ? QByteArray("keep") : kGolden);
    }

    // A name that is a path is refused before any dialog.
    for (const char* bad : {"../x.xml", "a/b.xml", "a\\b.xml", "", "  "}) {
        platform::DialogScript script;
        script.AnswerFile(target);
        Save_GSDML_File(bad);
        ASSERT_EQ(script.Shown().size(), 1u) << bad;
        EXPECT_EQ(script.Shown()[0].kind, platform::MessageKind::Error) << bad;
        EXPECT_EQ(script.AnswersLeft(), 1) << bad;
    }
}

// PROFINET_SCREENSHOT_DIR=<dir> saves the file-name dialog, to be looked at.
TEST(ProfinetFileName, Screenshot)
{
    const QString out = qEnvironmentVariable("PROFINET_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "set PROFINET_SCREENSHOT_DIR to save the dialog";
    QDir().mkpath(out);
    Load_English_Table();
    SW_Code = "DIZ5U15";
    TFProfinetFileName form;
    form.Set_File_Date(QDate(2024, 3, 5));
    form.E_XML_User->SetText("gateway_01");
    form.Show();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(form.grab().save(QDir(out).filePath("profinet_file_name.png")));
    form.Hide();
}

#include "protocols/UProfinetXML.h"

#include "rules/UText_File_Writer.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "platform/XmlDocument.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include <pugixml.hpp>

#include <sstream>
#include <tuple>
#include <utility>

int GSDML_Byte_In = GSDML_Max_Length;
int GSDML_Byte_Out = GSDML_Max_Length;
QString GSDML_Name_Station = QStringLiteral("SERIAL");

namespace {

using Attributes = std::initializer_list<std::pair<const char*, QString>>;

pugi::xml_node Add(pugi::xml_node parent, const char* name, Attributes attributes = {})
{
    pugi::xml_node node = parent.append_child(name);
    for (const auto& [key, value] : attributes)
        node.append_attribute(key).set_value(value.toUtf8().constData());
    return node;
}

void Add_Text(pugi::xml_node parent, const char* name, const char* text)
{
    parent.append_child(name).text().set(text);
}

void Add_Comment(pugi::xml_node parent, const std::string& text)
{
    parent.append_child(pugi::node_comment).set_value(text.c_str());
}

// One node as pugixml writes it, on one line, escaped as XML asks.
std::string Raw(const pugi::xml_node& node)
{
    std::ostringstream out;
    node.print(out, "", pugi::format_raw);
    return out.str();
}

// The whole file. Attributes keep the order in which they are added.
void Build_Document(pugi::xml_document& doc, int byteIn, int byteOut, const QString& station)
{
    const QString ns = QStringLiteral("http://www.profibus.com/GSDML/2003/11/DeviceProfile");
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("UTF-8");
    Add_Comment(doc, " A fieldbus integration example. ");
    pugi::xml_node root = Add(doc, "ISO15745Profile",
                              {{"xmlns", ns},
                               {"xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance"},
                               {"xsi:schemaLocation", ns + " ..\\xsd\\GSDML-DeviceProfile-v2.31.xsd"}});

    pugi::xml_node header = Add(root, "ProfileHeader");
    Add_Text(header, "ProfileIdentification", "PROFINET Device Profile");
    Add_Text(header, "ProfileRevision", "1.00");
    Add_Text(header, "ProfileName", "Device Profile for PROFINET Devices");
    Add_Text(header, "ProfileSource", "PROFIBUS Nutzerorganisation e. V. (PNO)");
    Add_Text(header, "ProfileClassID", "Device");
    pugi::xml_node reference = Add(header, "ISO15745Reference");
    Add_Text(reference, "ISO15745Part", "4");
    Add_Text(reference, "ISO15745Edition", "1");
    Add_Text(reference, "ProfileTechnology", "GSDML");

    pugi::xml_node body = Add(root, "ProfileBody");
    pugi::xml_node identity = Add(body, "DeviceIdentity", {{"VendorID", "0x5A3C"}, {"DeviceID", "0x0C4E"}});
    Add(identity, "InfoText", {{"TextId", "IDT_INFO_Device"}});
    Add(identity, "VendorName", {{"Value", "Rizova"}});
    Add(Add(body, "DeviceFunction"), "Family", {{"MainFamily", "Gateway"}, {"ProductFamily", "VUD7U46"}});

    pugi::xml_node process = Add(body, "ApplicationProcess");
    pugi::xml_node dap = Add(Add(process, "DeviceAccessPointList"), "DeviceAccessPointItem",
                             {{"PNIO_Version", "V2.3"},
                              {"RequiredSchemaVersion", "V2.25"},
                              {"ID", "IDD_1"},
                              {"PhysicalSlots", "0..4"},
                              {"ModuleIdentNumber", "0x00000001"},
                              {"MinDeviceInterval", "64"},
                              {"ImplementationType", station},
                              {"DNS_CompatibleName", station},
                              {"FixedInSlots", "0"},
                              {"ObjectUUID_LocalIndex", "1"},
                              {"MultipleWriteSupported", "true"},
                              {"MaxSupportedRecordSize", "8192"},
                              {"ParameterizationSpeedupSupported", "true"},
                              {"PowerOnToCommReady", "350"},
                              {"DeviceAccessSupported", "true"},
                              {"SharedDeviceSupported", "true"},
                              {"CheckDeviceID_Allowed", "false"},
                              {"NameOfStationNotTransferable", "true"}});
    pugi::xml_node dapInfo = Add(dap, "ModuleInfo");
    Add(dapInfo, "Name", {{"TextId", "IDT_NAME_DAP1"}});
    Add(dapInfo, "InfoText", {{"TextId", "IDT_INFO_DAP1"}});
    Add(dapInfo, "VendorName", {{"Value", "Rizova"}});
    Add(dapInfo, "OrderNumber", {{"Value", "VUD7U46"}});
    pugi::xml_node subslots = Add(dap, "SubslotList");
    for (const auto& [number, text] : {std::pair{"0", "IDT_SUBSLOT_1"}, {"32768", "IDT_SUBSLOT_Interface"},
                                       {"32769", "IDT_SUBSLOT_Port1"}, {"32770", "IDT_SUBSLOT_Port2"}})
        Add(subslots, "SubslotItem", {{"SubslotNumber", number}, {"TextId", text}});
    // Fixed: the largest the device takes, whatever this configuration uses.
    Add(dap, "IOConfigData", {{"MaxInputLength", "1440"}, {"MaxOutputLength", "1440"}, {"MaxDataLength", "2880"}});
    Add(Add(dap, "UseableModules"), "ModuleItemRef", {{"ModuleItemTarget", "IDM_1"}, {"FixedInSlots", "1"}});
    pugi::xml_node dapSub = Add(Add(dap, "VirtualSubmoduleList"), "VirtualSubmoduleItem",
                                {{"ID", "IDS_V1"}, {"SubmoduleIdentNumber", "0x00000000"}});
    Add(dapSub, "IOData", {{"IOPS_Length", "1"}, {"IOCS_Length", "1"}});
    pugi::xml_node dapSubInfo = Add(dapSub, "ModuleInfo");
    Add(dapSubInfo, "Name", {{"TextId", "IDT_NAME_VS1"}});
    Add(dapSubInfo, "InfoText", {{"TextId", "IDT_INFO_VS1"}});
    pugi::xml_node system = Add(dap, "SystemDefinedSubmoduleList");
    pugi::xml_node interface = Add(system, "InterfaceSubmoduleItem",
                                   {{"ID", "IDS_I"},
                                    {"SubmoduleIdentNumber", "0x00000001"},
                                    {"SubslotNumber", "32768"},
                                    {"TextId", "IDT_NAME_IS"},
                                    {"SupportedRT_Classes", "RT_CLASS_1"},
                                    {"SupportedProtocols", "SNMP;LLDP"},
                                    {"SupportedMibs", "MIB2"}});
    Add(Add(interface, "ApplicationRelations"), "TimingProperties",
        {{"SendClock", "32"}, {"ReductionRatio", "1 2 4 8 16 32 64 128 256 512"}});
    for (const auto& [id, ident, number, text] :
         {std::tuple{"IDS_P1", "0x00000002", "32769", "IDT_NAME_PS1"},
          std::tuple{"IDS_P2", "0x00000002", "32770", "IDT_NAME_PS2"}})
        Add(system, "PortSubmoduleItem",
            {{"ID", id},
             {"SubmoduleIdentNumber", ident},
             {"SubslotNumber", number},
             {"TextId", text},
             {"MaxPortRxDelay", "350"},
             {"MaxPortTxDelay", "160"}});
    Add_Comment(dap, " This element tells the engineering tool that the DAP supports fieldbus integration "
                     "(slot clusters). ");
    pugi::xml_document commented;
    Add(commented, "FieldbusIntegrationSlots", {{"MaxSupported", "127"}, {"Range", "100..9999"}});
    Add_Comment(dap, Raw(commented.first_child()));

    pugi::xml_node modules = Add(process, "ModuleList");
    Add_Comment(modules, " The \"normal\" module carrying the FAP. ");
    pugi::xml_node module = Add(modules, "ModuleItem", {{"ID", "IDM_1"}, {"ModuleIdentNumber", "0x00000001"}});
    pugi::xml_node moduleInfo = Add(module, "ModuleInfo");
    Add(moduleInfo, "Name", {{"TextId", "IDT_NAME_M1"}});
    Add(moduleInfo, "InfoText", {{"TextId", "IDT_INFO_M1"}});
    Add(moduleInfo, "OrderNumber", {{"Value", "12345-0040-M"}});
    // The submodule has an identifier of its own: identifiers are unique in the file.
    pugi::xml_node sub = Add(Add(module, "VirtualSubmoduleList"), "VirtualSubmoduleItem",
                             {{"ID", "IDS_1"}, {"SubmoduleIdentNumber", "0x00000001"}});
    pugi::xml_node io = Add(sub, "IOData", {{"IOPS_Length", "1"}, {"IOCS_Length", "1"}});
    Add(Add(io, "Input"), "DataItem",
        {{"DataType", "OctetString"}, {"Length", QString::number(byteOut)}, {"TextId", "IDT_Input_1"}});
    Add(Add(io, "Output"), "DataItem",
        {{"DataType", "OctetString"}, {"Length", QString::number(byteIn)}, {"TextId", "IDT_Output_1"}});
    pugi::xml_node record =
        Add(Add(sub, "RecordDataList"), "ParameterRecordDataItem", {{"Index", "128"}, {"Length", "2"}});
    Add(record, "Name", {{"TextId", "IDT_NAME_M1_IDT_REF_channel"}});
    Add(record, "Const", {{"ByteOffset", "0"}, {"Data", "0x00,0x00"}});
    Add(record, "Ref",
        {{"TextId", "IDT_REF_reaction_to_cpu_stop"},
         {"Visible", "true"},
         {"DataType", "BitArea"},
         {"ByteOffset", "0"},
         {"BitOffset", "0"},
         {"BitLength", "2"},
         {"DefaultValue", "2"},
         {"AllowedValues", "0..2"},
         {"ValueItemTarget", "IDV_reaction_to_cpu_stop"},
         {"ID", "IDT_REF_reaction_to_cpu_stop"}});
    pugi::xml_node menus = Add(record, "MenuList");
    pugi::xml_node channel = Add(menus, "MenuItem", {{"ID", "IDT_NAME_M1_IDT_REF_channel"}});
    Add(channel, "Name", {{"TextId", "IDT_NAME_M1_IDT_REF_channel"}});
    Add(channel, "MenuRef", {{"MenuTarget", "IDT_NAME_M1_Base_Parameters"}});
    pugi::xml_node base = Add(menus, "MenuItem", {{"ID", "IDT_NAME_M1_Base_Parameters"}});
    Add(base, "Name", {{"TextId", "IDT_NAME_M1_Base_Parameters"}});
    Add(base, "ParameterRef", {{"ParameterTarget", "IDT_REF_reaction_to_cpu_stop"}});
    pugi::xml_node subInfo = Add(sub, "ModuleInfo");
    Add(subInfo, "Name", {{"TextId", "IDT_NAME_M1"}});
    Add(subInfo, "InfoText", {{"TextId", "IDT_INFO_M1"}});

    pugi::xml_node assignments = Add(Add(Add(process, "ValueList"), "ValueItem", {{"ID", "IDV_reaction_to_cpu_stop"}}),
                                     "Assignments");
    for (const auto& [text, content] : {std::pair{"IDT_ASSIGN_do_set_substitude_values", "0"},
                                        {"IDT_ASSIGN_do_values_will_hold", "1"},
                                        {"IDT_ASSIGN_do_continue_counting", "2"}})
        Add(assignments, "Assign", {{"TextId", text}, {"Content", content}});

    pugi::xml_node categories = Add(process, "CategoryList");
    Add(Add(categories, "CategoryItem", {{"ID", "IDC_DI"}, {"TextId", "IDT_CATEGORY_DI"}}), "InfoText",
        {{"TextId", "IDT_INFO_DI"}});
    Add(Add(categories, "CategoryItem", {{"ID", "IDC_DO"}, {"TextId", "IDT_CATEGORY_DO"}}), "InfoText",
        {{"TextId", "IDT_INFO_DO"}});

    static const std::pair<const char*, const char*> texts[] = {
        {"IDT_INFO_Device", "Rizova Gateways"},
        {"IDT_NAME_DAP1", "OPCUASERVERDevice"},
        {"IDT_INFO_DAP1", "Profinet OPCUASERVER Adapter"},
        {"IDT_SUBSLOT_1", "Subslot 1"},
        {"IDT_SUBSLOT_Interface", "Interface"},
        {"IDT_SUBSLOT_Port1", "Port 1"},
        {"IDT_SUBSLOT_Port2", "Port 2"},
        {"IDT_RECORD_NAME_Head", "Parameters of head module"},
        {"IDT_REF_Power", "Percent power"},
        {"IDT_NAME_VS1", "Submodule V1"},
        {"IDT_INFO_VS1", "Description of submodule V1"},
        {"IDT_NAME_IS", "I"},
        {"IDT_NAME_PS1", "P1"},
        {"IDT_NAME_PS2", "P2"},
        {"IDT_NAME_M1", "Module"},
        {"IDT_INFO_M1", "device OPCUASERVER"},
        {"IDT_NAME_FAP", "FAP for OPCUASERVER"},
        {"IDT_INFO_FAP", "Description of FAP for OPCUASERVER"},
        {"IDT_RECORD_NAME_SlotCluster", "Parameters of the FAP"},
        {"IDT_REF_SlotClusterBegin", "Beginning of slot cluster"},
        {"IDT_NAME_M_PB1", "OPCUASERVER Device "},
        {"IDT_INFO_M_PB1", "Description of OPCUASERVER"},
        {"IDT_NAME_S_PB1", "Module of a OPCUASERVER"},
        {"IDT_INFO_S_PB1", "Description of module of a OPCUASERVER"},
        {"IDT_PB_Input", "Digital input OPCUASERVER"},
        {"IDT_PB_InputBit0", "Digital input bit OPCUASERVER"},
        {"IDT_NAME_S1", "Submodule 1"},
        {"IDT_INFO_S1", "Description of submodule 1"},
        {"IDT_Input_1", "Input byte"},
        {"IDT_Output_1", "Output word"},
        {"IDT_CATEGORY_DI", "Digital Input"},
        {"IDT_INFO_DI", "Description of digital input"},
        {"IDT_CATEGORY_DO", "Digital output"},
        {"IDT_INFO_DO", "Description of digital output"},
        {"IDT_NAME_M1_IDT_REF_channel", "Canale x"},
        {"IDT_REF_reaction_to_cpu_stop", "Reaction to CPU STOP"},
        {"IDT_NAME_M1_Base_Parameters", "Base Parameters"},
        {"IDT_ASSIGN_do_set_substitude_values", "Output substitute value"},
        {"IDT_ASSIGN_do_values_will_hold", "Keep last value"},
        {"IDT_ASSIGN_do_continue_counting", "Continue operation"},
    };
    constexpr int valueFirst = 3;   // the last three entries give their value first
    constexpr int count = static_cast<int>(std::size(texts));
    pugi::xml_node language = Add(Add(process, "ExternalTextList"), "PrimaryLanguage");
    for (int i = 0; i < count; ++i) {
        if (i < count - valueFirst)
            Add(language, "Text", {{"TextId", texts[i].first}, {"Value", texts[i].second}});
        else
            Add(language, "Text", {{"Value", texts[i].second}, {"TextId", texts[i].first}});
    }
}

// One tag per line, indented by depth; "Input" and "Output" stay on one line
// with their data item.
void Emit(const pugi::xml_node& node, int depth, QStringList& lines)
{
    const QString indent(depth, QLatin1Char('\t'));
    bool nested = false;
    for (const pugi::xml_node& child : node.children())
        nested = nested || child.type() == pugi::node_element || child.type() == pugi::node_comment;
    const std::string name = node.name();
    if (node.type() != pugi::node_element || !nested || name == "Input" || name == "Output") {
        lines << indent + QString::fromStdString(Raw(node));
        return;
    }
    // The start tag: the element without its children, "/>" made ">".
    pugi::xml_document bare;
    pugi::xml_node copy = bare.append_child(node.name());
    for (const pugi::xml_attribute& a : node.attributes())
        copy.append_attribute(a.name()).set_value(a.value());
    std::string start = Raw(copy);
    start.replace(start.size() - 2, 2, ">");
    lines << indent + QString::fromStdString(start);
    for (const pugi::xml_node& child : node.children())
        Emit(child, depth + 1, lines);
    lines << indent + QStringLiteral("</%1>").arg(QString::fromStdString(name));
}

} // namespace

bool Read_PROFINET_Param(const QString& parGenPath, QString* error)
{
    GSDML_Byte_In = GSDML_Max_Length;
    GSDML_Byte_Out = GSDML_Max_Length;
    GSDML_Name_Station = QStringLiteral("SERIAL");
    if (!platform::FileExists(parGenPath))
        return true;
    platform::XmlDocument doc;
    if (!doc.Load(parGenPath, error))
        return false;
    const platform::XmlNode root = doc.FirstChild();
    auto element = [&](const char* name) { return root.FindChild(QLatin1String(name)); };
    if (const platform::XmlNode n = element("PROFINET_NB_IN"))
        GSDML_Byte_In = platform::NumberOr(n.Text(), GSDML_Max_Length);
    if (const platform::XmlNode n = element("PROFINET_NB_OUT"))
        GSDML_Byte_Out = platform::NumberOr(n.Text(), GSDML_Max_Length);
    if (const platform::XmlNode n = element("PROFINET_NAME_STA"); n && !n.Text().trimmed().isEmpty())
        GSDML_Name_Station = n.Text();
    return true;
}

QString GSDML_Param_Error(int byteIn, int byteOut, const QString& station)
{
    // The parameter window's own checks, for a file written by hand.
    if (byteIn < 0 || byteIn > GSDML_Max_Length)
        return Language_List.value(944);
    if (byteOut < 0 || byteOut > GSDML_Max_Length)
        return Language_List.value(945);
    // Escaping covers the markup characters; these XML cannot carry at all.
    for (const QChar c : station)
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            return QStringLiteral("Error PROFINET!! The Name of Station holds a control character (code %1)")
                .arg(c.unicode());
    return {};
}

QStringList Build_GSDML_Lines(int byteIn, int byteOut, const QString& station)
{
    pugi::xml_document doc;
    Build_Document(doc, byteIn, byteOut, station);
    QStringList lines;
    for (const pugi::xml_node& node : doc.children())
        Emit(node, 0, lines);
    return lines;
}

bool Create_GSDML_File(const QString& path)
{
    QString error;
    if (!Read_PROFINET_Param(FileName_ParGen, &error)) {
        platform::ShowMessage(platform::MessageKind::Error, error);
        return false;
    }
    const QString why = GSDML_Param_Error(GSDML_Byte_In, GSDML_Byte_Out, GSDML_Name_Station);
    if (!why.isEmpty()) {
        platform::ShowMessage(platform::MessageKind::Error, why);
        return false;
    }
    return Save_Text_File(path, Build_GSDML_Lines(GSDML_Byte_In, GSDML_Byte_Out, GSDML_Name_Station),
                          Text_Format_Utf8_Bom);
}

void Save_GSDML_File(const QString& fileName)
{
    // The name comes from the file-name dialog; it must not lead elsewhere.
    if (fileName.trimmed().isEmpty() || fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\'))) {
        platform::ShowMessage(platform::MessageKind::Error,
                              QStringLiteral("Error! \"%1\" is not a file name.").arg(fileName));
        return;
    }
    platform::FileDialogRequest request;
    request.filter = QStringLiteral("PROFINET XML (*.xml)");
    request.initialFolder = Project_Folder;
    request.fileName = fileName;
    request.defaultSuffix = QStringLiteral("xml");
    const QString chosen = platform::AskSaveFileName(request);
    if (chosen.isEmpty())
        return;
    // The name as the user left it in the dialog: the proposed one, or another.
    const QString path = With_File_Extension(chosen, QStringLiteral(".xml"));
    if (!Confirm_Overwrite(path, Language_List.value(4808)))
        return;
    Create_GSDML_File(path);
}

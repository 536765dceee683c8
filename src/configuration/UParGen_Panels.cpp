#include "configuration/UParGen_Panels.h"

#include "shell/ULanguage.h"

#include <QByteArray>

#include <deque>

// The build picks the model; without the option it is X5K15.
#ifndef CONFIGURATOR_MODEL
#define CONFIGURATOR_MODEL "X5K15"
#endif
const QString ParGen_Build_Model = QStringLiteral(CONFIGURATOR_MODEL);

const std::vector<TParGen_Panel>& ParGen_Panels()
{
    static const std::vector<TParGen_Panel> panels = {
        {"CP_LoRa", 406},
        {"CP_Modbus_Master", 658, "E_ModbusMaster_CyclicDelay"},
        {"CP_Modbus_Slave", 423, "CB_ModbusSlave_ReadInput"},
        {"CP_Modbus_TCP_Master", 674, "E_ModbusTCPMaster_CyclicDelay"},
        {"CP_Modbus_TCP_Slave", 709, "CB_ModbusTCPSlave_ReadInput"},
        {"CP_Serial", 741, "CB_Serial_StopBits"},
        {"CP_MBus", 631},
        {"CP_wMBus", 644},
        {"CP_BACnet_Master", 505},
        {"CP_BACnet_Slave", 546},
        {"CP_Ethernet", 436},
        {"CP_CAN", 751, "CB_CAN_Baudrate"},
        {"CP_CANopen", 754, "E_CANopen_SDO_Timeout"},
        {"CP_DeviceNet_Master", 769, "CB_DeviceNet_Master_Baudrate"},
        {"CP_DeviceNet_Slave", 775, "E_DeviceNet_Slave_NumByteOut"},
        {"CP_DMX", 787, "E_DMX_ChannelNum"},
        {"CP_EtherNetIP_Master", 793, "E_EtherNetIP_Master_Port"},
        {"CP_EtherNetIP", 824, "E_EtherNetIP_NByte_Out"},
        {"CP_J1939", 866, "E_J1939_ID_Device"},
        {"CP_KNX", 877, "E_KNX_IDDevice"},
        {"CP_NMEA2000", 883, "CB_NMEA2000_Peer_To_Peer"},
        {"CP_PROFIBUS", 891, "E_PROFIBUS_NByte_Out"},
        {"CP_PROFINET", 903},
        {"CP_IEC61850_Client", 947, "E_IEC61850_Client_AppID"},
        {"CP_IEC61850_Server", 2500, "E_IEC61850_Server_Password"},
        {"CP_TLS_Server", 2544},
        {"CP_NTP", 2557, "E_NTP_Poll_Time"},
        {"CP_MQTT", 2563},
        {"CP_TLS", 2692},
        {"CP_OPC_UA_Client", 2707, "E_OPC_UA_Client_DNS4"},
        {"CP_OPC_UA_Server", 2746, "E_OPC_UA_Server_Port"},
        {"CP_S7_Protocol", 2784, "E_S7_Protocol_GAT4"},
        {"CP_SNMP_Manager", 2813, "E_SNMP_Manager_NameStation"},
        {"CP_SNMP_Agent", 2843},
        {"CP_WiFi", -1},   // no model shows it
    };
    return panels;
}

const std::vector<TParGen_Model>& ParGen_Models()
{
    static const std::vector<TParGen_Model> models = {
        {"X5K01", {"CP_LoRa", "CP_Modbus_Master", "CP_Ethernet"}},
        {"X5K02", {"CP_LoRa", "CP_Modbus_Slave", "CP_Ethernet"}},
        {"X5K03", {"CP_LoRa", "CP_Modbus_TCP_Master"}},
        {"X5K04", {"CP_LoRa", "CP_Modbus_TCP_Slave"}},
        {"X5K05", {"CP_LoRa", "CP_Serial", "CP_Ethernet"}},
        {"X5K15", {"CP_LoRa", "CP_MBus", "CP_wMBus", "CP_Ethernet"}},
        {"X5K16", {"CP_LoRa", "CP_BACnet_Master", "CP_Ethernet"}, true},
        {"X5K17", {"CP_LoRa", "CP_BACnet_Slave", "CP_Ethernet"}, true},
        {"X5K18", {"CP_LoRa", "CP_Ethernet"}},
        {"X5K19", {"CP_LoRa", "CP_CAN", "CP_Ethernet"}},
        {"X5K20", {"CP_LoRa", "CP_CANopen", "CP_Ethernet"}},
        {"X5K21", {"CP_LoRa", "CP_DeviceNet_Master", "CP_Ethernet"}},
        {"X5K22", {"CP_LoRa", "CP_DeviceNet_Slave", "CP_Ethernet"}},
        {"X5K23", {"CP_LoRa", "CP_DMX", "CP_Ethernet"}},
        {"X5K24", {"CP_LoRa", "CP_EtherNetIP_Master"}},
        {"X5K25", {"CP_LoRa", "CP_EtherNetIP"}},
        {"X5K26", {"CP_LoRa", "CP_J1939", "CP_Ethernet"}},
        {"X5K27", {"CP_LoRa", "CP_KNX", "CP_Ethernet"}},
        {"X5K29", {"CP_LoRa", "CP_NMEA2000", "CP_Ethernet"}},
        {"X5K31", {"CP_LoRa", "CP_PROFIBUS", "CP_Ethernet"}},
        {"X5K33", {"CP_LoRa", "CP_PROFINET"}},
        {"X5K34", {"CP_LoRa", "CP_IEC61850_Client"}},
        {"X5K35", {"CP_LoRa", "CP_IEC61850_Server", "CP_TLS_Server", "CP_NTP"}},
        {"X5K36", {"CP_LoRa", "CP_MQTT", "CP_Ethernet", "CP_TLS", "CP_NTP"}},
        {"X5K37", {"CP_LoRa", "CP_OPC_UA_Client", "CP_NTP"}},
        {"X5K38", {"CP_LoRa", "CP_OPC_UA_Server", "CP_NTP"}},
        {"X5K39", {"CP_LoRa", "CP_S7_Protocol"}},
        {"X5K40", {"CP_LoRa", "CP_SNMP_Manager"}},
        {"X5K41", {"CP_LoRa", "CP_SNMP_Agent"}},
    };
    return models;
}

const TParGen_Panel* Find_ParGen_Panel(const QString& name)
{
    for (const TParGen_Panel& p : ParGen_Panels())
        if (name == QLatin1String(p.name))
            return &p;
    return nullptr;
}

const TParGen_Model* Find_ParGen_Model(const QString& model)
{
    for (const TParGen_Model& m : ParGen_Models())
        if (model == QLatin1String(m.model))
            return &m;
    return nullptr;
}

QStringList ParGen_Panel_Captions(const TParGen_Model& model)
{
    QStringList out;
    int position = 0;
    for (const char* name : model.panels) {
        const TParGen_Panel* panel = Find_ParGen_Panel(QLatin1String(name));
        out << QStringLiteral("%1. ").arg(++position) + (panel ? Language_List.value(panel->caption) : QString());
    }
    return out;
}

// ---------------------------------------------------------------- the other models' panels

namespace {

using K = TParGen_Row_Kind;

TParGen_Row Edit(const char* name, int caption) { return {K::Edit, name, caption}; }
TParGen_Row Choice(const char* name, int caption, std::vector<const char*> items = {})
{
    return {K::Choice, name, caption, 0, std::move(items)};
}
TParGen_Row Check(const char* name, int caption) { return {K::Check, name, caption}; }
TParGen_Row Octets(const char* stem, int caption) { return {K::Octets, stem, caption}; }
TParGen_Row Check_Octets(const char* check, const char* stem, int caption)
{
    return {K::Check_Octets, stem, caption, 0, {}, check};
}
TParGen_Row Beside(const char* name, int caption, int hint) { return {K::Check_Beside, name, caption, hint}; }
TParGen_Row Unit(const char* name, int caption) { return {K::Unit, name, caption, -1}; }

// IP address, subnet mask and gateway (with its check box) from `first`, the
// address's caption entry.
std::vector<TParGen_Row> Address_Rows(const char* stem, int first)
{
    const QByteArray s(stem);
    // The names live as long as the table.
    static std::deque<QByteArray> names;
    auto keep = [](const QByteArray& n) { return names.emplace_back(n).constData(); };
    return {Octets(keep("E_" + s + "_IP"), first), Octets(keep("E_" + s + "_SM"), first + 5),
            Check_Octets(keep("CB_" + s + "_En_GAT"), keep("E_" + s + "_GAT"), first + 10)};
}

std::vector<TParGen_Row> Join(std::vector<TParGen_Row> a, std::vector<TParGen_Row> b)
{
    a.insert(a.end(), std::make_move_iterator(b.begin()), std::make_move_iterator(b.end()));
    return a;
}

const std::vector<const char*> kBACnet_Types = {"BACnet/IP", "BACnet MS/TP"};

} // namespace

const std::vector<TParGen_Panel_Rows>& ParGen_Protocol_Panels()
{
    static const std::vector<TParGen_Panel_Rows> panels = {
        {"CP_Modbus_Master",
         {Choice("CB_ModbusMaster_Baudrate", 659), Choice("CB_ModbusMaster_Parity", 661),
          Choice("CB_ModbusMaster_StopBits", 663), Choice("CB_ModbusMaster_SerialType", 665),
          Edit("E_ModbusMaster_TimeOut", 667), Edit("E_ModbusMaster_CyclicDelay", 669)}},
        {"CP_Modbus_Slave",
         {Edit("E_ModbusSlave_ID", 424), Choice("CB_ModbusSlave_Baudrate", 426), Choice("CB_ModbusSlave_Parity", 428),
          Choice("CB_ModbusSlave_StopBits", 430), Choice("CB_ModbusSlave_SerialType", 432),
          Check("CB_ModbusSlave_ReadInput", 434)}},
        {"CP_Modbus_TCP_Master",
         Join(Address_Rows("ModbusTCPMaster", 675),
              {Edit("E_ModbusTCPMaster_TimeOut", 691), Edit("E_ModbusTCPMaster_CyclicDelay", 693)})},
        {"CP_Modbus_TCP_Slave",
         Join(Address_Rows("ModbusTCPSlave", 710),
              {Edit("E_ModbusTCPSlave_Port", 726), Check("CB_ModbusTCPSlave_ReadInput", 2894)})},
        {"CP_Serial",
         {Choice("CB_Serial_Baudrate", 742), Choice("CB_Serial_Parity", 744), Choice("CB_Serial_DataBits", 746),
          Choice("CB_Serial_StopBits", 748)}},
        // The MS/TP rows stand where the IP rows stand; the layout shows one set.
        {"CP_BACnet_Master",
         Join(Join({Choice("CB_BACnet_Master_Type", 506, kBACnet_Types)}, Address_Rows("BACnet_Master", 508)),
              {Edit("E_BACnet_Master_Port", 524), Edit("E_BACnet_Master_DeviceName", 526),
               Edit("E_BACnet_Master_DeviceID", 528), Edit("E_BACnet_Master_Polling_TimeOut", 530),
               Choice("CB_BACnet_Master_MSTP_Baudrate", 532), Choice("CB_BACnet_Master_MSTP_Parity", 534),
               Edit("E_BACnet_Master_MSTP_DeviceName", 536), Edit("E_BACnet_Master_MSTP_MAC", 538),
               Edit("E_BACnet_Master_MSTP_MaxMaster", 540), Edit("E_BACnet_Master_MSTP_MaxInfoFrame", 542),
               Edit("E_BACnet_Master_MSTP_DeviceInstance", 544)})},
        {"CP_BACnet_Slave",
         Join(Join({Choice("CB_BACnet_Slave_Type", 547, kBACnet_Types)}, Address_Rows("BACnet_Slave", 549)),
              {Edit("E_BACnet_Slave_Port", 565), Edit("E_BACnet_Slave_DeviceName", 567),
               Edit("E_BACnet_Slave_DeviceID", 569), Choice("CB_BACnet_Slave_MSTP_Baudrate", 571),
               Choice("CB_BACnet_Slave_MSTP_Parity", 573), Edit("E_BACnet_Slave_MSTP_DeviceName", 575),
               Edit("E_BACnet_Slave_MSTP_MAC", 577), Edit("E_BACnet_Slave_MSTP_MaxMaster", 579),
               Edit("E_BACnet_Slave_MSTP_MaxInfoFrame", 581), Edit("E_BACnet_Slave_MSTP_DeviceInstance", 583),
               Edit("E_BACnet_Slave_MSTP_Network", 585), Check("CB_BACnet_Slave_Desc_32_Chars", 587)})},
        {"CP_CAN", {Choice("CB_CAN_Baudrate", 752)}},
        {"CP_CANopen",
         {Edit("E_CANopen_NodeID", 755), Choice("CB_CANopen_Baudrate", 757), Edit("E_CANopen_Heartbeat", 759),
          Check("CB_CANopen_NMT_Master", 761), Beside("CB_CANopen_Start_Operational", 765, -1),
          Edit("E_CANopen_SDO_Timeout", 763)}},
        {"CP_DeviceNet_Master", {Edit("E_DeviceNet_Master_MACID", 770), Choice("CB_DeviceNet_Master_Baudrate", 772)}},
        {"CP_DeviceNet_Slave",
         {Edit("E_DeviceNet_Slave_MACID", 776), Choice("CB_DeviceNet_Slave_Baudrate", 778),
          Edit("E_DeviceNet_Slave_NumByteIn", 780), Edit("E_DeviceNet_Slave_NumByteOut", 782)}},
        {"CP_DMX", {Choice("CB_DMX_Mode", 788), Edit("E_DMX_ChannelNum", 790)}},
        {"CP_EtherNetIP_Master",
         Join(Address_Rows("EtherNetIP_Master", 794), {Edit("E_EtherNetIP_Master_Port", 810)})},
        {"CP_EtherNetIP",
         Join(Address_Rows("EtherNetIP", 825),
              {Edit("E_EtherNetIP_ProductName", 845), Edit("E_EtherNetIP_NByte_In", 841),
               Edit("E_EtherNetIP_NByte_Out", 843)})},
        {"CP_J1939",
         {Choice("CB_J1939_Baudrate", 867), Edit("E_J1939_SourceAddress", 869), Edit("E_J1939_DeviceName", 871),
          Edit("E_J1939_ID_Device", 873)}},
        {"CP_KNX", {Edit("E_KNX_PhysicalAddress", 878), Edit("E_KNX_IDDevice", 880)}},
        {"CP_NMEA2000",
         {Edit("E_NMEA2000_SourceAddress", 884), Edit("E_NMEA2000_DeviceInstance", 886),
          Check("CB_NMEA2000_Peer_To_Peer", 888)}},
        {"CP_PROFIBUS",
         {Edit("E_PROFIBUS_StationAddress", 892), Edit("E_PROFIBUS_IdentNumber", 894),
          Edit("E_PROFIBUS_NByte_In", 896), Edit("E_PROFIBUS_NByte_Out", 898)}},
        {"CP_PROFINET",
         Join(Address_Rows("PROFINET", 904),
              {Edit("E_PROFINET_NameStation", 920), Edit("E_PROFINET_NByte_In", 922),
               Edit("E_PROFINET_NByte_Out", 924), Check("CB_PROFINET_Diagnostic", 926),
               Edit("E_PROFINET_Diagnostic_Byte", 928), Unit("L_PROFINET_Diagnostic_Bytes", 930)})},
        {"CP_IEC61850_Client",
         Join(Address_Rows("IEC61850_Client", 948),
              {Check("CB_IEC61850_Client_En_GOOSE", 964), Edit("E_IEC61850_Client_AppID", 966)})},
        {"CP_IEC61850_Server",
         Join(Address_Rows("IEC61850_Server", 2501),
              {Edit("E_IEC61850_Server_IEDName", 2517), Edit("E_IEC61850_Server_Port", 2519),
               Check("CB_IEC61850_Server_En_Auth", 2521), Edit("E_IEC61850_Server_User", 2523),
               Edit("E_IEC61850_Server_Password", 2525)})},
        {"CP_TLS_Server",
         {Check("CB_TLS_Server_Enable", 2545), Edit("E_TLS_Server_Key", 2547),
          Edit("E_TLS_Server_Key_Password", 2549), Edit("E_TLS_Server_Certificate", 2551),
          Edit("E_TLS_Server_Root_Certificate", 2553), Check("CB_TLS_Server_Only_Known", 2555)}},
        {"CP_NTP", {Edit("E_NTP_Server", 2558), Edit("E_NTP_Poll_Time", 2560)}},
        {"CP_MQTT",
         {Edit("E_MQTT_Broker_Address", 2564), Edit("E_MQTT_Broker_Port", 2566), Edit("E_MQTT_ClientID", 2568),
          Edit("E_MQTT_KeepAlive", 2570), Check("CB_MQTT_CleanSession", 2572), Check("CB_MQTT_WillFlag", 2574),
          Edit("E_MQTT_WillTopic", 2576), Edit("E_MQTT_WillMessage", 2578), Check("CB_MQTT_WillRetain", 2580),
          Choice("CB_MQTT_WillQoS", 2582), Check("CB_MQTT_PublishTopicConnection", 2896),
          Edit("E_MQTT_ConnectionTopic", 2898), Edit("E_MQTT_ConnectionMessage", 2900),
          Check("CB_MQTT_ConnectionRetain", 2902), Edit("E_MQTT_UserName", 2584), Edit("E_MQTT_Password", 2586),
          Edit("E_MQTT_SendTime", 2588)}},
        {"CP_TLS",
         {Check("CB_TLS_Enable", 2693), Check("CB_TLS_En_Server_Auth", 2695), Edit("E_TLS_Cert_Server", 2697),
          Check("CB_TLS_En_Client_Auth", 2699), Edit("E_TLS_Cert_Client", 2701), Edit("E_TLS_Key_Client", 2703),
          Edit("E_TLS_Key_Password_Client", 2705)}},
        {"CP_OPC_UA_Client",
         Join(Address_Rows("OPC_UA_Client", 2708), {Check_Octets("CB_OPC_UA_Client_DNS", "E_OPC_UA_Client_DNS", 2724)})},
        {"CP_OPC_UA_Server",
         Join(Address_Rows("OPC_UA_Server", 2747),
              {Edit("E_OPC_UA_Server_Name", 2763), Edit("E_OPC_UA_Server_User", 2765),
               Edit("E_OPC_UA_Server_Password", 2767), Edit("E_OPC_UA_Server_Port", 2769)})},
        {"CP_S7_Protocol", Address_Rows("S7_Protocol", 2785)},
        // Its gateway row has a label, not a check box.
        {"CP_SNMP_Manager",
         {Octets("E_SNMP_Manager_IP", 2814), Octets("E_SNMP_Manager_SM", 2819), Octets("E_SNMP_Manager_GAT", 2824),
          Edit("E_SNMP_Manager_NameStation", 2829)}},
        {"CP_SNMP_Agent",
         Join(Address_Rows("SNMP_Agent", 2844),
              {Edit("E_SNMP_Agent_NameStation", 2860), Edit("E_SNMP_Agent_ReadCommunity", 2862),
               Edit("E_SNMP_Agent_WriteCommunity", 2864), Edit("E_SNMP_Agent_TrapPort", 2880),
               Check("CB_SNMP_Agent_Version3", 2866), Edit("E_SNMP_Agent_User", 2868),
               Choice("CB_SNMP_Agent_SecurityLevel", 2870,
                      {"NoAuthority NoPrivacy", "Authority NoPrivacy", "Authority Privacy"}),
               Edit("E_SNMP_Agent_Authority", 2872), Choice("CB_SNMP_Agent_AuthorityMode", 2874),
               Edit("E_SNMP_Agent_Privacy", 2876), Choice("CB_SNMP_Agent_PrivacyMode", 2878)})},
        // Its three lists are language texts, filled by the window's texts.
        {"CP_WiFi",
         {Choice("CB_WiFi_Type", 2591), Octets("E_WiFi_IP", 2596), Octets("E_WiFi_SM", 2601),
          Check_Octets("CB_WiFi_En_GAT", "E_WiFi_GAT", 2606), Check_Octets("CB_WiFi_DNS", "E_WiFi_DNS", 2612),
          Check("CB_WiFi_IP_Auto", 2618), Edit("E_WiFi_Name", 2620), Edit("E_WiFi_Port", 2622),
          Edit("E_WiFi_SSID", 2624), Choice("CB_WiFi_Secure_Type", 2626), Edit("E_WiFi_Password", 2628),
          Check("CB_WiFi_En_DHCP", 2634), Octets("E_WiFi_DHCP_IP", 2636), Octets("E_WiFi_DHCP_SM", 2641),
          Edit("E_WiFi_Lease_Time", 2646), Edit("E_WiFi_Max_Client", 2648), Choice("CB_WiFi_Channel", 2650),
          Check("CB_WiFi_En_WPS", 2652)}},
    };
    return panels;
}

const TParGen_Panel_Rows* Find_ParGen_Protocol_Panel(const QString& panel)
{
    for (const TParGen_Panel_Rows& p : ParGen_Protocol_Panels())
        if (panel == QLatin1String(p.panel))
            return &p;
    return nullptr;
}

QString ParGen_Label_Name(const QString& field)
{
    const qsizetype cut = field.indexOf(u'_');
    return QStringLiteral("L") + field.mid(cut);
}

#include "configuration/UParGen_Panels.h"

#include "shell/ULanguage.h"

const QString ParGen_Build_Model = QStringLiteral("X5K15");

const std::vector<TParGen_Panel>& ParGen_Panels()
{
    static const std::vector<TParGen_Panel> panels = {
        {"CP_LoRa", 406},
        {"CP_Modbus_Master", 658},
        {"CP_Modbus_Slave", 423},
        {"CP_Modbus_TCP_Master", 674},
        {"CP_Modbus_TCP_Slave", 709},
        {"CP_Serial", 741},
        {"CP_MBus", 631},
        {"CP_wMBus", 644},
        {"CP_BACnet_Master", 505},
        {"CP_BACnet_Slave", 546},
        {"CP_Ethernet", 436},
        {"CP_CAN", 751},
        {"CP_CANopen", 754},
        {"CP_DeviceNet_Master", 769},
        {"CP_DeviceNet_Slave", 775},
        {"CP_DMX", 787},
        {"CP_EtherNetIP_Master", 793},
        {"CP_EtherNetIP", 824},
        {"CP_J1939", 866},
        {"CP_KNX", 877},
        {"CP_NMEA2000", 883},
        {"CP_PROFIBUS", 891},
        {"CP_PROFINET", 903},
        {"CP_IEC61850_Client", 947},
        {"CP_IEC61850_Server", 2500},
        {"CP_TLS_Server", 2544},
        {"CP_NTP", 2557},
        {"CP_MQTT", 2563},
        {"CP_TLS", 2692},
        {"CP_OPC_UA_Client", 2707},
        {"CP_OPC_UA_Server", 2746},
        {"CP_S7_Protocol", 2784},
        {"CP_SNMP_Manager", 2813},
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

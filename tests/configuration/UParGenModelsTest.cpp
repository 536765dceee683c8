// Every model's general parameters window: its panels in order, numbered,
// stacked without gaps and fitted to their last control; the layout routines
// of the other models' panels; their texts.
#include "configuration/UParGen.h"
#include "configuration/UParGen_Panels.h"

#include "shell/ULanguage.h"

#include "platform/Controls.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <algorithm>

using namespace platform;

namespace {

struct Shown_Panel
{
    const char* panel;
    const char* caption;   // as the order routine gives it
    const char* last;      // the control whose bottom ends it, for a new window
};

struct Model_Case
{
    const char* model;
    std::vector<Shown_Panel> panels;
};

constexpr Shown_Panel kLoRa{"CP_LoRa", "1. LoRaWAN", "CB_LoRa_FPort"};
Shown_Panel Ethernet(int n) { return {"CP_Ethernet", n == 3 ? "3. Ethernet" : n == 2 ? "2. Ethernet" : "4. Ethernet", "E_Ethernet_GAT4"}; }

// The model table, each panel with the control its height follows while its
// choices are as a new window leaves them.
const std::vector<Model_Case>& Model_Cases()
{
    static const std::vector<Model_Case> cases = {
        {"X5K01", {kLoRa, {"CP_Modbus_Master", "2. Modbus Master", "E_ModbusMaster_CyclicDelay"}, Ethernet(3)}},
        {"X5K02", {kLoRa, {"CP_Modbus_Slave", "2. Modbus Slave", "CB_ModbusSlave_ReadInput"}, Ethernet(3)}},
        {"X5K03", {kLoRa, {"CP_Modbus_TCP_Master", "2. Modbus TCP Master", "E_ModbusTCPMaster_CyclicDelay"}}},
        {"X5K04", {kLoRa, {"CP_Modbus_TCP_Slave", "2. Modbus TCP Slave", "CB_ModbusTCPSlave_ReadInput"}}},
        {"X5K05", {kLoRa, {"CP_Serial", "2. Serial", "CB_Serial_StopBits"}, Ethernet(3)}},
        {"X5K15",
         {kLoRa, {"CP_MBus", "2. M-Bus", "CB_MBus_OnWire_Present"},
          {"CP_wMBus", "3. M-Bus Wireless", "CB_wMBus_Wireless_Present"}, Ethernet(4)}},
        // No BACnet type chosen yet: not "BACnet/IP", so the MS/TP rows and the Ethernet panel.
        {"X5K16", {kLoRa, {"CP_BACnet_Master", "2. BACnet Master", "E_BACnet_Master_MSTP_DeviceInstance"}, Ethernet(3)}},
        {"X5K17", {kLoRa, {"CP_BACnet_Slave", "2. BACnet Slave", "CB_BACnet_Slave_Desc_32_Chars"}, Ethernet(3)}},
        {"X5K18", {kLoRa, Ethernet(2)}},
        {"X5K19", {kLoRa, {"CP_CAN", "2. CAN", "CB_CAN_Baudrate"}, Ethernet(3)}},
        {"X5K20", {kLoRa, {"CP_CANopen", "2. CANopen", "E_CANopen_SDO_Timeout"}, Ethernet(3)}},
        {"X5K21", {kLoRa, {"CP_DeviceNet_Master", "2. DeviceNet Master", "CB_DeviceNet_Master_Baudrate"}, Ethernet(3)}},
        {"X5K22", {kLoRa, {"CP_DeviceNet_Slave", "2. DeviceNet Slave", "E_DeviceNet_Slave_NumByteOut"}, Ethernet(3)}},
        {"X5K23", {kLoRa, {"CP_DMX", "2. DMX", "E_DMX_ChannelNum"}, Ethernet(3)}},
        {"X5K24", {kLoRa, {"CP_EtherNetIP_Master", "2. EtherNet/IP Master", "E_EtherNetIP_Master_Port"}}},
        {"X5K25", {kLoRa, {"CP_EtherNetIP", "2. EtherNet/IP", "E_EtherNetIP_NByte_Out"}}},
        {"X5K26", {kLoRa, {"CP_J1939", "2. J1939", "E_J1939_ID_Device"}, Ethernet(3)}},
        {"X5K27", {kLoRa, {"CP_KNX", "2. KNX", "E_KNX_IDDevice"}, Ethernet(3)}},
        {"X5K29", {kLoRa, {"CP_NMEA2000", "2. NMEA 2000", "CB_NMEA2000_Peer_To_Peer"}, Ethernet(3)}},
        {"X5K31", {kLoRa, {"CP_PROFIBUS", "2. PROFIBUS", "E_PROFIBUS_NByte_Out"}, Ethernet(3)}},
        {"X5K33", {kLoRa, {"CP_PROFINET", "2. PROFINET", "E_PROFINET_NByte_Out"}}},
        {"X5K34", {kLoRa, {"CP_IEC61850_Client", "2. IEC61850 Client", "E_IEC61850_Client_AppID"}}},
        {"X5K35",
         {kLoRa, {"CP_IEC61850_Server", "2. IEC61850 Server", "E_IEC61850_Server_Password"},
          {"CP_TLS_Server", "3. TLS (Transport Layer Security) Server", "CB_TLS_Server_Enable"},
          {"CP_NTP", "4. NTP (Network Time Protocol)", "E_NTP_Poll_Time"}}},
        {"X5K36",
         {kLoRa, {"CP_MQTT", "2. MQTT", "E_MQTT_Password"}, Ethernet(3),
          {"CP_TLS", "4. TLS (Transport Layer Security)", "CB_TLS_Enable"},
          {"CP_NTP", "5. NTP (Network Time Protocol)", "E_NTP_Poll_Time"}}},
        {"X5K37",
         {kLoRa, {"CP_OPC_UA_Client", "2. OPC UA Client", "E_OPC_UA_Client_DNS4"},
          {"CP_NTP", "3. NTP (Network Time Protocol)", "E_NTP_Poll_Time"}}},
        {"X5K38",
         {kLoRa, {"CP_OPC_UA_Server", "2. OPC UA Server", "E_OPC_UA_Server_Port"},
          {"CP_NTP", "3. NTP (Network Time Protocol)", "E_NTP_Poll_Time"}}},
        {"X5K39", {kLoRa, {"CP_S7_Protocol", "2. S7comm", "E_S7_Protocol_GAT4"}}},
        {"X5K40", {kLoRa, {"CP_SNMP_Manager", "2. SNMP Manager", "E_SNMP_Manager_NameStation"}}},
        {"X5K41", {kLoRa, {"CP_SNMP_Agent", "2. SNMP Agent", "CB_SNMP_Agent_Version3"}}},
    };
    return cases;
}

std::vector<TCategoryPanel*> Shown_Panels(const TFParGen& w)
{
    std::vector<TCategoryPanel*> shown;
    for (TCategoryPanel* p : w.CPG->Panels())
        if (!p->isHidden())
            shown.push_back(p);
    std::sort(shown.begin(), shown.end(), [](auto* a, auto* b) { return a->y() < b->y(); });
    return shown;
}

// The panel's height when it ends with `last`.
int Height_Ending_With(const TFParGen& w, const char* last)
{
    const QWidget* c = w.Control(QLatin1String(last));
    return c ? c->y() + c->height() + w.CPG->HeaderHeight() + 12 : -1;
}

// The panel that holds a widget, or nullptr.
TCategoryPanel* Panel_Of(QWidget* widget)
{
    for (QWidget* p = widget; p; p = p->parentWidget())
        if (auto* panel = dynamic_cast<TCategoryPanel*>(p))
            return panel;
    return nullptr;
}

bool Shown(const TFParGen& w, const char* control)
{
    const QWidget* c = w.Control(QLatin1String(control));
    return c && !c->isHidden();
}

int Top(const TFParGen& w, const char* control) { return w.Control(QLatin1String(control))->y(); }

template <class T>
T* Get(const TFParGen& w, const char* control)
{
    auto* c = dynamic_cast<T*>(w.Control(QLatin1String(control)));
    EXPECT_NE(c, nullptr) << control;
    return c;
}

// A choice or a click as the user makes it: the control's own event.
void Choose(TFParGen& w, const char* control, int index)
{
    auto* combo = Get<TComboBox>(w, control);
    combo->SetItemIndex(index);
    w.On_Change(combo);
}

void Click(TFParGen& w, const char* control, bool checked)
{
    auto* check = Get<TCheckBox>(w, control);
    check->SetChecked(checked);
    w.On_Click(check);
}

class ParGenModels : public ::testing::Test
{
protected:
    void SetUp() override { Load_English_Table(); }
    void TearDown() override { Load_English_Table(); }
};

} // namespace

TEST_F(ParGenModels, EachModelShowsItsPanelsNumberedStackedAndFitted)
{
    ASSERT_EQ(Model_Cases().size(), ParGen_Models().size());
    for (const Model_Case& c : Model_Cases()) {
        SCOPED_TRACE(c.model);
        TFParGen w{QLatin1String(c.model)};
        w.Move_GroupBoxs();   // as at the end of a showing
        const std::vector<TCategoryPanel*> shown = Shown_Panels(w);
        ASSERT_EQ(shown.size(), c.panels.size());
        int top = 0;
        for (size_t i = 0; i < shown.size(); ++i) {
            const Shown_Panel& expected = c.panels[i];
            SCOPED_TRACE(expected.panel);
            EXPECT_EQ(shown[i]->Name(), expected.panel);
            // The first panel loses its number to the window's texts.
            EXPECT_EQ(shown[i]->Caption(), i == 0 ? QStringLiteral("LoRaWAN") : QString(expected.caption));
            EXPECT_EQ(shown[i]->y(), top);
            EXPECT_EQ(shown[i]->ExpandedHeight(), Height_Ending_With(w, expected.last)) << "follows " << expected.last;
            EXPECT_EQ(shown[i]->height(), shown[i]->ExpandedHeight());
            top += shown[i]->height();
        }
        // Tab reaches the panels in the same order.
        std::vector<TCategoryPanel*> tabbed;
        QWidget* f = &w;
        for (int step = 0; step < 2000; ++step) {
            f = f->nextInFocusChain();
            if (f == &w)
                break;
            TCategoryPanel* p = Panel_Of(f);
            if (p && !p->isHidden() && std::find(tabbed.begin(), tabbed.end(), p) == tabbed.end())
                tabbed.push_back(p);
        }
        EXPECT_EQ(tabbed.size(), c.panels.size());
        for (size_t i = 0; i < tabbed.size() && i < c.panels.size(); ++i)
            EXPECT_EQ(tabbed[i]->Name(), c.panels[i].panel);
    }
}

TEST_F(ParGenModels, EveryPanelHasTheTextsOfItsEntries)
{
    // Each entry n reads "#n": the numbers found in a panel's captions, hints
    // and list entries are the entries the panel takes.
    for (int n = 0; n < Language_List.size(); ++n)
        Language_List[n] = QStringLiteral("#%1").arg(n);
    TFParGen w;
    w.Set_Lang();
    auto range = [](int first, int last) {
        QSet<int> s;
        for (int n = first; n <= last; ++n)
            s.insert(n);
        return s;
    };
    const std::pair<const char*, QSet<int>> cases[] = {
        {"CP_Modbus_Slave", range(424, 435)},
        {"CP_BACnet_Master", range(506, 545)},
        {"CP_BACnet_Slave", range(547, 588)},
        {"CP_Modbus_Master", range(659, 670)},
        {"CP_Modbus_TCP_Master", range(675, 694)},
        {"CP_Modbus_TCP_Slave", range(710, 727) + range(2894, 2895)},
        {"CP_Serial", range(742, 749)},
        {"CP_CAN", range(752, 753)},
        {"CP_CANopen", range(755, 765)},
        {"CP_DeviceNet_Master", range(770, 773)},
        {"CP_DeviceNet_Slave", range(776, 783)},
        {"CP_DMX", range(788, 791)},
        {"CP_EtherNetIP_Master", range(794, 811)},
        {"CP_EtherNetIP", range(825, 846)},
        {"CP_J1939", range(867, 874)},
        {"CP_KNX", range(878, 881)},
        {"CP_NMEA2000", range(884, 889)},
        {"CP_PROFIBUS", range(892, 899)},
        {"CP_PROFINET", range(904, 930)},
        {"CP_IEC61850_Client", range(948, 967)},
        {"CP_IEC61850_Server", range(2501, 2526)},
        {"CP_TLS_Server", range(2545, 2556)},
        {"CP_NTP", range(2558, 2561)},
        {"CP_MQTT", range(2564, 2589) + range(2896, 2903)},
        {"CP_WiFi", range(2591, 2665)},
        {"CP_TLS", range(2693, 2706)},
        {"CP_OPC_UA_Client", range(2708, 2729)},
        {"CP_OPC_UA_Server", range(2747, 2770)},
        {"CP_S7_Protocol", range(2785, 2800)},
        {"CP_SNMP_Manager", range(2814, 2830)},
        {"CP_SNMP_Agent", range(2844, 2881)},
    };
    const QRegularExpression number(QStringLiteral("#(\\d+)"));
    for (const auto& [panel, entries] : cases) {
        SCOPED_TRACE(panel);
        QSet<int> found;
        auto take = [&](const QString& text) {
            for (const QRegularExpressionMatch& m : number.globalMatch(text))
                found.insert(m.captured(1).toInt());
        };
        int texts = 0;
        for (QWidget* c : w.Panel(QLatin1String(panel))->Surface()->findChildren<QWidget*>()) {
            take(c->toolTip());
            if (auto* label = dynamic_cast<TLabel*>(c))
                take(label->Caption());
            if (auto* check = dynamic_cast<TCheckBox*>(c))
                take(check->text());
            if (auto* combo = dynamic_cast<QComboBox*>(c))
                for (int i = 0; i < combo->count(); ++i)
                    take(combo->itemText(i));
            texts += !c->toolTip().isEmpty();
        }
        EXPECT_EQ(found, entries);
        EXPECT_GT(texts, 0);
    }
    // The first Wi-Fi entries are chosen.
    EXPECT_EQ(Get<TComboBox>(w, "CB_WiFi_Type")->Text(), "#2593");
    EXPECT_EQ(Get<TComboBox>(w, "CB_WiFi_Channel")->Text(), "#2654");
}

TEST_F(ParGenModels, BACnetTypeShowsItsRowsAndDecidesTheEthernetPanel)
{
    for (const char* model : {"X5K16", "X5K17"}) {
        SCOPED_TRACE(model);
        const bool master = QLatin1String(model) == QLatin1String("X5K16");
        const QByteArray p = master ? "BACnet_Master" : "BACnet_Slave";
        auto name = [&](const char* stem, const char* rest) { return QByteArray(stem) + p + rest; };
        TFParGen w{QLatin1String(model)};

        Choose(w, name("CB_", "_Type"), 0);   // "BACnet/IP"
        EXPECT_TRUE(w.Panel("CP_Ethernet")->isHidden()) << "the BACnet panel carries the addresses";
        ASSERT_EQ(Shown_Panels(w).size(), 2u);
        EXPECT_TRUE(Shown(w, name("E_", "_IP1")));
        EXPECT_TRUE(Shown(w, name("CB_", "_En_GAT")));
        EXPECT_FALSE(Shown(w, name("CB_", "_MSTP_Baudrate")));
        const int ip_top = Top(w, name("L_", "_IP"));
        const char* ip_last = master ? "E_BACnet_Master_Polling_TimeOut" : "CB_BACnet_Slave_Desc_32_Chars";
        EXPECT_EQ(w.Panel("CP_" + p)->ExpandedHeight(), Height_Ending_With(w, ip_last));
        if (!master) {
            EXPECT_EQ(Top(w, "CB_BACnet_Slave_Desc_32_Chars") + 1, Top(w, "L_BACnet_Slave_DeviceID") + 28);
        }

        Choose(w, name("CB_", "_Type"), 1);   // "BACnet MS/TP"
        ASSERT_FALSE(w.Panel("CP_Ethernet")->isHidden());
        EXPECT_EQ(w.Panel("CP_Ethernet")->Caption(), "3. Ethernet");
        EXPECT_EQ(Shown_Panels(w).back(), w.Panel("CP_Ethernet"));
        EXPECT_FALSE(Shown(w, name("E_", "_IP1")));
        EXPECT_FALSE(Shown(w, name("E_", "_Port")));
        // The MS/TP rows from the address row's place, a row apart.
        const char* mstp[] = {"_MSTP_Baudrate", "_MSTP_Parity", "_MSTP_DeviceName", "_MSTP_MAC", "_MSTP_MaxMaster",
                              "_MSTP_MaxInfoFrame", "_MSTP_DeviceInstance", "_MSTP_Network"};
        const int rows = master ? 7 : 8;
        for (int i = 0; i < rows; ++i) {
            SCOPED_TRACE(mstp[i]);
            EXPECT_TRUE(Shown(w, name(i < 2 ? "CB_" : "E_", mstp[i])));
            EXPECT_EQ(Top(w, name("L_", mstp[i])), ip_top + 28 * i);
        }
        if (master) {
            EXPECT_FALSE(Shown(w, "E_BACnet_Master_Polling_TimeOut"));
            EXPECT_EQ(w.Panel("CP_BACnet_Master")->ExpandedHeight(),
                      Height_Ending_With(w, "E_BACnet_Master_MSTP_DeviceInstance"));
        } else {
            EXPECT_EQ(Top(w, "CB_BACnet_Slave_Desc_32_Chars") + 1, ip_top + 28 * 8);
            EXPECT_EQ(w.Panel("CP_BACnet_Slave")->ExpandedHeight(),
                      Height_Ending_With(w, "CB_BACnet_Slave_Desc_32_Chars"));
        }
        Choose(w, name("CB_", "_Type"), 0);
        EXPECT_TRUE(w.Panel("CP_Ethernet")->isHidden());
        EXPECT_TRUE(Shown(w, name("E_", "_IP1")));
    }
}

TEST_F(ParGenModels, MQTTAndTLSRowsFollowTheirCheckBoxes)
{
    TFParGen w{QStringLiteral("X5K36")};
    const int will_top = Top(w, "CB_MQTT_WillFlag") + 1;
    auto row_of = [&](const char* label) { return (Top(w, label) - will_top + 14) / 28; };   // a check box stands 1 pixel higher

    Click(w, "CB_MQTT_WillFlag", false);
    EXPECT_FALSE(Shown(w, "E_MQTT_WillTopic"));
    EXPECT_EQ(row_of("CB_MQTT_PublishTopicConnection") , 1);
    EXPECT_EQ(row_of("L_MQTT_UserName"), 2);
    EXPECT_EQ(row_of("L_MQTT_Password"), 3);
    EXPECT_FALSE(Shown(w, "E_MQTT_SendTime"));

    Click(w, "CB_MQTT_WillFlag", true);
    Click(w, "CB_MQTT_PublishTopicConnection", true);
    EXPECT_EQ(row_of("L_MQTT_WillTopic"), 1);
    EXPECT_EQ(row_of("L_MQTT_WillQoS"), 4);
    EXPECT_TRUE(Shown(w, "CB_MQTT_WillQoS"));
    EXPECT_EQ(row_of("CB_MQTT_PublishTopicConnection"), 5);
    EXPECT_EQ(row_of("L_MQTT_ConnectionTopic"), 6);
    EXPECT_EQ(row_of("CB_MQTT_ConnectionRetain"), 8);
    EXPECT_EQ(row_of("L_MQTT_Password"), 10);
    EXPECT_EQ(Top(w, "E_MQTT_Password"), Top(w, "L_MQTT_Password") - 3);
    EXPECT_EQ(w.Panel("CP_MQTT")->ExpandedHeight(), Height_Ending_With(w, "E_MQTT_Password"));

    const int enable_top = Top(w, "CB_TLS_Enable");
    auto tls_row = [&](const char* c) { return (Top(w, c) - enable_top + 14) / 28; };
    Click(w, "CB_TLS_Enable", false);
    for (const char* c : {"CB_TLS_En_Server_Auth", "E_TLS_Cert_Server", "CB_TLS_En_Client_Auth", "E_TLS_Key_Client"})
        EXPECT_FALSE(Shown(w, c)) << c;
    EXPECT_EQ(w.Panel("CP_TLS")->ExpandedHeight(), Height_Ending_With(w, "CB_TLS_Enable"));
    Click(w, "CB_TLS_Enable", true);
    EXPECT_EQ(tls_row("CB_TLS_En_Server_Auth"), 1);
    EXPECT_EQ(tls_row("CB_TLS_En_Client_Auth"), 2);
    EXPECT_EQ(w.Panel("CP_TLS")->ExpandedHeight(), Height_Ending_With(w, "CB_TLS_En_Client_Auth"));
    Click(w, "CB_TLS_En_Server_Auth", true);
    Click(w, "CB_TLS_En_Client_Auth", true);
    EXPECT_EQ(tls_row("L_TLS_Cert_Server"), 2);
    EXPECT_EQ(tls_row("CB_TLS_En_Client_Auth"), 3);
    EXPECT_EQ(tls_row("L_TLS_Key_Password_Client"), 6);
    EXPECT_EQ(w.Panel("CP_TLS")->ExpandedHeight(), Height_Ending_With(w, "E_TLS_Key_Password_Client"));
    // The panels below follow the heights.
    const auto shown = Shown_Panels(w);
    for (size_t i = 1; i < shown.size(); ++i)
        EXPECT_EQ(shown[i]->y(), shown[i - 1]->y() + shown[i - 1]->height());
}

TEST_F(ParGenModels, ShownOrHiddenRowsOfTheOtherPanels)
{
    TFParGen tls_server{QStringLiteral("X5K35")};
    Click(tls_server, "CB_TLS_Server_Enable", true);
    EXPECT_TRUE(Shown(tls_server, "E_TLS_Server_Root_Certificate"));
    EXPECT_EQ(tls_server.Panel("CP_TLS_Server")->ExpandedHeight(),
              Height_Ending_With(tls_server, "CB_TLS_Server_Only_Known"));
    Click(tls_server, "CB_TLS_Server_Enable", false);
    EXPECT_FALSE(Shown(tls_server, "L_TLS_Server_Key"));
    EXPECT_FALSE(Shown(tls_server, "CB_TLS_Server_Only_Known"));

    TFParGen snmp{QStringLiteral("X5K41")};
    struct Level
    {
        bool v3;
        int level;
        bool user, authority, privacy;
        const char* last;
    };
    const Level levels[] = {
        {false, 2, false, false, false, "CB_SNMP_Agent_Version3"},
        {true, 0, true, false, false, "CB_SNMP_Agent_SecurityLevel"},
        {true, 1, true, true, false, "CB_SNMP_Agent_AuthorityMode"},
        {true, 2, true, true, true, "CB_SNMP_Agent_PrivacyMode"},
    };
    for (const Level& l : levels) {
        SCOPED_TRACE(l.last);
        Click(snmp, "CB_SNMP_Agent_Version3", l.v3);
        Choose(snmp, "CB_SNMP_Agent_SecurityLevel", l.level);
        EXPECT_EQ(Shown(snmp, "E_SNMP_Agent_User"), l.user);
        EXPECT_EQ(Shown(snmp, "L_SNMP_Agent_SecurityLevel"), l.user);
        EXPECT_EQ(Shown(snmp, "E_SNMP_Agent_Authority"), l.authority);
        EXPECT_EQ(Shown(snmp, "CB_SNMP_Agent_AuthorityMode"), l.authority);
        EXPECT_EQ(Shown(snmp, "L_SNMP_Agent_Privacy"), l.privacy);
        EXPECT_EQ(Shown(snmp, "CB_SNMP_Agent_PrivacyMode"), l.privacy);
        EXPECT_EQ(snmp.Panel("CP_SNMP_Agent")->ExpandedHeight(), Height_Ending_With(snmp, l.last));
    }

    TFParGen profinet{QStringLiteral("X5K33")};
    EXPECT_FALSE(Shown(profinet, "CB_PROFINET_Diagnostic"));
    EXPECT_FALSE(Shown(profinet, "E_PROFINET_Diagnostic_Byte"));
    EXPECT_TRUE(Shown(profinet, "E_PROFINET_NByte_Out"));

    // This model's Ethernet panel keeps its name-server and port rows hidden.
    TFParGen modbus{QStringLiteral("X5K01")};
    for (const char* c : {"CB_Ethernet_DNS", "E_Ethernet_DNS1", "E_Ethernet_TCP_Port", "E_Ethernet_UDP_Port"})
        EXPECT_FALSE(Shown(modbus, c)) << c;
}

TEST_F(ParGenModels, WiFiRowsFollowTheTypeAndItsChoices)
{
    // No model shows the Wi-Fi panel; its routine runs all the same.
    TFParGen w;
    const int type_top = Top(w, "L_WiFi_Type");
    auto row = [&](const char* label) { return (Top(w, label) - type_top + 14) / 28; };
    auto layout = [&](int type, int security, bool dhcp, bool automatic) {
        Get<TComboBox>(w, "CB_WiFi_Type")->SetItemIndex(type);
        Get<TComboBox>(w, "CB_WiFi_Secure_Type")->SetItemIndex(security);
        Get<TCheckBox>(w, "CB_WiFi_En_DHCP")->SetChecked(dhcp);
        Get<TCheckBox>(w, "CB_WiFi_IP_Auto")->SetChecked(automatic);
        w.RePosition_Object_WiFi();
    };

    layout(0, 0, false, false);   // access point, unsecured, no DHCP
    EXPECT_EQ(row("L_WiFi_IP"), 1);
    EXPECT_EQ(row("L_WiFi_Secure_Type"), 7);
    EXPECT_FALSE(Shown(w, "E_WiFi_Password"));
    EXPECT_EQ(row("CB_WiFi_En_DHCP"), 8);
    EXPECT_FALSE(Shown(w, "E_WiFi_DHCP_IP1"));
    EXPECT_EQ(row("L_WiFi_Channel"), 10);
    for (const char* c : {"CB_WiFi_IP_Auto", "E_WiFi_Name", "CB_WiFi_En_WPS"})
        EXPECT_FALSE(Shown(w, c)) << c;
    EXPECT_EQ(w.Panel("CP_WiFi")->ExpandedHeight(), Height_Ending_With(w, "CB_WiFi_Channel"));

    layout(0, 3, true, false);   // secured, DHCP
    EXPECT_EQ(row("L_WiFi_Password"), 8);
    EXPECT_EQ(row("L_WiFi_DHCP_IP"), 10);
    EXPECT_EQ(row("L_WiFi_Lease_Time"), 12);
    EXPECT_EQ(row("L_WiFi_Channel"), 14);

    layout(1, 3, true, true);   // client with an automatic address
    EXPECT_EQ(row("CB_WiFi_IP_Auto"), 1);
    EXPECT_EQ(row("L_WiFi_Name"), 2);
    EXPECT_FALSE(Shown(w, "E_WiFi_IP1"));
    EXPECT_EQ(row("L_WiFi_Password"), 5);
    for (const char* c : {"CB_WiFi_Secure_Type", "CB_WiFi_En_DHCP", "E_WiFi_DHCP_IP1", "CB_WiFi_Channel", "CB_WiFi_En_WPS"})
        EXPECT_FALSE(Shown(w, c)) << c;
    EXPECT_EQ(w.Panel("CP_WiFi")->ExpandedHeight(), Height_Ending_With(w, "E_WiFi_Password"));

    layout(1, 3, true, false);   // client with a fixed address
    EXPECT_FALSE(Shown(w, "E_WiFi_Name"));
    EXPECT_EQ(row("L_WiFi_IP"), 2);
    EXPECT_EQ(row("CB_WiFi_DNS"), 5);
    EXPECT_EQ(row("L_WiFi_Password"), 8);

    // "WiFi Direct" leaves everything as it was.
    const int height = w.Panel("CP_WiFi")->ExpandedHeight();
    layout(2, 0, false, true);
    EXPECT_EQ(row("L_WiFi_Password"), 8);
    EXPECT_EQ(w.Panel("CP_WiFi")->ExpandedHeight(), height);
}

TEST_F(ParGenModels, OctetFieldsOfEveryPanelRefuseTheDot)
{
    TFParGen w{QStringLiteral("X5K39")};
    auto* first = Get<TEdit>(w, "E_S7_Protocol_IP1");
    QChar key = u'.';
    w.KeyPress(first, key);
    EXPECT_TRUE(key.isNull());
    key = u'7';
    w.KeyPress(first, key);
    EXPECT_EQ(key, u'7');
}

// PARGEN_SCREENSHOT_DIR=<dir> saves some other models' windows, tall enough
// for all their panels, to be looked at.
TEST_F(ParGenModels, Screenshot)
{
    const QString target = qEnvironmentVariable("PARGEN_SCREENSHOT_DIR");
    if (target.isEmpty())
        GTEST_SKIP() << "set PARGEN_SCREENSHOT_DIR to save other models' windows";
    for (const char* model : {"X5K16", "X5K36", "X5K41", "X5K20", "X5K33"}) {
        TFParGen w{QLatin1String(model)};
        Choose(w, "CB_BACnet_Master_Type", 0);
        Click(w, "CB_MQTT_WillFlag", true);
        Click(w, "CB_TLS_Enable", true);
        Click(w, "CB_SNMP_Agent_Version3", true);
        Choose(w, "CB_SNMP_Agent_SecurityLevel", 2);
        w.SetClientHeight(1200);
        w.show();
        QApplication::processEvents();
        EXPECT_TRUE(w.grab().save(QDir(target).filePath(QStringLiteral("pargen-%1.png").arg(model))));
    }
}

TEST_F(ParGenModels, TheOtherPanelsAreNeitherLoadedNorSaved)
{
    TFParGen w;
    const TParGen_Values before = w.Values();
    int typed = 0;
    for (const TParGen_Panel_Rows& panel : ParGen_Protocol_Panels())
        for (QLineEdit* line : w.Panel(QLatin1String(panel.panel))->findChildren<QLineEdit*>())
            if (auto* edit = dynamic_cast<TEdit*>(line)) {
                edit->SetText(QStringLiteral("999"));
                ++typed;
            }
    EXPECT_GT(typed, 200);
    EXPECT_EQ(w.Values(), before);
    // Loading the file's values leaves them as they are.
    TParGen_Values loaded = before;
    loaded[ParGen::Ethernet_IP1] = QStringLiteral("10");
    w.Set_Values(loaded);
    EXPECT_EQ(Get<TEdit>(w, "E_BACnet_Master_IP1")->Text(), "999");
    EXPECT_EQ(Get<TEdit>(w, "E_OPC_UA_Client_DNS4")->Text(), "999");
}

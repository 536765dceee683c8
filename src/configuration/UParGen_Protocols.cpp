// The general parameters window's panels of the other models of the family:
// their controls, texts and layout routines, and the order and layout of a
// model's panels. Nothing of these panels is loaded or saved.

#include "configuration/UParGen.h"
#include "configuration/UParGen_Form.h"

#include "shell/ULanguage.h"

#include "platform/Controls.h"

#include <stdexcept>

using namespace platform;
using namespace ParGen_Form;

namespace {

constexpr const char* kBACnet_Ethernet[][2] = {{"CP_BACnet_Master", "CB_BACnet_Master_Type"},
                                               {"CP_BACnet_Slave", "CB_BACnet_Slave_Type"}};

// The BACnet type choice that decides the model's Ethernet panel, or nullptr.
const char* BACnet_Type_Of(const TParGen_Model& model)
{
    if (!model.ethernet_follows_bacnet_type)
        return nullptr;
    for (const char* panel : model.panels)
        for (const auto& [bacnet, type] : kBACnet_Ethernet)
            if (QLatin1String(panel) == QLatin1String(bacnet))
                return type;
    return nullptr;
}

} // namespace

// ---------------------------------------------------------------- creation

void TFParGen::Create_Panel(const QString& name)
{
    if (name == QLatin1String("CP_LoRa"))
        return Create_LoRa_Panel();
    if (name == QLatin1String("CP_MBus"))
        return Create_MBus_Panel();
    if (name == QLatin1String("CP_wMBus"))
        return Create_wMBus_Panel();
    if (name == QLatin1String("CP_Ethernet"))
        return Create_Ethernet_Panel();
    const TParGen_Panel_Rows* rows = Find_ParGen_Protocol_Panel(name);
    if (!rows)
        throw std::logic_error("no rows for the panel " + name.toStdString());
    TCategoryPanel* panel = CPG->AddPanel(QString());
    panel->SetName(name);
    panels_[name] = panel;
    Create_Protocol_Panel(panel, *rows);
}

void TFParGen::Create_Protocol_Panel(TCategoryPanel* panel, const TParGen_Panel_Rows& rows)
{
    QWidget* s = panel->Surface();
    int line = -1;
    auto on_change = [this](QObject* sender) { On_Change(sender); };
    auto on_click = [this](QObject* sender) { On_Click(sender); };
    auto add_row = [&](std::initializer_list<QWidget*> parts, const QString& name) {
        Row r;
        for (QWidget* w : parts)
            r.parts.emplace_back(w, w->y() - Label_Top(line));
        rows_.push_back(std::move(r));
        row_of_[name] = rows_.size() - 1;
    };
    auto add_part = [&](QWidget* w, const QString& name) {
        rows_.back().parts.emplace_back(w, w->y() - Label_Top(line));
        row_of_[name] = rows_.size() - 1;
    };
    auto octets = [&](QWidget* lead, const QString& stem) {
        const Octet_Row o = Make_Octets(s, stem, line);
        add_row({lead, o.fields[0], o.dots[0], o.fields[1], o.dots[1], o.fields[2], o.dots[2], o.fields[3]}, stem);
        for (TEdit* field : o.fields) {
            row_of_[field->Name()] = rows_.size() - 1;
            field->OnChange = on_change;
            field->OnKeyPress = [this](QObject* sender, QChar& key) { KeyPress(sender, key); };
            octets_.push_back(field);
        }
    };

    for (const TParGen_Row& row : rows.rows) {
        const QString name = QLatin1String(row.name);
        switch (row.kind) {
        case TParGen_Row_Kind::Edit: {
            ++line;
            TEdit* edit = Make_Edit(s, name, line);
            edit->OnChange = on_change;
            add_row({Make_Label(s, ParGen_Label_Name(name), line), edit}, name);
            break;
        }
        case TParGen_Row_Kind::Choice: {
            ++line;
            QStringList items;
            for (const char* item : row.items)
                items << QString::fromUtf8(item);
            TComboBox* combo = Make_Choice(s, name, line, items);
            combo->OnChange = on_change;
            add_row({Make_Label(s, ParGen_Label_Name(name), line), combo}, name);
            break;
        }
        case TParGen_Row_Kind::Check: {
            ++line;
            TCheckBox* check = Make_Check(s, name, line);
            check->SetWidth(kFieldLeft + kFieldWidth - kLabelLeft);   // alone in its row
            check->OnClick = on_click;
            add_row({check}, name);
            break;
        }
        case TParGen_Row_Kind::Octets:
            ++line;
            octets(Make_Label(s, ParGen_Label_Name(name), line), name);
            break;
        case TParGen_Row_Kind::Check_Octets: {
            ++line;
            TCheckBox* check = Make_Check(s, QLatin1String(row.check), line);
            check->OnClick = on_click;
            octets(check, name);
            row_of_[check->Name()] = rows_.size() - 1;
            break;
        }
        case TParGen_Row_Kind::Check_Beside: {
            TCheckBox* check = Make_Check(s, name, line, kFieldLeft);
            check->SetWidth(kFieldWidth);
            check->OnClick = on_click;
            add_part(check, name);
            break;
        }
        case TParGen_Row_Kind::Unit: {
            // Right of the field of the row above.
            TLabel* unit = Make_Label(s, name, line);
            const QWidget* field = rows_.back().parts.back().first;
            unit->SetLeft(field->x() + 90);
            if (auto* edit = dynamic_cast<TEdit*>(rows_.back().parts.back().first))
                edit->SetWidth(80);
            add_part(unit, name);
            break;
        }
        }
    }
}

// ---------------------------------------------------------------- texts

void TFParGen::Set_Lang_Protocols()
{
    const QStringList& t = Language_List;
    auto hint_of = [&](const TParGen_Row& row) { return row.hint == 0 ? row.caption + 1 : row.hint; };
    auto set_hint = [&](const QString& control, int entry) {
        if (auto* w = Control(control); w && entry >= 0)
            w->setToolTip(t.value(entry));
    };
    auto set_caption = [&](const QString& control, int entry) {
        QWidget* w = Control(control);
        if (auto* label = dynamic_cast<TLabel*>(w))
            label->SetCaption(t.value(entry));
        else if (auto* check = dynamic_cast<TCheckBox*>(w))
            check->SetCaption(t.value(entry));
    };
    for (const TParGen_Panel_Rows& panel : ParGen_Protocol_Panels())
        for (const TParGen_Row& row : panel.rows) {
            const QString name = QLatin1String(row.name);
            switch (row.kind) {
            case TParGen_Row_Kind::Edit:
            case TParGen_Row_Kind::Choice:
                set_caption(ParGen_Label_Name(name), row.caption);
                set_hint(name, hint_of(row));
                break;
            case TParGen_Row_Kind::Check:
            case TParGen_Row_Kind::Check_Beside:
                set_caption(name, row.caption);
                set_hint(name, hint_of(row));
                break;
            case TParGen_Row_Kind::Unit: set_caption(name, row.caption); break;
            case TParGen_Row_Kind::Octets:
                set_caption(ParGen_Label_Name(name), row.caption);
                for (int i = 0; i < 4; ++i)
                    set_hint(name + QString::number(i + 1), row.caption + 1 + i);
                break;
            case TParGen_Row_Kind::Check_Octets:
                set_caption(QLatin1String(row.check), row.caption);
                set_hint(QLatin1String(row.check), row.caption + 1);
                for (int i = 0; i < 4; ++i)
                    set_hint(name + QString::number(i + 1), row.caption + 2 + i);
                break;
            }
        }

    // The Wi-Fi lists are language texts: refilled, back at their first entry.
    const struct
    {
        const char* name;
        int first, last;
    } lists[] = {{"CB_WiFi_Type", 2593, 2595}, {"CB_WiFi_Secure_Type", 2630, 2633}, {"CB_WiFi_Channel", 2654, 2665}};
    for (const auto& list : lists)
        if (auto* combo = dynamic_cast<TComboBox*>(Control(QLatin1String(list.name)))) {
            QStringList items;
            for (int entry = list.first; entry <= list.last; ++entry)
                items << t.value(entry);
            combo->SetItems(items);
            combo->SetItemIndex(0);
        }
}

// ---------------------------------------------------------------- a model's panels

void TFParGen::Order_TAB_Panels()
{
    const TParGen_Model* model = Find_ParGen_Model(model_);
    if (!model)
        return;
    // The panels were made in the model's order, so the group stacks them and
    // Tab goes through them in that order.
    const char* bacnet_type = BACnet_Type_Of(*model);
    const QStringList captions = ParGen_Panel_Captions(*model);
    for (size_t i = 0; i < model->panels.size(); ++i) {
        const QLatin1String name(model->panels[i]);
        TCategoryPanel* panel = Panel(name);
        if (!panel)
            continue;
        panel->SetVisible(!(bacnet_type && name == QLatin1String("CP_Ethernet") && Choice_Index(bacnet_type) == 0));
        panel->SetCaption(captions.value(static_cast<int>(i)));
    }
}

void TFParGen::Move_GroupBoxs()
{
    RePosition_Objects();
}

void TFParGen::RePosition_Objects()
{
    const TParGen_Model* model = Find_ParGen_Model(model_);
    if (!model)
        return;
    for (const char* name : model->panels)
        RePosition_Object(QLatin1String(name));
    // With "BACnet/IP" the BACnet panel carries the addresses.
    if (const char* bacnet_type = BACnet_Type_Of(*model))
        if (TCategoryPanel* ethernet = Panel(QStringLiteral("CP_Ethernet")))
            ethernet->SetVisible(Choice_Index(bacnet_type) != 0);
}

void TFParGen::RePosition_Object(const QString& panel)
{
    using Routine = void (TFParGen::*)();
    static const std::pair<const char*, Routine> routines[] = {
        {"CP_LoRa", &TFParGen::RePosition_Object_LoRa},
        {"CP_MBus", &TFParGen::RePosition_Object_MBus},
        {"CP_wMBus", &TFParGen::RePosition_Object_wMBus},
        {"CP_Ethernet", &TFParGen::RePosition_Object_Ethernet},
        {"CP_BACnet_Master", &TFParGen::RePosition_Object_BACnet_Master},
        {"CP_BACnet_Slave", &TFParGen::RePosition_Object_BACnet_Slave},
        {"CP_MQTT", &TFParGen::RePosition_Object_MQTT},
        {"CP_TLS", &TFParGen::RePosition_Object_TLS},
        {"CP_TLS_Server", &TFParGen::RePosition_Object_TLS_Server},
        {"CP_SNMP_Agent", &TFParGen::RePosition_Object_SNMP_Agent},
        {"CP_PROFINET", &TFParGen::RePosition_Object_PROFINET},
        {"CP_WiFi", &TFParGen::RePosition_Object_WiFi},
    };
    for (const auto& [name, routine] : routines)
        if (panel == QLatin1String(name))
            return (this->*routine)();
    if (const TParGen_Panel* p = Find_ParGen_Panel(panel); p && p->last)
        RePosition_Object_Height(*p);
}

// ---------------------------------------------------------------- rows

const TFParGen::Row& TFParGen::Row_Of(const char* control) const
{
    const auto it = row_of_.find(QLatin1String(control));
    if (it == row_of_.end())
        throw std::logic_error(std::string("no row holds ") + control);
    return rows_[it->second];
}

void TFParGen::Show_Rows(std::initializer_list<const char*> controls, bool visible)
{
    for (const char* control : controls)
        for (const auto& [w, offset] : Row_Of(control).parts)
            w->setVisible(visible);
}

int TFParGen::Row_Top(const char* control) const
{
    const auto& [w, offset] = Row_Of(control).parts.front();
    return w->y() - offset;
}

void TFParGen::Stack_Rows(int top, const std::vector<std::pair<const char*, bool>>& rows)
{
    for (const auto& [control, shown] : rows) {
        for (const auto& [w, offset] : Row_Of(control).parts) {
            w->setVisible(shown);
            if (shown)
                w->move(w->x(), top + offset);
        }
        if (shown)
            top += kRowPitch;
    }
}

int TFParGen::Choice_Index(const char* control) const
{
    const auto* combo = dynamic_cast<const TComboBox*>(Control(QLatin1String(control)));
    return combo ? combo->ItemIndex() : -1;
}

bool TFParGen::Checked(const char* control) const
{
    const auto* check = dynamic_cast<const TCheckBox*>(Control(QLatin1String(control)));
    return check && check->Checked();
}

// ---------------------------------------------------------------- the panels' layout routines

void TFParGen::RePosition_Object_Height(const TParGen_Panel& panel)
{
    Set_Panel_Height(panel.name, panel.last);
}

void TFParGen::RePosition_Object_BACnet_Master()
{
    const bool ip = Choice_Index("CB_BACnet_Master_Type") == 0;
    Show_Rows({"E_BACnet_Master_IP", "E_BACnet_Master_SM", "E_BACnet_Master_GAT", "E_BACnet_Master_Port",
               "E_BACnet_Master_DeviceName", "E_BACnet_Master_DeviceID", "E_BACnet_Master_Polling_TimeOut"},
              ip);
    const std::vector<std::pair<const char*, bool>> mstp = {
        {"CB_BACnet_Master_MSTP_Baudrate", !ip},     {"CB_BACnet_Master_MSTP_Parity", !ip},
        {"E_BACnet_Master_MSTP_DeviceName", !ip},    {"E_BACnet_Master_MSTP_MAC", !ip},
        {"E_BACnet_Master_MSTP_MaxMaster", !ip},     {"E_BACnet_Master_MSTP_MaxInfoFrame", !ip},
        {"E_BACnet_Master_MSTP_DeviceInstance", !ip}};
    Stack_Rows(Row_Top("E_BACnet_Master_IP"), mstp);
    Set_Panel_Height("CP_BACnet_Master",
                     ip ? "E_BACnet_Master_Polling_TimeOut" : "E_BACnet_Master_MSTP_DeviceInstance");
}

void TFParGen::RePosition_Object_BACnet_Slave()
{
    const bool ip = Choice_Index("CB_BACnet_Slave_Type") == 0;
    Show_Rows({"E_BACnet_Slave_IP", "E_BACnet_Slave_SM", "E_BACnet_Slave_GAT", "E_BACnet_Slave_Port",
               "E_BACnet_Slave_DeviceName", "E_BACnet_Slave_DeviceID"},
              ip);
    const std::vector<std::pair<const char*, bool>> mstp = {
        {"CB_BACnet_Slave_MSTP_Baudrate", !ip},     {"CB_BACnet_Slave_MSTP_Parity", !ip},
        {"E_BACnet_Slave_MSTP_DeviceName", !ip},    {"E_BACnet_Slave_MSTP_MAC", !ip},
        {"E_BACnet_Slave_MSTP_MaxMaster", !ip},     {"E_BACnet_Slave_MSTP_MaxInfoFrame", !ip},
        {"E_BACnet_Slave_MSTP_DeviceInstance", !ip}, {"E_BACnet_Slave_MSTP_Network", !ip}};
    Stack_Rows(Row_Top("E_BACnet_Slave_IP"), mstp);
    // The description check box one row below the last row shown.
    const int last_top = Row_Top(ip ? "E_BACnet_Slave_DeviceID" : "E_BACnet_Slave_MSTP_Network");
    Stack_Rows(last_top + kRowPitch, {{"CB_BACnet_Slave_Desc_32_Chars", true}});
    Set_Panel_Height("CP_BACnet_Slave", "CB_BACnet_Slave_Desc_32_Chars");
}

void TFParGen::RePosition_Object_MQTT()
{
    const bool will = Checked("CB_MQTT_WillFlag");
    const bool on_connection = Checked("CB_MQTT_PublishTopicConnection");
    Stack_Rows(Row_Top("CB_MQTT_WillFlag") + kRowPitch,
               {{"E_MQTT_WillTopic", will},
                {"E_MQTT_WillMessage", will},
                {"CB_MQTT_WillRetain", will},
                {"CB_MQTT_WillQoS", will},
                {"CB_MQTT_PublishTopicConnection", true},
                {"E_MQTT_ConnectionTopic", on_connection},
                {"E_MQTT_ConnectionMessage", on_connection},
                {"CB_MQTT_ConnectionRetain", on_connection},
                {"E_MQTT_UserName", true},
                {"E_MQTT_Password", true}});
    Show_Rows({"E_MQTT_SendTime"}, false);
    Set_Panel_Height("CP_MQTT", "E_MQTT_Password");
}

void TFParGen::RePosition_Object_TLS()
{
    const bool enabled = Checked("CB_TLS_Enable");
    const bool server = enabled && Checked("CB_TLS_En_Server_Auth");
    const bool client = enabled && Checked("CB_TLS_En_Client_Auth");
    const std::vector<std::pair<const char*, bool>> rows = {
        {"CB_TLS_En_Server_Auth", enabled}, {"E_TLS_Cert_Server", server}, {"CB_TLS_En_Client_Auth", enabled},
        {"E_TLS_Cert_Client", client},      {"E_TLS_Key_Client", client},  {"E_TLS_Key_Password_Client", client}};
    Stack_Rows(Row_Top("CB_TLS_Enable") + kRowPitch, rows);
    const char* last = "CB_TLS_Enable";
    for (const auto& [control, shown] : rows)
        if (shown)
            last = control;
    Set_Panel_Height("CP_TLS", last);
}

void TFParGen::RePosition_Object_TLS_Server()
{
    const bool enabled = Checked("CB_TLS_Server_Enable");
    Show_Rows({"E_TLS_Server_Key", "E_TLS_Server_Key_Password", "E_TLS_Server_Certificate",
               "E_TLS_Server_Root_Certificate", "CB_TLS_Server_Only_Known"},
              enabled);
    Set_Panel_Height("CP_TLS_Server", enabled ? "CB_TLS_Server_Only_Known" : "CB_TLS_Server_Enable");
}

void TFParGen::RePosition_Object_SNMP_Agent()
{
    const bool v3 = Checked("CB_SNMP_Agent_Version3");
    const int level = Choice_Index("CB_SNMP_Agent_SecurityLevel");
    const bool authority = v3 && (level == 1 || level == 2);   // "Authority NoPrivacy", "Authority Privacy"
    const bool privacy = v3 && level == 2;
    Show_Rows({"E_SNMP_Agent_User", "CB_SNMP_Agent_SecurityLevel"}, v3);
    Show_Rows({"E_SNMP_Agent_Authority", "CB_SNMP_Agent_AuthorityMode"}, authority);
    Show_Rows({"E_SNMP_Agent_Privacy", "CB_SNMP_Agent_PrivacyMode"}, privacy);
    const char* last = privacy     ? "CB_SNMP_Agent_PrivacyMode"
                       : authority ? "CB_SNMP_Agent_AuthorityMode"
                       : v3        ? "CB_SNMP_Agent_SecurityLevel"
                                   : "CB_SNMP_Agent_Version3";
    Set_Panel_Height("CP_SNMP_Agent", last);
}

void TFParGen::RePosition_Object_PROFINET()
{
    Show_Rows({"CB_PROFINET_Diagnostic", "E_PROFINET_Diagnostic_Byte"}, false);
    Set_Panel_Height("CP_PROFINET", "E_PROFINET_NByte_Out");
}

void TFParGen::RePosition_Object_WiFi()
{
    const int type = Choice_Index("CB_WiFi_Type");
    const int below_type = Row_Top("CB_WiFi_Type") + kRowPitch;
    if (type == 0) {   // "Access Point"
        const bool secured = Choice_Index("CB_WiFi_Secure_Type") != 0;   // not "Unsecured"
        const bool dhcp = Checked("CB_WiFi_En_DHCP");
        Show_Rows({"CB_WiFi_IP_Auto", "E_WiFi_Name", "CB_WiFi_En_WPS"}, false);
        Stack_Rows(below_type, {{"E_WiFi_IP", true},
                                {"E_WiFi_SM", true},
                                {"E_WiFi_GAT", true},
                                {"E_WiFi_DNS", true},
                                {"E_WiFi_Port", true},
                                {"E_WiFi_SSID", true},
                                {"CB_WiFi_Secure_Type", true},
                                {"E_WiFi_Password", secured},
                                {"CB_WiFi_En_DHCP", true},
                                {"E_WiFi_DHCP_IP", dhcp},
                                {"E_WiFi_DHCP_SM", dhcp},
                                {"E_WiFi_Lease_Time", dhcp},
                                {"E_WiFi_Max_Client", true},
                                {"CB_WiFi_Channel", true}});
        Set_Panel_Height("CP_WiFi", "CB_WiFi_Channel");
    } else if (type == 1) {   // "Client Mode"
        const bool automatic = Checked("CB_WiFi_IP_Auto");
        Show_Rows({"CB_WiFi_Secure_Type", "CB_WiFi_En_DHCP", "E_WiFi_DHCP_IP", "E_WiFi_DHCP_SM", "E_WiFi_Lease_Time",
                   "E_WiFi_Max_Client", "CB_WiFi_Channel", "CB_WiFi_En_WPS"},
                  false);
        Stack_Rows(below_type, {{"CB_WiFi_IP_Auto", true},
                                {"E_WiFi_Name", automatic},
                                {"E_WiFi_IP", !automatic},
                                {"E_WiFi_SM", !automatic},
                                {"E_WiFi_GAT", !automatic},
                                {"E_WiFi_DNS", !automatic},
                                {"E_WiFi_Port", true},
                                {"E_WiFi_SSID", true},
                                {"E_WiFi_Password", true}});
        Set_Panel_Height("CP_WiFi", "E_WiFi_Password");
    }
    // "WiFi Direct" changes nothing.
}

#include "configuration/UParGen.h"
#include "configuration/UParGen_Check.h"
#include "configuration/UParGen_Form.h"
#include "configuration/UParGen_Panels.h"
#include "configuration/UParGen_Payload.h"
#include "configuration/UProject_File.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/NumberText.h"
#include "platform/OctetField.h"
#include "widgets/LbButton.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

TFParGen* FParGen = nullptr;

using namespace platform;
using namespace ParGen;
using namespace ParGen_Form;

namespace {

constexpr int kClientWidth = 460;
constexpr int kClientHeight = 700;

void Set_Shown(std::initializer_list<QWidget*> controls, bool visible)
{
    for (QWidget* w : controls)
        w->setVisible(visible);
}

// A hexadecimal field's paste: the digits of the whole clipboard, upper-cased,
// before the field's length cuts them.
void Paste_Hex_Digits(TEdit* edit)
{
    if (!edit->ReadOnly())
        edit->insert(Hex_Digits_Of(QGuiApplication::clipboard()->text()));
}

// The paste entry of a line edit's standard menu: named so by newer Qt,
// known by its text before.
QAction* Paste_Action(QMenu* menu)
{
    for (QAction* action : menu->actions())
        if (action->objectName() == QLatin1String("edit-paste") || action->text().startsWith(QLineEdit::tr("&Paste")))
            return action;
    return nullptr;
}

// The field's own context menu, whose paste takes the digits only.
class Hex_Menu_Filter : public QObject
{
public:
    explicit Hex_Menu_Filter(TEdit* edit) : QObject(edit), edit_(edit) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != edit_ || event->type() != QEvent::ContextMenu)
            return false;
        RunGuarded([&] {
            QMenu* menu = edit_->createStandardContextMenu();
            menu->setAttribute(Qt::WA_DeleteOnClose);
            if (QAction* paste = Paste_Action(menu)) {
                paste->disconnect();
                TEdit* edit = edit_;
                QObject::connect(paste, &QAction::triggered, edit,
                                 [edit] { RunGuarded([&] { Paste_Hex_Digits(edit); }); });
            }
            menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        });
        return true;
    }

private:
    TEdit* edit_;
};

// Wheel turns inside the panels go to the window before the control under
// the pointer sees them.
class Wheel_Filter : public QObject
{
public:
    explicit Wheel_Filter(TFParGen* form) : QObject(form), form_(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel)
            return false;
        auto* wheel = static_cast<QWheelEvent*>(event);
        bool handled = false;
        RunGuarded([&] {
            form_->FormMouseWheel(watched, ShiftStateFromQt(wheel->modifiers(), wheel->buttons()),
                                  wheel->angleDelta().y(), wheel->globalPosition().toPoint(), handled);
        });
        return handled;
    }

private:
    TFParGen* form_;
};

} // namespace

TFParGen::TFParGen() : TFParGen(ParGen_Build_Model) {}

TFParGen::TFParGen(const QString& model) : model_(model)
{
    SetName(QStringLiteral("FParGen"));
    SetBorderStyle(bsSizeable);
    SetBorderIcons(biSystemMenu);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(kClientWidth);
    SetClientHeight(kClientHeight);

    SetCaption(Language_List.value(400));
    // The panels are built when the window is first needed.
    Build_When_Needed(this, [this] { Create_Controls(); });
}

void TFParGen::Create_Controls()
{
    const Title_Panel title = Make_Title_Panel(this);
    P_Title = title.P_Title;
    P_Title->SetHeight(69);
    L_SW_Code = title.L_SW_Code;
    L_SW_Desc = title.L_SW_Desc;
    L_SW_Desc->SetTop(40);

    const Button_Panel buttons = Make_Button_Panel(this);
    P_Button = buttons.P_Button;
    P_Button->SetHeight(40);
    Btn_OK = buttons.Btn_OK;
    Btn_Cancel = buttons.Btn_Cancel;
    Btn_OK->SetTop(6);
    Btn_Cancel->SetTop(6);
    Btn_OK->OnClick = [this](QObject* sender) { Btn_OKClick(sender); };

    CPG = new TCategoryPanelGroup(this);
    CPG->SetName(QStringLiteral("CPG"));
    CPG->SetAlign(alClient);
    CPG->setFrameShape(QFrame::NoFrame);
    // The group stacks its panels, and Tab runs through them, in the order
    // they are made: the model's panels first, in its order, then the others.
    if (const TParGen_Model* m = Find_ParGen_Model(model_))
        for (const char* name : m->panels)
            Create_Panel(QLatin1String(name));
    for (const TParGen_Panel& p : ParGen_Panels())
        if (!Panel(QLatin1String(p.name)))
            Create_Panel(QLatin1String(p.name));
    for (QWidget* w : CPG->widget()->findChildren<QWidget*>())
        if (!w->objectName().isEmpty())
            controls_.emplace(w->objectName(), w);
    Wire_Events();

    OnShow = [this](QObject*) { FormShow(); };
    OnResize = [this](QObject*) { FormResize(); };

    // Creation: the software code, every panel hidden, then the model's
    // panels ordered, laid out and given their texts.
    L_SW_Code->SetCaption(SW_Code);
    for (const auto& [name, panel] : panels_)
        panel->SetVisible(false);
    Order_TAB_Panels();
    Move_GroupBoxs();
    Set_Lang();
}

TFParGen::~TFParGen()
{
    if (FParGen == this)
        FParGen = nullptr;
}

void TFParGen::Create_LoRa_Panel()
{
    CP_LoRa = CPG->AddPanel(QString());
    CP_LoRa->SetName(QStringLiteral("CP_LoRa"));
    panels_[QStringLiteral("CP_LoRa")] = CP_LoRa;
    QWidget* s = CP_LoRa->Surface();
    const auto& e = Elements();
    // Every row but the band's is placed by RePosition_Object_LoRa.
    L_LoRa_RF_Band = Make_Label(s, "L_LoRa_RF_Band", 0);
    CB_LoRa_RF_Band = Make_Choice(s, "CB_LoRa_RF_Band", 0, e[LoRa_RF_Band].choices);
    L_LoRa_FrequencySubBand = Make_Label(s, "L_LoRa_FrequencySubBand", 1);
    CB_LoRa_FrequencySubBand = Make_Choice(s, "CB_LoRa_FrequencySubBand", 1, e[LoRa_Frequency_SubBand].choices);
    L_LoRa_Network_Type = Make_Label(s, "L_LoRa_Network_Type", 2);
    CB_LoRa_Network_Type = Make_Choice(s, "CB_LoRa_Network_Type", 2, e[LoRa_Network_Type].choices);
    CB_LoRa_Adaptive_DataRate = Make_Check(s, "CB_LoRa_Adaptive_DataRate", 3);
    L_LoRa_DataRate = Make_Label(s, "L_LoRa_DataRate", 4);
    CB_LoRa_DataRate = Make_Choice(s, "CB_LoRa_DataRate", 4, {});
    L_LoRa_Transmission_Type = Make_Label(s, "L_LoRa_Transmission_Type", 5);
    CB_LoRa_Transmission_Type = Make_Choice(s, "CB_LoRa_Transmission_Type", 5, e[LoRa_Transmission_Type].choices);
    L_LoRa_Payload_Size = Make_Label(s, "L_LoRa_Payload_Size", 6);
    E_LoRa_Payload_Size = Make_Edit(s, "E_LoRa_Payload_Size", 6, kFieldLeft, 60);
    E_LoRa_Payload_Size->SetReadOnly(true);
    L_LoRa_JoinEUI = Make_Label(s, "L_LoRa_JoinEUI", 7);
    E_LoRa_JoinEUI = Make_Edit(s, "E_LoRa_JoinEUI", 7);
    L_LoRa_Activation_Method = Make_Label(s, "L_LoRa_Activation_Method", 8);
    CB_LoRa_Activation_Method = Make_Choice(s, "CB_LoRa_Activation_Method", 8, e[LoRa_Activation_Method].choices);
    L_LoRa_Device_Address = Make_Label(s, "L_LoRa_Device_Address", 9);
    E_LoRa_Device_Address = Make_Edit(s, "E_LoRa_Device_Address", 9);
    L_LoRa_Network_Session_Key = Make_Label(s, "L_LoRa_Network_Session_Key", 10);
    E_LoRa_Network_Session_Key = Make_Edit(s, "E_LoRa_Network_Session_Key", 10);
    L_LoRa_Application_Session_Key = Make_Label(s, "L_LoRa_Application_Session_Key", 11);
    E_LoRa_Application_Session_Key = Make_Edit(s, "E_LoRa_Application_Session_Key", 11);
    L_LoRa_Application_Key = Make_Label(s, "L_LoRa_Application_Key", 12);
    E_LoRa_Application_Key = Make_Edit(s, "E_LoRa_Application_Key", 12);
    L_LoRa_FPort = Make_Label(s, "L_LoRa_FPort", 13);
    CB_LoRa_FPort = Make_Choice(s, "CB_LoRa_FPort", 13, e[LoRa_FPort].choices);

    const std::pair<TEdit*, int> hex[] = {{E_LoRa_JoinEUI, 16}, {E_LoRa_Device_Address, 8},
                                          {E_LoRa_Network_Session_Key, 32}, {E_LoRa_Application_Session_Key, 32},
                                          {E_LoRa_Application_Key, 32}, {E_LoRa_Payload_Size, 0}};
    for (const auto& [edit, digits] : hex) {
        edit->SetCharCase(ecUpperCase);
        if (digits > 0)
            edit->SetMaxLength(digits);
        hex_fields_.push_back({edit, digits});
    }

    bindings_.insert(bindings_.end(), {
        {LoRa_RF_Band, CB_LoRa_RF_Band},
        {LoRa_Network_Type, CB_LoRa_Network_Type},
        {LoRa_Adaptive_DataRate, CB_LoRa_Adaptive_DataRate},
        {LoRa_DataRate, CB_LoRa_DataRate},
        {LoRa_Transmission_Type, CB_LoRa_Transmission_Type},
        {LoRa_Payload_Size, E_LoRa_Payload_Size},
        {LoRa_Activation_Method, CB_LoRa_Activation_Method},
        {LoRa_Device_Address, E_LoRa_Device_Address},
        {LoRa_JoinEUI, E_LoRa_JoinEUI},
        {LoRa_Network_Session_Key, E_LoRa_Network_Session_Key},
        {LoRa_Application_Session_Key, E_LoRa_Application_Session_Key},
        {LoRa_Application_Key, E_LoRa_Application_Key},
        {LoRa_FPort, CB_LoRa_FPort},
        {LoRa_Frequency_SubBand, CB_LoRa_FrequencySubBand},
    });
}

void TFParGen::Create_MBus_Panel()
{
    CP_MBus = CPG->AddPanel(QString());
    CP_MBus->SetName(QStringLiteral("CP_MBus"));
    panels_[QStringLiteral("CP_MBus")] = CP_MBus;
    QWidget* s = CP_MBus->Surface();
    const auto& e = Elements();
    L_MBus_OnWire_Present = Make_Label(s, "L_MBus_OnWire_Present", 0);
    CB_MBus_OnWire_Present = Make_Choice(s, "CB_MBus_OnWire_Present", 0, {});
    L_MBus_Baud = Make_Label(s, "L_MBus_Baud", 1);
    CB_MBus_Baud = Make_Choice(s, "CB_MBus_Baud", 1, e[Meter_Baud].choices);
    L_MBus_Parity = Make_Label(s, "L_MBus_Parity", 2);
    CB_MBus_Parity = Make_Choice(s, "CB_MBus_Parity", 2, e[Meter_Par].choices);
    L_MBus_Cyclic_Delay = Make_Label(s, "L_MBus_Cyclic_Delay", 3);
    E_MBus_Cyclic_Delay = Make_Edit(s, "E_MBus_Cyclic_Delay", 3, kFieldLeft, 80);
    // Its text is long: up to three lines, centred beside the field, and the
    // rows below a little lower.
    L_MBus_NodeState = Make_Label(s, "L_MBus_NodeState", 4);
    L_MBus_NodeState->SetAutoSize(false);
    L_MBus_NodeState->SetWordWrap(true);
    L_MBus_NodeState->SetLayout(TTextLayout::tlCenter);
    constexpr int kNodeStateDown = 7;
    E_MBus_NodeState = Make_Edit(s, "E_MBus_NodeState", 4, kFieldLeft, 80);
    E_MBus_NodeState->SetTop(E_MBus_NodeState->Top() + kNodeStateDown);
    L_MBus_NodeState->SetBounds(kLabelLeft, E_MBus_NodeState->Top() + kFieldHeight / 2 - 20,
                                kFieldLeft - kLabelLeft - 6, 40);
    CB_MBus_FixCField = Make_Check(s, "CB_MBus_FixCField", 5);
    CB_MBus_SelectCField = Make_Choice(s, "CB_MBus_SelectCField", 5, e[Meter_Select_C_Field].choices);
    CB_MBus_FixCField->SetTop(CB_MBus_FixCField->Top() + 2 * kNodeStateDown);
    CB_MBus_SelectCField->SetTop(CB_MBus_SelectCField->Top() + 2 * kNodeStateDown);

    bindings_.insert(bindings_.end(), {
        {Meter_Present, CB_MBus_OnWire_Present},
        {Meter_Baud, CB_MBus_Baud},
        {Meter_Par, CB_MBus_Parity},
        {Meter_Req_Delay, E_MBus_Cyclic_Delay},
        {Meter_NS_Error_Code, E_MBus_NodeState},
        {Meter_Use_Fix_C_Field, CB_MBus_FixCField},
        {Meter_Select_C_Field, CB_MBus_SelectCField},
    });
}

void TFParGen::Create_wMBus_Panel()
{
    CP_wMBus = CPG->AddPanel(QString());
    CP_wMBus->SetName(QStringLiteral("CP_wMBus"));
    panels_[QStringLiteral("CP_wMBus")] = CP_wMBus;
    QWidget* s = CP_wMBus->Surface();
    const auto& e = Elements();
    L_wMBus_Wireless_Present = Make_Label(s, "L_wMBus_Wireless_Present", 0);
    CB_wMBus_Wireless_Present = Make_Choice(s, "CB_wMBus_Wireless_Present", 0, {});
    L_wMBus_Mode = Make_Label(s, "L_wMBus_Mode", 1);
    CB_wMBus_Mode = Make_Choice(s, "CB_wMBus_Mode", 1, e[wMBus_Mode].choices);
    L_wMBus_Radio_Channel = Make_Label(s, "L_wMBus_Radio_Channel", 2);
    CB_wMBus_Radio_Channel = Make_Choice(s, "CB_wMBus_Radio_Channel", 2, e[wMBus_Radio_Channel].choices);

    bindings_.insert(bindings_.end(), {
        {wMBus_Present, CB_wMBus_Wireless_Present},
        {wMBus_Mode, CB_wMBus_Mode},
        {wMBus_Radio_Channel, CB_wMBus_Radio_Channel},
    });
}

void TFParGen::Create_Ethernet_Panel()
{
    CP_Ethernet = CPG->AddPanel(QString());
    CP_Ethernet->SetName(QStringLiteral("CP_Ethernet"));
    panels_[QStringLiteral("CP_Ethernet")] = CP_Ethernet;
    QWidget* s = CP_Ethernet->Surface();
    L_Ethernet_IP = Make_Label(s, "L_Ethernet_IP", 0);
    const Octet_Row ip = Make_Octets(s, "E_Ethernet_IP", 0);
    L_Ethernet_SM = Make_Label(s, "L_Ethernet_SM", 1);
    const Octet_Row sm = Make_Octets(s, "E_Ethernet_SM", 1);
    CB_Ethernet_En_GAT = Make_Check(s, "CB_Ethernet_En_GAT", 2);
    const Octet_Row gat = Make_Octets(s, "E_Ethernet_GAT", 2);
    CB_Ethernet_DNS = Make_Check(s, "CB_Ethernet_DNS", 3);
    const Octet_Row dns = Make_Octets(s, "E_Ethernet_DNS", 3);
    L_Ethernet_TCP_Port = Make_Label(s, "L_Ethernet_TCP_Port", 4);
    E_Ethernet_TCP_Port = Make_Edit(s, "E_Ethernet_TCP_Port", 4, kFieldLeft, 80);
    L_Ethernet_UDP_Port = Make_Label(s, "L_Ethernet_UDP_Port", 5);
    E_Ethernet_UDP_Port = Make_Edit(s, "E_Ethernet_UDP_Port", 5, kFieldLeft, 80);
    for (int i = 0; i < 4; ++i) {
        E_Ethernet_IP[i] = ip.fields[i];
        E_Ethernet_SM[i] = sm.fields[i];
        E_Ethernet_GAT[i] = gat.fields[i];
        E_Ethernet_DNS[i] = dns.fields[i];
    }
    for (TEdit* const* row : {E_Ethernet_IP, E_Ethernet_SM, E_Ethernet_GAT, E_Ethernet_DNS})
        ethernet_chain_.insert(ethernet_chain_.end(), row, row + 4);
    dns_dots_.assign(dns.dots, dns.dots + 3);

    for (int i = 0; i < 4; ++i) {
        bindings_.push_back({Element(Ethernet_IP1 + i), E_Ethernet_IP[i]});
        bindings_.push_back({Element(Ethernet_SM1 + i), E_Ethernet_SM[i]});
        bindings_.push_back({Element(Ethernet_GAT1 + i), E_Ethernet_GAT[i]});
        bindings_.push_back({Element(Ethernet_DNS1 + i), E_Ethernet_DNS[i]});
    }
    bindings_.push_back({Ethernet_EN_GAT, CB_Ethernet_En_GAT});
    bindings_.push_back({Ethernet_EN_DNS, CB_Ethernet_DNS});
}

void TFParGen::Wire_Events()
{
    for (const Binding& b : bindings_) {
        if (auto* combo = dynamic_cast<TComboBox*>(b.control))
            combo->OnChange = [this](QObject* sender) { On_Change(sender); };
        else if (auto* check = dynamic_cast<TCheckBox*>(b.control))
            check->OnClick = [this](QObject* sender) { On_Click(sender); };
        else if (auto* edit = dynamic_cast<TEdit*>(b.control))
            edit->OnChange = [this](QObject* sender) { On_Change(sender); };
    }
    for (TEdit* edit : ethernet_chain_)
        edit->OnKeyPress = [this](QObject* sender, QChar& key) { KeyPress(sender, key); };

    for (const Hex_Field& field : hex_fields_) {
        TEdit* edit = field.edit;
        edit->OnKeyPress = [this](QObject* sender, QChar& key) { OnKeyPress(sender, key); };
        // Pasting with the keyboard takes the digits of the whole clipboard
        // before the field's length cuts it.
        edit->OnKeyDown = [edit](QObject*, int& key, TShiftState shift) {
            const bool paste = (key == 'V' && (shift & ssCtrl) && !(shift & ssAlt))
                               || (key == VK_INSERT && (shift & ssShift) && !(shift & ssCtrl));
            if (!paste || edit->ReadOnly())
                return;
            key = 0;
            Paste_Hex_Digits(edit);
        };
        // So does the paste of the context menu.
        edit->installEventFilter(new Hex_Menu_Filter(edit));
        // Whatever else the user puts in (a drop, the selection's middle-click
        // paste) keeps only its digits, within what the field's length let in.
        QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
            RunGuarded([&] {
                const QString digits = Hex_Digits_Of(text);
                if (digits == text)
                    return;
                const int cursor = static_cast<int>(Hex_Digits_Of(text.left(edit->cursorPosition())).size());
                edit->SetText(digits);
                edit->setCursorPosition(std::min(cursor, static_cast<int>(edit->text().size())));
            });
        });
    }

    wheel_filter_ = new Wheel_Filter(this);
    CPG->viewport()->installEventFilter(wheel_filter_);
    for (QWidget* w : CPG->widget()->findChildren<QWidget*>())
        if (!w->isWindow())
            w->installEventFilter(wheel_filter_);
}

TCategoryPanel* TFParGen::Panel(const QString& name) const
{
    const auto it = panels_.find(name);
    return it == panels_.end() ? nullptr : it->second;
}

QWidget* TFParGen::Control(const QString& name) const
{
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

// ---------------------------------------------------------------- texts

void TFParGen::Set_Lang()
{
    const QStringList& t = Language_List;
    SetCaption(t.value(400));
    if (!Built())
        return;
    L_SW_Desc->SetCaption(t.value(401));
    Btn_OK->SetCaption(t.value(402));
    Btn_Cancel->SetCaption(t.value(403));
    Btn_OK->SetHint(t.value(404));
    Btn_Cancel->SetHint(t.value(405));

    // The first panel shows its caption without a number.
    CP_LoRa->SetCaption(t.value(406));
    auto row = [&](TLabel* label, QWidget* field, int caption, int hint) {
        label->SetCaption(t.value(caption));
        field->setToolTip(t.value(hint));
    };
    row(L_LoRa_RF_Band, CB_LoRa_RF_Band, 407, 408);
    row(L_LoRa_Network_Type, CB_LoRa_Network_Type, 409, 410);
    row(L_LoRa_Activation_Method, CB_LoRa_Activation_Method, 411, 412);
    row(L_LoRa_Device_Address, E_LoRa_Device_Address, 413, 414);
    row(L_LoRa_JoinEUI, E_LoRa_JoinEUI, 415, 416);
    row(L_LoRa_Network_Session_Key, E_LoRa_Network_Session_Key, 417, 418);
    row(L_LoRa_Application_Session_Key, E_LoRa_Application_Session_Key, 419, 420);
    row(L_LoRa_Application_Key, E_LoRa_Application_Key, 421, 422);
    CB_LoRa_Adaptive_DataRate->SetCaption(t.value(483));
    CB_LoRa_Adaptive_DataRate->SetHint(t.value(484));
    row(L_LoRa_DataRate, CB_LoRa_DataRate, 485, 486);
    row(L_LoRa_Transmission_Type, CB_LoRa_Transmission_Type, 487, 488);
    row(L_LoRa_Payload_Size, E_LoRa_Payload_Size, 489, 490);
    row(L_LoRa_FPort, CB_LoRa_FPort, 491, 492);
    row(L_LoRa_FrequencySubBand, CB_LoRa_FrequencySubBand, 2904, 2905);

    L_Ethernet_IP->SetCaption(t.value(437));
    L_Ethernet_SM->SetCaption(t.value(442));
    CB_Ethernet_En_GAT->SetCaption(t.value(447));
    CB_Ethernet_En_GAT->SetHint(t.value(448));
    CB_Ethernet_DNS->SetCaption(t.value(453));
    CB_Ethernet_DNS->SetHint(t.value(454));
    for (int i = 0; i < 4; ++i) {
        E_Ethernet_IP[i]->SetHint(t.value(438 + i));
        E_Ethernet_SM[i]->SetHint(t.value(443 + i));
        E_Ethernet_GAT[i]->SetHint(t.value(449 + i));
        E_Ethernet_DNS[i]->SetHint(t.value(455 + i));
    }
    row(L_Ethernet_TCP_Port, E_Ethernet_TCP_Port, 459, 460);
    row(L_Ethernet_UDP_Port, E_Ethernet_UDP_Port, 461, 462);

    // The presence lists are language texts: refilled, back at "Not Present".
    CB_MBus_OnWire_Present->SetItems({t.value(633), t.value(634)});
    CB_MBus_OnWire_Present->SetItemIndex(0);
    row(L_MBus_OnWire_Present, CB_MBus_OnWire_Present, 632, 635);
    row(L_MBus_Baud, CB_MBus_Baud, 636, 637);
    row(L_MBus_Parity, CB_MBus_Parity, 638, 639);
    row(L_MBus_Cyclic_Delay, E_MBus_Cyclic_Delay, 640, 641);
    row(L_MBus_NodeState, E_MBus_NodeState, 642, 643);
    CB_MBus_FixCField->SetCaption(t.value(655));
    CB_MBus_FixCField->SetHint(t.value(656));
    CB_MBus_SelectCField->SetHint(t.value(657));

    CB_wMBus_Wireless_Present->SetItems({t.value(646), t.value(647)});
    CB_wMBus_Wireless_Present->SetItemIndex(0);
    row(L_wMBus_Wireless_Present, CB_wMBus_Wireless_Present, 645, 648);
    row(L_wMBus_Mode, CB_wMBus_Mode, 649, 650);
    row(L_wMBus_Radio_Channel, CB_wMBus_Radio_Channel, 651, 652);

    Set_Lang_Protocols();
}

// ---------------------------------------------------------------- panels

void TFParGen::Set_Panel_Height(TCategoryPanel* panel, const QWidget* last)
{
    panel->SetExpandedHeight(last->y() + last->height() + CPG->HeaderHeight() + 12);
}

void TFParGen::Set_Panel_Height(const char* panel, const char* last)
{
    TCategoryPanel* p = Panel(QLatin1String(panel));
    const QWidget* w = Control(QLatin1String(last));
    if (p && w)
        Set_Panel_Height(p, w);
}

void TFParGen::RePosition_Object_LoRa()
{
    const int band = CB_LoRa_RF_Band->ItemIndex();
    const bool sub_band = band == 5 || band == 6;   // "US915", "US915-Hybrid"
    const bool abp = CB_LoRa_Activation_Method->ItemIndex() == 0;
    struct Row
    {
        QWidget* label;   // or the check box standing alone
        QWidget* field;
        bool shown;
    };
    const Row rows[] = {
        {L_LoRa_FrequencySubBand, CB_LoRa_FrequencySubBand, sub_band},
        {L_LoRa_Network_Type, CB_LoRa_Network_Type, true},
        {CB_LoRa_Adaptive_DataRate, nullptr, true},
        {L_LoRa_DataRate, CB_LoRa_DataRate, true},
        {L_LoRa_Transmission_Type, CB_LoRa_Transmission_Type, true},
        {L_LoRa_Payload_Size, E_LoRa_Payload_Size, true},
        {L_LoRa_JoinEUI, E_LoRa_JoinEUI, true},
        {L_LoRa_Activation_Method, CB_LoRa_Activation_Method, true},
        {L_LoRa_Device_Address, E_LoRa_Device_Address, abp},
        {L_LoRa_Network_Session_Key, E_LoRa_Network_Session_Key, abp},
        {L_LoRa_Application_Session_Key, E_LoRa_Application_Session_Key, abp},
        {L_LoRa_Application_Key, E_LoRa_Application_Key, !abp},
        {L_LoRa_FPort, CB_LoRa_FPort, true},
    };
    const int base = CB_LoRa_RF_Band->Top();
    int n = 0;
    for (const Row& r : rows) {
        r.label->setVisible(r.shown);
        if (r.field)
            r.field->setVisible(r.shown);
        if (!r.shown)
            continue;
        ++n;
        const int top = base + kRowPitch * n;
        r.label->move(r.label->x(), r.field ? top : top - 1);
        if (r.field)
            r.field->move(r.field->x(), top - 3);
    }
    Set_Panel_Height(CP_LoRa, CB_LoRa_FPort);
}

void TFParGen::RePosition_Object_MBus()
{
    const bool present = CB_MBus_OnWire_Present->ItemIndex() != 0;
    Set_Shown({L_MBus_Baud, CB_MBus_Baud, L_MBus_Parity, CB_MBus_Parity, L_MBus_Cyclic_Delay, E_MBus_Cyclic_Delay,
          L_MBus_NodeState, E_MBus_NodeState, CB_MBus_FixCField, CB_MBus_SelectCField},
         present);
    Set_Panel_Height(CP_MBus, present ? CB_MBus_SelectCField : CB_MBus_OnWire_Present);
}

void TFParGen::RePosition_Object_wMBus()
{
    const bool present = CB_wMBus_Wireless_Present->ItemIndex() != 0;
    Set_Shown({L_wMBus_Mode, CB_wMBus_Mode, L_wMBus_Radio_Channel, CB_wMBus_Radio_Channel}, present);
    Set_Panel_Height(CP_wMBus, present ? CB_wMBus_Radio_Channel : CB_wMBus_Wireless_Present);
}

void TFParGen::RePosition_Object_Ethernet()
{
    Set_Shown({CB_Ethernet_DNS, E_Ethernet_DNS[0], E_Ethernet_DNS[1], E_Ethernet_DNS[2], E_Ethernet_DNS[3],
          dns_dots_[0], dns_dots_[1], dns_dots_[2], L_Ethernet_TCP_Port, E_Ethernet_TCP_Port, L_Ethernet_UDP_Port,
          E_Ethernet_UDP_Port},
         false);
    Set_Panel_Height(CP_Ethernet, E_Ethernet_GAT[3]);
}

// ---------------------------------------------------------------- data rates

void TFParGen::Change_LoRa_DataRate()
{
    const QStringList rates = LoRa_DataRate_Texts(CB_LoRa_RF_Band->Text());
    CB_LoRa_DataRate->Clear();
    CB_LoRa_DataRate->SetItems(rates);
    CB_LoRa_DataRate->SetItemIndex(rates.isEmpty() ? -1 : 0);
}

int TFParGen::Find_Max_PayLoad() const
{
    return LoRa_Max_Payload(CB_LoRa_RF_Band->Text(), CB_LoRa_DataRate->Text());
}

void TFParGen::Set_Max_Payload_Size()
{
    E_LoRa_Payload_Size->SetText(QString::number(Find_Max_PayLoad()));
}

// ---------------------------------------------------------------- values

TParGen_Values TFParGen::Values() const
{
    TParGen_Values v;
    for (const Binding& b : bindings_) {
        QString& out = v[b.element];
        switch (Elements()[b.element].encoding) {
        case Encoding::Choice_Text: {
            const auto* combo = static_cast<const TComboBox*>(b.control);
            out = combo->ItemIndex() >= 0 ? combo->Text() : QString();
            break;
        }
        case Encoding::Choice_Position:
            out = QString::number(static_cast<const TComboBox*>(b.control)->ItemIndex());
            break;
        case Encoding::Flag:
            out = static_cast<const TCheckBox*>(b.control)->Checked() ? QStringLiteral("1") : QStringLiteral("0");
            break;
        case Encoding::Typed_Text: out = static_cast<const TEdit*>(b.control)->Text(); break;
        }
    }
    return v;
}

void TFParGen::Set_Values(const TParGen_Values& v)
{
    // A key or address longer than its field, which only a hand-edited file
    // can hold, is shown whole rather than cut: OK then names the field
    // instead of saving a shortened key without a word. Typing cannot make
    // it longer still.
    for (const Hex_Field& field : hex_fields_)
        if (field.digits > 0) {
            const auto it = std::find_if(bindings_.begin(), bindings_.end(),
                                         [&](const Binding& b) { return b.control == field.edit; });
            if (it != bindings_.end())
                field.edit->SetMaxLength(std::max(field.digits, static_cast<int>(v[it->element].size())));
        }
    for (const Binding& b : bindings_) {
        const QString& value = v[b.element];
        switch (Elements()[b.element].encoding) {
        case Encoding::Choice_Text: {
            auto* combo = static_cast<TComboBox*>(b.control);
            combo->SetItemIndex(static_cast<int>(combo->Items().indexOf(value)));
            // The band's data rates are in the list before a data rate is chosen.
            if (combo == CB_LoRa_RF_Band)
                Change_LoRa_DataRate();
            break;
        }
        case Encoding::Choice_Position:
            static_cast<TComboBox*>(b.control)->SetItemIndex(NumberOr(value, -1));
            break;
        case Encoding::Flag: static_cast<TCheckBox*>(b.control)->SetChecked(value == QLatin1String("1")); break;
        case Encoding::Typed_Text: static_cast<TEdit*>(b.control)->SetText(value); break;
        }
    }
}

// ---------------------------------------------------------------- events

void TFParGen::FormShow()
{
    TParGen_Values values;
    QString error;
    // A file that cannot be read is shown as a new configuration only when the
    // user allows OK to replace it; otherwise the window closes and it stays.
    if (Load_ParGen(FileName_ParGen, &values, &error) == TParGen_Load::Not_Loaded
        && !Damaged_File_May_Be_Replaced(error)) {
        SetModalResult(mrCancel);
        return;
    }
    Set_Values(values);
    Move_GroupBoxs();
    Set_Max_Payload_Size();
}

void TFParGen::FormResize()
{
    if (ClientWidth() != kClientWidth)
        SetClientWidth(kClientWidth);
}

void TFParGen::FormMouseWheel(QObject*, TShiftState, int wheelDelta, QPoint mousePos, bool& handled)
{
    QWidget* area = CPG->viewport();
    if (!QRect(area->mapToGlobal(QPoint(0, 0)), area->size()).contains(mousePos))
        return;
    handled = true;
    // Small touchpad steps add up to whole notches.
    wheel_rest_ += wheelDelta;
    const int notches = wheel_rest_ / 120;
    wheel_rest_ -= notches * 120;
    const int lines = QApplication::wheelScrollLines();
    if (lines < 1)
        return;
    QScrollBar* bar = CPG->verticalScrollBar();
    for (int i = 0; i < std::abs(notches) * lines; ++i)
        bar->triggerAction(notches > 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
}

void TFParGen::Btn_OKClick(QObject*)
{
    if (!Controllo_Dati())
        return;
    QString error;
    if (!Save_ParGen(FileName_ParGen, Values(), &error)) {
        // The old file is still whole; the user may try again or cancel.
        ShowErrorBox(error);
        return;
    }
    SetModalResult(mrOk);
}

bool TFParGen::Controllo_Dati()
{
    const std::optional<TParGen_Fault> fault = Check_ParGen(Values());
    if (!fault)
        return true;
    ShowMessage(MessageKind::Error, fault->text, MessageButtons::Ok);
    return false;
}

void TFParGen::On_Change(QObject* sender)
{
    if (sender == CB_LoRa_RF_Band) {
        Change_LoRa_DataRate();
        Set_Max_Payload_Size();
        Move_GroupBoxs();
    } else if (sender == CB_LoRa_DataRate) {
        Set_Max_Payload_Size();
    } else if (sender == CB_LoRa_Activation_Method || sender == CB_MBus_OnWire_Present
               || sender == CB_wMBus_Wireless_Present) {
        Move_GroupBoxs();
    } else {
        // The other models' choices that rows or panels depend on.
        static const char* const layout_choices[] = {"CB_WiFi_Type", "CB_WiFi_Secure_Type",
                                                     "CB_SNMP_Agent_SecurityLevel", "CB_BACnet_Master_Type",
                                                     "CB_BACnet_Slave_Type"};
        for (const char* name : layout_choices)
            if (sender == Control(QLatin1String(name))) {
                Move_GroupBoxs();
                return;
            }
    }
}

void TFParGen::On_Click(QObject* sender)
{
    // The check boxes of this model's panels change only themselves; these of
    // the other models' panels show or hide rows.
    static const char* const layout_checks[] = {"CB_SNMP_Agent_Version3", "CB_MQTT_WillFlag", "CB_TLS_Enable",
                                                "CB_TLS_En_Server_Auth", "CB_TLS_En_Client_Auth", "CB_WiFi_IP_Auto",
                                                "CB_WiFi_En_DHCP", "CB_TLS_Server_Enable",
                                                "CB_MQTT_PublishTopicConnection"};
    for (const char* name : layout_checks)
        if (sender == Control(QLatin1String(name))) {
            Move_GroupBoxs();
            return;
        }
}

void TFParGen::KeyPress(QObject* sender, QChar& key)
{
    // Only the Ethernet panel's octets form a chain.
    const auto it = std::find(ethernet_chain_.begin(), ethernet_chain_.end(), sender);
    TEdit* next = it != ethernet_chain_.end() && it + 1 != ethernet_chain_.end() ? *(it + 1) : nullptr;
    Octet_KeyPress(dynamic_cast<TEdit*>(sender), key, next);
}

void TFParGen::OnKeyPress(QObject*, QChar& key)
{
    if (!Hex_Key_Allowed(key))
        key = QChar();
}

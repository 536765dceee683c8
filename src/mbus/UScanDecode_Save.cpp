#include "mbus/UScanDecode_Save.h"

#include "mbus/UMeter_Bus.h"
#include "platform/Controls.h"
#include "platform/XmlDocument.h"
#include "shell/UComon.h"

#include <algorithm>
#include <limits>

using platform::XmlDocument;
using platform::XmlNode;

namespace {

const QString kRoot = QStringLiteral("M-Bus_Network");

QString Dec(int64_t v) { return QString::number(v); }
QString Bit(bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); }

// What a device code changes in the file.
struct Dialect {
    bool id = false;              // "ID" before "ID_Primary"
    bool secondary = false;       // "Secondary_address" after "ID"
    bool group = false;           // wired: every node under one "Group"
    bool bacnet = false;          // BACnet objects: no register, engineering unit instead
    bool wired_mbus_type = false; // wired: "MBus_Type" "1" after "Cut_After"
    bool node_registers = false;  // with StartModnode: registers for node state and identification
};

Dialect Dialect_Of(const TSaveConfXML& Conf)
{
    Dialect d;
    switch (Conf.XML_Code_Dev) {
    case 4: case 7: d.secondary = d.group = true; [[fallthrough]];
    case 2: case 5: case 8: case 10: d.id = true; break;
    case 12: d.bacnet = d.wired_mbus_type = true; break;
    case 13: case 14: d.wired_mbus_type = true; d.node_registers = true; break;
    case 0: case 1: case 9: d.node_registers = true; break;
    default: break;
    }
    d.node_registers = d.node_registers && Conf.StartModnode == 1;
    return d;
}

// The node attributes that follow "Cut_After" (and "MBus_Type"), by dialect.
// The identification number takes two registers in both writers: advancing
// by one there would put the first value on its second register.
void Add_Node_Registers(XmlNode& n, const Dialect& d, const TSaveConfXML& Conf, bool wireless, int& r)
{
    if (d.bacnet) {
        for (const char* name : {"Node_State", "Ident_Num", "BCDtoINT_IN", "Swap_IN", "Var_List_Type", "NS_VarType",
                                 "IN_VarType"})
            n.SetAttribute(QString::fromLatin1(name), QStringLiteral("0"));
        return;
    }
    if (!d.node_registers)
        return;
    n.SetAttribute(QStringLiteral("Node_State"), Conf.En_NodeState ? Dec(r) : QStringLiteral("0"));
    if (Conf.En_NodeState)
        r += wireless ? 2 : 1;
    n.SetAttribute(QStringLiteral("Ident_Num"), Conf.En_IdeNum ? Dec(r) : QStringLiteral("0"));
    if (Conf.En_IdeNum)
        r += 2;
}

bool Ticked(void* node)
{
    return node == nullptr || static_cast<platform::TTreeNode*>(node)->Checked();
}

// The editor's function list holds maximum and minimum the other way round.
int Function_Position(uint16_t f)
{
    switch (f) {
    case 1: return 2;
    case 2: return 1;
    default: return f;
    }
}

// The registers a variable of the network takes from its position, counted
// as the scan counts them for its size.
int Variable_Registers(const TVariabile& v)
{
    static const uint8_t codes[] = {1, 2, 4, 7, 3, 6, 5, 13};
    if (v.Dimension < 0 || v.Dimension > 7)
        return 1;
    return std::max(1, Scan_Registers(codes[v.Dimension], v.Length));
}

// The first position after every one the network holds, enabled or not, so
// that nothing saved lands on a value of the file, even one switched off now.
int First_Free_Position(const TNodi_List& nodes)
{
    int64_t last = 0;
    for (const TNodo& n : nodes) {
        for (int64_t p : {n.Node_State, n.Ident_Num, n.RSSI, n.Access_Number, n.Manufacturer_Spec})
            last = std::max(last, p);
        for (const TVariabile& v : n.Var_List) {
            last = std::max(last, int64_t(v.PositionData) + Variable_Registers(v) - 1);
            if (v.Uses_Time_Point())
                last = std::max(last, int64_t(v.TP_Mod_Year) + 5);
        }
    }
    return static_cast<int>(std::min<int64_t>(last + 1, std::numeric_limits<int>::max()));
}

// The start of the document: the file to extend, or a new root; and the first
// register of the new meters, after every position the file to extend holds.
bool Open_Document(XmlDocument& doc, const TSaveConfXML& Conf, XmlNode& root, int& start, QString& error)
{
    doc.Clear();
    start = Conf.Mod_Start;
    if (Conf.Append == 1) {
        if (!doc.Load(Conf.File_Name, &error))
            return false;
        root = MBus_Network_Root(doc);
        if (root.IsNull() || root.Name() != kRoot) {
            error = QStringLiteral("The first element of \"%1\" is not \"%2\"").arg(Conf.File_Name, kRoot);
            return false;
        }
        const MBus_Read_Result network = Read_MBus_Network_Document(doc);
        if (!network.Ok) {
            error = QStringLiteral("%1\n%2").arg(Conf.File_Name, network.Error);
            return false;
        }
        start = std::max(start, First_Free_Position(network.Nodes));
        return true;
    }
    root = doc.AddChild(kRoot);
    return true;
}

TSaveConfResult Finish(const XmlDocument& doc, const TSaveConfXML& Conf)
{
    TSaveConfResult result;
    result.Written = doc.Save(Conf.File_Name, &result.Error);
    return result;
}

// r at the start of the node at `index`. A node's own start register may
// move it further on, never back onto the registers of the meters before it.
int Node_Start(const TSaveConfXML& Conf, int index, int r)
{
    if (Conf.StartModnode != 1 || index >= static_cast<int>(Conf.SMN_Array.size()))
        return r;
    return std::max(r, Conf.SMN_Array[static_cast<size_t>(index)]);
}

// One "Variabile"; r grows by the record's registers when it counts.
void Add_Variable(XmlNode& node, const TVariable_MBus& v, int position, bool enabled, bool Check_BCD,
                  const TSaveConfXML& Conf, const Dialect& d, int& r)
{
    XmlNode e = node.AddChild(QStringLiteral("Variabile"));
    e.SetAttribute(QStringLiteral("Enable"), Bit(enabled));
    e.SetAttribute(QStringLiteral("Position"), Dec(position));
    e.SetAttribute(QStringLiteral("Desc"),
                   Scan_Xml_Text(v.Desc_Type_Data + QStringLiteral(" (U") + Dec(v.device) + QStringLiteral("S")
                                 + Dec(v.storage_number) + QStringLiteral("T") + Dec(v.tarif) + QStringLiteral(")")));
    e.SetAttribute(QStringLiteral("Type"), Dec(v.type_data));
    e.SetAttribute(QStringLiteral("VIF_ASCII"), v.type_data == 21 ? Scan_Xml_Text(v.VIF_ASCII) : QString());
    e.SetAttribute(QStringLiteral("Fun_Field"), Dec(Function_Position(v.function_fild)));
    e.SetAttribute(QStringLiteral("Length"), Dec(v.dimension == 13 ? v.nbyte : 0));
    if (!d.bacnet) {
        e.SetAttribute(QStringLiteral("ModReg"), Dec(r));
        // The register the editor and the image compiler read; without it
        // every variable would sit at register 0.
        e.SetAttribute(QStringLiteral("PositionData"), Dec(r));
    }
    e.SetAttribute(QStringLiteral("Dim"), Dec(Scan_Dim_Position(v.dimension)));
    e.SetAttribute(QStringLiteral("Unit"), Dec(v.device));
    e.SetAttribute(QStringLiteral("StoNumber"), Dec(v.storage_number));
    e.SetAttribute(QStringLiteral("Tariff"), Dec(v.tarif));
    e.SetAttribute(QStringLiteral("VIFE"), Dec(v.Type_Data_Vife));
    if (d.bacnet) {
        e.SetAttribute(QStringLiteral("BACnet_EngUnits"), Dec(Default_BACnet_Eng_Unit()));
        e.SetAttribute(QStringLiteral("BACnet_DataType"), QStringLiteral("0"));
        e.SetAttribute(QStringLiteral("Post_Operation"), QStringLiteral("0"));
    } else {
        e.SetAttribute(QStringLiteral("ModScale"), QStringLiteral("0"));
    }
    e.SetAttribute(QStringLiteral("BCDtoINT"), Bit(v.Is_BCD && Check_BCD));
    e.SetAttribute(QStringLiteral("SWAP"), QStringLiteral("0"));
    if (Conf.StartModnode != 1 || enabled)
        r += Scan_Registers(v.dimension, v.nbyte);
}

} // namespace

int Scan_Dim_Position(uint8_t Data_Field)
{
    switch (Data_Field) {
    case 1: case 9: return 0;
    case 2: case 10: return 1;
    case 4: case 12: return 2;
    case 7: return 3;
    case 3: case 11: return 4;
    case 6: case 14: return 5;
    case 5: return 6;
    case 13: return 7;
    default: return 255;
    }
}

int Scan_Registers(uint8_t Data_Field, int32_t nbyte)
{
    switch (Data_Field) {
    case 1: case 9: case 2: case 10: return 1;
    case 4: case 12: case 3: case 11: case 5: return 2;
    case 6: case 14: return 3;
    case 7: return 4;
    // The 16-bit registers the bytes fill: 2 bytes one register, 5 bytes three.
    case 13: return nbyte > 0 ? (nbyte + 1) / 2 : 0;
    default: return 0;
    }
}

TSaveConfResult Save_XML_Conf_Wired(const TList_Slave_MBus& List, const TSaveConfXML& Conf, bool Check_BCD)
{
    auto guard = List.Lock();
    if (List.Count() == 0)
        return {};
    XmlDocument doc;
    XmlNode root;
    TSaveConfResult failed;
    int r = Conf.Mod_Start;
    if (!Open_Document(doc, Conf, root, r, failed.Error))
        return failed;
    const Dialect d = Dialect_Of(Conf);
    XmlNode parent = root;
    for (int i = 0; i < List.Count(); ++i) {
        const TSlave_MBus& m = *List.Items(i);
        r = Node_Start(Conf, i, r);
        if (d.group && i == 0) {
            parent = root.AddChild(QStringLiteral("Group"));
            parent.SetAttribute(QStringLiteral("Baudrate"), Dec(Conf.Index_Baud));
            parent.SetAttribute(QStringLiteral("Parity"), Dec(Conf.Index_Par));
        }
        XmlNode n = parent.AddChild(QStringLiteral("Nodo"));
        // A meter whose identification was not read has none: "0", which the
        // editor reads back as a number, rather than an empty text.
        const QString secondary =
            m.Secondary_Addresss.isEmpty() ? QStringLiteral("0") : Scan_Xml_Text(m.Secondary_Addresss);
        n.SetAttribute(QStringLiteral("Node_Enable"), Bit(Ticked(m.Node)));
        if (d.id)
            n.SetAttribute(QStringLiteral("ID"), Dec(m.Primary_Addresss));
        if (d.secondary)
            n.SetAttribute(QStringLiteral("Secondary_address"), secondary);
        n.SetAttribute(QStringLiteral("ID_Primary"), Dec(m.Primary_Addresss));
        n.SetAttribute(QStringLiteral("ID_Secondary"), secondary);
        n.SetAttribute(QStringLiteral("Node_ID_Type"), Dec(Conf.Node_ID_Type));
        n.SetAttribute(QStringLiteral("Descrizione"), Scan_Xml_Text(m.descManufacture));
        n.SetAttribute(QStringLiteral("Send_SND_NKE"), Bit(Conf.SND_NKE == 1));
        n.SetAttribute(QStringLiteral("Reset_App"), Bit(Conf.Reset_App == 1));
        // The file holds the telegram count minus one (the position in the
        // editor's list "1" .. "250").
        n.SetAttribute(QStringLiteral("Cut_After"), Dec(std::clamp(Conf.Cut_After - 1, 0, 249)));
        if (d.wired_mbus_type)
            n.SetAttribute(QStringLiteral("MBus_Type"), QStringLiteral("1"));
        Add_Node_Registers(n, d, Conf, false, r);
        for (size_t k = 0; k < m.List_Var.size(); ++k) {
            const TVariable_MBus& v = *m.List_Var[k];
            Add_Variable(n, v, static_cast<int>(k) + 1, Ticked(v.Node), Check_BCD, Conf, d, r);
        }
    }
    return Finish(doc, Conf);
}

TSaveConfResult Save_XML_Conf_Wireless(const TList_Slave_wMBus& List, const TSaveConfXML& Conf, bool Check_BCD)
{
    auto guard = List.Lock();
    if (List.Count() == 0)
        return {};
    XmlDocument doc;
    XmlNode root;
    TSaveConfResult failed;
    int r = Conf.Mod_Start;
    if (!Open_Document(doc, Conf, root, r, failed.Error))
        return failed;
    const Dialect d = Dialect_Of(Conf);
    for (int i = 0; i < List.Count(); ++i) {
        const TSlave_wMBus& m = *List.Items(i);
        r = Node_Start(Conf, i, r);
        XmlNode n = root.AddChild(QStringLiteral("Nodo"));
        n.SetAttribute(QStringLiteral("Node_Enable"), Bit(m.Enable));
        if (d.id)
            n.SetAttribute(QStringLiteral("ID"), QStringLiteral("1"));
        if (d.secondary)
            n.SetAttribute(QStringLiteral("Secondary_address"), QStringLiteral("1"));
        n.SetAttribute(QStringLiteral("ID_Primary"), QStringLiteral("1"));
        n.SetAttribute(QStringLiteral("ID_Secondary"), QStringLiteral("1"));
        n.SetAttribute(QStringLiteral("Node_ID_Type"), QStringLiteral("0"));
        n.SetAttribute(QStringLiteral("Descrizione"), Scan_Xml_Text(m.ALA_Manu_str));
        n.SetAttribute(QStringLiteral("Send_SND_NKE"), QStringLiteral("0"));
        n.SetAttribute(QStringLiteral("Reset_App"), QStringLiteral("0"));
        n.SetAttribute(QStringLiteral("Cut_After"), QStringLiteral("3"));
        n.SetAttribute(QStringLiteral("MBus_Type"), QStringLiteral("0"));
        Add_Node_Registers(n, d, Conf, true, r);
        n.SetAttribute(QStringLiteral("wMBus_ManID"), Dec(m.ALA_Manufacturer));
        n.SetAttribute(QStringLiteral("wMBus_Add"), Dec(m.ALA_Address));
        n.SetAttribute(QStringLiteral("wMBus_Ver"), Dec(m.ALA_Version));
        n.SetAttribute(QStringLiteral("wMBus_DevType"), Dec(m.ALA_DeviceType));
        n.SetAttribute(QStringLiteral("wMBus_En_Key"), Bit(m.Enable_Key));
        for (int k = 0; k < 16; ++k)
            n.SetAttribute(QStringLiteral("wMBus_Key_%1").arg(k + 1), Dec(m.Key[static_cast<size_t>(k)]));
        for (size_t k = 0; k < m.List_Var.size(); ++k) {
            const TVariable_MBus& v = *m.List_Var[k];
            // Idle fillers are no values, but they keep their place in "Position".
            if (!v.Real_Wireless_Var)
                continue;
            Add_Variable(n, v, static_cast<int>(k) + 1, v.Enable, Check_BCD, Conf, d, r);
        }
    }
    return Finish(doc, Conf);
}

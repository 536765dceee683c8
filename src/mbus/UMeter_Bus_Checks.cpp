#include "mbus/UMeter_Bus_Checks.h"

#include "platform/Dialogs.h"
#include "platform/NumberText.h"
#include "shell/ULanguage.h"

#include <algorithm>
#include <map>
#include <optional>

using platform::NumberOr;

namespace {

QString Msg(int n) { return Language_List.value(n); }

int64_t Number64(const QString& text) { return platform::ParseNumber64(text).value_or(-1); }
bool In(int64_t v, int64_t lo, int64_t hi) { return v >= lo && v <= hi; }
// Over 64 bits: a year read from a hand-edited file may stand at the top of the numbers.
bool In_Time_Point(int64_t v, int64_t year) { return v >= year && v <= year + 5; }
bool Time_Points_Overlap(int64_t a, int64_t b) { return a <= b + 5 && a + 5 >= b; }

// Each conflict names the node, and the variable, between texts of the table.
QString Node_Conflict_Text(int a, const TNodo& n, int b) { return Msg(a) + n.Description + Msg(b); }

QString Var_Conflict_Text(int a, const TNodo& n, int b, const TVariabile& v, int c)
{
    return Msg(a) + n.Description + Msg(b) + v.Description + Msg(c);
}

bool Node_Conflict(int a, const TNodo& n, int b)
{
    platform::ShowMessage(platform::MessageKind::Error, Node_Conflict_Text(a, n, b));
    return true;
}

bool Var_Conflict(int a, const TNodo& n, int b, const TVariabile& v, int c)
{
    platform::ShowMessage(platform::MessageKind::Error, Var_Conflict_Text(a, n, b, v, c));
    return true;
}

bool Valid_Node(const TNodi_List& nodes, int i) { return i >= 0 && i < static_cast<int>(nodes.size()); }

// A secondary address compares as the identification the meter answers to,
// so a scan's "1234ABCD" equals itself, and a text that is neither a number
// nor eight hexadecimal digits equals nothing. The address comes as the
// page's text.
bool Same_Address(const TNodo& n, const QString& address, int type)
{
    const int ownType = n.By_Secondary() ? 1 : 0;
    if (ownType != type)
        return false;
    if (type == 0)
        return platform::ParseNumber(address) == n.Node_Pri;
    const std::optional<uint32_t> own = MBus_Secondary_Identifier(n.Secondary_Text());
    return own && own == MBus_Secondary_Identifier(address);
}

bool Node_ID_Free(const TNodi_List& nodes, TMBus_Selection sel, const QString& address, int type)
{
    for (int i = 0; i < static_cast<int>(nodes.size()); ++i) {
        const TNodo& n = nodes[static_cast<size_t>(i)];
        if (i != sel.IND_NODO) {
            if (n.Is_Wired() && Same_Address(n, address, type)) {
                MBus_Error(1892);
                return false;
            }
        } else if (sel.IND_VAR != -1 && Same_Address(n, address, type)) {
            // A variable is selected: the page adds a node, its own node counts.
            MBus_Error(1891);
            return false;
        }
    }
    return true;
}

// The scanned identification (hexadecimal digits, no number) that the
// selected node keeps and the page shows unchanged: taken as it stands.
bool Kept_Identification(const TNodi_List& nodes, TMBus_Selection sel, const QString& text)
{
    if (!sel.Changing_Node() || !Valid_Node(nodes, sel.IND_NODO))
        return false;
    const QString& kept = nodes[static_cast<size_t>(sel.IND_NODO)].Node_Sec_Text;
    return !kept.isEmpty() && text == kept;
}

// A number the page needs as a whole number.
int32_t Strict(const QString& text)
{
    const std::optional<int> n = platform::ParseNumber(text);
    if (!n)
        throw TConversion_Error(Invalid_Integer_Text(text));
    return *n;
}

// The positions a node being taken occupies in the data area, as the node
// check counts them: wired node state and identification only with their
// boxes on; wireless node state, identification and signal strength when
// above 0, boxes or not.
struct Node_Position
{
    int value;
    int a, b;  // messages when another node holds it there
};

// A node's own positions against the rest of the network: other nodes' node
// state, identification and signal strength, and every variable's value and
// time point. The selected node is not compared with itself when the page
// changes it; its variables are.
bool Node_Positions_Conflict(const TNodi_List& nodes, TMBus_Selection sel, const std::vector<int>& positions)
{
    for (int p : positions) {
        if (p <= 0)
            continue;
        for (int i = 0; i < static_cast<int>(nodes.size()); ++i) {
            const TNodo& n = nodes[static_cast<size_t>(i)];
            if (n.Enable != 1)
                continue;
            if (!(sel.Changing_Node() && i == sel.IND_NODO)) {
                if (n.Node_State == p)
                    return Node_Conflict(1787, n, 1788);
                if (n.Ident_Num == p)
                    return Node_Conflict(1789, n, 1790);
                if (!n.Is_Wired() && n.RSSI > 0 && n.RSSI == p)
                    return Node_Conflict(1791, n, 1792);
            }
            for (const TVariabile& v : n.Var_List) {
                if (!v.Enable)
                    continue;
                if (v.PositionData == p)
                    return Var_Conflict(1805, n, 1806, v, 1807);
                if (v.Uses_Time_Point() && In_Time_Point(p, v.TP_Mod_Year))
                    return Var_Conflict(1811, n, 1812, v, 1813);
            }
        }
    }
    return false;
}

// A disabled node that the page enables brings its variables into the data
// area, where no check has seen them: each enabled variable is checked as if
// it were taken now, against the network with the node enabled and holding
// the positions the page gives it.
bool Enabled_Variables_Conflict(const TNodi_List& nodes, TMBus_Selection sel, const TNode_Page& page)
{
    TNodi_List network = nodes;
    TNodo& own = network[static_cast<size_t>(sel.IND_NODO)];
    own.Enable = 1;
    own.Description = page.Description;
    own.MBus_Type = static_cast<uint8_t>(page.MBus_Type);
    if (page.Wired()) {
        own.Node_State = NumberOr(page.Node_State, 0);
        own.Ident_Num = NumberOr(page.Ident_Num, 0);
    } else {
        own.Node_State = NumberOr(page.wNode_State, 0);
        own.Ident_Num = NumberOr(page.wIdent_Num, 0);
        own.RSSI = NumberOr(page.RSSI, 0);
    }
    for (int j = 0; j < static_cast<int>(own.Var_List.size()); ++j) {
        const TVariabile& v = own.Var_List[static_cast<size_t>(j)];
        // A position of 0 is none (a scan leaves it so until the user sets it).
        if (!v.Enable || v.PositionData <= 0)
            continue;
        const int Y = v.Uses_Time_Point() && v.TP_Mod_Year > 0 ? v.TP_Mod_Year : 0;
        if (Check_Registers(network, TMBus_Selection{sel.IND_NODO, j}, v.PositionData, 0, false, Y))
            return true;
    }
    return false;
}

} // namespace

TConversion_Error::TConversion_Error(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}

void MBus_Error(int message)
{
    platform::ShowMessage(platform::MessageKind::Error, Msg(message));
}

bool Check_Node_ID(const TNodi_List& nodes, TMBus_Selection sel, int address, int type)
{
    return Node_ID_Free(nodes, sel, QString::number(address), type);
}

bool Check_Node_ID2(const TNodi_List& nodes, int address, int type)
{
    for (const TNodo& n : nodes) {
        if (Same_Address(n, QString::number(address), type)) {
            MBus_Error(1890);
            return false;
        }
    }
    return true;
}

static std::optional<QString> Registers_Conflict(const TNodi_List& nodes, TMBus_Selection sel, int P, int S, bool isNew, int Y)
{
    for (int i = 0; i < static_cast<int>(nodes.size()); ++i) {
        const TNodo& n = nodes[static_cast<size_t>(i)];
        if (n.Enable != 1)
            continue;
        const bool rssi = !n.Is_Wired() && n.RSSI > 0;
        if (n.Node_State == P)
            return Node_Conflict_Text(1787, n, 1788);
        if (n.Ident_Num == P)
            return Node_Conflict_Text(1789, n, 1790);
        if (rssi && n.RSSI == P)
            return Node_Conflict_Text(1791, n, 1792);
        if (S > 0) {
            if (n.Node_State == S)
                return Node_Conflict_Text(1793, n, 1794);
            if (n.Ident_Num == S)
                return Node_Conflict_Text(1795, n, 1796);
            if (rssi && n.RSSI == S)
                return Node_Conflict_Text(1797, n, 1798);
        }
        if (Y > 0) {
            if (In_Time_Point(n.Node_State, Y))
                return Node_Conflict_Text(1799, n, 1800);
            if (In_Time_Point(n.Ident_Num, Y))
                return Node_Conflict_Text(1801, n, 1802);
            if (rssi && In_Time_Point(n.RSSI, Y))
                return Node_Conflict_Text(1803, n, 1804);
        }
        for (int j = 0; j < static_cast<int>(n.Var_List.size()); ++j) {
            const TVariabile& v = n.Var_List[static_cast<size_t>(j)];
            if (!v.Enable || (!isNew && i == sel.IND_NODO && j == sel.IND_VAR))
                continue;
            const bool tp = v.Uses_Time_Point();
            if (v.PositionData == P)
                return Var_Conflict_Text(1805, n, 1806, v, 1807);
            if (tp && In_Time_Point(P, v.TP_Mod_Year))
                return Var_Conflict_Text(1811, n, 1812, v, 1813);
            if (S > 0) {
                if (v.PositionData == S)
                    return Var_Conflict_Text(1814, n, 1815, v, 1816);
                if (tp && In_Time_Point(S, v.TP_Mod_Year))
                    return Var_Conflict_Text(1820, n, 1821, v, 1822);
            }
            if (Y > 0) {
                if (In_Time_Point(v.PositionData, Y))
                    return Var_Conflict_Text(1823, n, 1824, v, 1825);
                if (tp && Time_Points_Overlap(v.TP_Mod_Year, Y))
                    return Var_Conflict_Text(1829, n, 1830, v, 1831);
            }
        }
    }
    return std::nullopt;
}

bool Check_Registers(const TNodi_List& nodes, TMBus_Selection sel, int P, int S, bool isNew, int Y)
{
    const std::optional<QString> conflict = Registers_Conflict(nodes, sel, P, S, isNew, Y);
    if (conflict)
        platform::ShowMessage(platform::MessageKind::Error, *conflict);
    return conflict.has_value();
}

bool Controllo_Dati_New_Nodo(const TNodi_List& nodes, TMBus_Selection sel, const TNode_Page& page)
{
    bool result = true;
    int nodeState = 0;
    int ident = 0;
    std::vector<int> taken;  // positions this node occupies, for the network check
    if (!page.Wired()) {
        if (!In(NumberOr(page.wMBus_ManID, -1), 0, 0xFFFF))
            return MBus_Error(1845), false;
        if (!In(NumberOr(page.wMBus_Ver, -1), 0, 0xFF))
            return MBus_Error(1847), false;
        if (!In(NumberOr(page.wMBus_DevType, -1), 0, 0xFF))
            return MBus_Error(1848), false;
        if (page.wMBus_En_Key) {
            for (int k = 0; k < 16; ++k)
                if (!In(NumberOr(page.wMBus_Key[static_cast<size_t>(k)], -1), 0, 0xFF))
                    return MBus_Error(1849 + k), false;
        }
        nodeState = NumberOr(page.wNode_State, -1);
        ident = NumberOr(page.wIdent_Num, -1);
        const int rssi = NumberOr(page.RSSI, -1);
        const int access = NumberOr(page.wAccess_Number, -1);
        if (!In(nodeState, 0, 59999))
            return MBus_Error(1865), false;
        if (!In(ident, 0, 59999))
            return MBus_Error(1866), false;
        if (!In(rssi, 0, 59999))
            return MBus_Error(1867), false;
        if (!In(access, 0, 59999))
            return MBus_Error(1868), false;
        auto differ = [](int x, int y) { return !(x > 0 && y > 0 && x == y); };
        if (!differ(ident, nodeState))
            return MBus_Error(1869), false;
        if (!differ(ident, rssi))
            return MBus_Error(1870), false;
        if (!differ(ident, access))
            return MBus_Error(1871), false;
        if (!differ(nodeState, rssi))
            return MBus_Error(1872), false;
        if (!differ(nodeState, access))
            return MBus_Error(1873), false;
        if (!differ(rssi, access))
            return MBus_Error(1874), false;
        taken = {nodeState, ident, rssi};
    } else {
        const int type = page.ID_Primary ? 0 : 1;
        const QString& text = page.ID_Primary ? page.ID_Pri : page.ID_Sec;
        const int address = NumberOr(text, -1);
        if (page.ID_Primary && !In(address, 0, 255))
            return MBus_Error(1875), false;
        if (!page.ID_Primary && !In(address, 0, 99999999) && !Kept_Identification(nodes, sel, text))
            return MBus_Error(1876), false;
        // Its result is the check's, and the steps after it still run.
        result = Node_ID_Free(nodes, sel, text, type);
        if (page.Node_State_On) {
            nodeState = NumberOr(page.Node_State, -1);
            if (!In(nodeState, 0, 1536))
                return MBus_Error(1877), false;
        }
        if (page.Ident_Num_On) {
            ident = NumberOr(page.Ident_Num, -1);
            if (!In(ident, 0, 1536))
                return MBus_Error(1878), false;
        }
        if (nodeState > 0 && ident > 0 && nodeState == ident)
            return MBus_Error(1879), false;
        taken = {nodeState, ident};
    }

    int ms = 0;
    if (page.MS_On) {
        ms = NumberOr(page.MS, -1);
        if (!In(ms, 0, 1536))
            return MBus_Error(1880), false;
        if (ms > 0 && ident > 0 && ms == ident)
            return MBus_Error(1881), false;
        if (ms > 0 && nodeState > 0 && ms == nodeState)
            return MBus_Error(1882), false;
        if (ms > 0) {
            const int length = NumberOr(page.MSD_Length, -1);
            const int offset = NumberOr(page.MSD_Offset, -1);
            if (!In(length, 1, 241))
                return MBus_Error(1883), false;
            if (!In(offset, 0, 240))
                return MBus_Error(1884), false;
            if (length + offset > 241)
                return MBus_Error(1885), false;
        }
    }

    if (page.Wired() && page.Access_Number_On) {
        const int access = NumberOr(page.Access_Number, -1);
        if (!In(access, 0, 1536))
            return MBus_Error(1886), false;
        if (access > 0 && ident > 0 && access == ident)
            return MBus_Error(1887), false;
        if (access > 0 && nodeState > 0 && access == nodeState)
            return MBus_Error(1888), false;
        if (access > 0 && ms > 0 && access == ms)
            return MBus_Error(1889), false;
    }

    // The node's positions must be free in the rest of the network too, as a
    // variable's must: a value written over another in the data area is lost.
    if (result && page.Enable && Node_Positions_Conflict(nodes, sel, taken))
        return false;
    if (result && page.Enable && sel.Changing_Node() && Valid_Node(nodes, sel.IND_NODO)
        && nodes[static_cast<size_t>(sel.IND_NODO)].Enable != 1 && Enabled_Variables_Conflict(nodes, sel, page))
        return false;
    return result;
}

bool Controllo_Dati_New_Var(const TNodi_List& nodes, TMBus_Selection sel, const TVar_Page& page, bool isNew)
{
    const int P = NumberOr(page.PositionData, -1);
    if (!In(P, 1, 1536))
        return MBus_Error(1835), false;
    if (!In(Number64(page.Storage_Number), 0, 0xFFFFFFFFLL))
        return MBus_Error(1838), false;
    if (!In(Number64(page.Tariff), 0, 0xFFFFF))
        return MBus_Error(1839), false;
    if (page.Dimension == MBus_Dim_Variable_Length && !In(NumberOr(page.Length, -1), 0, 191))
        return MBus_Error(1840), false;
    // The time point counts wherever the page offers it: for the time-point
    // type, and on a "By Position" list, where the type of data is hidden.
    const bool byPosition = Valid_Node(nodes, sel.IND_NODO)
                            && nodes[static_cast<size_t>(sel.IND_NODO)].Var_List_Type == MBus_Var_List_By_Position;
    int Y = 0;
    if (page.TP_Mod_Regs && (page.Type_Of_Data == MBus_ToD_Time_Point || byPosition)) {
        Y = NumberOr(page.TP_Mod_Year, -1);
        if (!In(Y, 1, 59995))
            return MBus_Error(1841), false;
    }
    if (Y > 0 && In_Time_Point(P, Y))
        return MBus_Error(1842), false;
    if (!In(NumberOr(page.Position, -1), 1, 512))
        return MBus_Error(1844), false;
    return !Check_Registers(nodes, sel, P, 0, isNew, Y);
}

TNodo Take_Node(const TNode_Page& page, const TNodo& base)
{
    TNodo n = base;  // variables, and a wired node's signal-strength fields, stay
    n.Out_Of_Range.clear();  // every field of the node comes from the page now
    n.Enable = page.Enable ? 1 : 0;
    n.Description = page.Description;
    n.Node_Pri = Strict(page.ID_Pri);
    if (!base.Node_Sec_Text.isEmpty() && page.ID_Sec == base.Node_Sec_Text) {
        // A secondary address in hexadecimal digits, as a scan writes it, that
        // the page shows unchanged: kept as written, whichever address the
        // node is polled by.
        n.Node_Sec = base.Node_Sec;
        n.Node_Sec_Text = base.Node_Sec_Text;
    } else {
        n.Node_Sec = Strict(page.ID_Sec);
        n.Node_Sec_Text.clear();
    }
    n.Send_SNK = page.SND_NKE ? 1 : 0;
    n.Reset_App = page.Reset_App ? 1 : 0;
    n.Enable_NS = page.Node_State_On ? 1 : 0;
    n.Node_State = Strict(page.Node_State);
    n.Enable_IN = page.Ident_Num_On ? 1 : 0;
    n.Ident_Num = Strict(page.Ident_Num);
    n.BCDtoINT_IN = page.BCDtoINT_IN ? 1 : 0;
    n.Swap_Ident = page.Swap_IN;
    n.Node_ID_Type = page.ID_Primary ? 0 : 1;
    n.Var_List_Type = static_cast<uint8_t>(page.Var_List_Type);
    n.Cut_After = static_cast<uint8_t>(page.Cut_After);
    n.Enable_MS = page.MS_On ? 1 : 0;
    n.Manufacturer_Spec = NumberOr(page.MS, 0);
    n.MSD_Length = static_cast<uint8_t>(NumberOr(page.MSD_Length, 0));
    n.MSD_Offset = static_cast<uint8_t>(NumberOr(page.MSD_Offset, 0));
    n.Enable_AN = page.Access_Number_On ? 1 : 0;
    n.Access_Number = NumberOr(page.Access_Number, 0);
    n.MBus_Type = static_cast<uint8_t>(page.MBus_Type);
    n.wMBus_ManID = page.wMBus_ManID;
    n.wMBus_Add = page.wMBus_Add;
    n.wMBus_Ver = page.wMBus_Ver;
    n.wMBus_DevType = page.wMBus_DevType;
    n.wMBus_En_Key = page.wMBus_En_Key ? 1 : 0;
    n.wMBus_Key = page.wMBus_Key;
    if (!page.Wired()) {
        n.Enable_NS = page.wNode_State_On ? 1 : 0;
        n.Node_State = Strict(page.wNode_State);
        n.Enable_IN = page.wIdent_Num_On ? 1 : 0;
        n.Ident_Num = Strict(page.wIdent_Num);
        n.Enable_RSSI = page.RSSI_On ? 1 : 0;
        n.RSSI = Strict(page.RSSI);
        n.BCDtoINT_IN = page.wBCDtoINT_IN ? 1 : 0;
        n.Swap_Ident = page.wSwap_IN;
        n.Var_List_Type = static_cast<uint8_t>(page.wVar_List_Type);
        n.Enable_AN = page.wAccess_Number_On ? 1 : 0;
        n.Access_Number = Strict(page.wAccess_Number);
    }
    return n;
}

TVariabile Take_Variable(const TVar_Page& page)
{
    TVariabile v;
    v.Enable = page.Enable;
    v.Description = page.Description;
    v.Type_Of_Data = page.Type_Of_Data;
    v.Function_Field = page.Function_Field;
    v.Dimension = page.Dimension;
    v.Unita = page.Unita;
    v.PositionData = Strict(page.PositionData);
    v.Storage_Number = static_cast<uint32_t>(static_cast<uint64_t>(platform::ParseNumber64(page.Storage_Number).value_or(0)));
    v.Tariff = Strict(page.Tariff);
    v.VIFE = static_cast<uint8_t>(page.VIFE);
    v.BCDtoINT = page.BCDtoINT;
    v.VIF_ASCII = page.VIF_ASCII;
    v.Length = NumberOr(page.Length, 0);
    v.Conv_Float = page.Conv_Float;
    v.Force_Int32 = page.Force_Int32;
    v.TP_Mod_Regs = page.TP_Mod_Regs;
    v.TP_Mod_Year = NumberOr(page.TP_Mod_Year, 0);
    v.Position = static_cast<uint16_t>(Strict(page.Position));
    v.Post_Operation = static_cast<uint8_t>(page.Post_Operation);
    return v;
}

QString Node_Label(const TNodo& node)
{
    if (!node.Is_Wired())
        return QStringLiteral("wM-Bus Node - Address ") + node.wMBus_Add + QStringLiteral(" - ") + node.Description;
    const QString address = node.By_Secondary() ? node.Secondary_Text() : QString::number(node.Node_Pri);
    return QStringLiteral("ID ") + address + QStringLiteral(" - ") + node.Description;
}

QString Variable_Label(const TVariabile& var)
{
    return QStringLiteral("VAR - ") + var.Description;
}

bool Check_Paste(const TNodi_List& nodes, const TPaste_Request& request)
{
    bool accepted = true;
    const bool node = request.Form_Type == 1 || request.Form_Type == 3;
    if (request.Form_Type == 1) {
        if (request.ID_Primary && !In(NumberOr(request.ID_Pri, -1), 0, 255))
            return MBus_Error(2013), false;
        if (!request.ID_Primary && !In(NumberOr(request.ID_Sec, -1), 0, 99999999))
            return MBus_Error(2014), false;
    }
    // The pasted node's own positions must be numbers in its kind's range,
    // or the paste could not be built.
    if (request.Form_Type == 1) {
        if (!In(NumberOr(request.Node_State, -1), 0, 1536))
            return MBus_Error(1877), false;
        if (!In(NumberOr(request.Ident_Num, -1), 0, 1536))
            return MBus_Error(1878), false;
    } else if (request.Form_Type == 3) {
        if (!In(NumberOr(request.Node_State, -1), 0, 59999))
            return MBus_Error(1865), false;
        if (!In(NumberOr(request.Ident_Num, -1), 0, 59999))
            return MBus_Error(1866), false;
        if (!In(NumberOr(request.RSSI, -1), 0, 59999))
            return MBus_Error(1867), false;
    }
    if (request.Form_Type == 1) {
        const int type = request.ID_Primary ? 0 : 1;
        if (!Check_Node_ID2(nodes, NumberOr(type == 0 ? request.ID_Pri : request.ID_Sec, -1), type))
            accepted = false;
    }

    // The variables pasted so far with a node, to check each against those
    // before it: the copies share one node and so one data area.
    TNodi_List pasted(1);
    TNodo& own = pasted.front();
    own.Enable = request.Pasted.Enable;
    own.Description = request.Pasted.Description;
    for (size_t k = 0; k < request.Vars.size(); ++k) {
        const int P = NumberOr(request.Vars[k].P, -1);
        const int S = NumberOr(request.Vars[k].S, -1);
        const int Y = NumberOr(request.Vars[k].Y, -1);
        if (!In(P, 1, 59999))
            return MBus_Error(2016), false;
        // A variable's value lies in the editor's area, whatever the dialog's range says.
        if (P > 1536)
            return MBus_Error(1835), false;
        if (!In(S, 0, 59999))
            return MBus_Error(2017), false;
        if (!In(Y, 0, 59995))
            return MBus_Error(2018), false;
        if (Check_Registers(nodes, {}, P, S, true, Y)) {
            accepted = false;
            continue;
        }
        if (node && k < request.Pasted.Var_List.size()) {
            if (Check_Registers(pasted, {}, P, S, true, Y))
                accepted = false;
            TVariabile copy = request.Pasted.Var_List[k];
            copy.PositionData = P;
            copy.TP_Mod_Year = Y;
            own.Var_List.push_back(copy);
        }
    }
    return accepted;
}

// ---------------------------------------------------------------- the whole network

namespace {

QString Node_Name(const TNodi_List& nodes, size_t i)
{
    return QStringLiteral("Node %1 \"%2\"").arg(i + 1).arg(nodes[i].Description);
}

QString Item_Name(const TNodi_List& nodes, size_t i, int j)
{
    QString name = Node_Name(nodes, i);
    if (j >= 0)
        name += QStringLiteral(", Variable %1 \"%2\"").arg(j + 1).arg(nodes[i].Var_List[static_cast<size_t>(j)].Description);
    return name;
}

bool In_Scope(const TNodo& n, TNetwork_Scope scope)
{
    if (n.Enable != 1 || !(n.Is_Wired() ? scope.Wired : scope.Wireless))
        return false;
    return !scope.Only_With_Values
           || std::any_of(n.Var_List.begin(), n.Var_List.end(), [](const TVariabile& v) { return v.Enable; });
}

// A stretch of the data area that one value of the network occupies.
struct Claim
{
    int64_t low, high;
    size_t node;
    int var;  // -1 for a position of the node itself
    const char* what;
};

std::vector<Claim> Claims(const TNodi_List& nodes, TNetwork_Scope scope)
{
    std::vector<Claim> out;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const TNodo& n = nodes[i];
        if (!In_Scope(n, scope))
            continue;
        // A node's positions count where the device writes them: with their boxes on.
        auto node = [&](bool on, int64_t p, const char* what) {
            if (on && p > 0)
                out.push_back({p, p, i, -1, what});
        };
        node(n.Enable_NS, n.Node_State, "Node State");
        node(n.Enable_IN, n.Ident_Num, "Identification Number");
        node(!n.Is_Wired() && n.Enable_RSSI, n.RSSI, "RSSI");
        node(n.Enable_AN, n.Access_Number, "Access Number");
        node(n.Enable_MS, n.Manufacturer_Spec, "Manufacturer Specific Data");
        for (size_t j = 0; j < n.Var_List.size(); ++j) {
            const TVariabile& v = n.Var_List[j];
            if (!v.Enable)
                continue;
            if (v.PositionData > 0)
                out.push_back({v.PositionData, v.PositionData, i, static_cast<int>(j), "Modbus Register"});
            if (v.Uses_Time_Point() && v.TP_Mod_Year > 0)
                out.push_back({v.TP_Mod_Year, int64_t(v.TP_Mod_Year) + 5, i, static_cast<int>(j), "Time Point"});
        }
    }
    return out;
}

} // namespace

std::optional<QString> MBus_Value_Fault(const TNodi_List& nodes)
{
    auto text = [](const QString& where, const TOut_Of_Range& r, const char* page, const char* item) {
        return QStringLiteral("Error!! %1: \"%2\" holds \"%3\", which is not between %4 and %5. Change it on the %6 "
                              "page, or delete the %7.")
            .arg(where, r.Attribute, r.Text, QString::number(r.Low), QString::number(r.High), QLatin1String(page),
                 QLatin1String(item));
    };
    for (size_t i = 0; i < nodes.size(); ++i) {
        const TNodo& n = nodes[i];
        if (!n.Out_Of_Range.empty())
            return text(Node_Name(nodes, i), n.Out_Of_Range.front(), "Nodes", "node");
        for (size_t j = 0; j < n.Var_List.size(); ++j)
            if (!n.Var_List[j].Out_Of_Range.empty())
                return text(Item_Name(nodes, i, static_cast<int>(j)), n.Var_List[j].Out_Of_Range.front(), "Variables",
                            "variable");
    }
    return std::nullopt;
}

std::optional<QString> MBus_Network_Fault(const TNodi_List& nodes, TNetwork_Scope scope)
{
    // Addresses: the device polls each wired meter by the low byte of its
    // primary address or by its secondary identification.
    std::map<std::pair<int, uint32_t>, size_t> seen;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const TNodo& n = nodes[i];
        if (!n.Is_Wired() || !In_Scope(n, scope))
            continue;
        const int type = n.By_Secondary() ? 1 : 0;
        uint32_t id = static_cast<uint8_t>(n.Node_Pri);
        if (type == 1) {
            const std::optional<uint32_t> secondary = MBus_Secondary_Identifier(n.Secondary_Text());
            if (!secondary)
                return QStringLiteral("Error!! %1: the Secondary ID \"%2\" is neither a number nor eight hexadecimal "
                                      "digits.")
                    .arg(Node_Name(nodes, i), n.Secondary_Text());
            id = *secondary;
        }
        const auto [at, fresh] = seen.emplace(std::make_pair(type, id), i);
        if (!fresh) {
            auto address = [&](size_t k) {
                return type == 1 ? QStringLiteral("Secondary ID ") + nodes[k].Secondary_Text()
                                 : QStringLiteral("Primary ID ") + QString::number(nodes[k].Node_Pri);
            };
            return QStringLiteral("Error!! %1 (%2) and %3 (%4) have the same M-Bus address.")
                .arg(Node_Name(nodes, at->second), address(at->second), Node_Name(nodes, i), address(i));
        }
    }

    // Positions: sorted by where they start, two overlap when one starts
    // before the farthest end seen so far.
    std::vector<Claim> claims = Claims(nodes, scope);
    std::stable_sort(claims.begin(), claims.end(), [](const Claim& a, const Claim& b) { return a.low < b.low; });
    const Claim* reach = nullptr;
    for (const Claim& c : claims) {
        if (reach && c.low <= reach->high) {
            const bool inFileOrder = std::make_pair(reach->node, reach->var) <= std::make_pair(c.node, c.var);
            const Claim& first = inFileOrder ? *reach : c;
            const Claim& second = inFileOrder ? c : *reach;
            return QStringLiteral("Error!! ModBus Register %1 is used twice: %2 (%3) and %4 (%5).")
                .arg(c.low)
                .arg(Item_Name(nodes, first.node, first.var), QLatin1String(first.what), Item_Name(nodes, second.node, second.var),
                     QLatin1String(second.what));
        }
        if (!reach || c.high > reach->high)
            reach = &c;
    }
    return std::nullopt;
}

bool Check_Network(const TNodi_List& nodes)
{
    std::optional<QString> fault = MBus_Value_Fault(nodes);
    if (!fault)
        fault = MBus_Network_Fault(nodes);
    if (fault)
        platform::ShowMessage(platform::MessageKind::Error, *fault);
    return !fault;
}

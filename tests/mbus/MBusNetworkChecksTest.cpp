// The checks of the network editor and of its paste dialog: every range,
// address and data-area position check with the message it shows, as one
// table of cases over one small network.
#include "mbus/UMeter_Bus_Checks.h"
#include "support/TestSupport.h"

#include "platform/Dialogs.h"
#include "shell/ULanguage.h"

#include <gtest/gtest.h>

#include <functional>
#include <variant>

using namespace platform;

namespace {

TVariabile Var(const char* desc, int position, bool enable = true, int timePoint = 0)
{
    TVariabile v;
    v.Enable = enable;
    v.Description = QString::fromLatin1(desc);
    v.PositionData = position;
    v.TP_Mod_Regs = timePoint > 0;
    v.TP_Mod_Year = timePoint > 0 ? timePoint : 1;
    v.Position = 1;
    return v;
}

// Node 0 "Wired A": primary 5, node state 1 (its box off), identification 20;
//   "Energy" at 100, "Date" at 50 with its time point at 90..95, "Off" (disabled) at 300.
// Node 1 "Radio B": wireless (hidden primary 7), node state 41, signal strength 40; "Flow" at 200.
// Node 2 "Disabled C": disabled, primary 9, node state 400; "X" at 500.
// Node 3 "Wired D": secondary 12345678, no variables.
TNodi_List Network()
{
    TNodo a;
    a.Enable = 1;
    a.Description = QStringLiteral("Wired A");
    a.MBus_Type = MBus_Type_Wired;
    a.Node_Pri = 5;
    a.Node_Sec = 1;
    a.Node_State = 1;
    a.Ident_Num = 20;
    a.Var_List = {Var("Energy", 100), Var("Date", 50, true, 90), Var("Off", 300, false)};
    TNodo b;
    b.Enable = 1;
    b.Description = QStringLiteral("Radio B");
    b.MBus_Type = MBus_Type_Wireless;
    b.Node_Pri = 7;
    b.Node_Sec = 1;
    b.Node_State = 41;
    b.RSSI = 40;
    b.Var_List = {Var("Flow", 200)};
    TNodo c;
    c.Enable = 0;
    c.Description = QStringLiteral("Disabled C");
    c.MBus_Type = MBus_Type_Wired;
    c.Node_Pri = 9;
    c.Node_State = 400;
    c.Var_List = {Var("X", 500)};
    TNodo d;
    d.Enable = 1;
    d.Description = QStringLiteral("Wired D");
    d.MBus_Type = MBus_Type_Wired;
    d.Node_ID_Type = 1;
    d.Node_Pri = 1;
    d.Node_Sec = 12345678;
    return {a, b, c, d};
}

TNode_Page Wired(const char* primary)
{
    TNode_Page p;
    p.Description = QStringLiteral("New");
    p.ID_Pri = QString::fromLatin1(primary);
    return p;
}

TNode_Page Wireless()
{
    TNode_Page p;
    p.MBus_Type = MBus_Type_Wireless;
    p.Description = QStringLiteral("New radio");
    p.wMBus_ManID = QStringLiteral("0x2C2D");
    p.wMBus_Add = QStringLiteral("12345678");
    p.wMBus_Ver = QStringLiteral("1");
    p.wMBus_DevType = QStringLiteral("7");
    for (QString& k : p.wMBus_Key)
        k = QStringLiteral("0");
    return p;
}

TVar_Page Variable(const char* position)
{
    TVar_Page p;
    p.Description = QStringLiteral("New var");
    p.PositionData = QString::fromLatin1(position);
    return p;
}

TPaste_Request Paste(int formType, std::vector<TPaste_Request::Positions> vars)
{
    TPaste_Request r;
    r.Form_Type = formType;
    r.ID_Pri = QStringLiteral("6");
    r.ID_Sec = QStringLiteral("1");
    r.wMBus_Add = QStringLiteral("whatever");
    r.Node_State = r.Ident_Num = r.RSSI = QStringLiteral("0");
    r.Vars = std::move(vars);
    r.Pasted.Enable = 1;
    r.Pasted.Description = QStringLiteral("Copy");
    for (size_t k = 0; k < r.Vars.size(); ++k)
        r.Pasted.Var_List.push_back(Var(k == 0 ? "First" : "Second", 0));
    return r;
}

QString M(int n) { return Language_List.value(n); }
// A conflict message: texts of the table with the names between them.
QString Node_Msg(int a, const char* node, int b) { return M(a) + node + M(b); }
QString Var_Msg(int a, const char* node, int b, const char* var, int c) { return M(a) + node + M(b) + var + M(c); }

const TMBus_Selection None{};
const TMBus_Selection Node0{0, -1};
const TMBus_Selection Energy{0, 0};

struct Case
{
    const char* why;
    // Runs one check on the network; the messages it shows are recorded.
    std::function<bool(TNodi_List&)> check;
    bool result;
    std::vector<std::variant<int, QString>> messages;  // a number of the table, or the whole text
};

bool NodeCheck(TNodi_List& n, TNode_Page page, TMBus_Selection sel = None) { return Controllo_Dati_New_Nodo(n, sel, page); }
bool VarCheck(TNodi_List& n, TVar_Page page, TMBus_Selection sel = Node0, bool isNew = true)
{
    return Controllo_Dati_New_Var(n, sel, page, isNew);
}

template <class F>
TNode_Page With(TNode_Page p, F edit)
{
    edit(p);
    return p;
}
template <class F>
TVar_Page WithV(TVar_Page p, F edit)
{
    edit(p);
    return p;
}

} // namespace

TEST(MBusNetworkChecks, EveryCheckWithItsMessage)
{
    Load_English_Table();
    const Case cases[] = {
        // ---- wired node: address range and uniqueness
        {"primary 255 passes", [](auto& n) { return NodeCheck(n, Wired("255")); }, true, {}},
        {"primary 256", [](auto& n) { return NodeCheck(n, Wired("256")); }, false, {1875}},
        {"primary -1", [](auto& n) { return NodeCheck(n, Wired("-1")); }, false, {1875}},
        {"primary 0x10 is 16, free", [](auto& n) { return NodeCheck(n, Wired("0x10")); }, true, {}},
        {"primary not a number", [](auto& n) { return NodeCheck(n, Wired("one")); }, false, {1875}},
        {"only the chosen address is checked",
         [](auto& n) { return NodeCheck(n, With(Wired("999"), [](auto& p) { p.ID_Primary = false; p.ID_Sec = "99999999"; })); }, true, {}},
        {"secondary 100000000",
         [](auto& n) { return NodeCheck(n, With(Wired("1"), [](auto& p) { p.ID_Primary = false; p.ID_Sec = "100000000"; })); }, false, {1876}},
        {"primary of another wired node", [](auto& n) { return NodeCheck(n, Wired("5")); }, false, {1892}},
        {"secondary of another wired node",
         [](auto& n) { return NodeCheck(n, With(Wired("1"), [](auto& p) { p.ID_Primary = false; p.ID_Sec = "12345678"; })); }, false, {1892}},
        {"the same number of the other type is free",
         [](auto& n) { return NodeCheck(n, With(Wired("1"), [](auto& p) { p.ID_Primary = false; p.ID_Sec = "5"; })); }, true, {}},
        {"a disabled wired node's address counts too", [](auto& n) { return NodeCheck(n, Wired("9")); }, false, {1892}},
        {"a wireless node's hidden address does not count here", [](auto& n) { return NodeCheck(n, Wired("7")); }, true, {}},
        {"changing a node keeps its own address", [](auto& n) { return NodeCheck(n, Wired("5"), Node0); }, true, {}},
        {"adding while a variable is selected compares its own node",
         [](auto& n) { return NodeCheck(n, Wired("5"), Energy); }, false, {1891}},
        {"a used address and a later error both show",
         [](auto& n) { return NodeCheck(n, With(Wired("5"), [](auto& p) { p.Node_State_On = true; p.Node_State = "1537"; })); },
         false, {1892, 1877}},
        // ---- wired node: positions
        {"node state 1537", [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.Node_State_On = true; p.Node_State = "1537"; })); }, false, {1877}},
        {"node state box off: its text is not checked",
         [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.Node_State = "junk"; })); }, true, {}},
        {"identification 1537", [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.Ident_Num_On = true; p.Ident_Num = "1537"; })); }, false, {1878}},
        {"node state equals identification",
         [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.Node_State_On = p.Ident_Num_On = true; p.Node_State = p.Ident_Num = "30"; })); },
         false, {1879}},
        {"manufacturer data 1537", [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.MS_On = true; p.MS = "1537"; })); }, false, {1880}},
        {"manufacturer data on the identification",
         [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.Ident_Num_On = p.MS_On = true; p.Ident_Num = p.MS = "30"; })); }, false, {1881}},
        {"manufacturer data on the node state",
         [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.Node_State_On = p.MS_On = true; p.Node_State = p.MS = "30"; })); }, false, {1882}},
        {"manufacturer length 0",
         [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.MS_On = true; p.MS = "60"; p.MSD_Length = "0"; })); }, false, {1883}},
        {"manufacturer offset 241",
         [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.MS_On = true; p.MS = "60"; p.MSD_Length = "1"; p.MSD_Offset = "241"; })); }, false, {1884}},
        {"length 200 offset 41 passes",
         [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.MS_On = true; p.MS = "60"; p.MSD_Length = "200"; p.MSD_Offset = "41"; })); }, true, {}},
        {"length 200 offset 42",
         [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.MS_On = true; p.MS = "60"; p.MSD_Length = "200"; p.MSD_Offset = "42"; })); }, false, {1885}},
        {"manufacturer position 0: length and offset unchecked",
         [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.MS_On = true; p.MS = "0"; p.MSD_Length = "x"; })); }, true, {}},
        {"access number 1537",
         [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.Access_Number_On = true; p.Access_Number = "1537"; })); }, false, {1886}},
        {"access number on the identification",
         [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.Ident_Num_On = p.Access_Number_On = true; p.Ident_Num = p.Access_Number = "30"; })); }, false, {1887}},
        {"access number on the node state",
         [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.Node_State_On = p.Access_Number_On = true; p.Node_State = p.Access_Number = "30"; })); }, false, {1888}},
        {"access number on the manufacturer data",
         [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.MS_On = p.Access_Number_On = true; p.MS = p.Access_Number = "30"; p.MSD_Length = "1"; })); }, false, {1889}},
        // ---- a node's positions against the rest of the network
        {"node state on a variable's value",
         [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.Node_State_On = true; p.Node_State = "100"; })); },
         false, {Var_Msg(1805, "Wired A", 1806, "Energy", 1807)}},
        {"identification on another node's node state",
         [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.Ident_Num_On = true; p.Ident_Num = "41"; })); },
         false, {Node_Msg(1787, "Radio B", 1788)}},
        {"node state inside a time point",
         [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.Node_State_On = true; p.Node_State = "92"; })); },
         false, {Var_Msg(1811, "Wired A", 1812, "Date", 1813)}},
        {"positions of a disabled node and variable are free",
         [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.Node_State_On = p.Ident_Num_On = true; p.Node_State = "500"; p.Ident_Num = "300"; })); }, true, {}},
        {"a changed node is not compared with its own positions",
         [](auto& n) { return NodeCheck(n, With(Wired("5"), [](auto& p) { p.Ident_Num_On = true; p.Ident_Num = "20"; }), Node0); }, true, {}},
        {"a disabled new node takes no positions",
         [](auto& n) { return NodeCheck(n, With(Wired("6"), [](auto& p) { p.Enable = false; p.Node_State_On = true; p.Node_State = "100"; })); }, true, {}},
        // ---- wireless node
        {"wireless defaults pass", [](auto& n) { return NodeCheck(n, Wireless()); }, true, {}},
        {"wireless address is any text", [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.wMBus_Add = "none"; })); }, true, {}},
        {"manufacturer 0x10000", [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.wMBus_ManID = "0x10000"; })); }, false, {1845}},
        {"version 256", [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.wMBus_Ver = "256"; })); }, false, {1847}},
        {"device type empty", [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.wMBus_DevType = ""; })); }, false, {1848}},
        {"key byte 5 empty with the key on",
         [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.wMBus_En_Key = true; p.wMBus_Key[4] = ""; })); }, false, {1853}},
        {"key byte 16 0x100", [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.wMBus_En_Key = true; p.wMBus_Key[15] = "0x100"; })); }, false, {1864}},
        {"key bytes unchecked with the key off",
         [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.wMBus_Key[4] = ""; })); }, true, {}},
        {"node state 60000 (box off)", [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.wNode_State = "60000"; })); }, false, {1865}},
        {"identification -1", [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.wIdent_Num = "-1"; })); }, false, {1866}},
        {"signal strength not a number", [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.RSSI = "abc"; })); }, false, {1867}},
        {"access number 60000", [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.wAccess_Number = "60000"; })); }, false, {1868}},
        {"identification = node state", [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.wIdent_Num = p.wNode_State = "7"; })); }, false, {1869}},
        {"identification = signal strength", [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.wIdent_Num = p.RSSI = "7"; })); }, false, {1870}},
        {"identification = access number", [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.wIdent_Num = p.wAccess_Number = "7"; })); }, false, {1871}},
        {"node state = signal strength", [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.wNode_State = p.RSSI = "7"; })); }, false, {1872}},
        {"node state = access number", [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.wNode_State = p.wAccess_Number = "7"; })); }, false, {1873}},
        {"signal strength = access number", [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.RSSI = p.wAccess_Number = "7"; })); }, false, {1874}},
        {"wireless signal strength on a variable",
         [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.RSSI = "200"; })); }, false,
         {Var_Msg(1805, "Radio B", 1806, "Flow", 1807)}},
        {"wireless manufacturer data 1537",
         [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.MS_On = true; p.MS = "1537"; })); }, false, {1880}},
        {"the wired access number is not the wireless node's",
         [](auto& n) { return NodeCheck(n, With(Wireless(), [](auto& p) { p.Access_Number_On = true; p.Access_Number = "x"; })); }, true, {}},
        // ---- variable
        {"position data 0", [](auto& n) { return VarCheck(n, Variable("0")); }, false, {1835}},
        {"position data 1537", [](auto& n) { return VarCheck(n, Variable("1537")); }, false, {1835}},
        {"position data 1536 passes", [](auto& n) { return VarCheck(n, Variable("1536")); }, true, {}},
        {"storage number 4294967295 passes",
         [](auto& n) { return VarCheck(n, WithV(Variable("10"), [](auto& p) { p.Storage_Number = "4294967295"; })); }, true, {}},
        {"storage number 4294967296",
         [](auto& n) { return VarCheck(n, WithV(Variable("10"), [](auto& p) { p.Storage_Number = "4294967296"; })); }, false, {1838}},
        {"storage number -1", [](auto& n) { return VarCheck(n, WithV(Variable("10"), [](auto& p) { p.Storage_Number = "-1"; })); }, false, {1838}},
        {"tariff 1048575 passes", [](auto& n) { return VarCheck(n, WithV(Variable("10"), [](auto& p) { p.Tariff = "0xFFFFF"; })); }, true, {}},
        {"tariff 1048576", [](auto& n) { return VarCheck(n, WithV(Variable("10"), [](auto& p) { p.Tariff = "1048576"; })); }, false, {1839}},
        {"variable length 192",
         [](auto& n) { return VarCheck(n, WithV(Variable("10"), [](auto& p) { p.Dimension = 7; p.Length = "192"; })); }, false, {1840}},
        {"length unchecked for a fixed size",
         [](auto& n) { return VarCheck(n, WithV(Variable("10"), [](auto& p) { p.Dimension = 2; p.Length = "x"; })); }, true, {}},
        {"time point year 0",
         [](auto& n) { return VarCheck(n, WithV(Variable("10"), [](auto& p) { p.Type_Of_Data = 20; p.TP_Mod_Regs = true; p.TP_Mod_Year = "0"; })); }, false, {1841}},
        {"time point year 59996",
         [](auto& n) { return VarCheck(n, WithV(Variable("10"), [](auto& p) { p.Type_Of_Data = 20; p.TP_Mod_Regs = true; p.TP_Mod_Year = "59996"; })); }, false, {1841}},
        {"value inside its own time point",
         [](auto& n) { return VarCheck(n, WithV(Variable("10"), [](auto& p) { p.Type_Of_Data = 20; p.TP_Mod_Regs = true; p.TP_Mod_Year = "8"; })); }, false, {1842}},
        {"no time point for another type on a By Type list",
         [](auto& n) { return VarCheck(n, WithV(Variable("10"), [](auto& p) { p.TP_Mod_Regs = true; p.TP_Mod_Year = "x"; })); }, true, {}},
        {"position 0", [](auto& n) { return VarCheck(n, WithV(Variable("10"), [](auto& p) { p.Position = "0"; })); }, false, {1844}},
        {"position 513 also on a By Type list",
         [](auto& n) { return VarCheck(n, WithV(Variable("10"), [](auto& p) { p.Position = "513"; })); }, false, {1844}},
        {"value on a node state whose box is off",
         [](auto& n) { return VarCheck(n, Variable("1")); }, false, {Node_Msg(1787, "Wired A", 1788)}},
        {"value on an identification", [](auto& n) { return VarCheck(n, Variable("20")); }, false, {Node_Msg(1789, "Wired A", 1790)}},
        {"value on a signal strength", [](auto& n) { return VarCheck(n, Variable("40")); }, false, {Node_Msg(1791, "Radio B", 1792)}},
        {"value on a value", [](auto& n) { return VarCheck(n, Variable("100")); }, false, {Var_Msg(1805, "Wired A", 1806, "Energy", 1807)}},
        {"value inside a time point", [](auto& n) { return VarCheck(n, Variable("92")); }, false, {Var_Msg(1811, "Wired A", 1812, "Date", 1813)}},
        {"a disabled variable never conflicts", [](auto& n) { return VarCheck(n, Variable("300")); }, true, {}},
        {"nor a variable of a disabled node", [](auto& n) { return VarCheck(n, Variable("500")); }, true, {}},
        {"nor a disabled node's node state", [](auto& n) { return VarCheck(n, Variable("400")); }, true, {}},
        {"changing a variable keeps its own position",
         [](auto& n) { return VarCheck(n, Variable("100"), Energy, false); }, true, {}},
        {"adding with a variable selected compares it too",
         [](auto& n) { return VarCheck(n, Variable("100"), Energy, true); }, false, {Var_Msg(1805, "Wired A", 1806, "Energy", 1807)}},
        {"a time point over a value",
         [](auto& n) { return VarCheck(n, WithV(Variable("10"), [](auto& p) { p.Type_Of_Data = 20; p.TP_Mod_Regs = true; p.TP_Mod_Year = "100"; })); },
         false, {Var_Msg(1823, "Wired A", 1824, "Energy", 1825)}},
        {"a time point over a time point",
         [](auto& n) { return VarCheck(n, WithV(Variable("10"), [](auto& p) { p.Type_Of_Data = 20; p.TP_Mod_Regs = true; p.TP_Mod_Year = "85"; })); },
         false, {Var_Msg(1829, "Wired A", 1830, "Date", 1831)}},
        {"a time point over a node state",
         [](auto& n) { return VarCheck(n, WithV(Variable("10"), [](auto& p) { p.Type_Of_Data = 20; p.TP_Mod_Regs = true; p.TP_Mod_Year = "38"; })); },
         false, {Node_Msg(1799, "Radio B", 1800)}},
        {"a time point on a By Position list is checked",
         [](auto& n) {
             n[3].Var_List_Type = MBus_Var_List_By_Position;
             return VarCheck(n, WithV(Variable("10"), [](auto& p) { p.TP_Mod_Regs = true; p.TP_Mod_Year = "98"; }), TMBus_Selection{3, -1});
         },
         false, {Var_Msg(1823, "Wired A", 1824, "Energy", 1825)}},
        {"a hand-edited time point at the top of the numbers",
         [](auto& n) {
             n[0].Var_List[1].TP_Mod_Year = 2147483647;
             return Check_Registers(n, None, 2147483647, 0, true, 59995);
         },
         true, {Var_Msg(1811, "Wired A", 1812, "Date", 1813)}},
        // Enabling a disabled node brings its variables into the data area,
        // where no check has seen them yet; the node is named as the page names it.
        {"enabling a node whose variable sits on another's",
         [](auto& n) {
             n[2].Var_List[0].PositionData = 100;
             return NodeCheck(n, Wired("9"), TMBus_Selection{2, -1});
         },
         false, {Var_Msg(1805, "Wired A", 1806, "Energy", 1807)}},
        {"enabling a node whose variables share a position",
         [](auto& n) {
             n[2].Var_List.push_back(Var("Y", 500));
             return NodeCheck(n, Wired("9"), TMBus_Selection{2, -1});
         },
         false, {Var_Msg(1805, "New", 1806, "Y", 1807)}},
        {"enabling a node whose variable sits on its new node state",
         [](auto& n) { return NodeCheck(n, With(Wired("9"), [](auto& p) { p.Node_State_On = true; p.Node_State = "500"; }), TMBus_Selection{2, -1}); },
         false, {Node_Msg(1787, "New", 1788)}},
        {"enabling a node with free positions",
         [](auto& n) { return NodeCheck(n, Wired("9"), TMBus_Selection{2, -1}); }, true, {}},
        {"a node left disabled is not checked",
         [](auto& n) {
             n[2].Var_List[0].PositionData = 100;
             return NodeCheck(n, With(Wired("9"), [](auto& p) { p.Enable = false; }), TMBus_Selection{2, -1});
         },
         true, {}},
        {"a secondary address kept as text is no number",
         [](auto& n) {
             n[3].Node_Sec = 1;
             n[3].Node_Sec_Text = "1234ABCD";
             return NodeCheck(n, With(Wired("1"), [](auto& p) { p.ID_Primary = false; p.ID_Sec = "1"; }));
         },
         true, {}},
        // ---- the position check with a second position and time points
        {"second position on a node state",
         [](auto& n) { return Check_Registers(n, None, 999, 41, true, 0); }, true, {Node_Msg(1793, "Radio B", 1794)}},
        {"second position on an identification",
         [](auto& n) { return Check_Registers(n, None, 999, 20, true, 0); }, true, {Node_Msg(1795, "Wired A", 1796)}},
        {"second position on a signal strength",
         [](auto& n) { return Check_Registers(n, None, 999, 40, true, 0); }, true, {Node_Msg(1797, "Radio B", 1798)}},
        {"second position on a value",
         [](auto& n) { return Check_Registers(n, None, 999, 100, true, 0); }, true, {Var_Msg(1814, "Wired A", 1815, "Energy", 1816)}},
        {"second position inside a time point",
         [](auto& n) { return Check_Registers(n, None, 999, 93, true, 0); }, true, {Var_Msg(1820, "Wired A", 1821, "Date", 1822)}},
        {"time point over an identification",
         [](auto& n) { return Check_Registers(n, None, 999, 0, true, 18); }, true, {Node_Msg(1801, "Wired A", 1802)}},
        {"time point over a signal strength",
         [](auto& n) { return Check_Registers(n, None, 999, 0, true, 35); }, true, {Node_Msg(1803, "Radio B", 1804)}},
        {"free positions", [](auto& n) { return Check_Registers(n, None, 999, 998, true, 990); }, false, {}},
        // ---- the paste dialog's address check
        {"paste: any node's address, wireless too", [](auto& n) { return Check_Node_ID2(n, 7, 0); }, false, {1890}},
        {"paste: a secondary address", [](auto& n) { return Check_Node_ID2(n, 12345678, 1); }, false, {1890}},
        {"paste: a free address", [](auto& n) { return Check_Node_ID2(n, 6, 0); }, true, {}},
        // ---- the paste dialog's OK
        {"paste: a variable at a free position", [](auto& n) { return Check_Paste(n, Paste(2, {{"10", "0", "0"}})); }, true, {}},
        {"paste: the second position left empty", [](auto& n) { return Check_Paste(n, Paste(2, {{"10", "", "0"}})); }, false, {2017}},
        {"paste: value 0", [](auto& n) { return Check_Paste(n, Paste(2, {{"0", "0", "0"}})); }, false, {2016}},
        {"paste: value 60000", [](auto& n) { return Check_Paste(n, Paste(2, {{"60000", "0", "0"}})); }, false, {2016}},
        {"paste: value past the editor's area", [](auto& n) { return Check_Paste(n, Paste(2, {{"1537", "0", "0"}})); }, false, {1835}},
        {"paste: time point 59996", [](auto& n) { return Check_Paste(n, Paste(2, {{"10", "0", "59996"}})); }, false, {2018}},
        {"paste: the default year 1 is a time point over 1..6",
         [](auto& n) { return Check_Paste(n, Paste(2, {{"10", "0", "1"}})); }, false, {Node_Msg(1799, "Wired A", 1800)}},
        {"paste: the copy on its original", [](auto& n) { return Check_Paste(n, Paste(2, {{"100", "0", "0"}})); }, false,
         {Var_Msg(1805, "Wired A", 1806, "Energy", 1807)}},
        {"paste: unless the original is disabled", [](auto& n) { return Check_Paste(n, Paste(2, {{"300", "0", "0"}})); }, true, {}},
        {"paste: wired primary 256", [](auto& n) { auto r = Paste(1, {}); r.ID_Pri = "256"; return Check_Paste(n, r); }, false, {2013}},
        {"paste: wired secondary 100000000",
         [](auto& n) { auto r = Paste(1, {}); r.ID_Primary = false; r.ID_Sec = "100000000"; return Check_Paste(n, r); }, false, {2014}},
        {"paste: a node without variables, only its address decides", [](auto& n) { return Check_Paste(n, Paste(1, {})); }, true, {}},
        {"paste: a wired address used by a wireless node; the variables are still checked",
         [](auto& n) { auto r = Paste(1, {{"100", "0", "0"}}); r.ID_Pri = "7"; return Check_Paste(n, r); }, false,
         {1890, Var_Msg(1805, "Wired A", 1806, "Energy", 1807)}},
        {"paste: a wired node state that is no number",
         [](auto& n) { auto r = Paste(1, {}); r.Node_State = "x"; return Check_Paste(n, r); }, false, {1877}},
        {"paste: a wireless signal strength that is no number",
         [](auto& n) { auto r = Paste(3, {}); r.RSSI = "x"; return Check_Paste(n, r); }, false, {1867}},
        {"paste: a wireless node whatever its address", [](auto& n) { return Check_Paste(n, Paste(3, {{"10", "0", "0"}})); }, true, {}},
        {"paste: two copied variables on one position",
         [](auto& n) { return Check_Paste(n, Paste(3, {{"10", "0", "0"}, {"10", "0", "0"}})); }, false,
         {Var_Msg(1805, "Copy", 1806, "First", 1807)}},
    };

    for (const Case& c : cases) {
        TNodi_List network = Network();
        DialogScript script;
        const bool result = c.check(network);
        EXPECT_EQ(result, c.result) << c.why;
        std::vector<QString> shown;
        for (const ShownDialog& d : script.Shown()) {
            EXPECT_EQ(d.kind, MessageKind::Error) << c.why;
            shown.push_back(d.text);
        }
        std::vector<QString> expected;
        for (const auto& m : c.messages)
            expected.push_back(std::holds_alternative<int>(m) ? M(std::get<int>(m)) : std::get<QString>(m));
        EXPECT_EQ(shown, expected) << c.why;
    }
}

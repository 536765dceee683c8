#pragma once

// The checks the network editor runs before it takes a node or a variable
// from its pages, and the paste dialog before it accepts new addresses and
// positions: ranges, unique wired addresses, and data-area positions that no
// two values of the network may share. Each failing check shows its error
// message (language table) in the platform's message box and changes nothing.
//
// The pages are handed over as their texts and states (TNode_Page,
// TVar_Page), so the checks and the taking of a node or variable run without
// a window. Numbers follow the program's rule; text that does not convert
// counts as -1 and so fails every range.

#include "mbus/UMeter_Bus.h"

#include <QString>

#include <array>
#include <optional>
#include <stdexcept>
#include <vector>

// The item the tree has selected: a node (IND_VAR -1), a variable of it, or
// nothing (both -1).
struct TMBus_Selection
{
    int IND_NODO = -1;
    int IND_VAR = -1;
    // The Nodes page changes the selected node; otherwise it adds one.
    bool Changing_Node() const { return IND_NODO >= 0 && IND_VAR < 0; }
};

// The Nodes page. Choices are list positions (a value the file held outside
// the list stays as it was); the wired and the wireless controls that edit
// the same field are kept apart, as on the page.
struct TNode_Page
{
    bool Enable = true;
    QString Description;
    int MBus_Type = MBus_Type_Wired;
    bool ID_Primary = true;  // "Primary ID Node" on, else "Secondary ID Node"
    QString ID_Pri = QStringLiteral("1");
    QString ID_Sec = QStringLiteral("1");
    // Wired rows.
    bool Node_State_On = false;
    QString Node_State = QStringLiteral("0");
    bool Ident_Num_On = false;
    QString Ident_Num = QStringLiteral("0");
    bool BCDtoINT_IN = false;
    int Swap_IN = 0;
    bool SND_NKE = false;
    bool Reset_App = false;
    int Var_List_Type = 0;
    int Cut_After = 0;
    bool Access_Number_On = false;
    QString Access_Number = QStringLiteral("0");
    // Both kinds.
    bool MS_On = false;
    QString MS = QStringLiteral("0");
    QString MSD_Length = QStringLiteral("0");
    QString MSD_Offset = QStringLiteral("0");
    // Wireless panel.
    QString wMBus_ManID, wMBus_Add, wMBus_Ver, wMBus_DevType;
    bool wMBus_En_Key = false;
    std::array<QString, 16> wMBus_Key;
    bool wNode_State_On = false;
    QString wNode_State = QStringLiteral("0");
    bool wIdent_Num_On = false;
    QString wIdent_Num = QStringLiteral("0");
    bool RSSI_On = false;
    QString RSSI = QStringLiteral("0");
    bool wAccess_Number_On = false;
    QString wAccess_Number = QStringLiteral("0");
    bool wBCDtoINT_IN = false;
    int wSwap_IN = 0;
    int wVar_List_Type = 0;

    // As the device image reads the kind: only "M-Bus on wires" is wired.
    bool Wired() const { return MBus_Type == MBus_Type_Wired; }
};

// The Variables page.
struct TVar_Page
{
    bool Enable = true;
    QString Description;
    int Type_Of_Data = 0;
    int Function_Field = 0;
    int Dimension = 0;
    int Unita = 0;
    int VIFE = 0;
    int Post_Operation = 0;
    QString PositionData;
    QString Storage_Number = QStringLiteral("0");
    QString Tariff = QStringLiteral("0");
    QString Length = QStringLiteral("0");
    QString VIF_ASCII;
    bool BCDtoINT = false;
    bool Conv_Float = false;
    bool Force_Int32 = false;
    bool TP_Mod_Regs = false;
    QString TP_Mod_Year = QStringLiteral("1");
    QString Position = QStringLiteral("1");
};

// Shows message n of the language table in an error box.
void MBus_Error(int message);

// No other wired node has that address (type 0 primary, 1 secondary); the
// selected node itself counts only when a variable is selected (the page then
// adds a node). Message 1892, or 1891 for the selected node.
bool Check_Node_ID(const TNodi_List& nodes, TMBus_Selection sel, int address, int type);
// No node at all, wired or wireless, has that address (message 1890).
bool Check_Node_ID2(const TNodi_List& nodes, int address, int type);
// True when a conflict was found and reported: P the value's position, S a
// second position (0 none), Y the first of six time-point positions (0 none);
// with isNew false the selected variable is not compared with itself.
bool Check_Registers(const TNodi_List& nodes, TMBus_Selection sel, int P, int S, bool isNew, int Y);

// The node check of the Nodes page; true when the node may be taken.
bool Controllo_Dati_New_Nodo(const TNodi_List& nodes, TMBus_Selection sel, const TNode_Page& page);
// The variable check of the Variables page, for the variable's node (the
// selected one or the selected variable's); true when it may be taken.
bool Controllo_Dati_New_Var(const TNodi_List& nodes, TMBus_Selection sel, const TVar_Page& page, bool isNew);

// A page text that is no whole number where one is needed: the message is
// the platform's text for it.
class TConversion_Error : public std::runtime_error
{
public:
    explicit TConversion_Error(const QString& text);
    QString Text() const { return text_; }

private:
    QString text_;
};

// The node of the Nodes page, taken over `base` (a changed node keeps its
// variables and, when wired, its signal-strength fields). Throws
// TConversion_Error, with nothing taken, for a number field that does not
// convert.
TNodo Take_Node(const TNode_Page& page, const TNodo& base);
TVariabile Take_Variable(const TVar_Page& page);

// The tree's texts of a node and of a variable.
QString Node_Label(const TNodo& node);
QString Variable_Label(const TVariabile& var);

// What the paste dialog hands to its check: Form_Type 1 wired node, 2
// variable, 3 wireless node; the texts of its fields; per pasted variable the
// index texts of its three grid rows (value, second, time point).
struct TPaste_Request
{
    int Form_Type = 2;
    bool ID_Primary = true;
    QString ID_Pri, ID_Sec, wMBus_Add;
    QString Node_State, Ident_Num, RSSI;
    struct Positions
    {
        QString P, S, Y;
    };
    std::vector<Positions> Vars;
    // The copied node whose variables are pasted together (Form_Type 1 and 3).
    TNodo Pasted;
};
// The paste dialog's OK: true when every value is in range and free.
bool Check_Paste(const TNodi_List& nodes, const TPaste_Request& request);

// The whole network, whatever wrote it (the pages, a scan, an import, a hand
// edit). Which nodes count: enabled ones of the kinds given; the image
// compiler also leaves out a node without an enabled variable, which it does
// not place.
struct TNetwork_Scope
{
    bool Wired = true;
    bool Wireless = true;
    bool Only_With_Values = false;
};
// The first number of the file that a node or variable could not keep
// (TOut_Of_Range), named by node and variable, attribute and text.
std::optional<QString> MBus_Value_Fault(const TNodi_List& nodes);
// The first of: two wired nodes the device would poll by the same address, a
// secondary address the device cannot take, two values placed on the same
// data-area position (a node's positions counting with their boxes on, a time
// point as its six positions).
std::optional<QString> MBus_Network_Fault(const TNodi_List& nodes, TNetwork_Scope scope = {});
// The editor's OK: both of the above; the first fault is shown in an error
// box and false returned.
bool Check_Network(const TNodi_List& nodes);

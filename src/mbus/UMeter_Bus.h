#pragma once

// The M-Bus network of a configuration: its nodes (meters) with their
// variables, the choice lists whose positions the nodes and variables hold,
// and the network file "M_Bus.xml". The editor window is in UMeter_Bus_Form.h.
//
// Every choice is kept, in memory and in the file, as its position in its
// list below, never as an M-Bus code.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace platform {
class XmlDocument;
class XmlNode;
}

// Choice lists of the M-Bus network. The network file and the device image
// store a choice as its position in these lists, so their order is part of the
// file format and must never change.

// Type of data ("Type"), 26 entries.
const QStringList& MBus_Type_Of_Data_List();
// Function ("Fun_Field"); positions 1 and 2 are the function codes 2 and 1.
const QStringList& MBus_Function_List();
// Size of the value in bits ("Dim"); not in ascending order.
const QStringList& MBus_Dimension_List();
// Unit number ("Unit"), "0" to "10".
const QStringList& MBus_Unit_List();
// Scaling applied to the value ("Post_Operation"), 13 entries.
const QStringList& MBus_Post_Operation_List();
// VIF extension ("VIFE"), 152 entries; position 0 is "Not Selected".
const QStringList& MBus_VIFE_List();

// Node-level lists.
const QStringList& MBus_Swap_Ident_List();
const QStringList& MBus_Var_List_Type_List();
const QStringList& MBus_Type_List();
const QStringList& MBus_Cut_After_List();

// Positions of the choices the program itself looks at.
constexpr int MBus_Type_Wireless = 0;        // "wM-Bus"
constexpr int MBus_Type_Wired = 1;           // "M-Bus on wires"
constexpr int MBus_Var_List_By_Position = 1; // "By Position"
constexpr int MBus_ToD_Time_Point = 20;      // "Time Point"
constexpr int MBus_ToD_VIF_ASCII = 21;       // "VIF is in ASCII"
constexpr int MBus_Dim_Variable_Length = 7;  // "Variable Length"
constexpr int MBus_VIFE_None = 255;          // also "Not Selected"

// A number of the file that its field cannot hold (a hand-edited "-1" in a
// byte field, "99999999999" in an address): the field holds what the reading
// made of it, which must not reach the file in its place unnoticed.
struct TOut_Of_Range
{
    QString Attribute;
    QString Text;
    int64_t Low = 0;
    int64_t High = 0;
};

// One value that the converter takes from a meter's telegrams and places in
// its data area.
class TVariabile
{
public:
    bool Enable = false;
    QString Description;
    int32_t Type_Of_Data = 0;
    int32_t Function_Field = 0;
    int32_t Dimension = 0;
    int32_t Unita = 0;
    int32_t PositionData = 0;
    uint32_t Storage_Number = 0;
    int32_t Tariff = 0;
    uint8_t VIFE = 0;
    bool BCDtoINT = false;
    int32_t Length = 0;
    QString VIF_ASCII;
    bool Conv_Float = false;
    bool Force_Int32 = false;
    bool TP_Mod_Regs = false;
    int32_t TP_Mod_Year = 0;
    uint16_t Position = 0;
    uint8_t Post_Operation = 0;

    // Not part of the file: what the reading could not keep; empty once the
    // variable is taken from the page.
    std::vector<TOut_Of_Range> Out_Of_Range;

    // A split time point takes the six positions TP_Mod_Year .. TP_Mod_Year + 5.
    bool Uses_Time_Point() const { return TP_Mod_Regs; }
};

// One meter: a node of the wired line or a wireless meter. A node carries the
// fields of both kinds whatever its kind; the other kind's are kept as they are.
class TNodo
{
public:
    uint8_t Enable = 0;
    QString Description;
    int32_t Node_Pri = 0;
    int32_t Node_Sec = 0;
    uint8_t Send_SNK = 0;
    uint8_t Reset_App = 0;
    std::vector<TVariabile> Var_List;
    uint8_t Enable_NS = 0;
    int32_t Node_State = 0;
    uint8_t Enable_IN = 0;
    int32_t Ident_Num = 0;
    uint8_t BCDtoINT_IN = 0;
    int32_t Swap_Ident = 0;
    uint8_t Node_ID_Type = 0;
    uint8_t Var_List_Type = 0;
    uint8_t Cut_After = 0;  // frames minus 1
    uint8_t Enable_MS = 0;
    int32_t Manufacturer_Spec = 0;
    uint8_t MSD_Length = 0;
    uint8_t MSD_Offset = 0;
    uint8_t MBus_Type = 0;
    QString wMBus_ManID;
    QString wMBus_Add;
    QString wMBus_Ver;
    QString wMBus_DevType;
    uint8_t wMBus_En_Key = 0;
    std::array<QString, 16> wMBus_Key;
    uint8_t Enable_RSSI = 0;
    int32_t RSSI = 0;
    uint8_t Enable_AN = 0;
    int32_t Access_Number = 0;

    // A secondary address in the file that is no number (a scan writes the
    // meter's identification in hexadecimal digits, which need not be decimal
    // ones): kept as written, shown and written back in place of Node_Sec
    // until the node is changed. Empty for every other node.
    QString Node_Sec_Text;

    // Not part of the file: what the reading could not keep of the node's own
    // attributes; empty once the node is taken from the page.
    std::vector<TOut_Of_Range> Out_Of_Range;

    bool Is_Wired() const { return MBus_Type == MBus_Type_Wired; }
    bool By_Secondary() const { return Node_ID_Type != 0; }
    // The secondary address as the file holds it.
    QString Secondary_Text() const;
};

using TNodi_List = std::vector<TNodo>;

// The identification a wired meter answers to by its secondary address, as
// the device image carries it: eight digits, one nibble each, most
// significant first. A number gives its lowest eight decimal digits ("123" is
// 00000123); eight hexadecimal digits, as a scan writes what the meter
// answers ("1234ABCD"), are taken as they stand. Nothing for any other text.
std::optional<uint32_t> MBus_Secondary_Identifier(const QString& text);

// The file's structure, read one way by the editor, the scan's extending and
// the image compiler: the document element holds the nodes (whatever stands
// before it, an XML declaration or a comment), each node its variables; only
// elements count, whatever their names.
platform::XmlNode MBus_Network_Root(const platform::XmlDocument& doc);
std::vector<platform::XmlNode> MBus_Network_Elements(const platform::XmlNode& parent);

// The network file. Its layout (element and attribute names, their order,
// the defaults) lives in UMeter_Bus_File.cpp and nowhere else.
struct MBus_Read_Result
{
    TNodi_List Nodes;
    // False when the file is not well-formed or a variable lacks a required
    // number; Nodes is then empty, never a part of the network.
    bool Ok = true;
    QString Error;
};

// A missing file is an empty network.
MBus_Read_Result Read_MBus_Network(const QString& path);
MBus_Read_Result Read_MBus_Network_Bytes(const QByteArray& bytes);
// The network of a document already loaded.
MBus_Read_Result Read_MBus_Network_Document(const platform::XmlDocument& doc);
// The file's bytes for a network; Write_MBus_Network replaces the file
// atomically and, on failure, leaves it as it was and says why.
QByteArray MBus_Network_Bytes(const TNodi_List& nodes);
bool Write_MBus_Network(const TNodi_List& nodes, const QString& path, QString* error = nullptr);

// The platform's text for a whole number that does not convert.
QString Invalid_Integer_Text(const QString& text);

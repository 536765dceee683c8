#pragma once

// The byte layouts of the two device images, one table of fields per block or
// record. The converter's firmware reads these bytes; nothing here may move.
// Every integer is unsigned and little-endian unless the field says it is
// written most significant byte first; byte arrays keep their own order.

#include <cstdint>

struct TImage_Field
{
    const char* name;
    uint32_t offset;     // within its block or record
    uint32_t size;       // in bytes
    bool msb_first = false;
};

// Writes the low `size` bytes of value into the field of a block.
void Put_Field(uint8_t* block, const TImage_Field& field, uint64_t value);
// Copies field.size bytes into the field.
void Put_Field_Bytes(uint8_t* block, const TImage_Field& field, const uint8_t* bytes);

namespace Bank1 {

constexpr uint32_t Base_Address = 0x68000;
constexpr uint32_t Size = 0x2C00;  // 11 264 bytes, whatever the configuration

enum Area { General_Block, Key_Table, LoRa_Block, Uplink_Table, Downlink_Table, Spare, Area_Count };
// Where each area sits in the file; its device address is Base_Address + offset.
constexpr TImage_Field Areas[Area_Count] = {
    {"general block", 0x0000, 2048},
    {"key table", 0x0800, 1024},
    {"LoRaWAN block", 0x0C00, 1024},  // 88 bytes of fields, then zero
    {"uplink rule table", 0x1000, 3072},
    {"downlink rule table", 0x1C00, 3072},
    {"spare", 0x2800, 1024},
};

// The general block: network, serial lines (six, numbered from 0, as four
// parallel arrays from 0x1F0, 0x208, 0x20E and 0x214), M-Bus line and radio.
// Bytes not listed are 0.
enum class TGeneral_Source : uint8_t {
    Fixed,       // `value` when "ParGen.xml" exists
    From_File,   // read from "ParGen.xml"
    Unchanged,   // keeps its reset value
    Address,     // `value`, stored after "ParGen.xml" is read, whether it exists or not
    Compiled     // filled later: the key count (bank 2) and the checksum
};
struct TGeneral_Field
{
    TImage_Field field;
    uint64_t reset;          // the block's reset value
    TGeneral_Source source;
    uint64_t value;
};
enum General_Field {
    GB_Word_000, GB_Word_004, GB_Word_008, GB_IP_Address, GB_Subnet_Mask, GB_Gateway, GB_Word_034,
    GB_Line2_Baud, GB_MBus_Baud, GB_Line5_Baud, GB_Line2_Parity, GB_MBus_Parity, GB_Line5_Parity,
    GB_Line2_Stop, GB_Line5_Stop, GB_Data_Bits, GB_Key_Count, GB_wMBus_Mode, GB_Radio_Channel,
    GB_Byte_248, GB_Byte_249, GB_Byte_24A, GB_Key_Table_Address, GB_C_Field, GB_Word_2E4,
    GB_LoRa_Block_Address, GB_Checksum, General_Field_Count
};
using S = TGeneral_Source;
constexpr TGeneral_Field General_Fields[General_Field_Count] = {
    {{"fixed word", 0x000, 4}, 250000, S::Fixed, 250000},
    {{"fixed word", 0x004, 4}, 250000, S::Fixed, 250000},
    {{"fixed word", 0x008, 4}, 9600, S::Fixed, 9600},
    {{"IP address", 0x028, 4, true}, 0xC0A802CD, S::From_File, 0},     // 192.168.2.205
    {{"subnet mask", 0x02C, 4, true}, 0xFFFFFF00, S::From_File, 0},
    {{"gateway", 0x030, 4, true}, 0xFFFFFFFF, S::From_File, 0},
    {{"fixed word", 0x034, 2}, 10000, S::Fixed, 10000},
    {{"line 2 baud rate", 0x1F8, 4}, 0, S::Fixed, 19200},
    {{"M-Bus line baud rate", 0x1FC, 4}, 0, S::From_File, 0},
    {{"line 5 baud rate", 0x204, 4}, 0, S::Fixed, 19200},
    {{"line 2 parity", 0x20A, 1}, 0, S::Fixed, 0},
    {{"M-Bus line parity", 0x20B, 1}, 0, S::From_File, 0},
    {{"line 5 parity", 0x20D, 1}, 0, S::Fixed, 0},
    {{"line 2 stop bits", 0x210, 1}, 0, S::Fixed, 1},
    {{"line 5 stop bits", 0x213, 1}, 0, S::Fixed, 1},
    {{"data bits", 0x214, 8, true}, 0x0808080808080808, S::Unchanged, 0},
    {{"key count", 0x234, 1}, 0, S::Compiled, 0},
    {{"wireless mode", 0x238, 1}, 0, S::From_File, 0},
    {{"radio channel", 0x246, 1}, 0, S::From_File, 0},
    {{"fixed byte", 0x248, 1}, 0, S::Fixed, 3},
    {{"fixed byte", 0x249, 1}, 0, S::Fixed, 5},
    {{"fixed byte", 0x24A, 1}, 0, S::Fixed, 5},
    {{"key table address", 0x254, 4}, 0, S::Address, Base_Address + 0x0800},
    {{"M-Bus C field", 0x2D8, 4}, 0, S::From_File, 0},
    {{"fixed word", 0x2E4, 4}, 0, S::Fixed, 0xFFFFFFFF},
    {{"LoRaWAN block address", 0x364, 4}, 0, S::Address, Base_Address + 0x0C00},
    {{"checksum", 0x7FC, 4}, 0, S::Compiled, 0},  // byte sum of 0x000 .. 0x7FB
};

// One record per wireless meter, in the order of the meters.
constexpr uint32_t Key_Record_Size = 32;
constexpr int Key_Records = 32;
enum Key_Field { KR_ManID, KR_Address, KR_Version, KR_Device_Type, KR_Key, KR_Key_Enabled, Key_Field_Count };
constexpr TImage_Field Key_Fields[Key_Field_Count] = {
    {"manufacturer identifier", 0, 2},
    {"meter address", 2, 4},
    {"version", 6, 1},
    {"device type", 7, 1},
    {"AES key", 8, 16},  // byte 1 first; zero when the key is not enabled
    {"key enabled", 24, 1},
};

// The first 88 bytes of the LoRaWAN block.
constexpr uint32_t LoRa_Fields_Size = 88;
enum LoRa_Field {
    LB_Band, LB_Network_Type, LB_Activation, LB_Data_Rate, LB_Device_Address, LB_JoinEUI,
    LB_Network_Session_Key, LB_Application_Session_Key, LB_Application_Key, LB_Adaptive_Data_Rate,
    LB_Confirmed, LB_Payload_Size, LB_Variable_Port, LB_Transmit_Interval, LB_Uplink_Address,
    LB_Downlink_Address, LB_Uplink_Count, LB_Downlink_Count, LB_Sub_Band, LoRa_Field_Count
};
struct TLoRa_Field
{
    TImage_Field field;
    uint32_t reset;
};
constexpr TLoRa_Field LoRa_Fields[LoRa_Field_Count] = {
    {{"band index", 0, 1}, 0},
    {{"network type", 1, 1}, 0},
    {{"activation method", 2, 1}, 0},
    {{"data rate", 3, 1}, 6},
    {{"device address", 4, 4}, 0},  // byte arrays in the order of their hexadecimal text
    {{"JoinEUI", 8, 8}, 0},
    {{"network session key", 16, 16}, 0},
    {{"application session key", 32, 16}, 0},
    {{"application key", 48, 16}, 0},
    {{"adaptive data rate", 64, 1}, 0},
    {{"confirmed", 65, 1}, 0},
    {{"maximum payload size", 66, 1}, 1},
    {{"variable port", 67, 1}, 0},
    {{"transmit interval", 68, 4}, 1},
    {{"uplink table address", 72, 4}, 0},
    {{"downlink table address", 76, 4}, 0},
    {{"uplink rule count", 80, 2}, 0},
    {{"downlink rule count", 82, 2}, 0},
    {{"frequency sub-band", 84, 1}, 0},
};

// One record per rule, the same in both tables; records past the count are zero.
constexpr uint32_t Rule_Record_Size = 12;
constexpr int Rule_Records = 256;
enum Rule_Field { RR_Start_Byte, RR_Num_Byte, RR_Triggers, RR_Port, RR_Period, Rule_Field_Count };
constexpr TImage_Field Rule_Fields[Rule_Field_Count] = {
    {"start byte", 0, 2},
    {"number of bytes", 2, 2},
    {"trigger flags", 4, 1},  // bit 0 on change, bit 1 on command, bit 2 on timer
    {"port", 5, 1},
    {"timer period", 8, 4},
};

} // namespace Bank1

namespace Bank2 {

constexpr uint32_t Base_Address = 0x50800;
constexpr uint32_t Capacity = 131072;

enum Header_Field { H_Marker, H_Wired_Table, H_Wireless_Table, H_Line_Block, Header_Field_Count };
constexpr uint32_t Header_Size = 13;
constexpr TImage_Field Header_Fields[Header_Field_Count] = {
    {"marker 0x40", 0, 1},
    {"wired meter table offset", 1, 4},
    {"wireless meter table offset", 5, 4},
    {"line block offset", 9, 4},
};

constexpr uint32_t Meter_Record_Size = 29;
enum Meter_Field {
    MR_ID_Type, MR_Identifier, MR_Variable_Count, MR_Add, MR_SND_NKE, MR_Reset_App, MR_Options,
    MR_Node_State, MR_Ident_Num, MR_Swap_IN, MR_Var_Type, MR_Cut_After, MR_MSD_Length, MR_MSD_Offset,
    MR_Mamu_Spec_Data, MR_RSSI, MR_Access_Number, Meter_Field_Count
};
constexpr TImage_Field Meter_Fields[Meter_Field_Count] = {
    {"ID_Type", 0, 1},
    {"identifier", 1, 4, true},
    {"number of variables", 5, 2},
    {"Add", 7, 4},
    {"SND_NKE", 11, 1},
    {"Reset_App", 12, 1},
    {"Opzioni_Check", 13, 1},
    {"Node_State", 14, 2},
    {"Ident_Num", 16, 2},
    {"Swap_IN", 18, 1},
    {"Var_Type", 19, 1},
    {"Cut_After", 20, 1},
    {"MSD_Length", 21, 1},
    {"MSD_Offset", 22, 1},
    {"Mamu_Spec_Data", 23, 2},
    {"RSSI", 25, 2},
    {"Access_Number", 27, 2},
};
// Opzioni_Check bits.
constexpr uint8_t Opt_Node_State = 0x01, Opt_Ident_Num = 0x02, Opt_Ident_BCD = 0x04, Opt_Manufacturer_Data = 0x08,
                  Opt_RSSI = 0x10, Opt_Access_Number = 0x20;

constexpr uint32_t Variable_Record_Size = 25;
enum Variable_Field {
    VR_Type_Of_Data, VR_Function_Field, VR_Data_Field, VR_PositionData, VR_Unita, VR_Storage_Num, VR_Tarif,
    VR_VIFE, VR_Options, VR_Length, VR_Len_VIF_ASCII, VR_Address_VIF_ASCII, VR_Position, VR_Post_Ope,
    Variable_Field_Count
};
constexpr TImage_Field Variable_Fields[Variable_Field_Count] = {
    {"Type_Of_Data", 0, 1},
    {"Function_Field", 1, 1},
    {"data-field code", 2, 1},
    {"PositionData", 3, 2},
    {"Unita", 5, 1},
    {"Storage_Num", 6, 4},
    {"Tarif", 10, 4},
    {"VIFE", 14, 1},
    {"Options", 15, 1},
    {"Length", 16, 1},
    {"Len_VIF_ASCII", 17, 1},
    {"Address_VIF_ASCII", 18, 4},
    {"Position", 22, 2},
    {"Post_Ope", 24, 1},
};
// Options bits.
constexpr uint8_t Var_Conv_Float = 0x01, Var_Force_Int32 = 0x02, Var_BCDtoINT = 0x04, Var_TP_Mod_Regs = 0x08;

// After the texts, only when "ParGen.xml" exists.
constexpr uint32_t Line_Block_Size = 4;
enum Line_Field { LN_Poll_Delay, LN_Wired_Count, LN_NS_Error_Code, Line_Field_Count };
constexpr TImage_Field Line_Fields[Line_Field_Count] = {
    {"poll delay", 0, 2},
    {"wired meter count", 2, 1},
    {"node state of an absent meter", 3, 1},
};

} // namespace Bank2

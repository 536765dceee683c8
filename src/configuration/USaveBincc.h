#pragma once

// Compiles the open configuration into the two images the updater writes
// into the converter: "bank1.bin" (general block, key table, LoRaWAN block,
// rule tables; always 11 264 bytes, placed at 0x68000) and "bank2.bin" (the
// M-Bus network, placed at 0x50800). Byte layouts: USaveBincc_Layout.h.
//
// Plain procedures over module state: the last compilation stays until the
// next one. A compilation that fails leaves nothing that can be written, so
// the device never gets images of a half-read configuration, and the two
// files are only ever replaced together.

#include "configuration/USaveBincc_Layout.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// Compiles the open configuration; on a problem shows the message itself and
// returns false, and the images of the failed compilation must not be written.
bool Build_Device_Images();
// Writes bin/bank1.bin and bin/bank2.bin, both or neither; on failure shows a
// message and returns false.
bool Write_Device_Images();

// The same two steps without a message box: false with the reason.
// Reads FileName_ParGen, FileName_M_Bus and FileName_LoRaWAN_SetAccess.
bool Compile_Device_Image(QString* error);
// Replaces the pair in "bin" as one: after a failure or a crash "bin" holds
// the old pair or the new one (platform::WriteFilesTogether). Needs a
// successful compilation.
bool Save_Bank_Files(QString* error);

// The used parts of the two buffers, as the last compilation left them.
QByteArray Bank1_Bytes();
QByteArray Bank2_Bytes();

// The packed BCD of the value's lowest eight decimal digits.
uint32_t Int_To_BCD(uint32_t value);

// The image builder's own records of the M-Bus network ("M_Bus.xml" read on
// its own, not through the editor's classes of the same names).
namespace SaveBin {

struct TVariabile
{
    uint8_t Type_Of_Data = 0;
    uint8_t Function_Field = 0;  // the M-Bus function code, not the list position
    uint8_t Dimension = 0;       // the editor's size position
    uint16_t PositionData = 0;
    uint8_t Unita = 0;
    uint32_t Storage_Num = 0;
    uint32_t Tarif = 0;
    uint8_t VIFE = 0;
    uint8_t Options = 0;
    uint8_t Length = 0;
    uint8_t Len_VIF_ASCII = 0;
    QString VIF_ASCII;
    uint32_t Address_VIF_ASCII = 0;
    uint16_t TP_Mod_Year = 0;    // never filled, never written
    uint16_t Position = 0;
    uint8_t Post_Ope = 0;
};

struct TNodo
{
    uint32_t ID = 0;
    uint8_t SND_NKE = 0;
    uint8_t Reset_App = 0;
    uint8_t Opzioni_Check = 0;
    uint32_t Add = 0;
    uint16_t Node_State = 0;
    uint16_t Ident_Num = 0;
    uint16_t RSSI = 0;
    uint8_t BCDtoINT_IN = 0;
    uint8_t Swap_IN = 0;
    uint8_t ID_Type = 0;
    uint8_t Var_Type = 0;
    uint8_t Cut_After = 0;
    uint16_t Mamu_Spec_Data = 0;
    uint8_t MSD_Length = 0;
    uint8_t MSD_Offset = 0;
    uint16_t Access_Number = 0;
    std::vector<TVariabile> Vars;
};

// The meters of the last compilation, in file order within each list.
const std::vector<TNodo>& Wired_Nodes();
const std::vector<TNodo>& Wireless_Nodes();

} // namespace SaveBin

#pragma once

// Saving the meters of a scan into the configuration's "M_Bus.xml": one
// "Nodo" per meter, one "Variabile" per data record, the record's codes as the
// positions of the network editor's choice lists, so the editor and the image
// compiler read the scanned network as they read one typed in.
//
// The one rule a reader must know: the register counter r runs over the whole
// file being written (meters continue each other's count), and a record's
// "ModReg" and "PositionData" are both r before the record. Nothing saved
// lands on a position already used: extending a file starts r after every
// position the file holds, and a meter's own start register (StartModnode)
// can only move it further on.
//
// The converter family reads the file in dialects chosen by XML_Code_Dev:
// extra node identifiers (2, 4, 5, 7, 8, 10), one "Group" around the wired
// nodes (4, 7), BACnet objects in place of registers (12), the wired bus type
// (12, 13, 14) and, with StartModnode, registers for the node state and the
// identification number (0, 1, 9, 13, 14). Other codes write the plain form.

#include "mbus/UMBusScanDecode.h"

#include <QString>

#include <cstdint>
#include <vector>

// The parameters of both writers.
struct TSaveConfXML {
    int32_t Append = 0;         // 1: add to the existing file; otherwise replace it
    int32_t XML_Code_Dev = 21;  // device code: the dialect of the file
    int32_t Mod_Start = 1;      // first register number (extending: at least the first free one)
    int32_t Index_Baud = 0;     // the group's baud rate and parity (codes 4, 7)
    int32_t Index_Par = 0;
    int32_t Node_ID_Type = 0;   // 0 primary, 1 secondary
    int32_t SND_NKE = 0;
    int32_t Reset_App = 0;
    int32_t Cut_After = 3;      // most telegrams read from one meter
    int32_t StartModnode = 0;   // 1: per-node start registers, only ticked records count
    std::vector<int32_t> SMN_Array;
    bool En_NodeState = false;  // with StartModnode: registers for the node state
    bool En_IdeNum = false;     // with StartModnode: registers for the identification number
    QString File_Name;
};

// Result of a writer: Written true when the file was written. False with an
// empty Error when the list of its kind holds no meter (nothing touched);
// false with Error set when the file to extend could not be read or the file
// could not be written (the old file then stays as it was).
struct TSaveConfResult {
    bool Written = false;
    QString Error;
};

// The wired writer reads the ticks of the scan window's tree: a meter's or
// record's Node, when set, is a platform::TTreeNode; without one it counts as
// ticked.
TSaveConfResult Save_XML_Conf_Wired(const TList_Slave_MBus& List, const TSaveConfXML& Conf, bool Check_BCD);
// The wireless writer reads the meters' and records' Enable.
TSaveConfResult Save_XML_Conf_Wireless(const TList_Slave_wMBus& List, const TSaveConfXML& Conf, bool Check_BCD);

// "Dim" position and registers taken by a record's data field code.
int Scan_Dim_Position(uint8_t Data_Field);
int Scan_Registers(uint8_t Data_Field, int32_t nbyte);
// A text as the XML file can hold it: characters that XML 1.0 does not allow
// (control characters but tab, line feed and carriage return; unpaired
// surrogates; U+FFFE, U+FFFF) become "?".
QString Scan_Xml_Text(const QString& Text);

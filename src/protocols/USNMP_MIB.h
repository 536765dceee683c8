#pragma once

// The MIB of the converter's SNMP agent: one object per enabled row of the
// agent tables ("SNMP_Trap.xml"), numbered among the enabled rows of its list
// from 1 as the agent window's column 0 shows, and one trap per read object.
// The text keeps its established layout word for word (the traps carry
// SYNTAX and MAX-ACCESS clauses, for one), not the letter of SMIv2.

#include <QString>
#include <QStringList>

// The agent tables hold 256 rows each: no list has more objects.
constexpr int kMIB_Max_Objects = 256;

// Flag i - 1: object i of its list is an integer (else a string).
extern bool MIB_Read_Type_Int[kMIB_Max_Objects];
extern bool MIB_Write_Type_Int[kMIB_Max_Objects];

// The action of the main window's MIB button: the save dialog, the
// overwrite question, then reading the agent file and writing the MIB.
void SNMP_MIB_File();
// Refills List_MIB_Read_Desc, List_MIB_Write_Desc and the flags from the
// agent file (FileName_SNMP_Trap). A missing file gives no objects. False,
// with the reason, when the file is not XML or a list holds more than 256
// enabled objects; the lists are then left empty.
bool Load_SNMP_MIB_Var(QString* error);
// The lines of the MIB from the lists and flags.
QStringList MIB_Lines();
// Writes the MIB over the file; false after an error box when it cannot.
bool Create_MIB_File(const QString& fileName);

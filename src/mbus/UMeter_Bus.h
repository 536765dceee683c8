#pragma once

#include <QStringList>

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

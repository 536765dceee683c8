#pragma once

// The export files of a scan: every meter found and every record of it with
// its decoded value and raw codes, written to a path the caller chose.

#include "mbus/UScanDecode_Save.h"

// Both write a new document to File_Name (a list without meters gives the
// root alone). Written false with Error set when the file could not be written.
TSaveConfResult Save_XML_File_DLL(const TList_Slave_MBus& List, const QString& File_Name);
TSaveConfResult Save_Wireless_XML_File_DLL(const TList_Slave_wMBus& List, const QString& File_Name);

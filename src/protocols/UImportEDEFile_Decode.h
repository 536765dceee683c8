#pragma once

// Reading an EDE file (the semicolon-separated object list of one BACnet
// device) and the conversions of its object types for the master rules.
// Plain text in, records out: no windows.

#include <QString>
#include <QStringList>

#include <vector>

// One object of the file, in the order of the file's columns.
struct TBACnet_Var
{
    QString keyname;
    int device_obj_instance = -1;
    QString object_name;
    int object_type = -1;
    int object_instance = -1;
    QString description;
    QString present_value_default, min_present_value, max_present_value;
    bool commandable = false;
    bool support_COV = false;
    QString hi_limit, low_limit, stete_text_reference, unit_code, vendor_specific_address;
    bool import = false, read = false, write = false;
};

// The objects of the accepted types, from the lines of an EDE file. A file
// without a "# mandatory" header line (a short one included) has none.
std::vector<TBACnet_Var> Parse_EDE_Lines(const QStringList& lines);
// The object types the import accepts, by their BACnet numbers.
bool EDE_Type_Accepted(int objectType);
QString Get_ObjType_EDE(int objectType);
QString Get_DataType_EDE(int objectType);
int Get_NumByte_EDE(int objectType);

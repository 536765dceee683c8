#pragma once

// The EDE file (engineering data exchange) of the converter as a BACnet
// server: one line per object of the BACnet slave tables, with the device's
// object instance. The EDE import of the master rules reads such files.

#include <QDateTime>
#include <QString>
#include <QStringList>

struct TBACnet_EDE_Obj
{
    QString Keyname, DevObjInstance, ObjectName, ObjectType, ObjectInstance, Description, UnitCode;
};

// The BACnet object type number of a slave table's Data Type (0 for an unknown one).
int EDE_Object_Type(const QString& dataType);

// The file's lines from the two project files, at the given time; false with
// a message (nothing to write) when a project file cannot be read or an
// object would break the file's columns.
bool Build_EDE_Lines(const QString& parGenPath, const QString& slavePath, const QDateTime& now, QStringList* lines,
                     QString* error);

// Writes the file for the open configuration; false after an error box.
bool Export_EDE_File(const QString& path);
// The main window's button: asks the name (".csv"), the overwrite question, exports.
void Save_EDE_File();

#pragma once

// The PROFINET device description (GSDML) of the converter: one device
// access point and one module whose input and output lengths come from
// "ParGen.xml". The converter's input data are what the controller reads,
// so the module's input length is "PROFINET_NB_OUT" and its output length
// "PROFINET_NB_IN". Written in UTF-8 with byte-order mark, one tag per line.

#include <QString>
#include <QStringList>

// The parameters of the next file, from "ParGen.xml".
extern int GSDML_Byte_In;              // "PROFINET_NB_IN", 1438 by default
extern int GSDML_Byte_Out;             // "PROFINET_NB_OUT", 1438 by default
extern QString GSDML_Name_Station;     // "PROFINET_NAME_STA", "SERIAL" when blank

// The most each way that the converter's areas and the device's IO data hold.
constexpr int GSDML_Max_Length = 1438;

// Sets the three parameters; a missing file or element or a length that is
// no number takes the default. False with the parser's message when the
// file is not well-formed (the parameters then hold their defaults).
bool Read_PROFINET_Param(const QString& parGenPath, QString* error);

// Empty when the parameters can be written, else the message.
QString GSDML_Param_Error(int byteIn, int byteOut, const QString& station);

// The lines of the file for parameters that GSDML_Param_Error accepts.
QStringList Build_GSDML_Lines(int byteIn, int byteOut, const QString& station);

// Reads the parameters from the configuration's "ParGen.xml" and writes the
// file over the path. Bad parameters and write failures show an error box
// and leave any old file as it was; success is not reported.
bool Create_GSDML_File(const QString& path);

// After the file-name dialog: the save dialog in the configuration's folder
// with the name preset, ".xml" added when missing, the overwrite question,
// then Create_GSDML_File with the name the user confirmed there.
void Save_GSDML_File(const QString& fileName);

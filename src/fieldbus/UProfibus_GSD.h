#pragma once

// The PROFIBUS DP description (GSD) of the converter as a modular slave: its
// input and output data are cut into modules of at most 64 bytes, first the
// input modules, then the output ones, each in its own slot. The converter's
// input data are what the master reads, so the station's input length is
// "PROFINET_NB_OUT" and its output length "PROFINET_NB_IN".

#include <QString>
#include <QStringList>

// The lengths read from "ParGen.xml" for the next file.
extern int GSD_Byte_In;    // "PROFINET_NB_IN": the station's output length
extern int GSD_Byte_Out;   // "PROFINET_NB_OUT": the station's input length

// A DP slave exchanges at most 244 bytes each way.
constexpr int GSD_Max_Length = 244;
constexpr int GSD_Module_Bytes = 64;

// Reads both lengths; a missing element or a text that is no number gives 0.
// False with a message when the file is missing (message 1104) or not
// well-formed.
bool Read_GSD_Lengths(const QString& parGenPath, int* byteIn, int* byteOut, QString* error);

// Empty when the lengths can be described, else the reason.
QString GSD_Length_Error(int byteIn, int byteOut);

// The lines of the file for lengths that GSD_Length_Error accepts.
QStringList Build_GSD_Lines(int byteIn, int byteOut);

// Writes the file for GSD_Byte_In and GSD_Byte_Out over the path. Lengths it
// cannot describe and write failures show an error box and leave any old
// file as it was; success is not reported.
bool Create_GSD_File(const QString& path);

// The "PROFIBUS GSD" button: the lengths from "ParGen.xml", the save dialog
// in the configuration's folder, ".gsd" added when missing, the overwrite
// question, then Create_GSD_File.
void Save_GSD_File();

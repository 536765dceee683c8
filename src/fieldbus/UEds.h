#pragma once

// The CANopen EDS of the converter as a CANopen slave: the fixed
// communication objects, one receive PDO per receive row and one transmit PDO
// per transmit row of "PDO_CANopen.xml" with the byte objects they map, and
// one manufacturer object per index of "SDO_Server_CANopen.xml". Every PDO
// maps its bytes one to one onto UNSIGNED8 entries of its data object.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

struct PDO_Entry
{
    int32_t COB_ID = 0;
    int32_t Dimension = 8;   // data bytes of the PDO, 1..8
};

struct SDO_Sub_Type
{
    uint8_t Sub = 0;
    uint8_t Quantity = 0;    // bytes: 1, 2 or 4
    bool Readonly = false;
    QString Mnemonic;        // never written
};

struct SDO_Index
{
    uint16_t Index = 0;
    std::vector<SDO_Sub_Type> Sub_Indexs;
};

// The PDO window keeps at most 30 rows per list; rows beyond are not read.
constexpr int EDS_Max_PDO = 30;

struct TEds_Data
{
    PDO_Entry RPDO_List[EDS_Max_PDO];
    PDO_Entry TPDO_List[EDS_Max_PDO];
    int Num_RPDO = 0;
    int Num_TPDO = 0;
    std::vector<SDO_Index> SDO_Index_List;
};

// Each returns false with a message naming the file and the row when the
// file cannot be used; a missing file is no error (nothing to add).
bool Load_PDO_List(const QString& path, TEds_Data& data, QString* error);
bool Load_SDO_Server_List(const QString& path, TEds_Data& data, QString* error);
int Find_SDO_Index(const TEds_Data& data, uint16_t index);
void Sort_SDO_Sub_Indexes(TEds_Data& data);

// "hh:mmAM" / "hh:mmPM" on the 12-hour clock and "MM-DD-YYYY".
QString EDS_Time_Text(int hour, int minute);
QString EDS_Date_Text(const QDate& date);

// The lines of the file, from the two project files, stamped with the time given.
bool Build_EDS_Lines(const QString& pdoPath, const QString& sdoServerPath, const QDateTime& stamp,
                     QStringList* lines, QString* error);

// Builds the file from the two project files and writes it over the path;
// false with the message when it could not.
bool Write_EDS_File(const QString& path, const QString& pdoPath, const QString& sdoServerPath,
                    const QDateTime& stamp, QString* error);

// Writes the EDS under the given name from the open configuration's files.
// Failures show an error box and leave any old file as it was; success is
// not reported.
void Create_EDS_File(const QString& fileName);

// The "EDS File" button: the save dialog in the configuration's folder,
// ".eds" added when missing, the overwrite question, then Create_EDS_File.
void Save_EDS_File();

#pragma once

// BACnet master rules: the properties the converter, as a BACnet client,
// reads from objects of BACnet devices (read tab) and the Present Values it
// writes (write tab), each tied to a byte range of its 1440-byte data area.
// Kept in "BACnet_Master_Access.xml" (lists "BACnet_Read" and "BACnet_Write").
//
// The BACnet type in "ParGen.xml" decides the address column (column 2): an
// IP address (0), an MS/TP slave ID (1), or none (any other type: the column
// is hidden, not checked, and the Object Type column ends the table). The
// window therefore owns its description and re-tailors it at each showing.

#include "rules/USet_Access_Form.h"
#include "platform/Dialogs.h"

#include <QString>
#include <QStringList>

#include <vector>

struct TBACnet_Var;

namespace bacnet {

constexpr int kMaster_Area = 1440;
constexpr int kMaster_Rows = 512;

// Real columns of the two grids.
enum Read_Column { rEnable = 1, rAddress, rObjectType, rInstance, rProperty, rNByte, rEnDest, rDNet, rDLen, rDAdd,
                   rPollTime, rMaxErr, rPosition, rStartBit, rMnemonic };
enum Write_Column { wEnable = 1, wAddress, wObjectType, wDataType, wInstance, wProperty, wPriority, wNByte, wEnDest,
                    wDNet, wDLen, wDAdd, wChange, wTimer, wPollTime, wMaxErr, wPosition, wStartBit, wMnemonic };

const QStringList& Read_Object_Types();
const QStringList& Write_Object_Types();
const QStringList& Read_Properties();
const QStringList& Write_Data_Types();
const QStringList& Destination_Lengths();

// The key column (the one that ends the table) for a BACnet type.
int Key_Column(int bacnetType);

// Destination address list "b1, b2, ..." of exactly `count` bytes: 0 when
// right, else the fault: 1 a byte outside 0..255, 2 too many, 3 too few
// (an empty list has too few).
int Dest_Add_Fault(const QString& text, int count);

// The bytes the read hint shows over NByte ("" for none).
QString Str_Hint_Read(const QString& objectType, const QString& property);

// The BACnet type from "ParGen.xml"; false when the file or the element is missing
// (the type is then 0).
bool Read_Master_Type(const QString& parGenPath, int* type);

// Where an EDE import puts its rows in one grid: after the last rule, and at
// the Position after the highest one the rules use.
struct Import_Place
{
    int row = 0;        // first free row (0-based index into the rows)
    int position = 0;
};
Import_Place Import_Start(const TRule_Rows& rows, int key, bool write);

// The rows the chosen objects give one grid, written into `rows` from the
// free place on; returns how many chosen objects did not fit.
int Import_EDE_Rows(TRule_Rows& rows, int key, bool write, const std::vector<const TBACnet_Var*>& vars,
                    const QString& address);

// The notice when chosen objects do not fit into a grid.
QString Import_Overflow_Message(const QString& tab, int dropped, int rows);

} // namespace bacnet

int Check_Object_Type(const QString& text, bool write);
int Check_Property(const QString& text, bool write, int objectType);
int Check_Data_Type(const QString& text, int objectType, int property);
QString Aspected_Data_Type_Value(int objectType, int property);
int Check_Num_Byte_Max(const QString& dataType);

// The whole description for one BACnet type.
TRule_Form BACnet_Master_Form(int bacnetType);

// Holds the description before the engine is built over it.
struct TBACnet_Master_Form_Holder
{
    TRule_Form Master_Form;
};

class TFBACnetAccess : private TBACnet_Master_Form_Holder, public TSet_Access_Form
{
public:
    TFBACnetAccess();
    ~TFBACnetAccess() override;

    int App_BACnet_Type = 0;

    platform::TTabSheet* TS_BACnet_Read = nullptr;
    platform::TTabSheet* TS_BACnet_Write = nullptr;
    VOruVizizaZezo* ECG1 = nullptr;
    VOruVizizaZezo* ECG2 = nullptr;
    TLbButton* Btn_Import_CSV = nullptr;
    platform::FileDialogRequest OD_EDE_File;

    void Btn_Import_CSVClick(QObject* sender);
    void ECG1GridHint(QObject* sender, int row, int col, QString& hint);

protected:
    bool Prepare_Show() override;
    void Set_Lang_Extra() override;
};

extern TFBACnetAccess* FBACnetAccess;

#pragma once

// The IEC 61850 client window: a catalogue of server devices read from their
// SCL files (copied into the configuration's "ICD_Catalog" folder), a tree of
// the chosen device, and the requests picked from it: single attributes in the
// variables grid, data sets with per-member settings in the data-set grids.
// Kept in "IEC_61850_Client.xml" together with the catalogue files it names.

#include "rules/URule_Files.h"
#include "platform/Forms.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace platform {
class TLabel;
class TListBox;
class TPageControl;
class TPanel;
class TTabSheet;
class TTreeNode;
class TTreeView;
}
class TLbButton;
class VOruVizizaZezo;
class TIEC_Device;
class TIEC_DataSet;
class TIEC_DA;

// The settings of one member of a data-set row, as typed.
struct TDataSet_DA
{
    TIEC_DA* Select_DA = nullptr;  // into the catalogue model
    QString Position, bitAddress, conversion, multFactor, Mnemonic;
    // The member as the project file named it, for a row whose data set the
    // catalogue does not hold (its file is gone): kept and written back as read.
    QString Stored_bType, Stored_Reference;

    QString bType() const;
    QString Reference() const;
};

// One data-set row: the data set it stands for (nothing when the catalogue
// no longer has it) and its members' settings.
struct TDataSet
{
    TIEC_DataSet* Select_DataSet = nullptr;
    std::vector<std::unique_ptr<TDataSet_DA>> List_DAs;
};

// Variables grid columns.
enum TIEC_DA_Column {
    cdaIndex = 1, cdabType, cdaFC, cdaReference, cdaStartByte, cdaNumByte, cdaIPAddress, cdaPort, cdaOnChange,
    cdaOnCMD, cdaOnTimer, cdaTime, cdaPosition, cdaStartBit, cdaReadWrite, cdaConvertion, cdaMoltFact, cdaMnemonic,
    cdaCount
};
// Data-set grid columns.
enum TIEC_DS_Column {
    cdsIndex = 1, cdsReference, cdsGooseName, cdsEnGoose, cdsIPAddress, cdsPort, cdsTime, cdsMnemonic, cdsCount
};
// Member grid columns.
enum TIEC_Member_Column {
    cmbType = 1, cmReference, cmPosition, cmStartBit, cmConvertion, cmMultFact, cmMnemonic, cmCount
};

class TFIEC_61850_Access : public platform::TForm
{
public:
    TFIEC_61850_Access();
    ~TFIEC_61850_Access() override;

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;
    TLbButton* Btn_AddVar = nullptr;
    TLbButton* Btn_RemoveVar = nullptr;
    TLbButton* Btn_MoveUp = nullptr;
    TLbButton* Btn_ModeDown = nullptr;
    platform::TPanel* P_Devices = nullptr;
    TLbButton* Btn_Add_IEC_Device = nullptr;
    platform::TListBox* LB_IEC_Devices = nullptr;
    TLbButton* Btn_Remove_IEC_Device = nullptr;
    platform::TTreeView* TV_IEC_Device = nullptr;
    platform::TPageControl* PC_DA_DataSet = nullptr;
    platform::TTabSheet* TS_DA = nullptr;
    platform::TTabSheet* TS_DataSet = nullptr;
    VOruVizizaZezo* ECG_DA = nullptr;
    VOruVizizaZezo* ECG_DataSet = nullptr;
    VOruVizizaZezo* ECG_DS_Vars = nullptr;

    std::vector<std::unique_ptr<TIEC_Device>> List_IEC_Dev;
    TIEC_DA* Selected_IEC_DA = nullptr;
    TIEC_DataSet* Selected_IEC_DS = nullptr;
    std::vector<std::unique_ptr<TDataSet>> List_DataSet;
    int DataSet_Row_Select = 0;
    QStringList Hint;
    // What the last showing could not read; OK asks before replacing the file.
    TUnread Unread;

    void Set_Lang();
    void FormShow();
    void Btn_OKClick(QObject* sender);
    bool Controllo_dati();
    void Btn_Add_IEC_DeviceClick(QObject* sender);
    void Btn_Remove_IEC_DeviceClick(QObject* sender);
    void LB_IEC_DevicesClick(QObject* sender);
    void TV_IEC_DeviceClick(platform::TTreeNode* node);
    void Btn_AddVarClick(QObject* sender);
    void Btn_RemoveVarClick(QObject* sender);
    void Show_DataSet_DAs();
    // The member grid's edited cell goes into its record.
    void Member_Edit_Done(int col, int row);

    // Start Byte and Num Byte of fixed-size types, on every variables row.
    void Set_Start_Num_Byte();

    // The project file: the whole state as written on OK, and its reading.
    QByteArray File_Bytes() const;
    void Reset();
    void Load_File(const QString& path);
    // The catalogue folder of the open configuration, with no trailing separator.
    static QString Catalog_Folder();

private:
    void Refill_Device_List();
    void Show_Tree_IEC_Device(TIEC_Device& device);
    int Selected_Device() const;
    void Renumber(VOruVizizaZezo* grid);
    void Clear_Grid(VOruVizizaZezo* grid);
    QString Check_Variables();
    QString Check_DataSets();
    TIEC_DataSet* Get_DataSet(int device, const QString& reference) const;
    // Whether a data-set row's records point into the device's model.
    bool Rows_Use_Device(const TIEC_Device& device) const;
    // The device shown in the tree (not owned), or nothing.
    TIEC_Device* shown_ = nullptr;
};

// The shape of the project file's row layout, written and read in one place.
namespace iec61850_file {
extern const char* const Root;
extern const char* const DA_Attributes[cdaCount - 1];
extern const char* const DS_Attributes[cdsCount - 1];
} // namespace iec61850_file

extern TFIEC_61850_Access* FIEC_61850_Access;

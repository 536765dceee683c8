#pragma once

// Modbus RTU master rules: the read and write rules by which the converter,
// as master on its serial line, polls slaves by slave ID, and where their
// values lie in its data areas. Kept in "ModbusM_SetAccess.xml" under the
// root "EtherNetIP_to_Modbus" (lists "Modbus_Read" and "Modbus_Write").

#include "rules/USet_Access_Form.h"

#include <vector>

const TRule_Form& SetAccess_Form();

class TFSetAccess : public TSet_Access_Form
{
public:
    TFSetAccess();
    ~TFSetAccess() override;

    platform::TTabSheet* TS_Modbus_Read = nullptr;
    platform::TTabSheet* TS_Modbus_Write = nullptr;
    VOruVizizaZezo* ECG_Modbus_Read = nullptr;
    VOruVizizaZezo* ECG_Modbus_Write = nullptr;
    QStringList& Hint_Modbus_Set_Access_Read;
    QStringList& Hint_Modbus_Set_Access_Write;
    // The Topic index of each read row as the file gave it; -1 for none.
    std::vector<int> ComboItem_Topic;
    int& NByte_IN;
    int& NByte_OUT;
    int Working_Mode = 0;
    // The topics of the Topic column: nothing fills it, so the column stays
    // hidden and its index is stored empty.
    QStringList& List_Publish_Topic;

    void Btn_InsertRowClick(QObject* sender) { Btn_InsRowClick(sender); }
    void bitbtn1Click(QObject* sender) { Btn_OKClick(sender); }

    // The read grid's choice change: a Topic choice is remembered for its row.
    void ComboChange(QObject* sender, int col, int row, int itemIndex, const QString& selection);
    // The topic at a position of the list; empty outside it.
    QString Get_Topic_From_Index(int index) const;
    // The topic's position: the remembered one when it still holds the text,
    // else the text's first position; -1 when the list lacks it.
    int Get_Index_From_Topic(const QString& topic, int remembered) const;

protected:
    void Before_Load() override;
    void After_Load() override;
    void Cells_To_File(int grid, TRule_Rows& rows) const override;
};

extern TFSetAccess* FSetAccess;

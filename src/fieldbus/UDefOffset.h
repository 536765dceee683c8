#pragma once

// DeviceNet byte offsets: for every slave of "DNETM_Net.xml" the place of each
// of its input and output bytes in the converter's LoRaWAN data array ("None":
// the byte is not passed). Kept in "DNETM_DefOff.xml"; the n-th "Nodo_DNET"
// there belongs to the n-th slave of "DNETM_Net.xml", nothing else ties them.
//
// The window shows one slave's bytes at a time: the byte grids are a view of
// the shown slave's lists, written back into them before another slave is
// shown and before OK.

#include "rules/URule_Files.h"
#include "platform/Forms.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>
#include <vector>

namespace platform {
class TLabel;
class TPageControl;
class TPanel;
class TTabSheet;
}
class TLbButton;
class VOruVizizaZezo;

struct TSlave_DN
{
    uint8_t ID = 0;
    uint16_t ByteIN = 0;
    uint16_t ByteOUT = 0;
    QStringList SL_ByteIN, SL_ByteIN_M;    // per input byte: offset text, mnemonic
    QStringList SL_ByteOUT, SL_ByteOUT_M;  // per output byte
};

// Positions of the data array the offsets may take.
constexpr int kDN_Max_Byte = 1440;

namespace dnet {

enum class TLoad { Missing, Loaded, Not_Loaded };

// The slaves of "DNETM_Net.xml", each with all its bytes "None"; `texts` gets
// the four texts of each row (ID, NB_IN, NB_OUT, Mnemonic) as the file holds
// them. A missing attribute reads as empty; a byte count that is not a
// number 0..65535 counts as no bytes.
TLoad Load_Slaves(const QString& path, std::vector<TSlave_DN>& slaves, std::vector<QStringList>* texts,
                  QString* error);
// The offsets and mnemonics of "DNETM_DefOff.xml" into the slaves, by order.
TLoad Load_Offsets(const QString& path, std::vector<TSlave_DN>& slaves, QString* error);

// One flag per position: the slave ID and byte number that took it, -1 and -1 when free.
using TByte_Check = std::vector<std::pair<int, int>>;

// The first fault of the offsets as the error box shows it, empty when they
// pass: an offset outside the data array, or two output bytes on one position.
QString Offset_Fault(const std::vector<TSlave_DN>& slaves, int maxByteIn, int maxByteOut, TByte_Check& check);

// "DNETM_DefOff.xml" for the slaves, byte for byte.
QByteArray Offsets_File_Bytes(const std::vector<TSlave_DN>& slaves);

} // namespace dnet

class TFDefOffset : public platform::TForm
{
public:
    TFDefOffset();
    ~TFDefOffset() override;

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TLabel* L_Select_Slave = nullptr;
    platform::TLabel* L_Select_Position = nullptr;
    platform::TLabel* L_None = nullptr;
    VOruVizizaZezo* ECG_DN_Slaves = nullptr;
    platform::TPageControl* PC_Bytes = nullptr;
    platform::TTabSheet* TS_ByteIN = nullptr;
    platform::TTabSheet* TS_ByteOUT = nullptr;
    VOruVizizaZezo* ECG_ByteIN = nullptr;
    VOruVizizaZezo* ECG_ByteOUT = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    std::vector<TSlave_DN> List_Slaves_DN;
    int Slave_Before_Select = -1;
    int MAX_BYTE_IN = kDN_Max_Byte;
    int MAX_BYTE_OUT = kDN_Max_Byte;
    dnet::TByte_Check Check_Byte_Offset;
    // What the last showing could not read; OK asks before replacing the offsets.
    TUnread Unread;

    void Set_Lang();
    void FormShow();
    void Load_Slave_DN();
    void Load_Offset_Slave_DN();
    void Select_First();
    void ECG_DN_SlavesClick(QObject* sender);
    void Update_Slave_DN();
    void Save_Data_ByteIN_ByteOUT();
    void Reset_Array_Check();
    bool Check_Data();
    bool Save_Offset_Slave_DN();
    void bitbtn1Click(QObject* sender);

private:
    VOruVizizaZezo* Make_Byte_Grid(platform::TTabSheet* tab, const char* name);
    void Fill_Bytes(VOruVizizaZezo* grid, const QStringList& offsets, const QStringList& mnemonics);
    void Read_Bytes(VOruVizizaZezo* grid, QStringList& offsets, QStringList& mnemonics);
};

extern TFDefOffset* FDefOffset;

#pragma once

// Meters and data records found by a scan, the two shared result lists, and
// the decoding of wired (RSP_UD) and wireless M-Bus telegrams into them.
//
// The decoding half of the scan worker lives in TMBusTelegramDecoder; the
// worker thread derives from it, so the decoders run on whichever thread
// received the telegram. Both result lists carry their own lock: the decoders
// take it while they change a list or a meter, and a reader on another thread
// takes it (Lock()) while it walks a list or reads a meter's records.

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// One data record of a meter.
class TVariable_MBus {
public:
    int32_t dato_A = 0;
    int32_t dato_B = 0;
    uint8_t dimension = 0;
    uint16_t function_fild = 0;
    int64_t storage_number = 0;   // up to 41 bits with ten DIFEs
    uint32_t tarif = 0;           // up to 20 bits with ten DIFEs
    uint16_t device = 0;
    uint16_t type_data = 0;
    uint16_t scale = 0;
    bool errata = false;
    QString sterror;
    int32_t nbyte = 0;
    QString descdim;
    int32_t numdife = 0;
    int32_t numvife = 0;
    int32_t vifvalue = -1;
    int32_t PrinVIFE = 0;
    uint8_t casovif = 0;
    int32_t numdato = 0;
    uint8_t VIF = 0;
    QString VIFE;
    QString DIF;
    QString DIFE;
    QString totdati;
    QString VIF_ASCII;
    QString Description;
    QString datagiorno;
    QString tempo;
    QString icon;
    int32_t Type_Data_Vife = 0;
    QString Desc_Type_Data;
    QString ValueStr;
    QString FunctionFieldStr;
    QString DataFieldStr;
    bool Enable = true;
    bool Real_Wireless_Var = true;
    bool Is_BCD = false;
    void* Node = nullptr;   // the scan window's tree node; opaque here
};

using TVariable_MBus_List = std::vector<std::unique_ptr<TVariable_MBus>>;

// One wired meter.
class TSlave_MBus {
public:
    TSlave_MBus() = default;
    ~TSlave_MBus();   // frees the records, last first
    TSlave_MBus(const TSlave_MBus&) = delete;
    TSlave_MBus& operator=(const TSlave_MBus&) = delete;

    uint16_t Primary_Addresss = 0;
    QString Secondary_Addresss;
    int32_t Manufacture = 0;
    int32_t Version = 0;
    int32_t Medium = 0;
    int32_t Status = 0;
    QString descManufacture;
    QString descmedium;
    QString description;   // why the meter's data were not decoded; empty when they were
    TVariable_MBus_List List_Var;
    void* Node = nullptr;
};

// One wireless meter.
class TSlave_wMBus {
public:
    TSlave_wMBus() = default;
    ~TSlave_wMBus();   // frees the records, last first
    TSlave_wMBus(const TSlave_wMBus&) = delete;
    TSlave_wMBus& operator=(const TSlave_wMBus&) = delete;

    // Frees and removes every record, last first.
    void Cancel_Var();

    uint8_t Message_Type = 0;
    uint16_t LLA_Manufacturer = 0;
    QString LLA_Manu_str;
    int32_t LLA_Address = 0;
    uint8_t LLA_Version = 0;
    uint8_t LLA_DeviceType = 0;
    uint16_t ALA_Manufacturer = 0;
    QString ALA_Manu_str;
    int32_t ALA_Address = 0;
    uint8_t ALA_Version = 0;
    uint8_t ALA_DeviceType = 0;
    int8_t RSSI = 0;
    QDateTime DateTime;
    bool Cripted = false;
    bool Enable = true;
    bool Enable_Key = false;
    std::array<uint8_t, 16> Key{};
    int32_t RadioCrafts_Ind_Tab_Decript = -1;
    TVariable_MBus_List List_Var;
    void* Node = nullptr;
};

// A list of meters that owns them, guarded by its own (recursive) lock.
// Count, Items, Add, Delete and Clear lock for themselves; hold Lock() around
// a walk over the list or a read of a meter that a decoder may be updating.
template <class T>
class TSlaveList {
public:
    std::unique_lock<std::recursive_mutex> Lock() const { return std::unique_lock<std::recursive_mutex>(m_Mutex); }

    int Count() const
    {
        auto guard = Lock();
        return static_cast<int>(m_Items.size());
    }
    // The meter at a position, or nullptr when there is none.
    T* Items(int index) const
    {
        auto guard = Lock();
        return (index >= 0 && index < static_cast<int>(m_Items.size())) ? m_Items[static_cast<size_t>(index)].get() : nullptr;
    }
    T* operator[](int index) const { return Items(index); }
    // Appends a meter and returns its position.
    int Add(std::unique_ptr<T> item)
    {
        auto guard = Lock();
        m_Items.push_back(std::move(item));
        return static_cast<int>(m_Items.size()) - 1;
    }
    void Delete(int index)
    {
        auto guard = Lock();
        if (index >= 0 && index < static_cast<int>(m_Items.size()))
            m_Items.erase(m_Items.begin() + index);
    }
    // Frees every meter with its records, from the last to the first.
    void Clear()
    {
        auto guard = Lock();
        while (!m_Items.empty())
            m_Items.pop_back();
    }

private:
    mutable std::recursive_mutex m_Mutex;
    std::vector<std::unique_ptr<T>> m_Items;
};

using TList_Slave_MBus = TSlaveList<TSlave_MBus>;
using TList_Slave_wMBus = TSlaveList<TSlave_wMBus>;

// The shared result lists: wired meters of the last wired scan, wireless
// meters heard since the last wireless scan started. They live for the whole
// program.
extern TList_Slave_MBus List_Slave_MBus;
extern TList_Slave_wMBus List_Slave_wMBus;

// The radio module of the converter; it decides the datagram's trailer.
enum TRadioModule { rmTelit, rmRadioCrafts };

// Progress of a wired scan: report type, identification, found, scan kind.
using TUpdate_Slave_List = std::function<void(int32_t, int32_t, int32_t, int32_t)>;
// One wireless telegram decoded: the meter's position and the meter (nullptr
// in the position-only form).
using TUpdateListWirelessSlave = std::function<void(int, TSlave_wMBus*)>;

// AES-128 in CBC mode, decryption only: Count bytes of Input into Output with
// a 16-byte key and initial vector. Count must be a multiple of 16; otherwise
// std::invalid_argument "Invalid buffer size for decryption" is thrown. A count
// of 0 decrypts nothing. Input and Output may be the same buffer.
void AES_Decrypt_CBC(const uint8_t Key[16], const uint8_t IV[16], const uint8_t* Input, size_t Count, uint8_t* Output);
// AES-CMAC (RFC 4493) of a message under a 16-byte key.
std::array<uint8_t, 16> AES_CMAC(const uint8_t Key[16], const uint8_t* Message, size_t Length);
// The bytes spelt by a text of hexadecimal digit pairs; empty when the text
// has an odd length or a character that is not a hexadecimal digit.
std::vector<uint8_t> Hex_To_Bytes(const QString& Text);

class TMBusTelegramDecoder {
public:
    static constexpr int Ans_Size = 2051;
    static constexpr int Max_DIFE = 10;
    static constexpr int Max_VIFE = 10;
    static constexpr int Max_VIF_ASCII = 192;

    explicit TMBusTelegramDecoder(TList_Slave_MBus& Wired = List_Slave_MBus,
                                  TList_Slave_wMBus& Wireless = List_Slave_wMBus);
    virtual ~TMBusTelegramDecoder();
    TMBusTelegramDecoder(const TMBusTelegramDecoder&) = delete;
    TMBusTelegramDecoder& operator=(const TMBusTelegramDecoder&) = delete;

    // The last datagram received and its length.
    uint8_t Ans_Array[Ans_Size] = {};
    int Ans_Len = 0;
    // Work areas of the record parser: data bytes and VIFE bytes of the
    // current record.
    uint8_t App_Data_Val[256] = {};
    uint8_t App_Vife_Val[Max_VIFE] = {};

    bool From_DLL = false;
    // The wall clock that stamps decoded telegrams, read once per telegram.
    // By default the current time in the system's time zone, which needs no
    // file-system call; tests put their own clock in its place.
    std::function<QDateTime()> Clock;
    TUpdate_Slave_List Update_Slave_List;
    TUpdateListWirelessSlave UpdateListWirelessSlave;

    // Copies a datagram into Ans_Array (at most Ans_Size bytes) and sets Ans_Len.
    void Set_Answer(const uint8_t* Data, size_t Length);

    // The test of an RSP_UD long frame: 68 L L 68, at least the fixed data
    // header, checksum of the bytes from the C field on, stop byte 16.
    static bool Is_Valid_Long_Frame(const uint8_t* Frame, int Length);

    // Decodes the RSP_UD in Ans_Array. With a negative Index (or one that is
    // not in the list) a new meter is made from the header and appended;
    // otherwise the records are added to the meter at Index. Last tells
    // whether this was the meter's last telegram (no DIF 1F). Returns the
    // meter's position. A frame that is not a valid long frame changes
    // nothing: the result is then Index when it names a meter, else -1.
    // Records are decoded only from the variable data structure (CI 72); a
    // meter answering in another layout keeps its primary address and, where
    // the layout has one, its identification number, gets no records, and
    // its description says that its data were not decoded.
    int Decode_Wired_Frame(int Index, bool& Last);

    // Decodes the wireless telegram in Ans_Array into List_Slave_wMBus and
    // notifies the window (UpdateListWirelessSlave, on this thread, after the
    // list's lock is released). Datagrams too short for a meter's identity
    // are dropped without a report. Records are read from telegrams without
    // a transport header (CI 78) and from those in security mode 0 or
    // decrypted (mode 5 or 7, here or by the radio module); a telegram in
    // any other mode leaves its meter encrypted, without records.
    void Decode_Wireless_Frame(TRadioModule Radio_Module);

    // Parses the data records of Ans_Array from Start to Last_Index inclusive
    // into List. False only when DIF 1F (more records follow) was met. Reads
    // never go beyond Last_Index: a record cut short ends the parse and is not
    // added (Last_Parse_Truncated() then tells so). Idle fillers (DIF 2F) are
    // kept as filler records only for wireless telegrams. The records carry
    // the date and time of one reading of Clock.
    bool Decode_Records(TVariable_MBus_List& List, int Last_Index, int Start, bool Wireless = false);
    bool Last_Parse_Truncated() const { return m_Truncated; }

    // Data bytes of a variable-length value (DIF data field 13) by its LVAR;
    // -1 for the reserved codes F7 to FF, whose length is unknown.
    static int LVAR_Length(uint8_t LVAR);

    // Meaning, scaling and text of one record from its VIF and VIFEs; reads
    // App_Data_Val and App_Vife_Val.
    void Decode_VIF(uint8_t VIF, uint8_t First_VIFE, TVariable_MBus& Rec, int nbyte, uint8_t LVAR, uint8_t Data_Field);

    // Position in the wireless list of the meter with these application-layer
    // fields, or -1.
    int Find_Wireless_Slave(uint16_t Manufacturer, int32_t Address, uint8_t Version, uint8_t Device_Type) const;

    void Notify_Slave_List(int32_t Report_Type, int32_t Identification, int32_t Found, int32_t Scan_Kind);
    void Notify_Wireless_Slave(int Position, TSlave_wMBus* Slave);

    // The first n bytes of App_Data_Val as packed BCD, least significant byte
    // first; a high nibble F in the last byte makes the value negative.
    int64_t BCD_To_Int64(int n) const;
    static int64_t Power_Ten(int n);
    static QString Two_Digits(int Value);
    static QString Man_Letter(int Code);
    static QString Trova_Man(uint16_t Code);
    static QString Desc_Medium(int Code);
    // The value text: 15 significant digits, the given decimal separator.
    static QString Format_Value(long double Value, QChar Separator);

    TList_Slave_MBus& Wired_List() const { return m_Wired; }
    TList_Slave_wMBus& Wireless_List() const { return m_Wireless; }

private:
    // The moment a telegram was decoded and its texts for the records.
    struct Telegram_Stamp {
        QDateTime When;
        QString Date;
        QString Time;
    };
    Telegram_Stamp Take_Stamp() const;
    bool Parse_Records(TVariable_MBus_List& List, int Last_Index, int Start, bool Wireless,
                       const Telegram_Stamp& Stamp);

    bool Decrypt_Mode_5(const TSlave_wMBus& Slave, int Frame_End, bool& Undecodable);
    bool Decrypt_Mode_7(const TSlave_wMBus& Slave, int Frame_End, bool& Undecodable, bool& Wrong_Key);

    TList_Slave_MBus& m_Wired;
    TList_Slave_wMBus& m_Wireless;
    bool m_Truncated = false;
    // The regional formats, taken once: they do not change while the
    // program runs.
    QLocale m_Locale;
    QString m_Date_Format;
    QString m_Time_Format;
    bool m_Time_Has_Millis = false;
    QChar m_Separator;
    // The date and time texts of the last stamp, by day and by second (by
    // millisecond when the time format shows them). Wired and wireless
    // telegrams arrive on different threads.
    mutable std::mutex m_Stamp_Lock;
    mutable bool m_Stamp_Valid = false;
    mutable qint64 m_Stamp_Day = 0;
    mutable int m_Stamp_Tick = 0;
    mutable QString m_Stamp_Date;
    mutable QString m_Stamp_Time;
};

#pragma once

// The scan worker: one thread that serves every scan of the M-Bus network,
// wired (Scan_Decode) and wireless (Scan_Decode_Wireless), advancing the
// running procedure by one step per pass. It owns the UDP endpoint to the
// converter; datagrams arrive on the endpoint's receive thread (UDP_Read).
//
// The one rule a reader must know: a step never waits for an answer. It
// sends, stores the time of the send, and a later step looks at
// Answer_Arrived and Check_TimeOut. The clock and the sleeps come from
// Timing, so a test runs a whole scan against a fake converter in seconds.
//
// Threads: the window's thread calls the Start/Stop/Abort/Insert/Close calls,
// the worker's thread runs the steps, the receive thread stores answers and
// decodes wireless telegrams. A step runs under m_Step_Lock, so a key
// hand-over or a close sees the procedure between two steps; the answer
// buffer is guarded by m_Answer_Lock, so no one ever reads a mix of two
// datagrams.

#include "mbus/CommInt.h"
#include "mbus/CommObjs.h"
#include "mbus/UMBusScanDecode.h"
#include "platform/UdpEndpoint.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

enum TScanType { saPrimaryAddress, saSecondaryAddress };
enum TSelectHard { shEthernet, shSerial };
enum TMBusType { mtWired, mtWireless };

// The clock and sleeps of the worker. The program uses the real ones; tests
// put a virtual clock in their place.
struct TScanTiming {
    // Milliseconds since some start, wrapping like the platform's 32-bit tick.
    std::function<uint32_t()> Tick;
    // Sleeps a number of milliseconds.
    std::function<void(uint32_t)> Sleep;
    static TScanTiming Real();
};

class TMBusScanDecode : public TMBusTelegramDecoder {
public:
    // The converter's UDP port of a wired scan.
    static constexpr uint16_t Wired_Port = 10000;
    static constexpr int First_Primary = 0;
    static constexpr int Last_Primary = 250;
    static constexpr int RadioCrafts_Table_Size = 64;

    // With Start_Thread false no thread runs: the caller drives the passes
    // with Run_Pass (tests, the fuzz target).
    explicit TMBusScanDecode(bool Start_Thread = true, TScanTiming Timing = TScanTiming::Real(),
                             TList_Slave_MBus& Wired = List_Slave_MBus,
                             TList_Slave_wMBus& Wireless = List_Slave_wMBus);
    ~TMBusScanDecode() override;

    // --- Calls of the window (its own thread) ---
    bool Start_Scan(TScanType ScanT, TSelectHard SelHard, const QString& IP_COM, int Baud, int Par, bool AppReset,
                    bool SNDNKE, int CutAfter, bool FixCField, uint8_t FixCFieldValue, bool RemoteTimeout,
                    TUpdate_Slave_List Proc_Slave_List);
    // Port 0 is refused: the converter cannot be reached there.
    bool Start_Scan_Wireless(TSelectHard SelHard, const QString& IP_COM, uint16_t Port, int wMBus_Mode,
                             int wMBus_Radio_Channel, bool RemoteTimeout, TUpdateListWirelessSlave Proc_Wireless,
                             bool FromDLL);
    void Stop_Scan() { FStopScan = true; }
    void Abort_Scan() { FAbortScan = true; }
    // Hands the key of the meter at Position to a running wireless scan.
    // While listening the key is loaded at once; while another key is being
    // loaded it waits its turn (true). False when refused: no scan listening
    // or loading, no such meter, or the RadioCrafts key table is full.
    bool Insert_Wireless_Key(int Position, const std::array<uint8_t, 16>& Key);
    // The window closes during a scan: ends it at once. Stops listening,
    // tells the converter to leave its mode (one send, no wait), closes the
    // endpoint, so no more datagrams and callbacks arrive, and clears FInScan.
    void Close_Scan();
    // The platform's error text of the last start that failed.
    QString Last_Error() const;

    // --- The loop ---
    // One pass of Execute's loop without the wait on Event_Run: a step of
    // the current procedure and the sleep after it.
    void Run_Pass();
    // One step of the current procedure (no sleep after it).
    void Step();

    // --- Flags shared between the threads ---
    std::atomic<bool> FExit{false};
    std::atomic<bool> FInScan{false};
    std::atomic<int> FResult{-1};
    std::atomic<bool> FStopScan{false};
    std::atomic<bool> FAbortScan{false};
    std::atomic<bool> Answer_Arrived{false};
    std::atomic<bool> Wireless_Receive_Message{false};
    std::atomic<int> Step_Scan{0};

    TEvent Event_Run;   // manual reset; the window signals it while shown
    QString SaveXMLFile;

    // --- Scan settings (written by the start calls before FInScan) ---
    TRadioModule RadioModule = rmTelit;
    TScanType ScanType = saPrimaryAddress;
    TSelectHard Select_Hardware = shEthernet;
    QString IP_Address;
    QString ComPort;
    int Baudrate = 2400;
    int Parity = 1;
    bool App_Reset = false;
    bool SND_NKE = false;
    int Cut_After = 0;
    bool Fix_C_Field = false;
    uint8_t Fix_C_Field_Value = 0;
    int wMBusMode = 1;
    int wMBusRadioChannel = 0;
    uint16_t Port_Wireless = 0;
    int Add_TimeOut = 0;
    TMBusType MBusType = mtWired;

    // --- Work fields of the procedures ---
    std::vector<uint8_t> Req_Array;
    int TimeOut_Calc = 0;
    uint32_t Start_Send = 0;
    int ID_Dev_Primary = -1;
    bool ID_Dev_Found = false;
    int Num_Frame_Read = 0;
    int Index_A = -1, Index_B = -1, Index_C = -1, Index_D = -1;
    int Index_E = -1, Index_F = -1, Index_G = -1, Index_H = -1;
    int Index_Device = -1;
    int Sec_Add_Next_Step = 108;
    int Count_Disable_Analyzer = 0;
    std::array<uint8_t, 16> Wireless_Key{};
    int Wireless_Key_Index = -1;
    int Index_Key_Send = 0;
    bool Enable_Send_In_Last_Step = false;
    uint32_t Type_To_Send_In_Last_Step = 0;
    int Index_RadioCrafts_Erase_Position = 0;
    int Index_RadioCrafts_Position_Used = 1;

    // --- Transport ---
    // Text command: 7-bit text, one byte per character.
    void Send_Command(const QString& cmd, uint16_t Port);
    // The bytes of Req_Array.
    void Send_Command(uint16_t Port);
    // The endpoint's receive handler: a datagram from the converter.
    void UDP_Read(const QByteArray& Datagram, const QString& Peer_Address);
    bool Check_TimeOut() const;

    void Build_SND_NKE(uint8_t A);
    void Build_REQ_UD2(uint8_t A, int n);
    void Build_App_Reset(uint8_t A);
    void Build_Select_Secondary();
    void Build_Serial_Setup();
    void Build_RadioCrafts_Config();
    void Build_RadioCrafts_Clear_Address();
    void Build_RadioCrafts_Address();
    void Build_RadioCrafts_Key();

    // M-Bus request time-out: K / Baudrate + 450 + Add_TimeOut.
    int MBus_TimeOut(int K) const;

    // Test and fuzz seams. Send_Hook, when set, takes every send in place of
    // the transport (the start calls then open nothing). Converter_Port_Override
    // sends everything to another port of the converter's address (a fake
    // converter on the same host cannot share the wireless scan's port, nor
    // count on 10000 being free); Last_Send_Port keeps the port the
    // procedure asked for.
    std::function<void(const QByteArray& Data, uint16_t Port)> Send_Hook;
    uint16_t Converter_Port_Override = 0;
    std::atomic<uint16_t> Last_Send_Port{0};
    // Datagrams taken by UDP_Read and sends made, for tests that wait until
    // an exchange has settled.
    std::atomic<int> Datagrams_Received{0};
    std::atomic<int> Sends_Made{0};
    bool Endpoint_Open() const { return UDP_Server.IsOpen(); }
    uint16_t Local_Port() const { return UDP_Server.LocalPort(); }
    // Keys waiting for the running key load to end.
    int Keys_Queued() const;

    // The procedures; called by Step.
    void Scan_Decode();
    void Scan_Decode_Wireless();

private:
    struct Answer {
        std::vector<uint8_t> Bytes;
        bool Valid = false;
    };
    struct Queued_Key {
        int Position;
        std::array<uint8_t, 16> Key;
    };

    void Execute();
    bool Open_Transport(uint16_t Bind_Port, bool Rebind, QString& Error);
    void Close_Transport();
    void Send_Bytes(const QByteArray& Data, uint16_t Port);
    // Takes the answer that arrived (if any) and clears Answer_Arrived.
    Answer Take_Answer();
    bool Answer_Is(const Answer& A, const char* Text) const;
    // Sleeps before a request; false when the scan was closed meanwhile.
    bool Pause(uint32_t ms);
    void Start_Text(const QString& cmd, uint16_t Port);

    // Wired helpers.
    int Decode_Answer_Frame(const Answer& A, bool& Read_Complete);
    bool Is_Long_Frame(const Answer& A) const;
    bool Is_Repeat(const Answer& A) const;
    bool Repeat_Ends_Read(const Answer& A) const;
    void Digit_State(int k);
    void Digit_Wait(int k);
    int32_t Last_Meter_Number() const;

    // Wireless helpers.
    void Telit_Send(const QString& cmd);
    void Radio_Send(std::initializer_list<uint8_t> Bytes, int TimeOut_ms);
    void Radio_Send_Req(int TimeOut_ms);
    bool Begin_Key_Load(int Position, const std::array<uint8_t, 16>& Key);
    void Back_To_Listening(int Listen_State);
    uint16_t Wireless_Send_Port() const;
    void Fail();

    TScanTiming m_Timing;
    platform::UdpEndpoint UDP_Server;
    std::unique_ptr<TComm> Comm;
    uint16_t m_Bound_Port = 0;
    QString m_Peer;   // the converter's address as a dotted quad; empty: take any
    mutable std::mutex m_Answer_Lock;
    mutable std::recursive_mutex m_Step_Lock;
    bool m_Key_Load_Running = false;
    std::atomic<bool> m_Closing{false};
    std::deque<Queued_Key> m_Key_Queue;
    std::vector<uint8_t> m_Last_Frame;   // the meter's previous telegram, to drop repeats
    QString m_Last_Error;
    std::thread m_Thread;
};

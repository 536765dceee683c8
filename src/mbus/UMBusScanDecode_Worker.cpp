#include "mbus/UMBusScanDecode_Worker.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <chrono>
#include <cstring>

TScanTiming TScanTiming::Real()
{
    TScanTiming t;
    t.Tick = [] {
        using namespace std::chrono;
        return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    };
    t.Sleep = [](uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    return t;
}

TMBusScanDecode::TMBusScanDecode(bool Start_Thread, TScanTiming Timing, TList_Slave_MBus& Wired,
                                 TList_Slave_wMBus& Wireless)
    : TMBusTelegramDecoder(Wired, Wireless),
      Event_Run(true, false, QStringLiteral("EVENT_SCAN_DECODE_MBUS")),
      m_Timing(std::move(Timing))
{
    UDP_Server.SetReceiver([this](const QByteArray& d, const QString& peer, quint16) { UDP_Read(d, peer); });
    // The serial transport of the scan; opened only by a scan over it.
    Comm = std::make_unique<TComm>();
    Comm->SetBaudRate(br115200);
    Comm->SetDatabits(da8);
    Comm->SetParity(paNone);
    Comm->SetStopbits(sb10);
    Comm->SetFlowControl(fcNone);
    Comm->SetReadBufSize(4096);
    Comm->SetWriteBufSize(4096);
    Comm->OnRxChar = [](TCustomComm*, uint32_t) {};
    if (Start_Thread)
        m_Thread = std::thread(&TMBusScanDecode::Execute, this);
}

TMBusScanDecode::~TMBusScanDecode()
{
    // Ends the loop: the program's worker lives until the process ends, but
    // a worker that is released must not leave its thread behind.
    FExit = true;
    Event_Run.SetEvent();
    if (m_Thread.joinable())
        m_Thread.join();
    UDP_Server.Close();
    Comm->Close();
}

void TMBusScanDecode::Execute()
{
    Event_Run.ResetEvent();
    while (!FExit) {
        Run_Pass();
        Event_Run.WaitFor(-1);
    }
}

void TMBusScanDecode::Run_Pass()
{
    if (FInScan) {
        Step();
        m_Timing.Sleep(40);
    } else {
        m_Timing.Sleep(10);
    }
}

void TMBusScanDecode::Step()
{
    std::lock_guard<std::recursive_mutex> lock(m_Step_Lock);
    if (!FInScan)
        return;
    // A failure inside the decoder must not end the worker.
    try {
        if (MBusType == mtWireless)
            Scan_Decode_Wireless();
        else
            Scan_Decode();
    } catch (...) {
    }
}

QString TMBusScanDecode::Last_Error() const
{
    std::lock_guard<std::mutex> lock(m_Answer_Lock);
    return m_Last_Error;
}

namespace {

// The converter's address as a dotted quad, to tell its datagrams from
// others; empty when it does not resolve (then every datagram is taken).
QString Peer_Text(const QString& Address)
{
    const QByteArray name = Address.trimmed().toUtf8();
    in_addr a {};
    if (inet_pton(AF_INET, name.constData(), &a) == 1) {
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &a, text, sizeof text);
        return QString::fromLatin1(text);
    }
    return {};
}

} // namespace

bool TMBusScanDecode::Open_Transport(uint16_t Bind_Port, bool Rebind, QString& Error)
{
    if (Send_Hook)
        return true;
    if (Select_Hardware == shSerial) {
        try {
            Comm->Close();
            Comm->SetDeviceName(ComPort);
            Comm->Open();
        } catch (const ECommError& e) {
            Error = e.Message();
            return false;
        }
        return true;
    }
    if (UDP_Server.IsOpen() && !Rebind)
        return true;
    if (!UDP_Server.Bind(Bind_Port, {}, &Error))
        return false;
    m_Bound_Port = UDP_Server.LocalPort();
    return true;
}

void TMBusScanDecode::Close_Transport()
{
    Wireless_Receive_Message = false;
    if (Send_Hook)
        return;
    if (Select_Hardware == shSerial)
        Comm->Close();
    else
        UDP_Server.Close();
}

bool TMBusScanDecode::Start_Scan(TScanType ScanT, TSelectHard SelHard, const QString& IP_COM, int Baud, int Par,
                                 bool AppReset, bool SNDNKE, int CutAfter, bool FixCField, uint8_t FixCFieldValue,
                                 bool RemoteTimeout, TUpdate_Slave_List Proc_Slave_List)
{
    std::lock_guard<std::recursive_mutex> lock(m_Step_Lock);
    if (FInScan)
        return false;
    // A speed of 0 or less would divide by zero in every time-out.
    if (Baud <= 0) {
        std::lock_guard<std::mutex> a(m_Answer_Lock);
        m_Last_Error = QStringLiteral("Invalid baud rate %1").arg(Baud);
        return false;
    }
    Update_Slave_List = std::move(Proc_Slave_List);
    MBusType = mtWired;
    ScanType = ScanT;
    Select_Hardware = SelHard;
    ComPort.clear();
    IP_Address.clear();
    (SelHard == shSerial ? ComPort : IP_Address) = IP_COM;
    Baudrate = Baud;
    Parity = Par;
    App_Reset = AppReset;
    SND_NKE = SNDNKE;
    Cut_After = CutAfter;
    Fix_C_Field = FixCField;
    Fix_C_Field_Value = FixCFieldValue;
    Add_TimeOut = RemoteTimeout ? 10000 : 0;
    m_Peer = SelHard == shSerial ? QString() : Peer_Text(IP_Address);
    Wireless_Receive_Message = false;
    QString error;
    if (!Open_Transport(m_Bound_Port, false, error)) {
        std::lock_guard<std::mutex> a(m_Answer_Lock);
        m_Last_Error = error;
        return false;
    }
    m_Closing = false;
    Answer_Arrived = false;
    m_Last_Frame.clear();
    Step_Scan = 0;
    FStopScan = false;
    FAbortScan = false;
    FInScan = true;
    return true;
}

bool TMBusScanDecode::Start_Scan_Wireless(TSelectHard SelHard, const QString& IP_COM, uint16_t Port, int wMBus_Mode,
                                          int wMBus_Radio_Channel, bool RemoteTimeout,
                                          TUpdateListWirelessSlave Proc_Wireless, bool FromDLL)
{
    std::lock_guard<std::recursive_mutex> lock(m_Step_Lock);
    if (FInScan)
        return false;
    if (Port == 0) {
        std::lock_guard<std::mutex> a(m_Answer_Lock);
        m_Last_Error = QStringLiteral("Port must be between 1 and 65535");
        return false;
    }
    UpdateListWirelessSlave = std::move(Proc_Wireless);
    MBusType = mtWireless;
    Select_Hardware = SelHard;
    IP_Address = IP_COM;
    if (SelHard == shSerial)
        ComPort = IP_COM;
    wMBusMode = wMBus_Mode;
    wMBusRadioChannel = wMBus_Radio_Channel;
    Port_Wireless = Port;
    Add_TimeOut = RemoteTimeout ? 10000 : 0;
    Wireless_Receive_Message = false;
    From_DLL = FromDLL;
    m_Peer = SelHard == shSerial ? QString() : Peer_Text(IP_Address);
    QString error;
    const bool rebind = !UDP_Server.IsOpen() || UDP_Server.LocalPort() != Port;
    if (!Open_Transport(Port, rebind, error)) {
        std::lock_guard<std::mutex> a(m_Answer_Lock);
        m_Last_Error = error;
        return false;
    }
    m_Closing = false;
    Answer_Arrived = false;
    m_Key_Queue.clear();
    Step_Scan = 0;
    FStopScan = false;
    FAbortScan = false;
    FInScan = true;
    return true;
}

void TMBusScanDecode::Close_Scan()
{
    FAbortScan = true;
    m_Closing = true;
    std::lock_guard<std::recursive_mutex> lock(m_Step_Lock);
    Wireless_Receive_Message = false;
    m_Key_Queue.clear();
    if (FInScan) {
        // One try, no wait for the answer: the window is closing.
        if (MBusType == mtWireless)
            Send_Command(QStringLiteral("Rizova_Disable_Configuration_Mode"), Wireless_Send_Port());
        else if (Select_Hardware != shSerial)
            Send_Command(QStringLiteral("Rizova_Disable_Analyzer_Mode"), Wired_Port);
        Close_Transport();
        Step_Scan = MBusType == mtWireless ? 503 : 203;
    }
    FAbortScan = false;
    FStopScan = false;
    FInScan = false;
}

int TMBusScanDecode::Keys_Queued() const
{
    std::lock_guard<std::recursive_mutex> lock(m_Step_Lock);
    return static_cast<int>(m_Key_Queue.size());
}

// ---------------------------------------------------------------- transport

void TMBusScanDecode::Send_Bytes(const QByteArray& Data, uint16_t Port)
{
    Answer_Arrived = false;
    Last_Send_Port = Port;
    if (Converter_Port_Override)
        Port = Converter_Port_Override;
    if (Send_Hook) {
        Send_Hook(Data, Port);
    } else if (Select_Hardware == shSerial) {
        try {
            if (Comm->Enabled())
                Comm->Write(Data.constData(), static_cast<int>(Data.size()));
        } catch (const ECommError&) {
            // The wait after it times out.
        }
    } else {
        // A send that fails is left to the time-out of its wait.
        UDP_Server.SendTo(IP_Address, Port, Data);
    }
    ++Sends_Made;
    Start_Send = m_Timing.Tick();
}

void TMBusScanDecode::Send_Command(const QString& cmd, uint16_t Port)
{
    Send_Bytes(platform::UdpEndpoint::SevenBitText(cmd), Port);
}

void TMBusScanDecode::Send_Command(uint16_t Port)
{
    Send_Bytes(QByteArray(reinterpret_cast<const char*>(Req_Array.data()), static_cast<qsizetype>(Req_Array.size())),
               Port);
}

void TMBusScanDecode::UDP_Read(const QByteArray& Datagram, const QString& Peer_Address)
{
    // Counted once the datagram has been dealt with.
    struct Count {
        std::atomic<int>& n;
        ~Count() { ++n; }
    } count{Datagrams_Received};
    // Only the converter speaks to us; a datagram too long for the answer
    // buffer is no answer of it either.
    if (!m_Peer.isEmpty() && !Peer_Address.isEmpty() && Peer_Address != m_Peer)
        return;
    if (Datagram.size() > Ans_Size)
        return;
    std::unique_lock<std::mutex> lock(m_Answer_Lock);
    Set_Answer(reinterpret_cast<const uint8_t*>(Datagram.constData()), static_cast<size_t>(Datagram.size()));
    if (MBusType == mtWireless && Wireless_Receive_Message) {
        const int n = Ans_Len;
        const int expected = n > 0 ? Ans_Array[0] + (RadioModule == rmTelit ? 3 : 1) : -1;
        if (n == expected) {
            try {
                Decode_Wireless_Frame(RadioModule);
            } catch (...) {
                // A telegram the window's callback choked on: the next one comes.
            }
        }
        return;
    }
    Answer_Arrived = true;
}

TMBusScanDecode::Answer TMBusScanDecode::Take_Answer()
{
    Answer a;
    if (!Answer_Arrived)
        return a;
    std::lock_guard<std::mutex> lock(m_Answer_Lock);
    Answer_Arrived = false;
    a.Bytes.assign(Ans_Array, Ans_Array + Ans_Len);
    a.Valid = true;
    return a;
}

bool TMBusScanDecode::Answer_Is(const Answer& A, const char* Text) const
{
    const size_t n = std::strlen(Text);
    return A.Valid && A.Bytes.size() == n && std::memcmp(A.Bytes.data(), Text, n) == 0;
}

bool TMBusScanDecode::Check_TimeOut() const
{
    const uint32_t now = m_Timing.Tick();
    const uint64_t end = uint64_t(Start_Send) + uint64_t(uint32_t(TimeOut_Calc));
    return now > end || now < Start_Send;
}

bool TMBusScanDecode::Pause(uint32_t ms)
{
    // In slices, so that closing the window does not wait for a whole pause.
    while (ms > 0) {
        if (m_Closing)
            return false;
        const uint32_t slice = ms < 50 ? ms : 50;
        m_Timing.Sleep(slice);
        ms -= slice;
    }
    return !m_Closing;
}

int TMBusScanDecode::MBus_TimeOut(int K) const
{
    return K / Baudrate + 450 + Add_TimeOut;
}

// ---------------------------------------------------------------- frames

void TMBusScanDecode::Build_SND_NKE(uint8_t A)
{
    Req_Array = {0x10, 0x40, A, static_cast<uint8_t>(0x40 + A), 0x16};
}

void TMBusScanDecode::Build_REQ_UD2(uint8_t A, int n)
{
    uint8_t c;
    if (Fix_C_Field)
        c = Fix_C_Field_Value != 0 ? 0x7B : 0x5B;
    else
        c = (n % 2 == 0) ? 0x7B : 0x5B;
    Req_Array = {0x10, c, A, static_cast<uint8_t>(c + A), 0x16};
}

void TMBusScanDecode::Build_App_Reset(uint8_t A)
{
    const uint8_t c = (Fix_C_Field && Fix_C_Field_Value == 0) ? 0x53 : 0x73;
    Req_Array = {0x68, 0x03, 0x03, 0x68, c, A, 0x50, static_cast<uint8_t>(c + A + 0x50), 0x16};
}

void TMBusScanDecode::Build_Select_Secondary()
{
    const uint8_t c = (Fix_C_Field && Fix_C_Field_Value == 0) ? 0x53 : 0x73;
    auto nibble = [](int d) { return static_cast<uint8_t>(d < 0 ? 0xF : d & 0xF); };
    auto pair = [&](int hi, int lo) { return static_cast<uint8_t>((nibble(hi) << 4) | nibble(lo)); };
    Req_Array = {0x68, 0x0B, 0x0B, 0x68, c, 0xFD, 0x52,
                 pair(Index_G, Index_H), pair(Index_E, Index_F), pair(Index_C, Index_D), pair(Index_A, Index_B),
                 0xFF, 0xFF, 0xFF, 0xFF};
    uint8_t cs = 0;
    for (size_t i = 4; i < Req_Array.size(); ++i)
        cs = static_cast<uint8_t>(cs + Req_Array[i]);
    Req_Array.push_back(cs);
    Req_Array.push_back(0x16);
}

void TMBusScanDecode::Build_Serial_Setup()
{
    static const char head[] = "Rizova_S_M:";
    Req_Array.assign(head, head + 11);
    const auto b = static_cast<uint32_t>(Baudrate);
    Req_Array.push_back(static_cast<uint8_t>(b >> 24));
    Req_Array.push_back(static_cast<uint8_t>(b >> 16));
    Req_Array.push_back(static_cast<uint8_t>(b >> 8));
    Req_Array.push_back(static_cast<uint8_t>(b));
    Req_Array.push_back(',');
    Req_Array.push_back(Parity == 1 ? 2 : Parity == 2 ? 1 : 0);
}

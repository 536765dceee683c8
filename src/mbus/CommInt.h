#pragma once

// The serial-port component: owns one serial device, applies the line
// settings, reads and writes with time-outs, and watches the port on an
// event thread of its own, reporting what it sees through the handlers on
// the thread that created the component (the main thread).
//
// Over termios. The device-control block (TDCB) keeps the settings in the
// terms the component speaks (flag word, limits, special characters) and is
// translated to termios when written; the flags and limits that termios has
// no place for are kept in the block only. Every failure is an ECommError
// with the errno of the call, or -1 for a fault the component found itself.

#include "mbus/CommObjs.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>

class ECommError : public std::runtime_error {
public:
    ECommError(const QString& Text, int32_t Code);
    int32_t ErrorCode;
    QString Message() const { return QString::fromUtf8(what()); }
};

enum TCommEventType { evBreak, evCts, evDsr, evError, evRing, evRlsd, evRxChar, evRxFlag, evTxEmpty };
using TCommEventTypes = uint16_t;   // bit n for the n-th event
constexpr TCommEventTypes CommEvent(TCommEventType e) { return static_cast<TCommEventTypes>(1u << e); }
constexpr TCommEventTypes AllCommEvents = 511;
// The platform's event mask of each event.
constexpr uint32_t EV_BREAK = 0x40, EV_CTS = 0x8, EV_DSR = 0x10, EV_ERR = 0x80, EV_RING = 0x100, EV_RLSD = 0x20,
                   EV_RXCHAR = 0x1, EV_RXFLAG = 0x2, EV_TXEMPTY = 0x4;
uint32_t CommEventMask(TCommEventTypes Events);

enum TBaudrate { br110, br300, br600, br1200, br2400, br4800, br9600, br14400, br19200, br38400, br56000,
                 br57600, br115200, br128000, br256000, br1500000, br3000000 };
int BaudrateValue(TBaudrate b);
enum TParity { paNone, paOdd, paEven, paMark, paSpace };
enum TStopbits { sb10, sb15, sb20 };
enum TDatabits { da4, da5, da6, da7, da8 };
enum TFlowControl { fcNone, fcCTS, fcDTR, fcSoftware, fcDefault };
enum TCommOption { coParityCheck, coDsrSensitivity, coIgnoreXOff, coErrorChar, coNullStrip };
using TCommOptions = uint8_t;
constexpr TCommOptions CommOption(TCommOption o) { return static_cast<TCommOptions>(1u << o); }

// Flags of the device-control block.
constexpr uint32_t fBinary = 0x1, fParity = 0x2, fOutxCtsFlow = 0x4, fOutxDsrFlow = 0x8, fDtrHandshake = 0x20,
                   fDsrSensitivity = 0x40, fTXContinueOnXoff = 0x80, fOutX = 0x100, fInX = 0x200,
                   fErrorChar = 0x400, fNull = 0x800, fRtsHandshake = 0x2000;

// The flags of the port's communication status (bits 0 to 4) and the error
// flags of the error-clearing status call.
constexpr uint32_t fCtsHold = 0x1, fDsrHold = 0x2, fRlsdHold = 0x4, fXoffHold = 0x8, fXoffSent = 0x10;
constexpr uint32_t CE_RXOVER = 0x1, CE_OVERRUN = 0x2, CE_RXPARITY = 0x4, CE_FRAME = 0x8, CE_BREAK = 0x10;

struct TComStat {
    uint32_t Flags = 0;   // fCtsHold .. fXoffSent
    int InQue = 0;
    int OutQue = 0;
};

// The hold flags Linux can tell: output waits for CTS when the driver does
// hardware flow control and CTS is low (ModemLines: the TIOCM bits, -1 when
// they cannot be read), and for XON when the component stopped it. The
// driver never holds output for DSR or RLSD and does not report an XOFF it
// sent, so those bits stay clear.
uint32_t HoldFlags(bool CtsFlow, int ModemLines, bool OutputStopped);

// The line counters of the driver (TIOCGICOUNT).
struct TLineCounts {
    int Frame = 0, Overrun = 0, Parity = 0, Brk = 0, BufOverrun = 0;
};
// The port events (EV_ERR, EV_BREAK) and the error flags for what the
// counters gained from Before to After.
uint32_t LineCountEvents(const TLineCounts& Before, const TLineCounts& After, uint32_t& Errors);

struct TDCB {
    uint32_t BaudRate = 9600;
    uint32_t Flags = fBinary;
    uint16_t XonLim = 0;
    uint16_t XoffLim = 0;
    uint8_t ByteSize = 8;
    uint8_t Parity = 0;     // 0 to 4: none, odd, even, mark, space
    uint8_t StopBits = 0;   // 0 to 2: one, one and a half, two
    char XonChar = 17;
    char XoffChar = 19;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
};

class TCustomComm;

class TCommEventChars {
public:
    explicit TCommEventChars(TCustomComm* Owner) : m_Owner(Owner) {}
    char XonChar() const { return m_Xon; }
    char XoffChar() const { return m_Xoff; }
    char ErrorChar() const { return m_Error; }
    char EofChar() const { return m_Eof; }
    char EvtChar() const { return m_Evt; }
    void SetXonChar(char c) { Set(m_Xon, c); }
    void SetXoffChar(char c) { Set(m_Xoff, c); }
    void SetErrorChar(char c) { Set(m_Error, c); }
    void SetEofChar(char c) { Set(m_Eof, c); }
    void SetEvtChar(char c) { Set(m_Evt, c); }
    void Assign(const TCommEventChars& Source);

private:
    void Set(char& Field, char c);
    TCustomComm* m_Owner;
    char m_Xon = 17, m_Xoff = 19, m_Error = 0, m_Eof = 0, m_Evt = 0;
};

using TNotifyEvent = std::function<void(TCustomComm* Sender)>;
using TCommRxCharEvent = std::function<void(TCustomComm* Sender, uint32_t Count)>;
using TCommErrorEvent = std::function<void(TCustomComm* Sender, uint32_t Errors)>;

// Watches the open port and hands each batch of events to OnSignal.
class TCommEventThread {
public:
    using TCommEvent = std::function<void(TCommEventThread* Sender, uint32_t Status)>;
    // Errors gathers the error flags of the line errors the thread sees.
    TCommEventThread(int Handle, TCommEventTypes Events, TCommEvent OnSignal, std::atomic<uint32_t>& Errors);
    ~TCommEventThread();
    // Tells the thread to stop; it ends after its current pass.
    void Stop();
    // A write was queued: report the send queue empty when it drains.
    void Note_Write() { m_Tx_Pending = true; }
    // Events seen by the component itself, reported with the next pass.
    void Note_Events(uint32_t Mask);
    uint32_t FEventMask = 0;

private:
    void Execute();
    int FCommHandle;
    uint32_t m_Mask;
    TCommEvent OnSignal;
    TSimpleEvent FEvent;
    int m_Wake = -1;
    std::atomic<bool> m_Terminated{false};
    std::atomic<bool> m_Tx_Pending{false};
    std::atomic<uint32_t> m_Noted{0};
    std::atomic<uint32_t>& m_Errors;
    std::thread m_Thread;
};

class TCustomComm {
public:
    TCustomComm();
    virtual ~TCustomComm();
    TCustomComm(const TCustomComm&) = delete;
    TCustomComm& operator=(const TCustomComm&) = delete;

    void Open();
    void Close();
    bool Enabled() const { return m_Handle >= 0; }
    int Handle() const { return m_Handle; }
    // Bytes written, or -1 when the write did not complete within WriteTimeout.
    int Write(const void* Buffer, int Count);
    // Bytes read (those already received, up to Count, possibly 0), or -1.
    int Read(void* Buffer, int Count);
    int InQueCount() const;
    int OutQueCount() const;
    void PurgeIn();
    void PurgeOut();
    void SetDTRState(bool State);
    void SetRTSState(bool State);
    void SetBREAKState(bool State);
    void SetXONState(bool State);
    bool CTS() const;
    bool DSR() const;
    bool RING() const;
    bool RLSD() const;
    bool CtsHold() const;
    bool DsrHold() const;
    bool RlsdHold() const;
    bool XoffHold() const;
    bool XOffSent() const;

    QString DeviceName() const { return m_DeviceName; }
    void SetDeviceName(const QString& v);
    int ReadTimeout = 1000;
    int WriteTimeout = 1000;
    int ReadBufSize() const { return m_ReadBufSize; }
    void SetReadBufSize(int v);
    int WriteBufSize() const { return m_WriteBufSize; }
    void SetWriteBufSize(int v);
    TCommEventTypes MonitorEvents() const { return m_MonitorEvents; }
    void SetMonitorEvents(TCommEventTypes v);
    TBaudrate BaudRate() const { return m_BaudRate; }
    void SetBaudRate(TBaudrate v);
    TParity Parity() const { return m_Parity; }
    void SetParity(TParity v);
    TStopbits Stopbits() const { return m_Stopbits; }
    void SetStopbits(TStopbits v);
    TDatabits Databits() const { return m_Databits; }
    void SetDatabits(TDatabits v);
    TCommOptions Options() const { return m_Options; }
    void SetOptions(TCommOptions v);
    TFlowControl FlowControl() const { return m_FlowControl; }
    void SetFlowControl(TFlowControl v);
    TCommEventChars& EventChars() { return *m_EventChars; }
    // The device-control block last written to the port.
    const TDCB& DCB() const { return m_DCB; }

    TNotifyEvent OnBreak, OnCts, OnDsr, OnRing, OnRlsd, OnRxFlag, OnTxEmpty;
    TCommErrorEvent OnError;
    TCommRxCharEvent OnRxChar;

    void ApplyLineSettings();

protected:
    // Opens DeviceName for reading and writing, not shared.
    virtual void OpenDeviceHandle();
    int m_Handle = -1;

private:
    void DispatchCommEvents(uint32_t Mask);
    // The port's status; with Errors, also takes and clears the error flags.
    TComStat Comm_Status(uint32_t* Errors) const;
    bool Hold(uint32_t Flag) const { return Enabled() && (Comm_Status(nullptr).Flags & Flag); }
    void Set_Timeouts();
    void Setup_Queues();
    void Check_Closed_For_Change(bool Changed);
    void Apply_If(bool Changed);

    QString m_DeviceName = QStringLiteral("Com2");
    TSimpleEvent m_Transfer_Event;
    TCriticalSection m_Lock;
    int m_ReadBufSize = 4096;
    int m_WriteBufSize = 2048;
    TCommEventTypes m_MonitorEvents = AllCommEvents;
    TBaudrate m_BaudRate = br9600;
    TParity m_Parity = paNone;
    TStopbits m_Stopbits = sb10;
    TDatabits m_Databits = da8;
    std::unique_ptr<TCommEventThread> m_EventThread;
    std::unique_ptr<TCommEventChars> m_EventChars;
    TCommOptions m_Options = 0;
    TFlowControl m_FlowControl = fcDefault;
    TDCB m_DCB;
    // Error flags gathered by the event thread, cleared by the status call.
    mutable std::atomic<uint32_t> m_Errors{0};
    // Output stopped by SetXONState(false).
    std::atomic<bool> m_Output_Stopped{false};
    // Shared with events in flight to the main thread: a closed or released
    // component gets none of them.
    struct Alive;
    std::shared_ptr<Alive> m_Alive;
};

class TComm : public TCustomComm {
};

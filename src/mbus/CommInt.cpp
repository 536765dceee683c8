#include "mbus/CommInt.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <mutex>

namespace {

[[noreturn]] void Raise(const char* Text, int32_t Code)
{
    throw ECommError(QString::fromLatin1(Text), Code);
}

speed_t Speed_Code(uint32_t Rate)
{
    switch (Rate) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 1500000: return B1500000;
    case 3000000: return B3000000;
    default: return 0;   // no termios code for this rate
    }
}

} // namespace

ECommError::ECommError(const QString& Text, int32_t Code)
    : std::runtime_error(QStringLiteral("%1 (Error: %2) ").arg(Text).arg(Code).toStdString()), ErrorCode(Code)
{
}

uint32_t CommEventMask(TCommEventTypes Events)
{
    static constexpr uint32_t masks[] = {EV_BREAK, EV_CTS, EV_DSR, EV_ERR, EV_RING, EV_RLSD, EV_RXCHAR, EV_RXFLAG, EV_TXEMPTY};
    uint32_t m = 0;
    for (int i = 0; i < 9; ++i)
        if (Events & (1u << i))
            m |= masks[i];
    return m;
}

int BaudrateValue(TBaudrate b)
{
    static constexpr int rates[] = {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000,
                                    57600, 115200, 128000, 256000, 1500000, 3000000};
    return rates[b];
}

uint32_t HoldFlags(bool CtsFlow, int ModemLines, bool OutputStopped)
{
    uint32_t f = 0;
    if (CtsFlow && ModemLines >= 0 && !(ModemLines & TIOCM_CTS))
        f |= fCtsHold;
    if (OutputStopped)
        f |= fXoffHold;
    return f;
}

uint32_t LineCountEvents(const TLineCounts& Before, const TLineCounts& After, uint32_t& Errors)
{
    // Counters only grow; a smaller value (a driver that reset them) is no error.
    auto gained = [](int b, int a) { return a > b; };
    Errors = 0;
    if (gained(Before.BufOverrun, After.BufOverrun)) Errors |= CE_RXOVER;
    if (gained(Before.Overrun, After.Overrun)) Errors |= CE_OVERRUN;
    if (gained(Before.Parity, After.Parity)) Errors |= CE_RXPARITY;
    if (gained(Before.Frame, After.Frame)) Errors |= CE_FRAME;
    if (gained(Before.Brk, After.Brk)) Errors |= CE_BREAK;
    uint32_t mask = 0;
    if (Errors & (CE_OVERRUN | CE_RXPARITY | CE_FRAME | CE_RXOVER))
        mask |= EV_ERR;
    if (Errors & CE_BREAK)
        mask |= EV_BREAK;
    return mask;
}

namespace {

// The driver's line counters; false where the driver keeps none (a pty).
bool Read_Line_Counts(int Handle, TLineCounts& Counts)
{
    serial_icounter_struct ic {};
    if (::ioctl(Handle, TIOCGICOUNT, &ic) != 0)
        return false;
    Counts = {ic.frame, ic.overrun, ic.parity, ic.brk, ic.buf_overrun};
    return true;
}

} // namespace

// ---------------------------------------------------------------- event chars

void TCommEventChars::Set(char& Field, char c)
{
    if (Field == c)
        return;
    Field = c;
    if (m_Owner)
        m_Owner->ApplyLineSettings();
}

void TCommEventChars::Assign(const TCommEventChars& Source)
{
    m_Xon = Source.m_Xon;
    m_Xoff = Source.m_Xoff;
    m_Error = Source.m_Error;
    m_Eof = Source.m_Eof;
    m_Evt = Source.m_Evt;
    if (m_Owner)
        m_Owner->ApplyLineSettings();
}

// ---------------------------------------------------------------- event thread

TCommEventThread::TCommEventThread(int Handle, TCommEventTypes Events, TCommEvent Signal,
                                   std::atomic<uint32_t>& Errors)
    : FCommHandle(Handle), m_Mask(CommEventMask(Events)), OnSignal(std::move(Signal)), m_Errors(Errors)
{
    m_Wake = ::eventfd(0, EFD_CLOEXEC);
    m_Thread = std::thread(&TCommEventThread::Execute, this);
}

TCommEventThread::~TCommEventThread()
{
    Stop();
    if (m_Thread.joinable())
        m_Thread.join();
    if (m_Wake >= 0)
        ::close(m_Wake);
}

void TCommEventThread::Stop()
{
    m_Terminated = true;
    FEvent.SetEvent();
    const uint64_t one = 1;
    if (m_Wake >= 0)
        [[maybe_unused]] const ssize_t w = ::write(m_Wake, &one, sizeof one);
}

void TCommEventThread::Note_Events(uint32_t Mask)
{
    m_Noted |= Mask;
    const uint64_t one = 1;
    if (m_Wake >= 0)
        [[maybe_unused]] const ssize_t w = ::write(m_Wake, &one, sizeof one);
}

void TCommEventThread::Execute()
{
    // termios has no wait for port events: the thread looks at the port
    // every 10 ms and reports what changed since it last looked.
    int lastIn = 0;
    int lastModem = -1;
    if (int m = 0; ::ioctl(FCommHandle, TIOCMGET, &m) == 0)
        lastModem = m;
    TLineCounts lastCounts;
    const bool counted = Read_Line_Counts(FCommHandle, lastCounts);
    while (!m_Terminated) {
        pollfd p{m_Wake, POLLIN, 0};
        if (::poll(&p, 1, 10) > 0) {
            uint64_t woken = 0;
            [[maybe_unused]] const ssize_t r = ::read(m_Wake, &woken, sizeof woken);
        }
        if (m_Terminated)
            break;
        uint32_t mask = m_Noted.exchange(0);
        if (TLineCounts now; counted && Read_Line_Counts(FCommHandle, now)) {
            uint32_t errors = 0;
            mask |= LineCountEvents(lastCounts, now, errors);
            m_Errors |= errors;
            lastCounts = now;
        }
        int in = 0;
        if (::ioctl(FCommHandle, TIOCINQ, &in) == 0) {
            if (in > lastIn)
                mask |= EV_RXCHAR;
            lastIn = in;
        }
        int out = 0;
        if (m_Tx_Pending && ::ioctl(FCommHandle, TIOCOUTQ, &out) == 0 && out == 0) {
            m_Tx_Pending = false;
            mask |= EV_TXEMPTY;
        }
        if (int m = 0; lastModem >= 0 && ::ioctl(FCommHandle, TIOCMGET, &m) == 0) {
            const int changed = m ^ lastModem;
            if (changed & TIOCM_CTS) mask |= EV_CTS;
            if (changed & TIOCM_DSR) mask |= EV_DSR;
            if ((changed & TIOCM_RI) && (m & TIOCM_RI)) mask |= EV_RING;
            if (changed & TIOCM_CD) mask |= EV_RLSD;
            lastModem = m;
        }
        mask &= m_Mask;
        if (mask) {
            FEventMask = mask;
            if (OnSignal)
                OnSignal(this, FEventMask);
            FEvent.ResetEvent();
        }
    }
    // Both directions purged, as the port is left.
    ::tcflush(FCommHandle, TCIOFLUSH);
}

// ---------------------------------------------------------------- component

struct TCustomComm::Alive {
    std::recursive_mutex Mutex;
    bool Open = false;
};

TCustomComm::TCustomComm()
    : m_EventChars(std::make_unique<TCommEventChars>(this)), m_Alive(std::make_shared<Alive>())
{
}

TCustomComm::~TCustomComm()
{
    Close();
}

void TCustomComm::OpenDeviceHandle()
{
    const QByteArray name = m_DeviceName.toLocal8Bit();
    const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        Raise("Error accessing specified device", errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) {
        ::close(fd);
        Raise("Invalid device handle, access denied", -1);
    }
    // Not shared with another opener.
    ::ioctl(fd, TIOCEXCL);
    m_Handle = fd;
}

void TCustomComm::Open()
{
    if (Enabled())
        Raise("Port already assigned (open)", -1);
    OpenDeviceHandle();
    {
        std::lock_guard<std::recursive_mutex> lock(m_Alive->Mutex);
        m_Alive->Open = true;
    }
    // Events go to the main thread when there is one with a loop; the event
    // thread does not wait for them, so a Close made from a handler cannot
    // lock up against it.
    std::weak_ptr<Alive> weak = m_Alive;
    m_Errors = 0;
    m_Output_Stopped = false;
    m_EventThread = std::make_unique<TCommEventThread>(
        m_Handle, m_MonitorEvents, [this, weak](TCommEventThread*, uint32_t mask) {
            auto dispatch = [this, weak, mask] {
                auto alive = weak.lock();
                if (!alive)
                    return;
                std::lock_guard<std::recursive_mutex> lock(alive->Mutex);
                if (alive->Open)
                    DispatchCommEvents(mask);
            };
            if (QCoreApplication* app = QCoreApplication::instance())
                QMetaObject::invokeMethod(app, dispatch, Qt::QueuedConnection);
            else
                dispatch();
        }, m_Errors);
    Set_Timeouts();
    ApplyLineSettings();
    Setup_Queues();
}

void TCustomComm::Set_Timeouts()
{
    // Reads return at once with what has arrived: a non-blocking descriptor
    // that waits for no byte and no time.
    termios t {};
    const int flags = ::fcntl(m_Handle, F_GETFL);
    if (flags < 0 || ::fcntl(m_Handle, F_SETFL, flags | O_NONBLOCK) != 0 || ::tcgetattr(m_Handle, &t) != 0)
        Raise("Error updating CommTimeouts", errno);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::tcsetattr(m_Handle, TCSANOW, &t) != 0)
        Raise("Error updating CommTimeouts", errno);
}

void TCustomComm::Setup_Queues()
{
    // The tty driver's queues have sizes of their own; what can fail here
    // is a size no queue can have.
    if (m_ReadBufSize < 1 || m_WriteBufSize < 1)
        Raise("Error initializing Read/Write Buffers", EINVAL);
}

void TCustomComm::Close()
{
    if (!Enabled())
        return;
    {
        // Waits for a handler running on another thread; none runs after.
        std::lock_guard<std::recursive_mutex> lock(m_Alive->Mutex);
        m_Alive->Open = false;
    }
    m_EventThread.reset();
    ::close(m_Handle);
    m_Handle = -1;
}

void TCustomComm::ApplyLineSettings()
{
    if (!Enabled())
        return;
    termios t {};
    if (::tcgetattr(m_Handle, &t) != 0)
        Raise("Error updating DataControlBlock", errno);
    TDCB d = m_DCB;
    d.BaudRate = static_cast<uint32_t>(BaudrateValue(m_BaudRate));
    d.Parity = static_cast<uint8_t>(m_Parity);
    d.StopBits = static_cast<uint8_t>(m_Stopbits);
    d.ByteSize = static_cast<uint8_t>(4 + m_Databits);
    d.XonChar = m_EventChars->XonChar();
    d.XoffChar = m_EventChars->XoffChar();
    d.ErrorChar = m_EventChars->ErrorChar();
    d.EofChar = m_EventChars->EofChar();
    d.EvtChar = m_EventChars->EvtChar();
    d.XonLim = static_cast<uint16_t>(m_ReadBufSize / 4);
    d.XoffLim = static_cast<uint16_t>(m_ReadBufSize / 4);
    switch (m_FlowControl) {
    case fcNone: d.Flags = fBinary; break;
    case fcCTS: d.Flags |= fOutxCtsFlow | fRtsHandshake; break;
    case fcDTR: d.Flags |= fOutxDsrFlow | fDtrHandshake; break;
    case fcSoftware: d.Flags |= fOutX | fInX; break;
    case fcDefault: break;
    }
    static constexpr uint32_t optionFlags[] = {fParity, fDsrSensitivity, fTXContinueOnXoff, fErrorChar, fNull};
    for (int i = 0; i < 5; ++i) {
        if (m_Options & (1u << i))
            d.Flags |= optionFlags[i];
        else
            d.Flags &= ~optionFlags[i];
    }

    ::cfmakeraw(&t);
    const speed_t speed = Speed_Code(d.BaudRate);
    if (speed == 0 || d.ByteSize < 5)
        Raise("Error updating DataControlBlock", EINVAL);
    ::cfsetispeed(&t, speed);
    ::cfsetospeed(&t, speed);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CREAD | CLOCAL;
    static constexpr tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag |= sizes[d.ByteSize - 5];
    switch (d.Parity) {
    case 1: t.c_cflag |= PARENB | PARODD; break;
    case 2: t.c_cflag |= PARENB; break;
    case 3: t.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case 4: t.c_cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    if (d.StopBits != 0)
        t.c_cflag |= CSTOPB;
    if (d.Flags & (fOutxCtsFlow | fRtsHandshake))
        t.c_cflag |= CRTSCTS;
    t.c_iflag &= ~(IXON | IXOFF | INPCK);
    if (d.Flags & fOutX) t.c_iflag |= IXON;
    if (d.Flags & fInX) t.c_iflag |= IXOFF;
    if (d.Flags & fParity) t.c_iflag |= INPCK;
    t.c_cc[VSTART] = static_cast<cc_t>(d.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(d.XoffChar);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::tcsetattr(m_Handle, TCSANOW, &t) != 0)
        Raise("Error updating DataControlBlock", errno);
    m_DCB = d;
}

int TCustomComm::Write(const void* Buffer, int Count)
{
    m_Lock.Enter();
    struct Leave { TCriticalSection& l; ~Leave() { l.Leave(); } } leave{m_Lock};
    if (!Enabled())
        Raise("Write error", EBADF);
    const auto* p = static_cast<const uint8_t*>(Buffer);
    int done = 0;
    int left = WriteTimeout;
    while (done < Count) {
        const ssize_t n = ::write(m_Handle, p + done, static_cast<size_t>(Count - done));
        if (n > 0) {
            done += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            Raise("Write error", errno);
        // The driver's queue is full: wait for room, within the time-out.
        if (left <= 0)
            return -1;
        pollfd pf{m_Handle, POLLOUT, 0};
        const int step = left < 10 ? left : 10;
        ::poll(&pf, 1, step);
        left -= step;
    }
    if (m_EventThread && Count > 0)
        m_EventThread->Note_Write();
    return done;
}

int TCustomComm::Read(void* Buffer, int Count)
{
    m_Lock.Enter();
    struct Leave { TCriticalSection& l; ~Leave() { l.Leave(); } } leave{m_Lock};
    if (!Enabled())
        Raise("Read error", EBADF);
    if (Count <= 0)
        return 0;
    const ssize_t n = ::read(m_Handle, Buffer, static_cast<size_t>(Count));
    if (n >= 0) {
        // The driver does not look for the event character: the reader does.
        if (n > 0 && m_EventThread && ::memchr(Buffer, static_cast<unsigned char>(m_DCB.EvtChar), static_cast<size_t>(n)))
            m_EventThread->Note_Events(EV_RXFLAG);
        return static_cast<int>(n);
    }
    if (errno == EAGAIN || errno == EINTR)
        return 0;   // nothing received yet
    Raise("Read error", errno);
}

int TCustomComm::InQueCount() const
{
    int n = 0;
    if (!Enabled() || ::ioctl(m_Handle, TIOCINQ, &n) != 0)
        return -1;
    return n;
}

int TCustomComm::OutQueCount() const
{
    int n = 0;
    if (!Enabled() || ::ioctl(m_Handle, TIOCOUTQ, &n) != 0)
        return -1;
    return n;
}

void TCustomComm::PurgeIn()
{
    if (Enabled())
        ::tcflush(m_Handle, TCIFLUSH);
}

void TCustomComm::PurgeOut()
{
    if (Enabled())
        ::tcflush(m_Handle, TCOFLUSH);
}

namespace {

void Escape(int Handle, bool Ok)
{
    if (Handle < 0)
        Raise("Port not open, unable to complete operation", -1);
    if (!Ok)
        Raise("EscapeCommFunction failure", errno);
}

} // namespace

void TCustomComm::SetDTRState(bool State)
{
    int bit = TIOCM_DTR;
    Escape(m_Handle, m_Handle >= 0 && ::ioctl(m_Handle, State ? TIOCMBIS : TIOCMBIC, &bit) == 0);
}

void TCustomComm::SetRTSState(bool State)
{
    int bit = TIOCM_RTS;
    Escape(m_Handle, m_Handle >= 0 && ::ioctl(m_Handle, State ? TIOCMBIS : TIOCMBIC, &bit) == 0);
}

void TCustomComm::SetBREAKState(bool State)
{
    Escape(m_Handle, m_Handle >= 0 && ::ioctl(m_Handle, State ? TIOCSBRK : TIOCCBRK) == 0);
    ::tcflush(m_Handle, TCIOFLUSH);
}

void TCustomComm::SetXONState(bool State)
{
    Escape(m_Handle, m_Handle >= 0 && ::tcflow(m_Handle, State ? TCOON : TCOOFF) == 0);
    m_Output_Stopped = !State;
}

namespace {

bool Modem_Bit(int Handle, int Bit)
{
    int m = 0;
    return Handle >= 0 && ::ioctl(Handle, TIOCMGET, &m) == 0 && (m & Bit);
}

} // namespace

bool TCustomComm::CTS() const { return Modem_Bit(m_Handle, TIOCM_CTS); }
bool TCustomComm::DSR() const { return Modem_Bit(m_Handle, TIOCM_DSR); }
bool TCustomComm::RING() const { return Modem_Bit(m_Handle, TIOCM_RI); }
bool TCustomComm::RLSD() const { return Modem_Bit(m_Handle, TIOCM_CD); }
TComStat TCustomComm::Comm_Status(uint32_t* Errors) const
{
    TComStat s;
    if (Errors)
        *Errors = Enabled() ? m_Errors.exchange(0) : 0;
    if (!Enabled())
        return s;
    termios t {};
    const bool ctsFlow = ::tcgetattr(m_Handle, &t) == 0 && (t.c_cflag & CRTSCTS);
    int m = 0;
    s.Flags = HoldFlags(ctsFlow, ::ioctl(m_Handle, TIOCMGET, &m) == 0 ? m : -1, m_Output_Stopped);
    s.InQue = InQueCount();
    s.OutQue = OutQueCount();
    return s;
}

// Reading the hold states leaves the error flags for OnError.
bool TCustomComm::CtsHold() const { return Hold(fCtsHold); }
bool TCustomComm::DsrHold() const { return Hold(fDsrHold); }
bool TCustomComm::RlsdHold() const { return Hold(fRlsdHold); }
bool TCustomComm::XoffHold() const { return Hold(fXoffHold); }
bool TCustomComm::XOffSent() const { return Hold(fXoffSent); }

void TCustomComm::Check_Closed_For_Change(bool Changed)
{
    if (Changed && Enabled())
        Raise("Port already assigned (open)", -1);
}

void TCustomComm::SetDeviceName(const QString& v)
{
    Check_Closed_For_Change(v != m_DeviceName);
    m_DeviceName = v;
}

void TCustomComm::SetReadBufSize(int v)
{
    Check_Closed_For_Change(v != m_ReadBufSize);
    m_ReadBufSize = v;
}

void TCustomComm::SetWriteBufSize(int v)
{
    Check_Closed_For_Change(v != m_WriteBufSize);
    m_WriteBufSize = v;
}

void TCustomComm::SetMonitorEvents(TCommEventTypes v)
{
    Check_Closed_For_Change(v != m_MonitorEvents);
    m_MonitorEvents = v;
}

void TCustomComm::Apply_If(bool Changed)
{
    if (Changed)
        ApplyLineSettings();
}

void TCustomComm::SetBaudRate(TBaudrate v) { const bool c = v != m_BaudRate; m_BaudRate = v; Apply_If(c); }
void TCustomComm::SetParity(TParity v) { const bool c = v != m_Parity; m_Parity = v; Apply_If(c); }
void TCustomComm::SetStopbits(TStopbits v) { const bool c = v != m_Stopbits; m_Stopbits = v; Apply_If(c); }
void TCustomComm::SetDatabits(TDatabits v) { const bool c = v != m_Databits; m_Databits = v; Apply_If(c); }
void TCustomComm::SetOptions(TCommOptions v) { const bool c = v != m_Options; m_Options = v; Apply_If(c); }
void TCustomComm::SetFlowControl(TFlowControl v) { const bool c = v != m_FlowControl; m_FlowControl = v; Apply_If(c); }

void TCustomComm::DispatchCommEvents(uint32_t Mask)
{
    uint32_t errors = 0;
    const int inQueue = Comm_Status(&errors).InQue;
    if ((Mask & EV_BREAK) && OnBreak) OnBreak(this);
    if ((Mask & EV_CTS) && OnCts) OnCts(this);
    if ((Mask & EV_DSR) && OnDsr) OnDsr(this);
    if ((Mask & EV_ERR) && OnError) OnError(this, errors);
    if ((Mask & EV_RING) && OnRing) OnRing(this);
    if ((Mask & EV_RLSD) && OnRlsd) OnRlsd(this);
    if ((Mask & EV_RXCHAR) && OnRxChar && inQueue > 0) OnRxChar(this, static_cast<uint32_t>(inQueue));
    if ((Mask & EV_RXFLAG) && OnRxFlag) OnRxFlag(this);
    if ((Mask & EV_TXEMPTY) && OnTxEmpty) OnTxEmpty(this);
}

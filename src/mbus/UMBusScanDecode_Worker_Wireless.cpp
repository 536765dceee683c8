#include "mbus/UMBusScanDecode_Worker.h"
#include "mbus/UScanDecode_Export.h"

// The wireless scan: configuration mode, the radio module's type and set-up
// (Telit: AT commands; RadioCrafts: byte commands, configuration memory and
// key table), then listening, with key loads in between, until stop or
// abort. While listening the receive thread decodes every telegram; in every
// other state a datagram is the module's answer.

namespace {

const char* const Config_Enabled = "\n\rConfiguration_Mode Enabled!\n\r";
const char* const Config_Disabled = "\n\rConfiguration_Mode Disabled!\n\r";
const char* const Telit_Type = "\n\rTELIT\n\r";
const char* const RadioCrafts_Type = "\n\rRADIOCRAFTS\n\r";
const char* const OK = "OK\r";

constexpr int Telit_Listen = 134;
constexpr int RadioCrafts_Listen = 320;

QString Num(int v)
{
    return QString::number(v);
}

} // namespace

uint16_t TMBusScanDecode::Wireless_Send_Port() const
{
    return Port_Wireless;
}

void TMBusScanDecode::Fail()
{
    FResult = 2;
    Step_Scan = 500;
}

void TMBusScanDecode::Telit_Send(const QString& cmd)
{
    TimeOut_Calc = Add_TimeOut + 1000;
    Send_Command(cmd, Wireless_Send_Port());
}

void TMBusScanDecode::Radio_Send(std::initializer_list<uint8_t> Bytes, int TimeOut_ms)
{
    Req_Array.assign(Bytes.begin(), Bytes.end());
    Radio_Send_Req(TimeOut_ms);
}

void TMBusScanDecode::Radio_Send_Req(int TimeOut_ms)
{
    TimeOut_Calc = Add_TimeOut + TimeOut_ms;
    Send_Command(Wireless_Send_Port());
}

void TMBusScanDecode::Build_RadioCrafts_Config()
{
    uint8_t mode;
    switch (wMBusMode) {
    case 5: mode = 0x01; break;
    case 11: mode = 0x0A; break;
    case 15: mode = 0x11; break;
    case 17: mode = 0x10; break;
    default: mode = 0x03; break;
    }
    Req_Array = {0x03, mode, 0x04, 0x00, 0x05, 0x01, 0x12, 0x01, 0x16, 0x17, 0x3A, 0x01, 0x3D, 0x02, 0x37, 0x01};
}

void TMBusScanDecode::Build_RadioCrafts_Clear_Address()
{
    Req_Array.assign(8, 0x00);
}

void TMBusScanDecode::Build_RadioCrafts_Address()
{
    Req_Array.clear();
    auto guard = Wireless_List().Lock();
    const TSlave_wMBus* s = Wireless_List().Items(Wireless_Key_Index);
    if (!s)
        return;
    const auto addr = static_cast<uint32_t>(s->ALA_Address);
    Req_Array = {static_cast<uint8_t>(addr), static_cast<uint8_t>(addr >> 8), static_cast<uint8_t>(addr >> 16),
                 static_cast<uint8_t>(addr >> 24), static_cast<uint8_t>(s->ALA_Manufacturer & 0xFF),
                 static_cast<uint8_t>(s->ALA_Manufacturer >> 8), s->ALA_Version, s->ALA_DeviceType};
}

void TMBusScanDecode::Build_RadioCrafts_Key()
{
    Req_Array.clear();
    auto guard = Wireless_List().Lock();
    if (const TSlave_wMBus* s = Wireless_List().Items(Wireless_Key_Index))
        Req_Array.assign(s->Key.begin(), s->Key.end());
}

bool TMBusScanDecode::Begin_Key_Load(int Position, const std::array<uint8_t, 16>& Key)
{
    auto guard = Wireless_List().Lock();
    TSlave_wMBus* s = Wireless_List().Items(Position);
    if (!s)
        return false;
    if (RadioModule == rmRadioCrafts && s->RadioCrafts_Ind_Tab_Decript < 1) {
        // A table position only for a key that is loaded.
        if (Index_RadioCrafts_Position_Used > RadioCrafts_Table_Size)
            return false;
        s->RadioCrafts_Ind_Tab_Decript = Index_RadioCrafts_Position_Used++;
    }
    Wireless_Key = Key;
    Wireless_Key_Index = Position;
    s->Enable_Key = true;
    s->Key = Key;
    m_Key_Load_Running = true;
    Step_Scan = RadioModule == rmTelit ? 200 : 400;
    return true;
}

void TMBusScanDecode::Back_To_Listening(int Listen_State)
{
    Step_Scan = Listen_State;
    Wireless_Receive_Message = true;
    m_Key_Load_Running = false;
    // The next key that waited for this load.
    while (!m_Key_Queue.empty()) {
        const Queued_Key k = m_Key_Queue.front();
        m_Key_Queue.pop_front();
        if (Begin_Key_Load(k.Position, k.Key))
            break;
    }
}

bool TMBusScanDecode::Insert_Wireless_Key(int Position, const std::array<uint8_t, 16>& Key)
{
    std::lock_guard<std::recursive_mutex> lock(m_Step_Lock);
    if (!FInScan || MBusType != mtWireless || FStopScan || FAbortScan)
        return false;
    bool needs_slot = false;
    {
        auto guard = Wireless_List().Lock();
        const TSlave_wMBus* s = Wireless_List().Items(Position);
        if (!s)
            return false;
        needs_slot = RadioModule == rmRadioCrafts && s->RadioCrafts_Ind_Tab_Decript < 1;
    }
    const int listen = RadioModule == rmTelit ? Telit_Listen : RadioCrafts_Listen;
    if (Step_Scan == listen && !m_Key_Load_Running)
        return Begin_Key_Load(Position, Key);
    if (!m_Key_Load_Running)
        return false;
    // A load is running: this key waits for it, so the running load keeps
    // its meter and key. A later key for the same meter replaces the waiting one.
    if (needs_slot) {
        int waiting = 0;
        for (const Queued_Key& k : m_Key_Queue)
            if (k.Position != Position)
                ++waiting;
        if (Index_RadioCrafts_Position_Used + waiting > RadioCrafts_Table_Size)
            return false;
    }
    for (Queued_Key& k : m_Key_Queue) {
        if (k.Position == Position) {
            k.Key = Key;
            return true;
        }
    }
    m_Key_Queue.push_back({Position, Key});
    return true;
}

void TMBusScanDecode::Scan_Decode_Wireless()
{
    if (FAbortScan || FStopScan) {
        if (Step_Scan < 500)
            Step_Scan = 500;
        else if (Step_Scan != 500) {
            FAbortScan = false;
            FStopScan = false;
        }
    }
    const int state = Step_Scan;
    // Over the serial transport nothing is sent: the procedure stays.
    if (Select_Hardware == shSerial && state < 500)
        return;

    // The waits: the answer, then the time-out.
    auto wait = [this](auto&& on_answer) {
        const Answer a = Take_Answer();
        if (a.Valid)
            on_answer(a);
        else if (Check_TimeOut())
            Fail();
    };
    auto wait_ok = [&](auto&& on_ok) {
        wait([&](const Answer& a) {
            if (Answer_Is(a, OK))
                on_ok();
            else
                Fail();
        });
    };
    auto wait_prompt = [&](int next) {
        wait([&](const Answer& a) {
            if (a.Bytes.size() == 1 && a.Bytes[0] == '>')
                Step_Scan = next;
            else
                Fail();
        });
    };
    auto wait_first_prompt = [&](int next) {
        wait([&](const Answer& a) {
            if (!a.Bytes.empty() && a.Bytes[0] == '>')
                Step_Scan = next;
            else
                Fail();
        });
    };
    auto wait_any = [&](int next) {
        if (Take_Answer().Valid || Check_TimeOut())
            Step_Scan = next;
    };
    const bool n_mode = wMBusMode == 15 || wMBusMode == 17;

    // Telit: the command of each send state and the send state after its OK.
    auto telit = [&](int s, QString& cmd, int& next) -> bool {
        switch (s) {
        case 100: cmd = QStringLiteral("+++"); next = 102; return true;
        case 102: cmd = QStringLiteral("ATR\r"); next = 104; return true;
        case 104: cmd = QStringLiteral("ATS400=") + Num(wMBusMode) + QStringLiteral("\r"); next = 106; return true;
        case 106: cmd = QStringLiteral("ATS401=0\r"); next = 108; return true;
        case 108: cmd = QStringLiteral("ATS402=191\r"); next = 110; return true;
        case 110: cmd = QStringLiteral("ATS420=") + Num(wMBusRadioChannel) + QStringLiteral("\r"); next = n_mode ? 114 : 112; return true;
        case 112: cmd = QStringLiteral("ATS421=0\r"); next = 114; return true;
        case 114: cmd = QStringLiteral("ATS422=3\r"); next = 116; return true;
        case 116: cmd = QStringLiteral("ATS430=5\r"); next = 118; return true;
        case 118: cmd = QStringLiteral("ATS431=5\r"); next = 120; return true;
        case 120: cmd = QStringLiteral("ATS440=0\r"); next = 122; return true;
        case 122: cmd = QStringLiteral("ATS441=0\r"); next = n_mode ? 126 : 124; return true;
        case 124: cmd = QStringLiteral("ATS442=0\r"); next = 126; return true;
        case 126: cmd = QStringLiteral("ATS452=0\r"); next = 128; return true;
        case 128: cmd = QStringLiteral("ATS453=0\r"); next = n_mode ? 132 : 130; return true;
        case 130: cmd = QStringLiteral("ATS454=0\r"); next = 132; return true;
        case 132: cmd = QStringLiteral("ATO\r"); next = Telit_Listen; return true;
        default: break;
        }
        if (s < 200 || s > 220)
            return false;
        // Key load: the meter's identity, then the sixteen key bytes.
        uint16_t man = 0;
        uint32_t addr = 0;
        uint8_t version = 0;
        uint8_t type = 0;
        {
            auto guard = Wireless_List().Lock();
            if (const TSlave_wMBus* m = Wireless_List().Items(Wireless_Key_Index)) {
                man = m->ALA_Manufacturer;
                addr = static_cast<uint32_t>(m->ALA_Address);
                version = m->ALA_Version;
                type = m->ALA_DeviceType;
            }
        }
        auto reg = [](int r, int v) { return QStringLiteral("ATS%1=%2\r").arg(r).arg(v); };
        switch (s) {
        case 200: cmd = QStringLiteral("+++"); next = 202; return true;
        case 202: cmd = reg(461, man & 0xFF); next = 204; return true;
        case 204: cmd = reg(462, man >> 8); next = 206; return true;
        case 206: cmd = reg(463, addr & 0xFF); next = 208; return true;
        case 208: cmd = reg(464, (addr >> 8) & 0xFF); next = 210; return true;
        case 210: cmd = reg(465, (addr >> 16) & 0xFF); next = 212; return true;
        case 212: cmd = reg(466, addr >> 24); next = 214; return true;
        case 214: cmd = reg(467, version); next = 216; return true;
        case 216: cmd = reg(468, type); next = 218; return true;
        case 218: {
            const int i = Index_Key_Send < 0 ? 0 : Index_Key_Send > 15 ? 15 : Index_Key_Send;
            cmd = reg(470 + i, Wireless_Key[static_cast<size_t>(i)]);
            next = 218;
            return true;
        }
        case 220: cmd = QStringLiteral("ATS460=5\r"); next = 132; return true;
        default: return false;
        }
    };

    QString cmd;
    int next = 0;
    if (state >= 100 && state <= 221 && state != Telit_Listen) {
        const bool send_state = state % 2 == 0;
        if (!telit(send_state ? state : state - 1, cmd, next)) {
            Fail();
            return;
        }
        if (send_state) {
            if (state == 200)
                Wireless_Receive_Message = false;
            Telit_Send(cmd);
            Step_Scan = state + 1;
            return;
        }
        wait_ok([&] {
            switch (state) {
            case 133: Back_To_Listening(Telit_Listen); break;
            case 217: Index_Key_Send = 0; Step_Scan = 218; break;
            case 219:
                ++Index_Key_Send;
                Step_Scan = Index_Key_Send < 16 ? 218 : 220;
                break;
            case 221: Index_Key_Send = 0; Step_Scan = 132; break;
            default: Step_Scan = next; break;
            }
        });
        return;
    }

    switch (state) {
    case 0:
        Wireless_Receive_Message = false;
        FResult = 1;
        Telit_Send(QStringLiteral("Rizova_Enable_Configuration_Mode"));
        Step_Scan = 1;
        break;
    case 1:
        wait([&](const Answer& a) { Answer_Is(a, Config_Enabled) ? void(Step_Scan = 2) : Fail(); });
        break;
    case 2:
        FResult = 1;
        Telit_Send(QStringLiteral("Rizova_Type_Radio_Module"));
        Step_Scan = 3;
        break;
    case 3:
        wait([&](const Answer& a) {
            if (Answer_Is(a, Telit_Type)) {
                RadioModule = rmTelit;
                Step_Scan = 100;
            } else if (Answer_Is(a, RadioCrafts_Type)) {
                RadioModule = rmRadioCrafts;
                Step_Scan = 300;
            } else {
                Fail();
            }
        });
        break;
    case Telit_Listen:
    case RadioCrafts_Listen:
        break;

    // ---- RadioCrafts set-up
    case 300:
        Radio_Send({0x00}, 1000);
        Index_RadioCrafts_Position_Used = 1;
        Step_Scan = 301;
        break;
    case 301: wait_prompt(302); break;
    case 302: Radio_Send({0x30}, 1000); Step_Scan = 303; break;
    case 303:
        wait([&](const Answer& a) {
            if (a.Bytes.size() == 257 && a.Bytes.back() == '>')
                Step_Scan = 304;
            else
                Fail();
        });
        break;
    case 304: Radio_Send({0x4D}, 1000); Step_Scan = 305; break;
    case 305: wait_prompt(306); break;
    case 306: Build_RadioCrafts_Config(); Radio_Send_Req(500); Step_Scan = 307; break;
    case 307: wait_any(308); break;
    case 308: Radio_Send({0xFF}, 1000); Step_Scan = 309; break;
    case 309:
        wait([&](const Answer& a) {
            if (a.Bytes.size() == 1 && a.Bytes[0] == '>') {
                Index_RadioCrafts_Erase_Position = 0;
                Step_Scan = 310;
            } else {
                Fail();
            }
        });
        break;
    case 310:
        // Every position of the table is cleared, the last one included.
        if (Index_RadioCrafts_Erase_Position >= RadioCrafts_Table_Size) {
            Step_Scan = 318;
        } else {
            Radio_Send({0x42}, 1000);
            Step_Scan = 311;
        }
        break;
    case 311: wait_prompt(313); break;
    case 313:
        if (Index_RadioCrafts_Erase_Position >= RadioCrafts_Table_Size) {
            Step_Scan = 318;
        } else {
            ++Index_RadioCrafts_Erase_Position;
            Step_Scan = 314;
        }
        break;
    case 314:
        Radio_Send({static_cast<uint8_t>(Index_RadioCrafts_Erase_Position)}, 100);
        Step_Scan = 315;
        break;
    case 315: wait_any(316); break;
    case 316: Build_RadioCrafts_Clear_Address(); Radio_Send_Req(1000); Step_Scan = 317; break;
    case 317: wait_first_prompt(310); break;
    case 318: Radio_Send({0x58}, 1000); Step_Scan = 319; break;
    case 319: Back_To_Listening(RadioCrafts_Listen); break;

    // ---- RadioCrafts key load
    case 400:
        Wireless_Receive_Message = false;
        Radio_Send({0x00}, 1000);
        Step_Scan = 401;
        break;
    case 401: wait_prompt(402); break;
    case 402: Radio_Send({0x42}, 1000); Step_Scan = 403; break;
    case 403: wait_prompt(404); break;
    case 404:
    case 410:
    case 416: {
        int p = 0;
        {
            auto guard = Wireless_List().Lock();
            if (const TSlave_wMBus* m = Wireless_List().Items(Wireless_Key_Index))
                p = m->RadioCrafts_Ind_Tab_Decript;
        }
        Radio_Send({static_cast<uint8_t>(p)}, 100);
        Step_Scan = state + 1;
        break;
    }
    case 405: wait_any(406); break;
    case 406: Build_RadioCrafts_Address(); Radio_Send_Req(1000); Step_Scan = 407; break;
    case 407: wait_first_prompt(408); break;
    case 408: Radio_Send({0x4B}, 1000); Step_Scan = 409; break;
    case 409: wait_prompt(410); break;
    case 411: wait_any(412); break;
    case 412: Build_RadioCrafts_Key(); Radio_Send_Req(1000); Step_Scan = 413; break;
    case 413: wait_first_prompt(414); break;
    case 414: Radio_Send({0x41}, 1000); Step_Scan = 415; break;
    case 415: wait_prompt(416); break;
    case 417: wait_any(418); break;
    case 418: Radio_Send({0x00, 0x40}, 1000); Step_Scan = 419; break;
    case 419: wait_prompt(318); break;

    // ---- end
    case 500:
        // Datagrams are answers again, so the closing answer is recognised.
        Wireless_Receive_Message = false;
        m_Key_Load_Running = false;
        m_Key_Queue.clear();
        Count_Disable_Analyzer = 0;
        FAbortScan = false;
        FStopScan = false;
        Step_Scan = 501;
        break;
    case 501:
        if (Select_Hardware == shSerial || Count_Disable_Analyzer >= 3) {
            Step_Scan = 503;
            break;
        }
        ++Count_Disable_Analyzer;
        Telit_Send(QStringLiteral("Rizova_Disable_Configuration_Mode"));
        Step_Scan = 502;
        break;
    case 502: {
        const Answer a = Take_Answer();
        if (Answer_Is(a, Config_Disabled))
            Step_Scan = 503;
        else if (a.Valid || Check_TimeOut())
            Step_Scan = 501;
        break;
    }
    case 503:
        Close_Transport();
        // Written while still in the scan: the window empties the path only
        // between scans.
        if (!SaveXMLFile.isEmpty())
            Save_Wireless_XML_File_DLL(Wireless_List(), SaveXMLFile);
        FInScan = false;
        break;
    default:
        Fail();
        break;
    }
}

#include "mbus/UMBusScanDecode_Worker.h"
#include "mbus/UScanDecode_Export.h"

#include <cstring>

// The wired scan: by primary address (0 to 250) or by secondary address
// (depth-first search over the eight digits with wildcards). In every wait
// the answer is looked at before the time-out: an answer that made it in
// time is never thrown away because the step came late.

namespace {

constexpr int K330 = 330000;
constexpr int K3245 = 3245000;
constexpr uint8_t Select_Address = 0xFD;
constexpr uint8_t Broadcast = 0xFF;

const char* const Analyzer_Enabled = "\n\rAnalyzer_Mode Enabled!\n\r";
const char* const Analyzer_Disabled = "\n\rAnalyzer_Mode Disabled!\n\r";
const char* const Setup_Done = "\n\rDone!";
const char* const No_Slave = "NO_SLAVE\n\r";

} // namespace

bool TMBusScanDecode::Is_Long_Frame(const Answer& A) const
{
    // Any layout, however short: a meter that answers with a frame that is
    // not decoded (another layout, an application error) is still found, and
    // kept with what its frame says.
    const int n = static_cast<int>(A.Bytes.size());
    return A.Valid && Is_Valid_Long_Frame(A.Bytes.data(), n);
}

bool TMBusScanDecode::Is_Repeat(const Answer& A) const
{
    // The same telegram again: reading it twice would double the meter's
    // records.
    return !m_Last_Frame.empty() && A.Bytes == m_Last_Frame;
}

bool TMBusScanDecode::Repeat_Ends_Read(const Answer& A) const
{
    // With a fixed C-field the frame count bit never changes, so a meter that
    // keeps the frame-count rule answers every further request with the
    // telegram it already sent: it has nothing else to give, and the read is
    // complete. With the toggling bit a repeat is a duplicated or late
    // datagram, and the real answer is still to come.
    return Fix_C_Field && Is_Long_Frame(A) && Is_Repeat(A);
}

int TMBusScanDecode::Decode_Answer_Frame(const Answer& A, bool& Read_Complete)
{
    bool last = true;
    int position;
    {
        // The decoder reads Ans_Array: put this answer there, and whatever
        // arrived meanwhile back afterwards.
        std::lock_guard<std::mutex> lock(m_Answer_Lock);
        std::vector<uint8_t> pending;
        if (Answer_Arrived)
            pending.assign(Ans_Array, Ans_Array + Ans_Len);
        Set_Answer(A.Bytes.data(), A.Bytes.size());
        position = Decode_Wired_Frame(Num_Frame_Read == 0 ? -1 : Index_Device, last);
        if (Answer_Arrived)
            Set_Answer(pending.data(), pending.size());
    }
    if (position >= 0)
        Index_Device = position;
    m_Last_Frame = A.Bytes;
    ++Num_Frame_Read;
    Read_Complete = last || Num_Frame_Read >= Cut_After;
    return position;
}

int32_t TMBusScanDecode::Last_Meter_Number() const
{
    auto guard = Wired_List().Lock();
    const int n = Wired_List().Count();
    if (n == 0)
        return 0;
    bool ok = false;
    const uint32_t v = Wired_List().Items(n - 1)->Secondary_Addresss.toUInt(&ok, 16);
    return ok ? static_cast<int32_t>(v) : 0;
}

void TMBusScanDecode::Digit_State(int k)
{
    int* digits[8] = {&Index_A, &Index_B, &Index_C, &Index_D, &Index_E, &Index_F, &Index_G, &Index_H};
    if (FStopScan) {
        Step_Scan = 200;
        return;
    }
    *digits[k] += 1;
    for (int j = k + 1; j < 8; ++j)
        *digits[j] = -1;
    if (*digits[k] > 9) {
        if (k == 0) {
            Type_To_Send_In_Last_Step = 2;
            Enable_Send_In_Last_Step = true;
            Step_Scan = 200;
        } else {
            Step_Scan = 108 + 2 * (k - 1);
        }
        return;
    }
    if (!Pause(800))
        return;
    Build_Select_Secondary();
    Send_Command(Wired_Port);
    Step_Scan = 109 + 2 * k;
}

void TMBusScanDecode::Digit_Wait(int k)
{
    const int digitState = 108 + 2 * k;
    const Answer a = Take_Answer();
    if (a.Valid) {
        if (a.Bytes.size() == 1 && a.Bytes[0] == 0xE5) {
            // Exactly one meter matches: read it, then the next value.
            Num_Frame_Read = 0;
            m_Last_Frame.clear();
            Sec_Add_Next_Step = digitState;
            Step_Scan = 124;
        } else if (k < 7 && !Answer_Is(a, No_Slave)) {
            // Several meters answered at once: one digit deeper.
            Step_Scan = digitState + 2;
        } else {
            Step_Scan = digitState;
        }
        return;
    }
    if (Check_TimeOut())
        Step_Scan = digitState;
}

void TMBusScanDecode::Scan_Decode()
{
    if (FAbortScan) {
        if (Step_Scan < 200)
            Step_Scan = 200;
        else if (Step_Scan != 200)
            FAbortScan = false;
    }
    const bool serial = Select_Hardware == shSerial;
    const bool secondary = ScanType == saSecondaryAddress;
    const int state = Step_Scan;

    switch (state) {
    case 0:
        Enable_Send_In_Last_Step = false;
        FResult = 1;
        if (serial) {
            Step_Scan = secondary ? 100 : 2;
            break;
        }
        TimeOut_Calc = Add_TimeOut + 1000;
        Send_Command(QStringLiteral("Rizova_Enable_Analyzer_Mode"), Wired_Port);
        Step_Scan = 1;
        break;
    case 1: {
        const Answer a = Take_Answer();
        if (Answer_Is(a, Analyzer_Enabled)) {
            ID_Dev_Primary = -1;
            Step_Scan = 300;
        } else if (a.Valid || Check_TimeOut()) {
            FResult = 2;
            Step_Scan = 200;
        }
        break;
    }
    case 300:
        FResult = 1;
        if (serial) {
            Step_Scan = secondary ? 100 : 2;
            break;
        }
        Build_Serial_Setup();
        TimeOut_Calc = Add_TimeOut + 1000;
        Send_Command(Wired_Port);
        Step_Scan = 301;
        break;
    case 301: {
        const Answer a = Take_Answer();
        if (Answer_Is(a, Setup_Done)) {
            Step_Scan = secondary ? 100 : 2;
        } else if (a.Valid || Check_TimeOut()) {
            FResult = 2;
            Step_Scan = 200;
        }
        break;
    }

    // ---- primary address
    case 2:
        TimeOut_Calc = MBus_TimeOut(K330);
        ID_Dev_Primary = -1;
        Notify_Slave_List(1, 0, 0, 1);
        if (!Pause(500))
            break;
        Build_SND_NKE(Broadcast);
        Send_Command(Wired_Port);
        Step_Scan = 3;
        break;
    case 3:
        if (Take_Answer().Valid || Check_TimeOut())
            Step_Scan = 4;
        break;
    case 4:
        TimeOut_Calc = MBus_TimeOut(K330);
        Num_Frame_Read = 0;
        m_Last_Frame.clear();
        ++ID_Dev_Primary;
        if (ID_Dev_Primary > Last_Primary || FStopScan) {
            Type_To_Send_In_Last_Step = 1;
            Enable_Send_In_Last_Step = true;
            FResult = 1;
            Step_Scan = 200;
        } else {
            Step_Scan = App_Reset ? 5 : SND_NKE ? 7 : 9;
        }
        break;
    case 5:
        if (!Pause(500))
            break;
        Build_App_Reset(static_cast<uint8_t>(ID_Dev_Primary));
        Send_Command(Wired_Port);
        Step_Scan = 6;
        break;
    case 6:
    case 8: {
        const Answer a = Take_Answer();
        const bool e5 = a.Valid && a.Bytes.size() == 1 && a.Bytes[0] == 0xE5;
        if (e5 || Check_TimeOut())
            Step_Scan = (state == 6 && SND_NKE) ? 7 : 9;
        break;
    }
    case 7:
        if (!Pause(500))
            break;
        Build_SND_NKE(static_cast<uint8_t>(ID_Dev_Primary));
        Send_Command(Wired_Port);
        Step_Scan = 8;
        break;
    case 9:
        TimeOut_Calc = MBus_TimeOut(K3245);
        if (!Pause(500))
            break;
        Build_REQ_UD2(static_cast<uint8_t>(ID_Dev_Primary), Num_Frame_Read);
        Send_Command(Wired_Port);
        Step_Scan = 10;
        break;
    case 10: {
        ID_Dev_Found = false;
        const Answer a = Take_Answer();
        if (a.Valid) {
            // Not answers of this meter to this request: a telegram of
            // another address (a late one), the one already read again, or
            // an acknowledgement that came late. Keep waiting.
            const bool stray = (Is_Long_Frame(a) && (a.Bytes[5] != ID_Dev_Primary || Is_Repeat(a)))
                               || (a.Bytes.size() == 1 && a.Bytes[0] == 0xE5);
            if (Repeat_Ends_Read(a) && a.Bytes[5] == ID_Dev_Primary) {
                ID_Dev_Found = true;
                Notify_Slave_List(2, ID_Dev_Primary, 1, 1);
                Step_Scan = 4;
                break;
            }
            if (!stray) {
                bool complete = false;
                if (Is_Long_Frame(a) && Decode_Answer_Frame(a, complete) >= 0) {
                    if (complete) {
                        ID_Dev_Found = true;
                        Notify_Slave_List(2, ID_Dev_Primary, 1, 1);
                        Step_Scan = 4;
                    } else {
                        Step_Scan = 9;
                    }
                } else {
                    Notify_Slave_List(2, ID_Dev_Primary, 0, 1);
                    Step_Scan = 4;
                }
                break;
            }
        }
        if (Check_TimeOut()) {
            Notify_Slave_List(2, ID_Dev_Primary, 0, 1);
            Step_Scan = 4;
        }
        break;
    }

    // ---- secondary address
    case 100:
        TimeOut_Calc = MBus_TimeOut(K330);
        Notify_Slave_List(1, 0, 0, 2);
        Step_Scan = SND_NKE ? 101 : App_Reset ? 103 : 105;
        break;
    case 101:
    case 103:
    case 105:
        if (!Pause(800))
            break;
        if (state == 101)
            Build_SND_NKE(Select_Address);
        else if (state == 103)
            Build_App_Reset(Broadcast);
        else
            Build_SND_NKE(Broadcast);
        Send_Command(Wired_Port);
        Step_Scan = state + 1;
        break;
    case 102:
    case 104: {
        const Answer a = Take_Answer();
        const bool e5 = a.Valid && a.Bytes.size() == 1 && a.Bytes[0] == 0xE5;
        if (e5 || Check_TimeOut())
            Step_Scan = (state == 102 && App_Reset) ? 103 : 105;
        break;
    }
    case 106:
        if (Take_Answer().Valid || Check_TimeOut())
            Step_Scan = 107;
        break;
    case 107:
        Index_A = Index_B = Index_C = Index_D = Index_E = Index_F = Index_G = Index_H = -1;
        Step_Scan = 108;
        break;
    case 108: case 110: case 112: case 114: case 116: case 118: case 120: case 122:
        Digit_State((state - 108) / 2);
        break;
    case 109: case 111: case 113: case 115: case 117: case 119: case 121: case 123:
        Digit_Wait((state - 109) / 2);
        break;
    case 124:
        TimeOut_Calc = MBus_TimeOut(K3245);
        if (!Pause(800))
            break;
        Build_REQ_UD2(Select_Address, Num_Frame_Read);
        Send_Command(Wired_Port);
        Step_Scan = 125;
        break;
    case 125: {
        ID_Dev_Found = false;
        const Answer a = Take_Answer();
        auto readComplete = [&] {
            TimeOut_Calc = MBus_TimeOut(K330);
            ID_Dev_Found = true;
            Notify_Slave_List(2, Last_Meter_Number(), 1, 2);
            Step_Scan = Sec_Add_Next_Step;
        };
        if (a.Valid && Repeat_Ends_Read(a)) {
            readComplete();
            break;
        }
        if (a.Valid && !(Is_Long_Frame(a) && Is_Repeat(a)) && !(a.Bytes.size() == 1 && a.Bytes[0] == 0xE5)) {
            bool complete = false;
            if (Is_Long_Frame(a) && Decode_Answer_Frame(a, complete) >= 0) {
                if (complete) {
                    readComplete();
                } else {
                    Step_Scan = 124;
                }
            } else {
                TimeOut_Calc = MBus_TimeOut(K330);
                Step_Scan = Sec_Add_Next_Step;
            }
            break;
        }
        if (Check_TimeOut()) {
            TimeOut_Calc = MBus_TimeOut(K330);
            Step_Scan = Sec_Add_Next_Step;
        }
        break;
    }

    // ---- end
    case 200:
        Count_Disable_Analyzer = 0;
        FAbortScan = false;
        Step_Scan = 201;
        break;
    case 201:
        if (serial || Count_Disable_Analyzer >= 3) {
            Step_Scan = 203;
            break;
        }
        ++Count_Disable_Analyzer;
        TimeOut_Calc = Add_TimeOut + 1000;
        Send_Command(QStringLiteral("Rizova_Disable_Analyzer_Mode"), Wired_Port);
        Step_Scan = 202;
        break;
    case 202: {
        const Answer a = Take_Answer();
        if (Answer_Is(a, Analyzer_Disabled))
            Step_Scan = 203;
        else if (a.Valid || Check_TimeOut())
            Step_Scan = 201;
        break;
    }
    case 203:
        if (!FInScan)
            break;
        Close_Transport();
        // Written while still in the scan: the window empties the path only
        // between scans.
        if (!SaveXMLFile.isEmpty())
            Save_XML_File_DLL(Wired_List(), SaveXMLFile);
        FInScan = false;
        if (Enable_Send_In_Last_Step)
            Notify_Slave_List(3, 0, 0, static_cast<int32_t>(Type_To_Send_In_Last_Step));
        break;
    default:
        // A state no table has: end the scan the usual way.
        Step_Scan = 200;
        break;
    }
}

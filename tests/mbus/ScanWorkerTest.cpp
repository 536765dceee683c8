// The scan worker against a fake converter on 127.0.0.1, with a virtual
// clock: every pause and pass advances the clock, and a sleep returns once
// the exchange in flight has settled, so a whole scan runs in moments.

#include "FakeConverter.h"
#include "MBusTestHelpers.h"
#include "mbus/UMBusScanDecode_Worker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

using namespace mbustest;
using Bytes = std::vector<uint8_t>;

namespace {

const Bytes E5 = {0xE5};
Bytes Text(const char* t) { return Bytes(t, t + std::strlen(t)); }
const Bytes No_Slave = Text("NO_SLAVE\n\r");

struct Report {
    int type, id, found, kind;
    bool operator==(const Report&) const = default;
};

// A meter's telegram: identification, and more records to follow or not.
Bytes Meter_Frame(uint8_t address, uint32_t id, bool more, uint8_t access = 0x55)
{
    Bytes header = {static_cast<uint8_t>(((id % 100) / 10) << 4 | (id % 10)),
                    static_cast<uint8_t>(((id / 1000) % 10) << 4 | ((id / 100) % 10)),
                    static_cast<uint8_t>(((id / 100000) % 10) << 4 | ((id / 10000) % 10)),
                    static_cast<uint8_t>(((id / 10000000) % 10) << 4 | ((id / 1000000) % 10)),
                    0x24, 0x40, 0x01, 0x07, access, 0x00, 0x00, 0x00};
    Bytes records = Hex("04 13 39 30 00 00");   // volume 12345 l
    if (more)
        records.push_back(0x1F);
    return Long_Frame(header, records, address);
}

class ScanWorkerTest : public ::testing::Test {
protected:
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    FakeConverter fake;
    std::atomic<uint32_t> now{1000};
    std::unique_ptr<TMBusScanDecode> w;
    std::vector<Report> reports;

    void SetUp() override
    {
        TScanTiming t;
        t.Tick = [this] { return now.load(); };
        t.Sleep = [this](uint32_t ms) {
            now += ms;
            Settle();
        };
        w = std::make_unique<TMBusScanDecode>(false, t, wired, wireless);
        w->Converter_Port_Override = fake.Port();
    }

    // Until the converter has had every request and we every answer.
    void Settle()
    {
        fake.Settle(*w);
    }

    TUpdate_Slave_List Recorder()
    {
        return [this](int32_t a, int32_t b, int32_t c, int32_t d) { reports.push_back({a, b, c, d}); };
    }

    bool Start_Wired(TScanType type, int cut = 3, bool appReset = false, bool sndNke = false, bool fixC = false,
                     uint8_t fixCValue = 0)
    {
        return w->Start_Scan(type, shEthernet, QStringLiteral("127.0.0.1"), 2400, 1, appReset, sndNke, cut, fixC,
                             fixCValue, false, Recorder());
    }

    void Run(int maxPasses = 200000)
    {
        for (int i = 0; i < maxPasses && w->FInScan; ++i)
            w->Run_Pass();
    }

    // The converter's side of a wired scan: mode texts and the line set-up.
    static bool Converter_Command(const Bytes& req, std::vector<Bytes>& out)
    {
        const std::string t(req.begin(), req.end());
        if (t == "Rizova_Enable_Analyzer_Mode")
            out = {Text("\n\rAnalyzer_Mode Enabled!\n\r")};
        else if (t.rfind("Rizova_S_M:", 0) == 0)
            out = {Text("\n\rDone!")};
        else if (t == "Rizova_Disable_Analyzer_Mode")
            out = {Text("\n\rAnalyzer_Mode Disabled!\n\r")};
        else
            return false;
        return true;
    }

    std::vector<Report> Found() const
    {
        std::vector<Report> out;
        for (const Report& r : reports)
            if (r.type == 2 && r.found == 1)
                out.push_back(r);
        return out;
    }
};

TEST_F(ScanWorkerTest, PrimaryScanFindsMetersAndReportsTheRestNotFound)
{
    // Meters at 3 and 17; address 40 is silent (time-out), the rest NO_SLAVE.
    fake.Answer = [](const Bytes& req) {
        std::vector<Bytes> out;
        if (Converter_Command(req, out))
            return out;
        if (req.size() == 5 && req[0] == 0x10 && (req[1] & 0xDF) == 0x5B) {
            if (req[2] == 3) return std::vector<Bytes>{Meter_Frame(3, 11111111, false)};
            if (req[2] == 17) return std::vector<Bytes>{Meter_Frame(17, 22222222, false)};
            if (req[2] == 40) return std::vector<Bytes>{};
        }
        if (req.size() == 5 && req[1] == 0x40)
            return std::vector<Bytes>{};   // SND_NKE to 255: no answer
        return std::vector<Bytes>{No_Slave};
    };
    ASSERT_TRUE(Start_Wired(saPrimaryAddress));
    EXPECT_FALSE(Start_Wired(saPrimaryAddress)) << "a second start while scanning";
    Run();
    ASSERT_FALSE(w->FInScan);
    EXPECT_EQ(w->FResult, 1);
    EXPECT_FALSE(w->Endpoint_Open());

    ASSERT_EQ(reports.size(), 1u + 251u + 1u);
    EXPECT_EQ(reports.front(), (Report{1, 0, 0, 1}));
    EXPECT_EQ(reports.back(), (Report{3, 0, 0, 1}));
    for (int a = 0; a <= 250; ++a)
        EXPECT_EQ(reports[size_t(a) + 1], (Report{2, a, (a == 3 || a == 17) ? 1 : 0, 1})) << a;
    ASSERT_EQ(wired.Count(), 2);
    EXPECT_EQ(wired.Items(0)->Primary_Addresss, 3);
    EXPECT_EQ(wired.Items(0)->Secondary_Addresss, QStringLiteral("11111111"));
    EXPECT_EQ(wired.Items(1)->Secondary_Addresss, QStringLiteral("22222222"));

    // The exact bytes: mode text, line set-up (2400 baud, EVEN), closing text.
    const auto texts = fake.Texts();
    EXPECT_EQ(texts.front(), "Rizova_Enable_Analyzer_Mode");
    EXPECT_EQ(fake.Requests()[1], Cat({Text("Rizova_S_M:"), Hex("00 00 09 60 2C 02")}));
    EXPECT_EQ(fake.Requests()[2], Hex("10 40 FF 3F 16"));
    EXPECT_EQ(texts.back(), "Rizova_Disable_Analyzer_Mode");
    EXPECT_EQ(w->Last_Send_Port, TMBusScanDecode::Wired_Port);
}

TEST_F(ScanWorkerTest, MultiTelegramMeterIsReadUpToItsLimitWithAlternatingCFields)
{
    std::vector<Bytes> requests;
    uint8_t access = 0;
    fake.Answer = [&](const Bytes& req) {
        std::vector<Bytes> out;
        if (Converter_Command(req, out))
            return out;
        if (req.size() == 5 && req[2] == 5 && (req[1] & 0xDF) == 0x5B) {
            requests.push_back(req);
            return std::vector<Bytes>{Meter_Frame(5, 55555555, true, ++access)};
        }
        return std::vector<Bytes>{No_Slave};
    };
    ASSERT_TRUE(Start_Wired(saPrimaryAddress, 3));
    Run();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0], Hex("10 7B 05 80 16"));
    EXPECT_EQ(requests[1], Hex("10 5B 05 60 16"));
    EXPECT_EQ(requests[2], Hex("10 7B 05 80 16"));
    ASSERT_EQ(wired.Count(), 1);
    EXPECT_EQ(wired.Items(0)->List_Var.size(), 3u) << "one record per telegram, one meter";
    EXPECT_EQ(Found(), (std::vector<Report>{{2, 5, 1, 1}}));
}

// A meter that keeps the frame-count rule: it sends its next telegram only
// when the frame count bit differs from that of the request it last answered,
// and otherwise repeats that answer. Under a fixed C-field the bit never
// changes, so its first telegram (announcing more) comes back as the answer
// to the second request: the read is complete, the meter found, and its
// telegram decoded once.
TEST_F(ScanWorkerTest, MeterKeepingTheFrameCountRuleIsFoundUnderAFixedCField)
{
    const uint32_t id = 55555555;
    const std::vector<Bytes> telegrams = {Meter_Frame(5, id, true, 1), Meter_Frame(5, id, false, 2)};
    struct Case {
        const char* why;
        TScanType type;
        bool fix;
        uint8_t fixValue;
        Bytes cFields;   // of the REQ_UD2s the meter answered
        size_t records;
        Report found;
    } cases[] = {
        {"toggling bit: both telegrams", saPrimaryAddress, false, 0, {0x7B, 0x5B}, 2, {2, 5, 1, 1}},
        {"fixed 7X: the repeat ends the read", saPrimaryAddress, true, 1, {0x7B, 0x7B}, 1, {2, 5, 1, 1}},
        {"fixed 5X", saPrimaryAddress, true, 0, {0x5B, 0x5B}, 1, {2, 5, 1, 1}},
        {"fixed 7X, secondary search", saSecondaryAddress, true, 1, {0x7B, 0x7B}, 1, {2, 0x55555555, 1, 2}},
        {"toggling bit, secondary search", saSecondaryAddress, false, 0, {0x7B, 0x5B}, 2, {2, 0x55555555, 1, 2}},
    };
    for (const Case& c : cases) {
        wired.Clear();
        reports.clear();
        Bytes cFields;
        int lastBit = -1;   // none since the last SND_NKE
        size_t next = 0;
        bool selected = false;
        fake.Answer = [&](const Bytes& req) {
            std::vector<Bytes> out;
            if (Converter_Command(req, out))
                return out;
            if (req.size() == 5 && req[1] == 0x40) {
                lastBit = -1;
                return std::vector<Bytes>{};
            }
            if (req.size() == 17 && req[6] == 0x52) {
                // Selection: the first digit decides (5 or the wildcard).
                const int a = req[10] >> 4;
                selected = a == 5 || a == 0xF;
                return std::vector<Bytes>{selected ? E5 : No_Slave};
            }
            const bool toMeter = req.size() == 5 && (req[1] & 0xDF) == 0x5B
                                 && (req[2] == 5 || (req[2] == 0xFD && selected));
            if (!toMeter)
                return std::vector<Bytes>{No_Slave};
            cFields.push_back(req[1]);
            const int bit = req[1] & 0x20;
            size_t answer = next == 0 ? 0 : next - 1;
            if (lastBit < 0 || bit != lastBit) {
                answer = std::min(next, telegrams.size() - 1);
                next = answer + 1;
            }
            lastBit = bit;
            return std::vector<Bytes>{telegrams[answer]};
        };
        ASSERT_TRUE(Start_Wired(c.type, 3, false, false, c.fix, c.fixValue)) << c.why;
        Run();
        ASSERT_FALSE(w->FInScan) << c.why;
        EXPECT_EQ(cFields, c.cFields) << c.why;
        EXPECT_EQ(Found(), (std::vector<Report>{c.found})) << c.why;
        if (c.type == saPrimaryAddress) {
            ASSERT_GT(reports.size(), 6u) << c.why;
            EXPECT_EQ(reports[6], c.found) << c.why << ": no [NOT FOUND] for the address";
        }
        ASSERT_EQ(wired.Count(), 1) << c.why;
        EXPECT_EQ(wired.Items(0)->List_Var.size(), c.records) << c.why;
    }
}

// A meter that answers with a valid frame in a layout that is not decoded is
// found and kept with what its frame says, however short the frame.
TEST_F(ScanWorkerTest, MetersAnsweringInOtherLayoutsAreFoundWhateverTheFrameLength)
{
    const struct Meter {
        uint8_t address;
        Bytes frame;
        const char* secondary;
        const char* description;
    } meters[] = {
        {7, Long_Frame(Hex("0C 13 78 56 34 12"), {}, 7, 0x78), "", "Data not decoded: unsupported layout (CI $78)"},
        {8, Long_Frame(Hex("00"), {}, 8, 0x70), "", "Data not decoded: application error (CI $70)"},
        {9, Long_Frame(Hex("78 56 34 12 24 40"), {}, 9, 0x72), "12345678",
         "Data not decoded: data header cut short (CI $72)"},
        {10, Long_Frame(Hex("55 00 00 00 0C 13 78 56 34 12 04 6D 3B 17 BF 2C"), {}, 10, 0x7A), "",
         "Data not decoded: unsupported layout (CI $7A)"},
    };
    ASSERT_LT(meters[0].frame.size(), 21u);
    ASSERT_LT(meters[1].frame.size(), 21u);
    ASSERT_LT(meters[2].frame.size(), 21u);
    ASSERT_GT(meters[3].frame.size(), 21u);
    fake.Answer = [&](const Bytes& req) {
        std::vector<Bytes> out;
        if (Converter_Command(req, out))
            return out;
        if (req.size() == 5 && (req[1] & 0xDF) == 0x5B)
            for (const Meter& m : meters)
                if (req[2] == m.address)
                    return std::vector<Bytes>{m.frame};
        if (req.size() == 5 && req[1] == 0x40)
            return std::vector<Bytes>{};
        return std::vector<Bytes>{No_Slave};
    };
    ASSERT_TRUE(Start_Wired(saPrimaryAddress));
    Run();
    ASSERT_FALSE(w->FInScan);
    EXPECT_EQ(Found(), (std::vector<Report>{{2, 7, 1, 1}, {2, 8, 1, 1}, {2, 9, 1, 1}, {2, 10, 1, 1}}));
    ASSERT_EQ(wired.Count(), 4);
    for (int i = 0; i < 4; ++i) {
        const TSlave_MBus& m = *wired.Items(i);
        EXPECT_EQ(m.Primary_Addresss, meters[i].address);
        EXPECT_EQ(m.Secondary_Addresss, QString::fromLatin1(meters[i].secondary)) << int(meters[i].address);
        EXPECT_EQ(m.description, QString::fromLatin1(meters[i].description)) << int(meters[i].address);
        EXPECT_TRUE(m.List_Var.empty()) << int(meters[i].address);
    }
}

TEST_F(ScanWorkerTest, SecondaryWildcardSearchSeparatesMetersSharingDigits)
{
    // 12345678 and 12349999 share the first four digits: the selections
    // with A=1, then B=2, C=3, D=4 collide; E=5 and E=9 each find one.
    const std::vector<uint32_t> ids = {12345678, 12349999};
    int collisions = 0;
    int selections = 0;
    uint32_t selected = 0;
    bool any = false;
    fake.Answer = [&](const Bytes& req) {
        std::vector<Bytes> out;
        if (Converter_Command(req, out))
            return out;
        if (req.size() == 17 && req[5] == 0xFD && req[6] == 0x52) {
            ++selections;
            // The pattern, most significant digit first.
            std::string pat;
            for (int i = 10; i >= 7; --i)
                for (int nib : {req[i] >> 4, req[i] & 0xF})
                    pat += nib == 0xF ? '?' : char('0' + nib);
            std::vector<uint32_t> match;
            for (uint32_t id : ids) {
                char digits[9];
                std::snprintf(digits, sizeof digits, "%08u", id);
                bool ok = true;
                for (int i = 0; i < 8; ++i)
                    ok = ok && (pat[size_t(i)] == '?' || pat[size_t(i)] == digits[i]);
                if (ok)
                    match.push_back(id);
            }
            any = match.size() == 1;
            if (match.empty())
                return std::vector<Bytes>{No_Slave};
            if (match.size() > 1) {
                ++collisions;
                return std::vector<Bytes>{Hex("68 AA")};   // garbled: several answered
            }
            selected = match[0];
            return std::vector<Bytes>{E5};
        }
        if (req.size() == 5 && req[2] == 0xFD && (req[1] & 0xDF) == 0x5B && any)
            return std::vector<Bytes>{Meter_Frame(0, selected, false)};
        return std::vector<Bytes>{};
    };
    ASSERT_TRUE(Start_Wired(saSecondaryAddress));
    Run();
    ASSERT_FALSE(w->FInScan);
    EXPECT_EQ(Found(), (std::vector<Report>{{2, 0x12345678, 1, 2}, {2, 0x12349999, 1, 2}}));
    EXPECT_EQ(reports.front(), (Report{1, 0, 0, 2}));
    EXPECT_EQ(reports.back(), (Report{3, 0, 0, 2}));
    // A: 10 values; B, C, D: 10 each under the collision; E: 10.
    EXPECT_EQ(collisions, 4);
    EXPECT_EQ(selections, 50);
    ASSERT_EQ(wired.Count(), 2);
    // The selection frame: digits as BCD with F wildcards, least significant first.
    const auto reqs = fake.Requests();
    bool seen = false;
    for (const Bytes& r : reqs)
        seen = seen || r == Hex("68 0B 0B 68 73 FD 52 FF FF FF 1F FF FF FF FF DA 16");
    EXPECT_TRUE(seen) << "selection with A=1";
}

TEST_F(ScanWorkerTest, WrongAnswerOrSilenceEndsTheScanWithResultTwo)
{
    struct Case {
        const char* why;
        std::vector<Bytes> answer;
    } cases[] = {
        {"silence", {}},
        {"an extra byte after the confirmation", {Text("\n\rAnalyzer_Mode Enabled!\n\r\r")}},
        {"garbage", {Hex("00 FF 68")}},
    };
    for (const Case& c : cases) {
        reports.clear();
        fake.Answer = [&](const Bytes& req) {
            if (FakeConverter::Text(req) == "Rizova_Enable_Analyzer_Mode")
                return c.answer;
            return std::vector<Bytes>{};
        };
        ASSERT_TRUE(Start_Wired(saPrimaryAddress)) << c.why;
        Run();
        EXPECT_FALSE(w->FInScan) << c.why;
        EXPECT_EQ(w->FResult, 2) << c.why;
        EXPECT_TRUE(reports.empty()) << c.why;
    }
    // The closing command is tried three times when unanswered.
    int closes = 0;
    for (const auto& t : fake.Texts())
        closes += t == "Rizova_Disable_Analyzer_Mode";
    EXPECT_EQ(closes, 9);
}

// A fixture step by step: the worker without the fake's timing, answers put
// straight into the receive handler.
class WorkerStepTest : public ::testing::Test {
protected:
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    uint32_t now = 5000;
    std::vector<Bytes> sent;
    std::vector<Report> reports;
    std::unique_ptr<TMBusScanDecode> w;

    void SetUp() override
    {
        TScanTiming t;
        t.Tick = [this] { return now; };
        t.Sleep = [this](uint32_t ms) { now += ms; };
        w = std::make_unique<TMBusScanDecode>(false, t, wired, wireless);
        w->Send_Hook = [this](const QByteArray& d, uint16_t) { sent.emplace_back(d.begin(), d.end()); };
    }
    void Answer(const Bytes& b)
    {
        w->UDP_Read(QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size())),
                    QStringLiteral("127.0.0.1"));
    }
    void Start_Primary(int cut = 3)
    {
        ASSERT_TRUE(w->Start_Scan(saPrimaryAddress, shEthernet, QStringLiteral("127.0.0.1"), 2400, 1, false, false, cut,
                                  false, 0, false,
                                  [this](int32_t a, int32_t b, int32_t c, int32_t d) { reports.push_back({a, b, c, d}); }));
        w->Step();
        Answer(Text("\n\rAnalyzer_Mode Enabled!\n\r"));
        w->Step();
        w->Step();
        Answer(Text("\n\rDone!"));
        w->Step();
        w->Step();   // SND_NKE to 255
        w->Step();   // time-out or answer
        now += 5000;
        w->Step();
    }
    // Steps until the REQ_UD2 to this address has been sent.
    void Until_Request(int address)
    {
        for (int i = 0; i < 20 && !(w->Step_Scan == 10 && w->ID_Dev_Primary == address); ++i) {
            w->Step();
            if (w->Step_Scan == 10 && w->ID_Dev_Primary < address) {
                Answer(No_Slave);
                w->Step();
            }
        }
        ASSERT_EQ(w->Step_Scan, 10);
        ASSERT_EQ(w->ID_Dev_Primary, address);
    }
};

TEST_F(WorkerStepTest, AnswerArrivingInTheStepOfTheTimeOutWins)
{
    Start_Primary(3);
    Until_Request(0);
    // The telegram (more to follow) and the expiry in the same step.
    Answer(Meter_Frame(0, 77777777, true));
    now += 100000;
    w->Step();
    EXPECT_EQ(w->Step_Scan, 9) << "the meter's next telegram is asked";
    EXPECT_TRUE(reports.size() == 1) << "no [NOT FOUND] for address 0";
    w->Step();
    Answer(Meter_Frame(0, 77777777, false, 0x56));
    w->Step();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), (Report{2, 0, 1, 1}));
    EXPECT_EQ(wired.Count(), 1);
}

TEST_F(WorkerStepTest, StrayFramesAreNotTakenForTheAskedMeter)
{
    Start_Primary(3);
    Until_Request(0);
    const Bytes first = Meter_Frame(0, 77777777, true);
    Answer(first);
    w->Step();
    w->Step();   // second REQ_UD2 sent
    ASSERT_EQ(w->Step_Scan, 10);
    // Duplicate of the first telegram, a frame of another address, a late E5:
    // none of them is the answer.
    for (const Bytes& stray : {first, Meter_Frame(9, 99999999, false), E5}) {
        Answer(stray);
        w->Step();
        EXPECT_EQ(w->Step_Scan, 10);
    }
    EXPECT_EQ(wired.Count(), 1);
    EXPECT_EQ(wired.Items(0)->List_Var.size(), 1u);
    // Silence: not found, the first telegram stays.
    now += 100000;
    w->Step();
    EXPECT_EQ(reports.back(), (Report{2, 0, 0, 1}));
    // Garbage and a datagram from another host.
    w->Step();
    w->Step();
    ASSERT_EQ(w->ID_Dev_Primary, 1);
    w->UDP_Read(QByteArray::fromHex("6808086872"), QStringLiteral("127.0.0.1"));
    w->UDP_Read(QByteArray(reinterpret_cast<const char*>(Meter_Frame(1, 1, false).data()), 35), QStringLiteral("10.1.2.3"));
    while (w->Step_Scan != 4 && w->Step_Scan != 5 && w->Step_Scan != 9)
        w->Step();
    EXPECT_EQ(reports.back(), (Report{2, 1, 0, 1}));
    EXPECT_EQ(wired.Count(), 1);
}

TEST_F(WorkerStepTest, FrameBuildersAndTimeOutRule)
{
    struct Row {
        const char* why;
        std::function<void(TMBusScanDecode&)> build;
        Bytes expected;
    } rows[] = {
        {"SND_NKE", [](TMBusScanDecode& d) { d.Build_SND_NKE(0x05); }, Hex("10 40 05 45 16")},
        {"REQ_UD2 first", [](TMBusScanDecode& d) { d.Fix_C_Field = false; d.Build_REQ_UD2(1, 0); }, Hex("10 7B 01 7C 16")},
        {"REQ_UD2 fixed 5X", [](TMBusScanDecode& d) { d.Fix_C_Field = true; d.Fix_C_Field_Value = 0; d.Build_REQ_UD2(1, 0); }, Hex("10 5B 01 5C 16")},
        {"app reset fixed 5X", [](TMBusScanDecode& d) { d.Fix_C_Field = true; d.Fix_C_Field_Value = 0; d.Build_App_Reset(2); }, Hex("68 03 03 68 53 02 50 A5 16")},
        {"app reset", [](TMBusScanDecode& d) { d.Fix_C_Field = false; d.Build_App_Reset(2); }, Hex("68 03 03 68 73 02 50 C5 16")},
        {"line set-up ODD 9600", [](TMBusScanDecode& d) { d.Baudrate = 9600; d.Parity = 2; d.Build_Serial_Setup(); },
         Cat({Text("Rizova_S_M:"), Hex("00 00 25 80 2C 01")})},
        {"line set-up NONE", [](TMBusScanDecode& d) { d.Baudrate = 300; d.Parity = 0; d.Build_Serial_Setup(); },
         Cat({Text("Rizova_S_M:"), Hex("00 00 01 2C 2C 00")})},
    };
    for (const Row& r : rows) {
        r.build(*w);
        EXPECT_EQ(w->Req_Array, r.expected) << r.why;
    }
    w->Baudrate = 300;
    EXPECT_EQ(w->MBus_TimeOut(3245000), 11266);
    w->Baudrate = 38400;
    EXPECT_EQ(w->MBus_TimeOut(330000), 458);
    // Wrap: sent 256 ms before the counter wraps, 1000 ms time-out.
    now = 0xFFFFFF00u;
    w->Send_Hook = [](const QByteArray&, uint16_t) {};
    w->Send_Command(QStringLiteral("x"), 1);
    w->TimeOut_Calc = 1000;
    EXPECT_FALSE(w->Check_TimeOut());
    now = 5;
    EXPECT_TRUE(w->Check_TimeOut());
}

} // namespace

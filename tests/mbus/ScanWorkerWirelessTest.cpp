// The wireless scan against a fake converter with either radio module:
// set-up commands, listening, key loads, and the ways a scan ends.

#include "FakeConverter.h"
#include "MBusTestHelpers.h"
#include "mbus/UMBusScanDecode_Worker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace mbustest;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes Text(const char* t) { return Bytes(t, t + std::strlen(t)); }

// A plain telegram (CI 7A, no encryption) of meter 12345678, PAD, water.
Bytes Plain_Telegram(TRadioModule m, uint32_t id = 0x12345678)
{
    Bytes f = Cat({Hex("00 44 24 40"), Bytes{uint8_t(id), uint8_t(id >> 8), uint8_t(id >> 16), uint8_t(id >> 24)},
                   Hex("01 07 7A 01 00 00 00 04 13 39 30 00 00")});
    return Datagram(f, m);
}

class WirelessScanTest : public ::testing::Test {
protected:
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    FakeConverter fake;
    std::atomic<uint32_t> now{1000};
    std::unique_ptr<TMBusScanDecode> w;
    uint16_t port = FakeConverter::Free_Port();
    TRadioModule module = rmTelit;
    bool answer_disable = true;
    std::atomic<int> heard{0};

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
        // The converter: mode texts, module type, OK to every AT command,
        // prompts and the memory dump of the RadioCrafts module.
        fake.Answer = [this](const Bytes& req) -> std::vector<Bytes> {
            const std::string t(req.begin(), req.end());
            if (t == "Rizova_Enable_Configuration_Mode")
                return {Text("\n\rConfiguration_Mode Enabled!\n\r")};
            if (t == "Rizova_Type_Radio_Module")
                return {Text(module == rmTelit ? "\n\rTELIT\n\r" : "\n\rRADIOCRAFTS\n\r")};
            if (t == "Rizova_Disable_Configuration_Mode")
                return answer_disable ? std::vector<Bytes>{Text("\n\rConfiguration_Mode Disabled!\n\r")}
                                      : std::vector<Bytes>{};
            if (module == rmTelit)
                return {Text("OK\r")};
            if (req == Bytes{0x30}) {
                Bytes dump(256, 0x11);
                dump.push_back('>');
                return {dump};
            }
            if (req == Bytes{0x58})
                return {};
            return {Bytes{'>'}};
        };
    }

    void Settle()
    {
        fake.Settle(*w);
    }

    bool Start(int mode = 5, int channel = 2)
    {
        return w->Start_Scan_Wireless(shEthernet, QStringLiteral("127.0.0.1"), port, mode, channel, false,
                                      [this](int, TSlave_wMBus*) { ++heard; }, false);
    }
    int Listen_State() const { return module == rmTelit ? 134 : 320; }
    void Run_Until_Listening(int max = 2000)
    {
        for (int i = 0; i < max && w->FInScan && w->Step_Scan != Listen_State(); ++i)
            w->Run_Pass();
    }
    void Run(int max = 5000)
    {
        for (int i = 0; i < max && w->FInScan; ++i)
            w->Run_Pass();
    }
    void Hear(const Bytes& d)
    {
        fake.Send(d, port);
        Settle();
    }
    std::vector<std::string> Texts_From(size_t first) const
    {
        auto t = fake.Texts();
        return std::vector<std::string>(t.begin() + long(first), t.end());
    }
};

TEST_F(WirelessScanTest, TelitSetUpKeyLoadAndStopWithExactCommands)
{
    ASSERT_TRUE(Start(5, 2));
    Run_Until_Listening();
    ASSERT_EQ(w->Step_Scan, 134);
    EXPECT_EQ(fake.Texts(), (std::vector<std::string>{
        "Rizova_Enable_Configuration_Mode", "Rizova_Type_Radio_Module", "+++", "ATR\r", "ATS400=5\r", "ATS401=0\r",
        "ATS402=191\r", "ATS420=2\r", "ATS421=0\r", "ATS422=3\r", "ATS430=5\r", "ATS431=5\r", "ATS440=0\r",
        "ATS441=0\r", "ATS442=0\r", "ATS452=0\r", "ATS453=0\r", "ATS454=0\r", "ATO\r"}));
    EXPECT_EQ(w->Last_Send_Port, port) << "commands go to the typed port";

    // Heard and decoded on the receive thread; a wrong length is dropped.
    Hear(Plain_Telegram(rmTelit));
    Bytes bad = Plain_Telegram(rmTelit);
    bad.push_back(0);
    Hear(bad);
    ASSERT_EQ(wireless.Count(), 1);
    EXPECT_EQ(heard, 1);
    EXPECT_FALSE(wireless.Items(0)->Cripted);
    EXPECT_EQ(wireless.Items(0)->List_Var.size(), 1u);

    std::array<uint8_t, 16> key{};
    for (int i = 0; i < 16; ++i)
        key[size_t(i)] = uint8_t(0xA0 + i);
    const size_t before = fake.Requests().size();
    ASSERT_TRUE(w->Insert_Wireless_Key(0, key));
    Run_Until_Listening();
    std::vector<std::string> expected = {"+++", "ATS461=36\r", "ATS462=64\r", "ATS463=120\r", "ATS464=86\r",
                                         "ATS465=52\r", "ATS466=18\r", "ATS467=1\r", "ATS468=7\r"};
    for (int i = 0; i < 16; ++i)
        expected.push_back("ATS" + std::to_string(470 + i) + "=" + std::to_string(0xA0 + i) + "\r");
    expected.push_back("ATS460=5\r");
    expected.push_back("ATO\r");
    EXPECT_EQ(Texts_From(before), expected);
    EXPECT_TRUE(wireless.Items(0)->Enable_Key);

    // Stop: the converter's answer to the closing command is recognised at once.
    const size_t beforeStop = fake.Requests().size();
    w->Stop_Scan();
    Run();
    EXPECT_FALSE(w->FInScan);
    EXPECT_EQ(w->FResult, 1);
    EXPECT_EQ(Texts_From(beforeStop), (std::vector<std::string>{"Rizova_Disable_Configuration_Mode"}));
    EXPECT_FALSE(w->Endpoint_Open());
}

TEST_F(WirelessScanTest, ClosingAnswerIsRecognisedAfterListening)
{
    // The mend of state 500: listening is switched off, so the answer is
    // taken as an answer and not as a telegram.
    ASSERT_TRUE(Start(15, 0));
    Run_Until_Listening();
    const auto texts = fake.Texts();
    for (const char* skipped : {"ATS421=0\r", "ATS442=0\r", "ATS454=0\r"})
        EXPECT_EQ(std::count(texts.begin(), texts.end(), skipped), 0) << "N1 skips " << skipped;
    const size_t before = fake.Requests().size();
    w->Abort_Scan();
    Run(50);
    EXPECT_FALSE(w->FInScan);
    EXPECT_EQ(Texts_From(before).size(), 1u);
}

TEST_F(WirelessScanTest, RadioCraftsSetUpClearsEveryKeySlotAndLoadsKeys)
{
    module = rmRadioCrafts;
    ASSERT_TRUE(Start(11, 0));
    Run_Until_Listening(5000);
    ASSERT_EQ(w->Step_Scan, 320);
    const auto reqs = fake.Requests();
    // 0x00, "0", "M", the configuration, 0xFF, then "B", position, 8 zeros per slot.
    EXPECT_EQ(reqs[2], Bytes{0x00});
    EXPECT_EQ(reqs[3], Bytes{0x30});
    EXPECT_EQ(reqs[4], Bytes{0x4D});
    EXPECT_EQ(reqs[5], Hex("03 0A 04 00 05 01 12 01 16 17 3A 01 3D 02 37 01"));
    EXPECT_EQ(reqs[6], Bytes{0xFF});
    std::vector<int> cleared;
    for (size_t i = 7; i + 2 < reqs.size(); ++i)
        if (reqs[i] == Bytes{0x42} && reqs[i + 2] == Bytes(8, 0))
            cleared.push_back(reqs[i + 1][0]);
    ASSERT_EQ(cleared.size(), 64u) << "slots 1 to 64, the last one included";
    EXPECT_EQ(cleared.front(), 1);
    EXPECT_EQ(cleared.back(), 64);
    EXPECT_EQ(reqs.back(), Bytes{0x58});

    Hear(Plain_Telegram(rmRadioCrafts));
    ASSERT_EQ(wireless.Count(), 1);
    std::array<uint8_t, 16> key{};
    key.fill(0x5A);
    const size_t before = fake.Requests().size();
    ASSERT_TRUE(w->Insert_Wireless_Key(0, key));
    EXPECT_EQ(wireless.Items(0)->RadioCrafts_Ind_Tab_Decript, 1);
    Run_Until_Listening();
    const auto load = fake.Requests();
    std::vector<Bytes> got(load.begin() + long(before), load.end());
    const std::vector<Bytes> expected = {Bytes{0x00}, Bytes{0x42}, Bytes{0x01}, Hex("78 56 34 12 24 40 01 07"),
                                         Bytes{0x4B}, Bytes{0x01}, Bytes(16, 0x5A), Bytes{0x41}, Bytes{0x01},
                                         Hex("00 40"), Bytes{0x58}};
    EXPECT_EQ(got, expected);
}

TEST_F(WirelessScanTest, KeySlotsAreGivenOnlyToLoadedKeys)
{
    module = rmRadioCrafts;
    wireless.Add(std::make_unique<TSlave_wMBus>());
    std::array<uint8_t, 16> key{};
    ASSERT_TRUE(Start(5, 0));
    // During the set-up a key is refused and uses no slot.
    for (int i = 0; i < 8; ++i)
        w->Run_Pass();
    ASSERT_NE(w->Step_Scan, 320);
    EXPECT_FALSE(w->Insert_Wireless_Key(0, key));
    EXPECT_EQ(wireless.Items(0)->RadioCrafts_Ind_Tab_Decript, -1);
    Run_Until_Listening(5000);
    ASSERT_EQ(w->Step_Scan, 320);
    EXPECT_EQ(w->Index_RadioCrafts_Position_Used, 1);
    // The table full: refused, no slot.
    w->Index_RadioCrafts_Position_Used = 65;
    EXPECT_FALSE(w->Insert_Wireless_Key(0, key));
    EXPECT_EQ(wireless.Items(0)->RadioCrafts_Ind_Tab_Decript, -1);
    w->Index_RadioCrafts_Position_Used = 64;
    EXPECT_TRUE(w->Insert_Wireless_Key(0, key));
    EXPECT_EQ(wireless.Items(0)->RadioCrafts_Ind_Tab_Decript, 64);
}

TEST_F(WirelessScanTest, SecondKeyWaitsForTheRunningLoad)
{
    ASSERT_TRUE(Start(5, 0));
    Run_Until_Listening();
    Hear(Plain_Telegram(rmTelit, 0x11111111));
    Hear(Plain_Telegram(rmTelit, 0x22222222));
    ASSERT_EQ(wireless.Count(), 2);
    std::array<uint8_t, 16> k1{}, k2{};
    k1.fill(0x01);
    k2.fill(0x02);
    const size_t before = fake.Requests().size();
    ASSERT_TRUE(w->Insert_Wireless_Key(0, k1));
    for (int i = 0; i < 6; ++i)
        w->Run_Pass();   // the first load is under way
    EXPECT_TRUE(w->Insert_Wireless_Key(1, k2));
    EXPECT_EQ(w->Keys_Queued(), 1);
    EXPECT_FALSE(wireless.Items(1)->Enable_Key) << "not before its load";
    Run_Until_Listening();
    for (int i = 0; i < 80 && w->Step_Scan != 134; ++i)
        w->Run_Pass();
    Run_Until_Listening();
    // Two complete loads, each meter's identity with its own key.
    const auto t = Texts_From(before);
    auto find = [&](const std::string& s, size_t from) { return std::find(t.begin() + long(from), t.end(), s) - t.begin(); };
    const size_t id1 = size_t(find("ATS463=17\r", 0));
    const size_t id2 = size_t(find("ATS463=34\r", 0));
    ASSERT_LT(id1, t.size());
    ASSERT_LT(id2, t.size());
    EXPECT_LT(size_t(find("ATS470=1\r", id1)), id2) << "meter 1 gets key 1 before meter 2 starts";
    EXPECT_LT(size_t(find("ATS470=2\r", id2)), t.size()) << "meter 2 gets key 2";
    EXPECT_EQ(size_t(find("ATS470=2\r", id1)), size_t(find("ATS470=2\r", id2)));
    EXPECT_TRUE(wireless.Items(1)->Enable_Key);
    EXPECT_EQ(wireless.Items(1)->Key, k2);
    EXPECT_EQ(wireless.Items(0)->Key, k1);
}

TEST_F(WirelessScanTest, CloseMidScanEndsEverything)
{
    ASSERT_TRUE(Start(5, 0));
    Run_Until_Listening();
    Hear(Plain_Telegram(rmTelit));
    const size_t before = fake.Requests().size();
    w->Close_Scan();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(w->FInScan);
    EXPECT_FALSE(w->Endpoint_Open());
    EXPECT_FALSE(w->Wireless_Receive_Message);
    EXPECT_EQ(Texts_From(before), (std::vector<std::string>{"Rizova_Disable_Configuration_Mode"}));
    const int h = heard;
    fake.Send(Plain_Telegram(rmTelit, 0x33333333), port);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(heard, h) << "no callback after the close";
}

TEST_F(WirelessScanTest, BadStartsAndFloodDuringListening)
{
    EXPECT_FALSE(w->Start_Scan_Wireless(shEthernet, QStringLiteral("127.0.0.1"), 0, 5, 0, false, nullptr, false));
    EXPECT_FALSE(w->FInScan);
    // Module type unknown: result 2.
    fake.Answer = [](const Bytes& req) -> std::vector<Bytes> {
        const std::string t(req.begin(), req.end());
        if (t == "Rizova_Enable_Configuration_Mode")
            return {Text("\n\rConfiguration_Mode Enabled!\n\r")};
        if (t == "Rizova_Type_Radio_Module")
            return {Text("\n\rOTHER\n\r")};
        return {};
    };
    ASSERT_TRUE(Start());
    Run();
    EXPECT_FALSE(w->FInScan);
    EXPECT_EQ(w->FResult, 2);
    int disables = 0;
    for (const auto& t : fake.Texts())
        disables += t == "Rizova_Disable_Configuration_Mode";
    EXPECT_EQ(disables, 3);
}

TEST_F(WirelessScanTest, FloodOfTelegramsAndGarbageWhileListening)
{
    ASSERT_TRUE(Start());
    Run_Until_Listening();
    for (int i = 0; i < 300; ++i) {
        Bytes g = Plain_Telegram(rmTelit, 0x10000000u + uint32_t(i % 20));
        if (i % 3 == 0)
            g.resize(size_t(i % 7));
        fake.Send(g, port);
    }
    Settle();
    EXPECT_EQ(wireless.Count(), 20);
    EXPECT_TRUE(w->FInScan);
    w->Stop_Scan();
    Run();
    EXPECT_FALSE(w->FInScan);
}

} // namespace

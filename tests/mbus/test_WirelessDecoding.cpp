// Wireless telegrams: layouts by CI field, security modes 5 and 7, signal
// strength, grouping by meter, and datagrams that are short or lie.

#include "MBusTestHelpers.h"

#include <gtest/gtest.h>

#include <QTimeZone>

#include <cstdlib>
#include <cstring>

using namespace mbustest;

namespace {

// The OMS example of security mode 5: its key, its telegram, and the plain
// text the telegram carries.
const Bytes Oms_Key = Hex("0102030405060708090A0B0C0D0E0F11");
const Bytes Oms_Telegram = Hex("2E 44 93 15 78 56 34 12 33 03 7A 2A 00 20 25 59 23 C9 5A AA 26 D1 B2 E7 49 3B 01 3E "
                               "C4 A6 F6 D3 52 9B 52 0E DF F0 EA 6D EF C9 9D 6D 69 EB F3");
const Bytes Oms_Plain = Hex("2F 2F 0C 14 27 04 85 02 04 6D 32 37 1F 15 02 FD 17 00 00 2F 2F 2F 2F 2F 2F 2F 2F 2F 2F "
                            "2F 2F 2F");
const Bytes Link_Layer = Hex("00 44 93 15 78 56 34 12 33 03");   // L, C, M (ELS), A 12345678, version, gas

Bytes Oms_Cipher()
{
    return Bytes(Oms_Telegram.begin() + 15, Oms_Telegram.end());
}

// The same encrypted data behind an extended link layer (CI 8C, CC, ACC),
// followed by the short header of the original: ACC 2A, status 0, CFG 2520.
Bytes Rewrapped(const Bytes& cipher, uint8_t acc = 0x2A)
{
    return Cat({Link_Layer, Bytes{0x8C, 0x20, acc, 0x7A, acc, 0x00, 0x20, 0x25}, cipher});
}

// Mode 7: ELL, AFL with FCL (message control, counter, MAC), the short header
// with CFG 0720 and the configuration field extension, then the data.
Bytes Mode7_Frame(const Bytes& counter, const Bytes& cipher, bool withCounter = true)
{
    Bytes afl = withCounter ? Cat({Hex("00 2C 05"), counter, Hex("11 12 13 14 15 16 17 18")})
                            : Hex("00 24 05 11 12 13 14 15 16 17 18");
    return Cat({Link_Layer, Bytes{0x8C, 0x20, 0x2A, 0x90, static_cast<uint8_t>(afl.size())}, afl,
                Hex("7A 2A 00 20 07 10"), cipher});
}

Bytes Mode7_Key(const Bytes& meterKey, const Bytes& counter)
{
    // Derivation input: 00, message counter, identification, seven 07.
    const Bytes input = Cat({Bytes{0x00}, counter, Hex("78 56 34 12"), Hex("07 07 07 07 07 07 07")});
    const auto k = AES_CMAC(meterKey.data(), input.data(), input.size());
    return Bytes(k.begin(), k.end());
}

class Wireless : public ::testing::Test {
protected:
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    TMBusTelegramDecoder d{wired, wireless};
    std::vector<std::pair<int, TSlave_wMBus*>> reports;

    void SetUp() override
    {
        d.UpdateListWirelessSlave = [this](int p, TSlave_wMBus* s) { reports.emplace_back(p, s); };
    }

    void Feed(const Bytes& frame, TRadioModule module = rmTelit, uint8_t rssi = 0x50)
    {
        Feed_Wireless(d, Datagram(frame, module, rssi), module);
    }

    void Give_Key(int position, const Bytes& key)
    {
        TSlave_wMBus* s = wireless.Items(position);
        ASSERT_NE(s, nullptr);
        std::memcpy(s->Key.data(), key.data(), 16);
        s->Enable_Key = true;
    }

    TSlave_wMBus& Meter(int position)
    {
        TSlave_wMBus* s = wireless.Items(position);
        if (!s)
            throw std::out_of_range("no meter");
        return *s;
    }
};

// The records of the OMS plain text: two fillers, the volume 28504.27 m3
// (8-digit BCD 02850427, 10^-2 m3), the date and time 31.05.2008 23:50, the
// error flags 0000, then thirteen fillers.
void Expect_Oms_Records(const TSlave_wMBus& m)
{
    EXPECT_FALSE(m.Cripted);
    ASSERT_EQ(m.List_Var.size(), 18u);
    for (size_t i : {0, 1}) {
        EXPECT_FALSE(m.List_Var[i]->Real_Wireless_Var);
        EXPECT_EQ(m.List_Var[i]->DIF, QStringLiteral("$2F"));
        EXPECT_FALSE(m.List_Var[i]->errata);
    }
    const TVariable_MBus& volume = *m.List_Var[2];
    EXPECT_TRUE(volume.Real_Wireless_Var);
    EXPECT_EQ(volume.DataFieldStr, QStringLiteral("8 Digit BCD"));
    EXPECT_EQ(volume.type_data, 2);
    EXPECT_EQ(volume.Desc_Type_Data, QStringLiteral("Volume m3"));
    EXPECT_EQ(volume.ValueStr, Num("28504.27"));
    const TVariable_MBus& when = *m.List_Var[3];
    EXPECT_EQ(when.type_data, 20);
    EXPECT_EQ(when.Desc_Type_Data, QStringLiteral("Time Point Date and Time (Type F)"));
    EXPECT_EQ(when.ValueStr, QStringLiteral("31/05/08 23:50"));
    const TVariable_MBus& flags = *m.List_Var[4];
    EXPECT_EQ(flags.DataFieldStr, QStringLiteral("16 Bit Integer"));
    EXPECT_EQ(flags.Desc_Type_Data, QStringLiteral("Error Flag (Binary)"));
    EXPECT_EQ(flags.Type_Data_Vife, 18);
    EXPECT_EQ(flags.ValueStr, QStringLiteral("0"));
    for (size_t i = 5; i < 18; ++i)
        EXPECT_FALSE(m.List_Var[i]->Real_Wireless_Var) << i;
}

} // namespace

TEST_F(Wireless, OmsPlainTextIsWhatTheExampleTelegramCarries)
{
    // Independent check of the example: CBC with IV = M, A, version, type and
    // eight copies of the access number.
    Bytes iv = Cat({Hex("93 15 78 56 34 12 33 03"), Bytes(8, 0x2A)});
    EXPECT_EQ(ToHex(Encrypt_CBC(Oms_Key, iv, Oms_Plain)), ToHex(Oms_Cipher()));
}

TEST_F(Wireless, Mode5WithShortHeaderAfterTheLinkLayerIsLeftToTheRadioModule)
{
    Feed(Oms_Telegram);
    ASSERT_EQ(wireless.Count(), 1);
    EXPECT_TRUE(Meter(0).Cripted);
    Give_Key(0, Oms_Key);
    Feed(Oms_Telegram);
    ASSERT_EQ(wireless.Count(), 1);
    const TSlave_wMBus& m = Meter(0);
    EXPECT_TRUE(m.Cripted);
    EXPECT_TRUE(m.List_Var.empty());
    // Identity from the link layer.
    EXPECT_EQ(m.Message_Type, 0x44);
    EXPECT_EQ(m.ALA_Manufacturer, 0x1593);
    EXPECT_EQ(m.ALA_Manu_str, QStringLiteral("ELS"));
    EXPECT_EQ(m.ALA_Address, 0x12345678);
    EXPECT_EQ(m.ALA_Version, 0x33);
    EXPECT_EQ(m.ALA_DeviceType, 3);
    EXPECT_EQ(m.LLA_Manu_str, QStringLiteral("ELS"));
    EXPECT_EQ(m.LLA_Address, 0x12345678);
}

TEST_F(Wireless, Mode5AlreadyDecryptedByTheRadioModuleIsRead)
{
    const Bytes plain = Cat({Bytes(Oms_Telegram.begin(), Oms_Telegram.begin() + 15), Oms_Plain});
    Feed(plain);
    ASSERT_EQ(wireless.Count(), 1);
    Expect_Oms_Records(Meter(0));
}

TEST_F(Wireless, Mode5BehindExtendedLinkLayerIsDecryptedWithTheMetersKey)
{
    const Bytes frame = Rewrapped(Oms_Cipher());
    Feed(frame);   // first telegram: a new meter has no key yet
    ASSERT_EQ(wireless.Count(), 1);
    EXPECT_TRUE(Meter(0).Cripted);
    EXPECT_TRUE(Meter(0).List_Var.empty());

    Give_Key(0, Oms_Key);
    Feed(frame);
    ASSERT_EQ(wireless.Count(), 1);
    Expect_Oms_Records(Meter(0));

    // A wrong key: the data stay encrypted and the records go.
    Give_Key(0, Hex("0102030405060708090A0B0C0D0E0F12"));
    Feed(frame);
    EXPECT_TRUE(Meter(0).Cripted);
    EXPECT_TRUE(Meter(0).List_Var.empty());
    EXPECT_EQ(reports.size(), 3u);
}

TEST_F(Wireless, Mode5CipherTextBeginningWithOne2FIsStillDecrypted)
{
    // Find a key under which the first encrypted byte is 2F and the second is
    // not: such a telegram is not one the radio module decrypted.
    Bytes key = Oms_Key;
    Bytes cipher;
    const Bytes iv = Cat({Hex("93 15 78 56 34 12 33 03"), Bytes(8, 0x2A)});
    for (int k = 0; k < 65536 && cipher.empty(); ++k) {
        key[14] = static_cast<uint8_t>(k >> 8);
        key[15] = static_cast<uint8_t>(k);
        const Bytes c = Encrypt_CBC(key, iv, Oms_Plain);
        if (c[0] == 0x2F && c[1] != 0x2F)
            cipher = c;
    }
    ASSERT_FALSE(cipher.empty());
    Feed(Rewrapped(cipher));
    Give_Key(0, key);
    Feed(Rewrapped(cipher));
    Expect_Oms_Records(Meter(0));
}

// The security mode is five bits wide: a CFG high byte of 15 (or 35, with
// the synchronous bit) is mode 21, not mode 5, although its low four bits
// read 5. The meter's key would turn the data into the OMS plain text under
// mode 5's algorithm; read with four bits the telegram would show records of
// a mode this decoder does not know.
TEST_F(Wireless, Mode5DecryptionNeedsTheWholeModeField)
{
    for (uint8_t cfgHigh : {uint8_t(0x15), uint8_t(0x35)}) {
        wireless.Clear();
        Bytes frame = Rewrapped(Oms_Cipher());
        frame[17] = cfgHigh;
        Feed(frame);
        Give_Key(0, Oms_Key);
        Feed(frame);
        ASSERT_EQ(wireless.Count(), 1);
        EXPECT_TRUE(Meter(0).Cripted) << int(cfgHigh);
        EXPECT_TRUE(Meter(0).List_Var.empty()) << int(cfgHigh);
    }
    // The same telegram in mode 5 decrypts.
    wireless.Clear();
    Feed(Rewrapped(Oms_Cipher()));
    Give_Key(0, Oms_Key);
    Feed(Rewrapped(Oms_Cipher()));
    Expect_Oms_Records(Meter(0));
}

TEST_F(Wireless, Mode7DerivesTheKeyWithCmacAndKeepsTheMeterOnAWrongKey)
{
    const Bytes counter = Hex("01 00 00 00");
    // The derivation input for counter 01 00 00 00 and
    // identification 78 56 34 12.
    const Bytes input = Hex("00 01 00 00 00 78 56 34 12 07 07 07 07 07 07 07");
    const auto derived = AES_CMAC(Oms_Key.data(), input.data(), input.size());
    const Bytes cipher = Encrypt_CBC(Bytes(derived.begin(), derived.end()), Bytes(16, 0), Oms_Plain);
    const Bytes frame = Mode7_Frame(counter, cipher);

    Feed(frame);
    EXPECT_TRUE(Meter(0).Cripted);
    Give_Key(0, Oms_Key);
    Feed(frame, rmTelit, 0x3C);
    Expect_Oms_Records(Meter(0));
    EXPECT_EQ(Meter(0).RSSI, -62);
    const QDateTime goodTime = Meter(0).DateTime;

    // Wrong key: nothing of the meter changes, the window is still told.
    Give_Key(0, Hex("00000000000000000000000000000000"));
    Feed(frame, rmTelit, 0x50);
    Expect_Oms_Records(Meter(0));
    EXPECT_EQ(Meter(0).RSSI, -62);
    EXPECT_EQ(Meter(0).DateTime, goodTime);
    EXPECT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports.back().first, 0);
}

TEST_F(Wireless, Mode7CipherTextBeginningWithOne2FIsStillDecrypted)
{
    Bytes counter;
    Bytes cipher;
    for (int n = 1; n < 65536 && cipher.empty(); ++n) {
        const Bytes c = Hex("00 00 00 00");
        Bytes tryCounter = c;
        tryCounter[0] = static_cast<uint8_t>(n);
        tryCounter[1] = static_cast<uint8_t>(n >> 8);
        const Bytes enc = Encrypt_CBC(Mode7_Key(Oms_Key, tryCounter), Bytes(16, 0), Oms_Plain);
        if (enc[0] == 0x2F && enc[1] != 0x2F) {
            counter = tryCounter;
            cipher = enc;
        }
    }
    ASSERT_FALSE(cipher.empty());
    Feed(Mode7_Frame(counter, cipher));
    Give_Key(0, Oms_Key);
    Feed(Mode7_Frame(counter, cipher));
    Expect_Oms_Records(Meter(0));
}

TEST_F(Wireless, Mode7WithoutCounterOrWithALyingAflLengthStaysEncrypted)
{
    const Bytes counter = Hex("01 00 00 00");
    const Bytes cipher = Encrypt_CBC(Mode7_Key(Oms_Key, counter), Bytes(16, 0), Oms_Plain);

    Feed(Mode7_Frame(counter, cipher, false));
    Give_Key(0, Oms_Key);
    Feed(Mode7_Frame(counter, cipher, false));
    EXPECT_TRUE(Meter(0).Cripted);
    EXPECT_TRUE(Meter(0).List_Var.empty());

    // An AFL one byte longer than its fields: the header is not where the
    // length says, so nothing is decrypted.
    Bytes lying = Mode7_Frame(counter, cipher);
    lying[14] = static_cast<uint8_t>(lying[14] + 1);
    lying.insert(lying.begin() + 30, 0x00);
    Feed(lying);
    EXPECT_TRUE(Meter(0).Cripted);
    EXPECT_TRUE(Meter(0).List_Var.empty());
}

TEST_F(Wireless, UnencryptedLayoutsByCiField)
{
    const Bytes rec = Hex("0C 13 78 56 34 12");
    const Bytes longHeader = Hex("21 43 65 87 2D 2C 01 07");   // 87654321, KAM, version 1, water
    struct Case { const char* name; Bytes frame; bool longIdentity; };
    const Case cases[] = {
        {"7A", Cat({Link_Layer, Hex("7A 2A 00 00 00"), rec}), false},
        // No header: the records follow the CI field, under the link-layer identity.
        {"78", Cat({Link_Layer, Hex("78"), rec}), false},
        // A long header in mode 0 is as readable as a short one.
        {"72", Cat({Link_Layer, Hex("72"), longHeader, Hex("2A 00 00 00"), rec}), true},
        {"8C 78", Cat({Link_Layer, Hex("8C 20 2A 78"), rec}), false},
        {"8C 7A", Cat({Link_Layer, Hex("8C 20 2A 7A 2A 00 00 00"), rec}), false},
        {"8C 72", Cat({Link_Layer, Hex("8C 20 2A 72"), longHeader, Hex("2A 00 00 00"), rec}), false},
        {"8D 78", Cat({Link_Layer, Hex("8D 20 2A 01 02 03 04 AA BB 78"), rec}), false},
        {"8D 7A", Cat({Link_Layer, Hex("8D 20 2A 01 02 03 04 AA BB 7A 2A 00 00 00"), rec}), false},
        {"8D 72", Cat({Link_Layer, Hex("8D 20 2A 01 02 03 04 AA BB 72"), longHeader, Hex("2A 00 00 00"), rec}), false},
    };
    for (const Case& c : cases) {
        for (TRadioModule module : {rmTelit, rmRadioCrafts}) {
            TList_Slave_wMBus list;
            TMBusTelegramDecoder dec(wired, list);
            Feed_Wireless(dec, Datagram(c.frame, module), module);
            ASSERT_EQ(list.Count(), 1) << c.name;
            const TSlave_wMBus& m = *list.Items(0);
            EXPECT_FALSE(m.Cripted) << c.name;
            // The trailer is never taken for a record.
            ASSERT_EQ(m.List_Var.size(), 1u) << c.name << " " << module;
            EXPECT_EQ(m.List_Var[0]->ValueStr, Num("12345.678")) << c.name;
            EXPECT_EQ(m.ALA_Address, c.longIdentity ? int32_t(0x87654321) : 0x12345678) << c.name;
            EXPECT_EQ(m.ALA_Manu_str, QString::fromLatin1(c.longIdentity ? "KAM" : "ELS")) << c.name;
            EXPECT_EQ(m.ALA_Version, c.longIdentity ? 1 : 0x33) << c.name;
            EXPECT_EQ(m.ALA_DeviceType, c.longIdentity ? 7 : 3) << c.name;
            EXPECT_EQ(m.LLA_Address, 0x12345678) << c.name;
        }
    }
}

TEST_F(Wireless, EncryptedOrUnknownLayoutsAreListedWithoutRecords)
{
    struct Case { const char* name; Bytes frame; bool cripted; size_t records; };
    const Case cases[] = {
        {"7A mode 5 encrypted", Cat({Link_Layer, Hex("7A 2A 00 10 05"), Bytes(16, 0x55)}), true, 0},
        {"7A mode 5 plain", Cat({Link_Layer, Hex("7A 2A 00 10 05 2F 2F 0C 13 78 56 34 12")}), false, 3},
        {"7A mode 7", Cat({Link_Layer, Hex("7A 2A 00 10 07"), Bytes(16, 0x55)}), true, 0},
        {"72 mode 5 encrypted", Cat({Link_Layer, Hex("72 21 43 65 87 2D 2C 01 07 2A 00 10 05"), Bytes(16, 0x55)}), true, 0},
        {"72 decrypted", Cat({Link_Layer, Hex("72 21 43 65 87 2D 2C 01 07 2A 00 10 05 2F 2F 01 13 05")}), false, 3},
        // The security mode has five bits: 10 is mode 16, 30 mode 16 with the
        // synchronous bit, 15 mode 21; none of them is mode 0 or 5.
        {"7A mode 16", Cat({Link_Layer, Hex("7A 2A 00 00 10 0C 13 78 56 34 12")}), true, 0},
        {"7A mode 16 synchronous", Cat({Link_Layer, Hex("7A 2A 00 00 30 0C 13 78 56 34 12")}), true, 0},
        {"7A mode 21 with fillers", Cat({Link_Layer, Hex("7A 2A 00 10 15 2F 2F 0C 13 78 56 34 12")}), true, 0},
        {"72 mode 16", Cat({Link_Layer, Hex("72 21 43 65 87 2D 2C 01 07 2A 00 00 10 0C 13 78 56 34 12")}), true, 0},
        {"8C 7A mode 16", Cat({Link_Layer, Hex("8C 20 2A 7A 2A 00 00 10 0C 13 78 56 34 12")}), true, 0},
        {"8D 72 mode 16",
         Cat({Link_Layer, Hex("8D 20 2A 01 02 03 04 AA BB 72 21 43 65 87 2D 2C 01 07 2A 00 00 10 0C 13 78 56 34 12")}), true,
         0},
        {"8E", Cat({Link_Layer, Hex("8E 20 2A 93 15 78 56 34 12 33 03 78 0C 13 78 56 34 12")}), true, 0},
        {"8D 90", Cat({Link_Layer, Hex("8D 20 2A 01 02 03 04 AA BB 90 02 00 00 7A 2A 00 20 07 10"), Bytes(32, 0x2F)}),
         true, 0},
    };
    for (const Case& c : cases) {
        TList_Slave_wMBus list;
        TMBusTelegramDecoder dec(wired, list);
        Feed_Wireless(dec, Datagram(c.frame, rmTelit));
        ASSERT_EQ(list.Count(), 1) << c.name;
        EXPECT_EQ(list.Items(0)->Cripted, c.cripted) << c.name;
        EXPECT_EQ(list.Items(0)->List_Var.size(), c.records) << c.name;
    }
}

TEST_F(Wireless, CiWithoutLongHeaderTakesTheLinkLayerIdentityNotDataBytes)
{
    // Two telegrams of one meter with CI 78 and different data: one meter,
    // known by its link-layer address, with the records of the latest.
    Feed(Cat({Link_Layer, Hex("78 0C 13 78 56 34 12 02 FD 17 00 00")}));
    Feed(Cat({Link_Layer, Hex("78 0C 13 99 99 99 99 02 FD 17 01 00")}));
    ASSERT_EQ(wireless.Count(), 1);
    EXPECT_EQ(Meter(0).ALA_Address, 0x12345678);
    EXPECT_EQ(Meter(0).ALA_Manufacturer, 0x1593);
    EXPECT_EQ(Meter(0).ALA_Version, 0x33);
    EXPECT_EQ(Meter(0).ALA_DeviceType, 3);
    EXPECT_FALSE(Meter(0).Cripted);
    ASSERT_EQ(Meter(0).List_Var.size(), 2u);
    EXPECT_EQ(Meter(0).List_Var[0]->ValueStr, Num("99999.999"));
    EXPECT_EQ(Meter(0).List_Var[1]->Desc_Type_Data, QStringLiteral("Error Flag (Binary)"));
    EXPECT_EQ(Meter(0).List_Var[1]->ValueStr, QStringLiteral("1"));

    // Likewise an unknown CI, listed without records.
    Feed(Cat({Link_Layer, Hex("8E 20 2A 93 15 21 43 65 87 01 07 78 0C 13 78 56 34 12")}));
    ASSERT_EQ(wireless.Count(), 1);
    EXPECT_TRUE(Meter(0).Cripted);
    EXPECT_TRUE(Meter(0).List_Var.empty());
}

// Each telegram reads the clock once: the meter's time and its records' date
// and time texts are the same moment, in the regional short date format and
// the time format without the zone.
TEST_F(Wireless, OneClockReadingPerTelegram)
{
    const QDateTime moment(QDate(2024, 6, 15), QTime(12, 45, 30), QTimeZone(7200));
    int readings = 0;
    d.Clock = [&]() {
        ++readings;
        return moment;
    };
    Feed(Cat({Link_Layer, Hex("7A 2A 00 00 00 0C 13 78 56 34 12 04 6D 3B 17 BF 2C 02 FD 17 00 00")}));
    EXPECT_EQ(readings, 1);
    const TSlave_wMBus& m = Meter(0);
    EXPECT_EQ(m.DateTime, moment);
    ASSERT_EQ(m.List_Var.size(), 3u);
    const QLocale locale = QLocale::system();
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    for (const auto& v : m.List_Var) {
        EXPECT_EQ(v->datagiorno, locale.toString(QDate(2024, 6, 15), QLocale::ShortFormat));
        EXPECT_EQ(v->tempo, QTime(12, 45, 30).toString(timeFormat.trimmed()));
    }

    // A wired telegram: once as well.
    readings = 0;
    bool last = false;
    Feed_Wired(d, Frame_With_Records(Hex("0C 13 78 56 34 12 04 6D 3B 17 BF 2C 02 FD 17 00 00")), -1, last);
    EXPECT_EQ(readings, 1);
    ASSERT_EQ(wired.Items(0)->List_Var.size(), 3u);
    EXPECT_EQ(wired.Items(0)->List_Var[2]->tempo, QTime(12, 45, 30).toString(timeFormat.trimmed()));
}

TEST(WirelessClock, DefaultClockIsTheLocalTime)
{
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    TMBusTelegramDecoder d(wired, wireless);
    ASSERT_TRUE(d.Clock);
    const QDateTime local = QDateTime::currentDateTime();
    const QDateTime taken = d.Clock();
    EXPECT_EQ(taken.offsetFromUtc(), local.offsetFromUtc());
    EXPECT_LE(std::abs(local.secsTo(taken)), 5);
    // The wall-clock reading is the local one (compared as plain date and
    // time, so that midnight between the two readings does not matter).
    const QDateTime localWall(local.date(), local.time(), QTimeZone::utc());
    const QDateTime takenWall(taken.date(), taken.time(), QTimeZone::utc());
    EXPECT_LE(std::abs(localWall.secsTo(takenWall)), 5);
}

TEST_F(Wireless, SignalStrength)
{
    struct Case { TRadioModule module; uint8_t b; int rssi; };
    const Case cases[] = {
        {rmTelit, 80, -82}, {rmTelit, 0x3C, -62}, {rmTelit, 0x00, -2}, {rmTelit, 0x7F, 127},   // -129 in 8 bits
        {rmRadioCrafts, 0x9C, -49}, {rmRadioCrafts, 0x3C, 31}, {rmRadioCrafts, 0xFF, 1}, {rmRadioCrafts, 0x80, -63},
        {rmRadioCrafts, 0x01, 1},
    };
    for (const Case& c : cases) {
        TList_Slave_wMBus list;
        TMBusTelegramDecoder dec(wired, list);
        Feed_Wireless(dec, Datagram(Cat({Link_Layer, Hex("7A 2A 00 00 00 01 13 05")}), c.module, c.b), c.module);
        ASSERT_EQ(list.Count(), 1);
        EXPECT_EQ(list.Items(0)->RSSI, c.rssi) << int(c.b);
    }
}

TEST_F(Wireless, MetersAreKeyedByTheirApplicationLayerFields)
{
    // Differing only in the version: two meters.
    Bytes a = Cat({Link_Layer, Hex("7A 2A 00 00 00 01 13 05")});
    Bytes b = a;
    b[8] = 0x34;
    Feed(a);
    Feed(b);
    EXPECT_EQ(wireless.Count(), 2);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].first, 0);
    EXPECT_EQ(reports[1].first, 1);
    EXPECT_EQ(reports[1].second, wireless.Items(1));
}

TEST_F(Wireless, SameApplicationLayerOverDifferentLinkLayersIsOneMeter)
{
    const Bytes tail = Hex("72 21 43 65 87 2D 2C 01 07 2A 00 00 00 01 13 05");
    Feed(Cat({Link_Layer, tail}));
    Bytes other = Cat({Hex("00 46 2D 2C 11 11 11 11 01 07"), tail});
    Feed(other);
    ASSERT_EQ(wireless.Count(), 1);
    const TSlave_wMBus& m = Meter(0);
    EXPECT_EQ(m.Message_Type, 0x44);
    EXPECT_EQ(m.LLA_Manu_str, QStringLiteral("ELS"));
    EXPECT_EQ(m.LLA_Address, 0x12345678);
    EXPECT_EQ(m.LLA_Version, 0x33);
    EXPECT_EQ(m.LLA_DeviceType, 3);
}

TEST_F(Wireless, AMeterHeardAgainGetsItsRecordsReplaced)
{
    Feed(Cat({Link_Layer, Hex("7A 2A 00 00 00 01 13 05 01 13 06")}), rmTelit, 0x50);
    ASSERT_EQ(Meter(0).List_Var.size(), 2u);
    const QDateTime first = Meter(0).DateTime;
    EXPECT_TRUE(first.isValid());

    Bytes again = Cat({Link_Layer, Hex("7A 2B 00 00 00 01 13 07")});
    again[1] = 0x46;   // another C field: the first one stays
    Feed(again, rmTelit, 0x3C);
    ASSERT_EQ(wireless.Count(), 1);
    const TSlave_wMBus& m = Meter(0);
    ASSERT_EQ(m.List_Var.size(), 1u);
    EXPECT_EQ(m.List_Var[0]->ValueStr, Num("0.007"));
    EXPECT_EQ(m.Message_Type, 0x44);
    EXPECT_EQ(m.RSSI, -62);
    EXPECT_GE(m.DateTime, first);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].first, 0);
    EXPECT_EQ(reports[1].second, &m);
}

TEST_F(Wireless, ShortOrLyingDatagrams)
{
    // No CI field: nothing at all.
    Feed(Hex("00 44 93 15 78 56 34 12 33 03"));
    // A long header cut before the identity ends: nothing either.
    Feed(Cat({Link_Layer, Hex("72 21 43 65 87 2D 2C 01")}));
    EXPECT_EQ(wireless.Count(), 0);
    EXPECT_TRUE(reports.empty());

    // Short header cut before its configuration field: listed, undecodable.
    Feed(Cat({Link_Layer, Hex("7A 2A 00")}));
    ASSERT_EQ(wireless.Count(), 1);
    EXPECT_TRUE(Meter(0).Cripted);

    // A record cut by the end of the frame: the ones before it stay.
    Feed(Cat({Link_Layer, Hex("7A 2A 00 00 00 01 13 05 0C 13 78 56")}));
    EXPECT_FALSE(Meter(0).Cripted);
    EXPECT_EQ(Meter(0).List_Var.size(), 1u);
    EXPECT_TRUE(d.Last_Parse_Truncated());
}

TEST_F(Wireless, EncryptedBlocksRunningPastTheDatagramAreNotDecrypted)
{
    // Mode 5 announcing three blocks with two present.
    Bytes frame = Rewrapped(Oms_Cipher());
    frame[16] = 0x30;
    Feed(frame);
    Give_Key(0, Oms_Key);
    Feed(frame);
    EXPECT_TRUE(Meter(0).Cripted);
    EXPECT_TRUE(Meter(0).List_Var.empty());

    // Mode 7 announcing three blocks with two present.
    TList_Slave_wMBus list;
    TMBusTelegramDecoder dec(wired, list);
    const Bytes counter = Hex("01 00 00 00");
    Bytes m7 = Mode7_Frame(counter, Encrypt_CBC(Mode7_Key(Oms_Key, counter), Bytes(16, 0), Oms_Plain));
    m7[33] = 0x30;
    Feed_Wireless(dec, Datagram(m7, rmTelit));
    std::memcpy(list.Items(0)->Key.data(), Oms_Key.data(), 16);
    list.Items(0)->Enable_Key = true;
    Feed_Wireless(dec, Datagram(m7, rmTelit));
    EXPECT_TRUE(list.Items(0)->Cripted);
    EXPECT_TRUE(list.Items(0)->List_Var.empty());
}

TEST_F(Wireless, AnswerLengthOutOfRangeIsClamped)
{
    const Bytes frame = Datagram(Cat({Link_Layer, Hex("7A 2A 00 00 00 01 13 05")}), rmTelit);
    d.Set_Answer(frame.data(), frame.size());
    d.Ans_Len = -5;
    d.Decode_Wireless_Frame(rmTelit);
    EXPECT_EQ(wireless.Count(), 0);

    std::vector<uint8_t> huge(5000, 0x2F);
    std::memcpy(huge.data(), frame.data(), 15);
    d.Set_Answer(huge.data(), huge.size());
    EXPECT_EQ(d.Ans_Len, TMBusTelegramDecoder::Ans_Size);
    d.Ans_Len = 5000;
    d.Decode_Wireless_Frame(rmTelit);
    ASSERT_EQ(wireless.Count(), 1);
    // Everything after the header is idle filler, up to the trailer.
    EXPECT_EQ(Meter(0).List_Var.size(), size_t(TMBusTelegramDecoder::Ans_Size - 2 - 15));
}

// Result classes, the two result lists, the notifications, the choice lists
// whose positions the records carry, and the AES primitives.

#include "MBusTestHelpers.h"

#include "mbus/UMeter_Bus.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace mbustest;

namespace {

std::unique_ptr<TSlave_wMBus> Meter(uint16_t man, int32_t address, uint8_t version, uint8_t type)
{
    auto s = std::make_unique<TSlave_wMBus>();
    s->ALA_Manufacturer = man;
    s->ALA_Address = address;
    s->ALA_Version = version;
    s->ALA_DeviceType = type;
    return s;
}

} // namespace

TEST(ScanResults, NewObjectsStartAsDescribed)
{
    TVariable_MBus v;
    EXPECT_FALSE(v.errata);
    EXPECT_TRUE(v.sterror.isEmpty());
    EXPECT_EQ(v.vifvalue, -1);
    EXPECT_EQ(v.VIF, 0);
    EXPECT_EQ(v.casovif, 0);
    EXPECT_EQ(v.nbyte, 0);
    EXPECT_TRUE(v.Enable);
    EXPECT_EQ(v.Node, nullptr);
    EXPECT_TRUE(v.DIF.isEmpty() && v.DIFE.isEmpty() && v.VIFE.isEmpty() && v.totdati.isEmpty());

    TSlave_wMBus w;
    EXPECT_TRUE(w.Enable);
    EXPECT_FALSE(w.Enable_Key);
    EXPECT_EQ(w.RadioCrafts_Ind_Tab_Decript, -1);
    EXPECT_TRUE(w.List_Var.empty());
    EXPECT_EQ(w.Node, nullptr);

    TSlave_MBus m;
    EXPECT_TRUE(m.List_Var.empty());
    EXPECT_EQ(m.Node, nullptr);
}

TEST(ScanResults, WideStorageAndTariffFields)
{
    // Ten DIFEs carry 41 bits of storage number and 20 bits of tariff.
    TVariable_MBus v;
    v.storage_number = (int64_t(1) << 41) - 1;
    v.tarif = 0xFFFFF;
    EXPECT_EQ(v.storage_number, 2199023255551LL);
    EXPECT_EQ(v.tarif, 1048575u);
}

TEST(ScanResults, CancelVarEmptiesAndIsHarmlessOnEmpty)
{
    TSlave_wMBus w;
    w.Cancel_Var();
    EXPECT_TRUE(w.List_Var.empty());
    w.List_Var.push_back(std::make_unique<TVariable_MBus>());
    w.List_Var.push_back(std::make_unique<TVariable_MBus>());
    w.Cancel_Var();
    EXPECT_TRUE(w.List_Var.empty());
}

TEST(ScanResults, FindWirelessSlaveMatchesAllFourKeys)
{
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    TMBusTelegramDecoder d(wired, wireless);
    EXPECT_EQ(d.Find_Wireless_Slave(0x1593, 0x12345678, 0x33, 3), -1);   // empty list

    wireless.Add(Meter(0x1593, 0x12345678, 0x33, 3));
    wireless.Add(Meter(0x1593, 0x12345678, 0x34, 3));
    wireless.Add(Meter(0x2C2D, int32_t(0x87654321), 0x01, 7));

    struct Case { uint16_t man; int32_t addr; uint8_t ver; uint8_t type; int expected; };
    const Case cases[] = {
        {0x1593, 0x12345678, 0x33, 3, 0},
        {0x1593, 0x12345678, 0x34, 3, 1},
        {0x2C2D, int32_t(0x87654321), 0x01, 7, 2},
        {0x1593, 0x12345678, 0x33, 4, -1},   // device type differs
        {0x1594, 0x12345678, 0x33, 3, -1},   // manufacturer differs
        {0x1593, 0x12345679, 0x33, 3, -1},   // address differs
        {0x1593, 0x12345678, 0x35, 3, -1},   // version differs
    };
    for (const Case& c : cases)
        EXPECT_EQ(d.Find_Wireless_Slave(c.man, c.addr, c.ver, c.type), c.expected) << c.expected;
}

TEST(ScanResults, SlaveListOwnsAndClears)
{
    TList_Slave_wMBus list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Items(0), nullptr);
    EXPECT_EQ(list.Add(Meter(1, 1, 1, 1)), 0);
    EXPECT_EQ(list.Add(Meter(2, 2, 2, 2)), 1);
    list.Items(1)->List_Var.push_back(std::make_unique<TVariable_MBus>());
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list[1]->ALA_Manufacturer, 2);
    EXPECT_EQ(list.Items(2), nullptr);
    EXPECT_EQ(list.Items(-1), nullptr);
    list.Delete(0);
    EXPECT_EQ(list[0]->ALA_Manufacturer, 2);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(ScanResults, ProgressCallbackGetsValuesInOrderAndItsExceptionsAreSwallowed)
{
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    TMBusTelegramDecoder d(wired, wireless);
    d.Notify_Slave_List(1, 2, 3, 4);   // no callback: nothing happens

    std::vector<std::array<int32_t, 4>> seen;
    d.Update_Slave_List = [&](int32_t a, int32_t b, int32_t c, int32_t k) { seen.push_back({a, b, c, k}); };
    d.Notify_Slave_List(2, 17, 1, 1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], (std::array<int32_t, 4>{2, 17, 1, 1}));

    int calls = 0;
    d.Update_Slave_List = [&](int32_t, int32_t, int32_t, int32_t) {
        ++calls;
        throw std::runtime_error("window gone");
    };
    EXPECT_NO_THROW(d.Notify_Slave_List(2, 0, 0, 1));
    EXPECT_NO_THROW(d.Notify_Slave_List(3, 0, 0, 1));
    EXPECT_EQ(calls, 2);
}

TEST(ScanResults, WirelessCallbackFormsAndItsExceptionsPassThrough)
{
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    TMBusTelegramDecoder d(wired, wireless);
    TSlave_wMBus meter;
    d.Notify_Wireless_Slave(0, &meter);   // no callback: nothing happens

    int position = -1;
    TSlave_wMBus* got = nullptr;
    d.UpdateListWirelessSlave = [&](int p, TSlave_wMBus* s) {
        position = p;
        got = s;
    };
    d.Notify_Wireless_Slave(3, &meter);
    EXPECT_EQ(position, 3);
    EXPECT_EQ(got, &meter);

    d.From_DLL = true;   // the position-only form
    d.Notify_Wireless_Slave(4, &meter);
    EXPECT_EQ(position, 4);
    EXPECT_EQ(got, nullptr);

    d.UpdateListWirelessSlave = [](int, TSlave_wMBus*) { throw std::runtime_error("boom"); };
    EXPECT_THROW(d.Notify_Wireless_Slave(0, &meter), std::runtime_error);
}

TEST(ScanResults, DefaultDecoderFillsTheSharedLists)
{
    TMBusTelegramDecoder d;
    bool last = false;
    const Bytes frame = Frame_With_Records(Hex("0C 13 78 56 34 12"));
    const int before = List_Slave_MBus.Count();
    const int pos = Feed_Wired(d, frame, -1, last);
    EXPECT_EQ(pos, before);
    EXPECT_EQ(List_Slave_MBus.Count(), before + 1);

    const Bytes plain = Datagram(Hex("00 44 93 15 78 56 34 12 33 03 7A 2A 00 00 00 0C 13 78 56 34 12"), rmTelit);
    const int beforeW = List_Slave_wMBus.Count();
    Feed_Wireless(d, plain);
    EXPECT_EQ(List_Slave_wMBus.Count(), beforeW + 1);

    List_Slave_MBus.Clear();
    List_Slave_wMBus.Clear();
}

// --- choice lists -----------------------------------------------------------

TEST(ChoiceLists, SizesAndPositionsThatFilesCarry)
{
    EXPECT_EQ(MBus_Type_Of_Data_List().size(), 26);
    EXPECT_EQ(MBus_Function_List().size(), 4);
    EXPECT_EQ(MBus_Dimension_List().size(), 8);
    EXPECT_EQ(MBus_Unit_List().size(), 11);
    EXPECT_EQ(MBus_Post_Operation_List().size(), 13);
    EXPECT_EQ(MBus_VIFE_List().size(), 152);
    EXPECT_EQ(MBus_Cut_After_List().size(), 250);

    const QStringList& type = MBus_Type_Of_Data_List();
    EXPECT_EQ(type[0], QStringLiteral("Energy (Wh)"));
    EXPECT_EQ(type[2], QString::fromUtf8("Volume (m³)"));
    EXPECT_EQ(type[12], QString::fromUtf8("Flow Temperature (°C)"));
    EXPECT_EQ(type[17], QStringLiteral("Averaging Duration "));
    EXPECT_EQ(type[19], QStringLiteral("Type of  Data in VIFE"));
    EXPECT_EQ(type[20], QStringLiteral("Time Point"));
    EXPECT_EQ(type[21], QStringLiteral("VIF is in ASCII"));
    EXPECT_EQ(type[25], QStringLiteral("Bus Address"));

    EXPECT_EQ(MBus_Function_List()[1], QStringLiteral("Minimun Value"));
    EXPECT_EQ(MBus_Dimension_List()[4], QStringLiteral("24"));
    EXPECT_EQ(MBus_Dimension_List()[6], QStringLiteral("32 Real"));
    EXPECT_EQ(MBus_Unit_List()[10], QStringLiteral("10"));
    EXPECT_EQ(MBus_Post_Operation_List()[6], QStringLiteral(" : 1000000"));
    EXPECT_EQ(MBus_Post_Operation_List()[7], QStringLiteral(" * 10"));
    EXPECT_EQ(MBus_Cut_After_List()[2], QStringLiteral("3"));
    EXPECT_EQ(MBus_Type_List()[0], QStringLiteral("wM-Bus"));
    EXPECT_EQ(MBus_Var_List_Type_List()[1], QStringLiteral("By Position"));
    EXPECT_EQ(MBus_Swap_Ident_List()[1], QStringLiteral("Type 1"));

    const QStringList& vife = MBus_VIFE_List();
    EXPECT_EQ(vife[0], QStringLiteral("Not Selected"));
    EXPECT_EQ(vife[1], QStringLiteral("Credit of the nominal local legal currency units"));
    EXPECT_EQ(vife[50], QStringLiteral("Date and time of battery change"));
    EXPECT_EQ(vife[68], QString::fromUtf8("Cold/Worm Temperature Limit °C"));
    EXPECT_EQ(vife[108], QStringLiteral("None"));
    EXPECT_EQ(vife[125], QStringLiteral("Premature end of record "));
    EXPECT_EQ(vife[151], QStringLiteral("Overflow values"));
}

// --- AES ------------------------------------------------------------------

TEST(Crypto, CmacMatchesRfc4493Examples)
{
    const Bytes key = Hex("2b7e151628aed2a6abf7158809cf4f3c");
    const Bytes msg64 = Hex("6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
                            "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710");
    struct Case { size_t length; const char* tag; };
    const Case cases[] = {
        {0, "bb1d6929e95937287fa37d129b756746"},
        {16, "070a16b46b4d4144f79bdd9dd04a287c"},
        {40, "dfa66747de9ae63030ca32611497c827"},
        {64, "51f0bebf7e3b9d92fc49741779363cfe"},
    };
    for (const Case& c : cases) {
        const auto tag = AES_CMAC(key.data(), msg64.data(), c.length);
        EXPECT_EQ(ToHex(Bytes(tag.begin(), tag.end())), ToHex(Hex(c.tag))) << c.length;
    }
}

TEST(Crypto, CbcDecryptsSp800_38aVectorInPlaceAndRejectsPartialBlocks)
{
    const Bytes key = Hex("2b7e151628aed2a6abf7158809cf4f3c");
    const Bytes iv = Hex("000102030405060708090a0b0c0d0e0f");
    Bytes buf = Hex("7649abac8119b246cee98e9b12e9197d 5086cb9b507219ee95db113a917678b2");
    AES_Decrypt_CBC(key.data(), iv.data(), buf.data(), buf.size(), buf.data());
    EXPECT_EQ(ToHex(buf), ToHex(Hex("6bc1bee22e409f96e93d7e117393172a ae2d8a571e03ac9c9eb76fac45af8e51")));

    Bytes odd(20, 0);
    try {
        AES_Decrypt_CBC(key.data(), iv.data(), odd.data(), odd.size(), odd.data());
        ADD_FAILURE() << "no error for 20 bytes";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Invalid buffer size for decryption");
    }
    Bytes untouched = {1, 2, 3};
    AES_Decrypt_CBC(key.data(), iv.data(), untouched.data(), 0, untouched.data());
    EXPECT_EQ(untouched, (Bytes{1, 2, 3}));
}

TEST(Crypto, HexToBytes)
{
    EXPECT_EQ(Hex_To_Bytes(QStringLiteral("0102ff7F")), (Bytes{0x01, 0x02, 0xFF, 0x7F}));
    EXPECT_TRUE(Hex_To_Bytes(QString()).empty());
    EXPECT_TRUE(Hex_To_Bytes(QStringLiteral("012")).empty());
    EXPECT_TRUE(Hex_To_Bytes(QStringLiteral("0G")).empty());
}

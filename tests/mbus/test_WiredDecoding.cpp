// RSP_UD frames: header, data records with every data field kind, DIFEs,
// special DIFs, checksums and truncations.

#include "MBusTestHelpers.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace mbustest;

namespace {

class Wired : public ::testing::Test {
protected:
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    TMBusTelegramDecoder d{wired, wireless};

    // Decodes one RSP_UD with the given record area; returns the records.
    const TVariable_MBus_List& Records(const Bytes& area, bool* last = nullptr)
    {
        bool l = false;
        const int pos = Feed_Wired(d, Frame_With_Records(area), -1, l);
        if (last)
            *last = l;
        EXPECT_GE(pos, 0);
        return wired.Items(pos)->List_Var;
    }
    const TVariable_MBus& One(const Bytes& area)
    {
        const TVariable_MBus_List& list = Records(area);
        EXPECT_EQ(list.size(), 1u);
        static TVariable_MBus none;
        return list.empty() ? none : *list.front();
    }
};

} // namespace

// The classic RSP_UD of the M-Bus documentation.
TEST_F(Wired, ClassicDocumentationExample)
{
    const Bytes frame = Hex("68 1F 1F 68 08 02 72 78 56 34 12 24 40 01 07 55 00 00 00 03 13 15 31 00 DA 02 3B 13 01 "
                            "8B 60 04 37 18 02 18 16");
    ASSERT_TRUE(TMBusTelegramDecoder::Is_Valid_Long_Frame(frame.data(), int(frame.size())));
    bool last = false;
    const int pos = Feed_Wired(d, frame, -1, last);
    ASSERT_EQ(pos, 0);
    EXPECT_TRUE(last);
    const TSlave_MBus& m = *wired.Items(0);
    EXPECT_EQ(m.Primary_Addresss, 2);
    EXPECT_EQ(m.Secondary_Addresss, QStringLiteral("12345678"));
    EXPECT_EQ(m.Manufacture, 0x4024);
    EXPECT_EQ(m.descManufacture, QStringLiteral("PAD"));
    EXPECT_EQ(m.Version, 1);
    EXPECT_EQ(m.Medium, 7);
    EXPECT_EQ(m.descmedium, QStringLiteral("Water"));
    EXPECT_EQ(m.Status, 0);
    ASSERT_EQ(m.List_Var.size(), 3u);

    // 03 13 15 31 00: 24-bit integer 0x003115 = 12565, volume 10^-3 m3.
    const TVariable_MBus& v1 = *m.List_Var[0];
    EXPECT_EQ(v1.DIF, QStringLiteral("$03"));
    EXPECT_EQ(v1.dimension, 3);
    EXPECT_EQ(v1.DataFieldStr, QStringLiteral("24 Bit Integer"));
    EXPECT_EQ(v1.descdim, QStringLiteral("24 Bit Integer"));
    EXPECT_EQ(v1.nbyte, 3);
    EXPECT_FALSE(v1.Is_BCD);
    EXPECT_EQ(v1.function_fild, 0);
    EXPECT_EQ(v1.FunctionFieldStr, QStringLiteral("Istantaneous value"));
    EXPECT_EQ(v1.storage_number, 0);
    EXPECT_EQ(v1.tarif, 0u);
    EXPECT_EQ(v1.device, 0);
    EXPECT_EQ(v1.numdife, 0);
    EXPECT_TRUE(v1.DIFE.isEmpty());
    EXPECT_EQ(v1.VIF, 0x13);
    EXPECT_EQ(v1.vifvalue, 0x13);
    EXPECT_EQ(v1.casovif, 0);
    EXPECT_TRUE(v1.VIFE.isEmpty());
    EXPECT_EQ(v1.totdati, QStringLiteral("153100"));
    EXPECT_EQ(v1.dato_A, 12565);
    EXPECT_EQ(v1.dato_B, 0);
    EXPECT_EQ(v1.type_data, 2);
    EXPECT_EQ(v1.Desc_Type_Data, QStringLiteral("Volume m3"));
    EXPECT_EQ(v1.Type_Data_Vife, 0);
    EXPECT_EQ(v1.ValueStr, Num("12.565"));
    EXPECT_FALSE(v1.errata);
    EXPECT_TRUE(v1.Real_Wireless_Var);
    EXPECT_FALSE(v1.datagiorno.isEmpty());
    EXPECT_FALSE(v1.tempo.isEmpty());

    // DA 02 3B 13 01: maximum, storage 5 (DIF bit + DIFE 2), 4-digit BCD 0113,
    // volume flow 10^-3 m3/h.
    const TVariable_MBus& v2 = *m.List_Var[1];
    EXPECT_EQ(v2.DIF, QStringLiteral("$DA"));
    EXPECT_EQ(v2.dimension, 10);
    EXPECT_EQ(v2.DataFieldStr, QStringLiteral("4 Digit BCD"));
    EXPECT_EQ(v2.descdim, QStringLiteral("4 digit BCD"));
    EXPECT_EQ(v2.nbyte, 2);
    EXPECT_TRUE(v2.Is_BCD);
    EXPECT_EQ(v2.function_fild, 1);
    EXPECT_EQ(v2.FunctionFieldStr, QStringLiteral("Maximum value"));
    EXPECT_EQ(v2.storage_number, 5);
    EXPECT_EQ(v2.tarif, 0u);
    EXPECT_EQ(v2.device, 0);
    EXPECT_EQ(v2.numdife, 1);
    EXPECT_EQ(v2.DIFE, QStringLiteral("$02 "));
    EXPECT_EQ(v2.VIF, 0x3B);
    EXPECT_EQ(v2.totdati, QStringLiteral("1301"));
    EXPECT_EQ(v2.dato_A, 0x0113);
    EXPECT_EQ(v2.type_data, 8);
    EXPECT_EQ(v2.Desc_Type_Data, QStringLiteral("Volume Flow m3/h"));
    EXPECT_EQ(v2.ValueStr, Num("0.113"));

    // 8B 60 04 37 18 02: tariff 2, sub-unit 1, 6-digit BCD 021837, energy 10 Wh.
    const TVariable_MBus& v3 = *m.List_Var[2];
    EXPECT_EQ(v3.DIF, QStringLiteral("$8B"));
    EXPECT_EQ(v3.dimension, 11);
    EXPECT_EQ(v3.DataFieldStr, QStringLiteral("6 Digit BCD"));
    EXPECT_EQ(v3.descdim, QStringLiteral("6 digit BCD"));
    EXPECT_EQ(v3.nbyte, 3);
    EXPECT_TRUE(v3.Is_BCD);
    EXPECT_EQ(v3.function_fild, 0);
    EXPECT_EQ(v3.storage_number, 0);
    EXPECT_EQ(v3.tarif, 2u);
    EXPECT_EQ(v3.device, 1);
    EXPECT_EQ(v3.DIFE, QStringLiteral("$60 "));
    EXPECT_EQ(v3.VIF, 0x04);
    EXPECT_EQ(v3.totdati, QStringLiteral("371802"));
    EXPECT_EQ(v3.type_data, 0);
    EXPECT_EQ(v3.Desc_Type_Data, QStringLiteral("Energy Wh"));
    EXPECT_EQ(v3.ValueStr, QStringLiteral("218370"));
}

TEST_F(Wired, EightDigitBcdVolume)
{
    const TVariable_MBus& v = One(Hex("0C 13 78 56 34 12"));
    EXPECT_EQ(v.DataFieldStr, QStringLiteral("8 Digit BCD"));
    EXPECT_EQ(v.descdim, QStringLiteral("8 digit BCD"));
    EXPECT_EQ(v.nbyte, 4);
    EXPECT_EQ(v.totdati, QStringLiteral("78563412"));
    EXPECT_EQ(v.dato_A, 0x12345678);
    EXPECT_EQ(v.ValueStr, Num("12345.678"));
}

TEST_F(Wired, HeaderFields)
{
    struct Case { const char* id; const char* secondary; };
    const Case ids[] = {
        {"78 56 34 12", "12345678"}, {"01 00 00 00", "01"}, {"56 34 12 00", "123456"},
        {"00 00 00 00", "00"},       {"FF FF FF FF", "FFFFFFFF"},
    };
    for (const Case& c : ids) {
        bool last = false;
        const Bytes header = Cat({Hex(c.id), Hex("2D 2C 1B 16 00 05 00 00")});
        const int pos = Feed_Wired(d, Long_Frame(header, Hex("01 13 05"), 0x30), -1, last);
        ASSERT_GE(pos, 0);
        const TSlave_MBus& m = *wired.Items(pos);
        EXPECT_EQ(m.Secondary_Addresss, QString::fromLatin1(c.secondary));
        EXPECT_EQ(m.Primary_Addresss, 0x30);
        EXPECT_EQ(m.descManufacture, QStringLiteral("KAM"));
        EXPECT_EQ(m.Version, 0x1B);
        EXPECT_EQ(m.Medium, 0x16);
        EXPECT_EQ(m.descmedium, QStringLiteral("Cold Water"));
        EXPECT_EQ(m.Status, 5);
    }
}

TEST(WiredTexts, ManufacturerLetters)
{
    struct Case { uint16_t code; const char* letters; };
    const Case cases[] = {
        {0x2C2D, "KAM"}, {0x4024, "PAD"}, {0x1593, "ELS"}, {0x0421, "AAA"}, {0x6B5A, "ZZZ"},
        {0x0000, "???"}, {0x0420, "A??"}, {0x7FFF, "???"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TMBusTelegramDecoder::Trova_Man(c.code), QString::fromLatin1(c.letters)) << c.code;
}

TEST(WiredTexts, MediumTexts)
{
    struct Case { int code; const char* text; };
    const Case cases[] = {
        {1, "Oil"}, {2, "Electricity"}, {3, "Gas"}, {4, "Heat (outlet)"}, {7, "Water"},
        {8, "Heat Cost Allocator."}, {12, "Heat (inlet) "}, {15, "Unknown Medium"}, {22, "Cold Water"},
        {25, "A/D Converter"}, {0, "Other"}, {16, "Other"}, {21, "Other"}, {26, "Other"}, {255, "Other"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TMBusTelegramDecoder::Desc_Medium(c.code), QString::fromLatin1(c.text)) << c.code;
}

// Every fixed data field code, values worked out from the bytes.
TEST_F(Wired, FixedDataFields)
{
    struct Case { const char* record; const char* fieldStr; const char* descdim; int nbyte; bool bcd; const char* value; };
    const Case cases[] = {
        {"00 03", "", "No data", 0, false, "0"},
        {"01 03 FE", "8 Bit Integer", "8 Bit Integer", 1, false, "-2"},
        {"02 03 34 12", "16 Bit Integer", "16 Bit Integer", 2, false, "4660"},
        {"02 03 FF FF", "16 Bit Integer", "16 Bit Integer", 2, false, "-1"},
        {"03 03 56 34 12", "24 Bit Integer", "24 Bit Integer", 3, false, "1193046"},
        {"03 03 00 00 80", "24 Bit Integer", "24 Bit Integer", 3, false, "-8388608"},
        {"04 03 78 56 34 12", "32 Bit Integer", "32 Bit Integer", 4, false, "305419896"},
        {"04 03 FF FF FF FF", "32 Bit Integer", "32 Bit Integer", 4, false, "-1"},
        {"05 03 00 00 C0 3F", "32 Bit Real", "32 Bit real", 4, false, "1.5"},
        {"05 03 00 00 20 C1", "32 Bit Real", "32 Bit real", 4, false, "-10"},
        {"06 03 01 00 00 00 00 80", "48 Bit Integer", "48 Bit Integer", 6, false, "-140737488355327"},
        {"07 03 08 07 06 05 04 03 02 01", "64 Bit Integer", "64 Bit Integer", 8, false, "7.26238597903829E16"},
        {"07 03 FF FF FF FF FF FF FF FF", "64 Bit Integer", "64 Bit Integer", 8, false, "-1"},
        {"09 03 42", "2 Digit BCD", "2 digit BCD", 1, true, "42"},
        {"09 03 1A", "2 Digit BCD", "2 digit BCD", 1, true, "20"},   // nibble A counts as 10
        {"0A 03 34 F2", "4 Digit BCD", "4 digit BCD", 2, true, "-234"},
        {"0B 03 56 34 12", "6 Digit BCD", "6 digit BCD", 3, true, "123456"},
        {"0C 03 78 56 34 F2", "8 Digit BCD", "8 digit BCD", 4, true, "-2345678"},
        {"0E 03 12 90 78 56 34 12", "12 Digit BCD", "12 digit BCD", 6, true, "123456789012"},
    };
    for (const Case& c : cases) {
        const TVariable_MBus& v = One(Hex(c.record));
        EXPECT_EQ(v.DataFieldStr, QString::fromLatin1(c.fieldStr)) << c.record;
        EXPECT_EQ(v.descdim, QString::fromLatin1(c.descdim)) << c.record;
        EXPECT_EQ(v.nbyte, c.nbyte) << c.record;
        EXPECT_EQ(v.Is_BCD, c.bcd) << c.record;
        EXPECT_EQ(v.ValueStr, Num(c.value)) << c.record;
        EXPECT_EQ(v.Desc_Type_Data, QStringLiteral("Energy Wh")) << c.record;
    }
}

TEST_F(Wired, DataBytesAAndB)
{
    const TVariable_MBus& v = One(Hex("07 03 01 02 03 04 05 06 07 08"));
    EXPECT_EQ(v.dato_A, 0x04030201);
    EXPECT_EQ(v.dato_B, 0x08070605);
    EXPECT_EQ(v.totdati, QStringLiteral("0102030405060708"));
    const TVariable_MBus& w = One(Hex("06 03 01 02 03 04 05 06"));
    EXPECT_EQ(w.dato_B, 0x0605);
}

// Variable-length values, one per LVAR range.
TEST_F(Wired, VariableLengthRanges)
{
    struct Case { const char* record; const char* fieldStr; const char* descdim; int nbyte; const char* value; };
    const Case cases[] = {
        // ASCII text is sent last character first.
        {"0D 03 03 43 42 41", "Variable Length - ASCII String with 3characters",
         "Variable length: ASCII string with 3 characters", 3, "ABC"},
        {"0D 03 00", "Variable Length - ASCII String with 0characters", "Variable length: ASCII string with 0 characters",
         0, "0"},
        {"0D 03 C2 34 12", "Variable Length - Positive BCD Number with 4 digits",
         "Variable length: Positive BCD number with 2 *2 digits", 2, "1234"},
        {"0D 03 D3 56 34 12", "Variable Length - Negative BCD Number with 6 digits",
         "Variable length: Negative BCD number with 3 *2 digits", 3, "-123456"},
        {"0D 03 E2 34 12", "Variable Length - Binary Number with 2 Bytes",
         "Variable length: Binary number with 2 bytes", 2, "4660"},
        {"0D 03 E3 FF FF FF", "Variable Length - Binary Number with 3 Bytes",
         "Variable length: Binary number with 3 bytes", 3, "-1"},
        {"0D 03 EA 0A 09 08 07 06 05 04 03 02 01", "Variable Length - Binary Number with 10 Bytes",
         "Variable length: Binary number with 10 bytes", 10, "0x0102030405060708090A"},
        // F0: a binary number of 16 bytes.
        {"0D 03 F0 10 0F 0E 0D 0C 0B 0A 09 08 07 06 05 04 03 02 01", "Variable Length - Binary Number with 16 Bytes",
         "Variable length: Binary number with 16 bytes", 16, "0x0102030405060708090A0B0C0D0E0F10"},
    };
    for (const Case& c : cases) {
        const TVariable_MBus& v = One(Hex(c.record));
        EXPECT_EQ(v.dimension, 13) << c.record;
        EXPECT_EQ(v.DataFieldStr, QString::fromLatin1(c.fieldStr)) << c.record;
        EXPECT_EQ(v.descdim, QString::fromLatin1(c.descdim)) << c.record;
        EXPECT_EQ(v.nbyte, c.nbyte) << c.record;
        EXPECT_FALSE(v.errata) << c.record;
        EXPECT_EQ(v.ValueStr, Num(c.value)) << c.record;
    }
}

// LVAR F0 to F4 are binary numbers of 4 x (LVAR - EC) bytes, F5 of 48 and F6
// of 64; F7 on are reserved. Read with any other length the parser would take
// the number's bytes for records (02 5A ... a flow temperature).
TEST_F(Wired, LongBinaryNumbersTakeTheirStandardLength)
{
    struct Case { uint8_t lvar; int length; };
    const Case cases[] = {{0xF0, 16}, {0xF1, 20}, {0xF4, 32}, {0xF5, 48}, {0xF6, 64}};
    for (const Case& c : cases) {
        Bytes number(static_cast<size_t>(c.length), 0x00);
        number[0] = 0x02;
        number[1] = 0x5A;
        number[2] = 0x10;
        number[3] = 0x01;
        const Bytes area = Cat({Hex("0D FD 3B"), Bytes{c.lvar}, number, Hex("0C 13 78 56 34 12")});
        const TVariable_MBus_List& list = Records(area);
        ASSERT_EQ(list.size(), 2u) << int(c.lvar);
        const TVariable_MBus& v = *list[0];
        EXPECT_EQ(v.nbyte, c.length) << int(c.lvar);
        EXPECT_FALSE(v.errata) << int(c.lvar);
        EXPECT_EQ(v.DataFieldStr, QStringLiteral("Variable Length - Binary Number with %1 Bytes").arg(c.length));
        EXPECT_EQ(v.descdim, QStringLiteral("Variable length: Binary number with %1 bytes").arg(c.length));
        EXPECT_EQ(v.Desc_Type_Data, QStringLiteral("Data Container for Wireless M-Bus Protocol"));
        EXPECT_EQ(v.ValueStr, QStringLiteral("0x") + QString(2 * (c.length - 4), QLatin1Char('0')) + QStringLiteral("01105A02"));
        EXPECT_EQ(v.totdati.size(), 2 * c.length);
        EXPECT_EQ(list[1]->Desc_Type_Data, QStringLiteral("Volume m3")) << int(c.lvar);
        EXPECT_EQ(list[1]->ValueStr, Num("12345.678")) << int(c.lvar);
    }
    for (uint8_t lvar : {0xF7, 0xFA, 0xFF}) {
        const TVariable_MBus_List& list = Records(Cat({Hex("0D FD 3B"), Bytes{lvar}, Hex("02 5A 10 01 0C 13 78 56 34 12")}));
        ASSERT_EQ(list.size(), 1u) << int(lvar);
        EXPECT_TRUE(list[0]->errata) << int(lvar);
        EXPECT_EQ(list[0]->DataFieldStr, QStringLiteral("Variable Length - Reserved")) << int(lvar);
    }
    EXPECT_EQ(TMBusTelegramDecoder::LVAR_Length(0xEF), 15);
    EXPECT_EQ(TMBusTelegramDecoder::LVAR_Length(0xF2), 24);
    EXPECT_EQ(TMBusTelegramDecoder::LVAR_Length(0xF3), 28);
    EXPECT_EQ(TMBusTelegramDecoder::LVAR_Length(0xF7), -1);
}

TEST_F(Wired, ReservedVariableLengthIsKeptAsUnanalysableAndEndsTheParse)
{
    const TVariable_MBus_List& list = Records(Hex("01 03 05 0D 03 FB 01 02 0C 13 78 56 34 12"));
    ASSERT_EQ(list.size(), 2u);
    const TVariable_MBus& v = *list[1];
    EXPECT_EQ(v.DataFieldStr, QStringLiteral("Variable Length - Reserved"));
    EXPECT_EQ(v.descdim, QStringLiteral("Variable length: Reserved"));
    EXPECT_EQ(v.nbyte, 0);
    EXPECT_TRUE(v.errata);
    EXPECT_EQ(v.sterror, QStringLiteral("Non analizabile"));
}

TEST_F(Wired, DifesGiveStorageTariffAndSubUnit)
{
    struct Case { const char* record; int64_t storage; uint32_t tariff; uint16_t unit; int numdife; const char* dife; };
    const Case cases[] = {
        {"42 03 01 00", 1, 0, 0, 0, ""},                        // DIF storage bit alone
        {"82 01 03 01 00", 2, 0, 0, 1, "$01 "},                 // storage 1 from the DIFE, shifted
        {"C2 9F 62 03 01 00", 95, 9, 2, 2, "$9F $62 "},         // (0x2F << 1) + 1, tariff 0b1001, unit 0b10
        {"82 40 03 01 00", 0, 0, 1, 1, "$40 "},                 // sub-unit only
        {"82 B0 20 03 01 00", 0, 0b1011, 0, 2, "$B0 $20 "},      // tariff 3 then 2, last DIFE high
        // Ten DIFEs: 41-bit storage number, 20-bit tariff, 10-bit sub-unit.
        {"C2 FF FF FF FF FF FF FF FF FF 7F 03 01 00", (int64_t(1) << 41) - 1, 0xFFFFF, 0x3FF, 10,
         "$FF $FF $FF $FF $FF $FF $FF $FF $FF $7F "},
    };
    for (const Case& c : cases) {
        const TVariable_MBus& v = One(Hex(c.record));
        EXPECT_EQ(v.storage_number, c.storage) << c.record;
        EXPECT_EQ(v.tarif, c.tariff) << c.record;
        EXPECT_EQ(v.device, c.unit) << c.record;
        EXPECT_EQ(v.numdife, c.numdife) << c.record;
        EXPECT_EQ(v.DIFE, QString::fromLatin1(c.dife)) << c.record;
        EXPECT_EQ(v.ValueStr, QStringLiteral("1")) << c.record;
    }
}

TEST_F(Wired, ElevenDifesKeepTenAndStayAligned)
{
    // The eleventh DIFE (0x05) is skipped; the record and the next one decode.
    const TVariable_MBus_List& list = Records(Hex("82 81 81 81 81 81 81 81 81 81 81 05 03 07 00 01 03 09"));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->numdife, 10);
    EXPECT_EQ(list[0]->storage_number, int64_t(0x1111111111) << 1);
    EXPECT_EQ(list[0]->ValueStr, QStringLiteral("7"));
    EXPECT_EQ(list[1]->ValueStr, QStringLiteral("9"));
}

TEST_F(Wired, VifKindsAndVifeTexts)
{
    struct Case { const char* record; int casovif; int vifvalue; const char* vife; int prinvife; };
    const Case cases[] = {
        {"01 13 05", 0, 0x13, "", 0},
        {"01 93 3B 05", 0, 0x93, "$3B ", 0x3B},
        {"01 FD 17 05", 1, 0x17, "$17 ", 0x17},
        {"01 FB 8D 3B 05", 2, 0x8D, "$8D $3B ", 0x8D},
        {"01 7F 05", 100, -1, "", 0},
        {"01 FF 01 05", 100, -1, "$01 ", 0x01},
    };
    for (const Case& c : cases) {
        const TVariable_MBus& v = One(Hex(c.record));
        EXPECT_EQ(v.casovif, c.casovif) << c.record;
        EXPECT_EQ(v.vifvalue, c.vifvalue) << c.record;
        EXPECT_EQ(v.VIFE, QString::fromLatin1(c.vife)) << c.record;
        EXPECT_EQ(v.PrinVIFE, c.prinvife) << c.record;
    }
}

TEST_F(Wired, PlainTextUnit)
{
    // VIF 7C: unit "kWh" sent last character first; the value is a number.
    const TVariable_MBus& v = One(Hex("02 7C 03 68 57 6B 39 30"));
    EXPECT_EQ(v.casovif, 101);
    EXPECT_EQ(v.VIF_ASCII, QStringLiteral("kWh"));
    EXPECT_EQ(v.type_data, 21);
    EXPECT_EQ(v.Desc_Type_Data, QStringLiteral("Vif in following String"));
    EXPECT_EQ(v.ValueStr, QStringLiteral("12345"));

    // VIF FC: the text comes right after the VIF, then the VIFEs.
    const TVariable_MBus& w = One(Hex("01 FC 01 56 22 07"));
    EXPECT_EQ(w.VIF_ASCII, QStringLiteral("V"));
    EXPECT_EQ(w.VIFE, QStringLiteral("$22 "));
    EXPECT_EQ(w.Desc_Type_Data, QStringLiteral("Vif in following String - Per Hour"));
    EXPECT_EQ(w.ValueStr, QStringLiteral("7"));

    // A text value with a plain-text unit shows the text.
    const TVariable_MBus& t = One(Hex("0D 7C 01 56 02 4B 4F"));
    EXPECT_EQ(t.VIF_ASCII, QStringLiteral("V"));
    EXPECT_EQ(t.ValueStr, QStringLiteral("OK"));

    // At most 192 characters are kept; the record after it still decodes.
    Bytes longText = Hex("01 7C C8");
    for (int i = 0; i < 200; ++i)
        longText.push_back(static_cast<uint8_t>('A' + i % 26));
    longText.push_back(0x2A);
    const Bytes area = Cat({longText, Hex("01 13 05")});
    const TVariable_MBus_List& list = Records(area);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->VIF_ASCII.size(), 192);
    EXPECT_EQ(list[0]->VIF_ASCII.right(1), QStringLiteral("A"));   // first received comes last
    EXPECT_EQ(list[0]->ValueStr, QStringLiteral("42"));
    EXPECT_EQ(list[1]->ValueStr, Num("0.005"));
}

// Special DIFs and readout selections.
TEST_F(Wired, SpecialDifs)
{
    struct Case { const char* area; size_t records; bool last; };
    const Case cases[] = {
        {"0C 13 78 56 34 12 0F 01 02 03", 1, true},                  // manufacturer data end the list
        {"0C 13 78 56 34 12 1F 01 02", 1, false},                    // more records follow
        {"2F 2F 0C 13 78 56 34 12 2F 2F", 1, true},                  // idle fillers dropped on wires
        {"0C 13 78 56 34 12 3F 0C 13 78 56 34 12", 1, true},         // special function: stop
        {"0C 13 78 56 34 12 7F 0C 13 78 56 34 12", 1, true},
        {"8F 00 13 0C 13 78 56 34 12", 1, true},                     // 8F with extension: skipped
        {"0C 13 78 56 34 12 08 13 0C 13 11 11 11 11", 1, true},      // selection for readout: stop
        {"0C 13 78 56 34 12 C8 01 13 0C 13 11 11 11 11", 1, true},
        {"0C 7E 78 56 34 12 0C 13 78 56 34 12", 0, true},            // any VIF: stop
        {"0C FE 01 78 56 34 12 0C 13 78 56 34 12", 0, true},
    };
    for (const Case& c : cases) {
        bool last = !c.last;
        const TVariable_MBus_List& list = Records(Hex(c.area), &last);
        EXPECT_EQ(list.size(), c.records) << c.area;
        EXPECT_EQ(last, c.last) << c.area;
        for (const auto& v : list)
            EXPECT_EQ(v->ValueStr, Num("12345.678")) << c.area;
    }
}

TEST_F(Wired, MoreRecordsFollowInTheNextTelegramOfTheSameMeter)
{
    bool last = true;
    const int pos = Feed_Wired(d, Frame_With_Records(Hex("0C 13 78 56 34 12 1F")), -1, last);
    ASSERT_EQ(pos, 0);
    EXPECT_FALSE(last);
    const int again = Feed_Wired(d, Frame_With_Records(Hex("02 FD 17 00 00")), pos, last);
    EXPECT_EQ(again, 0);
    EXPECT_TRUE(last);
    ASSERT_EQ(wired.Count(), 1);
    ASSERT_EQ(wired.Items(0)->List_Var.size(), 2u);
    EXPECT_EQ(wired.Items(0)->List_Var[1]->Desc_Type_Data, QStringLiteral("Error Flag (Binary)"));
}

// Only the variable data structure (CI 72) holds the header and records read
// here. A meter answering in another layout is kept with its primary address
// and the identification number where its layout has one, with no records:
// read as CI 72 it would get a manufacturer, version, medium and records that
// are not in the telegram.
TEST_F(Wired, OtherLayoutsKeepTheMeterWithoutDecodingItsData)
{
    struct Case { const char* name; uint8_t ci; const char* afterCi; const char* secondary; const char* description; };
    const Case cases[] = {
        // Fixed data structure: identification 12345678, access 0A, status 00,
        // medium and units E9 7E, counters 1 and 135.
        {"fixed", 0x73, "78 56 34 12 0A 00 E9 7E 01 00 00 00 35 01 00 00", "12345678",
         "Data not decoded: fixed data structure (CI $73)"},
        // The same, most significant byte first.
        {"fixed MSB first", 0x77, "12 34 56 78 0A 00 E9 7E 00 00 00 01 00 00 01 35", "12345678",
         "Data not decoded: fixed data structure, most significant byte first (CI $77)"},
        // Variable data structure, most significant byte first.
        {"variable MSB first", 0x76, "12 34 56 78 40 24 01 07 55 00 00 00 0C 13 12 34 56 78", "12345678",
         "Data not decoded: variable data structure, most significant byte first (CI $76)"},
        // Short header (ACC, ST, CFG): no identification number.
        {"short header", 0x7A, "55 00 00 00 0C 13 78 56 34 12 04 6D 3B 17 BF 2C", "",
         "Data not decoded: unsupported layout (CI $7A)"},
        // No header at all.
        {"no header", 0x78, "0C 13 78 56 34 12 04 6D 3B 17 BF 2C 02 FD 17 00 00", "",
         "Data not decoded: unsupported layout (CI $78)"},
        // Shorter than the fixed header of an RSP_UD: kept the same way.
        {"no header, one record", 0x78, "0C 13 78 56 34 12", "", "Data not decoded: unsupported layout (CI $78)"},
        {"application error", 0x70, "00", "", "Data not decoded: application error (CI $70)"},
        {"nothing after CI", 0x7A, "", "", "Data not decoded: unsupported layout (CI $7A)"},
        // The variable data structure cut inside its header: its data are
        // not taken for records, and its identification only when whole.
        {"variable header cut", 0x72, "78 56 34 12 24 40", "12345678",
         "Data not decoded: data header cut short (CI $72)"},
        {"variable header cut in the identification", 0x72, "78 56 34", "",
         "Data not decoded: data header cut short (CI $72)"},
    };
    for (const Case& c : cases) {
        const Bytes frame = Long_Frame(Hex(c.afterCi), {}, 0x05, c.ci);
        ASSERT_TRUE(TMBusTelegramDecoder::Is_Valid_Long_Frame(frame.data(), int(frame.size()))) << c.name;
        bool last = false;
        const int pos = Feed_Wired(d, frame, -1, last);
        ASSERT_GE(pos, 0) << c.name;
        EXPECT_TRUE(last) << c.name;
        const TSlave_MBus& m = *wired.Items(pos);
        EXPECT_EQ(m.Primary_Addresss, 5) << c.name;
        EXPECT_EQ(m.Secondary_Addresss, QString::fromLatin1(c.secondary)) << c.name;
        EXPECT_EQ(m.Manufacture, 0) << c.name;
        EXPECT_EQ(m.Version, 0) << c.name;
        EXPECT_EQ(m.Medium, 0) << c.name;
        EXPECT_EQ(m.Status, 0) << c.name;
        EXPECT_TRUE(m.List_Var.empty()) << c.name;
        EXPECT_EQ(m.description, QString::fromLatin1(c.description)) << c.name;
        EXPECT_EQ(m.descManufacture, QStringLiteral("???")) << c.name;
    }

    // A later telegram of a known meter in another layout adds nothing to it.
    bool last = false;
    const int pos = Feed_Wired(d, Frame_With_Records(Hex("0C 13 78 56 34 12 1F")), -1, last);
    EXPECT_FALSE(last);
    EXPECT_TRUE(wired.Items(pos)->description.isEmpty());
    EXPECT_EQ(Feed_Wired(d, Long_Frame(Hex("78 56 34 12 0A 00 E9 7E 01 00 00 00 35 01 00 00"), {}, 0x02, 0x73), pos, last),
              pos);
    EXPECT_TRUE(last);
    EXPECT_EQ(wired.Items(pos)->List_Var.size(), 1u);
    EXPECT_EQ(wired.Items(pos)->description, QStringLiteral("Data not decoded: fixed data structure (CI $73)"));
}

TEST_F(Wired, RspUdWithoutRecordsIsAMeterWithNoRecords)
{
    const Bytes frame = Frame_With_Records({});
    ASSERT_EQ(frame.size(), 21u);
    EXPECT_TRUE(TMBusTelegramDecoder::Is_Valid_Long_Frame(frame.data(), int(frame.size())));
    bool last = false;
    const int pos = Feed_Wired(d, frame, -1, last);
    ASSERT_EQ(pos, 0);
    EXPECT_TRUE(last);
    EXPECT_EQ(wired.Items(0)->Secondary_Addresss, QStringLiteral("12345678"));
    EXPECT_TRUE(wired.Items(0)->List_Var.empty());   // the checksum is not taken for a DIF
}

TEST_F(Wired, LongFrameTest)
{
    const Bytes good = Frame_With_Records(Hex("0C 13 78 56 34 12"));
    auto with = [&](size_t at, uint8_t value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    struct Case { const char* name; Bytes frame; bool valid; };
    const Case cases[] = {
        {"good", good, true},
        {"wrong checksum", with(good.size() - 2, uint8_t(good[good.size() - 2] + 1)), false},
        {"data changed", with(20, 0x99), false},
        {"no start", with(0, 0x10), false},
        {"no second start", with(3, 0x10), false},
        {"lengths differ", with(2, uint8_t(good[1] + 1)), false},
        {"no stop", with(good.size() - 1, 0x17), false},
        {"too short", Bytes(good.begin(), good.begin() + 20), false},
        {"nine bytes: C, A and CI", Long_Frame({}, {}, 0x05, 0x78), true},
        {"eight bytes: no CI", Hex("68 02 02 68 08 05 0D 16"), false},
        {"empty", Bytes{}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TMBusTelegramDecoder::Is_Valid_Long_Frame(c.frame.data(), int(c.frame.size())), c.valid) << c.name;
        bool last = false;
        const int before = wired.Count();
        const int pos = Feed_Wired(d, c.frame, -1, last);
        EXPECT_EQ(wired.Count(), before + (c.valid ? 1 : 0)) << c.name;
        EXPECT_EQ(pos >= 0, c.valid) << c.name;
        EXPECT_TRUE(last) << c.name;
    }
    // An invalid frame for a known meter adds nothing to it.
    bool last = false;
    const Bytes bad = with(good.size() - 2, uint8_t(good[good.size() - 2] ^ 0xFF));
    EXPECT_EQ(Feed_Wired(d, bad, 0, last), 0);
    EXPECT_EQ(wired.Items(0)->List_Var.size(), 1u);
}

// A record cut short by the end of the area is not added, and nothing past
// the area is read even when the bytes there would complete it.
TEST_F(Wired, TruncatedRecordsEndTheParse)
{
    const char* const cut[] = {
        "84",                   // DIFE missing
        "84 81",                // second DIFE missing
        "04",                   // VIF missing
        "04 93",                // VIFE missing
        "04 7C",                // plain-text length missing
        "04 7C 03 41",          // plain-text characters missing
        "0D 13",                // LVAR missing
        "0D 13 05 41 42",       // variable data missing
        "0C 13 78 56 34",       // fixed data missing
        "07 13 01 02 03 04 05 06 07",
    };
    const Bytes completion = Hex("01 01 01 01 01 01 01 01 01 01 01 01 01 01 01 01");
    for (const char* c : cut) {
        const Bytes area = Cat({Hex("01 13 05"), Hex(c)});
        // Through a frame: the checksum and stop byte follow the area.
        bool last = false;
        const int pos = Feed_Wired(d, Frame_With_Records(area), -1, last);
        ASSERT_GE(pos, 0) << c;
        EXPECT_EQ(wired.Items(pos)->List_Var.size(), 1u) << c;
        EXPECT_TRUE(d.Last_Parse_Truncated()) << c;

        // Directly: the bytes after the area would complete the record.
        const Bytes buffer = Cat({area, completion});
        d.Set_Answer(buffer.data(), buffer.size());
        TVariable_MBus_List list;
        EXPECT_TRUE(d.Decode_Records(list, int(area.size()) - 1, 0));
        EXPECT_EQ(list.size(), 1u) << c;
        EXPECT_TRUE(d.Last_Parse_Truncated()) << c;
    }
}

TEST_F(Wired, RecordAreaIsBoundedByTheDatagram)
{
    // An area that claims to reach beyond the datagram stops at its end.
    const Bytes area = Hex("01 13 05 0C 13 78 56");
    d.Set_Answer(area.data(), area.size());
    std::memset(d.Ans_Array + area.size(), 0x12, 8);
    TVariable_MBus_List list;
    d.Decode_Records(list, 2000, 0);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_TRUE(d.Last_Parse_Truncated());

    // A start beyond the last index parses nothing.
    TVariable_MBus_List none;
    EXPECT_TRUE(d.Decode_Records(none, 2, 3));
    EXPECT_TRUE(none.empty());
}

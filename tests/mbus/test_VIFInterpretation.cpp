// VIF and VIFE interpretation: descriptions, group and extension codes (checked
// against the editor's choice lists), scaling, time points and value texts.

#include "MBusTestHelpers.h"

#include "mbus/UMeter_Bus.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace mbustest;

namespace {

class Vif : public ::testing::Test {
protected:
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    TMBusTelegramDecoder d{wired, wireless};

    const TVariable_MBus& One(const Bytes& area)
    {
        bool last = false;
        const int pos = Feed_Wired(d, Frame_With_Records(area), -1, last);
        static TVariable_MBus none;
        if (pos < 0 || wired.Items(pos)->List_Var.size() != 1) {
            ADD_FAILURE() << "expected one record";
            return none;
        }
        return *wired.Items(pos)->List_Var.front();
    }
};

// Record with a 16-bit value of 12345 behind the given VIF and VIFEs.
Bytes Value_12345(const char* vifAndVifes)
{
    return Cat({Hex("02"), Hex(vifAndVifes), Hex("39 30")});
}

struct Case {
    const char* vif;
    int g;              // group code, -1 for none
    const char* d;
    const char* value;
    int x = -1;         // extension code, -1 for none
    const char* vifeText = nullptr;   // VIFE list entry at x
};

void Check(const TVariable_MBus& v, const Case& c)
{
    EXPECT_EQ(v.type_data, static_cast<uint16_t>(c.g)) << c.vif;
    EXPECT_EQ(v.Desc_Type_Data, QString::fromUtf8(c.d)) << c.vif;
    EXPECT_EQ(v.ValueStr, Num(c.value)) << c.vif;
    EXPECT_EQ(v.Type_Data_Vife, c.x == -1 ? 0 : c.x) << c.vif;
    if (c.vifeText) {
        EXPECT_EQ(MBus_VIFE_List().value(v.Type_Data_Vife), QString::fromUtf8(c.vifeText)) << c.vif;
    }
}

} // namespace

TEST_F(Vif, PrimaryTable)
{
    const Case cases[] = {
        {"00", 0, "Energy Wh", "12.345"},
        {"07", 0, "Energy Wh", "123450000"},
        {"0B", 1, "Energy J", "12345000"},
        {"13", 2, "Volume m3", "12.345"},
        {"1A", 3, "Mass kg", "1234.5"},
        {"20", 4, "On Time Seconds", "12345"},
        {"22", 4, "On Time Hours", "12345"},
        {"27", 5, "Operating Time Days", "12345"},
        {"2D", 6, "Power W", "1234500"},
        {"30", 7, "Power J/h", "12345"},
        {"3E", 8, "Volume Flow m3/h", "12345"},
        {"40", 9, "Volume Flow ext. m3/min", "0.0012345"},
        {"4F", 10, "Volume Flow ext. m3/s", "123.45"},
        {"52", 11, "Mass Flow kg/h", "1234.5"},
        {"59", 12, "Flow Temperature °C", "123.45"},
        {"5E", 13, "Return Temperature °C", "1234.5"},
        {"63", 14, "Temperature Difference K", "12345"},
        {"64", 15, "External Temperature °C", "12.345"},
        {"69", 16, "Pressure bar", "123.45"},
        {"6E", 22, "Units for H.C.A.", "12345"},
        {"6F", -1, "", "12345"},
        {"71", 17, "Averaging Duration Minutes", "12345"},
        {"77", 18, "Actuality Duration Days", "12345"},
        {"78", 23, "Fabrication No", "12345"},
        {"79", 24, "Identification", "12345"},
        {"7A", 25, "Bus Address", "12345"},
        {"7B", 19, "", "12345"},
        {"7F", -1, "Manufacturer Specific", "12345"},
    };
    for (const Case& c : cases)
        Check(One(Value_12345(c.vif)), c);

    // The group code is the position of the matching type-of-data entry.
    EXPECT_EQ(MBus_Type_Of_Data_List()[One(Value_12345("13")).type_data], QString::fromUtf8("Volume (m³)"));
    EXPECT_EQ(MBus_Type_Of_Data_List()[One(Value_12345("3E")).type_data], QString::fromUtf8("Volume Flow (m³/h)"));
    EXPECT_EQ(MBus_Type_Of_Data_List()[One(Value_12345("69")).type_data], QStringLiteral("Pressure (bar)"));
    EXPECT_EQ(MBus_Type_Of_Data_List()[One(Value_12345("78")).type_data], QStringLiteral("Fabrication No"));
}

TEST_F(Vif, FdTable)
{
    const Case cases[] = {
        {"FD 00", 19, "Credit of (currency units)", "12.345", 1, "Credit of the nominal local legal currency units"},
        {"FD 07", 19, "Debit of (currency units)", "12345", 2, "Debit of the nominal local legal currency units"},
        {"FD 08", 19, "Unique message Identification", "12345", 3, "Access Number (transmission count)"},
        {"FD 0E", 19, "Metrology (Firmware) Version Number", "12345", 9, "Firmware Version #"},
        {"FD 17", 19, "Error Flag (Binary)", "12345", 18, "Error flags (binary)"},
        {"FD 19", 19, "Security Key", "12345", 126, "Security Key"},
        {"FD 23", 19, "Reserved", "12345"},
        {"FD 26", 19, "Storage Interval Hour(s)", "12345", 28, "Storage interval [sec(s)..day(s)]"},
        {"FD 2C", 19, "Duration Since Last Readout Second(s)", "12345", 31},
        {"FD 31", 19, "Duration of Tariff Minute(s)", "12345", 33, "Duration of tariff (nn=01..11:min to day)"},
        {"FD 37", 19, "Period of Tariff Day(s)", "12345", 34},
        {"FD 3F", 19, "Period of Nominal Data Transmissions Day(s)", "12345", 131},
        {"FD 48", 19, "Electric Units Volts", "1234.5", 38, "Volts "},
        {"FD 4F", 19, "Electric Units Volts", "12345000000", 38},
        {"FD 5A", 19, "Electric Units A", "123.45", 39, "Ampere"},
        {"FD 69", 19, "Duration Since Last Cumulation Day(s)", "12345", 48},
        {"FD 6F", 19, "Operating Time Battery Year(s)", "12345", 49},
        {"FD 74", 19, "Remaining Battery Life Time (Days)", "12345", 135, "Remaining battery life time (days)"},
        {"FD 75", 19, "Number Times the Meter Was Stopped", "12345", 136},
        {"FD 76", 19, "Reserved", "12345"},
        {"FD 7F", 19, "Reserved", "12345"},
    };
    for (const Case& c : cases)
        Check(One(Value_12345(c.vif)), c);
    EXPECT_EQ(MBus_Type_Of_Data_List()[19], QStringLiteral("Type of  Data in VIFE"));

    // 2301 with VIFE 48 is 230.1 V.
    Check(One(Hex("02 FD 48 FD 08")), {"FD 48", 19, "Electric Units Volts", "230.1", 38});
}

TEST_F(Vif, FbTable)
{
    const Case cases[] = {
        {"FB 00", 19, "Energy MWh", "1234.5", 51, "Energy MWh"},
        {"FB 01", 19, "Energy MWh", "12345", 51},
        {"FB 03", 19, "Reactive Energy kVARh", "123450", 137, "Reactive energy"},
        {"FB 09", 19, "Energy GJ", "12345", 52, "Energy GJ"},
        {"FB 0D", 19, "Energy MCal", "12345", 139},
        {"FB 11", 19, "Volume m3", "12345000", 53},
        {"FB 14", 19, "Reactive Power kVAR", "12.345", 140},
        {"FB 19", 19, "Volume t", "12345000", 54, "Mass"},
        {"FB 1A", 19, "Relative Humidity %", "1234.5", 141, "Relative humidity"},
        {"FB 20", 19, "Volume Feet 3", "12345", 142},
        {"FB 26", 19, "Volume Flow 1 American Gallon/h", "12345", 60, "Volume flow 1 american gallon/h"},
        {"FB 2E", 19, "Frequency Hz", "1234.5", 145, "Frequency"},
        {"FB 37", 19, "Apparent Power kVA", "12345", 146},
        {"FB 5A", 19, "Flow Temperature °F", "1234.5", 63},
        {"FB 75", 19, "Cold / Warm Temperature Limit °C", "123.45", 68},
        {"FB 7F", 19, "Cum. Max. of Active Power W", "123450000", 69},
        {"FB 06", 19, "Reserved", "12345"},
        {"FB 40", 19, "Reserved", "12345"},
    };
    for (const Case& c : cases)
        Check(One(Value_12345(c.vif)), c);
}

TEST_F(Vif, CombinableVifes)
{
    const Case cases[] = {
        // Energy with forward flow only; a reserved VIFE.
        {"84 3B", 0, "Energy Wh - Accumulation Only if Positive Contributions (Forward Flow Contribution)", "123450", 95,
         "Accumulation only if positive contributions"},
        {"93 08", 2, " - Reserved", "12.345"},
        // Units per time, chains: the first row sets the code.
        {"93 22", 2, "Volume m3 - Per Hour", "12.345", 72, "per hour"},
        {"93 A2 3B", 2, "Volume m3 - Per Hour - Accumulation Only if Positive Contributions (Forward Flow Contribution)",
         "12.345", 72},
        // Scaling rows.
        {"93 73", 2, "Volume m3 - Moltiplicative Correction Factor: 10^(-3)", "0.012345", 103},
        {"93 77", 2, "Volume m3 - Moltiplicative Correction Factor: 10^(1)", "123.45", 103},
        {"93 79", 2, "Volume m3 - Additive Correction Constant: 10^(-2) * Unit of VIF", "0.12345", 104},
        {"93 7D", 2, "Volume m3 - Multiplicative Cerrection Factor: 10^(3)", "12345", 105},
        {"93 7E", 2, "Volume m3 - Future Value", "12.345", 106},
        // After 7F the VIFEs are the manufacturer's: not read as standard ones
        // (01 "Too Many DIFEs", 08 reserved, 73 a factor of 10^-3).
        {"93 7F", 2, "Volume m3 - Next VIFEs and Data of This Block Are Manufacturer Specific", "12.345", 107},
        {"93 FF 01", 2, "Volume m3 - Next VIFEs and Data of This Block Are Manufacturer Specific - Manufacturer Specific",
         "12.345", 107},
        {"93 FF 08", 2, "Volume m3 - Next VIFEs and Data of This Block Are Manufacturer Specific - Manufacturer Specific",
         "12.345", 107},
        {"93 FF F3 81 0B", 2,
         "Volume m3 - Next VIFEs and Data of This Block Are Manufacturer Specific - Manufacturer Specific", "12.345", 107},
        {"93 A2 FF 73", 2,
         "Volume m3 - Per Hour - Next VIFEs and Data of This Block Are Manufacturer Specific - Manufacturer Specific",
         "12.345", 72},
        {"93 1C", 2, "Volume m3 - Premature End of Record", "12.345", 125},
        // A reserved VIFE later in the chain replaces the description, keeps the code.
        {"93 A2 08", 2, " - Reserved", "12.345", 72},
        // Phase rows set no code.
        {"AB FC 01", 6, "Power W - At Phase L1", "12345"},
        {"AB FC 07", 6, "Power W - Between Phase L3 and L1", "12345"},
        {"AB FC 10", 6,
         "Power W - Accumulation of abs. Value for Both Positive and Negative Contribution (Absolute Count)", "12345"},
        {"AB FC 09", 6, "Power W", "12345"},
        // After FD and FB the combinable VIFEs start at the second VIFE.
        {"FD C8 3B", 19, "Electric Units Volts - Accumulation Only if Positive Contributions (Forward Flow Contribution)",
         "1234.5", 38},
        {"FB 80 22", 19, "Energy MWh - Per Hour", "1234.5", 51},
    };
    for (const Case& c : cases)
        Check(One(Value_12345(c.vif)), c);
}

TEST_F(Vif, AtMostTenVifesAreInterpreted)
{
    // Eleven chained VIFEs "per second": ten are taken, the eleventh is skipped
    // and the value still lines up.
    const TVariable_MBus& v = One(Value_12345("93 A0 A0 A0 A0 A0 A0 A0 A0 A0 A0 22"));
    QString expected = QStringLiteral("Volume m3");
    for (int i = 0; i < 10; ++i)
        expected += QStringLiteral(" - Per Second");
    EXPECT_EQ(v.Desc_Type_Data, expected);
    EXPECT_EQ(v.Type_Data_Vife, 70);
    EXPECT_EQ(v.VIFE.count(QLatin1Char('$')), 10);
    EXPECT_EQ(v.ValueStr, Num("12.345"));
}

TEST_F(Vif, TimePoints)
{
    struct TP { const char* record; const char* d; const char* t; };
    const TP cases[] = {
        {"02 6C BF 2C", "Time Point Date (Type G)", "31/12/21"},
        {"04 6D 3B 17 BF 2C", "Time Point Date and Time (Type F)", "31/12/21 23:59"},
        {"04 6D 32 37 1F 15", "Time Point Date and Time (Type F)", "31/05/08 23:50"},
        // Type F with its invalid bit (bit 7 of the minute byte) set.
        {"04 6D BB 17 BF 2C", "Time Point Date and Time (Type F)", "Invalid"},
        {"04 6D 80 00 00 00", "Time Point Date and Time (Type F)", "Invalid"},
        {"03 6D 05 04 03", "Time Point Extended Time Point (Type J)", "03:04:05"},
        {"06 6D 1E 2D 6C 0F 36 00", "Time Point Extended Date and Time Point (Type I)", "Wednesday 15/06/24 12:45:30"},
        {"06 6D 1E 2D 0C 0F 36 00", "Time Point Extended Date and Time Point (Type I)", "15/06/24 12:45:30"},
        {"06 6D 00 00 F7 01 01 00", "Time Point Extended Date and Time Point (Type I)", "Sunday 01/01/00 23:00:00"},
        {"01 6D 05", "", "5"},
    };
    for (const TP& c : cases) {
        const TVariable_MBus& v = One(Hex(c.record));
        EXPECT_EQ(v.type_data, 20) << c.record;
        EXPECT_EQ(v.Desc_Type_Data, QString::fromLatin1(c.d)) << c.record;
        EXPECT_EQ(v.ValueStr, QString::fromLatin1(c.t)) << c.record;
    }
    EXPECT_EQ(MBus_Type_Of_Data_List()[20], QStringLiteral("Time Point"));
}

TEST_F(Vif, DateVifesShowDatesForTypesGAndF)
{
    const Case cases[] = {
        {"02 93 6A BF 2C", 2, "Volume m3 - Date(/Time) of Begin of First", "31/12/21", 102,
         "Date(/time) of first/last begin/end"},
        {"04 93 42 3B 17 BF 2C", 2, "Volume m3 - Date(/Time) of Begin of First Lower Limit Exceed", "31/12/21 23:59", 99},
        {"04 93 42 BB 17 BF 2C", 2, "Volume m3 - Date(/Time) of Begin of First Lower Limit Exceed", "Invalid", 99},
        // Other data sizes show the number.
        {"01 93 6E 05", 2, "Volume m3 - Date(/Time) of Begin of Last", "0.005", 102},
    };
    for (const Case& c : cases)
        Check(One(Hex(c.vif)), c);
}

TEST(VifHelpers, BcdToInt64)
{
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    TMBusTelegramDecoder d(wired, wireless);
    struct Case { const char* bytes; int n; int64_t value; };
    const Case cases[] = {
        {"34 F2", 2, -234},
        {"78 56 34 12", 4, 12345678},
        {"99 99 99 99 99 99 99 99 99", 9, 999999999999999999LL},
        {"F0", 1, 0},          // a lone sign nibble: minus zero
        {"0F", 1, 15},         // F in the low nibble is a digit of 15
        {"0A", 1, 10},
        {"A1", 1, 101},        // nibbles above 9 keep their binary value
        {"12 34", 1, 12},      // only the first n bytes
    };
    for (const Case& c : cases) {
        const Bytes b = Hex(c.bytes);
        std::memset(d.App_Data_Val, 0, sizeof d.App_Data_Val);
        std::memcpy(d.App_Data_Val, b.data(), b.size());
        EXPECT_EQ(d.BCD_To_Int64(c.n), c.value) << c.bytes;
    }
    EXPECT_EQ(TMBusTelegramDecoder::Power_Ten(0), 1);
    EXPECT_EQ(TMBusTelegramDecoder::Power_Ten(18), 1000000000000000000LL);
    EXPECT_EQ(TMBusTelegramDecoder::Two_Digits(5), QStringLiteral("05"));
    EXPECT_EQ(TMBusTelegramDecoder::Two_Digits(12), QStringLiteral("12"));
    EXPECT_EQ(TMBusTelegramDecoder::Two_Digits(127), QStringLiteral("127"));
}

TEST(VifHelpers, ValueFormat)
{
    struct Case { long double v; const char* text; };
    const Case cases[] = {
        {0, "0"},
        {-0.0L, "0"},
        {1, "1"},
        {-12.5L, "-12,5"},
        {12345.678L, "12345,678"},
        {0.1L, "0,1"},
        {0.00001L, "0,00001"},              // smallest fixed value
        {0.000001L, "1E-6"},
        {0.0000015L, "1,5E-6"},
        {123456789012345.0L, "123456789012345"},   // 15 digits: still fixed
        {1234567890123456.0L, "1,23456789012346E15"},
        {1e20L, "1E20"},
        {1.0L / 3.0L, "0,333333333333333"},
        {2.0L / 3.0L, "0,666666666666667"},
        {100, "100"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TMBusTelegramDecoder::Format_Value(c.v, QLatin1Char(',')), QString::fromLatin1(c.text)) << c.text;
    EXPECT_EQ(TMBusTelegramDecoder::Format_Value(0.5L, QLatin1Char('.')), QStringLiteral("0.5"));
}

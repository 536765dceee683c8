#include "mbus/UMBusScanDecode.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>

// Meaning of a record's VIF and VIFEs: description, group code (position in
// the type-of-data list), extension code (position in the VIFE list), scaling
// of the value and its text.

namespace {

struct Code_Text {
    const char* Text;   // nullptr: reserved, or a text chosen by the unit bits
    int X;              // position in the VIFE list, -1 for none
};

// VIF FD: first VIFE code -> description and extension code.
const Code_Text FD_Table[128] = {
    /* 0x00 */ {"Credit of (currency units)", 1},
    /* 0x01 */ {"Credit of (currency units)", 1},
    /* 0x02 */ {"Credit of (currency units)", 1},
    /* 0x03 */ {"Credit of (currency units)", 1},
    /* 0x04 */ {"Debit of (currency units)", 2},
    /* 0x05 */ {"Debit of (currency units)", 2},
    /* 0x06 */ {"Debit of (currency units)", 2},
    /* 0x07 */ {"Debit of (currency units)", 2},
    /* 0x08 */ {"Unique message Identification", 3},
    /* 0x09 */ {"Device Type", 4},
    /* 0x0A */ {"Manufacturer", 5},
    /* 0x0B */ {"Parameter Set Identification", 6},
    /* 0x0C */ {"Model Version", 7},
    /* 0x0D */ {"Hardware Version Number", 8},
    /* 0x0E */ {"Metrology (Firmware) Version Number", 9},
    /* 0x0F */ {"Other Software Version Number", 10},
    /* 0x10 */ {"Customer LOcation", 11},
    /* 0x11 */ {"Customer", 12},
    /* 0x12 */ {"Access Code User", 13},
    /* 0x13 */ {"Access Code Operator", 14},
    /* 0x14 */ {"Access Code System Operator", 15},
    /* 0x15 */ {"Access Code Developer", 16},
    /* 0x16 */ {"Password", 17},
    /* 0x17 */ {"Error Flag (Binary)", 18},
    /* 0x18 */ {"Error Mask", 19},
    /* 0x19 */ {"Security Key", 126},
    /* 0x1A */ {"Digital Output (Binary)", 20},
    /* 0x1B */ {"Digital Input (Binary)", 21},
    /* 0x1C */ {"Baudrate [Baud]", 22},
    /* 0x1D */ {"Responce Delay Time [Bit-Times]", 23},
    /* 0x1E */ {"Retry", 24},
    /* 0x1F */ {"Remote Control (Device Specific e.g. Gas Value)", 127},
    /* 0x20 */ {"First Storage Number for Cyclic Storage", 25},
    /* 0x21 */ {"Last Storage Number for Cyclic Storage", 26},
    /* 0x22 */ {"Size of Storage Block", 27},
    /* 0x23 */ {nullptr, -1},
    /* 0x24 */ {nullptr, 28},
    /* 0x25 */ {nullptr, 28},
    /* 0x26 */ {nullptr, 28},
    /* 0x27 */ {nullptr, 28},
    /* 0x28 */ {"Storage Interval Month(s)", 29},
    /* 0x29 */ {"Storage Interval Year(s)", 30},
    /* 0x2A */ {"Operator Specific Data", 128},
    /* 0x2B */ {"Time Point Second (0 to 59)", 129},
    /* 0x2C */ {nullptr, 31},
    /* 0x2D */ {nullptr, 31},
    /* 0x2E */ {nullptr, 31},
    /* 0x2F */ {nullptr, 31},
    /* 0x30 */ {"Start (Date/Time) of Tariff", 32},
    /* 0x31 */ {nullptr, 33},
    /* 0x32 */ {nullptr, 33},
    /* 0x33 */ {nullptr, 33},
    /* 0x34 */ {nullptr, 34},
    /* 0x35 */ {nullptr, 34},
    /* 0x36 */ {nullptr, 34},
    /* 0x37 */ {nullptr, 34},
    /* 0x38 */ {"Period of Tariff Month(s)", 35},
    /* 0x39 */ {"Period of Tariff Year(s)", 36},
    /* 0x3A */ {"Dimensionless / No VIF", 37},
    /* 0x3B */ {"Data Container for Wireless M-Bus Protocol", 130},
    /* 0x3C */ {nullptr, 131},
    /* 0x3D */ {nullptr, 131},
    /* 0x3E */ {nullptr, 131},
    /* 0x3F */ {nullptr, 131},
    /* 0x40 */ {"Electric Units Volts", 38},
    /* 0x41 */ {"Electric Units Volts", 38},
    /* 0x42 */ {"Electric Units Volts", 38},
    /* 0x43 */ {"Electric Units Volts", 38},
    /* 0x44 */ {"Electric Units Volts", 38},
    /* 0x45 */ {"Electric Units Volts", 38},
    /* 0x46 */ {"Electric Units Volts", 38},
    /* 0x47 */ {"Electric Units Volts", 38},
    /* 0x48 */ {"Electric Units Volts", 38},
    /* 0x49 */ {"Electric Units Volts", 38},
    /* 0x4A */ {"Electric Units Volts", 38},
    /* 0x4B */ {"Electric Units Volts", 38},
    /* 0x4C */ {"Electric Units Volts", 38},
    /* 0x4D */ {"Electric Units Volts", 38},
    /* 0x4E */ {"Electric Units Volts", 38},
    /* 0x4F */ {"Electric Units Volts", 38},
    /* 0x50 */ {"Electric Units A", 39},
    /* 0x51 */ {"Electric Units A", 39},
    /* 0x52 */ {"Electric Units A", 39},
    /* 0x53 */ {"Electric Units A", 39},
    /* 0x54 */ {"Electric Units A", 39},
    /* 0x55 */ {"Electric Units A", 39},
    /* 0x56 */ {"Electric Units A", 39},
    /* 0x57 */ {"Electric Units A", 39},
    /* 0x58 */ {"Electric Units A", 39},
    /* 0x59 */ {"Electric Units A", 39},
    /* 0x5A */ {"Electric Units A", 39},
    /* 0x5B */ {"Electric Units A", 39},
    /* 0x5C */ {"Electric Units A", 39},
    /* 0x5D */ {"Electric Units A", 39},
    /* 0x5E */ {"Electric Units A", 39},
    /* 0x5F */ {"Electric Units A", 39},
    /* 0x60 */ {"Reset Counter", 40},
    /* 0x61 */ {"Cumulation Counter", 41},
    /* 0x62 */ {"Control Signal", 42},
    /* 0x63 */ {"Day of Week", 43},
    /* 0x64 */ {"Week Number", 44},
    /* 0x65 */ {"Time Point of Day Change", 45},
    /* 0x66 */ {"State of Parameter Activation", 46},
    /* 0x67 */ {"Special Supplier Information", 47},
    /* 0x68 */ {nullptr, 48},
    /* 0x69 */ {nullptr, 48},
    /* 0x6A */ {nullptr, 48},
    /* 0x6B */ {nullptr, 48},
    /* 0x6C */ {nullptr, 49},
    /* 0x6D */ {nullptr, 49},
    /* 0x6E */ {nullptr, 49},
    /* 0x6F */ {nullptr, 49},
    /* 0x70 */ {"Date and Time of Battery Change", 50},
    /* 0x71 */ {"RF Level Units: dBm", 132},
    /* 0x72 */ {"Daylight Savings (Beginning, Ending, Deviation) Data Type K", 133},
    /* 0x73 */ {"Listening Window Management Data Type L", 134},
    /* 0x74 */ {"Remaining Battery Life Time (Days)", 135},
    /* 0x75 */ {"Number Times the Meter Was Stopped", 136},
    /* 0x76 */ {nullptr, -1},
    /* 0x77 */ {nullptr, -1},
    /* 0x78 */ {nullptr, -1},
    /* 0x79 */ {nullptr, -1},
    /* 0x7A */ {nullptr, -1},
    /* 0x7B */ {nullptr, -1},
    /* 0x7C */ {nullptr, -1},
    /* 0x7D */ {nullptr, -1},
    /* 0x7E */ {nullptr, -1},
    /* 0x7F */ {nullptr, -1},
};

// Combinable VIFEs: code -> text appended to the description and extension code.
const Code_Text Combinable_Table[128] = {
    /* 0x00 */ {" - None", 108},
    /* 0x01 */ {" - Too Many DIFEs", 109},
    /* 0x02 */ {" - Storage Number not Implemented", 110},
    /* 0x03 */ {" - Unit Number not Implemented", 111},
    /* 0x04 */ {" - Tariff Number not Implemented", 112},
    /* 0x05 */ {" - Function not Implemented", 113},
    /* 0x06 */ {" - Data Class not Implemented", 114},
    /* 0x07 */ {" - Data Size not Implemented", 115},
    /* 0x08 */ {nullptr, -1},
    /* 0x09 */ {nullptr, -1},
    /* 0x0A */ {nullptr, -1},
    /* 0x0B */ {" - Too Many VIFEs", 116},
    /* 0x0C */ {" - Illegal VIF-Group", 117},
    /* 0x0D */ {" - Illegal VIF-Exponent", 118},
    /* 0x0E */ {" - VIF / DIF Mismatch", 119},
    /* 0x0F */ {" - Unimplemented Action", 120},
    /* 0x10 */ {nullptr, -1},
    /* 0x11 */ {nullptr, -1},
    /* 0x12 */ {nullptr, -1},
    /* 0x13 */ {nullptr, -1},
    /* 0x14 */ {nullptr, -1},
    /* 0x15 */ {" - No Data Available (Undefined Value)", 121},
    /* 0x16 */ {" - Data Overflow", 122},
    /* 0x17 */ {" - Data Underflow", 123},
    /* 0x18 */ {" - Data Error", 124},
    /* 0x19 */ {nullptr, -1},
    /* 0x1A */ {nullptr, -1},
    /* 0x1B */ {nullptr, -1},
    /* 0x1C */ {" - Premature End of Record", 125},
    /* 0x1D */ {nullptr, -1},
    /* 0x1E */ {nullptr, -1},
    /* 0x1F */ {nullptr, -1},
    /* 0x20 */ {" - Per Second", 70},
    /* 0x21 */ {" - Per Minute", 71},
    /* 0x22 */ {" - Per Hour", 72},
    /* 0x23 */ {" - Per Day", 73},
    /* 0x24 */ {" - Per Week", 74},
    /* 0x25 */ {" - Per Month", 75},
    /* 0x26 */ {" - Per Year", 76},
    /* 0x27 */ {" - Per Revolution / Measurement", 77},
    /* 0x28 */ {" - Increment per Input Pulse on Input Channel 0", 78},
    /* 0x29 */ {" - Increment per Input Pulse on Input Channel 1", 78},
    /* 0x2A */ {" - Increment per Output Pulse on Output Channel 0", 79},
    /* 0x2B */ {" - Increment per Output Pulse on Output Channel 1", 79},
    /* 0x2C */ {" - Per Liter", 80},
    /* 0x2D */ {" - Per m3", 81},
    /* 0x2E */ {" - Per kg", 82},
    /* 0x2F */ {" - Per K (Kelvin)", 83},
    /* 0x30 */ {" - Per kWh", 84},
    /* 0x31 */ {" - Per GJ", 85},
    /* 0x32 */ {" - Per kW", 86},
    /* 0x33 */ {" - Per (K*l)(Kelvin * Litre)", 87},
    /* 0x34 */ {" - Per V (Volt)", 88},
    /* 0x35 */ {" - Per (A) (Ampere)", 89},
    /* 0x36 */ {" - Multiplied by s", 90},
    /* 0x37 */ {" - Multiplied by s / V", 91},
    /* 0x38 */ {" - Multiplied by s / A", 92},
    /* 0x39 */ {" - Start Date (/Time) of", 93},
    /* 0x3A */ {" - VIF Contains Uncorrect Unit or Value at Metering Conditions Instead of Converted Unit", 94},
    /* 0x3B */ {" - Accumulation Only if Positive Contributions (Forward Flow Contribution)", 95},
    /* 0x3C */ {" - Accumulation of abs Value Only if Negative Contributions (Backward Flow)", 96},
    /* 0x3D */ {" - Reserved for Alternate non-metric Unit System (according to Annex C)", 147},
    /* 0x3E */ {" - Value at Base Conditions", 148},
    /* 0x3F */ {nullptr, -1},
    /* 0x40 */ {" - Lower Limit Value", 97},
    /* 0x41 */ {" - # of Exceeds of Lower Limit", 98},
    /* 0x42 */ {" - Date(/Time) of Begin of First Lower Limit Exceed", 99},
    /* 0x43 */ {" - Date(/Time) of End of First Lower Limit Exceed", 99},
    /* 0x44 */ {nullptr, -1},
    /* 0x45 */ {nullptr, -1},
    /* 0x46 */ {" - Date(/Time) of Begin of Last Lower Limit Exceed", 99},
    /* 0x47 */ {" - Date(/Time) of End of Last Lower Limit Exceed", 99},
    /* 0x48 */ {" - Upper Limit Value", 97},
    /* 0x49 */ {" - # of Exceeds of Upper Limit", 98},
    /* 0x4A */ {" - Date(/Time) of Begin of First Upper Limit Exceed", 99},
    /* 0x4B */ {" - Date(/Time) of End of First Upper Limit Exceed", 99},
    /* 0x4C */ {nullptr, -1},
    /* 0x4D */ {nullptr, -1},
    /* 0x4E */ {" - Date(/Time) of Begin of Last Upper Limit Exceed", 99},
    /* 0x4F */ {" - Date(/Time) of End of Last Upper Limit Exceed", 99},
    /* 0x50 */ {" - Duration 00 of First Lower Limit Exceed", 100},
    /* 0x51 */ {" - Duration 01 of First Lower Limit Exceed", 100},
    /* 0x52 */ {" - Duration 02 of First Lower Limit Exceed", 100},
    /* 0x53 */ {" - Duration 03 of First Lower Limit Exceed", 100},
    /* 0x54 */ {" - Duration 00 of Last Lower Limit Exceed", 100},
    /* 0x55 */ {" - Duration 01 of Last Lower Limit Exceed", 100},
    /* 0x56 */ {" - Duration 02 of Last Lower Limit Exceed", 100},
    /* 0x57 */ {" - Duration 03 of Last Lower Limit Exceed", 100},
    /* 0x58 */ {" - Duration 00 of First Upper Limit Exceed", 100},
    /* 0x59 */ {" - Duration 01 of First Upper Limit Exceed", 100},
    /* 0x5A */ {" - Duration 02 of First Upper Limit Exceed", 100},
    /* 0x5B */ {" - Duration 03 of First Upper Limit Exceed", 100},
    /* 0x5C */ {" - Duration 00 of Last Upper Limit Exceed", 100},
    /* 0x5D */ {" - Duration 01 of Last Upper Limit Exceed", 100},
    /* 0x5E */ {" - Duration 02 of Last Upper Limit Exceed", 100},
    /* 0x5F */ {" - Duration 03 of Last Upper Limit Exceed", 100},
    /* 0x60 */ {" - Duration 00 of First", 101},
    /* 0x61 */ {" - Duration 01 of First", 101},
    /* 0x62 */ {" - Duration 02 of First", 101},
    /* 0x63 */ {" - Duration 03 of First", 101},
    /* 0x64 */ {" - Duration 00 of Last", 101},
    /* 0x65 */ {" - Duration 01 of Last", 101},
    /* 0x66 */ {" - Duration 02 of Last", 101},
    /* 0x67 */ {" - Duration 03 of Last", 101},
    /* 0x68 */ {" - Value During Lower Limit Exceed", 149},
    /* 0x69 */ {" - Leakage Values", 150},
    /* 0x6A */ {" - Date(/Time) of Begin of First", 102},
    /* 0x6B */ {" - Date(/Time) of End of First", 102},
    /* 0x6C */ {" - Value During Upper Limit Exceed", 149},
    /* 0x6D */ {" - Overflow Values", 151},
    /* 0x6E */ {" - Date(/Time) of Begin of Last", 102},
    /* 0x6F */ {" - Date(/Time) of End of Last", 102},
    /* 0x70 */ {" - Moltiplicative Correction Factor: 10^(-6)", 103},
    /* 0x71 */ {" - Moltiplicative Correction Factor: 10^(-5)", 103},
    /* 0x72 */ {" - Moltiplicative Correction Factor: 10^(-4)", 103},
    /* 0x73 */ {" - Moltiplicative Correction Factor: 10^(-3)", 103},
    /* 0x74 */ {" - Moltiplicative Correction Factor: 10^(-2)", 103},
    /* 0x75 */ {" - Moltiplicative Correction Factor: 10^(-1)", 103},
    /* 0x76 */ {" - Moltiplicative Correction Factor: 10^(0)", 103},
    /* 0x77 */ {" - Moltiplicative Correction Factor: 10^(1)", 103},
    /* 0x78 */ {" - Additive Correction Constant: 10^(-3) * Unit of VIF", 104},
    /* 0x79 */ {" - Additive Correction Constant: 10^(-2) * Unit of VIF", 104},
    /* 0x7A */ {" - Additive Correction Constant: 10^(-1) * Unit of VIF", 104},
    /* 0x7B */ {" - Additive Correction Constant: 10^(0) * Unit of VIF", 104},
    /* 0x7C */ {nullptr, -1},
    /* 0x7D */ {" - Multiplicative Cerrection Factor: 10^(3)", 105},
    /* 0x7E */ {" - Future Value", 106},
    /* 0x7F */ {" - Next VIFEs and Data of This Block Are Manufacturer Specific", 107},
};

const char* const Time_Units_Plain[4] = {"Seconds", "Minutes", "Hours", "Days"};
const char* const Time_Units_S[4] = {"Second(s)", "Minute(s)", "Hour(s)", "Day(s)"};
const char* const Long_Units_S[4] = {"Hour(s)", "Day(s)", "Month(s)", "Year(s)"};

// A text written character by character, taken as one QString at the end.
class Text_Buffer {
public:
    void Put(char16_t c)
    {
        if (m_Size < Capacity)
            m_Chars[m_Size++] = c;
    }
    void Put(const char* text)
    {
        while (*text)
            Put(char16_t(uint8_t(*text++)));
    }
    void Put(QChar c) { Put(c.unicode()); }
    // A non-negative number in decimal.
    void Number(int value)
    {
        char digits[12];
        int n = 0;
        unsigned u = value < 0 ? 0u - unsigned(value) : unsigned(value);
        do {
            digits[n++] = char('0' + u % 10);
            u /= 10;
        } while (u);
        if (value < 0)
            Put(u'-');
        while (n)
            Put(char16_t(digits[--n]));
    }
    // As Two_Digits: a leading "0" for a one-character number.
    void Two_Digits(int value)
    {
        if (value >= 0 && value < 10)
            Put(u'0');
        Number(value);
    }
    QString Take() const { return QString(reinterpret_cast<const QChar*>(m_Chars), m_Size); }

private:
    static constexpr int Capacity = 96;
    char16_t m_Chars[Capacity];
    int m_Size = 0;
};

// The texts of the tables, made once and shared by every record.

// Primary VIF durations: on time, operating time, averaging and actuality
// duration, each by its unit bits.
const QString& Duration_Text(int Group, int nn)
{
    static const std::array<QString, 16> texts = [] {
        static const char* const prefixes[4] = {"On Time ", "Operating Time ", "Averaging Duration ",
                                                "Actuality Duration "};
        std::array<QString, 16> t;
        for (int g = 0; g < 4; ++g)
            for (int u = 0; u < 4; ++u)
                t[size_t(g * 4 + u)] = QString::fromLatin1(prefixes[g]) + QString::fromLatin1(Time_Units_Plain[u]);
        return t;
    }();
    return texts[size_t(Group * 4 + (nn & 3))];
}

struct Extension_Row {
    QString Text;
    int X = -1;
    int Kind = 0;     // FB factor: 0 none, 1 10^(n+Offset), 2 10^(nn+Offset), 3 10^(nnn+Offset)
    int Offset = 0;
};

// VIF FD: description and extension code of each first-VIFE code.
const std::array<Extension_Row, 128>& FD_Rows()
{
    static const std::array<Extension_Row, 128> rows = [] {
        std::array<Extension_Row, 128> r;
        for (int code = 0; code < 128; ++code) {
            const Code_Text& row = FD_Table[code];
            const int cnn = code & 0x03;
            QString d;
            int x = row.X;
            if (row.Text)
                d = QString::fromLatin1(row.Text);
            else if (code >= 0x24 && code <= 0x27)
                d = QStringLiteral("Storage Interval ") + QString::fromLatin1(Time_Units_S[cnn]);
            else if (code >= 0x2C && code <= 0x2F)
                d = QStringLiteral("Duration Since Last Readout ") + QString::fromLatin1(Time_Units_S[cnn]);
            else if (code >= 0x31 && code <= 0x33)
                d = QStringLiteral("Duration of Tariff ") + QString::fromLatin1(Time_Units_S[cnn]);
            else if (code >= 0x34 && code <= 0x37)
                d = QStringLiteral("Period of Tariff ") + QString::fromLatin1(Time_Units_S[cnn]);
            else if (code >= 0x3C && code <= 0x3F)
                d = QStringLiteral("Period of Nominal Data Transmissions ") + QString::fromLatin1(Time_Units_S[cnn]);
            else if (code >= 0x68 && code <= 0x6B)
                d = QStringLiteral("Duration Since Last Cumulation ") + QString::fromLatin1(Long_Units_S[cnn]);
            else if (code >= 0x6C && code <= 0x6F)
                d = QStringLiteral("Operating Time Battery ") + QString::fromLatin1(Long_Units_S[cnn]);
            else {
                d = QStringLiteral("Reserved");
                x = -1;
            }
            r[size_t(code)].Text = d;
            r[size_t(code)].X = x;
        }
        return r;
    }();
    return rows;
}

// VIF FB: description, extension code and factor of each first-VIFE code;
// every code not listed is reserved.
const std::array<Extension_Row, 128>& FB_Rows()
{
    static const std::array<Extension_Row, 128> rows = [] {
        struct FB_Row { int From, To; const char* Text; int X; int Kind; int Offset; };
        static const FB_Row table[] = {
            {0x00, 0x01, "Energy MWh", 51, 1, -1},
            {0x02, 0x03, "Reactive Energy kVARh", 137, 1, 0},
            {0x04, 0x05, "Apparent Energy kVAh", 138, 1, 0},
            {0x08, 0x09, "Energy GJ", 52, 1, -1},
            {0x0C, 0x0F, "Energy MCal", 139, 2, -1},
            {0x10, 0x11, "Volume m3", 53, 1, 2},
            {0x14, 0x17, "Reactive Power kVAR", 140, 2, -3},
            {0x18, 0x19, "Volume t", 54, 1, 2},
            {0x1A, 0x1B, "Relative Humidity %", 141, 1, -1},
            {0x20, 0x20, "Volume Feet 3", 142, 0, 0},
            {0x21, 0x21, "Volume 0,1 Feet 3", 55, 0, 0},
            {0x22, 0x22, "Volume 0,1 American Gallon", 56, 0, 0},
            {0x23, 0x23, "Volume 1 American Gallon", 57, 0, 0},
            {0x24, 0x24, "Volume Flow 0,001 American Gallon/min", 58, 0, 0},
            {0x25, 0x25, "Volume Flow 1 American Gallon/min", 59, 0, 0},
            {0x26, 0x26, "Volume Flow 1 American Gallon/h", 60, 0, 0},
            {0x28, 0x29, "Power MW", 61, 1, -1},
            {0x2A, 0x2A, "Phase U-U (Volt. to Volt.)", 143, 0, 0},
            {0x2B, 0x2B, "Phase U-I (Volt. to Current)", 144, 0, 0},
            {0x2C, 0x2F, "Frequency Hz", 145, 2, -3},
            {0x30, 0x31, "Power GJ/h", 62, 1, -1},
            {0x34, 0x37, "Apparent Power kVA", 146, 2, -3},
            {0x58, 0x5B, "Flow Temperature \xB0" "F", 63, 2, -3},
            {0x5C, 0x5F, "Return Temperature \xB0" "F", 64, 2, -3},
            {0x60, 0x63, "Temperature Difference \xB0" "F", 65, 2, -3},
            {0x64, 0x67, "External Temperature \xB0" "F", 66, 2, -3},
            {0x70, 0x73, "Cold / Warm Temperature Limit \xB0" "F", 67, 2, -3},
            {0x74, 0x77, "Cold / Warm Temperature Limit \xB0" "C", 68, 2, -3},
            {0x78, 0x7F, "Cum. Max. of Active Power W", 69, 3, -3},
        };
        std::array<Extension_Row, 128> r;
        const QString reserved = QStringLiteral("Reserved");
        for (Extension_Row& row : r)
            row.Text = reserved;
        for (const FB_Row& row : table) {
            const QString text = QString::fromLatin1(row.Text);
            for (int code = row.From; code <= row.To; ++code)
                r[size_t(code)] = {text, row.X, row.Kind, row.Offset};
        }
        return r;
    }();
    return rows;
}

// Combinable VIFEs: the text each listed code appends; null for the reserved.
const std::array<QString, 128>& Combinable_Texts()
{
    static const std::array<QString, 128> texts = [] {
        std::array<QString, 128> t;
        for (int code = 0; code < 128; ++code)
            if (Combinable_Table[code].Text)
                t[size_t(code)] = QString::fromLatin1(Combinable_Table[code].Text);
        return t;
    }();
    return texts;
}

QString Latin1_Text(const uint8_t* Bytes, int Count, bool Reversed)
{
    QString s;
    s.reserve(Count);
    for (int i = 0; i < Count; ++i)
        s.append(QChar(Bytes[Reversed ? Count - 1 - i : i]));
    return s;
}

} // namespace

int64_t TMBusTelegramDecoder::Power_Ten(int n)
{
    static const int64_t table[19] = {1LL,
                                      10LL,
                                      100LL,
                                      1000LL,
                                      10000LL,
                                      100000LL,
                                      1000000LL,
                                      10000000LL,
                                      100000000LL,
                                      1000000000LL,
                                      10000000000LL,
                                      100000000000LL,
                                      1000000000000LL,
                                      10000000000000LL,
                                      100000000000000LL,
                                      1000000000000000LL,
                                      10000000000000000LL,
                                      100000000000000000LL,
                                      1000000000000000000LL};
    if (n < 0)
        return 0;
    return n <= 18 ? table[n] : INT64_MAX;
}

int64_t TMBusTelegramDecoder::BCD_To_Int64(int n) const
{
    // At most nine bytes (18 digits) fit the result.
    if (n > 9)
        n = 9;
    int64_t value = 0;
    for (int i = 0; i < n; ++i) {
        const uint8_t b = App_Data_Val[i];
        value += static_cast<int64_t>(b & 0x0F) * Power_Ten(2 * i);
        if (i == n - 1 && (b >> 4) == 0x0F)
            value = -value;
        else
            value += static_cast<int64_t>(b >> 4) * Power_Ten(2 * i + 1);
    }
    return value;
}

QString TMBusTelegramDecoder::Two_Digits(int Value)
{
    QString s = QString::number(Value);
    if (s.size() == 1)
        s.prepend(QLatin1Char('0'));
    return s;
}

QString TMBusTelegramDecoder::Format_Value(long double Value, QChar Separator)
{
    if (std::isnan(Value))
        return QStringLiteral("NAN");
    if (std::isinf(Value))
        return Value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (Value == 0)
        return QStringLiteral("0");

    Text_Buffer text;
    if (Value < 0)
        text.Put(u'-');
    const long double magnitude = std::fabs(Value);
    // A whole number of at most 15 digits shows all its digits, as the
    // rounding to 15 significant digits below would give them.
    if (magnitude < 1e15L && magnitude == std::trunc(magnitude)) {
        char digits[20];
        int n = 0;
        for (uint64_t u = static_cast<uint64_t>(magnitude); u; u /= 10)
            digits[n++] = char('0' + u % 10);
        while (n)
            text.Put(char16_t(digits[--n]));
        return text.Take();
    }

    // 15 significant digits, rounded once: d.dddddddddddddde[+-]xx
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14Le", magnitude);
    char digits[24];
    int count = 0;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9' && count < int(sizeof digits))
            digits[count++] = *p;
    const int exponent = (*p == 'e') ? std::atoi(p + 1) : 0;
    while (count > 1 && digits[count - 1] == '0')
        --count;
    auto put_digits = [&](int from, int to) {
        for (int i = from; i < to; ++i)
            text.Put(char16_t(digits[i]));
    };

    if (exponent >= -5 && exponent < 15) {
        if (exponent >= 0) {
            const int intDigits = exponent + 1;
            if (count <= intDigits) {
                put_digits(0, count);
                for (int i = count; i < intDigits; ++i)
                    text.Put(u'0');
            } else {
                put_digits(0, intDigits);
                text.Put(Separator);
                put_digits(intDigits, count);
            }
        } else {
            text.Put(u'0');
            text.Put(Separator);
            for (int i = 0; i < -exponent - 1; ++i)
                text.Put(u'0');
            put_digits(0, count);
        }
    } else {
        put_digits(0, 1);
        if (count > 1) {
            text.Put(Separator);
            put_digits(1, count);
        }
        text.Put(u'E');
        text.Number(exponent);
    }
    return text.Take();
}

namespace {

long double Scaled(long double v, int exponent)
{
    // Dividing by an exact power of ten keeps decimal fractions exact to the
    // last digit shown.
    if (exponent >= 0)
        return v * static_cast<long double>(TMBusTelegramDecoder::Power_Ten(exponent));
    return v / static_cast<long double>(TMBusTelegramDecoder::Power_Ten(-exponent));
}

} // namespace

void TMBusTelegramDecoder::Decode_VIF(uint8_t VIF, uint8_t First_VIFE, TVariable_MBus& Rec, int nbyte, uint8_t LVAR,
                                      uint8_t Data_Field)
{
    const uint8_t* data = App_Data_Val;
    if (nbyte < 0)
        nbyte = 0;
    if (nbyte > static_cast<int>(sizeof App_Data_Val))
        nbyte = static_cast<int>(sizeof App_Data_Val);

    // 1. Raw value. Variable-length text and long binary numbers keep their
    // own text in place of a number.
    long double v = 0;
    QString rawText;
    switch (Data_Field) {
    case 1: v = static_cast<int8_t>(data[0]); break;
    case 2: v = static_cast<int16_t>(data[0] | (data[1] << 8)); break;
    case 3: {
        int32_t x = data[0] | (data[1] << 8) | (data[2] << 16);
        if (data[2] & 0x80)
            x -= 0x1000000;
        v = x;
        break;
    }
    case 4: {
        uint32_t u = 0;
        for (int i = 3; i >= 0; --i)
            u = (u << 8) | data[i];
        v = static_cast<int32_t>(u);
        break;
    }
    case 5: {
        uint32_t u = 0;
        for (int i = 3; i >= 0; --i)
            u = (u << 8) | data[i];
        float f;
        std::memcpy(&f, &u, sizeof f);
        v = f;
        break;
    }
    case 6: {
        int64_t x = 0;
        for (int i = 5; i >= 0; --i)
            x = x * 256 + data[i];
        if (data[5] & 0x80)
            x -= (int64_t(1) << 48);
        v = static_cast<long double>(x);
        break;
    }
    case 7: {
        uint64_t u = 0;
        for (int i = 7; i >= 0; --i)
            u = (u << 8) | data[i];
        v = static_cast<long double>(static_cast<int64_t>(u));
        break;
    }
    case 9: case 10: case 11: case 12: v = static_cast<long double>(BCD_To_Int64(Data_Field - 8)); break;
    case 14: v = static_cast<long double>(BCD_To_Int64(6)); break;
    case 13:
        if (LVAR >= 0xC0 && LVAR <= 0xC9)
            v = static_cast<long double>(BCD_To_Int64(LVAR - 0xC0));
        else if (LVAR >= 0xD0 && LVAR <= 0xD9)
            v = -static_cast<long double>(BCD_To_Int64(LVAR - 0xD0));
        else if (LVAR <= 0xBF) {
            // Text is sent last character first.
            rawText = Latin1_Text(data, nbyte < LVAR ? nbyte : LVAR, true);
        } else if (LVAR >= 0xE0 && LVAR <= 0xF6) {
            const int n = LVAR_Length(LVAR) < nbyte ? LVAR_Length(LVAR) : nbyte;
            if (n <= 8) {
                uint64_t u = 0;
                for (int i = n - 1; i >= 0; --i)
                    u = (u << 8) | data[i];
                if (n > 0 && n < 8 && (data[n - 1] & 0x80))
                    u |= ~uint64_t(0) << (8 * n);   // sign-extend
                v = static_cast<long double>(static_cast<int64_t>(u));
            } else {
                static const char hex[] = "0123456789ABCDEF";
                QString text(2 + 2 * n, Qt::Uninitialized);
                QChar* out = text.data();
                *out++ = QLatin1Char('0');
                *out++ = QLatin1Char('x');
                for (int i = n - 1; i >= 0; --i) {
                    *out++ = QLatin1Char(hex[data[i] >> 4]);
                    *out++ = QLatin1Char(hex[data[i] & 0x0F]);
                }
                rawText = text;
            }
        }
        break;
    default: break;
    }

    // 2. Primary VIF.
    int g = -1;
    int x = -1;
    QString d;
    QString t;
    const uint8_t pv = VIF & 0x7F;
    const int n = pv & 0x07;
    const int nn = pv & 0x03;
    bool timePoint = false;
    if (pv <= 0x07) { g = 0; d = QStringLiteral("Energy Wh"); v = Scaled(v, n - 3); }
    else if (pv <= 0x0F) { g = 1; d = QStringLiteral("Energy J"); v = Scaled(v, n); }
    else if (pv <= 0x17) { g = 2; d = QStringLiteral("Volume m3"); v = Scaled(v, n - 6); }
    else if (pv <= 0x1F) { g = 3; d = QStringLiteral("Mass kg"); v = Scaled(v, n - 3); }
    else if (pv <= 0x23) { g = 4; d = Duration_Text(0, nn); }
    else if (pv <= 0x27) { g = 5; d = Duration_Text(1, nn); }
    else if (pv <= 0x2F) { g = 6; d = QStringLiteral("Power W"); v = Scaled(v, n - 3); }
    else if (pv <= 0x37) { g = 7; d = QStringLiteral("Power J/h"); v = Scaled(v, n); }
    else if (pv <= 0x3F) { g = 8; d = QStringLiteral("Volume Flow m3/h"); v = Scaled(v, n - 6); }
    else if (pv <= 0x47) { g = 9; d = QStringLiteral("Volume Flow ext. m3/min"); v = Scaled(v, n - 7); }
    else if (pv <= 0x4F) { g = 10; d = QStringLiteral("Volume Flow ext. m3/s"); v = Scaled(v, n - 9); }
    else if (pv <= 0x57) { g = 11; d = QStringLiteral("Mass Flow kg/h"); v = Scaled(v, n - 3); }
    else if (pv <= 0x5B) { g = 12; d = QStringLiteral("Flow Temperature °C"); v = Scaled(v, nn - 3); }
    else if (pv <= 0x5F) { g = 13; d = QStringLiteral("Return Temperature °C"); v = Scaled(v, nn - 3); }
    else if (pv <= 0x63) { g = 14; d = QStringLiteral("Temperature Difference K"); v = Scaled(v, nn - 3); }
    else if (pv <= 0x67) { g = 15; d = QStringLiteral("External Temperature °C"); v = Scaled(v, nn - 3); }
    else if (pv <= 0x6B) { g = 16; d = QStringLiteral("Pressure bar"); v = Scaled(v, nn - 3); }
    else if (pv <= 0x6D) { g = 20; timePoint = true; }
    else if (pv == 0x6E) { g = 22; d = QStringLiteral("Units for H.C.A."); }
    else if (pv == 0x6F) { g = -1; }
    else if (pv <= 0x73) { g = 17; d = Duration_Text(2, nn); }
    else if (pv <= 0x77) { g = 18; d = Duration_Text(3, nn); }
    else if (pv == 0x78) { g = 23; d = QStringLiteral("Fabrication No"); }
    else if (pv == 0x79) { g = 24; d = QStringLiteral("Identification"); }
    else if (pv == 0x7A) { g = 25; d = QStringLiteral("Bus Address"); }
    else if (pv == 0x7B || pv == 0x7D) { g = 19; }
    else if (pv == 0x7C) {
        // The unit is plain text (VIF_ASCII); the data are an ordinary value.
        g = 21;
        d = QStringLiteral("Vif in following String");
    }
    else if (pv == 0x7E) { g = -1; d = QStringLiteral("Any VIF"); }
    else { g = -1; d = QStringLiteral("Manufacturer Specific"); }

    // Time point texts (type G, F, J, I).
    auto dateG = [&]() {
        const int day = data[0] & 0x1F;
        const int month = data[1] & 0x0F;
        const int year = ((data[0] >> 5) & 0x07) | ((data[1] >> 4) << 3);
        Text_Buffer text;
        text.Two_Digits(day);
        text.Put(u'/');
        text.Two_Digits(month);
        text.Put(u'/');
        text.Two_Digits(year);
        return text.Take();
    };
    auto dateF = [&]() {
        // The meter marks a date and time it does not hold as invalid.
        if (data[0] & 0x80)
            return QStringLiteral("Invalid");
        const int minute = data[0] & 0x3F;
        const int hour = data[1] & 0x1F;
        const int day = data[2] & 0x1F;
        const int month = data[3] & 0x0F;
        const int year = ((data[2] >> 5) & 0x07) | ((data[3] >> 4) << 3);
        Text_Buffer text;
        text.Two_Digits(day);
        text.Put(u'/');
        text.Two_Digits(month);
        text.Put(u'/');
        text.Two_Digits(year);
        text.Put(u' ');
        text.Two_Digits(hour);
        text.Put(u':');
        text.Two_Digits(minute);
        return text.Take();
    };
    auto putTimeJ = [&](Text_Buffer& text) {
        text.Two_Digits(data[2] & 0x1F);
        text.Put(u':');
        text.Two_Digits(data[1] & 0x3F);
        text.Put(u':');
        text.Two_Digits(data[0] & 0x3F);
    };

    // 5. Time point.
    if (timePoint) {
        t.clear();
        switch (Data_Field) {
        case 2:
            d = QStringLiteral("Time Point Date (Type G)");
            t = dateG();
            break;
        case 4:
            d = QStringLiteral("Time Point Date and Time (Type F)");
            t = dateF();
            break;
        case 3: {
            d = QStringLiteral("Time Point Extended Time Point (Type J)");
            Text_Buffer text;
            putTimeJ(text);
            t = text.Take();
            break;
        }
        case 6: {
            static const char* const weekdays[8] = {"",         "Monday ", "Tuesday ",  "Wednesday ",
                                                    "Thursday ", "Friday ", "Saturday ", "Sunday "};
            d = QStringLiteral("Time Point Extended Date and Time Point (Type I)");
            const int weekday = (data[2] >> 5) & 0x07;
            const int day = data[3] & 0x1F;
            const int month = data[4] & 0x0F;
            const int year = ((data[3] >> 5) & 0x07) | ((data[4] >> 4) << 3);
            Text_Buffer text;
            text.Put(weekdays[weekday]);
            text.Two_Digits(day);
            text.Put(u'/');
            text.Two_Digits(month);
            text.Put(u'/');
            text.Two_Digits(year);
            text.Put(u' ');
            putTimeJ(text);
            t = text.Take();
            break;
        }
        default: break;
        }
    }

    // 3. Where the combinable VIFEs start (-1: none).
    int start = -1;
    if ((VIF & 0x80) && VIF != 0xFE && VIF != 0xFF) {
        if (VIF == 0xFD || VIF == 0xFB)
            start = (App_Vife_Val[0] & 0x80) ? 1 : -1;
        else
            start = 0;
    }

    // 4. Extension tables.
    if (VIF == 0xFD) {
        const int code = First_VIFE & 0x7F;
        const int cnn = code & 0x03;
        const Extension_Row& row = FD_Rows()[size_t(code)];
        d = row.Text;
        x = row.X;
        if (code <= 0x07)
            v = Scaled(v, cnn - 3);
        else if (code >= 0x40 && code <= 0x4F)
            v = Scaled(v, (code & 0x0F) - 9);
        else if (code >= 0x50 && code <= 0x5F)
            v = Scaled(v, (code & 0x0F) - 12);
    } else if (VIF == 0xFB) {
        const int code = First_VIFE & 0x7F;
        const Extension_Row& row = FB_Rows()[size_t(code)];
        d = row.Text;
        x = row.X;
        if (row.Kind == 1)
            v = Scaled(v, (code & 0x01) + row.Offset);
        else if (row.Kind == 2)
            v = Scaled(v, (code & 0x03) + row.Offset);
        else if (row.Kind == 3)
            v = Scaled(v, (code & 0x07) + row.Offset);
    }

    // 6. Combinable VIFEs, at most ten taken in all.
    if (start >= 0) {
        int i = start;
        bool manufacturer = false;
        while (i < Max_VIFE) {
            const uint8_t cur = App_Vife_Val[i];
            const int code = cur & 0x7F;
            // After 7F the VIFEs that follow are the manufacturer's own:
            // the standard tables say nothing about them.
            if (manufacturer) {
                d += QStringLiteral(" - Manufacturer Specific");
                break;
            }
            manufacturer = code == 0x7F;
            if (code == 0x7C) {
                if (i < Max_VIFE - 1) {
                    ++i;
                    switch (App_Vife_Val[i] & 0x7F) {
                    case 1: d += QStringLiteral(" - At Phase L1"); break;
                    case 2: d += QStringLiteral(" - At Phase L2"); break;
                    case 3: d += QStringLiteral(" - At Phase L3"); break;
                    case 4: d += QStringLiteral(" - At Neutral (N)"); break;
                    case 5: d += QStringLiteral(" - Between Phase L1 and L2"); break;
                    case 6: d += QStringLiteral(" - Between Phase L2 and L3"); break;
                    case 7: d += QStringLiteral(" - Between Phase L3 and L1"); break;
                    case 0x10:
                        d += QStringLiteral(" - Accumulation of abs. Value for Both Positive and Negative Contribution (Absolute Count)");
                        break;
                    default: break;
                    }
                }
            } else if (const Code_Text& row = Combinable_Table[code]; row.Text) {
                d += Combinable_Texts()[size_t(code)];
                if (x == -1)
                    x = row.X;
                if (code >= 0x70 && code <= 0x77)
                    v = Scaled(v, (code & 0x07) - 6);
                else if (code >= 0x78 && code <= 0x7B)
                    v = Scaled(v, (code & 0x03) - 3);
                else if (code == 0x7D)
                    v = Scaled(v, 3);
                switch (code) {
                case 0x42: case 0x43: case 0x46: case 0x47: case 0x4A: case 0x4B:
                case 0x4E: case 0x4F: case 0x6A: case 0x6B: case 0x6E: case 0x6F:
                    t.clear();
                    if (Data_Field == 2)
                        t = dateG();
                    else if (Data_Field == 4)
                        t = dateF();
                    break;
                default: break;
                }
            } else {
                d = QStringLiteral(" - Reserved");
            }
            if (!(App_Vife_Val[i] & 0x80))
                break;
            ++i;
        }
    }

    // 7. Results.
    Rec.type_data = static_cast<uint16_t>(g);
    Rec.Type_Data_Vife = (x == -1) ? 0 : x;
    Rec.Desc_Type_Data = d;
    if (!t.isEmpty())
        Rec.ValueStr = t;
    else if (!rawText.isEmpty())
        Rec.ValueStr = rawText;
    else
        Rec.ValueStr = Format_Value(v, m_Separator);
}
